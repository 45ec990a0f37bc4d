// The fixture of the file action and export tests: the window with a folder of its own, the
// file dialogs answered from a script (every dialog as the handler set it up is kept), the
// message boxes recorded and answered, and the files read back byte for byte.
#pragma once

#include "AppTestSupport.h"

#include "Forms.h"

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

namespace ruktest {

// What a dialog showed the user when it ran.
struct OfferedDialog {
    std::string Dialog;  // the component's name
    std::string FileName, InitialDir, Filter, DefaultExt;
    int FilterIndex = 0;
    ruk::TTabSheet* ActivePage = nullptr;  // the window's page while the dialog was up
};

// Targets that a save cannot write.
enum class Unwritable { ReadOnlyFile, FileInUse, MissingFolder };

class FileActionsTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        FOldTitle = ruk::Application->Title();
        ruk::Application->SetTitle("RUK Lexmill");
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        // A parameterised test's name holds a slash, which would make the folder a nested one.
        std::string name = info->name();
        std::replace(name.begin(), name.end(), '/', ' ');
        Dir = TempDir() + "ruk files " + name + "\\";
        RemoveFolder(Dir);
        CreateDirectoryA(Dir.c_str(), nullptr);
        ruk::TOpenDialog::SetExecuteHook([this](ruk::TOpenDialog& d) { return Answer(d); });
    }
    void TearDown() override {
        ReleaseTargets();
        MainWindowTest::TearDown();
        ruk::TOpenDialog::SetExecuteHook(nullptr);
        RemoveFolder(Dir);
        ruk::Application->SetTitle(FOldTitle);
        EXPECT_TRUE(Answers.empty()) << Answers.size() << " dialog answers left over";
    }

    // Runs the action as a menu item or its shortcut does: an exception of its handler goes to
    // the exception display (Shown).
    void Run(ruk::TAction* action) {
        SendMessageA(Form->Handle(), WM_COMMAND, MAKEWPARAM(action->CommandId(), 0), 0);
        Pump();
    }
    void ShowPage(ruk::TTabSheet* page) { Form->PageControl1->SetActivePage(page); }

    // The next dialog chooses path; "" cancels it.
    void Choose(const std::string& path) { Answers.push_back(path); }

    std::string Path(const std::string& name) const { return Dir + name; }
    // The folder as the settings hold it: without its final backslash.
    std::string Folder() const { return Dir.substr(0, Dir.size() - 1); }

    static std::string ReadFileBytes(const std::string& path) { return FileBytes(path); }
    // The folder's files (names only, sorted), to show that no temporary file is left behind.
    static std::vector<std::string> FilesIn(const std::string& dir) { return NamesIn(dir, false); }

    // The names of dir's files, or of its folders (without "." and ".."), in order.
    static std::vector<std::string> NamesIn(const std::string& dir, bool folders) {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE h = FindFirstFileA((dir + "*").c_str(), &found);
        if (h == INVALID_HANDLE_VALUE) return names;
        do {
            const std::string name = found.cFileName;
            if (((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == folders && name != "." && name != "..")
                names.push_back(name);
        } while (FindNextFileA(h, &found));
        FindClose(h);
        std::sort(names.begin(), names.end());
        return names;
    }

    // Makes path a target that no save can write; a file there holds "previous contents".
    // False when the system writes it all the same (Wine run by the superuser writes a
    // read-only file).
    bool MakeUnwritable(const std::string& path, Unwritable how) {
        if (how == Unwritable::MissingFolder) return !ruk::DirectoryExists(ruk::ExtractFileDir(path));
        WriteTextFile(path, "previous contents");
        if (how == Unwritable::FileInUse) {
            // Open in another program that shares it with nobody.
            HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            if (h == INVALID_HANDLE_VALUE) return false;
            Held.push_back(h);
            return true;
        }
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
        HANDLE probe = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (probe == INVALID_HANDLE_VALUE) return true;
        CloseHandle(probe);
        return false;
    }
    // Lets go of the files held in use, so that they can be read back.
    void ReleaseTargets() {
        for (HANDLE h : Held) CloseHandle(h);
        Held.clear();
    }

    ruk::TListItem* AddRow(ruk::TListView* list, const std::string& caption, std::vector<std::string> cells) {
        ruk::TListItem* row = list->Items().Add();
        row->SetCaption(caption);
        for (const std::string& cell : cells) row->SubItems().Add(cell);
        return row;
    }
    ruk::TListItem* AddKeywordRow(const std::string& keyword, const std::string& link = "a.htm",
                                  const std::string& title = "A") {
        return AddRow(Form->KeywordsListView1, keyword, {link, title, "", "1"});
    }
    ruk::TListItem* AddFoundRow(ruk::TListItem* keywordRow) {
        ruk::TListItem* row = AddRow(Form->AutoFindListView1, keywordRow->Caption(), {});
        row->Data = keywordRow;
        return row;
    }
    std::vector<std::string> Captions(ruk::TListView* list) {
        std::vector<std::string> captions;
        for (int i = 0; i < list->Items().Count(); ++i) captions.push_back(list->Items()[i]->Caption());
        return captions;
    }

    std::string Dir;
    std::deque<std::string> Answers;
    std::vector<OfferedDialog> Offered;
    BoxWatcher Boxes;
    std::vector<HANDLE> Held;

private:
    bool Answer(ruk::TOpenDialog& d) {
        Offered.push_back({d.Name(), d.FileName, d.InitialDir, d.Filter, d.DefaultExt, d.FilterIndex,
                           Form ? Form->PageControl1->ActivePage() : nullptr});
        if (Answers.empty()) {
            ADD_FAILURE() << "a dialog that the test did not expect: " << d.Name() << " offering " << d.FileName;
            return false;
        }
        std::string path = Answers.front();
        Answers.pop_front();
        if (path.empty()) return false;
        // As the system's dialog does: a default extension for a name typed without one.
        if (!d.DefaultExt.empty() && ruk::ExtractFileExt(path).empty()) path += "." + d.DefaultExt;
        d.FileName = path;
        return true;
    }
    // Removes dir with its files and the folders a test made in it (dir ends in a backslash).
    static void RemoveFolder(const std::string& dir) {
        for (const std::string& name : FilesIn(dir)) {
            const std::string path = dir + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
        for (const std::string& name : NamesIn(dir, true)) RemoveFolder(dir + name + "\\");
        RemoveDirectoryA(dir.c_str());
    }
    std::string FOldTitle;
};

}  // namespace ruktest
