// The three exports on the real window: the files byte for byte, the remembered folders and
// files, and empty lists.
#include "FileActionsTestSupport.h"

using namespace ruk;
using ruktest::FileActionsTest;
using ruktest::ReadRecent;

namespace {
const char kNoKeywords[] = "Please add the keywords you want to export to the Keywords List View first !";
const char kIndexExported[] = "Word list successfully exported as compiled help index file.";
}  // namespace

TEST_F(FileActionsTest, CsvExportQuotesOnlyTheFieldsThatNeedIt) {
    Open();
    for (const auto& [word, count] : std::vector<std::pair<const char*, const char*>>{
             {"1,000", "2"}, {"say \"hi\"", "1"}, {"alpha", "3"}, {"beta", "1"}, {"it's", "12"}})
        AddRow(Form->DistinctWordsListView1, word, {count});
    ruktest::WriteTextFile(Path("words.csv"), "an older, longer file that is replaced without a question");
    Choose(Path("words.csv"));
    Run(Form->FileExportDistinctWordsAsCsv);
    EXPECT_EQ(ReadFileBytes(Path("words.csv")),
              "Word, Occurrences\r\n"
              "\"1,000\", 2\r\n"
              "\"say \"\"hi\"\"\", 1\r\n"
              "alpha, 3\r\n"
              "beta, 1\r\n"
              "it's, 12\r\n");
    EXPECT_EQ(ReadRecent("LastDistinctWordsListFileName"), Path("words.csv"));
    EXPECT_EQ(ReadRecent("LastDistinctWordsListPath"), Folder());
    // The next export opens in that folder; no pane, flag or other value changed.
    Choose("");
    Run(Form->FileExportDistinctWordsAsCsv);
    ASSERT_EQ(Offered.size(), 2u);
    EXPECT_EQ(Offered[1].InitialDir, Folder());
    EXPECT_EQ(ReadRecent("LastKeywordListFile"), "<missing>");
    EXPECT_TRUE(Boxes.Texts().empty());
    EXPECT_TRUE(Shown.Messages.empty());
}

TEST_F(FileActionsTest, MetaTagExportWritesTheElementAloneWithItsValueEscaped) {
    Open();
    // A single keyword, then several in list order, one with an ampersand and a quote.
    AddKeywordRow("alpha");
    Choose(Path("one.txt"));
    Run(Form->FileExportAsKeywordsMetaTag);
    EXPECT_EQ(ReadFileBytes(Path("one.txt")), "<meta name=\"keywords\" content=\"alpha\">");
    AddKeywordRow("R&D");
    AddKeywordRow("say \"hi\"");
    Choose(Path("three.htm"));
    Run(Form->FileExportAsKeywordsMetaTag);
    EXPECT_EQ(ReadFileBytes(Path("three.htm")),
              "<meta name=\"keywords\" content=\"alpha, R&amp;D, say &quot;hi&quot;\">");
    EXPECT_EQ(ReadRecent("LastKeywordsMetaTagsPath"), Folder());
    ASSERT_EQ(Offered.size(), 2u);
    EXPECT_EQ(Offered[1].InitialDir, Folder());
    EXPECT_TRUE(Boxes.Texts().empty());
    EXPECT_TRUE(Shown.Messages.empty());
}

