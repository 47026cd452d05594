#include "app/altkeys.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QWidget>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

namespace zendry {

namespace {

// The letter keys of a standard keyboard by their XKB keycode (the Linux
// scan code plus 8), as a US layout labels them.
QChar letterAtKeycode(quint32 keycode)
{
    static const struct
    {
        quint32 first;
        const char *letters;
    } rows[] = { { 24, "QWERTYUIOP" }, { 38, "ASDFGHJKL" }, { 52, "ZXCVBNM" } };
    for (const auto &row : rows) {
        if (keycode >= row.first && keycode < row.first + qstrlen(row.letters))
            return QLatin1Char(row.letters[keycode - row.first]);
    }
    return {};
}

// The Latin letter the key bears, upper case, or none.
QChar keyLetter(const KeyPress &press, KeyCodes codes)
{
    if (codes == KeyCodes::Windows)
        return press.virtualKey >= 'A' && press.virtualKey <= 'Z' ? QChar(char16_t(press.virtualKey))
                                                                  : QChar();
    if (press.key >= Qt::Key_A && press.key <= Qt::Key_Z)
        return QChar(char16_t(press.key));
    // Qt names a letter key by the letter's upper-case code point.
    const auto key = char32_t(press.key);
    const bool otherScript =
            key <= 0x10FFFF && QChar::isLetter(key) && QChar::script(key) != QChar::Script_Latin;
    return codes == KeyCodes::Xkb && otherScript ? letterAtKeycode(press.scanCode) : QChar();
}

} // namespace

AltKey altKeyMeaning(const KeyPress &press, KeyCodes codes, const QString &accessKeys)
{
    const Qt::KeyboardModifiers mods = press.modifiers & ~(Qt::KeypadModifier | Qt::GroupSwitchModifier);
    if (!(mods & Qt::AltModifier) || (mods & (Qt::ControlModifier | Qt::MetaModifier)))
        return {};
    const QChar letter = keyLetter(press, codes);
    if (!letter.isNull() && accessKeys.contains(letter))
        return { AltKey::Action::AccessKey, letter };
    const bool types = !press.text.isEmpty() && press.text.front().isPrint();
    if (!letter.isNull() || types)
        return { AltKey::Action::Refuse, {} };
    return {};
}

// Made once the window's controls exist, before its first key.
AltKeys::AltKeys(QWidget *window) : QObject(window), m_window(window), m_accessKeys(accessKeysOf(window))
{
    qApp->installEventFilter(this);
}

// A key press starts at the focus widget, which may be a dropped-down list
// of the window's, or at the window when nothing in it has the focus.
bool AltKeys::fromTheWindow(QObject *watched) const
{
    auto *widget = qobject_cast<QWidget *>(watched);
    QWidget *focus = QApplication::focusWidget();
    if (!widget || widget != (focus ? focus : m_window))
        return false;
    QWidget *top = widget->window();
    while (top && top->windowType() == Qt::Popup && top->parentWidget())
        top = top->parentWidget()->window();
    return top == m_window;
}

// The letters of the window's captions marked with an ampersand.
QString AltKeys::accessKeysOf(const QWidget *window)
{
    QString letters;
    const auto add = [&letters](const QString &caption) {
        const QKeySequence mnemonic = QKeySequence::mnemonic(caption);
        if (!mnemonic.isEmpty())
            letters += QChar(char16_t(mnemonic[0].key()));
    };
    for (const QAbstractButton *button : window->findChildren<QAbstractButton *>())
        add(button->text());
    for (const QLabel *label : window->findChildren<QLabel *>())
        add(label->text());
    return letters;
}

bool AltKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !m_window->isEnabled() || !fromTheWindow(watched))
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const QString platform = QGuiApplication::platformName();
    const KeyCodes codes = platform == QLatin1String("windows") ? KeyCodes::Windows
            : platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland"))
            ? KeyCodes::Xkb
            : KeyCodes::None;
    const AltKey meaning = altKeyMeaning(
            { key->key(), key->modifiers(), key->text(), key->nativeScanCode(), key->nativeVirtualKey() },
            codes, m_accessKeys);
    if (meaning.action == AltKey::Action::PassOn)
        return false;
    // Qt's shortcuts have not matched the key (they know only the letter the
    // layout puts on it): hand them the access key by its letter, so that
    // each control answers it as it answers Alt with that letter.
    bool answered = false;
    if (meaning.action == AltKey::Action::AccessKey) {
        // A dropped-down list closes first, as on Windows, so that the
        // access key reaches the window rather than the list.
        if (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
        answered = QWindowSystemInterface::handleShortcutEvent(
                m_window->windowHandle(), key->timestamp(), Qt::Key_A + (meaning.letter.unicode() - u'A'),
                Qt::AltModifier, 0, 0, 0, meaning.letter.toLower(), false, 1);
    }
    if (!answered)
        QApplication::beep();
    return true;
}

} // namespace zendry
