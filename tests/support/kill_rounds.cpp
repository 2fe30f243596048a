#include "kill_rounds.h"

#include <fcntl.h>
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

KillRoundsOutcome runCliKillRounds(int rounds, unsigned seed, const std::string& program,
                                   const std::vector<std::string>& args, const std::string& home,
                                   const std::function<bool(int round)>& finished,
                                   const std::function<void()>& restore) {
    // Built before the fork: the child only executes.
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    return runKillRounds(
        rounds, seed,
        [&] {
            const int devNull = open("/dev/null", O_WRONLY);
            dup2(devNull, STDOUT_FILENO);
            dup2(devNull, STDERR_FILENO);
            setenv("HOME", home.c_str(), 1);
            unsetenv("XDG_CONFIG_HOME");
            unsetenv("XDG_DATA_HOME");
            execv(program.c_str(), argv.data());
            _exit(127);
        },
        finished, restore);
}

}  // namespace lagrull::test
