#include "payments/kid.h"

#include "common/check_digits.h"
#include "common/error.h"

namespace lagrull {

namespace {

// Reads a number of at most `width` digits from `pos`. Blanks are skipped;
// any other non-digit ends it early and is consumed, and so is a separator
// right after a number that filled its width.
int readNumber(std::string_view text, std::size_t& pos, int width) {
    int value = 0;
    int digits = 0;
    while (pos < text.size() && digits < width) {
        const char c = text[pos++];
        if (c >= '0' && c <= '9') {
            value = value * 10 + (c - '0');
            ++digits;
        } else if (c != ' ') {
            return value;
        }
    }
    if (pos < text.size() && (text[pos] < '0' || text[pos] > '9') && text[pos] != ' ') ++pos;
    return value;
}

std::string padLeft(std::string_view s, std::size_t width) {
    std::string out(s.size() < width ? width - s.size() : 0, '0');
    out += s;
    return out;
}

}  // namespace

int KidDayNumber(std::string_view date) {
    std::size_t pos = 0;
    const int day = readNumber(date, pos, 2);
    const int month = readNumber(date, pos, 2);
    const int year = readNumber(date, pos, 4);
    return day + 31 * month + 372 * (year - 1999);
}

std::string MakeKid(std::string_view organisationPart, std::string_view memberNumber,
                    std::string_view date, RegisterKind kind) {
    std::string kid = padLeft(organisationPart, 3);
    kid += padLeft(memberNumber, 11);
    kid += std::to_string(static_cast<int>(kind) + 2);
    kid += padLeft(std::to_string(KidDayNumber(date)), 4);
    kid += "01";
    kid += Mod10CheckDigit(kid);
    return kid;
}

void checkKidFits(const std::string& kid, std::string_view organisationPart,
                  std::string_view memberNumber) {
    if (kid.size() <= kMaxKidLength) return;
    throw Error("KID kan ikke genereres for " + std::string(memberNumber) + ": KID-en blir " +
                std::to_string(kid.size()) + " siffer lang (organisasjonsdel " +
                std::string(organisationPart) + "), mens registeret og bankene tar høyst " +
                std::to_string(kMaxKidLength) + ".");
}

}  // namespace lagrull
