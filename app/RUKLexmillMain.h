// RUKLexmillMain: the main window TSDIAppForm, its start-up, shut-down and page handlers.
// The window is built from its form description (RUKLexmillMainForm.cpp).
#pragma once

#include "ActnList.h"
#include "Classes.h"
#include "ComCtrls.h"
#include "Dialogs.h"
#include "Form.h"
#include "Menus.h"
#include "RUKConvertCharEncodingThread.h"
#include "RUKGenWordListFromHTMLThreads.h"
#include "RUKKeywordRowIndex.h"
#include "RUKLexmillUtils1.h"
#include "Registry.h"
#include "WebBrowser.h"

#include <memory>
#include <string>
#include <vector>

namespace ruk {

const TFormDescription& SDIAppFormDescription();
// Paints the images of ImageList1 in the order the description's image indexes count them.
void FillMainImageList(TImageList& images);

class TSDIAppForm : public TForm {
public:
    explicit TSDIAppForm(TComponent* owner);
    ~TSDIAppForm() override;
    const char* ClassName() const override { return "TSDIAppForm"; }
    void BeforeDestruction() override;

    // ---- published components (bound by name from the form description)
    TImageList* ImageList1 = nullptr;
    TActionList* ActionList1 = nullptr;
    TOpenDialog* OpenDialog = nullptr;
    TSaveDialog* SaveDialog = nullptr;
    TSaveDialog* SaveExportFileDialog = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TPopupMenu* SourceFilePopupMenu = nullptr;
    TPopupMenu* StrippedContentsPopupMenu = nullptr;
    TPopupMenu* DistinctWordsPopupMenu = nullptr;
    TPopupMenu* KeywordsPopupMenu1 = nullptr;
    TPopupMenu* AutoFindPopupMenu = nullptr;
    TPopupMenu* SuppressedWordsPopupMenu = nullptr;
    TPopupMenu* LogPopupMenu = nullptr;

    TCoolBar* CoolBar1 = nullptr;
    TToolBar* ToolBar1 = nullptr;
    TPanel* SourceFilesPanel1 = nullptr;
    TComboBoxEx* SourceFilesComboBoxEx = nullptr;
    TButton* SelSourceFilesButton1 = nullptr;
    TPanel* KeywordEditPanel1 = nullptr;
    TComboBoxEx* KeywordEditComboBox1 = nullptr;
    TButton* ApplyKeywordButton1 = nullptr;
    TStatusBar* StatusBar = nullptr;
    TPageControl* PageControl1 = nullptr;
    TTabSheet* SourceFileTabSheet1 = nullptr;
    TRichEdit* HTMLSourceFileRichEdit1 = nullptr;
    TTabSheet* BrowserTabSheet1 = nullptr;
    TWebBrowser* WebBrowser1 = nullptr;
    TTabSheet* StrippedContentsTabSheet1 = nullptr;
    TRichEdit* StrippedContentsRichEdit1 = nullptr;
    TTabSheet* DistinctWordsListTabSheet1 = nullptr;
    TRichEdit* DistinctWordsLisRichEdit1 = nullptr;
    TSplitter* Splitter1 = nullptr;
    TListView* DistinctWordsListView1 = nullptr;
    TTabSheet* KeywordsTabSheet1 = nullptr;
    TTreeView* KeywordsTreeView1 = nullptr;
    TSplitter* Splitter2 = nullptr;
    TListView* KeywordsListView1 = nullptr;
    TTabSheet* AutoFindAndAddTabSheet1 = nullptr;
    TListView* AutoFindListView1 = nullptr;
    TTabSheet* SuppressWordsTabSheet1 = nullptr;
    TRichEdit* SupressedWordsRichEdit1 = nullptr;
    TTabSheet* LogTabSheet1 = nullptr;
    TRichEdit* LogRichEdit1 = nullptr;

