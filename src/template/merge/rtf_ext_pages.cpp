// Page breaks, sections and margins of the merged document. A page break
// is written as a placeholder of fixed size and margins as five digits, so
// that both can be patched in place once the whole template is read.
#include <algorithm>
#include <cstdio>

#include "template/merge/rtf_extended.h"

namespace lagrull {

namespace {

constexpr int kPlaceholderPairs = 102;
constexpr std::size_t kSectionTextRoom = 210;  // of the placeholder, before its dummy word

std::string fiveDigits(int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%05d", std::clamp(v, 0, 99999));
    return buf;
}

}  // namespace

void TRtfExtended::writePageBreak() {
    TPageBreakProperties pb;
    pb.position = out_.size();
    pb.groupDepth = groupDepth_;
    pb.landscape = documents_.back().landscape;
    std::copy(std::begin(documents_.back().margins), std::end(documents_.back().margins),
              pb.margins);
    pageBreaks_.push_back(pb);
    std::string placeholder = "\\page ";
    for (int i = 0; i < kPlaceholderPairs; ++i) placeholder += "{}";
    placeholder += "\\dummy ";
    write(placeholder);
}

void TRtfExtended::setMargin(int which, int value) {
    value = std::clamp(value, 0, 99999);
    documents_.back().margins[which] = value;
    // Until the letter has body text, a linked letterhead sets its margins.
    if (!bodyHasContent_) documents_.front().margins[which] = value;
}

void TRtfExtended::writeMargin(int which, int value) {
    static const char* const words[] = {"\\margl", "\\margt", "\\margr", "\\margb"};
    const std::size_t start = out_.size();
    write(std::string(words[which]) + fiveDigits(value) + " ");
    documents_.front().marginPositions[which].push_back(start + 6);
}

void TRtfExtended::writeAtDocumentLevel(const std::string& word) {
    write(std::string(static_cast<std::size_t>(std::max(groupDepth_, 0)), '}') + word + " " +
          std::string(static_cast<std::size_t>(std::max(groupDepth_, 0)), '{'));
}

void TRtfExtended::finishPages() {
    const TDocumentProperties& document = documents_.front();
    for (int m = 0; m < 4; ++m)
        for (std::size_t pos : document.marginPositions[m])
            out_.replace(pos, 5, fiveDigits(document.margins[m]));
    bool previousLandscape = document.landscape;
    const bool bins = printOptions && (printOptions->firstPageBin || printOptions->otherPageBin);
    for (const TPageBreakProperties& pb : pageBreaks_) {
        std::string tail;
        if (pb.firstPage) tail += "\\pgnstarts1";
        if (bins)
            tail += "\\binfsxn" + std::to_string(printOptions->firstPageBin) + "\\binsxn" +
                    std::to_string(printOptions->otherPageBin);
        if (pb.oddPage && printOptions && printOptions->oddPage != 0) tail += "\\sbkodd";
        if (tail.empty() && !pb.hasHeaderOrFooter && pb.landscape == previousLandscape) continue;
        std::string text =
            pb.firstPage ? "\\sect\\sectd\\sbkpage\\pgnrestart" : "\\sect\\sectd\\sbkpage";
        if (pb.landscape) text += "\\lndscpsxn\\pgwsxn16840\\pghsxn11907";
        text += tail;
        if (text.size() % 2) text += ' ';
        const auto depth = static_cast<std::size_t>(std::max(pb.groupDepth, 0));
        const std::string wrapped = std::string(depth, '}') + text + std::string(depth, '{');
        if (wrapped.size() > kSectionTextRoom) continue;  // nesting too deep: stays a page break
        out_.replace(pb.position, wrapped.size(), wrapped);
        previousLandscape = pb.landscape;
    }
}

}  // namespace lagrull
