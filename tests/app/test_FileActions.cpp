// The File menu's actions on the real window: the dialogs they offer (default names, folders,
// filters), what they write and remember, the text modes and Modified flags of the panes,
// New, Delete, Save All, and saves that fail.
#include "FileActionsTestSupport.h"

#include "RUKLexmillUtils1.h"

using namespace ruk;
using ruktest::FileActionsTest;
using ruktest::ReadRecent;
using Access = TSDIAppFormTestAccess;

namespace {
// Pages by index.
// The window's pages, named by their sheets for the tables of cases.
using TSheet = TTabSheet* TSDIAppForm::*;
constexpr TSheet pgSource = &TSDIAppForm::SourceFileTabSheet1;
constexpr TSheet pgStripped = &TSDIAppForm::StrippedContentsTabSheet1;
constexpr TSheet pgDistinct = &TSDIAppForm::DistinctWordsListTabSheet1;
constexpr TSheet pgKeywords = &TSDIAppForm::KeywordsTabSheet1;
constexpr TSheet pgAutoFind = &TSDIAppForm::AutoFindAndAddTabSheet1;
constexpr TSheet pgSuppress = &TSDIAppForm::SuppressWordsTabSheet1;
constexpr TSheet pgLog = &TSDIAppForm::LogTabSheet1;

const char kNewQuestionCaption[] = "Save the Current Keywords ?";
const char kSaveKeywordsFailed[] = "Saving the Keywords file FAILED !";

// The values of "Recent" that the file actions write.
const char* const kWrittenValues[] = {
    "LastSourceFilePath",       "LastStrippedContentsPath", "LastStrippedContentsFile",
    "LastSuppressWordListPath", "LastSuppressWordListFile", "LastKeywordListPath",
    "LastKeywordListFile",      "LastLogFilePath",          "LastLogFileName",
    "LastDistinctWordsListPath", "LastDistinctWordsListFileName", "LastKeywordsMetaTagsPath",
    "LastCHMIndexFilesPath"};

std::vector<std::string> RecentValues() {
    std::vector<std::string> values;
    for (const char* name : kWrittenValues) values.push_back(ReadRecent(name));
    return values;
}
}  // namespace

// ---------------------------------------------------------------- default names and dialogs

struct SaveAsCase {
    const char* Action;
    const char* Dialog;
    const char* Suffix;  // the default name after the source file's part
    int FilterIndex;
    const char* FolderValue;  // the remembered folder offered, "" for none read at start
};

class SaveAsDialogTest : public FileActionsTest, public ::testing::WithParamInterface<SaveAsCase> {};

