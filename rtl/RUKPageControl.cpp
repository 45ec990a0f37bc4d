#include "RUKPageControl.h"

#include "Form.h"
#include "Handles.h"

#include "RUKValidHandle.h"
#include "RUKWinTheme.h"

namespace ruk {

TRUKPageControl::TRUKPageControl(TComponent* owner) : TPageControl(owner) {}

TRUKPageControl::~TRUKPageControl() {
    // Frees the visual-styles library for the whole process.
    if (IsValidHandle(FThemeLibraryHandle)) {
        try {
            FreeUxThemeDll();
        } catch (const EWin32Error&) {
        }
    }
}

void TRUKPageControl::SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) {
    if (SameText(name, "OnPagePainted")) OnPagePainted = reader.FindMethod(value);
    else TPageControl::SetProperty(name, value, reader);
}

void TRUKPageControl::EnableThemeSupport(bool enable) {
    if (enable) {
        FThemeAvailable = IsWindowsXPOrLater();
        if (!FThemeAvailable) return;
        try {
            FThemeLibraryHandle = GetUxThemeDllHandle();
            FThemeEnabled = FThemeAvailable;
        } catch (const EWin32Error&) {
        }
        return;
    }
    if (!IsValidHandle(FThemeLibraryHandle)) return;
    try {
        FreeUxThemeDll();
        FThemeEnabled = false;
        FThemeAvailable = false;
    } catch (const EWin32Error&) {
    }
}

bool TRUKPageControl::IsThemed() { return FThemeAvailable && FThemeEnabled && IsThemeActive(); }

bool TRUKPageControl::DrawPageBody(TTabSheet& page, HDC dc) {
    HTHEME theme = OpenThemeData(page.Handle(), L"Tab");
    if (!theme || theme == INVALID_HANDLE_VALUE) return false;
    RECT r{0, 0, page.Width(), page.Height()};
    DrawThemeBackground(theme, dc, TABP_BODY, 0, &r, &r);
    CloseThemeData(theme);
    return true;
}

void TRUKPageControl::PaintThemedPageBody(int pageIndex) {
    if (pageIndex < 0 || pageIndex >= PageCount()) return;
    TTabSheet& page = *Pages(pageIndex);
    const TWindowDC dc(page.Handle());
    DrawPageBody(page, dc.Get());
}

bool TRUKPageControl::PaintPageBackground(TTabSheet& page, HDC dc) {
    // A page that erases itself would paint over the body drawn after the control's own paint.
    return IsThemed() && DrawPageBody(page, dc);
}

LRESULT TRUKPageControl::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_KILLFOCUS) SendMessageA(FHandle, WM_SETREDRAW, 1, 0);
    if (msg == WM_PAINT) {
        const LRESULT r = TPageControl::WndProc(msg, wp, lp);
        if (IsThemed() && ActivePage()) {
            PaintThemedPageBody(ActivePageIndex());
            if (OnPagePainted) OnPagePainted(this);
        }
        return r;
    }
    return TPageControl::WndProc(msg, wp, lp);
}

void TRUKPageControl::Change() {
    TPageControl::Change();
    if (IsThemed()) RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

namespace {
// Form descriptions name the class.
const bool gClassRegistered = [] {
    RegisterComponentClass("TRUKPageControl", [](TComponent* o) -> TComponent* { return new TRUKPageControl(o); });
    return true;
}();
}  // namespace

}  // namespace ruk
