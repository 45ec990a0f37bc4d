// What the panes show is what the loader read, byte-order marks and all; remembered folders
// and files that cannot be paths do not reach the file dialogs or break the start.
#include "AppTestSupport.h"

#include "Forms.h"
#include "RUKRememberedPaths.h"
#include "WebBrowser.h"

using namespace ruk;
using ruktest::DialogHook;
using ruktest::MainWindowTest;
using Access = TSDIAppFormTestAccess;

namespace {

std::string LoadDirectly(const std::string& path) {
    TRUKConvertCharEncodingThread loader(path);
    loader.Resume();
    loader.WaitFor();
    return loader.ConvertedText();
}

// The first tag a worker reports for the text, as the window logs it.
std::string FirstTagLine(const std::string& source) {
    std::string line;
    TRUKGenWordListFromHTMLThread worker(source, "");
    worker.OnHTMLTagFound = [&](TRUKGenWordListFromHTMLThread*, const std::string&, int start, int end) {
        if (line.empty())
            line = "Opening and closing tag characters found at " + std::to_string(start) + " and " +
                   std::to_string(end);
    };
    worker.Resume();
    worker.WaitFor();
    return line;
}

std::string Utf16(const std::string& ascii, bool bigEndian) {
    std::string out;
    for (char c : ascii) {
        out += bigEndian ? '\0' : c;
        out += bigEndian ? c : '\0';
    }
    return out;
}

const std::string kPage =
    "<html>\r\n<head><title>Built-in Types</title></head>\r\n<body><p>Text \x97 caf\xE9</p></body>\r\n</html>\r\n";
const std::string kAsciiPage = "<html>\r\n<head><title>Types</title></head>\r\n<body><p>Text</p></body>\r\n</html>\r\n";

struct MarkedPage {
    const char* Name;
    std::string Data;
};

std::vector<MarkedPage> MarkedPages() {
    return {
        {"no mark", kPage},
        {"UTF-16 FF FE", "\xFF\xFE" + Utf16(kAsciiPage, false)},
        {"UTF-16 FE FF", "\xFE\xFF" + Utf16(kAsciiPage, true)},
        {"UTF-8 EF BB BF", "\xEF\xBB\xBF" + kPage},
    };
}

}  // namespace

class PaneTextTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Dir = ruktest::TempDir() + "ruk pane text\\";
        CreateDirectoryA(Dir.c_str(), nullptr);
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        for (const std::string& f : Files) DeleteFileA(f.c_str());
        RemoveDirectoryA(Dir.c_str());
    }
    std::string MakeFile(const std::string& name, const std::string& data) {
        const std::string path = Dir + name;
        ruktest::WriteTextFile(path, data);
        Files.push_back(path);
        return path;
    }
    void Select(const std::string& path) {
        DialogHook hook([&](TOpenDialog& d) {
            d.FileName = path;
            return true;
        });
        ASSERT_TRUE(Form->FileSelSourceFiles1->Execute());
        ASSERT_TRUE(ruktest::PumpUntil([&] {
            TRUKConvertCharEncodingThread* t = Access::ConvertThread(*Form);
            return t && t->Finished();
        }));
        ruktest::Pump();
    }
    std::string Dir;
    std::vector<std::string> Files;
};

TEST_F(PaneTextTest, TheSourcePaneHoldsTheLoadedTextByteForByteAndRunSeesTheSameTags) {
    Open();
    int n = 0;
    for (const MarkedPage& c : MarkedPages()) {
        SCOPED_TRACE(c.Name);
        const std::string path = MakeFile("page" + std::to_string(++n) + ".htm", c.Data);
        const std::string loaded = LoadDirectly(path);
        ASSERT_FALSE(loaded.empty());
        Select(path);
        EXPECT_EQ(Form->HTMLSourceFileRichEdit1->Text(), loaded);

        Form->AssignmentRun1->Execute();
        ASSERT_TRUE(ruktest::PumpUntil([&] { return Form->AssignmentRun1->Enabled(); }));
        const std::string expected = FirstTagLine(loaded);
        std::string logged;
        TRichEditStrings& log = Form->LogRichEdit1->Lines();
        for (int i = 0; i < log.Count() && logged.empty(); ++i)
            if (log.Strings(i).rfind("Opening and closing tag characters found at ", 0) == 0) logged = log.Strings(i);
        if (loaded.find('<') != std::string::npos) {
            EXPECT_FALSE(expected.empty());
        }
        EXPECT_EQ(logged, expected);
    }
    EXPECT_TRUE(Shown.Messages.empty());
}

