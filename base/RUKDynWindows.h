// Run-time binding of kernel functions that older Windows versions lack. The kernel is
// always loaded, so the wrappers look their export up in the module GetModuleHandleA gives
// for "Kernel32.dll" and free nothing (GetSystemWow64Directory loads the kernel by name).
// A missing export sets the last error to ERROR_CALL_NOT_IMPLEMENTED (120) and gives 0;
// resolvers given 0 or INVALID_HANDLE_VALUE give nil with ERROR_INVALID_HANDLE (6).
#pragma once

#include <windows.h>

// Generic-name macros of the system headers would rename our own wrappers of these names.
#undef EnumResourceTypesEx
#undef GetSystemWow64Directory

namespace ruk {

using TQueryFullProcessImageNameA = BOOL(WINAPI*)(HANDLE hProcess, DWORD dwFlags,
                                                  LPSTR lpExeName, DWORD* lpdwSize);
using TQueryFullProcessImageNameW = BOOL(WINAPI*)(HANDLE hProcess, DWORD dwFlags,
                                                  LPWSTR lpExeName, DWORD* lpdwSize);
using TEnumResourceTypesExA = BOOL(WINAPI*)(HMODULE hModule, ENUMRESTYPEPROCA lpEnumFunc,
                                            LONG_PTR lParam, DWORD dwFlags, LANGID LangId);
using TEnumResourceTypesExW = BOOL(WINAPI*)(HMODULE hModule, ENUMRESTYPEPROCW lpEnumFunc,
                                            LONG_PTR lParam, DWORD dwFlags, LANGID LangId);
using TIsWow64Process = BOOL(WINAPI*)(HANDLE hProcess, BOOL* Wow64Process);
using TWow64EnableWow64FsRedirection = BOOLEAN(WINAPI*)(BOOLEAN Wow64FsEnableRedirection);
using TWow64DisableWow64FsRedirection = BOOL(WINAPI*)(PVOID* OldValue);
using TWow64RevertWow64FsRedirection = BOOL(WINAPI*)(PVOID OldValue);
using TGetSystemWow64Directory = UINT(WINAPI*)(LPSTR lpBuffer, UINT uSize);

// ---------------------------------------------------------------- resolvers

TQueryFullProcessImageNameA PAddrQueryFullProcessImageNameA(HMODULE Module);
TQueryFullProcessImageNameW PAddrQueryFullProcessImageNameW(HMODULE Module);
TEnumResourceTypesExA PAddrEnumResourceTypesExA(HMODULE Module);
TEnumResourceTypesExW PAddrEnumResourceTypesExW(HMODULE Module);
TIsWow64Process PAddrIsWow64Process(HMODULE Module);
TWow64EnableWow64FsRedirection PAddrWow64EnableWow64FsRedirection(HMODULE Module);
TWow64DisableWow64FsRedirection PAddrWow64DisableWow64FsRedirection(HMODULE Module);
TWow64RevertWow64FsRedirection PAddrWow64RevertWow64FsRedirection(HMODULE Module);
// Looks up "GetSystemWow64DirectoryA".
TGetSystemWow64Directory PAddrGetSystemWow64Directory(HMODULE Module);

// True when the loaded kernel exports the function.
bool QueryFullProcessImageNameASupported();
bool QueryFullProcessImageNameWSupported();

// ---------------------------------------------------------------- wrappers

BOOL QueryFullProcessImageNameA(HANDLE hProcess, DWORD dwFlags, LPSTR lpExeName,
                                DWORD& lpdwSize);
BOOL QueryFullProcessImageNameW(HANDLE hProcess, DWORD dwFlags, LPWSTR lpExeName,
                                DWORD& lpdwSize);
// The kernel declares EnumResourceTypesExA too: call these two as ruk::.
BOOL EnumResourceTypesExA(HMODULE hModule, ENUMRESTYPEPROCA lpEnumFunc, LONG_PTR lParam,
                          DWORD dwFlags, LANGID LangId);
BOOL EnumResourceTypesEx(HMODULE hModule, ENUMRESTYPEPROCA lpEnumFunc, LONG_PTR lParam,
                         DWORD dwFlags, LANGID LangId);
BOOL IsWow64Process(HANDLE hProcess, BOOL& Wow64Process);
BOOLEAN Wow64EnableWow64FsRedirection(BOOLEAN Wow64FsEnableRedirection);
BOOL Wow64DisableWow64FsRedirection(PVOID& OldValue);
BOOL Wow64RevertWow64FsRedirection(PVOID OldValue);
// Characters copied, 0 on failure.
UINT GetSystemWow64Directory(LPSTR lpBuffer, UINT uSize);

}  // namespace ruk