TEST_F(FileActionsTest, IndexExportWritesTheSiteMapAndTellsSo) {
    Open();
    AddKeywordRow("html", "a.htm", "Untitled Document");
    AddKeywordRow("R&D", "b.htm", "Research");
    AddKeywordRow("no link", "", "Lost");  // left out of the index
    Choose(Path("index.hhk"));
    Run(Form->FileExportAsChmKeywordsFile);
    EXPECT_EQ(ReadFileBytes(Path("index.hhk")),
              "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\">\r\n"
              "<html>\r\n"
              "<head>\r\n"
              "<meta name=\"generator\" content=\"RUK Lexmill Version 0.3\">\r\n"
              "</head>\r\n"
              "<body>\r\n"
              "<ul>\r\n"
              "    <li><object type=\"text/sitemap\">\r\n"
              "        <param name=\"Name\" value=\"html\">\r\n"
              "        <param name=\"Name\" value=\"Untitled Document\">\r\n"
              "        <param name=\"Local\" value=\"a.htm\">\r\n"
              "        </object>\r\n"
              "    <li><object type=\"text/sitemap\">\r\n"
              "        <param name=\"Name\" value=\"R&amp;D\">\r\n"
              "        <param name=\"Name\" value=\"Research\">\r\n"
              "        <param name=\"Local\" value=\"b.htm\">\r\n"
              "        </object>\r\n"
              "</ul>\r\n"
              "</body>\r\n"
              "</html>\r\n");
    EXPECT_EQ(Boxes.Texts(), std::vector<std::string>{kIndexExported});
    EXPECT_EQ(ReadRecent("LastCHMIndexFilesPath"), Folder());
    EXPECT_TRUE(Shown.Messages.empty());
}

TEST_F(FileActionsTest, ExportsOfEmptyListsWriteNothing) {
    const std::string remembered = Path("index folder");
    CreateDirectoryA(remembered.c_str(), nullptr);
    ruktest::WriteRecent("LastCHMIndexFilesPath", remembered);
    Open();
    // Comma-separated values: the dialog, then nothing.
    Choose(Path("words.csv"));
    Run(Form->FileExportDistinctWordsAsCsv);
    // Meta tag: the message, and no dialog.
    Run(Form->FileExportAsKeywordsMetaTag);
    // Index: the dialog, then nothing; only the folder in memory moves on.
    Choose(Path("index.hhk"));
    Run(Form->FileExportAsChmKeywordsFile);
    Choose("");
    Run(Form->FileExportAsChmKeywordsFile);

    ASSERT_EQ(Offered.size(), 3u);
    EXPECT_EQ(Offered[0].FileName, "NoName-WordList.csv");
    EXPECT_EQ(Offered[1].FileName, "NoName-Index.hhk");
    EXPECT_EQ(Offered[1].InitialDir, remembered);
    EXPECT_EQ(Offered[2].InitialDir, Folder());
    EXPECT_EQ(Boxes.Texts(), std::vector<std::string>{kNoKeywords});
    EXPECT_TRUE(FilesIn(Dir).empty());
    EXPECT_EQ(ReadRecent("LastDistinctWordsListPath"), "<missing>");
    EXPECT_EQ(ReadRecent("LastCHMIndexFilesPath"), remembered);
    EXPECT_TRUE(Shown.Messages.empty());
}

TEST_F(FileActionsTest, ExportsStayEnabledWhileARunLocksTheSaves) {
    Open();
    Form->HTMLSourceFileRichEdit1->SetText("<p>some words</p>");
    Form->AssignmentRun1->Execute();
    for (TAction* a : {Form->FileExportDistinctWordsAsCsv, Form->FileExportAsKeywordsMetaTag,
                       Form->FileExportAsChmKeywordsFile, Form->FileExit1, Form->FileClose, Form->EditDelete1})
        EXPECT_TRUE(a->Enabled()) << a->Name();
    for (TAction* a : {Form->FileNew1, Form->FileOpen1, Form->FileSave1, Form->FileSaveAs1, Form->FileSaveAll,
                       Form->FileSaveSuppressWordListAs})
        EXPECT_FALSE(a->Enabled()) << a->Name();
    ASSERT_TRUE(ruktest::PumpUntil([&] { return Form->AssignmentRun1->Enabled(); }));
    for (TAction* a : {Form->FileNew1, Form->FileOpen1, Form->FileSave1, Form->FileSaveAs1, Form->FileSaveAll,
                       Form->FileSaveSuppressWordListAs})
        EXPECT_TRUE(a->Enabled()) << a->Name();
}
