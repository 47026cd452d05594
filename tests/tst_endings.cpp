// Every way the program ends, at every moment of its life: what it stores,
// what it leaves in its folder and how soon it is gone. The pieces behind
// that: the end met on another thread, the lookups and connections that
// must not hold it up, a folder named in bytes that are not UTF-8.
#include "platform/programfolder.h"
#include "platform/tcpclient.h"
#include "platform/termination.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>
#include <thread>

using namespace zendry;

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

// A display server of the test's own, gone when the test says so.
struct DisplayServer
{
    QProcess server;
    QTemporaryDir runtime;

    // The environment for a program on it; empty when it did not start.
    QProcessEnvironment start(const QString &kind)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("QT_QPA_PLATFORM", kind);
        if (kind == "xcb") {
            // X's keymap library hands the sanitizers' strict string check a
            // name without its end in reach; that check is not for its libraries.
            env.insert("ASAN_OPTIONS",
                       env.value("ASAN_OPTIONS").replace("strict_string_checks=1", "strict_string_checks=0"));
            server.start("Xvfb", { "-displayfd", "1", "-nolisten", "tcp" });
            if (!QTest::qWaitFor([this] { return server.canReadLine(); }, 10000))
                return {};
            env.insert("DISPLAY", ':' + QString::fromLatin1(server.readLine().trimmed()));
        } else if (kind == "wayland") {
            server.setProcessEnvironment(env);
            server.start("weston", { "--backend=headless-backend.so", "--socket=zendry-test" });
            if (!QTest::qWaitFor([this] { return QFile::exists(runtime.filePath("zendry-test")); }, 10000))
                return {};
            env.insert("WAYLAND_DISPLAY", "zendry-test");
        }
        return env;
    }
    ~DisplayServer()
    {
        server.kill();
        server.waitForFinished();
    }
};

} // namespace

class TestEndings : public QObject
{
    Q_OBJECT

private slots:
    void everyEndingAtEveryMoment_data();
    void everyEndingAtEveryMoment();
    void theEndMetOnAnotherThread_data();
    void theEndMetOnAnotherThread();
    void whatTellsOfALostDisplay_data();
    void whatTellsOfALostDisplay();
    void theAddressRace_data();
    void theAddressRace();
    void aFolderNamedInOtherBytes_data();
    void aFolderNamedInOtherBytes();
};

void TestEndings::everyEndingAtEveryMoment_data()
{
    QTest::addColumn<QString>("ending");
    QTest::addColumn<QString>("moment");
    const QStringList moments = { "startup", "idle",     "box",   "saveFailureBox",
                                  "exchange", "banner", "lookup" };
    for (const char *ending : { "close", "SIGTERM", "SIGHUP", "SIGINT", "logout", "exit", "X11 lost",
                                "Wayland lost" }) {
        for (const QString &moment : moments) {
            // The window cannot be closed past a box, nor before it is shown.
            if (QLatin1String(ending) == "close" && (moment == "startup" || moment.contains("ox")))
                continue;
            QTest::addRow("%s, %s", ending, qPrintable(moment)) << ending << moment;
        }
    }
    // Qt's title bar offers to maximise the fixed window there.
    QTest::addRow("Wayland lost, maximised") << "Wayland lost" << "maximised";
}

