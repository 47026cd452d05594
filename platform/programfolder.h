#pragma once

#include <QByteArray>
#include <QString>

namespace zendry {

// The folder that holds the program, where its files lie. On Linux a
// folder's name is bytes, and one unpacked from a Windows zip or on a stick
// mounted in Latin-1 holds bytes that are not UTF-8: no text names such a
// folder so that the system finds it again, and Qt, which makes every path
// absolute through such a text, cannot write there. The program then makes
// it its current folder and reaches it by the system's own name for that
// ("/proc/self/cwd"), names it to the user as best it can, and hands the
// desktop its files as file addresses that carry the very bytes.
struct ProgramFolder
{
    ProgramFolder(const QString &folder = QString()) : path(folder), shown(folder) { }

    // The file's path to open it by.
    QString filePath(const QString &name) const;
    // The file as the user is told of it, with the system's separators.
    QString shownPath(const QString &name) const;
    // The file as the desktop is handed it: its path, or a file address.
    QString openTarget(const QString &name) const;

    // A folder named by the system's bytes.
    static ProgramFolder fromNativeName(const QByteArray &folder);
    // The executable's folder; made the current folder where its name has
    // to be.
    static ProgramFolder ofExecutable();

    QString path;
    QString shown;
    QByteArray address; // a file address for the folder, where its path will not do
};

} // namespace zendry
