#include "app/program.h"

#include "app/mainwindow.h"
#include "platform/normalstate.h"

#include <QApplication>

namespace zendry {

int runProgram(const MainSetup &setup)
{
    Main window(setup);
    // Asked to end while starting up (a box was open): all is stored already.
    if (window.ended())
        return 0;
    window.show();
    NormalState::keep(&window);
    return QApplication::exec();
}

} // namespace zendry
