#pragma once
// The register's own keys in section "Setup" of the settings file, read
// with their defaults.

#include <string>

namespace lagrull {

// What the program keeps: a club's member register or a landlord's rent
// register. The numbers are those stored as "Register".
enum class RegisterKind { Members = 0, Rent = 1 };

// The stored number's kind: 1 the rent register, anything else the member
// register.
RegisterKind registerKindOf(long long stored);
// "Register" of the settings file, through registerKindOf; the member
// register when missing.
RegisterKind registerKindSetting(const std::string& settingsFile);
// "Medlemsregister" or "Husleieregister".
std::string registerKindName(RegisterKind kind);

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
