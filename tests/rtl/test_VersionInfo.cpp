// The version resource reader on the program, on the library and on files without one, and
// the DllGetVersion helpers on real libraries.
#include "RUKVersionInfo.h"
#include "RUKVersionInfoPages.h"
#include "RtlTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>

namespace {

using ruk::TRUKVersionInfo;
using ruk::TVersionDetailsFacts;
using ruk::VersionDetailsLines;

std::string ProgramPath() { return ruktest::TestProgramFolder() + "..\\bin\\RUKLexmill.exe"; }

struct Keys {
    std::string company, description, fileVersion, internalName, copyright, trademarks, original, product,
        productVersion;
};

Keys ReadKeys(TRUKVersionInfo& v) {
    return {v.GetCompanyName(),      v.GetFileDescription(), v.GetFileVersion(),
            v.GetInternalName(),     v.GetLegalCopyright(),  v.GetLegalTrademarks(),
            v.GetOriginalFilename(), v.GetProductName(),     v.GetProductVersion()};
}

TEST(VersionInfo, TheProgramsNineValues) {
    TRUKVersionInfo v(ProgramPath());
    EXPECT_GT(v.GetVersionInfoSize(), 0);
    EXPECT_EQ(v.GetTranslation(), 0x04E40409u);
    EXPECT_EQ(v.GetTranslationText(), "040904E4");
    const Keys k = ReadKeys(v);
    EXPECT_EQ(k.company, "RUK");
    EXPECT_EQ(k.description, "RUK HTML/XML Lexmill and Keyword Extractor");
    EXPECT_EQ(k.fileVersion, "1.0.0.0");
    EXPECT_EQ(k.internalName, "RUKLexmill");
    EXPECT_EQ(k.copyright, "(C) RUK");
    // The Version Details page puts "Copyright " before it.
    TVersionDetailsFacts facts;
    facts.LegalCopyright = k.copyright;
    EXPECT_EQ(VersionDetailsLines(facts).at(5).Text, "Copyright (C) RUK");
    EXPECT_EQ(k.trademarks, "RUK and Lexmill are trademarks of RUK");
    EXPECT_EQ(k.original, "RUKLexmill.exe");
    EXPECT_EQ(k.product, "RUK Lexmill");
    EXPECT_EQ(k.productVersion, "1.0.0.0");
    EXPECT_EQ(v.LastError(), 0u);
    EXPECT_EQ(v.GetFixedFileInfoSignature(), 0xFEEF04BDu);
}

TEST(VersionInfo, TheLibrarysResource) {
    TRUKVersionInfo v(ruktest::RtlLibraryPath());
    const Keys k = ReadKeys(v);
    EXPECT_EQ(v.GetTranslationText(), "040904E4");
    EXPECT_EQ(k.fileVersion, "1.0.0.13");
    EXPECT_EQ(k.productVersion, "1.0.0.0");
    EXPECT_EQ(k.product, "RUK Lexmill");
    EXPECT_EQ(k.description,
              "Run-time library for the RUK app. that removes the tags and generates a word list from HTML/XML files");
    EXPECT_EQ(k.internalName, "RUKLexmillRtl.dll");
    EXPECT_EQ(k.original, "RUKLexmillRtl.dll");
    EXPECT_FALSE(k.company.empty());
    EXPECT_FALSE(k.copyright.empty());
    EXPECT_FALSE(k.trademarks.empty());
    VS_FIXEDFILEINFO fixed;
    v.GetFixedFileInfo(fixed);
    EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed.dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed.dwFileVersionLS, 0x0000000Du);
    EXPECT_EQ(fixed.dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed.dwProductVersionLS, 0x0000000Du);
    EXPECT_EQ(fixed.dwFileOS, 4u);
    EXPECT_EQ(fixed.dwFileType, 2u);
    EXPECT_EQ(fixed.dwFileFlags, 0u);
    EXPECT_EQ(v.LastError(), 0u);
}

TEST(VersionInfo, AnEmptyNameIsTheRunningProgram) {
    TRUKVersionInfo v;
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    EXPECT_EQ(v.GetFileName(), path);
    // The test program's own version resource (RtlTestsVersion.rc).
    EXPECT_EQ(v.GetProductName(), "RUK Rtl Tests");
    EXPECT_EQ(v.LastError(), 0u);
}

