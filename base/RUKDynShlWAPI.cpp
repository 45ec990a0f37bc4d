#include "RUKDynShlWAPI.h"

#include "RUKDynBinding.h"

#include "SysUtils.h"

#include <objbase.h>

#include <vector>

namespace ruk {

using dynbind::ResolveAs;

namespace {

constexpr char kShlWAPIFileName[] = "ShlWAPI.dll";

// Written only by the unit start on the user-interface thread, read afterwards.
HMODULE gShlWAPIHandle = nullptr;
TSHAutoComplete gSHAutoComplete = nullptr;

// Load, resolve, call, free: once per call of a wrapper.
template <class R, class Fn, class... Args>
R CallShlWAPI(Fn (*resolver)(HMODULE), R missing, Args... args) {
    return dynbind::CallLoaded<R>(kShlWAPIFileName, resolver, missing, args...);
}

// High 32 bits of comctl32.dll's file version, -1 when it cannot be read.
int ReadComCtlVersion() {
    const char* const fileName = "comctl32.dll";
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(fileName, &ignored);
    if (size == 0) return -1;
    std::vector<char> info(size);
    if (!GetFileVersionInfoA(fileName, 0, size, info.data())) return -1;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize) ||
        fixed == nullptr || fixedSize < sizeof(VS_FIXEDFILEINFO))
        return -1;
    return static_cast<int>(fixed->dwFileVersionMS);
}

}  // namespace

// ---------------------------------------------------------------- library

HMODULE LoadShlWAPIDll() { return LoadLibraryA(kShlWAPIFileName); }

DWORD FreeShlWAPIDll() { return FreeLibrary(gShlWAPIHandle) ? 0 : GetLastError(); }

// ---------------------------------------------------------------- resolvers

TAssocCreate PAddrAssocCreate(HMODULE Module) {
    return ResolveAs<TAssocCreate>(Module, "AssocCreate");
}
TAssocGetPerceivedType PAddrAssocGetPerceivedType(HMODULE Module) {
    return ResolveAs<TAssocGetPerceivedType>(Module, "AssocGetPerceivedType");
}
TAssocIsDangerous PAddrAssocIsDangerous(HMODULE Module) {
    return ResolveAs<TAssocIsDangerous>(Module, "AssocIsDangerous");
}
TAssocQueryKeyA PAddrAssocQueryKeyA(HMODULE Module) {
    return ResolveAs<TAssocQueryKeyA>(Module, "AssocQueryKeyA");
}
TAssocQueryKeyW PAddrAssocQueryKeyW(HMODULE Module) {
    return ResolveAs<TAssocQueryKeyW>(Module, "AssocQueryKeyW");
}
TAssocQueryStringA PAddrAssocQueryStringA(HMODULE Module) {
    return ResolveAs<TAssocQueryStringA>(Module, "AssocQueryStringA");
}
TAssocQueryStringW PAddrAssocQueryStringW(HMODULE Module) {
    return ResolveAs<TAssocQueryStringW>(Module, "AssocQueryStringW");
}
TAssocQueryStringByKeyA PAddrAssocQueryStringByKeyA(HMODULE Module) {
    return ResolveAs<TAssocQueryStringByKeyA>(Module, "AssocQueryStringByKeyA");
}
TAssocQueryStringByKeyW PAddrAssocQueryStringByKeyW(HMODULE Module) {
    return ResolveAs<TAssocQueryStringByKeyW>(Module, "AssocQueryStringByKeyW");
}
TPathIsLFNFileSpecA PAddrPathIsLFNFileSpecA(HMODULE Module) {
    return ResolveAs<TPathIsLFNFileSpecA>(Module, "PathIsLFNFileSpecA");
}
TPathIsLFNFileSpecW PAddrPathIsLFNFileSpecW(HMODULE Module) {
    return ResolveAs<TPathIsLFNFileSpecW>(Module, "PathIsLFNFileSpecW");
}
TPathCreateFromUrlA PAddrPathCreateFromUrlA(HMODULE Module) {
    return ResolveAs<TPathCreateFromUrlA>(Module, "PathCreateFromUrlA");
}
TPathCreateFromUrlW PAddrPathCreateFromUrlW(HMODULE Module) {
    return ResolveAs<TPathCreateFromUrlW>(Module, "PathCreateFromUrlW");
}
TStrTrimA PAddrStrTrimA(HMODULE Module) { return ResolveAs<TStrTrimA>(Module, "StrTrimA"); }
TStrTrimW PAddrStrTrimW(HMODULE Module) { return ResolveAs<TStrTrimW>(Module, "StrTrimW"); }
TUrlIsA PAddrUrlIsA(HMODULE Module) { return ResolveAs<TUrlIsA>(Module, "UrlIsA"); }
TUrlIsW PAddrUrlIsW(HMODULE Module) { return ResolveAs<TUrlIsW>(Module, "UrlIsW"); }

