#include "scriptedservice.h"
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

QByteArray picture(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QByteArray reply(const QByteArray &link, const QByteArray &picture)
{
    return QByteArray::number(picture.size()) + ' ' + link + '\r' + picture;
}

// The window with Vorral.gif shipped, after start-up's first fetch has reached the ad server.
struct BannerWindow : WindowFixture
{
    explicit BannerWindow(ScriptedService &ads)
        : WindowFixture(Options{ ads.port(), 10000, "127.0.0.1", false }), ads(ads)
    {
        ads.mode = ScriptedService::Mode::Manual;
        shipFiles();
        start();
        QVERIFY(QTest::qWaitFor([&] { return ads.requests.value(0) == "Ad SMS v1.10"; }));
    }
    QSize shown() const { return control<QLabel>("Banner")->pixmap().size(); }
    QString tmp() const { return folder.filePath("Banner.tmp"); }
    // The fetch has ended with this link and a picture of this size in the box.
    bool ended(const QString &link, QSize size) const
    {
        return window->adLink() == link && !QFile::exists(tmp()) && shown() == size;
    }
    bool fellBack() const
    {
        return ended("http://www.test.example/", { 468, 60 }) && window->adCountdown() == 120;
    }
    bool fetch()
    {
        const int before = ads.connections;
        window->startBannerFetch();
        return QTest::qWaitFor(
                [&] { return ads.connections > before && ads.requests.last() == "Ad SMS v1.10"; });
    }
    ScriptedService &ads;
};

} // namespace

class TestBannerWindow : public QObject
{
    Q_OBJECT

private slots:
    void replies_data();
    void replies();
    void aReplyInPieces();
    void aServerThatClosesEarly();
    void anUnreachableServerFallsBack();
    void aNewFetchEveryHundredAndTwentyFirstTick();
    void bannerClicks_data();
    void bannerClicks();
    void readmeAndPages();
};

void TestBannerWindow::replies_data()
{
    // clang-format off
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("size"); // empty: the fallback
    const QByteArray png = picture({30, 5});
    QTest::newRow("whole, in one packet") << reply("http://ads.example/a", png) << QSize(30, 5);
    QTest::newRow("no CR") << QByteArray("5 http://ads.example/") << QSize();
    QTest::newRow("not a picture") << QByteArray("5 l\rABCDE") << QSize();
    QTest::newRow("announced past the cap") << QByteArray("4194305 l\rxx") << QSize();
    // clang-format on
}

void TestBannerWindow::replies()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, size);
    ScriptedService ads;
    BannerWindow f(ads);
    QVERIFY(f.fetch());
    f.ads.send(bytes);
    QTRY_VERIFY(!ads.current); // the client closes the connection either way
    QVERIFY(size.isValid() ? f.ended("http://ads.example/a", size) : f.fellBack());
    QCOMPARE(f.control("Banner")->size(),
             size.isValid() ? size : QSize(468, 60)); // the box takes the picture's size
}

void TestBannerWindow::aReplyInPieces()
{
    ScriptedService ads;
    BannerWindow f(ads);
    QVERIFY(f.fetch());
    QCOMPARE(f.shown(), QSize(468, 60)); // before the first packet the previous picture stays
    const QByteArray png = picture({ 80, 20 });
    ads.send(QByteArray::number(png.size()) + " http://ads.example/2\r" + png.left(10));
    QTRY_COMPARE(f.window->adRemaining(), int(png.size()) - 10);
    QVERIFY(f.shown().isEmpty()); // cleared from the first packet on
    QCOMPARE(f.window->adLink(), QString("http://ads.example/2")); // the new link already
    QCOMPARE(QFileInfo(f.tmp()).size(), 10);
    // The next fetch abandons this one; its header starts the file again.
    QVERIFY(f.fetch());
    ads.send(reply("http://ads.example/3", png));
    QTRY_VERIFY(f.ended("http://ads.example/3", { 80, 20 }));
}

void TestBannerWindow::aServerThatClosesEarly()
{
    ScriptedService ads;
    BannerWindow f(ads);
    QVERIFY(f.fetch());
    ads.send("100 http://ads.example/late\r12345");
    QTRY_COMPARE(f.window->adRemaining(), 95);
    ads.current->disconnectFromHost();
    QTRY_VERIFY(!ads.current);
    QCoreApplication::processEvents();
    // Nothing happens until the next fetch: no picture, the file left open.
    QVERIFY(f.shown().isEmpty());
    QCOMPARE(f.window->adLink(), QString("http://ads.example/late"));
    QVERIFY(QFile::exists(f.tmp()));
}

