// RUKDynKernel: kernel functions of newer Windows versions, bound at run time. Each call
// loads "Kernel32.dll" by name and frees it again, so a missing entry never stays resolved.
// A missing entry leaves the out argument untouched and the last error 120.
#pragma once

#include <windows.h>

namespace ruk {

using TGetProductInfo = BOOL(WINAPI*)(DWORD, DWORD, DWORD, DWORD, PDWORD);
using TGetNativeSystemInfo = void(WINAPI*)(LPSYSTEM_INFO);
using TGlobalMemoryStatusEx = BOOL(WINAPI*)(LPMEMORYSTATUSEX);

// Null with last error 6 for a module handle of 0 or -1.
TGetProductInfo PAddrGetProductInfo(HMODULE kernel);
TGetNativeSystemInfo PAddrGetNativeSystemInfo(HMODULE kernel);
TGlobalMemoryStatusEx PAddrGlobalMemoryStatusEx(HMODULE kernel);

BOOL GetProductInfo(DWORD major, DWORD minor, DWORD spMajor, DWORD spMinor, PDWORD productType);
void GetNativeSystemInfo(LPSYSTEM_INFO info);
// False when the entry is missing or the call fails; dwLength is set here.
BOOL GlobalMemoryStatusEx(LPMEMORYSTATUSEX status);

}  // namespace ruk
