#include "app/mainwindow.h"

#include "ui_main.h"

#include "banner/bannerreceiver.h"
#include "banner/weblinks.h"
#include "platform/ansicodec.h"
#include "platform/desktop.h"
#include "platform/messageboxes.h"
#include "platform/numericprefix.h"
#include "platform/termination.h"
#include "platform/trim.h"
#include "service/credential.h"
#include "service/reply.h"
#include "service/request.h"
#include "store/phonebookfile.h"
#include "store/settingsfile.h"
#include "store/textfile.h"

#include <QApplication>

#include <algorithm>
#include <limits>
#include <QCloseEvent>
#include <QCompleter>
#include <QDir>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QScopedValueRollback>
#include <QStyle>
#include <QTcpSocket>
#include <QTextCursor>
#include <QTimer>

// The window's icon is compiled into this static library.
static void initResources()
{
    Q_INIT_RESOURCE(zendry);
}

namespace zendry {

namespace {

const QString errorTitle = QStringLiteral("Error");
const QString passwordMask = QStringLiteral("**********");
const QString lineBreak = QStringLiteral("\r\n");
const QString bannerFallbackPicture = QStringLiteral("Vorral.gif");
const QByteArray bannerRequest = QByteArrayLiteral("Ad SMS v1.10");

QString unavailableText()
{
    return QStringLiteral("The server is temporarily unavailable.") + lineBreak
            + QStringLiteral("Please try again later.");
}

} // namespace

Main::Main(const MainSetup &setup, QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::Main>())
    , m_boxes(setup.boxes)
    , m_desktop(setup.desktop)
    , m_programFolder(setup.programFolder)
    , m_endpoints(setup.endpoints)
    , Socket(new QTcpSocket(this))
    , AdSock(new QTcpSocket(this))
    , TimeOut(new QTimer(this))
    , AdTimer(new QTimer(this))
    , m_bannerFile(QDir(setup.programFolder).filePath(BannerFile::fileName))
{
    initResources();
    ui->setupUi(this);
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    fitFont();

    // The list of To is the phonebook's, and only the program changes it.
    ui->ToName->setModel(&m_contactList);
    ui->ToName->setCompleter(nullptr);
    ui->ToName->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
    ui->ToName->setCurrentIndex(-1);

    TimeOut->setInterval(setup.exchangeTimeoutMs);
    AdTimer->setInterval(setup.adTickMs);
    if (setup.adTickMs > 0)
        AdTimer->start();
    TimeOut->setObjectName(QStringLiteral("TimeOut"));
    AdTimer->setObjectName(QStringLiteral("AdTimer"));

    // The window sees its controls' events first: every key release,
    // whichever control has the focus, the focus moves of the fields with
    // handlers, and the banner's clicks.
    qApp->installEventFilter(this);

    connect(ui->ZDID, &QLineEdit::textChanged, this, &Main::ZDID_Change);
    connect(ui->Sig, &QLineEdit::textChanged, this, &Main::Sig_Change);
    connect(ui->Message, &QPlainTextEdit::textChanged, this, &Main::Message_Change);
    connect(ui->ToName, &QComboBox::activated, this, [this](int row) {
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

    connect(Socket, &QTcpSocket::connected, this, &Main::Socket_Connect);
    connect(Socket, &QTcpSocket::readyRead, this, &Main::Socket_DataArrival);
    connect(Socket, &QTcpSocket::errorOccurred, this, &Main::Socket_Error);
    connect(TimeOut, &QTimer::timeout, this, &Main::TimeOut_Timer);
    connect(AdTimer, &QTimer::timeout, this, &Main::AdTimer_Timer);
    connect(AdSock, &QTcpSocket::connected, this, &Main::AdSock_Connect);
    connect(AdSock, &QTcpSocket::readyRead, this, &Main::AdSock_DataArrival);
    connect(AdSock, &QTcpSocket::errorOccurred, this, &Main::AdSock_Error);

    // Ending the desktop session or the program closes the window as the
    // user would, so everything is stored then too.
    connect(qApp, &QGuiApplication::commitDataRequest, this, &QWidget::close);
    if (setup.termination)
        connect(setup.termination, &Termination::requested, this, &QWidget::close);

    ui->ToName->setFocus(Qt::OtherFocusReason);
    Form_Load();
}

Main::~Main()
{
    setBusy(false);
}

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

void Main::Form_Load()
{
    guarded([this] { LoadSettings(); });
    guarded([this] { LoadPhonebook(); });
    guarded([this] {
        if (ui->SavePW->isChecked() && ui->AutoRefresh->isChecked())
            Refresh_Click();
    });
    guarded([this] { AdLink = m_endpoints.defaultBannerLink; });
    guarded([this] { loadBanner(programFile(bannerFallbackPicture)); });
    guarded([this] { AdCountdown = 120; });
    guarded([this] { startBannerFetch(); });
}

// Pending exchanges and fetches are not waited for: they end with the window.
void Main::Form_Unload()
{
    StorePassword();
    SaveSettings();
    SavePhonebook();
}

void Main::closeEvent(QCloseEvent *event)
{
    if (!m_unloaded) {
        m_unloaded = true;
        Form_Unload();
    }
    event->accept();
}

void Main::onClick(QAbstractButton *button, void (Main::*handler)())
{
    connect(button, &QAbstractButton::clicked, this, [this, button, handler] {
        button->setFocus(Qt::OtherFocusReason);
        (this->*handler)();
    });
}

// The form was drawn for an 8-point system font; the desktop's own default
// is usually larger. Take the system's sans family at the largest size that
// lets every caption and every box's text fit its rectangle.
void Main::fitFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    const QStyle *st = style();
    const int indicator =
            st->pixelMetric(QStyle::PM_IndicatorWidth) + st->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
    // Start at the size the widest one-line caption allows, scaled from 12
    // pixels, so that few sizes are tried: each one loads a font engine.
    int pixels = 12;
    font.setPixelSize(pixels);
    const QFontMetrics reference(font);
    for (QLabel *label : findChildren<QLabel *>()) {
        const int needed = reference.horizontalAdvance(label->text().remove(u'&'));
        if (!label->wordWrap() && needed > label->width())
            pixels = std::min(pixels, 12 * label->width() / needed);
    }
    for (; pixels >= 7; --pixels) {
        font.setPixelSize(pixels);
        const QFontMetrics fm(font);
        bool fits = true;
        for (QWidget *w : findChildren<QWidget *>()) {
            const QRect r = w->geometry();
            if (auto *label = qobject_cast<QLabel *>(w)) {
                const QString text = label->text().remove(u'&');
                if (label->wordWrap()) {
                    const QRect need = fm.boundingRect(QRect(0, 0, r.width(), 1000), Qt::TextWordWrap, text);
                    fits = fits && need.width() <= r.width() && need.height() <= r.height();
                } else if (!text.isEmpty()) {
                    fits = fits && fm.horizontalAdvance(text) <= r.width() && fm.height() <= r.height();
                }
            } else if (auto *check = qobject_cast<QCheckBox *>(w)) {
                fits = fits && indicator + fm.horizontalAdvance(check->text().remove(u'&')) <= r.width()
                        && fm.height() <= r.height() + 2;
            } else if (auto *button = qobject_cast<QPushButton *>(w)) {
                fits = fits && fm.horizontalAdvance(button->text().remove(u'&')) + 8 <= r.width();
            } else if (qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w)) {
                fits = fits && fm.height() + 6 <= r.height();
            }
        }
        if (fits)
            break;
    }
    setFont(font);
}

QString Main::messageText() const
{
    return ui->Message->toPlainText().replace(u'\n', lineBreak);
}

bool Main::exchangeInProgress() const
{
    return TimeOut->isActive();
}

// Focus events raise GotFocus and LostFocus only when the focus moves inside
// the window: losing it to a message box or another program, and getting it
// back, is not leaving the field.
bool Main::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyRelease) {
        // A release travels up from the focus widget to its parents; take it
        // once, where it starts.
        auto *widget = qobject_cast<QWidget *>(watched);
        QWidget *first = QApplication::focusWidget() ? QApplication::focusWidget() : this;
        auto *key = static_cast<QKeyEvent *>(event);
        if (widget == first && widget->window() == this && !key->isAutoRepeat())
            Form_KeyUp(key->key());
        return QWidget::eventFilter(watched, event);
    }
    if (watched == ui->Banner && type == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && ui->Banner->rect().contains(mouse->position().toPoint()))
            Banner_Click();
        return QWidget::eventFilter(watched, event);
    }
    const bool field =
            watched == ui->ZDID || watched == ui->PW || watched == ui->Number || watched == ui->Sig;
    if (!field || (type != QEvent::FocusIn && type != QEvent::FocusOut))
        return QWidget::eventFilter(watched, event);
    const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
    if (m_quietFocus || reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return QWidget::eventFilter(watched, event);

    const bool in = type == QEvent::FocusIn;
    if (watched == ui->PW) {
        in ? PW_GotFocus() : PW_LostFocus();
    } else if (watched == ui->Number) {
        in ? Number_GotFocus() : Number_LostFocus();
    } else if (watched == ui->Sig) {
        in ? Sig_GotFocus() : Sig_LostFocus();
    } else if (watched == ui->ZDID && in) {
        ZDID_GotFocus();
    }
    // A click that brings the focus would put the caret under the mouse and
    // undo the selection made on entry; make it again once the press is done.
    if (in && reason == Qt::MouseFocusReason) {
        auto *edit = qobject_cast<QLineEdit *>(watched);
        QTimer::singleShot(0, edit, [edit] {
            if (edit->hasFocus())
                edit->selectAll();
        });
    }
    return QWidget::eventFilter(watched, event);
}

