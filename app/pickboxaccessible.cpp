#include "app/pickboxaccessible.h"

#include "app/pickbox.h"

#include <QAbstractItemView>
#include <QLineEdit>

namespace zendry {

namespace {

QAccessibleInterface *forPickBox(const QString &, QObject *object)
{
    auto *box = qobject_cast<PickBox *>(object);
    return box ? new PickBoxAccessible(box) : nullptr;
}

} // namespace

PickBoxAccessible::PickBoxAccessible(QComboBox *box) : QAccessibleWidget(box, QAccessible::ComboBox) { }

void PickBoxAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(forPickBox);
        return true;
    }();
    Q_UNUSED(installed);
}

QComboBox *PickBoxAccessible::box() const
{
    return static_cast<QComboBox *>(widget());
}

// The dropped list, then the text the user types in.
int PickBoxAccessible::childCount() const
{
    return box()->isEditable() ? 2 : 1;
}

QAccessibleInterface *PickBoxAccessible::child(int index) const
{
    if (index == 0)
        return QAccessible::queryAccessibleInterface(box()->view());
    if (index == 1 && box()->isEditable())
        return QAccessible::queryAccessibleInterface(box()->lineEdit());
    return nullptr;
}

int PickBoxAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    if (child->object() == box()->view())
        return 0;
    return box()->isEditable() && child->object() == box()->lineEdit() ? 1 : -1;
}

QAccessibleInterface *PickBoxAccessible::childAt(int x, int y) const
{
    const QRect text(box()->lineEdit() ? box()->lineEdit()->geometry() : QRect());
    return text.translated(box()->mapToGlobal(QPoint())).contains(x, y) ? child(1) : nullptr;
}

// The box hands its focus to its text, which is what the user types in.
QAccessibleInterface *PickBoxAccessible::focusChild() const
{
    return box()->isEditable() ? child(1) : nullptr;
}

QString PickBoxAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return box()->currentText();
    return QAccessibleWidget::text(t);
}

QAccessible::State PickBoxAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.expandable = true;
    s.expanded = box()->view()->isVisible();
    return s;
}

QStringList PickBoxAccessible::actionNames() const
{
    return QAccessibleWidget::actionNames() << showMenuAction() << pressAction();
}

void PickBoxAccessible::doAction(const QString &actionName)
{
    if (actionName != showMenuAction() && actionName != pressAction())
        QAccessibleWidget::doAction(actionName);
    else if (box()->view()->isVisible())
        box()->hidePopup();
    else
        box()->showPopup();
}

} // namespace zendry
