#pragma once

#include <QComboBox>

#include <functional>

namespace zendry {

// A drop-down combo box that says when the user picks an entry of its list,
// from the dropped list, the arrow keys or the wheel. The wheel turns only a
// box that has the focus: a pointer merely resting on it changes nothing.
// Qt's activated() also
// reports an entry when the typed text merely equals it, on Enter and when
// the box finishes its edit; that is typing, not a pick. A screen reader
// hears a pick by the wheel or the keys as the new name alone.
class PickBox : public QComboBox
{
    Q_OBJECT

public:
    explicit PickBox(QWidget *parent = nullptr);

signals:
    void picked(int row);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void turn(const std::function<void()> &turning, bool select);

    bool m_typing = false;
};

} // namespace zendry
