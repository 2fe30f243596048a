#pragma once
// The first steps of every start, for the GUI program and lagrul-cli alike:
// the two-digit-year window, the application data directory and its
// settings files, and the log switch.

#include <string>
#include <vector>

namespace lagrull {

class Ui;

// True for the arguments startModules consumes ("/path=...", "LOGG").
bool isStartupSwitch(const std::string& arg);

// Runs once per process; the paths are fixed from then on.
void startModules(const std::vector<std::string>& args, Ui& ui);

}  // namespace lagrull
