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
#include <span>
#include <string>
#include <vector>

namespace ruk {

// The window's published components, each declared once, here: X(class, name). The list
// declares the fields of TSDIAppForm and the table that binds each to the component of its
// name and class in the form description (RUKLexmillMainForm.cpp), which gives the
// components their properties.
#define RUK_SDIAPPFORM_FIELDS(X)             \
    X(TImageList, ImageList1)                \
    X(TActionList, ActionList1)              \
    X(TOpenDialog, OpenDialog)               \
    X(TSaveDialog, SaveDialog)               \
    X(TSaveDialog, SaveExportFileDialog)     \
    X(TMainMenu, MainMenu1)                  \
    X(TPopupMenu, SourceFilePopupMenu)       \
    X(TPopupMenu, StrippedContentsPopupMenu) \
    X(TPopupMenu, DistinctWordsPopupMenu)    \
    X(TPopupMenu, KeywordsPopupMenu1)        \
    X(TPopupMenu, AutoFindPopupMenu)         \
    X(TPopupMenu, SuppressedWordsPopupMenu)  \
    X(TPopupMenu, LogPopupMenu)              \
    X(TCoolBar, CoolBar1)                    \
    X(TToolBar, ToolBar1)                    \
    X(TPanel, SourceFilesPanel1)             \
    X(TComboBoxEx, SourceFilesComboBoxEx)    \
    X(TButton, SelSourceFilesButton1)        \
    X(TPanel, KeywordEditPanel1)             \
    X(TComboBoxEx, KeywordEditComboBox1)     \
    X(TButton, ApplyKeywordButton1)          \
    X(TStatusBar, StatusBar)                 \
    X(TPageControl, PageControl1)            \
    X(TTabSheet, SourceFileTabSheet1)        \
    X(TRichEdit, HTMLSourceFileRichEdit1)    \
    X(TTabSheet, BrowserTabSheet1)           \
    X(TWebBrowser, WebBrowser1)              \
    X(TTabSheet, StrippedContentsTabSheet1)  \
    X(TRichEdit, StrippedContentsRichEdit1)  \
    X(TTabSheet, DistinctWordsListTabSheet1) \
    X(TRichEdit, DistinctWordsLisRichEdit1)  \
    X(TSplitter, Splitter1)                  \
    X(TListView, DistinctWordsListView1)     \
    X(TTabSheet, KeywordsTabSheet1)          \
    X(TTreeView, KeywordsTreeView1)          \
    X(TSplitter, Splitter2)                  \
    X(TListView, KeywordsListView1)          \
    X(TTabSheet, AutoFindAndAddTabSheet1)    \
    X(TListView, AutoFindListView1)          \
    X(TTabSheet, SuppressWordsTabSheet1)     \
    X(TRichEdit, SupressedWordsRichEdit1)    \
    X(TTabSheet, LogTabSheet1)               \
    X(TRichEdit, LogRichEdit1)               \
    X(TAction, FileSelSourceFiles1)          \
    X(TAction, FileSelSourceFiles2)          \
    X(TAction, FileNew1)                     \
    X(TAction, FileOpen1)                    \
    X(TAction, FileOpenKeywordList1)         \
    X(TAction, FileOpenSuppressWordList)     \
    X(TAction, FileOpenStrippedContentss)    \
    X(TAction, FileSave1)                    \
    X(TAction, FileSaveSourceFile)           \
    X(TAction, FileSaveBrowserFile)          \
    X(TAction, FileSaveStrippedContents)     \
    X(TAction, FileSaveDistinctWordsList)    \
    X(TAction, FileSaveKeywordList)          \
    X(TAction, FileSaveSuppressWordList)     \
    X(TAction, FileSaveLog)                  \
    X(TAction, FileSaveAs1)                  \
    X(TAction, FileSaveSourceFileAs)         \
    X(TAction, FileSaveBrowserFileAs)        \
    X(TAction, FileSvaeStrippedContentsAs)   \
    X(TAction, FileSaveDistinctWordsListAs)  \
    X(TAction, FileSaveKeywordListAs)        \
    X(TAction, FileSaveSuppressWordListAs)   \
    X(TAction, FileSaveLogAs)                \
    X(TAction, FileSaveAll)                  \
    X(TAction, FileExportDistinctWordsAsCsv) \
    X(TAction, FileExportAsKeywordsMetaTag)  \
    X(TAction, FileExportAsChmKeywordsFile)  \
    X(TAction, FileClose)                    \
    X(TAction, FileCloseAll)                 \
    X(TAction, FileExit1)                    \
    X(TEditUndo, EditUndo1)                  \
    X(TAction, EditRedo1)                    \
    X(TEditCut, EditCut1)                    \
    X(TEditCopy, EditCopy1)                  \
    X(TEditPaste, EditPaste1)                \
    X(TAction, EditDelete1)                  \
    X(TAction, EditSelectAll)                \
    X(TAction, EditClearSelection)           \
    X(TAction, EditReadOnly1)                \
    X(TAction, EditAddAsKeyword)             \
    X(TAction, EditAddAsKeywords)            \
    X(TAction, EditAddAsKeywordsFromRE)      \
    X(TAction, EditAddAsKeywordsFromLV)      \
    X(TAction, EditApplyKeywordChanges)      \
    X(TAction, EditAddDocToKeywords)         \
    X(TAction, EditAddStrippedFileAsLink)    \
    X(TAction, ViewSourceFile)               \
    X(TAction, ViewBrowser)                  \
    X(TAction, ViewStrippedContents)         \
    X(TAction, ViewDistinctWordList)         \
    X(TAction, ViewKeywordList)              \
    X(TAction, ViewAutoFindAndAdd)           \
    X(TAction, ViewSuppressWordsList)        \
    X(TAction, ViewLog)                      \
    X(TAction, ViewBrowserGoBack)            \
    X(TAction, ViewBrowserGoForward)         \
    X(TAction, ViewBrowserGoHome)            \
    X(TAction, BrowseOpenURL1)               \
    X(TAction, BrowseBack1)                  \
    X(TAction, BrowseForward1)               \
    X(TAction, BrowseHome1)                  \
    X(TAction, AssignmentRun1)               \
    X(TAction, AssignmentSuspend)            \
    X(TAction, AssignmentResume1)            \
    X(TAction, AssignmentCancel)             \
    X(TAction, AssignmentAutoFindAndAdd)     \
    X(TAction, HelpRUKOnTheInternet)         \
    X(TAction, HelpLexmillHomePage)          \
    X(TAction, HelpAbout1)

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
#define RUK_DECLARE_FIELD(type, name) type* name = nullptr;
    RUK_SDIAPPFORM_FIELDS(RUK_DECLARE_FIELD)
#undef RUK_DECLARE_FIELD

    // A published component: its name, and how the window binds and reads its field.
    struct TPublishedField {
        const char* Name;
        const char* ClassName;
        // Sets the field to the component of its name; EComponentError when the description
        // has none of that name and class.
        void (*Bind)(TSDIAppForm& form);
        TComponent* (*Get)(const TSDIAppForm& form);
    };
    // Every published component, in the order of RUK_SDIAPPFORM_FIELDS.
    static std::span<const TPublishedField> PublishedFields();

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
    // auto-find row is left pointing at a freed row; with every keyword row, every auto-find row.
    void RemoveKeywordRows(const std::vector<TListItem*>& rows);
    void RemoveAllKeywordRows();
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