    TAction* FileSelSourceFiles1 = nullptr;
    TAction* FileSelSourceFiles2 = nullptr;
    TAction* FileNew1 = nullptr;
    TAction* FileOpen1 = nullptr;
    TAction* FileOpenKeywordList1 = nullptr;
    TAction* FileOpenSuppressWordList = nullptr;
    TAction* FileOpenStrippedContentss = nullptr;
    TAction* FileSave1 = nullptr;
    TAction* FileSaveSourceFile = nullptr;
    TAction* FileSaveBrowserFile = nullptr;
    TAction* FileSaveStrippedContents = nullptr;
    TAction* FileSaveDistinctWordsList = nullptr;
    TAction* FileSaveKeywordList = nullptr;
    TAction* FileSaveSuppressWordList = nullptr;
    TAction* FileSaveLog = nullptr;
    TAction* FileSaveAs1 = nullptr;
    TAction* FileSaveSourceFileAs = nullptr;
    TAction* FileSaveBrowserFileAs = nullptr;
    TAction* FileSvaeStrippedContentsAs = nullptr;
    TAction* FileSaveDistinctWordsListAs = nullptr;
    TAction* FileSaveKeywordListAs = nullptr;
    TAction* FileSaveSuppressWordListAs = nullptr;
    TAction* FileSaveLogAs = nullptr;
    TAction* FileSaveAll = nullptr;
    TAction* FileExportDistinctWordsAsCsv = nullptr;
    TAction* FileExportAsKeywordsMetaTag = nullptr;
    TAction* FileExportAsChmKeywordsFile = nullptr;
    TAction* FileClose = nullptr;
    TAction* FileCloseAll = nullptr;
    TAction* FileExit1 = nullptr;
    TEditUndo* EditUndo1 = nullptr;
    TAction* EditRedo1 = nullptr;
    TEditCut* EditCut1 = nullptr;
    TEditCopy* EditCopy1 = nullptr;
    TEditPaste* EditPaste1 = nullptr;
    TAction* EditDelete1 = nullptr;
    TAction* EditSelectAll = nullptr;
    TAction* EditClearSelection = nullptr;
    TAction* EditReadOnly1 = nullptr;
    TAction* EditAddAsKeyword = nullptr;
    TAction* EditAddAsKeywords = nullptr;
    TAction* EditAddAsKeywordsFromRE = nullptr;
    TAction* EditAddAsKeywordsFromLV = nullptr;
    TAction* EditApplyKeywordChanges = nullptr;
    TAction* EditAddDocToKeywords = nullptr;
    TAction* EditAddStrippedFileAsLink = nullptr;
    TAction* ViewSourceFile = nullptr;
    TAction* ViewBrowser = nullptr;
    TAction* ViewStrippedContents = nullptr;
    TAction* ViewDistinctWordList = nullptr;
    TAction* ViewKeywordList = nullptr;
    TAction* ViewAutoFindAndAdd = nullptr;
    TAction* ViewSuppressWordsList = nullptr;
    TAction* ViewLog = nullptr;
    TAction* ViewBrowserGoBack = nullptr;
    TAction* ViewBrowserGoForward = nullptr;
    TAction* ViewBrowserGoHome = nullptr;
    TAction* BrowseOpenURL1 = nullptr;
    TAction* BrowseBack1 = nullptr;
    TAction* BrowseForward1 = nullptr;
    TAction* BrowseHome1 = nullptr;
    TAction* AssignmentRun1 = nullptr;
    TAction* AssignmentSuspend = nullptr;
    TAction* AssignmentResume1 = nullptr;
    TAction* AssignmentCancel = nullptr;
    TAction* AssignmentAutoFindAndAdd = nullptr;
    TAction* HelpRUKOnTheInternet = nullptr;
    TAction* HelpLexmillHomePage = nullptr;
    TAction* HelpAbout1 = nullptr;

