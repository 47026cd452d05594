#include "platform/keyups.h"

#include <QKeyEvent>

#include <utility>

namespace zendry {

KeyUps::KeyUps(int settleMs, QObject *parent) : QObject(parent)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(settleMs);
    connect(&m_settle, &QTimer::timeout, this, &KeyUps::settle);
}

void KeyUps::press(const QKeyEvent &event)
{
    if (event.key() != m_key)
        return;
    if (event.timestamp() == m_time) {
        m_settle.stop();
        m_key = 0;
        return;
    }
    settle();
}

void KeyUps::release(const QKeyEvent &event)
{
    if (event.isAutoRepeat())
        return;
    settle();
    if (event.timestamp() == 0)
        return emit released(event.key());
    m_key = event.key();
    m_time = event.timestamp();
    m_settle.start();
}

void KeyUps::settle()
{
    m_settle.stop();
    if (const int key = std::exchange(m_key, 0))
        emit released(key);
}

} // namespace zendry