// Both files hold what the session held (a start-up's, what they held
// before), nothing else is left beside them, and the process is gone
// within two seconds, whatever lookup or connection is pending.
void TestEndings::everyEndingAtEveryMoment()
{
#ifndef Q_OS_LINUX
    QSKIP("the endings of Linux desktops");
#endif
    QFETCH(QString, ending);
    QFETCH(QString, moment);
    QTemporaryDir folder;
    const QString ini = folder.filePath("Zendry SMS.ini");
    const QString phonebook = folder.filePath("Phonebook.txt");
    writeFile(phonebook, "111 Ann\r\n222 Bob\r\n");
    QByteArray settings = "ZDID=demo\r\npassword=ab12\r\nsignature=demo\r\nAutoRefresh=0\r\n";
    // A start-up refresh that lacks its ZDID asks before the window is shown;
    // the file, read by then, is written back whole.
    if (moment == "startup")
        settings = "password=ab12\r\nAutoRefresh=1";
    if (moment == "saveFailureBox")
        QVERIFY(QDir().mkdir(ini));
    else
        writeFile(ini, settings);

    // The service takes the request and never answers; the ad server sends
    // the start of a banner and nothing more.
    QTcpServer service, ads;
    QVERIFY(service.listen(QHostAddress("127.0.0.1")));
    if (moment == "banner")
        QVERIFY(ads.listen(QHostAddress("127.0.0.2"), service.serverPort()));
    connect(&ads, &QTcpServer::newConnection, &ads, [&ads] {
        QTcpSocket *s = ads.nextPendingConnection();
        connect(s, &QTcpSocket::readyRead, s, [s] { s->write("5000 http://ad.example/\rGIF89a"); });
    });

    DisplayServer display;
    const QString platform = ending == "X11 lost" ? "xcb" : ending == "Wayland lost" ? "wayland" : "offscreen";
    const QProcessEnvironment env = display.start(platform);
    if (env.isEmpty())
        QSKIP("no display server of that kind here");
    QProcess program;
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(ZENDRY_ENDING_CHILD, { folder.path(), moment, QString::number(service.serverPort()) });
    QTRY_VERIFY_WITH_TIMEOUT(program.canReadLine() || program.state() == QProcess::NotRunning, 30000);
    QCOMPARE(program.readLine().trimmed(), QByteArray("ready"));

    QElapsedTimer clock;
    clock.start();
    const QHash<QString, int> signal{ { "SIGTERM", SIGTERM }, { "SIGHUP", SIGHUP }, { "SIGINT", SIGINT } };
    if (signal.contains(ending))
        ::kill(program.processId(), signal[ending]);
    else if (platform != "offscreen")
        display.server.terminate();
    else
        program.write(ending.toLatin1() + '\n');
    QVERIFY(program.waitForFinished(10000));
    QVERIFY2(clock.elapsed() <= 2000, qPrintable(QString::number(clock.elapsed()) + " ms"));

    QStringList expected = { "Phonebook.txt", "Zendry SMS.ini" };
    QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), expected);
    const QByteArray stored = moment == "startup" ? "111 Ann\r\n222 Bob\r\n" : "111 Ann\r\n222 Bob\r\n333 Carol\r\n";
    if (moment == "startup")
        settings = "ZDID=\r\npassword=ab12\r\nsignature=\r\nAutoRefresh=1\r\n";
    settings.replace("signature=demo", "signature=stored");
    QCOMPARE(readFile(phonebook), stored);
    QCOMPARE(readFile(ini), moment == "saveFailureBox" ? QByteArray("<none>") : settings);
}

void TestEndings::theEndMetOnAnotherThread_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("otherThread");
    QTest::addColumn<bool>("windowThreadAnswers");
    QTest::addColumn<QString>("rules"); // the user's logging rules
    QTest::addColumn<int>("stores");
    const QString broke = "The Wayland connection broke. Did the Wayland compositor die?";
    QTest::newRow("Wayland's event thread") << broke << true << true << "" << 1;
    QTest::newRow("Qt's warnings silenced") << broke << true << true << "*.warning=false" << 1;
    QTest::newRow("a protocol error")
            << "The Wayland connection experienced a fatal error: Protocol error" << true << true << "" << 1;
    QTest::newRow("the window's thread busy") << broke << true << false << "" << 0;
    QTest::newRow("the window's own thread") << broke << false << true << "" << 1;
    QTest::newRow("X11, silenced") << "The X11 connection broke (error 1). Did the X11 server die?" << false
                                   << true << "default.warning=false" << 1;
}

