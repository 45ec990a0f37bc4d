#include "RUKWinUtils.h"

#include "RUKDynWindows.h"
#include "SysUtils.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

using namespace ruk;

namespace {

// ---------------------------------------------------------------- drive masks

DWORD gTestMask = 0;
DWORD WINAPI TestMask() { return gTestMask; }

class DriveMaskSeam : public ::testing::Test {
protected:
    void SetUp() override { FPrevious = SetLogicalDrivesSource(&TestMask); }
    void TearDown() override { SetLogicalDrivesSource(FPrevious); }
    TLogicalDrivesSource FPrevious = nullptr;
};

// ---------------------------------------------------------------- point records

std::vector<std::uint8_t> PointBytes(const std::vector<TPoint>& points) {
    std::vector<std::uint8_t> bytes(points.size() * 8);
    for (size_t i = 0; i < points.size(); ++i) {
        const std::uint32_t x = static_cast<std::uint32_t>(points[i].x);
        const std::uint32_t y = static_cast<std::uint32_t>(points[i].y);
        for (int b = 0; b < 4; ++b) {
            bytes[i * 8 + b] = static_cast<std::uint8_t>(x >> (8 * b));
            bytes[i * 8 + 4 + b] = static_cast<std::uint8_t>(y >> (8 * b));
        }
    }
    return bytes;
}

void ExpectPoint(const TPoint& p, LONG x, LONG y, const char* what) {
    EXPECT_EQ(p.x, x) << what;
    EXPECT_EQ(p.y, y) << what;
}

std::string SystemMessage(DWORD code) {
    char buffer[512] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                   buffer, sizeof buffer, nullptr);
    return buffer;
}

// Sets an environment variable for one test and restores it afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : FName(name) {
        char buffer[32768];
        const DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
        FHad = n > 0 && n < sizeof buffer;
        if (FHad) FOld = buffer;
        SetEnvironmentVariableA(name, value);
    }
    ~ScopedEnv() { SetEnvironmentVariableA(FName, FHad ? FOld.c_str() : nullptr); }

private:
    const char* FName;
    bool FHad = false;
    std::string FOld;
};

}  // namespace

// ---------------------------------------------------------------- drives

TEST_F(DriveMaskSeam, EnumeratesTheDrivesOfMask2C) {
    gTestMask = 0x2C;  // C, D and F
    EXPECT_EQ(RetNumLogicalDrvs(), 3);
    EXPECT_EQ(GetFistLogicalDrvChar(), 'C');
    EXPECT_EQ(GetNextLogicalDrvChar(), 'D');
    EXPECT_EQ(GetNextLogicalDrvChar(), 'F');
    EXPECT_EQ(GetNextLogicalDrvChar(), '\0');
    EXPECT_EQ(GetLastLogicalDrvChar(), 'F');
    // The current letter stayed at F: a drive that appears after it is found next.
    gTestMask = 0x2C | 0x100;
    EXPECT_EQ(GetNextLogicalDrvChar(), 'I');
    EXPECT_EQ(GetLastLogicalDrvChar(), 'I');
}

TEST_F(DriveMaskSeam, MaskIsReadAfreshOnEveryCall) {
    gTestMask = 0x2C;
    EXPECT_EQ(GetFistLogicalDrvChar(), 'C');
    gTestMask = 0x3C;  // E appears
    EXPECT_EQ(GetNextLogicalDrvChar(), 'D');
    EXPECT_EQ(GetNextLogicalDrvChar(), 'E');
    gTestMask = 0x0C;  // F vanishes
    EXPECT_EQ(GetNextLogicalDrvChar(), '\0');
    EXPECT_EQ(RetNumLogicalDrvs(), 2);
}

TEST_F(DriveMaskSeam, EmptyMaskAndNextBeforeAnyDriveWasFound) {
    gTestMask = 0;
    EXPECT_EQ(RetNumLogicalDrvs(), 0);
    EXPECT_EQ(GetFistLogicalDrvChar(), '\0');
    EXPECT_EQ(GetLastLogicalDrvChar(), '\0');
    EXPECT_EQ(GetNextLogicalDrvChar(), '\0');
    gTestMask = 0x2C;
    EXPECT_EQ(GetNextLogicalDrvChar(), '\0');  // no current drive to go on from
}

TEST_F(DriveMaskSeam, AllThirtyTwoBitsCount) {
    gTestMask = 0x80000001u;
    EXPECT_EQ(RetNumLogicalDrvs(), 2);
    EXPECT_EQ(GetFistLogicalDrvChar(), 'A');
    EXPECT_EQ(GetNextLogicalDrvChar(), char('A' + 31));
    EXPECT_EQ(GetLastLogicalDrvChar(), char('A' + 31));
    gTestMask = 0xFFFFFFFFu;
    EXPECT_EQ(RetNumLogicalDrvs(), 32);
}

