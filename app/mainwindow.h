#pragma once

#include "banner/bannerfile.h"
#include "platform/endpoints.h"
#include "platform/programfolder.h"
#include "platform/tcpclient.h"
#include "store/contactlist.h"
#include "store/contactslots.h"
#include "store/textfile.h"

#include <QAbstractSocket>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QWidget>

#include <memory>

class QAbstractButton;
class QTimer;

namespace Ui {
class Main;
}

namespace zendry {

class MessageBoxes;
class Desktop;
class Termination;
class KeyUps;
struct Outcome;
enum class Field;

// What the window needs from the outside world. main.cpp passes the real
// pieces; tests pass scripted boxes, a recording desktop, a temporary folder
// and endpoints on loopback.
struct MainSetup
{
    MessageBoxes *boxes = nullptr;
    Desktop *desktop = nullptr;
    ProgramFolder programFolder;
    Endpoints endpoints;
    // Looks up the hosts' names; unset, the system does.
    TcpClient::Resolver resolver;
    int exchangeTimeoutMs = 10000;
    // The banner's one-second tick; 0 leaves AdTimer stopped, for tests that
    // drive AdTimer_Timer themselves.
    int adTickMs = 1000;
    // When set, a termination request closes the window as the user would.
    Termination *termination = nullptr;
};

// The one window of the program: its controls, the state every part shares,
// and the handlers. A handler reads the fields, asks a rule, and applies
// what the rule says.
class Main : public QWidget
{
    Q_OBJECT

public:
    explicit Main(const MainSetup &setup, QWidget *parent = nullptr);
    ~Main() override;

    // The shared state, for those who look in from outside.
    const QString &passwordHash() const { return PasswordHash; }
    const ContactSlots &contactNames() const { return ContactNames; }
    const ContactSlots &contactNumbers() const { return ContactNumbers; }
    bool exchangeInProgress() const;
    // Whether the window has closed for good.
    bool ended() const { return m_closed; }
    // Whether everything the session holds is stored.
    bool stored() const { return m_storeStep == storeSteps; }
    TcpClient *serviceSocket() const { return Socket; }
    // The message exactly as typed, with CR LF line breaks.
    QString messageText() const;

    // The local files, read once at start-up and written once at shutdown.
    // A failed save shows one box naming the file and the reason.
    void LoadSettings();
    void SaveSettings();
    void LoadPhonebook();
    void SavePhonebook();

    // The banner: a tick of AdTimer, and the start of a fetch.
    void AdTimer_Timer();
    void startBannerFetch();
    const QString &adLink() const { return AdLink; }
    qint16 adCountdown() const { return AdCountdown; }
    qint32 adRemaining() const { return AdRemaining; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // Handlers, named after the control and the event.
    void Form_Load();
    void Form_Unload();
    void ZDID_Change();
    void ZDID_GotFocus();
    void PW_GotFocus();
    void PW_LostFocus();
    void Number_GotFocus();
    void Number_LostFocus();
    void Message_Change();
    void Sig_Change();
    void Sig_GotFocus();
    void Sig_LostFocus();
    void ToName_Click();
    void DeleteContact_Click();
    void SavePW_Click();
    void Send_Click();
    void Refresh_Click();
    void Socket_Connect();
    void Socket_DataArrival();
    void Socket_Error(QAbstractSocket::SocketError error);
    void TimeOut_Timer();
    void AdSock_Connect();
    void AdSock_DataArrival();
    void AdSock_Error(QAbstractSocket::SocketError error);
    void Banner_Click();
    void CreateZDID_Click();
    void Purchase_Click();
    void HelpButton_Click();
    void Form_KeyUp(int key);

    // Shared work.
    void StorePassword();
    void UpdateCharsRemaining();
    void RememberContact();
    void ShowReadme();
    void bannerFallback();
    bool loadBanner(const QString &path);
    void focusMoved(QObject *watched, QEvent *event);
    // Runs the field's GotFocus or LostFocus; false for a widget without one.
    bool fieldFocusHandler(QObject *field, bool in);
    bool fromThisWindow(QObject *watched) const;
    bool keyStartsAt(QObject *watched) const;
    void terminate();
    void storeBeforeTheEnd();

    // An exchange with the service: started by Send or Refresh, ended by the
    // first reply, a socket error or the time-out.
    void startExchange(bool refresh);
    void endExchange();
    void setBusy(bool busy);

    void apply(const Outcome &outcome);
    QWidget *field(Field f) const;
    // Moves the focus as a program statement does: the box's GotFocus runs.
    void focusTo(QWidget *widget);
    // A button, like a button on any desktop, takes the focus before its click runs.
    void onClick(QAbstractButton *button, void (Main::*handler)());
    void openPage(const QString &verb, const QString &target);
    QString programFile(const QString &name) const;
    void saveFile(const QString &name, const QStringList &lines, TextFile::Encoding encoding);

    std::unique_ptr<Ui::Main> ui;
    MessageBoxes *m_boxes;
    Desktop *m_desktop;
    ProgramFolder m_programFolder;
    // Each file is written back in the encoding it was read in.
    TextFile::Encoding m_settingsEncoding = TextFile::Encoding::CodePage;
    TextFile::Encoding m_phonebookEncoding = TextFile::Encoding::CodePage;
    Endpoints m_endpoints;

    TcpClient *Socket;
    TcpClient *AdSock;
    QTimer *TimeOut;
    QTimer *AdTimer;
    // How long a key's release waits for the press that would make it a repeat.
    static constexpr int keyRepeatSettleMs = 100;
    KeyUps *m_keyUps;

    // Module variables.
    bool IsRefresh = false;
    QString PasswordHash;
    ContactSlots ContactNames;
    ContactSlots ContactNumbers;
    QString AdLink;
    qint16 AdCountdown = 0;
    qint32 AdRemaining = 0;

    BannerFile m_bannerFile;
    ContactList m_contactList;
    // The To entry the user picked; it stops being picked as soon as the
    // user edits the box's text.
    QPersistentModelIndex m_pickedEntry;
    bool m_bannerDoubleClicked = false;
    bool m_busy = false;
    // Focus moves the program makes for its own housekeeping (disabling the
    // window for an exchange) are not the user's and raise no handler.
    bool m_quietFocus = false;
    QPointer<QWidget> m_focusBeforeExchange;
    bool m_closed = false;
    // Storing takes steps, each run once: the password, the settings, the
    // phonebook, the unfinished banner. A box about a failed save runs
    // events, and the end of the session may come inside it; the steps left
    // then run from there.
    static constexpr int storeSteps = 4;
    int m_storeStep = 0;
    // A file is written back only once it has been read: an end that comes
    // before leaves it as it was.
    bool m_settingsRead = false;
    bool m_phonebookRead = false;
    bool m_quietSaves = false; // a failed save shows no box: the program is ending
};

} // namespace zendry
