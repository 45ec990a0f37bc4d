// RUKVersionInfoDlgV2: the library's version-information ("About") dialog.
//
// Four pages: the product (icon, version line, copyright line), the Version Details of the
// program that loaded the library (the host program), the maker's contact information, and the
// Windows and system information; a hidden fifth page gathers the text of the three text pages
// for Copy Info and Save Info As. A product subclass fills in its texts, pictures and help
// contexts through the virtual steps. The form is built from its description
// (RUKVersionInfoDlgV2Form.cpp); its pages' lines are decided in RUKVersionInfoPages.
#pragma once

#include "ComCtrls.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Form.h"
#include "Graphics.h"
#include "Menus.h"
#include "RUKAboutLinkThread.h"
#include "RUKOpSys.h"
#include "RUKOpenSaveDialogs.h"
#include "RUKPageControl.h"
#include "RUKRichEdit.h"
#include "RUKStaticImage.h"
#include "RUKStaticText.h"
#include "RUKVersionInfo.h"
#include "RUKVersionInfoFacts.h"
#include "RUKVersionInfoPages.h"
#include "StdCtrls.h"

#include <functional>
#include <memory>
#include <string>

namespace ruk {

const TFormDescription& RUKVersionInfoDialogV2Description();

// Asked before a link is opened; nothing in the library assigns it.
using TURLClickQueryEvent = std::function<void(TObject* sender, const std::string& linkText, bool& accept)>;

class TRUKVersionInfoDialogV2 : public TForm {
public:
    explicit TRUKVersionInfoDialogV2(TComponent* owner);
    ~TRUKVersionInfoDialogV2() override;
    const char* ClassName() const override { return "TRUKVersionInfoDialogV2"; }

    // ---- the six steps a product subclass may replace; each returns 0 or an error code
    virtual DWORD SetupProductInfo();
    virtual DWORD AssignInfoRichEditEvents();
    virtual DWORD SetupHelpContexts();
    virtual DWORD FillVersionDetailsPage(TRUKVersionInfo* versionInfo, TRUKRichEdit* richEdit);
    virtual DWORD FillManufacturerInfoPage(TRUKRichEdit* richEdit);
    virtual DWORD FillWindowsInfoPage(TOperatingSystem* operatingSystem, TRUKRichEdit* richEdit);

    // ---- published components (bound by name from the form description)
    TImage* BannerBackgroundImage = nullptr;
    TImage* RUKBannerLogo1 = nullptr;
    TStaticText* BannerLine1 = nullptr;
    TRUKPageControl* VerInfoPageControl1 = nullptr;
    TTabSheet* AppSplashTabSheet1 = nullptr;
    TRUKStaticImage* AppSplashImage = nullptr;
    TRUKStaticText* AppSplashVerInfoText1 = nullptr;
    TRUKStaticText* AppSplashCopyrightText1 = nullptr;
    TTabSheet* AppMainModuleTabSheet1 = nullptr;
    TRUKStaticImage* AppMainModuleImage1 = nullptr;
    TRUKRichEdit* AppMainModuleVerRichEdit1 = nullptr;
    TRUKStaticText* AppMainModulePgUpText = nullptr;
    TRUKStaticText* AppMainModuleScrollUpText = nullptr;
    TRUKStaticText* AppMainModuleScrollDownText = nullptr;
    TRUKStaticText* AppMainModulePgDownText = nullptr;
    TTabSheet* RUKInfoTabSheet1 = nullptr;
    TRUKStaticImage* RUKAboutImage = nullptr;
    TRUKRichEdit* RUKInfoRichEdit1 = nullptr;
    TRUKStaticText* RUKInfoPgUpText = nullptr;
    TRUKStaticText* RUKInfoScrollUpText = nullptr;
    TRUKStaticText* RUKInfoScrollDownText = nullptr;
    TRUKStaticText* RUKInfoPgDownText = nullptr;
    TTabSheet* WinVerInfoTabSheet1 = nullptr;
    TRUKStaticImage* WindowsLogoImage = nullptr;
    TRUKRichEdit* WindowsVerRichEdit1 = nullptr;
    TRUKStaticText* WinVerPgUpStaticText = nullptr;
    TRUKStaticText* WinVerPgDownStaticText = nullptr;
    TRUKStaticText* WinVerScrollUpStaticText = nullptr;
    TRUKStaticText* WinVerScrollDownStaticText = nullptr;
    TTabSheet* ComprehensiveInfoTabSheet = nullptr;
    TRUKRichEdit* ComprehensiveInfoRichEdit = nullptr;
    TPopupMenu* InfoEditControlsPopupMenu1 = nullptr;
    TMenuItem* InfoRichEditPMSelectAll = nullptr;
    TMenuItem* InfoRichEditPMDeselectAll = nullptr;
    TMenuItem* InfoRichEditPMSep1 = nullptr;
    TMenuItem* InfoRichEditPMCopy = nullptr;
    TMenuItem* InfoRichEditPMPrint = nullptr;
    TButton* SaveInfoAsButton = nullptr;
    TButton* CopyInfoButton = nullptr;
    TButton* OkButton = nullptr;
    TPrintDialog* PrintDialog1 = nullptr;
    TRUKSaveDialog* RUKSaveDialog1 = nullptr;

