#include "reports/print_settings.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "common/ini.h"

namespace lagrull::reports {

namespace {

constexpr const char* kSection = "Setup";

int readInt(const TOrvIni& ini, const char* key, int fallback) {
    return static_cast<int>(ini.readInteger(key, fallback));
}

}  // namespace

bool LoadPrintSettings(const std::filesystem::path& file, TPrintSettings& s) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return false;
    try {
        TOrvIni ini(file, IniMode::Read);
        ini.useSection(kSection);
        const TPrintSettings d;
        s.RightMargin = readInt(ini, "RightMargin", d.RightMargin);
        s.LeftMargin = readInt(ini, "LeftMargin", d.LeftMargin);
        s.TopMargin = readInt(ini, "TopMargin", d.TopMargin);
        s.BottomMargin = readInt(ini, "BottomMargin", d.BottomMargin);
        s.LabelLeftMargin = readInt(ini, "LabelLeftMargin", d.LabelLeftMargin);
        s.LabelTopMargin = readInt(ini, "LabelTopMargin", d.LabelTopMargin);
        s.LabelColumns = readInt(ini, "LabelColumns", d.LabelColumns);
        s.LabelHeight = ini.readDecimal("LabelHeight").value_or(d.LabelHeight);
        return true;
    } catch (const std::exception&) {  // an unreadable file: the fields keep their values
        return false;
    }
}

std::string LabelHeightText(double height) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.6f", height);
    std::string text = buffer;
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
    if (const std::size_t point = text.find('.'); point != std::string::npos) text[point] = ',';
    return text;
}

void SavePrintSettings(const std::filesystem::path& file, const TPrintSettings& s) {
    TOrvIni ini(file, IniMode::Write);
    ini.useSection(kSection);
    ini.writeInteger("RightMargin", s.RightMargin);
    ini.writeInteger("LeftMargin", s.LeftMargin);
    ini.writeInteger("TopMargin", s.TopMargin);
    ini.writeInteger("BottomMargin", s.BottomMargin);
    ini.writeInteger("LabelLeftMargin", s.LabelLeftMargin);
    ini.writeInteger("LabelTopMargin", s.LabelTopMargin);
    ini.writeInteger("LabelColumns", s.LabelColumns);
    ini.writeText("LabelHeight", LabelHeightText(s.LabelHeight));
}

}  // namespace lagrull::reports
