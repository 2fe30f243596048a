#pragma once
// Text inside the program is UTF-8. Files of the old world come in one-byte
// code pages: settings and RTF in Windows-1252, clearing-house files in
// ISO-8859-1, very old texts in the DOS Nordic code page 865. Conversions to
// a code page replace characters it lacks with "?".

#include <string>
#include <string_view>

namespace lagrull {

enum class CodePage { Windows1252, Latin1, Dos865 };

bool isValidUtf8(std::string_view bytes);

std::string toUtf8(std::string_view bytes, CodePage from);
std::string fromUtf8(std::string_view utf8, CodePage to);

// The Unicode code point of one byte in a code page, and back (-1 if none).
char32_t codePageToUnicode(unsigned char byte, CodePage page);
int unicodeToCodePage(char32_t cp, CodePage page);

// UTF-8 decoding and encoding of single code points. decodeUtf8 advances
// `pos`; an invalid sequence yields U+FFFD and skips one byte.
char32_t decodeUtf8(std::string_view text, std::size_t& pos);
void appendUtf8(std::string& out, char32_t cp);
std::u32string toU32(std::string_view utf8);
std::string fromU32(std::u32string_view text);

// Upper case of Latin letters including "æ", "ø", "å" and the other
// Latin-1 letters; other characters are kept.
std::string upperCase(std::string_view utf8);
// The same, made in `buffer` only when it differs from the text: a text
// without lower-case letters (a KID of digits) is given back as it is.
std::string_view upperCase(std::string_view utf8, std::string& buffer);
char32_t upperCase(char32_t cp);
std::string lowerCase(std::string_view utf8);
char32_t lowerCase(char32_t cp);

// Number of characters (code points) of a UTF-8 text.
std::size_t characterCount(std::string_view utf8);

}  // namespace lagrull
