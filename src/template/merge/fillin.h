#pragma once
// FILLIN fields: the values a user types when a document is printed.
//
// The document is read twice. The first reading lists every FILLIN field in
// document order (TFillinRec); one prompt asks for all of them at once; the
// second reading puts each answer in place of its field. Answers of entries
// with a key ("\k") become values for field look-up instead, and their
// fields become empty.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace lagrull {

struct TFillinRec {
    std::string prompt;
    std::string defaultText;  // "\d", else the value of the field named by "\k"
    std::string key;          // "\k"
    int lines = 1;            // "\l"
    bool wordWrap = false;    // "\w"
    bool paragraph = false;   // "\n"
    bool checkBox = false;    // "\x" or "\y"
    bool checked = false;     // "\y"
    std::string text;         // the answer; starts as the default text
};

// Asks for every entry at once (the FILLIN window, or the console). Returns
// false when the user closes the prompt without "OK": printing stops.
class TFillInPrompter {
public:
    virtual ~TFillInPrompter() = default;
    virtual bool ask(const std::string& title, std::vector<TFillinRec>& entries) = 0;
};

// The first reading. `lookup` gives the value of a field name for "\k".
std::vector<TFillinRec> readFillins(
    const std::string& rtf, const std::function<std::string(const std::string&)>& lookup = {});

// The second reading: each FILLIN field, in order, shows its entry's text.
std::string applyFillins(const std::string& rtf, const std::vector<TFillinRec>& entries);

struct TFillinResult {
    std::string rtf;
    std::map<std::string, std::string> keyed;  // key -> answer
};

// Both readings with one prompt between them; nullopt when the prompt was
// cancelled. A document without FILLIN fields is returned as it is.
std::optional<TFillinResult> promptFillins(const std::string& rtf, const std::string& title,
                                           TFillInPrompter& prompter);

}  // namespace lagrull