TSHAutoComplete PAddrSHAutoComplete() {
    if (gShlWAPIHandle == nullptr) RaiseLastOSError();
    const FARPROC entry = GetProcAddress(gShlWAPIHandle, "SHAutoComplete");
    if (entry == nullptr) RaiseLastOSError();
    return dynbind::ProcAs<TSHAutoComplete>(entry);
}

// ---------------------------------------------------------------- wrappers

HRESULT AssocGetPerceivedType(LPCWSTR pszExt, int& ptype, DWORD& pflag, LPWSTR* ppszType) {
    return CallShlWAPI<HRESULT>(PAddrAssocGetPerceivedType, ERROR_CALL_NOT_IMPLEMENTED,
                                pszExt, &ptype, &pflag, ppszType);
}

BOOL AssocIsDangerous(LPCWSTR pszAssoc) {
    return CallShlWAPI<BOOL>(PAddrAssocIsDangerous, FALSE, pszAssoc);
}

HRESULT AssocQueryKeyA(DWORD flags, ASSOCKEY key, LPCSTR pszAssoc, LPCSTR pszExtra,
                       HKEY& phkeyOut) {
    return CallShlWAPI<HRESULT>(PAddrAssocQueryKeyA, 0, flags, static_cast<DWORD>(key),
                                pszAssoc, pszExtra, &phkeyOut);
}

HRESULT AssocQueryKeyW(DWORD flags, ASSOCKEY key, LPCWSTR pszAssoc, LPCWSTR pszExtra,
                       HKEY& phkeyOut) {
    return CallShlWAPI<HRESULT>(PAddrAssocQueryKeyW, 0, flags, static_cast<DWORD>(key),
                                pszAssoc, pszExtra, &phkeyOut);
}

HRESULT AssocQueryKey(DWORD flags, ASSOCKEY key, LPCSTR pszAssoc, LPCSTR pszExtra,
                      HKEY& phkeyOut) {
    return AssocQueryKeyA(flags, key, pszAssoc, pszExtra, phkeyOut);
}

HRESULT AssocQueryStringA(DWORD flags, ASSOCSTR str, LPCSTR pszAssoc, LPCSTR pszExtra,
                          LPSTR pszOut, DWORD& pcchOut) {
    return CallShlWAPI<HRESULT>(PAddrAssocQueryStringA, 0, flags, static_cast<DWORD>(str),
                                pszAssoc, pszExtra, pszOut, &pcchOut);
}

HRESULT AssocQueryStringW(DWORD flags, ASSOCSTR str, LPCWSTR pszAssoc, LPCWSTR pszExtra,
                          LPWSTR pszOut, DWORD& pcchOut) {
    return CallShlWAPI<HRESULT>(PAddrAssocQueryStringW, 0, flags, static_cast<DWORD>(str),
                                pszAssoc, pszExtra, pszOut, &pcchOut);
}

HRESULT AssocQueryString(DWORD flags, ASSOCSTR str, LPCSTR pszAssoc, LPCSTR pszExtra,
                         LPSTR pszOut, DWORD& pcchOut) {
    return AssocQueryStringA(flags, str, pszAssoc, pszExtra, pszOut, pcchOut);
}

HRESULT AssocQueryStringByKeyA(DWORD flags, ASSOCSTR str, HKEY hkAssoc, LPCSTR pszExtra,
                               LPSTR pszOut, DWORD& pcchOut) {
    return CallShlWAPI<HRESULT>(PAddrAssocQueryStringByKeyA, 0, flags,
                                static_cast<DWORD>(str), hkAssoc, pszExtra, pszOut, &pcchOut);
}