    // ---- published handlers (OnCreate, OnShow and OnDestroy hide the form's events of the
    // same names, to which the description binds them: reach those as TForm::OnCreate etc.)
    void OnCreate(TObject* Sender);
    void OnShow(TObject* Sender);
    void OnDestroy(TObject* Sender);
    void ViewSourceFileExec(TObject* Sender);
    void ViewBrowserExec(TObject* Sender);
    void ViewStrippedContentsExec(TObject* Sender);
    void ViewDistinctWordListExec(TObject* Sender);
    void ViewKewordListExec(TObject* Sender);
    void ViewAutoFindAndAddExec(TObject* Sender);
    void ViewSuppressWordsListExec(TObject* Sender);
    void ViewLogExec(TObject* Sender);
    void ViewBrowserGoBackExec(TObject* Sender);
    void ViewBrowserGoForwardExec(TObject* Sender);
    void ViewBrowserGoHomeExec(TObject* Sender);
    void BrowseBackExec(TObject* Sender);
    void BrowseForwardExec(TObject* Sender);
    void BrowseHomeExec(TObject* Sender);
    void OnRichEditSelectionChange(TObject* Sender);
    void FileSelSourceFiles1Execute(TObject* Sender);
    void FileSelSourceFiles2Execute(TObject* Sender);
    void BrowseOpenURL1Exec(TObject* Sender);
    void FileSaveBrowserFileAsExec(TObject* Sender);
    void WebBrowser1NavigateComplete2(TObject* Sender, IDispatch* pDisp, const std::wstring& URL);
    void AssignmentRun(TObject* Sender);
    void AssignmentSuspendExec(TObject* Sender);
    void AssignmentResume1Exec(TObject* Sender);
    void AssignmentCancelExec(TObject* Sender);
    // File actions and exports
    void FileNew1Exec(TObject* Sender);
    void FileOpen1Exec(TObject* Sender);
    void FileOpenStrippedContentssExec(TObject* Sender);
    void FileOpenKeywordList1Exec(TObject* Sender);
    void FileOpenSuppressWordListExec(TObject* Sender);
    void FileSaveExec(TObject* Sender);
    void FileSaveAs1Exec(TObject* Sender);
    void FileSaveSourceFileExec(TObject* Sender);
    void FileSaveBrowserFileExec(TObject* Sender);
    void FileSaveStrippedContentsExec(TObject* Sender);
    void FileSaveDistinctWordsListExec(TObject* Sender);
    void FileSaveKeywordListExec(TObject* Sender);
    void FileSaveSuppressWordListExec(TObject* Sender);
    void FileSaveLogExec(TObject* Sender);
    void FileSaveSourceFileAsExec(TObject* Sender);
    void FileSaveStrippedContentsAsExec(TObject* Sender);
    void FileSaveDistinctWordsListAsExec(TObject* Sender);
    void FileSaveKeywordListAsExec(TObject* Sender);
    void FileSaveSuppressWordListAsExec(TObject* Sender);
    void FileSaveLogAsExec(TObject* Sender);
    void FileSaveAllExec(TObject* Sender);
    void FileCloseExec(TObject* Sender);
    void FileCloseAllExec(TObject* Sender);
    void FileExit1Exec(TObject* Sender);
    void EditDelete1Exec(TObject* Sender);
    void FileExportDistinctWordsAsCsvExec(TObject* Sender);
    void FileExportAsKeywordsMetaTagExec(TObject* Sender);
    void FileExportAsChmKeywordsFileExec(TObject* Sender);
    //
    // Keyword editing, auto-find, help and about
    void EditSelectAllExec(TObject* Sender);
    void EditClearSelectionExec(TObject* Sender);
    void EditReadOnly1Exec(TObject* Sender);
    void EditAddAsKeywordExec(TObject* Sender);
    void EditApplyKeywordChangesExec(TObject* Sender);
    void EditAddAsKeywordsExec(TObject* Sender);
    void EditAddAsKeywordsFromREExec(TObject* Sender);
    void EditAddAsKeywordsFromLVExec(TObject* Sender);
    void EditAddDocToKeywordsExec(TObject* Sender);
    void EditAddStrippedFileAsLinkExec(TObject* Sender);
    void AssignmentAutoFindAndAddExec(TObject* Sender);
    // The user has edited the keyword box's text: it no longer stands for the chosen item.
    void KeywordEditComboBox1Change(TObject* Sender);
    void HelpRUKOnTheInternetExec(TObject* Sender);
    void HelpLexmillHomePageExec(TObject* Sender);
    void HelpAbout1Execute(TObject* Sender);
    // The window's help event (bound in the constructor: it is no notification event).
    bool ShowHelpTopic(WORD Command, int Data, bool& CallHelp);

