#pragma once
// The colour table of an RTF document. Entry 0 is the "auto" colour (the
// table's leading ";"); a colour index outside the table is white.
// Colours are held as 0xRRGGBB.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "template/rtf/rtf_parser.h"

namespace lagrull {

using TRtfColor = std::uint32_t;  // 0xRRGGBB
constexpr TRtfColor kRtfWhite = 0xFFFFFF;

constexpr TRtfColor rtfColor(int red, int green, int blue) {
    return (static_cast<TRtfColor>(red & 0xFF) << 16) |
           (static_cast<TRtfColor>(green & 0xFF) << 8) | static_cast<TRtfColor>(blue & 0xFF);
}
constexpr int redOf(TRtfColor c) { return static_cast<int>((c >> 16) & 0xFF); }
constexpr int greenOf(TRtfColor c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int blueOf(TRtfColor c) { return static_cast<int>(c & 0xFF); }

class TColorTable {
public:
    TColorTable() : colors_{0} {}  // only the auto entry

    TRtfColor color(int index) const;
    std::size_t size() const { return colors_.size(); }
    const std::vector<TRtfColor>& colors() const { return colors_; }
    void clear() { colors_.assign(1, 0); }
    void setAuto(TRtfColor c) { colors_[0] = c; }
    void add(TRtfColor c) { colors_.push_back(c); }

    // Appends the colours of `other` this table lacks (found by value);
    // returns other's index -> this table's index. Entry 0 stays 0.
    std::map<int, int> merge(const TColorTable& other);

    // "{\colortbl;" CR LF, "\redR\greenG\blueB;" CR LF per entry after the
    // first, "}".
    std::string write() const;

private:
    std::vector<TRtfColor> colors_;
};

// Reads the rest of a "colortbl" group: each entry collects "red", "green"
// and "blue" up to ";".
class TColorTableParser : public TRtfGroupParser {
public:
    TColorTableParser(TRtfTokenizer& tokens, TColorTable& table)
        : TRtfGroupParser(tokens), table_(table) {}
    void read();

protected:
    void onText(const TRtfToken& t) override;
    void onWord(const TRtfToken& t) override;

private:
    TColorTable& table_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool first_ = true;
};

}  // namespace lagrull
