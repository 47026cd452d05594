#include "digest/csha256.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QTest>

#include <cstdint>

class TestCSHA256 : public QObject
{
    Q_OBJECT

private slots:
    void digests();
    void operations();
    void matchesQtOnRandomTexts();
};

namespace {

QString hashOf(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

} // namespace

void TestCSHA256::digests()
{
    const CSHA256 sha;
    // The examples of FIPS 180-2, and a first word below 0x10000000 keeping its leading zeros.
    QCOMPARE(sha.SHA256(""), QString("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"));
    QCOMPARE(sha.SHA256("abc"), QString("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
    QCOMPARE(sha.SHA256("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
             QString("248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"));
    QCOMPARE(sha.SHA256("886"), QString("000f21ac06aceb9cdd0575e82d0d85fc39bed0a7a1d71970ba1641666a44f530"));
    // 55 characters need one block, 56 and 64 two, 120 three.
    for (int length : { 55, 56, 63, 64, 119, 120 }) {
        QCOMPARE(int(sha.MessageWords(QString(length, u'x')).size()),
                 16
                         * (length < 56            ? 1
                                    : length < 120 ? 2
                                                   : 3));
        QCOMPARE(sha.SHA256(QString(length, u'x')), hashOf(QByteArray(length, 'x')));
    }
    // Only the low 8 bits of a character count.
    QCOMPARE(sha.SHA256(QString(QChar(0x0141))), sha.SHA256("A"));
    QCOMPARE(sha.SHA256(QString(QChar(0x20AC))), sha.SHA256(QString(QChar(0x00AC))));
    QCOMPARE(CSHA256().SHA256("abc"), sha.SHA256("abc"));
}

void TestCSHA256::operations()
{
    auto u = [](std::int32_t v) { return quint32(v); };
    auto i = [](quint32 v) { return std::int32_t(v); };
    QCOMPARE(u(CSHA256::Add32(0x7FFFFFFF, 1)), 0x80000000u);
    QCOMPARE(u(CSHA256::Add32(i(0xFFFFFFFF), 1)), 0u);
    QCOMPARE(u(CSHA256::Add32(i(0xC0000000), i(0xC0000000))), 0x80000000u);
    QCOMPARE(u(CSHA256::ShiftLeft(1, 31)), 0x80000000u);
    QCOMPARE(u(CSHA256::ShiftLeft(2, 31)), 0u);
    QCOMPARE(u(CSHA256::ShiftLeft(i(0xFFFFFFFF), 4)), 0xFFFFFFF0u);
    QCOMPARE(u(CSHA256::ShiftLeft(i(0xDEADBEEF), 0)), 0xDEADBEEFu);
    QCOMPARE(u(CSHA256::ShiftRight(i(0x80000000), 31)), 1u);
    QCOMPARE(u(CSHA256::ShiftRight(i(0x80000000), 1)), 0x40000000u);
    QCOMPARE(u(CSHA256::ShiftRight(i(0xFFFFFFFF), 28)), 0xFu);
    QCOMPARE(u(CSHA256::RotateRight(0x12345678, 36)), 0x81234567u);
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, CSHA256::ShiftLeft(1, 32));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, CSHA256::ShiftRight(1, -1));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, CSHA256::RotateRight(1, 0));
}

void TestCSHA256::matchesQtOnRandomTexts()
{
    QRandomGenerator random(20261207);
    const CSHA256 sha;
    for (int round = 0; round < 3000; ++round) {
        const int length = int(random.bounded(round < 2500 ? 200 : 5000));
        QString text(length, Qt::Uninitialized);
        QByteArray bytes(length, Qt::Uninitialized);
        for (int k = 0; k < length; ++k) {
            const auto code = char16_t(random.bounded(0x10000));
            text[k] = QChar(code);
            bytes[k] = char(code & 0xFF);
        }
        QCOMPARE(sha.SHA256(text), hashOf(bytes));
    }
}

QTEST_APPLESS_MAIN(TestCSHA256)
#include "tst_csha256.moc"
