#pragma once

#include <QAbstractSocket>
#include <QHostAddress>
#include <QList>
#include <QNetworkProxy>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

class QTcpSocket;

namespace zendry {

// A TCP client that reaches a host as browsers do: many networks hand out
// IPv6 addresses that lead nowhere, so waiting on each address in turn can
// use up the whole exchange on one that never answers. The name's addresses
// are tried one after another, the next started `staggerMs` after the one
// before while that one still waits (at once when it fails), the two
// families taking turns; the first connection made is kept and the others
// are dropped. To its user it is one socket: one `connected`, then
// `readyRead` and `errorOccurred` of that connection. A failure of the
// lookup or of every address is one `errorOccurred`. `abort()` ends all of
// it, with nothing reported afterwards.
class TcpClient : public QObject
{
    Q_OBJECT

public:
    // A name's addresses in the order to try them, none when it is unknown.
    using Resolver = std::function<QList<QHostAddress>(const QString &name)>;
    static constexpr int staggerMs = 250;

    // Without a resolver the system's is asked. Either runs on a thread of
    // its own, so that a name server that never answers holds up neither the
    // window nor the end of the program.
    explicit TcpClient(Resolver resolver = {}, QObject *parent = nullptr);
    ~TcpClient() override;

    // An address given as text is connected to directly.
    void connectToHost(const QString &host, quint16 port);
    void abort();
    qint64 write(const QByteArray &data);
    QByteArray readAll();
    QAbstractSocket::SocketState state() const;
    // For every connection that follows.
    void setProxy(const QNetworkProxy &proxy) { m_proxy = proxy; }

    // The addresses in the order they are tried: the first one's family
    // first, the families alternating while both have some left.
    static QList<QHostAddress> interleaved(const QList<QHostAddress> &addresses);

signals:
    void connected();
    void readyRead();
    void errorOccurred(QAbstractSocket::SocketError error);

private:
    // What a lookup thread shares with the client it answers, which may be
    // gone by the time the answer comes.
    struct Answers;

    void race(const QList<QHostAddress> &addresses);
    void startNext();
    void won(QTcpSocket *attempt);
    void lost(QTcpSocket *attempt, QAbstractSocket::SocketError error);
    void fail(QAbstractSocket::SocketError error);
    void drop(QTcpSocket *socket);

    Resolver m_resolver;
    QNetworkProxy m_proxy;
    QTimer m_stagger;
    quint16 m_port = 0;
    // Counts connectToHost() and abort(), so a lookup that answers late
    // for an earlier connection is not taken.
    quint64 m_round = 0;
    bool m_looking = false;
    std::shared_ptr<Answers> m_answers;
    QList<QHostAddress> m_waiting; // addresses not tried yet
    QList<QTcpSocket *> m_attempts; // connecting
    QTcpSocket *m_socket = nullptr; // the connection that was made
};

} // namespace zendry
