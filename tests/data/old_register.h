#pragma once
// The older register of the golden checks (tests/data/datastore/old29.sql:
// 29 member fields, six-character birth dates, organisations without
// AUTONR, a 22-character KID), for the tests of its upgrade at start.

#include <filesystem>

namespace lagrull::test {

// The members old29.sql brings itself.
inline constexpr int kOldRegisterOwnMembers = 5;

// Writes it into `directory` with `members` more members of organisation 1,
// in one transaction.
void writeOldRegister(const std::filesystem::path& directory, int members);

}  // namespace lagrull::test
