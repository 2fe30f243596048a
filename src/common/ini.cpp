#include "common/ini.h"

#include <cerrno>
#include <chrono>
#include <fstream>
#include <map>
#include <thread>

#include "common/error.h"
#include "common/file_names.h"
#include "common/ini_format.h"

namespace fs = std::filesystem;

namespace lagrull {

struct TOrvIni::Shared {
    fs::path path;
    ini::Document doc;
    int users = 0;
    bool changed = false;
    bool createdEmpty = false;  // made by the opening, nothing saved in it yet
};

namespace {

// The loaded files, keyed by their normalised path.
std::map<std::string, std::shared_ptr<TOrvIni::Shared>>& openFiles() {
    static std::map<std::string, std::shared_ptr<TOrvIni::Shared>> files;
    return files;
}

std::string fileKey(const fs::path& path) {
    std::error_code ec;
    fs::path abs = fs::absolute(path, ec);
    if (ec) abs = path;
    return abs.lexically_normal().string();
}

// Reads the file, waiting for another process that holds it busy: 100 ms
// between attempts, 50 more attempts at most.
std::string loadBytes(const fs::path& path) {
    for (int attempt = 0;; ++attempt) {
        std::ifstream in(path, std::ios::binary);
        if (in) {
            std::string bytes((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
            if (!in.bad()) return bytes;
        }
        const bool busy = errno == EBUSY || errno == ETXTBSY || errno == EAGAIN;
        if (!busy || attempt >= 50) throw FileError("Cannot open file " + path.string());
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

void release(const std::shared_ptr<TOrvIni::Shared>& file) {
    auto& files = openFiles();
    const auto it = files.find(fileKey(file->path));
    if (it == files.end() || it->second != file || file->users <= 0)
        throw FatalError("Error", "Unbalanced inifile open/close");
    if (--file->users > 0) return;
    files.erase(it);
    if (!file->changed) return;
    try {
        writeFileBytes(file->path, ini::serialise(file->doc));
    } catch (const FileError&) {
        // The empty file the opening made holds nothing worth keeping; left
        // behind it would read as settings that were saved.
        std::error_code ec;
        if (file->createdEmpty && fs::file_size(file->path, ec) == 0 && !ec)
            fs::remove(file->path, ec);
        throw;
    }
}

std::size_t findSectionIndex(const ini::Document& doc, const std::string& name) {
    const std::string wanted = ini::normaliseName(name);
    for (std::size_t i = 0; i < doc.sections.size(); ++i)
        if (doc.sections[i].named && ini::normaliseName(doc.sections[i].name) == wanted) return i;
    return doc.sections.size();
}

}  // namespace

TOrvIni::TOrvIni(const fs::path& requested, IniMode mode) {
    const fs::path path = findFileNoCase(requested);
    auto& files = openFiles();
    const std::string key = fileKey(path);
    if (auto it = files.find(key); it != files.end()) {
        file_ = it->second;
    } else {
        auto shared = std::make_shared<Shared>();
        shared->path = path;
        std::error_code ec;
        if (fs::exists(path, ec)) {
            shared->doc = ini::parse(loadBytes(path));
        } else if (mode == IniMode::Read) {
            throw FileError("Cannot open file " + path.string());
        } else {
            std::ofstream create(path, std::ios::binary);
            if (!create) throw FileError("Cannot create file " + path.string());
            shared->createdEmpty = true;
            shared->doc.sections.push_back(ini::Section{"", {}, false});
        }
        files.emplace(key, shared);
        file_ = std::move(shared);
    }
    ++file_->users;
    section_ = 0;
}

TOrvIni::~TOrvIni() {
    try {
        close();
    } catch (...) {
        // A save that fails while unwinding cannot be reported here; close()
        // called in the normal flow reports it.
    }
}

void TOrvIni::close() {
    if (!file_) return;
    auto file = std::move(file_);
    file_.reset();
    release(file);
}

bool TOrvIni::findSection(const std::string& name) {
    const std::size_t i = findSectionIndex(file_->doc, name);
    if (i == file_->doc.sections.size()) return false;
    section_ = i;
    return true;
}

void TOrvIni::useSection(const std::string& name) {
    if (findSection(name)) return;
    file_->doc.sections.push_back(ini::Section{name, {}, true});
    section_ = file_->doc.sections.size() - 1;
    file_->changed = true;
}

bool TOrvIni::firstSection() {
    section_ = 0;
    return !file_->doc.sections.empty();
}

bool TOrvIni::nextSection() {
    if (section_ + 1 >= file_->doc.sections.size()) return false;
    ++section_;
    return true;
}

std::string TOrvIni::sectionName() const { return file_->doc.sections[section_].name; }

std::optional<std::string> TOrvIni::readText(const std::string& key) const {
    const std::string wanted = ini::normaliseName(key);
    for (const std::string& line : file_->doc.sections[section_].lines) {
        const auto k = ini::keyOf(line);
        if (k && *k == wanted) return ini::decodeValue(ini::valueOf(line));
    }
    return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> TOrvIni::entries() const {
    std::vector<std::pair<std::string, std::string>> out;
    for (const std::string& line : file_->doc.sections[section_].lines) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos || !ini::keyOf(line)) continue;
        std::string key = line.substr(0, eq);
        while (!key.empty() && key.back() == ' ') key.pop_back();
        out.emplace_back(std::move(key), ini::decodeValue(ini::valueOf(line)));
    }
    return out;
}

std::optional<long long> TOrvIni::readInteger(const std::string& key) const {
    const auto text = readText(key);
    return text ? ini::parseInteger(*text) : std::nullopt;
}

std::optional<double> TOrvIni::readDecimal(const std::string& key) const {
    const auto text = readText(key);
    return text ? ini::parseDecimal(*text) : std::nullopt;
}

std::optional<bool> TOrvIni::readBool(const std::string& key) const {
    const auto text = readText(key);
    return text ? ini::parseBool(*text) : std::nullopt;
}

bool TOrvIni::readBool(const std::string& key, bool defaultValue) const {
    return readBool(key).value_or(defaultValue);
}

long long TOrvIni::readInteger(const std::string& key, long long defaultValue) const {
    return readInteger(key).value_or(defaultValue);
}

std::string TOrvIni::readText(const std::string& key, const std::string& defaultValue) const {
    return readText(key).value_or(defaultValue);
}

void TOrvIni::writeText(const std::string& key, const std::string& value) {
    auto& lines = file_->doc.sections[section_].lines;
    const std::string wanted = ini::normaliseName(key);
    const std::string stored = ini::encodeValue(value);
    file_->changed = true;
    for (std::string& line : lines) {
        const auto k = ini::keyOf(line);
        if (k && *k == wanted) {
            line.replace(line.find('=') + 1, std::string::npos, stored);
            return;
        }
    }
    // A new key goes after the section's last line of text.
    std::size_t at = lines.size();
    while (at > 0 && lines[at - 1].find_first_not_of(" \t") == std::string::npos) --at;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), key + "=" + stored);
}

void TOrvIni::writeInteger(const std::string& key, long long value) {
    writeText(key, std::to_string(value));
}

void TOrvIni::writeDecimal(const std::string& key, double value) {
    writeText(key, ini::formatDecimal(value));
}

void TOrvIni::writeBool(const std::string& key, bool value) {
    writeText(key, ini::formatBool(value));
}

std::optional<std::string> TOrvIni::readValue(const fs::path& file, const std::string& section,
                                              const std::string& key) {
    try {
        TOrvIni ini(file, IniMode::Read);
        if (!ini.findSection(section)) return std::nullopt;
        return ini.readText(key);
    } catch (const Error&) {
        return std::nullopt;
    }
}

bool TOrvIni::writeValue(const fs::path& file, const std::string& section, const std::string& key,
                         const std::string& value) {
    try {
        TOrvIni ini(file, IniMode::Write);
        ini.useSection(section);
        ini.writeText(key, value);
        ini.close();
        return true;
    } catch (const FatalError&) {
        throw;
    } catch (const Error&) {
        return false;
    }
}

std::size_t TOrvIni::loadedFiles() { return openFiles().size(); }

}  // namespace lagrull
