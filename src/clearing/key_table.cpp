#include "clearing/key_table.h"

#include <functional>

#include "common/error.h"

namespace lagrull::clearing {

namespace {

constexpr std::size_t kSmallest = 16;

std::size_t slotsFor(std::size_t keys) {
    std::size_t n = kSmallest;
    while (n < 2 * keys) n *= 2;
    return n;
}

// Both halves of the library's hash folded into the 32 bits a slot keeps.
std::uint32_t hashOf(std::string_view key) {
    const std::uint64_t h = std::hash<std::string_view>{}(key);
    return static_cast<std::uint32_t>(h ^ (h >> 32));
}

}  // namespace

KeyTable::KeyTable(std::size_t expected) : slots_(slotsFor(expected)) {}

std::size_t KeyTable::slotOf(std::string_view key, std::uint32_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& s = slots_[i];
        if (s.number == kEmpty ||
            (s.hash == hash && std::string_view(text_).substr(s.offset, s.length) == key))
            return i;
    }
}

std::size_t KeyTable::add(std::string_view key) {
    const std::uint32_t hash = hashOf(key);
    Slot& s = slots_[slotOf(key, hash)];
    if (s.number != kEmpty) return s.number;
    if (size_ >= kEmpty || text_.size() + key.size() > UINT32_MAX)
        throw Error("For mange nøkler i én tabell");
    s = {hash, static_cast<std::uint32_t>(size_), static_cast<std::uint32_t>(text_.size()),
         static_cast<std::uint32_t>(key.size())};
    text_.append(key);
    if (2 * ++size_ > slots_.size()) grow();
    return size_ - 1;
}

std::size_t KeyTable::find(std::string_view key) const {
    const Slot& s = slots_[slotOf(key, hashOf(key))];
    return s.number == kEmpty ? kMissing : s.number;
}

void KeyTable::grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& s : old) {
        if (s.number == kEmpty) continue;
        std::size_t i = s.hash & mask;
        while (slots_[i].number != kEmpty) i = (i + 1) & mask;
        slots_[i] = s;
    }
}

}  // namespace lagrull::clearing
