// The main window's file actions and exports: New, Open, Save, Save As, Save All, Close, Exit
// and Delete, the opens and saves of the single pages, and the comma-separated, keywords
// meta-tag and compiled-help index exports.
//
// Every file is written through a safe save (SafeSaveToFile): a write that fails leaves the
// previous file as it was. No handler catches an exception; the application shows it, and
// the rest of the action (Modified flags, remembered files, settings) is skipped.
#include "RUKLexmillMain.h"

#include "Forms.h"
#include "Handles.h"
#include "RUKLexmillUtils1.h"
#include "RUKRememberedPaths.h"
#include "SafeSave.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace ruk {

namespace {

// Filter entries of the three dialogs (1-based, as the dialogs count them).
constexpr int kOpenAllFilesFilter = 6;
constexpr int kSaveAllHtmlFilter = 3;
constexpr int kSaveKeywordFilesFilter = 5;
constexpr int kSaveTextFilter = 6;
constexpr int kExportIndexFilter = 1;
constexpr int kExportTextFilter = 6;
constexpr int kExportCsvFilter = 7;

const char kKeywordFilesFilter[] = "Lexmill Keyword files (*.rlk)|*.rlk";
const char kCsvSeparator[] = ", ";

void SavePaneToFile(TRichEdit* pane, const std::string& fileName) {
    SafeSaveToFile(fileName, [pane](TStream& stream) { pane->Lines().SaveToStream(stream); });
}

void SaveLinesToFile(const TStringList& lines, const std::string& fileName) {
    SafeSaveToFile(fileName, [&lines](TStream& stream) { lines.SaveToStream(stream); });
}

// Loads the file into the pane, replacing its text, in the pane's mode. With plainUnlessRich
// a pane in rich-text mode that is given a file that is not rich text is switched to plain
// text, so that a later Save writes the file back as it was rather than as rich text.
void LoadPaneFromFile(TRichEdit* pane, const std::string& fileName, bool plainUnlessRich) {
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    if (plainUnlessRich && !pane->PlainText() && !StreamHoldsRichText(stream)) pane->SetPlainText(true);
    pane->Lines().LoadFromStream(stream);
}

// A field of the comma-separated lines as it stands, or quoted (a quote doubled) when it
// holds a comma, a quote or a line break, which would otherwise shift the columns.
std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string field(1, '"');
    for (const char c : text) {
        if (c == '"') field += '"';
        field += c;
    }
    field += '"';
    return field;
}

// The selected rows of a list view, in list order.
std::vector<TListItem*> SelectedRows(TListView* list) {
    std::vector<TListItem*> rows;
    for (TListItem* row = list->GetNextItem(nullptr, TSearchDirection::sdAll, LVNI_SELECTED); row;
         row = list->GetNextItem(row, TSearchDirection::sdAll, LVNI_SELECTED))
        rows.push_back(row);
    return rows;
}

enum TPageFileAction { paOpen, paSave, paSaveAs };

// Open, Save and Save As of the File menu run the handler of the active page, if it has one.
void RunPageFileAction(TSDIAppForm& form, TPageFileAction action, TObject* sender) {
    using THandler = void (TSDIAppForm::*)(TObject*);
    using F = TSDIAppForm;
    const struct {
        TTabSheet* Page;
        THandler Handlers[3];  // open, save, save as
    } pages[] = {
        {form.SourceFileTabSheet1,
         {&F::FileSelSourceFiles1Execute, &F::FileSaveSourceFileExec, &F::FileSaveSourceFileAsExec}},
        {form.BrowserTabSheet1,
         {&F::FileSelSourceFiles2Execute, &F::FileSaveBrowserFileExec, &F::FileSaveBrowserFileAsExec}},
        {form.StrippedContentsTabSheet1,
         {&F::FileOpenStrippedContentssExec, &F::FileSaveStrippedContentsExec, &F::FileSaveStrippedContentsAsExec}},
        {form.DistinctWordsListTabSheet1,
         {nullptr, &F::FileSaveDistinctWordsListExec, &F::FileSaveDistinctWordsListAsExec}},
        {form.KeywordsTabSheet1,
         {&F::FileOpenKeywordList1Exec, &F::FileSaveKeywordListExec, &F::FileSaveKeywordListAsExec}},
        {form.SuppressWordsTabSheet1,
         {&F::FileOpenSuppressWordListExec, &F::FileSaveSuppressWordListExec, &F::FileSaveSuppressWordListAsExec}},
        {form.LogTabSheet1, {nullptr, &F::FileSaveLogExec, &F::FileSaveLogAsExec}},
    };
    TTabSheet* active = form.PageControl1->ActivePage();
    for (const auto& page : pages)
        if (page.Page == active) {
            if (const THandler handler = page.Handlers[action]) (form.*handler)(sender);
            return;
        }
}

