#pragma once
// Walks an operation on the register through injected faults: n = 1, 2, 3 …
// the n-th write (sync, read, truncation) fails, until the operation runs
// through without striking a fault. After each fault the register must open
// again on the ordinary file layer, pass the engine's integrity check and
// hold the state before the operation or the state after it; when it holds
// the state before, the user must have been told so in Norwegian (a message
// box or the text of the error the operation ended with).
//
// A step-by-step operation (the start-up, which creates and upgrades one
// table after the other, each in a transaction of its own) is judged table
// by table: each table before or after, and a second, undisturbed run
// brings the whole register to the state after.

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "fault_vfs.h"

namespace lagrull {
class Ui;
}

namespace lagrull::test {

// Table name → its definition and its rows, sorted.
using RegisterDigest = std::map<std::string, std::string>;

// The register in `directory` opened on the ordinary layer: "ok" or what the
// integrity check found.
std::string integrityOf(const std::filesystem::path& directory);
RegisterDigest digestOf(const std::filesystem::path& directory);

// Whether a text tells the user something in Norwegian (not only the
// engine's English text).
bool isNorwegian(const std::string& text);

enum class FaultJudging { Whole, TableByTable };

struct FaultWalkCase {
    // Writes the register the operation starts from into an empty directory.
    std::function<void(const std::filesystem::path&)> prepare;
    // The operation; it reports to the user through `ui` or throws.
    std::function<void(const std::filesystem::path&, Ui& ui)> operation;
    FaultJudging judging = FaultJudging::Whole;
    // Work tables whose rows mean nothing between two runs of a function
    // (the member import's staging, emptied before each import): not judged.
    std::vector<std::string> scratch = {};
    // Looks at what the operation left outside the register after each
    // fault (a file written or not), told whether the register holds the
    // state after.
    std::function<void(const std::filesystem::path&, bool after)> check = {};
};

struct FaultWalkOutcome {
    int points = 0;                     // faults injected (walk steps that struck)
    int before = 0;                     // of those, the register held the state before
    int after = 0;                      // … the state after
    int calls = 0;                      // calls of the operation kind in an undisturbed run
    std::vector<std::string> messages;  // one of the texts the user got, per distinct text
};

// Walks every n up to the calls of an undisturbed run (every `stride`-th
// past the first `dense` ones); fails the current test on any breach.
FaultWalkOutcome walkFaults(const FaultWalkCase& c, FaultOp op, FaultKind kind,
                            FaultSpan span = FaultSpan::Lasting, int dense = 400, int stride = 25);

struct FaultPlan {
    FaultOp op;
    FaultKind kind;
    FaultSpan span = FaultSpan::Lasting;
};
// Writes failing (I/O error, full disk), syncs and reads failing.
const std::vector<FaultPlan>& everyFault();

// Walks `c` through each plan; prints the points walked per plan under
// `name` and records them as properties of the current test. The distinct
// texts the user got.
std::vector<std::string> walkFaultPlans(const std::string& name, const FaultWalkCase& c,
                                        const std::vector<FaultPlan>& plans = everyFault());

}  // namespace lagrull::test
