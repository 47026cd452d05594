#include "windowfixture.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace {

QByteArray picture(QSize size = { 100, 20 }, const char *format = "PNG")
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// An ad server whose every write the test makes itself, so a packet split is
// where the test puts it.
struct AdServer : QTcpServer
{
    AdServer()
    {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection()) {
                ++connections;
                current = s;
                connect(s, &QTcpSocket::readyRead, s, [this, s] { requests += s->readAll(); });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    void send(const QByteArray &bytes)
    {
        current->write(bytes);
        current->flush();
    }
    int connections = 0;
    QByteArray requests;
    QPointer<QTcpSocket> current;
};

struct BannerWindow : WindowFixture
{
    explicit BannerWindow(AdServer &ads)
        : WindowFixture(Options{ ads.serverPort(), 10000, "127.0.0.1", false }), ads(ads)
    {
        shipFiles();
        start();
        // Start-up fetches the first banner; the tests start from there.
        QTest::qWaitFor([&] { return ads.requests == "Ad SMS v1.10"; });
        ads.requests.clear();
    }
    QLabel *banner() const { return control<QLabel>("Banner"); }
    bool hasPicture() const { return !banner()->pixmap().isNull(); }
    // The fetch has ended and its picture is in the box.
    bool shows(QSize size) const
    {
        return window->adRemaining() <= 0 && !QFile::exists(tmp()) && banner()->pixmap().size() == size;
    }
    QString tmp() const { return folder.filePath("Banner.tmp"); }
    bool fetch()
    {
        const int before = ads.connections;
        window->startBannerFetch();
        return QTest::qWaitFor([&] { return ads.connections > before && ads.requests.endsWith("v1.10"); });
    }
    bool fellBack() const
    {
        return window->adLink() == "http://www.test.example/" && banner()->pixmap().size() == QSize(468, 60)
                && window->adCountdown() == 120 && !QFile::exists(tmp());
    }
    AdServer &ads;
};

} // namespace

class TestBannerWindow : public QObject
{
    Q_OBJECT

private slots:
    void aWholeReplyInOnePacket();
    void aReplyInPieces();
    void repliesThatEndAtOnce_data();
    void repliesThatEndAtOnce();
    void badRepliesFallBack_data();
    void badRepliesFallBack();
    void aStreamPastTheCapFallsBack();
    void aServerThatClosesEarly();
    void anUnreachableServerFallsBack();
    void aNewFetchEveryHundredAndTwentyFirstTick();
    void aFetchIsAbandonedByTheNext();
    void bannerClicks_data();
    void bannerClicks();
    void readmeAndPages();
    void onlyTheReleaseOfF1OpensTheReadme();
};

void TestBannerWindow::aWholeReplyInOnePacket()
{
    AdServer ads;
    BannerWindow f(ads);
    QVERIFY(f.fetch());
    QCOMPARE(ads.requests, QByteArray("Ad SMS v1.10"));
    QCOMPARE(f.window->adRemaining(), -1);
    const QByteArray png = picture({ 120, 30 });
    ads.send(QByteArray::number(png.size()) + " http://ads.example/one\r" + png);
    QTRY_VERIFY(f.shows({ 120, 30 }));
    QCOMPARE(f.banner()->pixmap().size(), QSize(120, 30));
    QCOMPARE(f.banner()->size(), QSize(120, 30));
    QCOMPARE(f.window->adLink(), QString("http://ads.example/one"));
    QCOMPARE(f.window->adRemaining(), 0);
    QVERIFY(!QFile::exists(f.tmp()));
    QTRY_VERIFY(!ads.current); // the client closed the connection
}

void TestBannerWindow::aReplyInPieces()
{
    AdServer ads;
    BannerWindow f(ads);
    QVERIFY(f.fetch());
    // Before the first packet the previous picture stays.
    const QByteArray first = picture({ 50, 10 });
    ads.send(QByteArray::number(first.size()) + " http://ads.example/1\r" + first);
    QTRY_VERIFY(f.shows({ 50, 10 }));

    QVERIFY(f.fetch());
    QVERIFY(f.hasPicture());
    const QByteArray png = picture({ 80, 20 });
    ads.send(QByteArray::number(png.size()) + " http://ads.example/2\r");
    QTRY_COMPARE(f.window->adRemaining(), int(png.size()));
    QVERIFY(!f.hasPicture()); // cleared from the first packet on
    QCOMPARE(f.window->adLink(), QString("http://ads.example/2")); // the new link already
    QVERIFY(QFile::exists(f.tmp()));
    ads.send(png.left(10));
    QTRY_COMPARE(f.window->adRemaining(), int(png.size()) - 10);
    QCOMPARE(QFileInfo(f.tmp()).size(), 10);
    QVERIFY(!f.hasPicture());
    ads.send(png.mid(10));
    QTRY_VERIFY(f.shows({ 80, 20 }));
    QCOMPARE(f.banner()->pixmap().size(), QSize(80, 20));
    QVERIFY(!QFile::exists(f.tmp()));
}

