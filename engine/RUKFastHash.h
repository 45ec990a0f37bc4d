// Hashing of the fast word-list stages: a running hash of byte strings and the table of
// distinct texts built on it. Header only: the word walk hashes every word as it goes.
#pragma once

#include "RUKFastScan.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ruk::fast {

// A cheap running hash of a byte string (one rotate and one exclusive-or a byte, so that a
// long text is hashed piece by piece at little cost); Mix spreads it over a table. Equal
// hashes are only candidates: the bytes are always compared.
constexpr uint32_t HashSeed = 0x811C9DC5u;
inline uint32_t HashStep(uint32_t h, char c) { return ((h << 5) | (h >> 27)) ^ U8(c); }
inline uint32_t Mix(uint32_t h) {
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return h;
}

inline uint32_t HashBytes(const char* p, size_t n) {
    uint32_t h = HashSeed;
    for (size_t i = 0; i < n; ++i) h = HashStep(h, p[i]);
    return h;
}

// Distinct byte strings in the order first met, found again by hash.
class TDistinctTexts {
public:
    // expected: how many texts to make room for at once.
    explicit TDistinctTexts(size_t expected = 0) : FSlots(TableSize(expected)) {
        FStart.push_back(0);
        FStart.reserve(expected + 1);
        FBytes.reserve(expected * 8);
    }

    // Index of the text, added when new.
    int Add(const char* p, size_t n) { return Add(p, n, HashBytes(p, n)); }

    // The same with the text's HashBytes already at hand.
    int Add(const char* p, size_t n, uint32_t h) {
        const size_t mask = FSlots.size() - 1;
        size_t slot = Mix(h) & mask;
        while (FSlots[slot].Id >= 0) {
            const TSlot& s = FSlots[slot];
            if (s.Hash == h && Length(s.Id) == n && SameBytes(Data(s.Id), p, n)) return s.Id;
            slot = (slot + 1) & mask;
        }
        const int id = Count();
        FBytes.insert(FBytes.end(), p, p + n);
        FStart.push_back(FBytes.size());
        FSlots[slot] = TSlot{h, id};
        if (static_cast<size_t>(Count()) * 2 > FSlots.size()) Grow();
        return id;
    }

    int Count() const { return static_cast<int>(FStart.size()) - 1; }
    const char* Data(int id) const { return FBytes.data() + FStart[static_cast<size_t>(id)]; }
    size_t Length(int id) const {
        return FStart[static_cast<size_t>(id) + 1] - FStart[static_cast<size_t>(id)];
    }
    std::string Text(int id) const { return std::string(Data(id), Length(id)); }

private:
    struct TSlot {
        uint32_t Hash = 0;
        int Id = -1;
    };

    static size_t TableSize(size_t expected) {
        size_t size = 1024;
        while (size < expected * 2 + 2) size *= 2;
        return size;
    }

    void Grow() {
        std::vector<TSlot> slots(FSlots.size() * 2);
        const size_t mask = slots.size() - 1;
        for (const TSlot& s : FSlots) {
            if (s.Id < 0) continue;
            size_t slot = Mix(s.Hash) & mask;
            while (slots[slot].Id >= 0) slot = (slot + 1) & mask;
            slots[slot] = s;
        }
        FSlots.swap(slots);
    }

    std::vector<char> FBytes;
    std::vector<size_t> FStart;
    std::vector<TSlot> FSlots;
};

}  // namespace ruk::fast
