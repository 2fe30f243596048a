#pragma once
// Clearing files on disk. They are ISO-8859-1, one byte per character, with
// lines of 80 characters ending in CR LF. When read, a line ends at CR LF,
// LF or CR alone (a file may mix them), a missing final line end is
// accepted, blanks after position 80 are dropped, an old end-of-file mark (Ctrl-Z)
// on a line of its own ends the file, and a line that was saved as UTF-8 by
// an editor is turned back into ISO-8859-1 so that its fields keep their
// positions.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace lagrull::clearing {

class TBBSItem;

class ClearingFileReader {
public:
    ClearingFileReader() = default;
    ~ClearingFileReader() { close(); }
    ClearingFileReader(const ClearingFileReader&) = delete;
    ClearingFileReader& operator=(const ClearingFileReader&) = delete;

    // False when the file does not exist or cannot be opened for reading.
    bool open(const std::filesystem::path& path);
    // The next line without its line end; false at the end of the file.
    // A read error throws FileError; a line that is still longer than 80
    // characters throws FormatError, with lineNumber() naming it.
    bool next(std::string& line);
    // Number of the line last returned, from 1.
    long lineNumber() const { return lineNumber_; }
    void close();

private:
    // Reads more of the file behind what is unread; false at its end.
    bool fill();
    bool atEnd();

    std::FILE* file_ = nullptr;
    std::vector<char> buffer_;
    std::size_t begin_ = 0;  // unread bytes are begin_ .. end_
    std::size_t end_ = 0;
    long lineNumber_ = 0;
    std::filesystem::path path_;
};

// Appends the record's 80 bytes and CR LF.
void appendRecordLine(std::string& out, const TBBSItem& record);

}  // namespace lagrull::clearing
