#include "template/rtf/rtf_color_table.h"

namespace lagrull {

TRtfColor TColorTable::color(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= colors_.size()) return kRtfWhite;
    return colors_[static_cast<std::size_t>(index)];
}

std::map<int, int> TColorTable::merge(const TColorTable& other) {
    std::map<int, int> indices{{0, 0}};
    for (std::size_t i = 1; i < other.colors_.size(); ++i) {
        std::size_t found = 0;
        for (std::size_t j = 1; j < colors_.size() && !found; ++j)
            if (colors_[j] == other.colors_[i]) found = j;
        if (!found) {
            found = colors_.size();
            colors_.push_back(other.colors_[i]);
        }
        indices[static_cast<int>(i)] = static_cast<int>(found);
    }
    return indices;
}

std::string TColorTable::write() const {
    std::string out = "{\\colortbl;\r\n";
    for (std::size_t i = 1; i < colors_.size(); ++i) {
        const TRtfColor c = colors_[i];
        out += "\\red" + std::to_string(redOf(c)) + "\\green" + std::to_string(greenOf(c)) +
               "\\blue" + std::to_string(blueOf(c)) + ";\r\n";
    }
    out += "}";
    return out;
}

void TColorTableParser::read() {
    table_.clear();
    run();
}

void TColorTableParser::onText(const TRtfToken& t) {
    if (t.ch != ';' || t.unicode) return;
    const TRtfColor c = rtfColor(red_, green_, blue_);
    if (first_)
        table_.setAuto(c);
    else
        table_.add(c);
    first_ = false;
    red_ = green_ = blue_ = 0;
}

void TColorTableParser::onWord(const TRtfToken& t) {
    if (t.is("red"))
        red_ = t.paramOr(0);
    else if (t.is("green"))
        green_ = t.paramOr(0);
    else if (t.is("blue"))
        blue_ = t.paramOr(0);
}

}  // namespace lagrull
