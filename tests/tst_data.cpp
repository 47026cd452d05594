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
    void phonebook();
    void rememberContact_data();
    void rememberContact();
    void fullPhonebook();
    void aSaveReplacesTheFileWholeOrNotAtAll();
    void bannerHeader_data();
    void bannerHeader();
    void bannerPackets_data();
    void bannerPackets();
    void bannerFileAndLinks();
};

void TestData::settings_data()
{
    // ZDID|digest|signature|flags: M(ask), S(ave details), A(uto refresh).
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("settings");
    // clang-format off
    QTest::newRow("everything") << QByteArray("ZDID=bob\r\npassword=ab12\r\nsignature=Bob B\r\nAutoRefresh=1\r\n") << "bob|ab12|Bob B|MSA";
    QTest::newRow("digest without ZDID") << QByteArray("ZDID=\r\npassword=abc\r\n") << "|abc||MS";
    QTest::newRow("capitals and spaces") << QByteArray("  PASSWORD=Q  \r SIGNATURE=  s\r\nautorefresh=1 ") << "|Q|  s|MSA";
    QTest::newRow("repeated keys") << QByteArray("ZDID=a\r\nZDID=\r\npassword=p\r\npassword=\r\nsignature=1\r\nsignature=2") << "||2|MS";
    QTest::newRow("near misses") << QByteArray("ZDID =x\r\nAutoRefresh=10\r\n\tpassword=y\r\npasswords=w\r\nsig=z") << "|||";
    QTest::newRow("Windows-1252, lone LF") << QByteArray("ZDID=Jos\xE9\r\nsignature=\x80 a\nb") << "José||€ a\nb|S";
    // clang-format on
}

void TestData::settings()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, settings);
    const SettingsFile::Settings s = SettingsFile::parse(TextFile::split(file));
    const QString flags =
            QString(s.masked ? "M" : "") + (s.saveDetails ? "S" : "") + (s.autoRefresh ? "A" : "");
    QCOMPARE(QStringList({ s.zdid, s.passwordHash, s.signature, flags }).join('|'), settings);
}

// Lines end at CR LF or a lone CR, in Windows-1252. Each is split at the first
// space, nothing stripped; a line without a space is a name; an empty name is
// skipped, so the contacts after it are kept.
void TestData::phonebook()
{
    const QByteArray file = "4477 Mary Ann\r\nZed\r\n 4478  two\r\n\r\n4479 \r\n+1 b\xE9\nx\rcarol";
    ContactSlots names, numbers;
    QCOMPARE(PhonebookFile::parse(TextFile::split(file), names, numbers), 5);
    QCOMPARE(book(names, numbers), QString("Mary Ann=4477 Zed= 4478  two= b\u00E9\nx=+1 carol="));
    QCOMPARE(PhonebookFile::lines(names, numbers),
             QStringList({ "4477 Mary Ann", " Zed", " 4478  two", "+1 b\u00E9\nx", " carol" }));
    QCOMPARE(SettingsFile::lines(true, " bob ", "d1", " B b ", true),
             QStringList({ "ZDID=bob", "password=d1", "signature=B b", "AutoRefresh=1" }));
    QCOMPARE(SettingsFile::lines(false, "bob", "d1", "B", false),
             QStringList({ "ZDID=", "password=", "signature=", "AutoRefresh=0" }));
}

// Names are the same when they are once trimmed, the stored name too.
void TestData::rememberContact_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("after"); // the book, the slot recorded, and whether it is new
    // clang-format off
    QTest::newRow("another case updates") << "BOB" << "Ann=1 BOB=9 Cy=3 1";
    QTest::newRow("surrounding spaces update") << " bob  " << "Ann=1 bob=9 Cy=3 1";
    QTest::newRow("a new name") << " Dee" << "Ann=1  bob=2 Cy=3 Dee=9 3 new";
    QTest::newRow("spaces") << "   " << "Ann=1  bob=2 Cy=3 -1";
    QTest::newRow("<new>") << " <new> " << "Ann=1  bob=2 Cy=3 -1";
    QTest::newRow("<New> is a name") << "<New>" << "Ann=1  bob=2 Cy=3 <New>=9 3 new";
    // clang-format on
}

void TestData::rememberContact()
{
    QFETCH(QString, name);
    QFETCH(QString, after);
    ContactSlots names{ "Ann", " bob", "Cy" }, numbers{ "1", "2", "3" }; // a file line "2  bob"
    const Remembered r = zendry::rememberContact(names, numbers, name, " 9 ");
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
    QVERIFY(TextFile::save(path, { "4477 Alice", "4478 Bob" }, nullptr));
    QVERIFY(QDir().mkdir(dir.filePath("folder")));
    QCOMPARE(TextFile::read(dir.filePath("folder")), QStringList()); // what cannot be read is the end
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
    const bool ok = TextFile::save(path, QStringList(100, "4479 A contact with a long name"), &why);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    QVERIFY(!ok && !why.isEmpty());
    QCOMPARE(TextFile::read(path), QStringList({ "4477 Alice", "4478 Bob" }));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{ "Phonebook.txt" });
    // A writable file in a folder where nothing can be made is rewritten in
    // place. Root may make files anywhere, so the save runs as nobody.
    const auto all = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    QVERIFY(QFile::setPermissions(path, all | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
    QVERIFY(QFile::setPermissions(dir.path(), all | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther));
    const pid_t child = fork();
    if (child == 0)
        _exit((getuid() == 0 && (setgid(65534) || setuid(65534)))
              || !TextFile::save(path, { "4480 Cy" }, nullptr));
    int status = -1;
    QCOMPARE(waitpid(child, &status, 0), child);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(TextFile::read(path), QStringList({ "4480 Cy" }));
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
// known by their content. Links: web pages only, read as tolerantly as a
// browser reads them.
void TestData::bannerFileAndLinks()
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
    for (const char *web :
         { "http://ads.example/?y=1", "HTTPS://ADS.EXAMPLE/", "http://ads.example/a b|{}^%" })
        QVERIFY2(WebLinks::isWebPage(web), web);
    for (const char *local : { "http://", "file:///etc/passwd", "/usr/bin/xterm", "C:\\Windows\\calc.exe",
                               "javascript:alert(1)", "mailto:a@b.example", "", " http://ads.example/" })
        QVERIFY2(!WebLinks::isWebPage(local), local);
}

QTEST_GUILESS_MAIN(TestData)
#include "tst_data.moc"
