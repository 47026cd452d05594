#include "app/pickbox.h"

#include "app/pickboxaccessible.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QWheelEvent>

namespace zendry {

PickBox::PickBox(QWidget *parent) : QComboBox(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    PickBoxAccessible::install();
    connect(this, &QComboBox::activated, this, [this](int row) {
        if (!m_typing)
            emit picked(row);
    });
}

// Enter in the box's text finishes typing.
void PickBox::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    QScopedValueRollback typing(m_typing, m_typing || enter);
    QComboBox::keyPressEvent(event);
}

// Leaving the box finishes typing too.
void PickBox::focusOutEvent(QFocusEvent *event)
{
    QScopedValueRollback typing(m_typing, true);
    QComboBox::focusOutEvent(event);
}

// Qt's box takes the focus from the wheel (its focus policy, set above) and
// turns; without the focus the wheel goes on to the window, where it does
// nothing. A turn shows the picked name selected, as the arrow keys' pick
// does on the desktop's own box: a screen reader speaks a new text in the
// box when an arrow key put it there or when it is selected, so without the
// selection a pick by the wheel went unspoken.
void PickBox::wheelEvent(QWheelEvent *event)
{
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    const int before = currentIndex();
    QComboBox::wheelEvent(event);
    if (isEditable() && currentIndex() != before)
        lineEdit()->selectAll();
}

} // namespace zendry
