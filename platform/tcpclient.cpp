#include "platform/tcpclient.h"

#include <QHostInfo>
#include <QTcpSocket>

#include <algorithm>
#include <utility>

namespace zendry {

TcpClient::TcpClient(Resolver resolver, QObject *parent) : QObject(parent), m_resolver(std::move(resolver))
{
    m_stagger.setSingleShot(true);
    m_stagger.setInterval(staggerMs);
    connect(&m_stagger, &QTimer::timeout, this, &TcpClient::startNext);
}

void TcpClient::connectToHost(const QString &host, quint16 port)
{
    abort();
    m_port = port;
    const QHostAddress literal(host);
    if (!literal.isNull())
        return race({ literal });
    m_looking = true;
    const quint64 round = m_round;
    if (m_resolver) {
        // Answered after this call returns, as the system's lookup is.
        QTimer::singleShot(0, this, [this, round, found = m_resolver(host)] {
            if (round == m_round)
                race(found);
        });
        return;
    }
    // Named by its signature rather than given as a function object: Qt
    // never frees the function object of a lookup still running when the
    // program ends.
    m_lookupId = QHostInfo::lookupHost(host, this, SLOT(lookedUp(QHostInfo)));
}

// A lookup that answers after abort() or a later connectToHost() is not taken.
void TcpClient::lookedUp(const QHostInfo &info)
{
    if (info.lookupId() != m_lookupId)
        return;
    m_lookupId = -1;
    race(info.addresses());
}

void TcpClient::abort()
{
    ++m_round;
    if (m_lookupId != -1)
        QHostInfo::abortHostLookup(m_lookupId);
    m_lookupId = -1;
    m_looking = false;
    m_stagger.stop();
    m_waiting.clear();
    for (QTcpSocket *attempt : std::exchange(m_attempts, {}))
        drop(attempt);
    if (m_socket)
        drop(std::exchange(m_socket, nullptr));
}

qint64 TcpClient::write(const QByteArray &data)
{
    return m_socket ? m_socket->write(data) : -1;
}

QByteArray TcpClient::readAll()
{
    return m_socket ? m_socket->readAll() : QByteArray();
}

QAbstractSocket::SocketState TcpClient::state() const
{
    if (m_socket)
        return m_socket->state();
    if (!m_attempts.isEmpty())
        return QAbstractSocket::ConnectingState;
    return m_looking ? QAbstractSocket::HostLookupState : QAbstractSocket::UnconnectedState;
}

QList<QHostAddress> TcpClient::interleaved(const QList<QHostAddress> &addresses)
{
    QList<QHostAddress> first;
    QList<QHostAddress> other;
    for (const QHostAddress &address : addresses)
        (address.protocol() == addresses.first().protocol() ? first : other).append(address);
    QList<QHostAddress> turns;
    for (qsizetype i = 0; i < std::max(first.size(), other.size()); ++i) {
        if (i < first.size())
            turns.append(first[i]);
        if (i < other.size())
            turns.append(other[i]);
    }
    return turns;
}

void TcpClient::race(const QList<QHostAddress> &addresses)
{
    m_looking = false;
    m_waiting = interleaved(addresses);
    if (m_waiting.isEmpty())
        return fail(QAbstractSocket::HostNotFoundError);
    startNext();
}

// The socket may report its outcome from inside connectToHost(), so
// everything this attempt's start needs is settled before it is called.
void TcpClient::startNext()
{
    if (m_waiting.isEmpty())
        return;
    const QHostAddress address = m_waiting.takeFirst();
    auto *attempt = new QTcpSocket(this);
    attempt->setProxy(m_proxy);
    m_attempts.append(attempt);
    connect(attempt, &QTcpSocket::connected, this, [this, attempt] { won(attempt); });
    connect(attempt, &QTcpSocket::errorOccurred, this,
            [this, attempt](QAbstractSocket::SocketError error) { lost(attempt, error); });
    if (m_waiting.isEmpty())
        m_stagger.stop();
    else
        m_stagger.start();
    attempt->connectToHost(address, m_port);
}

void TcpClient::won(QTcpSocket *attempt)
{
    m_stagger.stop();
    m_waiting.clear();
    m_attempts.removeOne(attempt);
    for (QTcpSocket *other : std::exchange(m_attempts, {}))
        drop(other);
    m_socket = attempt;
    disconnect(attempt, nullptr, this, nullptr);
    connect(attempt, &QTcpSocket::readyRead, this, &TcpClient::readyRead);
    connect(attempt, &QTcpSocket::errorOccurred, this, &TcpClient::errorOccurred);
    emit connected();
}

// An address that fails hands over to the next at once.
void TcpClient::lost(QTcpSocket *attempt, QAbstractSocket::SocketError error)
{
    m_attempts.removeOne(attempt);
    drop(attempt);
    if (!m_waiting.isEmpty())
        startNext();
    else if (m_attempts.isEmpty())
        fail(error);
}

void TcpClient::fail(QAbstractSocket::SocketError error)
{
    emit errorOccurred(error);
}

// The socket may be the one whose signal is running: it goes once that is done.
void TcpClient::drop(QTcpSocket *socket)
{
    disconnect(socket, nullptr, this, nullptr);
    socket->abort();
    socket->deleteLater();
}

} // namespace zendry
