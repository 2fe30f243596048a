#pragma once
// The demo register: a realistic, made-up register for trying the program
// and for the tests and benchmarks of the bulk functions.
//
// Invariants:
// - The same options (seed included) on an empty register give the same
//   rows, value for value: the random numbers are our own (DemoRandom) and
//   nothing depends on today's date or on the machine.
// - It is written in one transaction: the register holds all of it or none.
// - It is only ever written into a register without members.
// - With at least six members per organisation, every payment method, every
//   notice code and every claim state (open, paid, partly paid, overpaid,
//   marked for deletion) occurs in each organisation.

#include <cstdint>
#include <optional>

namespace lagrull {
class Ui;
class TPostNr;
}  // namespace lagrull

namespace lagrull::data {
class TDatabase;
}

namespace lagrull::demo {

struct DemoOptions {
    long long members = 250;  // in all, shared evenly among the organisations
    int organisations = 1;
    bool claims = false;  // claims for the two due dates below
    std::uint64_t seed = 1;
    int registerKind = 0;  // the KID's register digit: 0 member, 1 rent register
};

// The due dates of the demo claims: the autumn and spring instalments.
inline constexpr const char* kDemoFirstDueDate = "15092025";
inline constexpr const char* kDemoSecondDueDate = "15032026";

struct DemoCounts {
    long long organisations = 0;
    long long categories = 0;
    long long standardRelations = 0;
    long long members = 0;
    long long relations = 0;
    long long claims = 0;
};

// Fills the register on `db` (its tables already created). When the register
// already holds members the user is told so and nothing is written
// (nullopt). The places come from `postal`; without a postal register the
// demo cannot be made (Error). Shows progress per member.
std::optional<DemoCounts> makeDemoRegister(Ui& ui, data::TDatabase& db, TPostNr& postal,
                                           const DemoOptions& options);

}  // namespace lagrull::demo
