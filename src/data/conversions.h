#pragma once
// The conversions an upgrade applies to each row after the fields were
// copied by name.

#include <string_view>

namespace lagrull::data {

class TDataSet;
class TOrvTable;

// AUTONR becomes false unless the old row's text of it is "true" (any case).
void ConvertOrganisation(const TDataSet& source, TOrvTable& destination);
// NMEDLNR from MEDLNR; FDATO with a four-digit year.
void ConvertMember(const TDataSet& source, TOrvTable& destination);
// A six-character "DDMMYY" value of `field` becomes "DDMMYYYY": the year is
// the latest one not after `currentYear` that ends in those two digits. An
// impossible date becomes empty. Other values are left as copied.
void ConvertShortDate(const TDataSet& source, TOrvTable& destination, std::string_view field,
                      int currentYear);
void ConvertShortDate(const TDataSet& source, TOrvTable& destination, std::string_view field);

}  // namespace lagrull::data
