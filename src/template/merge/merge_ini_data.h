#pragma once
// TIniFileData: a merge ini file ("brev.ini") as merge data, with the
// ordered list of sections that field look-up searches.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/ini.h"

namespace lagrull {

class TIniFileData {
public:
    // Opens the file read-only; the search list holds every section in file
    // order. Throws ERtfField with the reason when it cannot be opened.
    explicit TIniFileData(const std::string& path);

    // "Section.key" names a section and key; otherwise the sections of the
    // search list are tried in order.
    std::optional<std::string> find(const std::string& name) const;

    // The parameter of "@INISECTIONS": parts split at ";", else "\", else
    // line breaks; "[" and "]" removed; "*" is every section in file order.
    void setSections(const std::string& list);

    const std::vector<std::string>& searchList() const { return search_; }
    void restoreSearchList(std::vector<std::string> list) { search_ = std::move(list); }

private:
    std::optional<std::string> read(const std::string& section, const std::string& key) const;

    mutable std::unique_ptr<TOrvIni> ini_;
    std::vector<std::string> sections_;  // in file order
    std::vector<std::string> search_;
};

}  // namespace lagrull
