#include "platform/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QUrl>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <climits>
#include <unistd.h>
#endif

namespace zendry {

QString ProgramFolder::filePath(const QString &name) const
{
    return QDir(path).filePath(name);
}

QString ProgramFolder::shownPath(const QString &name) const
{
    return QDir::toNativeSeparators(QDir(shown).filePath(name));
}

QString ProgramFolder::openTarget(const QString &name) const
{
    if (address.isEmpty())
        return QDir::toNativeSeparators(filePath(name));
    return QString::fromLatin1(address + QUrl::toPercentEncoding(name));
}

ProgramFolder ProgramFolder::fromNativeName(const QByteArray &folder)
{
    const QString name = QFile::decodeName(folder);
    if (QFile::encodeName(name) == folder)
        return ProgramFolder(name);
    ProgramFolder f(QStringLiteral("/proc/self/cwd"));
    f.shown = name;
    // Every byte but the path's own characters percent-encoded.
    f.address = "file://" + folder.toPercentEncoding("/") + '/';
    return f;
}

ProgramFolder ProgramFolder::ofExecutable()
{
#ifdef Q_OS_LINUX
    char target[PATH_MAX];
    const ssize_t size = ::readlink("/proc/self/exe", target, sizeof target);
    if (size > 0 && size < ssize_t(sizeof target)) {
        QByteArray folder(target, int(size));
        folder.truncate(std::max(1, int(folder.lastIndexOf('/'))));
        ProgramFolder f = fromNativeName(folder);
        if (f.address.isEmpty() || ::chdir(folder.constData()) == 0)
            return f;
    }
#endif
    return ProgramFolder(QCoreApplication::applicationDirPath());
}

} // namespace zendry
