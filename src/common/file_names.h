#pragma once
// File names the register itself names ("brev.ini", "Brev.RTF", settings
// files) come from a case-insensitive world: such a file is found in its
// directory whatever the letter case of its name there.

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <string>

namespace lagrull {

// `path` itself when it exists; else an entry of its directory whose name
// equals its file name without regard to case; else `path` unchanged.
std::filesystem::path findFileNoCase(const std::filesystem::path& path);

// True when a test file can be created and deleted in `directory`.
bool directoryWritable(const std::filesystem::path& directory);

// A directory text with exactly one trailing "/".
std::string withTrailingSlash(std::string directory);

// A file made under a temporary name beside its final one and put in place
// by commit(): a writer that fails halfway (a full disk, a directory gone)
// leaves no part of a file under the final name, and an earlier file there
// stays as it was. Without commit() the temporary is removed.
class TFileReplacement {
public:
    explicit TFileReplacement(std::filesystem::path path);
    ~TFileReplacement();
    TFileReplacement(const TFileReplacement&) = delete;
    TFileReplacement& operator=(const TFileReplacement&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Where the writer writes.
    const std::filesystem::path& temporary() const { return temporary_; }
    // Moves the written temporary to the final name; throws FileError
    // "Cannot create file %s".
    void commit();

private:
    std::filesystem::path path_;
    std::filesystem::path temporary_;
    bool committed_ = false;
};

// Reads a whole file as bytes; throws FileError "Cannot open file %s".
std::string readFileBytes(const std::filesystem::path& path);
// Writes a whole file through a temporary beside it, so that a failed write
// never leaves half a file; throws FileError "Cannot create file %s".
void writeFileBytes(const std::filesystem::path& path, const std::string& bytes);
// The same with the content written by `write` into the temporary's stream:
// a stream that fails (or an exception from `write`) removes the temporary
// and leaves an earlier file at `path` as it was.
void writeFileThroughTemporary(const std::filesystem::path& path,
                               const std::function<void(std::ostream&)>& write);

}  // namespace lagrull
