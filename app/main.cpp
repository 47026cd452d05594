#include "app/program.h"
#include "app/realsetup.h"
#include "platform/qttranslations.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    zendry::QtTranslations::install();
    zendry::RealSetup real;
    return zendry::runProgram(real.setup());
}
