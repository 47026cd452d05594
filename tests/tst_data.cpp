// The local files and the banner: their formats and rules, without a window.
#include "banner/bannerfile.h"
#include "banner/bannerheader.h"
#include "banner/bannerreceiver.h"
#include "banner/weblinks.h"
#include "platform/ansicodec.h"
#include "platform/wholefile.h"
#include "store/contactlist.h"
#include "store/phonebookfile.h"
#include "store/settingsfile.h"
#include "store/textfile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace zendry;

namespace {

// A device that takes at most three bytes a write, as a pipe or a full disk may.
struct Trickle : QBuffer
{
    qint64 writeData(const char *d, qint64 n) override { return QBuffer::writeData(d, qMin(n, 3LL)); }
};

// UTF-16 or UTF-32 as Notepad and other editors write them, the low byte
// first or last, the mark being the character U+FEFF.
QByteArray wide(QStringView text, int width, bool bigEndian)
{
    QList<uint> codes = text.toUcs4();
    if (width == 2) {
        codes.clear();
        for (QChar c : text)
            codes << c.unicode();
    }
    QByteArray bytes;
    for (uint code : codes) {
        for (int k = 0; k < width; ++k)
            bytes.append(char(code >> 8 * (bigEndian ? width - 1 - k : k)));
    }
    return bytes;
}

QString book(const ContactSlots &names, const ContactSlots &numbers)
{
    QStringList s;
    for (int i = 0; i < contactSlotCount && !names[i].isEmpty(); ++i)
        s << names[i] + '=' + numbers[i];
    return s.join(' ');
}

} // namespace

class TestData : public QObject
{
    Q_OBJECT

private slots:
    void settings_data();
    void settings();
    void phonebook_data();
    void phonebook();
    void rememberContact_data();
    void rememberContact();
    void fullPhonebook();
    void aSaveReplacesTheFileWholeOrNotAtAll();
    void bannerHeader_data();
    void bannerHeader();
    void bannerPackets_data();
    void bannerPackets();
    void bannerFile();
    void webPage_data();
    void webPage();
};

void TestData::settings_data()
{
    // ZDID|digest|signature|flags: M(ask), S(ave details), A(uto refresh);
    // then the file as the program writes it back at close.
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("settings");
    QTest::addColumn<QByteArray>("written");
    // clang-format off
    QTest::newRow("everything") << QByteArray("ZDID=bob\r\npassword=ab12\r\nsignature=Bob B\r\nAutoRefresh=1\r\n") << "bob|ab12|Bob B|MSA" << QByteArray("ZDID=bob\r\npassword=ab12\r\nsignature=Bob B\r\nAutoRefresh=1\r\n");
    QTest::newRow("digest without ZDID") << QByteArray("ZDID=\r\npassword=abc\r\n") << "|abc||MS" << QByteArray("ZDID=\r\npassword=abc\r\nsignature=\r\nAutoRefresh=0\r\n");
    QTest::newRow("capitals and spaces") << QByteArray("  PASSWORD=Q  \r SIGNATURE=  s\r\nautorefresh=1 \rzdid= b ") << " b|Q|  s|MSA" << QByteArray("ZDID=b\r\npassword=Q\r\nsignature=s\r\nAutoRefresh=1\r\n");
    QTest::newRow("repeated keys") << QByteArray("ZDID=a\r\nZDID=\r\npassword=p\r\npassword=\r\nsignature=1\r\nsignature=2") << "||2|MS" << QByteArray("ZDID=\r\npassword=\r\nsignature=2\r\nAutoRefresh=0\r\n");
    QTest::newRow("near misses") << QByteArray("ZDID =x\r\nAutoRefresh=10\r\n\tpassword=y\r\npasswords=w\r\nsig=z") << "|||" << QByteArray("ZDID=\r\npassword=\r\nsignature=\r\nAutoRefresh=0\r\n");
    QTest::newRow("Windows-1252, not UTF-8") << QByteArray("ZDID=Jos\xE9\r\nsignature=\x80 a\r\nb") << "José||€ a|S" << QByteArray("ZDID=Jos\xE9\r\npassword=\r\nsignature=\x80 a\r\nAutoRefresh=0\r\n");
    QTest::newRow("UTF-8 with its mark, Notepad") << QByteArray("\xEF\xBB\xBFZDID=zo\xC3\xAB\r\npassword=ab12\r\nsignature=\xE2\x82\xAC \xC5\x81\r\nAutoRefresh=1\r\n") << "zoë|ab12|€ Ł|MSA" << QByteArray("\xEF\xBB\xBFZDID=zo\xC3\xAB\r\npassword=ab12\r\nsignature=\xE2\x82\xAC \xC5\x81\r\nAutoRefresh=1\r\n");
    QTest::newRow("Windows-1252 that is UTF-8 by chance") << QByteArray("ZDID=demo\r\nsignature=CAF\xC9\x85\r\n") << "demo||CAFÉ…|S" << QByteArray("ZDID=demo\r\npassword=\r\nsignature=CAF\xC9\x85\r\nAutoRefresh=0\r\n");
    QTest::newRow("UTF-32 BE with its mark") << wide(u"\uFEFFZDID=zoë\r\n", 4, true) << "zoë|||S" << wide(u"\uFEFFZDID=zoë\r\npassword=\r\nsignature=\r\nAutoRefresh=0\r\n", 4, true);
    QTest::newRow("LF, details not saved") << QByteArray("signature=Kim\nAutoRefresh=1\n") << "||Kim|A" << QByteArray("ZDID=\r\npassword=\r\nsignature=\r\nAutoRefresh=1\r\n");
    // clang-format on
}