TEST(LogicalDrives, EnumerationOfTheRealDrives) {
    const DWORD mask = GetLogicalDrives();
    ASSERT_NE(mask, 0u);
    std::string expected;
    for (int k = 0; k < 32; ++k)
        if (mask & (1u << k)) expected += char('A' + k);

    std::string found;
    for (char c = GetFistLogicalDrvChar(); c != '\0'; c = GetNextLogicalDrvChar()) found += c;
    EXPECT_EQ(found, expected);
    EXPECT_EQ(RetNumLogicalDrvs(), int(expected.size()));
    EXPECT_EQ(GetLastLogicalDrvChar(), expected.back());
    EXPECT_NE(expected.find('C'), std::string::npos);
}

// ---------------------------------------------------------------- point records

TEST(PointRecords, FirstNextAndNthRecord) {
    const auto bytes = PointBytes({{1, 2}, {-3, 0x7FFFFFFF}, {int(0x80000000), -1}});
    const std::uint8_t* a = bytes.data();
    const int high = int(bytes.size()) - 1;

    const TPoint* cursor = nullptr;
    ExpectPoint(RetFirstTPointRecFromByteArray(a, high, cursor), 1, 2, "first");
    EXPECT_EQ(reinterpret_cast<const std::uint8_t*>(cursor), a + 8);
    ExpectPoint(RetNextTPointRecFromByteArray(a, high, cursor), -3, 0x7FFFFFFF, "second");
    ExpectPoint(RetNextTPointRecFromByteArray(a, high, cursor), int(0x80000000), -1, "third");
    EXPECT_EQ(reinterpret_cast<const std::uint8_t*>(cursor), a + 24);
    // Past the last whole record: (0, 0) and the cursor stays.
    ExpectPoint(RetNextTPointRecFromByteArray(a, high, cursor), 0, 0, "past the end");
    EXPECT_EQ(reinterpret_cast<const std::uint8_t*>(cursor), a + 24);

    struct Case {
        int n;
        LONG x, y;
    } cases[] = {{0, 1, 2}, {1, 1, 2}, {2, -3, 0x7FFFFFFF}, {3, int(0x80000000), -1},
                 {4, 0, 0}, {-1, 0, 0}};
    for (const auto& c : cases) {
        const TPoint p = RetTPointRecFromByteArray(c.n, a, high);
        EXPECT_EQ(p.x, c.x) << "N = " << c.n;
        EXPECT_EQ(p.y, c.y) << "N = " << c.n;
    }
}

TEST(PointRecords, UnusableOrShortArraysGiveZeroAndKeepTheCursor) {
    const auto bytes = PointBytes({{5, 6}, {7, 8}});
    const std::uint8_t* a = bytes.data();
    const TPoint* const marker = reinterpret_cast<const TPoint*>(a + 4);

    struct Case {
        const std::uint8_t* array;
        int high;
        const char* what;
    } cases[] = {{nullptr, 15, "no array"}, {a, 1, "high index 1"}, {a, -1, "empty"},
                 {a, 2, "three bytes"}, {a, 6, "seven bytes"}};
    for (const auto& c : cases) {
        const TPoint* cursor = marker;
        ExpectPoint(RetFirstTPointRecFromByteArray(c.array, c.high, cursor), 0, 0, c.what);
        EXPECT_EQ(cursor, marker) << c.what;
        ExpectPoint(RetNextTPointRecFromByteArray(c.array, c.high, cursor), 0, 0, c.what);
        EXPECT_EQ(cursor, marker) << c.what;
        ExpectPoint(RetTPointRecFromByteArray(1, c.array, c.high), 0, 0, c.what);
    }

    // Exactly one whole record.
    const TPoint* cursor = nullptr;
    ExpectPoint(RetFirstTPointRecFromByteArray(a, 7, cursor), 5, 6, "eight bytes");
    ExpectPoint(RetNextTPointRecFromByteArray(a, 7, cursor), 0, 0, "eight bytes, next");

    // A nil cursor or one outside the array reads nothing.
    cursor = nullptr;
    ExpectPoint(RetNextTPointRecFromByteArray(a, 15, cursor), 0, 0, "nil cursor");
    EXPECT_EQ(cursor, nullptr);
    cursor = reinterpret_cast<const TPoint*>(a - 8);
    ExpectPoint(RetNextTPointRecFromByteArray(a, 15, cursor), 0, 0, "cursor before the array");
    cursor = reinterpret_cast<const TPoint*>(a + 12);
    ExpectPoint(RetNextTPointRecFromByteArray(a, 15, cursor), 0, 0, "cursor in the last record");
}

// ---------------------------------------------------------------- folders and names

