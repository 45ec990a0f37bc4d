// The product-name and edition rules, as tables of version records handed in through the
// facts source.
#include "RUKOpSys.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using ruk::TOperatingSystem;
using ruk::TProcessVersion;

constexpr DWORD k9x = 1, kNT = 2;

struct FakeFacts : ruk::TOSFacts {
    TProcessVersion Proc;
    bool ExFails = false;
    DWORD ExMinor = 0;
    BYTE ProductType = 0;
    WORD Suite = 0;
    std::string ExServicePack;
    WORD Arch = 0;
    DWORD ProductInfoType = 0;
    int R2 = 0;
    std::string Registry;
    mutable DWORD AskedMajor = 0, AskedMinor = 0;

    TProcessVersion Process() const override { return Proc; }
    DWORD VersionEx(OSVERSIONINFOEXA& info) const override {
        std::memset(&info, 0, sizeof info);
        info.dwOSVersionInfoSize = sizeof info;
        if (ExFails) return 87;
        info.dwPlatformId = Proc.PlatformId;
        info.dwMajorVersion = Proc.MajorVersion;
        info.dwMinorVersion = ExMinor;
        info.dwBuildNumber = Proc.BuildNumber;
        std::strncpy(info.szCSDVersion, ExServicePack.c_str(), sizeof info.szCSDVersion - 1);
        info.wSuiteMask = Suite;
        info.wProductType = ProductType;
        return 0;
    }
    WORD NativeArchitecture() const override { return Arch; }
    DWORD ProductInfo(DWORD major, DWORD minor, DWORD, DWORD) const override {
        AskedMajor = major;
        AskedMinor = minor;
        return ProductInfoType;
    }
    int ServerR2Metric() const override { return R2; }
    std::string RegistryProductType(DWORD&) const override { return Registry; }
};

FakeFacts NT(DWORD major, DWORD minor, BYTE type, WORD suite = 0) {
    FakeFacts f;
    f.Proc = {kNT, major, minor, 1000, ""};
    f.ExMinor = minor;
    f.ProductType = type;
    f.Suite = suite;
    return f;
}

FakeFacts Win9x(DWORD major, DWORD minor, DWORD build, const std::string& sp) {
    FakeFacts f;
    f.Proc = {k9x, major, minor, build, sp};
    return f;
}

struct NameCase {
    const char* what;
    FakeFacts facts;
    const char* name;
};

TEST(OperatingSystemTables, ProductNames) {
    FakeFacts r2 = NT(5, 2, 3);
    r2.R2 = 1;
    FakeFacts r2Workstation = NT(5, 2, 1);
    r2Workstation.R2 = 1;
    FakeFacts exFailed = NT(6, 1, 1);
    exFailed.ExFails = true;
    FakeFacts unknownPlatform = NT(6, 1, 1);
    unknownPlatform.Proc.PlatformId = 0;
    const NameCase cases[] = {
        {"95", Win9x(4, 0, 950, ""), "Windows® 95"},
        {"98", Win9x(4, 10, 1998, ""), "Windows® 98"},
        {"ME", Win9x(4, 90, 3000, ""), "Windows® ME"},
        {"9x 4.3", Win9x(4, 3, 0, ""), ""},
        {"9x 5", Win9x(5, 0, 0, ""), "unidentified Windows version"},
        {"NT 4", NT(4, 0, 1), "Windows® NT 4.0"},
        {"NT 4 server", NT(4, 0, 3), "Windows® NT 4.0"},
        {"2000", NT(5, 0, 1), "Windows® 2000"},
        {"2000 server", NT(5, 0, 3), "Windows® 2000"},
        {"XP", NT(5, 1, 1), "Windows® XP"},
        {"5.1 DC", NT(5, 1, 2), "Windows® 2003"},
        {"5.1 server", NT(5, 1, 3), "Windows® 2003"},
        {"5.1 type 0", NT(5, 1, 0), ""},
        {"2003", NT(5, 2, 3), "Windows® 2003"},
        {"2003 DC", NT(5, 2, 2), "Windows® 2003"},
        {"2003 R2", r2, "Windows® 2003 R2"},
        {"XP x64", NT(5, 2, 1), "Windows® XP"},
        {"XP x64 with R2 metric", r2Workstation, "Windows® XP"},
        {"5.3", NT(5, 3, 1), ""},
        {"Vista", NT(6, 0, 1), "Windows® Vista"},
        {"7", NT(6, 1, 1), "Windows® 7"},
        {"8", NT(6, 2, 1), "Windows® 8"},
        {"8.1", NT(6, 3, 1), "Windows® 8.1"},
        {"2008", NT(6, 0, 3), "Windows® 2008"},
        {"2008 R2", NT(6, 1, 3), "Windows® 2008"},
        {"2012", NT(6, 2, 2), "Windows® 2012"},
        {"2012 R2", NT(6, 3, 3), "Windows® 2012 R2"},
        {"6.4", NT(6, 4, 1), ""},
        {"6.1 type 0", NT(6, 1, 0), ""},
        {"6.1 record unreadable", exFailed, ""},
        {"10", NT(10, 0, 1), "Windows® 10"},
        {"2016", NT(10, 0, 3), "Windows® 2016"},
        {"10 type 0", NT(10, 0, 0), "Windows® 2016"},
        {"11 as 10", NT(11, 0, 1), "Windows® 10"},
        {"10.1", NT(10, 1, 1), ""},
        {"NT 3", NT(3, 51, 1), ""},
        {"NT 7", NT(7, 0, 1), ""},
        {"NT 8", NT(8, 0, 1), ""},
        {"NT 9", NT(9, 0, 1), ""},
        {"neither 9x nor NT", unknownPlatform, ""},
    };
    for (const NameCase& c : cases) {
        TOperatingSystem os(c.facts);
        EXPECT_EQ(os.GetWindowsProductName(), ruk::Utf8ToAnsi(c.name)) << c.what;
    }
}

