// Run-time binding of the process-status library "PsApi.dll". Every wrapper loads the
// library, resolves its export, calls it and frees the library again; a missing library
// or export sets the last error to ERROR_CALL_NOT_IMPLEMENTED (120) and gives 0. Resolvers
// given 0 or INVALID_HANDLE_VALUE give nil with ERROR_INVALID_HANDLE (6).
#pragma once

#include <windows.h>

// The process-status header maps these names onto kernel exports when it is included.
#undef EmptyWorkingSet
#undef EnumDeviceDrivers
#undef EnumPageFilesA
#undef EnumPageFilesW
#undef EnumProcesses
#undef EnumProcessModules
#undef EnumProcessModulesEx
#undef GetDeviceDriverBaseNameA
#undef GetDeviceDriverBaseNameW
#undef GetDeviceDriverFileNameA
#undef GetDeviceDriverFileNameW
#undef GetMappedFileNameA
#undef GetMappedFileNameW
#undef GetModuleBaseNameA
#undef GetModuleBaseNameW
#undef GetModuleFileNameExA
#undef GetModuleFileNameExW
#undef GetModuleInformation
#undef GetPerformanceInfo
#undef GetProcessImageFileNameA
#undef GetProcessImageFileNameW
#undef GetProcessMemoryInfo
#undef GetWsChanges
#undef GetWsChangesEx
#undef InitializeProcessForWsWatch
#undef QueryWorkingSet
#undef QueryWorkingSetEx

