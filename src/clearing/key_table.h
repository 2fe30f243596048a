#pragma once
// KeyTable: the distinct KIDs of a return file, numbered 0, 1, 2, … in the
// order they are first added, found again by the KID in one probe of an
// open-addressed table. A node per KID (std::unordered_map) would cost a
// cache miss or two per look-up, and an import looks up every claim.
//
// Invariants:
// - At most half of the slots are taken, so a look-up ends at an empty slot
//   soon after its home slot.
// - A slot holds its key's hash, number and place in the one buffer the keys
//   lie in, so that a look-up reads the slots and that buffer only; keys are
//   compared only when the hashes are equal.
// - Keys compare byte for byte: the caller gives them in the one form it
//   wants to match (such as the upper case of a KID).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lagrull::clearing {

class KeyTable {
public:
    static constexpr std::size_t kMissing = static_cast<std::size_t>(-1);

    explicit KeyTable(std::size_t expected = 0);

    // The key's number: its own when it was added before, else the next one.
    std::size_t add(std::string_view key);
    // The key's number, or kMissing.
    std::size_t find(std::string_view key) const;
    std::size_t size() const { return size_; }

private:
    static constexpr std::uint32_t kEmpty = UINT32_MAX;
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t number = kEmpty;
        std::uint32_t offset = 0, length = 0;  // the key in text_
    };

    // The slot of the key, or the empty slot where it belongs.
    std::size_t slotOf(std::string_view key, std::uint32_t hash) const;
    void grow();

    std::vector<Slot> slots_;  // a power of two of them
    std::size_t size_ = 0;
    std::string text_;  // the keys, one after the other
};

}  // namespace lagrull::clearing
