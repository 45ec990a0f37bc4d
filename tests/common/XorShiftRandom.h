// Random numbers for generated test and benchmark inputs: xorshift64*, the same sequence on
// every platform and library, so that a seed names one input for good.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ruk::test {

class TRandom {
public:
    explicit TRandom(uint64_t seed) : FState(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint32_t Next() {
        FState ^= FState >> 12;
        FState ^= FState << 25;
        FState ^= FState >> 27;
        return static_cast<uint32_t>((FState * 0x2545F4914F6CDD1Dull) >> 32);
    }
    int Below(int n) { return n <= 1 ? 0 : static_cast<int>(Next() % static_cast<uint32_t>(n)); }
    bool Chance(int percent) { return Below(100) < percent; }
    template <class T, size_t N>
    const T& Pick(const T (&items)[N]) {
        return items[Below(static_cast<int>(N))];
    }

private:
    uint64_t FState;
};

}  // namespace ruk::test
