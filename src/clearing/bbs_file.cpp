#include "clearing/bbs_file.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <system_error>

#include "clearing/bbs_item.h"
#include "common/error.h"
#include "common/text_codec.h"

namespace lagrull::clearing {

namespace {

bool hasHighBytes(const std::string& line) {
    // Eight bytes at a time: every line of a long file passes here.
    std::size_t i = 0;
    for (; i + 8 <= line.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, line.data() + i, 8);
        if (word & 0x8080808080808080ULL) return true;
    }
    for (; i < line.size(); ++i)
        if (static_cast<unsigned char>(line[i]) >= 0x80) return true;
    return false;
}

// The first CR or LF in [start, start + size), or nullptr. One pass: a
// search for LF first would run to the end of a file whose lines end in CR
// alone, for every line.
const char* lineEnd(const char* start, std::size_t size) {
    for (const char* p = start; p != start + size; ++p)
        if (*p == '\n' || *p == '\r') return p;
    return nullptr;
}

}  // namespace

bool ClearingFileReader::open(const std::filesystem::path& path) {
    close();
    lineNumber_ = 0;
    begin_ = end_ = 0;
    path_ = path;
    std::error_code ec;
    // A directory opens on some systems but can never be read as a file.
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    file_ = std::fopen(path.c_str(), "rb");
    if (file_ && buffer_.empty()) buffer_.resize(1 << 16);
    return file_ != nullptr;
}

void ClearingFileReader::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

bool ClearingFileReader::fill() {
    if (!file_) return false;
    // Keep the unread bytes, at the front; a line longer than the buffer
    // makes it grow.
    const std::size_t unread = end_ - begin_;
    std::memmove(buffer_.data(), buffer_.data() + begin_, unread);
    begin_ = 0;
    end_ = unread;
    if (end_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
    const std::size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
    if (got == 0 && std::ferror(file_))
        throw FileError("Feil ved lesing av filen " + path_.string() + " (linje " +
                        std::to_string(lineNumber_ + 1) + ")");
    end_ += got;
    return got > 0;
}

bool ClearingFileReader::atEnd() { return begin_ == end_ && !fill(); }

bool ClearingFileReader::next(std::string& line) {
    if (!file_) return false;
    std::size_t length = 0;
    std::size_t endLength = 0;  // bytes of the line end: 0 (end of file), 1 or 2
    for (;;) {
        const char* start = buffer_.data() + begin_;
        const char* end = lineEnd(start, end_ - begin_);
        if (end) {
            length = static_cast<std::size_t>(end - start);
            // A CR at the end of what is read may be the first half of CR LF.
            if (*end == '\r' && begin_ + length + 1 == end_ && fill()) continue;
            endLength = 1;
            if (*end == '\r' && begin_ + length + 1 < end_ && start[length + 1] == '\n')
                endLength = 2;
            break;
        }
        if (!fill()) {
            if (begin_ == end_) return false;
            length = end_ - begin_;  // the last line, without a line end
            break;
        }
    }
    const char* start = buffer_.data() + begin_;
    begin_ += length + endLength;
    line.assign(start, length);
    // The old end-of-file mark, on a line of its own or after the last record.
    if (!line.empty() && line.back() == '\x1a' && atEnd()) {
        line.pop_back();
        if (line.empty()) return false;
    }
    ++lineNumber_;
    if (hasHighBytes(line) && isValidUtf8(line)) line = fromUtf8(line, CodePage::Latin1);
    // Blanks an editor left after a record are no part of it; anything else
    // past position 80 means the lines of the file were not found.
    const auto length80 = static_cast<std::size_t>(kRecordLength);
    if (line.size() > length80 && trimBlanks(std::string_view(line).substr(length80)).empty())
        line.resize(length80);
    if (line.size() > length80) throw FormatError("posten er lengre enn 80 tegn");
    return true;
}

void appendRecordLine(std::string& out, const TBBSItem& record) {
    out += record.Line();
    out += "\r\n";
}

}  // namespace lagrull::clearing
