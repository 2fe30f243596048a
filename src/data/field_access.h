#pragma once
// The field routines every part of the register reads and writes records
// with. Field names are matched without regard to case. Reading a closed
// dataset raises EOrvTableException "Table closed"; writing one that is not
// in edit or insert state raises "Table closed or in readonly state".

#include <cstdint>
#include <string>
#include <string_view>

#include "data/dataset.h"

namespace lagrull::data {

std::string FieldText(const TDataSet& ds, std::string_view field);
// The text's leading whole number; 0 when it does not begin with a digit.
std::int64_t FieldInt(const TDataSet& ds, std::string_view field);
// The text's leading number with "," as the decimal point; 0 likewise.
double FieldFloat(const TDataSet& ds, std::string_view field);
// True when the text begins with 1, J, S, T, X or Y (any case).
bool FieldBool(const TDataSet& ds, std::string_view field);

void SetFieldText(TDataSet& ds, std::string_view field, std::string_view text);
void SetFieldInt(TDataSet& ds, std::string_view field, std::int64_t value);
void SetFieldFloat(TDataSet& ds, std::string_view field, double value);
void SetFieldBool(TDataSet& ds, std::string_view field, bool value);
void ClearField(TDataSet& ds, std::string_view field);

}  // namespace lagrull::data
