// Choosing the source document: the open dialog, the loader that fills the source pane, the
// browser and the remembered folder; typed URLs and paths; the browser's Save As.
#include "AppTestSupport.h"

#include "Forms.h"
#include "WebBrowser.h"

using namespace ruk;
using ruktest::BoxWatcher;
using ruktest::DialogHook;
using ruktest::MainWindowTest;
using Access = TSDIAppFormTestAccess;

namespace {
std::wstring FileUrl(const std::string& path) { return TTextBrowserLayer::UrlFromFile(path); }

const char kSaveWebFile[] = "Save web file to disk and open as source file !";
const char kSaveInBrowser[] = "Save file in Browser as ...";
}  // namespace

class SourceSelectionTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        FOldTitle = Application->Title();
        Application->SetTitle("RUK Lexmill");
        Dir = ruktest::TempDir() + "ruk selection\\";
        CreateDirectoryA(Dir.c_str(), nullptr);
    }
    void TearDown() override {
        MainWindowTest::TearDown();  // the window and its loaders go first
        for (const std::string& f : Files) DeleteFileA(f.c_str());
        RemoveDirectoryA(Dir.c_str());
        Application->SetTitle(FOldTitle);
    }
    std::string MakeFile(const std::string& name, const std::string& data) {
        std::string path = Dir + name;
        ruktest::WriteTextFile(path, data);
        Files.push_back(path);
        return path;
    }
    // Runs Select Source File(s) with the dialog answering path ("" cancels); the dialog as the
    // handler set it up is kept in Offered.
    void Select(const std::string& path) {
        DialogHook hook([&](TOpenDialog& d) {
            Offered = {d.InitialDir, d.FileName, d.FilterIndex, ++DialogRuns};
            if (path.empty()) return false;
            d.FileName = path;
            d.FilterIndex = 6;  // the user may switch the filter; it is put back all the same
            return true;
        });
        EXPECT_TRUE(Form->FileSelSourceFiles1->Execute());
    }
    // Until the latest loader has finished and been handled, and the replaced ones are freed.
    void WaitForLoaders() {
        ASSERT_TRUE(ruktest::PumpUntil([&] {
            TRUKConvertCharEncodingThread* t = Access::ConvertThread(*Form);
            return (!t || t->Finished()) && Access::RetiredLoaders(*Form) == 0;
        }));
        ruktest::Pump();
    }
    TTextBrowserLayer& Browser() { return dynamic_cast<TTextBrowserLayer&>(Form->WebBrowser1->Layer()); }
    void ClickSelectButton() {
        SendMessageA(Form->SelSourceFilesButton1->Handle(), BM_CLICK, 0, 0);
        ruktest::Pump();
    }

    struct OfferedDialog {
        std::string InitialDir, FileName;
        int FilterIndex = 0;
        int Run = 0;
    } Offered;
    int DialogRuns = 0;
    std::string Dir;
    std::vector<std::string> Files;
    std::string FOldTitle;
};

TEST_F(SourceSelectionTest, CancelledDialogChangesNothingAndKeepsItsFilterIndex) {
    ruktest::WriteRecent("LastSourceFilePath", Dir);
    Open();
    Form->OpenDialog->FilterIndex = 5;  // as another file action left it
    Form->LogRichEdit1->SetText("old log");
    Form->SourceFilesComboBoxEx->SetText("typed");
    BoxWatcher boxes;
    Select("");
    EXPECT_EQ(Offered.Run, 1);
    EXPECT_EQ(Offered.InitialDir, Dir);
    EXPECT_EQ(Offered.FileName, "");
    EXPECT_EQ(Offered.FilterIndex, 3);
    EXPECT_EQ(Form->OpenDialog->FilterIndex, 5);
    EXPECT_EQ(Form->OpenDialog->FileName, "");
    ruktest::Pump();
    EXPECT_EQ(Access::ConvertThread(*Form), nullptr);
    EXPECT_EQ(Form->LogRichEdit1->Text(), "old log");
    EXPECT_EQ(Form->SourceFilesComboBoxEx->Text(), "typed");
    EXPECT_EQ(Form->SourceFileName(), "");
    EXPECT_FALSE(Form->HTMLSourceFileRichEdit1->PlainText());
    EXPECT_FALSE(Browser().HasDocument());
    EXPECT_EQ(ruktest::ReadRecent("LastSourceFilePath"), Dir);
    EXPECT_TRUE(boxes.Seen().empty());
    EXPECT_TRUE(Shown.Messages.empty());
}

