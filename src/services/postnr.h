#pragma once
// TPostNr: postal places from the binary postal-number file "Postnr.num"
// beside the program.
//
// File layout (little-endian): N (int16), 4 unused bytes, then for
// i = 1..N at offset 6·i the 1-based offset of entry i's line in the text
// area (int32) and its postal number (int16); the text area starts at
// 6·(N+1). The entries form a binary search tree stored level by level:
// entry 1 is the root, the children of i are 2i (smaller) and 2i+1
// (larger). A line is "NNNN    Place" ended by CR, LF or byte 26; its first
// 8 characters are skipped. Texts are Windows-1252.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace lagrull {

class TPostNr {
public:
    // Serves "Postnr.num" in `programDirectory`; nothing is opened yet.
    explicit TPostNr(std::string programDirectory);
    ~TPostNr();
    TPostNr(const TPostNr&) = delete;
    TPostNr& operator=(const TPostNr&) = delete;

    // The program directory plus the file name part of `path`.
    void setFile(const std::string& path);
    const std::string& file() const { return path_; }

    // Opens the file on first use; fails quietly (stays closed).
    void acquire();
    void release();
    bool isOpen() const { return file_ != nullptr; }
    int entryCount() const { return count_; }

    // The text offset of a postal number's entry, 0 when not found.
    std::int32_t find(int postalNumber);
    // The line at a text offset, without its end mark.
    std::string readLine(std::int32_t offset);
    // Every postal number of the open file, ascending.
    std::vector<int> postalNumbers();

    // The place of a postal number given as text ("0150" is 150): empty
    // when unknown, "Finner ikke postnrfilen:" when the file cannot be opened.
    std::string lookUpPlace(const std::string& postalNumber);

private:
    void close();
    bool readAt(long position, void* buffer, std::size_t size);

    std::string directory_;
    std::string path_;
    std::FILE* file_ = nullptr;
    int count_ = 0;
    int users_ = 0;
};

// The program's one postal register, created at start-up.
TPostNr& postalRegister();

}  // namespace lagrull
