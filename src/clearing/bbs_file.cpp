#include "clearing/bbs_file.h"

#include <cstdlib>
#include <system_error>

#include "clearing/bbs_item.h"
#include "common/error.h"
#include "common/text_codec.h"

namespace lagrull::clearing {

namespace {

bool hasHighBytes(const std::string& line) {
    for (const char c : line)
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    return false;
}

}  // namespace

ClearingFileReader::~ClearingFileReader() {
    close();
    std::free(buffer_);
}

bool ClearingFileReader::open(const std::filesystem::path& path) {
    close();
    lineNumber_ = 0;
    path_ = path;
    std::error_code ec;
    // A directory opens on some systems but can never be read as a file.
    if (!std::filesystem::is_regular_file(path, ec)) return false;
    file_ = std::fopen(path.c_str(), "rb");
    return file_ != nullptr;
}

void ClearingFileReader::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

bool ClearingFileReader::next(std::string& line) {
    if (!file_) return false;
    const ssize_t n = ::getline(&buffer_, &capacity_, file_);
    if (n < 0) {
        if (std::ferror(file_))
            throw FileError("Feil ved lesing av filen " + path_.string() + " (linje " +
                            std::to_string(lineNumber_ + 1) + ")");
        return false;
    }
    std::size_t length = static_cast<std::size_t>(n);
    if (length > 0 && buffer_[length - 1] == '\n') --length;
    if (length > 0 && buffer_[length - 1] == '\r') --length;
    if (length > 0 && buffer_[length - 1] == '\x1a') {
        // The old end-of-file mark, on a line of its own or after the last record.
        const int c = std::fgetc(file_);
        if (c == EOF) {
            if (--length == 0) return false;
        } else {
            std::ungetc(c, file_);
        }
    }
    line.assign(buffer_, length);
    if (hasHighBytes(line) && isValidUtf8(line)) line = fromUtf8(line, CodePage::Latin1);
    ++lineNumber_;
    return true;
}

void appendRecordLine(std::string& out, const TBBSItem& record) {
    out += record.Line();
    out += "\r\n";
}

}  // namespace lagrull::clearing
