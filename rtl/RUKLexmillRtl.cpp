// The library's two exports. Both use the platform's standard calling convention; the
// definition file exports them under their plain names.
#include "RUKShowVersionInfoDialog.h"
#include "RUKVersionInfo.h"

#include <windows.h>
#include <shlwapi.h>

namespace {

constexpr DWORD kMajor = 1, kMinor = 0, kBuild = 42, kQfe = 13;

bool Writable(void* p, UINT_PTR bytes) { return !IsBadWritePtr(p, bytes); }

}  // namespace

extern "C" {

// owner: the dialog's owner among the library's components (0: none; the program passes 0).
int __stdcall ShowVersionInfoDialog(int owner) {
    return static_cast<int>(
        ruk::ShowProductVersionInfoDialog(reinterpret_cast<ruk::TComponent*>(static_cast<INT_PTR>(owner))));
}

HRESULT __stdcall DllGetVersion(DLLVERSIONINFO* info) {
    if (info == nullptr || !Writable(info, sizeof info->cbSize)) return E_INVALIDARG;
    const DWORD size = info->cbSize;
    if (size < sizeof(DLLVERSIONINFO)) {
        info->cbSize = sizeof(DLLVERSIONINFO2);
        return HRESULT_FROM_WIN32(ERROR_MORE_DATA);
    }
    if (!Writable(info, sizeof(DLLVERSIONINFO))) return E_INVALIDARG;
    info->dwMajorVersion = kMajor;
    info->dwMinorVersion = kMinor;
    info->dwBuildNumber = kBuild;
    info->dwPlatformID = DLLVER_PLATFORM_NT;
    if (size != sizeof(DLLVERSIONINFO2)) return S_OK;
    // A caller that asks for the long form but cannot take it keeps the short answer.
    auto* info2 = reinterpret_cast<DLLVERSIONINFO2*>(info);
    if (!Writable(info2, sizeof(DLLVERSIONINFO2))) return E_INVALIDARG;
    info2->dwFlags = 0;
    info2->ullVersion = ruk::MakeDllVerUll(kMajor, kMinor, kBuild, kQfe);
    return S_OK;
}

}  // extern "C"
