#pragma once

#include <QPoint>
#include <QString>

// What only the desktop's own keyboard and mouse make: a key held down
// repeating and a double click, through the X server (xdotool) on Linux and
// through SendInput on Windows. Each call returns once the desktop has taken
// the input; the program sees it as its events run.
namespace UserInput {

// Down for longer than the desktop's repeat delay, then up; names as xdotool
// spells them ("F1").
void holdKey(const QString &name);
void doubleClick(QPoint global);

} // namespace UserInput
