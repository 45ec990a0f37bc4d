#include "RUKVersionInfoPages.h"

#include "RUKRtlModule.h"

namespace ruk {

// Texts in the ANSI code page (Windows-1252): 0xA9 is the copyright sign.
const char kMakerWebAddress[] = "https://www.ruk.example/";
const char kMakerMailAddress[] = "lexmill@ruk.example";
const char kMakerCompanyName[] = "RUK Software Ltd.";
const char kMakerStreet[] = "12 Mill Lane";
const char kMakerTown[] = "AB1 2CD Millbrook";
const char kMakerCountry[] = "United Kingdom";
const char kProductCopyright[] = "Copyright \xA9 2026 RUK Software Ltd. All rights reserved.";

TInfoLines VersionDetailsLines(const TVersionDetailsFacts& f) {
    return {
        {f.ProductName + RtlString(sidVersionDetails), true},
        {},
        {RtlString(sidProductVersion) + f.ProductVersion},
        {f.FileDescription},
        {RtlString(sidManufacturer) + f.CompanyName},
        {RtlString(sidCopyright) + f.LegalCopyright},
        {RtlString(sidLegalTrademarks) + f.LegalTrademarks},
        {},
        {RtlString(sidMainExecutableModule) + f.MainModuleName},
        {RtlString(sidOriginalFilename) + f.OriginalFilename},
        {RtlString(sidFileVersion) + f.FileVersion},
    };
}

TInfoLines ManufacturerInfoLines() {
    std::string contact = RtlString(sidContactReserved);
    if (contact.empty()) contact = std::string("mailto:") + kMakerMailAddress;
    return {
        {RtlString(sidManufacturerInformation), true},
        {},
        {RtlString(sidAdditionalProductInfo) + kMakerWebAddress},
        {},
        {RtlString(sidContactAddress) + contact},
        {},
        {RtlString(sidPostalAddress)},
        {kMakerCompanyName},
        {kMakerStreet},
        {kMakerTown},
        {kMakerCountry},
    };
}

TInfoLines WindowsInfoLines(const TWindowsFacts& f) {
    TInfoLines lines = {
        {RtlString(sidOperatingSystemInformation), true},
        {},
        {f.ProductName},
        {f.Edition},
        {RtlString(sidWindowsVersion) + f.VersionNumberText + RtlString(sidBuild) + f.BuildNumberText},
        {f.ServicePackText},
    };
    // A platform of neither family has no line of its own here.
    if (f.Platform == TPlatformFamily::NT) lines.push_back({RtlString(sidBasedOnNT)});
    if (f.Platform == TPlatformFamily::Win9x) lines.push_back({RtlString(sidBasedOn9x)});
    lines.push_back({RtlString(sidOSCopyright)});
    lines.push_back({RtlString(sidOSVendorURL)});
    lines.push_back({});
    return lines;
}

std::string AccountNameText(const std::string& name, DWORD lastError) {
    if (!name.empty()) return name;
    return lastError != 0 ? "Could not be determined" : RtlString(sidNoNameAssigned);
}

TInfoLines SystemInfoLines(const TSystemFacts& f) {
    TInfoLines lines;
    auto add = [&](UINT label, const std::string& value) { lines.push_back({RtlString(label) + value}); };
    auto addComponent = [&](UINT label, const std::optional<std::string>& value) {
        if (value) add(label, *value);
    };
    add(sidKernelVersion, f.KernelVersion);
    addComponent(sidShellVersion, f.ShellVersion);
    add(sidIExploreVersion, f.IExploreVersion);
    addComponent(sidComCtlVersion, f.ComCtlVersion);
    addComponent(sidShlWApiVersion, f.ShlWApiVersion);
    addComponent(sidShdocVwVersion, f.ShdocVwVersion);
    lines.push_back({});
    add(sidUserAccount, AccountNameText(f.UserName, f.NamesLastError));
    add(sidOnComputer, AccountNameText(f.ComputerName, f.NamesLastError));
    lines.push_back({});
    add(sidSearchPath, f.SearchPath);
    lines.push_back({});
    add(sidDateTime, f.DateTimeText);
    add(sidPhysicalMemory, f.TotalPhysical);
    add(sidAvailablePhysicalMemory, f.AvailablePhysical);
    add(sidMemoryInUse, std::to_string(f.MemoryLoad) + "%");
    return lines;
}

void AppendComprehensivePage(const std::vector<std::string>& pageLines, TInfoLines& out) {
    if (pageLines.empty()) return;
    auto withoutFirstCR = [](std::string line) {
        const auto cr = line.find('\r');
        if (cr != std::string::npos) line.erase(cr, 1);
        return line;
    };
    const std::string first = withoutFirstCR(pageLines[0]);
    if (!first.empty()) out.push_back({first, true});
    for (size_t i = 1; i < pageLines.size(); ++i) out.push_back({withoutFirstCR(pageLines[i])});
    out.push_back({});
    out.push_back({});
}

}  // namespace ruk
