#include "windowfixture.h"

#include <QFile>
#include <QTest>

WindowFixture::WindowFixture(quint16 port, int timeoutMs) : WindowFixture(Options{ port, timeoutMs }) { }

WindowFixture::WindowFixture(const Options &o) : options(o)
{
    if (options.startNow)
        start();
}

void WindowFixture::start()
{
    zendry::MainSetup setup;
    setup.boxes = &boxes;
    setup.desktop = &desktop;
    setup.programFolder = folder.path();
    setup.endpoints.serviceHost = options.serviceHost;
    setup.endpoints.adHost = options.adHost;
    setup.endpoints.webHost = QStringLiteral("www.test.example");
    setup.endpoints.port = options.port;
    setup.endpoints.defaultBannerLink = QStringLiteral("http://www.test.example/");
    setup.exchangeTimeoutMs = options.timeoutMs;
    setup.adTickMs = 0; // tests tick AdTimer themselves
    setup.termination = options.termination;
    window = std::make_unique<zendry::Main>(setup);
}

void WindowFixture::showActive()
{
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get()))
        qWarning("window did not become active");
}

void WindowFixture::shipFiles()
{
    QFile::copy(QStringLiteral(ZENDRY_SOURCE_DIR "/banner/Vorral.gif"), folder.filePath("Vorral.gif"));
}

void WindowFixture::put(const QString &name, const QByteArray &bytes) const
{
    QFile f(folder.filePath(name));
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

QByteArray WindowFixture::bytes(const QString &name) const
{
    QFile f(folder.filePath(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