TEST_F(PaneTextTest, TheBrowserPageShowsTheTextTheSourcePaneShows) {
    std::vector<MarkedPage> pages = MarkedPages();
    pages.push_back({"zero byte", std::string("<p>before\0after</p>\r\n", 22)});
    Open();
    int n = 0;
    for (const MarkedPage& c : pages) {
        SCOPED_TRACE(c.Name);
        const std::string path = MakeFile("shown" + std::to_string(++n) + ".htm", c.Data);
        Select(path);
        const std::string source = Form->HTMLSourceFileRichEdit1->Text();
        ASSERT_FALSE(source.empty());
        EXPECT_EQ(dynamic_cast<TTextBrowserLayer&>(Form->WebBrowser1->Layer()).PaneText(), source);
    }
    EXPECT_TRUE(Shown.Messages.empty());
}

TEST_F(PaneTextTest, TheRememberedSuppressWordFileGoesInAsItStands) {
    const std::string words = "\xEF\xBB\xBFthe\r\nand\r\ncaf\xE9\r\n";
    ruktest::WriteRecent("LastSuppressWordListFile", MakeFile("words.txt", words));
    Open();
    EXPECT_TRUE(Shown.Messages.empty());
    EXPECT_EQ(Form->SupressedWordsRichEdit1->Text(), words);
}

// ---------------------------------------------------------------- remembered settings

class RememberedSettingsTest : public MainWindowTest {
protected:
    // The initial folder the source dialog is given, the dialog cancelled.
    std::string OfferedSourceFolder() {
        std::string offered = "<not opened>";
        DialogHook hook([&](TOpenDialog& d) {
            offered = d.InitialDir;
            return false;
        });
        Form->FileSelSourceFiles1->Execute();
        return offered;
    }
};

