#include "RUKDynPSAPI.h"

#include "RUKDynBinding.h"

namespace ruk {

using dynbind::ResolveAs;

namespace {

constexpr char kPsApiFileName[] = "PsApi.dll";

// Load, resolve, call, free: once per call of a wrapper.
template <class R, class Fn, class... Args>
R CallPsApi(Fn (*resolver)(HMODULE), Args... args) {
    return dynbind::CallLoaded<R>(kPsApiFileName, resolver, R(0), args...);
}

}  // namespace

// ---------------------------------------------------------------- resolvers

TEmptyWorkingSet PAddrEmptyWorkingSet(HMODULE Module) {
    return ResolveAs<TEmptyWorkingSet>(Module, "EmptyWorkingSet");
}
TEnumDeviceDrivers PAddrEnumDeviceDrivers(HMODULE Module) {
    return ResolveAs<TEnumDeviceDrivers>(Module, "EnumDeviceDrivers");
}
TEnumPageFilesA PAddrEnumPageFilesA(HMODULE Module) {
    return ResolveAs<TEnumPageFilesA>(Module, "EnumPageFilesA");
}
TEnumPageFilesW PAddrEnumPageFilesW(HMODULE Module) {
    return ResolveAs<TEnumPageFilesW>(Module, "EnumPageFilesW");
}
TEnumProcesses PAddrEnumProcesses(HMODULE Module) {
    return ResolveAs<TEnumProcesses>(Module, "EnumProcesses");
}
TEnumProcessModules PAddrEnumProcessModules(HMODULE Module) {
    return ResolveAs<TEnumProcessModules>(Module, "EnumProcessModules");
}
TEnumProcessModulesEx PAddrEnumProcessModulesEx(HMODULE Module) {
    return ResolveAs<TEnumProcessModulesEx>(Module, "EnumProcessModulesEx");
}
TGetDeviceDriverBaseNameA PAddrGetDeviceDriverBaseNameA(HMODULE Module) {
    return ResolveAs<TGetDeviceDriverBaseNameA>(Module, "GetDeviceDriverBaseNameA");
}
TGetDeviceDriverBaseNameW PAddrGetDeviceDriverBaseNameW(HMODULE Module) {
    return ResolveAs<TGetDeviceDriverBaseNameW>(Module, "GetDeviceDriverBaseNameW");
}
TGetDeviceDriverFileNameA PAddrGetDeviceDriverFileNameA(HMODULE Module) {
    return ResolveAs<TGetDeviceDriverFileNameA>(Module, "GetDeviceDriverFileNameA");
}
TGetDeviceDriverFileNameW PAddrGetDeviceDriverFileNameW(HMODULE Module) {
    return ResolveAs<TGetDeviceDriverFileNameW>(Module, "GetDeviceDriverFileNameW");
}
TGetMappedFileNameA PAddrGetMappedFileNameA(HMODULE Module) {
    return ResolveAs<TGetMappedFileNameA>(Module, "GetMappedFileNameA");
}
TGetMappedFileNameW PAddrGetMappedFileNameW(HMODULE Module) {
    return ResolveAs<TGetMappedFileNameW>(Module, "GetMappedFileNameW");
}
TGetModuleBaseNameA PAddrGetModuleBaseNameA(HMODULE Module) {
    return ResolveAs<TGetModuleBaseNameA>(Module, "GetModuleBaseNameA");
}
TGetModuleBaseNameW PAddrGetModuleBaseNameW(HMODULE Module) {
    return ResolveAs<TGetModuleBaseNameW>(Module, "GetModuleBaseNameW");
}
TGetModuleFileNameExA PAddrGetModuleFileNameExA(HMODULE Module) {
    return ResolveAs<TGetModuleFileNameExA>(Module, "GetModuleFileNameExA");
}
TGetModuleFileNameExW PAddrGetModuleFileNameExW(HMODULE Module) {
    return ResolveAs<TGetModuleFileNameExW>(Module, "GetModuleFileNameExW");
}
TGetModuleInformation PAddrGetModuleInformation(HMODULE Module) {
    return ResolveAs<TGetModuleInformation>(Module, "GetModuleInformation");
}
TGetPerformanceInfo PAddrGetPerformanceInfo(HMODULE Module) {
    return ResolveAs<TGetPerformanceInfo>(Module, "GetPerformanceInfo");
}
TGetProcessImageFileNameA PAddrGetProcessImageFileNameA(HMODULE Module) {
    return ResolveAs<TGetProcessImageFileNameA>(Module, "GetProcessImageFileNameA");
}
TGetProcessImageFileNameW PAddrGetProcessImageFileNameW(HMODULE Module) {
    return ResolveAs<TGetProcessImageFileNameW>(Module, "GetProcessImageFileNameW");
}
TGetProcessMemoryInfo PAddrGetProcessMemoryInfo(HMODULE Module) {
    return ResolveAs<TGetProcessMemoryInfo>(Module, "GetProcessMemoryInfo");
}
TGetWsChanges PAddrGetWsChanges(HMODULE Module) {
    return ResolveAs<TGetWsChanges>(Module, "GetWsChanges");
}
TGetWsChangesEx PAddrGetWsChangesEx(HMODULE Module) {
    return ResolveAs<TGetWsChangesEx>(Module, "GetWsChangesEx");
}
TInitializeProcessForWsWatch PAddrInitializeProcessForWsWatch(HMODULE Module) {
    return ResolveAs<TInitializeProcessForWsWatch>(Module, "InitializeProcessForWsWatch");
}
TQueryWorkingSet PAddrQueryWorkingSet(HMODULE Module) {
    return ResolveAs<TQueryWorkingSet>(Module, "QueryWorkingSet");
}
TQueryWorkingSetEx PAddrQueryWorkingSetEx(HMODULE Module) {
    return ResolveAs<TQueryWorkingSetEx>(Module, "QueryWorkingSetEx");
}

// ---------------------------------------------------------------- wrappers

BOOL EmptyWorkingSet(HANDLE hProcess) {
    return CallPsApi<BOOL>(PAddrEmptyWorkingSet, hProcess);
}

BOOL EnumDeviceDrivers(LPVOID* lpImageBase, DWORD cb, DWORD& lpcbNeeded) {
    return CallPsApi<BOOL>(PAddrEnumDeviceDrivers, lpImageBase, cb, &lpcbNeeded);
}

BOOL EnumPageFilesA(TEnumPageFilesCallbackA pCallBackRoutine, LPVOID pContext) {
    return CallPsApi<BOOL>(PAddrEnumPageFilesA, pCallBackRoutine, pContext);
}

BOOL EnumPageFilesW(TEnumPageFilesCallbackW pCallBackRoutine, LPVOID pContext) {
    return CallPsApi<BOOL>(PAddrEnumPageFilesW, pCallBackRoutine, pContext);
}

BOOL EnumProcesses(DWORD* lpidProcess, DWORD cb, DWORD& cbNeeded) {
    return CallPsApi<BOOL>(PAddrEnumProcesses, lpidProcess, cb, &cbNeeded);
}

BOOL EnumProcessModules(HANDLE hProcess, HMODULE* lphModule, DWORD cb, DWORD& lpcbNeeded) {
    return CallPsApi<BOOL>(PAddrEnumProcessModules, hProcess, lphModule, cb, &lpcbNeeded);
}

BOOL EnumProcessModulesEx(HANDLE hProcess, HMODULE* lphModule, DWORD cb, DWORD& lpcbNeeded,
                          DWORD dwFilterFlag) {
    return CallPsApi<BOOL>(PAddrEnumProcessModulesEx, hProcess, lphModule, cb, &lpcbNeeded,
                           dwFilterFlag);
}

DWORD GetDeviceDriverBaseNameA(LPVOID ImageBase, LPSTR lpBaseName, DWORD nSize) {
    return CallPsApi<DWORD>(PAddrGetDeviceDriverBaseNameA, ImageBase, lpBaseName, nSize);
}

DWORD GetDeviceDriverBaseNameW(LPVOID ImageBase, LPWSTR lpBaseName, DWORD nSize) {
    return CallPsApi<DWORD>(PAddrGetDeviceDriverBaseNameW, ImageBase, lpBaseName, nSize);
}

DWORD GetDeviceDriverFileNameA(LPVOID ImageBase, LPSTR lpFilename, DWORD nSize) {
    return CallPsApi<DWORD>(PAddrGetDeviceDriverFileNameA, ImageBase, lpFilename, nSize);
}

DWORD GetDeviceDriverFileNameW(LPVOID ImageBase, LPWSTR lpFilename, DWORD nSize) {
    return CallPsApi<DWORD>(PAddrGetDeviceDriverFileNameW, ImageBase, lpFilename, nSize);
}

DWORD GetMappedFileNameA(HANDLE hProcess, LPVOID lpv, LPSTR lpFilename, DWORD nSize) {
    return CallPsApi<DWORD>(PAddrGetMappedFileNameA, hProcess, lpv, lpFilename, nSize);
}

DWORD GetMappedFileNameW(HANDLE hProcess, LPVOID lpv, LPWSTR lpFilename, DWORD nSize) {
    return CallPsApi<DWORD>(PAddrGetMappedFileNameW, hProcess, lpv, lpFilename, nSize);
}

DWORD GetModuleBaseNameA(HANDLE hProcess, HMODULE hModule, LPSTR lpBaseName, DWORD nSize) {
    return CallPsApi<DWORD>(PAddrGetModuleBaseNameA, hProcess, hModule, lpBaseName, nSize);
}

DWORD GetModuleBaseNameW(HANDLE hProcess, HMODULE hModule, LPWSTR lpBaseName, DWORD nSize) {
    return CallPsApi<DWORD>(PAddrGetModuleBaseNameW, hProcess, hModule, lpBaseName, nSize);
}

DWORD GetModuleFileNameExA(HANDLE hProcess, HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
    return CallPsApi<DWORD>(PAddrGetModuleFileNameExA, hProcess, hModule, lpFilename, nSize);
}

DWORD GetModuleFileNameExW(HANDLE hProcess, HMODULE hModule, LPWSTR lpFilename, DWORD nSize) {
    return CallPsApi<DWORD>(PAddrGetModuleFileNameExW, hProcess, hModule, lpFilename, nSize);
}

BOOL GetModuleInformation(HANDLE hProcess, HMODULE hModule, _MODULEINFO* lpmodinfo, DWORD cb) {
    return CallPsApi<BOOL>(PAddrGetModuleInformation, hProcess, hModule, lpmodinfo, cb);
}

BOOL GetPerformanceInfo(_PERFORMANCE_INFORMATION* pPerformanceInformation, DWORD cb) {
    return CallPsApi<BOOL>(PAddrGetPerformanceInfo, pPerformanceInformation, cb);
}

DWORD GetProcessImageFileNameA(HANDLE hProcess, LPSTR lpImageFileName, DWORD nSize) {
    return CallPsApi<DWORD>(PAddrGetProcessImageFileNameA, hProcess, lpImageFileName, nSize);
}

DWORD GetProcessImageFileNameW(HANDLE hProcess, LPWSTR lpImageFileName, DWORD nSize) {
    return CallPsApi<DWORD>(PAddrGetProcessImageFileNameW, hProcess, lpImageFileName, nSize);
}

BOOL GetProcessMemoryInfo(HANDLE Process, _PROCESS_MEMORY_COUNTERS* ppsmemCounters, DWORD cb) {
    return CallPsApi<BOOL>(PAddrGetProcessMemoryInfo, Process, ppsmemCounters, cb);
}

BOOL GetWsChanges(HANDLE hProcess, _PSAPI_WS_WATCH_INFORMATION* lpWatchInfo, DWORD cb) {
    return CallPsApi<BOOL>(PAddrGetWsChanges, hProcess, lpWatchInfo, cb);
}

BOOL GetWsChangesEx(HANDLE hProcess, _PSAPI_WS_WATCH_INFORMATION_EX* lpWatchInfoEx,
                    DWORD& cb) {
    return CallPsApi<BOOL>(PAddrGetWsChangesEx, hProcess, lpWatchInfoEx, &cb);
}

BOOL InitializeProcessForWsWatch(HANDLE hProcess) {
    return CallPsApi<BOOL>(PAddrInitializeProcessForWsWatch, hProcess);
}

BOOL QueryWorkingSet(HANDLE hProcess, PVOID pv, DWORD cb) {
    return CallPsApi<BOOL>(PAddrQueryWorkingSet, hProcess, pv, cb);
}

BOOL QueryWorkingSetEx(HANDLE hProcess, PVOID pv, DWORD cb) {
    return CallPsApi<BOOL>(PAddrQueryWorkingSetEx, hProcess, pv, cb);
}

}  // namespace ruk
