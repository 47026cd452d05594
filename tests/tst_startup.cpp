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

// A program folder with these files, and the window not yet created.
WindowFixture::Options at(quint16 port, const QString &adHost = "127.0.0.1")
{
    return WindowFixture::Options{ port, 2000, adHost, false };
}

} // namespace

class TestStartUp : public QObject
{
    Q_OBJECT

private slots:
    void firstRunInAnEmptyFolder();
    void savedDetailsRefreshAtStartUp();
    void startUpRefreshChecks();
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
    QCOMPARE(f.bytes("Zendry SMS.ini") + f.bytes("Phonebook.txt"), QByteArray()); // both created empty
    QCOMPARE(f.control<QComboBox>("ToName")->count(), 1);
    for (const char *name : { "ZDID", "PW", "Number", "Sig", "FreeCredits", "Credits" })
        QVERIFY2(f.edit(name)->text().isEmpty(), name);
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
    QVERIFY(f.window->exchangeInProgress() && !f.window->isEnabled());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    f.showActive();
    QTRY_VERIFY(f.window->isEnabled());
    QCOMPARE(f.edit("FreeCredits")->text() + f.edit("Credits")->text(), QString("37"));
    QVERIFY(!QApplication::overrideCursor() && f.boxes.shown.isEmpty());
    QCOMPARE(f.edit("PW")->text() + f.edit("Sig")->text(), QString("**********D"));
}

// Refresh on start-up without saved details sends nothing; a digest saved
// without a ZDID asks for it before the window is shown, and the window
// still opens with the focus in To.
void TestStartUp::startUpRefreshChecks()
{
    for (const QByteArray &settings :
         { QByteArray("AutoRefresh=1\r\n"), "password=" + demoDigest.toLatin1() + "\r\nAutoRefresh=1" }) {
        ScriptedService service;
        WindowFixture f(at(service.port(), "127.0.0.2"));
        f.put("Zendry SMS.ini", settings);
        f.start();
        QVERIFY(f.window->isEnabled() && !f.window->exchangeInProgress());
        QVERIFY(f.control<QCheckBox>("AutoRefresh")->isChecked());
        const bool asked = settings.startsWith("password");
        QCOMPARE(f.boxes.shown.size(), asked ? 1 : 0);
        if (asked) {
            QCOMPARE(f.boxes.shown[0].text, QString("Please enter your ZDID."));
            QVERIFY(!f.boxes.shown[0].ownerVisible);
        }
        f.showActive();
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("ToName"));
        QCOMPARE(service.connections, 0);
    }
}

// Nothing is awaited: a silent service and ad server do not keep the
// window, and the files are written all the same.
void TestStartUp::closingWhileEverythingIsPending()
{
    for (const char *pending : { "Send", "Refresh" }) {
        ScriptedService silent;
        silent.mode = ScriptedService::Mode::Silent;
        WindowFixture f(at(silent.port()));
        f.start();
        f.showActive();
        f.edit("ZDID")->setText("demo");
        f.edit("PW")->setText("demo");
        f.control<QComboBox>("ToName")->setEditText("Ann");
        f.edit("Number")->setText("4477");
        f.control<QPlainTextEdit>("Message")->setPlainText("hi");
        f.button(pending)->click();
        QTRY_COMPARE(silent.connections, 2); // the banner fetch and the exchange
        QVERIFY(f.window->close());
        QCOMPARE(f.bytes("Zendry SMS.ini"),
                 QByteArray("ZDID=\r\npassword=\r\nsignature=\r\nAutoRefresh=0\r\n"));
        QCOMPARE(f.bytes("Phonebook.txt"), QByteArray(strcmp(pending, "Send") == 0 ? "4477 Ann\r\n" : ""));
    }
}

// Type the details and contacts, close, start again: everything is back,
// byte for byte in the files and in the window.
void TestStartUp::aFullRoundTrip()
{
    StandIn standIn;
    WindowFixture f(at(standIn.server.port()));
    f.start();
    f.showActive();
    f.edit("ZDID")->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(f.edit("ZDID"), " demo ");
    QTest::keyClick(f.edit("ZDID"), Qt::Key_Tab);
    QTest::keyClicks(f.edit("PW"), "demo");
    QTest::mouseClick(f.control("SavePW"), Qt::LeftButton);
    QTest::mouseClick(f.control("AutoRefresh"), Qt::LeftButton);
    f.edit("Sig")->setText("  Demo  D.  ");
    for (const auto &[name, number] :
         { std::pair{ "Zoë Ann", "447700900001" }, std::pair{ "bob", "friend" } }) {
        f.control<QComboBox>("ToName")->setEditText(QString::fromUtf8(name));
        f.edit("Number")->setText(number);
        f.control<QPlainTextEdit>("Message")->setPlainText("hello");
        const auto before = f.boxes.shown.size();
        f.button("Send")->click();
        QTRY_VERIFY(f.boxes.shown.size() > before && f.window->isEnabled());
    }
    QVERIFY(f.window->close());
    const QByteArray settings =
            "ZDID=demo\r\npassword=" + demoDigest.toLatin1() + "\r\nsignature=Demo  D.\r\nAutoRefresh=1\r\n";
    QCOMPARE(f.bytes("Zendry SMS.ini"), settings);
    QCOMPARE(f.bytes("Phonebook.txt"), QByteArray("447700900001 Zo\xEB Ann\r\nfriend bob\r\n"));

    f.boxes.shown.clear();
    f.start(); // a second run in the same folder
    QTRY_VERIFY(f.window->isEnabled()); // the start-up refresh came back
    QCOMPARE(QStringList({ f.edit("ZDID")->text(), f.edit("PW")->text(), f.edit("Sig")->text(),
                           f.edit("FreeCredits")->text() }),
             QStringList({ "demo", "**********", "Demo  D.", "2" }));
    QCOMPARE(f.window->passwordHash(), demoDigest);
    QVERIFY(f.control<QCheckBox>("SavePW")->isChecked() && f.control<QCheckBox>("AutoRefresh")->isChecked());
    QCOMPARE(f.control<QComboBox>("ToName")->itemText(2), QString("Zoë Ann"));
    QVERIFY(f.window->close());
    QCOMPARE(f.bytes("Zendry SMS.ini"), settings);
    QCOMPARE(f.bytes("Phonebook.txt"), QByteArray("447700900001 Zo\xEB Ann\r\nfriend bob\r\n"));
}

void TestStartUp::terminationClosesTheWindowOnce()
{
    Termination termination;
    WindowFixture::Options o;
    o.termination = &termination;
    WindowFixture f(o);
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
