#include "banner/bannerfile.h"
#include "banner/bannerheader.h"
#include "banner/bannerreceiver.h"
#include "banner/weblinks.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using namespace zendry;

class TestBanner : public QObject
{
    Q_OBJECT

private slots:
    void header_data();
    void header();
    void packets_data();
    void packets();
    void bannerFile();
    void theFileStopsAtTheCap();
    void picturesAreKnownByTheirContent();
    void webPages_data();
    void webPages();
    void addresses();
};

void TestBanner::header_data()
{
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("link");
    QTest::addColumn<int>("pictureAt");
    QTest::newRow("whole") << QByteArray("5 http://ads.example/a\rABCDE") << true << 5
                           << "http://ads.example/a" << 23;
    QTest::newRow("header only") << QByteArray("5 l\r") << true << 5 << "l" << 4;
    QTest::newRow("CR LF: the LF is picture") << QByteArray("3 l\r\nab") << true << 3 << "l" << 4;
    QTest::newRow("empty link") << QByteArray("7 \rX") << true << 7 << "" << 3;
    QTest::newRow("link with spaces") << QByteArray("1 a b\rX") << true << 1 << "a b" << 6;
    QTest::newRow("2.5 rounds to 2") << QByteArray("2.5 l\r") << true << 2 << "l" << 6;
    QTest::newRow("3.5 rounds to 4") << QByteArray("3.5 l\r") << true << 4 << "l" << 6;
    QTest::newRow("not a number is 0") << QByteArray("abc l\rX") << true << 0 << "l" << 6;
    QTest::newRow("no length is 0") << QByteArray(" l\rX") << true << 0 << "l" << 3;
    QTest::newRow("largest 32-bit") << QByteArray("2147483647 l\r") << true << 2147483647 << "l" << 13;
    QTest::newRow("past 32 bits") << QByteArray("2147483648 l\r") << false << 0 << "" << 0;
    QTest::newRow("no space") << QByteArray("5http\rABCDE") << false << 0 << "" << 0;
    QTest::newRow("no CR") << QByteArray("5 http://x/") << false << 0 << "" << 0;
    QTest::newRow("CR before the space only") << QByteArray("5\r x") << false << 0 << "" << 0;
    QTest::newRow("empty") << QByteArray() << false << 0 << "" << 0;
    QTest::newRow("Windows-1252 link") << QByteArray("1 caf\xE9\rX") << true << 1 << QString("café") << 7;
    QTest::newRow("space at position 32767") << QByteArray(32766, '0') + " l\r" << true << 0 << "l" << 32769;
    QTest::newRow("space at position 32768") << QByteArray(32767, '0') + " l\r" << false << 0 << "" << 0;
}

void TestBanner::header()
{
    QFETCH(QByteArray, packet);
    QFETCH(bool, ok);
    QFETCH(int, length);
    QFETCH(QString, link);
    QFETCH(int, pictureAt);
    const auto h = BannerHeader::parse(packet);
    QCOMPARE(h.has_value(), ok);
    if (!ok)
        return;
    QCOMPARE(h->length, length);
    QCOMPARE(h->link, link);
    QCOMPARE(int(h->pictureAt), pictureAt);
}

void TestBanner::packets_data()
{
    // Packets as they arrive; the outcome after each, W(aiting), C(omplete) or
    // F(ailed); the bytes in the file at the end.
    QTest::addColumn<QList<QByteArray>>("packets");
    QTest::addColumn<QString>("outcomes");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("remaining");
    QTest::newRow("one packet") << QList<QByteArray>{ "5 l\rABCDE" } << "C" << QByteArray("ABCDE") << 0;
    QTest::newRow("header, then the picture")
            << QList<QByteArray>{ "5 l\r", "AB", "CDE" } << "WWC" << QByteArray("ABCDE") << 0;
    QTest::newRow("more than announced")
            << QList<QByteArray>{ "2 l\rABCDE" } << "C" << QByteArray("ABCDE") << -3;
    QTest::newRow("the header in pieces")
            << QList<QByteArray>{ "5 l", "\rABCDE" } << "F" << QByteArray() << -1;
    QTest::newRow("length 0") << QList<QByteArray>{ "0 l\r" } << "C" << QByteArray() << 0;
    QTest::newRow("a negative length") << QList<QByteArray>{ "-4 l\rAB" } << "C" << QByteArray("AB") << -6;
    QTest::newRow("past the cap, announced")
            << QList<QByteArray>{ "4194305 l\r" } << "F" << QByteArray() << -1;
    QTest::newRow("past the cap, received")
            << QList<QByteArray>{ "4194304 l\r", QByteArray(4194303, 'x'), "yz" } << "WWF" << QByteArray()
            << 1;
}

