#pragma once

#include <QObject>

class QLineEdit;
class QTimer;

namespace zendry {

// A read-only box that has the focus shows a blinking caret, as the
// designed desktop's locked boxes do; Qt's shows none, so an empty one would
// show no sign of the focus at all.
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
