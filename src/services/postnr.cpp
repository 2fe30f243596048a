#include "services/postnr.h"

#include <algorithm>
#include <filesystem>

#include "common/app_paths.h"
#include "common/file_names.h"
#include "common/text_codec.h"

namespace lagrull {

namespace {

constexpr const char* kFileName = "Postnr.num";
constexpr std::size_t kLineBytes = 81;
constexpr std::size_t kSkipped = 8;

std::int32_t int32At(const unsigned char* p) {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
        static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
}

std::int16_t int16At(const unsigned char* p) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | p[1] << 8));
}

// Leading decimal number of a text, as the old StrToInt read a postal code.
bool parsePostalNumber(const std::string& text, int& value) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    std::size_t end = text.size();
    while (end > i && text[end - 1] == ' ') --end;
    if (i == end || end - i > 9) return false;
    value = 0;
    for (std::size_t k = i; k < end; ++k) {
        if (text[k] < '0' || text[k] > '9') return false;
        value = value * 10 + (text[k] - '0');
    }
    return true;
}

}  // namespace

TPostNr::TPostNr(std::string programDirectory)
    : directory_(withTrailingSlash(std::move(programDirectory))), path_(directory_ + kFileName) {}

TPostNr::~TPostNr() { close(); }

void TPostNr::setFile(const std::string& path) {
    close();
    users_ = 0;
    path_ = directory_ + std::filesystem::path(path).filename().string();
}

void TPostNr::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    count_ = 0;
}

bool TPostNr::readAt(long position, void* buffer, std::size_t size) {
    return file_ && position >= 0 && std::fseek(file_, position, SEEK_SET) == 0 &&
           std::fread(buffer, 1, size, file_) == size;
}

void TPostNr::acquire() {
    if (users_++ > 0) return;
    file_ = std::fopen(findFileNoCase(path_).c_str(), "rb");
    unsigned char header[2];
    if (!readAt(0, header, sizeof header)) {
        close();
        return;
    }
    count_ = int16At(header);
    if (count_ < 0) count_ = 0;
}

void TPostNr::release() {
    if (users_ == 0) return;
    if (--users_ == 0) close();
}

std::int32_t TPostNr::find(int postalNumber) {
    for (long b = 1; b <= count_;) {
        unsigned char entry[6];
        if (!readAt(6 * b, entry, sizeof entry)) return 0;
        const int number = int16At(entry + 4);
        if (number == postalNumber) return int32At(entry);
        b = postalNumber < number ? 2 * b : 2 * b + 1;
    }
    return 0;
}

std::vector<int> TPostNr::postalNumbers() {
    std::vector<int> numbers;
    for (long b = 1; b <= count_; ++b) {
        unsigned char entry[6];
        if (!readAt(6 * b, entry, sizeof entry)) break;
        numbers.push_back(int16At(entry + 4));
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

std::string TPostNr::readLine(std::int32_t offset) {
    if (!file_ || offset < 1) return {};  // a damaged entry points nowhere
    const long position = 6L * (count_ + 1) + offset - 1;
    if (position < 0 || std::fseek(file_, position, SEEK_SET) != 0) return {};
    char buffer[kLineBytes];
    const std::size_t got = std::fread(buffer, 1, sizeof buffer, file_);
    std::size_t end = 0;
    while (end < got && buffer[end] != '\r' && buffer[end] != '\n' && buffer[end] != 26) ++end;
    return toUtf8(std::string_view(buffer, end), CodePage::Windows1252);
}

std::string TPostNr::lookUpPlace(const std::string& postalNumber) {
    acquire();
    std::string place;
    if (!isOpen()) {
        place = "Finner ikke postnrfilen:";
    } else {
        int number = 0;
        const std::int32_t offset = parsePostalNumber(postalNumber, number) ? find(number) : 0;
        if (offset != 0) {
            const std::string line = readLine(offset);
            // The line is UTF-8 now; its first 8 characters are ASCII.
            place = line.size() > kSkipped ? line.substr(kSkipped) : std::string();
        }
    }
    release();
    return place;
}

TPostNr& postalRegister() {
    static TPostNr instance(appPaths().programDirectory);
    return instance;
}

}  // namespace lagrull