// Until it goes: the dialog's file name, filter and filter index as they were.
class TDialogRestorer {
public:
    explicit TDialogRestorer(TOpenDialog* dialog)
        : FDialog(dialog), FFilter(dialog->Filter), FFilterIndex(dialog->FilterIndex) {}
    ~TDialogRestorer() {
        FDialog->FileName.clear();
        FDialog->Filter = FFilter;
        FDialog->FilterIndex = FFilterIndex;
    }
    TDialogRestorer(const TDialogRestorer&) = delete;
    TDialogRestorer& operator=(const TDialogRestorer&) = delete;

private:
    TOpenDialog* FDialog;
    std::string FFilter;
    int FFilterIndex;
};
}  // namespace

// ---------------------------------------------------------------- helpers

std::string TSDIAppForm::DefaultFileName(const std::string& suffix, const std::string& extension) {
    std::string name = GetSourceFileName();
    if (name.empty()) name = "NoName";
    else name = StringReplace(name, ".", "", rfReplaceAll);
    return name + suffix + extension;
}

bool TSDIAppForm::ExecuteSaveDialog(TSaveDialog* dialog, const std::string& folder, const std::string& suffix,
                                    const std::string& extension, int filterIndex, std::string& fileName) {
    const std::string name = DefaultFileName(suffix, extension);
    dialog->FileName.clear();
    dialog->InitialDir = UsableRememberedPath(folder, TRememberedPathKind::rpFolder);
    dialog->FileName = name;
    dialog->FilterIndex = filterIndex;
    if (!dialog->Execute()) return false;
    fileName = dialog->FileName;
    return true;
}

bool TSDIAppForm::ExecuteOpenDialog(const std::string& folder, int filterIndex, std::string& fileName,
                                    const char* filter) {
    TDialogRestorer restore(OpenDialog);
    OpenDialog->FileName.clear();
    OpenDialog->InitialDir = UsableRememberedPath(folder, TRememberedPathKind::rpFolder);
    if (filter) OpenDialog->Filter = filter;
    OpenDialog->FilterIndex = filterIndex;
    if (!OpenDialog->Execute()) return false;
    fileName = OpenDialog->FileName;
    return true;
}

void TSDIAppForm::WriteRecent(const char* name, const std::string& value) {
    if (!FSettings) throw EInvalidOperation("The settings store is not open");
    FSettings->WriteString(kRecentSection, name, value);
}

void TSDIAppForm::RememberFile(const std::string& fileName, std::string& file, std::string& folder,
                               const char* fileValue, const char* folderValue, bool folderFirst) {
    file = fileName;
    folder = ExtractFileDir(fileName);
    if (folderFirst) WriteRecent(folderValue, folder);
    WriteRecent(fileValue, file);
    if (!folderFirst) WriteRecent(folderValue, folder);
}

std::unique_ptr<TStringList> TSDIAppForm::CreateDistinctWordsCsvList() {
    TListItems& rows = DistinctWordsListView1->Items();
    const int count = rows.Count();
    if (count == 0) return nullptr;
    auto lines = std::make_unique<TStringList>();
    lines->Add(DistinctWordsListView1->Column(0).Caption + kCsvSeparator + DistinctWordsListView1->Column(1).Caption);
    for (int i = 0; i < count; ++i) {
        TListItem* row = rows[i];
        lines->Add(CsvField(row->Caption()) + kCsvSeparator + CsvField(row->SubItems().Strings(0)));
    }
    return lines;
}