TEST(WinFolders, FoldersAreTheSystemsWithoutTrailingZeros) {
    char buffer[MAX_PATH] = {};
    struct Case {
        const char* what;
        std::string got;
        UINT n;
    } cases[] = {
        {"system", GetSystemPath(), GetSystemDirectoryA(buffer, MAX_PATH)},
        {"windows", GetWindowsPath(), GetWindowsDirectoryA(buffer, MAX_PATH)},
        {"temp", GetTemporaryPath(), UINT(GetTempPathA(MAX_PATH, buffer))},
    };
    std::string expected[3];
    GetSystemDirectoryA(buffer, MAX_PATH);
    expected[0] = buffer;
    GetWindowsDirectoryA(buffer, MAX_PATH);
    expected[1] = buffer;
    GetTempPathA(MAX_PATH, buffer);
    expected[2] = buffer;
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(cases[i].got.empty()) << cases[i].what;
        EXPECT_EQ(cases[i].got, expected[i]) << cases[i].what;
        EXPECT_EQ(cases[i].got.size(), std::strlen(cases[i].got.c_str())) << cases[i].what;
    }
    EXPECT_EQ(expected[2].back(), '\\');
}

TEST(WinFolders, PathVariableOfEveryLength) {
    {
        char buffer[32768] = {};
        GetEnvironmentVariableA("Path", buffer, sizeof buffer);
        EXPECT_EQ(GetPathEnvironmentVar(), std::string(buffer));
        EXPECT_FALSE(GetPathEnvironmentVar().empty());
    }
    // Around the first buffer of 4096 bytes, and well beyond it.
    for (size_t length : {size_t(1), size_t(4095), size_t(4096), size_t(4097), size_t(10000)}) {
        std::string value(length, 'p');
        value[0] = 'C';
        value.back() = 'z';
        ScopedEnv env("Path", value.c_str());
        EXPECT_EQ(GetPathEnvironmentVar(), value) << length;
    }
    ScopedEnv unset("Path", nullptr);
    EXPECT_EQ(GetPathEnvironmentVar(), "");
}

TEST(WinNames, UserAndComputerNames) {
    char user[257] = {};
    DWORD userSize = sizeof user;
    ASSERT_TRUE(GetUserNameA(user, &userSize));
    EXPECT_EQ(RetUserName(), std::string(user));
    EXPECT_FALSE(RetUserName().empty());

    char computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD computerSize = sizeof computer;
    ASSERT_TRUE(GetComputerNameA(computer, &computerSize));
    EXPECT_EQ(GetNetBiosComputerName(), std::string(computer));
    EXPECT_FALSE(GetNetBiosComputerName().empty());
}

TEST(WinProcess, Is64BitProcessAnswersThroughTheBoundKernelFunction) {
    BOOL expected = -1;
    ASSERT_TRUE(::IsWow64Process(GetCurrentProcess(), &expected));
    int flag = -1;
    EXPECT_EQ(Is64BitProcess(flag), 0);
    EXPECT_EQ(flag, expected);
}

TEST(WinScreen, ScreenSizeInMillimetres) {
    const int width = ScreenWidthInMm(), height = ScreenHeightInMm();
    EXPECT_GT(width, 0);
    EXPECT_GT(height, 0);
    // A window on the display has the display's device.
    HWND wnd = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(wnd, nullptr);
    EXPECT_EQ(ScreenWidthInMm(wnd), width);
    EXPECT_EQ(ScreenHeightInMm(wnd), height);
    DestroyWindow(wnd);
}

// ---------------------------------------------------------------- text types

