#include "service/credential.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QTest>

using namespace zendry;

class TestCredential : public QObject
{
    Q_OBJECT

private slots:
    void wireEncode();
    void passwordDigest_data();
    void passwordDigest();
};

void TestCredential::wireEncode()
{
    QCOMPARE(WireEncode(u""), QString());
    QCOMPARE(WireEncode(u"abc"), QString("XYZ"));
    QCOMPARE(WireEncode(u"abc 12"), QString("78,XYZ"));
    QCOMPARE(WireEncode(u"XYZ"), QString("abc"));
    QCOMPARE(WireEncode(u"AZaz0123456789"), QString("0123456789AZaz"));
    QCOMPARE(WireEncode(u"\r\n"), QString(";:")); // the line feed is met first
    QCOMPARE(WireEncode(u" ,\r:\n;"), QString("\n;\r: ,"));
    QCOMPARE(WireEncode(u"é-\t€"), QString("€\t-é")); // other characters keep their code
    QRandomGenerator random(7);
    for (int round = 0; round < 500; ++round) {
        QString text(int(random.bounded(300)), Qt::Uninitialized);
        for (QChar &c : text)
            c = QChar(char16_t(random.bounded(round % 2 ? 0x100 : 0x10000)));
        QCOMPARE(WireEncode(WireEncode(text)), text);
    }
}

void TestCredential::passwordDigest_data()
{
    // The digit string worked out by hand: each character's Windows-1252
    // code in three digits rotated left once, last character first, then the
    // salt byte DE. The digest is its SHA-256.
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("digest");
    // clang-format off
    QTest::newRow("A") << "A" << "650Þ" << "827db93c87ff7dc4730f0ec57b82236b91722e3b733d75d352d05077451eeb6c";
    QTest::newRow("abc") << "abc" << "990980970Þ" << "e5c6c3a394df24bbdae603cfee3f86ea2f80a328c91c0b77b972b2131f708697";
    QTest::newRow("spaces count") << " pw " << "320191121320Þ" << "ab814d54bc1bf531ab9189047cd30a46dfe5f843ba7b6b84415140a393a4a44d";
    QTest::newRow("Windows-1252") << "é€" << "281332Þ" << "b3c5b7768adc63b2c37f89de3e3caa02485e27a7d1f40dad3fb611136106bcbd";
    QTest::newRow("not in 1252: '?'") << "Ł" << "630Þ" << "4849c3d2bdb0b16398e482cac039b8a000511d66e124f6b69c1257917358e7d0";
    // clang-format on
}

void TestCredential::passwordDigest()
{
    QFETCH(QString, password);
    QFETCH(QString, digits);
    QFETCH(QString, digest);
    QCOMPARE(QString::fromLatin1(
                     QCryptographicHash::hash(digits.toLatin1(), QCryptographicHash::Sha256).toHex()),
             digest);
    QCOMPARE(PasswordDigest(password), digest);
    // No 16-bit limit: every character of a long password counts.
    const QByteArray longDigits = QByteArray("650").repeated(70000) + char(0xDE);
    QCOMPARE(PasswordDigest(QString(70000, u'A')),
             QString::fromLatin1(QCryptographicHash::hash(longDigits, QCryptographicHash::Sha256).toHex()));
}

QTEST_APPLESS_MAIN(TestCredential)
#include "tst_credential.moc"
