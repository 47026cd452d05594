#include "app/pickbox.h"

#include "app/pickboxaccessible.h"

#include <QAccessible>
#include <QAccessibleEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QWheelEvent>

namespace zendry {

namespace {

// The one object whose accessibility events are held back, and the handler
// that gets everything else; none means the platform's bridge.
QObject *g_held = nullptr;
QAccessible::UpdateHandler g_outer = nullptr;

void holding(QAccessibleEvent *event)
{
    if (event->object() == g_held)
        return;
    if (g_outer) {
        g_outer(event);
        return;
    }
    const QAccessible::UpdateHandler current = QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(current);
}

// Tells accessibility clients that `after` replaced `before` in `box`, as
// the text change alone, the new text first. A screen reader reads the box
// when the events arrive, after the change, and speaks a selection by how
// it differs from the one it saw last: a caret or selection event ahead of
// the new text made it speak the part of the new name that outruns the old
// one ("mith") before the name, and one after it, on the first pick, the
// name twice. The new text, found selected, is spoken alone.
void tellPicked(QLineEdit *box, const QString &before, const QString &after)
{
    const int end = int(after.size());
    QAccessibleTextInsertEvent inserted(box, 0, after);
    inserted.setCursorPosition(end);
    QAccessible::updateAccessibility(&inserted);
    if (!before.isEmpty()) {
        QAccessibleTextRemoveEvent removed(box, end, before);
        removed.setCursorPosition(end);
        QAccessible::updateAccessibility(&removed);
    }
}

} // namespace

PickBox::PickBox(QWidget *parent) : QComboBox(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    PickBoxAccessible::install();
    connect(this, &QComboBox::activated, this, [this](int row) {
        if (!m_typing)
            emit picked(row);
    });
}

// Enter in the box's text finishes typing. The arrow keys and the page
// keys turn the list.
void PickBox::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    QScopedValueRollback typing(m_typing, m_typing || enter);
    const bool turning = !(event->modifiers() & Qt::AltModifier)
            && (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down || event->key() == Qt::Key_PageUp
                || event->key() == Qt::Key_PageDown);
    if (turning)
        turn([this, event] { QComboBox::keyPressEvent(event); }, false);
    else
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
// nothing. A turn shows the picked name selected, as an arrow key's pick
// does in a Windows combo box: a screen reader speaks a new text in the box
// when an arrow key put it there or when it is selected, so without the
// selection a pick by the wheel went unspoken.
void PickBox::wheelEvent(QWheelEvent *event)
{
    if (!hasFocus()) {
        event->ignore();
        return;
    }
    turn([this, event] { QComboBox::wheelEvent(event); }, true);
}

// The text box's own accessibility events of a turn are held back, and the
// pick is told again as the text change alone (see tellPicked).
void PickBox::turn(const std::function<void()> &turning, bool select)
{
    const int before = currentIndex();
    if (!isEditable()) {
        turning();
        return;
    }
    const QString text = lineEdit()->text();
    g_held = lineEdit();
    g_outer = QAccessible::installUpdateHandler(holding);
    turning();
    if (select && currentIndex() != before)
        lineEdit()->selectAll();
    QAccessible::installUpdateHandler(g_outer);
    g_held = nullptr;
    if (currentIndex() != before && QAccessible::isActive())
        tellPicked(lineEdit(), text, lineEdit()->text());
}

} // namespace zendry