// Before the window is first shown there is nowhere for the focus to go; Qt
// would remember the move and make it on show, so it is dropped instead.
void Main::focusTo(QWidget *widget)
{
    if (isVisible())
        widget->setFocus(Qt::OtherFocusReason);
}

void Main::selectText(QWidget *widget, int start, int length)
{
    if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
        edit->setSelection(start, length);
    } else if (auto *text = qobject_cast<QPlainTextEdit *>(widget)) {
        QTextCursor cursor = text->textCursor();
        cursor.setPosition(start);
        cursor.setPosition(start + length, QTextCursor::KeepAnchor);
        text->setTextCursor(cursor);
    }
}

void Main::error(const QString &text)
{
    m_boxes->ok(this, errorTitle, text);
}

// ---- Password ---------------------------------------------------------------

void Main::StorePassword()
{
    const QString typed = ui->PW->text();
    if (typed.isEmpty()) {
        PasswordHash.clear();
    } else if (typed != passwordMask) {
        try {
            PasswordHash = PasswordDigest(typed);
        } catch (const std::exception &) {
            // A password too long to digest is no password the service could know.
            PasswordHash.clear();
        }
    }
}

void Main::PW_GotFocus()
{
    ui->PW->selectAll();
}

void Main::PW_LostFocus()
{
    StorePassword();
}