namespace ruk {

// Records of the process-status functions, with the system's names and layouts.
struct _ENUM_PAGE_FILE_INFORMATION {
    DWORD cb;
    DWORD Reserved;
    SIZE_T TotalSize;
    SIZE_T TotalInUse;
    SIZE_T PeakUsage;
};

struct _MODULEINFO {
    LPVOID lpBaseOfDll;
    DWORD SizeOfImage;
    LPVOID EntryPoint;
};

struct _PERFORMANCE_INFORMATION {
    DWORD cb;
    SIZE_T CommitTotal;
    SIZE_T CommitLimit;
    SIZE_T CommitPeak;
    SIZE_T PhysicalTotal;
    SIZE_T PhysicalAvailable;
    SIZE_T SystemCache;
    SIZE_T KernelTotal;
    SIZE_T KernelPaged;
    SIZE_T KernelNonpaged;
    SIZE_T PageSize;
    DWORD HandleCount;
    DWORD ProcessCount;
    DWORD ThreadCount;
};

struct _PROCESS_MEMORY_COUNTERS {
    DWORD cb;
    DWORD PageFaultCount;
    SIZE_T PeakWorkingSetSize;
    SIZE_T WorkingSetSize;
    SIZE_T QuotaPeakPagedPoolUsage;
    SIZE_T QuotaPagedPoolUsage;
    SIZE_T QuotaPeakNonPagedPoolUsage;
    SIZE_T QuotaNonPagedPoolUsage;
    SIZE_T PagefileUsage;
    SIZE_T PeakPagefileUsage;
};

struct _PSAPI_WS_WATCH_INFORMATION {
    LPVOID FaultingPc;
    LPVOID FaultingVa;
};

struct _PSAPI_WS_WATCH_INFORMATION_EX {
    _PSAPI_WS_WATCH_INFORMATION BasicInfo;
    ULONG_PTR FaultingThreadId;
    ULONG_PTR Flags;
};

using TEnumPageFilesCallbackA = BOOL(CALLBACK*)(LPVOID pContext,
                                                _ENUM_PAGE_FILE_INFORMATION* pPageFileInfo,
                                                LPCSTR lpFilename);
using TEnumPageFilesCallbackW = BOOL(CALLBACK*)(LPVOID pContext,
                                                _ENUM_PAGE_FILE_INFORMATION* pPageFileInfo,
                                                LPCWSTR lpFilename);

using TEmptyWorkingSet = BOOL(WINAPI*)(HANDLE hProcess);
using TEnumDeviceDrivers = BOOL(WINAPI*)(LPVOID* lpImageBase, DWORD cb, DWORD* lpcbNeeded);
using TEnumPageFilesA = BOOL(WINAPI*)(TEnumPageFilesCallbackA pCallBackRoutine,
                                      LPVOID pContext);
using TEnumPageFilesW = BOOL(WINAPI*)(TEnumPageFilesCallbackW pCallBackRoutine,
                                      LPVOID pContext);
using TEnumProcesses = BOOL(WINAPI*)(DWORD* lpidProcess, DWORD cb, DWORD* cbNeeded);
using TEnumProcessModules = BOOL(WINAPI*)(HANDLE hProcess, HMODULE* lphModule, DWORD cb,
                                          DWORD* lpcbNeeded);
using TEnumProcessModulesEx = BOOL(WINAPI*)(HANDLE hProcess, HMODULE* lphModule, DWORD cb,
                                            DWORD* lpcbNeeded, DWORD dwFilterFlag);
using TGetDeviceDriverBaseNameA = DWORD(WINAPI*)(LPVOID ImageBase, LPSTR lpBaseName,
                                                 DWORD nSize);
using TGetDeviceDriverBaseNameW = DWORD(WINAPI*)(LPVOID ImageBase, LPWSTR lpBaseName,
                                                 DWORD nSize);
using TGetDeviceDriverFileNameA = DWORD(WINAPI*)(LPVOID ImageBase, LPSTR lpFilename,
                                                 DWORD nSize);
using TGetDeviceDriverFileNameW = DWORD(WINAPI*)(LPVOID ImageBase, LPWSTR lpFilename,
                                                 DWORD nSize);
using TGetMappedFileNameA = DWORD(WINAPI*)(HANDLE hProcess, LPVOID lpv, LPSTR lpFilename,
                                           DWORD nSize);
using TGetMappedFileNameW = DWORD(WINAPI*)(HANDLE hProcess, LPVOID lpv, LPWSTR lpFilename,
                                           DWORD nSize);
using TGetModuleBaseNameA = DWORD(WINAPI*)(HANDLE hProcess, HMODULE hModule,
                                           LPSTR lpBaseName, DWORD nSize);
using TGetModuleBaseNameW = DWORD(WINAPI*)(HANDLE hProcess, HMODULE hModule,
                                           LPWSTR lpBaseName, DWORD nSize);
using TGetModuleFileNameExA = DWORD(WINAPI*)(HANDLE hProcess, HMODULE hModule,
                                             LPSTR lpFilename, DWORD nSize);
using TGetModuleFileNameExW = DWORD(WINAPI*)(HANDLE hProcess, HMODULE hModule,
                                             LPWSTR lpFilename, DWORD nSize);
using TGetModuleInformation = BOOL(WINAPI*)(HANDLE hProcess, HMODULE hModule,
                                            _MODULEINFO* lpmodinfo, DWORD cb);
using TGetPerformanceInfo = BOOL(WINAPI*)(_PERFORMANCE_INFORMATION* pPerformanceInformation,
                                          DWORD cb);
using TGetProcessImageFileNameA = DWORD(WINAPI*)(HANDLE hProcess, LPSTR lpImageFileName,
                                                 DWORD nSize);
using TGetProcessImageFileNameW = DWORD(WINAPI*)(HANDLE hProcess, LPWSTR lpImageFileName,
                                                 DWORD nSize);
using TGetProcessMemoryInfo = BOOL(WINAPI*)(HANDLE Process,
                                            _PROCESS_MEMORY_COUNTERS* ppsmemCounters,
                                            DWORD cb);
using TGetWsChanges = BOOL(WINAPI*)(HANDLE hProcess, _PSAPI_WS_WATCH_INFORMATION* lpWatchInfo,
                                    DWORD cb);
using TGetWsChangesEx = BOOL(WINAPI*)(HANDLE hProcess,
                                      _PSAPI_WS_WATCH_INFORMATION_EX* lpWatchInfoEx, DWORD* cb);
using TInitializeProcessForWsWatch = BOOL(WINAPI*)(HANDLE hProcess);
using TQueryWorkingSet = BOOL(WINAPI*)(HANDLE hProcess, PVOID pv, DWORD cb);
using TQueryWorkingSetEx = BOOL(WINAPI*)(HANDLE hProcess, PVOID pv, DWORD cb);

// ---------------------------------------------------------------- resolvers

TEmptyWorkingSet PAddrEmptyWorkingSet(HMODULE Module);
TEnumDeviceDrivers PAddrEnumDeviceDrivers(HMODULE Module);
TEnumPageFilesA PAddrEnumPageFilesA(HMODULE Module);
TEnumPageFilesW PAddrEnumPageFilesW(HMODULE Module);
TEnumProcesses PAddrEnumProcesses(HMODULE Module);
TEnumProcessModules PAddrEnumProcessModules(HMODULE Module);
TEnumProcessModulesEx PAddrEnumProcessModulesEx(HMODULE Module);
TGetDeviceDriverBaseNameA PAddrGetDeviceDriverBaseNameA(HMODULE Module);
TGetDeviceDriverBaseNameW PAddrGetDeviceDriverBaseNameW(HMODULE Module);
TGetDeviceDriverFileNameA PAddrGetDeviceDriverFileNameA(HMODULE Module);
TGetDeviceDriverFileNameW PAddrGetDeviceDriverFileNameW(HMODULE Module);
TGetMappedFileNameA PAddrGetMappedFileNameA(HMODULE Module);
TGetMappedFileNameW PAddrGetMappedFileNameW(HMODULE Module);
TGetModuleBaseNameA PAddrGetModuleBaseNameA(HMODULE Module);
TGetModuleBaseNameW PAddrGetModuleBaseNameW(HMODULE Module);
TGetModuleFileNameExA PAddrGetModuleFileNameExA(HMODULE Module);
TGetModuleFileNameExW PAddrGetModuleFileNameExW(HMODULE Module);
TGetModuleInformation PAddrGetModuleInformation(HMODULE Module);
TGetPerformanceInfo PAddrGetPerformanceInfo(HMODULE Module);
TGetProcessImageFileNameA PAddrGetProcessImageFileNameA(HMODULE Module);
TGetProcessImageFileNameW PAddrGetProcessImageFileNameW(HMODULE Module);
TGetProcessMemoryInfo PAddrGetProcessMemoryInfo(HMODULE Module);
TGetWsChanges PAddrGetWsChanges(HMODULE Module);
TGetWsChangesEx PAddrGetWsChangesEx(HMODULE Module);
TInitializeProcessForWsWatch PAddrInitializeProcessForWsWatch(HMODULE Module);
TQueryWorkingSet PAddrQueryWorkingSet(HMODULE Module);
TQueryWorkingSetEx PAddrQueryWorkingSetEx(HMODULE Module);

// ---------------------------------------------------------------- wrappers

BOOL EmptyWorkingSet(HANDLE hProcess);
BOOL EnumDeviceDrivers(LPVOID* lpImageBase, DWORD cb, DWORD& lpcbNeeded);
BOOL EnumPageFilesA(TEnumPageFilesCallbackA pCallBackRoutine, LPVOID pContext);
BOOL EnumPageFilesW(TEnumPageFilesCallbackW pCallBackRoutine, LPVOID pContext);
BOOL EnumProcesses(DWORD* lpidProcess, DWORD cb, DWORD& cbNeeded);
BOOL EnumProcessModules(HANDLE hProcess, HMODULE* lphModule, DWORD cb, DWORD& lpcbNeeded);
BOOL EnumProcessModulesEx(HANDLE hProcess, HMODULE* lphModule, DWORD cb, DWORD& lpcbNeeded,
                          DWORD dwFilterFlag);
DWORD GetDeviceDriverBaseNameA(LPVOID ImageBase, LPSTR lpBaseName, DWORD nSize);
DWORD GetDeviceDriverBaseNameW(LPVOID ImageBase, LPWSTR lpBaseName, DWORD nSize);
DWORD GetDeviceDriverFileNameA(LPVOID ImageBase, LPSTR lpFilename, DWORD nSize);
DWORD GetDeviceDriverFileNameW(LPVOID ImageBase, LPWSTR lpFilename, DWORD nSize);
DWORD GetMappedFileNameA(HANDLE hProcess, LPVOID lpv, LPSTR lpFilename, DWORD nSize);
DWORD GetMappedFileNameW(HANDLE hProcess, LPVOID lpv, LPWSTR lpFilename, DWORD nSize);
DWORD GetModuleBaseNameA(HANDLE hProcess, HMODULE hModule, LPSTR lpBaseName, DWORD nSize);
DWORD GetModuleBaseNameW(HANDLE hProcess, HMODULE hModule, LPWSTR lpBaseName, DWORD nSize);
DWORD GetModuleFileNameExA(HANDLE hProcess, HMODULE hModule, LPSTR lpFilename, DWORD nSize);
DWORD GetModuleFileNameExW(HANDLE hProcess, HMODULE hModule, LPWSTR lpFilename, DWORD nSize);
BOOL GetModuleInformation(HANDLE hProcess, HMODULE hModule, _MODULEINFO* lpmodinfo, DWORD cb);
BOOL GetPerformanceInfo(_PERFORMANCE_INFORMATION* pPerformanceInformation, DWORD cb);
DWORD GetProcessImageFileNameA(HANDLE hProcess, LPSTR lpImageFileName, DWORD nSize);
DWORD GetProcessImageFileNameW(HANDLE hProcess, LPWSTR lpImageFileName, DWORD nSize);
BOOL GetProcessMemoryInfo(HANDLE Process, _PROCESS_MEMORY_COUNTERS* ppsmemCounters, DWORD cb);
BOOL GetWsChanges(HANDLE hProcess, _PSAPI_WS_WATCH_INFORMATION* lpWatchInfo, DWORD cb);
BOOL GetWsChangesEx(HANDLE hProcess, _PSAPI_WS_WATCH_INFORMATION_EX* lpWatchInfoEx,
                    DWORD& cb);
BOOL InitializeProcessForWsWatch(HANDLE hProcess);
BOOL QueryWorkingSet(HANDLE hProcess, PVOID pv, DWORD cb);
BOOL QueryWorkingSetEx(HANDLE hProcess, PVOID pv, DWORD cb);

}  // namespace ruk
