#include "failingdevice.h"
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
using Key = SettingsFile::Entry::Key;

class TestStore : public QObject
{
    Q_OBJECT

private slots:
    void lines_data();
    void lines();
    void writeEndsEveryLineWithCrLf();
    void aWriteThatFailsPartWaySaysWhy();
    void saveReplacesTheFileWhole();
    void aFolderInTheWayFailsTheSave();
    void aSaveCutShortLeavesTheOldFile();
    void settingsLines_data();
    void settingsLines();
    void settingsWritten();
    void phonebookLines_data();
    void phonebookLines();
    void phonebookKeepsFiveHundred();
};

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

void TestStore::lines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << QByteArray() << QStringList();
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList{ "a", "b" };
    QTest::newRow("lone CR") << QByteArray("a\rb") << QStringList{ "a", "b" };
    QTest::newRow("lone LF is part of the line") << QByteArray("a\nb\r\nc") << QStringList{ "a\nb", "c" };
    QTest::newRow("no end on the last line") << QByteArray("a\r\nb") << QStringList{ "a", "b" };
    QTest::newRow("blank lines") << QByteArray("\r\n\r\r\n") << QStringList{ "", "", "" };
    QTest::newRow("LF CR") << QByteArray("a\n\rb") << QStringList{ "a\n", "b" };
    QTest::newRow("Windows-1252") << QByteArray("caf\xE9 \x80") << QStringList{ QString("café €") };
}

void TestStore::lines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QCOMPARE(TextFile::split(bytes), lines);
}

void TestStore::writeEndsEveryLineWithCrLf()
{
    FailingDevice device(1000);
    QVERIFY(TextFile::write(device, { "é", "", "x\ny" }, nullptr));
    QCOMPARE(device.written, QByteArray("\xE9\r\n\r\nx\ny\r\n"));
}

void TestStore::aWriteThatFailsPartWaySaysWhy()
{
    FailingDevice device(5);
    QString why;
    QVERIFY(!TextFile::write(device, { "first line", "second" }, &why));
    QCOMPARE(why, QString("No space left on device"));
}

void TestStore::saveReplacesTheFileWhole()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("x.txt");
    writeBytes(path, "old content that is longer\r\n");
    QVERIFY(TextFile::save(path, { "new" }, nullptr));
    QCOMPARE(fileBytes(path), QByteArray("new\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{ "x.txt" });
}

void TestStore::aFolderInTheWayFailsTheSave()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("x.txt");
    QVERIFY(QDir().mkdir(path));
    QString why;
    QVERIFY(!TextFile::save(path, { "new" }, &why));
    QVERIFY(!why.isEmpty());
    QVERIFY(QFileInfo(path).isDir());
    TextFile::createIfMissing(path); // no error, nothing changes
    QVERIFY(QFileInfo(path).isDir());
    QCOMPARE(TextFile::read(path), QStringList());
}

// A save that runs out of room part-way never touches the old file. The
// process's file-size limit stops the write for root as for anyone.
void TestStore::aSaveCutShortLeavesTheOldFile()
{
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    const QString path = dir.filePath("Phonebook.txt");
    const QByteArray old = "4477 Alice\r\n4478 Bob\r\n";
    writeBytes(path, old);

    rlimit saved;
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString why;
    const bool saved_ok = TextFile::save(path, QStringList(100, "4479 A contact with a long name"), &why);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    QVERIFY(!saved_ok);
    QVERIFY(!why.isEmpty());
    QCOMPARE(fileBytes(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{ "Phonebook.txt" });
#else
    QSKIP("needs a file-size limit");
#endif
}

void TestStore::settingsLines_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QStringList>("values");
    QTest::newRow("as written") << QByteArray(
            "ZDID=bob\r\npassword=ab12\r\nsignature=B b\r\nAutoRefresh=1\r\n")
                                << QList<int>{ 0, 1, 2, 3 } << QStringList{ "bob", "ab12", "B b", "" };
    QTest::newRow("any case, spaces around")
            << QByteArray("  zdid=x  \r\nPASSWORD=Y\rSIGNATURE=\r\n AUTOREFRESH=1 ")
            << QList<int>{ 0, 1, 2, 3 } << QStringList{ "x", "Y", "", "" };
    QTest::newRow("spaces after = stay") << QByteArray("ZDID=  x") << QList<int>{ 0 } << QStringList{ "  x" };
    QTest::newRow("tabs are not stripped")
            << QByteArray("\tZDID=x\r\nZDID=y\t") << QList<int>{ 0 } << QStringList{ "y\t" };
    QTest::newRow("space before =") << QByteArray("ZDID =x\r\nsignature =y") << QList<int>{} << QStringList{};
    QTest::newRow("refresh 0 or 10") << QByteArray("AutoRefresh=0\r\nAutoRefresh=10\r\nAutoRefresh=1x")
                                     << QList<int>{} << QStringList{};
    QTest::newRow("repeated keys, in order") << QByteArray("ZDID=a\r\nZDID=\r\npassword=p\r\nZDID=c")
                                             << QList<int>{ 0, 0, 1, 0 } << QStringList{ "a", "", "p", "c" };
    QTest::newRow("lone LF inside a value")
            << QByteArray("signature=a\nb\r\n") << QList<int>{ 2 } << QStringList{ "a\nb" };
    QTest::newRow("Windows-1252 value")
            << QByteArray("signature=Ren\xE9 \x80") << QList<int>{ 2 } << QStringList{ QString("René €") };
    QTest::newRow("other lines") << QByteArray("[Zendry]\r\n; comment\r\n\r\nname=x") << QList<int>{}
                                 << QStringList{};
}

