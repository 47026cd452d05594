// The credential digest against digit strings worked out by hand.
#include "platform/ansicodec.h"
#include "service/credential.h"

#include <QCryptographicHash>
#include <QTest>

using namespace zendry;

class TestCredential : public QObject
{
    Q_OBJECT

private slots:
    void passwordDigest_data();
    void passwordDigest();
};

void TestCredential::passwordDigest_data()
{
    // The digit string worked out by hand: each character's code in three
    // digits rotated left once, last character first, then the salt byte
    // DE. The digest is Qt's SHA-256 of it. A piece's three digits change
    // at the codes 10, 100 and 200, each row holding codes on both sides;
    // passwords given as bytes have these codes in every code page.
    QTest::addColumn<QString>("password");
    QTest::addColumn<QByteArray>("digits");
    // clang-format off
    QTest::newRow("abc") << "abc" << QByteArray("990980970\xDE");
    QTest::newRow("spaces count") << " pw " << QByteArray("320191121320\xDE");
    QTest::newRow("Windows-1252") << "é€ÿ" << QByteArray("552281332\xDE");
    QTest::newRow("no 16-bit limit") << QString(70000, u'A') << QByteArray("650").repeated(70000) + '\xDE';
    QTest::newRow("codes 0, 9, 10") << AnsiCodec::decode(QByteArray("\x00\x09\x0A", 3)) << QByteArray("100090000\xDE");
    QTest::newRow("codes 99, 100, 199") << AnsiCodec::decode("\x63\x64\xC7") << QByteArray("991001990\xDE");
    QTest::newRow("codes 200, 201, 255") << AnsiCodec::decode("\xC8\xC9\xFF") << QByteArray("552012002\xDE");
    // clang-format on
}

void TestCredential::passwordDigest()
{
    QFETCH(QString, password);
    QFETCH(QByteArray, digits);
    const QByteArray sha256 = QCryptographicHash::hash(digits, QCryptographicHash::Sha256).toHex();
    QCOMPARE(PasswordDigest(password), QString::fromLatin1(sha256));
}

QTEST_GUILESS_MAIN(TestCredential)
#include "tst_credential.moc"
