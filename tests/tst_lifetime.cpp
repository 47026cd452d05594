// Start-up and every way the program ends, the real program included; and
// the real platform pieces main.cpp passes in.
#include "app/realsetup.h"
#include "endpoints.h"
#include "platform/systemdesktop.h"
#include "platform/termination.h"
#include "scriptedservice.h"
#include "service/credential.h"
#include "service/request.h"
#include "windowfixture.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>

#include <csignal>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

using namespace zendry;

class TestLifetime : public QObject
{
    Q_OBJECT

private slots:
    // The program reads no environment: a proxy named there is never used.
    void initTestCase() { qputenv("http_proxy", "http://127.0.0.1:" + QByteArray::number(m_proxy.port())); }
    void firstRunInAnEmptyFolder();
    void aSecondRunGetsEverythingBack();
    void theRealPieces();

public slots:
    void openUrl(const QUrl &url) { m_opened << QString(url.toEncoded()); }

private:
    QStringList m_opened; // what the desktop was asked to open
    ScriptedService m_proxy;
};

// Both files created empty, the shipped banner, the window's icon, and a
// start-up refresh that lacks its ZDID asks before the window is shown,
// which opens all the same.
void TestLifetime::firstRunInAnEmptyFolder()
{
    ScriptedService service;
    WindowFixture f(service.port(), 10000, false);
    f.start();
    QCOMPARE(f.bytes("Zendry SMS.ini") + f.bytes("Phonebook.txt"), QByteArray());
    QVERIFY(!f.control("AutoRefresh")->isEnabled());
    QCOMPARE(f.window->adLink(), QString("http://www.test.example/"));
    QCOMPARE(f.control<QLabel>("Banner")->pixmap().size(), QSize(468, 60)); // Vorral.gif
    QCOMPARE(f.window->adCountdown(), 120);
    QVERIFY(!f.window->windowIcon().pixmap(32).isNull());
    f.put("Zendry SMS.ini", "password=ab12\r\nAutoRefresh=1");
    f.start();
    QCOMPARE(f.boxes.shown.size(), 1);
    QCOMPARE(f.boxes.shown[0].text, QString("Please enter your ZDID."));
    QVERIFY(!f.boxes.shown[0].ownerVisible);
    f.showActive();
    QCOMPARE(f.focused(), QString("ToName"));
    QCOMPARE(service.connections, 0);
}

// Saved details refresh the credits before the window is shown. Closed by a
// termination request, with a password typed and its box never left, the
// window saves its digest, in the settings file's own encoding. A folder
// where the phonebook goes gives a box naming it and the system's reason,
// but not while the program is being ended: the settings are written all
// the same, and nothing holds the ending up.
void TestLifetime::aSecondRunGetsEverythingBack()
{
    ScriptedService service;
    service.reply = "=3,7";
    Termination termination;
    WindowFixture f(service.port(), 10000, false);
    f.put("Zendry SMS.ini", "\xEF\xBB\xBFZDID=demo\npassword=ab12\nsignature=D d\nAutoRefresh=1\n");
    f.put("Phonebook.txt", "4477 Zo\xEB Ann\r\nfriend bob\r\n");
    f.start(&termination);
    QVERIFY(f.window->exchangeInProgress() && !f.window->isEnabled());
    f.showActive();
    QTRY_VERIFY(f.idle());
    QCOMPARE(service.requests.value(0), creditsRequest("demo", "ab12"));
    QCOMPARE(QStringList({ f.edit("ZDID")->text(), f.edit("PW")->text(), f.edit("Sig")->text(),
                           f.edit("FreeCredits")->text() + f.edit("Credits")->text(), f.to()->itemText(2) }),
             QStringList({ "demo", "**********", "D d", "37", "Zoë Ann" }));
    QVERIFY(f.control<QCheckBox>("SavePW")->isChecked() && f.control("AutoRefresh")->isEnabled());
    f.edit("PW")->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(f.edit("PW"), "new");
    QFile::remove(f.folder.filePath("Phonebook.txt"));
    QVERIFY(QDir().mkdir(f.folder.filePath("Phonebook.txt")));
    // Windows has no termination signal: a request to end comes as a message.
    const auto requestEnd = [&termination] {
#ifdef Q_OS_UNIX
        std::raise(SIGTERM);
#else
        emit termination.requested();
#endif
    };
    f.window->SavePhonebook(); // as the user's own close would
    requestEnd();
    QTRY_VERIFY(!f.window->isVisible());
    requestEnd();
    QCoreApplication::processEvents();
    QCOMPARE(f.bytes("Zendry SMS.ini"),
             "\xEF\xBB\xBFZDID=demo\r\npassword=" + PasswordDigest("new").toLatin1()
                     + "\r\nsignature=D d\r\nAutoRefresh=1\r\n");
    QCOMPARE(f.boxes.shown.size(), 1);
#ifdef Q_OS_WIN
    const QString reason = qt_error_string(ERROR_ACCESS_DENIED); // "Access is denied."
#else
    const QString reason = "Is a directory.";
#endif
    QCOMPARE(f.boxes.shown[0].title + ' ' + f.boxes.shown[0].text,
             "Error Zendry SMS could not save the file \""
                     + QDir::toNativeSeparators(f.folder.filePath("Phonebook.txt")) + "\".\r\n" + reason);
}