void TestStore::settingsLines()
{
    QFETCH(QByteArray, file);
    QFETCH(QList<int>, keys);
    QFETCH(QStringList, values);
    const auto entries = SettingsFile::parse(TextFile::split(file));
    QCOMPARE(int(entries.size()), int(keys.size()));
    for (size_t i = 0; i < entries.size(); ++i) {
        QCOMPARE(int(entries[i].key), keys[int(i)]);
        QCOMPARE(entries[i].value, values[int(i)]);
    }
}

void TestStore::settingsWritten()
{
    FailingDevice saved(1000);
    TextFile::write(saved, SettingsFile::lines(true, " bob ", "ab", " Bob B ", true), nullptr);
    QCOMPARE(saved.written, QByteArray("ZDID=bob\r\npassword=ab\r\nsignature=Bob B\r\nAutoRefresh=1\r\n"));
    FailingDevice unsaved(1000);
    TextFile::write(unsaved, SettingsFile::lines(false, "bob", "ab", "Bob", false), nullptr);
    QCOMPARE(unsaved.written, QByteArray("ZDID=\r\npassword=\r\nsignature=\r\nAutoRefresh=0\r\n"));
}

void TestStore::phonebookLines_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("numbers");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("inner spaces") << QByteArray("4477 Mary Ann Smith\r\n") << QStringList{ "Mary Ann Smith" }
                                  << QStringList{ "4477" } << QByteArray("4477 Mary Ann Smith\r\n");
    QTest::newRow("no space") << QByteArray("Bob") << QStringList{ "Bob" } << QStringList{ "" }
                              << QByteArray(" Bob\r\n");
    QTest::newRow("leading space") << QByteArray(" Bob\r\n") << QStringList{ "Bob" } << QStringList{ "" }
                                   << QByteArray(" Bob\r\n");
    QTest::newRow("second space starts the name") << QByteArray("1  Bob") << QStringList{ " Bob" }
                                                  << QStringList{ "1" } << QByteArray("1  Bob\r\n");
    QTest::newRow("empty names are skipped")
            << QByteArray("1 A\r\n\r\n4477 \r\n2 B\r\n") << QStringList{ "A", "B" } << QStringList{ "1", "2" }
            << QByteArray("1 A\r\n2 B\r\n");
    QTest::newRow("Windows-1252 and lone LF") << QByteArray("+1 Andr\xE9\n2\r\n") << QStringList{ "André\n2" }
                                              << QStringList{ "+1" } << QByteArray("+1 Andr\xE9\n2\r\n");
    QTest::newRow("empty file") << QByteArray() << QStringList() << QStringList() << QByteArray();
}

void TestStore::phonebookLines()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, names);
    QFETCH(QStringList, numbers);
    QFETCH(QByteArray, written);
    ContactSlots n, num;
    QCOMPARE(PhonebookFile::parse(TextFile::split(file), n, num), int(names.size()));
    for (int i = 0; i < names.size(); ++i) {
        QCOMPARE(n[i], names[i]);
        QCOMPARE(num[i], numbers[i]);
    }
    QVERIFY(n[names.size()].isEmpty());
    FailingDevice out(100000);
    TextFile::write(out, PhonebookFile::lines(n, num), nullptr);
    QCOMPARE(out.written, written);
}

void TestStore::phonebookKeepsFiveHundred()
{
    for (int count : { 500, 501, 100000 }) {
        QStringList lines;
        for (int i = 0; i < count; ++i)
            lines << QString("%1 Contact %1").arg(i);
        ContactSlots n, num;
        QCOMPARE(PhonebookFile::parse(lines, n, num), 500);
        QCOMPARE(n[499], QString("Contact 499"));
        QCOMPARE(PhonebookFile::lines(n, num).size(), 500);
    }
}

QTEST_APPLESS_MAIN(TestStore)
#include "tst_store.moc"
