#pragma once

#include <QObject>

class QLineEdit;
class QTimer;

namespace zendry {

// A read-only box that has the focus shows a blinking caret, as a locked
// edit box does on Windows; Qt's shows none, so an empty one would show no
// sign of the focus at all. Such a box is narrow and its value may be longer
// than it is wide: it shows the value from its first character, the minus
// sign included, whenever the value is set and whatever the focus did. Qt
// leaves the caret, and so the view, at the end, where entering the box by
// Tab, which selects the whole value, puts it again.
class ReadOnlyCaret : public QObject
{
    Q_OBJECT

public:
    explicit ReadOnlyCaret(QLineEdit *box);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void blink();

    QLineEdit *m_box;
    QTimer *m_blink;
    bool m_shown = false;
};

} // namespace zendry
