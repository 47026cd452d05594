// One exchange with the service on loopback: the window's whole round (Send
// pressed to reply handled) against a bare socket doing the same exchange,
// and the stand-in server's exchanges per second with 50 clients at once.
#include "benchsupport.h"
#include "server/standinserver.h"
#include "service/credential.h"
#include "service/request.h"

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Answers every request at once.
struct InstantService : QTcpServer
{
    InstantService()
    {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [s] {
                    s->readAll();
                    s->write("=5,20");
                    s->disconnectFromHost();
                });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
};

void Window_SendExchange(benchmark::State &state)
{
    InstantService service;
    SilentBoxes boxes;
    NoDesktop desktop;
    QTemporaryDir folder;
    zendry::MainSetup setup{
        &boxes, &desktop, folder.path(), { "127.0.0.1", "127.0.0.1", "127.0.0.1", service.serverPort(), "" }
    };
    zendry::Main window(setup);
    window.show();
    window.findChild<QLineEdit *>("ZDID")->setText("bench");
    window.findChild<QLineEdit *>("PW")->setText("pw");
    window.findChild<QLineEdit *>("Number")->setText("447700900123");
    window.findChild<QPlainTextEdit *>("Message")->setPlainText("hello");
    auto *send = window.findChild<QPushButton *>("Send");
    for (auto _ : state) {
        send->click();
        while (!window.isEnabled())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void BareSocket_Exchange(benchmark::State &state)
{
    InstantService service;
    const QByteArray request =
            zendry::sendRequest("bench", zendry::PasswordDigest("pw"), "447700900123", "hello", "bench");
    QTcpSocket socket;
    bool done = false;
    QObject::connect(&socket, &QTcpSocket::connected, [&] { socket.write(request); });
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] {
        socket.readAll();
        socket.abort();
        done = true;
    });
    for (auto _ : state) {
        done = false;
        socket.connectToHost(QHostAddress::LocalHost, service.serverPort());
        while (!done)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void StandIn_ExchangesPerSecond(benchmark::State &state)
{
    QTemporaryDir data;
    QThread thread;
    auto *server = new zendry::server::StandInServer(data.path());
    server->open(nullptr);
    server->accounts().put({ "bench", zendry::PasswordDigest("pw"), 1, 1, "" });
    server->listen(QHostAddress::LocalHost, 0, nullptr);
    const quint16 port = server->port();
    server->moveToThread(&thread);
    thread.start();

    const int concurrent = int(state.range(0));
    const int perRound = 500;
    const QByteArray request = zendry::creditsRequest("bench", zendry::PasswordDigest("pw"));
    for (auto _ : state) {
        int started = 0, finished = 0;
        std::vector<std::unique_ptr<QTcpSocket>> sockets;
        std::function<void()> startOne = [&] {
            auto socket = std::make_unique<QTcpSocket>();
            QTcpSocket *s = socket.get();
            QObject::connect(s, &QTcpSocket::connected, [s, &request] { s->write(request); });
            QObject::connect(s, &QTcpSocket::disconnected, [&, s] {
                ++finished;
                s->deleteLater();
                if (started < perRound) {
                    ++started;
                    startOne();
                }
            });
            s->connectToHost(QHostAddress::LocalHost, port);
            socket.release();
        };
        for (; started < concurrent; ++started)
            startOne();
        while (finished < perRound)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    state.SetItemsProcessed(state.iterations() * perRound);
    QMetaObject::invokeMethod(
            server, [server] { delete server; }, Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
}

} // namespace

BENCHMARK(Window_SendExchange)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BareSocket_Exchange)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(StandIn_ExchangesPerSecond)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime();
