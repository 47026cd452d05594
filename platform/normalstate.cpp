#include "platform/normalstate.h"

#include <QEvent>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace zendry {

void NormalState::keep(QWidget *window)
{
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")) && window->windowHandle())
        new NormalState(window);
}

NormalState::NormalState(QWidget *window) : QObject(window), m_window(window), m_size(window->maximumSize())
{
    // The title bar asks for the state right here, before the request goes
    // out: the size must be loose by the time the compositor answers.
    connect(window->windowHandle(), &QWindow::windowStateChanged, this, &NormalState::stateChanged);
    window->installEventFilter(this);
}

void NormalState::stateChanged(Qt::WindowState state)
{
    if (m_loose || !(state & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    m_loose = true;
    m_window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

bool NormalState::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window || event->type() != QEvent::Resize || !m_loose)
        return false;
    QWindow *handle = m_window->windowHandle();
    if (handle->windowStates() & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        // The compositor has made it large: ask to be normal again, once
        // this resize is through.
        QTimer::singleShot(0, handle, [handle] { handle->setWindowStates(Qt::WindowNoState); });
    } else if (m_window->size() == m_size) {
        m_loose = false;
        m_window->setMaximumSize(m_size);
    }
    return false;
}

} // namespace zendry
