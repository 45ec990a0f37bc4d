// Byte-order mark, masks, integers, hexadecimal text, buffers and byte arrays of RUKSysUtils.
#include "Classes.h"
#include "RUKSysUtils.h"
#include "SysUtils.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ruk {
namespace {

using namespace std::string_literals;

void Fill(TMemoryStream& stream, const std::string& bytes) {
    stream.Write(bytes.data(), static_cast<int>(bytes.size()));
}

// ---------------------------------------------------------------- byte-order mark

TEST(RUKSysUtilsByteOrderMark, ReadsTheFirstTwoBytesAndKeepsThePosition) {
    TMemoryStream stream;
    Fill(stream, "\xFF\xFE" "abcdefghijkl");
    stream.SetPosition(10);
    std::uint32_t mark = 0xABCD0000u;  // the high half is the caller's
    EXPECT_EQ(GetByteOrderMark(&stream, mark), 0);
    EXPECT_EQ(mark, 0xABCDFEFFu);
    EXPECT_EQ(stream.Position(), 10);

    stream.SetPosition(0);
    mark = 0;
    EXPECT_EQ(GetByteOrderMark(&stream, mark), 0);
    EXPECT_EQ(mark, 0xFEFFu);
    EXPECT_EQ(stream.Position(), 0);
}

TEST(RUKSysUtilsByteOrderMark, ShortOrMissingStreams) {
    std::uint32_t mark = 0x12345678u;
    EXPECT_EQ(GetByteOrderMark(static_cast<TStream*>(nullptr), mark), -1);
    TMemoryStream one;
    Fill(one, "\xEF");
    EXPECT_EQ(GetByteOrderMark(&one, mark), -1);
    EXPECT_EQ(mark, 0x12345678u);
    EXPECT_EQ(one.Position(), 1);
    TMemoryStream empty;
    EXPECT_EQ(GetByteOrderMark(&empty, mark), -1);
    EXPECT_EQ(mark, 0x12345678u);
}

// A stream of a given size that fails every read, or stands at a far position.
class TOddStream : public TStream {
public:
    TOddStream(Int64 size, Int64 position) : FSize(size), FPosition(position) {}
    int Read(void*, int) override { throw EReadError("Stream read error"); }
    int Write(const void*, int) override { return 0; }
    Int64 Seek(Int64 offset, TSeekOrigin origin) override {
        if (origin == soBeginning) FPosition = offset;
        if (origin == soCurrent) FPosition += offset;
        if (origin == soEnd) FPosition = FSize + offset;
        return FPosition;
    }
    void SetSize(Int64 size) override { FSize = size; }
    Int64 FSize, FPosition;
};

TEST(RUKSysUtilsByteOrderMark, StreamErrorsGiveMinusOne) {
    std::uint32_t mark = 7;
    TOddStream failing(100, 42);
    EXPECT_EQ(GetByteOrderMark(&failing, mark), -1);
    EXPECT_EQ(mark, 7u);
    EXPECT_EQ(failing.FPosition, 42);  // put back even after the failed read

    TOddStream distant(Int64{1} << 33, Int64{1} << 32);  // a position beyond 32 bits
    EXPECT_EQ(GetByteOrderMark(&distant, mark), -1);
    EXPECT_EQ(mark, 7u);
}

TEST(RUKSysUtilsByteOrderMark, FileForm) {
    char dir[MAX_PATH];
    ASSERT_GT(GetTempPathA(MAX_PATH, dir), 0u);
    const std::string name = std::string(dir) + "ruk_bom_test_" + std::to_string(GetCurrentProcessId()) + ".txt";
    {
        TFileStream f(name, fmCreate);
        f.WriteBuffer("\xFE\xFFxyz", 5);
    }
    std::uint32_t mark = 0;
    {
        // Others may keep the file open for writing meanwhile.
        TFileStream writer(name, fmOpenReadWrite | fmShareDenyNone);
        EXPECT_EQ(GetByteOrderMark(name, mark), 0);
        EXPECT_EQ(mark, 0xFFFEu);
    }
    EXPECT_TRUE(DeleteFileA(name.c_str())) << "the file was left open";

    EXPECT_EQ(GetByteOrderMark(std::string(), mark), -1);
    EXPECT_THROW(GetByteOrderMark(name, mark), EFOpenError);
}

// ---------------------------------------------------------------- masks and integers

TEST(RUKSysUtilsNumbers, BitsAndDrives) {
    EXPECT_EQ(RetNumBitsSetInLongintMask(0), 0);
    EXPECT_EQ(RetNumBitsSetInLongintMask(0xFFFFFFFFu), 32);
    EXPECT_EQ(RetNumBitsSetInLongintMask(0x80000000u), 1);
    EXPECT_EQ(RetNumBitsSetInLongintMask(0xBu), 3);

    struct Case { std::uint32_t mask; std::uint8_t index; char expected; };
    const std::vector<Case> cases = {
        {0xB, 1, 'A'}, {0xB, 2, 'B'}, {0xB, 3, 'D'}, {0xB, 4, 'D'}, {0xB, 0, 'D'}, {0xB, 255, 'D'},
        {0, 1, '@'}, {0, 0, '@'},
        {0x02000000, 1, 'Z'}, {0x03FFFFFF, 26, 'Z'}, {0x03FFFFFF, 3, 'C'},
        {0xFC000001, 2, 'A'},  // bits above Z are no drives
    };
    for (const auto& c : cases)
        EXPECT_EQ(RetDrvCharFromDrvMask(c.mask, c.index), c.expected) << std::hex << c.mask << " #" << int(c.index);
}

TEST(RUKSysUtilsNumbers, Int64Halves) {
    EXPECT_EQ(LongintToInt64(0xFFFFFFFFu, 0), 4294967295LL);
    EXPECT_EQ(LongintToInt64(0, -1), -4294967296LL);
    EXPECT_EQ(LongintToInt64(0xFFFFFFFFu, -1), -1LL);
    EXPECT_EQ(LongintToInt64(0x9ABCDEF0u, 0x12345678), 0x123456789ABCDEF0LL);
    EXPECT_EQ(Int64HiDWORD(-1), 0xFFFFFFFFu);
    EXPECT_EQ(Int64LoDWORD(-1), 0xFFFFFFFFu);
    EXPECT_EQ(Int64HiDWORD(0x123456789ABCDEF0LL), 0x12345678u);
    EXPECT_EQ(Int64LoDWORD(0x123456789ABCDEF0LL), 0x9ABCDEF0u);
}

TEST(RUKSysUtilsNumbers, HexStrToInt) {
    struct Case { std::string hex; std::int32_t expected; };
    const std::vector<Case> cases = {
        {"12345678", 305419896}, {"FFFFFFFF", -1}, {"7FFFFFFF", INT32_MAX}, {"80000000", INT32_MIN},
        {"0000000A", 10}, {"ABCDEF01", static_cast<std::int32_t>(0xABCDEF01u)},
        {"123456789", 305419896},  // an str_8 keeps eight digits
        {"FF", 255}, {"", 0}, {"ff", 255}, {"G1", 1},
    };
    for (const auto& c : cases) EXPECT_EQ(HexStrToInt(c.hex), c.expected) << c.hex;
}

// ---------------------------------------------------------------- buffers

TEST(RUKSysUtilsBuffers, CountingZeroTerminatedTexts) {
    const std::string two = "ab\0cd\0\0"s;
    EXPECT_EQ(GetNumZeroTerminatedStrsInBuf(two.data(), static_cast<int>(two.size())), 2);
    EXPECT_EQ(GetNumZeroTerminatedStrsInBuf("\0\0", 2), 0);
    EXPECT_EQ(GetNumZeroTerminatedStrsInBuf(two.data(), 0), -1);
    EXPECT_EQ(GetNumZeroTerminatedStrsInBuf(nullptr, 10), -1);
    // A buffer that breaks the rule is not read beyond its size.
    const std::string open = "ab\0cd"s;
    EXPECT_EQ(GetNumZeroTerminatedStrsInBuf(open.data(), 5), 1);
    EXPECT_EQ(GetNumZeroTerminatedStrsInBuf(two.data(), 4), 1);
}

TEST(RUKSysUtilsBuffers, AddingZeroTerminatedTextsToAList) {
    const std::string buf = "one\0two\0three\0\0"s;
    TStringList list;
    list.Add("kept");
    EXPECT_EQ(GetZeroTerminatedStringsFromBuf(buf.data(), static_cast<int>(buf.size()), &list), 3);
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list[0], "kept");
    EXPECT_EQ(list[1], "one");
    EXPECT_EQ(list[3], "three");

