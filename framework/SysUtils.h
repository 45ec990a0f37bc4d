// SysUtils: text, exceptions and conversions of the class-library layer.
//
// Conventions of this layer:
// - Text is std::string holding 8-bit text in the ANSI code page of the process.
// - Positions at the interfaces are 1-based as in the functions they stand for
//   (Pos, Copy, Delete, Insert); 0 means "not found".
// - Every failure is an exception derived from Exception carrying the class
//   library's message text; nothing here returns silently on bad input.
#pragma once

#include <windows.h>

#include <cstdint>
#include <exception>
#include <string>

namespace ruk {

using Int64 = std::int64_t;
using Cardinal = std::uint32_t;
using TDateTime = double;  // days since 1899-12-30
using Extended = long double;  // the 80-bit x87 format of this target

// The x87 control word of the calling thread.
inline std::uint16_t GetFPUControlWord() {
    std::uint16_t cw;
    asm volatile("fnstcw %0" : "=m"(cw));
    return cw;
}

// Pending exception flags are cleared first: loading a word that unmasks them
// would otherwise raise at the next floating-point instruction.
inline void SetFPUControlWord(std::uint16_t cw) {
    asm volatile("fnclex\n\tfldcw %0" : : "m"(cw) : "memory");
}

// ---------------------------------------------------------------- exceptions

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : FMessage(std::move(message)) {}
    const std::string& Message() const noexcept { return FMessage; }
    void SetMessage(std::string message) { FMessage = std::move(message); }
    const char* what() const noexcept override { return FMessage.c_str(); }

private:
    std::string FMessage;
};

#define RUK_DECLARE_EXCEPTION(Name, Base)                     \
    class Name : public Base {                                \
    public:                                                   \
        explicit Name(std::string message) : Base(std::move(message)) {} \
    };

// "System Error.  Code: %d.\r\n%s", or "A call to an OS function failed" for code 0.
class EOSError : public Exception {
public:
    explicit EOSError(DWORD code);
    EOSError(DWORD code, std::string message) : Exception(std::move(message)), ErrorCode(code) {}
    DWORD ErrorCode = 0;
};

// "Win32 Error.  Code: %d.\n%s", or "A Win32 API function failed" for code 0.
class EWin32Error : public EOSError {
public:
    explicit EWin32Error(DWORD code);
};

RUK_DECLARE_EXCEPTION(EAbort, Exception)
RUK_DECLARE_EXCEPTION(EConvertError, Exception)
RUK_DECLARE_EXCEPTION(EAbstractError, Exception)
RUK_DECLARE_EXCEPTION(EAccessViolation, Exception)
RUK_DECLARE_EXCEPTION(EOutOfMemory, Exception)
RUK_DECLARE_EXCEPTION(EIntError, Exception)
RUK_DECLARE_EXCEPTION(ERangeError, EIntError)        // "Range check error"
RUK_DECLARE_EXCEPTION(EIntOverflow, EIntError)       // "Arithmetic overflow"
RUK_DECLARE_EXCEPTION(EDivByZero, EIntError)         // "Division by zero"
RUK_DECLARE_EXCEPTION(EMathError, Exception)
RUK_DECLARE_EXCEPTION(EInvalidOp, EMathError)        // "Invalid floating point operation"
RUK_DECLARE_EXCEPTION(EZeroDivide, EMathError)       // "Floating point division by zero"
RUK_DECLARE_EXCEPTION(EOverflow, EMathError)         // "Floating point overflow"
RUK_DECLARE_EXCEPTION(EStringListError, Exception)   // "List index out of bounds (%d)"
RUK_DECLARE_EXCEPTION(EListError, Exception)

// A stream error carries the system's code of the call that failed (0 where no call did: the
// end of the data, a value of the wrong kind). The thread's last error cannot tell it to the
// handler: the first exception a process raises clears it on its way.
class EStreamError : public Exception {
public:
    explicit EStreamError(std::string message, DWORD osError = 0)
        : Exception(std::move(message)), OSError(osError) {}
    DWORD OSError = 0;
};

#define RUK_DECLARE_STREAM_EXCEPTION(Name)                                     \
    class Name : public EStreamError {                                         \
    public:                                                                    \
        explicit Name(std::string message, DWORD osError = 0)                  \
            : EStreamError(std::move(message), osError) {}                     \
    };

RUK_DECLARE_STREAM_EXCEPTION(EFCreateError)   // "Cannot create file \"%s\". %s"
RUK_DECLARE_STREAM_EXCEPTION(EFOpenError)     // "Cannot open file \"%s\". %s"
RUK_DECLARE_STREAM_EXCEPTION(EReadError)      // "Stream read error"
RUK_DECLARE_STREAM_EXCEPTION(EWriteError)     // "Stream write error"
RUK_DECLARE_STREAM_EXCEPTION(EFilerError)

RUK_DECLARE_EXCEPTION(EThread, Exception)            // "Thread Error: %s (%d)"
RUK_DECLARE_EXCEPTION(ERegistryException, Exception)
RUK_DECLARE_EXCEPTION(EOleError, Exception)
RUK_DECLARE_EXCEPTION(EInvalidOperation, Exception)

// Inside a handler: the system's code that the exception being handled carries (an EOSError's
// code, a stream error's), 0 for any other exception.
DWORD CaughtOSError() noexcept;

