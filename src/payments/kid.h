#pragma once
// The KID, the customer reference on every claim: organisation part (3),
// member number (11), register kind + 2 (1), day number of the due date (4),
// "01", and a MOD10 check digit over all before it. Padding only lengthens:
// a due date from 18 October 2025 on has a five-digit day number, so its
// KID has 23 characters and is kept whole.

#include <string>
#include <string_view>

#include "common/settings_keys.h"

namespace lagrull {

// day + 31 × month + 372 × (year − 1999) of a date text read as "DDMMYYYY"
// or "DD.MM.YYYY" (blanks inside numbers skipped, other characters separate).
int KidDayNumber(std::string_view date);

// The register kind is part of the reference: 2 member register, 3 rent
// register.
std::string MakeKid(std::string_view organisationPart, std::string_view memberNumber,
                    std::string_view date, RegisterKind kind);

// The longest KID the claim table and the clearing files hold.
inline constexpr std::size_t kMaxKidLength = 25;

// Refuses a KID longer than the register can store and send whole (an
// organisation number of 99,999 or more makes one): throws lagrull::Error
// naming the member and the organisation. Every pass that stores or prints
// a KID calls it before it writes anything for that member.
void checkKidFits(const std::string& kid, std::string_view organisationPart,
                  std::string_view memberNumber);

}  // namespace lagrull
