#include "common/choice_list.h"

namespace lagrull {

std::string choiceText(std::string_view entry) {
    const std::size_t open = entry.rfind('[');
    if (open == std::string_view::npos || entry.back() != ']') return std::string(entry);
    return std::string(entry.substr(0, open));
}

std::string choiceCode(std::string_view entry) {
    const std::size_t open = entry.rfind('[');
    if (open == std::string_view::npos || entry.back() != ']') return {};
    return std::string(entry.substr(open + 1, entry.size() - open - 2));
}

TChoiceList::TChoiceList(std::initializer_list<std::string_view> entries) {
    for (const auto e : entries) add(e);
}

void TChoiceList::add(std::string_view entry) {
    const std::size_t eq = entry.find('=');
    if (eq != std::string_view::npos &&
        !(entry.back() == ']' && entry.rfind('[') != std::string_view::npos)) {
        entries_.push_back(std::string(entry.substr(0, eq)) + "[" +
                           std::string(entry.substr(eq + 1)) + "]");
    } else {
        entries_.emplace_back(entry);
    }
}

std::string TChoiceList::text(std::size_t i) const { return choiceText(entries_.at(i)); }
std::string TChoiceList::code(std::size_t i) const { return choiceCode(entries_.at(i)); }

std::optional<std::size_t> TChoiceList::indexOfCode(std::string_view code) const {
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (choiceCode(entries_[i]) == code) return i;
    return std::nullopt;
}

std::optional<std::size_t> TChoiceList::indexOfText(std::string_view text) const {
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (choiceText(entries_[i]) == text) return i;
    return std::nullopt;
}

}  // namespace lagrull
