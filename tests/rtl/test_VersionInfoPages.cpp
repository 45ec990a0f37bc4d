// The lines of the version dialog's pages, built from facts.
#include "RUKVersionInfoPages.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

using namespace ruk;

std::vector<std::string> Texts(const TInfoLines& lines) {
    std::vector<std::string> texts;
    for (const TInfoLine& l : lines) texts.push_back(l.Text);
    return texts;
}

std::vector<size_t> BoldLines(const TInfoLines& lines) {
    std::vector<size_t> bold;
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].Bold) bold.push_back(i);
    return bold;
}

TEST(VersionInfoPages, VersionDetailsHasItsElevenLines) {
    TVersionDetailsFacts f;
    f.ProductName = "RUK Lexmill";
    f.ProductVersion = "1.0.0.0";
    f.FileDescription = "RUK HTML/XML Lexmill and Keyword Extractor";
    f.CompanyName = "RUK";
    f.LegalCopyright = "(C) RUK";
    f.LegalTrademarks = "none";
    f.MainModuleName = "RUKLexmill.exe";
    f.OriginalFilename = "RUKLexmill.exe";
    f.FileVersion = "1.0.0.0";
    const TInfoLines lines = VersionDetailsLines(f);
    EXPECT_EQ(Texts(lines), (std::vector<std::string>{
                                "RUK Lexmill Version Details",
                                "",
                                "Product Version: 1.0.0.0",
                                "RUK HTML/XML Lexmill and Keyword Extractor",
                                "Manufacturer: RUK",
                                "Copyright (C) RUK",
                                "Legal Trademarks: none",
                                "",
                                "Main Executable Module: RUKLexmill.exe",
                                "Original Filename: RUKLexmill.exe",
                                "File Version: 1.0.0.0",
                            }));
    EXPECT_EQ(BoldLines(lines), std::vector<size_t>{0});
}

TEST(VersionInfoPages, VersionDetailsWithoutAVersionResourceKeepsEveryLabel) {
    const TInfoLines lines = VersionDetailsLines({});
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[0], (TInfoLine{" Version Details", true}));
    EXPECT_EQ(lines[2].Text, "Product Version: ");
    EXPECT_EQ(lines[3].Text, "");
    EXPECT_EQ(lines[6].Text, "Legal Trademarks: ");
    EXPECT_EQ(lines[10].Text, "File Version: ");
}

TEST(VersionInfoPages, ManufacturerPageShowsTheMakerAndItsLink) {
    const TInfoLines lines = ManufacturerInfoLines();
    EXPECT_EQ(Texts(lines), (std::vector<std::string>{
                                "Manufacturer Information",
                                "",
                                std::string("Additional Product Info: ") + kMakerWebAddress,
                                "",
                                "Contact Address: reserved for future use",
                                "",
                                "Postal Address: ",
                                kMakerCompanyName,
                                kMakerStreet,
                                kMakerTown,
                                kMakerCountry,
                            }));
    EXPECT_EQ(BoldLines(lines), std::vector<size_t>{0});
    EXPECT_EQ(std::string(kMakerWebAddress).rfind("https://", 0), 0u);
}

TEST(VersionInfoPages, WindowsPageByPlatform) {
    TWindowsFacts f;
    f.ProductName = "Windows\xAE 7";
    f.Edition = "Ultimate Edition";
    f.VersionNumberText = "6.1";
    f.BuildNumberText = "7601";
    f.ServicePackText = "Service Pack 1";
    const std::vector<std::string> common = {"Operating System Information", "", "Windows\xAE 7", "Ultimate Edition",
                                             "Windows Version 6.1, Build 7601", "Service Pack 1"};
    const std::vector<std::string> tail = {"Copyright \xA9 Microsoft Corporation", "http://www.microsoft.com/windows/", ""};
    struct Case {
        TPlatformFamily Platform;
        std::vector<std::string> Middle;
    } cases[] = {
        {TPlatformFamily::NT, {"System is based on Windows NT"}},
        {TPlatformFamily::Win9x, {"System is a Windows 9x system"}},
        {TPlatformFamily::Other, {}},
    };
    for (const Case& c : cases) {
        f.Platform = c.Platform;
        std::vector<std::string> expected = common;
        expected.insert(expected.end(), c.Middle.begin(), c.Middle.end());
        expected.insert(expected.end(), tail.begin(), tail.end());
        const TInfoLines lines = WindowsInfoLines(f);
        EXPECT_EQ(Texts(lines), expected);
        EXPECT_EQ(BoldLines(lines), std::vector<size_t>{0});
    }
}

