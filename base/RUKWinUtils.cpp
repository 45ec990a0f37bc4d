#include "RUKWinUtils.h"

#include "RUKDynWindows.h"

#include "Handles.h"
#include "SysUtils.h"

#include <cstring>
#include <new>
#include <vector>

namespace ruk {

namespace {

// ---------------------------------------------------------------- screen

int DisplayCaps(int index) {
    const TMemoryDC dc(CreateDCA("DISPLAY", nullptr, nullptr, nullptr));
    return dc ? GetDeviceCaps(dc.Get(), index) : 0;
}

int WindowCaps(HWND Wnd, int index) {
    const TWindowDC dc(Wnd);
    return dc ? GetDeviceCaps(dc.Get(), index) : 0;
}

// ---------------------------------------------------------------- point records

constexpr int kPointSize = static_cast<int>(sizeof(TPoint));
static_assert(kPointSize == 8);

bool Usable(const std::uint8_t* A, int High) { return A != nullptr && High >= 2; }

// Reads the record at byte offset `at` when all its bytes lie in A[0..High].
bool ReadPoint(const std::uint8_t* A, int High, std::intptr_t at, TPoint& out) {
    if (at < 0 || at > static_cast<std::intptr_t>(High) + 1 - kPointSize) return false;
    std::memcpy(&out, A + at, sizeof out);
    return true;
}

// ---------------------------------------------------------------- drives

TLogicalDrivesSource gDrivesSource = &::GetLogicalDrives;
// The letter found by the last first/next query, #0 before any.
char gCurrentDrive = '\0';

DWORD DriveMask() { return gDrivesSource(); }

char DriveLetter(int bit) { return static_cast<char>('A' + bit); }

// Returns the lowest set bit of mask at or above `from`, or -1.
int LowestBitFrom(DWORD mask, int from) {
    for (int k = from; k < 32; ++k)
        if (mask & (DWORD(1) << k)) return k;
    return -1;
}

// ---------------------------------------------------------------- folders

// Asks with size 0 for the size needed, then with a zero-filled buffer of that size.
template <class Query>
std::string QueryFolder(Query query) {
    const UINT needed = query(nullptr, 0);
    if (needed == 0) return {};
    std::string buffer(needed, '\0');
    if (query(buffer.data(), needed) == 0) return {};
    return std::string(buffer.c_str());
}

std::string TextUpToZero(const char* buffer, size_t capacity) {
    return std::string(buffer, strnlen(buffer, capacity));
}

}  // namespace

// ---------------------------------------------------------------- screen

int ScreenWidthInMm() { return DisplayCaps(HORZSIZE); }
int ScreenWidthInMm(HWND Wnd) { return WindowCaps(Wnd, HORZSIZE); }
int ScreenHeightInMm() { return DisplayCaps(VERTSIZE); }
int ScreenHeightInMm(HWND Wnd) { return WindowCaps(Wnd, VERTSIZE); }

// ---------------------------------------------------------------- point records

TPoint RetFirstTPointRecFromByteArray(const std::uint8_t* A, int High, const TPoint*& Cursor) {
    TPoint p{0, 0};
    if (!Usable(A, High) || !ReadPoint(A, High, 0, p)) return TPoint{0, 0};
    Cursor = reinterpret_cast<const TPoint*>(A + kPointSize);
    return p;
}

TPoint RetNextTPointRecFromByteArray(const std::uint8_t* A, int High, const TPoint*& Cursor) {
    TPoint p{0, 0};
    if (!Usable(A, High) || Cursor == nullptr) return TPoint{0, 0};
    const std::intptr_t at = reinterpret_cast<const std::uint8_t*>(Cursor) - A;
    if (!ReadPoint(A, High, at, p)) return TPoint{0, 0};
    Cursor = reinterpret_cast<const TPoint*>(A + at + kPointSize);
    return p;
}

TPoint RetTPointRecFromByteArray(int N, const std::uint8_t* A, int High) {
    if (N < 0 || !Usable(A, High)) return TPoint{0, 0};
    const TPoint* cursor = nullptr;
    TPoint p = RetFirstTPointRecFromByteArray(A, High, cursor);
    // A cursor that never left nil means there was no first record: every further read
    // gives (0, 0) as well.
    for (int i = 1; i < N; ++i) p = RetNextTPointRecFromByteArray(A, High, cursor);
    return p;
}

// ---------------------------------------------------------------- logical drives

int RetNumLogicalDrvs() {
    const DWORD mask = DriveMask();
    int count = 0;
    for (int k = 0; k < 32; ++k)
        if (mask & (DWORD(1) << k)) ++count;
    return count;
}

char GetFistLogicalDrvChar() {
    gCurrentDrive = '\0';
    const int k = LowestBitFrom(DriveMask(), 0);
    if (k < 0) return '\0';
    gCurrentDrive = DriveLetter(k);
    return gCurrentDrive;
}

char GetNextLogicalDrvChar() {
    const DWORD mask = DriveMask();
    if (gCurrentDrive == '\0') return '\0';
    const int k = LowestBitFrom(mask, gCurrentDrive - 'A' + 1);
    if (k < 0) return '\0';
    gCurrentDrive = DriveLetter(k);
    return gCurrentDrive;
}

char GetLastLogicalDrvChar() {
    const DWORD mask = DriveMask();
    for (int k = 31; k >= 0; --k)
        if (mask & (DWORD(1) << k)) return DriveLetter(k);
    return '\0';
}

TLogicalDrivesSource SetLogicalDrivesSource(TLogicalDrivesSource source) {
    const TLogicalDrivesSource previous = gDrivesSource;
    gDrivesSource = source ? source : &::GetLogicalDrives;
    return previous;
}

// ---------------------------------------------------------------- folders and names

std::string GetSystemPath() {
    return QueryFolder([](char* b, UINT n) { return GetSystemDirectoryA(b, n); });
}

std::string GetWindowsPath() {
    return QueryFolder([](char* b, UINT n) { return GetWindowsDirectoryA(b, n); });
}

std::string GetTemporaryPath() {
    return QueryFolder([](char* b, UINT n) { return UINT(GetTempPathA(n, b)); });
}

std::string GetPathEnvironmentVar() {
    std::vector<char> buffer(4096, '\0');
    DWORD answer = GetEnvironmentVariableA("Path", buffer.data(), DWORD(buffer.size()));
    if (answer >= 4096) {
        // Too small: the answer is the size needed, terminating zero included.
        buffer.assign(answer, '\0');
        answer = GetEnvironmentVariableA("Path", buffer.data(), answer);
    }
    if (answer == 0) return {};
    return TextUpToZero(buffer.data(), buffer.size());
}

std::string RetUserName() {
    char buffer[256] = {};
    DWORD size = sizeof buffer;
    if (!GetUserNameA(buffer, &size)) return {};
    return TextUpToZero(buffer, sizeof buffer);
}

std::string GetNetBiosComputerName() {
    char buffer[16] = {};
    DWORD size = sizeof buffer;
    if (!GetComputerNameA(buffer, &size)) return {};
    return TextUpToZero(buffer, sizeof buffer);
}

int Is64BitProcess(int& Flag) {
    if (ruk::IsWow64Process(GetCurrentProcess(), Flag)) return 0;
    return static_cast<int>(GetLastError());
}

// ---------------------------------------------------------------- texts and paths

TRUKTextIdentType IdentifyTextType(const void* lpv, int Size) {
    // The system reads Size bytes from lpv: without a buffer there is nothing to test.
    if (lpv == nullptr || Size <= 0) return tiTypeNone;
    struct Test {
        int flags;
        TRUKTextIdentType result;
    };
    static constexpr Test tests[] = {
        {IS_TEXT_UNICODE_SIGNATURE | IS_TEXT_UNICODE_REVERSE_SIGNATURE, tiTypeUnicode},
        {IS_TEXT_UNICODE_ASCII16 | IS_TEXT_UNICODE_REVERSE_ASCII16 | IS_TEXT_UNICODE_CONTROLS |
             IS_TEXT_UNICODE_REVERSE_CONTROLS,
         tiTypeUnicode},
        {IS_TEXT_UNICODE_STATISTICS | IS_TEXT_UNICODE_REVERSE_STATISTICS, tiTypeUnicodeAssumed},
        {IS_TEXT_UNICODE_ODD_LENGTH, tiTypeANSI},
        {IS_TEXT_UNICODE_ILLEGAL_CHARS, tiTypeANSIAssumed},
    };
    for (const Test& t : tests) {
        INT flags = t.flags;
        // Only the flags that come back count, not the verdict.
        (void)IsTextUnicode(lpv, Size, &flags);
        if (flags != 0) return t.result;
    }
    return tiTypeNone;
}

bool IsValidWindowsPath(const std::string& Path, int& Pos) {
    Pos = 0;
    if (Path.empty()) return false;
    for (int i = static_cast<int>(C_INVALIDWINPATHCHARS.size()) - 1; i >= 0; --i) {
        const size_t at = Path.find(C_INVALIDWINPATHCHARS[static_cast<size_t>(i)]);
        if (at != std::string::npos) {
            Pos = static_cast<int>(at) + 1;
            return false;
        }
    }
    if (Path.find('?') != std::string::npos && Path.find("\\\\?\\") == std::string::npos)
        return false;
    return true;
}

bool IsValidWindowsPath(const std::string& Path) {
    int pos = 0;
    return IsValidWindowsPath(Path, pos);
}

int ExpandEnvStringsToPath(const std::string& Src, std::string& Dest) {
    if (Src.empty()) return ERROR_INVALID_PARAMETER;
    const DWORD needed = ExpandEnvironmentStringsA(Src.c_str(), nullptr, 0);
    std::vector<char> buffer;
    if (needed != 0) {
        try {
            buffer.assign(needed, '\0');
        } catch (const std::bad_alloc&) {
            buffer.clear();
        }
    }
    const DWORD got =
        buffer.empty() ? 0 : ExpandEnvironmentStringsA(Src.c_str(), buffer.data(), needed);
    if (got == 0) return ERROR_FUNCTION_FAILED;
    // A result that grew between the two calls was not copied: Dest keeps what it held.
    if (got <= needed) Dest = TextUpToZero(buffer.data(), buffer.size());
    return 0;
}

std::string ExpandEnvStringsToPath(const std::string& Src) {
    std::string dest;
    const int code = ExpandEnvStringsToPath(Src, dest);
    if (code != 0) {
        SetLastError(static_cast<DWORD>(code));
        return {};
    }
    return dest;
}

std::string GetWinErrorString(int Code) {
    HLOCAL memory = LocalAlloc(LPTR, 256);
    if (memory == nullptr) return {};
    // The system takes the code unsigned: a negative one is a range error, never
    // another message number.
    if (Code < 0) {
        LocalFree(memory);
        RangeError();
    }
    std::string text;
    if (auto* buffer = static_cast<char*>(LocalLock(memory))) {
        const DWORD length =
            FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           static_cast<DWORD>(Code), 0, buffer, 255, nullptr);
        if (length > 0) text = TextUpToZero(buffer, 256);
        LocalUnlock(memory);
    }
    LocalFree(memory);
    return text;
}

std::string GetWinErrorStringEx(int Code, bool RemoveCRLF, bool Quote, char QuoteChar) {
    std::string text = GetWinErrorString(Code);
    if (RemoveCRLF) text = StringReplace(text, "\r\n", "", rfReplaceAll);
    if (Quote && !text.empty()) {
        std::string quoted(1, QuoteChar);
        for (char c : text) {
            quoted += c;
            if (c == QuoteChar) quoted += c;
        }
        quoted += QuoteChar;
        text = std::move(quoted);
    }
    return text;
}

}  // namespace ruk