// The settings as the window takes them, written back as it writes them at close.
void TestData::settings()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, settings);
    QFETCH(QByteArray, written);
    const TextFile::Contents read = TextFile::decode(file);
    const SettingsFile::Settings s = SettingsFile::parse(read.lines);
    const QString flags =
            QString(s.masked ? "M" : "") + (s.saveDetails ? "S" : "") + (s.autoRefresh ? "A" : "");
    QCOMPARE(QStringList({ s.zdid, s.passwordHash, s.signature, flags }).join('|'), settings);
    const QStringList lines =
            SettingsFile::lines(s.saveDetails, s.zdid, s.passwordHash, s.signature, s.autoRefresh);
    QCOMPARE(TextFile::encode(lines, read.encoding), written);
}

void TestData::phonebook_data()
{
    // The file as an editor wrote it; the contacts read (name=number); the
    // file written back at close, after a Send to Zoë at +1 added her.
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("book");
    QTest::addColumn<QByteArray>("written");
    // clang-format off
    QTest::newRow("every line end, Windows-1252") << QByteArray("4477 Mary Ann\r\nZed\r\n 4478  two\r\n\r\n4479 \r\n+2 b\xE9\nx\rcarol") << "Mary Ann=4477 Zed= 4478  two= bé=+2 x= carol=" << QByteArray("4477 Mary Ann\r\n Zed\r\n 4478  two\r\n+2 b\xE9\r\n x\r\n carol\r\n+1 Zo\xEB\r\n");
    QTest::newRow("ASCII, CR") << QByteArray("4477 Ann\r4478 Bob") << "Ann=4477 Bob=4478" << QByteArray("4477 Ann\r\n4478 Bob\r\n+1 Zo\xEB\r\n");
    QTest::newRow("UTF-8, LF") << QByteArray("4477 Andr\xC3\xA9\n4478 \xC5\xA0\xC3\xA1rka\n") << "André=4477 Šárka=4478" << QByteArray("4477 Andr\xC3\xA9\r\n4478 \xC5\xA0\xC3\xA1rka\r\n+1 Zo\xC3\xAB\r\n");
    QTest::newRow("Windows-1252 that is UTF-8 by chance") << QByteArray("07700900123 JOS\xC9\x92S MUM\r\n") << "JOSÉ’S MUM=07700900123" << QByteArray("07700900123 JOS\xC9\x92S MUM\r\n+1 Zo\xEB\r\n");
    QTest::newRow("UTF-8 with its mark, a Windows-1252 line") << QByteArray("\xEF\xBB\xBF" "4477 Andr\xC3\xA9\r\n1 Jos\xE9\r\n") << "André=4477 José=1" << QByteArray("\xEF\xBB\xBF" "4477 Andr\xC3\xA9\r\n1 Jos\xC3\xA9\r\n+1 Zo\xC3\xAB\r\n");
    QTest::newRow("UTF-8 with its mark, CR LF") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF" "4477 Mum \xF0\x9F\x98\x80\r\n") << "Mum \U0001F600=\uFEFF4477" << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF" "4477 Mum \xF0\x9F\x98\x80\r\n+1 Zo\xC3\xAB\r\n");
    QTest::newRow("UTF-16 LE with its mark, CR LF") << wide(u"\uFEFF4477 André\r\n4478 Łukasz\r\n", 2, false) << "André=4477 Łukasz=4478" << wide(u"\uFEFF4477 André\r\n4478 Łukasz\r\n+1 Zoë\r\n", 2, false);
    QTest::newRow("UTF-16 LE, an odd last byte") << wide(u"\uFEFF4477 Andr", 2, false) + '\xE9' << "André=4477" << wide(u"\uFEFF4477 André\r\n+1 Zoë\r\n", 2, false);
    QTest::newRow("UTF-16 LE, an odd NUL: no contact") << wide(u"\uFEFF4477 André\r\n", 2, false) + '\0' << "André=4477" << wide(u"\uFEFF4477 André\r\n+1 Zoë\r\n", 2, false);
    QTest::newRow("UTF-32 LE, a last unit cut short") << wide(u"\uFEFF4477 Mum \U0001F600\r\n4478 Andr", 4, false) + '\xE9' << "Mum \U0001F600=4477 André=4478" << wide(u"\uFEFF4477 Mum \U0001F600\r\n4478 André\r\n+1 Zoë\r\n", 4, false);
    QTest::newRow("UTF-16 BE with its mark, CR LF") << wide(u"\uFEFF4477 André\r\n", 2, true) << "André=4477" << wide(u"\uFEFF4477 André\r\n+1 Zoë\r\n", 2, true);
    // clang-format on
}

