#include "LexmillVerInfoDlg.h"

#include "SysUtils.h"

namespace ruk {

namespace {

// Sizes a one-line text to its caption and centres it on a page of the given width.
void CentreOnPage(TRUKStaticText* text, int pageWidth) {
    // A few pixels beyond the text, so the static control never cuts its last character.
    const int width = text->TextExtent(text->Text()).cx + 4;
    text->SetBounds((pageWidth - width) / 2, text->Top(), width, text->Height());
}

}  // namespace

std::string ProductVersionLine() {
    return Format("RUK Lexmill (%s)", "App for stripping tags from HTML/XML documents") + ", Version 1.0";
}

DWORD TRUKVersionInfoDialog1::SetupProductInfo() {
    try {
        FAppSplashImageName = "DEFICON1";
        FAppSplashImageKind = pkIcon;
        FAppMainModuleImageName = "DEFICON1";
        FAppMainModuleImageKind = pkIcon;
        // The page has its size once the page control has laid out its pages.
        VerInfoPageControl1->HandleNeeded();
        VerInfoPageControl1->Realign();
        const RECT client = VerInfoPageControl1->AlignRect();
        const int pageWidth = client.right - client.left;
        AppSplashVerInfoText1->SetText(ProductVersionLine());
        CentreOnPage(AppSplashVerInfoText1, pageWidth);
        // The first page has a copyright line; it is set and centred like the product line.
        AppSplashCopyrightText1->SetText(kProductCopyright);
        CentreOnPage(AppSplashCopyrightText1, pageWidth);
        RUKInfoTabSheet1->SetText("About RUK");
        return 0;
    } catch (...) {
        const DWORD error = GetLastError();
        return error != 0 ? error : static_cast<DWORD>(-1);
    }
}

DWORD TRUKVersionInfoDialog1::SetupHelpContexts() {
    const std::pair<TWinControl*, int> contexts[] = {
        {this, 7700},
        {AppSplashTabSheet1, 7710},
        {AppSplashImage, 7711},
        {AppSplashVerInfoText1, 7712},
        {AppSplashCopyrightText1, 7713},
        {AppMainModuleTabSheet1, 7720},
        {AppMainModuleImage1, 7721},
        {AppMainModuleVerRichEdit1, 7722},
        {AppMainModulePgUpText, 7786},
        {AppMainModuleScrollUpText, 7787},
        {AppMainModuleScrollDownText, 7788},
        {AppMainModulePgDownText, 7789},
        {RUKInfoTabSheet1, 7730},
        {RUKAboutImage, 7731},
        {RUKInfoRichEdit1, 7732},
        {RUKInfoPgUpText, 7786},
        {RUKInfoScrollUpText, 7787},
        {RUKInfoScrollDownText, 7788},
        {RUKInfoPgDownText, 7789},
        {WinVerInfoTabSheet1, 7740},
        {WindowsLogoImage, 7741},
        {WindowsVerRichEdit1, 7742},
        {WinVerPgUpStaticText, 7786},
        {WinVerPgDownStaticText, 7787},
        {WinVerScrollUpStaticText, 7788},
        {WinVerScrollDownStaticText, 7789},
        {SaveInfoAsButton, 7798},
        {CopyInfoButton, 7797},
        {OkButton, 7799},
    };
    for (const auto& [control, context] : contexts) control->SetHelpContext(context);
    return 0;
}

DWORD TRUKVersionInfoDialog1::FillManufacturerInfoPage(TRUKRichEdit* richEdit) {
    return TRUKVersionInfoDialogV2::FillManufacturerInfoPage(richEdit);
}

}  // namespace ruk
