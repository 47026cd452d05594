// The window's exchanges with the messaging service: Send, Refresh, and the
// service socket's events.
#include "app/mainwindow.h"

#include "ui_main.h"

#include "platform/ansicodec.h"
#include "service/checks.h"
#include "service/reply.h"
#include "service/request.h"

#include <QApplication>
#include <QScopedValueRollback>
#include <QTimer>

namespace zendry {

void Main::Send_Click()
{
    RememberContact();
    const auto refused = checkSend(
            { ui->ZDID->text(), ui->PW->text(), ui->Number->text(), messageText(), ui->Chars->text() });
    if (refused)
        return apply(*refused);
    startExchange(false);
}

void Main::Refresh_Click()
{
    if (const auto refused = checkRefresh(ui->ZDID->text(), ui->PW->text()))
        return apply(*refused);
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

void Main::Socket_Connect()
{
    Socket->write(IsRefresh ? creditsRequest(ui->ZDID->text(), PasswordHash)
                            : sendRequest(ui->ZDID->text(), PasswordHash, ui->Number->text(), messageText(),
                                          ui->Sig->text()));
}

void Main::Socket_DataArrival()
{
    if (!exchangeInProgress())
        return;
    TimeOut->stop();
    const QString reply = AnsiCodec::decode(Socket->readAll());
    endExchange();
    apply(replyOutcome(reply, IsRefresh));
}

// The server closing the connection is no error of the exchange: a server
// that closes without replying is left to the time-out.
void Main::Socket_Error(QAbstractSocket::SocketError error)
{
    if (error == QAbstractSocket::RemoteHostClosedError || !exchangeInProgress())
        return;
    endExchange();
    apply(unavailableOutcome());
}

void Main::TimeOut_Timer()
{
    endExchange();
    apply(unavailableOutcome());
}

} // namespace zendry