TEST_F(RememberedSettingsTest, OnlyAnExistingFolderThatIsAPathReachesTheSourceDialog) {
    const std::string existing = ruktest::TempDir() + "ruk remembered";
    CreateDirectoryA(existing.c_str(), nullptr);
    std::string overlong = "C:\\" + std::string(MAX_PATH, 'a');
    std::string huge = "C:\\" + std::string(100 * 1024, 'b');
    struct Case {
        const char* Name;
        std::string Value;
        std::string Offered;
    };
    const Case cases[] = {
        {"existing folder", existing, existing},
        {"missing folder", existing + "\\gone", ""},
        {"a file, not a folder", "C:\\windows\\win.ini", ""},
        {"longer than a path", overlong, ""},
        {"100 KB", huge, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        ruktest::DeleteSettingsKey();
        ruktest::WriteRecent("LastSourceFilePath", c.Value);
        Open();
        EXPECT_EQ(Form->LastSourceFilePath(), c.Value);  // remembered as it is
        EXPECT_EQ(OfferedSourceFolder(), c.Offered);
        EXPECT_TRUE(Shown.Messages.empty());
        Form->Free();
        Form = nullptr;
    }
    RemoveDirectoryA(existing.c_str());
}

TEST_F(RememberedSettingsTest, AValueOfAnotherTypeStopsStartUpAndTheDialogOpensWithoutAFolder) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\RUK\\Lexmill\\Recent", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    DWORD number = 7;
    RegSetValueExA(key, "LastSourceFilePath", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegCloseKey(key);
    Open();
    ASSERT_GE(Shown.Messages.size(), 1u);
    EXPECT_EQ(Shown.Messages[0], "Invalid data type for 'LastSourceFilePath'");
    EXPECT_EQ(OfferedSourceFolder(), "");
}

TEST_F(RememberedSettingsTest, TheBrowserSavePathReachesItsDialogOnlyWhenItCanBeSavedTo) {
    const std::string dir = ruktest::TempDir() + "ruk remembered\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    const std::string shown = dir + "shown.htm";
    ruktest::WriteTextFile(shown, "<p>shown</p>");
    struct Case {
        const char* Name;
        std::string Value;
        bool Offered;
    };
    const Case cases[] = {
        {"a folder", dir, true},
        {"a new file in a folder", dir + "copy.htm", true},
        {"a file in a missing folder", dir + "gone\\copy.htm", false},
        {"100 KB", "C:\\" + std::string(100 * 1024, 'c'), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        ruktest::DeleteSettingsKey();
        ruktest::WriteRecent("LastBrowserFilePath", c.Value);
        Open();
        Form->WebBrowser1->Navigate(TTextBrowserLayer::UrlFromFile(shown));
        ruktest::Pump();
        std::string initialDir = "<not opened>", fileName;
        {
            ruktest::BoxWatcher boxes;
            DialogHook hook([&](TOpenDialog& d) {
                initialDir = d.InitialDir;
                fileName = d.FileName;
                return false;
            });
            Form->FileSaveBrowserFileAs->Execute();
        }
        EXPECT_NE(initialDir, "<not opened>");
        EXPECT_EQ(initialDir == c.Value || fileName == c.Value, c.Offered) << initialDir << " | " << fileName;
        EXPECT_LE(initialDir.size() + fileName.size(), static_cast<size_t>(MAX_PATH));
        Form->Free();
        Form = nullptr;
    }
    DeleteFileA(shown.c_str());
    RemoveDirectoryA(dir.c_str());
}

TEST_F(RememberedSettingsTest, AHugeSuppressWordFileNameGivesTheFileOpenMessageAndTheWindowWorks) {
    const std::string huge = "C:\\" + std::string(100 * 1024, 'd') + "\\words.txt";
    ruktest::WriteRecent("LastSuppressWordListFile", huge);
    Open();
    ASSERT_EQ(Shown.Messages.size(), 1u);
    const std::string& message = Shown.Messages[0];
    EXPECT_EQ(message.rfind("Cannot open file \"C:\\ddd", 0), 0u) << message.substr(0, 200);
    // Shortened in the middle, its end kept.
    EXPECT_NE(message.find("ddd...ddd"), std::string::npos) << message.substr(0, 400);
    EXPECT_NE(message.find("dddd\\words.txt\". "), std::string::npos) << message.substr(0, 400);
    EXPECT_LT(message.size(), 1000u);
    // The system's text follows the name.
    EXPECT_GT(message.size(), message.find("\". ") + 3);
    EXPECT_EQ(Form->SuppressWordListFile(), huge);
    EXPECT_EQ(Form->SupressedWordsRichEdit1->Text(), "");
    EXPECT_TRUE(IsWindowVisible(Form->Handle()));
    EXPECT_EQ(OfferedSourceFolder(), "");
    ChooseMenuItem("MMViewLog");
    EXPECT_EQ(Form->PageControl1->ActivePage(), Form->LogTabSheet1);
    EXPECT_EQ(Shown.Messages.size(), 1u);
}

TEST(RememberedPaths, AreHandedOnOnlyWhenTheyAreUsablePaths) {
    const std::string temp = ruktest::TempDir();
    EXPECT_EQ(UsableRememberedPath("", TRememberedPathKind::rpFolder), "");
    EXPECT_EQ(UsableRememberedPath(temp, TRememberedPathKind::rpFolder), temp);
    EXPECT_EQ(UsableRememberedPath(temp + "no such folder", TRememberedPathKind::rpFolder), "");
    EXPECT_EQ(UsableRememberedPath(temp + "x.htm", TRememberedPathKind::rpSaveFile), temp + "x.htm");
    EXPECT_EQ(UsableRememberedPath(temp + "no such folder\\x.htm", TRememberedPathKind::rpSaveFile), "");
    EXPECT_EQ(UsableRememberedPath("x.htm", TRememberedPathKind::rpSaveFile), "");
    // Longer than MAX_PATH, even where the system would find the folder.
    const std::string padded = temp + std::string(MAX_PATH, '.') + "\\..";
    EXPECT_EQ(UsableRememberedPath(padded, TRememberedPathKind::rpFolder), "");
}
