#pragma once

#include <QObject>
#include <QTimer>

class QKeyEvent;

namespace zendry {

// Tells the release of a key from the release and press that a key held
// down repeats with. X sends that pair with one time stamp, and Qt marks it
// as a repeat only when the press has already arrived as the release is
// handled, which it often has not. So a release counts once no press of the
// same key with the same time stamp has followed it for `settleMs`; a press
// with another time stamp, or a release without one, counts at once.
class KeyUps : public QObject
{
    Q_OBJECT

public:
    explicit KeyUps(int settleMs, QObject *parent = nullptr);

    void press(const QKeyEvent &event);
    void release(const QKeyEvent &event);
    // Reports the release still waiting, if any.
    void settle();

signals:
    void released(int key);

private:
    QTimer m_settle;
    int m_key = 0; // the release waiting to count; 0 when none is
    quint64 m_time = 0;
};

} // namespace zendry