// The window's data is touched on the window's thread alone: a thread that
// meets the end asks that thread, and returns (and lets the process end)
// only once it has stored, or after a bounded wait when it never answers.
void TestEndings::theEndMetOnAnotherThread()
{
    QFETCH(QString, message);
    QFETCH(bool, otherThread);
    QFETCH(bool, windowThreadAnswers);
    QFETCH(QString, rules);
    QFETCH(int, stores);
    QLoggingCategory::setFilterRules(rules);
    Termination termination;
    // The message goes where Qt's messages go, unless the user's rules say not.
    if (rules.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, qPrintable(message));
    else
        QTest::failOnWarning(QRegularExpression("connection"));
    int stored = 0;
    bool onWindowThread = false;
    connect(&termination, &Termination::ending, this, [&] {
        ++stored;
        onWindowThread = QThread::currentThread() == thread();
    });
    std::atomic<int> storedWhenBack{ -1 };
    QElapsedTimer clock;
    clock.start();
    const auto meet = [&] {
        qWarning("%s", qPrintable(message));
        storedWhenBack = stored;
    };
    if (otherThread) {
        std::thread other(meet);
        if (windowThreadAnswers)
            QTRY_VERIFY(storedWhenBack >= 0);
        other.join();
    } else {
        meet();
    }
    QLoggingCategory::setFilterRules(QString());
    QCOMPARE(storedWhenBack.load(), stores);
    QCOMPARE(stored, stores);
    QVERIFY(stored == 0 || onWindowThread);
    QVERIFY(clock.elapsed() < (stores ? Termination::waitMs : 2000));
    QVERIFY(clock.elapsed() >= (stores ? 0 : Termination::waitMs - 50));
}

void TestEndings::whatTellsOfALostDisplay_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("lost");
    QTest::newRow("X11") << int(QtWarningMsg) << "The X11 connection broke (error 1). Did the X11 server die?"
                         << true;
    QTest::newRow("Wayland") << int(QtWarningMsg) << "The Wayland connection broke. Did the Wayland compositor die?"
                             << true;
    QTest::newRow("Wayland, an error")
            << int(QtWarningMsg) << "The Wayland connection experienced a fatal error: Bad file descriptor" << true;
    QTest::newRow("fatal") << int(QtFatalMsg) << "The X11 connection broke" << true;
    QTest::newRow("a debug line") << int(QtDebugMsg) << "The X11 connection broke" << false;
    QTest::newRow("an info line") << int(QtInfoMsg) << "The Wayland connection broke" << false;
    QTest::newRow("another warning") << int(QtWarningMsg) << "QXcbConnection: XCB error: 3 (BadWindow)" << false;
    QTest::newRow("quoted") << int(QtWarningMsg) << "Note: The X11 connection broke" << false;
}

void TestEndings::whatTellsOfALostDisplay()
{
    QFETCH(int, type);
    QFETCH(QString, message);
    QFETCH(bool, lost);
    QCOMPARE(Termination::displayLost(QtMsgType(type), message), lost);
}

void TestEndings::theAddressRace_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("heard"); // what the client told, in order
    QTest::newRow("both accept, the first late") << "late" << "connected";
    QTest::newRow("the winner closes") << "closes" << "connected error:1";
}

// The first address is slow, the second answers: the first connection made
// is the one, and no later one carries anything. The winner's own errors
// are told, so an exchange ends without waiting for its time-out.
void TestEndings::theAddressRace()
{
    QFETCH(QString, server);
    QFETCH(QString, heard);
    // The first address's queue is full: it drops the client's first try,
    // and takes its next one, a second later, once the test empties it.
    QTcpServer first, second;
    first.setListenBacklogSize(0);
    QVERIFY(first.listen(QHostAddress("127.0.0.2")));
    first.pauseAccepting();
    QTcpSocket filler;
    filler.connectToHost(first.serverAddress(), first.serverPort());
    QVERIFY(filler.waitForConnected());
    QVERIFY(second.listen(QHostAddress("127.0.0.3"), first.serverPort()));
    int taken = 0;
    for (QTcpServer *s : { &first, &second }) {
        connect(s, &QTcpServer::newConnection, this, [s, &taken, server] {
            while (QTcpSocket *c = s->nextPendingConnection()) {
                ++taken;
                if (server == "closes")
                    c->disconnectFromHost();
            }
        });
    }
    TcpClient client([](const QString &) { return QList<QHostAddress>{ QHostAddress("127.0.0.2"),
                                                                        QHostAddress("127.0.0.3") }; });
    QStringList told;
    connect(&client, &TcpClient::connected, this, [&] { told << "connected"; });
    connect(&client, &TcpClient::errorOccurred, this,
            [&](QAbstractSocket::SocketError e) { told << "error:" + QString::number(e); });
    client.connectToHost("race.test", first.serverPort());
    QTRY_VERIFY(!told.isEmpty());
    first.resumeAccepting(); // the filler goes; the queue has room again
    QTRY_VERIFY(taken >= 2);
    // Time for the first address's next try, which must not come.
    QVERIFY(!QTest::qWaitFor([&] { return taken > 2 || told.size() > heard.count(' ') + 1; }, 2000));
    QCOMPARE(told.join(' '), heard);
    QCOMPARE(taken, 2); // the filler and the winner
}