void TestBanner::packets()
{
    QFETCH(QList<QByteArray>, packets);
    QFETCH(QString, outcomes);
    QFETCH(QByteArray, file);
    QFETCH(int, remaining);
    QTemporaryDir dir;
    BannerFile banner(dir.filePath("Banner.tmp"));
    qint32 left = -1;
    QString link;
    QString seen;
    for (const QByteArray &packet : packets) {
        const auto outcome = BannerReceiver::receive(packet, left, link, banner);
        seen += outcome == BannerReceiver::Outcome::Waiting    ? 'W'
                : outcome == BannerReceiver::Outcome::Complete ? 'C'
                                                               : 'F';
        if (outcome != BannerReceiver::Outcome::Waiting)
            break;
    }
    QCOMPARE(seen, outcomes);
    QCOMPARE(left, remaining);
    banner.close();
    QFile f(banner.path());
    QVERIFY(f.size() <= BannerFile::maxBytes);
    if (!file.isEmpty()) {
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), file);
    }
}

void TestBanner::bannerFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Banner.tmp");
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("left over from an abandoned fetch");
    }
    BannerFile file(path);
    QVERIFY(file.replace());
    QCOMPARE(QFileInfo(path).size(), 0);
    QVERIFY(file.append("\nAB"));
    QVERIFY(file.append(QByteArray("\0\xFF", 2)));
    file.close();
    QFile check(path);
    QVERIFY(check.open(QIODevice::ReadOnly));
    QCOMPARE(check.readAll(), QByteArray("\nAB\0\xFF", 5));
    QVERIFY(!file.append("closed")); // nothing is written to a closed file
    QVERIFY(file.remove());
    QVERIFY(!QFile::exists(path));
    QVERIFY(file.remove()); // nothing to remove is no failure

    QVERIFY(QDir().mkdir(path)); // a folder in the way
    QVERIFY(!file.replace());
}

void TestBanner::theFileStopsAtTheCap()
{
    QTemporaryDir dir;
    BannerFile file(dir.filePath("Banner.tmp"));
    QVERIFY(file.replace());
    const QByteArray block(1024 * 1024, 'x');
    for (int i = 0; i < 4; ++i)
        QVERIFY(file.append(block));
    QVERIFY(!file.append("y"));
    file.close();
    QCOMPARE(QFileInfo(file.path()).size(), BannerFile::maxBytes);
}

void TestBanner::picturesAreKnownByTheirContent()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Banner.tmp");
    for (const char *format : { "PNG", "JPEG", "GIF" }) {
        QImage image(40, 10, QImage::Format_RGB32);
        image.fill(Qt::red);
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        if (!image.save(&out, format))
            continue; // GIF can be read but not written by Qt
        out.close();
        QCOMPARE(BannerFile::loadPicture(path).size(), QSize(40, 10));
    }
    const QImage gif = BannerFile::loadPicture(QStringLiteral(ZENDRY_SOURCE_DIR "/banner/Vorral.gif"));
    QCOMPARE(gif.size(), QSize(468, 60));
    QFile garbage(path);
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    garbage.write("ABCDE");
    garbage.close();
    QVERIFY(BannerFile::loadPicture(path).isNull());
    QVERIFY(BannerFile::loadPicture(dir.filePath("missing")).isNull());
}

void TestBanner::webPages_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("web");
    QTest::newRow("http") << "http://ads.example/x?y=1" << true;
    QTest::newRow("https") << "https://ads.example/" << true;
    QTest::newRow("capitals") << "HTTP://ADS.EXAMPLE/" << true;
    QTest::newRow("file") << "file:///etc/passwd" << false;
    QTest::newRow("a path") << "/usr/bin/xterm" << false;
    QTest::newRow("a Windows path") << "C:\\Windows\\system32\\calc.exe" << false;
    QTest::newRow("javascript") << "javascript:alert(1)" << false;
    QTest::newRow("mailto") << "mailto:a@b.example" << false;
    QTest::newRow("no host") << "http://" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("leading space") << " http://ads.example/" << false;
}

void TestBanner::webPages()
{
    QFETCH(QString, link);
    QFETCH(bool, web);
    QCOMPARE(WebLinks::isWebPage(link), web);
}

void TestBanner::addresses()
{
    Endpoints e{ "sms.example", "ads.example", "www.example", 80, "" };
    QCOMPARE(WebLinks::purchasePage(e), QString("http://sms.example/buytexts.html"));
    QCOMPARE(WebLinks::createPage(e), QString("http://www.example/create/"));
    e.port = 8080;
    QCOMPARE(WebLinks::createPage(e), QString("http://www.example:8080/create/"));
}

QTEST_MAIN(TestBanner)
#include "tst_banner.moc"
