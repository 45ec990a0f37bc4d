#include "RUKLexmillMain.h"

#include "Forms.h"
#include "RUKDynShlWAPI.h"
#include "RUKRememberedPaths.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <cstring>

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
    RUK_METHOD(FileSelSourceFiles1Execute),
    RUK_METHOD(FileSelSourceFiles2Execute),
    RUK_METHOD(BrowseOpenURL1Exec),
    RUK_METHOD(FileSaveBrowserFileAsExec),
    RUK_METHOD(AssignmentRun),
    RUK_METHOD(AssignmentSuspendExec),
    RUK_METHOD(AssignmentResume1Exec),
    RUK_METHOD(AssignmentCancelExec),
    // File actions and exports
    RUK_METHOD(FileNew1Exec),
    RUK_METHOD(FileOpen1Exec),
    RUK_METHOD(FileOpenStrippedContentssExec),
    RUK_METHOD(FileOpenKeywordList1Exec),
    RUK_METHOD(FileOpenSuppressWordListExec),
    RUK_METHOD(FileSaveExec),
    RUK_METHOD(FileSaveAs1Exec),
    RUK_METHOD(FileSaveSourceFileExec),
    RUK_METHOD(FileSaveBrowserFileExec),
    RUK_METHOD(FileSaveStrippedContentsExec),
    RUK_METHOD(FileSaveDistinctWordsListExec),
    RUK_METHOD(FileSaveKeywordListExec),
    RUK_METHOD(FileSaveSuppressWordListExec),
    RUK_METHOD(FileSaveLogExec),
    RUK_METHOD(FileSaveSourceFileAsExec),
    RUK_METHOD(FileSaveStrippedContentsAsExec),
    RUK_METHOD(FileSaveDistinctWordsListAsExec),
    RUK_METHOD(FileSaveKeywordListAsExec),
    RUK_METHOD(FileSaveSuppressWordListAsExec),
    RUK_METHOD(FileSaveLogAsExec),
    RUK_METHOD(FileSaveAllExec),
    RUK_METHOD(FileCloseExec),
    RUK_METHOD(FileCloseAllExec),
    RUK_METHOD(FileExit1Exec),
    RUK_METHOD(EditDelete1Exec),
    RUK_METHOD(FileExportDistinctWordsAsCsvExec),
    RUK_METHOD(FileExportAsKeywordsMetaTagExec),
    RUK_METHOD(FileExportAsChmKeywordsFileExec),
    //
    // Keyword list, keyword editing, auto-find, help and about
    RUK_METHOD(EditSelectAllExec),
    RUK_METHOD(EditClearSelectionExec),
    RUK_METHOD(EditReadOnly1Exec),
    RUK_METHOD(EditAddAsKeywordExec),
    RUK_METHOD(EditApplyKeywordChangesExec),
    RUK_METHOD(EditAddAsKeywordsExec),
    RUK_METHOD(EditAddAsKeywordsFromREExec),
    RUK_METHOD(EditAddAsKeywordsFromLVExec),
    RUK_METHOD(EditAddDocToKeywordsExec),
    RUK_METHOD(EditAddStrippedFileAsLinkExec),
    RUK_METHOD(AssignmentAutoFindAndAddExec),
    RUK_METHOD(KeywordEditComboBox1Change),
    RUK_METHOD(HelpRUKOnTheInternetExec),
    RUK_METHOD(HelpLexmillHomePageExec),
    RUK_METHOD(HelpAbout1Execute),
};
#undef RUK_METHOD

// SHACF_DEFAULT: completion of file-system paths and URLs, as the system's settings say.
constexpr DWORD kAutoCompleteDefault = 0;

// Posted by a replaced loader's termination: its object can go once the call has returned.
constexpr UINT WM_RUK_RELEASELOADERS = WM_APP + 0x2B1;

// "All HTML files (*.htm and *.html)" of the open dialog.
constexpr int kAllHtmlFilesFilter = 3;

