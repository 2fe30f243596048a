#include "common/settings_keys.h"

#include "common/ini.h"
#include "common/ini_format.h"

namespace lagrull {

namespace {
long long setupInteger(const std::string& file, const char* key, long long fallback) {
    const auto text = TOrvIni::readValue(file, "Setup", key);
    if (!text) return fallback;
    return ini::parseInteger(*text).value_or(fallback);
}
}  // namespace

RegisterKind registerKindOf(long long stored) {
    return stored == 1 ? RegisterKind::Rent : RegisterKind::Members;
}

RegisterKind registerKindSetting(const std::string& settingsFile) {
    return registerKindOf(setupInteger(settingsFile, "Register", 0));
}

std::string registerKindName(RegisterKind kind) {
    return kind == RegisterKind::Rent ? "Husleieregister" : "Medlemsregister";
}

int validReportFontSize(long long size) {
    return size >= 6 && size <= 12 ? static_cast<int>(size) : 9;
}

int reportFontSizeSetting(const std::string& settingsFile) {
    return validReportFontSize(setupInteger(settingsFile, "FONTSIZE", 9));
}

}  // namespace lagrull

namespace lagrull {

namespace {
int& sharedReportFontSize() {
    static int size = 9;
    return size;
}
}  // namespace

int reportFontSize() { return sharedReportFontSize(); }
void setReportFontSize(int size) { sharedReportFontSize() = validReportFontSize(size); }

}  // namespace lagrull
