// Start-up and shut-down of the main window: icon, run-time library, settings, cleared
// panes, auto-completion and cue banners, the remembered suppress-word file.
#include "AppTestSupport.h"

using namespace ruk;
using ruktest::MainWindowTest;

namespace {
std::wstring CueBanner(HWND edit) {
    wchar_t buf[128] = {};
    SendMessageW(edit, EM_GETCUEBANNER, reinterpret_cast<WPARAM>(buf), 128);
    return buf;
}

// The eight remembered folders: the setting's name and what the window holds of it.
struct RememberedFolder {
    const char* Name;
    const std::string& (TSDIAppForm::*Value)() const;
};
const RememberedFolder kFolders[] = {
    {"LastSourceFilePath", &TSDIAppForm::LastSourceFilePath},
    {"LastStrippedContentsPath", &TSDIAppForm::LastStrippedContentsPath},
    {"LastBrowserFilePath", &TSDIAppForm::LastBrowserFilePath},
    {"LastSuppressWordListPath", &TSDIAppForm::LastSuppressWordListPath},
    {"LastKeywordListPath", &TSDIAppForm::LastKeywordListPath},
    {"LastLogFilePath", &TSDIAppForm::LastLogFilePath},
    {"LastKeywordsMetaTagsPath", &TSDIAppForm::LastKeywordsMetaTagsPath},
    {"LastCHMIndexFilesPath", &TSDIAppForm::LastCHMIndexFilesPath},
};
}  // namespace

class LifecycleTest : public MainWindowTest {};

TEST_F(LifecycleTest, FirstStartWithoutSettingsKey) {
    Open();
    EXPECT_TRUE(Shown.Messages.empty());
    ASSERT_NE(Form->Settings(), nullptr);
    for (const RememberedFolder& folder : kFolders) EXPECT_EQ((Form->*folder.Value)(), "") << folder.Name;
    EXPECT_EQ(Form->SuppressWordListFile(), "");
    // The store opened (and so created) the application key; nothing was written below it.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\RUK\\Lexmill", 0, KEY_READ, &key), ERROR_SUCCESS);
    HKEY recent = nullptr;
    EXPECT_NE(RegOpenKeyExA(key, "Recent", 0, KEY_READ, &recent), ERROR_SUCCESS);
    RegCloseKey(key);

    // The design-time texts of the panes are gone; the box texts gave way to the cue banners.
    for (TRichEdit* pane : {Form->HTMLSourceFileRichEdit1, Form->StrippedContentsRichEdit1,
                            Form->DistinctWordsLisRichEdit1, Form->SupressedWordsRichEdit1, Form->LogRichEdit1})
        EXPECT_EQ(pane->Text(), "") << pane->Name();
    EXPECT_EQ(Form->DistinctWordsListView1->Items().Count(), 0);
    EXPECT_EQ(Form->SourceFilesComboBoxEx->Text(), "");
    EXPECT_EQ(Form->KeywordEditComboBox1->Text(), "");
    EXPECT_EQ(CueBanner(Form->SourceFilesComboBoxEx->EditHandle()), L"Enter path or URL of file to strip of its tags here");
    EXPECT_EQ(CueBanner(Form->KeywordEditComboBox1->EditHandle()),
              L"You can also enter and/or edit the keyword to add here");
}

TEST_F(LifecycleTest, StartReadsTheEightRememberedFolders) {
    for (const RememberedFolder& folder : kFolders)
        ruktest::WriteRecent(folder.Name, std::string("C:\\") + folder.Name);
    // Read only when it is used: the stripped-contents file is not a start-up value.
    ruktest::WriteRecent("LastStrippedContentsFile", "C:\\x.txt");
    Open();
    EXPECT_TRUE(Shown.Messages.empty());
    for (const RememberedFolder& folder : kFolders)
        EXPECT_EQ((Form->*folder.Value)(), std::string("C:\\") + folder.Name);
}

