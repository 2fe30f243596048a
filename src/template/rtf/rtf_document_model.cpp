#include "template/rtf/rtf_document_model.h"

#include <algorithm>

namespace lagrull {

void TTabs::add(TTabStop stop) {
    auto it = std::lower_bound(stops_.begin(), stops_.end(), stop.position,
                               [](const TTabStop& s, int pos) { return s.position < pos; });
    if (it != stops_.end() && it->position == stop.position)
        *it = stop;
    else
        stops_.insert(it, stop);
}

const TTabStop* TTabs::after(int x) const {
    auto it = std::upper_bound(stops_.begin(), stops_.end(), x,
                               [](int pos, const TTabStop& s) { return pos < s.position; });
    return it == stops_.end() ? nullptr : &*it;
}

bool TPrintablePicture::drawable() const {
    switch (picture_.kind) {
        case TRtfPictureKind::Emf:
        case TRtfPictureKind::Wmf:
        case TRtfPictureKind::WmfExt:
        case TRtfPictureKind::Dib:
        case TRtfPictureKind::Bitmap: return !picture_.data.empty();
        default: return false;
    }
}

std::string TParagraph::text() const {
    std::string out;
    for (const TAttributedText& run : runs) {
        if (run.attrs.hidden) continue;
        switch (run.kind) {
            case TRunKind::Text: out += run.text; break;
            case TRunKind::Tab: out += '\t'; break;
            case TRunKind::LineBreak: out += '\n'; break;
            default: break;
        }
    }
    return out;
}

const char* headerSlotWord(THeaderSlot slot) {
    static constexpr std::array<const char*, kHeaderSlotCount> kWords = {
        "header", "headerl", "headerr", "headerf", "footer", "footerl", "footerr", "footerf"};
    return kWords[static_cast<std::size_t>(slot)];
}

}  // namespace lagrull
