#pragma once
// A choice list: ordered entries, each a text followed by its code in
// square brackets ("Giro[2]"). A choice box shows the texts; its value is
// the code of the chosen entry. In selection windows the entry "ALLE[-1]"
// means no filter.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lagrull {

class TChoiceList {
public:
    TChoiceList() = default;
    TChoiceList(std::initializer_list<std::string_view> entries);

    // "Giro=2" is stored as "Giro[2]"; "Giro[2]" as it is.
    void add(std::string_view entry);
    void clear() { entries_.clear(); }

    std::size_t size() const { return entries_.size(); }
    const std::string& entry(std::size_t i) const { return entries_.at(i); }
    std::string text(std::size_t i) const;
    std::string code(std::size_t i) const;

    // The first entry with this code / this text; nullopt when none.
    std::optional<std::size_t> indexOfCode(std::string_view code) const;
    std::optional<std::size_t> indexOfText(std::string_view text) const;

    // The entry "ALLE" with code -1.
    static constexpr const char* kAll = "ALLE[-1]";

private:
    std::vector<std::string> entries_;
};

// The text and code parts of one entry.
std::string choiceText(std::string_view entry);
std::string choiceCode(std::string_view entry);

}  // namespace lagrull
