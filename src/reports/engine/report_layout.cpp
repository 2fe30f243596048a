#include "reports/engine/report_layout.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "common/mask.h"

namespace lagrull::report {

ReportItem ReportItem::label(std::string text, double x, double top, double width, Align align) {
    ReportItem item;
    item.kind = ItemKind::Text;
    item.text = std::move(text);
    item.left = align == Align::Right ? x - width : x;
    item.top = top;
    item.width = width;
    item.height = 5;
    item.align = align;
    return item;
}

ReportItem ReportItem::data(std::string field, double x, double top, double width, Align align,
                            std::string mask) {
    ReportItem item = label({}, x, top, width, align);
    item.kind = ItemKind::Field;
    item.field = std::move(field);
    item.mask = std::move(mask);
    return item;
}

ReportItem ReportItem::sum(std::string field, double x, double top, double width,
                           std::string mask) {
    ReportItem item = data(std::move(field), x, top, width, Align::Right, std::move(mask));
    item.kind = ItemKind::Sum;
    return item;
}

ReportItem ReportItem::systemField(SystemValue value, std::string prefix, double x, double top,
                                   double width, Align align) {
    ReportItem item = label(std::move(prefix), x, top, width, align);
    item.kind = ItemKind::System;
    item.system = value;
    return item;
}

ReportItem ReportItem::line(double x1, double y1, double x2, double y2) {
    ReportItem item;
    item.kind = ItemKind::Line;
    item.left = x1;
    item.top = y1;
    item.width = x2 - x1;
    item.height = y2 - y1;
    return item;
}

void ReportLayout::setFontSize(double points) {
    for (ReportBand* band : {&pageHeader, &detail}) {
        for (ReportItem& item : band->items) item.font.size = points;
    }
    for (std::optional<ReportBand>* band : {&subDetail, &closing}) {
        if (*band)
            for (ReportItem& item : (*band)->items) item.font.size = points;
    }
}

std::string formatNumber(double value, const std::string& mask) {
    if (!std::isfinite(value)) value = 0;
    const std::size_t point = mask.find('.');
    int decimals = 0;
    if (point != std::string::npos)
        for (std::size_t i = point + 1; i < mask.size() && (mask[i] == '0' || mask[i] == '#'); ++i)
            ++decimals;
    const bool grouped = mask.find(',') != std::string::npos;
    const std::string whole = mask.substr(0, point);
    const bool leadingZero = whole.find('0') != std::string::npos;

    // Rounded in whole units of the last decimal, so no binary fraction shows.
    double scale = std::pow(10.0, decimals);
    const long long units = std::llround(value * scale);
    if (units == 0 && !leadingZero && decimals == 0) return {};
    const unsigned long long magnitude = static_cast<unsigned long long>(std::llabs(units));
    const unsigned long long unitScale = static_cast<unsigned long long>(scale);
    std::string integer = std::to_string(magnitude / unitScale);
    if (integer == "0" && !leadingZero) integer.clear();
    if (grouped) integer = groupDigits(integer);
    std::string text = (units < 0 ? "-" : "") + integer;
    if (decimals > 0) {
        std::string fraction = std::to_string(magnitude % unitScale);
        fraction.insert(0, static_cast<std::size_t>(decimals) - fraction.size(), '0');
        text += "," + fraction;
    }
    return text;
}

double numberOf(std::string_view text) {
    std::string plain;
    const bool commaPoint = text.find(',') != std::string_view::npos;
    for (char c : text) {
        if (c == ' ' || (commaPoint && c == '.')) continue;
        plain += c == ',' ? '.' : c;
    }
    // Independent of the C locale, which a Qt program may change.
    double value = 0;
    const char* begin = plain.data() + (plain.rfind('+', 0) == 0 ? 1 : 0);
    const auto [end, error] = std::from_chars(begin, plain.data() + plain.size(), value);
    return error != std::errc() || !std::isfinite(value) ? 0.0 : value;
}

}  // namespace lagrull::report
