#pragma once

#include "server/accountstore.h"
#include "server/bannershelf.h"
#include "server/servicerequests.h"

#include <QHostAddress>
#include <QObject>

class QTcpServer;
class QTcpSocket;

namespace zendry::server {

// Our stand-in for the service, the ad server and the web pages, all on one
// port and told apart by their first bytes: one request per connection,
// answered in one write, then the connection is closed.
class StandInServer : public QObject
{
    Q_OBJECT

public:
    struct Limits
    {
        // The client sends its request with nothing after it: the request is
        // whole once the connection has been quiet this long.
        int quietMs = 10;
        int requestTimeoutMs = 5000;
        qsizetype maxRequestBytes = 1 << 20;
    };

    explicit StandInServer(const QString &dataFolder, QObject *parent = nullptr);

    bool open(QString *why);
    bool listen(const QHostAddress &address, quint16 port, QString *why);
    quint16 port() const;
    void setLimits(const Limits &limits) { m_limits = limits; }
    // Print each delivered message on standard output.
    void setEcho(bool echo) { m_echo = echo; }

    AccountStore &accounts() { return m_accounts; }
    QString outboxPath() const;

signals:
    void delivered(const zendry::server::Delivery &delivery);

private:
    void accept();
    void answer(QTcpSocket *socket, const QByteArray &request);
    void record(const Delivery &delivery);

    QString m_folder;
    AccountStore m_accounts;
    BannerShelf m_banners;
    QTcpServer *m_server;
    Limits m_limits;
    bool m_echo = false;
};

} // namespace zendry::server
