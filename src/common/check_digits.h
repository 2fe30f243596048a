#pragma once
// The check digits of the banks: MOD10 (Luhn) closes every KID, MOD11
// closes every Norwegian account number.

#include <string>
#include <string_view>

namespace lagrull {

// The MOD10 check digit of a digit string; a blank for an empty or
// all-blank text.
char Mod10CheckDigit(std::string_view digits);

// The MOD11 check character of the digits in a text: "0"-"9", or "-" when
// no check digit exists (remainder 1).
std::string Mod11CheckDigit(std::string_view digits);

// Exactly 11 digits whose last is the MOD11 check digit of the first ten.
bool IsValidAccountNumber(std::string_view value);

}  // namespace lagrull
