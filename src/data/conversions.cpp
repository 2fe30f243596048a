#include "data/conversions.h"

#include "common/dates.h"
#include "common/text_codec.h"
#include "data/field_access.h"
#include "data/orv_table.h"

namespace lagrull::data {

void ConvertOrganisation(const TDataSet& source, TOrvTable& destination) {
    const bool hasField = source.findField("AUTONR") >= 0;
    if (!hasField || upperCase(FieldText(source, "AUTONR")) != "TRUE")
        SetFieldBool(destination, "AUTONR", false);
}

void ConvertMember(const TDataSet& source, TOrvTable& destination) {
    SetFieldFloat(destination, "NMEDLNR", FieldFloat(source, "MEDLNR"));
    ConvertShortDate(source, destination, "FDATO");
}

void ConvertShortDate(const TDataSet& source, TOrvTable& destination, std::string_view field,
                      int currentYear) {
    if (source.findField(field) < 0) return;
    const std::string old = FieldText(source, field);
    if (old.size() != 6) return;
    for (char c : old)
        if (c < '0' || c > '9') return SetFieldText(destination, field, "");
    const int day = std::stoi(old.substr(0, 2));
    const int month = std::stoi(old.substr(2, 2));
    const int yy = std::stoi(old.substr(4, 2));
    int year = currentYear - ((currentYear % 100 - yy + 100) % 100);
    if (!isValidDate(year, month, day)) return SetFieldText(destination, field, "");
    SetFieldText(destination, field, Date{year, month, day}.stored());
}

void ConvertShortDate(const TDataSet& source, TOrvTable& destination, std::string_view field) {
    ConvertShortDate(source, destination, field, Date::today().year);
}

}  // namespace lagrull::data
