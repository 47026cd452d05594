#pragma once

#include "app/mainwindow.h"
#include "platform/qtmessageboxes.h"
#include "platform/systemdesktop.h"
#include "platform/termination.h"

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
    Termination m_termination;
};

} // namespace zendry
