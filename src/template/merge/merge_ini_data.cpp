#include "template/merge/merge_ini_data.h"

#include <algorithm>

#include "common/text_codec.h"
#include "template/merge/rtf_ext_errors.h"
#include "template/rtf/rtf_parser.h"

namespace lagrull {

TIniFileData::TIniFileData(const std::string& path) {
    try {
        ini_ = std::make_unique<TOrvIni>(path, IniMode::Read);
    } catch (const std::exception&) {
        throw ERtfField("Kan ikke åpne flettedatafilen " + path);
    }
    for (bool more = ini_->firstSection(); more; more = ini_->nextSection())
        sections_.push_back(ini_->sectionName());
    search_ = sections_;
}

std::optional<std::string> TIniFileData::read(const std::string& section,
                                              const std::string& key) const {
    if (!ini_->findSection(section)) return std::nullopt;
    return ini_->readText(key);
}

std::optional<std::string> TIniFileData::find(const std::string& name) const {
    const std::size_t dot = name.find('.');
    if (dot != std::string::npos) {
        const std::string section = name.substr(0, dot);
        std::string key = name.substr(dot + 1);
        key = key.substr(0, key.find('.'));
        if (auto v = read(section, key)) return v;
    }
    for (const std::string& section : search_)
        if (auto v = read(section, name)) return v;
    return std::nullopt;
}

void TIniFileData::setSections(const std::string& list) {
    char sep = '\n';
    if (list.find(';') != std::string::npos)
        sep = ';';
    else if (list.find('\\') != std::string::npos)
        sep = '\\';
    std::vector<std::string> parts;
    std::string part;
    for (char c : list + sep) {
        if (c == sep || (sep == '\n' && c == '\r')) {
            parts.push_back(part);
            part.clear();
        } else if (c != '[' && c != ']') {
            part.push_back(c);
        }
    }
    // The k-th name given takes place k when it is listed further down, so
    // the names given come first in the order given.
    std::size_t place = 0;
    for (std::string& p : parts) {
        p = trimBlanks(p);
        if (p.empty()) continue;
        if (p == "*") {
            search_ = sections_;
            place = 0;
            continue;
        }
        auto same = [&](const std::string& s) { return upperCase(s) == upperCase(p); };
        auto it = std::find_if(search_.begin(), search_.end(), same);
        if (it == search_.end()) {
            search_.push_back(p);
            continue;
        }
        const auto at = static_cast<std::size_t>(it - search_.begin());
        if (at > place) std::rotate(search_.begin() + static_cast<long>(place), it, it + 1);
        ++place;
    }
}

}  // namespace lagrull
