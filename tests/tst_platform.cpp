#include "platform/ansicodec.h"
#include "platform/endpoints.h"
#include "platform/trim.h"

#include <QTest>

using namespace zendry;

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    void codecEncodes_data();
    void codecEncodes();
    void everyByteSurvivesARoundTrip();
    void trimSpacesOnly_data();
    void trimSpacesOnly();
    void webAddress_data();
    void webAddress();
};

void TestPlatform::codecEncodes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << "Az 09\r\n" << QByteArray("Az 09\r\n");
    QTest::newRow("latin-1 range") << QString("é\u00DE\u00FF") << QByteArray("\xE9\xDE\xFF");
    QTest::newRow("euro and quotes") << QString("€\u201C\u201D") << QByteArray("\x80\x93\x94");
    QTest::newRow("not in the code page") << QString("\u0141\u4E2D") << QByteArray("??");
    QTest::newRow("C1 control without a glyph") << QString(QChar(0x81)) << QByteArray("\x81");
    QTest::newRow("C1 control the code page reuses") << QString(QChar(0x80)) << QByteArray("?");
}

void TestPlatform::codecEncodes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(AnsiCodec::encode(text), bytes);
}

void TestPlatform::everyByteSurvivesARoundTrip()
{
    QByteArray all(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        all[i] = char(i);
    QCOMPARE(AnsiCodec::encode(AnsiCodec::decode(all)), all);
    QCOMPARE(AnsiCodec::decode("\x80"), QString(QChar(0x20AC)));
}

void TestPlatform::trimSpacesOnly_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("trimmed");
    QTest::newRow("spaces") << "  a b  " << "a b";
    QTest::newRow("only spaces") << "   " << "";
    QTest::newRow("tabs stay") << "\t a \t" << "\t a \t";
    QTest::newRow("line breaks stay") << " \r\na\r " << "\r\na\r";
    QTest::newRow("empty") << "" << "";
}

void TestPlatform::trimSpacesOnly()
{
    QFETCH(QString, text);
    QFETCH(QString, trimmed);
    QCOMPARE(trimSpaces(text), trimmed);
}

void TestPlatform::webAddress_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("address");
    QTest::newRow("port 80 is not written") << 80 << "http://sms.example/buytexts.html";
    QTest::newRow("other ports are") << 8080 << "http://sms.example:8080/buytexts.html";
}

void TestPlatform::webAddress()
{
    QFETCH(int, port);
    QFETCH(QString, address);
    Endpoints e;
    e.port = quint16(port);
    QCOMPARE(e.webAddress("sms.example", "/buytexts.html"), address);
}

QTEST_APPLESS_MAIN(TestPlatform)
#include "tst_platform.moc"