// ---- Field behaviours -------------------------------------------------------

void Main::UpdateCharsRemaining()
{
    QString text = messageText().replace(lineBreak, QStringLiteral("\r"));
    text += u'\r';
    text += ui->Sig->text();
    ui->Chars->setText(QString::number(160 - text.size()));
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
    QString number = ui->Number->text();
    number.remove(u' ').remove(u'+');
    if (number != ui->Number->text())
        ui->Number->setText(number);
}

void Main::Sig_LostFocus()
{
    if (trimSpaces(ui->Sig->text()).isEmpty())
        ui->Sig->setText(ui->ZDID->text());
}

// ---- Settings and phonebook -------------------------------------------------

void Main::SavePW_Click()
{
    ui->AutoRefresh->setEnabled(ui->SavePW->isChecked());
}

void Main::ToName_Click()
{
    if (!m_pickedEntry.isValid())
        return;
    if (m_pickedEntry.row() == 0) {
        ui->Number->clear();
        return;
    }
    const int slot = findContact(ContactNames, ui->ToName->currentText());
    if (slot >= 0)
        ui->Number->setText(ContactNumbers[slot]);
}

void Main::DeleteContact_Click()
{
    const QString name = ui->ToName->currentText();
    if (name.isEmpty() || name == ContactList::newEntry)
        return;
    const auto answer = m_boxes->show(this, QStringLiteral("Delete Contact"),
                                      QStringLiteral("Are you sure you want to delete ") + name
                                              + QStringLiteral(" from your contacts?"),
                                      MessageBoxes::Buttons::YesNo, MessageBoxes::Answer::Yes);
    if (answer != MessageBoxes::Answer::Yes)
        return;
    const bool removed = removeContact(ContactNames, ContactNumbers, name) >= 0;
    // A picked entry goes whatever the slots held; a typed name takes the
    // entry that matches it, so the list and the slots stay in step.
    const int row = m_pickedEntry.isValid() ? m_pickedEntry.row()
            : removed                       ? m_contactList.findName(name)
                                            : -1;
    m_contactList.removeEntry(row);
    m_pickedEntry = QPersistentModelIndex();
    ui->ToName->setCurrentIndex(-1);
    ui->ToName->setEditText(QString());
    ui->Number->clear();
}