void TestBannerWindow::repliesThatEndAtOnce_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QSize>("size");
    const QByteArray png = picture({ 30, 5 });
    QTest::newRow("more than announced") << "3 l\r" + png << QSize(30, 5);
    QTest::newRow("length 0") << "0 l\r" + png << QSize(30, 5);
    QTest::newRow("length not a number") << "many l\r" + png << QSize(30, 5);
    QTest::newRow("a GIF") << "7710 l\r" + [] {
        QFile gif(QStringLiteral(ZENDRY_SOURCE_DIR "/banner/Vorral.gif"));
        gif.open(QIODevice::ReadOnly);
        return gif.readAll();
    }() << QSize(468, 60);
}

void TestBannerWindow::repliesThatEndAtOnce()
{
    QFETCH(QByteArray, reply);
    QFETCH(QSize, size);
    AdServer ads;
    BannerWindow f(ads);
    QVERIFY(f.fetch());
    ads.send(reply);
    QTRY_VERIFY(f.window->adLink() == "l" && f.shows(size));
    QCOMPARE(f.banner()->pixmap().size(), size);
    QCOMPARE(f.window->adLink(), QString("l"));
    QVERIFY(!QFile::exists(f.tmp()));
}

void TestBannerWindow::badRepliesFallBack_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("no space") << QByteArray("5http\rABCDE");
    QTest::newRow("no CR") << QByteArray("5 http://ads.example/");
    QTest::newRow("not a picture") << QByteArray("5 l\rABCDE");
    QTest::newRow("CR LF ending spoils the picture") << "3 l\r\n" + picture();
    QTest::newRow("length 0 and nothing") << QByteArray("0 l\r");
    QTest::newRow("announced past the cap") << QByteArray("4194305 l\rxx");
    QTest::newRow("past 32 bits") << QByteArray("99999999999 l\rxx");
}

void TestBannerWindow::badRepliesFallBack()
{
    QFETCH(QByteArray, reply);
    AdServer ads;
    BannerWindow f(ads);
    QVERIFY(f.fetch());
    ads.send(reply);
    QTRY_VERIFY(f.fellBack());
    QTRY_VERIFY(!ads.current);
}

void TestBannerWindow::aStreamPastTheCapFallsBack()
{
    AdServer ads;
    BannerWindow f(ads);
    QVERIFY(f.fetch());
    ads.send("4194304 l\r");
    QTRY_COMPARE(f.window->adRemaining(), 4194304);
    const QByteArray block(256 * 1024, 'x');
    for (int i = 0; i < 20 && ads.current; ++i) {
        ads.send(block);
        QTest::qWaitFor([&] { return !ads.current || ads.current->bytesToWrite() == 0; });
    }
    QTRY_VERIFY(f.fellBack());
    QTRY_VERIFY(!ads.current);
}

void TestBannerWindow::aServerThatClosesEarly()
{
    AdServer ads;
    BannerWindow f(ads);
    QVERIFY(f.fetch());
    ads.send("100 http://ads.example/late\r12345");
    QTRY_COMPARE(f.window->adRemaining(), 95);
    ads.current->disconnectFromHost();
    QTRY_VERIFY(!ads.current);
    QCoreApplication::processEvents();
    QVERIFY(!f.hasPicture());
    QCOMPARE(f.window->adLink(), QString("http://ads.example/late"));
    QVERIFY(QFile::exists(f.tmp()));
    QCOMPARE(f.window->adCountdown(), 120); // as start-up left it: no fallback
}

void TestBannerWindow::anUnreachableServerFallsBack()
{
    AdServer ads;
    const quint16 port = ads.serverPort();
    ads.close();
    WindowFixture f(WindowFixture::Options{ port, 10000, "127.0.0.1", false });
    f.shipFiles();
    f.start();
    for (int tick = 0; tick < 60; ++tick)
        f.window->AdTimer_Timer();
    f.window->startBannerFetch();
    QTRY_COMPARE(f.window->adCountdown(), 120);
    QCOMPARE(f.window->adLink(), QString("http://www.test.example/"));
    QCOMPARE(f.control<QLabel>("Banner")->pixmap().size(), QSize(468, 60));

    // Without Vorral.gif the banner keeps what it had.
    QFile::remove(f.folder.filePath("Vorral.gif"));
    f.control<QLabel>("Banner")->clear();
    f.window->startBannerFetch();
    QTRY_VERIFY(f.window->adCountdown() == 120 && f.window->adLink() == "http://www.test.example/");
    QVERIFY(f.control<QLabel>("Banner")->pixmap().isNull());
}

void TestBannerWindow::aNewFetchEveryHundredAndTwentyFirstTick()
{
    AdServer ads;
    BannerWindow f(ads);
    QCOMPARE(ads.connections, 1); // start-up's fetch
    QCOMPARE(f.window->adCountdown(), 120);
    for (int tick = 0; tick < 120; ++tick)
        f.window->AdTimer_Timer();
    QCOMPARE(f.window->adCountdown(), 0);
    QCoreApplication::processEvents();
    QCOMPARE(ads.connections, 1);
    f.window->AdTimer_Timer();
    QTRY_COMPARE(ads.connections, 2);
    QCOMPARE(f.window->adCountdown(), 120);
}

