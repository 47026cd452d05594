#pragma once

#include "app/mainwindow.h"
#include "platform/qtmessageboxes.h"
#include "recordingdesktop.h"
#include "scriptedboxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

// Where the caret or selection is in the focused box: "start+length".
QString selection();

// The real window in a temporary program folder, with scripted boxes and a
// recording desktop. The service and the ad server listen on `port`, the
// service at 127.0.0.1 and the ad server at `adHost`: by default 127.0.0.2,
// where nothing listens, so the start-up fetch falls back at once.
struct WindowFixture
{
    explicit WindowFixture(quint16 port = 9, int timeoutMs = 10000, bool startNow = true);

    // Creates the window, which loads what the folder holds.
    void start(zendry::Termination *termination = nullptr);
    // Shows the window and waits until it is active, so focus moves are real.
    void showActive();
    void put(const QString &name, const QByteArray &bytes) const;
    QByteArray bytes(const QString &name) const;
    void fill(const QString &zdid, const QString &pw, const QString &number, const QString &text);
    // No exchange, no busy pointer, the window usable.
    bool idle() const;
    QString focused() const;

    template<typename T = QWidget>
    T *control(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }
    QLineEdit *edit(const char *name) const { return control<QLineEdit>(name); }
    QPushButton *button(const char *name) const { return control<QPushButton>(name); }
    QComboBox *to() const { return control<QComboBox>("ToName"); }

    quint16 port;
    int timeoutMs;
    QString serviceHost = QStringLiteral("127.0.0.1");
    QString adHost = QStringLiteral("127.0.0.2");
    zendry::TcpClient::Resolver resolver; // for names the test makes up
    QTemporaryDir folder{ QDir::tempPath()
                          + QStringLiteral("/Zendry Zo\u00EB-XXXXXX") }; // a name outside ASCII
    ScriptedBoxes boxes;
    bool realBoxes = false; // the desktop's boxes instead
    zendry::QtMessageBoxes desktopBoxes;
    RecordingDesktop desktop;
    std::unique_ptr<zendry::Main> window;
};
