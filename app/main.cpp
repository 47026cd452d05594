#include "app/program.h"
#include "app/realsetup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    zendry::RealSetup real;
    return zendry::runProgram(real.setup());
}
