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

void SystemDesktop::open(QWidget *owner, const QString &verb, const QString &target)
{
#ifdef Q_OS_WIN
    const QByteArray operation = AnsiCodec::encode(verb);
    const QByteArray file = AnsiCodec::encode(target);
    HWND window = owner ? reinterpret_cast<HWND>(owner->winId()) : nullptr;
    ShellExecuteA(window, operation.constData(), file.constData(), "", "", SW_SHOWNORMAL);
#else
    // Linux desktops have no verbs: "open" and "Open" both mean the default handler.
    Q_UNUSED(owner);
    Q_UNUSED(verb);
    const QUrl url = target.contains(QLatin1String("://")) ? QUrl(target) : QUrl::fromLocalFile(target);
    QDesktopServices::openUrl(url);
#endif
}

} // namespace zendry