TEST_F(SourceSelectionTest, SelectedFileFillsTheSourcePaneAndTheBrowserAndClearsTheResults) {
    const std::string doc = "<html>\r\n<title>One</title>\r\n<p>Hello world</p>\r\n</html>";
    const std::string path = MakeFile("page one.htm", doc);
    Open();
    // Results of an earlier document, and what a selection leaves alone.
    Form->StrippedContentsRichEdit1->SetText("stripped");
    Form->DistinctWordsLisRichEdit1->SetText("words");
    Form->DistinctWordsListView1->Items().Add()->SetCaption("word");
    Form->LogRichEdit1->SetText("log");
    Form->AutoFindListView1->Items().Add()->SetCaption("found");
    Form->KeywordsListView1->Items().Add()->SetCaption("keyword");
    Form->SupressedWordsRichEdit1->SetText("the");
    Access::SetDocTitle(*Form, "Earlier title");
    Form->OpenDialog->FilterIndex = 2;

    Select(path);
    // At once: the path in the box, the results gone, the folder remembered.
    EXPECT_EQ(Form->SourceFilesComboBoxEx->Text(), path);
    EXPECT_EQ(Form->SourceFileName(), path);
    EXPECT_EQ(Form->LastSourceFilePath(), ruktest::TempDir() + "ruk selection");
    EXPECT_EQ(ruktest::ReadRecent("LastSourceFilePath"), ruktest::TempDir() + "ruk selection");
    EXPECT_TRUE(Form->HTMLSourceFileRichEdit1->PlainText());
    EXPECT_EQ(Form->StrippedContentsRichEdit1->Text(), "");
    EXPECT_EQ(Form->DistinctWordsLisRichEdit1->Text(), "");
    EXPECT_EQ(Form->DistinctWordsListView1->Items().Count(), 0);
    EXPECT_EQ(Form->LogRichEdit1->Text(), "");
    EXPECT_EQ(Form->AutoFindListView1->Items().Count(), 0);
    EXPECT_EQ(Form->KeywordsListView1->Items().Count(), 1);
    EXPECT_EQ(Form->SupressedWordsRichEdit1->Text(), "the");
    EXPECT_EQ(Form->DocTitle(), "Earlier title");
    EXPECT_EQ(Offered.FilterIndex, 3);
    EXPECT_EQ(Form->OpenDialog->FilterIndex, 2);
    EXPECT_EQ(Form->OpenDialog->FileName, "");

    WaitForLoaders();
    EXPECT_EQ(Form->HTMLSourceFileRichEdit1->Text(), doc);
    EXPECT_EQ(Browser().DocumentFile(), path);
    // The completed navigation puts the browser's location into the box.
    EXPECT_EQ(Form->SourceFilesComboBoxEx->Text(), WideToAnsi(FileUrl(path)));

    // The next dialog opens in the remembered folder.
    Select("");
    EXPECT_EQ(Offered.InitialDir, ruktest::TempDir() + "ruk selection");
    EXPECT_TRUE(Shown.Messages.empty());
}

TEST_F(SourceSelectionTest, TextThatLooksLikeRichTextIsShownAsItStands) {
    const std::string doc = "{\\rtf1 \\b bold\\b0}";
    const std::string path = MakeFile("looks like rtf.txt", doc);
    Open();
    Select(path);
    WaitForLoaders();
    EXPECT_EQ(Form->HTMLSourceFileRichEdit1->Text(), doc);
}

TEST_F(SourceSelectionTest, OfTwoQuickSelectionsOnlyTheSecondTextArrives) {
    // The first file is large, so that its loader is still at work when the second starts.
    std::string big;
    big.reserve(12u << 20);
    while (big.size() < (12u << 20)) big += "<p>first document, a long one</p>\r\n";
    const std::string first = MakeFile("first.htm", big);
    const std::string second = MakeFile("second.htm", "<p>second</p>");
    Open();
    Select(first);
    TRUKConvertCharEncodingThread* firstLoader = Access::ConvertThread(*Form);
    Select(second);
    EXPECT_NE(Access::ConvertThread(*Form), firstLoader);
    WaitForLoaders();
    EXPECT_EQ(Form->HTMLSourceFileRichEdit1->Text(), "<p>second</p>");
    EXPECT_EQ(Form->SourceFileName(), second);
    EXPECT_EQ(Browser().DocumentFile(), second);
    EXPECT_TRUE(Shown.Messages.empty());
}