TEST(OperatingSystemTables, EditionsBefore6) {
    FakeFacts nt4Failed = NT(4, 0, 0);
    nt4Failed.ExFails = true;
    FakeFacts nt4Lanman = nt4Failed;
    nt4Lanman.Registry = " lanmannt ";
    FakeFacts nt4ServerNT = nt4Failed;
    nt4ServerNT.Registry = "ServerNT";
    FakeFacts nt4Ok = NT(4, 0, 1);
    nt4Ok.Registry = "LanmanNT";
    auto arch = [](FakeFacts f, WORD a) {
        f.Arch = a;
        return f;
    };
    const NameCase cases[] = {
        {"95 OSR2 B", Win9x(4, 0, 1111, "B"), "OSR2 (Operating System Service Release 2)"},
        {"95 OSR2 C blanks", Win9x(4, 0, 1111, " C "), "OSR2 (Operating System Service Release 2)"},
        {"95 lower c", Win9x(4, 0, 1111, "c"), "OSR2 (Operating System Service Release 2)"},
        {"95 lower a", Win9x(4, 0, 1111, " a "), ""},
        {"95 empty", Win9x(4, 0, 950, ""), ""},
        {"98 SE by letter", Win9x(4, 10, 1998, " A "), "SE (Second Edition)"},
        {"98 SE by build", Win9x(4, 10, 2222, "  "), "SE (Second Edition)"},
        {"98 SE empty text", Win9x(4, 10, 2222, ""), "SE (Second Edition)"},
        {"98 first", Win9x(4, 10, 1998, ""), ""},
        {"ME", Win9x(4, 90, 3000, ""), "(Millenium Edition)"},
        {"9x 4.3", Win9x(4, 3, 0, "B"), ""},
        {"9x 5", Win9x(5, 0, 0, "B"), ""},
        {"NT 4 workstation", nt4Failed, "Workstation"},
        {"NT 4 LanmanNT any case", nt4Lanman, "Server"},
        {"NT 4 ServerNT", nt4ServerNT, "Advanced Server"},
        {"NT 4 with the extended record", nt4Ok, ""},
        {"NT 3", NT(3, 51, 1), ""},
        {"2000 Professional", NT(5, 0, 1), "Professional"},
        {"2000 personal suite", NT(5, 0, 1, 0x0200), "Personal"},
        {"2000 Server", NT(5, 0, 3), "Server"},
        {"2000 Datacenter", NT(5, 0, 3, 0x0082), "DataCenter Server"},
        {"2000 Advanced", NT(5, 0, 2, 0x0002), "Advanced Server"},
        {"2000 type 0", NT(5, 0, 0), ""},
        {"XP Professional", NT(5, 1, 1), "Professional"},
        {"XP Home", NT(5, 1, 1, 0x0200), "Home Edition"},
        {"5.1 server", NT(5, 1, 3), "Server"},
        {"5.1 datacenter", NT(5, 1, 3, 0x8082), "DataCenter Server"},
        {"5.1 enterprise", NT(5, 1, 3, 0x8002), "Advanced Server"},
        {"5.1 home server", NT(5, 1, 2, 0x8000), "Home Server"},
        {"5.1 type 0", NT(5, 1, 0), ""},
        {"XP x64", arch(NT(5, 2, 1), 9), "Professional x64 Edition"},
        {"5.2 workstation x86", NT(5, 2, 1), ""},
        {"5.2 x64 server", arch(NT(5, 2, 3), 9), "Standard x64 Edition"},
        {"5.2 x64 datacenter", arch(NT(5, 2, 3, 0x0082), 9), "Server Datacenter x64 Edition"},
        {"5.2 x64 enterprise", arch(NT(5, 2, 3, 0x0002), 9), "Server Enterprise x64 Edition"},
        {"5.2 Itanium", arch(NT(5, 2, 3), 6), "Server"},
        {"5.2 Itanium datacenter", arch(NT(5, 2, 3, 0x0080), 6), "Server Datacenter Edition for Itanium-based Systems"},
        {"5.2 Itanium enterprise", arch(NT(5, 2, 3, 0x0002), 6), "Server Enterprise Edition for Itanium-based Systems"},
        {"5.2 x86", NT(5, 2, 3), "Server Standard Edition"},
        {"5.2 home server first", NT(5, 2, 3, 0x8002), "Home Server"},
        {"5.2 compute cluster", NT(5, 2, 3, 0x4082), "Server Compute Cluster Edition"},
        {"5.2 datacenter", NT(5, 2, 2, 0x0482), "Server Datacenter Edition"},
        {"5.2 enterprise", NT(5, 2, 3, 0x0402), "Server Enterprise Edition"},
        {"5.2 web", NT(5, 2, 3, 0x0400), "Server Web Edition"},
        {"5.2 type 0", NT(5, 2, 0), ""},
        {"5.3", NT(5, 3, 1), ""},
    };
    for (const NameCase& c : cases) {
        TOperatingSystem os(c.facts);
        EXPECT_EQ(os.GetWindowsEdition(), c.name) << c.what;
    }
}

