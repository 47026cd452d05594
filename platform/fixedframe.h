#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

class QWidget;

namespace zendry {

// A window of one fixed size, framed as such by the desktop.
class FixedFrame : public QObject, public QAbstractNativeEventFilter
{
    Q_OBJECT

public:
    // Offers no maximise button, no resizing and no full screen, only moving,
    // minimising and closing. Qt's X11 backend always offers resizing in the
    // Motif hints that window managers read; this writes the hints the window
    // means. The frame lives as long as the window.
    static void apply(QWidget *window);

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit FixedFrame(QWidget *window);
    ~FixedFrame() override;
    void writeMotifHints();
    void withdrawFullScreenAction();

    QWidget *m_window;
};

} // namespace zendry
