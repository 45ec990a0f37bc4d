// RUKSysTypes: the shared types of the base library: short strings of fixed
// capacity, 256-value character sets and dynamic arrays.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace ruk {

// ---------------------------------------------------------------- short strings

// A text of 0 to N bytes kept in fixed storage behind a length byte. Conversions
// from and to std::string are implicit so that a short string can be assigned and
// passed like a text; assigning a longer text keeps its first N bytes. The byte 0
// is an ordinary character.
template <std::size_t N>
class TRUKShortString {
    static_assert(N >= 1 && N <= 255, "a short string holds 1 to 255 characters");

public:
    static constexpr int Capacity = static_cast<int>(N);

    TRUKShortString() = default;
    TRUKShortString(const std::string& s) { Assign(s); }
    TRUKShortString(const char* s) { Assign(s, s ? std::strlen(s) : 0); }

    TRUKShortString& operator=(const std::string& s) {
        Assign(s);
        return *this;
    }
    TRUKShortString& operator=(const char* s) {
        Assign(s, s ? std::strlen(s) : 0);
        return *this;
    }

    int Length() const { return FLength; }
    bool IsEmpty() const { return FLength == 0; }
    const char* Data() const { return FData; }
    std::string Str() const { return std::string(FData, FLength); }
    operator std::string() const { return Str(); }

    bool operator==(const TRUKShortString& other) const {
        return FLength == other.FLength && std::memcmp(FData, other.FData, FLength) == 0;
    }
    bool operator!=(const TRUKShortString& other) const { return !(*this == other); }

private:
    void Assign(const std::string& s) { FLength = static_cast<unsigned char>(s.copy(FData, N)); }
    void Assign(const char* s, std::size_t n) {
        if (n > N) n = N;
        if (n) std::memmove(FData, s, n);
        FLength = static_cast<unsigned char>(n);
    }

    unsigned char FLength = 0;
    char FData[N] = {};
};

// There are deliberately no capacities 2 and 14.
using str_1 = TRUKShortString<1>;
using str_3 = TRUKShortString<3>;
using str_4 = TRUKShortString<4>;
using str_5 = TRUKShortString<5>;
using str_6 = TRUKShortString<6>;
using str_7 = TRUKShortString<7>;
using str_8 = TRUKShortString<8>;
using str_9 = TRUKShortString<9>;
using str_10 = TRUKShortString<10>;
using str_11 = TRUKShortString<11>;
using str_12 = TRUKShortString<12>;
using str_13 = TRUKShortString<13>;
using str_15 = TRUKShortString<15>;
using str_16 = TRUKShortString<16>;
using str_50 = TRUKShortString<50>;
using str_128 = TRUKShortString<128>;
using str_255 = TRUKShortString<255>;

// ---------------------------------------------------------------- character sets

// A set over all 256 byte values, one membership bit each.
class TRUKCharSet {
public:
    constexpr TRUKCharSet() = default;
    constexpr TRUKCharSet(std::initializer_list<char> chars) {
        for (char c : chars) Include(c);
    }
    // The set of every byte of the text (order and repetition don't matter).
    explicit TRUKCharSet(const std::string& chars) {
        for (char c : chars) Include(c);
    }

    constexpr void Include(char c) { FBits[Byte(c) >> 5] |= Bit(c); }
    constexpr void Exclude(char c) { FBits[Byte(c) >> 5] &= ~Bit(c); }
    constexpr bool Contains(char c) const { return (FBits[Byte(c) >> 5] & Bit(c)) != 0; }
    constexpr bool IsEmpty() const {
        for (std::uint32_t w : FBits)
            if (w) return false;
        return true;
    }
    constexpr bool operator==(const TRUKCharSet& other) const { return FBits == other.FBits; }
    constexpr bool operator!=(const TRUKCharSet& other) const { return !(*this == other); }

private:
    static constexpr unsigned Byte(char c) { return static_cast<unsigned char>(c); }
    static constexpr std::uint32_t Bit(char c) { return std::uint32_t{1} << (Byte(c) & 31); }
    std::array<std::uint32_t, 8> FBits{};
};

using t_asciicharset_f = TRUKCharSet;

// ---------------------------------------------------------------- dynamic arrays

// Value semantics: a copy resized by a callee leaves the caller's array as it was.
using TByteArray = std::vector<std::uint8_t>;
using TCharArray = std::vector<char>;
using TIntegerArray = std::vector<std::int32_t>;
using TLargeIntArray = std::vector<std::int64_t>;

// Same elements and layout as their unpacked forms, but types of their own.
class TPackedCharArray : public std::vector<char> {
public:
    using std::vector<char>::vector;
};

class TPackedIntArray : public std::vector<std::int32_t> {
public:
    using std::vector<std::int32_t>::vector;
};

}  // namespace ruk
