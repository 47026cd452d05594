#include "app/mainwindow.h"

#include "ui_main.h"

#include "app/altkeys.h"
#include "app/fieldrules.h"
#include "app/fontfit.h"
#include "app/lineeditaccessible.h"
#include "app/passwordevents.h"
#include "app/readonlycaret.h"
#include "app/singlelinevalidator.h"
#include "app/starstyle.h"
#include "platform/fixedframe.h"
#include "platform/keyups.h"
#include "platform/messageboxes.h"
#include "platform/tcpclient.h"
#include "platform/termination.h"
#include "service/credential.h"
#include "service/outcome.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QNetworkProxy>
#include <QTextCursor>
#include <QTimer>

#include <limits>

// The window's icon is compiled into this static library.
static void initResources()
{
    Q_INIT_RESOURCE(zendry);
}

namespace zendry {

namespace {

// Start-up goes on after any step that fails: the window always opens.
template<typename Step>
void guarded(Step step)
{
    try {
        step();
    } catch (...) {
    }
}

} // namespace

Main::Main(const MainSetup &setup, QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::Main>())
    , m_boxes(setup.boxes)
    , m_desktop(setup.desktop)
    , m_programFolder(setup.programFolder)
    , m_endpoints(setup.endpoints)
    , Socket(new TcpClient(setup.resolver, this))
    , AdSock(new TcpClient(setup.resolver, this))
    , TimeOut(new QTimer(this))
    , AdTimer(new QTimer(this))
    , m_keyUps(new KeyUps(keyRepeatSettleMs, this))
    , m_bannerFile(setup.programFolder.filePath(BannerFile::fileName))
{
    initResources();
    LineEditAccessible::install();
    ui->setupUi(this);
    FixedFrame::apply(this);
    setFont(fittedFont(*this));
    maskPasswordEvents();
    auto *stars = new StarStyle;
    stars->setParent(ui->PW);
    ui->PW->setStyle(stars);

    // The list of To is the phonebook's, and only the program changes it.
    ui->ToName->setModel(&m_contactList);
    ui->ToName->setCompleter(nullptr);
    ui->ToName->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
    ui->ToName->setCurrentIndex(-1);
    for (QLineEdit *box : { ui->FreeCredits, ui->Credits, ui->Chars })
        new ReadOnlyCaret(box);
    // A check box has no face of its own: behind it lies the window's black,
    // from which the Windows style works out the colour of its focus mark.
    for (QWidget *box : { ui->SavePW, ui->AutoRefresh })
        box->setBackgroundRole(QPalette::Window);
    auto *singleLine = new SingleLineValidator(this);
    for (QLineEdit *box : { ui->ZDID, ui->PW, ui->Number, ui->Sig, ui->ToName->lineEdit() })
        box->setValidator(singleLine);

    TimeOut->setObjectName(QStringLiteral("TimeOut"));
    TimeOut->setInterval(setup.exchangeTimeoutMs);
    TimeOut->setTimerType(Qt::PreciseTimer);
    AdTimer->setObjectName(QStringLiteral("AdTimer"));
    AdTimer->setInterval(setup.adTickMs);
    if (setup.adTickMs > 0)
        AdTimer->start();

    // Alt with a key is an access key on every layout, and never types.
    new AltKeys(this);
    // The window sees its controls' events first: every key release,
    // whichever control has the focus, the focus moves of the fields with
    // handlers, and the banner's clicks.
    qApp->installEventFilter(this);

    connect(ui->ZDID, &QLineEdit::textChanged, this, &Main::ZDID_Change);
    connect(ui->Sig, &QLineEdit::textChanged, this, &Main::Sig_Change);
    connect(ui->Message, &QPlainTextEdit::textChanged, this, &Main::Message_Change);
    connect(ui->ToName, &PickBox::picked, this, [this](int row) {
        m_pickedEntry = m_contactList.index(row);
        ToName_Click();
    });
    connect(ui->ToName->lineEdit(), &QLineEdit::textEdited, this,
            [this] { m_pickedEntry = QPersistentModelIndex(); });
    connect(ui->SavePW, &QCheckBox::toggled, this, &Main::SavePW_Click);
    connect(ui->SavePW, &QCheckBox::clicked, this, [this] { ui->SavePW->setFocus(Qt::OtherFocusReason); });
    onClick(ui->Send, &Main::Send_Click);
    onClick(ui->Refresh, &Main::Refresh_Click);
    onClick(ui->DeleteContact, &Main::DeleteContact_Click);
    onClick(ui->CreateZDID, &Main::CreateZDID_Click);
    onClick(ui->Purchase, &Main::Purchase_Click);
    onClick(ui->HelpButton, &Main::HelpButton_Click);

    // The program reads no environment, so no proxy that it names either.
    Socket->setProxy(QNetworkProxy::NoProxy);
    AdSock->setProxy(QNetworkProxy::NoProxy);
    // Qt may report a failure from inside connectToHost(), before the caller
    // has finished starting the exchange or the fetch; queued, the error is
    // handled as soon as that call has returned.
    connect(Socket, &TcpClient::connected, this, &Main::Socket_Connect);
    connect(Socket, &TcpClient::readyRead, this, &Main::Socket_DataArrival);
    connect(Socket, &TcpClient::errorOccurred, this, &Main::Socket_Error, Qt::QueuedConnection);
    connect(TimeOut, &QTimer::timeout, this, &Main::TimeOut_Timer);
    connect(AdTimer, &QTimer::timeout, this, &Main::AdTimer_Timer);
    connect(AdSock, &TcpClient::connected, this, &Main::AdSock_Connect);
    connect(AdSock, &TcpClient::readyRead, this, &Main::AdSock_DataArrival);
    connect(AdSock, &TcpClient::errorOccurred, this, &Main::AdSock_Error, Qt::QueuedConnection);
    connect(m_keyUps, &KeyUps::released, this, [this](int key) {
        if (isEnabled())
            Form_KeyUp(key);
    });

    // Ending the desktop session or the program closes the window as the
    // user would, so everything is stored then too.
    connect(qApp, &QGuiApplication::commitDataRequest, this, &QWidget::close);
    if (setup.termination) {
        connect(setup.termination, &Termination::requested, this, &Main::terminate);
        connect(setup.termination, &Termination::ending, this, &Main::storeBeforeTheEnd,
                Qt::DirectConnection);
    }

    ui->ToName->setFocus(Qt::OtherFocusReason);
    Form_Load();
}

Main::~Main()
{
    setBusy(false);
}

void Main::Form_Load()
{
    guarded([this] { LoadSettings(); });
    guarded([this] { LoadPhonebook(); });
    guarded([this] {
        if (ui->SavePW->isChecked() && ui->AutoRefresh->isChecked())
            Refresh_Click();
    });
    guarded([this] { AdLink = m_endpoints.defaultBannerLink; });
    guarded([this] { loadBanner(programFile(BannerFile::fallbackPicture)); });
    guarded([this] { AdCountdown = 120; });
    guarded([this] { startBannerFetch(); });
}

// Pending exchanges and fetches are not waited for: they end with the window.
// Each step runs once, even when the end of the session comes inside a box
// that an earlier one shows.
void Main::Form_Unload()
{
    while (m_storeStep < storeSteps) {
        switch (m_storeStep++) {
        case 0:
            StorePassword();
            break;
        case 1:
            if (m_settingsRead)
                SaveSettings();
            break;
        case 2:
            if (m_phonebookRead)
                SavePhonebook();
            break;
        default:
            // A banner still arriving is abandoned with its file.
            AdSock->abort();
            m_bannerFile.remove();
            break;
        }
    }
}

void Main::closeEvent(QCloseEvent *event)
{
    m_closed = true;
    Form_Unload();
    event->accept();
}

// A termination request ends the program at any moment, as a close does: a
// box still open is closed (a question answered No) and the window stores
// everything once. Nobody is left to read a box about a save that fails
// then, and a box would hold the ending up.
void Main::terminate()
{
    m_quietSaves = true;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top->isModal() && top->isVisible())
            top->close();
    }
    close();
}