void TSDIAppForm::RemoveKeywordRows(const std::vector<TListItem*>& rows) {
    if (rows.empty()) return;
    // The auto-find rows go first: they point at the keyword rows without owning them.
    const std::unordered_set<const void*> gone(rows.begin(), rows.end());
    std::vector<TListItem*> found;
    TListItems& autoFind = AutoFindListView1->Items();
    for (int i = 0, n = autoFind.Count(); i < n; ++i) {
        TListItem* row = autoFind[i];
        if (row && gone.count(row->Data)) found.push_back(row);
    }
    AutoFindListView1->Items().Delete(found);
    KeywordsListView1->Items().Delete(rows);
}

void TSDIAppForm::RemoveAllKeywordRows() {
    // Every auto-find row refers to a keyword row.
    AutoFindListView1->Items().Clear();
    KeywordsListView1->Items().Clear();
}

bool TSDIAppForm::SaveKeywordListAs() {
    std::string fileName;
    if (!ExecuteSaveDialog(SaveDialog, FLastKeywordListPath, "-Keywords", ".rlk", kSaveKeywordFilesFilter, fileName))
        return false;
    if (SaveKeywordListToFile(KeywordsListView1, fileName) != 0) {
        ShowMessage("Saving the Keywords file FAILED !");
        return false;
    }
    RememberFile(fileName, FKeywordListFile, FLastKeywordListPath, "LastKeywordListFile", "LastKeywordListPath", false);
    return true;
}

bool TSDIAppForm::SaveKeywordList() {
    if (FKeywordListFile.empty()) return SaveKeywordListAs();
    if (SaveKeywordListToFile(KeywordsListView1, FKeywordListFile) != 0) {
        ShowMessage("Saving the Keywords file FAILED !");
        return false;
    }
    RememberFile(FKeywordListFile, FKeywordListFile, FLastKeywordListPath, "LastKeywordListFile",
                 "LastKeywordListPath", false);
    return true;
}

// ---------------------------------------------------------------- File menu

void TSDIAppForm::FileNew1Exec(TObject*) {
    if (PageControl1->ActivePage() != KeywordsTabSheet1) {
        ShowMessage("Sorry,\nCreating a new file other than a Keywords file\nhasn't been implemented yet.");
        return;
    }
    if (FKeywordListFile.empty() && KeywordsListView1->Items().Count() == 0) {
        ShowMessage("Sorry,\nNo keywords to save.\nAdd some keywords and try again.");
        return;
    }
    const std::string& bullet = KeywordCellSeparator();
    const std::string question = "Do you want to save the current keywords, prior to creating the new file ?\n\n" +
                                 bullet + " Click the Yes button to save the current keywords to a file.\n" + bullet +
                                 " Click No to create a new file without saving the current contents.\n" + bullet +
                                 " Select/click Cancel to abort creating a new file.";
    const int answer = MessageBoxYesNoCancel(Handle(), question, "Save the Current Keywords ?");
    bool startNew = false;
    if (answer == IDYES) {
        ShowMessage("Save current keywords file !");
        // A list is only dropped once it is safely in its file.
        startNew = SaveKeywordList();
    } else if (answer == IDNO) {
        ShowMessage("Create new file WITHOUT saving current file !");
        startNew = true;
    } else {
        ShowMessage("Cancel creating a new file !");
    }
    if (!startNew) return;
    RemoveAllKeywordRows();
    FKeywordListFile.clear();
}

void TSDIAppForm::FileOpen1Exec(TObject* Sender) { RunPageFileAction(*this, paOpen, Sender); }

void TSDIAppForm::FileSaveExec(TObject* Sender) { RunPageFileAction(*this, paSave, Sender); }

void TSDIAppForm::FileSaveAs1Exec(TObject* Sender) { RunPageFileAction(*this, paSaveAs, Sender); }

void TSDIAppForm::FileSaveAllExec(TObject* Sender) {
    ShowMessage("Save all");
    FileSaveStrippedContentsExec(Sender);
    FileSaveDistinctWordsListExec(Sender);
    FileSaveKeywordListExec(Sender);
    FileSaveSuppressWordListExec(Sender);
    FileSaveLogExec(Sender);
}

