#pragma once
// Kill tests of bulk passes: the pass runs in a forked process, first to
// its end (which times it), then killed with SIGKILL at random moments up to
// a little past that time. After each round the test looks at what the
// register holds. The pass is a function of the test run in the forked
// child, or a lagrul-cli command the child turns into.

#include <functional>
#include <string>
#include <vector>

namespace lagrull::test {

struct KillRoundsOutcome {
    long long runMs = 0;  // the first, whole run
    int finished = 0;     // rounds whose pass had committed when it was killed
    int unfinished = 0;   // rounds whose pass left the register as before
};

// `pass` runs in the child (which then ends); `finished` looks at the
// register after a round and tells whether the pass had committed (it must
// fail the test itself when the register is neither before nor after);
// `restore` puts the register back before the next round after a
// committed pass. The first round must finish.
KillRoundsOutcome runKillRounds(int rounds, unsigned seed, const std::function<void()>& pass,
                                const std::function<bool(int round)>& finished,
                                const std::function<void()>& restore);

// The same with lagrul-cli as the pass: the child executes `program` with
// `args` (its output to /dev/null, HOME set to `home` so that its per-user
// settings and log stay in the test's directory).
KillRoundsOutcome runCliKillRounds(int rounds, unsigned seed, const std::string& program,
                                   const std::vector<std::string>& args, const std::string& home,
                                   const std::function<bool(int round)>& finished,
                                   const std::function<void()>& restore);

}  // namespace lagrull::test
