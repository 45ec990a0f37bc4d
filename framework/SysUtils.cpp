#include "SysUtils.h"

#include <oleauto.h>

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <vector>

namespace ruk {

// ---------------------------------------------------------------- exceptions

namespace {

std::string OSErrorText(DWORD code) {
    if (code == 0) return "A call to an OS function failed";
    return Format("System Error.  Code: %d.\r\n%s", static_cast<int>(code),
                  SysErrorMessage(code).c_str());
}

std::string Win32ErrorText(DWORD code) {
    if (code == 0) return "A Win32 API function failed";
    return Format("Win32 Error.  Code: %d.\n%s", static_cast<int>(code),
                  SysErrorMessage(code).c_str());
}

}  // namespace

EOSError::EOSError(DWORD code) : Exception(OSErrorText(code)), ErrorCode(code) {
    // Callers report "the thread's last error" after catching; building the text
    // must not disturb it.
    SetLastError(code);
}

EWin32Error::EWin32Error(DWORD code) : EOSError(code, Win32ErrorText(code)) {
    SetLastError(code);
}

void RangeError() { throw ERangeError("Range check error"); }

DWORD CaughtOSError() noexcept {
    try {
        throw;
    } catch (const EOSError& e) {
        return e.ErrorCode;
    } catch (const EStreamError& e) {
        return e.OSError;
    } catch (...) {
        return 0;
    }
}

void RaiseLastOSError() { RaiseLastOSError(GetLastError()); }

void RaiseLastOSError(DWORD code) { throw EOSError(code); }

bool Win32Check(bool ok) {
    if (!ok) throw EWin32Error(GetLastError());
    return ok;
}

std::string SysErrorMessage(DWORD code) {
    const DWORD saved = GetLastError();
    char* buffer = nullptr;
    const DWORD n = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text;
    if (n != 0 && buffer != nullptr) text.assign(buffer, n);
    if (buffer != nullptr) LocalFree(buffer);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.pop_back();
    SetLastError(saved);
    return text;
}

// ---------------------------------------------------------------- formatting

std::string Format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<size_t>(n));
        std::vsnprintf(out.data(), out.size() + 1, fmt, args);
    }
    va_end(args);
    return out;
}

std::string IntToStr(int value) { return std::to_string(value); }
std::string IntToStr(Int64 value) { return std::to_string(value); }
std::string UIntToStr(unsigned value) { return std::to_string(value); }

std::string IntToHex(Int64 value, int digits) {
    static const char hex[] = "0123456789ABCDEF";
    std::uint64_t v = static_cast<std::uint64_t>(value);
    std::string out;
    do {
        out.insert(out.begin(), hex[v & 0xF]);
        v >>= 4;
    } while (v != 0);
    if (digits > 32) digits = 32;
    if (static_cast<int>(out.size()) < digits) out.insert(0, static_cast<size_t>(digits) - out.size(), '0');
    return out;
}

namespace {

// Decimal text with an optional sign; false on anything else or on overflow of [lo, hi].
bool ParseDecimal(const std::string& s, Int64 lo, Int64 hi, Int64& result) {
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    if (i == s.size()) return false;
    // Accumulate as a non-positive number so that the lowest value fits.
    Int64 acc = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c < '0' || c > '9') return false;
        const int d = c - '0';
        if (acc < (INT64_MIN + d) / 10) return false;
        acc = acc * 10 - d;
    }
    if (!negative) {
        if (acc == INT64_MIN) return false;
        acc = -acc;
    }
    if (acc < lo || acc > hi) return false;
    result = acc;
    return true;
}

[[noreturn]] void RaiseNotInteger(const std::string& s) {
    throw EConvertError(Format("'%s' is not a valid integer value", s.c_str()));
}

}  // namespace

bool TryStrToInt(const std::string& s, int& value) {
    Int64 v = 0;
    if (!ParseDecimal(s, INT_MIN, INT_MAX, v)) return false;
    value = static_cast<int>(v);
    return true;
}

bool TryStrToInt64(const std::string& s, Int64& value) {
    return ParseDecimal(s, INT64_MIN, INT64_MAX, value);
}

int StrToInt(const std::string& s) {
    int v = 0;
    if (!TryStrToInt(s, v)) RaiseNotInteger(s);
    return v;
}

