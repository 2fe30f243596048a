#pragma once
// Reading a delimited member file: its character sets, its lines and the
// values of a line.
//
// A line ends at CR, LF, Ctrl-Z or ESC (a following LF belongs to it); a
// Ctrl-Z at the start of a line ends the file. A value that begins with a
// double quote runs to the closing quote, so a separator or a line break
// inside it stays in the value, and "" inside it is one quote, as
// spreadsheets write them. A file marked ESC Ctrl-R within its first bytes
// (an old Ctos register) is read from the Ctrl-R on, and one byte is skipped
// before every line.
//
// Invariants:
// - The reader never splits a line: a line longer than kMaxLineBytes, a
//   quote that is never closed or a byte that no text file holds is a
//   FormatError naming the line, before anything is written.
// - Values are bytes of the file's character set until ConvertText.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lagrull {

// The file's character set; tcUtf8 is chosen by itself for files saved by
// today's spreadsheets.
enum class TTextConvert { tcWindows, tcDos, tcCtos, tcUtf8 };

// The file's bytes as UTF-8 text by its character set: Windows-1252, the
// DOS Nordic code page, Ctos (six letters moved, the rest Windows-1252) or
// UTF-8 (invalid bytes become U+FFFD).
std::string ConvertText(std::string_view bytes, TTextConvert convert);

// The longest line taken; a longer one is no member line.
inline constexpr std::size_t kMaxLineBytes = std::size_t{64} * 1024;

constexpr char kCtrlR = 18, kCtrlZ = 26, kEsc = 27;

class TImportReader {
public:
    // `bytes` must outlive the reader.
    TImportReader(std::string_view bytes, char separator);

    // The file carries the Ctos mark ESC Ctrl-R within its first 15 bytes.
    static bool HasCtosMark(std::string_view bytes);
    // The file starts with the UTF-8 byte-order mark.
    static bool HasUtf8Bom(std::string_view bytes);

    // The next line's values (raw bytes); false at the end of the file.
    // `raw` is the line as it stands in the file.
    bool Next(std::vector<std::string>& values, std::string_view* raw = nullptr);
    // The number of the line Next gave last, from 1 (a quoted line break
    // does not count).
    long LineNumber() const { return line_; }

private:
    [[noreturn]] void fail(const std::string& what) const;
    bool lineEnd(std::size_t at) const;
    // FormatError when bytes [from, to) hold a byte no text file holds.
    void checkText(std::size_t from, std::size_t to) const;
    void takeLineEnd();

    std::string_view bytes_;
    char separator_;
    bool ctos_;
    std::size_t pos_ = 0;
    long line_ = 0;
};

// A separator as the messages name it: "tabulator", "Ctrl-R", «;».
std::string SeparatorName(char separator);

// The first physical line of the file, without its end, for the guesses.
std::string_view FirstLine(std::string_view bytes);

}  // namespace lagrull
