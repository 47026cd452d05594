#pragma once

#include <QByteArray>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

// A server on 127.0.0.1 that does what the test says with each connection:
// the service, the ad server, or one that misbehaves.
class ScriptedService : public QTcpServer
{
    Q_OBJECT

public:
    enum class Mode {
        Reply, // answer the first data with `reply` in one write, then close
        TwoPieces, // answer with `reply`, then `secondPiece` a little later
        OneByteAtATime, // `reply` a byte every 100 ms
        ResetMidReply, // `reply`, then a reset instead of a close
        Silent, // read, never answer
        NeverRead, // accept, never read
        CloseAtOnce, // close as soon as the connection is made
        Manual, // the test writes to `current` itself
    };

    ScriptedService();
    quint16 port() const { return serverPort(); }
    void send(const QByteArray &bytes); // to the latest connection

    Mode mode = Mode::Reply;
    QByteArray reply;
    QByteArray secondPiece;
    int connections = 0;
    QList<QByteArray> requests; // what each connection sent
    QPointer<QTcpSocket> current;

private:
    void answer(QTcpSocket *socket);
};
