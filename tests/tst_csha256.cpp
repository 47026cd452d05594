#include "digest/csha256.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QTest>

#include <cstdint>

class TestCSHA256 : public QObject
{
    Q_OBJECT

private slots:
    void standardDigests_data();
    void standardDigests();
    void blockBoundaries_data();
    void blockBoundaries();
    void lowEightBitsOfEachCharacter_data();
    void lowEightBitsOfEachCharacter();
    void operations_data();
    void operations();
    void amountsOutsideTheWordThrow();
    void sameTextSameDigest();
    void matchesQtOnRandomTexts();
};

namespace {

QString latin1Hash(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

} // namespace

void TestCSHA256::standardDigests_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("digest");
    QTest::newRow("empty") << QString() << "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855";
    QTest::newRow("abc") << "abc"
                         << "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    QTest::newRow("two-block example") << "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"
                                       << "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1";
    // A first hash word below 0x10000000 keeps its leading zero.
    QTest::newRow("leading zero word") << "886"
                                       << "000f21ac06aceb9cdd0575e82d0d85fc39bed0a7a1d71970ba1641666a44f530";
}

void TestCSHA256::standardDigests()
{
    QFETCH(QString, text);
    QFETCH(QString, digest);
    QCOMPARE(CSHA256().SHA256(text), digest);
}

void TestCSHA256::blockBoundaries_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("words");
    QTest::newRow("55: one block") << 55 << 16;
    QTest::newRow("56: two blocks") << 56 << 32;
    QTest::newRow("63") << 63 << 32;
    QTest::newRow("64: two blocks") << 64 << 32;
    QTest::newRow("119") << 119 << 32;
    QTest::newRow("120: three blocks") << 120 << 48;
}

void TestCSHA256::blockBoundaries()
{
    QFETCH(int, length);
    QFETCH(int, words);
    const QString text(length, u'x');
    const CSHA256 sha;
    QCOMPARE(int(sha.MessageWords(text).size()), words);
    QCOMPARE(sha.SHA256(text), latin1Hash(QByteArray(length, 'x')));
}

void TestCSHA256::lowEightBitsOfEachCharacter_data()
{
    QTest::addColumn<QString>("wide");
    QTest::addColumn<QString>("narrow");
    QTest::newRow("L with stroke is A") << QString(QChar(0x0141)) << "A";
    QTest::newRow("euro is not sign") << QString(QChar(0x20AC)) << QString(QChar(0x00AC));
    QTest::newRow("in a longer text") << QString("x%1y").arg(QChar(0x0141)) << "xAy";
}

void TestCSHA256::lowEightBitsOfEachCharacter()
{
    QFETCH(QString, wide);
    QFETCH(QString, narrow);
    QCOMPARE(CSHA256().SHA256(wide), CSHA256().SHA256(narrow));
}

void TestCSHA256::operations_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<quint32>("a");
    QTest::addColumn<quint32>("b");
    QTest::addColumn<quint32>("result");
    QTest::newRow("Add32 max int + 1") << "Add32" << 0x7FFFFFFFu << 1u << 0x80000000u;
    QTest::newRow("Add32 wraps to 0") << "Add32" << 0xFFFFFFFFu << 1u << 0u;
    QTest::newRow("Add32 both top bits") << "Add32" << 0xC0000000u << 0xC0000000u << 0x80000000u;
    QTest::newRow("ShiftLeft 1 by 31") << "ShiftLeft" << 1u << 31u << 0x80000000u;
    QTest::newRow("ShiftLeft even by 31") << "ShiftLeft" << 2u << 31u << 0u;
    QTest::newRow("ShiftLeft by 0") << "ShiftLeft" << 0xDEADBEEFu << 0u << 0xDEADBEEFu;
    QTest::newRow("ShiftLeft drops high bits") << "ShiftLeft" << 0xFFFFFFFFu << 4u << 0xFFFFFFF0u;
    QTest::newRow("ShiftLeft into the top bit") << "ShiftLeft" << 0x40000000u << 1u << 0x80000000u;
    QTest::newRow("ShiftRight top bit by 31") << "ShiftRight" << 0x80000000u << 31u << 1u;
    QTest::newRow("ShiftRight top bit by 1") << "ShiftRight" << 0x80000000u << 1u << 0x40000000u;
    QTest::newRow("ShiftRight is logical") << "ShiftRight" << 0xFFFFFFFFu << 28u << 0xFu;
    QTest::newRow("ShiftRight by 0") << "ShiftRight" << 0x80000001u << 0u << 0x80000001u;
    QTest::newRow("RotateRight 1 by 1") << "RotateRight" << 1u << 1u << 0x80000000u;
    QTest::newRow("RotateRight by 36 is by 4") << "RotateRight" << 0x12345678u << 36u << 0x81234567u;
}

void TestCSHA256::operations()
{
    QFETCH(QString, op);
    QFETCH(quint32, a);
    QFETCH(quint32, b);
    QFETCH(quint32, result);
    const auto v = std::int32_t(a);
    std::int32_t got = 0;
    if (op == "Add32")
        got = CSHA256::Add32(v, std::int32_t(b));
    else if (op == "ShiftLeft")
        got = CSHA256::ShiftLeft(v, int(b));
    else if (op == "ShiftRight")
        got = CSHA256::ShiftRight(v, int(b));
    else
        got = CSHA256::RotateRight(v, int(b));
    QCOMPARE(quint32(got), result);
}

void TestCSHA256::amountsOutsideTheWordThrow()
{
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, CSHA256::ShiftLeft(1, 32));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, CSHA256::ShiftLeft(1, -1));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, CSHA256::ShiftRight(1, 32));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, CSHA256::RotateRight(1, 0));
}

void TestCSHA256::sameTextSameDigest()
{
    const CSHA256 one;
    const QString text = QStringLiteral("the same text");
    const QString first = one.SHA256(text);
    QCOMPARE(one.SHA256(text), first);
    QCOMPARE(CSHA256().SHA256(text), first);
    QCOMPARE(first.size(), 64);
    QCOMPARE(first, first.toLower());
}

void TestCSHA256::matchesQtOnRandomTexts()
{
    QRandomGenerator random(20261207);
    const CSHA256 sha;
    for (int round = 0; round < 3000; ++round) {
        const int length = int(random.bounded(round < 2500 ? 200 : 5000));
        QString text(length, Qt::Uninitialized);
        QByteArray bytes(length, Qt::Uninitialized);
        for (int i = 0; i < length; ++i) {
            const auto code = char16_t(random.bounded(0x10000));
            text[i] = QChar(code);
            bytes[i] = char(code & 0xFF);
        }
        QCOMPARE(sha.SHA256(text), latin1Hash(bytes));
    }
}

QTEST_APPLESS_MAIN(TestCSHA256)
#include "tst_csha256.moc"
