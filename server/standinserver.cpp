#include "server/standinserver.h"

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

void StandInServer::accept()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        auto *quiet = new QTimer(socket);
        quiet->setSingleShot(true);
        quiet->setInterval(m_limits.quietMs);
        auto *deadline = new QTimer(socket);
        deadline->setSingleShot(true);
        connect(deadline, &QTimer::timeout, socket, &QTcpSocket::abort);
        deadline->start(m_limits.requestTimeoutMs);

        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket, quiet, buffer] {
            *buffer += socket->readAll();
            // Garbage gets no answer: close as soon as it cannot be a request.
            if (buffer->size() > m_limits.maxRequestBytes || !mayBeServiceRequest(buffer->left(8))) {
                socket->abort();
                return;
            }
            quiet->start();
        });
        connect(quiet, &QTimer::timeout, socket, [this, socket, deadline, buffer] {
            deadline->stop();
            answer(socket, *buffer);
        });
    }
}

void StandInServer::answer(QTcpSocket *socket, const QByteArray &request)
{
    const ServiceAnswer a = answerServiceRequest(request, m_accounts);
    if (a.accountsChanged) {
        QString why;
        if (!m_accounts.save(&why))
            std::fprintf(stderr, "zendry-server: cannot save accounts: %s\n", qPrintable(why));
    }
    if (a.delivery)
        record(*a.delivery);
    if (!a.reply.isEmpty())
        socket->write(a.reply);
    socket->disconnectFromHost();
}

void StandInServer::record(const Delivery &d)
{
    const QJsonObject line{{"time", QDateTime::currentDateTimeUtc().toString(Qt::ISODate)},
                           {"from", d.from},
                           {"to", d.to},
                           {"message", d.message},
                           {"signature", d.signature}};
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