// Each line split at the first space, nothing stripped; a line without a
// space is a name; an empty name is skipped, so the contacts after it are kept.
void TestData::phonebook()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, book);
    QFETCH(QByteArray, written);
    const TextFile::Contents read = TextFile::decode(file);
    ContactSlots names, numbers;
    PhonebookFile::parse(read.lines, names, numbers);
    QCOMPARE(::book(names, numbers), book);
    QVERIFY(zendry::rememberContact(names, numbers, "Zoë", "+1").added);
    QCOMPARE(TextFile::encode(PhonebookFile::lines(names, numbers), read.encoding), written);
}

// Names are the same when they are once trimmed, the stored name too.
void TestData::rememberContact_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("after"); // the book, the slot recorded, and whether it is new
    // clang-format off
    QTest::newRow("another case updates") << "BOB" << " 9 " << "Ann=1 BOB=9 Cy=3 1";
    QTest::newRow("surrounding spaces update") << " bob  " << " 9 " << "Ann=1 bob=9 Cy=3 1";
    QTest::newRow("a new name") << " Dee" << " 9 " << "Ann=1  bob=2 Cy=3 Dee=9 3 new";
    QTest::newRow("spaces") << "   " << " 9 " << "Ann=1  bob=2 Cy=3 -1";
    QTest::newRow("<new>") << " <new> " << " 9 " << "Ann=1  bob=2 Cy=3 -1";
    QTest::newRow("<New> is a name") << "<New>" << " 9 " << "Ann=1  bob=2 Cy=3 <New>=9 3 new";
    QTest::newRow("a blank number keeps the stored one") << "BOB" << " " << "Ann=1 BOB=2 Cy=3 1";
    QTest::newRow("a new name without a number") << "Dee" << "" << "Ann=1  bob=2 Cy=3 Dee= 3 new";
    // clang-format on
}

