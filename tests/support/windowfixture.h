#pragma once

#include "app/mainwindow.h"
#include "recordingdesktop.h"
#include "scriptedboxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <memory>

// The real window in a temporary program folder, with scripted boxes and a
// recording desktop. The service listens on 127.0.0.1 at `port`; the ad
// server is on the same port at `adHost`, 127.0.0.2 by default, where nothing
// listens, so the start-up fetch falls back at once.
struct WindowFixture
{
    struct Options
    {
        quint16 port = 9;
        int timeoutMs = 10000;
        QString adHost = QStringLiteral("127.0.0.2");
        bool startNow = true; // false: put files in the folder, then start()
        zendry::Termination *termination = nullptr;
        QString serviceHost = QStringLiteral("127.0.0.1");
    };

    explicit WindowFixture(quint16 port = 9, int timeoutMs = 10000);
    explicit WindowFixture(const Options &options);

    // Creates the window, which loads what the folder holds.
    void start();
    // Shows the window and waits until it is active, so focus moves are real.
    void showActive();
    // Puts the files the program ships into its folder.
    void shipFiles();
    void put(const QString &name, const QByteArray &bytes) const;
    QByteArray bytes(const QString &name) const;

    template<typename T = QWidget>
    T *control(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }
    QLineEdit *edit(const char *name) const { return control<QLineEdit>(name); }
    QPushButton *button(const char *name) const { return control<QPushButton>(name); }

    Options options;
    QTemporaryDir folder;
    ScriptedBoxes boxes;
    RecordingDesktop desktop;
    std::unique_ptr<zendry::Main> window;
};
