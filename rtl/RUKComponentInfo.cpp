#include "RUKComponentInfo.h"

#include "RUKDynKernel.h"
#include "RUKFileSizes.h"
#include "SysUtils.h"

namespace ruk {

std::string FormatComponentVersion(DWORD major, DWORD minor, DWORD build, WORD qfe) {
    if (qfe == 0) return Format("%u.%u%s %u", unsigned(major), unsigned(minor), ", Build", unsigned(build));
    return Format("%u.%u%s %u %s %u", unsigned(major), unsigned(minor), ", Build", unsigned(build), " SP",
                  unsigned(qfe));
}

HRESULT GetComponentVersionText(const std::string& fileName, std::string& text, bool longForm) {
    text.clear();
    if (longForm) {
        DLLVERSIONINFO2 info;
        const HRESULT result = GetModuleDllVersion2(fileName, info);
        if (result == S_OK) {
            text = FormatComponentVersion(info.info1.dwMajorVersion, info.info1.dwMinorVersion,
                                          info.info1.dwBuildNumber, GetDllVerQfe(info.ullVersion));
            return S_OK;
        }
        // Some libraries know only the short structure and call the long one an invalid
        // argument; they still answer the short question.
        if (result != E_INVALIDARG) return result;
    }
    DLLVERSIONINFO info;
    const HRESULT result = GetModuleDllVersion(fileName, info);
    if (result == S_OK) text = FormatComponentVersion(info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber);
    return result;
}

TMemoryFigures MemoryFigures(const MEMORYSTATUSEX& status) {
    return {FormatFileSizeStr(static_cast<Int64>(status.ullTotalPhys), true),
            FormatFileSizeStr(static_cast<Int64>(status.ullAvailPhys), true), status.dwMemoryLoad};
}

// The 32-bit counts are unsigned: a large-address-aware process sees up to 4 GB here, which
// as a signed value would read as a negative size.
TMemoryFigures MemoryFigures(const MEMORYSTATUS& status) {
    return {FormatFileSizeStr(static_cast<Int64>(status.dwTotalPhys), true),
            FormatFileSizeStr(static_cast<Int64>(status.dwAvailPhys), true), status.dwMemoryLoad};
}

TMemoryFigures GetMemoryFigures() {
    MEMORYSTATUSEX statusEx;
    ZeroMemory(&statusEx, sizeof statusEx);
    if (ruk::GlobalMemoryStatusEx(&statusEx)) return MemoryFigures(statusEx);
    MEMORYSTATUS status;
    ZeroMemory(&status, sizeof status);
    status.dwLength = sizeof status;
    ::GlobalMemoryStatus(&status);
    return MemoryFigures(status);
}

}  // namespace ruk
