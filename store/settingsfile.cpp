#include "store/settingsfile.h"

#include "platform/trim.h"

namespace zendry {

const QString SettingsFile::fileName = QStringLiteral("Zendry SMS.ini");

SettingsFile::Settings SettingsFile::parse(const QStringList &lines)
{
    Settings s;
    for (const QString &raw : lines) {
        const QString line = trimSpaces(raw);
        const QString lower = line.toLower();
        if (lower.startsWith(QLatin1String("zdid="))) {
            s.zdid = line.mid(5);
            s.saveDetails = s.saveDetails || !s.zdid.isEmpty();
        } else if (lower.startsWith(QLatin1String("password="))) {
            s.passwordHash = line.mid(9);
            s.masked = s.masked || !s.passwordHash.isEmpty();
            s.saveDetails = s.saveDetails || s.masked;
        } else if (lower.startsWith(QLatin1String("signature="))) {
            s.signature = line.mid(10);
        } else if (lower == QLatin1String("autorefresh=1")) {
            s.autoRefresh = true;
        }
    }
    return s;
}

QStringList SettingsFile::lines(bool saveDetails, const QString &zdid, const QString &passwordHash,
                                const QString &signature, bool autoRefresh)
{
    return {
        QStringLiteral("ZDID=") + (saveDetails ? trimSpaces(zdid) : QString()),
        QStringLiteral("password=") + (saveDetails ? passwordHash : QString()),
        QStringLiteral("signature=") + (saveDetails ? trimSpaces(signature) : QString()),
        QStringLiteral("AutoRefresh=") + (autoRefresh ? u'1' : u'0'),
    };
}

} // namespace zendry
