// RUKPageControl: the version dialog's page control. With visual styles active it paints the
// body of its active page with the tab-page background of the current style.
#pragma once

#include "ComCtrls.h"

#include <windows.h>

namespace ruk {

class TRUKPageControl : public TPageControl {
public:
    explicit TRUKPageControl(TComponent* owner);
    ~TRUKPageControl() override;
    const char* ClassName() const override { return "TRUKPageControl"; }
    void SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) override;

    // On: Windows XP or later is looked for (its failure raises) and the visual-styles library
    // loaded (a failure to load leaves the support off). Off: the library is freed.
    void EnableThemeSupport(bool enable);
    bool IsThemed();
    void PaintThemedPageBody(int pageIndex);

    bool ThemeEnabled() const { return FThemeEnabled; }
    bool ThemeAvailable() const { return FThemeAvailable; }
    HMODULE ThemeLibraryHandle() const { return FThemeLibraryHandle; }

    // After the themed page body has been painted.
    TNotifyEvent OnPagePainted;

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool PaintPageBackground(TTabSheet& page, HDC dc) override;

protected:
    void Change() override;

private:
    // Draws the "Tab" body of the current style into dc over the page's client area.
    bool DrawPageBody(TTabSheet& page, HDC dc);
    bool FThemeEnabled = false;
    bool FThemeAvailable = false;
    HMODULE FThemeLibraryHandle = nullptr;
};

}  // namespace ruk
