#pragma once
// The checks an edit field runs when the user leaves it: the account number
// check and the date check. The widgets call them and return the focus to
// the field when one fails; the value itself stays as typed.

#include <optional>
#include <string>
#include <string_view>

#include "common/dates.h"
#include "common/mask.h"

namespace lagrull {

class Ui;

// The date form a date field's mask fixes: "##.##.##" is "DD.MM.YY",
// "##.##.####" is "DD.MM.YYYY", "####.##.##" is "YYYY.MM.DD", a mask with
// "DD" or "YY" is its own form. nullopt for any other mask ("Ulovlig datoformat").
std::optional<std::string> dateFormOfMask(std::string_view mask);

// A shown date text read in a date form; nullopt unless a real date.
std::optional<Date> parseDateInForm(std::string_view form, std::string_view text);
std::string formatDateInForm(std::string_view form, const Date& date);

struct LeaveResult {
    bool accepted = true;                  // false: the focus goes back to the field
    std::optional<std::string> rewritten;  // a new shown text for the field
};

// Runs the kind's check on the shown text when the field is left. An empty
// field is never checked. Messages go through `ui`; `dataAware` picks the
// account message of the data-aware field.
LeaveResult checkFieldOnLeave(EditKind kind, const Mask& mask, std::string_view shown,
                              bool dataAware, Ui& ui);

}  // namespace lagrull
