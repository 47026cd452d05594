#include "app/pickbox.h"

#include <QKeyEvent>
#include <QScopedValueRollback>

namespace zendry {

PickBox::PickBox(QWidget *parent) : QComboBox(parent)
{
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

} // namespace zendry
