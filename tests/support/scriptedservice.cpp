#include "scriptedservice.h"

#include <QTimer>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#endif

ScriptedService::ScriptedService()
{
    listen(QHostAddress::LocalHost, 0);
    connect(this, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *s = nextPendingConnection()) {
            ++connections;
            current = s;
            connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            if (mode == Mode::CloseAtOnce) {
                s->disconnectFromHost();
                continue;
            }
            const auto index = requests.size();
            requests.append(QByteArray());
            if (mode == Mode::NeverRead)
                continue;
            connect(s, &QTcpSocket::readyRead, this, [this, s, index] {
                const bool first = requests[index].isEmpty();
                requests[index] += s->readAll();
                if (first)
                    answer(s);
            });
        }
    });
}

void ScriptedService::send(const QByteArray &bytes)
{
    current->write(bytes);
    current->flush();
}

void ScriptedService::answer(QTcpSocket *s)
{
    switch (mode) {
    case Mode::Silent:
    case Mode::Manual:
        return;
    case Mode::OneByteAtATime: {
        auto *timer = new QTimer(s);
        auto left = std::make_shared<QByteArray>(reply);
        connect(timer, &QTimer::timeout, s, [s, left] {
            if (!left->isEmpty() && s->state() == QAbstractSocket::ConnectedState)
                s->write(left->left(1)), left->remove(0, 1);
        });
        timer->start(100);
        s->write(left->left(1));
        left->remove(0, 1);
        return;
    }
    default:
        break;
    }
    s->write(reply);
    s->flush();
    if (mode == Mode::TwoPieces) {
        QTimer::singleShot(300, s, [this, s] { s->write(secondPiece); });
    } else if (mode == Mode::ResetMidReply) {
#ifdef Q_OS_UNIX
        linger l{ 1, 0 }; // a zero linger time closes with a reset
        setsockopt(int(s->socketDescriptor()), SOL_SOCKET, SO_LINGER, &l, sizeof l);
#endif
        s->abort();
    } else if (mode == Mode::Reply) {
        s->disconnectFromHost();
    }
}