void TSDIAppForm::FileCloseExec(TObject*) {
    ShowMessage("Close file !\nSorry, this feature hasn't been implemented yet.");
}

void TSDIAppForm::FileCloseAllExec(TObject*) {
    ShowMessage("Close ALl open files !\nSorry, this feature hasn't been implemented yet.");
}

void TSDIAppForm::FileExit1Exec(TObject*) { Close(); }

void TSDIAppForm::EditDelete1Exec(TObject*) {
    TWinControl* focused = ActiveControl();
    if (!focused || std::strcmp(focused->ClassName(), "TListView") != 0) {
        ShowMessage("Sorry deleting text by means of this menu item and \nbutton has only implemented  for the list "
                    "views !");
        return;
    }
    TListView* list = GetActiveListView();
    if (list == KeywordsListView1) RemoveKeywordRows(SelectedRows(list));
    else if (list == DistinctWordsListView1) list->Items().Delete(SelectedRows(list));
}

// ---------------------------------------------------------------- source and browser pages

void TSDIAppForm::FileSaveSourceFileExec(TObject* Sender) {
    if (HTMLSourceFileRichEdit1->Modified()) {
        ShowMessage("Save source file");
        if (!FSourceFileName.empty()) {
            if (!FileExists(FSourceFileName)) return;
            HTMLSourceFileRichEdit1->SetPlainText(true);
            SavePaneToFile(HTMLSourceFileRichEdit1, FSourceFileName);
            return;
        }
    }
    FileSaveSourceFileAsExec(Sender);
}

void TSDIAppForm::FileSaveSourceFileAsExec(TObject*) {
    ShowMessage("Save source file as ...");
    // A name typed without an extension gets ".htm" in this dialog only.
    SaveDialog->DefaultExt = "htm";
    const TScopeExit defaultExt([this] { SaveDialog->DefaultExt.clear(); });
    std::string fileName;
    if (!ExecuteSaveDialog(SaveDialog, FLastStrippedContentsPath, "-SourceFile", ".htm", kSaveAllHtmlFilter, fileName))
        return;
    HTMLSourceFileRichEdit1->SetPlainText(true);
    SavePaneToFile(HTMLSourceFileRichEdit1, fileName);
    HTMLSourceFileRichEdit1->SetModified(false);
    // Later default names and link targets take the copy's name.
    FSourceFileName = fileName;
    FLastSourceFilePath = ExtractFileDir(fileName);
    WriteRecent("LastSourceFilePath", FLastSourceFilePath);
}

void TSDIAppForm::FileSaveBrowserFileExec(TObject*) { ShowMessage("Sorry, this feature hasn't been implemented yet."); }

// ---------------------------------------------------------------- stripped contents

void TSDIAppForm::FileOpenStrippedContentssExec(TObject*) {
    std::string fileName;
    if (!ExecuteOpenDialog(FLastStrippedContentsPath, kOpenAllFilesFilter, fileName)) return;
    LoadPaneFromFile(StrippedContentsRichEdit1, fileName, true);
    RememberFile(fileName, FStrippedContentsFile, FLastStrippedContentsPath, "LastStrippedContentsFile",
                 "LastStrippedContentsPath", true);
}

void TSDIAppForm::FileSaveStrippedContentsExec(TObject* Sender) {
    if (!StrippedContentsRichEdit1->Modified()) return;
    if (FStrippedContentsFile.empty()) {
        FileSaveStrippedContentsAsExec(Sender);
        return;
    }
    SavePaneToFile(StrippedContentsRichEdit1, FStrippedContentsFile);
    StrippedContentsRichEdit1->SetModified(false);
    RememberFile(FStrippedContentsFile, FStrippedContentsFile, FLastStrippedContentsPath, "LastStrippedContentsFile",
                 "LastStrippedContentsPath", false);
}

