#include <windows.h>

/* Stand-in for the auto-complete entry: the result shows both arguments and their order. */
__declspec(dllexport) HRESULT WINAPI SHAutoComplete(HWND hwndEdit, DWORD dwFlags) {
    return (HRESULT)((UINT_PTR)hwndEdit * 16 + dwFlags);
}

__declspec(dllexport) int WINAPI RUKTestSubtract(int a, int b) { return a - b; }

/* Fails with the given last error, which a wrapper must hand on unchanged. */
__declspec(dllexport) BOOL WINAPI RUKTestFailWith(DWORD code) {
    SetLastError(code);
    return FALSE;
}
