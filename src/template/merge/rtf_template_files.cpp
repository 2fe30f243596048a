#include "template/merge/rtf_template_files.h"

#include <zip.h>

#include <sys/stat.h>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <thread>

#include "common/error.h"
#include "common/file_names.h"
#include "common/text_codec.h"
#include "template/merge/rtf_ext_errors.h"

namespace lagrull {

namespace fs = std::filesystem;

namespace {

struct ZipCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};
struct ZipFileCloser {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};

bool safeMemberName(const std::string& name) {
    if (name.empty() || name.front() == '/' || name.front() == '\\' ||
        name.find(':') != std::string::npos)
        return false;
    std::string part;
    for (char c : name + "/") {
        if (c == '/' || c == '\\') {
            if (part == "..") return false;
            part.clear();
        } else {
            part.push_back(c);
        }
    }
    return true;
}

}  // namespace

TRtfTemplateFiles::~TRtfTemplateFiles() {
    if (tempDir_.empty()) return;
    std::error_code ec;
    fs::remove_all(tempDir_, ec);
}

void TRtfTemplateFiles::setZipArchive(std::string archive, std::string password) {
    zip_ = std::move(archive);
    password_ = std::move(password);
}

void TRtfTemplateFiles::setDirectories(std::string base, std::string data, std::string program) {
    base_ = std::move(base);
    data_ = std::move(data);
    program_ = std::move(program);
}

fs::path TRtfTemplateFiles::locate(const std::string& name) const {
    std::error_code ec;
    if (fs::is_regular_file(name, ec)) return name;
    const fs::path leaf = fs::path(name).is_absolute() ? fs::path(name).filename() : fs::path(name);
    for (const std::string& dir : {base_, data_, program_}) {
        if (dir.empty()) continue;
        fs::path found = findFileNoCase(fs::path(dir) / leaf);
        if (fs::is_regular_file(found, ec)) return found;
    }
    return name;
}

std::string TRtfTemplateFiles::read(const std::string& name) {
    if (!zip_.empty()) return readFileRetrying(extract(name));
    return readFileRetrying(locate(name));
}

fs::path TRtfTemplateFiles::extract(const std::string& name) {
    const std::string member = fs::path(name).filename().string();
    const std::string key = upperCase(member);
    if (auto it = extracted_.find(key); it != extracted_.end()) return it->second;
    const auto fail = [&] { return ERtfZipFile("Unzip error (file: " + member + ")"); };
    if (member.empty() || member == "." || member == "..") throw fail();

    int error = 0;
    std::unique_ptr<zip_t, ZipCloser> archive(
        zip_open(locate(zip_).string().c_str(), ZIP_RDONLY, &error));
    if (!archive) throw fail();
    const zip_int64_t index =
        zip_name_locate(archive.get(), member.c_str(), ZIP_FL_NOCASE | ZIP_FL_NODIR);
    if (index < 0) throw fail();
    const char* stored = zip_get_name(archive.get(), static_cast<zip_uint64_t>(index), 0);
    if (!stored || !safeMemberName(stored)) throw fail();
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(archive.get(), static_cast<zip_uint64_t>(index), 0,
                                         &system, &attributes) == 0 &&
        system == ZIP_OPSYS_UNIX && S_ISLNK(attributes >> 16))
        throw fail();

    // Without the password first, then with it.
    std::unique_ptr<zip_file_t, ZipFileCloser> file(
        zip_fopen_index(archive.get(), static_cast<zip_uint64_t>(index), 0));
    if (!file && !password_.empty())
        file.reset(zip_fopen_index_encrypted(archive.get(), static_cast<zip_uint64_t>(index), 0,
                                             password_.c_str()));
    if (!file) throw fail();
    std::string bytes;
    char buffer[16384];
    for (;;) {
        const zip_int64_t n = zip_fread(file.get(), buffer, sizeof buffer);
        if (n < 0) throw fail();
        if (n == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }

    if (tempDir_.empty()) {
        std::random_device rd;
        for (int attempt = 0; attempt < 100 && tempDir_.empty(); ++attempt) {
            const fs::path dir =
                fs::temp_directory_path() / ("lagrull-flett-" + std::to_string(rd()));
            std::error_code ec;
            if (fs::create_directory(dir, ec)) tempDir_ = dir;
        }
        if (tempDir_.empty()) throw fail();
    }
    fs::path target = tempDir_ / member;
    writeFileBytes(target, bytes);
    extracted_[key] = target;
    return target;
}

std::string readFileRetrying(const fs::path& path) {
    for (int attempt = 0;; ++attempt) {
        std::ifstream in(path, std::ios::binary);
        if (in) {
            std::ostringstream s;
            s << in.rdbuf();
            return s.str();
        }
        const bool busy = errno == EBUSY || errno == ETXTBSY;
        if (!busy || attempt >= 49) throw FileError("Kan ikke åpne filen " + path.string());
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

}  // namespace lagrull
