#include "store/settingsfile.h"

#include "platform/trim.h"

namespace zendry {

const QString SettingsFile::fileName = QStringLiteral("Zendry SMS.ini");

std::vector<SettingsFile::Entry> SettingsFile::parse(const QStringList &lines)
{
    std::vector<Entry> entries;
    for (const QString &raw : lines) {
        const QString line = trimSpaces(raw);
        const QString lower = line.toLower();
        if (lower.startsWith(QLatin1String("zdid=")))
            entries.push_back({ Entry::Key::Zdid, line.mid(5) });
        else if (lower.startsWith(QLatin1String("password=")))
            entries.push_back({ Entry::Key::Password, line.mid(9) });
        else if (lower.startsWith(QLatin1String("signature=")))
            entries.push_back({ Entry::Key::Signature, line.mid(10) });
        else if (lower == QLatin1String("autorefresh=1"))
            entries.push_back({ Entry::Key::AutoRefresh, {} });
    }
    return entries;
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
