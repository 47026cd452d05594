#include "failingdevice.h"
#include "store/contactlist.h"
#include "store/contactslots.h"
#include "store/phonebookfile.h"
#include "store/settingsfile.h"
#include "store/textfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

using namespace zendry;

class TestStore : public QObject
{
    Q_OBJECT

private slots:
    void lines_data();
    void lines();
    void aFailedWriteSaysWhy();
    void settings_data();
    void settings();
    void aSaveReplacesTheFileWholeOrNotAtAll();
    void aSaveCutShortLeavesTheOldFile();
    void fiveHundredContactsAreKept();
    void rememberAndRemove();
    void listOrder();
};

void TestStore::lines_data()
{
    // clang-format off
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << QByteArray() << QStringList();
    QTest::newRow("CR LF, lone CR, no end") << QByteArray("a\r\nb\rc") << QStringList{"a", "b", "c"};
    QTest::newRow("lone LF is part of the line") << QByteArray("a\nb\r\n\n\rc") << QStringList{"a\nb", "\n", "c"};
    QTest::newRow("blank lines") << QByteArray("\r\n\r\r\n") << QStringList{"", "", ""};
    QTest::newRow("Windows-1252") << QByteArray("caf\xE9 \x80") << QStringList{QString("café €")};
    // clang-format on
}

void TestStore::lines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(TextFile::split(bytes), lines);
    FailingDevice out(1000);
    QVERIFY(TextFile::write(out, lines, nullptr));
    QCOMPARE(TextFile::split(out.written), lines);
    QVERIFY(lines.isEmpty() || out.written.endsWith("\r\n"));
}

void TestStore::aFailedWriteSaysWhy()
{
    FailingDevice device(5);
    QString why;
    QVERIFY(!TextFile::write(device, { "first line", "second" }, &why));
    QCOMPARE(why, QString("No space left on device"));
}

void TestStore::settings_data()
{
    // clang-format off
    // ZDID|digest|signature|flags: M(ask), S(ave details), A(uto refresh).
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("settings");
    QTest::newRow("everything") << QByteArray("ZDID=bob\r\npassword=ab12\r\nsignature=Bob B\r\nAutoRefresh=1\r\n")
                                << "bob|ab12|Bob B|MSA";
    QTest::newRow("empty file") << QByteArray() << "|||";
    QTest::newRow("digest without ZDID") << QByteArray("ZDID=\r\npassword=abc\r\n") << "|abc||MS";
    QTest::newRow("refresh without details") << QByteArray("AutoRefresh=1") << "|||A";
    QTest::newRow("capitals and spaces") << QByteArray("  PASSWORD=Q  \r SIGNATURE=  s\r\nautorefresh=1 ")
                                         << "|Q|  s|MSA";
    QTest::newRow("repeated keys") << QByteArray("ZDID=a\r\nZDID=\r\npassword=p\r\npassword=\r\nsignature=1\r\nsignature=2")
                                   << "||2|MS";
    QTest::newRow("near misses") << QByteArray("ZDID =x\r\nAutoRefresh=10\r\npassword =y\r\nAutoRefresh=0") << "|||";
    QTest::newRow("Windows-1252, lone LF") << QByteArray("ZDID=Jos\xE9\r\nsignature=\x80 a\nb") << "José||€ a\nb|S";
    // clang-format on
}

void TestStore::settings()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, settings);
    const SettingsFile::Settings s = SettingsFile::parse(TextFile::split(file));
    const QString flags =
            QString(s.masked ? "M" : "") + (s.saveDetails ? "S" : "") + (s.autoRefresh ? "A" : "");
    QCOMPARE(QStringList({ s.zdid, s.passwordHash, s.signature, flags }).join('|'), settings);
}

