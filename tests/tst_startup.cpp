#include "platform/termination.h"
#include "scriptedservice.h"
#include "server/standinserver.h"
#include "service/credential.h"
#include "windowfixture.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTest>

#include <csignal>

using namespace zendry;

namespace {

const QString demoDigest = PasswordDigest("demo");

// The stand-in service, ad server and pages on one loopback port.
struct StandIn
{
    StandIn() : server(data.path())
    {
        server.open(nullptr);
        server.accounts().put({ "demo", demoDigest, 3, 7, "447700900000" });
        server.listen(QHostAddress::LocalHost, 0, nullptr);
    }
    QTemporaryDir data;
    server::StandInServer server;
};

WindowFixture::Options at(quint16 port, bool startNow = false)
{
    WindowFixture::Options o;
    o.port = port;
    o.adHost = QStringLiteral("127.0.0.1");
    o.timeoutMs = 2000;
    o.startNow = startNow;
    return o;
}

QStringList entries(const WindowFixture &f)
{
    QStringList list;
    auto *to = f.control<QComboBox>("ToName");
    for (int i = 0; i < to->count(); ++i)
        list << to->itemText(i);
    return list;
}

} // namespace

class TestStartUp : public QObject
{
    Q_OBJECT

private slots:
    void firstRunInAnEmptyFolder();
    void savedDetailsRefreshAtStartUp();
    void refreshWithoutSavedDetailsSendsNothing();
    void aDigestWithoutAZdidAsksBeforeTheWindowOpens();
    void closingWhileEverythingIsPending();
    void aFullRoundTrip();
    void terminationClosesTheWindowOnce();
};

void TestStartUp::firstRunInAnEmptyFolder()
{
    StandIn standIn;
    WindowFixture f(at(standIn.server.port()));
    f.shipFiles();
    f.start();
    QCOMPARE(f.bytes("Zendry SMS.ini"), QByteArray());
    QCOMPARE(f.bytes("Phonebook.txt"), QByteArray());
    QCOMPARE(entries(f), QStringList{ "<new>" });
    for (const char *name : { "ZDID", "PW", "Number", "Sig", "FreeCredits", "Credits" })
        QVERIFY2(f.edit(name)->text().isEmpty(), name);
    QVERIFY(f.window->isEnabled());
    QCOMPARE(f.window->adLink(), QString("http://www.test.example/"));
    QCOMPARE(f.control<QLabel>("Banner")->pixmap().size(), QSize(468, 60)); // Vorral.gif
    QCOMPARE(f.window->adCountdown(), 120);
    f.showActive();
    QCOMPARE(QApplication::focusWidget()->objectName(), QString("ToName"));
    // The first fetch was started: the stand-in's banner and link replace the defaults.
    QTRY_VERIFY(f.window->adLink().startsWith(
            QString("http://127.0.0.1:%1/?banner=").arg(standIn.server.port())));
    QVERIFY(f.boxes.shown.isEmpty());
}

void TestStartUp::savedDetailsRefreshAtStartUp()
{
    StandIn standIn;
    WindowFixture f(at(standIn.server.port()));
    f.put("Zendry SMS.ini",
          "ZDID=demo\r\npassword=" + demoDigest.toLatin1() + "\r\nsignature=D\r\nAutoRefresh=1\r\n");
    f.start();
    // The request is out before the window is shown, and the window waits for it.
    QVERIFY(f.window->exchangeInProgress());
    QVERIFY(!f.window->isEnabled());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    f.showActive();
    QTRY_VERIFY(f.window->isEnabled());
    QCOMPARE(f.edit("FreeCredits")->text(), QString("3"));
    QCOMPARE(f.edit("Credits")->text(), QString("7"));
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(f.boxes.shown.isEmpty());
    QCOMPARE(f.edit("PW")->text(), QString("**********"));
    QCOMPARE(f.edit("Sig")->text(), QString("D"));
}

void TestStartUp::refreshWithoutSavedDetailsSendsNothing()
{
    ScriptedService service;
    service.mode = ScriptedService::Mode::Silent;
    WindowFixture f(WindowFixture::Options{ service.port(), 2000, "127.0.0.2", false });
    f.put("Zendry SMS.ini", "ZDID=\r\npassword=\r\nsignature=\r\nAutoRefresh=1\r\n");
    f.start();
    QVERIFY(!f.window->exchangeInProgress());
    QVERIFY(f.window->isEnabled());
    QVERIFY(f.control<QCheckBox>("AutoRefresh")->isChecked());
    QVERIFY(!f.control<QCheckBox>("AutoRefresh")->isEnabled());
    QCoreApplication::processEvents();
    QCOMPARE(service.connections, 0);
}

void TestStartUp::aDigestWithoutAZdidAsksBeforeTheWindowOpens()
{
    ScriptedService service;
    WindowFixture f(WindowFixture::Options{ service.port(), 2000, "127.0.0.2", false });
    f.put("Zendry SMS.ini", "password=" + demoDigest.toLatin1() + "\r\nAutoRefresh=1\r\n");
    f.start();
    QCOMPARE(f.boxes.shown.size(), 1);
    QCOMPARE(f.boxes.shown[0].text, QString("Please enter your ZDID."));
    QVERIFY(!f.boxes.shown[0].ownerVisible);
    QVERIFY(f.window->isEnabled());
    f.showActive();
    QCOMPARE(QApplication::focusWidget()->objectName(), QString("ToName"));
    QCOMPARE(service.connections, 0);
}

