#include "common/field_checks.h"

#include "common/check_digits.h"
#include "common/ui.h"

#include <vector>

namespace lagrull {

std::optional<std::string> dateFormOfMask(std::string_view mask) {
    if (mask == "##.##.##") return "DD.MM.YY";
    if (mask == "##.##.####") return "DD.MM.YYYY";
    if (mask == "####.##.##") return "YYYY.MM.DD";
    if (mask.find("DD") != std::string_view::npos || mask.find("YY") != std::string_view::npos)
        return std::string(mask);
    return std::nullopt;
}

namespace {

struct FormField {
    char letter;  // 'D', 'M' or 'Y'
    int width;
};

std::vector<FormField> fieldsOf(std::string_view form) {
    std::vector<FormField> fields;
    for (std::size_t i = 0; i < form.size();) {
        const char c = form[i];
        if (c == 'D' || c == 'M' || c == 'Y') {
            std::size_t j = i;
            while (j < form.size() && form[j] == c) ++j;
            fields.push_back({c, static_cast<int>(j - i)});
            i = j;
        } else {
            ++i;
        }
    }
    return fields;
}

}  // namespace

std::optional<Date> parseDateInForm(std::string_view form, std::string_view text) {
    const std::vector<FormField> fields = fieldsOf(form);
    // Numbers of the text: split at separators, or, for a text of digits
    // only, cut by the widths of the form's fields.
    std::vector<std::string> parts;
    std::string current;
    bool separated = false;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            current += c;
        } else if (c == ' ') {
            continue;
        } else {
            separated = true;
            parts.push_back(current);
            current.clear();
        }
    }
    parts.push_back(current);
    if (!separated) {
        parts.clear();
        std::size_t pos = 0;
        for (const FormField& f : fields) {
            if (pos >= current.size()) return std::nullopt;
            parts.push_back(current.substr(pos, f.width));
            pos += f.width;
        }
        if (pos != current.size()) return std::nullopt;
    }
    if (parts.size() != fields.size()) return std::nullopt;
    int day = 0, month = 0, year = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string& p = parts[i];
        if (p.empty() || static_cast<int>(p.size()) > fields[i].width) return std::nullopt;
        const int value = std::stoi(p);
        switch (fields[i].letter) {
            case 'D': day = value; break;
            case 'M': month = value; break;
            case 'Y':
                if (fields[i].width == 4 && p.size() == 4)
                    year = value;
                else if (p.size() == 2)
                    year = expandTwoDigitYear(value);
                else
                    return std::nullopt;
                break;
        }
    }
    if (!isValidDate(year, month, day)) return std::nullopt;
    return Date{year, month, day};
}

std::string formatDateInForm(std::string_view form, const Date& date) {
    std::string out;
    for (std::size_t i = 0; i < form.size();) {
        const char c = form[i];
        std::size_t j = i;
        while (j < form.size() && form[j] == c) ++j;
        const int width = static_cast<int>(j - i);
        int value = -1;
        if (c == 'D')
            value = date.day;
        else if (c == 'M')
            value = date.month;
        else if (c == 'Y')
            value = width == 2 ? date.year % 100 : date.year;
        if (value < 0) {
            out.append(form.substr(i, width));
        } else {
            std::string digits = std::to_string(value);
            if (static_cast<int>(digits.size()) < width)
                digits.insert(0, width - digits.size(), '0');
            out += digits;
        }
        i = j;
    }
    return out;
}

LeaveResult checkFieldOnLeave(EditKind kind, const Mask& mask, std::string_view shown,
                              bool dataAware, Ui& ui) {
    LeaveResult result;
    if (shown.empty()) return result;
    if (kind == EditKind::mkAccount) {
        if (!IsValidAccountNumber(mask.store(shown))) {
            ui.message("Feil",
                       dataAware ? "Kontonummer er ikke korrekt" : "Kontonummer ikke korrekt",
                       Buttons::Ok, Icon::Warning);
            result.accepted = false;
        }
    } else if (kind == EditKind::mkDate) {
        const auto form = dateFormOfMask(mask.text());
        if (!form) {
            ui.error("Ulovlig datoformat");
            result.accepted = false;
            return result;
        }
        const auto date = parseDateInForm(*form, shown);
        if (!date) {
            ui.message("Feil", "Dato er ikke korrekt", Buttons::Ok, Icon::Error);
            result.accepted = false;
        } else if (form->find("YYYY") != std::string::npos) {
            const std::string again = formatDateInForm(*form, *date);
            if (again != shown) result.rewritten = again;
        }
    }
    return result;
}

}  // namespace lagrull