    // ---- published handlers
    void OnCreateDialog(TObject* sender);
    void OnShowDialog(TObject* sender);
    void OnPaintDialog(TObject* sender);
    void OnCloseDialog(TObject* sender, TCloseAction& action);
    void OnShowTabSheet(TObject* sender);
    void Ok(TObject* sender);
    void OnInfoRichEditKeyUp(TObject* sender, WORD& key);
    void OnShowInfoRichEditPopupMenu(TObject* sender);
    void InfoRichEditSelectAll(TObject* sender);
    void InfoRichEditDeselectAll(TObject* sender);
    void InfoRichEditCopySel(TObject* sender);
    void InfoRichEditCopyText(TObject* sender);
    void InfoRichEditPrintText(TObject* sender);
    void InfoRichEditSaveToFile(TObject* sender);
    void ScrollUp(TObject* sender);
    void ScrollDown(TObject* sender);
    void PageUp(TObject* sender);
    void PageDown(TObject* sender);
    void OnURLClick(TObject* sender, const std::string& linkText);

    // ---- picture sources (page 1, page 2, page 3); chosen lazily and then kept
    std::string GetAppSplashImageFile();
    BYTE GetAppSplashImageKind();
    std::string GetAppSplashImageName();
    std::string GetAppMainModuleImageFile();
    BYTE GetAppMainModuleImageKind();
    std::string GetAppMainModuleImageName();
    std::string GetRUKAboutImageFile();
    BYTE GetRUKAboutImageKind();
    std::string GetRUKAboutImageName();

    // Loads a picture of the given kind into an image: 0, 87 for a missing argument or a kind
    // out of range, or the operating system's error.
    DWORD LoadPicture(const std::string& fileName, BYTE kind, TRUKStaticImage* image, const std::string& name);
    DWORD LoadWindowsLogo(TRUKStaticImage* image);

    // The first rich edit of the active page, or null (page 1 has none).
    TRUKRichEdit* ActiveInfoRichEdit();
    // Lines of a rich edit that fit its client area; -1 when they cannot be told.
    int VisibleLines(TRUKRichEdit* richEdit);
    int LineHeight() const { return FLineHeight; }
    HANDLE LinkThreadHandle() const { return FLinkThreadHandle; }
    DWORD LinkThreadId() const { return FLinkThreadId; }
    DWORD LastError() const { return FLastError; }
    TURLClickQueryEvent OnURLClickQuery;

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    // The host program's file name (the program that loaded the library).
    static std::string HostFileName();
    TNotifyEvent MethodAddress(const std::string& name);

    std::unique_ptr<TRUKVersionInfo> FAppVersionInfo;
    std::unique_ptr<TOperatingSystem> FOperatingSystem;
    std::unique_ptr<TRUKVersionInfo> FKernelVersionInfo;
    std::unique_ptr<TRUKVersionInfo> FIExploreVersionInfo;
    int FLineHeight = 0;
    std::string FAppSplashImageFile;
    BYTE FAppSplashImageKind = pkNone;
    std::string FAppSplashImageName;
    std::string FAppMainModuleImageFile;
    BYTE FAppMainModuleImageKind = pkNone;
    std::string FAppMainModuleImageName;
    std::string FRUKAboutImageFile;
    BYTE FRUKAboutImageKind = pkNone;
    std::string FRUKAboutImageName;
    std::unique_ptr<TRUKAboutURLInfo> FURLInfo;
    HANDLE FLinkThreadHandle = nullptr;
    DWORD FLinkThreadId = 0;
    DWORD FLastError = 0;

private:
    int FKeyHook = -1;
    void ApplyThemeColours();
    void EnableLinks();
    void FillSystemInfoLines(TRUKRichEdit* richEdit);
    void FillComprehensivePage();
    void SetScrollTextsVisibility(TRUKStaticText* pageUp, TRUKStaticText* scrollUp, TRUKStaticText* scrollDown,
                                  TRUKStaticText* pageDown);
    bool NeedsScrolling(TRUKStaticText* text);
    void ApplyUpRule(TRUKStaticText* text);
    void ApplyDownRule(TRUKStaticText* text);
    void ScrollCommand(TObject* sender, int command);
    void LinkThreadDone();
};

// The lines of a rich edit's text as the comprehensive page reads them: each line whole,
// whatever its length, without its line break; an empty last line is no line of its own.
std::vector<std::string> RichEditLines(TRUKRichEdit* richEdit);
// The web browser's program file (its version goes on the Windows page), or empty.
std::string FindIExplore(const std::string& programFiles, const std::string& searchPath);
// Adds lines to a rich edit at its caret, bold where a line says so.
void AddInfoLines(TRUKRichEdit* richEdit, const TInfoLines& lines);

}  // namespace ruk
