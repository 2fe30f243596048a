#pragma once
// TLogFile: the run's log, written only when the program was started with
// the switch "LOGG". Every line starts with the time since the log was
// started, "[hh:mm:ss:cc] ". The first input/output error ends logging for
// the run, silently.

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace lagrull {

class TLogFile {
public:
    // `directories`: where the file may go, in order of preference; the
    // first in which a test file can be created and deleted is used.
    TLogFile(bool enabled, std::vector<std::string> directories);
    ~TLogFile();
    TLogFile(const TLogFile&) = delete;
    TLogFile& operator=(const TLogFile&) = delete;

    bool enabled() const { return enabled_ && !failed_; }
    // The file the log is (or would be) written to.
    std::string path() const;

    void write(const std::string& text);      // continues the current line
    void writeLine(const std::string& text);  // ends the line
    void clear();                             // starts the file anew

    // "[hh:mm:ss:cc] " for an elapsed time.
    static std::string stamp(std::chrono::milliseconds elapsed);

private:
    void start();
    void put(const std::string& text, bool endLine);

    bool enabled_;
    bool failed_ = false;
    bool atLineStart_ = true;
    std::vector<std::string> directories_;
    mutable std::string path_;
    std::FILE* file_ = nullptr;
    std::chrono::steady_clock::time_point started_;
};

// The log switch: "LOGG" with "/" or "-" or bare, in any letter case.
bool isLogSwitch(const std::string& arg);

// The run's one log, created on first use from the paths fixed at start.
TLogFile& appLog();
void configureAppLog(bool enabled);

}  // namespace lagrull
