#pragma once
// Writes the postal-number file from a postal register, and reads the two
// forms of the register the project knows: the JavaScript map of the
// norway-postal-codes package ({"0150":"OSLO",...}) and the postal
// service's own tab-separated register (postal code, place, municipality
// number, municipality, category; Windows-1252).

#include <map>
#include <string>
#include <string_view>

namespace lagrull {

using PostalRegister = std::map<int, std::string>;  // postal number → place (UTF-8)

PostalRegister readPostalCodesJs(std::string_view text);
PostalRegister readPostalRegisterTsv(std::string_view bytes);

// The file's bytes: every code found by the tree search, and no other.
std::string makePostnrFile(const PostalRegister& postalRegister);

}  // namespace lagrull
