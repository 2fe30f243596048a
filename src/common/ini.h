#pragma once
// TOrvIni: the ini engine of every settings file.
//
// Invariants:
// - Files are shared by path: every TOrvIni on one path works on one loaded
//   copy, so a value written through one is seen at once through another.
// - The file on disk changes only when its last user closes it, and only
//   when something was written; an unchanged file is never rewritten.
// - Each object closes itself on destruction; closing twice is harmless.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lagrull {

namespace ini {
struct Document;
}

enum class IniMode { Read, Write };

class TOrvIni {
public:
    // Read requires the file to exist ("Cannot open file %s"); Write creates
    // a missing file ("Cannot create file %s"). Both throw FileError. The
    // object starts on the file's first section.
    TOrvIni(const std::filesystem::path& path, IniMode mode);
    ~TOrvIni();
    TOrvIni(const TOrvIni&) = delete;
    TOrvIni& operator=(const TOrvIni&) = delete;

    void close();

    bool findSection(const std::string& name);
    void useSection(const std::string& name);
    bool firstSection();
    bool nextSection();
    std::string sectionName() const;

    std::optional<std::string> readText(const std::string& key) const;
    // The current section's keys (as written) with their values, in file order.
    std::vector<std::pair<std::string, std::string>> entries() const;
    std::optional<long long> readInteger(const std::string& key) const;
    std::optional<double> readDecimal(const std::string& key) const;
    std::optional<bool> readBool(const std::string& key) const;  // nullopt: neither true nor false
    bool readBool(const std::string& key, bool defaultValue) const;
    long long readInteger(const std::string& key, long long defaultValue) const;
    std::string readText(const std::string& key, const std::string& defaultValue) const;

    void writeText(const std::string& key, const std::string& value);
    void writeInteger(const std::string& key, long long value);
    void writeDecimal(const std::string& key, double value);
    void writeBool(const std::string& key, bool value);

    // Opens for reading; not found on any error.
    static std::optional<std::string> readValue(const std::filesystem::path& file,
                                                const std::string& section, const std::string& key);
    // Opens for writing, uses the section, writes, closes; false on failure.
    static bool writeValue(const std::filesystem::path& file, const std::string& section,
                           const std::string& key, const std::string& value);

    // Number of files loaded now (for tests of the sharing).
    static std::size_t loadedFiles();

    struct Shared;

private:
    std::shared_ptr<Shared> file_;
    std::size_t section_ = 0;
};

}  // namespace lagrull
