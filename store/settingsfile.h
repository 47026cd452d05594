#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace zendry {

// "Zendry SMS.ini": the saved account details and the start-up refresh.
class SettingsFile
{
public:
    static const QString fileName;

    // One recognised line, in file order. The window applies them one after
    // the other, so a repeated key is applied each time.
    struct Entry
    {
        enum class Key { Zdid, Password, Signature, AutoRefresh };
        Key key;
        QString value;
    };

    // Each line stripped of surrounding spaces, then the first rule that
    // matches; other lines are ignored.
    static std::vector<Entry> parse(const QStringList &lines);

    // Always these four lines; the account details only when they are saved.
    static QStringList lines(bool saveDetails, const QString &zdid, const QString &passwordHash,
                             const QString &signature, bool autoRefresh);
};

} // namespace zendry