// The process ends when this returns: store what is left to store, showing
// nothing, as there is no display left to show it on.
void Main::storeBeforeTheEnd()
{
    m_quietSaves = true;
    Form_Unload();
}

void Main::onClick(QAbstractButton *button, void (Main::*handler)())
{
    connect(button, &QAbstractButton::clicked, this, [this, button, handler] {
        button->setFocus(Qt::OtherFocusReason);
        (this->*handler)();
    });
}

QString Main::messageText() const
{
    return FieldRules::messageFromDocument(ui->Message->document()->toRawText());
}

bool Main::exchangeInProgress() const
{
    return TimeOut->isActive();
}

QWidget *Main::field(Field f) const
{
    switch (f) {
    case Field::Zdid:
        return ui->ZDID;
    case Field::Password:
        return ui->PW;
    case Field::Number:
        return ui->Number;
    case Field::Message:
        return ui->Message;
    case Field::Send:
        return ui->Send;
    case Field::None:
        break;
    }
    return nullptr;
}

void Main::apply(const Outcome &o)
{
    using Answer = MessageBoxes::Answer;
    if (o.setsCredits) {
        ui->FreeCredits->setText(o.freeCredits);
        ui->Credits->setText(o.purchasedCredits);
    }
    if (!o.title.isEmpty()) {
        const auto buttons = o.yesNo ? MessageBoxes::Buttons::YesNo : MessageBoxes::Buttons::Ok;
        const Answer answer =
                m_boxes->show(this, o.title, o.text, buttons, o.yesNo ? Answer::Yes : Answer::Ok);
        if (o.yesNo && answer == Answer::Yes)
            Purchase_Click(); // the same page as the Purchase Credits button
    }
    QWidget *target = field(o.focus);
    focusTo(target);
    if (o.settle)
        QApplication::processEvents();
    auto *line = qobject_cast<QLineEdit *>(target);
    auto *text = qobject_cast<QPlainTextEdit *>(target);
    if (o.select == Outcome::Select::Nothing || (!line && !text))
        return;
    const int size = line ? int(line->text().size()) : text->document()->characterCount() - 1;
    const int start = o.select == Outcome::Select::Range ? o.start
            : o.select == Outcome::Select::End           ? size
                                                         : 0;
    const int length = o.select == Outcome::Select::Range ? o.length
            : o.select == Outcome::Select::All            ? size
                                                          : 0;
    if (line) {
        line->setSelection(start, length);
    } else {
        QTextCursor cursor = text->textCursor();
        cursor.setPosition(start);
        cursor.setPosition(start + length, QTextCursor::KeepAnchor);
        text->setTextCursor(cursor);
    }
}

