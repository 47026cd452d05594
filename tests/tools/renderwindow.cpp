// Renders the real window offscreen into a PNG, for the README and for a look
// at the layout: renderwindow OUTPUT.png
#include "windowfixture.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <QTest>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        qWarning("usage: renderwindow OUTPUT.png");
        return 2;
    }
    WindowFixture::Options options;
    options.startNow = false;
    WindowFixture f(options);
    f.shipFiles();
    f.start();
    f.edit("ZDID")->setText(QStringLiteral("demo"));
    f.edit("PW")->setText(QStringLiteral("**********"));
    f.control<QCheckBox>("SavePW")->setChecked(true);
    f.edit("FreeCredits")->setText(QStringLiteral("5"));
    f.edit("Credits")->setText(QStringLiteral("20"));
    f.control<QComboBox>("ToName")->setEditText(QStringLiteral("Alice"));
    f.edit("Number")->setText(QStringLiteral("447700900123"));
    f.control<QPlainTextEdit>("Message")->setPlainText(QStringLiteral("See you at eight by the station?"));
    f.window->show();
    // The start-up fetch finds no ad server and shows the shipped banner.
    const bool bannerShown = QTest::qWaitFor([&] {
        return f.window->adCountdown() == 120 && !f.control<QLabel>("Banner")->pixmap().isNull();
    });
    if (!bannerShown)
        qWarning("the shipped banner did not appear; the picture shows the window without it");
    const QPixmap shot = f.window->grab();
    if (!shot.save(QString::fromLocal8Bit(argv[1]))) {
        qWarning("could not write %s", argv[1]);
        return 1;
    }
    return 0;
}
