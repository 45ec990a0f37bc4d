// Small operating-system utilities: handle tests, screen size, point records in byte
// arrays, logical drives, system folders, names, the 32-bit-on-64-bit test, text-type
// identification, path validation, environment expansion and system error texts.
// Failures give a neutral result (empty text, #0, (0, 0), 0); apart from the range check of
// the error texts nothing here raises.
#pragma once

#include "RUKValidHandle.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace ruk {

// Classification of a text buffer by the system's Unicode test.
enum TRUKTextIdentType : std::uint8_t {
    tiTypeNone = 0,
    tiTypeUnknown,
    tiTypeASCII,
    tiTypeANSI,
    tiTypeUnicode,
    tiTypeASCIIAssumed,
    tiTypeANSIAssumed,
    tiTypeUnicodeAssumed
};

// Characters that no Windows path may hold: #1 to #31, then < > | *.
inline constexpr std::array<char, 35> C_INVALIDWINPATHCHARS = {
    '\x01', '\x02', '\x03', '\x04', '\x05', '\x06', '\x07', '\x08', '\x09', '\x0A', '\x0B', '\x0C',
    '\x0D', '\x0E', '\x0F', '\x10', '\x11', '\x12', '\x13', '\x14', '\x15', '\x16', '\x17', '\x18',
    '\x19', '\x1A', '\x1B', '\x1C', '\x1D', '\x1E', '\x1F', '<',    '>',    '|',    '*'};

// Reserved device names.
inline constexpr std::array<std::string_view, 23> C_INVALIDWINPATHNAMES = {
    "CON",  "PRN",  "AUX",  "CLOCK$", "NUL",  "COM1", "COM2", "COM3",
    "COM4", "COM5", "COM6", "COM7",   "COM8", "COM9", "LPT1", "LPT2",
    "LPT3", "LPT4", "LPT5", "LPT6",   "LPT7", "LPT8", "LPT9"};

// The class library's point: two signed 32-bit integers, X then Y (here x and y).
using TPoint = POINT;

// ---------------------------------------------------------------- screen

// Size of the display (CreateDCA "DISPLAY"), or of a window's device, in millimetres.
int ScreenWidthInMm();
int ScreenWidthInMm(HWND Wnd);
int ScreenHeightInMm();
int ScreenHeightInMm(HWND Wnd);

// ---------------------------------------------------------------- point records

// A byte array, given by its first byte A and its high index High (in bytes), holds 8-byte
// point records from its first byte. It is usable when A is given and High is at least 2;
// a record is read only when all of its 8 bytes lie inside the array, otherwise the
// result is (0, 0) and Cursor stays where it was.
TPoint RetFirstTPointRecFromByteArray(const std::uint8_t* A, int High, const TPoint*& Cursor);
TPoint RetNextTPointRecFromByteArray(const std::uint8_t* A, int High, const TPoint*& Cursor);
// Record N counted from 1 (0 also gives the first); negative N gives (0, 0).
TPoint RetTPointRecFromByteArray(int N, const std::uint8_t* A, int High);

// ---------------------------------------------------------------- logical drives

// Bit k of the drive mask stands for the letter 'A' + k. The first/next queries keep the
// current letter between calls, for one enumeration at a time.
int RetNumLogicalDrvs();
char GetFistLogicalDrvChar();
// #0 when no drive follows the current one, or before the first query found one.
char GetNextLogicalDrvChar();
char GetLastLogicalDrvChar();

// Test seam: where the drive mask comes from (GetLogicalDrives; nullptr restores it).
// Returns the source used before.
using TLogicalDrivesSource = DWORD(WINAPI*)();
TLogicalDrivesSource SetLogicalDrivesSource(TLogicalDrivesSource source);

// ---------------------------------------------------------------- folders and names

std::string GetSystemPath();
std::string GetWindowsPath();
std::string GetTemporaryPath();
std::string GetPathEnvironmentVar();
std::string RetUserName();
std::string GetNetBiosComputerName();

// IsWow64Process of the current process: 0 with Flag set, or the system's error code.
int Is64BitProcess(int& Flag);

// ---------------------------------------------------------------- texts and paths

// Runs the system's Unicode test one test at a time: signatures, then 16-bit ASCII and
// controls, then statistics (assumed), then odd length (ANSI), then illegal characters
// (ANSI assumed); tiTypeNone when none decides or there is no buffer.
TRUKTextIdentType IdentifyTextType(const void* lpv, int Size);

// False for an empty path, a path with an invalid character (Pos: its 1-based position,
// the characters tried from '*' down to #1), or with '?' outside a "\\?\" prefix (Pos 0).
bool IsValidWindowsPath(const std::string& Path, int& Pos);
bool IsValidWindowsPath(const std::string& Path);

// Expands environment variables into Dest: 0, 87 for an empty Src (Dest untouched) or
// 1627 when the expansion fails (Dest untouched).
int ExpandEnvStringsToPath(const std::string& Src, std::string& Dest);
// The expanded text; on failure empty, with the code as the last error.
std::string ExpandEnvStringsToPath(const std::string& Src);

// The system's message for Code, as the system gives it (usually ending in CR LF). A
// negative Code raises ERangeError.
std::string GetWinErrorString(int Code);
// The same, without its CR LF pairs when RemoveCRLF, and quoted with QuoteChar (inner
// ones doubled) when Quote and the text is not empty.
std::string GetWinErrorStringEx(int Code, bool RemoveCRLF, bool Quote, char QuoteChar);

}  // namespace ruk
