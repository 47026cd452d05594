#include "platform/fixedframe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QHash>
#include <QWidget>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#endif

namespace zendry {

#if QT_CONFIG(xcb)
namespace {

// The X connection when the window is on X11; offscreen answers as X11
// too, without one.
xcb_connection_t *x11Connection()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    return x11->connection();
}

// Atoms are the X server's, named once for the program's one connection.
xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    static QHash<QByteArray, xcb_atom_t> known;
    if (const auto found = known.constFind(name); found != known.cend())
        return *found;
    xcb_intern_atom_reply_t *reply =
            xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, qstrlen(name), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    if (atom != XCB_ATOM_NONE)
        known.insert(name, atom);
    return atom;
}

} // namespace
#endif

void FixedFrame::apply(QWidget *window)
{
    new FixedFrame(window);
}

FixedFrame::FixedFrame(QWidget *window) : QObject(window), m_window(window)
{
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                           | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                           | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    window->installEventFilter(this);
    writeMotifHints();
    QCoreApplication::instance()->installNativeEventFilter(this);
}

FixedFrame::~FixedFrame()
{
    QCoreApplication::instance()->removeNativeEventFilter(this);
}

void FixedFrame::writeMotifHints()
{
#if QT_CONFIG(xcb)
    xcb_connection_t *connection = x11Connection();
    if (!connection)
        return;
    const xcb_atom_t hintsAtom = atom(connection, "_MOTIF_WM_HINTS");
    if (hintsAtom == XCB_ATOM_NONE)
        return;
    // Flags: functions and decorations given. Functions: move, minimise,
    // close. Decorations: border, title, window menu, minimise button.
    const quint32 hints[5] = { 0x3, 0x4 | 0x8 | 0x20, 0x2 | 0x8 | 0x10 | 0x20, 0, 0 };
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(m_window->winId()), hintsAtom,
                        hintsAtom, 32, 5, hints);
    xcb_flush(connection);
#endif
}

// A window manager may make the window full screen all the same (the Motif
// hints cannot take full screen away): it leaves full screen at once, back
// where it stood with its frame.
bool FixedFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::WindowStateChange
        && m_window->windowState().testFlag(Qt::WindowFullScreen)) {
        QMetaObject::invokeMethod(
                this, [this] { m_window->setWindowState(m_window->windowState() & ~Qt::WindowFullScreen); },
                Qt::QueuedConnection);
    }
    return false;
}

// Some window managers (Openbox among them) offer full screen to every
// ordinary window, whatever its hints say, in the list of actions that
// pagers, task bars and tools such as wmctrl read. Each time the window
// manager writes that list, full screen is taken out of it.
bool FixedFrame::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
#if QT_CONFIG(xcb)
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
        return false;
    const auto *notify = static_cast<const xcb_property_notify_event_t *>(message);
    xcb_connection_t *connection = x11Connection();
    if (connection && notify->state == XCB_PROPERTY_NEW_VALUE
        && m_window->testAttribute(Qt::WA_WState_Created) && notify->window == xcb_window_t(m_window->winId())
        && notify->atom == atom(connection, "_NET_WM_ALLOWED_ACTIONS"))
        withdrawFullScreenAction();
#else
    Q_UNUSED(eventType);
    Q_UNUSED(message);
#endif
    return false;
}

void FixedFrame::withdrawFullScreenAction()
{
#if QT_CONFIG(xcb)
    xcb_connection_t *connection = x11Connection();
    if (!connection)
        return;
    const xcb_atom_t actionsAtom = atom(connection, "_NET_WM_ALLOWED_ACTIONS");
    const xcb_atom_t fullScreen = atom(connection, "_NET_WM_ACTION_FULLSCREEN");
    const auto window = xcb_window_t(m_window->winId());
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, window, actionsAtom, XCB_ATOM_ATOM, 0, 64), nullptr);
    if (!reply)
        return;
    const auto *first = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply));
    QList<xcb_atom_t> actions(first, first + xcb_get_property_value_length(reply) / sizeof(xcb_atom_t));
    std::free(reply);
    if (actions.removeAll(fullScreen) == 0)
        return;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, actionsAtom, XCB_ATOM_ATOM, 32,
                        quint32(actions.size()), actions.constData());
    xcb_flush(connection);
#endif
}

} // namespace zendry
