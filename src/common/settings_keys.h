#pragma once
// The register's own keys in section "Setup" of the settings file, read
// with their defaults.

#include <string>

namespace lagrull {

// "Register": 0 member register (also when missing), 1 rent register.
int registerKindSetting(const std::string& settingsFile);
// The register kind's name: "Medlemsregister" (0), "Husleieregister" (1).
std::string registerKindName(int registerKind);

// "FONTSIZE": 9 when missing or outside 6..12.
int reportFontSizeSetting(const std::string& settingsFile);
int validReportFontSize(long long size);

}  // namespace lagrull

namespace lagrull {

// The report font size shared by the payment report layouts: read at start,
// changed at once by the setup window.
int reportFontSize();
void setReportFontSize(int size);

}  // namespace lagrull
