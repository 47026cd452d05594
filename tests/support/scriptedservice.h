#pragma once

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

// A server on 127.0.0.1 that does what the test says with each connection.
class ScriptedService : public QTcpServer
{
    Q_OBJECT

public:
    enum class Mode {
        Reply, // answer the first data with `reply` in one write, then close
        Silent, // read, answer nothing unless the test sends something
        CloseAtOnce, // close as soon as the connection is made
    };

    ScriptedService();
    quint16 port() const { return serverPort(); }
    void send(const QByteArray &bytes); // to the latest connection

    Mode mode = Mode::Reply;
    QByteArray reply;
    int connections = 0;
    QList<QByteArray> requests; // what each connection sent
    QPointer<QTcpSocket> current;
};