TEST_P(SaveAsDialogTest, OffersTheDefaultNameInTheRememberedFolderAndACancelChangesNothing) {
    const SaveAsCase& c = GetParam();
    // Every folder the window reads at start is remembered, each a different existing one.
    for (const char* name : {"LastStrippedContentsPath", "LastSuppressWordListPath", "LastKeywordListPath",
                             "LastLogFilePath", "LastKeywordsMetaTagsPath", "LastCHMIndexFilesPath",
                             "LastDistinctWordsListPath"}) {
        CreateDirectoryA(Path(name).c_str(), nullptr);
        ruktest::WriteRecent(name, Path(name));
    }
    Open();
    AddKeywordRow("alpha");  // the meta-tag export asks for keywords first
    const std::vector<std::string> before = RecentValues();
    auto* action = FindComponentAs<TAction>(Form, c.Action);
    const std::string folder = *c.FolderValue ? Path(c.FolderValue) : "";

    // The source file, and the name's first part made from it.
    const std::pair<const char*, const char*> sources[] = {
        {"", "NoName"}, {"D:\\web\\my.page.htm", "mypagehtm"}, {"D:name.en.html", "nameenhtml"}, {"plain", "plain"}};
    for (const auto& [source, stem] : sources) {
        SCOPED_TRACE(source);
        Access::SourceFileName(*Form) = source;
        Offered.clear();
        Choose("");
        Run(action);
        ASSERT_EQ(Offered.size(), 1u);
        EXPECT_EQ(Offered[0].Dialog, c.Dialog);
        EXPECT_EQ(Offered[0].FileName, std::string(stem) + c.Suffix);
        EXPECT_EQ(Offered[0].FilterIndex, c.FilterIndex);
        EXPECT_EQ(Offered[0].InitialDir, folder);
    }
    // A remembered folder that has gone since start is not handed to the dialog.
    if (!folder.empty()) {
        RemoveDirectoryA(folder.c_str());
        Offered.clear();
        Choose("");
        Run(action);
        ASSERT_EQ(Offered.size(), 1u);
        EXPECT_EQ(Offered[0].InitialDir, "");
    }
    EXPECT_EQ(RecentValues(), before);
    EXPECT_TRUE(Shown.Messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Actions, SaveAsDialogTest,
    ::testing::Values(
        SaveAsCase{"FileSaveSourceFileAs", "SaveDialog", "-SourceFile.htm", 3, "LastStrippedContentsPath"},
        SaveAsCase{"FileSvaeStrippedContentsAs", "SaveDialog", "-TextOnly.txt", 6, "LastStrippedContentsPath"},
        SaveAsCase{"FileSaveDistinctWordsListAs", "SaveDialog", "-WordList.txt", 6, ""},
        SaveAsCase{"FileSaveKeywordListAs", "SaveDialog", "-Keywords.rlk", 5, "LastKeywordListPath"},
        SaveAsCase{"FileSaveSuppressWordListAs", "SaveDialog", "-SuppressedWords.txt", 6,
                   "LastSuppressWordListPath"},
        SaveAsCase{"FileSaveLogAs", "SaveDialog", "-Log.txt", 6, "LastLogFilePath"},
        SaveAsCase{"FileExportDistinctWordsAsCsv", "SaveExportFileDialog", "-WordList.csv", 7, ""},
        SaveAsCase{"FileExportAsKeywordsMetaTag", "SaveExportFileDialog", "-KeywordsMetaTag.txt", 6,
                   "LastKeywordsMetaTagsPath"},
        SaveAsCase{"FileExportAsChmKeywordsFile", "SaveExportFileDialog", "-Index.hhk", 1,
                   "LastCHMIndexFilesPath"}),
    [](const ::testing::TestParamInfo<SaveAsCase>& info) { return std::string(info.param.Action); });

TEST_F(FileActionsTest, SaveAsPerPageAndNothingOnTheAutoFindPage) {
    Open();
    const struct {
        TSheet Page;
        const char* Offered;  // "" for no dialog
    } cases[] = {{pgSource, "NoName-SourceFile.htm"}, {pgStripped, "NoName-TextOnly.txt"},
                 {pgDistinct, "NoName-WordList.txt"},  {pgKeywords, "NoName-Keywords.rlk"},
                 {pgAutoFind, ""},                      {pgSuppress, "NoName-SuppressedWords.txt"},
                 {pgLog, "NoName-Log.txt"}};
    for (const auto& c : cases) {
        SCOPED_TRACE((Form->*c.Page)->Name());
        Form->PageControl1->SetActivePage(Form->*c.Page);
        Offered.clear();
        if (*c.Offered) Choose("");
        Run(Form->FileSaveAs1);
        ASSERT_EQ(Offered.size(), *c.Offered ? 1u : 0u);
        if (*c.Offered) {
            EXPECT_EQ(Offered[0].FileName, c.Offered);
        }
    }
    // Save and Open on the Auto Find and Add page, Open on the Distinct Words List and Log pages.
    Offered.clear();
    Form->PageControl1->SetActivePage(Form->*pgAutoFind);
    Run(Form->FileSave1);
    for (TSheet page : {pgDistinct, pgAutoFind, pgLog}) {
        Form->PageControl1->SetActivePage(Form->*page);
        Run(Form->FileOpen1);
    }
    EXPECT_TRUE(Offered.empty());
    EXPECT_TRUE(Shown.Messages.empty());
}

TEST_F(FileActionsTest, SaveSourceFileAsAddsHtmOnlyInItsOwnDialogAndMakesTheCopyTheSource) {
    Open();
    Form->HTMLSourceFileRichEdit1->SetText("<p>copy</p>");
    Form->HTMLSourceFileRichEdit1->SetModified(true);
    Choose(Path("copy"));
    Run(Form->FileSaveSourceFileAs);
    ASSERT_EQ(Offered.size(), 1u);
    EXPECT_EQ(Offered[0].DefaultExt, "htm");
    EXPECT_EQ(Form->SaveDialog->DefaultExt, "");
    EXPECT_EQ(Boxes.Texts(), std::vector<std::string>{"Save source file as ..."});
    EXPECT_EQ(ReadFileBytes(Path("copy.htm")), "<p>copy</p>");
    EXPECT_FALSE(Form->HTMLSourceFileRichEdit1->Modified());
    EXPECT_EQ(Form->SourceFileName(), Path("copy.htm"));
    EXPECT_EQ(ReadRecent("LastSourceFilePath"), Folder());
    // The next default name comes from the copy; another Save As keeps a name as typed.
    Choose(Path("log"));
    Run(Form->FileSaveLogAs);
    EXPECT_EQ(Offered[1].FileName, "copyhtm-Log.txt");
    EXPECT_EQ(Offered[1].DefaultExt, "");
    EXPECT_EQ(ReadFileBytes(Path("log")), "");
    // A cancelled run resets the default extension too.
    Choose("");
    Run(Form->FileSaveSourceFileAs);
    EXPECT_EQ(Form->SaveDialog->DefaultExt, "");
}

// ---------------------------------------------------------------- source page

TEST_F(FileActionsTest, SaveOnTheSourcePageAfterALoadGoesToSaveAsAndLeavesTheDocumentAlone) {
    // A document the pane cannot hold as it is: saving the pane over it would lose characters.
    const char utf16[] = "\xFF\xFE<\0p\0>\0\xAC\x20\x3A\x04";
    const std::string document(utf16, sizeof utf16 - 1);
    const std::string source = Path("page.htm");
    ruktest::WriteTextFile(source, document);
    Open();
    Choose(source);
    ASSERT_TRUE(Form->FileSelSourceFiles1->Execute());
    // The loader keeps the byte-order mark as the text's first character.
    ASSERT_TRUE(ruktest::PumpUntil(
        [&] { return Form->HTMLSourceFileRichEdit1->Text().find("<p>") != std::string::npos; }));
    ruktest::Pump();
    EXPECT_FALSE(Form->HTMLSourceFileRichEdit1->Modified());

    ShowPage(Form->SourceFileTabSheet1);
    Choose("");
    Run(Form->FileSave1);
    ASSERT_EQ(Offered.size(), 2u);
    EXPECT_EQ(Offered[1].FileName, "pagehtm-SourceFile.htm");
    EXPECT_EQ(Boxes.Texts(), std::vector<std::string>{"Save source file as ..."});
    EXPECT_EQ(ReadFileBytes(source), document);

    // Once the user has changed it, Save writes the pane over the document, as plain text, and
    // leaves the pane modified.
    Form->HTMLSourceFileRichEdit1->SetText("<p>edited</p>");
    Form->HTMLSourceFileRichEdit1->SetModified(true);
    Run(Form->FileSave1);
    EXPECT_EQ(Offered.size(), 2u);
    EXPECT_EQ(Boxes.Texts().back(), "Save source file");
    EXPECT_EQ(ReadFileBytes(source), "<p>edited</p>");
    EXPECT_TRUE(Form->HTMLSourceFileRichEdit1->Modified());
    // A document that is gone is not written again.
    DeleteFileA(source.c_str());
    Run(Form->FileSave1);
    EXPECT_EQ(ReadFileBytes(source), "<missing>");
    EXPECT_TRUE(Shown.Messages.empty());
}

TEST_F(FileActionsTest, BrowserSaveCloseAndCloseAllOnlyTellAndExitClosesAtOnce) {
    Open();
    Form->LogRichEdit1->SetModified(true);
    ShowPage(Form->BrowserTabSheet1);
    Run(Form->FileSave1);
    Run(Form->FileClose);
    Run(Form->FileCloseAll);
    EXPECT_EQ(Boxes.Texts(), (std::vector<std::string>{"Sorry, this feature hasn't been implemented yet.",
                                                       "Close file !\nSorry, this feature hasn't been implemented yet.",
                                                       "Close ALl open files !\nSorry, this feature hasn't been implemented yet."}));
    Run(Form->FileExit1);
    EXPECT_FALSE(IsWindowVisible(Form->Handle()));
    EXPECT_EQ(Boxes.Texts().size(), 3u);
    EXPECT_TRUE(Offered.empty());
}

// ---------------------------------------------------------------- pane saves

TEST_F(FileActionsTest, SaveLogWritesPlainTextOnceNamedAndOnlyWhenModified) {
    Open();
    ShowPage(Form->LogTabSheet1);
    Form->LogRichEdit1->SetText("first line\r\nsecond line");
    // Unmodified: nothing, even without a log file.
    Run(Form->FileSave1);
    EXPECT_TRUE(Offered.empty());

    Form->LogRichEdit1->SetModified(true);
    Choose(Path("run.log"));
    Run(Form->FileSave1);
    ASSERT_EQ(Offered.size(), 1u);
    EXPECT_EQ(ReadFileBytes(Path("run.log")), "first line\r\nsecond line");
    EXPECT_TRUE(Form->LogRichEdit1->PlainText());
    EXPECT_FALSE(Form->LogRichEdit1->Modified());
    EXPECT_EQ(ReadRecent("LastLogFileName"), Path("run.log"));
    EXPECT_EQ(ReadRecent("LastLogFilePath"), Folder());

    // Named now: Save writes over it without a dialog.
    Form->LogRichEdit1->Lines().Add("third line");
    Form->LogRichEdit1->SetModified(true);
    ruktest::WriteRecent("LastLogFileName", "");
    Run(Form->FileSave1);
    EXPECT_EQ(Offered.size(), 1u);
    EXPECT_EQ(ReadFileBytes(Path("run.log")), "first line\r\nsecond line\r\nthird line");
    EXPECT_FALSE(Form->LogRichEdit1->Modified());
    EXPECT_EQ(ReadRecent("LastLogFileName"), Path("run.log"));
    EXPECT_EQ(FilesIn(Dir), std::vector<std::string>{"run.log"});
    EXPECT_TRUE(Shown.Messages.empty());
}

TEST_F(FileActionsTest, StrippedContentsOpenedAsPlainTextIsSavedBackAsPlainText) {
    const std::string plain = "stripped words\r\nmore words";
    ruktest::WriteTextFile(Path("plain.txt"), plain);
    const std::string rich = "{\\rtf1\\ansi{\\fonttbl\\f0\\fswiss Arial;}\\f0\\pard rich words\\par}";
    ruktest::WriteTextFile(Path("rich.rtf"), rich);
    Open();
    ShowPage(Form->StrippedContentsTabSheet1);

    Choose(Path("plain.txt"));
    Run(Form->FileOpen1);
    ASSERT_EQ(Offered.size(), 1u);
    EXPECT_EQ(Offered[0].FilterIndex, 6);
    EXPECT_EQ(Form->OpenDialog->FilterIndex, 3);
    EXPECT_EQ(Form->OpenDialog->FileName, "");
    EXPECT_EQ(Form->StrippedContentsRichEdit1->Text(), plain);
    EXPECT_TRUE(Form->StrippedContentsRichEdit1->PlainText());
    EXPECT_FALSE(Form->StrippedContentsRichEdit1->Modified());
    EXPECT_EQ(ReadRecent("LastStrippedContentsFile"), Path("plain.txt"));
    EXPECT_EQ(ReadRecent("LastStrippedContentsPath"), Folder());
    // Unmodified after the load: Save does nothing.
    Run(Form->FileSave1);
    EXPECT_EQ(Offered.size(), 1u);

    Form->StrippedContentsRichEdit1->Lines().Add("added");
    Form->StrippedContentsRichEdit1->SetModified(true);
    Run(Form->FileSave1);
    EXPECT_EQ(Offered.size(), 1u);
    EXPECT_EQ(ReadFileBytes(Path("plain.txt")), plain + "\r\nadded");
    EXPECT_FALSE(Form->StrippedContentsRichEdit1->Modified());
    EXPECT_TRUE(Shown.Messages.empty());
}

TEST_F(FileActionsTest, StrippedContentsOpenedAsRichTextStaysRichText) {
    const std::string rich = "{\\rtf1\\ansi{\\fonttbl\\f0\\fswiss Arial;}\\f0\\pard rich words\\par}";
    ruktest::WriteTextFile(Path("rich.rtf"), rich);
    Open();
    ShowPage(Form->StrippedContentsTabSheet1);
    Choose(Path("rich.rtf"));
    Run(Form->FileOpen1);
    EXPECT_FALSE(Form->StrippedContentsRichEdit1->PlainText());
    EXPECT_FALSE(Form->StrippedContentsRichEdit1->Modified());
    EXPECT_EQ(Trim(Form->StrippedContentsRichEdit1->Text()), "rich words");
    Form->StrippedContentsRichEdit1->SetModified(true);
    Run(Form->FileSave1);
    const std::string written = ReadFileBytes(Path("rich.rtf"));
    EXPECT_EQ(written.rfind("{\\rtf", 0), 0u) << written;
    EXPECT_NE(written.find("rich words"), std::string::npos);
    // Save As switches the pane to plain text for the rest of the run.
    Choose(Path("text.txt"));
    Run(Form->FileSaveAs1);
    EXPECT_TRUE(Form->StrippedContentsRichEdit1->PlainText());
    EXPECT_EQ(Trim(ReadFileBytes(Path("text.txt"))), "rich words");
    EXPECT_EQ(ReadRecent("LastStrippedContentsFile"), Path("text.txt"));
}

TEST_F(FileActionsTest, SaveDistinctWordsListAsWritesTheTextAndTheCommaSeparatedLines) {
    Open();
    ShowPage(Form->DistinctWordsListTabSheet1);
    Form->DistinctWordsLisRichEdit1->SetText("1,000\r\nalpha\r\nbeta");
    AddRow(Form->DistinctWordsListView1, "1,000", {"2"});
    AddRow(Form->DistinctWordsListView1, "alpha", {"3"});
    AddRow(Form->DistinctWordsListView1, "beta", {"1"});
    const std::string csv = "Word, Occurrences\r\n\"1,000\", 2\r\nalpha, 3\r\nbeta, 1\r\n";
    // Unmodified: Save does nothing; modified, it always goes to Save As.
    Run(Form->FileSave1);
    EXPECT_TRUE(Offered.empty());
    Form->DistinctWordsLisRichEdit1->SetModified(true);
    Choose(Path("words.txt"));
    Run(Form->FileSave1);
    ASSERT_EQ(Offered.size(), 1u);
    EXPECT_EQ(ReadFileBytes(Path("words.txt")), "1,000\r\nalpha\r\nbeta");
    EXPECT_EQ(ReadFileBytes(Path("words.csv")), csv);
    EXPECT_FALSE(Form->DistinctWordsLisRichEdit1->Modified());
    EXPECT_EQ(ReadRecent("LastDistinctWordsListFileName"), Path("words.txt"));
    EXPECT_EQ(ReadRecent("LastDistinctWordsListPath"), Folder());

    // Saved as a .csv, the comma-separated lines are what stays in it.
    Form->DistinctWordsLisRichEdit1->SetModified(true);
    Choose(Path("only.csv"));
    Run(Form->FileSave1);
    ASSERT_EQ(Offered.size(), 2u);
    EXPECT_EQ(Offered[1].InitialDir, Folder());
    EXPECT_EQ(ReadFileBytes(Path("only.csv")), csv);

    // Without rows only the text file.
    Form->DistinctWordsListView1->Items().Clear();
    Choose(Path("no rows"));
    Run(Form->FileSaveAs1);
    EXPECT_EQ(ReadFileBytes(Path("no rows")), "1,000\r\nalpha\r\nbeta");
    EXPECT_EQ(FilesIn(Dir), (std::vector<std::string>{"no rows", "only.csv", "words.csv", "words.txt"}));
    EXPECT_TRUE(Shown.Messages.empty());
}

// ---------------------------------------------------------------- suppress words

TEST_F(FileActionsTest, OpenSuppressWordListShowsItsPageDuringTheDialogAndTheActivePageAfter) {
    ruktest::WriteTextFile(Path("suppress.txt"), "the\r\nand\r\n");
    const std::string remembered = Path("suppress folder");
    CreateDirectoryA(remembered.c_str(), nullptr);
    ruktest::WriteRecent("LastSuppressWordListPath", remembered);
    Open();
    ShowPage(Form->LogTabSheet1);
    // Reached through Open on the suppress-word page, or directly as here from the Log page.
    Choose("");
    Run(Form->FileOpenSuppressWordList);
    Choose(Path("suppress.txt"));
    Run(Form->FileOpenSuppressWordList);
    ASSERT_EQ(Offered.size(), 2u);
    for (const auto& o : Offered) {
        EXPECT_EQ(o.ActivePage, Form->*pgSuppress);
        EXPECT_EQ(o.FilterIndex, 6);
        EXPECT_EQ(o.InitialDir, remembered);
    }
    EXPECT_EQ(Form->PageControl1->ActivePage(), Form->*pgLog);
    EXPECT_EQ(Form->SupressedWordsRichEdit1->Text(), "the\r\nand\r\n");
    EXPECT_FALSE(Form->SupressedWordsRichEdit1->Modified());
    EXPECT_EQ(ReadRecent("LastSuppressWordListFile"), Path("suppress.txt"));
    EXPECT_EQ(ReadRecent("LastSuppressWordListPath"), Folder());

    // Save switches the pane to plain text and writes over the opened file.
    Form->SupressedWordsRichEdit1->Lines().Add("or");
    Form->SupressedWordsRichEdit1->SetModified(true);
    ShowPage(Form->SuppressWordsTabSheet1);
    Run(Form->FileSave1);
    EXPECT_EQ(Offered.size(), 2u);
    EXPECT_TRUE(Form->SupressedWordsRichEdit1->PlainText());
    EXPECT_EQ(ReadFileBytes(Path("suppress.txt")), "the\r\nand\r\nor");
    EXPECT_FALSE(Form->SupressedWordsRichEdit1->Modified());
    EXPECT_TRUE(Shown.Messages.empty());
}

// ---------------------------------------------------------------- keywords

TEST_F(FileActionsTest, OpenKeywordListTwiceAppendsAndPutsTheDialogsFilterBack) {
    Open();
    AddKeywordRow("alpha", "a.htm", "A");
    AddKeywordRow("beta", "b.htm", "B");
    ASSERT_EQ(SaveKeywordListToFile(Form->KeywordsListView1, Path("list.rlk")), 0u);
    Form->KeywordsListView1->Items().Clear();
    ShowPage(Form->KeywordsTabSheet1);
    const std::string filter = Form->OpenDialog->Filter;
    Choose(Path("list.rlk"));
    Run(Form->FileOpen1);
    Choose(Path("list.rlk"));
    Run(Form->FileOpen1);
    ASSERT_EQ(Offered.size(), 2u);
    EXPECT_EQ(Offered[0].Filter, "Lexmill Keyword files (*.rlk)|*.rlk");
    EXPECT_EQ(Offered[0].FilterIndex, 1);
    EXPECT_EQ(Offered[0].InitialDir, "");
    EXPECT_EQ(Offered[1].InitialDir, Folder());
    EXPECT_EQ(Form->OpenDialog->Filter, filter);
    EXPECT_EQ(Form->OpenDialog->FilterIndex, 3);
    EXPECT_EQ(Captions(Form->KeywordsListView1), (std::vector<std::string>{"alpha", "beta", "alpha", "beta"}));
    EXPECT_EQ(ReadRecent("LastKeywordListFile"), Path("list.rlk"));
    EXPECT_EQ(ReadRecent("LastKeywordListPath"), Folder());

    // A file that cannot be read: the code, and the remembered file stays.
    Choose(Path("missing.rlk"));
    Run(Form->FileOpen1);
    ASSERT_EQ(Boxes.Texts().size(), 1u);
    EXPECT_EQ(Boxes.Texts()[0].rfind("Opening file failed with error code : ", 0), 0u) << Boxes.Texts()[0];
    EXPECT_EQ(ReadRecent("LastKeywordListFile"), Path("list.rlk"));
    EXPECT_EQ(Access::KeywordListFile(*Form), Path("list.rlk"));
    EXPECT_EQ(Form->OpenDialog->Filter, filter);
    EXPECT_EQ(Form->KeywordsListView1->Items().Count(), 4);
}

TEST_F(FileActionsTest, SaveKeywordsWritesTheRememberedFileAndTellsAFailure) {
    Open();
    ShowPage(Form->KeywordsTabSheet1);
    AddKeywordRow("alpha");
    Choose(Path("k.rlk"));
    Run(Form->FileSave1);  // no file yet: Save Keywords As
    ASSERT_EQ(Offered.size(), 1u);
    EXPECT_EQ(ReadRecent("LastKeywordListFile"), Path("k.rlk"));
    EXPECT_EQ(ReadRecent("LastKeywordListPath"), Folder());
    const std::string one = ReadFileBytes(Path("k.rlk"));
    AddKeywordRow("beta");
    Run(Form->FileSave1);  // always, without a Modified test
    EXPECT_EQ(Offered.size(), 1u);
    const std::string two = ReadFileBytes(Path("k.rlk"));
    EXPECT_GT(two.size(), one.size());

    // An emptied list is saved as a file of no rows, which opens again as an empty list.
    Form->KeywordsListView1->Items().Clear();
    Run(Form->FileSave1);
    EXPECT_TRUE(Boxes.Texts().empty());
    EXPECT_LT(ReadFileBytes(Path("k.rlk")).size(), one.size());
    Choose(Path("k.rlk"));
    Run(Form->FileOpen1);
    EXPECT_TRUE(Boxes.Texts().empty());
    EXPECT_EQ(Form->KeywordsListView1->Items().Count(), 0);
    // A save that fails says so, and the remembered file stays.
    AddKeywordRow("gamma");
    Choose(Path("no such folder\\other.rlk"));
    Run(Form->FileSaveAs1);
    EXPECT_EQ(Boxes.Texts(), std::vector<std::string>{kSaveKeywordsFailed});
    EXPECT_EQ(ReadRecent("LastKeywordListFile"), Path("k.rlk"));
}

struct NewCase {
    const char* Name;
    TSheet Page;
    int Rows;
    bool RememberedFile;
    int Answer;             // of the question; 0 when no question comes
    const char* Dialog;     // the Save Keywords As answer: "-" no dialog, "" cancelled, else a name
    const char* Told;       // the message after the question (or instead of it)
    bool ListCleared;
};

class NewTest : public FileActionsTest, public ::testing::WithParamInterface<NewCase> {};

TEST_P(NewTest, AsksBeforeStartingANewKeywordList) {
    const NewCase& c = GetParam();
    Open();
    std::vector<TListItem*> rows;
    for (int i = 0; i < c.Rows; ++i) rows.push_back(AddKeywordRow("keyword" + IntToStr(i)));
    for (TListItem* row : rows) AddFoundRow(row);
    if (c.RememberedFile) {
        Access::KeywordListFile(*Form) = Path("remembered.rlk");
        // A save over it fails.
        ASSERT_TRUE(MakeUnwritable(Path("remembered.rlk"), ruktest::Unwritable::FileInUse));
    }
    Form->PageControl1->SetActivePage(Form->*c.Page);
    if (c.Answer) Boxes.Answer(kNewQuestionCaption, c.Answer);
    if (std::string(c.Dialog) != "-") Choose(*c.Dialog ? Path(c.Dialog) : "");
    Run(Form->FileNew1);

    const auto& seen = ruktest::BoxWatcher::Seen();
    std::vector<std::string> told;
    for (const auto& box : seen)
        if (box.Caption != kNewQuestionCaption) told.push_back(box.Text);
    if (c.Answer) {
        ASSERT_FALSE(seen.empty());
        EXPECT_EQ(seen[0].Caption, kNewQuestionCaption);
        EXPECT_EQ(seen[0].Text,
                  "Do you want to save the current keywords, prior to creating the new file ?\n\n\x95 Click the Yes "
                  "button to save the current keywords to a file.\n\x95 Click No to create a new file without saving "
                  "the current contents.\n\x95 Select/click Cancel to abort creating a new file.");
    }
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(told[0], c.Told);
    EXPECT_EQ(Form->KeywordsListView1->Items().Count(), c.ListCleared ? 0 : c.Rows);
    EXPECT_EQ(Form->AutoFindListView1->Items().Count(), c.ListCleared ? 0 : c.Rows);
    const std::string file = c.ListCleared ? "" : c.RememberedFile ? Path("remembered.rlk") : "";
    EXPECT_EQ(Access::KeywordListFile(*Form), file);
    ReleaseTargets();
    if (c.RememberedFile) {
        EXPECT_EQ(ReadFileBytes(Path("remembered.rlk")), "previous contents");
    }
    if (*c.Dialog && std::string(c.Dialog) != "-") {
        // The saved list is complete.
        ASSERT_EQ(LoadKeywordListFromFile(Form->KeywordsListView1, Path(c.Dialog)), 0u);
        EXPECT_EQ(Form->KeywordsListView1->Items().Count(), c.Rows);
    }
    EXPECT_TRUE(Shown.Messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Answers, NewTest,
    ::testing::Values(
        NewCase{"OtherPage", pgLog, 2, false, 0, "-",
                "Sorry,\nCreating a new file other than a Keywords file\nhasn't been implemented yet.", false},
        NewCase{"NothingToSave", pgKeywords, 0, false, 0, "-",
                "Sorry,\nNo keywords to save.\nAdd some keywords and try again.", false},
        NewCase{"Cancel", pgKeywords, 2, false, IDCANCEL, "-", "Cancel creating a new file !", false},
        NewCase{"No", pgKeywords, 2, false, IDNO, "-", "Create new file WITHOUT saving current file !", true},
        NewCase{"NoWithAFileAndNoRows", pgKeywords, 0, true, IDNO, "-",
                "Create new file WITHOUT saving current file !", true},
        NewCase{"YesSaved", pgKeywords, 3, false, IDYES, "new.rlk", "Save current keywords file !", true},
        NewCase{"YesDialogCancelled", pgKeywords, 2, false, IDYES, "", "Save current keywords file !", false},
        NewCase{"YesSaveFailed", pgKeywords, 2, true, IDYES, "-", "Save current keywords file !", false}),
    [](const ::testing::TestParamInfo<NewCase>& info) { return std::string(info.param.Name); });

TEST_F(FileActionsTest, NewAnsweredNoForgetsTheFileSoTheNextSaveAsks) {
    Open();
    ShowPage(Form->KeywordsTabSheet1);
    AddKeywordRow("alpha");
    Access::KeywordListFile(*Form) = Path("kept.rlk");
    Boxes.Answer(kNewQuestionCaption, IDNO);
    Run(Form->FileNew1);
    AddKeywordRow("beta");
    Choose("");
    Run(Form->FileSave1);
    ASSERT_EQ(Offered.size(), 1u);
    EXPECT_EQ(Offered[0].FileName, "NoName-Keywords.rlk");
    EXPECT_EQ(ReadFileBytes(Path("kept.rlk")), "<missing>");
}

// ---------------------------------------------------------------- Delete

TEST_F(FileActionsTest, DeleteRemovesTheSelectedKeywordRowsAndTheAutoFindRowsOfThem) {
    Open();
    ShowPage(Form->KeywordsTabSheet1);
    std::vector<TListItem*> rows;
    for (const char* k : {"a", "b", "c", "d", "e"}) rows.push_back(AddKeywordRow(k));
    for (int i : {1, 2, 4, 0, 1}) AddFoundRow(rows[i]);
    for (int i : {1, 3, 4}) rows[i]->SetSelected(true);
    Form->KeywordsListView1->SetFocus();
    Run(Form->EditDelete1);
    EXPECT_EQ(Captions(Form->KeywordsListView1), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(Captions(Form->AutoFindListView1), (std::vector<std::string>{"c", "a"}));
    // The auto-find rows left still lead to live rows.
    for (int i = 0; i < 2; ++i) {
        auto* target = static_cast<TListItem*>(Form->AutoFindListView1->Items()[i]->Data);
        EXPECT_EQ(target->Caption(), Form->AutoFindListView1->Items()[i]->Caption());
        EXPECT_GE(target->Index(), 0);
    }
    EXPECT_TRUE(Boxes.Texts().empty());
    EXPECT_TRUE(Shown.Messages.empty());
}

TEST_F(FileActionsTest, DeleteActsOnAFocusedListViewOfItsPageOnly) {
    Open();
    const char* listViewsOnly =
        "Sorry deleting text by means of this menu item and \nbutton has only implemented  for the list views !";
    AddRow(Form->DistinctWordsListView1, "alpha", {"3"});
    AddRow(Form->DistinctWordsListView1, "beta", {"1"})->SetSelected(true);
    TListItem* keyword = AddKeywordRow("k");
    AddFoundRow(keyword)->SetSelected(true);

    // The focus in a text pane.
    ShowPage(Form->LogTabSheet1);
    Form->LogRichEdit1->SetFocus();
    Run(Form->EditDelete1);
    EXPECT_EQ(Boxes.Texts(), std::vector<std::string>{listViewsOnly});
    // The Auto Find and Add page: nothing.
    ShowPage(Form->AutoFindAndAddTabSheet1);
    Form->AutoFindListView1->SetFocus();
    Run(Form->EditDelete1);
    EXPECT_EQ(Form->AutoFindListView1->Items().Count(), 1);
    // The keyword page without a selection: nothing.
    ShowPage(Form->KeywordsTabSheet1);
    Form->KeywordsListView1->SetFocus();
    Run(Form->EditDelete1);
    EXPECT_EQ(Form->KeywordsListView1->Items().Count(), 1);
    // The distinct-word list view.
    ShowPage(Form->DistinctWordsListTabSheet1);
    Form->DistinctWordsListView1->SetFocus();
    Run(Form->EditDelete1);
    EXPECT_EQ(Captions(Form->DistinctWordsListView1), std::vector<std::string>{"alpha"});
    EXPECT_EQ(Boxes.Texts().size(), 1u);
    EXPECT_TRUE(Shown.Messages.empty());
}

// New, or Delete of every step-th row (0: New; 1: every row), with the list's focus on its last
// row as Ctrl+End leaves it: the rows that go take their auto-find rows with them, the others
// stay as they were, and the focus stays on the last row where it is left.
struct FocusedRemovalCase {
    const char* Name;
    int Step;
};

class FocusedRemovalTest : public FileActionsTest, public ::testing::WithParamInterface<FocusedRemovalCase> {};

TEST_P(FocusedRemovalTest, TheRowsGoWithTheirAutoFindRowsAndTheOthersStayAsTheyWere) {
    const FocusedRemovalCase& c = GetParam();
    constexpr int kRows = 150;
    Open();
    ShowPage(Form->KeywordsTabSheet1);
    TListView* keywords = Form->KeywordsListView1;
    // Each row as its cells.
    auto cells = [](TListItem* row) {
        std::vector<std::string> texts{row->Caption()};
        for (int i = 0; i < row->SubItems().Count(); ++i) texts.push_back(row->SubItems().Strings(i));
        return texts;
    };
    std::vector<std::vector<std::string>> staying;
    for (int i = 0; i < kRows; ++i) {
        const std::string n = IntToStr(i);
        TListItem* row = AddKeywordRow("keyword" + n, n + ".htm", "Title " + n);
        AddFoundRow(row);
        if (c.Step > 0 && i % c.Step == 0) row->SetSelected(true);
        else if (c.Step > 0) staying.push_back(cells(row));
    }
    keywords->SetFocus();
    ruktest::FocusListRow(keywords->Handle(), kRows - 1);
    ruktest::Pump();
    if (c.Step == 0) Boxes.Answer(kNewQuestionCaption, IDNO);
    Run(c.Step == 0 ? Form->FileNew1 : Form->EditDelete1);

    std::vector<std::vector<std::string>> left;
    for (int i = 0; i < keywords->Items().Count(); ++i) {
        TListItem* row = keywords->Items()[i];
        left.push_back(cells(row));
        EXPECT_FALSE(row->Selected());
        ASSERT_LT(i, Form->AutoFindListView1->Items().Count());
        EXPECT_EQ(Form->AutoFindListView1->Items()[i]->Data, row);
    }
    EXPECT_EQ(left, staying);
    EXPECT_EQ(Form->AutoFindListView1->Items().Count(), keywords->Items().Count());
    EXPECT_EQ(ruktest::FocusedListRow(keywords->Handle()), staying.empty() ? -1 : keywords->Items().Count() - 1);
    EXPECT_TRUE(Shown.Messages.empty());
}

INSTANTIATE_TEST_SUITE_P(FocusOnTheLastRow, FocusedRemovalTest,
                         ::testing::Values(FocusedRemovalCase{"New", 0}, FocusedRemovalCase{"DeleteOfEveryRow", 1},
                                           FocusedRemovalCase{"DeleteOfEveryOtherRow", 2}),
                         [](const ::testing::TestParamInfo<FocusedRemovalCase>& info) {
                             return std::string(info.param.Name);
                         });

// ---------------------------------------------------------------- Save All

TEST_F(FileActionsTest, SaveAllSavesEveryKindInItsOrder) {
    Open();
    Form->StrippedContentsRichEdit1->SetText("stripped");
    Form->DistinctWordsLisRichEdit1->SetText("word");
    AddRow(Form->DistinctWordsListView1, "word", {"1"});
    AddKeywordRow("keyword");
    Form->SupressedWordsRichEdit1->SetText("the");
    Form->LogRichEdit1->SetText("log");
    for (TRichEdit* pane : {Form->StrippedContentsRichEdit1, Form->DistinctWordsLisRichEdit1,
                            Form->SupressedWordsRichEdit1, Form->LogRichEdit1})
        pane->SetModified(true);
    for (const char* name : {"stripped.txt", "words.txt", "k.rlk", "suppress.txt", "log.txt"}) Choose(Path(name));
    Run(Form->FileSaveAll);
    ASSERT_EQ(Offered.size(), 5u);
    const char* offered[] = {"NoName-TextOnly.txt", "NoName-WordList.txt", "NoName-Keywords.rlk",
                             "NoName-SuppressedWords.txt", "NoName-Log.txt"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(Offered[i].FileName, offered[i]);
    EXPECT_EQ(Boxes.Texts(), std::vector<std::string>{"Save all"});
    EXPECT_EQ(ReadFileBytes(Path("stripped.txt")), "stripped");
    EXPECT_EQ(ReadFileBytes(Path("words.csv")), "Word, Occurrences\r\nword, 1\r\n");
    EXPECT_EQ(ReadFileBytes(Path("suppress.txt")), "the");
    EXPECT_EQ(ReadFileBytes(Path("log.txt")), "log");
    const std::string keywords = ReadFileBytes(Path("k.rlk"));
    EXPECT_NE(keywords.find("keyword"), std::string::npos);

    // All named and unmodified: only the keywords, which are always saved, and no dialog.
    AddKeywordRow("second");
    Form->LogRichEdit1->SetText("changed log");
    Run(Form->FileSaveAll);
    EXPECT_EQ(Offered.size(), 5u);
    EXPECT_GT(ReadFileBytes(Path("k.rlk")).size(), keywords.size());
    EXPECT_EQ(ReadFileBytes(Path("log.txt")), "log");
    EXPECT_TRUE(Shown.Messages.empty());
}

// ---------------------------------------------------------------- failing saves

struct FailingSaveCase {
    const char* Action;
    ruktest::Unwritable Target;
};

std::string FailingSaveName(const ::testing::TestParamInfo<FailingSaveCase>& info) {
    static const char* const targets[] = {"ReadOnlyFile", "FileInUse", "MissingFolder"};
    return std::string(info.param.Action) + targets[static_cast<int>(info.param.Target)];
}

class FailingSaveTest : public FileActionsTest, public ::testing::WithParamInterface<FailingSaveCase> {};

TEST_P(FailingSaveTest, TellsAndLeavesThePreviousFileAsItWas) {
    const FailingSaveCase& c = GetParam();
    Open();
    for (TRichEdit* pane : {Form->HTMLSourceFileRichEdit1, Form->StrippedContentsRichEdit1,
                            Form->DistinctWordsLisRichEdit1, Form->SupressedWordsRichEdit1, Form->LogRichEdit1}) {
        pane->SetText("new contents");
        pane->SetModified(true);
    }
    AddRow(Form->DistinctWordsListView1, "word", {"1"});
    AddKeywordRow("keyword");
    const bool inFolder = c.Target != ruktest::Unwritable::MissingFolder;
    const std::string target = inFolder ? Path("old.txt") : Path("missing folder\\new.txt");
    if (!MakeUnwritable(target, c.Target)) GTEST_SKIP() << "this system writes such a file";
    const std::vector<std::string> before = RecentValues();
    Choose(target);
    Run(FindComponentAs<TAction>(Form, c.Action));
    ReleaseTargets();

    ASSERT_EQ(Offered.size(), 1u);
    ASSERT_EQ(Shown.Messages.size(), 1u);
    EXPECT_EQ(Shown.Messages[0].rfind("Cannot create file \"" + target + "\". ", 0), 0u) << Shown.Messages[0];
    EXPECT_EQ(ReadFileBytes(target), inFolder ? "previous contents" : "<missing>");
    EXPECT_EQ(FilesIn(Dir), inFolder ? std::vector<std::string>{"old.txt"} : std::vector<std::string>{});
    EXPECT_EQ(RecentValues(), before);
    // The pane the action writes is still modified.
    for (TRichEdit* pane : {Form->StrippedContentsRichEdit1, Form->DistinctWordsLisRichEdit1,
                            Form->SupressedWordsRichEdit1, Form->LogRichEdit1})
        EXPECT_TRUE(pane->Modified()) << pane->Name();
}

INSTANTIATE_TEST_SUITE_P(
    Targets, FailingSaveTest,
    ::testing::Values(FailingSaveCase{"FileSvaeStrippedContentsAs", ruktest::Unwritable::ReadOnlyFile},
                      FailingSaveCase{"FileSvaeStrippedContentsAs", ruktest::Unwritable::FileInUse},
                      FailingSaveCase{"FileSvaeStrippedContentsAs", ruktest::Unwritable::MissingFolder},
                      FailingSaveCase{"FileSaveDistinctWordsListAs", ruktest::Unwritable::FileInUse},
                      FailingSaveCase{"FileSaveSuppressWordListAs", ruktest::Unwritable::MissingFolder},
                      FailingSaveCase{"FileSaveLogAs", ruktest::Unwritable::ReadOnlyFile},
                      FailingSaveCase{"FileSaveLogAs", ruktest::Unwritable::FileInUse},
                      FailingSaveCase{"FileExportDistinctWordsAsCsv", ruktest::Unwritable::FileInUse},
                      FailingSaveCase{"FileExportDistinctWordsAsCsv", ruktest::Unwritable::MissingFolder},
                      FailingSaveCase{"FileExportAsKeywordsMetaTag", ruktest::Unwritable::FileInUse},
                      FailingSaveCase{"FileExportAsChmKeywordsFile", ruktest::Unwritable::MissingFolder}),
    FailingSaveName);

TEST_F(FileActionsTest, SaveKeywordsAsIntoAFileInUseTellsAndKeepsIt) {
    Open();
    AddKeywordRow("keyword");
    ASSERT_TRUE(MakeUnwritable(Path("old.rlk"), ruktest::Unwritable::FileInUse));
    Choose(Path("old.rlk"));
    Run(Form->FileSaveKeywordListAs);
    ReleaseTargets();
    EXPECT_EQ(Boxes.Texts(), std::vector<std::string>{kSaveKeywordsFailed});
    EXPECT_EQ(ReadFileBytes(Path("old.rlk")), "previous contents");
    EXPECT_EQ(ReadRecent("LastKeywordListFile"), "<missing>");
    EXPECT_EQ(Access::KeywordListFile(*Form), "");
}
