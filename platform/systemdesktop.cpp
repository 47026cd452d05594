#include "platform/systemdesktop.h"

#include <QUrl>
#include <QWidget>

#ifdef Q_OS_WIN
#include <windows.h>
#include <shellapi.h>
#else
#include <QDesktopServices>
#endif

namespace zendry {

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
    const QString file = address ? QString::fromLatin1(QUrl(target, QUrl::TolerantMode).toEncoded()) : target;
    shellOpen(owner ? quintptr(owner->winId()) : 0, reinterpret_cast<const wchar_t *>(verb.utf16()),
              reinterpret_cast<const wchar_t *>(file.utf16()), L"", L"", SW_SHOWNORMAL);
#else
    // Linux desktops have no verbs: "open" and "Open" both mean the default handler.
    Q_UNUSED(owner);
    Q_UNUSED(verb);
    QDesktopServices::openUrl(address ? QUrl(target) : QUrl::fromLocalFile(target));
#endif
}

} // namespace zendry