// UrlIsA of the shell light-weight utility library that the program loaded at start; the
// library is not loaded here. Without the library or its entry nothing counts as a URL, so a
// typed text takes the way of a path (the file dialog) rather than the browser's.
bool IsUrl(const std::string& text, TUrlIs kind) {
    const HMODULE library = GetModuleHandleA("ShlWAPI.dll");
    if (library == nullptr) return false;
    const TUrlIsA urlIs = PAddrUrlIsA(library);
    if (urlIs == nullptr) return false;
    return urlIs(text.c_str(), kind) == TRUE;
}
}  // namespace

TNotifyEvent TSDIAppForm::MethodAddress(const std::string& name) {
    for (const TPublishedMethod& m : kMethods)
        if (name == m.Name) return [this, f = m.Method](TObject* sender) { (this->*f)(sender); };
    return nullptr;
}

std::span<const TSDIAppForm::TPublishedField> TSDIAppForm::PublishedFields() {
#define RUK_FIELD_ROW(type, name)                                                             \
    TPublishedField{#name, #type,                                                             \
                    [](TSDIAppForm& form) {                                                   \
                        form.name = FindComponentAs<type>(&form, #name);                      \
                        if (std::strcmp(form.name->ClassName(), #type) != 0)                  \
                            throw EComponentError("Component " #name " is not of class " #type); \
                    },                                                                        \
                    [](const TSDIAppForm& form) -> TComponent* { return form.name; }},
    static const TPublishedField kFields[] = {RUK_SDIAPPFORM_FIELDS(RUK_FIELD_ROW)};
#undef RUK_FIELD_ROW
    return kFields;
}

TSDIAppForm::TSDIAppForm(TComponent* owner) : TForm(owner) {
    LoadDescription(SDIAppFormDescription(), [this](const std::string& name) { return MethodAddress(name); });
    for (const TPublishedField& field : PublishedFields()) field.Bind(*this);
    FillMainImageList(*ImageList1);
    // The navigate-complete event carries the frame and the URL besides its sender; the
    // description binds notification events only, so this one is bound here.
    WebBrowser1->OnNavigateComplete2 = [this](TObject* sender, IDispatch* frame, const std::wstring& url) {
        WebBrowser1NavigateComplete2(sender, frame, url);
    };
    TForm::OnHelp = [this](WORD command, int data, bool& callHelp) { return ShowHelpTopic(command, data, callHelp); };
    if (!SDIAppForm) SDIAppForm = this;
}

TSDIAppForm::~TSDIAppForm() {
    BeforeDestruction();
    if (SDIAppForm == this) SDIAppForm = nullptr;
}

void TSDIAppForm::BeforeDestruction() {
    if (!Destroying()) {
        StopThread(FConvertThread);
        ReleaseRetiredLoaders(true);
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
    // A name that is no file (gone, or longer than a path can be) fails in the file open with
    // the class library's message; the pane then stays empty.
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

void TSDIAppForm::ViewSourceFileExec(TObject*) { PageControl1->SetActivePage(SourceFileTabSheet1); }
void TSDIAppForm::ViewBrowserExec(TObject*) { PageControl1->SetActivePage(BrowserTabSheet1); }
void TSDIAppForm::ViewStrippedContentsExec(TObject*) { PageControl1->SetActivePage(StrippedContentsTabSheet1); }
void TSDIAppForm::ViewDistinctWordListExec(TObject*) { PageControl1->SetActivePage(DistinctWordsListTabSheet1); }
void TSDIAppForm::ViewKewordListExec(TObject*) { PageControl1->SetActivePage(KeywordsTabSheet1); }
void TSDIAppForm::ViewAutoFindAndAddExec(TObject*) { PageControl1->SetActivePage(AutoFindAndAddTabSheet1); }
void TSDIAppForm::ViewSuppressWordsListExec(TObject*) { PageControl1->SetActivePage(SuppressWordsTabSheet1); }
void TSDIAppForm::ViewLogExec(TObject*) { PageControl1->SetActivePage(LogTabSheet1); }

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

// ---------------------------------------------------------------- source selection

void TSDIAppForm::FileSelSourceFiles1Execute(TObject*) {
    std::string fileName;
    if (!ExecuteOpenDialog(FLastSourceFilePath, kAllHtmlFilesFilter, fileName)) return;

    HTMLSourceFileRichEdit1->SetPlainText(true);
    auto loader = std::make_unique<TRUKConvertCharEncodingThread>(fileName);
    loader->SetFreeOnTerminate(false);
    loader->OnTerminate = [this](TObject* sender) { OnConvertCharEncodingTerminate(sender); };
    if (FConvertThread) {
        // A loader that still runs is kept until its termination has been handled.
        FRetiredLoaders.push_back({std::move(FConvertThread), FConvertThreadDelivered});
        ReleaseRetiredLoaders(false);
    }
    FConvertThread = std::move(loader);
    FConvertThreadDelivered = false;

    SourceFilesComboBoxEx->SetText(fileName);
    WebBrowser1->Navigate(AnsiToWide(fileName));
    // Started only now: the loader holds the file exclusively while it reads, and a browser
    // reading the same file at that moment would make one of the two fail (the loader then
    // silently leaves the old text in the source pane).
    FConvertThread->Resume();
    FSourceFileName = fileName;
    FLastSourceFilePath = ExtractFileDir(FSourceFileName);
    FSettings->WriteString(kRecentSection, "LastSourceFilePath", FLastSourceFilePath);
    StrippedContentsRichEdit1->Clear();
    DistinctWordsLisRichEdit1->Clear();
    DistinctWordsListView1->Items().Clear();
    LogRichEdit1->Clear();
    AutoFindListView1->Items().Clear();
}

void TSDIAppForm::OnConvertCharEncodingTerminate(TObject* Sender) {
    if (Sender != FConvertThread.get()) {
        for (TRetiredLoader& retired : FRetiredLoaders)
            if (retired.Thread.get() == Sender) retired.Delivered = true;
        // Not freed here: the loader is still inside this call.
        if (!FReleasePosted && HandleAllocated()) FReleasePosted = PostMessageA(Handle(), WM_RUK_RELEASELOADERS, 0, 0);
        return;
    }
    FConvertThreadDelivered = true;
    const DWORD code = static_cast<DWORD>(FConvertThread->ReturnValue());
    if (code != RUK_LOADED_ANSI_TEXT && code != RUK_LOADED_UNICODE_TEXT) return;
    // Streamed in as plain text: a document is shown as it stands, even one that looks like
    // rich text.
    TMemoryStream text;
    const std::string& converted = FConvertThread->ConvertedText();
    if (!converted.empty()) text.WriteBuffer(converted.data(), static_cast<int>(converted.size()));
    text.SetPosition(0);
    HTMLSourceFileRichEdit1->Lines().LoadFromStream(text);
}

void TSDIAppForm::ReleaseRetiredLoaders(bool all) {
    for (auto it = FRetiredLoaders.begin(); it != FRetiredLoaders.end();) {
        if (all || it->Delivered || it->Thread->Finished()) {
            const std::unique_ptr<TRUKConvertCharEncodingThread> thread = std::move(it->Thread);
            it = FRetiredLoaders.erase(it);
            // Going now: past its termination it ends at once; at shutdown it is terminated and
            // waited for.
        } else {
            ++it;
        }
    }
}

LRESULT TSDIAppForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_RUK_RELEASELOADERS) {
        FReleasePosted = false;
        if (!Destroying()) ReleaseRetiredLoaders(false);
        return 0;
    }
    return TForm::WndProc(msg, wp, lp);
}

void TSDIAppForm::FileSelSourceFiles2Execute(TObject* Sender) {
    const std::string text = SourceFilesComboBoxEx->Text();
    if (IsUrl(text, URLIS_URL)) {
        ShowMessage("Save web file to disk and open as source file !");
        WebBrowser1->Navigate(AnsiToWide(text));
        if (!IsUrl(text, URLIS_FILEURL)) FileSaveBrowserFileAsExec(Sender);
    } else {
        FileSelSourceFiles1Execute(Sender);
    }
}

void TSDIAppForm::BrowseOpenURL1Exec(TObject*) {
    const std::string text = SourceFilesComboBoxEx->Text();
    if (IsUrl(text, URLIS_URL)) {
        WebBrowser1->Navigate(AnsiToWide(text));
        PageControl1->SetActivePage(BrowserTabSheet1);
    } else {
        ShowMessage("Please enter a valid Uniform Resource Locater in the\nfile/address combo box and rry again !");
    }
}

void TSDIAppForm::FileSaveBrowserFileAsExec(TObject*) {
    ShowMessage("Save file in Browser as ...");
    IBrowserLayer& browser = WebBrowser1->Layer();
    if (!browser.HasDocument()) return;
    const std::string suggested = UsableRememberedPath(FLastBrowserFilePath, TRememberedPathKind::rpSaveFile);
    if (browser.SaveAs(AnsiToWide(suggested))) ShowMessage("File in browser saved");
}

void TSDIAppForm::WebBrowser1NavigateComplete2(TObject*, IDispatch*, const std::wstring&) {
    SourceFilesComboBoxEx->SetText(WideToAnsi(WebBrowser1->LocationURL()));
}

// ---------------------------------------------------------------- assignment control

std::vector<TAction*> TSDIAppForm::RunLockedActions() const {
    return {FileSelSourceFiles1,      FileSelSourceFiles2,   FileNew1,
            FileOpen1,                FileSave1,             FileSaveAs1,
            FileSaveAll,              FileSaveSourceFile,    FileSaveBrowserFile,
            FileSaveStrippedContents, FileSaveKeywordList,   FileSaveSuppressWordList,
            FileSaveLog,              FileSaveSourceFileAs,  FileSaveBrowserFileAs,
            FileSvaeStrippedContentsAs, FileSaveKeywordListAs, FileSaveSuppressWordListAs,
            FileSaveLogAs};
}

void TSDIAppForm::SetRunLockedActionsEnabled(bool enabled) {
    for (TAction* action : RunLockedActions()) action->SetEnabled(enabled);
}

void TSDIAppForm::AssignmentRun(TObject*) {
    const std::string suppressWords = SupressedWordsRichEdit1->Text();
    const std::string source = HTMLSourceFileRichEdit1->Text();
    // A document larger than the pane could take, and than memory could keep besides: the
    // results are the part's, and the user knows it.
    if (!HTMLSourceFileRichEdit1->HoldsWholeText())
        ShowMessage("The source pane holds only the first part of the document; the run works on that part.");
    // The previous worker has handled its termination (Run was disabled until then) and is
    // freed now, outside any call of its own.
    StopThread(FWordListThread);
    FWordListThread = std::make_unique<TRUKGenWordListFromHTMLThread>(source, suppressWords);
    FWordListThread->OnProgressNotification = [this](TRUKGenWordListFromHTMLThread* t, const std::string& text) {
        OnGenWordListProgressNotification(t, text);
    };
    FWordListThread->OnTitleFound = [this](TRUKGenWordListFromHTMLThread* t, const std::string& title) {
        OnGenWordListTitleFound(t, title);
    };
    FWordListThread->OnHTMLTagFound = [this](TRUKGenWordListFromHTMLThread* t, const std::string& tag, int start,
                                             int end) { OnGenWordListHTMLTagFound(t, tag, start, end); };
    FWordListThread->OnTerminate = [this](TObject* sender) { OnGenWordListTerminate(sender); };
    SetRunLockedActionsEnabled(false);
    AssignmentRun1->SetEnabled(false);
    AssignmentSuspend->SetEnabled(true);
    AssignmentCancel->SetEnabled(true);
    AssignmentResume1->SetEnabled(false);
    FWordListThread->Resume();
}

void TSDIAppForm::AssignmentSuspendExec(TObject*) {
    AssignmentRun1->SetEnabled(false);
    AssignmentRun1->SetVisible(false);
    AssignmentSuspend->SetEnabled(false);
    AssignmentCancel->SetEnabled(false);
    AssignmentResume1->SetEnabled(true);
    AssignmentResume1->SetVisible(true);
    // The worker stops at its next checkpoint (see TRUKGenWordListFromHTMLThread).
    if (FWordListThread) FWordListThread->Suspend();
}

void TSDIAppForm::AssignmentResume1Exec(TObject*) {
    AssignmentSuspend->SetEnabled(true);
    AssignmentCancel->SetEnabled(true);
    AssignmentResume1->SetEnabled(false);
    if (FWordListThread) FWordListThread->Resume();
}

void TSDIAppForm::AssignmentCancelExec(TObject*) {
    if (FWordListThread) FWordListThread->Terminate();
}

void TSDIAppForm::OnGenWordListProgressNotification(TRUKGenWordListFromHTMLThread*, const std::string& aprogresstxt) {
    LogRichEdit1->Lines().Add(aprogresstxt);
}

void TSDIAppForm::OnGenWordListTitleFound(TRUKGenWordListFromHTMLThread*, const std::string& atitle) {
    FDocTitle = atitle;
    LogRichEdit1->Lines().Add("The document title of the processed source file is : " + atitle);
}

void TSDIAppForm::OnGenWordListHTMLTagFound(TRUKGenWordListFromHTMLThread*, const std::string& atagstr,
                                            const int atagstartpos, const int atagendpos) {
    LogRichEdit1->Lines().Add("Opening and closing tag characters found at " + IntToStr(atagstartpos) + " and " +
               IntToStr(atagendpos));
    LogRichEdit1->Lines().Add("Found tag is : " + atagstr);
}

void TSDIAppForm::OnGenWordListTerminate(TObject* Sender) {
    // A worker stopped at shutdown is no longer referenced: the window takes nothing from it.
    if (FWordListThread == nullptr || Sender != FWordListThread.get()) return;
    const TRUKGenWordListFromHTMLThread& worker = *FWordListThread;
    StrippedContentsRichEdit1->Lines().Add(worker.Text());
    StrippedContentsRichEdit1->SetModified(true);
    const TStringList& words = worker.WordList();
    // One line per word, appended in one piece: the pane ends up as with one append per line.
    if (words.Count() > 0) {
        std::string lines;
        for (int i = 0; i < words.Count(); ++i) {
            if (i > 0) lines += "\r\n";
            lines += words[i];
        }
        DistinctWordsLisRichEdit1->Lines().Add(lines);
    }
    DistinctWordsLisRichEdit1->SetModified(true);
    TListItems& rows = DistinctWordsListView1->Items();
    {
        TListUpdateGuard noRedraw(rows);
        for (int i = 0; i < words.Count(); ++i) {
            TListItem* row = rows.Add();
            row->SetCaption(words[i]);
            row->SubItems().Add(IntToStr(static_cast<int>(words.Integers(i))));
        }
    }
    LogRichEdit1->SetModified(true);
    SetRunLockedActionsEnabled(true);
    AssignmentRun1->SetEnabled(true);
    AssignmentRun1->SetVisible(true);
    AssignmentSuspend->SetEnabled(false);
    AssignmentCancel->SetEnabled(false);
    AssignmentResume1->SetEnabled(false);
    AssignmentResume1->SetVisible(AssignmentResume1->Enabled());
}

}  // namespace ruk