    // ---- private state, open to the tests through these accessors
    HMODULE RtlLibrary() const { return FRtlLibrary; }
    TRegistryIniFile* Settings() const { return FSettings.get(); }
    const std::string& LastSourceFilePath() const { return FLastSourceFilePath; }
    const std::string& LastStrippedContentsPath() const { return FLastStrippedContentsPath; }
    const std::string& LastBrowserFilePath() const { return FLastBrowserFilePath; }
    const std::string& LastSuppressWordListPath() const { return FLastSuppressWordListPath; }
    const std::string& LastKeywordListPath() const { return FLastKeywordListPath; }
    const std::string& LastLogFilePath() const { return FLastLogFilePath; }
    const std::string& LastKeywordsMetaTagsPath() const { return FLastKeywordsMetaTagsPath; }
    const std::string& LastCHMIndexFilesPath() const { return FLastCHMIndexFilesPath; }
    const std::string& SuppressWordListFile() const { return FSuppressWordListFile; }
    const std::string& SourceFileName() const { return FSourceFileName; }
    const std::string& DocTitle() const { return FDocTitle; }

    TRichEdit* GetActiveRichEdit();
    TListView* GetActiveListView();
    int SetApplicationIcon();

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

    // Keyword list model
    // Rows of KeywordsListView1 (TRUKKeywordListEntry, engine/RUKLexmillUtils1.h). Each
    // operation clears the thread's last error first and sets it on failure:
    // RUK_E_INVALID_KEYWORD for an empty keyword, RUK_E_NULL_OBJECT for a null row.
    //
    // The row whose caption equals keyword without regard to case, with the link merged in;
    // else a new row keyword / link / title / altURL / "1". Null for an empty keyword.
    TRUKKeywordListEntry* AddKeyword(const std::string& keyword, const std::string& link, const std::string& title,
                                     const std::string& altURL);
    // The three cell adders in turn; their common count, or -1 when they differ.
    int AddLinkToKeyword(TRUKKeywordListEntry* row, const std::string& link, const std::string& title,
                         const std::string& altURL);
    // Adds value to the row's cell unless an entry equals it (AddToMultiValueCell) and
    // returns the cell's entry count; -1 for a null row. A row without the cell raises
    // EStringListError "List index out of bounds (%d)".
    int AddLinkTarget(TRUKKeywordListEntry* row, const std::string& value);
    int AddTargetDocTitle(TRUKKeywordListEntry* row, const std::string& value);
    int AddAltURL(TRUKKeywordListEntry* row, const std::string& value);
    // Entries of a cell text: 0 for an empty text, -1 on failure (CountMultiValueCellEntries).
    int CountCellEntries(const std::string& text);
    // The current source file's name after its last backslash or colon; empty without one.
    std::string GetSourceFileName() const;
    // Whether text holds CR LF.
    static bool ContainsLineBreak(const std::string& text);
    // Every CR LF replaced by one blank; a lone CR or LF stays.
    static std::string ReplaceLineBreaks(const std::string& text);
    //
    // File actions and exports: helpers
    // The name a Save As or export dialog offers: the current source file's name without its
    // periods (or "NoName"), then suffix and extension.
    std::string DefaultFileName(const std::string& suffix, const std::string& extension);
    // The comma-separated lines of DistinctWordsListView1 (header first); null without rows.
    std::unique_ptr<TStringList> CreateDistinctWordsCsvList();
    // Removes keyword rows together with the auto-find rows that refer to them, so that no
    // auto-find row is left pointing at a freed row.
    void RemoveKeywordRows(const std::vector<TListItem*>& rows);
    // Save Keywords and Save Keywords As; true when the keyword file was written.
    bool SaveKeywordList();
    bool SaveKeywordListAs();
    // Runs dialog with the default name, the folder and the filter entry; false when the user
    // cancelled, else fileName is the chosen path. Both dialogs take a remembered folder only
    // when it is usable (see RUKRememberedPaths.h), else they open without one.
    bool ExecuteSaveDialog(TSaveDialog* dialog, const std::string& folder, const std::string& suffix,
                           const std::string& extension, int filterIndex, std::string& fileName);
    // Runs OpenDialog on the folder with the filter entry (of filter, when given, in place of
    // the dialog's own); its file name, filter and filter index are put back afterwards.
    bool ExecuteOpenDialog(const std::string& folder, int filterIndex, std::string& fileName,
                           const char* filter = nullptr);
    void WriteRecent(const char* name, const std::string& value);
    // Remembers fileName as the file of its kind and its folder as the kind's folder, and
    // writes both values, the folder's first when folderFirst.
    void RememberFile(const std::string& fileName, std::string& file, std::string& folder, const char* fileValue,
                      const char* folderValue, bool folderFirst);
    //
    // Keyword editing: helpers
    //
    // The link target and title that the adding actions give a keyword, with the defaults
    // "NoName.htm" and "Untitled Document" for a missing source file and title.
    std::string LinkTargetOrDefault() const;
    std::string DocTitleOrDefault() const;
    // Adds text as a keyword of the current document; a row returned is put into the keyword
    // box as its chosen item and the list sorted; an empty keyword shows "Invalid Keyword !".
    void AddKeywordFromEdit(const std::string& text);
    // The keyword row that an auto-find row refers to, when that row is still in the list.
    TListItem* KeywordRowOf(const TListItem* found, const std::vector<TListItem*>& rows) const;
    // While many keywords are added at once: the keywords the list may hold already (null
    // otherwise). Set by AddKeywords, kept by AddKeyword.
    TKeywordRowIndex* FKeywordRowIndex = nullptr;
    // Adds each of the words as a keyword of the current document, under one redraw guard.
    void AddKeywords(const std::vector<std::string>& words);

private:
    friend class TSDIAppFormTestAccess;
    TNotifyEvent MethodAddress(const std::string& name);

