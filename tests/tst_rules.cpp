// The rules of the program that need no window: the codec, numbers and
// trimming, the credential, the requests, the replies, the checks, the
// field rules, a key's release, the text a box has room for and the order
// a name's addresses are tried in.
#include "app/fieldrules.h"
#include "digest/csha256.h"
#include "platform/ansicodec.h"
#include "platform/fittingtext.h"
#include "platform/keyups.h"
#include "platform/numericprefix.h"
#include "platform/tcpclient.h"
#include "platform/trim.h"
#include "service/checks.h"
#include "service/credential.h"
#include "service/reply.h"
#include "service/request.h"

#include <QCryptographicHash>
#include <QKeyEvent>
#include <QRandomGenerator>
#include <QTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using namespace zendry;

namespace {

// An outcome in one line: [credits] title: text > focus, then the selection.
QString describe(const std::optional<Outcome> &o)
{
    if (!o)
        return "go";
    static const char *fields[] = { "-", "ZDID", "PW", "Number", "Message", "Send" };
    QString s = o->setsCredits ? QString("[%1,%2] ").arg(o->freeCredits).arg(o->purchasedCredits) : "";
    if (!o->title.isEmpty())
        s += o->title + (o->yesNo ? " (Yes/No)" : "") + ": " + o->text + ' ';
    s += QString("> ") + fields[int(o->focus)] + (o->settle ? " settled" : "");
    const QString selections[] = { "", " all", QString(" %1+%2").arg(o->start).arg(o->length), " end" };
    return s + selections[int(o->select)];
}

QString hashOf(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

const QString unavailable = "Error: The server is temporarily unavailable.\r\nPlease try again later. > Send";

} // namespace

class TestRules : public QObject
{
    Q_OBJECT

private slots:
    void codecAndTrimming();
    void numericPrefix_data();
    void numericPrefix();
    void sha256();
    void wireEncode();
    void storedPasswordHash();
    void requests();
    void replies_data();
    void replies();
    void checks_data();
    void checks();
    void fieldRules();
    void keyUps();
    void fittingText();
    void addressOrder_data();
    void addressOrder();
};

// Windows-1252, not Latin-1: "€" is 0x80; on Windows the system's own code
// page, where Polish 1250 has "Ł" at A3. What it lacks becomes '?', as
// Windows converts it; a hole in the code page keeps its byte. Trimming takes
// spaces only.
void TestRules::codecAndTrimming()
{
#ifdef Q_OS_WIN
    // The run names the code page its locale must give, so that a locale
    // Wine could not take is not passed over as another page.
    const unsigned page = GetACP();
    QCOMPARE(page, unsigned(qEnvironmentVariableIntValue("ZENDRY_CODE_PAGE")));
#else
    const unsigned page = 1252;
#endif
    QVERIFY2(page == 1252 || page == 1250, "no bytes are written down here for this code page");
    if (page == 1252)
        QCOMPARE(AnsiCodec::encode(QString("é\u00DE\u00FF€\u201C\u0141\u4E2D\u0080\u0081")),
                 QByteArray("\xE9\xDE\xFF\x80\x93???\x81"));
    else
        QCOMPARE(AnsiCodec::encode(QString("\u0141€\u00DE\u0081")), QByteArray("\xA3\x80?\x81"));
    QByteArray all(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        all[i] = char(i);
    QCOMPARE(AnsiCodec::encode(AnsiCodec::decode(all)), all);
    QCOMPARE(trimSpaces("  a b  ") + trimSpaces("   ") + trimSpaces("\t a \r\n"), QString("a b\t a \r\n"));
}

void TestRules::numericPrefix_data()
{
    // The text, then its floor as text and its rounding to even; "-" is out
    // of range. The floor as a 64-bit number is the same when it fits.
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("floor");
    QTest::addColumn<QString>("rounded");
    // clang-format off
    QTest::newRow("nothing") << "" << "0" << "0";
    QTest::newRow("sign after blanks") << " -\t\n4" << "-4" << "-4";
    QTest::newRow("2.9") << "+2.9" << "2" << "3";
    QTest::newRow("-2.5") << "-2.5" << "-3" << "-2";
    QTest::newRow("second point stops") << "1.5.9" << "1" << "2";
    QTest::newRow("negative fraction") << "-.5" << "-1" << "0";
    QTest::newRow("no whole digits") << ".6" << "0" << "1";
    QTest::newRow("a tail past the first fraction digit") << "-2.51" << "-3" << "-3";
    QTest::newRow("negative exponent") << "25E-1" << "2" << "2";
    QTest::newRow("tiny") << "-1e-999" << "-1" << "0";
    QTest::newRow("huge") << "1e1000" << "1" + QString(1000, u'0') << "-";
    QTest::newRow("an exponent past the zeros padded") << "-25.e1001" << "-25e1001" << "-";
    QTest::newRow("an exponent past 10^9") << "1e9999999999" << "1e9999999999" << "-";
    QTest::newRow("past 64 bits, carried") << "-100e99999999999999999999" << "-1e100000000000000000001" << "-";
    QTest::newRow("past 64 bits, borrowed") << "0.001e100000000000000000000" << "1e99999999999999999997" << "-";
    QTest::newRow("every digit kept") << "9007199254740993" << "9007199254740993" << "-";
    QTest::newRow("largest 64-bit") << "9223372036854775807" << "9223372036854775807" << "-";
    QTest::newRow("past 64 bits") << "9223372036854775808" << "9223372036854775808" << "-";
    QTest::newRow("below it") << "-9223372036854775808.5" << "-9223372036854775809" << "-";
    QTest::newRow("a carry") << "-99.01" << "-100" << "-99";
    QTest::newRow("1e20") << "1.5e20" << "150000000000000000000" << "-";
    QTest::newRow("rounds past 32 bits") << "2147483647.5" << "2147483647" << "-";
    QTest::newRow("many leading zeros") << QString(400, u'0') + "42" << "42" << "42";
    // clang-format on
}

void TestRules::numericPrefix()
{
    QFETCH(QString, text);
    QFETCH(QString, floor);
    QFETCH(QString, rounded);
    const auto f = NumericPrefix(text).floor();
    const auto r = NumericPrefix(text).roundHalfEven();
    bool fits = false;
    floor.toLongLong(&fits);
    QCOMPARE(NumericPrefix(text).floorText() + ' ' + (r ? QString::number(*r) : "-"), floor + ' ' + rounded);
    QCOMPARE(f ? QString::number(*f) : "-", fits ? floor : "-");
}

// CSHA256 against the standard's examples and Qt's SHA-256 on random texts.
void TestRules::sha256()
{
    const CSHA256 sha;
    // An example of FIPS 180-2, and a first word below 0x10000000 keeping its leading zeros.
    QCOMPARE(sha.SHA256("abc"), QString("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
    QCOMPARE(sha.SHA256("886"), QString("000f21ac06aceb9cdd0575e82d0d85fc39bed0a7a1d71970ba1641666a44f530"));
    // Only the low 8 bits of a character count.
    QCOMPARE(sha.SHA256(QString(QChar(0x20AC))), sha.SHA256(QString(QChar(0x00AC))));
    // The word operations at the edges the digest itself never reaches.
    QCOMPARE(quint32(CSHA256::ShiftLeft(-1, 31)), 0x80000000u);
    QCOMPARE(CSHA256::ShiftLeft(0x1234, 0), 0x1234);
    QCOMPARE(quint32(CSHA256::RotateRight(0x12345678, 36)), 0x81234567u);
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, CSHA256::ShiftLeft(1, 32));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, CSHA256::ShiftRight(1, -1));
    QRandomGenerator random(20261207);
    for (int round = 0; round < 1000; ++round) {
        QString text(qsizetype(random.bounded(round < 900 ? 200 : 5000)), Qt::Uninitialized);
        QByteArray bytes(text.size(), Qt::Uninitialized);
        for (qsizetype k = 0; k < text.size(); ++k) {
            text[k] = QChar(char16_t(random.bounded(0x10000)));
            bytes[k] = char(text[k].unicode() & 0xFF);
        }
        QCOMPARE(sha.SHA256(text), hashOf(bytes));
    }
}

// Letters mirrored, digits and four pairs swapped, the whole reversed; twice
// gives the text back.
void TestRules::wireEncode()
{
    // clang-format off
    const QStringList pairs = { "", "", "abc", "XYZ", "abc 12", "78,XYZ", "AZaz0123456789", "0123456789AZaz",
                                "\r\n", ";:", " ,\r:\n;", "\n;\r: ,", "é-\t€@[`{/", "/{`[@€\t-é" };
    // clang-format on
    for (qsizetype i = 0; i < pairs.size(); i += 2) {
        QCOMPARE(WireEncode(pairs[i]), pairs[i + 1]);
        QCOMPARE(WireEncode(pairs[i + 1]), pairs[i]);
    }
}

// Leaving the password box: empty clears, the mask keeps, anything else is digested as typed.
void TestRules::storedPasswordHash()
{
    QCOMPARE(zendry::storedPasswordHash("", "held"), QString());
    QCOMPARE(zendry::storedPasswordHash("**********", "held"), QString("held"));
    for (const char *typed : { "*********", "**********x", " **********", "secret" })
        QCOMPARE(zendry::storedPasswordHash(typed, "held"), PasswordDigest(typed));
}

void TestRules::requests()
{
    QCOMPARE(creditsRequestBody(" alice ", ""), QString("alice "));
    QCOMPARE(sendRequestBody(" bob ", "d1", " 4477 ", " a\r\nb\r\n ", " -x "),
             QString("v1.10 bob d1\r\n4477\r\na\rb\r\r-x"));
    QCOMPARE(sendRequestBody("\tbob", "", "1", "\thi", "  "), QString("v1.10 \tbob \r\n1\r\n\thi\r"));
    // "alice " reversed and mirrored, the space now a comma in front.
    QCOMPARE(creditsRequest(" alice ", ""), QByteArray("txt ,VXROZ"));
    QCOMPARE(sendRequest("ab", "", "12", "c\r\nd", "é"), QByteArray("stxt \xE9:W:X;:78;:,YZ,98.8E"));
}

void TestRules::replies_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<bool>("refresh");
    QTest::addColumn<QString>("outcome");
    const QString problem = "Error: Connection problem.\r\nPlease try again later. > Send";
    const QString buy = "[0,0] Buy Credits? (Yes/No): You do not have enough credits to send a text.\r\n"
                        "Would you like to purchase some credits now? > Send";
    // clang-format off
    QTest::newRow("sent") << "=5,20" << false << "[5,20] Message Sent: Your message has been sent to the Zendry\r\n"
                                                 "SMS server and will be delivered shortly. > Message all";
    QTest::newRow("refreshed, CR LF") << "=5,20\r\n" << true << "[5,20] > -";
    QTest::newRow("=2.9,x") << "=2.9,x" << true << "[2,0] > -";
    QTest::newRow("rounded down") << "=-2.5,-1" << true << "[-3,-1] > -";
    QTest::newRow("a second comma ends it") << "=1,2,3" << true << "[1,2] > -";
    QTest::newRow("=1e20,5") << "=1e20,5" << false << "[100000000000000000000,5] Message Sent: Your message has been sent to the Zendry\r\n"
                                                     "SMS server and will be delivered shortly. > Message all";
    QTest::newRow("past 64 bits") << "=-99999999999999999999.5,99999999999999999999" << true << "[-100000000000000000000,99999999999999999999] > -";
    QTest::newRow("=1e999999999,1") << "=1e999999999,1" << true << "[1e999999999,1] > -";
    QTest::newRow("=15: no comma") << "=15" << false << problem;
    QTest::newRow("!Wrong") << "!Wrong" << false << "Error: Unknown or invalid ZDID. > ZDID";
    QTest::newRow("!P") << "!P" << true << "Error: Incorrect password. > PW";
    QTest::newRow("!0") << "!0" << false << buy;
    QTest::newRow("!r alone") << "!r" << false << "Error: Problem with recipient. > Number";
    QTest::newRow("!RW") << "!RW" << false << "Error: Unknown or invalid recipient ZDID. > Number";
    QTest::newRow("!rN") << "!rN" << false << "Error: Recipient ZDID does not have a mobile phone number configured. > Number";
    QTest::newRow("message") << "!\"Down for\r\nrepairs" << false << "Error: Down for\r\nrepairs > Send";
    QTest::newRow("empty") << "" << false << unavailable;
    QTest::newRow("!x") << "!x" << false << unavailable;
    // clang-format on
}

void TestRules::replies()
{
    QFETCH(QString, reply);
    QFETCH(bool, refresh);
    QFETCH(QString, outcome);
    QCOMPARE(describe(replyOutcome(reply, refresh)), outcome);
    QCOMPARE(describe(unavailableOutcome()), unavailable);
}

void TestRules::checks_data()
{
    // ZDID|password|number|message|characters remaining; two fields: a refresh.
    QTest::addColumn<QString>("fields");
    QTest::addColumn<QString>("outcome");
    const QString zdid = "Error: Please enter your ZDID. > ZDID";
    const QString password = "Error: Please enter your password. > PW";
    const QString comma = "Error: Sending to multiple recipients is not supported by this version of "
                          "Zendry SMS. > Number settled ";
    const QString tooLong = "Error: Your message is %1 characters too long.  Please\r\n"
                            "shorten the message or the signature and try again. > Message end";
    // clang-format off
    QTest::newRow("all good") << "bob|pw|4477|hi|0" << "go";
    QTest::newRow("no ZDID") << "|pw|1|hi|0" << zdid;
    QTest::newRow("ZDID of spaces") << "   |pw|1|hi|0" << zdid;
    QTest::newRow("no password") << "bob||1|hi|0" << password;
    QTest::newRow("password of spaces") << "bob|  |1|hi|0" << "go";
    QTest::newRow("no number") << "bob|pw|  |hi|0" << "Error: Please enter the number you wish to send the text to. > Number";
    QTest::newRow("leading zero") << "bob|pw| 07700|hi|0" << "Error: Please enter the correct country code. > Number settled 0+1";
    QTest::newRow("a ZDID with a zero") << "bob|pw|0alice|hi|0" << "go";
    QTest::newRow("a zero and a comma") << "bob|pw|0alice,x|hi|0" << comma + "6+2";
    QTest::newRow("a comma first") << "bob|pw|,4477|hi|0" << comma + "0+5";
    QTest::newRow("message of spaces") << "bob|pw|1|   |0" << "Error: Please enter a message to send. > Message";
    QTest::newRow("message of line breaks") << "bob|pw|1|\r\n|0" << "go";
    QTest::newRow("one too long") << "bob|pw|1|hi|-1" << tooLong.arg(1);
    QTest::newRow("refresh") << "bob| x" << "go";
    QTest::newRow("refresh, no ZDID") << "  |pw" << zdid;
    QTest::newRow("refresh, password of spaces") << "bob|  " << password;
    // clang-format on
}

void TestRules::checks()
{
    QFETCH(QString, fields);
    QFETCH(QString, outcome);
    const QStringList f = fields.split('|');
    QCOMPARE(describe(f.size() == 2 ? checkRefresh(f[0], f[1]) : checkSend({ f[0], f[1], f[2], f[3], f[4] })),
             outcome);
}

// The counter: a CR LF line break counts one, the separator counts even
// without a signature. The number loses spaces and plus signs; a blank
// signature takes the ZDID. The document's separators become CR LF, and a
// no-break space stays one.
void TestRules::fieldRules()
{
    QCOMPARE(FieldRules::charsRemaining("", ""), 159);
    QCOMPARE(FieldRules::charsRemaining(QString(160, u'x'), ""), -1);
    QCOMPARE(FieldRules::charsRemaining("a\r\r\n\nb", "sig"), 151);
    QCOMPARE(FieldRules::tidyNumber("+1\t-2 3+"), QString("1\t-23"));
    QCOMPARE(FieldRules::refilledSignature("   ", " id "), QString(" id "));
    QCOMPARE(FieldRules::refilledSignature("\t", "id") + FieldRules::refilledSignature(" B ", ""), "\t B ");
    const QString raw = QString("a\u00A0b") + QChar::ParagraphSeparator + "c" + QChar::LineSeparator;
    QCOMPARE(FieldRules::messageFromDocument(raw), QString("a\u00A0b\r\nc\r\n"));
    const auto oneLine = [](const QString &text, int caret) {
        const QString kept = FieldRules::singleLine(text, &caret);
        return kept + '|' + QString::number(caret);
    };
    QCOMPARE(oneLine("alice\r\nAutoRefresh=1", 20), QString("alice|5")); // set, or pasted into an empty box
    QCOMPARE(oneLine("abx\nycd", 5), QString("abxcd|3")); // "x\ny" pasted between "ab" and "cd"
    QCOMPARE(oneLine("a\rb\nc", 4) + oneLine("ab\rc", 1) + oneLine("ab", 1), QString("ac|1ab|1ab|1"));
}

// A release counts once no press of the key at its time stamp follows.
void TestRules::keyUps()
{
    // p(ress) or r(elease), the key and its time stamp, * when Qt saw a
    // repeat; s: the moment to wait for a repeat's press is over.
    const auto released = [](const QString &events) {
        KeyUps ups(60000);
        QString got;
        connect(&ups, &KeyUps::released, [&got](int key) { got += QString::number(key); });
        for (const QString &e : events.split(' ')) {
            const QStringList k = e.mid(1).split(':');
            QKeyEvent event(e[0] == 'p' ? QEvent::KeyPress : QEvent::KeyRelease, k[0].toInt(), {}, {},
                            e.endsWith('*'));
            event.setTimestamp(k.value(1).remove('*').toULongLong());
            e == "s" ? ups.settle() : e[0] == 'p' ? ups.press(event) : ups.release(event);
        }
        return got;
    };
    QCOMPARE(released("p1:5 r1:9 p1:9 r1:49 p1:49 r1:900 s"), QString("1")); // held, then let go
    QCOMPARE(released("r1:9* p1:9* s"), QString()); // a repeat Qt saw
    QCOMPARE(released("r1:9 p1:30 r1:60 s") + released("r1:9 p2:9 r2:20 s"), QString("1112"));
    QCOMPARE(released("r3:0"), QString("3")); // no time stamp
}

// The longest start that fits with "…" after it, found for a huge text,
// whole pairs kept; a text that fits stays whole. A word longer than a line
// goes over several, its pairs whole.
void TestRules::fittingText()
{
    const auto upTo = [](qsizetype n) { return [n](const QString &s) { return s.size() <= n; }; };
    QCOMPARE(zendry::fittingText(QString(1 << 20, u'x'), upTo(777)), QString(776, u'x') + "…");
    QCOMPARE(zendry::fittingText("short", upTo(5)), QString("short"));
    QCOMPARE(zendry::fittingText(QString("\U0001F600").repeated(300), upTo(302)).size(), 301);
    const auto line = [](QStringView s) { return s.size() <= 4; };
    QCOMPARE(zendry::brokenLongWords("ab abcdefghij\nxy z", line), QString("ab abcd\nefgh\nij\nxy z"));
    QCOMPARE(zendry::brokenLongWords(QString("\U0001F600").repeated(3), line).split('\n').size(), 2);
}

void TestRules::addressOrder_data()
{
    QTest::addColumn<QString>("found");
    QTest::addColumn<QString>("tried");
    // clang-format off
    QTest::newRow("the families take turns") << "::1 ::2 ::3 10.0.0.1 10.0.0.2" << "::1 10.0.0.1 ::2 10.0.0.2 ::3";
    QTest::newRow("IPv4 found first") << "10.0.0.1 10.0.0.2 ::1" << "10.0.0.1 ::1 10.0.0.2";
    QTest::newRow("one family") << "10.0.0.2 10.0.0.1" << "10.0.0.2 10.0.0.1";
    QTest::newRow("none") << "" << "";
    // clang-format on
}

// A name's addresses are tried in the order found, the families taking
// turns, so that many addresses of a family that leads nowhere do not hold
// back the other.
void TestRules::addressOrder()
{
    QFETCH(QString, found);
    QFETCH(QString, tried);
    QList<QHostAddress> addresses;
    for (const QString &address : found.split(' ', Qt::SkipEmptyParts))
        addresses << QHostAddress(address);
    QStringList order;
    for (const QHostAddress &address : TcpClient::interleaved(addresses))
        order << address.toString();
    QCOMPARE(order.join(' '), tried);
}

QTEST_GUILESS_MAIN(TestRules)
#include "tst_rules.moc"