TEST(IdentifyTextType, FirstTestThatSetsAFlagDecides) {
    const unsigned char bom[] = {0xFF, 0xFE, 'a', 0, 'b', 0};
    const unsigned char reversedBom[] = {0xFE, 0xFF, 0, 'a', 0, 'b'};
    const wchar_t controls[] = L"one\r\ntwo";
    const wchar_t plainWide[] = L"abcdefgh";
    const char oddAnsi[] = "Hello";
    const char evenAnsi[] = "abcd";
    struct Case {
        const void* buffer;
        int size;
        TRUKTextIdentType expected;
        const char* what;
    } cases[] = {
        {bom, sizeof bom, tiTypeUnicode, "byte-order mark"},
        {reversedBom, sizeof reversedBom, tiTypeUnicode, "reversed byte-order mark"},
        {controls, int(sizeof controls - sizeof(wchar_t)), tiTypeUnicode, "16-bit controls"},
        {plainWide, int(sizeof plainWide - sizeof(wchar_t)), tiTypeUnicodeAssumed,
         "16-bit text without controls"},
        {oddAnsi, 5, tiTypeANSI, "odd length"},
        {evenAnsi, 4, tiTypeNone, "nothing decides"},
        {nullptr, 10, tiTypeNone, "no buffer"},
        {evenAnsi, 0, tiTypeNone, "empty"},
        {evenAnsi, -4, tiTypeNone, "negative size"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(int(IdentifyTextType(c.buffer, c.size)), int(c.expected)) << c.what;
}

// ---------------------------------------------------------------- paths

TEST(IsValidWindowsPath, InvalidCharactersAndQuestionMarks) {
    struct Case {
        std::string path;
        bool valid;
        int pos;
    } cases[] = {
        {"", false, 0},
        {"C:\\docs\\page.htm", true, 0},
        {"C:\\a*b|c", false, 5},  // '*' is looked for before '|'
        {"C:\\a|b*", false, 7},
        {"C:\\x<y>", false, 7},   // '>' before '<'
        {"C:\\x<y", false, 5},
        {std::string("ab\x01") + "c", false, 3},
        {std::string("a\x1F") + "b\x01", false, 2},  // #31 before #1
        {"C:\\what?.txt", false, 0},
        {"\\\\?\\C:\\what?.txt", true, 0},
        {"\\\\?\\C:\\a*b", false, 9},
        {"C:\\a\\?\\b", false, 0},
    };
    for (const auto& c : cases) {
        int pos = 99;
        EXPECT_EQ(IsValidWindowsPath(c.path, pos), c.valid) << c.path;
        EXPECT_EQ(pos, c.pos) << c.path;
        EXPECT_EQ(IsValidWindowsPath(c.path), c.valid) << c.path;
    }
}

TEST(ExpandEnvStringsToPath, ExpandsAndReportsCodes) {
    ScopedEnv env("RUKTESTDIR", "C:\\Lexmill data");
    std::string dest = "untouched";
    EXPECT_EQ(ExpandEnvStringsToPath("%RUKTESTDIR%\\words.txt", dest), 0);
    EXPECT_EQ(dest, "C:\\Lexmill data\\words.txt");
    EXPECT_EQ(dest.size(), std::strlen(dest.c_str()));

    EXPECT_EQ(ExpandEnvStringsToPath("%RUKNOSUCHVAR%", dest), 0);
    EXPECT_EQ(dest, "%RUKNOSUCHVAR%");

    dest = "untouched";
    EXPECT_EQ(ExpandEnvStringsToPath("", dest), 87);
    EXPECT_EQ(dest, "untouched");

    SetLastError(0);
    EXPECT_EQ(ExpandEnvStringsToPath(std::string()), "");
    EXPECT_EQ(GetLastError(), 87u);
    EXPECT_EQ(ExpandEnvStringsToPath(std::string("%RUKTESTDIR%")), "C:\\Lexmill data");
}

// ---------------------------------------------------------------- error texts

TEST(WinErrorString, SystemMessageAsGivenAndQuoted) {
    const std::string message = SystemMessage(ERROR_FILE_NOT_FOUND);
    ASSERT_GE(message.size(), 2u);
    ASSERT_EQ(message.substr(message.size() - 2), "\r\n");
    EXPECT_EQ(GetWinErrorString(2), message);

    const std::string bare = message.substr(0, message.size() - 2);
    EXPECT_EQ(GetWinErrorStringEx(2, true, true, '\''), "'" + bare + "'");
    EXPECT_EQ(GetWinErrorStringEx(2, true, false, '\''), bare);
    EXPECT_EQ(GetWinErrorStringEx(2, false, false, '\''), message);
    EXPECT_EQ(GetWinErrorStringEx(2, false, true, '"'), "\"" + message + "\"");

    // A quote character inside the text is doubled.
    std::string doubled = "e";
    for (char c : bare) {
        doubled += c;
        if (c == 'e') doubled += 'e';
    }
    doubled += 'e';
    ASSERT_NE(bare.find('e'), std::string::npos);
    EXPECT_EQ(GetWinErrorStringEx(2, true, true, 'e'), doubled);
}

TEST(WinErrorString, UnknownCodeGivesEmptyTextWithoutQuotes) {
    EXPECT_EQ(GetWinErrorString(0x2FFFFFFF), "");
    EXPECT_EQ(GetWinErrorStringEx(0x2FFFFFFF, true, true, '\''), "");
}

TEST(WinErrorString, NegativeCodeIsARangeErrorNotAConvertedCode) {
    // A negative Integer is not passed to the system as an unsigned message number: an
    // HRESULT such as 0x80070002 given as a negative Integer raises instead.
    for (int code : {-1, static_cast<int>(0x80070002u), INT_MIN}) {
        EXPECT_THROW(GetWinErrorString(code), ERangeError) << code;
        EXPECT_THROW(GetWinErrorStringEx(code, true, true, '\''), ERangeError) << code;
    }
    EXPECT_FALSE(GetWinErrorString(0).empty());  // 0 is a code like any other
}
