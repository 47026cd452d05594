#pragma once

#include <QAccessibleWidget>

class QComboBox;

namespace zendry {

// What a screen reader sees of a PickBox: Qt's drop-down combo box, but its
// name is its own (the label's, "To") on every platform. Qt's combo box on
// Linux names itself after its current text, so a pick renamed the box.
class PickBoxAccessible : public QAccessibleWidget
{
public:
    explicit PickBoxAccessible(QComboBox *box);

    // Makes every PickBox known to accessibility through this class; once.
    static void install();

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;
    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString &actionName) override;

private:
    QComboBox *box() const;
};

} // namespace zendry
