#include "app/readonlycaret.h"

#include <QFocusEvent>
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
    connect(box, &QLineEdit::textChanged, box, [box] { box->setCursorPosition(0); });
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
        // The box selects its whole value when Tab enters it; the caret goes
        // back to the start, the value staying selected.
        static_cast<QObject *>(m_box)->event(event);
        if (m_box->selectedText() == m_box->text())
            m_box->setSelection(int(m_box->text().size()), -int(m_box->text().size()));
        // A flash time of 0 means a caret that does not blink.
        const int flash = QGuiApplication::styleHints()->cursorFlashTime();
        m_shown = true;
        if (flash > 0)
            m_blink->start(flash / 2);
        m_box->update();
        return true;
    }
    case QEvent::FocusOut: {
        static_cast<QObject *>(m_box)->event(event);
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            m_box->setCursorPosition(0);
        m_blink->stop();
        m_shown = false;
        m_box->update();
        return true;
    }
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
