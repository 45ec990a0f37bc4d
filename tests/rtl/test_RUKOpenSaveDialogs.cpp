// The library's save dialog asks before a chosen file that exists is replaced.
#include "Forms.h"
#include "RUKOpenSaveDialogs.h"
#include "TestFileSupport.h"

#include <gtest/gtest.h>

#include <deque>
#include <fstream>

using namespace ruk;

namespace {

std::string TempFile(const char* name) { return ruktest::TempDir() + name; }

// Answers the file dialog with the names in turn (an empty one cancels) and the question
// with the answers in turn; records the questions.
struct Answers {
    std::deque<std::string> files;
    std::deque<int> replies;
    std::vector<std::string> questions;
    int dialogs = 0;
    Answers() {
        TOpenDialog::SetExecuteHook([this](TOpenDialog& d) {
            ++dialogs;
            if (files.empty() || files.front().empty()) return false;
            d.FileName = files.front();
            files.pop_front();
            return true;
        });
        Application->SetMessageBoxHook([this](const std::string& text, const std::string&, UINT) {
            questions.push_back(text);
            const int r = replies.empty() ? IDNO : replies.front();
            if (!replies.empty()) replies.pop_front();
            return r;
        });
    }
    ~Answers() {
        TOpenDialog::SetExecuteHook(nullptr);
        Application->SetMessageBoxHook(nullptr);
    }
};

}  // namespace

TEST(RUKSaveDialog, AsksBeforeReplacingAnExistingFile) {
    const std::string existing = TempFile("ruk_save_existing.txt");
    const std::string fresh = TempFile("ruk_save_fresh.txt");
    std::ofstream(existing) << "kept";
    DeleteFileA(fresh.c_str());
    TRUKSaveDialog dialog(nullptr);
    dialog.Options = ofOverwritePrompt | ofHideReadOnly | ofNoReadOnlyReturn | ofNoTestFileCreate | ofEnableSizing;
    dialog.Title = "Save Version Info";

    {   // Yes: the existing file is the choice.
        Answers a;
        a.files = {existing};
        a.replies = {IDYES};
        EXPECT_TRUE(dialog.Execute());
        EXPECT_EQ(dialog.FileName, existing);
        ASSERT_EQ(a.questions.size(), 1u);
        EXPECT_EQ(a.questions[0], existing + " already exists.\nDo you want to replace it?");
    }
    {   // No: the dialog comes again; a new name is taken without a question.
        Answers a;
        a.files = {existing, fresh};
        a.replies = {IDNO};
        EXPECT_TRUE(dialog.Execute());
        EXPECT_EQ(dialog.FileName, fresh);
        EXPECT_EQ(a.dialogs, 2);
        EXPECT_EQ(a.questions.size(), 1u);
    }
    {   // No, then cancelled.
        Answers a;
        a.files = {existing, ""};
        EXPECT_FALSE(dialog.Execute());
        EXPECT_EQ(a.dialogs, 2);
    }
    {   // Without the overwrite prompt nothing is asked.
        Answers a;
        a.files = {existing};
        dialog.Options = ofHideReadOnly;
        EXPECT_TRUE(dialog.Execute());
        EXPECT_TRUE(a.questions.empty());
    }
    DeleteFileA(existing.c_str());
}
