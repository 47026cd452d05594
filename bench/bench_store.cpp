// The phonebook through the real window: loading a full 500-contact file
// (with the To list), saving it, and loading a 100,000-line file of which 500
// contacts are kept.
#include "benchsupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

struct Folder
{
    explicit Folder(int lines)
    {
        QByteArray file;
        for (int i = 0; i < lines; ++i)
            file += "4477009" + QByteArray::number(100000 + i) + " Contact number "
                    + QByteArray::number(i * 7919 % 100003) + "\r\n";
        QFile f(QDir(dir.path()).filePath("Phonebook.txt"));
        f.open(QIODevice::WriteOnly);
        f.write(file);
        setup = { &boxes, &desktop, dir.path(), {} };
    }
    QTemporaryDir dir;
    SilentBoxes boxes;
    NoDesktop desktop;
    zendry::MainSetup setup;
};

void LoadPhonebook(benchmark::State &state)
{
    Folder folder(int(state.range(0)));
    zendry::Main window(folder.setup);
    for (auto _ : state)
        window.LoadPhonebook();
}

void SavePhonebook(benchmark::State &state)
{
    Folder folder(500);
    zendry::Main window(folder.setup);
    window.LoadPhonebook();
    for (auto _ : state)
        window.SavePhonebook();
}

} // namespace

BENCHMARK(LoadPhonebook)->Arg(500)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(SavePhonebook)->Unit(benchmark::kMillisecond);
