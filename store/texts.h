#pragma once

#include <QDir>
#include <QString>

// What the local data tells the user, word for word.
namespace zendry::texts {

// The first entry of the To list, which stands for no contact.
inline const QString newEntry = QStringLiteral("<new>");

inline const QString deleteTitle = QStringLiteral("Delete Contact");
inline QString deleteQuestion(const QString &name)
{
    return QStringLiteral("Are you sure you want to delete ") + name + QStringLiteral(" from your contacts?");
}

inline const QString saveFailedTitle = QStringLiteral("Error");
// The reason is the system's own; where the system ends it without a full
// stop (Linux does), the box puts one.
inline QString saveFailed(const QString &path, const QString &why)
{
    return QStringLiteral("Zendry SMS could not save the file \"%1\".").arg(QDir::toNativeSeparators(path))
            + QStringLiteral("\r\n") + why + (why.endsWith(u'.') ? QString() : QStringLiteral("."));
}

} // namespace zendry::texts