Int64 StrToInt64(const std::string& s) {
    Int64 v = 0;
    if (!TryStrToInt64(s, v)) RaiseNotInteger(s);
    return v;
}

int StrToIntDef(const std::string& s, int def) {
    int v = 0;
    return TryStrToInt(s, v) ? v : def;
}

// ---------------------------------------------------------------- text

int Pos(const std::string& sub, const std::string& s) { return PosEx(sub, s, 1); }

int PosEx(const std::string& sub, const std::string& s, int offset) {
    if (sub.empty() || offset < 1 || static_cast<size_t>(offset) > s.size()) return 0;
    const size_t at = s.find(sub, static_cast<size_t>(offset) - 1);
    return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
}

std::string Copy(const std::string& s, int index, int count) {
    // 64-bit arithmetic: index and count may be anything, INT_MAX included.
    const Int64 len = static_cast<Int64>(s.size());
    Int64 from = index < 1 ? 1 : index;
    if (from > len || count <= 0) return std::string();
    Int64 n = count;
    if (from - 1 + n > len) n = len - (from - 1);
    return s.substr(static_cast<size_t>(from - 1), static_cast<size_t>(n));
}

void Delete(std::string& s, int index, int count) {
    // As the class library does: an index outside the text deletes nothing.
    const Int64 len = static_cast<Int64>(s.size());
    if (index < 1 || index > len || count <= 0) return;
    Int64 n = count;
    if (index - 1 + n > len) n = len - (index - 1);
    s.erase(static_cast<size_t>(index - 1), static_cast<size_t>(n));
}

void Insert(const std::string& sub, std::string& s, int index) {
    const Int64 len = static_cast<Int64>(s.size());
    Int64 at = index < 1 ? 1 : index;
    if (at > len + 1) at = len + 1;
    s.insert(static_cast<size_t>(at - 1), sub);
}