QString Main::programFile(const QString &name) const
{
    return QDir(m_programFolder).filePath(name);
}

void Main::saveFile(const QString &name, const QStringList &lines)
{
    const QString path = programFile(name);
    QString why;
    if (!TextFile::save(path, lines, &why)) {
        error(QStringLiteral("Zendry SMS could not save the file \"%1\".").arg(QDir::toNativeSeparators(path))
              + lineBreak + why);
    }
}

void Main::LoadSettings()
{
    const QString path = programFile(SettingsFile::fileName);
    TextFile::createIfMissing(path);
    const SettingsFile::Settings settings = SettingsFile::parse(TextFile::read(path));
    ui->ZDID->setText(settings.zdid);
    PasswordHash = settings.passwordHash;
    if (settings.masked)
        ui->PW->setText(passwordMask);
    if (settings.saveDetails)
        ui->SavePW->setChecked(true);
    if (settings.autoRefresh)
        ui->AutoRefresh->setChecked(true);
    // Filling ZDID copied it into Sig; the stored signature, even an empty one, wins.
    ui->Sig->setText(settings.signature);
}

void Main::SaveSettings()
{
    saveFile(SettingsFile::fileName,
             SettingsFile::lines(ui->SavePW->isChecked(), ui->ZDID->text(), PasswordHash, ui->Sig->text(),
                                 ui->AutoRefresh->isChecked()));
}

void Main::LoadPhonebook()
{
    m_contactList.clearNames();
    const QString path = programFile(PhonebookFile::fileName);
    TextFile::createIfMissing(path);
    ContactNames = {};
    ContactNumbers = {};
    const int count = PhonebookFile::parse(TextFile::read(path), ContactNames, ContactNumbers);
    for (int slot = 0; slot < count; ++slot)
        m_contactList.addName(ContactNames[slot]);
}

void Main::SavePhonebook()
{
    saveFile(PhonebookFile::fileName, PhonebookFile::lines(ContactNames, ContactNumbers));
}

void Main::RememberContact()
{
    const QString name = ui->ToName->currentText();
    if (name.isEmpty() || name == ContactList::newEntry)
        return;
    const Remembered r = rememberContact(ContactNames, ContactNumbers, name, ui->Number->text());
    if (r.added) {
        // Adding to the list must not change what the box shows.
        const QString shown = ui->ToName->currentText();
        m_contactList.addName(ContactNames[r.slot]);
        if (ui->ToName->currentText() != shown)
            ui->ToName->setEditText(shown);
    }
}

// ---- Sending and refreshing -------------------------------------------------

void Main::Send_Click()
{
    RememberContact();

    const QString number = ui->Number->text();
    if (trimSpaces(ui->ZDID->text()).isEmpty()) {
        error(QStringLiteral("Please enter your ZDID."));
        focusTo(ui->ZDID);
        return;
    }
    if (ui->PW->text().isEmpty()) {
        error(QStringLiteral("Please enter your password."));
        focusTo(ui->PW);
        return;
    }
    if (trimSpaces(number).isEmpty()) {
        error(QStringLiteral("Please enter the number you wish to send the text to."));
        focusTo(ui->Number);
        return;
    }
    if (trimSpaces(number).startsWith(u'0') && number.toLower() == number.toUpper()) {
        error(QStringLiteral("Please enter the correct country code."));
        focusTo(ui->Number);
        QApplication::processEvents();
        selectText(ui->Number, 0, 1);
        return;
    }
    if (const qsizetype comma = number.indexOf(u','); comma >= 0) {
        error(QStringLiteral(
                "Sending to multiple recipients is not supported by this version of Zendry SMS."));
        focusTo(ui->Number);
        QApplication::processEvents();
        selectText(ui->Number, int(comma), int(number.size() - comma));
        return;
    }
    if (trimSpaces(messageText()).isEmpty()) {
        error(QStringLiteral("Please enter a message to send."));
        focusTo(ui->Message);
        return;
    }
    if (const qint64 remaining = NumericPrefix(ui->Chars->text()).floor().value_or(0); remaining < 0) {
        error(QStringLiteral("Your message is ") + QString::number(-remaining)
              + QStringLiteral(" characters too long.  Please") + lineBreak
              + QStringLiteral("shorten the message or the signature and try again."));
        focusTo(ui->Message);
        ui->Message->moveCursor(QTextCursor::End);
        return;
    }
    startExchange(false);
}

