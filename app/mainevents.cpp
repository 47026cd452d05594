// What the window sees of its controls' events before they do: the keys,
// the banner's clicks and the focus moves of the fields with handlers.
#include "app/mainwindow.h"

#include "ui_main.h"

#include "platform/keyups.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include <utility>

namespace zendry {

// Whether an event's widget belongs to this window, counting the To box's
// dropped-down list as part of it.
bool Main::fromThisWindow(QObject *watched) const
{
    auto *widget = qobject_cast<QWidget *>(watched);
    QWidget *top = widget ? widget->window() : nullptr;
    while (top && top->windowType() == Qt::Popup && top->parentWidget())
        top = top->parentWidget()->window();
    return top == this;
}

// A key event travels up from the focus widget to its parents; it is taken
// once, where it starts.
bool Main::keyStartsAt(QObject *watched) const
{
    const QWidget *focus = QApplication::focusWidget();
    return watched == (focus ? focus : this) && fromThisWindow(watched);
}

// A locked window takes no input, though the preview sees it before Qt
// drops it for the disabled controls.
bool Main::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (!keyStartsAt(watched))
            break;
        m_keyUps->press(*key);
        // Enter presses the button that has the focus, as on the desktop the
        // program was made for; no button is pressed by Enter otherwise.
        auto *button = qobject_cast<QPushButton *>(watched);
        if (button && !key->isAutoRepeat() && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            button->click();
            return true;
        }
        break;
    }
    case QEvent::KeyRelease:
        if (keyStartsAt(watched) && isEnabled())
            m_keyUps->release(*static_cast<QKeyEvent *>(event));
        break;
    case QEvent::MouseButtonDblClick:
        // The second click of a double click is no second click on the banner.
        if (watched == ui->Banner)
            m_bannerDoubleClicked = true;
        break;
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (watched == ui->Banner && !std::exchange(m_bannerDoubleClicked, false) && isEnabled()
            && mouse->button() == Qt::LeftButton && ui->Banner->rect().contains(mouse->position().toPoint()))
            Banner_Click();
        break;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        focusMoved(watched, event);
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

bool Main::fieldFocusHandler(QObject *field, bool in)
{
    if (field == ui->PW)
        in ? PW_GotFocus() : PW_LostFocus();
    else if (field == ui->Number)
        in ? Number_GotFocus() : Number_LostFocus();
    else if (field == ui->Sig)
        in ? Sig_GotFocus() : Sig_LostFocus();
    else if (field == ui->ZDID && in)
        ZDID_GotFocus();
    else
        return false;
    return true;
}

// GotFocus and LostFocus run only when the focus moves inside the window:
// losing it to a message box or another program, and getting it back, is
// not leaving the field.
void Main::focusMoved(QObject *watched, QEvent *event)
{
    const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
    if (m_quietFocus || reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return;
    const bool in = event->type() == QEvent::FocusIn;
    if (!fieldFocusHandler(watched, in))
        return;
    // A click that brings the focus puts the caret under the mouse, after the
    // selection made on entry, as on any desktop. Only the password box keeps
    // its whole text selected, so that typing replaces the mask: select it
    // again once the press is done.
    if (in && reason == Qt::MouseFocusReason && watched == ui->PW) {
        QTimer::singleShot(0, ui->PW, [this] {
            if (ui->PW->hasFocus())
                ui->PW->selectAll();
        });
    }
}

// Before the window is first shown there is nowhere for the focus to go; Qt
// would remember the move and make it on show, so it is dropped instead.
void Main::focusTo(QWidget *widget)
{
    if (!widget || !isVisible())
        return;
    widget->setFocus(Qt::OtherFocusReason);
    // Right after a box the window manager has yet to give the window back
    // its activation: Qt only notes the move, and the focus comes with the
    // activation later. The field is entered now all the same.
    if (!widget->hasFocus())
        fieldFocusHandler(widget, true);
}

} // namespace zendry
