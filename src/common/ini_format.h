#pragma once
// The ini file format shared by every settings file of the register.
//
// Invariants:
// - Lines before the first "[...]" form the unnamed section, which is
//   written without a header.
// - Section and key names compare after normalisation (upper case including
//   æ, ø, å; "_" is a blank; blanks are ignored).
// - A value never spans lines on disk: line breaks are stored as " \n ".
// - A scrambled file (first line "@@@@" or "@@@@@") is always written back
//   in the second form, headed "@@@@@".

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lagrull::ini {

enum class Scramble { None, First, Second };

// One-byte keys of the two scrambled forms. The first form leaves "e", "h",
// "o", CR and LF alone because its key would turn them into NUL, CR and LF
// (and CR and LF into "h" and "o"); only with this key is the form its own
// inverse for every character of a text.
inline constexpr unsigned char kFirstFormKey = 0x65;
inline constexpr unsigned char kSecondFormKey = 0x15;

struct Section {
    std::string name;                // as written in the file; "" for the unnamed one
    std::vector<std::string> lines;  // the section's text, one entry per line
    bool named = true;
};

struct Document {
    Scramble scramble = Scramble::None;
    std::vector<Section> sections;  // the first one is the unnamed section
};

std::string normaliseName(std::string_view name);

// Bytes of a file → document (UTF-8 when the text is valid UTF-8, else
// Windows-1252), and document → bytes (UTF-8, CR LF line ends).
Document parse(std::string_view bytes);
std::string serialise(const Document& document);

// Scrambling of one line's bytes; each form is its own inverse on the
// bytes it produces.
std::string scrambleFirst(std::string_view line);
std::string scrambleSecond(std::string_view line);

// Values as stored on one line, and back.
std::string encodeValue(std::string_view value);
std::string decodeValue(std::string_view stored);

// The value part of a "key=value" line: after the first "=", without
// leading blanks and without trailing characters of code 32 or below.
std::string_view valueOf(std::string_view line);
// The normalised key of a line, or nullopt for a line without "=".
std::optional<std::string> keyOf(std::string_view line);

std::optional<bool> parseBool(std::string_view value);
std::optional<long long> parseInteger(std::string_view value);
std::optional<double> parseDecimal(std::string_view value);
std::string formatBool(bool value);       // "Ja" / "Nei"
std::string formatDecimal(double value);  // six decimals, comma, trailing zeros removed

}  // namespace lagrull::ini
