#pragma once

class QWidget;

namespace zendry {

// A window of one fixed size, framed as such by the desktop.
class FixedFrame
{
public:
    // Offers no maximise button and no resizing, only moving, minimising and
    // closing. Qt's X11 backend always offers resizing in the Motif hints
    // that window managers read; this writes the hints the window means.
    static void apply(QWidget *window);
};

} // namespace zendry
