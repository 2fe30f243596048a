#pragma once
// The demo register for tests: built in a directory of the test's own, with
// the postal register the build made.

#include <filesystem>

#include "services/demo_register.h"

namespace lagrull::test {

// The directory of the Postnr.num the build made.
std::filesystem::path builtPostalDirectory();

// Creates the register's tables in `dataDirectory` (made when missing) and
// fills it with the demo register. Throws when it cannot (a register with
// members, no postal register).
demo::DemoCounts makeDemoStore(const std::filesystem::path& dataDirectory,
                               const demo::DemoOptions& options = {});

}  // namespace lagrull::test