void TSDIAppForm::FileSaveStrippedContentsAsExec(TObject*) {
    std::string fileName;
    if (!ExecuteSaveDialog(SaveDialog, FLastStrippedContentsPath, "-TextOnly", ".txt", kSaveTextFilter, fileName))
        return;
    StrippedContentsRichEdit1->SetPlainText(true);
    SavePaneToFile(StrippedContentsRichEdit1, fileName);
    StrippedContentsRichEdit1->SetModified(false);
    RememberFile(fileName, FStrippedContentsFile, FLastStrippedContentsPath, "LastStrippedContentsFile",
                 "LastStrippedContentsPath", true);
}

// ---------------------------------------------------------------- distinct words

void TSDIAppForm::FileSaveDistinctWordsListExec(TObject* Sender) {
    if (DistinctWordsLisRichEdit1->Modified()) FileSaveDistinctWordsListAsExec(Sender);
}

void TSDIAppForm::FileSaveDistinctWordsListAsExec(TObject*) {
    std::string fileName;
    if (!ExecuteSaveDialog(SaveDialog, FLastDistinctWordsListPath, "-WordList", ".txt", kSaveTextFilter, fileName))
        return;
    DistinctWordsLisRichEdit1->SetPlainText(true);
    SavePaneToFile(DistinctWordsLisRichEdit1, fileName);
    DistinctWordsLisRichEdit1->SetModified(false);
    RememberFile(fileName, FDistinctWordsListFile, FLastDistinctWordsListPath, "LastDistinctWordsListFileName",
                 "LastDistinctWordsListPath", false);
    // The same words with their counts beside the text file, without a question.
    if (std::unique_ptr<TStringList> lines = CreateDistinctWordsCsvList())
        SaveLinesToFile(*lines, ChangeFileExt(fileName, ".csv"));
}

// ---------------------------------------------------------------- keywords

void TSDIAppForm::FileOpenKeywordList1Exec(TObject*) {
    std::string fileName;
    if (!ExecuteOpenDialog(FLastKeywordListPath, 1, fileName, kKeywordFilesFilter)) return;
    const DWORD result = LoadKeywordListFromFile(KeywordsListView1, fileName);
    if (result != 0) {
        ShowMessage("Opening file failed with error code : " + IntToStr(static_cast<int>(result)));
        return;
    }
    RememberFile(fileName, FKeywordListFile, FLastKeywordListPath, "LastKeywordListFile", "LastKeywordListPath", true);
}

void TSDIAppForm::FileSaveKeywordListExec(TObject*) { SaveKeywordList(); }

void TSDIAppForm::FileSaveKeywordListAsExec(TObject*) { SaveKeywordListAs(); }

// ---------------------------------------------------------------- suppress words

void TSDIAppForm::FileOpenSuppressWordListExec(TObject*) {
    // The pane is in view while the user chooses, and the page that was active comes back.
    TTabSheet* const active = PageControl1->ActivePage();
    const TScopeExit restore([this, active] { PageControl1->SetActivePage(active); });
    PageControl1->SetActivePage(SuppressWordsTabSheet1);
    std::string fileName;
    if (!ExecuteOpenDialog(FLastSuppressWordListPath, kOpenAllFilesFilter, fileName)) return;
    LoadPaneFromFile(SupressedWordsRichEdit1, fileName, false);
    RememberFile(fileName, FSuppressWordListFile, FLastSuppressWordListPath, "LastSuppressWordListFile",
                 "LastSuppressWordListPath", true);
}

void TSDIAppForm::FileSaveSuppressWordListExec(TObject* Sender) {
    if (!SupressedWordsRichEdit1->Modified()) return;
    if (FSuppressWordListFile.empty()) {
        FileSaveSuppressWordListAsExec(Sender);
        return;
    }
    SupressedWordsRichEdit1->SetPlainText(true);
    SavePaneToFile(SupressedWordsRichEdit1, FSuppressWordListFile);
    SupressedWordsRichEdit1->SetModified(false);
    RememberFile(FSuppressWordListFile, FSuppressWordListFile, FLastSuppressWordListPath, "LastSuppressWordListFile",
                 "LastSuppressWordListPath", false);
}