TEST(OperatingSystemTables, EditionsFromProductInfo) {
    const struct {
        DWORD type;
        const char* edition;
    } cases[] = {
        {1, "Ultimate Edition"},
        {2, "Home Basic Edition"},
        {3, "Home Premium Edition"},
        {4, "Enterprise Edition"},
        {5, "Home Basic Edition"},
        {6, "Business Edition"},
        {7, "Server Standard Edition (full installation)"},
        {8, "Server Datacenter Edition (full installation)"},
        {9, "Small Business Server"},
        {10, "Server Enterprise Edition (full installation)"},
        {11, "Starter Edition"},
        {12, "Server Datacenter Edition (core installation)"},
        {13, "Server Standard Edition (core installation)"},
        {14, "Server Enterprise Edition (core installation)"},
        {15, "Server Enterprise Edition for Itanium-based Systems"},
        {16, "Business Edition"},
        {17, "Web Server Edition (full installation)"},
        {18, "Cluster Server Edition"},
        {25, "Small Business Server Premium Edition"},
        {29, "Web Server Edition (core installation)"},
        {0xABCDABCD, "Edition could not be determined (license not registered)"},
        {0, "Edition could not be determined 0x00000000"},
        {0x30, "Edition could not be determined 0x00000030"},
        {19, "Edition could not be determined 0x00000013"},
        {0xFEDCBA98, "Edition could not be determined 0xFEDCBA98"},
    };
    for (const auto& c : cases) {
        for (DWORD major : {6u, 10u}) {
            FakeFacts f = NT(major, major == 6 ? 1 : 0, 1);
            f.ProductInfoType = c.type;
            TOperatingSystem os(f);
            EXPECT_EQ(os.GetWindowsEdition(), c.edition) << c.type;
            EXPECT_EQ(f.AskedMajor, major);
        }
    }
}

TEST(OperatingSystemTables, VersionAndServicePackTexts) {
    FakeFacts f = NT(10, 0, 1);
    f.Proc.BuildNumber = 19045;
    f.Proc.ServicePack = "process pack";
    f.ExServicePack = "Service Pack 3";
    TOperatingSystem os(f);
    EXPECT_EQ(os.GetVersionNumberText(), "10.0");
    EXPECT_EQ(os.GetBuildNumberText(), "19045");
    EXPECT_EQ(os.GetServicePackText(), "Service Pack 3");
    EXPECT_EQ(TOperatingSystem::FormatVersionNumber(5, 1), "5.1");
    EXPECT_EQ(TOperatingSystem::FormatVersionNumber(4294967295u, 0), "4294967295.0");
    f.ExFails = true;
    EXPECT_EQ(TOperatingSystem(f).GetServicePackText(), "process pack");
}

}  // namespace
