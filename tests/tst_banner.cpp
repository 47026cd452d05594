#include "banner/bannerfile.h"
#include "banner/bannerheader.h"
#include "banner/bannerreceiver.h"
#include "banner/weblinks.h"

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
    void theFileIsReplacedAndRemoved();
    void picturesAreKnownByTheirContent();
    void links();
};

void TestBanner::header_data()
{
    // clang-format off
    // Length, link and where the picture starts; "-" when the header fails.
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<QString>("header");
    QTest::newRow("whole") << QByteArray("5 http://ads.example/a\rABCDE") << "5|http://ads.example/a|23";
    QTest::newRow("CR LF: the LF is picture") << QByteArray("3 l\r\nab") << "3|l|4";
    QTest::newRow("empty link, spaces in a link") << QByteArray("7  a b\rX") << "7| a b|7";
    QTest::newRow("2.5 rounds to 2") << QByteArray("2.5 l\r") << "2|l|6";
    QTest::newRow("3.5 rounds to 4") << QByteArray("3.5 l\r") << "4|l|6";
    QTest::newRow("not a number is 0") << QByteArray("abc l\rX") << "0|l|6";
    QTest::newRow("largest 32-bit") << QByteArray("2147483647 l\r") << "2147483647|l|13";
    QTest::newRow("past 32 bits") << QByteArray("2147483648 l\r") << "-";
    QTest::newRow("no space") << QByteArray("5http\rABCDE") << "-";
    QTest::newRow("no CR after the space") << QByteArray("5\r http://x/") << "-";
    QTest::newRow("Windows-1252 link") << QByteArray("1 caf\xE9\rX") << "1|café|7";
    QTest::newRow("space at position 32767") << QByteArray(32766, '0') + " l\r" << "0|l|32769";
    QTest::newRow("space at position 32768") << QByteArray(32767, '0') + " l\r" << "-";
    // clang-format on
}

void TestBanner::header()
{
    QFETCH(QByteArray, packet);
    QFETCH(QString, header);
    const auto h = BannerHeader::parse(packet);
    QCOMPARE(h ? QString("%1|%2|%3").arg(h->length).arg(h->link).arg(h->pictureAt) : QString("-"), header);
}

void TestBanner::packets_data()
{
    // clang-format off
    // Packets as they arrive; the outcome after each, W(aiting), C(omplete) or
    // F(ailed); the bytes still expected; the file at the end.
    QTest::addColumn<QList<QByteArray>>("packets");
    QTest::addColumn<QString>("outcomes");
    QTest::addColumn<int>("remaining");
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("one packet") << QList<QByteArray>{"5 l\rABCDE"} << "C" << 0 << QByteArray("ABCDE");
    QTest::newRow("header, then the picture") << QList<QByteArray>{"5 l\r", "AB", "CDE"} << "WWC" << 0 << QByteArray("ABCDE");
    QTest::newRow("more than announced") << QList<QByteArray>{"2 l\rABCDE"} << "C" << -3 << QByteArray("ABCDE");
    QTest::newRow("the header in pieces") << QList<QByteArray>{"5 l", "\rABCDE"} << "F" << -1 << QByteArray();
    QTest::newRow("length 0") << QList<QByteArray>{"0 l\r"} << "C" << 0 << QByteArray();
    QTest::newRow("past the cap, announced") << QList<QByteArray>{"4194305 l\r"} << "F" << -1 << QByteArray();
    QTest::newRow("past the cap, received")
            << QList<QByteArray>{"4194304 l\r", QByteArray(4194303, 'x'), "yz"} << "WWF" << 1 << QByteArray();
    // clang-format on
}

void TestBanner::packets()
{
    QFETCH(QList<QByteArray>, packets);
    QFETCH(QString, outcomes);
    QFETCH(int, remaining);
    QFETCH(QByteArray, file);
    QTemporaryDir dir;
    BannerFile banner(dir.filePath("Banner.tmp"));
    qint32 left = -1;
    QString link, seen;
    for (const QByteArray &packet : packets) {
        const auto outcome = BannerReceiver::receive(packet, left, link, banner);
        seen += "WCF"[int(outcome)];
        if (outcome != BannerReceiver::Outcome::Waiting)
            break;
    }
    QCOMPARE(seen, outcomes);
    QCOMPARE(left, remaining);
    banner.close();
    QFile f(banner.path());
    QVERIFY(f.size() <= BannerFile::maxBytes); // never more is written
    if (!file.isEmpty() && f.open(QIODevice::ReadOnly))
        QCOMPARE(f.readAll(), file);
}

void TestBanner::theFileIsReplacedAndRemoved()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Banner.tmp");
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("left over from an abandoned fetch");
    old.close();
    BannerFile file(path);
    QVERIFY(file.replace());
    QVERIFY(file.append(QByteArray("\nA\0\xFF", 4)));
    file.close();
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("\nA\0\xFF", 4)); // raw bytes
    QVERIFY(!file.append("closed"));
    QVERIFY(file.remove() && !QFile::exists(path) && file.remove());
    QVERIFY(QDir().mkdir(path)); // a folder in the way
    QVERIFY(!file.replace());
}

void TestBanner::picturesAreKnownByTheirContent()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Banner.tmp");
    for (const char *format : { "PNG", "JPEG" }) {
        QImage image(40, 10, QImage::Format_RGB32);
        image.fill(Qt::red);
        QVERIFY(image.save(path, format));
        QCOMPARE(BannerFile::loadPicture(path).size(), QSize(40, 10));
    }
    QCOMPARE(BannerFile::loadPicture(QStringLiteral(ZENDRY_SOURCE_DIR "/banner/Vorral.gif")).size(),
             QSize(468, 60));
    QFile garbage(path);
    QVERIFY(garbage.open(QIODevice::WriteOnly));
    garbage.write("ABCDE");
    garbage.close();
    QVERIFY(BannerFile::loadPicture(path).isNull());
}

void TestBanner::links()
{
    for (const char *web : { "http://ads.example/x?y=1", "https://ads.example/", "HTTP://ADS.EXAMPLE/" })
        QVERIFY2(WebLinks::isWebPage(web), web);
    for (const char *local :
         { "file:///etc/passwd", "/usr/bin/xterm", "C:\\Windows\\calc.exe", "javascript:alert(1)",
           "mailto:a@b.example", "http://", "", " http://ads.example/" })
        QVERIFY2(!WebLinks::isWebPage(local), local);
    Endpoints e{ "sms.example", "ads.example", "www.example", 80, "" };
    QCOMPARE(WebLinks::purchasePage(e), QString("http://sms.example/buytexts.html"));
    e.port = 8080;
    QCOMPARE(WebLinks::createPage(e), QString("http://www.example:8080/create/"));
}

QTEST_MAIN(TestBanner)
#include "tst_banner.moc"
