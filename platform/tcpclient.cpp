#include "platform/tcpclient.h"

#include "platform/namelookup.h"

#include <QTcpSocket>

#include <algorithm>
#include <mutex>
#include <thread>
#include <utility>

namespace zendry {

struct TcpClient::Answers
{
    std::mutex mutex;
    TcpClient *client; // none once the client is gone
};

TcpClient::TcpClient(Resolver resolver, QObject *parent)
    : QObject(parent)
    , m_resolver(resolver ? std::move(resolver) : Resolver(lookUpName))
    , m_answers(std::make_shared<Answers>())
{
    m_answers->client = this;
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
    // A lookup is never waited for: one that answers after abort(), a later
    // connectToHost() or the client's end is dropped.
    std::thread([answers = m_answers, resolve = m_resolver, host, round = m_round] {
        const QList<QHostAddress> found = resolve(host);
        const std::lock_guard<std::mutex> lock(answers->mutex);
        if (TcpClient *client = answers->client) {
            QMetaObject::invokeMethod(
                    client,
                    [client, round, found] {
                        if (round == client->m_round)
                            client->race(found);
                    },
                    Qt::QueuedConnection);
        }
    }).detach();
}

TcpClient::~TcpClient()
{
    const std::lock_guard<std::mutex> lock(m_answers->mutex);
    m_answers->client = nullptr;
}

void TcpClient::abort()
{
    ++m_round;
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
