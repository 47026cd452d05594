#pragma once

#include <QFont>

class QWidget;

namespace zendry {

// The form was drawn for an 8-point system font; the desktop's own default
// is usually larger. This is the system's sans family at the largest size
// that lets every caption and every box's text of the form fit its rectangle.
QFont fittedFont(const QWidget &form);

// The largest size it picks, in pixels: the form's 8 points on a 96 DPI screen
// and a little more.
constexpr int largestFontPixels = 12;

} // namespace zendry
