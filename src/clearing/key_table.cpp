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

std::uint64_t hashOf(std::string_view key) { return std::hash<std::string_view>{}(key); }

}  // namespace

KeyTable::KeyTable(std::size_t expected) : slots_(slotsFor(expected)) { keys_.reserve(expected); }

std::string_view KeyTable::key(std::uint32_t number) const {
    const Key& k = keys_[number];
    return std::string_view(text_).substr(k.offset, k.length);
}

std::size_t KeyTable::slotOf(std::string_view key, std::uint64_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& s = slots_[i];
        if (s.number == kEmpty || (s.hash == hash && this->key(s.number) == key)) return i;
    }
}

std::size_t KeyTable::add(std::string_view key) {
    const std::uint64_t hash = hashOf(key);
    Slot& s = slots_[slotOf(key, hash)];
    if (s.number != kEmpty) return s.number;
    if (keys_.size() >= kEmpty) throw Error("For mange nøkler i én tabell");
    s = {hash, static_cast<std::uint32_t>(keys_.size())};
    keys_.push_back({text_.size(), key.size()});
    text_.append(key);
    if (2 * keys_.size() > slots_.size()) grow();
    return keys_.size() - 1;
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