TEST(VersionInfoPages, AccountNames) {
    EXPECT_EQ(AccountNameText("alice", 0), "alice");
    EXPECT_EQ(AccountNameText("alice", 1627), "alice");
    EXPECT_EQ(AccountNameText("", 1627), "Could not be determined");
    EXPECT_EQ(AccountNameText("", 0), "\"\" (no name assigned)");
}

TSystemFacts SampleSystem() {
    TSystemFacts f;
    f.KernelVersion = "6.1.7601.24545";
    f.ShellVersion = "6.1, Build 7601";
    f.IExploreVersion = "8.00.7601";
    f.ComCtlVersion = "6.0, Build 2600";
    f.ShlWApiVersion = "6.1, Build 7601";
    f.ShdocVwVersion = "6.1, Build 7601";
    f.UserName = "alice";
    f.ComputerName = "MILL";
    f.SearchPath = "C:\\windows\\system32;C:\\windows";
    f.DateTimeText = "12/10/2026 7:15:00 PM";
    f.TotalPhysical = "2.00 GB (2,147,483,648 Byte)";
    f.AvailablePhysical = "1.00 GB (1,073,741,824 Byte)";
    f.MemoryLoad = 50;
    return f;
}

TEST(VersionInfoPages, SystemLinesFollowTheWindowsPage) {
    EXPECT_EQ(Texts(SystemInfoLines(SampleSystem())),
              (std::vector<std::string>{
                  "Kernel Version: 6.1.7601.24545",
                  "Shell Version (Shell32.dll): 6.1, Build 7601",
                  "Internet Explorer Version: 8.00.7601",
                  "Common Controls Version (ComCtl32.dll): 6.0, Build 2600",
                  "ShlWAPI.dll Version: 6.1, Build 7601",
                  "ShdocVw.dll Version: 6.1, Build 7601",
                  "",
                  "Application/process is running under user account: alice",
                  "On computer: MILL",
                  "",
                  "Default search path (environment var. PATH): C:\\windows\\system32;C:\\windows",
                  "",
                  "Current System Date/Time is : 12/10/2026 7:15:00 PM",
                  "Physical memory: 2.00 GB (2,147,483,648 Byte)",
                  "Available, physical memory: 1.00 GB (1,073,741,824 Byte)",
                  "Currently in use: 50%",
              }));
}

TEST(VersionInfoPages, UnreadableComponentsDropTheirLinesAndEmptyNamesAreExplained) {
    TSystemFacts f = SampleSystem();
    f.ShellVersion.reset();
    f.ShdocVwVersion.reset();
    f.IExploreVersion.clear();
    f.UserName.clear();
    f.ComputerName.clear();
    f.NamesLastError = 1627;
    const std::vector<std::string> lines = Texts(SystemInfoLines(f));
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[1], "Internet Explorer Version: ");
    EXPECT_EQ(lines[2], "Common Controls Version (ComCtl32.dll): 6.0, Build 2600");
    EXPECT_EQ(lines[3], "ShlWAPI.dll Version: 6.1, Build 7601");
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5], "Application/process is running under user account: Could not be determined");
    EXPECT_EQ(lines[6], "On computer: Could not be determined");
}

TEST(VersionInfoPages, ALongPathStandsWhole) {
    TSystemFacts f = SampleSystem();
    f.SearchPath.clear();
    while (f.SearchPath.size() < 6000) f.SearchPath += "C:\\Some Long Folder Name\\bin;";
    const std::vector<std::string> lines = Texts(SystemInfoLines(f));
    EXPECT_EQ(lines[10], "Default search path (environment var. PATH): " + f.SearchPath);
}

TEST(VersionInfoPages, ComprehensivePageOfThreePages) {
    TInfoLines out;
    AppendComprehensivePage({"Title A\r", "a1\r", "\r", "a2"}, out);
    AppendComprehensivePage({}, out);
    AppendComprehensivePage({"\r", "b1"}, out);
    const TInfoLines expected = {
        {"Title A", true}, {"a1"}, {""}, {"a2"}, {""}, {""},
        // A page whose first line is empty starts plain.
        {"b1"}, {""}, {""},
    };
    EXPECT_EQ(out, expected);
}

}  // namespace
