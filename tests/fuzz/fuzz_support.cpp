#include "fuzz_support.h"

#include <fstream>
#include <system_error>

#include <unistd.h>

namespace lagrull::fuzz {

namespace {

// Memory-backed where the system has it: a file rewritten millions of
// times on a disk costs more than the reader it feeds.
std::filesystem::path scratchBase() {
    std::error_code ec;
    if (std::filesystem::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0)
        return "/dev/shm";
    return std::filesystem::temp_directory_path();
}

class ScratchDirectory {
public:
    ScratchDirectory() : path_(scratchBase() / ("lagrull-fuzz-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(path_);
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

}  // namespace

const std::filesystem::path& scratchDirectory() {
    static const ScratchDirectory directory;
    return directory.path();
}

std::filesystem::path writeScratchFile(const std::string& name, std::string_view bytes) {
    auto path = scratchDirectory() / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::pair<std::string_view, std::string_view> splitInput(std::string_view input) {
    const auto at = input.find(kPartSeparator);
    if (at == std::string_view::npos) return {input, {}};
    return {input.substr(0, at), input.substr(at + kPartSeparator.size())};
}

}  // namespace lagrull::fuzz
