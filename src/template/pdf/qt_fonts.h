#pragma once
// Fonts realised through the system's font configuration. The common
// Windows families are mapped onto their metric-compatible Liberation
// fonts, so that a template written on Windows breaks its lines in the same
// places. Sizes are set in pixels of one twip, so metrics come out in twips
// whatever the device's resolution.

#include <map>
#include <string>

#include <QFont>
#include <QFontMetricsF>

#include "template/layout/print_device.h"

namespace lagrull {

// The family a document's font name is drawn with.
QString mappedFontFamily(const std::string& name);
QFont qtFont(const TFontSpec& wanted);

class TQtFontMeasure : public TFontMeasure {
public:
    TFontMetrics metrics(const TFontSpec& font) override;
    int textWidth(const TFontSpec& font, std::string_view utf8) override;

private:
    const QFontMetricsF& of(const TFontSpec& font);
    std::map<TFontSpec, QFontMetricsF> cache_;
};

}  // namespace lagrull
