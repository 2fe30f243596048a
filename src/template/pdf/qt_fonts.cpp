#include "template/pdf/qt_fonts.h"

#include <cmath>

#include "common/text_codec.h"

namespace lagrull {

QString mappedFontFamily(const std::string& name) {
    static const std::map<std::string, const char*> families = {
        {"ARIAL", "Liberation Sans"},
        {"HELVETICA", "Liberation Sans"},
        {"ARIAL MT", "Liberation Sans"},
        {"MS SANS SERIF", "Liberation Sans"},
        {"TIMES NEW ROMAN", "Liberation Serif"},
        {"TIMES", "Liberation Serif"},
        {"MS SERIF", "Liberation Serif"},
        {"COURIER NEW", "Liberation Mono"},
        {"COURIER", "Liberation Mono"},
    };
    const auto it = families.find(upperCase(name));
    if (it != families.end()) return QString::fromLatin1(it->second);
    return name.empty() ? QStringLiteral("Liberation Serif") : QString::fromStdString(name);
}

QFont qtFont(const TFontSpec& wanted) {
    QFont font(mappedFontFamily(wanted.family));
    font.setPixelSize(std::max(1, wanted.size * 10));
    font.setBold(wanted.bold);
    font.setItalic(wanted.italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferOutline);
    return font;
}

const QFontMetricsF& TQtFontMeasure::of(const TFontSpec& font) {
    auto it = cache_.find(font);
    if (it == cache_.end()) it = cache_.emplace(font, QFontMetricsF(qtFont(font))).first;
    return it->second;
}

TFontMetrics TQtFontMeasure::metrics(const TFontSpec& font) {
    const QFontMetricsF& m = of(font);
    // the gap is what remains of the rounded line spacing, so that a line
    // is as tall as the font's own spacing says, without adding up roundings
    const int ascent = static_cast<int>(std::lround(m.ascent())),
              descent = static_cast<int>(std::lround(m.descent())),
              spacing = static_cast<int>(std::lround(m.lineSpacing()));
    return {ascent, descent, std::max(0, spacing - ascent - descent)};
}

int TQtFontMeasure::textWidth(const TFontSpec& font, std::string_view utf8) {
    return static_cast<int>(std::lround(of(font).horizontalAdvance(
        QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())))));
}

}  // namespace lagrull
