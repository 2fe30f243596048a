#pragma once
// The template engine's four logs, written to the working directory when a
// run has logging on: "rtflogA.txt" (text runs and commands),
// "rtflogB.txt" (text written and included text), "rtflogC.txt" (control
// words and included tokens) and "rtflogD.txt" (the steps of a run). The
// steps also go to the program's log.

#include <fstream>
#include <string>

namespace lagrull {

class TRtfExtLogs {
public:
    TRtfExtLogs();  // starts the four files anew
    void commands(const std::string& line) { put(a_, line); }
    void written(const std::string& text) { b_ << text; }
    void words(const std::string& text) { c_ << text; }
    void progress(const std::string& line);

private:
    static void put(std::ofstream& f, const std::string& line) { f << line << "\r\n"; }
    std::ofstream a_, b_, c_, d_;
};

}  // namespace lagrull
