// What the version dialog finds out before it fills its pages and loads its pictures.
#include "RUKVersionInfoFacts.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

using namespace ruk;

TEST(VersionInfoFacts, BrowserSearchList) {
    EXPECT_EQ(IExploreSearchList("C:\\Program Files\\", "C:\\windows;C:\\windows\\system32"),
              "C:\\Program Files\\IExplore.exe;C:\\Program Files;C:\\windows;C:\\windows\\system32");
    // The folder already on the Path, in any letter case: the Path unchanged.
    EXPECT_EQ(IExploreSearchList("C:\\Program Files", "c:\\PROGRAM FILES\\tools;C:\\windows"),
              "c:\\PROGRAM FILES\\tools;C:\\windows");
    EXPECT_EQ(IExploreSearchList("", "C:\\windows"), "C:\\windows");
}

TEST(VersionInfoFacts, PictureKinds) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    DWORD error = 0;
    EXPECT_EQ(PictureKindOfFile(self, pkIcon, error), pkIcon);
    EXPECT_EQ(PictureKindOfFile(self, pkBitmap, error), pkBitmap);
    EXPECT_EQ(error, 0u);
    struct Case {
        const char* Name;
        BYTE Kind;
    } cases[] = {{"C:\\no\\such\\logo.BMP", pkBitmap}, {"x.ico", pkIcon}, {"x.emf", pkMetafile},
                 {"x.WMF", pkMetafile},                {"x.png", pkNone}, {"x", pkNone}};
    for (const Case& c : cases) {
        error = 0;
        EXPECT_EQ(PictureKindOfFile(c.Name, pkIcon, error), c.Kind) << c.Name;
        EXPECT_NE(error, 0u) << c.Name;  // the file does not exist: the binary-type query failed
    }
    error = 0;
    EXPECT_EQ(PictureKindOfFile("", pkIcon, error), pkNone);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(VersionInfoFacts, WindowsLogoSources) {
    struct Case {
        DWORD Major;
        const char* Windows;
        const char* Module;
        UINT Id;
    } cases[] = {
        {5, "C:\\WINNT", "sysdm.cpl", 1},
        {4, "C:\\WINNT", "sysdm.cpl", 1},
        {6, "C:\\windows", "C:\\windows\\Branding\\ShellBrd\\Shellbrd.dll", 1050},
        {10, "C:\\windows", "C:\\windows\\Branding\\ShellBrd\\Shellbrd.dll", 3100},
        {6, "", "Shellbrd.dll", 1050},
    };
    for (const Case& c : cases) {
        const TWindowsLogoSource s = WindowsLogoSource(c.Major, c.Windows);
        EXPECT_EQ(s.Module, c.Module);
        EXPECT_EQ(s.BitmapId, c.Id);
    }
}

}  // namespace
