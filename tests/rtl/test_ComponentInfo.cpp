// Component versions as the real libraries answer, and the memory figures.
#include "RUKComponentInfo.h"
#include "RUKFileSizes.h"
#include "RtlTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using ruk::GetComponentVersionText;

TEST(ComponentVersion, Formats) {
    EXPECT_EQ(ruk::FormatComponentVersion(6, 0, 2900), "6.0, Build 2900");
    EXPECT_EQ(ruk::FormatComponentVersion(6, 0, 2900, 0), "6.0, Build 2900");
    EXPECT_EQ(ruk::FormatComponentVersion(6, 0, 2900, 5), "6.0, Build 2900  SP 5");
}

// What each library's own DllGetVersion says, in the form asked for.
std::string Expected(const char* file, bool longForm) {
    HMODULE module = LoadLibraryA(file);
    if (!module) return "<not loaded>";
    auto get = reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetVersion")));
    std::string text = "<no answer>";
    DLLVERSIONINFO2 info = {};
    info.info1.cbSize = longForm ? sizeof info : sizeof info.info1;
    HRESULT hr = get ? get(&info.info1) : E_FAIL;
    if (hr == E_INVALIDARG && longForm) {
        info = {};
        info.info1.cbSize = sizeof info.info1;
        hr = get(&info.info1);
        longForm = false;
    }
    if (hr == S_OK)
        text = ruk::FormatComponentVersion(info.info1.dwMajorVersion, info.info1.dwMinorVersion,
                                           info.info1.dwBuildNumber, longForm ? ruk::GetDllVerQfe(info.ullVersion) : 0);
    FreeLibrary(module);
    return text;
}

TEST(ComponentVersion, TheSystemLibraries) {
    for (const char* file : {"Shell32.dll", "ShlWApi.dll", "ComCtl32.dll"}) {
        for (bool longForm : {true, false}) {
            std::string text = "unchanged";
            EXPECT_EQ(GetComponentVersionText(file, text, longForm), S_OK) << file;
            EXPECT_EQ(text, Expected(file, longForm)) << file << (longForm ? " long" : " short");
            EXPECT_EQ(text.find(", Build "), text.find_first_of(',')) << text;
        }
    }
}

TEST(ComponentVersion, AShortOnlyAnswerIsAskedAgainShort) {
    // The common-controls library takes only the 20-byte structure and calls the long one an
    // invalid argument; the line must not be lost.
    DLLVERSIONINFO2 probe = {};
    ASSERT_EQ(ruk::GetModuleDllVersion2("ComCtl32.dll", probe), E_INVALIDARG)
        << "this system's common controls take the long structure: the retry is not exercised";
    std::string text;
    EXPECT_EQ(GetComponentVersionText("ComCtl32.dll", text, true), S_OK);
    EXPECT_FALSE(text.empty());
}

TEST(ComponentVersion, TheLibrarysQuickFixNumber) {
    std::string text;
    EXPECT_EQ(GetComponentVersionText(ruktest::RtlLibraryPath(), text, true), S_OK);
    EXPECT_EQ(text, "1.0, Build 42  SP 13");
    EXPECT_EQ(GetComponentVersionText(ruktest::RtlLibraryPath(), text, false), S_OK);
    EXPECT_EQ(text, "1.0, Build 42");
}

TEST(ComponentVersion, FailuresGiveNoText) {
    std::string text = "unchanged";
    EXPECT_EQ(GetComponentVersionText("no-such-library-here.dll", text, true), HRESULT(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(text, "");
    EXPECT_EQ(GetComponentVersionText("Kernel32.dll", text, true), HRESULT(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(text, "");
}

TEST(MemoryFigures, FromBothStatusRecords) {
    MEMORYSTATUSEX ex = {};
    ex.ullTotalPhys = 8ull << 30;
    ex.ullAvailPhys = 1536ull << 20;
    ex.dwMemoryLoad = 81;
    const ruk::TMemoryFigures big = ruk::MemoryFigures(ex);
    EXPECT_EQ(big.TotalPhysical, ruk::FormatFileSizeStr(ruk::Int64(8) << 30, true));
    EXPECT_EQ(big.TotalPhysical, "8.00 GB (8,589,934,592 Byte)");
    EXPECT_EQ(big.AvailablePhysical, "1.50 GB (1,610,612,736 Byte)");
    EXPECT_EQ(big.MemoryLoad, 81u);
    // Above 2 GB the 32-bit record's counts are still sizes, not negative numbers.
    MEMORYSTATUS small = {};
    small.dwTotalPhys = 0xC0000000u;
    small.dwAvailPhys = 512u << 20;
    small.dwMemoryLoad = 7;
    const ruk::TMemoryFigures fallback = ruk::MemoryFigures(small);
    EXPECT_EQ(fallback.TotalPhysical, "3.00 GB (3,221,225,472 Byte)");
    EXPECT_EQ(fallback.AvailablePhysical, "512.00 MB (536,870,912 Byte)");
    EXPECT_EQ(fallback.MemoryLoad, 7u);
}

TEST(MemoryFigures, TheSystemsOwn) {
    MEMORYSTATUSEX ex = {};
    ex.dwLength = sizeof ex;
    ASSERT_TRUE(::GlobalMemoryStatusEx(&ex));
    const ruk::TMemoryFigures figures = ruk::GetMemoryFigures();
    EXPECT_EQ(figures.TotalPhysical, ruk::FormatFileSizeStr(static_cast<ruk::Int64>(ex.ullTotalPhys), true));
    EXPECT_LE(figures.MemoryLoad, 100u);
    EXPECT_NE(figures.AvailablePhysical, "");
}

}  // namespace