void TestBannerWindow::anUnreachableServerFallsBack()
{
    ScriptedService ads;
    const quint16 port = ads.port();
    ads.close();
    WindowFixture f(WindowFixture::Options{ port, 10000, "127.0.0.1", false });
    f.shipFiles();
    f.start();
    QTRY_COMPARE(f.window->adLink(), QString("http://www.test.example/"));
    QCOMPARE(f.control<QLabel>("Banner")->pixmap().size(), QSize(468, 60));
    // Without Vorral.gif the banner keeps what it had.
    QFile::remove(f.folder.filePath("Vorral.gif"));
    f.control<QLabel>("Banner")->clear();
    for (int tick = 0; tick < 60; ++tick)
        f.window->AdTimer_Timer();
    f.window->startBannerFetch();
    QTRY_COMPARE(f.window->adCountdown(), 120);
    QVERIFY(f.control<QLabel>("Banner")->pixmap().isNull());
}

void TestBannerWindow::aNewFetchEveryHundredAndTwentyFirstTick()
{
    ScriptedService ads;
    BannerWindow f(ads);
    QCOMPARE(ads.connections, 1); // start-up's fetch
    QCOMPARE(f.window->adCountdown(), 120);
    for (int tick = 0; tick < 120; ++tick)
        f.window->AdTimer_Timer();
    QCoreApplication::processEvents();
    QCOMPARE(ads.connections, 1);
    f.window->AdTimer_Timer();
    QTRY_COMPARE(ads.connections, 2);
    QCOMPARE(f.window->adCountdown(), 120);
}

void TestBannerWindow::bannerClicks_data()
{
    // clang-format off
    QTest::addColumn<QByteArray>("link");
    QTest::addColumn<bool>("opened");
    QTest::newRow("http") << QByteArray("http://ads.example/offer") << true;
    QTest::newRow("https") << QByteArray("https://ads.example/offer") << true;
    QTest::newRow("a file") << QByteArray("file:///etc/passwd") << false;
    QTest::newRow("a program") << QByteArray("/usr/bin/xterm") << false;
    // clang-format on
}

void TestBannerWindow::bannerClicks()
{
    QFETCH(QByteArray, link);
    QFETCH(bool, opened);
    ScriptedService ads;
    BannerWindow f(ads);
    f.showActive();
    QVERIFY(f.fetch());
    ads.send(reply(link, picture({ 468, 60 })));
    QTRY_VERIFY(f.ended(QString::fromLatin1(link), { 468, 60 })); // kept as the header said
    QTest::mouseClick(f.control("Banner"), Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(f.desktop.opened.size(), opened ? 1 : 0);
    if (opened)
        QCOMPARE(f.desktop.opened[0], qMakePair(QString("open"), QString::fromLatin1(link)));
}

// Help and F1 (released, with any modifier, wherever the focus is) open the
// Readme; Create ZDID and Purchase Credits their pages.
void TestBannerWindow::readmeAndPages()
{
    ScriptedService ads;
    BannerWindow f(ads);
    f.showActive();
    const auto readme = qMakePair(QString("open"), QDir::toNativeSeparators(f.folder.filePath("Readme.txt")));
    const QString port = QString::number(ads.port());
    f.button("HelpButton")->click();
    f.button("CreateZDID")->click();
    f.button("Purchase")->click();
    const QList<QPair<QString, QString>> opened = {
        readme,
        { "Open", "http://www.test.example:" + port + "/create/" },
        { "Open", "http://127.0.0.1:" + port + "/buytexts.html" }
    };
    QCOMPARE(f.desktop.opened, opened);
    for (const char *name : { "ToName", "Message", "PW", "Send", "Chars" }) {
        f.control(name)->setFocus();
        QWidget *focus = QApplication::focusWidget();
        f.desktop.opened.clear();
        QTest::keyPress(focus, Qt::Key_F1);
        QCOMPARE(f.desktop.opened.size(), 0);
        QTest::keyRelease(focus, Qt::Key_F1, Qt::ShiftModifier);
        QCOMPARE(f.desktop.opened, decltype(opened){ readme });
    }
    f.desktop.opened.clear();
    QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_F1, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(QApplication::focusWidget(), &repeat); // held down: not a release
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
    QCOMPARE(f.desktop.opened.size(), 0);
}

QTEST_MAIN(TestBannerWindow)
#include "tst_bannerwindow.moc"