std::string UpperCase(const std::string& s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string LowerCase(const std::string& s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

namespace {

DWORD CheckedLength(size_t n) {
    if (n > static_cast<size_t>(INT_MAX)) RangeError();
    return static_cast<DWORD>(n);
}

int CheckedInt(size_t n) {
    if (n > static_cast<size_t>(INT_MAX)) RangeError();
    return static_cast<int>(n);
}

}  // namespace

std::string AnsiUpperCase(const std::string& s) {
    std::string out(s);
    if (!out.empty()) CharUpperBuffA(out.data(), CheckedLength(out.size()));
    return out;
}

std::string AnsiLowerCase(const std::string& s) {
    std::string out(s);
    if (!out.empty()) CharLowerBuffA(out.data(), CheckedLength(out.size()));
    return out;
}

namespace {

int LocaleCompare(const std::string& a, const std::string& b, DWORD flags) {
    // An empty operand is answered here: a zero length is not accepted everywhere.
    if (a.empty() || b.empty()) return a.empty() ? (b.empty() ? 0 : -1) : 1;
    const int r = CompareStringA(LOCALE_USER_DEFAULT, flags, a.data(), CheckedInt(a.size()),
                                 b.data(), CheckedInt(b.size()));
    if (r == 0) RaiseLastOSError();
    return r - CSTR_EQUAL;
}

}  // namespace

int AnsiCompareText(const std::string& a, const std::string& b) {
    return LocaleCompare(a, b, NORM_IGNORECASE);
}

int AnsiCompareStr(const std::string& a, const std::string& b) { return LocaleCompare(a, b, 0); }

int CompareText(const std::string& a, const std::string& b) {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        int ca = static_cast<unsigned char>(a[i]);
        int cb = static_cast<unsigned char>(b[i]);
        if (ca >= 'a' && ca <= 'z') ca -= 'a' - 'A';
        if (cb >= 'a' && cb <= 'z') cb -= 'a' - 'A';
        if (ca != cb) return ca - cb;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && CompareText(a, b) == 0;
}

namespace {
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
}  // namespace

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

std::string TrimLeft(const std::string& s) {
    size_t b = 0;
    while (b < s.size() && IsBlank(s[b])) ++b;
    return s.substr(b);
}

std::string TrimRight(const std::string& s) {
    size_t e = s.size();
    while (e > 0 && IsBlank(s[e - 1])) --e;
    return s.substr(0, e);
}

std::string StringReplace(const std::string& s, const std::string& pattern,
                          const std::string& replacement, unsigned flags) {
    if (pattern.empty() || s.empty()) return s;
    const bool ignoreCase = (flags & rfIgnoreCase) != 0;
    // Case-insensitive search runs on upper-case copies; they have the text's length,
    // so a position found in the copy is the position in the text.
    const std::string searchText = ignoreCase ? AnsiUpperCase(s) : std::string();
    const std::string searchPattern = ignoreCase ? AnsiUpperCase(pattern) : std::string();
    const std::string& hay = ignoreCase ? searchText : s;
    const std::string& needle = ignoreCase ? searchPattern : pattern;

    std::string out;
    size_t from = 0;
    for (;;) {
        const size_t at = hay.find(needle, from);
        if (at == std::string::npos) break;
        out.append(s, from, at - from);
        out += replacement;
        from = at + needle.size();  // the scan resumes after the match, never in the replacement
        if ((flags & rfReplaceAll) == 0) break;
    }
    if (from == 0 && out.empty()) return s;
    out.append(s, from, std::string::npos);
    return out;
}

namespace {

std::wstring ToWide(UINT codePage, const std::string& s) {
    if (s.empty()) return std::wstring();
    const int len = CheckedInt(s.size());
    const int n = MultiByteToWideChar(codePage, 0, s.data(), len, nullptr, 0);
    if (n <= 0) RaiseLastOSError();
    std::wstring out(static_cast<size_t>(n), L'\0');
    if (MultiByteToWideChar(codePage, 0, s.data(), len, out.data(), n) != n) RaiseLastOSError();
    return out;
}

std::string FromWide(UINT codePage, const wchar_t* units, size_t count) {
    if (count == 0) return std::string();
    const int len = CheckedInt(count);
    const int n = WideCharToMultiByte(codePage, 0, units, len, nullptr, 0, nullptr, nullptr);
    if (n <= 0) RaiseLastOSError();
    std::string out(static_cast<size_t>(n), '\0');
    if (WideCharToMultiByte(codePage, 0, units, len, out.data(), n, nullptr, nullptr) != n) RaiseLastOSError();
    return out;
}

}  // namespace

std::wstring AnsiToWide(const std::string& s) { return ToWide(CP_ACP, s); }
std::string WideToAnsi(const std::wstring& s) { return FromWide(CP_ACP, s.data(), s.size()); }
std::string WideToAnsi(const wchar_t* units, size_t count) { return FromWide(CP_ACP, units, count); }
std::string WideToUtf8(const std::wstring& s) { return FromWide(CP_UTF8, s.data(), s.size()); }
std::wstring Utf8ToWide(const std::string& s) { return ToWide(CP_UTF8, s); }
std::string AnsiToUtf8(const std::string& s) { return WideToUtf8(AnsiToWide(s)); }
std::string Utf8ToAnsi(const std::string& s) { return WideToAnsi(Utf8ToWide(s)); }

std::string LoadStr(HINSTANCE instance, UINT id) {
    // With a zero buffer size LoadStringW hands out the resource text itself, so a
    // string of any length comes back whole.
    const wchar_t* text = nullptr;
    const int n = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
    if (n <= 0 || text == nullptr) return std::string();
    return WideToAnsi(std::wstring(text, static_cast<size_t>(n)));
}

// ---------------------------------------------------------------- files

namespace {

// 0-based index of the last of the given characters, npos when none.
size_t LastDelimiter(const char* delimiters, const std::string& s) {
    return s.find_last_of(delimiters);
}

}  // namespace

std::string ExtractFilePath(const std::string& name) {
    const size_t i = LastDelimiter("\\:", name);
    return i == std::string::npos ? std::string() : name.substr(0, i + 1);
}

std::string ExtractFileDir(const std::string& name) {
    size_t i = LastDelimiter("\\:", name);
    if (i == std::string::npos) return std::string();
    // Drop the backslash unless it follows a drive colon or another backslash.
    if (i > 0 && name[i] == '\\' && name[i - 1] != '\\' && name[i - 1] != ':') return name.substr(0, i);
    return name.substr(0, i + 1);
}

std::string ExtractFileName(const std::string& name) {
    const size_t i = LastDelimiter("\\:", name);
    return i == std::string::npos ? name : name.substr(i + 1);
}

std::string ExtractFileExt(const std::string& name) {
    const size_t i = LastDelimiter(".\\:", name);
    if (i == std::string::npos || name[i] != '.') return std::string();
    return name.substr(i);
}

std::string ChangeFileExt(const std::string& name, const std::string& ext) {
    const size_t i = LastDelimiter(".\\:", name);
    if (i == std::string::npos || name[i] != '.') return name + ext;
    return name.substr(0, i) + ext;
}

std::string ExpandFileName(const std::string& name) {
    if (name.empty()) return std::string();
    std::vector<char> buffer(MAX_PATH + 1);
    for (;;) {
        char* filePart = nullptr;
        const DWORD n = GetFullPathNameA(name.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), &filePart);
        if (n == 0) return name;
        if (n < buffer.size()) return std::string(buffer.data(), n);
        buffer.resize(n + 1);
    }
}

std::string IncludeTrailingPathDelimiter(const std::string& s) {
    if (!s.empty() && s.back() == '\\') return s;
    return s + '\\';
}

bool FileExists(const std::string& name) {
    const DWORD attr = GetFileAttributesA(name.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool DirectoryExists(const std::string& name) {
    const DWORD attr = GetFileAttributesA(name.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// windows.h maps DeleteFile to DeleteFileA, for this declaration as for its callers.
bool DeleteFile(const std::string& name) { return ::DeleteFileA(name.c_str()) != FALSE; }

// ---------------------------------------------------------------- time

TDateTime SystemTimeToDateTime(const SYSTEMTIME& st) {
    static const int daysBefore[2][12] = {
        {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334},
        {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335}};
    const int y = st.wYear;
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    const int month = st.wMonth >= 1 && st.wMonth <= 12 ? st.wMonth : 1;
    const int y1 = y - 1;
    // Days from 0001-01-01 to the date, less those up to 1899-12-30.
    const Int64 days = static_cast<Int64>(y1) * 365 + y1 / 4 - y1 / 100 + y1 / 400 +
                       daysBefore[leap ? 1 : 0][month - 1] + st.wDay - 693594;
    const double ms = ((st.wHour * 60.0 + st.wMinute) * 60.0 + st.wSecond) * 1000.0 + st.wMilliseconds;
    return static_cast<double>(days) + ms / 86400000.0;
}

TDateTime Now() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    return SystemTimeToDateTime(st);
}

double MillisecondsNow() {
    LARGE_INTEGER frequency, count;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

bool AddressSpaceAvailable(unsigned long long bytes) {
    constexpr SIZE_T kPiece = 16u << 20;
    std::vector<void*> pieces;
    bool available = true;
    for (unsigned long long got = 0; got < bytes; got += kPiece) {
        void* p = VirtualAlloc(nullptr, kPiece, MEM_RESERVE, PAGE_NOACCESS);
        if (!p) {
            available = false;
            break;
        }
        pieces.push_back(p);
    }
    for (void* p : pieces) VirtualFree(p, 0, MEM_RELEASE);
    return available;
}

std::string DateTimeToStr(TDateTime value) {
    SYSTEMTIME st{};
    if (!VariantTimeToSystemTime(value, &st)) throw EConvertError("Invalid argument to date encode");
    char date[128] = {}, time[128] = {};
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, sizeof date);
    std::string result = date;
    if (st.wHour || st.wMinute || st.wSecond) {
        GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, time, sizeof time);
        result += ' ';
        result += time;
    }
    return result;
}

std::string FileSearch(const std::string& name, const std::string& dirList) {
    std::string candidate = name;
    size_t at = 0;
    for (;;) {
        if (!candidate.empty() && FileExists(candidate)) return candidate;
        if (at >= dirList.size()) return std::string();
        size_t end = dirList.find(';', at);
        if (end == std::string::npos) end = dirList.size();
        std::string dir = dirList.substr(at, end - at);
        at = end + 1;
        if (dir.empty()) {
            candidate.clear();
            continue;
        }
        if (dir.back() != ':' && dir.back() != '\\') dir += '\\';
        candidate = dir + name;
    }
}

}  // namespace ruk