void Main::Refresh_Click()
{
    if (trimSpaces(ui->ZDID->text()).isEmpty()) {
        error(QStringLiteral("Please enter your ZDID."));
        focusTo(ui->ZDID);
        return;
    }
    if (trimSpaces(ui->PW->text()).isEmpty()) {
        error(QStringLiteral("Please enter your password."));
        focusTo(ui->PW);
        return;
    }
    startExchange(true);
}

void Main::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void Main::startExchange(bool refresh)
{
    setBusy(true);
    {
        // Disabling the window takes the focus from its field; that is no
        // leaving of the field, and the focus comes back when the exchange ends.
        QScopedValueRollback quiet(m_quietFocus, true);
        m_focusBeforeExchange = focusWidget();
        setEnabled(false);
    }
    IsRefresh = refresh;
    Socket->abort();
    Socket->connectToHost(m_endpoints.serviceHost, m_endpoints.port);
    TimeOut->start();
}

// Stops the timer and closes the socket before anything is shown, so that no
// second event can end the same exchange.
void Main::endExchange()
{
    TimeOut->stop();
    Socket->abort();
    setBusy(false);
    QScopedValueRollback quiet(m_quietFocus, true);
    setEnabled(true);
    if (m_focusBeforeExchange)
        m_focusBeforeExchange->setFocus(Qt::OtherFocusReason);
}

void Main::showUnavailable()
{
    error(unavailableText());
    focusTo(ui->Send);
}

void Main::Socket_Connect()
{
    const QByteArray request = IsRefresh
            ? creditsRequest(ui->ZDID->text(), PasswordHash)
            : sendRequest(ui->ZDID->text(), PasswordHash, ui->Number->text(), messageText(), ui->Sig->text());
    Socket->write(request);
}

void Main::Socket_DataArrival()
{
    if (!exchangeInProgress())
        return;
    TimeOut->stop();
    const QString reply = AnsiCodec::decode(Socket->readAll());
    endExchange();

    const Reply r = classifyReply(reply);
    using Kind = Reply::Kind;
    switch (r.kind) {
    case Kind::UnknownZdid:
        error(QStringLiteral("Unknown or invalid ZDID."));
        focusTo(ui->ZDID);
        break;
    case Kind::WrongPassword:
        error(QStringLiteral("Incorrect password."));
        focusTo(ui->PW);
        break;
    case Kind::NoCredits: {
        ui->FreeCredits->setText(QStringLiteral("0"));
        ui->Credits->setText(QStringLiteral("0"));
        const auto answer =
                m_boxes->show(this, QStringLiteral("Buy Credits?"),
                              QStringLiteral("You do not have enough credits to send a text.") + lineBreak
                                      + QStringLiteral("Would you like to purchase some credits now?"),
                              MessageBoxes::Buttons::YesNo, MessageBoxes::Answer::Yes);
        if (answer == MessageBoxes::Answer::Yes)
            m_desktop->open(this, QStringLiteral("Open"), WebLinks::purchasePage(m_endpoints));
        focusTo(ui->Send);
        break;
    }
    case Kind::RecipientUnknown:
    case Kind::RecipientNoMobile:
    case Kind::RecipientProblem:
        error(r.kind == Kind::RecipientUnknown ? QStringLiteral("Unknown or invalid recipient ZDID.")
                      : r.kind == Kind::RecipientNoMobile
                      ? QStringLiteral("Recipient ZDID does not have a mobile phone number configured.")
                      : QStringLiteral("Problem with recipient."));
        focusTo(ui->Number);
        break;
    case Kind::ServiceMessage:
        error(r.message);
        focusTo(ui->Send);
        break;
    case Kind::Balance:
        ui->FreeCredits->setText(QString::number(r.freeCredits));
        ui->Credits->setText(QString::number(r.purchasedCredits));
        if (!IsRefresh) {
            m_boxes->ok(this, QStringLiteral("Message Sent"),
                        QStringLiteral("Your message has been sent to the Zendry") + lineBreak
                                + QStringLiteral("SMS server and will be delivered shortly."));
            focusTo(ui->Message);
            ui->Message->selectAll();
        }
        break;
    case Kind::BadBalance:
        error(QStringLiteral("Connection problem.") + lineBreak + QStringLiteral("Please try again later."));
        focusTo(ui->Send);
        break;
    case Kind::Unrecognised:
        showUnavailable();
        break;
    }
}

