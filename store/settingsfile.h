#pragma once

#include <QString>
#include <QStringList>

namespace zendry {

// "Zendry SMS.ini": the saved account details and the start-up refresh.
class SettingsFile
{
public:
    static const QString fileName;

    // What a file holds once every line is applied in file order: a repeated
    // key's last value stands, while a check mark or mask set by an earlier
    // line stays set.
    struct Settings
    {
        QString zdid;
        QString passwordHash;
        QString signature; // empty when no line gives one
        bool masked = false; // a digest was read: the password box shows the mask
        bool saveDetails = false; // a ZDID or a digest was read
        bool autoRefresh = false;
    };

    // Each line stripped of surrounding spaces, then the first rule that
    // matches; other lines are ignored.
    static Settings parse(const QStringList &lines);

    // Always these four lines; the account details only when they are saved.
    static QStringList lines(bool saveDetails, const QString &zdid, const QString &passwordHash,
                             const QString &signature, bool autoRefresh);
};

} // namespace zendry
