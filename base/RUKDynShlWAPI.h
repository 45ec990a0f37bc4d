// Run-time binding of the shell light-weight utility library "ShlWAPI.dll".
//
// Every wrapper loads the library, resolves its export, calls it and frees the library
// again, so the program runs on systems whose library lacks an entry: a missing entry sets
// the last error to ERROR_CALL_NOT_IMPLEMENTED (120) and gives 0 (AssocGetPerceivedType
// gives 120). Resolvers (PAddr...) given 0 or INVALID_HANDLE_VALUE return nil with
// ERROR_INVALID_HANDLE (6) without a lookup.
//
// SHAutoComplete is the exception: it is resolved once for the life of the program by
// TRUKDynShlWAPIUnit, which the program instantiates statically so that it runs before
// WinMain and at exit (COM for the user-interface thread, the library kept loaded).
#pragma once

#include <windows.h>

#include <cstdint>

// Generic-name macros of the system headers would rename our own wrappers of these names.
#undef AssocQueryKey
#undef AssocQueryString
#undef AssocQueryStringByKey

namespace ruk {

// Enumerations of the association functions and of UrlIs, one byte wide, with the
// system's names and values.
enum ASSOCSTR : std::uint8_t {
    ASSOCSTR_NONE = 0,
    ASSOCSTR_COMMAND,
    ASSOCSTR_EXECUTABLE,
    ASSOCSTR_FRIENDLYDOCNAME,
    ASSOCSTR_FRIENDLYAPPNAME,
    ASSOCSTR_NOOPEN,
    ASSOCSTR_SHELLNEWVALUE,
    ASSOCSTR_DDECOMMAND,
    ASSOCSTR_DDEIFEXEC,
    ASSOCSTR_DDEAPPLICATION,
    ASSOCSTR_DDETOPIC,
    ASSOCSTR_INFOTIP,
    ASSOCSTR_QUICKTIP,
    ASSOCSTR_TILEINFO,
    ASSOCSTR_CONTENTTYPE,
    ASSOCSTR_DEFAULTICON,
    ASSOCSTR_SHELLEXTENSION,
    ASSOCSTR_MAX
};

enum ASSOCKEY : std::uint8_t {
    ASSOCKEY_NONE = 0,
    ASSOCKEY_SHELLEXECCLASS,
    ASSOCKEY_APP,
    ASSOCKEY_CLASS,
    ASSOCKEY_BASECLASS,
    ASSOCKEY_MAX
};

enum ASSOCDATA : std::uint8_t {
    ASSOCDATA_NONE = 0,
    ASSOCDATA_MSIDESCRIPTOR,
    ASSOCDATA_NOACTIVATEHANDLER,
    ASSOCDATA_QUERYCLASSSTORE,
    ASSOCDATA_HASPERUSERASSOC,
    ASSOCDATA_EDITFLAGS,
    ASSOCDATA_VALUE,
    ASSOCDATA_MAX
};

enum ASSOCENUM : std::uint8_t { ASSOCENUM_NONE = 0 };

enum TUrlIs : std::uint8_t {
    URLIS_URL = 0,
    URLIS_OPAQUE,
    URLIS_NOHISTORY,
    URLIS_FILEURL,
    URLIS_APPLIABLE,
    URLIS_DIRECTORY,
    URLIS_HASQUERY
};

// Function types of the exports. Enumerations travel as full 32-bit arguments, as the
// library declares them.
using TAssocCreate = HRESULT(WINAPI*)(CLSID clsid, REFIID riid, void** ppv);
using TAssocGetPerceivedType = HRESULT(WINAPI*)(LPCWSTR pszExt, int* ptype, DWORD* pflag,
                                                LPWSTR* ppszType);
using TAssocIsDangerous = BOOL(WINAPI*)(LPCWSTR pszAssoc);
using TAssocQueryKeyA = HRESULT(WINAPI*)(DWORD flags, DWORD key, LPCSTR pszAssoc,
                                         LPCSTR pszExtra, HKEY* phkeyOut);
using TAssocQueryKeyW = HRESULT(WINAPI*)(DWORD flags, DWORD key, LPCWSTR pszAssoc,
                                         LPCWSTR pszExtra, HKEY* phkeyOut);
using TAssocQueryStringA = HRESULT(WINAPI*)(DWORD flags, DWORD str, LPCSTR pszAssoc,
                                            LPCSTR pszExtra, LPSTR pszOut, DWORD* pcchOut);
using TAssocQueryStringW = HRESULT(WINAPI*)(DWORD flags, DWORD str, LPCWSTR pszAssoc,
                                            LPCWSTR pszExtra, LPWSTR pszOut, DWORD* pcchOut);
using TAssocQueryStringByKeyA = HRESULT(WINAPI*)(DWORD flags, DWORD str, HKEY hkAssoc,
                                                 LPCSTR pszExtra, LPSTR pszOut,
                                                 DWORD* pcchOut);
using TAssocQueryStringByKeyW = HRESULT(WINAPI*)(DWORD flags, DWORD str, HKEY hkAssoc,
                                                 LPCWSTR pszExtra, LPWSTR pszOut,
                                                 DWORD* pcchOut);
using TPathIsLFNFileSpecA = BOOL(WINAPI*)(LPCSTR pszName);
using TPathIsLFNFileSpecW = BOOL(WINAPI*)(LPCWSTR pszName);
using TPathCreateFromUrlA = HRESULT(WINAPI*)(LPCSTR pszUrl, LPSTR pszPath, DWORD* pcchPath,
                                             DWORD dwFlags);
using TPathCreateFromUrlW = HRESULT(WINAPI*)(LPCWSTR pszUrl, LPWSTR pszPath,
                                             DWORD* pcchPath, DWORD dwFlags);
using TStrTrimA = BOOL(WINAPI*)(LPSTR psz, LPCSTR pszTrimChars);
using TStrTrimW = BOOL(WINAPI*)(LPWSTR psz, LPCWSTR pszTrimChars);
using TUrlIsA = BOOL(WINAPI*)(LPCSTR pszUrl, DWORD UrlIs);
using TUrlIsW = BOOL(WINAPI*)(LPCWSTR pszUrl, DWORD UrlIs);
using TSHAutoComplete = HRESULT(WINAPI*)(HWND hwndEdit, DWORD dwFlags);

// ---------------------------------------------------------------- library

// LoadLibraryA("ShlWAPI.dll"), 0 on failure; stores nothing.
HMODULE LoadShlWAPIDll();
// Frees the library handle kept by the unit start: 0, or the system's error code.
DWORD FreeShlWAPIDll();

// ---------------------------------------------------------------- resolvers

TAssocCreate PAddrAssocCreate(HMODULE Module);
TAssocGetPerceivedType PAddrAssocGetPerceivedType(HMODULE Module);
TAssocIsDangerous PAddrAssocIsDangerous(HMODULE Module);
TAssocQueryKeyA PAddrAssocQueryKeyA(HMODULE Module);
TAssocQueryKeyW PAddrAssocQueryKeyW(HMODULE Module);
TAssocQueryStringA PAddrAssocQueryStringA(HMODULE Module);
TAssocQueryStringW PAddrAssocQueryStringW(HMODULE Module);
TAssocQueryStringByKeyA PAddrAssocQueryStringByKeyA(HMODULE Module);
TAssocQueryStringByKeyW PAddrAssocQueryStringByKeyW(HMODULE Module);
TPathIsLFNFileSpecA PAddrPathIsLFNFileSpecA(HMODULE Module);
TPathIsLFNFileSpecW PAddrPathIsLFNFileSpecW(HMODULE Module);
TPathCreateFromUrlA PAddrPathCreateFromUrlA(HMODULE Module);
TPathCreateFromUrlW PAddrPathCreateFromUrlW(HMODULE Module);
TStrTrimA PAddrStrTrimA(HMODULE Module);
TStrTrimW PAddrStrTrimW(HMODULE Module);
TUrlIsA PAddrUrlIsA(HMODULE Module);
TUrlIsW PAddrUrlIsW(HMODULE Module);

// "SHAutoComplete" in the library kept by the unit start. Raises EOSError for the current
// last error when that library is not loaded or lacks the entry.
TSHAutoComplete PAddrSHAutoComplete();

// ---------------------------------------------------------------- wrappers

HRESULT AssocGetPerceivedType(LPCWSTR pszExt, int& ptype, DWORD& pflag, LPWSTR* ppszType);
BOOL AssocIsDangerous(LPCWSTR pszAssoc);
HRESULT AssocQueryKeyA(DWORD flags, ASSOCKEY key, LPCSTR pszAssoc, LPCSTR pszExtra,
                       HKEY& phkeyOut);
HRESULT AssocQueryKeyW(DWORD flags, ASSOCKEY key, LPCWSTR pszAssoc, LPCWSTR pszExtra,
                       HKEY& phkeyOut);
HRESULT AssocQueryKey(DWORD flags, ASSOCKEY key, LPCSTR pszAssoc, LPCSTR pszExtra,
                      HKEY& phkeyOut);
HRESULT AssocQueryStringA(DWORD flags, ASSOCSTR str, LPCSTR pszAssoc, LPCSTR pszExtra,
                          LPSTR pszOut, DWORD& pcchOut);
HRESULT AssocQueryStringW(DWORD flags, ASSOCSTR str, LPCWSTR pszAssoc, LPCWSTR pszExtra,
                          LPWSTR pszOut, DWORD& pcchOut);
HRESULT AssocQueryString(DWORD flags, ASSOCSTR str, LPCSTR pszAssoc, LPCSTR pszExtra,
                         LPSTR pszOut, DWORD& pcchOut);
HRESULT AssocQueryStringByKeyA(DWORD flags, ASSOCSTR str, HKEY hkAssoc, LPCSTR pszExtra,
                               LPSTR pszOut, DWORD& pcchOut);
HRESULT AssocQueryStringByKeyW(DWORD flags, ASSOCSTR str, HKEY hkAssoc, LPCWSTR pszExtra,
                               LPWSTR pszOut, DWORD& pcchOut);
HRESULT AssocQueryStringByKey(DWORD flags, ASSOCSTR str, HKEY hkAssoc, LPCSTR pszExtra,
                              LPSTR pszOut, DWORD& pcchOut);
BOOL PathIsLFNFileSpecA(LPCSTR pszName);
BOOL PathIsLFNFileSpecW(LPCWSTR pszName);
HRESULT PathCreateFromUrlA(LPCSTR pszUrl, LPSTR pszPath, DWORD& pcchPath, DWORD dwFlags);
HRESULT PathCreateFromUrlW(LPCWSTR pszUrl, LPWSTR pszPath, DWORD& pcchPath, DWORD dwFlags);
// Removes in place every leading and trailing character of psz found in pszTrimChars;
// nonzero when it removed any.
BOOL StrTrimA(LPSTR psz, LPCSTR pszTrimChars);
BOOL StrTrimW(LPWSTR psz, LPCWSTR pszTrimChars);
BOOL UrlIsA(LPCSTR pszUrl, DWORD UrlIs);
BOOL UrlIsW(LPCWSTR pszUrl, DWORD UrlIs);

// Calls the entry resolved at unit start; without it, last error 1 and result 1.
HRESULT SHAutoComplete(HWND hwndEdit, DWORD dwFlags);

// ---------------------------------------------------------------- unit start and stop

// The unit's start and stop. The program holds one static instance, created before
// WinMain on the user-interface thread:
//   start: CoInitialize; when the common-controls version (comctl32.dll's file version,
//          major.minor in 32 bits, -1 when unreadable) is below 5.80 (0x00050050), last
//          error 120 and nothing loaded; else the library is loaded once and
//          SHAutoComplete resolved (PAddrSHAutoComplete raises when that fails; a start
//          that raises has no stop, and COM stays initialised);
//   stop:  at 5.80 or later the library is freed and the last error set to the result of
//          the free; then CoUninitialize.
class TRUKDynShlWAPIUnit {
public:
    TRUKDynShlWAPIUnit();
    // Test seam: the common-controls version as given and the library file to keep.
    TRUKDynShlWAPIUnit(int comCtlVersion, const char* libraryFileName);
    ~TRUKDynShlWAPIUnit();
    TRUKDynShlWAPIUnit(const TRUKDynShlWAPIUnit&) = delete;
    TRUKDynShlWAPIUnit& operator=(const TRUKDynShlWAPIUnit&) = delete;

    // The version that decided this start.
    int ComCtlVersionUsed() const { return FComCtlVersion; }
    // The library handle kept by the start (0 when nothing was loaded).
    static HMODULE LibraryHandle();
    // The common-controls version, read once for the program's life.
    static int ComCtlVersion();

private:
    void Start(const char* libraryFileName);
    int FComCtlVersion;
};

// The common-controls version from which the library is kept loaded: 5.80.
constexpr int ComCtlVersionForAutoComplete = 0x00050050;

}  // namespace ruk
