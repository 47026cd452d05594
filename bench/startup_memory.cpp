// One start-up a process: startup_memory empty|label|main
// Shows the window offscreen, paints it, and prints the process's peak
// resident set (VmHWM) in KiB. "empty" is a bare QWidget of the window's
// size; "label" the same with one caption, which makes Qt load its fonts, as
// any window with text must.
#include "benchsupport.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QRegularExpression>

#include <cstdio>
#include <memory>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray("empty");
    const bool main = mode == "main";
    std::unique_ptr<StartupFolder> folder;
    std::unique_ptr<QWidget> window;
    if (main) {
        folder = std::make_unique<StartupFolder>();
        window = std::make_unique<zendry::Main>(folder->setup);
    } else {
        window = std::make_unique<QWidget>();
        window->resize(485, 297);
        if (mode == "label")
            new QLabel(QStringLiteral("Zendry SMS"), window.get());
    }
    window->show();
    QCoreApplication::processEvents();
    window->grab();
    QCoreApplication::processEvents();

    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    const auto m = QRegularExpression("VmHWM:\\s+(\\d+) kB").match(QString::fromLatin1(status.readAll()));
    std::printf("%s %s KiB\n", mode.constData(), qPrintable(m.captured(1)));
    return 0;
}
