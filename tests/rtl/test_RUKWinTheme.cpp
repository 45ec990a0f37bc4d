// The visual-styles binding with and without the library, and the themed page control.
#include "RUKPageControl.h"
#include "RUKWinTheme.h"
#include "RtlControlSupport.h"

#include <gtest/gtest.h>

using namespace ruk;
using namespace ruktest;

namespace {

// Every test leaves the binding as it found it: nothing loaded, the real library and version.
class WinTheme : public ::testing::Test {
protected:
    void TearDown() override {
        try {
            FreeUxThemeDll();
        } catch (const EWin32Error&) {
        }
        SetUxThemeLibraryNameForTests(nullptr);
        SetVersionQueryForTests(nullptr);
    }
};

BOOL Windows2000(OSVERSIONINFOA& info) {
    info.dwMajorVersion = 5;
    info.dwMinorVersion = 0;
    info.dwPlatformId = VER_PLATFORM_WIN32_NT;
    return TRUE;
}

// Theming of this process on or off as the system's switch does it (the prefix's theme
// stays configured).
void EnableTheming(bool on) {
    HMODULE lib = GetModuleHandleA("uxtheme.dll");
    ASSERT_NE(lib, nullptr);
    auto enable = reinterpret_cast<HRESULT(WINAPI*)(BOOL)>(reinterpret_cast<void*>(GetProcAddress(lib, "EnableTheming")));
    ASSERT_NE(enable, nullptr);
    enable(on);
}

}  // namespace

TEST_F(WinTheme, WithTheLibraryItLoadsOnceResolvesAndFrees) {
    EXPECT_TRUE(IsWindowsXPOrLater());
    EXPECT_EQ(LoadUxThemeDll(), 0u);
    const HMODULE h = GetUxThemeDllHandle();
    EXPECT_EQ(h, GetModuleHandleA("uxtheme.dll"));
    EXPECT_EQ(LoadUxThemeDll(), 0u);
    EXPECT_EQ(GetUxThemeDllHandle(), h);
    for (auto resolver : {PAddrCloseThemeData, PAddrDrawThemeBackground, PAddrGetThemeColor, PAddrGetThemeSysColor,
                          PAddrIsThemeActive, PAddrOpenThemeData})
        EXPECT_NE(resolver(), nullptr);
    EXPECT_EQ(FreeUxThemeDll(), 0u);
    // Freeing again: nothing is loaded.
    EXPECT_THROW(FreeUxThemeDll(), EWin32Error);
}