TEST(VersionInfo, AMissingKeyIsEmptyWithTheQuerysCode) {
    TRUKVersionInfo v(ProgramPath());
    EXPECT_EQ(v.GetStringFileInfoValue("\\StringFileInfo\\040904E4\\Comments"), "");
    EXPECT_EQ(v.LastError(), 1813u);
    // A later success leaves the code as it was.
    EXPECT_EQ(v.GetProductName(), "RUK Lexmill");
    EXPECT_EQ(v.LastError(), 1813u);
}

TEST(VersionInfo, AFileWithoutResource) {
    const std::string name = ruktest::TestProgramFolder() + "no-version.txt";
    std::ofstream(name) << "plain text, no version resource";
    TRUKVersionInfo v(name);
    const Keys k = ReadKeys(v);
    for (const std::string* s : {&k.company, &k.description, &k.fileVersion, &k.internalName, &k.copyright,
                                 &k.trademarks, &k.original, &k.product, &k.productVersion})
        EXPECT_EQ(*s, "");
    EXPECT_EQ(v.GetTranslationText(), "00000000");
    EXPECT_EQ(v.GetVersionInfoBlock(), nullptr);
    EXPECT_EQ(v.GetVersionInfoSize(), -1);
    EXPECT_EQ(v.GetFixedFileInfoSignature(), 0u);
    EXPECT_EQ(v.LastError(), 1812u);
    DeleteFileA(name.c_str());
}

TEST(VersionInfo, AMissingFile) {
    TRUKVersionInfo v(ruktest::TestProgramFolder() + "does-not-exist.dll");
    EXPECT_EQ(v.GetVersionInfoSize(), -1);
    EXPECT_EQ(v.LastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(v.GetFileVersion(), "");
    EXPECT_EQ(v.GetTranslationText(), "00000000");
    EXPECT_EQ(v.LastError(), 1812u);
}

TEST(DllVersionSupport, LongFormFromNT5And9x490) {
    const struct {
        DWORD platform, major, minor;
        bool supported;
    } cases[] = {
        {1, 4, 0, false}, {1, 4, 10, false}, {1, 4, 90, true}, {2, 4, 0, false},
        {2, 5, 0, true},  {2, 6, 1, true},   {2, 10, 0, true}, {0, 10, 0, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ruk::SupportsDllVersionInfo2({c.platform, c.major, c.minor, 0, ""}), c.supported)
            << c.platform << " " << c.major << "." << c.minor;
}

TEST(DllVersionQuery, ResolverReportsWhyItFoundNothing) {
    SetLastError(0);
    EXPECT_EQ(ruk::PAddrDllGetVersion(nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(ruk::PAddrDllGetVersion(reinterpret_cast<HMODULE>(INVALID_HANDLE_VALUE)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    // The test program exports nothing: the lookup's own code, never an older one.
    SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_EQ(ruk::PAddrDllGetVersion(GetModuleHandleA(nullptr)), nullptr);
    const DWORD code = GetLastError();
    EXPECT_NE(code, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_NE(code, 0u);
}

TEST(DllVersionQuery, TheLibraryAnswersThroughTheHelpers) {
    DLLVERSIONINFO2 info2;
    ASSERT_EQ(ruk::GetModuleDllVersion2(ruktest::RtlLibraryPath(), info2), S_OK);
    EXPECT_EQ(info2.info1.cbSize, 32u);
    EXPECT_EQ(info2.ullVersion, 0x00010000002A000Dull);
    DLLVERSIONINFO info;
    ASSERT_EQ(ruk::GetModuleDllVersion(ruktest::RtlLibraryPath(), info), S_OK);
    EXPECT_EQ(info.cbSize, 20u);
    EXPECT_EQ(info.dwBuildNumber, 42u);
}

TEST(DllVersionQuery, FailuresLeaveTheStructureZeroed) {
    DLLVERSIONINFO info;
    std::memset(&info, 0xCC, sizeof info);
    EXPECT_EQ(ruk::GetModuleDllVersion("no-such-library-here.dll", info), HRESULT(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(info.cbSize, 0u);
    EXPECT_EQ(info.dwMajorVersion, 0u);
    // Kernel32 has no DllGetVersion.
    EXPECT_EQ(ruk::GetModuleDllVersion("kernel32.dll", info), HRESULT(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(info.cbSize, 0u);
}

}  // namespace
