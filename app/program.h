#pragma once

namespace zendry {

struct MainSetup;

// The program's life: its one window made (which loads what the last run
// stored), shown, and the events run until it closes; the exit code.
int runProgram(const MainSetup &setup);

} // namespace zendry