TEST_F(LifecycleTest, RememberedSuppressWordFileIsLoadedWhenShown) {
    std::string file = ruktest::TempDir() + "ruk_suppress_words.txt";
    ruktest::WriteTextFile(file, "the\r\nand\r\nof\r\n");
    ruktest::WriteRecent("LastSuppressWordListFile", file);
    Open(false);
    EXPECT_EQ(Form->SupressedWordsRichEdit1->Text(), "");  // not before the window is shown
    Form->Show();
    ruktest::Pump();
    EXPECT_TRUE(Shown.Messages.empty());
    EXPECT_EQ(Form->SuppressWordListFile(), file);
    TRichEditStrings& lines = Form->SupressedWordsRichEdit1->Lines();
    ASSERT_EQ(lines.Count(), 3);
    EXPECT_EQ(lines.Strings(0), "the");
    EXPECT_EQ(lines.Strings(2), "of");
    DeleteFileA(file.c_str());
}

TEST_F(LifecycleTest, MissingSuppressWordFileShowsOneMessageAndTheWindowWorks) {
    std::string file = ruktest::TempDir() + "ruk_no_such_suppress_file.txt";
    DeleteFileA(file.c_str());
    ruktest::WriteRecent("LastSuppressWordListFile", file);
    Open();
    ASSERT_EQ(Shown.Messages.size(), 1u);
    EXPECT_EQ(Shown.Messages[0].rfind("Cannot open file \"" + file + "\". ", 0), 0u) << Shown.Messages[0];
    EXPECT_EQ(Form->SuppressWordListFile(), file);
    EXPECT_EQ(Form->SupressedWordsRichEdit1->Text(), "");
    EXPECT_TRUE(IsWindowVisible(Form->Handle()));
    ChooseMenuItem("MMViewLog");
    EXPECT_EQ(Form->PageControl1->ActivePage(), Form->LogTabSheet1);
    EXPECT_EQ(Shown.Messages.size(), 1u);
}

TEST_F(LifecycleTest, ASettingOfAnotherTypeStopsStartUpWithOneMessage) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\RUK\\Lexmill\\Recent", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    DWORD number = 7;
    RegSetValueExA(key, "LastBrowserFilePath", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegCloseKey(key);
    ruktest::WriteRecent("LastSourceFilePath", "C:\\src");
    ruktest::WriteRecent("LastLogFilePath", "C:\\log");
    Open();
    ASSERT_GE(Shown.Messages.size(), 1u);
    EXPECT_EQ(Shown.Messages[0], "Invalid data type for 'LastBrowserFilePath'");
    // The steps before it ran, those after it did not: the panes keep their description texts.
    EXPECT_EQ(Form->LastSourceFilePath(), "C:\\src");
    EXPECT_EQ(Form->LastLogFilePath(), "");
    EXPECT_EQ(Form->LogRichEdit1->Text(), "LogRichEdit1");
    EXPECT_TRUE(IsWindowVisible(Form->Handle()));
}

TEST_F(LifecycleTest, IconIsTheProgramsAndTheRunTimeLibraryIsOptional) {
    Open();
    EXPECT_EQ(Form->SetApplicationIcon(), 0);
    EXPECT_NE(SendMessageA(Form->Handle(), WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(ApplicationIcon(), nullptr);
    // The test program has no RUKLexmillRtl.dll beside it: the window opens without a message.
    EXPECT_EQ(GetModuleHandleA("RUKLexmillRtl.dll"), nullptr);
    EXPECT_EQ(Form->RtlLibrary(), nullptr);
    EXPECT_TRUE(Shown.Messages.empty());
    // Both icon groups are in the resources.
    EXPECT_NE(FindResourceA(GetModuleHandleA(nullptr), "DEFICON1", MAKEINTRESOURCEA(14)), nullptr);
    EXPECT_NE(FindResourceA(GetModuleHandleA(nullptr), "MAINICON", MAKEINTRESOURCEA(14)), nullptr);
}

TEST_F(LifecycleTest, DestroyReleasesTheSettingsAndEndsWithoutMessages) {
    Open();
    bool destroyed = false;
    TForm* base = Form;  // the form's event; the window's handler of the same name hides it
    TNotifyEvent original = base->OnDestroy;
    base->OnDestroy = [&](TObject* s) {
        original(s);
        destroyed = true;
        EXPECT_EQ(Form->Settings(), nullptr);
    };
    Form->Free();
    Form = nullptr;
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(SDIAppForm, nullptr);
    EXPECT_TRUE(Shown.Messages.empty());
}