// The desktop opener: a web address fully encoded, a file as a file; on
// Windows the shell asked in UTF-16, with the window as owner and the verb as
// given. The production set-up: the hosts as built, reached directly, the
// time-out exact to the millisecond and the banner's tick running.
void TestLifetime::theRealPieces()
{
    RealSetup real;
    MainSetup s = real.setup();
    QCOMPARE(QStringList({ s.endpoints.serviceHost, s.endpoints.adHost, s.endpoints.webHost,
                           s.endpoints.defaultBannerLink, QString::number(s.endpoints.port),
                           QString::number(s.exchangeTimeoutMs), s.programFolder.path }),
             QStringList({ build::serviceHost, build::adHost, build::webHost, build::defaultBannerLink,
                           QString::number(build::port), "10000", QCoreApplication::applicationDirPath() }));
    WindowFixture f(9, 10000, false);
    s.programFolder = f.folder.path();
    QVERIFY(s.boxes && s.desktop && s.termination);
    s.boxes = &f.boxes; // the hosts as built resolve nowhere here: a refresh fails
    Main window(s);
    const QTimer *tick = window.findChild<QTimer *>("AdTimer");
    QVERIFY(tick->isActive() && tick->interval() == 1000
            && window.findChild<QTimer *>("TimeOut")->timerType() == Qt::PreciseTimer);
    window.findChild<QLineEdit *>("ZDID")->setText("a");
    window.findChild<QLineEdit *>("PW")->setText("b");
    window.findChild<QPushButton *>("Refresh")->click();
    QTRY_COMPARE_WITH_TIMEOUT(window.adCountdown(), 119, 3000);
    QCOMPARE(m_proxy.connections, 0); // neither the banner nor the refresh went through it
    for (const char *scheme : { "http", "file" })
        QDesktopServices::setUrlHandler(scheme, this, "openUrl");
    const auto unset = qScopeGuard([] {
        for (const char *scheme : { "http", "file" })
            QDesktopServices::unsetUrlHandler(scheme);
    });
    static QStringList shell; // what Windows' shell is asked
    SystemDesktop::shellOpen = [](quintptr owner, const wchar_t *verb, const wchar_t *file,
                                  const wchar_t *parameters, const wchar_t *directory, int show) {
        shell << QStringList({ QString::number(owner), QString::fromWCharArray(verb),
                               QString::fromWCharArray(file), QString::fromWCharArray(parameters),
                               QString::fromWCharArray(directory), QString::number(show) })
                         .join('|');
    };
    window.show();
    s.desktop->open(&window, "open", "http://ads.example/a b|\"");
    // A folder named outside every single-byte code page.
    const QString readme = f.folder.filePath("\u0416\u4E2D/Readme.txt");
    s.desktop->open(&window, "Open", readme);
    // A folder whose name is no text: its bytes as they are.
    s.desktop->open(&window, "open", "file:///x/M%FCller%20SMS/Readme.txt");
#ifdef Q_OS_WIN
    const QString owner = QString::number(window.winId());
    QCOMPARE(shell,
             QStringList({ owner + "|open|http://ads.example/a%20b%7C%22|||1",
                           owner + "|Open|" + readme + "|||1",
                           owner + "|open|file:///x/M%FCller%20SMS/Readme.txt|||1" }));
    const LONG_PTR style = GetWindowLongPtrW(HWND(window.winId()), GWL_STYLE);
    QVERIFY(!(style & WS_THICKFRAME) && !(style & WS_MAXIMIZEBOX)); // fixed in size
    // The program file carries its icon, its name and its version.
    const std::wstring program = QDir::toNativeSeparators(ZENDRY_PROGRAM).toStdWString();
    const HMODULE file = LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    QVERIFY(FindResourceW(file, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14))); // the group icon
    FreeLibrary(file);
    QByteArray info(int(GetFileVersionInfoSizeW(program.c_str(), nullptr)), '\0');
    QVERIFY(GetFileVersionInfoW(program.c_str(), 0, DWORD(info.size()), info.data()));
    QString names;
    for (const wchar_t *key :
         { L"\\StringFileInfo\\040904B0\\ProductName", L"\\StringFileInfo\\040904B0\\FileVersion" }) {
        wchar_t *value = nullptr;
        UINT length = 0;
        names += VerQueryValueW(info.data(), key, reinterpret_cast<void **>(&value), &length)
                ? QString::fromWCharArray(value) + '|'
                : "-";
    }
    QCOMPARE(names, QString("Zendry SMS|1.10|"));
#else
    QCOMPARE(m_opened,
             QStringList({ "http://ads.example/a%20b%7C%22", QUrl::fromLocalFile(readme).toEncoded(),
                           "file:///x/M%FCller%20SMS/Readme.txt" }));
#endif
}

QTEST_MAIN(TestLifetime)
#include "tst_lifetime.moc"
