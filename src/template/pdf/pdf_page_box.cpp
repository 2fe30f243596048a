#include "template/pdf/pdf_page_box.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace lagrull {

namespace {

constexpr std::string_view kBox = "/MediaBox [0 0 ";

// "0 bottom width top" with as many decimals as the old text has room for,
// padded with blanks to its length; empty when even whole points are too long.
std::string boxText(double bottom, double width, double top, std::size_t length) {
    for (int decimals = 6; decimals >= 0; --decimals) {
        char buf[128];
        std::snprintf(buf, sizeof buf, "0 %.*f %.*f %.*f", decimals, bottom, decimals, width,
                      decimals, top);
        const std::string text = buf;
        if (text.size() <= length) return text + std::string(length - text.size(), ' ');
    }
    return {};
}

}  // namespace

int exactPageBoxes(std::string& pdf, const std::vector<TPointSize>& sizes) {
    int changed = 0;
    std::size_t at = 0;
    while ((at = pdf.find(kBox, at)) != std::string::npos) {
        const std::size_t inner = at + kBox.size() - 4;  // from the first "0"
        const std::size_t end = pdf.find(']', inner);
        if (end == std::string::npos) break;
        at = end;
        const std::string old = pdf.substr(inner, end - inner);
        double x0 = 0, y0 = 0, w = 0, h = 0;
        if (std::sscanf(old.c_str(), "%lf %lf %lf %lf", &x0, &y0, &w, &h) != 4) continue;
        for (const TPointSize& s : sizes) {
            if (std::lround(s.width) != std::lround(w) || std::lround(s.height) != std::lround(h) ||
                (s.width == w && s.height == h))
                continue;
            const std::string text = boxText(h - s.height, s.width, h, old.size());
            if (text.empty()) break;
            pdf.replace(inner, old.size(), text);
            ++changed;
            break;
        }
    }
    return changed;
}

}  // namespace lagrull
