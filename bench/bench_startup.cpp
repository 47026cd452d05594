// Start-up: constructing and showing the real window with full files (500
// contacts, saved details), against constructing and showing an empty
// QWidget of the same size, offscreen, in one run.
#include "benchsupport.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

void EmptyWidget_ShowAndPaint(benchmark::State &state)
{
    for (auto _ : state) {
        QWidget w;
        w.resize(485, 297);
        w.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(w.grab());
    }
}

void Main_ShowAndPaint(benchmark::State &state)
{
    StartupFolder folder;
    for (auto _ : state) {
        zendry::Main w(folder.setup);
        w.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(w.grab());
    }
}

} // namespace

BENCHMARK(EmptyWidget_ShowAndPaint)->Unit(benchmark::kMillisecond);
BENCHMARK(Main_ShowAndPaint)->Unit(benchmark::kMillisecond);