void Main::Socket_Error(QAbstractSocket::SocketError error)
{
    // The server closing the connection is no error of the exchange: a server
    // that closes without replying is left to the time-out.
    if (error == QAbstractSocket::RemoteHostClosedError || !exchangeInProgress())
        return;
    endExchange();
    showUnavailable();
}

void Main::TimeOut_Timer()
{
    endExchange();
    showUnavailable();
}

// ---- Banner and links -------------------------------------------------------

void Main::startBannerFetch()
{
    AdSock->abort();
    AdSock->connectToHost(m_endpoints.adHost, m_endpoints.port);
}

void Main::AdTimer_Timer()
{
    if (AdCountdown > 0) {
        --AdCountdown;
        return;
    }
    startBannerFetch();
    AdCountdown = 120;
}

void Main::AdSock_Connect()
{
    AdSock->write(bannerRequest);
    AdRemaining = -1;
}

void Main::AdSock_DataArrival()
{
    const QByteArray data = AdSock->readAll();
    // From the first packet of a reply until its picture is complete, no picture.
    if (AdRemaining == -1)
        ui->Banner->clear();
    switch (BannerReceiver::receive(data, AdRemaining, AdLink, m_bannerFile)) {
    case BannerReceiver::Outcome::Waiting:
        return;
    case BannerReceiver::Outcome::Failed:
        return bannerFallback();
    case BannerReceiver::Outcome::Complete:
        break;
    }
    m_bannerFile.close();
    AdSock->abort();
    const bool loaded = loadBanner(m_bannerFile.path());
    m_bannerFile.remove();
    if (!loaded)
        bannerFallback();
}

void Main::AdSock_Error(QAbstractSocket::SocketError error)
{
    // A server that closes early leaves the banner empty until the next fetch.
    if (error == QAbstractSocket::RemoteHostClosedError)
        return;
    bannerFallback();
}

// Every step is tried whatever became of the one before.
void Main::bannerFallback()
{
    m_bannerFile.close();
    AdSock->abort();
    m_bannerFile.remove();
    AdCountdown = 120;
    AdLink = m_endpoints.defaultBannerLink;
    loadBanner(programFile(bannerFallbackPicture));
}

// The box takes the size of the picture; one that cannot be read leaves the
// box as it was.
bool Main::loadBanner(const QString &path)
{
    const QImage picture = BannerFile::loadPicture(path);
    if (picture.isNull())
        return false;
    ui->Banner->setPixmap(QPixmap::fromImage(picture));
    ui->Banner->resize(picture.size());
    return true;
}

void Main::Banner_Click()
{
    if (WebLinks::isWebPage(AdLink))
        m_desktop->open(this, QStringLiteral("open"), AdLink);
}

void Main::CreateZDID_Click()
{
    m_desktop->open(this, QStringLiteral("Open"), WebLinks::createPage(m_endpoints));
}

void Main::Purchase_Click()
{
    m_desktop->open(this, QStringLiteral("Open"), WebLinks::purchasePage(m_endpoints));
}

void Main::HelpButton_Click()
{
    ShowReadme();
}

void Main::ShowReadme()
{
    m_desktop->open(this, QStringLiteral("open"),
                    QDir::toNativeSeparators(programFile(QStringLiteral("Readme.txt"))));
}

void Main::Form_KeyUp(int key)
{
    if (key == Qt::Key_F1)
        ShowReadme();
}

} // namespace zendry