void TestData::rememberContact()
{
    QFETCH(QString, name);
    QFETCH(QString, number);
    QFETCH(QString, after);
    ContactSlots names{ "Ann", " bob", "Cy" }, numbers{ "1", "2", "3", "stale" }; // a file line "2  bob"
    const Remembered r = zendry::rememberContact(names, numbers, name, number);
    QCOMPARE(book(names, numbers) + ' ' + QString::number(r.slot) + (r.added ? " new" : ""), after);
}

// 500 slots, lines past the 500th dropped; a removal closes the gap and frees
// the last slot. The list keeps "<new>" first and sorts as a user expects.
void TestData::fullPhonebook()
{
    QStringList lines;
    for (int i = 0; i < 501; ++i)
        lines << QString("%1 c%1").arg(i);
    ContactSlots names, numbers;
    QCOMPARE(PhonebookFile::parse(lines, names, numbers), 500);
    QCOMPARE(PhonebookFile::lines(names, numbers), lines.mid(0, 500));
    QCOMPARE(zendry::rememberContact(names, numbers, "one more", "").slot, -1);
    QCOMPARE(zendry::rememberContact(names, numbers, "C499", "x").slot, 499);
    QCOMPARE(removeContact(names, numbers, "nobody"), -1);
    QCOMPARE(removeContact(names, numbers, "C1 "), 1);
    QCOMPARE(names[1] + names[498] + names[499] + numbers[498] + numbers[499], QString("c2C499x"));
    QCOMPARE(zendry::rememberContact(names, numbers, "one more", "").slot, 499);
    ContactList list;
    for (const char *name :
         { "zed", "bob", "Émile", "10 Main", "(Work)", "Alice", "Bob", "<a>", "c9", "c10" })
        list.addName(QString::fromUtf8(name));
    list.removeEntry(0);
    list.removeEntry(list.findName(" ZED "));
    QStringList got;
    for (int row = 0; row < list.rowCount(); ++row)
        got << list.data(list.index(row)).toString();
    QCOMPARE(got.join('|'), QString("<new>|(Work)|<a>|10 Main|Alice|bob|Bob|c10|c9|Émile"));
    QVERIFY(!list.data(list.index(1), Qt::ToolTipRole).isValid() && list.rowCount(list.index(1)) == 0);
}

