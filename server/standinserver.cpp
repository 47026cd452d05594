#include "server/standinserver.h"

#include "server/webpages.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <cstdio>

namespace zendry::server {

StandInServer::StandInServer(const QString &dataFolder, QObject *parent)
    : QObject(parent)
    , m_folder(dataFolder)
    , m_accounts(dataFolder)
    , m_banners(dataFolder)
    , m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &StandInServer::accept);
}

bool StandInServer::open(QString *why)
{
    if (!QDir().mkpath(m_folder)) {
        if (why)
            *why = QStringLiteral("cannot create %1").arg(m_folder);
        return false;
    }
    return m_accounts.load(why);
}

bool StandInServer::listen(const QHostAddress &address, quint16 port, QString *why)
{
    if (m_server->listen(address, port))
        return true;
    if (why)
        *why = m_server->errorString();
    return false;
}

quint16 StandInServer::port() const
{
    return m_server->serverPort();
}

QString StandInServer::outboxPath() const
{
    return QDir(m_folder).filePath(QStringLiteral("outbox.jsonl"));
}

namespace {

enum class Protocol { Unknown, Service, Banner, Web, Garbage };

// What a connection carries, told by its first bytes; Unknown until enough
// of them have come.
Protocol protocolOf(const QByteArray &start)
{
    static const std::pair<QByteArray, Protocol> prefixes[] = {
        { "txt ", Protocol::Service }, { "stxt ", Protocol::Service }, { "Ad SMS ", Protocol::Banner },
        { "GET ", Protocol::Web },     { "POST ", Protocol::Web },
    };
    bool undecided = false;
    for (const auto &[prefix, protocol] : prefixes) {
        if (start.startsWith(prefix))
            return protocol;
        undecided = undecided || prefix.startsWith(start);
    }
    return undecided ? Protocol::Unknown : Protocol::Garbage;
}

} // namespace

void StandInServer::accept()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        auto *quiet = new QTimer(socket);
        quiet->setSingleShot(true);
        quiet->setInterval(m_limits.quietMs);
        auto *deadline = new QTimer(socket);
        deadline->setSingleShot(true);
        deadline->start(m_limits.requestTimeoutMs);

        auto buffer = std::make_shared<QByteArray>();
        auto finish = [this, socket, quiet, deadline, buffer] {
            quiet->stop();
            deadline->stop();
            disconnect(socket, &QTcpSocket::readyRead, socket, nullptr);
            answer(socket, *buffer);
        };
        // Reads what has come and answers once the request is whole. A
        // banner request and a web request say when they are whole; a service
        // request does not, and is whole once the line is quiet.
        auto take = [this, socket, quiet, buffer, finish](bool atDeadline) {
            *buffer += socket->readAll();
            const Protocol protocol = protocolOf(buffer->left(8));
            // Garbage gets no answer: close as soon as it cannot be a request.
            if (buffer->size() > m_limits.maxRequestBytes || protocol == Protocol::Garbage) {
                socket->abort();
                return;
            }
            // A request that came while this server was busy with others is
            // answered at the deadline, not dropped for the server's own delay.
            if ((protocol == Protocol::Banner && buffer->size() >= BannerShelf::requestSize)
                || (protocol == Protocol::Web && WebPages::isComplete(*buffer))
                || (atDeadline && protocol == Protocol::Service))
                finish();
            else if (atDeadline)
                socket->abort();
            else
                quiet->start();
        };
        connect(socket, &QTcpSocket::readyRead, socket, [take] { take(false); });
        connect(quiet, &QTimer::timeout, socket, finish);
        connect(deadline, &QTimer::timeout, socket, [take] { take(true); });
    }
}

void StandInServer::answer(QTcpSocket *socket, const QByteArray &request)
{
    QByteArray reply;
    bool changed = false;
    switch (protocolOf(request.left(8))) {
    case Protocol::Service: {
        const ServiceAnswer a = answerServiceRequest(request, m_accounts);
        changed = a.accountsChanged;
        if (a.delivery)
            record(*a.delivery);
        reply = a.reply;
        break;
    }
    case Protocol::Banner: {
        const QString site = QStringLiteral("http://%1:%2")
                                     .arg(socket->localAddress().toString())
                                     .arg(socket->localPort());
        reply = m_banners.nextReply(site);
        break;
    }
    case Protocol::Web:
        reply = WebPages::respond(WebPages::parse(request), m_accounts, &changed);
        break;
    case Protocol::Unknown:
    case Protocol::Garbage:
        break;
    }
    if (changed) {
        QString why;
        if (!m_accounts.save(&why))
            std::fprintf(stderr, "zendry-server: cannot save accounts: %s\n", qPrintable(why));
    }
    if (!reply.isEmpty())
        socket->write(reply);
    socket->disconnectFromHost();
}

void StandInServer::record(const Delivery &d)
{
    const QJsonObject line{ { "time", QDateTime::currentDateTimeUtc().toString(Qt::ISODate) },
                            { "from", d.from },
                            { "to", d.to },
                            { "message", d.message },
                            { "signature", d.signature } };
    QFile outbox(outboxPath());
    if (outbox.open(QIODevice::WriteOnly | QIODevice::Append))
        outbox.write(QJsonDocument(line).toJson(QJsonDocument::Compact) + '\n');
    if (m_echo) {
        QString shown = d.message;
        shown.replace(u'\r', QLatin1String(" / "));
        std::printf("delivered from %s to %s: %s -- %s\n", qPrintable(d.from), qPrintable(d.to),
                    qPrintable(shown), qPrintable(d.signature));
        std::fflush(stdout);
    }
    emit delivered(d);
}

} // namespace zendry::server
