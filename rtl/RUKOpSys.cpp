#include "RUKOpSys.h"

#include "Handles.h"
#include "RUKDynKernel.h"
#include "RUKRtlModule.h"
#include "SysUtils.h"

#include <cctype>
#include <vector>

namespace ruk {

namespace {

constexpr DWORD kFunctionFailed = 1627;  // a failure without an operating-system code

constexpr DWORD kPlatform9x = VER_PLATFORM_WIN32_WINDOWS;
constexpr DWORD kPlatformNT = VER_PLATFORM_WIN32_NT;

constexpr WORD kSuiteEnterprise = 0x0002, kSuiteDatacenter = 0x0080, kSuitePersonal = 0x0200,
               kSuiteBlade = 0x0400, kSuiteComputeServer = 0x4000, kSuiteHomeServer = 0x8000;
constexpr BYTE kWorkstation = 1;
constexpr WORD kArchX64 = 9, kArchItanium = 6;

bool IsServerType(BYTE type) { return type == 2 || type == 3; }

std::string S(UINT id) { return RtlString(id); }

class TSystemOSFacts final : public TOSFacts {
public:
    TProcessVersion Process() const override { return ProcessVersion(); }
    DWORD VersionEx(OSVERSIONINFOEXA& info) const override {
        ZeroMemory(&info, sizeof info);
        info.dwOSVersionInfoSize = sizeof info;
        SetLastError(0);
        if (GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return 0;
        const DWORD code = GetLastError();
        ZeroMemory(&info, sizeof info);
        info.dwOSVersionInfoSize = sizeof info;
        return code != 0 ? code : static_cast<DWORD>(-1);
    }
    WORD NativeArchitecture() const override {
        SYSTEM_INFO info;
        ZeroMemory(&info, sizeof info);
        ruk::GetNativeSystemInfo(&info);
        return info.wProcessorArchitecture;
    }
    DWORD ProductInfo(DWORD major, DWORD minor, DWORD spMajor, DWORD spMinor) const override {
        DWORD type = 0;
        ruk::GetProductInfo(major, minor, spMajor, spMinor, &type);
        return type;
    }
    int ServerR2Metric() const override { return GetSystemMetrics(SM_SERVERR2); }
    std::string RegistryProductType(DWORD& lastError) const override {
        TRegKey key;
        // Reading is all that is needed, and a standard user may not open the key for more.
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\ProductOptions", 0,
                          KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS) {
            lastError = kFunctionFailed;
            return std::string();
        }
        char value[256] = {};
        DWORD size = sizeof value - 1;
        DWORD type = 0;
        std::string result;
        if (RegQueryValueExA(key.Get(), "ProductType", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
                ERROR_SUCCESS &&
            (type == REG_SZ || type == REG_EXPAND_SZ))
            result = value;
        return result;
    }
};

// The product-information types of Windows 6 and later that have an edition name of their own.
struct TProductEdition {
    DWORD Type;
    UINT Id;
};
constexpr TProductEdition kProductEditions[] = {
    {1, 565},  {2, 561},  {3, 562},  {4, 564},  {5, 561},  {6, 563},  {7, 578},  {8, 580},  {9, 572},  {10, 586},
    {11, 560}, {12, 581}, {13, 579}, {14, 587}, {15, 588}, {16, 563}, {17, 590}, {18, 589}, {25, 573}, {29, 591},
};

}  // namespace

const TProcessVersion& ProcessVersion() {
    static const TProcessVersion version = [] {
        OSVERSIONINFOA info;
        ZeroMemory(&info, sizeof info);
        info.dwOSVersionInfoSize = sizeof info;
        TProcessVersion v;
        if (GetVersionExA(&info)) {
            v.PlatformId = info.dwPlatformId;
            v.MajorVersion = info.dwMajorVersion;
            v.MinorVersion = info.dwMinorVersion;
            v.BuildNumber = info.dwPlatformId == kPlatform9x ? (info.dwBuildNumber & 0xFFFF) : info.dwBuildNumber;
            v.ServicePack = info.szCSDVersion;
        }
        return v;
    }();
    return version;
}

const TOSFacts& SystemOSFacts() {
    static const TSystemOSFacts facts;
    return facts;
}

TOperatingSystem::TOperatingSystem(const TOSFacts& facts) : FFacts(facts) {}

DWORD TOperatingSystem::GetMajorVersion() const { return FFacts.Process().MajorVersion; }
DWORD TOperatingSystem::GetMinorVersion() const { return FFacts.Process().MinorVersion; }
DWORD TOperatingSystem::GetBuildNumber() const { return FFacts.Process().BuildNumber; }
DWORD TOperatingSystem::GetPlatformId() const { return FFacts.Process().PlatformId; }

std::string TOperatingSystem::FormatVersionNumber(DWORD major, DWORD minor) {
    return Format("%u.%u", static_cast<unsigned>(major), static_cast<unsigned>(minor));
}

std::string TOperatingSystem::GetVersionNumberText() const {
    const TProcessVersion p = FFacts.Process();
    return FormatVersionNumber(p.MajorVersion, p.MinorVersion);
}

std::string TOperatingSystem::GetBuildNumberText() const {
    return Format("%u", static_cast<unsigned>(FFacts.Process().BuildNumber));
}

DWORD TOperatingSystem::GetOSVersionInfoEx(OSVERSIONINFOEXA& info) const { return FFacts.VersionEx(info); }

std::string TOperatingSystem::GetWindowsProductName() {
    const TProcessVersion p = FFacts.Process();
    if (p.PlatformId == kPlatform9x) {
        if (p.MajorVersion != 4) return S(529);
        switch (p.MinorVersion) {
            case 0: return S(512);
            case 10: return S(513);
            case 90: return S(516);
            default: return std::string();
        }
    }
    if (p.PlatformId != kPlatformNT) return std::string();
    OSVERSIONINFOEXA ex;
    GetOSVersionInfoEx(ex);
    const DWORD minor = ex.dwMinorVersion;
    const BYTE type = ex.wProductType;
    switch (p.MajorVersion) {
        case 4: return S(514) + " " + FormatVersionNumber(4, 0);
        case 5:
            if (minor == 0) return S(515);
            if (minor == 1) return type == kWorkstation ? S(517) : IsServerType(type) ? S(518) : std::string();
            if (minor == 2) {
                if (!IsServerType(type)) return S(517);
                return FFacts.ServerR2Metric() > 0 ? S(519) : S(518);
            }
            return std::string();
        case 6: {
            static constexpr UINT workstation[] = {520, 522, 524, 526};
            static constexpr UINT server[] = {521, 521, 523, 525};
            if (minor > 3) return std::string();
            if (type == kWorkstation) return S(workstation[minor]);
            if (IsServerType(type)) return S(server[minor]);
            return std::string();
        }
        default:
            if (p.MajorVersion >= 10 && minor == 0) return type == kWorkstation ? S(528) : S(527);
            return std::string();
    }
}

std::string TOperatingSystem::GetWindowsEdition() {
    const TProcessVersion p = FFacts.Process();
    if (p.PlatformId == kPlatform9x) {
        if (p.MajorVersion != 4) return std::string();
        const std::string sp = Trim(p.ServicePack);
        const char letter = sp.empty() ? '\0' : static_cast<char>(std::toupper(static_cast<unsigned char>(sp[0])));
        switch (p.MinorVersion) {
            case 0: return letter == 'B' || letter == 'C' ? S(530) + " (" + S(531) + ")" : std::string();
            case 10:
                return letter == 'A' || p.BuildNumber == 2222 ? S(532) + " (" + S(533) + ")" : std::string();
            case 90: return Format("(%s)", S(535).c_str());
            default: return std::string();
        }
    }
    if (p.PlatformId != kPlatformNT || p.MajorVersion < 4) return std::string();
    if (p.MajorVersion == 4) return EditionNT4();
    OSVERSIONINFOEXA ex;
    GetOSVersionInfoEx(ex);
    if (p.MajorVersion >= 6) return EditionFromProductInfo(ex);
    const WORD suite = ex.wSuiteMask;
    const BYTE type = ex.wProductType;
    switch (p.MinorVersion) {
        case 0:
            if (type == kWorkstation) return S((suite & kSuitePersonal) ? 537 : 538);
            if (IsServerType(type))
                return S((suite & kSuiteDatacenter) ? 546 : (suite & kSuiteEnterprise) ? 545 : 539);
            return std::string();
        case 1:
            if (type == kWorkstation) return S((suite & kSuitePersonal) ? 543 : 538);
            if (IsServerType(type))
                return S((suite & kSuiteDatacenter)   ? 546
                         : (suite & kSuiteEnterprise) ? 545
                         : (suite & kSuiteHomeServer) ? 550
                                                      : 539);
            return std::string();
        case 2: return EditionNT52(ex);
        default: return std::string();
    }
}

std::string TOperatingSystem::EditionNT4() {
    const std::string registryType = Trim(GetNTProductTypeFromRegistry());
    OSVERSIONINFOEXA ex;
    if (GetOSVersionInfoEx(ex) == 0) return std::string();
    if (SameText(registryType, "LANMANNT")) return S(539);
    if (SameText(registryType, "SERVERNT")) return S(545);
    return S(536);
}

// A suite's edition name takes the place of the standard one after "Server": "Server
// Enterprise x64 Edition", "Server Datacenter Edition for Itanium-based Systems".
std::string TOperatingSystem::EditionNT52(const OSVERSIONINFOEXA& ex) const {
    const WORD arch = FFacts.NativeArchitecture();
    const WORD suite = ex.wSuiteMask;
    const BYTE type = ex.wProductType;
    if (type == kWorkstation) return arch == kArchX64 ? S(544) : std::string();
    if (!IsServerType(type)) return std::string();
    const std::string server = S(539);
    auto withEdition = [&](UINT id) { return server + " " + S(id); };
    if (arch == kArchX64) {
        if (suite & kSuiteDatacenter) return withEdition(556);
        if (suite & kSuiteEnterprise) return withEdition(557);
        return "Standard x64 Edition";
    }
    if (arch == kArchItanium) {
        if (suite & kSuiteDatacenter) return withEdition(558);
        if (suite & kSuiteEnterprise) return withEdition(559);
        return server;
    }
    if (suite & kSuiteHomeServer) return S(550);
    if (suite & kSuiteComputeServer) return withEdition(552);
    if (suite & kSuiteDatacenter) return withEdition(553);
    if (suite & kSuiteEnterprise) return withEdition(554);
    if (suite & kSuiteBlade) return withEdition(555);
    return withEdition(551);
}

std::string TOperatingSystem::EditionFromProductInfo(const OSVERSIONINFOEXA& ex) const {
    const DWORD type =
        FFacts.ProductInfo(ex.dwMajorVersion, ex.dwMinorVersion, ex.wServicePackMajor, ex.wServicePackMinor);
    for (const TProductEdition& e : kProductEditions)
        if (e.Type == type) return S(e.Id);
    if (type == 0xABCDABCD) return "Edition could not be determined (license not registered)";
    return Format("Edition could not be determined 0x%.8X", static_cast<unsigned>(type));
}

std::string TOperatingSystem::GetServicePackText() {
    OSVERSIONINFOEXA ex;
    if (GetOSVersionInfoEx(ex) != 0) return FFacts.Process().ServicePack;
    return std::string(ex.szCSDVersion, strnlen(ex.szCSDVersion, sizeof ex.szCSDVersion));
}

std::string TOperatingSystem::GetNTProductTypeFromRegistry() {
    DWORD code = 0;
    std::string type = FFacts.RegistryProductType(code);
    if (code != 0) FLastError = code;
    return type;
}

std::string TOperatingSystem::GetSystemDirectoryPath() {
    char buffer[MAX_PATH + 1] = {};
    if (GetSystemDirectoryA(buffer, MAX_PATH + 1) == 0) return std::string();
    return buffer;
}

std::string TOperatingSystem::GetSearchPath() { return GetEnvironmentVariableValue("Path"); }

namespace {

// A name query into a zeroed 256-byte buffer; "" with the code in lastError on failure.
template <class Query>
std::string NameText(Query query, DWORD& lastError) {
    char buffer[256] = {};
    DWORD size = sizeof buffer;
    SetLastError(0);
    if (!query(buffer, &size)) {
        const DWORD code = GetLastError();
        lastError = code != 0 ? code : kFunctionFailed;
        return std::string();
    }
    return std::string(buffer, strnlen(buffer, sizeof buffer));
}

}  // namespace

std::string TOperatingSystem::GetComputerNameText() { return NameText(GetComputerNameA, FLastError); }
std::string TOperatingSystem::GetUserNameText() { return NameText(GetUserNameA, FLastError); }

std::string TOperatingSystem::GetEnvironmentVariableValue(const std::string& name) {
    if (name.empty()) {
        FLastError = ERROR_INVALID_PARAMETER;
        return std::string();
    }
    std::string text;
    // A value that does not fit leaves the buffer empty; the answer then is the size it needs.
    auto read = [&](DWORD size) -> DWORD {
        std::vector<char> buffer(size, '\0');
        const DWORD answer = GetEnvironmentVariableA(name.c_str(), buffer.data(), size);
        if (answer != 0)
            text.assign(buffer.data(), strnlen(buffer.data(), size));
        else
            FLastError = GetLastError();
        return answer;
    };
    SetLastError(0);
    try {
        const DWORD first = read(4096);
        if (text.empty()) {
            FLastError = 0;
            read(first != 0 ? first : 4096);
        }
    } catch (...) {
        const DWORD code = GetLastError();
        FLastError = code != 0 ? code : ERROR_OUTOFMEMORY;
    }
    return text;
}

}  // namespace ruk
