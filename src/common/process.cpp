#include "common/process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace lagrull {

bool startDetached(const std::string& program, const std::vector<std::string>& args) {
    if (access(program.c_str(), X_OK) != 0) return false;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    // The exec failure of the grandchild comes back through a pipe that
    // closes by itself when the exec succeeds.
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) return false;
    const pid_t child = fork();
    if (child < 0) {
        close(report[0]);
        close(report[1]);
        return false;
    }
    if (child == 0) {
        // The middle process ends at once, so the program is adopted by init
        // and never becomes a zombie of ours.
        setsid();
        if (fork() == 0) {
            execv(program.c_str(), argv.data());
            const int error = errno;
            (void)!write(report[1], &error, sizeof error);
            _exit(127);
        }
        _exit(0);
    }
    close(report[1]);
    int status = 0;
    waitpid(child, &status, 0);
    int error = 0;
    ssize_t got;
    do {
        got = read(report[0], &error, sizeof error);
    } while (got < 0 && errno == EINTR);
    close(report[0]);
    return got == 0;
}

}  // namespace lagrull