TEST_F(SourceSelectionTest, Utf16FileShowsAsAnsiText) {
    // "<p>café €</p>" in UTF-16LE after its byte-order mark.
    const std::wstring text = L"<p>caf\u00e9 \u20ac</p>";
    std::string bytes = "\xFF\xFE";
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    const std::string path = MakeFile("unicode.htm", bytes);
    Open();
    Select(path);
    WaitForLoaders();
    const wchar_t mark = 0xFEFF;
    char markText[8] = {};
    const int n = WideCharToMultiByte(CP_ACP, 0, &mark, 1, markText, sizeof markText, nullptr, nullptr);
    EXPECT_EQ(Form->HTMLSourceFileRichEdit1->Text(), std::string(markText, n > 0 ? n : 0) + "<p>caf\xE9 \x80</p>");
}

TEST_F(SourceSelectionTest, MissingFileLeavesTheSourcePaneAsItWas) {
    const std::string present = MakeFile("present.htm", "<p>present</p>");
    const std::string gone = Dir + "gone.htm";
    Open();
    Select(present);
    WaitForLoaders();
    ASSERT_EQ(Form->HTMLSourceFileRichEdit1->Text(), "<p>present</p>");
    Form->LogRichEdit1->SetText("log of present");

    Select(gone);
    WaitForLoaders();
    EXPECT_EQ(Access::ConvertThread(*Form)->ReturnValue(), 0);
    EXPECT_EQ(Form->HTMLSourceFileRichEdit1->Text(), "<p>present</p>");
    // The selection itself took place: current file, box, browser and cleared results.
    EXPECT_EQ(Form->SourceFileName(), gone);
    EXPECT_EQ(Form->WebBrowser1->LocationURL(), FileUrl(gone));
    EXPECT_EQ(Form->SourceFilesComboBoxEx->Text(), WideToAnsi(FileUrl(gone)));
    EXPECT_EQ(Form->LogRichEdit1->Text(), "");
    EXPECT_TRUE(Shown.Messages.empty());
}

TEST_F(SourceSelectionTest, TypedWebAddressGoesToTheBrowserAndItsSaveAs) {
    Open();
    BoxWatcher boxes;
    Form->SourceFilesComboBoxEx->SetText("http://example.invalid/page.htm");
    ClickSelectButton();
    EXPECT_EQ(DialogRuns, 0);
    ASSERT_EQ(boxes.Seen().size(), 2u);
    EXPECT_EQ(boxes.Seen()[0].Caption, "RUK Lexmill");
    EXPECT_EQ(boxes.Seen()[0].Text, kSaveWebFile);
    // The browser has nothing to save yet: only the first message of Save As.
    EXPECT_EQ(boxes.Seen()[1].Text, kSaveInBrowser);
    EXPECT_EQ(Form->WebBrowser1->LocationURL(), L"http://example.invalid/page.htm");
    EXPECT_EQ(Form->SourceFilesComboBoxEx->Text(), "http://example.invalid/page.htm");
    EXPECT_EQ(Form->SourceFileName(), "");
    EXPECT_EQ(Access::ConvertThread(*Form), nullptr);
}

TEST_F(SourceSelectionTest, TypedFileUrlIsShownWithoutSaveAs) {
    const std::string path = MakeFile("typed url.htm", "<p>typed</p>");
    Open();
    BoxWatcher boxes;
    const std::string url = WideToAnsi(FileUrl(path));
    Form->SourceFilesComboBoxEx->SetText(url);
    ClickSelectButton();
    EXPECT_EQ(DialogRuns, 0);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{kSaveWebFile});
    EXPECT_EQ(Browser().DocumentFile(), path);
    EXPECT_EQ(Form->HTMLSourceFileRichEdit1->Text(), "");  // a URL is never loaded as the source
    EXPECT_EQ(Access::ConvertThread(*Form), nullptr);
}

TEST_F(SourceSelectionTest, TypedPathOpensTheDialogInTheLastSourceFolder) {
    ruktest::WriteRecent("LastSourceFilePath", Dir);
    Open();
    BoxWatcher boxes;
    Form->SourceFilesComboBoxEx->SetText("C:\\typed\\page.htm");
    DialogHook hook([&](TOpenDialog& d) {
        Offered = {d.InitialDir, d.FileName, d.FilterIndex, ++DialogRuns};
        return false;
    });
    ClickSelectButton();
    EXPECT_EQ(DialogRuns, 1);
    EXPECT_EQ(Offered.InitialDir, Dir);
    EXPECT_EQ(Offered.FileName, "");
    EXPECT_EQ(Offered.FilterIndex, 3);
    EXPECT_EQ(Access::ConvertThread(*Form), nullptr);
    EXPECT_EQ(Form->SourceFilesComboBoxEx->Text(), "C:\\typed\\page.htm");
    EXPECT_TRUE(boxes.Seen().empty());
}

