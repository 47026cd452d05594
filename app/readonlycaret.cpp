#include "app/readonlycaret.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QPainter>
#include <QStyle>
#include <QStyleHints>
#include <QTimer>

namespace zendry {

ReadOnlyCaret::ReadOnlyCaret(QLineEdit *box) : QObject(box), m_box(box), m_blink(new QTimer(this))
{
    m_blink->callOnTimeout(this, &ReadOnlyCaret::blink);
    box->installEventFilter(this);
}

void ReadOnlyCaret::blink()
{
    m_shown = !m_shown;
    m_box->update();
}

bool ReadOnlyCaret::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_box || !m_box->isReadOnly())
        return false;
    switch (event->type()) {
    case QEvent::FocusIn: {
        // A flash time of 0 means a caret that does not blink.
        const int flash = QGuiApplication::styleHints()->cursorFlashTime();
        m_shown = true;
        if (flash > 0)
            m_blink->start(flash / 2);
        m_box->update();
        return false;
    }
    case QEvent::FocusOut:
        m_blink->stop();
        m_shown = false;
        m_box->update();
        return false;
    case QEvent::Paint: {
        // The box paints itself first; the caret goes on top.
        static_cast<QObject *>(m_box)->event(event);
        if (m_shown && m_box->hasFocus() && !m_box->hasSelectedText()) {
            // Qt reports the caret's place as a rectangle five pixels wider on
            // either side.
            const QRect around = m_box->inputMethodQuery(Qt::ImCursorRectangle).toRect();
            const int width = m_box->style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, m_box);
            QPainter painter(m_box);
            painter.fillRect(QRect(around.left() + 5, around.top(), qMax(width, 1), around.height()),
                             m_box->palette().text());
        }
        return true;
    }
    default:
        return false;
    }
}

} // namespace zendry
