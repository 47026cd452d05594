#include "app/pickbox.h"

#include "app/pickboxaccessible.h"

#include <QKeyEvent>
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
// nothing.
void PickBox::wheelEvent(QWheelEvent *event)
{
    if (hasFocus())
        QComboBox::wheelEvent(event);
    else
        event->ignore();
}

} // namespace zendry