TEST_F(WinTheme, WithoutTheLibraryTheOperatingSystemErrorIsRaised) {
    SetUxThemeLibraryNameForTests("RUKNoSuchThemeLibrary.dll");
    try {
        LoadUxThemeDll();
        FAIL() << "no error raised";
    } catch (const EWin32Error& e) {
        EXPECT_EQ(e.ErrorCode, static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
        EXPECT_EQ(std::string(e.what()).rfind("Win32 Error.  Code: 126.\n", 0), 0u) << e.what();
    }
    EXPECT_THROW(GetUxThemeDllHandle(), EWin32Error);
    // A resolver never loads the library.
    EXPECT_THROW(PAddrIsThemeActive(), EWin32Error);
    // The page control swallows the error and stays unthemed.
    FormPtr form = ShownForm();
    auto* pages = Place<TRUKPageControl>(*form, 0, 0, 300, 200);
    EXPECT_NO_THROW(pages->EnableThemeSupport(true));
    EXPECT_TRUE(pages->ThemeAvailable());
    EXPECT_FALSE(pages->ThemeEnabled());
}

TEST_F(WinTheme, BeforeWindowsXpNothingIsLoaded) {
    SetVersionQueryForTests(Windows2000);
    EXPECT_FALSE(IsWindowsXPOrLater());
    EXPECT_EQ(LoadUxThemeDll(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    EXPECT_EQ(GetUxThemeDllHandle(), static_cast<HMODULE>(INVALID_HANDLE_VALUE));
    FormPtr form = ShownForm();
    auto* pages = Place<TRUKPageControl>(*form, 0, 0, 300, 200);
    pages->EnableThemeSupport(true);
    EXPECT_FALSE(pages->IsThemed());
    EXPECT_EQ(pages->ThemeLibraryHandle(), nullptr);
    SetVersionQueryForTests([](OSVERSIONINFOA&) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    });
    EXPECT_THROW(IsWindowsXPOrLater(), EWin32Error);
}

namespace {
struct ThemedPages {
    FormPtr form = ShownForm(420, 300);
    TRUKPageControl* pages = Place<TRUKPageControl>(*form, 0, 0, 400, 260);
    TTabSheet* first = Place<TTabSheet>(*pages, 0, 0, 0, 0);
    TTabSheet* second = Place<TTabSheet>(*pages, 0, 0, 0, 0);
    int painted = 0;
    ThemedPages() {
        first->SetText("First");
        second->SetText("Second");
        pages->HandleNeeded();
        pages->OnPagePainted = [this](TObject* sender) {
            EXPECT_EQ(sender, pages);
            ++painted;
        };
    }
    void Repaint() {
        painted = 0;
        RedrawWindow(pages->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
    // The colour in the middle of the active page, and the colour the style's tab body has there.
    COLORREF PageColour() {
        TTabSheet* page = pages->ActivePage();
        HDC dc = GetDC(page->Handle());
        const COLORREF c = GetPixel(dc, page->Width() / 2, page->Height() / 2);
        ReleaseDC(page->Handle(), dc);
        return c;
    }
    COLORREF StyleBodyColour() {
        TTabSheet* page = pages->ActivePage();
        HDC screen = GetDC(nullptr);
        HDC mem = CreateCompatibleDC(screen);
        HBITMAP bmp = CreateCompatibleBitmap(screen, page->Width(), page->Height());
        ReleaseDC(nullptr, screen);
        HGDIOBJ old = SelectObject(mem, bmp);
        HTHEME theme = OpenThemeData(page->Handle(), L"Tab");
        RECT r{0, 0, page->Width(), page->Height()};
        DrawThemeBackground(theme, mem, TABP_BODY, 0, &r, &r);
        CloseThemeData(theme);
        const COLORREF c = GetPixel(mem, page->Width() / 2, page->Height() / 2);
        SelectObject(mem, old);
        DeleteObject(bmp);
        DeleteDC(mem);
        return c;
    }
};
}  // namespace

TEST_F(WinTheme, PageBodyIsPaintedWithTheStyleWhileThemesAreOn) {
    // The switch is kept in the prefix's registry: however this test ends, themes are left on.
    // Some builds of the system turn theming off for good and not back on, so the stored
    // switch is put back as well, for the processes after this one.
    struct ThemingBackOn {
        ~ThemingBackOn() {
            EnableTheming(true);
            HKEY key;
            if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager", 0,
                              KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
                RegSetValueExA(key, "ThemeActive", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
                RegCloseKey(key);
            }
        }
    } backOn;
    ThemedPages t;
    t.pages->EnableThemeSupport(true);
    ASSERT_TRUE(t.pages->ThemeEnabled());
    ASSERT_TRUE(IsThemeActive()) << "the test prefix has a visual style";
    EXPECT_TRUE(t.pages->IsThemed());
    t.Repaint();
    EXPECT_GE(t.painted, 1);
    EXPECT_EQ(t.PageColour(), t.StyleBodyColour());
    // Switching pages repaints the control, the new page's body before the event.
    t.painted = 0;
    t.pages->SetActivePageIndex(1);
    NMHDR hdr{t.pages->Handle(), static_cast<UINT_PTR>(GetDlgCtrlID(t.pages->Handle())), static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(t.form->Handle(), WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr));
    EXPECT_GE(t.painted, 1);
    EXPECT_EQ(t.PageColour(), t.StyleBodyColour());

    // Themes off: the control paints as its base class does and fires nothing.
    EnableTheming(false);
    EXPECT_FALSE(t.pages->IsThemed());
    t.Repaint();
    EXPECT_EQ(t.painted, 0);
    EXPECT_EQ(t.PageColour(), GetSysColor(COLOR_BTNFACE));
    EnableTheming(true);
    // 64-bit Wine keeps theming off once it was switched off in a process; the system says so
    // through IsThemeActive, and then there is nothing more to check here.
    if (!IsThemeActive()) GTEST_SKIP() << "the system did not switch theming back on";
    EXPECT_TRUE(t.pages->IsThemed());

    // Switched off, the control frees the library for the process.
    t.pages->EnableThemeSupport(false);
    EXPECT_FALSE(t.pages->IsThemed());
    EXPECT_THROW(FreeUxThemeDll(), EWin32Error);
}

TEST_F(WinTheme, LosingTheFocusReenablesRedrawing) {
    ThemedPages t;
    int enabled = 0;
    MessageSpy spy(t.pages->Handle(), WM_SETREDRAW, [&](WPARAM wp, LPARAM, LRESULT&) {
        if (wp == 1) ++enabled;
        return false;
    });
    SendMessageA(t.pages->Handle(), WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(spy.Count, 1);
    EXPECT_EQ(enabled, 1);
}
