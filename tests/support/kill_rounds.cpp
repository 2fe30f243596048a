#include "kill_rounds.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

namespace lagrull::test {

KillRoundsOutcome runKillRounds(int rounds, unsigned seed, const std::function<void()>& pass,
                                const std::function<bool(int round)>& finished,
                                const std::function<void()>& restore) {
    KillRoundsOutcome out;
    std::mt19937 random(seed);
    for (int round = 0; round < rounds; ++round) {
        const auto started = std::chrono::steady_clock::now();
        const pid_t child = fork();
        EXPECT_GE(child, 0);
        if (child < 0) return out;
        if (child == 0) {
            pass();
            _exit(0);
        }
        int status = 0;
        if (round == 0) {
            waitpid(child, &status, 0);
            out.runMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - started)
                            .count();
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        } else {
            std::this_thread::sleep_for(
                std::chrono::milliseconds(random() % (out.runMs + out.runMs / 4 + 1)));
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
        }
        if (finished(round)) {
            ++out.finished;
            restore();
        } else {
            ++out.unfinished;
        }
    }
    return out;
}

}  // namespace lagrull::test
