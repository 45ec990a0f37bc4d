#include "RUKDynKernel.h"

#include "RUKValidHandle.h"

#include <utility>

namespace ruk {

namespace {

template <class F>
F Resolve(HMODULE kernel, const char* name) {
    if (!IsValidHandle(kernel)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(kernel, name)));
}

// Runs call(entry) with the kernel library loaded for the call only; false when the entry is
// missing (last error 120, or the load's own error).
template <class F, class Call>
bool WithKernelEntry(F (*resolve)(HMODULE), Call&& call) {
    HMODULE kernel = LoadLibraryA("Kernel32.dll");
    F entry = kernel ? resolve(kernel) : nullptr;
    if (entry) std::forward<Call>(call)(entry);
    if (kernel) FreeLibrary(kernel);
    if (!entry && kernel) SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return entry != nullptr;
}

}  // namespace

TGetProductInfo PAddrGetProductInfo(HMODULE kernel) { return Resolve<TGetProductInfo>(kernel, "GetProductInfo"); }

TGetNativeSystemInfo PAddrGetNativeSystemInfo(HMODULE kernel) {
    return Resolve<TGetNativeSystemInfo>(kernel, "GetNativeSystemInfo");
}

TGlobalMemoryStatusEx PAddrGlobalMemoryStatusEx(HMODULE kernel) {
    return Resolve<TGlobalMemoryStatusEx>(kernel, "GlobalMemoryStatusEx");
}

BOOL GetProductInfo(DWORD major, DWORD minor, DWORD spMajor, DWORD spMinor, PDWORD productType) {
    BOOL result = FALSE;
    WithKernelEntry(&PAddrGetProductInfo,
                    [&](TGetProductInfo f) { result = f(major, minor, spMajor, spMinor, productType); });
    return result;
}

void GetNativeSystemInfo(LPSYSTEM_INFO info) {
    WithKernelEntry(&PAddrGetNativeSystemInfo, [&](TGetNativeSystemInfo f) { f(info); });
}

BOOL GlobalMemoryStatusEx(LPMEMORYSTATUSEX status) {
    BOOL result = FALSE;
    status->dwLength = sizeof(MEMORYSTATUSEX);
    WithKernelEntry(&PAddrGlobalMemoryStatusEx, [&](TGlobalMemoryStatusEx f) { result = f(status); });
    return result;
}

}  // namespace ruk