    void OnConvertCharEncodingTerminate(TObject* Sender);
    void OnGenWordListProgressNotification(TRUKGenWordListFromHTMLThread* athread, const std::string& aprogresstxt);
    void OnGenWordListTitleFound(TRUKGenWordListFromHTMLThread* athread, const std::string& atitle);
    void OnGenWordListHTMLTagFound(TRUKGenWordListFromHTMLThread* athread, const std::string& atagstr,
                                   const int atagstartpos, const int atagendpos);
    void OnGenWordListTerminate(TObject* Sender);
    // The file actions that Run locks, in the order they are disabled and enabled again.
    std::vector<TAction*> RunLockedActions() const;
    void SetRunLockedActionsEnabled(bool enabled);
    // Frees the replaced loaders whose work is done.
    void ReleaseRetiredLoaders(bool all);
    // Terminates a loader or worker that still runs and waits for it while the window is
    // still whole, so that no event of it reaches the window once the window is gone.
    template <class T>
    void StopThread(std::unique_ptr<T>& thread) {
        // No longer the latest: a termination handler that runs during the wait ignores it.
        const std::unique_ptr<T> stopping = std::move(thread);
        // Going now, the thread's destructor terminates it, resumes a never-started one, and waits.
    }

    HMODULE FRtlLibrary = nullptr;
    std::unique_ptr<TRegistryIniFile> FSettings;
    std::string FLastSourceFilePath;
    std::string FSourceFileName;
    std::string FDocTitle;
    std::string FLastBrowserFilePath;
    std::string FLastStrippedContentsPath;
    std::string FStrippedContentsFile;
    std::string FLastDistinctWordsListPath;
    std::string FDistinctWordsListFile;
    std::string FLastKeywordListPath;
    std::string FKeywordListFile;
    std::string FLastSuppressWordListPath;
    std::string FSuppressWordListFile;
    std::string FLastLogFilePath;
    std::string FLogFile;
    std::string FLastKeywordsMetaTagsPath;
    std::string FLastCHMIndexFilesPath;
    // The latest document loader and word-list worker; owned, freed when replaced and when
    // the window goes.
    std::unique_ptr<TRUKConvertCharEncodingThread> FConvertThread;
    std::unique_ptr<TRUKGenWordListFromHTMLThread> FWordListThread;
    // FConvertThread's termination has been handled: it is freed, not kept, when replaced.
    bool FConvertThreadDelivered = false;
    // Loaders replaced by a newer selection while they still ran: never freed while running,
    // and freed once their termination has been handled (Delivered) or they have finished.
    struct TRetiredLoader {
        std::unique_ptr<TRUKConvertCharEncodingThread> Thread;
        bool Delivered;
    };
    std::vector<TRetiredLoader> FRetiredLoaders;
    bool FReleasePosted = false;
};

// The program's one window, kept in a global of the description's name.
extern TSDIAppForm* SDIAppForm;

// The registry key of the settings, below HKEY_CURRENT_USER.
constexpr const char* kSettingsKey = "\\Software\\RUK\\Lexmill";
constexpr const char* kRecentSection = "Recent";

}  // namespace ruk
