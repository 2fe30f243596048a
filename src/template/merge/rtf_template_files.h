#pragma once
// The files a merge run opens: the template and its linked files, found in
// the base, data and program directories, or taken from a zip archive.
//
// Members of an archive are extracted at most once per run into the run's
// own temporary folder, which is deleted with this object. Only plain files
// with relative names inside that folder are extracted: a name with "..",
// an absolute name or a link is refused.

#include <filesystem>
#include <map>
#include <string>

namespace lagrull {

class TRtfTemplateFiles {
public:
    TRtfTemplateFiles() = default;
    ~TRtfTemplateFiles();
    TRtfTemplateFiles(const TRtfTemplateFiles&) = delete;
    TRtfTemplateFiles& operator=(const TRtfTemplateFiles&) = delete;

    void setZipArchive(std::string archive, std::string password);
    void setDirectories(std::string base, std::string data, std::string program);
    const std::string& baseDirectory() const { return base_; }

    // The file's bytes; throws FileError ("Kan ikke åpne filen ...") when it
    // cannot be read and ERtfZipFile when the archive cannot give it.
    std::string read(const std::string& name);
    // The path a name is found at (the name as given when found nowhere).
    std::filesystem::path locate(const std::string& name) const;

private:
    std::filesystem::path extract(const std::string& name);

    std::string zip_, password_;
    std::string base_, data_, program_;
    std::filesystem::path tempDir_;
    std::map<std::string, std::filesystem::path> extracted_;  // upper-cased member name
};

// Reads a file, retrying a busy file up to 50 times 100 ms apart.
std::string readFileRetrying(const std::filesystem::path& path);

}  // namespace lagrull
