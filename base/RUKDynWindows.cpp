#include "RUKDynWindows.h"

#include "RUKDynBinding.h"

namespace ruk {

using dynbind::ResolveAs;

namespace {

constexpr char kKernelFileName[] = "Kernel32.dll";

HMODULE Kernel() { return GetModuleHandleA(kKernelFileName); }

template <class R, class Fn, class... Args>
R CallKernel(Fn (*resolver)(HMODULE), Args... args) {
    return dynbind::CallInModule<R>(Kernel(), resolver, R(0), args...);
}

}  // namespace

// ---------------------------------------------------------------- resolvers

TQueryFullProcessImageNameA PAddrQueryFullProcessImageNameA(HMODULE Module) {
    return ResolveAs<TQueryFullProcessImageNameA>(Module, "QueryFullProcessImageNameA");
}
TQueryFullProcessImageNameW PAddrQueryFullProcessImageNameW(HMODULE Module) {
    return ResolveAs<TQueryFullProcessImageNameW>(Module, "QueryFullProcessImageNameW");
}
TEnumResourceTypesExA PAddrEnumResourceTypesExA(HMODULE Module) {
    return ResolveAs<TEnumResourceTypesExA>(Module, "EnumResourceTypesExA");
}
TEnumResourceTypesExW PAddrEnumResourceTypesExW(HMODULE Module) {
    return ResolveAs<TEnumResourceTypesExW>(Module, "EnumResourceTypesExW");
}
TIsWow64Process PAddrIsWow64Process(HMODULE Module) {
    return ResolveAs<TIsWow64Process>(Module, "IsWow64Process");
}
TWow64EnableWow64FsRedirection PAddrWow64EnableWow64FsRedirection(HMODULE Module) {
    return ResolveAs<TWow64EnableWow64FsRedirection>(Module, "Wow64EnableWow64FsRedirection");
}
TWow64DisableWow64FsRedirection PAddrWow64DisableWow64FsRedirection(HMODULE Module) {
    return ResolveAs<TWow64DisableWow64FsRedirection>(Module, "Wow64DisableWow64FsRedirection");
}
TWow64RevertWow64FsRedirection PAddrWow64RevertWow64FsRedirection(HMODULE Module) {
    return ResolveAs<TWow64RevertWow64FsRedirection>(Module, "Wow64RevertWow64FsRedirection");
}
TGetSystemWow64Directory PAddrGetSystemWow64Directory(HMODULE Module) {
    return ResolveAs<TGetSystemWow64Directory>(Module, "GetSystemWow64DirectoryA");
}

bool QueryFullProcessImageNameASupported() {
    return PAddrQueryFullProcessImageNameA(Kernel()) != nullptr;
}
bool QueryFullProcessImageNameWSupported() {
    return PAddrQueryFullProcessImageNameW(Kernel()) != nullptr;
}

// ---------------------------------------------------------------- wrappers

BOOL QueryFullProcessImageNameA(HANDLE hProcess, DWORD dwFlags, LPSTR lpExeName,
                                DWORD& lpdwSize) {
    if (!QueryFullProcessImageNameASupported()) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return FALSE;
    }
    return CallKernel<BOOL>(PAddrQueryFullProcessImageNameA, hProcess, dwFlags, lpExeName,
                            &lpdwSize);
}

BOOL QueryFullProcessImageNameW(HANDLE hProcess, DWORD dwFlags, LPWSTR lpExeName,
                                DWORD& lpdwSize) {
    if (!QueryFullProcessImageNameWSupported()) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return FALSE;
    }
    return CallKernel<BOOL>(PAddrQueryFullProcessImageNameW, hProcess, dwFlags, lpExeName,
                            &lpdwSize);
}

BOOL EnumResourceTypesExA(HMODULE hModule, ENUMRESTYPEPROCA lpEnumFunc, LONG_PTR lParam,
                          DWORD dwFlags, LANGID LangId) {
    return CallKernel<BOOL>(PAddrEnumResourceTypesExA, hModule, lpEnumFunc, lParam, dwFlags,
                            LangId);
}

BOOL EnumResourceTypesEx(HMODULE hModule, ENUMRESTYPEPROCA lpEnumFunc, LONG_PTR lParam,
                         DWORD dwFlags, LANGID LangId) {
    return ruk::EnumResourceTypesExA(hModule, lpEnumFunc, lParam, dwFlags, LangId);
}

BOOL IsWow64Process(HANDLE hProcess, BOOL& Wow64Process) {
    return CallKernel<BOOL>(PAddrIsWow64Process, hProcess, &Wow64Process);
}

BOOLEAN Wow64EnableWow64FsRedirection(BOOLEAN Wow64FsEnableRedirection) {
    return CallKernel<BOOLEAN>(PAddrWow64EnableWow64FsRedirection, Wow64FsEnableRedirection);
}

BOOL Wow64DisableWow64FsRedirection(PVOID& OldValue) {
    return CallKernel<BOOL>(PAddrWow64DisableWow64FsRedirection, &OldValue);
}

BOOL Wow64RevertWow64FsRedirection(PVOID OldValue) {
    return CallKernel<BOOL>(PAddrWow64RevertWow64FsRedirection, OldValue);
}

UINT GetSystemWow64Directory(LPSTR lpBuffer, UINT uSize) {
    // The kernel stays loaded whatever happens; the reference taken here is given back.
    return dynbind::CallLoaded<UINT>(kKernelFileName, PAddrGetSystemWow64Directory, UINT(0),
                                     lpBuffer, uSize);
}

}  // namespace ruk