    EXPECT_EQ(GetZeroTerminatedStringsFromBuf(buf.data(), static_cast<int>(buf.size()), nullptr), -1);
    EXPECT_EQ(GetZeroTerminatedStringsFromBuf("\0"s.data(), 1, &list), 0);
    EXPECT_EQ(GetZeroTerminatedStringsFromBuf(nullptr, 1, &list), -1);
    EXPECT_EQ(list.Count(), 4);
}

// ---------------------------------------------------------------- byte arrays

TByteArray Bytes(const std::string& s) { return TByteArray(s.begin(), s.end()); }

TEST(RUKSysUtilsByteArrays, ArrayLengthAndCount) {
    struct Case { std::string bytes; int length, count; };
    const std::vector<Case> cases = {
        {""s, -1, 0},        {"\0"s, -1, 0},       {"a\0"s, -1, 0},
        {"ab\0"s, 0, 0},     {"abc\0"s, 1, 0},     // a size below 2 reads nothing
        {"abcd\0"s, 2, 4},   {"abcde\0x\0"s, 3, 5}, {"a\0bcdef\0"s, -1, 0},
        {"ab"s, 0, 0},       // no zero byte: the end of the array stands for it
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RetZeroTerminatedStrArrayLength(Bytes(c.bytes)), c.length) << c.bytes.size();
        EXPECT_EQ(RetZeroTerminatedStrCount(Bytes(c.bytes)), c.count) << c.bytes.size();
    }
}

