#include "platform/ansicodec.h"
#include "platform/endpoints.h"
#include "platform/numericprefix.h"
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
    void numericPrefix_data();
    void numericPrefix();
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
    QTest::newRow("spaces") << "  a b  "
                            << "a b";
    QTest::newRow("only spaces") << "   "
                                 << "";
    QTest::newRow("tabs stay") << "\t a \t"
                               << "\t a \t";
    QTest::newRow("line breaks stay") << " \r\na\r "
                                      << "\r\na\r";
    QTest::newRow("empty") << ""
                           << "";
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

void TestPlatform::numericPrefix_data()
{
    // floor and the rounding to even; "-" marks a number out of range.
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("floor");
    QTest::addColumn<QString>("rounded");
    QTest::newRow("plain") << "20"
                           << "20"
                           << "20";
    QTest::newRow("nothing") << ""
                             << "0"
                             << "0";
    QTest::newRow("letters first") << "x1"
                                   << "0"
                                   << "0";
    QTest::newRow("blanks anywhere") << " 1\t2\n3 "
                                     << "123"
                                     << "123";
    QTest::newRow("CR stops") << "12\r\n3"
                              << "12"
                              << "12";
    QTest::newRow("comma stops") << "5,20"
                                 << "5"
                                 << "5";
    QTest::newRow("sign after blanks") << " - 4"
                                       << "-4"
                                       << "-4";
    QTest::newRow("plus") << "+7"
                          << "7"
                          << "7";
    QTest::newRow("2.9") << "2.9"
                         << "2"
                         << "3";
    QTest::newRow("-2.5") << "-2.5"
                          << "-3"
                          << "-2";
    QTest::newRow("2.5 to even") << "2.5"
                                 << "2"
                                 << "2";
    QTest::newRow("3.5 to even") << "3.5"
                                 << "3"
                                 << "4";
    QTest::newRow("2.51") << "2.51"
                          << "2"
                          << "3";
    QTest::newRow("second point stops") << "1.5.9"
                                        << "1"
                                        << "2";
    QTest::newRow("leading point") << ".5"
                                   << "0"
                                   << "0";
    QTest::newRow("negative fraction") << "-.5"
                                       << "-1"
                                       << "0";
    QTest::newRow("exponent") << "2e3"
                              << "2000"
                              << "2000";
    QTest::newRow("negative exponent") << "25E-1"
                                       << "2"
                                       << "2";
    QTest::newRow("exponent without digits") << "7e"
                                             << "7"
                                             << "7";
    QTest::newRow("exponent sign without digits") << "7e+x"
                                                  << "7"
                                                  << "7";
    QTest::newRow("no mantissa") << "e5"
                                 << "0"
                                 << "0";
    QTest::newRow("sign alone") << "-"
                                << "0"
                                << "0";
    QTest::newRow("tiny") << "1e-999"
                          << "0"
                          << "0";
    QTest::newRow("tiny negative") << "-1e-999"
                                   << "-1"
                                   << "0";
    QTest::newRow("huge") << "1e999"
                          << "-"
                          << "-";
    QTest::newRow("huge exponent digits") << "1e99999999999999999999"
                                          << "-"
                                          << "-";
    QTest::newRow("zero with huge exponent") << "0e99999"
                                             << "0"
                                             << "0";
    QTest::newRow("every digit kept") << "9007199254740993"
                                      << "9007199254740993"
                                      << "-";
    QTest::newRow("largest 64-bit") << "9223372036854775807"
                                    << "9223372036854775807"
                                    << "-";
    QTest::newRow("past 64 bits") << "9223372036854775808"
                                  << "-"
                                  << "-";
    QTest::newRow("lowest 64-bit") << "-9223372036854775808"
                                   << "-9223372036854775808"
                                   << "-";
    QTest::newRow("below it") << "-9223372036854775808.5"
                              << "-"
                              << "-";
    QTest::newRow("largest 32-bit") << "2147483647.4"
                                    << "2147483647"
                                    << "2147483647";
    QTest::newRow("rounds past 32 bits") << "2147483647.5"
                                         << "2147483647"
                                         << "-";
    QTest::newRow("lowest 32-bit") << "-2147483648"
                                   << "-2147483648"
                                   << "-2147483648";
    QTest::newRow("many leading zeros") << QString(400, u'0') + "42"
                                        << "42"
                                        << "42";
    QTest::newRow("many fraction digits") << "1." + QString(400, u'0') + "1"
                                          << "1"
                                          << "1";
}

void TestPlatform::numericPrefix()
{
    QFETCH(QString, text);
    QFETCH(QString, floor);
    QFETCH(QString, rounded);
    const NumericPrefix n(text);
    const auto f = n.floor();
    const auto r = n.roundHalfEven();
    QCOMPARE(f ? QString::number(*f) : QString("-"), floor);
    QCOMPARE(r ? QString::number(*r) : QString("-"), rounded);
}

QTEST_APPLESS_MAIN(TestPlatform)
#include "tst_platform.moc"
