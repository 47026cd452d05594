#include "app/mainwindow.h"
#include "app/realsetup.h"
#include "platform/qttranslations.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    zendry::QtTranslations::install();
    zendry::RealSetup real;
    zendry::Main window(real.setup());
    // Asked to end while starting up (a box was open): all is stored already.
    if (window.ended())
        return 0;
    window.show();
    return app.exec();
}
