#include "windowfixture.h"

#include <QFile>
#include <QTest>

WindowFixture::WindowFixture(quint16 servicePort, int timeoutMs)
{
    zendry::MainSetup setup;
    setup.boxes = &boxes;
    setup.desktop = &desktop;
    setup.programFolder = folder.path();
    setup.endpoints.serviceHost = QStringLiteral("127.0.0.1");
    setup.endpoints.adHost = QStringLiteral("127.0.0.1");
    setup.endpoints.webHost = QStringLiteral("www.test.example");
    setup.endpoints.port = servicePort;
    setup.endpoints.defaultBannerLink = QStringLiteral("http://www.test.example/");
    setup.exchangeTimeoutMs = timeoutMs;
    setup.adTickMs = 0; // tests tick AdTimer themselves
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
