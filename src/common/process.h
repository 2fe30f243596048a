#pragma once
// Starting a companion program, the way the register hands a file to
// another program: the program runs on its own, the register does not wait
// for it and hears nothing back.

#include <string>
#include <vector>

namespace lagrull {

// Runs `program` with `args` (each one whole: paths with blanks need no
// quoting) as a process of its own that is never waited for and leaves no
// zombie behind. False when the program cannot be executed or started.
bool startDetached(const std::string& program, const std::vector<std::string>& args);

}  // namespace lagrull
