#pragma once
// A directory on a disk that fills up: a small memory file system mounted
// for the test (root only; elsewhere unavailable() says why) and filled by
// fill(), so that files written there fail as on a full disk. Unmounted at
// the end.

#include <filesystem>
#include <string>
#include <vector>

#include "temp_dir.h"

namespace lagrull::test {

class FullDisk {
public:
    FullDisk();
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    // Why there is no such disk; empty when there is.
    const std::string& unavailable() const { return unavailable_; }
    const std::filesystem::path& path() const { return mount_.path(); }
    // Takes the last free byte.
    void fill();

private:
    TempDir mount_;
    bool mounted_ = false;
    std::string unavailable_;
};

// The files in `directory` whose names start with `stem` (a final name and
// any temporary left beside it).
std::vector<std::string> filesNamed(const std::filesystem::path& directory,
                                    const std::string& stem);

}  // namespace lagrull::test
