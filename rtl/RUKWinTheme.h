// RUKWinTheme: the visual-styles library ("uxtheme.dll") bound at run time, so that the run-time
// library also loads where there is none. The library is loaded once for the process; a resolver
// raises EWin32Error with the last error when the library or its entry is missing, and a wrapper
// binds its entry on first use.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// The style data handle of the visual-styles interface (declared here, not from its header, so
// that its functions never meet these wrappers of the same names).
typedef HANDLE HTHEME;

namespace ruk {

// Part and property numbers of the styles used here.
constexpr int TABP_BODY = 10;

// NT platform, version 5.1 or later; EWin32Error when the version query fails.
bool IsWindowsXPOrLater();
// 0, or 50 (ERROR_NOT_SUPPORTED) before Windows XP; EWin32Error when loading fails.
DWORD LoadUxThemeDll();
// 0; EWin32Error when nothing is loaded or freeing fails.
DWORD FreeUxThemeDll();
// The library's handle, loading it when needed; -1 (INVALID_HANDLE_VALUE) when it cannot be had.
HMODULE GetUxThemeDllHandle();
void ClearUxThemeFuncPointers();

FARPROC PAddrCloseThemeData();
FARPROC PAddrDrawThemeBackground();
FARPROC PAddrGetThemeColor();
FARPROC PAddrGetThemeSysColor();
FARPROC PAddrIsThemeActive();
FARPROC PAddrOpenThemeData();

HTHEME OpenThemeData(HWND window, LPCWSTR classList);
HRESULT CloseThemeData(HTHEME theme);
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip);
HRESULT GetThemeColor(HTHEME theme, int part, int state, int property, COLORREF* color);
COLORREF GetThemeSysColor(HTHEME theme, int colorIndex);
BOOL IsThemeActive();

// Test seams: the file name loaded in place of "uxtheme.dll", and the version record in place
// of the system's answer (null restores both).
void SetUxThemeLibraryNameForTests(const char* name);
using TVersionQuery = std::function<BOOL(OSVERSIONINFOA& info)>;
void SetVersionQueryForTests(TVersionQuery query);

}  // namespace ruk