// ---- Password and fields ----------------------------------------------------

void Main::StorePassword()
{
    PasswordHash = storedPasswordHash(ui->PW->text(), PasswordHash);
}

void Main::PW_GotFocus()
{
    ui->PW->selectAll();
}

void Main::PW_LostFocus()
{
    StorePassword();
}

void Main::UpdateCharsRemaining()
{
    ui->Chars->setText(QString::number(FieldRules::charsRemaining(messageText(), ui->Sig->text())));
}

void Main::Message_Change()
{
    UpdateCharsRemaining();
}

void Main::Sig_Change()
{
    UpdateCharsRemaining();
}

void Main::ZDID_Change()
{
    ui->Sig->setText(ui->ZDID->text());
}

void Main::ZDID_GotFocus()
{
    ui->ZDID->selectAll();
}

void Main::Number_GotFocus()
{
    ui->Number->selectAll();
}

void Main::Sig_GotFocus()
{
    ui->Sig->selectAll();
}

void Main::Number_LostFocus()
{
    const QString tidy = FieldRules::tidyNumber(ui->Number->text());
    if (tidy != ui->Number->text())
        ui->Number->setText(tidy);
}

void Main::Sig_LostFocus()
{
    const QString sig = FieldRules::refilledSignature(ui->Sig->text(), ui->ZDID->text());
    if (sig != ui->Sig->text())
        ui->Sig->setText(sig);
}

} // namespace zendry
