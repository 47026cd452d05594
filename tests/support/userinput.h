#pragma once

#include <QPoint>
#include <QString>

// The user's keyboard and mouse as the desktop delivers them: through the X
// server (xdotool) on Linux, through SendInput on Windows. Each call returns
// once the desktop has taken the input; the program sees it as its events run.
namespace UserInput {

// Key names as xdotool spells them: "Return", "F1", "ctrl+v".
void key(const QString &chord);
// The same, without waiting: for a box whose own event loop must run.
void keySoon(const QString &chord);
void type(const QString &text);
// Down for longer than the desktop's repeat delay, then up.
void holdKey(const QString &name);
void doubleClick(QPoint global);

} // namespace UserInput
