#pragma once
// A fresh directory for one test, removed with everything in it at the end.

#include <filesystem>
#include <string>

namespace lagrull::test {

class TempDir {
public:
    TempDir();
    // Under `base` instead of the system's temporary directory.
    explicit TempDir(const std::filesystem::path& base);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    // Writes `content` as the bytes of `name` in this directory.
    std::filesystem::path write(const std::string& name, const std::string& content) const;
    std::string read(const std::string& name) const;

private:
    std::filesystem::path path_;
};

// tests/data: the LAGRULL_TESTDATA environment variable, else the source
// tree's own tests/data.
std::filesystem::path testData();

}  // namespace lagrull::test