// Every byte is written, however few a write takes. A new file takes the old
// one's place only once every byte is written: the process's file-size limit
// (which stops root as anyone) makes the save fail, say why, and leave the
// old file alone.
void TestData::aSaveReplacesTheFileWholeOrNotAtAll()
{
    Trickle trickle;
    QVERIFY(trickle.open(QIODevice::WriteOnly) && WholeFile::writeAll(trickle, "4477 Ann\r\n", nullptr));
    QCOMPARE(trickle.data(), QByteArray("4477 Ann\r\n"));
    QTemporaryDir dir;
    const QString path = dir.filePath("Phonebook.txt");
    QVERIFY(TextFile::save(path, { "4477 Alice", "4478 Bob" }, TextFile::Encoding::CodePage, nullptr));
    QVERIFY(QDir().mkdir(dir.filePath("folder")));
    QCOMPARE(TextFile::read(dir.filePath("folder")).lines, QStringList()); // what cannot be read is the end
#ifndef Q_OS_UNIX
    QSKIP("A save cut short needs a file-size limit, and one as another user a fork: both Unix's");
#else
    rlimit saved;
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString why;
    const bool ok = TextFile::save(path, QStringList(100, "4479 A contact with a long name"),
                                   TextFile::Encoding::CodePage, &why);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    QVERIFY(!ok && !why.isEmpty());
    QCOMPARE(TextFile::read(path).lines, QStringList({ "4477 Alice", "4478 Bob" }));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{ "Phonebook.txt" });
    // A writable file in a folder where nothing can be made is rewritten in
    // place. Root may make files anywhere, so the save runs as nobody.
    const auto all = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    QVERIFY(QFile::setPermissions(path, all | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
    QVERIFY(QFile::setPermissions(dir.path(), all | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther));
    const pid_t child = fork();
    if (child == 0)
        _exit((getuid() == 0 && (setgid(65534) || setuid(65534)))
              || !TextFile::save(path, { "4480 Cy" }, TextFile::Encoding::CodePage, nullptr));
    int status = -1;
    QCOMPARE(waitpid(child, &status, 0), child);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(TextFile::read(path).lines, QStringList({ "4480 Cy" }));
    QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
#endif
}

void TestData::bannerHeader_data()
{
    // Length, link and where the picture starts; "-" when the header fails.
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<QString>("header");
    // clang-format off
    QTest::newRow("whole") << QByteArray("5 http://ads.example/a\rABCDE") << "5|http://ads.example/a|23";
    QTest::newRow("CR LF: the LF is picture") << QByteArray("3 l\r\nab") << "3|l|4";
    QTest::newRow("empty link, spaces in a link") << QByteArray("7  a b\rX") << "7| a b|7";
    QTest::newRow("no length: 0") << QByteArray(" l\rX") << "0|l|3";
    QTest::newRow("past 32 bits") << QByteArray("2147483648 l\r") << "-";
    QTest::newRow("no space") << QByteArray("5http\rABCDE") << "-";
    QTest::newRow("no CR after the space") << QByteArray("5\r http://x/") << "-";
    QTest::newRow("space at position 32767") << QByteArray(32766, '0') + " l\r" << "0|l|32769";
    QTest::newRow("space at position 32768") << QByteArray(32767, '0') + " l\r" << "-";
    // clang-format on
}

void TestData::bannerHeader()
{
    QFETCH(QByteArray, packet);
    QFETCH(QString, header);
    const auto h = BannerHeader::parse(packet);
    QCOMPARE(h ? QString("%1|%2|%3").arg(h->length).arg(h->link).arg(h->pictureAt) : QString("-"), header);
}

void TestData::bannerPackets_data()
{
    // Packets as they arrive; then the outcome after each, W(aiting), C(omplete)
    // or F(ailed), the bytes still expected and the link; the file at the end.
    QTest::addColumn<QList<QByteArray>>("packets");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QByteArray>("file");
    // clang-format off
    QTest::newRow("one packet") << QList<QByteArray>{"5 l\rABCDE"} << "C 0 l" << QByteArray("ABCDE");
    QTest::newRow("header, then the picture") << QList<QByteArray>{"5 l\r", "AB", "CDE"} << "WWC 0 l" << QByteArray("ABCDE");
    QTest::newRow("the header in pieces") << QList<QByteArray>{"5 l", "\rABCDE"} << "F -1 " << QByteArray();
    QTest::newRow("length 0") << QList<QByteArray>{"0 l\rAB"} << "C -2 l" << QByteArray("AB");
    QTest::newRow("lowest 32-bit length") << QList<QByteArray>{"-2147483648 l\rAB"} << "C -2147483648 l" << QByteArray("AB");
    QTest::newRow("exactly the cap") << QList<QByteArray>{"4194304 l\r", QByteArray(4194304, 'x')} << "WC 0 l" << QByteArray(4194304, 'x');
    QTest::newRow("past the cap, announced") << QList<QByteArray>{"4194305 l\r"} << "F -1 " << QByteArray();
    QTest::newRow("past the cap, received")
            << QList<QByteArray>{"4194304 l\r", QByteArray(4194303, 'x'), "yz"} << "WWF 1 l" << QByteArray();
    // clang-format on
}

void TestData::bannerPackets()
{
    QFETCH(QList<QByteArray>, packets);
    QFETCH(QString, after);
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
    QCOMPARE(seen + ' ' + QString::number(left) + ' ' + link, after);
    banner.close();
    QFile f(banner.path());
    QVERIFY(f.size() <= BannerFile::maxBytes); // never more is written
    QCOMPARE(file.isEmpty() || !f.open(QIODevice::ReadOnly) ? file : f.readAll(), file);
}

// Raw bytes, an older file replaced, a folder in the way refused; pictures
// known by their content.
void TestData::bannerFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Banner.tmp");
    QVERIFY(QImage(40, 10, QImage::Format_RGB32).save(path, "JPEG"));
    QCOMPARE(BannerFile::loadPicture(path).size(), QSize(40, 10));
    BannerFile file(path);
    QVERIFY(file.replace() && file.append(QByteArray("\nA\0\xFF", 4)));
    file.close();
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly) && written.readAll() == QByteArray("\nA\0\xFF", 4));
    written.close(); // Windows removes no file that is open
    QVERIFY(BannerFile::loadPicture(path).isNull() && !file.append("closed"));
    QVERIFY(file.remove() && !QFile::exists(path) && file.remove());
    QVERIFY(QDir().mkdir(path) && !file.replace());
}