HRESULT AssocQueryStringByKeyW(DWORD flags, ASSOCSTR str, HKEY hkAssoc, LPCWSTR pszExtra,
                               LPWSTR pszOut, DWORD& pcchOut) {
    return CallShlWAPI<HRESULT>(PAddrAssocQueryStringByKeyW, 0, flags,
                                static_cast<DWORD>(str), hkAssoc, pszExtra, pszOut, &pcchOut);
}

HRESULT AssocQueryStringByKey(DWORD flags, ASSOCSTR str, HKEY hkAssoc, LPCSTR pszExtra,
                              LPSTR pszOut, DWORD& pcchOut) {
    return AssocQueryStringByKeyA(flags, str, hkAssoc, pszExtra, pszOut, pcchOut);
}

BOOL PathIsLFNFileSpecA(LPCSTR pszName) {
    return CallShlWAPI<BOOL>(PAddrPathIsLFNFileSpecA, FALSE, pszName);
}

BOOL PathIsLFNFileSpecW(LPCWSTR pszName) {
    return CallShlWAPI<BOOL>(PAddrPathIsLFNFileSpecW, FALSE, pszName);
}

HRESULT PathCreateFromUrlA(LPCSTR pszUrl, LPSTR pszPath, DWORD& pcchPath, DWORD dwFlags) {
    return CallShlWAPI<HRESULT>(PAddrPathCreateFromUrlA, 0, pszUrl, pszPath, &pcchPath,
                                dwFlags);
}

HRESULT PathCreateFromUrlW(LPCWSTR pszUrl, LPWSTR pszPath, DWORD& pcchPath, DWORD dwFlags) {
    return CallShlWAPI<HRESULT>(PAddrPathCreateFromUrlW, 0, pszUrl, pszPath, &pcchPath,
                                dwFlags);
}

BOOL StrTrimA(LPSTR psz, LPCSTR pszTrimChars) {
    return CallShlWAPI<BOOL>(PAddrStrTrimA, FALSE, psz, pszTrimChars);
}

BOOL StrTrimW(LPWSTR psz, LPCWSTR pszTrimChars) {
    return CallShlWAPI<BOOL>(PAddrStrTrimW, FALSE, psz, pszTrimChars);
}

BOOL UrlIsA(LPCSTR pszUrl, DWORD UrlIs) {
    return CallShlWAPI<BOOL>(PAddrUrlIsA, FALSE, pszUrl, UrlIs);
}

BOOL UrlIsW(LPCWSTR pszUrl, DWORD UrlIs) {
    return CallShlWAPI<BOOL>(PAddrUrlIsW, FALSE, pszUrl, UrlIs);
}

HRESULT SHAutoComplete(HWND hwndEdit, DWORD dwFlags) {
    if (gSHAutoComplete == nullptr) {
        SetLastError(ERROR_INVALID_FUNCTION);
        return 1;
    }
    return gSHAutoComplete(hwndEdit, dwFlags);
}

// ---------------------------------------------------------------- unit start and stop

TRUKDynShlWAPIUnit::TRUKDynShlWAPIUnit() : FComCtlVersion(ComCtlVersion()) { Start(nullptr); }

TRUKDynShlWAPIUnit::TRUKDynShlWAPIUnit(int comCtlVersion, const char* libraryFileName)
    : FComCtlVersion(comCtlVersion) {
    Start(libraryFileName);
}

void TRUKDynShlWAPIUnit::Start(const char* libraryFileName) {
    // The result does not matter: an apartment that already exists serves as well.
    (void)CoInitialize(nullptr);
    gShlWAPIHandle = nullptr;
    gSHAutoComplete = nullptr;
    if (FComCtlVersion < ComCtlVersionForAutoComplete) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return;
    }
    gShlWAPIHandle = libraryFileName ? LoadLibraryA(libraryFileName) : LoadShlWAPIDll();
    gSHAutoComplete = PAddrSHAutoComplete();
}

TRUKDynShlWAPIUnit::~TRUKDynShlWAPIUnit() {
    if (FComCtlVersion >= ComCtlVersionForAutoComplete) SetLastError(FreeShlWAPIDll());
    CoUninitialize();
}

HMODULE TRUKDynShlWAPIUnit::LibraryHandle() { return gShlWAPIHandle; }

int TRUKDynShlWAPIUnit::ComCtlVersion() {
    static const int version = ReadComCtlVersion();
    return version;
}

}  // namespace ruk
