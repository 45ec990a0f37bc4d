// RUKComponentInfo: the system figures of the "About Windows" page that are not the
// operating system's own: component library versions and the memory figures.
#pragma once

#include "RUKVersionInfo.h"

#include <windows.h>

#include <string>

namespace ruk {

// "6.0, Build 2900"; with a quick-fix number "6.0, Build 2900  SP 5".
std::string FormatComponentVersion(DWORD major, DWORD minor, DWORD build, WORD qfe = 0);

// The version of a library as its DllGetVersion answers, in the long form where the system
// supports it. Returns S_OK, or the failure's code with the text left empty.
HRESULT GetComponentVersionText(const std::string& fileName, std::string& text,
                                bool longForm = SupportsDllVersionInfo2());

struct TMemoryFigures {
    std::string TotalPhysical;      // FormatFileSizeStr with the byte count
    std::string AvailablePhysical;
    DWORD MemoryLoad = 0;           // percent
};

TMemoryFigures MemoryFigures(const MEMORYSTATUSEX& status);
TMemoryFigures MemoryFigures(const MEMORYSTATUS& status);
// From GlobalMemoryStatusEx where the kernel has it, else from GlobalMemoryStatus.
TMemoryFigures GetMemoryFigures();

}  // namespace ruk
