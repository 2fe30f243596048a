#pragma once
// The font table of an RTF document: entries by number with a name index.
// Merging another table (template inserts) finds fonts by name, case
// ignored, and appends unknown ones with the next free number; the returned
// map turns the other table's numbers into this table's.

#include <map>
#include <string>
#include <vector>

#include "template/rtf/rtf_parser.h"

namespace lagrull {

struct TRtfFontInfo {
    int number = 0;
    std::string family = "fnil";  // "fnil", "froman", "fswiss", ...
    int charset = 0;
    int pitch = 0;
    std::string panose;   // the text of a "\*\panose" group
    std::string altName;  // "\*\falt"
    std::string name;     // UTF-8
};

class TFontList {
public:
    // Adds or replaces the entry with `font.number`.
    void add(TRtfFontInfo font);
    const TRtfFontInfo* byNumber(int number) const;
    const TRtfFontInfo* byName(std::string_view name) const;
    const std::vector<TRtfFontInfo>& fonts() const { return fonts_; }
    bool empty() const { return fonts_.empty(); }

    // Appends the fonts of `other` this table lacks; returns other's number
    // -> this table's number for every font of `other`.
    std::map<int, int> merge(const TFontList& other);

    // "{\fonttbl" CR LF, one "{\f..;}" CR LF per entry, "}".
    std::string write() const;

private:
    std::vector<TRtfFontInfo> fonts_;
    std::map<int, std::size_t> byNumber_;
    std::map<std::string, std::size_t> byName_;  // upper-cased name
};

// Reads the rest of a "fonttbl" group into a list. Accepts entries in
// groups of their own and the older form of entries one after another.
class TRtfFontTableReader : public TRtfGroupParser {
public:
    TRtfFontTableReader(TRtfTokenizer& tokens, TFontList& list, CodePage page)
        : TRtfGroupParser(tokens), list_(list), page_(page) {}
    // Reads the rest of the group and its "}".
    void read() {
        run();
        finishEntry();
    }

protected:
    void onText(const TRtfToken& t) override;
    void onWord(const TRtfToken& t) override;
    bool onDestination(const TRtfToken& first, bool ignorable) override;
    void onGroupEnd() override;

private:
    void finishEntry();

    TFontList& list_;
    CodePage page_;
    TRtfFontInfo entry_;
    bool open_ = false;
    std::string name_;
};

// The bytes of an RTF text: Windows-1252 with "\'hh" for bytes beyond ASCII
// and the RTF specials escaped.
std::string rtfEscape(std::string_view utf8);

}  // namespace lagrull
