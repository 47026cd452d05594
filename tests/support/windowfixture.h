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
// recording desktop; the service endpoint is whatever the test points it at.
struct WindowFixture
{
    explicit WindowFixture(quint16 servicePort = 9, int timeoutMs = 10000);

    // Shows the window and waits until it is active, so focus moves are real.
    void showActive();
    // Puts the files the program ships into its folder.
    void shipFiles();

    template<typename T = QWidget>
    T *control(const char *name) const
    {
        return window->findChild<T *>(QLatin1String(name));
    }
    QLineEdit *edit(const char *name) const { return control<QLineEdit>(name); }
    QPushButton *button(const char *name) const { return control<QPushButton>(name); }

    QTemporaryDir folder;
    ScriptedBoxes boxes;
    RecordingDesktop desktop;
    std::unique_ptr<zendry::Main> window;
};
