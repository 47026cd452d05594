#include "service/credential.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QTest>

class TestCredential : public QObject
{
    Q_OBJECT

private slots:
    void wireEncode_data();
    void wireEncode();
    void wireEncodeUndoesItself();
    void passwordDigest_data();
    void passwordDigest();
    void passwordsBeyondSixteenBits();
};

void TestCredential::wireEncode_data()
{
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("encoded");
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("abc") << "abc"
                         << "XYZ";
    QTest::newRow("abc 12") << "abc 12"
                            << "78,XYZ";
    QTest::newRow("XYZ") << "XYZ"
                         << "abc";
    QTest::newRow("alphabet ends") << "AZaz"
                                   << "AZaz";
    QTest::newRow("digits") << "0123456789"
                            << "0123456789";
    QTest::newRow("CR LF comes out LF first") << "\r\n"
                                              << ";:";
    QTest::newRow("swapped pairs") << " ,\r:\n;"
                                   << "\n;\r: ,";
    QTest::newRow("others keep their code") << QString("é-") << QString("-é");
    QTest::newRow("euro and tab") << QString("\t€") << QString("€\t");
}

void TestCredential::wireEncode()
{
    QFETCH(QString, plain);
    QFETCH(QString, encoded);
    QCOMPARE(zendry::WireEncode(plain), encoded);
}

void TestCredential::wireEncodeUndoesItself()
{
    QRandomGenerator random(7);
    for (int round = 0; round < 500; ++round) {
        QString text(int(random.bounded(300)), Qt::Uninitialized);
        for (QChar &c : text)
            c = QChar(char16_t(random.bounded(round % 2 ? 0x100 : 0x10000)));
        QCOMPARE(zendry::WireEncode(zendry::WireEncode(text)), text);
        QCOMPARE(zendry::WireEncode(text).size(), text.size());
    }
}

void TestCredential::passwordDigest_data()
{
    // Each digest is SHA-256 of the digit string beside it, worked out by hand:
    // three digits a character (its Windows-1252 code, rotated left once),
    // last character first, then the salt byte DE.
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("digest");
    QTest::newRow("A") << "A"
                       << "650Þ"
                       << "827db93c87ff7dc4730f0ec57b82236b91722e3b733d75d352d05077451eeb6c";
    QTest::newRow("abc") << "abc"
                         << "990980970Þ"
                         << "e5c6c3a394df24bbdae603cfee3f86ea2f80a328c91c0b77b972b2131f708697";
    QTest::newRow("spaces are part of it")
            << " pw "
            << "320191121320Þ"
            << "ab814d54bc1bf531ab9189047cd30a46dfe5f843ba7b6b84415140a393a4a44d";
    QTest::newRow("inner space") << "pass word"
                                 << "001141111191320151151970121Þ"
                                 << "5f7d5933d846c12483494948a8929aec09a3c41ae9ae05f16c2d66cf09d9ccb0";
    QTest::newRow("Windows-1252 codes") << QString("é€") << QString("281332Þ")
                                        << "b3c5b7768adc63b2c37f89de3e3caa02485e27a7d1f40dad3fb611136106bcbd";
    // Outside the code page a character is '?', code 63.
    QTest::newRow("no code in 1252") << QString(QChar(0x0141)) << "630Þ"
                                     << "4849c3d2bdb0b16398e482cac039b8a000511d66e124f6b69c1257917358e7d0";
}

void TestCredential::passwordDigest()
{
    QFETCH(QString, password);
    QFETCH(QString, digits);
    QFETCH(QString, digest);
    const QByteArray hashed = QCryptographicHash::hash(digits.toLatin1(), QCryptographicHash::Sha256).toHex();
    QCOMPARE(QString::fromLatin1(hashed), digest);
    QCOMPARE(zendry::PasswordDigest(password), digest);
}

// The digest knows no 16-bit limit: every character counts.
void TestCredential::passwordsBeyondSixteenBits()
{
    for (int length : { 32767, 32768, 70000 }) {
        const QString password(length, u'A');
        const QByteArray digits = QByteArray("650").repeated(length) + char(0xDE);
        const QByteArray expected = QCryptographicHash::hash(digits, QCryptographicHash::Sha256).toHex();
        QCOMPARE(zendry::PasswordDigest(password), QString::fromLatin1(expected));
    }
}

QTEST_APPLESS_MAIN(TestCredential)
#include "tst_credential.moc"