void TestEndings::aFolderNamedInOtherBytes_data()
{
    QTest::addColumn<QByteArray>("folder");
    QTest::addColumn<QStringList>("expected"); // path, shown path, what the desktop gets
    QTest::newRow("ASCII") << QByteArray("/opt/Zendry SMS")
                           << QStringList({ "/opt/Zendry SMS/Readme.txt", "/opt/Zendry SMS/Readme.txt",
                                            "/opt/Zendry SMS/Readme.txt" });
    QTest::newRow("UTF-8") << QByteArray("/opt/Zo\xC3\xAB")
                           << QStringList({ "/opt/Zoë/Readme.txt", "/opt/Zoë/Readme.txt", "/opt/Zoë/Readme.txt" });
    QTest::newRow("Latin-1") << QByteArray("/opt/M\xFCller SMS")
                             << QStringList({ "/proc/self/cwd/Readme.txt", "/opt/M\uFFFDller SMS/Readme.txt",
                                              "file:///opt/M%FCller%20SMS/Readme.txt" });
    QTest::newRow("cut UTF-8") << QByteArray("/\xC3")
                               << QStringList({ "/proc/self/cwd/Readme.txt", "/\uFFFD/Readme.txt", "file:///%C3/Readme.txt" });
}

// Where no text names the folder, the program works in it as its current
// folder; the desktop gets its files as addresses carrying the very bytes.
// The program itself, started from elsewhere, keeps its files beside itself.
void TestEndings::aFolderNamedInOtherBytes()
{
    QFETCH(QByteArray, folder);
    QFETCH(QStringList, expected);
    const ProgramFolder f = ProgramFolder::fromNativeName(folder);
    QCOMPARE(QStringList({ f.filePath("Readme.txt"), f.shownPath("Readme.txt"), f.openTarget("Readme.txt") }),
             expected);
#ifndef Q_OS_LINUX
    QSKIP("a folder's name is bytes on Linux");
#endif
    if (!folder.contains("\xFC"))
        return;
    QTemporaryDir top, elsewhere;
    const QByteArray inside = QFile::encodeName(top.path()) + "/M\xFCller SMS";
    QVERIFY(::mkdir(inside.constData(), 0700) == 0);
    QVERIFY(QFile::copy(ZENDRY_PROGRAM, top.filePath("zendry-sms")));
    QVERIFY(std::rename(QFile::encodeName(top.filePath("zendry-sms")).constData(),
                        (inside + "/zendry-sms").constData())
            == 0);
    QVERIFY(::symlink((inside + "/zendry-sms").constData(), QFile::encodeName(top.filePath("start"))) == 0);
    QProcess program;
    program.setWorkingDirectory(elsewhere.path());
    program.start(top.filePath("start"));
    QTRY_VERIFY_WITH_TIMEOUT(::access((inside + "/Phonebook.txt").constData(), F_OK) == 0, 30000);
    program.terminate();
    QVERIFY(program.waitForFinished(2000));
    QCOMPARE(QDir(elsewhere.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    QFile ini;
    QVERIFY(ini.open(std::fopen((inside + "/Zendry SMS.ini").constData(), "rb"), QIODevice::ReadOnly,
                     QFileDevice::AutoCloseHandle));
    QCOMPARE(ini.readAll(), QByteArray("ZDID=\r\npassword=\r\nsignature=\r\nAutoRefresh=0\r\n"));
    for (const char *name : { "/zendry-sms", "/Zendry SMS.ini", "/Phonebook.txt" })
        ::unlink((inside + name).constData());
    ::rmdir(inside.constData());
}

QTEST_MAIN(TestEndings)
#include "tst_endings.moc"
