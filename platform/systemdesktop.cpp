#include "platform/systemdesktop.h"

#include "platform/ansicodec.h"

#include <QWidget>

#ifdef Q_OS_WIN
#include <windows.h>
#include <shellapi.h>
#else
#include <QDesktopServices>
#include <QUrl>
#endif

namespace zendry {

#ifdef Q_OS_WIN
SystemDesktop::ShellOpen SystemDesktop::shellOpen = [](quintptr owner, const char *verb,
                                                             const char *file, const char *parameters,
                                                             const char *directory, int show) {
    ShellExecuteA(reinterpret_cast<HWND>(owner), verb, file, parameters, directory, show);
};
#else
SystemDesktop::ShellOpen SystemDesktop::shellOpen = nullptr;
#endif

void SystemDesktop::open(QWidget *owner, const QString &verb, const QString &target)
{
#ifdef Q_OS_WIN
    // The strings go in the system's code page; the result is never looked at.
    const QByteArray operation = AnsiCodec::encode(verb);
    const QByteArray file = AnsiCodec::encode(target);
    shellOpen(owner ? quintptr(owner->winId()) : 0, operation.constData(), file.constData(), "", "",
                 SW_SHOWNORMAL);
#else
    // Linux desktops have no verbs: "open" and "Open" both mean the default handler.
    Q_UNUSED(owner);
    Q_UNUSED(verb);
    const QUrl url = target.contains(QLatin1String("://")) ? QUrl(target) : QUrl::fromLocalFile(target);
    QDesktopServices::openUrl(url);
#endif
}

} // namespace zendry
