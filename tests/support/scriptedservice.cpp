#include "scriptedservice.h"

ScriptedService::ScriptedService()
{
    listen(QHostAddress::LocalHost, 0);
    connect(this, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *s = nextPendingConnection()) {
            ++connections;
            current = s;
            connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            if (mode == Mode::CloseAtOnce)
                s->disconnectFromHost();
            const auto index = requests.size();
            requests.append(QByteArray());
            connect(s, &QTcpSocket::readyRead, this, [this, s, index] {
                const bool first = requests[index].isEmpty();
                requests[index] += s->readAll();
                if (first && mode == Mode::Reply)
                    s->write(reply), s->disconnectFromHost();
            });
        }
    });
}

void ScriptedService::send(const QByteArray &bytes)
{
    current->write(bytes);
    current->flush();
}