void TestData::webPage_data()
{
    // A link from the ad server, and the page it opens, fully encoded; empty: refused.
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("page");
    // clang-format off
    QTest::newRow("http") << "http://ads.example/?y=1" << "http://ads.example/?y=1";
    QTest::newRow("capitals") << "HTTPS://ADS.EXAMPLE/" << "https://ads.example/";
    QTest::newRow("what a browser reads") << "http://ads.example/a b|{}^%\"x" << "http://ads.example/a%20b%7C%7B%7D%5E%25%22x";
    QTest::newRow("outside ASCII") << "http://ads.example/\u00e9?q=\u0416" << "http://ads.example/%C3%A9?q=%D0%96";
    QTest::newRow("www. without a scheme") << "WWW.ads.example/a \"b" << "http://www.ads.example/a%20%22b";
    QTest::newRow("www. with a port") << "www.ads.example:8080" << "http://www.ads.example:8080";
    // Only a '%' that starts no escape is encoded; escapes stay as they are.
    QTest::newRow("a stray % and escapes") << "http://ads.example/c?d=50%&to=http%3A%2F%2Fshop.example%2Fsale"
                                            << "http://ads.example/c?d=50%25&to=http%3A%2F%2Fshop.example%2Fsale";
    QTest::newRow("every reserved character") << "http://ads.example/a-._~:/?#[]@!$&'()*+,;=z"
                                               << "http://ads.example/a-._~:/?#[]@!$&'()*+,;=z";
    QTest::newRow("% at the end") << "http://ads.example/%7e?q=%" << "http://ads.example/%7e?q=%25";
    QTest::newRow("%4") << "http://ads.example/a%4%2f" << "http://ads.example/a%254%2f";
    QTest::newRow("%zz") << "https://ads.example/%zz%C3%a9#%41" << "https://ads.example/%25zz%C3%a9#%41";
    QTest::newRow("letters and spaces") << "http://ads.example/\u00e9 %41?q=\u0416 100%"
                                        << "http://ads.example/%C3%A9%20%41?q=%D0%96%20100%25";
    for (const char *local : { "http://", "file:///etc/passwd", "/usr/bin/xterm", "C:\\Windows\\calc.exe",
                               "javascript:alert(1)", "mailto:a@b.example", "", " http://ads.example/",
                               "ads.example/", "www.:x", "ftp://www.ads.example/", "www" })
        QTest::newRow(local) << local << "";
    // clang-format on
}

void TestData::webPage()
{
    QFETCH(QString, link);
    QFETCH(QString, page);
    QCOMPARE(WebLinks::webPage(link), page);
}

QTEST_GUILESS_MAIN(TestData)
#include "tst_data.moc"
