#include "app/mainwindow.h"
#include "app/realsetup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    zendry::RealSetup real;
    zendry::Main window(real.setup());
    window.show();
    return app.exec();
}
