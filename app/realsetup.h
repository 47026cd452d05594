#pragma once

#include "app/mainwindow.h"
#include "platform/qtmessageboxes.h"
#include "platform/systemdesktop.h"

namespace zendry {

// The real platform pieces: the desktop's boxes and opener, the executable's
// folder and the endpoints fixed at build time.
class RealSetup
{
public:
    MainSetup setup();

private:
    QtMessageBoxes m_boxes;
    SystemDesktop m_desktop;
};

} // namespace zendry
