#include "RUKVersionInfoDlgV2.h"

#include "Forms.h"
#include "Handles.h"
#include "RUKComponentInfo.h"
#include "RUKProgramFiles.h"
#include "RUKRtlModule.h"
#include "RUKValidHandle.h"
#include "RUKWinTheme.h"

#include <shlwapi.h>

#include <richedit.h>

#include <algorithm>
#include <array>
#include <cstdlib>

namespace ruk {

namespace {

using THandler = void (TRUKVersionInfoDialogV2::*)(TObject*);
struct TPublishedMethod {
    const char* Name;
    THandler Method;
};

#define RUK_METHOD(name) {#name, &TRUKVersionInfoDialogV2::name}
const TPublishedMethod kMethods[] = {
    RUK_METHOD(OnCreateDialog),
    RUK_METHOD(OnShowDialog),
    RUK_METHOD(OnPaintDialog),
    RUK_METHOD(OnShowTabSheet),
    RUK_METHOD(Ok),
    RUK_METHOD(OnShowInfoRichEditPopupMenu),
    RUK_METHOD(InfoRichEditSelectAll),
    RUK_METHOD(InfoRichEditDeselectAll),
    RUK_METHOD(InfoRichEditCopySel),
    RUK_METHOD(InfoRichEditCopyText),
    RUK_METHOD(InfoRichEditPrintText),
    RUK_METHOD(InfoRichEditSaveToFile),
    RUK_METHOD(ScrollUp),
    RUK_METHOD(ScrollDown),
    RUK_METHOD(PageUp),
    RUK_METHOD(PageDown),
};
#undef RUK_METHOD

const char kSampleText[] = "TestygTextW";
const char kSaveFilter[] = "Rich Text Format (RTF) (*.rtf)|*.rtf|Text Document (*.txt)|*.txt|All Files (*.*)|*.*";

// Runs one step of the dialog's set-up; a failing step ends only itself and is not reported.
template <class F>
void Quietly(F&& step) {
    try {
        step();
    } catch (...) {
    }
}

TRUKRichEdit* FirstRichEditOf(TWinControl* parent) {
    if (!parent) return nullptr;
    for (int i = 0; i < parent->ControlCount(); ++i)
        if (auto* edit = dynamic_cast<TRUKRichEdit*>(parent->Controls(i))) return edit;
    return nullptr;
}

// The associated rich edit of a page/scroll text when it has a window; null otherwise.
TRUKRichEdit* AssociatedRichEdit(TRUKStaticText* text) {
    if (!text) return nullptr;
    auto* edit = dynamic_cast<TRUKRichEdit*>(text->AssociatedControl);
    if (!edit || !IsValidHandle(edit->HandleValue())) return nullptr;
    return edit;
}

int LineCount(TRUKRichEdit* edit) {
    return static_cast<int>(SendMessageA(edit->Handle(), EM_GETLINECOUNT, 0, 0));
}

int FirstVisibleLine(TRUKRichEdit* edit) {
    return static_cast<int>(SendMessageA(edit->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0));
}

// One line of a rich edit, read whole: the buffer is sized from the line's length.
std::string RichEditLine(TRUKRichEdit* edit, int line) {
    const HWND wnd = edit->Handle();
    const LRESULT start = SendMessageA(wnd, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
    if (start < 0) return {};
    const LRESULT length = SendMessageA(wnd, EM_LINELENGTH, static_cast<WPARAM>(start), 0);
    // Room for the line break that EM_GETLINE hands out with the line, and for the size word.
    std::string buffer(static_cast<size_t>(length) + 4, '\0');
    *reinterpret_cast<WORD*>(buffer.data()) = static_cast<WORD>(std::min<size_t>(buffer.size(), 0xFFFF));
    const LRESULT copied = SendMessageA(wnd, EM_GETLINE, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(static_cast<size_t>(std::max<LRESULT>(copied, 0)));
    if (buffer.size() >= 2 && buffer.compare(buffer.size() - 2, 2, "\r\n") == 0) buffer.resize(buffer.size() - 2);
    return buffer;
}

void CaretToStart(TRUKRichEdit* edit) {
    edit->SetSelStart(0);
    edit->SetSelLength(0);
}

// Two memory contexts and a new bitmap of the screen's kind, to copy one bitmap into another.
struct TBitmapCopy {
    TMemoryDC Source, Target;
    TGdiObject<HBITMAP> Result;
    TBitmapCopy(int width, int height) {
        const TWindowDC screen(nullptr);
        Source.Reset(CreateCompatibleDC(screen.Get()));
        Target.Reset(CreateCompatibleDC(screen.Get()));
        Result.Reset(CreateCompatibleBitmap(screen.Get(), width, height));
    }
};

// A bitmap that is neither 32-bit nor device-dependent is put on the dialog's colour, the colour
// of its top-left pixel taken as transparent; the composite replaces it.
HBITMAP ComposeOnColour(HBITMAP bitmap, COLORREF colour) {
    DIBSECTION dib{};
    if (GetObjectA(bitmap, sizeof(dib), &dib) != sizeof(dib)) return bitmap;
    if (dib.dsBm.bmBitsPixel == 32) return bitmap;
    const int w = dib.dsBm.bmWidth, h = std::abs(dib.dsBm.bmHeight);
    TBitmapCopy copy(w, h);
    if (!copy.Source || !copy.Target || !copy.Result) return bitmap;
    {
        const HDC source = copy.Source.Get(), target = copy.Target.Get();
        const TSelectedObject selectSource(source, bitmap), selectTarget(target, copy.Result.Get());
        const TGdiObject<HBRUSH> brush(CreateSolidBrush(colour));
        const RECT r{0, 0, w, h};
        FillRect(target, &r, brush.Get());
        TransparentBlt(target, 0, 0, w, h, source, 0, 0, w, h, GetPixel(source, 0, 0));
    }
    DeleteObject(bitmap);
    return copy.Result.Release();
}

// The left part of a bitmap, width x height; the original is released.
HBITMAP CropBitmap(HBITMAP bitmap, int width, int height) {
    TBitmapCopy copy(width, height);
    if (!copy.Result) return bitmap;
    if (copy.Source && copy.Target) {
        const HDC source = copy.Source.Get(), target = copy.Target.Get();
        const TSelectedObject selectSource(source, bitmap), selectTarget(target, copy.Result.Get());
        BitBlt(target, 0, 0, width, height, source, 0, 0, SRCCOPY);
    }
    DeleteObject(bitmap);
    return copy.Result.Release();
}

}  // namespace

std::string FindIExplore(const std::string& programFiles, const std::string& searchPath) {
    if (!programFiles.empty()) {
        const std::string candidate =
            IncludeTrailingPathDelimiter(programFiles) + "Internet Explorer" + "\\" + "IExplore.exe";
        if (FileExists(candidate)) return candidate;
        const std::string quoted = "\"" + candidate + "\"";
        if (PathFileExistsA(quoted.c_str())) return quoted;
    }
    return FileSearch("IExplore.exe", IExploreSearchList(programFiles, searchPath));
}

std::vector<std::string> RichEditLines(TRUKRichEdit* richEdit) {
    // Read as the text's own lines, not the control's display lines: a long line (a long Path)
    // that the control wraps stays one line, whatever its length.
    std::vector<std::string> lines;
    if (!richEdit) return lines;
    const std::string text = richEdit->Text();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\r', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
        if (start < text.size() && text[start] == '\n') ++start;
    }
    return lines;
}

void AddInfoLines(TRUKRichEdit* richEdit, const TInfoLines& lines) {
    for (const TInfoLine& line : lines) {
        if (line.Bold) richEdit->SetSelBold(true);
        richEdit->AddLine(line.Text);
        if (line.Bold) richEdit->SetSelBold(false);
    }
}

// ---------------------------------------------------------------- construction

TNotifyEvent TRUKVersionInfoDialogV2::MethodAddress(const std::string& name) {
    for (const TPublishedMethod& m : kMethods)
        if (name == m.Name) return [this, f = m.Method](TObject* sender) { (this->*f)(sender); };
    if (name == "OnCloseDialog") return [](TObject*) {};  // bound with its close action below
    return nullptr;
}

// The library's own control classes, for the form description. Their units register them too,
// but a unit of a static library that nothing else refers to is left out of the library's
// link, and its registration with it.
void RegisterRtlComponentClasses() {
    static const bool registered = [] {
        RegisterComponentClass("TRUKPageControl", [](TComponent* o) { return new TRUKPageControl(o); });
        RegisterComponentClass("TRUKStaticImage", [](TComponent* o) { return new TRUKStaticImage(o); });
        RegisterComponentClass("TRUKStaticText", [](TComponent* o) { return new TRUKStaticText(o); });
        RegisterComponentClass("TRUKRichEdit", [](TComponent* o) { return new TRUKRichEdit(o); });
        RegisterComponentClass("TRUKSaveDialog", [](TComponent* o) { return new TRUKSaveDialog(o); });
        return true;
    }();
    (void)registered;
}

TRUKVersionInfoDialogV2::TRUKVersionInfoDialogV2(TComponent* owner) : TForm(owner) {
    RegisterRtlComponentClasses();
    LoadDescription(RUKVersionInfoDialogV2Description(), [this](const std::string& name) { return MethodAddress(name); });
#define RUK_FIELD(name) BindField(name, #name)
    RUK_FIELD(BannerBackgroundImage);
    RUK_FIELD(RUKBannerLogo1);
    RUK_FIELD(BannerLine1);
    RUK_FIELD(VerInfoPageControl1);
    RUK_FIELD(AppSplashTabSheet1);
    RUK_FIELD(AppSplashImage);
    RUK_FIELD(AppSplashVerInfoText1);
    RUK_FIELD(AppSplashCopyrightText1);
    RUK_FIELD(AppMainModuleTabSheet1);
    RUK_FIELD(AppMainModuleImage1);
    RUK_FIELD(AppMainModuleVerRichEdit1);
    RUK_FIELD(AppMainModulePgUpText);
    RUK_FIELD(AppMainModuleScrollUpText);
    RUK_FIELD(AppMainModuleScrollDownText);
    RUK_FIELD(AppMainModulePgDownText);
    RUK_FIELD(RUKInfoTabSheet1);
    RUK_FIELD(RUKAboutImage);
    RUK_FIELD(RUKInfoRichEdit1);
    RUK_FIELD(RUKInfoPgUpText);
    RUK_FIELD(RUKInfoScrollUpText);
    RUK_FIELD(RUKInfoScrollDownText);
    RUK_FIELD(RUKInfoPgDownText);
    RUK_FIELD(WinVerInfoTabSheet1);
    RUK_FIELD(WindowsLogoImage);
    RUK_FIELD(WindowsVerRichEdit1);
    RUK_FIELD(WinVerPgUpStaticText);
    RUK_FIELD(WinVerPgDownStaticText);
    RUK_FIELD(WinVerScrollUpStaticText);
    RUK_FIELD(WinVerScrollDownStaticText);
    RUK_FIELD(ComprehensiveInfoTabSheet);
    RUK_FIELD(ComprehensiveInfoRichEdit);
    RUK_FIELD(InfoEditControlsPopupMenu1);
    RUK_FIELD(InfoRichEditPMSelectAll);
    RUK_FIELD(InfoRichEditPMDeselectAll);
    RUK_FIELD(InfoRichEditPMSep1);
    RUK_FIELD(InfoRichEditPMCopy);
    RUK_FIELD(InfoRichEditPMPrint);
    RUK_FIELD(SaveInfoAsButton);
    RUK_FIELD(CopyInfoButton);
    RUK_FIELD(OkButton);
    RUK_FIELD(PrintDialog1);
    RUK_FIELD(RUKSaveDialog1);
#undef RUK_FIELD
    OnClose = [this](TObject* sender, TCloseAction& action) { OnCloseDialog(sender, action); };
    InfoEditControlsPopupMenu1->OnPopup = [this](TObject* sender) { OnShowInfoRichEditPopupMenu(sender); };
    // The link events carry the link's text; the description binds notification events only.
    for (TRUKRichEdit* edit : {RUKInfoRichEdit1, WindowsVerRichEdit1}) {
        auto click = [this](TRichEdit* sender, const std::string& link) { OnURLClick(sender, link); };
        edit->OnLinkLeftBtnDown = click;
        edit->OnLinkLeftBtnDoubleClick = click;
    }

    Quietly([&] { BannerBackgroundImage->Picture().SetBitmap(LoadBitmapA(RtlModule(), "RUKVERINFOBANNERBACKGROUND")); });

    FAppVersionInfo = std::make_unique<TRUKVersionInfo>("");
    FOperatingSystem = std::make_unique<TOperatingSystem>();
    FURLInfo = std::make_unique<TRUKAboutURLInfo>();

    std::string browser = FindIExplore(GetProgramFilesFolder(nullptr), FOperatingSystem->GetSearchPath());
    if (browser.empty()) {
        Application->MessageBox("Internet Explorer NOT found !", Application->Title(), MB_OK);
        browser = "IExplore.exe";
    }
    FIExploreVersionInfo = std::make_unique<TRUKVersionInfo>(browser);

    std::string kernel = FOperatingSystem->GetSystemDirectoryPath();
    kernel = kernel.empty() ? std::string() : IncludeTrailingPathDelimiter(kernel) + "Kernel32.dll";
    if (kernel.empty() || !FileExists(kernel)) kernel = "Kernel32.dll";
    FKernelVersionInfo = std::make_unique<TRUKVersionInfo>(kernel);
}

TRUKVersionInfoDialogV2::~TRUKVersionInfoDialogV2() {
    // A link thread may still be opening its link: it holds its own copies and its own
    // reference on the library, so only its handle is ours to close.
    if (FKeyHook >= 0) Application->RemoveMessageHook(FKeyHook);
    if (IsValidHandle(FLinkThreadHandle)) CloseHandle(FLinkThreadHandle);
    FLinkThreadHandle = nullptr;
    BeforeDestruction();
    FURLInfo.reset();
    FKernelVersionInfo.reset();
    FIExploreVersionInfo.reset();
    FOperatingSystem.reset();
    FAppVersionInfo.reset();
}

std::string TRUKVersionInfoDialogV2::HostFileName() {
    char name[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameA(nullptr, name, MAX_PATH);
    return std::string(name, n);
}

// ---------------------------------------------------------------- the six steps

DWORD TRUKVersionInfoDialogV2::SetupProductInfo() { return 0; }

DWORD TRUKVersionInfoDialogV2::AssignInfoRichEditEvents() {
    // Key releases in the three page rich edits, seen on their way through the message loop.
    if (FKeyHook < 0)
        FKeyHook = Application->AddMessageHook([this](MSG& msg) {
            if (msg.message != WM_KEYUP) return false;
            for (TRUKRichEdit* edit : {AppMainModuleVerRichEdit1, RUKInfoRichEdit1, WindowsVerRichEdit1}) {
                if (edit && edit->HandleAllocated() && msg.hwnd == edit->HandleValue()) {
                    TranslateMessage(&msg);
                    DispatchMessageA(&msg);
                    WORD key = static_cast<WORD>(msg.wParam);
                    OnInfoRichEditKeyUp(edit, key);
                    return true;
                }
            }
            return false;
        });
    return 0;
}

DWORD TRUKVersionInfoDialogV2::SetupHelpContexts() { return 0; }

DWORD TRUKVersionInfoDialogV2::FillVersionDetailsPage(TRUKVersionInfo* versionInfo, TRUKRichEdit* richEdit) {
    if (!versionInfo || !richEdit) return ERROR_INVALID_PARAMETER;
    richEdit->Lines().Clear();
    TVersionDetailsFacts facts;
    facts.ProductName = versionInfo->GetProductName();
    facts.ProductVersion = versionInfo->GetProductVersion();
    facts.FileDescription = versionInfo->GetFileDescription();
    facts.CompanyName = versionInfo->GetCompanyName();
    facts.LegalCopyright = versionInfo->GetLegalCopyright();
    facts.LegalTrademarks = versionInfo->GetLegalTrademarks();
    facts.MainModuleName = ExtractFileName(HostFileName());
    facts.OriginalFilename = versionInfo->GetOriginalFilename();
    facts.FileVersion = versionInfo->GetFileVersion();
    AddInfoLines(richEdit, VersionDetailsLines(facts));
    return 0;
}

DWORD TRUKVersionInfoDialogV2::FillManufacturerInfoPage(TRUKRichEdit* richEdit) {
    if (!richEdit) return ERROR_INVALID_PARAMETER;
    richEdit->Lines().Clear();
    AddInfoLines(richEdit, ManufacturerInfoLines());
    return 0;
}

DWORD TRUKVersionInfoDialogV2::FillWindowsInfoPage(TOperatingSystem* operatingSystem, TRUKRichEdit* richEdit) {
    if (!operatingSystem || !richEdit) return ERROR_INVALID_PARAMETER;
    richEdit->Lines().Clear();
    TWindowsFacts facts;
    facts.ProductName = operatingSystem->GetWindowsProductName();
    facts.Edition = operatingSystem->GetWindowsEdition();
    facts.VersionNumberText = operatingSystem->GetVersionNumberText();
    facts.BuildNumberText = operatingSystem->GetBuildNumberText();
    facts.ServicePackText = operatingSystem->GetServicePackText();
    const DWORD platform = operatingSystem->GetPlatformId();
    facts.Platform = platform == VER_PLATFORM_WIN32_NT        ? TPlatformFamily::NT
                     : platform == VER_PLATFORM_WIN32_WINDOWS ? TPlatformFamily::Win9x
                                                               : TPlatformFamily::Other;
    AddInfoLines(richEdit, WindowsInfoLines(facts));
    return 0;
}

void TRUKVersionInfoDialogV2::FillSystemInfoLines(TRUKRichEdit* richEdit) {
    TSystemFacts facts;
    facts.KernelVersion = FKernelVersionInfo->GetFileVersion();
    auto component = [](const char* library) -> std::optional<std::string> {
        std::string text;
        if (GetComponentVersionText(library, text) != S_OK) return std::nullopt;
        return text;
    };
    facts.ShellVersion = component("Shell32.dll");
    facts.IExploreVersion = FIExploreVersionInfo->GetProductVersion();
    facts.ComCtlVersion = component("ComCtl32.dll");
    facts.ShlWApiVersion = component("ShlWApi.dll");
    facts.ShdocVwVersion = component("ShdocVw.dll");
    facts.UserName = FOperatingSystem->GetUserNameText();
    facts.NamesLastError = FOperatingSystem->LastError();
    facts.ComputerName = FOperatingSystem->GetComputerNameText();
    facts.NamesLastError = FOperatingSystem->LastError();
    facts.SearchPath = FOperatingSystem->GetSearchPath();
    facts.DateTimeText = DateTimeToStr(Now());
    const TMemoryFigures memory = GetMemoryFigures();
    facts.TotalPhysical = memory.TotalPhysical;
    facts.AvailablePhysical = memory.AvailablePhysical;
    facts.MemoryLoad = memory.MemoryLoad;
    AddInfoLines(richEdit, SystemInfoLines(facts));
}

void TRUKVersionInfoDialogV2::FillComprehensivePage() {
    TRUKRichEdit* target = FirstRichEditOf(ComprehensiveInfoTabSheet);
    if (!target) return;
    const int end = target->GetTextLen();
    target->SetSelStart(end);
    target->SetSelLength(0);
    TInfoLines lines;
    for (int i = 0; i < VerInfoPageControl1->PageCount(); ++i) {
        TTabSheet* page = VerInfoPageControl1->Pages(i);
        if (page == target->Parent()) continue;
        if (TRUKRichEdit* source = FirstRichEditOf(page)) AppendComprehensivePage(RichEditLines(source), lines);
    }
    AddInfoLines(target, lines);
}

// ---------------------------------------------------------------- form events

void TRUKVersionInfoDialogV2::OnCreateDialog(TObject*) {
    Quietly([&] { SetText(RtlString(sidAboutCaption)); });
    Quietly([&] {
        RUKBannerLogo1->Picture().SetBitmap(LoadBitmapA(RtlModule(), "RUKVERINFOBANNERLOGO01R96CD24"));
    });
    Quietly([&] {
        const std::string product = FAppVersionInfo->GetProductName();
        const std::string about = RtlString(sidAboutSheet);
        AppSplashTabSheet1->SetText(product.empty() ? TrimRight(about) : about + product);
        AppMainModuleTabSheet1->SetText(RtlString(sidVersionDetailsSheet));
        RUKInfoTabSheet1->SetText(RtlString(sidAboutMakerSheet));
        WinVerInfoTabSheet1->SetText(RtlString(sidAboutWindowsSheet));
    });
    Quietly([&] {
        for (TRUKStaticText* t : {AppMainModulePgUpText, RUKInfoPgUpText, WinVerPgUpStaticText}) t->SetText(RtlString(sidPageUp));
        for (TRUKStaticText* t : {AppMainModuleScrollUpText, RUKInfoScrollUpText, WinVerScrollUpStaticText})
            t->SetText(RtlString(sidScrollUp));
        for (TRUKStaticText* t : {AppMainModuleScrollDownText, RUKInfoScrollDownText, WinVerScrollDownStaticText})
            t->SetText(RtlString(sidScrollDown));
        for (TRUKStaticText* t : {AppMainModulePgDownText, RUKInfoPgDownText, WinVerPgDownStaticText})
            t->SetText(RtlString(sidPageDown));
    });
    Quietly([&] {
        InfoRichEditPMSelectAll->SetCaption(RtlString(sidSelectAll));
        InfoRichEditPMDeselectAll->SetCaption(RtlString(sidClearSelection));
        InfoRichEditPMCopy->SetCaption(RtlString(sidCopy));
        InfoRichEditPMPrint->SetCaption(RtlString(sidPrint));
    });
    Quietly([&] {
        SaveInfoAsButton->SetText(RtlString(sidSaveInfoAs));
        CopyInfoButton->SetText(RtlString(sidCopyInfo));
        OkButton->SetText(RtlString(sidOk));
    });
    SetupHelpContexts();
    SetupProductInfo();
    VerInfoPageControl1->EnableThemeSupport(true);
    ApplyThemeColours();
    EnableLinks();
    AssignInfoRichEditEvents();

    const std::pair<TRUKRichEdit*, std::array<TRUKStaticText*, 4>> pages[] = {
        {AppMainModuleVerRichEdit1,
         {AppMainModulePgUpText, AppMainModuleScrollUpText, AppMainModuleScrollDownText, AppMainModulePgDownText}},
        {RUKInfoRichEdit1, {RUKInfoPgUpText, RUKInfoScrollUpText, RUKInfoScrollDownText, RUKInfoPgDownText}},
        {WindowsVerRichEdit1,
         {WinVerPgUpStaticText, WinVerScrollUpStaticText, WinVerScrollDownStaticText, WinVerPgDownStaticText}},
    };
    for (const auto& [edit, texts] : pages) {
        for (size_t i = 0; i < texts.size(); ++i) {
            texts[i]->AssociatedControl = edit;
            texts[i]->NextStaticText = texts[(i + 1) % texts.size()];
        }
    }

    const DWORD major = FOperatingSystem->GetMajorVersion();
    const DWORD minor = FOperatingSystem->GetMinorVersion();
    FRUKAboutImageName = (major < 5 || (major == 5 && minor == 0)) ? "RUKLOGOBUTTON01S128CD24" : "RUKLOGOBUTTON01S128CD32";
    FRUKAboutImageKind = pkBitmap;

    for (TTabSheet* sheet : {AppSplashTabSheet1, AppMainModuleTabSheet1, RUKInfoTabSheet1, WinVerInfoTabSheet1})
        sheet->OnShow = nullptr;
}

void TRUKVersionInfoDialogV2::EnableLinks() {
    for (TRUKRichEdit* edit : {AppMainModuleVerRichEdit1, RUKInfoRichEdit1, WindowsVerRichEdit1}) {
        edit->SetAutoURLDetect(true);
        edit->SetLinkNotification(true);
    }
}

void TRUKVersionInfoDialogV2::ApplyThemeColours() {
    const bool themed = VerInfoPageControl1->IsThemed();
    for (TRUKStaticImage* image : {AppSplashImage, AppMainModuleImage1, RUKAboutImage, WindowsLogoImage})
        image->ParentThemed = themed;
    for (TRUKStaticText* text : {AppSplashVerInfoText1, AppSplashCopyrightText1, AppMainModulePgUpText,
                                 AppMainModuleScrollUpText, AppMainModuleScrollDownText, AppMainModulePgDownText,
                                 RUKInfoPgUpText, RUKInfoScrollUpText, RUKInfoScrollDownText, RUKInfoPgDownText,
                                 WinVerPgUpStaticText, WinVerPgDownStaticText, WinVerScrollUpStaticText,
                                 WinVerScrollDownStaticText})
        text->ParentThemed = themed;
    if (!themed) {
        for (TRUKStaticImage* image : {AppMainModuleImage1, RUKAboutImage, WindowsLogoImage}) image->SetParentColor(true);
        return;
    }
    HTHEME theme = OpenThemeData(WinVerInfoTabSheet1->Handle(), L"Tab");
    const COLORREF window = GetThemeSysColor(theme, COLOR_WINDOW);
    CloseThemeData(theme);
    for (TRUKRichEdit* edit : {AppMainModuleVerRichEdit1, RUKInfoRichEdit1, WindowsVerRichEdit1}) edit->SetColor(window);
}

void TRUKVersionInfoDialogV2::OnShowDialog(TObject*) {
    EnableLinks();
    for (TRUKStaticImage* image : {AppSplashImage, AppMainModuleImage1, RUKAboutImage}) image->SetBounds(image->Left(), image->Top(), 128, 128);
    OnShowTabSheet(this);
    FillVersionDetailsPage(FAppVersionInfo.get(), AppMainModuleVerRichEdit1);
    CaretToStart(AppMainModuleVerRichEdit1);
    FillManufacturerInfoPage(RUKInfoRichEdit1);
    CaretToStart(RUKInfoRichEdit1);
    FillWindowsInfoPage(FOperatingSystem.get(), WindowsVerRichEdit1);
    FillSystemInfoLines(WindowsVerRichEdit1);
    CaretToStart(WindowsVerRichEdit1);

    const HCURSOR hand = LoadCursorA(nullptr, IDC_HAND);
    for (TRUKStaticText* text : {AppMainModulePgUpText, AppMainModuleScrollUpText, AppMainModuleScrollDownText,
                                 AppMainModulePgDownText, RUKInfoPgUpText, RUKInfoScrollUpText, RUKInfoScrollDownText,
                                 RUKInfoPgDownText, WinVerPgUpStaticText, WinVerPgDownStaticText,
                                 WinVerScrollUpStaticText, WinVerScrollDownStaticText})
        text->SetCursor(hand);
    FLineHeight = TextHeight(kSampleText);

    SetScrollTextsVisibility(AppMainModulePgUpText, AppMainModuleScrollUpText, AppMainModuleScrollDownText,
                             AppMainModulePgDownText);
    SetScrollTextsVisibility(RUKInfoPgUpText, RUKInfoScrollUpText, RUKInfoScrollDownText, RUKInfoPgDownText);
    SetScrollTextsVisibility(WinVerPgUpStaticText, WinVerScrollUpStaticText, WinVerScrollDownStaticText,
                             WinVerPgDownStaticText);
    FillComprehensivePage();
}

void TRUKVersionInfoDialogV2::SetScrollTextsVisibility(TRUKStaticText* pageUp, TRUKStaticText* scrollUp,
                                                      TRUKStaticText* scrollDown, TRUKStaticText* pageDown) {
    const bool up = NeedsScrolling(pageUp);
    pageUp->SetVisible(up);
    scrollUp->SetVisible(up);
    const bool down = NeedsScrolling(pageDown);
    pageDown->SetVisible(down);
    scrollDown->SetVisible(down);
    ApplyUpRule(pageUp);
    ApplyUpRule(scrollUp);
}

void TRUKVersionInfoDialogV2::OnShowTabSheet(TObject*) {
    const DWORD splash = LoadPicture(GetAppSplashImageFile(), GetAppSplashImageKind(), AppSplashImage, GetAppSplashImageName());
    if (splash != 0) Application->MessageBox("LoadAppSplashImage failed with error code: " + std::to_string(splash), Application->Title(),
                                MB_OK);
    LoadPicture(GetAppMainModuleImageFile(), GetAppMainModuleImageKind(), AppMainModuleImage1, GetAppMainModuleImageName());
    LoadWindowsLogo(WindowsLogoImage);
    LoadPicture(GetRUKAboutImageFile(), GetRUKAboutImageKind(), RUKAboutImage, GetRUKAboutImageName());
}

void TRUKVersionInfoDialogV2::OnPaintDialog(TObject*) {
    ApplyThemeColours();
    FLineHeight = TextHeight(kSampleText);
}

void TRUKVersionInfoDialogV2::OnCloseDialog(TObject*, TCloseAction& action) { action = TCloseAction::caFree; }

void TRUKVersionInfoDialogV2::Ok(TObject*) { Close(); }

// ---------------------------------------------------------------- pictures

std::string TRUKVersionInfoDialogV2::GetAppSplashImageFile() {
    if (FAppSplashImageFile.empty()) FAppSplashImageFile = HostFileName();
    return FAppSplashImageFile;
}

std::string TRUKVersionInfoDialogV2::GetAppMainModuleImageFile() {
    if (FAppMainModuleImageFile.empty()) FAppMainModuleImageFile = HostFileName();
    return FAppMainModuleImageFile;
}

std::string TRUKVersionInfoDialogV2::GetRUKAboutImageFile() { return FRUKAboutImageFile; }

BYTE TRUKVersionInfoDialogV2::GetAppSplashImageKind() {
    if (FAppSplashImageKind == pkNone) FAppSplashImageKind = PictureKindOfFile(GetAppSplashImageFile(), pkIcon, FLastError);
    return FAppSplashImageKind;
}

BYTE TRUKVersionInfoDialogV2::GetAppMainModuleImageKind() {
    if (FAppMainModuleImageKind == pkNone)
        FAppMainModuleImageKind = PictureKindOfFile(GetAppMainModuleImageFile(), pkIcon, FLastError);
    return FAppMainModuleImageKind;
}

BYTE TRUKVersionInfoDialogV2::GetRUKAboutImageKind() {
    if (FRUKAboutImageKind == pkNone) FRUKAboutImageKind = PictureKindOfFile(GetRUKAboutImageFile(), pkBitmap, FLastError);
    return FRUKAboutImageKind;
}

std::string TRUKVersionInfoDialogV2::GetAppSplashImageName() {
    if (FAppSplashImageName.empty() &&
        (FAppSplashImageFile.empty() || AnsiCompareText(FAppSplashImageFile, HostFileName()) == 0))
        FAppSplashImageName = "MAINICON";
    return FAppSplashImageName;
}

std::string TRUKVersionInfoDialogV2::GetAppMainModuleImageName() {
    if (FAppMainModuleImageName.empty() &&
        (FAppMainModuleImageFile.empty() || AnsiCompareText(FAppMainModuleImageFile, HostFileName()) == 0))
        FAppMainModuleImageName = "MAINICON";
    return FAppMainModuleImageName;
}

std::string TRUKVersionInfoDialogV2::GetRUKAboutImageName() { return FRUKAboutImageName; }

DWORD TRUKVersionInfoDialogV2::LoadPicture(const std::string& fileName, BYTE kind, TRUKStaticImage* image,
                                         const std::string& name) {
    if (!image || kind < pkIcon || kind > pkMetafile) return ERROR_INVALID_PARAMETER;
    const int width = image->Width(), height = image->Height();
    switch (kind) {
    case pkIcon: {
        HICON icon = nullptr;
        if (fileName.empty()) {
            if (name.empty()) return ERROR_INVALID_PARAMETER;
            icon = static_cast<HICON>(::LoadImageA(RtlModule(), name.c_str(), IMAGE_ICON, width, height, LR_DEFAULTCOLOR));
        } else if (!name.empty()) {
            HMODULE module = LoadLibraryExA(fileName.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
            if (!IsValidHandle(module)) return GetLastError();
            icon = static_cast<HICON>(::LoadImageA(module, name.c_str(), IMAGE_ICON, width, height, LR_DEFAULTCOLOR));
            FreeLibrary(module);
        } else {
            icon = static_cast<HICON>(::LoadImageA(nullptr, fileName.c_str(), IMAGE_ICON, width, height, LR_LOADFROMFILE));
            if (!IsValidHandle(icon)) return GetLastError();
        }
        // A missing icon in an opened module is no error: the picture stays empty.
        if (icon) image->Picture().SetIcon(icon);
        return 0;
    }
    case pkBitmap: {
        HBITMAP bitmap = nullptr;
        if (fileName.empty()) {
            if (name.empty()) return ERROR_INVALID_PARAMETER;
            bitmap = LoadBitmapA(RtlModule(), name.c_str());
        } else if (!name.empty()) {
            HMODULE module = LoadLibraryExA(fileName.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
            if (!IsValidHandle(module)) return GetLastError();
            bitmap = LoadBitmapA(module, name.c_str());
            FreeLibrary(module);
        } else {
            bitmap = static_cast<HBITMAP>(::LoadImageA(nullptr, fileName.c_str(), IMAGE_BITMAP, 0, 0,
                                                     LR_LOADFROMFILE | LR_CREATEDIBSECTION));
            if (!bitmap) return GetLastError();
            bitmap = ComposeOnColour(bitmap, Color());
        }
        if (bitmap) image->Picture().SetBitmap(bitmap);
        return 0;
    }
    default: {
        if (fileName.empty()) {
            if (name.empty()) return ERROR_INVALID_PARAMETER;
            image->Picture().SetMetafile(nullptr);
            return 0;
        }
        if (!name.empty()) {
            HMODULE module = LoadLibraryExA(fileName.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
            if (!IsValidHandle(module)) return GetLastError();
            FreeLibrary(module);
            image->Picture().SetMetafile(nullptr);
            return 0;
        }
        HENHMETAFILE metafile = GetEnhMetaFileA(fileName.c_str());
        if (!metafile) return GetLastError();
        image->Picture().SetMetafile(metafile);
        return 0;
    }
    }
}

DWORD TRUKVersionInfoDialogV2::LoadWindowsLogo(TRUKStaticImage* image) {
    if (!image) return ERROR_INVALID_PARAMETER;
    if (FOperatingSystem->GetPlatformId() != VER_PLATFORM_WIN32_NT) return 0;
    const DWORD major = FOperatingSystem->GetMajorVersion();
    char windows[MAX_PATH + 1] = {};
    const UINT n = GetWindowsDirectoryA(windows, sizeof(windows));
    const TWindowsLogoSource source = WindowsLogoSource(major, std::string(windows, n));
    HMODULE module = LoadLibraryExA(source.Module.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!IsValidHandle(module)) {
        const DWORD error = GetLastError();
        Application->MessageBox(source.Module + "\r\n" + std::to_string(error), Application->Title(), MB_OK);
        return error;
    }
    HBITMAP logo = LoadBitmapA(module, MAKEINTRESOURCEA(source.BitmapId));
    FreeLibrary(module);
    if (!logo) return 0;
    BITMAP info{};
    GetObjectA(logo, sizeof(info), &info);
    if (info.bmWidth > 128 && major >= 10) logo = CropBitmap(logo, 128, info.bmHeight);
    image->Picture().SetBitmap(logo);
    return 0;
}

// ---------------------------------------------------------------- scrolling (Part of the commands)

TRUKRichEdit* TRUKVersionInfoDialogV2::ActiveInfoRichEdit() {
    return FirstRichEditOf(VerInfoPageControl1 ? VerInfoPageControl1->ActivePage() : nullptr);
}

int TRUKVersionInfoDialogV2::VisibleLines(TRUKRichEdit* richEdit) {
    // The page rich edits take the form's font, whose line height FLineHeight holds.
    if (!richEdit || FLineHeight <= 0) return -1;
    const RECT r = richEdit->ClientRect();
    return (r.bottom - r.top) / FLineHeight;
}

bool TRUKVersionInfoDialogV2::NeedsScrolling(TRUKStaticText* text) {
    TRUKRichEdit* edit = AssociatedRichEdit(text);
    if (!edit) return false;
    const int visible = VisibleLines(edit);
    const int count = LineCount(edit);
    if (visible + 1 < count) return true;
    if (visible + 1 != count) return false;
    const std::string line = RichEditLine(edit, visible);
    return !(line.empty() || line == "\r" || line == "\n" || line == "\r\n");
}

void TRUKVersionInfoDialogV2::ApplyUpRule(TRUKStaticText* text) {
    TRUKRichEdit* edit = AssociatedRichEdit(text);
    text->SetEnabled(edit && FirstVisibleLine(edit) > 0);
}

void TRUKVersionInfoDialogV2::ApplyDownRule(TRUKStaticText* text) {
    TRUKRichEdit* edit = AssociatedRichEdit(text);
    if (!edit) {
        text->SetEnabled(false);
        return;
    }
    text->SetEnabled(VisibleLines(edit) < LineCount(edit) - FirstVisibleLine(edit));
}

namespace {
enum TScrollCommand { scScrollUp, scScrollDown, scPageUp, scPageDown };
}

void TRUKVersionInfoDialogV2::ScrollCommand(TObject* sender, int command) {
    auto* text = dynamic_cast<TRUKStaticText*>(sender);
    if (!text) return;
    auto* edit = dynamic_cast<TRUKRichEdit*>(text->AssociatedControl);
    if (!edit || VisibleLines(edit) < 0) return;
    const HWND wnd = edit->Handle();
    switch (command) {
    case scScrollUp: SendMessageA(wnd, EM_LINESCROLL, 0, -1); break;
    case scScrollDown: SendMessageA(wnd, EM_LINESCROLL, 0, 1); break;
    case scPageUp: SendMessageA(wnd, EM_SCROLL, SB_PAGEUP, 0); break;
    default: SendMessageA(wnd, EM_SCROLL, SB_PAGEDOWN, 0); break;
    }
    // The rule of each text in the ring, starting with the one clicked.
    using TRule = void (TRUKVersionInfoDialogV2::*)(TRUKStaticText*);
    const TRule up = &TRUKVersionInfoDialogV2::ApplyUpRule, down = &TRUKVersionInfoDialogV2::ApplyDownRule;
    std::array<TRule, 4> rules{};
    switch (command) {
    case scScrollUp: rules = {up, down, down, up}; break;
    case scScrollDown: rules = {down, down, up, up}; break;
    case scPageUp: rules = {up, up, down, down}; break;
    default: break;
    }
    if (command == scPageDown) {
        // After a page down the way up is open, whether or not the text moved.
        const int visible = VisibleLines(edit);
        const bool more = visible < LineCount(edit) - (FirstVisibleLine(edit) + 1);
        text->SetEnabled(more);
        const bool next[] = {true, true, more};
        TRUKStaticText* t = text;
        for (bool enabled : next) {
            t = t->NextStaticText;
            if (!t) return;
            t->SetEnabled(enabled);
        }
        return;
    }
    TRUKStaticText* t = text;
    for (size_t i = 0; i < rules.size(); ++i) {
        (this->*rules[i])(t);
        if (i + 1 == rules.size()) break;
        t = t->NextStaticText;
        if (!t) return;
    }
}

void TRUKVersionInfoDialogV2::ScrollUp(TObject* sender) { ScrollCommand(sender, scScrollUp); }
void TRUKVersionInfoDialogV2::ScrollDown(TObject* sender) { ScrollCommand(sender, scScrollDown); }
void TRUKVersionInfoDialogV2::PageUp(TObject* sender) { ScrollCommand(sender, scPageUp); }
void TRUKVersionInfoDialogV2::PageDown(TObject* sender) { ScrollCommand(sender, scPageDown); }

void TRUKVersionInfoDialogV2::OnInfoRichEditKeyUp(TObject* sender, WORD&) {
    if (sender != WindowsVerRichEdit1) return;
    ApplyUpRule(WinVerPgUpStaticText);
    ApplyUpRule(WinVerScrollUpStaticText);
    ApplyDownRule(WinVerScrollDownStaticText);
    ApplyDownRule(WinVerPgDownStaticText);
}

// ---------------------------------------------------------------- popup menu, copy, save, print

void TRUKVersionInfoDialogV2::OnShowInfoRichEditPopupMenu(TObject*) {
    TRUKRichEdit* edit = ActiveInfoRichEdit();
    if (!edit) return;
    const int selected = edit->SelLength();
    if (selected != 0) {
        InfoRichEditPMSelectAll->SetEnabled(selected < edit->GetTextLen());
        InfoRichEditPMDeselectAll->SetEnabled(true);
        InfoRichEditPMCopy->SetEnabled(true);
    } else {
        InfoRichEditPMSelectAll->SetEnabled(true);
        InfoRichEditPMDeselectAll->SetEnabled(false);
        InfoRichEditPMCopy->SetEnabled(false);
    }
}

void TRUKVersionInfoDialogV2::InfoRichEditSelectAll(TObject*) {
    if (TRUKRichEdit* edit = ActiveInfoRichEdit()) edit->SelectAll();
}

void TRUKVersionInfoDialogV2::InfoRichEditDeselectAll(TObject*) {
    if (TRUKRichEdit* edit = ActiveInfoRichEdit()) CaretToStart(edit);
    InfoRichEditPMDeselectAll->SetEnabled(false);
}

void TRUKVersionInfoDialogV2::InfoRichEditCopySel(TObject*) {
    if (TRUKRichEdit* edit = ActiveInfoRichEdit()) edit->CopyToClipboard();
}

void TRUKVersionInfoDialogV2::InfoRichEditCopyText(TObject* sender) {
    if (VerInfoPageControl1->ActivePage() == AppSplashTabSheet1) {
        ComprehensiveInfoRichEdit->SelectAll();
        ComprehensiveInfoRichEdit->CopyToClipboard();
        CaretToStart(ComprehensiveInfoRichEdit);
        return;
    }
    InfoRichEditSelectAll(sender);
    InfoRichEditCopySel(sender);
    InfoRichEditDeselectAll(sender);
}

void TRUKVersionInfoDialogV2::InfoRichEditPrintText(TObject*) {
    TRUKRichEdit* edit = ActiveInfoRichEdit();
    if (!edit) return;
    if (PrintDialog1->Execute()) edit->Print("Test");
}

void TRUKVersionInfoDialogV2::InfoRichEditSaveToFile(TObject*) {
    if (!RUKSaveDialog1) RUKSaveDialog1 = new TRUKSaveDialog(this);
    RUKSaveDialog1->Filter = kSaveFilter;
    RUKSaveDialog1->Options = ofOverwritePrompt | ofHideReadOnly | ofNoReadOnlyReturn | ofNoTestFileCreate | ofEnableSizing;
    RUKSaveDialog1->Title = "Save Version Info";
    RUKSaveDialog1->FileName = Format("%s Version Info", FAppVersionInfo->GetProductName().c_str());
    if (!RUKSaveDialog1->Execute()) return;
    TRUKRichEdit* source =
        VerInfoPageControl1->ActivePage() == AppSplashTabSheet1 ? ComprehensiveInfoRichEdit : ActiveInfoRichEdit();
    if (!source) return;
    const bool plainText = source->PlainText();
    const int filter = RUKSaveDialog1->FilterIndex;
    if (filter == 1) source->SetPlainText(false);
    if (filter == 2) source->SetPlainText(true);
    std::string fileName = RUKSaveDialog1->FileName;
    const std::string ext = ExtractFileExt(fileName);
    if (ext.empty()) {
        if (filter == 1) fileName += ".rtf";
        if (filter == 2) fileName += ".txt";
    } else if (SameText(ext, ".txt")) {
        source->SetPlainText(true);
    } else if (SameText(ext, ".rtf")) {
        source->SetPlainText(false);
    }
    source->Lines().SaveToFile(fileName);
    source->SetPlainText(plainText);
}

// ---------------------------------------------------------------- links

void TRUKVersionInfoDialogV2::OnURLClick(TObject* sender, const std::string& linkText) {
    bool accept = true;
    if (OnURLClickQuery) {
        accept = false;
        OnURLClickQuery(sender, linkText, accept);
    }
    if (!accept || FLinkThreadHandle) return;
    FURLInfo->FHandle = Handle();
    FURLInfo->FURL = linkText;
    FLinkThreadHandle = StartOpenLinkThread(*FURLInfo, FLinkThreadId);
}

void TRUKVersionInfoDialogV2::LinkThreadDone() {
    if (IsValidHandle(FLinkThreadHandle) && CloseHandle(FLinkThreadHandle)) {
        FLinkThreadHandle = nullptr;
        FLinkThreadId = 0;
    }
}

LRESULT TRUKVersionInfoDialogV2::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_LINKTHREADDONE) {
        LinkThreadDone();
        return 0;
    }
    return TForm::WndProc(msg, wp, lp);
}

}  // namespace ruk
