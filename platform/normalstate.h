#pragma once

#include <QObject>
#include <QSize>

class QWidget;

namespace zendry {

// Keeps a fixed-size window usable where its title bar offers to maximise
// it anyway. Qt draws the title bar itself under Wayland, with a maximise
// button on every window; the compositor then requires the window to take
// the maximised size exactly and ends the connection, and with it the
// program, of one that keeps its own. So a fixed window there may take the
// size it is given for the moment, and asks at once to be normal again,
// taking its fixed size back once it has it: the button changes nothing.
class NormalState : public QObject
{
    Q_OBJECT

public:
    // For a shown window; nothing where the desktop keeps to the window's size.
    static void keep(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit NormalState(QWidget *window);
    void stateChanged(Qt::WindowState state);

    QWidget *m_window;
    QSize m_size;
    bool m_loose = false;
};

} // namespace zendry
