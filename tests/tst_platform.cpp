#include "platform/ansicodec.h"
#include "platform/numericprefix.h"
#include "platform/trim.h"

#include <QTest>

using namespace zendry;

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    void codec();
    void trimSpacesOnly();
    void numericPrefix_data();
    void numericPrefix();
};

void TestPlatform::codec()
{
    QCOMPARE(AnsiCodec::encode(QString("é\u00DE\u00FF€\u201C")), QByteArray("\xE9\xDE\xFF\x80\x93"));
    // Characters the code page lacks become '?', as Windows converts them.
    QCOMPARE(AnsiCodec::encode(QString("\u0141\u4E2D\u0080")), QByteArray("???"));
    QCOMPARE(AnsiCodec::encode(QString(QChar(0x81))), QByteArray("\x81")); // a hole keeps its byte
    QByteArray all(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        all[i] = char(i);
    QCOMPARE(AnsiCodec::encode(AnsiCodec::decode(all)), all);
    QCOMPARE(AnsiCodec::code(QChar(0x20AC)), 128);
}

void TestPlatform::trimSpacesOnly()
{
    QCOMPARE(trimSpaces("  a b  "), QString("a b"));
    QCOMPARE(trimSpaces("   "), QString());
    QCOMPARE(trimSpaces("\t a \t"), QString("\t a \t"));
    QCOMPARE(trimSpaces(" \r\na\r "), QString("\r\na\r"));
}

void TestPlatform::numericPrefix_data()
{
    // The text, then its floor and its rounding to even; "-" is out of range.
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("floor");
    QTest::addColumn<QString>("rounded");
    // clang-format off
    QTest::newRow("nothing") << "" << "0" << "0";
    QTest::newRow("blanks anywhere") << " 1\t2\n3 " << "123" << "123";
    QTest::newRow("CR stops") << "12\r\n3" << "12" << "12";
    QTest::newRow("sign after blanks") << " - 4" << "-4" << "-4";
    QTest::newRow("2.9") << "2.9" << "2" << "3";
    QTest::newRow("-2.5") << "-2.5" << "-3" << "-2";
    QTest::newRow("2.5 to even") << "2.5" << "2" << "2";
    QTest::newRow("3.5 to even") << "3.5" << "3" << "4";
    QTest::newRow("second point stops") << "1.5.9" << "1" << "2";
    QTest::newRow("negative fraction") << "-.5" << "-1" << "0";
    QTest::newRow("negative exponent") << "25E-1" << "2" << "2";
    QTest::newRow("exponent without digits") << "7e+x" << "7" << "7";
    QTest::newRow("tiny") << "-1e-999" << "-1" << "0";
    QTest::newRow("huge") << "1e999" << "-" << "-";
    QTest::newRow("zero with huge exponent") << "0e99999" << "0" << "0";
    QTest::newRow("every digit kept") << "9007199254740993" << "9007199254740993" << "-";
    QTest::newRow("largest 64-bit") << "9223372036854775807" << "9223372036854775807" << "-";
    QTest::newRow("past 64 bits") << "9223372036854775808" << "-" << "-";
    QTest::newRow("lowest 64-bit") << "-9223372036854775808" << "-9223372036854775808" << "-";
    QTest::newRow("below it") << "-9223372036854775808.5" << "-" << "-";
    QTest::newRow("rounds past 32 bits") << "2147483647.5" << "2147483647" << "-";
    QTest::newRow("many leading zeros") << QString(400, u'0') + "42" << "42" << "42";
    // clang-format on
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