// Nothing is awaited: a silent service and a silent ad server do not keep
// the window, and the files are written all the same.
void TestStartUp::closingWhileEverythingIsPending()
{
    for (const char *pending : { "send", "refresh" }) {
        ScriptedService silent;
        silent.mode = ScriptedService::Mode::Silent;
        WindowFixture f(at(silent.port(), true)); // the ad server is silent too
        f.showActive();
        f.edit("ZDID")->setText("demo");
        f.edit("PW")->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(f.edit("PW"), "demo");
        f.control<QComboBox>("ToName")->setEditText("Ann");
        f.edit("Number")->setText("4477");
        f.control<QPlainTextEdit>("Message")->setPlainText("hi");
        f.button(strcmp(pending, "send") == 0 ? "Send" : "Refresh")->click();
        QVERIFY(f.window->exchangeInProgress());
        QTRY_COMPARE(silent.connections, 2); // the banner fetch and the exchange
        QVERIFY(f.window->close());
        QCOMPARE(f.bytes("Zendry SMS.ini"),
                 QByteArray("ZDID=\r\npassword=\r\nsignature=\r\nAutoRefresh=0\r\n"));
        QCOMPARE(f.bytes("Phonebook.txt"), QByteArray(strcmp(pending, "send") == 0 ? "4477 Ann\r\n" : ""));
        QVERIFY(f.boxes.shown.isEmpty());
    }
}

void TestStartUp::aFullRoundTrip()
{
    StandIn standIn;
    const quint16 port = standIn.server.port();
    QTemporaryDir folder;
    QByteArray settings, phonebook;
    {
        WindowFixture f(at(port));
        f.folder.setAutoRemove(false);
        f.shipFiles();
        f.start();
        f.showActive();
        f.edit("ZDID")->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(f.edit("ZDID"), " demo ");
        QTest::keyClick(f.edit("ZDID"), Qt::Key_Tab);
        QTest::keyClicks(f.edit("PW"), "demo");
        QTest::mouseClick(f.control("SavePW"), Qt::LeftButton);
        QTest::mouseClick(f.control("AutoRefresh"), Qt::LeftButton);
        f.edit("Sig")->setText("  Demo  D.  ");
        const QList<QPair<QString, QString>> contacts = { { "Zoë Ann", "447700900001" },
                                                          { "bob", "friend" } };
        for (const auto &[name, number] : contacts) {
            f.control<QComboBox>("ToName")->setEditText(name);
            f.edit("Number")->setText(number);
            f.control<QPlainTextEdit>("Message")->setPlainText("hello " + name);
            f.button("Send")->click();
            QTRY_COMPARE(f.boxes.shown.size(), int(contacts.indexOf({ name, number })) + 1);
            QTRY_VERIFY(f.window->isEnabled());
        }
        QCOMPARE(f.boxes.shown.last().title, QString("Error")); // "friend" is no user of the stand-in
        QVERIFY(f.window->close());
        settings = f.bytes("Zendry SMS.ini");
        phonebook = f.bytes("Phonebook.txt");
        QCOMPARE(settings,
                 "ZDID=demo\r\npassword=" + demoDigest.toLatin1()
                         + "\r\nsignature=Demo  D.\r\nAutoRefresh=1\r\n");
        QCOMPARE(phonebook, QByteArray("447700900001 Zo\xEB Ann\r\nfriend bob\r\n"));
        f.window.reset();
        QVERIFY(QDir(f.folder.path()).rename(f.folder.path(), folder.filePath("program")));
    }
    WindowFixture again(at(port));
    QDir(again.folder.path()).removeRecursively();
    QVERIFY(QDir().rename(folder.filePath("program"), again.folder.path()));
    again.start();
    QTRY_VERIFY(again.window->isEnabled()); // the start-up refresh came back
    QCOMPARE(again.edit("ZDID")->text(), QString("demo"));
    QCOMPARE(again.edit("PW")->text(), QString("**********"));
    QCOMPARE(again.window->passwordHash(), demoDigest);
    QCOMPARE(again.edit("Sig")->text(), QString("Demo  D."));
    QVERIFY(again.control<QCheckBox>("SavePW")->isChecked());
    QVERIFY(again.control<QCheckBox>("AutoRefresh")->isChecked());
    QCOMPARE(again.edit("FreeCredits")->text(), QString("2"));
    QCOMPARE(entries(again), (QStringList{ "<new>", "bob", QString("Zoë Ann") }));
    QVERIFY(again.window->close());
    QCOMPARE(again.bytes("Zendry SMS.ini"), settings);
    QCOMPARE(again.bytes("Phonebook.txt"), phonebook);
}

void TestStartUp::terminationClosesTheWindowOnce()
{
    Termination termination;
    WindowFixture::Options o;
    o.termination = &termination;
    o.startNow = false;
    WindowFixture f(o);
    f.start();
    f.showActive();
    // A folder where the settings go makes every save say so: one box a save.
    QFile::remove(f.folder.filePath("Zendry SMS.ini"));
    QVERIFY(QDir().mkdir(f.folder.filePath("Zendry SMS.ini")));
    std::raise(SIGTERM);
    QTRY_VERIFY(!f.window->isVisible());
    std::raise(SIGTERM);
    QCoreApplication::processEvents();
    f.window->close();
    QCOMPARE(f.boxes.shown.size(), 1);
    QCOMPARE(f.bytes("Phonebook.txt"), QByteArray());
}

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