TEST(RUKSysUtilsByteArrays, FirstAndNextTextsWithStepOne) {
    const TByteArray a = Bytes("abc\0de\0"s);
    int cursor = ByteArrayCursorUnset;
    EXPECT_EQ(RetFirstZTerminatedStrFromByteArray(a, 7, cursor), "abc");
    EXPECT_EQ(cursor, 1);
    EXPECT_EQ(RetNextZTerminatedStrFromByteArray(a, 7, cursor), "bc");
    EXPECT_EQ(RetNextZTerminatedStrFromByteArray(a, 7, cursor), "c");
    EXPECT_EQ(RetNextZTerminatedStrFromByteArray(a, 7, cursor), "");
    EXPECT_EQ(cursor, 4);
    EXPECT_EQ(RetNextZTerminatedStrFromByteArray(a, 7, cursor), "de");
}

TEST(RUKSysUtilsByteArrays, FirstAndNextTextsWithASlotWidth) {
    const TByteArray a = Bytes("ab\0\0cd\0\0ef\0\0"s);
    int cursor = ByteArrayCursorUnset;
    EXPECT_EQ(RetFirstZTerminatedStrFromByteArray(a, 12, 4, cursor), "ab");
    EXPECT_EQ(cursor, 4);
    EXPECT_EQ(RetNextZTerminatedStrFromByteArray(a, 12, 4, cursor), "cd");
    EXPECT_EQ(RetNextZTerminatedStrFromByteArray(a, 12, 4, cursor), "ef");
    EXPECT_EQ(cursor, 12);
    // Beyond the array nothing is read and the cursor stays.
    EXPECT_EQ(RetNextZTerminatedStrFromByteArray(a, 12, 4, cursor), "");
    EXPECT_EQ(cursor, 12);

    struct Case { int index; std::string expected; };
    const std::vector<Case> cases = {{-1, ""}, {0, "ab"}, {1, "ab"}, {2, "cd"}, {3, "ef"}, {4, ""}, {1000000, ""}};
    for (const auto& c : cases) EXPECT_EQ(RetZeroTerminatedStrFromByteArray(c.index, a, 4, 12), c.expected) << c.index;
    EXPECT_EQ(RetZeroTerminatedStrFromByteArray(2, a, 4, 1), "");
}

