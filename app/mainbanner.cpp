// The window's banner and the pages and file it hands to the desktop.
#include "app/mainwindow.h"

#include "ui_main.h"

#include "banner/bannerreceiver.h"
#include "banner/weblinks.h"
#include "platform/desktop.h"

#include <QDir>

namespace zendry {

namespace {

const QByteArray bannerRequest = QByteArrayLiteral("Ad SMS v1.10");

} // namespace

void Main::startBannerFetch()
{
    AdSock->abort();
    AdSock->connectToHost(m_endpoints.adHost, m_endpoints.port);
}

void Main::AdTimer_Timer()
{
    if (AdCountdown > 0) {
        --AdCountdown;
        return;
    }
    startBannerFetch();
    AdCountdown = 120;
}

void Main::AdSock_Connect()
{
    AdSock->write(bannerRequest);
    AdRemaining = -1;
}

void Main::AdSock_DataArrival()
{
    const QByteArray data = AdSock->readAll();
    // From the first packet of a reply until its picture is complete, no picture.
    if (AdRemaining == -1)
        ui->Banner->clear();
    switch (BannerReceiver::receive(data, AdRemaining, AdLink, m_bannerFile)) {
    case BannerReceiver::Outcome::Waiting:
        return;
    case BannerReceiver::Outcome::Failed:
        return bannerFallback();
    case BannerReceiver::Outcome::Complete:
        break;
    }
    m_bannerFile.close();
    AdSock->abort();
    const bool loaded = loadBanner(m_bannerFile.path());
    m_bannerFile.remove();
    if (!loaded)
        bannerFallback();
}

// A server that closes early leaves the banner empty until the next fetch.
void Main::AdSock_Error(QAbstractSocket::SocketError error)
{
    if (error != QAbstractSocket::RemoteHostClosedError)
        bannerFallback();
}

// Every step is tried whatever became of the one before.
void Main::bannerFallback()
{
    m_bannerFile.close();
    AdSock->abort();
    m_bannerFile.remove();
    AdCountdown = 120;
    AdLink = m_endpoints.defaultBannerLink;
    loadBanner(programFile(BannerFile::fallbackPicture));
}

// The box takes the size of the picture; one that cannot be read leaves the
// box as it was.
bool Main::loadBanner(const QString &path)
{
    const QImage picture = BannerFile::loadPicture(path);
    if (picture.isNull())
        return false;
    ui->Banner->setPixmap(QPixmap::fromImage(picture));
    ui->Banner->resize(picture.size());
    return true;
}

void Main::openPage(const QString &verb, const QString &target)
{
    m_desktop->open(this, verb, target);
}

void Main::Banner_Click()
{
    if (const QString page = WebLinks::webPage(AdLink); !page.isEmpty())
        openPage(QStringLiteral("open"), page);
}

void Main::CreateZDID_Click()
{
    openPage(QStringLiteral("Open"), WebLinks::createPage(m_endpoints));
}

void Main::Purchase_Click()
{
    openPage(QStringLiteral("Open"), WebLinks::purchasePage(m_endpoints));
}

void Main::HelpButton_Click()
{
    ShowReadme();
}

void Main::ShowReadme()
{
    openPage(QStringLiteral("open"), m_programFolder.openTarget(QStringLiteral("Readme.txt")));
}

void Main::Form_KeyUp(int key)
{
    if (key == Qt::Key_F1)
        ShowReadme();
}

} // namespace zendry
