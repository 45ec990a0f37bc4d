// The rich edit's find and lengths over its whole text (appends still waiting included), and
// the extended combo box's edit-change event.
#include "ComCtrls.h"
#include "Form.h"
#include "FormTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace ruk;
using namespace ruk::test;

namespace {

struct FindFixture {
    FormPtr Form = NewForm();
    TRichEdit* Edit = Place<TRichEdit>(*Form);
    FindFixture() { Form->Show(); }
};

constexpr unsigned kWhole = TRichEdit::stWholeWord;

}  // namespace

TEST(RichEditFind, WholeWordsWithoutRegardToCaseOverARange) {
    FindFixture f;
    f.Edit->SetText("A cat and a catalogue\r\nCAT");
    struct Case {
        const char* Search;
        int Start, Length;
        unsigned Options;
        int Expected;
    } cases[] = {
        {"cat", 0, -1, kWhole, 2},
        {"Cat", 0, -1, kWhole, 2},
        {"cat", 3, -1, kWhole, 22},               // after the first: the one on the next line
        {"CAT", 0, -1, kWhole | TRichEdit::stMatchCase, 22},
        {"catalogue", 0, -1, kWhole, 12},
        {"catalog", 0, -1, kWhole, -1},           // inside a word
        {"catalog", 0, -1, 0, 12},
        {"cat", 0, 4, kWhole, -1},                // a match must end inside the range
        {"cat", 0, 5, kWhole, 2},
        {"cat", 22, 3, kWhole, 22},               // the very end of the text
        {"cat", 22, 1000, kWhole, 22},            // a range past the end is cut there
        {"and a", 0, -1, kWhole, 6},
        {"", 0, -1, kWhole, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(f.Edit->FindString(c.Search, c.Start, c.Length, c.Options), c.Expected)
            << c.Search << " from " << c.Start << " for " << c.Length;
}

TEST(RichEditFind, LengthsAndStoredTextCountLineBreaksAsTheyAreAsked) {
    FindFixture f;
    f.Edit->SetText("ab\r\ncd\r\nlast");
    EXPECT_EQ(f.Edit->GetTextLenCRLF(), 12);
    EXPECT_EQ(f.Edit->GetTextLen(), 10);
    bool usedDefault = true;
    EXPECT_EQ(f.Edit->StoredText(&usedDefault), "ab\rcd\rlast");
    EXPECT_FALSE(usedDefault);
    // Positions of the stored text are the find's.
    EXPECT_EQ(f.Edit->FindString("last", 0, -1, kWhole), 6);

    f.Edit->Clear();
    EXPECT_EQ(f.Edit->GetTextLenCRLF(), 0);
    EXPECT_EQ(f.Edit->StoredText(), "");
}

TEST(RichEditFind, SeesAppendsThatStillWait) {
    FindFixture f;
    std::string text;
    for (int i = 0; i < 20000; ++i) text += "filler words on a line\r\n";
    f.Edit->AppendText(text);
    f.Edit->AppendText("the needle at the end");
    ASSERT_TRUE(f.Edit->AppendPending());
    const int stored = static_cast<int>(text.size()) - 20000;
    EXPECT_EQ(f.Edit->FindString("needle", 0, -1, kWhole), stored + 4);
    EXPECT_FALSE(f.Edit->AppendPending());

    f.Edit->AppendText("\r\nand a haystack");
    EXPECT_EQ(f.Edit->GetTextLenCRLF(), static_cast<int>(text.size()) + 21 + 16);
    f.Edit->AppendText(" more");
    const std::string all = f.Edit->StoredText();
    EXPECT_EQ(all.substr(all.size() - 20), "\rand a haystack more");
}

TEST(ComboBoxExChange, RaisedForTheUsersEditsOnly) {
    FormPtr form = NewForm();
    auto* box = Place<TComboBoxEx>(*form, 200, 24);
    form->Show();
    int changes = 0;
    box->OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, box);
        ++changes;
    };
    box->AddItem("first");
    box->SetItemIndex(0);
    box->SetText("typed");
    box->SetItemIndex(-1);
    EXPECT_EQ(changes, 0);

    // Typing into the edit part, as the keyboard does. The caret goes to the
    // end first: setting the text may leave it all selected.
    SendMessageA(box->EditHandle(), EM_SETSEL, 5, 5);
    SendMessageA(box->EditHandle(), WM_CHAR, 'x', 0);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(box->Text(), "typedx");
    SendMessageA(box->EditHandle(), WM_CHAR, VK_BACK, 0);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(box->Text(), "typed");
}
