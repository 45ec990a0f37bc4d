#include "RUKWinTheme.h"

#include "RUKValidHandle.h"
#include "SysUtils.h"

#include <cstring>

namespace ruk {

namespace {

HMODULE gLibrary = nullptr;
const char* gLibraryName = "uxtheme.dll";
TVersionQuery gVersionQuery;

// The entries this library uses; the library has more, which nothing here calls.
using TCloseThemeData = HRESULT(WINAPI*)(HTHEME);
using TDrawThemeBackground = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*);
using TGetThemeColor = HRESULT(WINAPI*)(HTHEME, int, int, int, COLORREF*);
using TGetThemeSysColor = COLORREF(WINAPI*)(HTHEME, int);
using TIsThemeActive = BOOL(WINAPI*)();
using TOpenThemeData = HTHEME(WINAPI*)(HWND, LPCWSTR);

struct TFuncPointers {
    TCloseThemeData CloseThemeData = nullptr;
    TDrawThemeBackground DrawThemeBackground = nullptr;
    TGetThemeColor GetThemeColor = nullptr;
    TGetThemeSysColor GetThemeSysColor = nullptr;
    TIsThemeActive IsThemeActive = nullptr;
    TOpenThemeData OpenThemeData = nullptr;
} gFuncs;

[[noreturn]] void RaiseLastWin32Error() { throw EWin32Error(GetLastError()); }

FARPROC Resolve(const char* name) {
    if (!IsValidHandle(gLibrary)) {
        RaiseLastWin32Error();
    }
    FARPROC p = GetProcAddress(gLibrary, name);
    if (!p) RaiseLastWin32Error();
    return p;
}

template <class T>
T Bound(T& slot, FARPROC (*resolver)()) {
    if (!slot) slot = reinterpret_cast<T>(reinterpret_cast<void*>(resolver()));
    return slot;
}

}  // namespace

void SetUxThemeLibraryNameForTests(const char* name) { gLibraryName = name ? name : "uxtheme.dll"; }
void SetVersionQueryForTests(TVersionQuery query) { gVersionQuery = std::move(query); }

bool IsWindowsXPOrLater() {
    OSVERSIONINFOA info;
    std::memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;  // the 148-byte record
    const BOOL ok = gVersionQuery ? gVersionQuery(info) : GetVersionExA(&info);
    if (!ok) RaiseLastWin32Error();
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT &&
           (info.dwMajorVersion > 5 || (info.dwMajorVersion == 5 && info.dwMinorVersion >= 1));
}

DWORD LoadUxThemeDll() {
    if (!IsWindowsXPOrLater()) return ERROR_NOT_SUPPORTED;
    if (!IsValidHandle(gLibrary)) gLibrary = LoadLibraryA(gLibraryName);
    if (IsValidHandle(gLibrary)) return 0;
    gLibrary = nullptr;
    RaiseLastWin32Error();
}

DWORD FreeUxThemeDll() {
    if (IsValidHandle(gLibrary) && FreeLibrary(gLibrary)) {
        gLibrary = nullptr;
        ClearUxThemeFuncPointers();
        return 0;
    }
    RaiseLastWin32Error();
}

HMODULE GetUxThemeDllHandle() {
    if (IsValidHandle(gLibrary)) return gLibrary;
    if (LoadUxThemeDll() == 0) return gLibrary;
    return static_cast<HMODULE>(INVALID_HANDLE_VALUE);
}

void ClearUxThemeFuncPointers() { gFuncs = TFuncPointers{}; }

FARPROC PAddrCloseThemeData() { return Resolve("CloseThemeData"); }
FARPROC PAddrDrawThemeBackground() { return Resolve("DrawThemeBackground"); }
FARPROC PAddrGetThemeColor() { return Resolve("GetThemeColor"); }
FARPROC PAddrGetThemeSysColor() { return Resolve("GetThemeSysColor"); }
FARPROC PAddrIsThemeActive() { return Resolve("IsThemeActive"); }
FARPROC PAddrOpenThemeData() { return Resolve("OpenThemeData"); }

HTHEME OpenThemeData(HWND window, LPCWSTR classList) {
    return Bound(gFuncs.OpenThemeData, PAddrOpenThemeData)(window, classList);
}

HRESULT CloseThemeData(HTHEME theme) { return Bound(gFuncs.CloseThemeData, PAddrCloseThemeData)(theme); }

HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip) {
    return Bound(gFuncs.DrawThemeBackground, PAddrDrawThemeBackground)(theme, dc, part, state, rect, clip);
}

HRESULT GetThemeColor(HTHEME theme, int part, int state, int property, COLORREF* color) {
    return Bound(gFuncs.GetThemeColor, PAddrGetThemeColor)(theme, part, state, property, color);
}

COLORREF GetThemeSysColor(HTHEME theme, int colorIndex) {
    return Bound(gFuncs.GetThemeSysColor, PAddrGetThemeSysColor)(theme, colorIndex);
}

BOOL IsThemeActive() { return Bound(gFuncs.IsThemeActive, PAddrIsThemeActive)(); }

}  // namespace ruk
