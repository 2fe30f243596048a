#include "common/log.h"

#include <ctime>
#include <optional>

#include "common/app_paths.h"
#include "common/file_names.h"
#include "common/text_codec.h"

namespace lagrull {

TLogFile::TLogFile(bool enabled, std::vector<std::string> directories)
    : enabled_(enabled), directories_(std::move(directories)) {}

TLogFile::~TLogFile() {
    if (file_) std::fclose(file_);
}

std::string TLogFile::path() const {
    if (path_.empty()) {
        std::string chosen = "./";
        for (const auto& d : directories_) {
            if (!d.empty() && directoryWritable(d)) {
                chosen = withTrailingSlash(d);
                break;
            }
        }
        path_ = chosen + kBaseName + ".log";
    }
    return path_;
}

std::string TLogFile::stamp(std::chrono::milliseconds elapsed) {
    const long long cs = elapsed.count() / 10;
    char buf[48];
    std::snprintf(buf, sizeof buf, "[%02lld:%02lld:%02lld:%02lld] ", cs / 360000, cs / 6000 % 60,
                  cs / 100 % 60, cs % 100);
    return buf;
}

void TLogFile::start() {
    if (file_) std::fclose(file_);
    file_ = std::fopen(path().c_str(), "wb");
    if (!file_) {
        failed_ = true;
        return;
    }
    started_ = std::chrono::steady_clock::now();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char when[32];
    std::strftime(when, sizeof when, "%d.%m.%Y %H:%M:%S", &local);
    atLineStart_ = true;
    const std::string line = std::string("StartTime ") + when + "\r\n";
    if (std::fputs(line.c_str(), file_) < 0 || std::fflush(file_) != 0) failed_ = true;
}

void TLogFile::put(const std::string& text, bool endLine) {
    if (!enabled()) return;
    if (!file_) {
        start();
        if (failed_) return;
    }
    std::string out;
    if (atLineStart_) {
        out = stamp(std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - started_));
    }
    out += text;
    if (endLine) out += "\r\n";
    atLineStart_ = endLine;
    if (std::fwrite(out.data(), 1, out.size(), file_) != out.size() || std::fflush(file_) != 0)
        failed_ = true;
}

void TLogFile::write(const std::string& text) { put(text, false); }
void TLogFile::writeLine(const std::string& text) { put(text, true); }

void TLogFile::clear() {
    if (enabled()) start();
}

bool isLogSwitch(const std::string& arg) {
    std::string a = upperCase(arg);
    if (!a.empty() && (a.front() == '/' || a.front() == '-')) a.erase(0, 1);
    return a == "LOGG";
}

namespace {
std::optional<TLogFile>& logInstance() {
    static std::optional<TLogFile> log;
    return log;
}
bool& logEnabled() {
    static bool enabled = false;
    return enabled;
}
}  // namespace

void configureAppLog(bool enabled) {
    logEnabled() = enabled;
    logInstance().reset();
}

TLogFile& appLog() {
    auto& log = logInstance();
    if (!log) {
        std::vector<std::string> dirs;
        try {
            const AppPaths& p = appPaths();
            dirs = {p.appDataDirectory, p.documentsDirectory, p.tempDirectory};
        } catch (...) {
            // Paths not fixed yet: only the current directory is left.
        }
        log.emplace(logEnabled(), dirs);
    }
    return *log;
}

}  // namespace lagrull
