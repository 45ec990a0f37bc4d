// RUKVersionInfoPages: the lines of the version dialog's text pages, built from plain facts.
//
// The dialog gathers the facts (version resources, Windows identification, component versions,
// memory figures) and hands them to these builders; what a page shows is decided here, line by
// line, so it can be checked without a window. Labels come from the library's string table.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace ruk {

// String ids of the dialog's texts (language 1033 of the library's string table).
enum : UINT {
    sidAboutCaption = 800,
    sidAboutSheet = 810,
    sidVersionDetailsSheet = 811,
    sidAboutMakerSheet = 812,
    sidAboutWindowsSheet = 813,
    sidSelectAll = 820,
    sidClearSelection = 821,
    sidCopy = 822,
    sidPrint = 823,
    sidPageUp = 830,
    sidScrollUp = 831,
    sidScrollDown = 832,
    sidPageDown = 833,
    sidVersionDetails = 840,
    sidProductVersion = 841,
    sidManufacturer = 842,
    sidCopyright = 843,
    sidLegalTrademarks = 844,
    sidMainExecutableModule = 845,
    sidOriginalFilename = 846,
    sidFileVersion = 847,
    sidManufacturerInformation = 860,
    sidAdditionalProductInfo = 861,
    sidContactReserved = 862,
    sidContactAddress = 863,
    sidPostalAddress = 864,
    sidOperatingSystemInformation = 865,
    sidWindowsVersion = 866,
    sidBuild = 867,
    sidBasedOnNT = 868,
    sidBasedOn9x = 869,
    sidOSCopyright = 870,
    sidOSVendorURL = 871,
    sidKernelVersion = 872,
    sidShellVersion = 873,
    sidIExploreVersion = 874,
    sidComCtlVersion = 875,
    sidShlWApiVersion = 876,
    sidShdocVwVersion = 877,
    sidUserAccount = 880,
    sidOnComputer = 881,
    sidNoNameAssigned = 882,
    sidSearchPath = 883,
    sidDateTime = 884,
    sidPhysicalMemory = 885,
    sidAvailablePhysicalMemory = 886,
    sidMemoryInUse = 887,
    sidCopyInfo = 890,
    sidSaveInfoAs = 891,
    sidOk = 892,
};

struct TInfoLine {
    std::string Text;
    bool Bold = false;
    bool operator==(const TInfoLine&) const = default;
};
using TInfoLines = std::vector<TInfoLine>;

// The maker: one line each on the maker page, and the copyright line of the first page.
extern const char kMakerWebAddress[];
extern const char kMakerMailAddress[];
extern const char kMakerCompanyName[];
extern const char kMakerStreet[];
extern const char kMakerTown[];
extern const char kMakerCountry[];
extern const char kProductCopyright[];

struct TVersionDetailsFacts {
    std::string ProductName, ProductVersion, FileDescription, CompanyName, LegalCopyright, LegalTrademarks;
    std::string MainModuleName;  // the host program's file name without its path
    std::string OriginalFilename, FileVersion;
};
TInfoLines VersionDetailsLines(const TVersionDetailsFacts& facts);

TInfoLines ManufacturerInfoLines();

enum class TPlatformFamily { NT, Win9x, Other };
struct TWindowsFacts {
    std::string ProductName, Edition, VersionNumberText, BuildNumberText, ServicePackText;
    TPlatformFamily Platform = TPlatformFamily::NT;
};
TInfoLines WindowsInfoLines(const TWindowsFacts& facts);

// The lines that follow the Windows page's own: component versions, account, path, date and
// memory. An absent component version (it could not be read) has no line.
struct TSystemFacts {
    std::string KernelVersion;
    std::optional<std::string> ShellVersion;
    std::string IExploreVersion;
    std::optional<std::string> ComCtlVersion, ShlWApiVersion, ShdocVwVersion;
    std::string UserName, ComputerName;
    DWORD NamesLastError = 0;  // the Windows identification's last error after the name queries
    std::string SearchPath;
    std::string DateTimeText;
    std::string TotalPhysical, AvailablePhysical;
    DWORD MemoryLoad = 0;
};
TInfoLines SystemInfoLines(const TSystemFacts& facts);

// A user or computer name as the Windows page shows it.
std::string AccountNameText(const std::string& name, DWORD lastError);

// One page's lines (as read from its rich edit) appended to the comprehensive text: the first
// line bold unless empty, the others plain, each with its first carriage return removed, then
// two empty lines. A page without lines adds nothing.
void AppendComprehensivePage(const std::vector<std::string>& pageLines, TInfoLines& out);

}  // namespace ruk