TEST(RUKSysUtilsByteArrays, ReadersRefuseEmptyArraysSmallSizesAndUnsetCursors) {
    const TByteArray a = Bytes("xy\0"s);
    int cursor = 99;
    EXPECT_EQ(RetFirstZTerminatedStrFromByteArray(TByteArray(), 10, cursor), "");
    EXPECT_EQ(RetFirstZTerminatedStrFromByteArray(a, 1, cursor), "");
    EXPECT_EQ(RetFirstZTerminatedStrFromByteArray(a, 1, 4, cursor), "");
    EXPECT_EQ(cursor, 99);
    cursor = ByteArrayCursorUnset;
    EXPECT_EQ(RetNextZTerminatedStrFromByteArray(a, 3, cursor), "");
    EXPECT_EQ(cursor, ByteArrayCursorUnset);
    cursor = 0;
    EXPECT_EQ(RetNextZTerminatedStrFromByteArray(a, 1, cursor), "");
    EXPECT_EQ(cursor, 0);

    EXPECT_EQ(RetZeroTerminatedStrFromByteArray(0, a, 3), "xy");
    EXPECT_EQ(RetZeroTerminatedStrFromByteArray(1, a, 3), "xy");
    EXPECT_EQ(RetZeroTerminatedStrFromByteArray(2, a, 3), "");  // only the first text
    EXPECT_EQ(RetZeroTerminatedStrFromByteArray(0, a, 1), "");
    EXPECT_EQ(RetZeroTerminatedStrFromByteArray(0, TByteArray(), 5), "");
    // A text that runs to the end of the array without a zero byte ends there.
    EXPECT_EQ(RetZeroTerminatedStrFromByteArray(0, Bytes("abc"), 3), "abc");
}

TEST(RUKSysUtilsByteArrays, Words) {
    const TByteArray a = {0x34, 0x12, 0x78, 0x56, 0xBC, 0x9A};
    int cursor = ByteArrayCursorUnset;
    EXPECT_EQ(RetNextWORDFromByteArray(a, 0, cursor), 0);
    EXPECT_EQ(RetFirstWORDFromByteArray(a, 0, cursor), 0x1234);
    EXPECT_EQ(cursor, 2);
    EXPECT_EQ(RetNextWORDFromByteArray(a, 0, cursor), 0x5678);
    EXPECT_EQ(RetNextWORDFromByteArray(a, 0, cursor), 0x9ABC);
    EXPECT_EQ(cursor, 6);
    EXPECT_EQ(RetNextWORDFromByteArray(a, 0, cursor), 0);  // no word beyond the end
    EXPECT_EQ(cursor, 6);

    struct Case { int index; std::uint16_t expected; };
    const std::vector<Case> cases = {{-1, 0}, {0, 0x1234}, {1, 0x1234}, {2, 0x5678}, {3, 0x9ABC}, {4, 0}, {INT32_MAX, 0}};
    for (const auto& c : cases) EXPECT_EQ(RetWORDFromByteArray(c.index, a, 6), c.expected) << c.index;

    cursor = 5;
    EXPECT_EQ(RetFirstWORDFromByteArray(TByteArray{1}, 1, cursor), 0);
    EXPECT_EQ(cursor, 5);
    cursor = 5;  // a word that would end beyond the array
    EXPECT_EQ(RetNextWORDFromByteArray(a, 6, cursor), 0);
    EXPECT_EQ(cursor, 5);
}

TEST(RUKSysUtilsByteArrays, LargeIntArrayLengths) {
    const TLargeIntArray three = {1, 2, 3};
    EXPECT_EQ(IncLargeIntArray(three), 4);
    EXPECT_EQ(DecLargeIntArray(three), 2);
    EXPECT_EQ(three.size(), 3u);
    EXPECT_EQ(IncLargeIntArray(TLargeIntArray()), -1);
    EXPECT_EQ(DecLargeIntArray(TLargeIntArray()), -1);
    EXPECT_EQ(DecLargeIntArray(TLargeIntArray{9}), 0);
}

}  // namespace
}  // namespace ruk
