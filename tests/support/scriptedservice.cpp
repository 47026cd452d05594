#include "scriptedservice.h"

#include <QTcpSocket>
#include <QTimer>

ScriptedService::ScriptedService()
{
    listen(QHostAddress::LocalHost, 0);
    connect(this, &QTcpServer::newConnection, this, &ScriptedService::accept);
}

void ScriptedService::accept()
{
    while (QTcpSocket *socket = nextPendingConnection()) {
        ++connections;
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        if (mode == Mode::CloseAtOnce) {
            socket->disconnectFromHost();
            continue;
        }
        const int index = int(requests.size());
        requests.append(QByteArray());
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, index] {
            const bool first = requests[index].isEmpty();
            requests[index] += socket->readAll();
            if (!first || mode == Mode::Silent)
                return;
            socket->write(reply);
            socket->flush();
            if (mode == Mode::TwoPieces) {
                QTimer::singleShot(300, socket, [this, socket] {
                    socket->write(secondPiece);
                    socket->flush();
                });
            }
        });
    }
}
