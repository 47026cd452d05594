#pragma once

#include <QByteArray>
#include <QList>
#include <QTcpServer>

// A service on 127.0.0.1 that does what the test says with each connection.
class ScriptedService : public QTcpServer
{
    Q_OBJECT

public:
    enum class Mode {
        Reply, // answer the first data with `reply`, in one write
        TwoPieces, // answer with `reply`, then `secondPiece` a little later
        Silent, // read, never answer
        CloseAtOnce // close as soon as the connection is made
    };

    ScriptedService();
    quint16 port() const { return serverPort(); }

    Mode mode = Mode::Reply;
    QByteArray reply;
    QByteArray secondPiece;
    int connections = 0;
    QList<QByteArray> requests; // what each connection sent before the answer

private:
    void accept();
};
