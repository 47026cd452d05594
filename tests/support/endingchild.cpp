// The program as main.cpp runs it, with the real boxes, desktop and
// termination, against the test's servers on loopback, brought to one
// moment of its life: endingchild FOLDER MOMENT PORT. It says "ready" on
// its output once there, and takes "close", "logout" and "exit" on its
// input, as the window's title bar, the session's end and a library's
// exit() would end it (a logout: the session asks it to save, then ends it).
#include "app/program.h"
#include "app/realsetup.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTimer>
#include <QWindow>
#include <private/qguiapplication_p.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>
#include <unistd.h>

using namespace zendry;

namespace {

Main *window()
{
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (auto *main = qobject_cast<Main *>(top))
            return main;
    }
    return nullptr;
}

template<typename T>
T *control(const char *name)
{
    return window()->findChild<T *>(QLatin1String(name));
}

void say(const char *line)
{
    std::printf("%s\n", line);
    std::fflush(stdout);
}

// Steps through the moment's actions, one a tick, and says when it is there.
class Driver : public QObject
{
public:
    Driver(const QString &folder, const QString &moment) : m_folder(folder), m_moment(moment)
    {
        connect(&m_tick, &QTimer::timeout, this, [this] { step(); });
        m_tick.start(20);
        auto *input = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
        connect(input, &QSocketNotifier::activated, this, [] {
            char line[16] = {};
            const ssize_t got = ::read(STDIN_FILENO, line, sizeof line - 1);
            const QByteArray command = QByteArray(line, int(std::max<ssize_t>(got, 0))).trimmed();
            if (command == "close") {
                window()->close();
            } else if (command == "logout") {
                // The session asks the program to save, then ends it.
                QGuiApplicationPrivate::instance()->commitData();
                std::raise(SIGTERM);
            } else if (command == "exit") {
                std::exit(3);
            }
        });
    }

private:
    void step()
    {
        QWidget *box = QApplication::activeModalWidget();
        Main *w = window();
        if (m_moment == "startup") // the box of a start-up refresh that lacks its ZDID
            return box ? done() : void();
        if (!w || !w->isVisible())
            return;
        switch (m_stage++) {
        case 0: // every moment after start-up has something to store
            control<QLineEdit>("Sig")->setText("stored");
            control<QComboBox>("ToName")->setEditText("Carol");
            control<QLineEdit>("Number")->setText("333");
            QTimer::singleShot(0, control<QPushButton>("Send"), &QPushButton::click);
            return;
        case 1: // the box Send shows, as it lacks a message
            if (!box)
                --m_stage;
            else
                box->close();
            return;
        case 2:
            if (m_moment == "box")
                QTimer::singleShot(0, control<QPushButton>("Send"), &QPushButton::click);
            else if (m_moment == "saveFailureBox")
                QTimer::singleShot(0, w, &QWidget::close);
            else if (m_moment == "exchange" || m_moment == "lookup")
                QTimer::singleShot(0, control<QPushButton>("Refresh"), &QPushButton::click);
            else if (m_moment == "maximised" && !w->windowHandle()->isExposed())
                --m_stage; // a title bar to click is there once the window is
            else if (m_moment == "maximised")
                maximise(w);
            return;
        default:
            break;
        }
        --m_stage;
        const auto state = w->serviceSocket()->state();
        if ((m_moment == "idle") || ((m_moment == "box" || m_moment == "saveFailureBox") && box)
            || (m_moment == "exchange" && state == QAbstractSocket::ConnectedState)
            || (m_moment == "lookup" && state == QAbstractSocket::HostLookupState)
            || (m_moment == "banner" && QFile::exists(m_folder + "/Banner.tmp"))) {
            return done();
        }
        if (m_moment == "maximised") {
            if (m_grew && w->size() == w->minimumSize() && w->windowHandle()->windowStates() == Qt::WindowNoState
                && w->maximumSize() == w->minimumSize())
                done();
        }
    }

    // As Qt's title bar does; the window may grow and shrink again between
    // two ticks, so its resizes are watched.
    void maximise(QWidget *w)
    {
        w->installEventFilter(this);
        w->windowHandle()->setWindowStates(Qt::WindowMaximized);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize)
            m_grew = m_grew || static_cast<QWidget *>(watched)->width() > 485;
        return false;
    }

    void done()
    {
        m_tick.stop();
        say("ready");
    }

    QString m_folder;
    QString m_moment;
    QTimer m_tick;
    int m_stage = 0;
    bool m_grew = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 2;
    RealSetup real;
    MainSetup setup = real.setup();
    setup.programFolder = ProgramFolder(args[1]);
    const QString &moment = args[2];
    // The service on 127.0.0.1; the ad server on 127.0.0.2, where only the
    // banner's moment has one listening. A name the resolver never answers.
    setup.endpoints.serviceHost = moment == "lookup" ? "stalled.test" : "127.0.0.1";
    setup.endpoints.adHost = "127.0.0.2";
    setup.endpoints.port = args[3].toUShort();
    setup.resolver = [](const QString &) {
        std::this_thread::sleep_for(std::chrono::hours(1));
        return QList<QHostAddress>();
    };
    Driver driver(args[1], moment);
    return runProgram(setup);
}
