#include "RUKLexmillMain.h"

#include "RUKDynShlWAPI.h"

#include <commctrl.h>
#include <shlwapi.h>

namespace ruk {

TSDIAppForm* SDIAppForm = nullptr;

namespace {
using THandler = void (TSDIAppForm::*)(TObject*);
struct TPublishedMethod {
    const char* Name;
    THandler Method;
};

#define RUK_METHOD(name) {#name, &TSDIAppForm::name}
const TPublishedMethod kMethods[] = {
    RUK_METHOD(OnCreate),
    RUK_METHOD(OnShow),
    RUK_METHOD(OnDestroy),
    RUK_METHOD(ViewSourceFileExec),
    RUK_METHOD(ViewBrowserExec),
    RUK_METHOD(ViewStrippedContentsExec),
    RUK_METHOD(ViewDistinctWordListExec),
    RUK_METHOD(ViewKewordListExec),
    RUK_METHOD(ViewAutoFindAndAddExec),
    RUK_METHOD(ViewSuppressWordsListExec),
    RUK_METHOD(ViewLogExec),
    RUK_METHOD(ViewBrowserGoBackExec),
    RUK_METHOD(ViewBrowserGoForwardExec),
    RUK_METHOD(ViewBrowserGoHomeExec),
    RUK_METHOD(BrowseBackExec),
    RUK_METHOD(BrowseForwardExec),
    RUK_METHOD(BrowseHomeExec),
    RUK_METHOD(OnRichEditSelectionChange),
};
#undef RUK_METHOD

// SHACF_DEFAULT: completion of file-system paths and URLs, as the system's settings say.
constexpr DWORD kAutoCompleteDefault = 0;
}  // namespace

TNotifyEvent TSDIAppForm::MethodAddress(const std::string& name) {
    for (const TPublishedMethod& m : kMethods)
        if (name == m.Name) return [this, f = m.Method](TObject* sender) { (this->*f)(sender); };
    return nullptr;
}

TSDIAppForm::TSDIAppForm(TComponent* owner) : TForm(owner) {
    LoadDescription(SDIAppFormDescription(), [this](const std::string& name) { return MethodAddress(name); });
#define RUK_FIELD(name) BindField(name, #name)
    RUK_FIELD(ImageList1);
    RUK_FIELD(ActionList1);
    RUK_FIELD(OpenDialog);
    RUK_FIELD(SaveDialog);
    RUK_FIELD(SaveExportFileDialog);
    RUK_FIELD(MainMenu1);
    RUK_FIELD(SourceFilePopupMenu);
    RUK_FIELD(StrippedContentsPopupMenu);
    RUK_FIELD(DistinctWordsPopupMenu);
    RUK_FIELD(KeywordsPopupMenu1);
    RUK_FIELD(AutoFindPopupMenu);
    RUK_FIELD(SuppressedWordsPopupMenu);
    RUK_FIELD(LogPopupMenu);
    RUK_FIELD(CoolBar1);
    RUK_FIELD(ToolBar1);
    RUK_FIELD(SourceFilesPanel1);
    RUK_FIELD(SourceFilesComboBoxEx);
    RUK_FIELD(SelSourceFilesButton1);
    RUK_FIELD(KeywordEditPanel1);
    RUK_FIELD(KeywordEditComboBox1);
    RUK_FIELD(ApplyKeywordButton1);
    RUK_FIELD(StatusBar);
    RUK_FIELD(PageControl1);
    RUK_FIELD(SourceFileTabSheet1);
    RUK_FIELD(HTMLSourceFileRichEdit1);
    RUK_FIELD(BrowserTabSheet1);
    RUK_FIELD(WebBrowser1);
    RUK_FIELD(StrippedContentsTabSheet1);
    RUK_FIELD(StrippedContentsRichEdit1);
    RUK_FIELD(DistinctWordsListTabSheet1);
    RUK_FIELD(DistinctWordsLisRichEdit1);
    RUK_FIELD(Splitter1);
    RUK_FIELD(DistinctWordsListView1);
    RUK_FIELD(KeywordsTabSheet1);
    RUK_FIELD(KeywordsTreeView1);
    RUK_FIELD(Splitter2);
    RUK_FIELD(KeywordsListView1);
    RUK_FIELD(AutoFindAndAddTabSheet1);
    RUK_FIELD(AutoFindListView1);
    RUK_FIELD(SuppressWordsTabSheet1);
    RUK_FIELD(SupressedWordsRichEdit1);
    RUK_FIELD(LogTabSheet1);
    RUK_FIELD(LogRichEdit1);
    RUK_FIELD(FileSelSourceFiles1);
    RUK_FIELD(FileSelSourceFiles2);
    RUK_FIELD(FileNew1);
    RUK_FIELD(FileOpen1);
    RUK_FIELD(FileOpenKeywordList1);
    RUK_FIELD(FileOpenSuppressWordList);
    RUK_FIELD(FileOpenStrippedContentss);
    RUK_FIELD(FileSave1);
    RUK_FIELD(FileSaveSourceFile);
    RUK_FIELD(FileSaveBrowserFile);
    RUK_FIELD(FileSaveStrippedContents);
    RUK_FIELD(FileSaveDistinctWordsList);
    RUK_FIELD(FileSaveKeywordList);
    RUK_FIELD(FileSaveSuppressWordList);
    RUK_FIELD(FileSaveLog);
    RUK_FIELD(FileSaveAs1);
    RUK_FIELD(FileSaveSourceFileAs);
    RUK_FIELD(FileSaveBrowserFileAs);
    RUK_FIELD(FileSvaeStrippedContentsAs);
    RUK_FIELD(FileSaveDistinctWordsListAs);
    RUK_FIELD(FileSaveKeywordListAs);
    RUK_FIELD(FileSaveSuppressWordListAs);
    RUK_FIELD(FileSaveLogAs);
    RUK_FIELD(FileSaveAll);
    RUK_FIELD(FileExportDistinctWordsAsCsv);
    RUK_FIELD(FileExportAsKeywordsMetaTag);
    RUK_FIELD(FileExportAsChmKeywordsFile);
    RUK_FIELD(FileClose);
    RUK_FIELD(FileCloseAll);
    RUK_FIELD(FileExit1);
    RUK_FIELD(EditUndo1);
    RUK_FIELD(EditRedo1);
    RUK_FIELD(EditCut1);
    RUK_FIELD(EditCopy1);
    RUK_FIELD(EditPaste1);
    RUK_FIELD(EditDelete1);
    RUK_FIELD(EditSelectAll);
    RUK_FIELD(EditClearSelection);
    RUK_FIELD(EditReadOnly1);
    RUK_FIELD(EditAddAsKeyword);
    RUK_FIELD(EditAddAsKeywords);
    RUK_FIELD(EditAddAsKeywordsFromRE);
    RUK_FIELD(EditAddAsKeywordsFromLV);
    RUK_FIELD(EditApplyKeywordChanges);
    RUK_FIELD(EditAddDocToKeywords);
    RUK_FIELD(EditAddStrippedFileAsLink);
    RUK_FIELD(ViewSourceFile);
    RUK_FIELD(ViewBrowser);
    RUK_FIELD(ViewStrippedContents);
    RUK_FIELD(ViewDistinctWordList);
    RUK_FIELD(ViewKeywordList);
    RUK_FIELD(ViewAutoFindAndAdd);
    RUK_FIELD(ViewSuppressWordsList);
    RUK_FIELD(ViewLog);
    RUK_FIELD(ViewBrowserGoBack);
    RUK_FIELD(ViewBrowserGoForward);
    RUK_FIELD(ViewBrowserGoHome);
    RUK_FIELD(BrowseOpenURL1);
    RUK_FIELD(BrowseBack1);
    RUK_FIELD(BrowseForward1);
    RUK_FIELD(BrowseHome1);
    RUK_FIELD(AssignmentRun1);
    RUK_FIELD(AssignmentSuspend);
    RUK_FIELD(AssignmentResume1);
    RUK_FIELD(AssignmentCancel);
    RUK_FIELD(AssignmentAutoFindAndAdd);
    RUK_FIELD(HelpRUKOnTheInternet);
    RUK_FIELD(HelpLexmillHomePage);
    RUK_FIELD(HelpAbout1);
#undef RUK_FIELD
    FillMainImageList(*ImageList1);
    if (!SDIAppForm) SDIAppForm = this;
}

TSDIAppForm::~TSDIAppForm() {
    BeforeDestruction();
    if (SDIAppForm == this) SDIAppForm = nullptr;
}

void TSDIAppForm::BeforeDestruction() {
    if (!Destroying()) {
        StopThread(FConvertThread);
        StopThread(FWordListThread);
    }
    TForm::BeforeDestruction();
}

// ---------------------------------------------------------------- lifecycle

int TSDIAppForm::SetApplicationIcon() {
    int result = 0;
    try {
        TIcon icon;
        HICON handle = LoadIconA(GetModuleHandleA(nullptr), "DEFICON1");
        if (handle) {
            icon.SetHandle(handle);
            AssignApplicationIcon(icon);
            result = 0;
        } else {
            result = static_cast<int>(GetLastError());
        }
    } catch (const EAccessViolation&) {
        result = static_cast<int>(GetLastError());
        if (result == 0) result = -1;
    }
    return result;
}

void TSDIAppForm::OnCreate(TObject*) {
    SetApplicationIcon();
    // The library is found by the system's search order; a missing one is not an error here.
    FRtlLibrary = LoadLibraryA("RUKLexmillRtl.dll");
    FSettings = std::make_unique<TRegistryIniFile>(kSettingsKey, KEY_ALL_ACCESS);
    FLastSourceFilePath = FSettings->ReadString(kRecentSection, "LastSourceFilePath", "");
    FLastStrippedContentsPath = FSettings->ReadString(kRecentSection, "LastStrippedContentsPath", "");
    FLastBrowserFilePath = FSettings->ReadString(kRecentSection, "LastBrowserFilePath", "");
    FLastSuppressWordListPath = FSettings->ReadString(kRecentSection, "LastSuppressWordListPath", "");
    FLastKeywordListPath = FSettings->ReadString(kRecentSection, "LastKeywordListPath", "");
    FLastLogFilePath = FSettings->ReadString(kRecentSection, "LastLogFilePath", "");
    FLastKeywordsMetaTagsPath = FSettings->ReadString(kRecentSection, "LastKeywordsMetaTagsPath", "");
    FLastCHMIndexFilesPath = FSettings->ReadString(kRecentSection, "LastCHMIndexFilesPath", "");
    HTMLSourceFileRichEdit1->Clear();
    StrippedContentsRichEdit1->Clear();
    DistinctWordsLisRichEdit1->Clear();
    DistinctWordsListView1->Items().Clear();
    SupressedWordsRichEdit1->Clear();
    LogRichEdit1->Clear();
}

void TSDIAppForm::OnShow(TObject*) {
    HWND sourceEdit = reinterpret_cast<HWND>(SendMessageA(SourceFilesComboBoxEx->Handle(), CBEM_GETEDITCONTROL, 0, 0));
    TSHAutoComplete autoComplete = PAddrSHAutoComplete();
    autoComplete(sourceEdit, kAutoCompleteDefault);
    SourceFilesComboBoxEx->SetText("");
    SendMessageW(sourceEdit, EM_SETCUEBANNER, 0,
                 reinterpret_cast<LPARAM>(L"Enter path or URL of file to strip of its tags here"));
    HWND keywordEdit = reinterpret_cast<HWND>(SendMessageA(KeywordEditComboBox1->Handle(), CBEM_GETEDITCONTROL, 0, 0));
    KeywordEditComboBox1->SetText("");
    SendMessageW(keywordEdit, EM_SETCUEBANNER, 0,
                 reinterpret_cast<LPARAM>(L"You can also enter and/or edit the keyword to add here"));
    // Without a settings store (its creation failed in OnCreate) there is nothing to reload.
    if (!FSettings) throw EInvalidOperation("The settings store is not open");
    FSuppressWordListFile = FSettings->ReadString(kRecentSection, "LastSuppressWordListFile", "");
    if (!FSuppressWordListFile.empty()) SupressedWordsRichEdit1->Lines().LoadFromFile(FSuppressWordListFile);
}

void TSDIAppForm::OnDestroy(TObject*) {
    if (FRtlLibrary) FreeLibrary(FRtlLibrary);
    FRtlLibrary = nullptr;
    FSettings.reset();
}

// ---------------------------------------------------------------- pages

TRichEdit* TSDIAppForm::GetActiveRichEdit() {
    TTabSheet* page = PageControl1->ActivePage();
    if (page == SourceFileTabSheet1) return HTMLSourceFileRichEdit1;
    if (page == StrippedContentsTabSheet1) return StrippedContentsRichEdit1;
    if (page == DistinctWordsListTabSheet1) return DistinctWordsLisRichEdit1;
    if (page == SuppressWordsTabSheet1) return SupressedWordsRichEdit1;
    if (page == LogTabSheet1) return LogRichEdit1;
    return nullptr;
}

TListView* TSDIAppForm::GetActiveListView() {
    TTabSheet* page = PageControl1->ActivePage();
    if (page == DistinctWordsListTabSheet1) return DistinctWordsListView1;
    if (page == KeywordsTabSheet1) return KeywordsListView1;
    if (page == AutoFindAndAddTabSheet1) return AutoFindListView1;
    return nullptr;
}

void TSDIAppForm::ViewSourceFileExec(TObject*) { PageControl1->SetActivePageIndex(0); }
void TSDIAppForm::ViewBrowserExec(TObject*) { PageControl1->SetActivePageIndex(1); }
void TSDIAppForm::ViewStrippedContentsExec(TObject*) { PageControl1->SetActivePageIndex(2); }
void TSDIAppForm::ViewDistinctWordListExec(TObject*) { PageControl1->SetActivePageIndex(3); }
void TSDIAppForm::ViewKewordListExec(TObject*) { PageControl1->SetActivePageIndex(4); }
void TSDIAppForm::ViewAutoFindAndAddExec(TObject*) { PageControl1->SetActivePageIndex(5); }
void TSDIAppForm::ViewSuppressWordsListExec(TObject*) { PageControl1->SetActivePageIndex(6); }
void TSDIAppForm::ViewLogExec(TObject*) { PageControl1->SetActivePageIndex(7); }

void TSDIAppForm::BrowseBackExec(TObject*) { WebBrowser1->GoBack(); }
void TSDIAppForm::BrowseForwardExec(TObject*) { WebBrowser1->GoForward(); }
void TSDIAppForm::BrowseHomeExec(TObject*) { WebBrowser1->GoHome(); }
void TSDIAppForm::ViewBrowserGoBackExec(TObject* Sender) { BrowseBackExec(Sender); }
void TSDIAppForm::ViewBrowserGoForwardExec(TObject* Sender) { BrowseForwardExec(Sender); }
void TSDIAppForm::ViewBrowserGoHomeExec(TObject* Sender) { BrowseHomeExec(Sender); }

void TSDIAppForm::OnRichEditSelectionChange(TObject*) {
    TRichEdit* edit = GetActiveRichEdit();
    if (!edit) return;
    std::string text = Trim(edit->SelText());
    if (text.empty()) return;
    text = StringReplace(text, "\r\n", " ", rfReplaceAll);
    KeywordEditComboBox1->SetItemIndex(-1);
    KeywordEditComboBox1->SetText(text);
}

}  // namespace ruk