TEST_F(SourceSelectionTest, OpenUrlNavigatesOnlyToAUrl) {
    const std::string path = MakeFile("open url.htm", "<p>open</p>");
    Open();
    BoxWatcher boxes;
    Form->PageControl1->SetActivePage(Form->DistinctWordsListTabSheet1);
    for (const char* text : {"not a url", "C:\\dir\\page.htm", ""}) {
        Form->SourceFilesComboBoxEx->SetText(text);
        EXPECT_TRUE(Form->BrowseOpenURL1->Execute());
    }
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>(3, "Please enter a valid Uniform Resource Locater in the\n"
                                                          "file/address combo box and rry again !"));
    EXPECT_EQ(Form->PageControl1->ActivePage(), Form->DistinctWordsListTabSheet1);
    EXPECT_EQ(Browser().HistoryCount(), 0);

    Form->SourceFilesComboBoxEx->SetText(WideToAnsi(FileUrl(path)));
    EXPECT_TRUE(Form->BrowseOpenURL1->Execute());
    EXPECT_EQ(Form->PageControl1->ActivePage(), Form->BrowserTabSheet1);
    EXPECT_EQ(Browser().DocumentFile(), path);
    EXPECT_EQ(boxes.Seen().size(), 3u);
    EXPECT_EQ(Form->SourceFileName(), "");
}

TEST_F(SourceSelectionTest, SaveBrowserFileAsOffersTheRememberedPathAndReportsTheSave) {
    const std::string path = MakeFile("shown.htm", "<p>shown</p>");
    const std::string target = Dir + "saved.htm";
    Files.push_back(target);
    const std::string suggested = Dir + "copy.htm";  // a file to be, in a folder that is there
    ruktest::WriteRecent("LastBrowserFilePath", suggested);
    Open();
    {
        // Nothing in the browser: only the first message.
        BoxWatcher boxes;
        EXPECT_TRUE(Form->FileSaveBrowserFileAs->Execute());
        EXPECT_EQ(boxes.Texts(), std::vector<std::string>{kSaveInBrowser});
    }
    Form->WebBrowser1->Navigate(FileUrl(path));
    ruktest::Pump();
    {
        BoxWatcher boxes;
        DialogHook hook([&](TOpenDialog& d) {
            Offered = {d.InitialDir, d.FileName, d.FilterIndex, ++DialogRuns};
            return false;
        });
        Form->FileSaveBrowserFileAs->Execute();
        EXPECT_EQ(Offered.FileName, suggested);
        EXPECT_EQ(boxes.Texts(), std::vector<std::string>{kSaveInBrowser});  // cancelled: nothing more
    }
    {
        BoxWatcher boxes;
        DialogHook hook([&](TOpenDialog& d) {
            d.FileName = target;
            return true;
        });
        Form->FileSaveBrowserFileAs->Execute();
        EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{kSaveInBrowser, "File in browser saved"}));
    }
    EXPECT_EQ(GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES, true);
    // The chosen path stays the browser's own.
    EXPECT_EQ(ruktest::ReadRecent("LastBrowserFilePath"), suggested);
    EXPECT_EQ(Form->LastBrowserFilePath(), suggested);
}

TEST_F(SourceSelectionTest, EveryCompletedNavigationShowsItsLocationInTheBox) {
    const std::string a = MakeFile("a.htm", "<p>a</p>");
    const std::string b = MakeFile("b.htm", "<p>b</p>");
    Open();
    Form->WebBrowser1->Navigate(FileUrl(a));
    Form->WebBrowser1->Navigate(FileUrl(b));
    ruktest::Pump();
    EXPECT_EQ(Form->SourceFilesComboBoxEx->Text(), WideToAnsi(FileUrl(b)));
    Form->BrowseBack1->Execute();
    ruktest::Pump();
    EXPECT_EQ(Form->SourceFilesComboBoxEx->Text(), WideToAnsi(FileUrl(a)));
    Form->BrowseHome1->Execute();
    ruktest::Pump();
    EXPECT_EQ(Form->SourceFilesComboBoxEx->Text(), "about:blank");
}