void TestStore::aSaveReplacesTheFileWholeOrNotAtAll()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("x.txt");
    TextFile::createIfMissing(path);
    QCOMPARE(QFileInfo(path).size(), 0);
    QVERIFY(TextFile::save(path, { "old content that is longer" }, nullptr));
    QVERIFY(TextFile::save(path, { "new" }, nullptr));
    QCOMPARE(TextFile::read(path), QStringList{ "new" });
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{ "x.txt" });
    // A folder in the way: the save fails and says why; reading finds nothing.
    const QString folder = dir.filePath("y.txt");
    QVERIFY(QDir().mkdir(folder));
    QString why;
    QVERIFY(!TextFile::save(folder, { "new" }, &why));
    QVERIFY(!why.isEmpty());
    TextFile::createIfMissing(folder);
    QCOMPARE(TextFile::read(folder), QStringList());
}

// A save that runs out of room part-way never touches the old file. The
// process's file-size limit stops the write for root as for anyone. (With a
// buffered QSaveFile, Qt 6.4 reports such a save as done and puts the cut
// file in place.)
void TestStore::aSaveCutShortLeavesTheOldFile()
{
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    const QString path = dir.filePath("Phonebook.txt");
    QVERIFY(TextFile::save(path, { "4477 Alice", "4478 Bob" }, nullptr));
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
    QCOMPARE(TextFile::read(path), (QStringList{ "4477 Alice", "4478 Bob" }));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{ "Phonebook.txt" });
#else
    QSKIP("needs a file-size limit");
#endif
}

void TestStore::fiveHundredContactsAreKept()
{
    for (int count : { 500, 501, 100000 }) {
        QStringList lines;
        for (int i = 0; i < count; ++i)
            lines << QString("%1 Contact %1").arg(i);
        ContactSlots names, numbers;
        QCOMPARE(PhonebookFile::parse(lines, names, numbers), 500);
        QCOMPARE(names[499], QString("Contact 499"));
        QCOMPARE(PhonebookFile::lines(names, numbers), lines.mid(0, 500));
    }
}

void TestStore::rememberAndRemove()
{
    ContactSlots names, numbers;
    auto book = [&] {
        QStringList s;
        for (int i = 0; i < contactSlotCount && !names[i].isEmpty(); ++i)
            s << names[i] + '=' + numbers[i];
        return s.join(' ');
    };
    for (const char *name : { "Ann", "bob", "Cy", "Bob " })
        rememberContact(names, numbers, name, " 1 ");
    QCOMPARE(book(), QString("Ann=1 bob=1 Cy=1 Bob=1")); // a trailing space does not match
    QCOMPARE(rememberContact(names, numbers, "BOB", "2").slot, 1); // another case: updated
    QCOMPARE(removeContact(names, numbers, "bob"), 1); // only the first match goes
    QCOMPARE(book(), QString("Ann=1 Cy=1 Bob=1"));
    QCOMPARE(removeContact(names, numbers, "nobody"), -1);

    for (int i = 3; i < contactSlotCount; ++i)
        rememberContact(names, numbers, QString("c%1").arg(i), "");
    QCOMPARE(rememberContact(names, numbers, "one more", "").slot, -1); // full
    QCOMPARE(removeContact(names, numbers, "Ann"), 0);
    QVERIFY(names[499].isEmpty());
    QCOMPARE(rememberContact(names, numbers, "one more", "").slot, 499);
}

// Case-insensitive and locale-aware, "<new>" first even when a name sorts before it.
void TestStore::listOrder()
{
    ContactList list;
    for (const char *name : { "zed", "bob", "Émile", "10 Main", "#2", "(Work)", "Alice", "Bob", "<a>" })
        list.addName(QString::fromUtf8(name));
    QStringList got;
    for (int row = 0; row < list.rowCount(); ++row)
        got << list.entry(row);
    QCOMPARE(got.join('|'), QString("<new>|(Work)|#2|<a>|10 Main|Alice|bob|Bob|Émile|zed"));
    QCOMPARE(list.findName("BOB"), 6);
    list.removeEntry(0); // "<new>" stays
    list.removeEntry(list.findName("zed"));
    QCOMPARE(list.rowCount(), 9);
    QCOMPARE(list.entry(0), QString("<new>"));
}

QTEST_APPLESS_MAIN(TestStore)
#include "tst_store.moc"