void TestBannerWindow::aFetchIsAbandonedByTheNext()
{
    AdServer ads;
    BannerWindow f(ads);
    QVERIFY(f.fetch());
    ads.send("100 http://ads.example/old\r12345");
    QTRY_COMPARE(f.window->adRemaining(), 95);
    QPointer<QTcpSocket> old = ads.current;
    QVERIFY(f.fetch()); // the tick that starts the next fetch closes this one
    QTRY_VERIFY(!old || old->state() != QAbstractSocket::ConnectedState);
    const QByteArray png = picture({ 64, 16 });
    ads.send(QByteArray::number(png.size()) + " http://ads.example/new\r" + png);
    QTRY_VERIFY(f.shows({ 64, 16 }));
    QCOMPARE(f.banner()->pixmap().size(), QSize(64, 16));
    QCOMPARE(f.window->adLink(), QString("http://ads.example/new"));
    QVERIFY(!QFile::exists(f.tmp()));
}

void TestBannerWindow::bannerClicks_data()
{
    QTest::addColumn<QByteArray>("link");
    QTest::addColumn<bool>("opened");
    QTest::newRow("http") << QByteArray("http://ads.example/offer") << true;
    QTest::newRow("https") << QByteArray("https://ads.example/offer") << true;
    QTest::newRow("a file") << QByteArray("file:///etc/passwd") << false;
    QTest::newRow("a program") << QByteArray("/usr/bin/xterm") << false;
    QTest::newRow("empty") << QByteArray("") << false;
}

void TestBannerWindow::bannerClicks()
{
    QFETCH(QByteArray, link);
    QFETCH(bool, opened);
    AdServer ads;
    BannerWindow f(ads);
    f.showActive();
    QVERIFY(f.fetch());
    const QByteArray png = picture({ 468, 60 });
    ads.send(QByteArray::number(png.size()) + ' ' + link + '\r' + png);
    QTRY_VERIFY(f.window->adLink() == QString::fromLatin1(link) && f.shows({ 468, 60 }));
    QTest::mouseClick(f.banner(), Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(f.window->adLink(), QString::fromLatin1(link)); // kept as the header said
    QCOMPARE(f.desktop.opened.size(), opened ? 1 : 0);
    if (opened)
        QCOMPARE(f.desktop.opened[0], qMakePair(QString("open"), QString::fromLatin1(link)));
}

void TestBannerWindow::readmeAndPages()
{
    AdServer ads;
    BannerWindow f(ads);
    f.showActive();
    f.button("HelpButton")->click();
    f.button("CreateZDID")->click();
    f.button("Purchase")->click();
    const QString readme = QDir::toNativeSeparators(f.folder.filePath("Readme.txt"));
    const QString port = QString::number(ads.serverPort());
    QCOMPARE(f.desktop.opened.size(), 3);
    QCOMPARE(f.desktop.opened[0], qMakePair(QString("open"), readme));
    QCOMPARE(f.desktop.opened[1], qMakePair(QString("Open"), "http://www.test.example:" + port + "/create/"));
    QCOMPARE(f.desktop.opened[2], qMakePair(QString("Open"), "http://127.0.0.1:" + port + "/buytexts.html"));
}

void TestBannerWindow::onlyTheReleaseOfF1OpensTheReadme()
{
    AdServer ads;
    BannerWindow f(ads);
    f.showActive();
    const QString readme = QDir::toNativeSeparators(f.folder.filePath("Readme.txt"));
    for (const char *name : { "ToName", "Message", "PW", "Send", "Chars" }) {
        QWidget *w = f.control(name);
        w->setFocus();
        QWidget *focus = QApplication::focusWidget();
        f.desktop.opened.clear();
        QTest::keyPress(focus, Qt::Key_F1);
        QCOMPARE(f.desktop.opened.size(), 0);
        QTest::keyRelease(focus, Qt::Key_F1);
        QCOMPARE(f.desktop.opened.size(), 1);
        QCOMPARE(f.desktop.opened[0], qMakePair(QString("open"), readme));
    }
    QWidget *focus = QApplication::focusWidget();
    f.desktop.opened.clear();
    for (auto modifiers : { Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier })
        QTest::keyClick(focus, Qt::Key_F1, modifiers);
    QCOMPARE(f.desktop.opened.size(), 3);
    f.desktop.opened.clear();
    // Held down: the repeats are not releases of the key.
    QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_F1, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(focus, &repeat);
    QTest::keyClick(focus, Qt::Key_F2);
    QTest::keyClick(focus, Qt::Key_Escape);
    QCOMPARE(f.desktop.opened.size(), 0);
}

QTEST_MAIN(TestBannerWindow)
#include "tst_bannerwindow.moc"
