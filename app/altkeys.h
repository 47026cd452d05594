#pragma once

#include <QChar>
#include <QObject>
#include <QString>

class QWidget;

namespace zendry {

// What the native codes of a key event say about the key itself.
enum class KeyCodes {
    None, // none: a key event made up by a program
    Xkb, // the scan code is the XKB keycode of a standard keyboard (X11, Wayland)
    Windows, // the virtual key, 'A' to 'Z' for the letter keys on every layout
};

// A key press as the window's keyboard filter sees it.
struct KeyPress
{
    int key = 0;
    Qt::KeyboardModifiers modifiers;
    QString text;
    quint32 scanCode = 0;
    quint32 virtualKey = 0;
};

// What Alt with a key does in the window.
struct AltKey
{
    enum class Action {
        PassOn, // not Alt with a key: the control with the focus has it
        AccessKey, // the access key `letter`
        Refuse, // types nothing, and beeps: nothing answers it
    };
    Action action = Action::PassOn;
    QChar letter;
};

// Alt (with or without Shift) and a key never types into a box. It is an
// access key when the key bears one of `accessKeys` (upper-case letters): the
// Latin letter that the active layout puts on the key, or, where the layout
// puts a letter of another script there (Cyrillic, Greek), the letter that the
// key bears on a standard US keyboard, as Windows' letter keys keep their
// virtual key on every layout. Ctrl with Alt is AltGr on Windows, and types.
AltKey altKeyMeaning(const KeyPress &press, KeyCodes codes, const QString &accessKeys);

// Gives a window's access keys their meaning on every keyboard layout: reads
// each key press of the window, presses the access key that Alt with a key
// means through Qt's own shortcuts, and keeps every other Alt key from
// typing, beeping as the desktop does where nothing answers a key.
class AltKeys : public QObject
{
    Q_OBJECT

public:
    explicit AltKeys(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool fromTheWindow(QObject *watched) const;
    static QString accessKeysOf(const QWidget *window);

    QWidget *m_window;
    const QString m_accessKeys; // the captions' marked letters, which never change
};

} // namespace zendry
