#pragma once

#include "app/mainwindow.h"
#include "platform/desktop.h"
#include "platform/messageboxes.h"
#include "service/credential.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// Boxes that answer with their default and a desktop that opens nothing:
// a benchmark has no one to click.
struct SilentBoxes : zendry::MessageBoxes
{
    Answer show(QWidget *, const QString &, const QString &, Buttons, Answer a) override { return a; }
};
struct NoDesktop : zendry::Desktop
{
    void open(QWidget *, const QString &, const QString &) override {}
};

// A program folder as a long-time user leaves it: saved details (without the
// start-up refresh, which would wait on the network), 500 contacts, the
// shipped banner. The ad server is an address where nothing listens.
struct StartupFolder
{
    StartupFolder()
    {
        write("Zendry SMS.ini", "ZDID=demo\r\npassword=" + zendry::PasswordDigest("demo").toLatin1()
                  + "\r\nsignature=Demo\r\nAutoRefresh=0\r\n");
        QByteArray book;
        for (int i = 0; i < 500; ++i)
            book += "4477009" + QByteArray::number(10000 + i) + " Contact " + QByteArray::number(i * 7919 % 1000) + "\r\n";
        write("Phonebook.txt", book);
        QFile::copy(QStringLiteral(ZENDRY_SOURCE_DIR "/banner/Vorral.gif"), dir.filePath("Vorral.gif"));
        setup = {&boxes, &desktop, dir.path(), {"127.0.0.1", "127.0.0.2", "127.0.0.1", 9, "http://x.example/"}};
        setup.adTickMs = 0;
    }
    void write(const QString &name, const QByteArray &bytes)
    {
        QFile f(dir.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }

    QTemporaryDir dir;
    SilentBoxes boxes;
    NoDesktop desktop;
    zendry::MainSetup setup;
};
