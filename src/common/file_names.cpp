#include "common/file_names.h"

#include <unistd.h>
#include <fstream>
#include <sstream>

#include "common/error.h"
#include "common/text_codec.h"

namespace fs = std::filesystem;

namespace lagrull {

fs::path findFileNoCase(const fs::path& path) {
    std::error_code ec;
    if (fs::exists(path, ec)) return path;
    const fs::path dir = path.has_parent_path() ? path.parent_path() : fs::path(".");
    const std::string wanted = upperCase(path.filename().string());
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        if (upperCase(it->path().filename().string()) == wanted)
            return path.has_parent_path() ? path.parent_path() / it->path().filename()
                                          : it->path().filename();
    }
    return path;
}

bool directoryWritable(const fs::path& directory) {
    std::error_code ec;
    if (!fs::is_directory(directory, ec)) return false;
    const fs::path probe = directory / (".lagrull-probe-" + std::to_string(::getpid()));
    {
        std::ofstream out(probe, std::ios::binary);
        if (!out) return false;
    }
    return fs::remove(probe, ec) && !ec;
}

std::string withTrailingSlash(std::string directory) {
    while (directory.size() > 1 && directory.back() == '/') directory.pop_back();
    if (directory.empty() || directory.back() != '/') directory += '/';
    return directory;
}

std::string readFileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw FileError("Cannot open file " + path.string());
    std::ostringstream s;
    s << in.rdbuf();
    if (in.bad()) throw FileError("Cannot open file " + path.string());
    return s.str();
}

TFileReplacement::TFileReplacement(fs::path path)
    : path_(std::move(path)), temporary_(path_.string() + ".tmp" + std::to_string(::getpid())) {}

TFileReplacement::~TFileReplacement() {
    if (committed_) return;
    std::error_code ec;
    fs::remove(temporary_, ec);
}

void TFileReplacement::commit() {
    std::error_code ec;
    fs::rename(temporary_, path_, ec);
    if (ec) throw FileError("Cannot create file " + path_.string());
    committed_ = true;
}

void writeFileThroughTemporary(const fs::path& path,
                               const std::function<void(std::ostream&)>& write) {
    TFileReplacement file(path);
    {
        std::ofstream out(file.temporary(), std::ios::binary | std::ios::trunc);
        if (!out) throw FileError("Cannot create file " + path.string());
        write(out);
        out.flush();
        out.close();
        if (!out) throw FileError("Cannot create file " + path.string());
    }
    file.commit();
}

void writeFileBytes(const fs::path& path, const std::string& bytes) {
    writeFileThroughTemporary(path, [&bytes](std::ostream& out) {
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    });
}

}  // namespace lagrull