// Raises the range-check error ("Range check error").
[[noreturn]] void RangeError();
// Raises EOSError for GetLastError() (or for the given code).
[[noreturn]] void RaiseLastOSError();
[[noreturn]] void RaiseLastOSError(DWORD code);
// Raises EWin32Error for GetLastError() unless ok is true; returns ok.
bool Win32Check(bool ok);

// The system's text for an error code (FormatMessageA, trailing line end removed).
std::string SysErrorMessage(DWORD code);
// Whether the process can still reserve bytes of address space in pieces of 16 MB (the size
// in which heaps grow). Found by reserving them and letting them go: neither the memory status
// nor the address-space map tells it under Wine, which keeps space of its own for the process.
bool AddressSpaceAvailable(unsigned long long bytes);

// ---------------------------------------------------------------- formatting

// printf-style formatting of the message texts.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

std::string IntToStr(int value);
std::string IntToStr(Int64 value);
std::string UIntToStr(unsigned value);
std::string IntToHex(Int64 value, int digits);
// Decimal text with optional sign; raises EConvertError "'%s' is not a valid integer value".
int StrToInt(const std::string& s);
Int64 StrToInt64(const std::string& s);
int StrToIntDef(const std::string& s, int def);
bool TryStrToInt(const std::string& s, int& value);
bool TryStrToInt64(const std::string& s, Int64& value);

// ---------------------------------------------------------------- text

// 1-based position of sub in s (0 when absent or sub is empty).
int Pos(const std::string& sub, const std::string& s);
// Same, starting at the 1-based offset; 0 when offset is out of range.
int PosEx(const std::string& sub, const std::string& s, int offset = 1);
// Substring from the 1-based index, count characters, clipped to the text.
std::string Copy(const std::string& s, int index, int count);
// Removes count characters from the 1-based index, clipped to the text.
void Delete(std::string& s, int index, int count);
// Inserts sub before the 1-based index (clipped to 1..length+1).
void Insert(const std::string& sub, std::string& s, int index);

// Case conversions of a to z only (A to Z only); lengths are kept.
std::string UpperCase(const std::string& s);
std::string LowerCase(const std::string& s);
// Locale-aware conversions (CharUpperBuffA / CharLowerBuffA); lengths are kept.
std::string AnsiUpperCase(const std::string& s);
std::string AnsiLowerCase(const std::string& s);
// Case-insensitive comparison under the user's locale (CompareStringA,
// LOCALE_USER_DEFAULT, NORM_IGNORECASE): <0, 0 or >0.
int AnsiCompareText(const std::string& a, const std::string& b);
int AnsiCompareStr(const std::string& a, const std::string& b);
bool SameText(const std::string& a, const std::string& b);  // a-z folding only
int CompareText(const std::string& a, const std::string& b);  // a-z folding only

// Removes characters up to and including blank (control characters too) at both ends.
std::string Trim(const std::string& s);
std::string TrimLeft(const std::string& s);
std::string TrimRight(const std::string& s);

enum TReplaceFlag : unsigned { rfReplaceAll = 1, rfIgnoreCase = 2 };
// Replaces the first occurrence of pattern, or every occurrence with rfReplaceAll,
// in one left-to-right scan that never scans a replacement again. With rfIgnoreCase
// upper-case copies (AnsiUpperCase) are compared; positions coincide with the text.
std::string StringReplace(const std::string& s, const std::string& pattern,
                          const std::string& replacement, unsigned flags);

// Code page conversions with default flags.
std::wstring AnsiToWide(const std::string& s);
std::string WideToAnsi(const std::wstring& s);
std::string WideToAnsi(const wchar_t* units, size_t count);
std::string WideToUtf8(const std::wstring& s);
std::wstring Utf8ToWide(const std::string& s);
std::string AnsiToUtf8(const std::string& s);
std::string Utf8ToAnsi(const std::string& s);

// The string resource id of the module (LoadStringW, converted to the ANSI code page);
// "" when the module has no such string.
std::string LoadStr(HINSTANCE instance, UINT id);

// ---------------------------------------------------------------- files

std::string ExtractFilePath(const std::string& name);  // up to and including the last '\' or ':'
std::string ExtractFileDir(const std::string& name);   // folder without trailing '\' (except after a drive)
std::string ExtractFileName(const std::string& name);
std::string ExtractFileExt(const std::string& name);   // with its period
std::string ChangeFileExt(const std::string& name, const std::string& ext);
std::string ExpandFileName(const std::string& name);
std::string IncludeTrailingPathDelimiter(const std::string& s);
bool FileExists(const std::string& name);
bool DirectoryExists(const std::string& name);
bool DeleteFile(const std::string& name);

// ---------------------------------------------------------------- time

TDateTime Now();
// Milliseconds on the high-resolution counter, for measuring short stretches of work.
double MillisecondsNow();
TDateTime SystemTimeToDateTime(const SYSTEMTIME& st);
// The user's short date format, a blank and the long time format (the time left out at
// midnight exactly).
std::string DateTimeToStr(TDateTime value);
// The first of name itself and name in each folder of a semicolon-separated list that
// exists; empty when none does.
std::string FileSearch(const std::string& name, const std::string& dirList);

}  // namespace ruk
