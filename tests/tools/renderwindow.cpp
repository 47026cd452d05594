// Renders the real window into a PNG, for the README and for a look at the
// layout: renderwindow OUTPUT.png. Offscreen on Linux; the Windows build
// draws with Windows' own style and fonts (under Wine, on an X server).
#include "windowfixture.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

int main(int argc, char *argv[])
{
#ifndef Q_OS_WIN
    qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    QApplication app(argc, argv);
    WindowFixture f;
    f.fill("demo", "**********", "447700900123", "See you at eight by the station?");
    f.control<QCheckBox>("SavePW")->setChecked(true);
    f.edit("FreeCredits")->setText("5");
    f.edit("Credits")->setText("20");
    f.to()->setEditText("Alice");
    f.window->show();
    // The start-up fetch finds no ad server and shows the shipped banner.
    if (!QTest::qWaitFor([&] { return !f.control<QLabel>("Banner")->pixmap().isNull(); }))
        qWarning("the shipped banner did not appear; the picture shows the window without it");
    const bool saved = argc == 2 && f.window->grab().save(QString::fromLocal8Bit(argv[1]));
    if (!saved)
        qWarning("usage: renderwindow OUTPUT.png (a file that can be written)");
    return saved ? 0 : 1;
}
