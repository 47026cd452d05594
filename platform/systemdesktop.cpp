#include "platform/systemdesktop.h"

#include <QUrl>
#include <QWidget>

#include <cstring>

#ifdef Q_OS_WIN
#include <windows.h>
#include <shellapi.h>
#else
#include <QDesktopServices>
#endif

namespace zendry {

namespace {

bool hexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// What an address may hold as it is: the unreserved and the reserved characters.
bool plain(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
            || (c != '\0' && std::strchr("-._~:/?#[]@!$&'()*+,;=", c));
}

} // namespace

QString SystemDesktop::encodedAddress(const QString &address)
{
    const QUrl url(address, QUrl::TolerantMode);
    const qsizetype from = address.indexOf(QLatin1String("://"));
    if (!url.isValid() || url.host().isEmpty() || from < 0)
        return QString();
    // QUrl reads a lone '%' by encoding every '%' again, escapes included,
    // and rewrites the escapes it keeps ("%3a" as "%3A", "%41" as "A"): a
    // click-tracking link's target or a signed query would arrive broken.
    // So QUrl gives only the part up to the host.
    qsizetype rest = from + 3;
    while (rest < address.size() && !QStringView(u"/?#").contains(address[rest]))
        ++rest;
    QByteArray encoded = url.toEncoded(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment);
    const QByteArray tail = address.mid(rest).toUtf8();
    for (qsizetype i = 0; i < tail.size(); ++i) {
        const char c = tail[i];
        const bool escape = c == '%' && i + 2 < tail.size() && hexDigit(tail[i + 1]) && hexDigit(tail[i + 2]);
        if (escape || plain(c))
            encoded += c;
        else
            encoded += QByteArray(1, c).toPercentEncoding();
    }
    return QString::fromLatin1(encoded);
}

#ifdef Q_OS_WIN
SystemDesktop::ShellOpen SystemDesktop::shellOpen = [](quintptr owner, const wchar_t *verb,
                                                       const wchar_t *file, const wchar_t *parameters,
                                                       const wchar_t *directory, int show) {
    ShellExecuteW(reinterpret_cast<HWND>(owner), verb, file, parameters, directory, show);
};
#else
SystemDesktop::ShellOpen SystemDesktop::shellOpen = nullptr;
#endif

void SystemDesktop::open(QWidget *owner, const QString &verb, const QString &target)
{
    const bool address = target.contains(QLatin1String("://"));
#ifdef Q_OS_WIN
    // An address goes fully percent-encoded, so that the browser's command
    // line the shell makes of it holds it as one argument, quotes and spaces
    // and all. A file goes in UTF-16: the program's folder may be named in
    // letters the system's code page has no byte for. The result is never
    // looked at.
    const QString file = address && !target.startsWith(QLatin1String("file:")) ? encodedAddress(target) : target;
    shellOpen(owner ? quintptr(owner->winId()) : 0, reinterpret_cast<const wchar_t *>(verb.utf16()),
              reinterpret_cast<const wchar_t *>(file.utf16()), L"", L"", SW_SHOWNORMAL);
#else
    // Linux desktops have no verbs: "open" and "Open" both mean the default
    // handler. QDesktopServices takes a QUrl, which writes escapes in capitals.
    Q_UNUSED(owner);
    Q_UNUSED(verb);
    // A file address carries its folder's bytes as they are, escapes that
    // are no UTF-8 among them; it has no host, so it is taken whole.
    if (target.startsWith(QLatin1String("file:")))
        QDesktopServices::openUrl(QUrl::fromEncoded(target.toLatin1(), QUrl::StrictMode));
    else
        QDesktopServices::openUrl(address ? QUrl(encodedAddress(target)) : QUrl::fromLocalFile(target));
#endif
}

} // namespace zendry
