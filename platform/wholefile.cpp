#include "platform/wholefile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <QStringDecoder>
#include <cerrno>
#include <clocale>
#include <cstring>
#include <langinfo.h>
#include <unistd.h>
#endif

namespace zendry {

namespace {

#ifndef Q_OS_WIN
// The system's words for an error in the user's language (LC_MESSAGES), in
// the characters of the user's locale, whatever locale the process runs in.
QString systemReason(int error)
{
    locale_t user = newlocale(LC_CTYPE_MASK | LC_MESSAGES_MASK, "", locale_t(nullptr));
    if (!user)
        user = newlocale(LC_MESSAGES_MASK, "", locale_t(nullptr));
    if (!user)
        return qt_error_string(error);
    QStringDecoder decoder(nl_langinfo_l(CODESET, user));
    const char *words = strerror_l(error, user);
    const QString reason = decoder.isValid() ? decoder.decode(words) : QString::fromUtf8(words);
    freelocale(user);
    return reason.trimmed();
}
#endif

// Qt words four failures itself, in English whatever the language: a lack
// of permission, of file handles, of the file and of room. Every other one
// it gives in the system's words, in the user's language. The user reads all
// of them in the system's words. (Windows' reasons are the system's already.)
QString inUsersLanguage(const QString &qtReason)
{
#ifndef Q_OS_WIN
    for (int error : { EACCES, EMFILE, ENOENT, ENOSPC }) {
        if (qtReason == qt_error_string(error))
            return systemReason(error);
    }
#endif
    return qtReason;
}

// Qt refuses a file it finds it cannot write, or a folder in its place,
// before asking the system, in words of its own with the path in Qt's form.
// The user reads the system's own words instead: Windows denies access to
// both; Unix says why the file cannot be written, or that it is a folder.
QString refusal(const QString &path, const QString &qtReason)
{
    const QFileInfo existing(path);
#ifdef Q_OS_WIN
    if ((existing.exists() && !existing.isWritable()) || existing.isDir())
        return qt_error_string(ERROR_ACCESS_DENIED);
#else
    if (existing.exists() && ::access(QFile::encodeName(path).constData(), W_OK) != 0)
        return systemReason(errno);
    if (existing.isDir())
        return systemReason(EISDIR);
#endif
    return inUsersLanguage(qtReason);
}

} // namespace

bool WholeFile::writeAll(QIODevice &device, const QByteArray &bytes, QString *why)
{
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 n = device.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0) {
            if (why)
                *why = inUsersLanguage(device.errorString());
            return false;
        }
        done += n;
    }
    return true;
}

bool WholeFile::save(const QString &path, const QByteArray &bytes, QString *why)
{
    QSaveFile file(path);
    // Where no new file can be made beside it (a read-only folder holding a
    // writable file), the file is written in place: a failed write then
    // leaves it cut short, but is still reported.
    file.setDirectWriteFallback(true);
    // Unbuffered: with a buffer, a write the disk refuses surfaces only in the
    // flush inside commit(), and Qt 6.4 then still reports success and puts a
    // truncated file in place of the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (why)
            *why = refusal(path, file.errorString());
        return false;
    }
    if (!writeAll(file, bytes, why)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (why)
            *why = inUsersLanguage(file.errorString());
        return false;
    }
    return true;
}

} // namespace zendry