void TSDIAppForm::FileSaveSuppressWordListAsExec(TObject*) {
    std::string fileName;
    if (!ExecuteSaveDialog(SaveDialog, FLastSuppressWordListPath, "-SuppressedWords", ".txt", kSaveTextFilter,
                           fileName))
        return;
    SupressedWordsRichEdit1->SetPlainText(true);
    SavePaneToFile(SupressedWordsRichEdit1, fileName);
    SupressedWordsRichEdit1->SetModified(false);
    RememberFile(fileName, FSuppressWordListFile, FLastSuppressWordListPath, "LastSuppressWordListFile",
                 "LastSuppressWordListPath", true);
}

// ---------------------------------------------------------------- log

void TSDIAppForm::FileSaveLogExec(TObject* Sender) {
    if (!LogRichEdit1->Modified()) return;
    if (FLogFile.empty()) {
        FileSaveLogAsExec(Sender);
        return;
    }
    // Plain text already: only Save Log As names the log file, and it switches the pane first.
    SavePaneToFile(LogRichEdit1, FLogFile);
    LogRichEdit1->SetModified(false);
    RememberFile(FLogFile, FLogFile, FLastLogFilePath, "LastLogFileName", "LastLogFilePath", false);
}

void TSDIAppForm::FileSaveLogAsExec(TObject*) {
    std::string fileName;
    if (!ExecuteSaveDialog(SaveDialog, FLastLogFilePath, "-Log", ".txt", kSaveTextFilter, fileName)) return;
    LogRichEdit1->SetPlainText(true);
    SavePaneToFile(LogRichEdit1, fileName);
    LogRichEdit1->SetModified(false);
    RememberFile(fileName, FLogFile, FLastLogFilePath, "LastLogFileName", "LastLogFilePath", true);
}

// ---------------------------------------------------------------- exports

void TSDIAppForm::FileExportDistinctWordsAsCsvExec(TObject*) {
    std::string fileName;
    if (!ExecuteSaveDialog(SaveExportFileDialog, FLastDistinctWordsListPath, "-WordList", ".csv", kExportCsvFilter,
                           fileName))
        return;
    std::unique_ptr<TStringList> lines = CreateDistinctWordsCsvList();
    if (!lines) return;
    SaveLinesToFile(*lines, fileName);
    RememberFile(fileName, FDistinctWordsListFile, FLastDistinctWordsListPath, "LastDistinctWordsListFileName",
                 "LastDistinctWordsListPath", false);
}

void TSDIAppForm::FileExportAsKeywordsMetaTagExec(TObject*) {
    TListItems& rows = KeywordsListView1->Items();
    const int count = rows.Count();
    if (count == 0) {
        ShowMessage("Please add the keywords you want to export to the Keywords List View first !");
        return;
    }
    std::string words;
    for (int i = 0; i < count; ++i) {
        if (i > 0) words += ", ";
        words += rows[i]->Caption();
    }
    const std::string tag = CreateKeywordMetaTagFromWordList(words, "");
    std::string fileName;
    if (!ExecuteSaveDialog(SaveExportFileDialog, FLastKeywordsMetaTagsPath, "-KeywordsMetaTag", ".txt",
                           kExportTextFilter, fileName))
        return;
    FLastKeywordsMetaTagsPath = ExtractFileDir(fileName);
    SafeSaveToFile(fileName, [&tag](TStream& stream) {
        if (!tag.empty()) stream.WriteBuffer(tag.data(), static_cast<int>(tag.size()));
    });
    WriteRecent("LastKeywordsMetaTagsPath", FLastKeywordsMetaTagsPath);
}

void TSDIAppForm::FileExportAsChmKeywordsFileExec(TObject*) {
    std::string fileName;
    if (!ExecuteSaveDialog(SaveExportFileDialog, FLastCHMIndexFilesPath, "-Index", ".hhk", kExportIndexFilter,
                           fileName))
        return;
    FLastCHMIndexFilesPath = ExtractFileDir(fileName);
    std::unique_ptr<TStringList> document = CreateCHMIndexFileContents(&KeywordsListView1->Items());
    if (!document) return;
    SaveLinesToFile(*document, fileName);
    WriteRecent("LastCHMIndexFilesPath", FLastCHMIndexFilesPath);
    ShowMessage("Word list successfully exported as compiled help index file.");
}

}  // namespace ruk
