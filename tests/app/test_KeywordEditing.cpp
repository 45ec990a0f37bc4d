// The keyword editing actions, auto-find and the Edit menu's selection commands on the real
// main window.
#include "AppTestSupport.h"
#include "RUKKeywordRowIndex.h"
#include "RUKLexmillUtils1.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ruk;
using ruktest::BoxWatcher;

namespace {

const std::string kSep = "\x95";

class KeywordEditingTest : public ruktest::MainWindowTest {
protected:
    TSDIAppForm* OpenWith(const std::string& source, const std::string& title) {
        Open();
        TSDIAppFormTestAccess::SetSourceFileName(*Form, source);
        TSDIAppFormTestAccess::SetDocTitle(*Form, title);
        return Form;
    }
    void SelectStripped(const std::string& text, int start, int length) {
        Form->PageControl1->SetActivePage(Form->StrippedContentsTabSheet1);
        Form->StrippedContentsRichEdit1->SetText(text);
        Form->StrippedContentsRichEdit1->SetFocus();
        Form->StrippedContentsRichEdit1->SetSelStart(start);
        Form->StrippedContentsRichEdit1->SetSelLength(length);
    }
    std::vector<std::string> Row(int index) {
        TListItem* row = Form->KeywordsListView1->Items()[index];
        std::vector<std::string> cells{row->Caption()};
        for (int i = 0; i < row->SubItems().Count(); ++i) cells.push_back(row->SubItems().Strings(i));
        return cells;
    }
    std::vector<std::string> Captions(TListView* list) {
        std::vector<std::string> captions;
        for (int i = 0; i < list->Items().Count(); ++i) captions.push_back(list->Items()[i]->Caption());
        return captions;
    }
    // Types into the keyword box's edit part at its end, as the keyboard does.
    void TypeIntoKeywordBox(const std::string& keys) {
        TComboBoxEx* box = Form->KeywordEditComboBox1;
        box->SetSelStart(static_cast<int>(box->Text().size()));
        for (char c : keys) SendMessageA(box->EditHandle(), WM_CHAR, static_cast<unsigned char>(c), 0);
    }
};

}  // namespace

TEST_F(KeywordEditingTest, AddSelectionAsKeywordTakesTheTrimmedSelection) {
    OpenWith("", "");
    BoxWatcher boxes;
    // " Web" CR LF "Design ": the line break one blank, the ends trimmed.
    SelectStripped(" Web\r\nDesign and more", 0, 12);
    ASSERT_TRUE(Form->EditAddAsKeyword->Execute());
    ASSERT_EQ(Form->KeywordsListView1->Items().Count(), 1);
    EXPECT_EQ(Row(0), (std::vector<std::string>{"Web Design", "NoName.htm", "Untitled Document", "", "1"}));
    TComboBoxEx* box = Form->KeywordEditComboBox1;
    EXPECT_EQ(box->ItemCount(), 1);
    EXPECT_EQ(box->ItemIndex(), 0);
    EXPECT_EQ(box->Text(), "Web Design");
    EXPECT_EQ(Form->ActiveControl(), box);

    // The same selection again: no second row, a second item of the same text.
    SelectStripped(" Web\r\nDesign and more", 0, 12);
    Form->EditAddAsKeyword->Execute();
    EXPECT_EQ(Form->KeywordsListView1->Items().Count(), 1);
    EXPECT_EQ(box->ItemCount(), 2);
    EXPECT_EQ(box->ItemIndex(), 1);
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(KeywordEditingTest, AddSelectionAsKeywordSortsTheListAndTakesTheDocument) {
    OpenWith("C:\\docs\\guide.htm", "The Guide");
    Form->AddKeyword("zeta", "z.htm", "Z", "");
    Form->AddKeyword("Alpha", "a.htm", "A", "");
    SelectStripped("about beta here", 6, 4);
    Form->EditAddAsKeyword->Execute();
    EXPECT_EQ(Captions(Form->KeywordsListView1), (std::vector<std::string>{"Alpha", "beta", "zeta"}));
    EXPECT_EQ(Row(1), (std::vector<std::string>{"beta", "guide.htm", "The Guide", "", "1"}));

    // An existing keyword in another case: merged into its row.
    SelectStripped("ZETA", 0, 4);
    Form->EditAddAsKeyword->Execute();
    EXPECT_EQ(Form->KeywordsListView1->Items().Count(), 3);
    EXPECT_EQ(Row(2)[1], "z.htm" + kSep + "guide.htm");
}

TEST_F(KeywordEditingTest, AddSelectionAsKeywordWithoutTextDoesNothing) {
    OpenWith("", "");
    BoxWatcher boxes;
    SelectStripped("some text", 2, 0);
    Form->EditAddAsKeyword->Execute();
    SelectStripped("a   \r\n  b", 1, 6);  // blanks and a line break only
    Form->EditAddAsKeyword->Execute();
    ruktest::Pump();
    EXPECT_EQ(Form->KeywordsListView1->Items().Count(), 0);
    EXPECT_EQ(Form->KeywordEditComboBox1->ItemCount(), 0);
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(KeywordEditingTest, AddApplyTakesTypedTextBeforeAndAfterAnItemIsChosen) {
    OpenWith("", "");
    BoxWatcher boxes;
    TComboBoxEx* box = Form->KeywordEditComboBox1;
    // Empty text: the message, nothing added.
    box->SetText("");
    Form->EditApplyKeywordChanges->Execute();
    ruktest::Pump();
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Invalid Keyword !"});
    EXPECT_EQ(Form->KeywordsListView1->Items().Count(), 0);

    // Typed text, unchanged: a row, and the text becomes the chosen item.
    box->SetFocus();
    TypeIntoKeywordBox("typed one");
    EXPECT_EQ(box->ItemIndex(), -1);
    Form->EditApplyKeywordChanges->Execute();
    EXPECT_EQ(Captions(Form->KeywordsListView1), std::vector<std::string>{"typed one"});
    EXPECT_EQ(box->ItemIndex(), 0);
    // Pressed again with the item chosen: nothing.
    Form->EditApplyKeywordChanges->Execute();
    EXPECT_EQ(box->ItemCount(), 1);

    // Typing after an item was chosen (here by Ctrl+K) makes the text the user's again: the
    // caret and text stay, the next Add/Apply takes it.
    SelectStripped("picked word", 0, 6);
    Form->EditAddAsKeyword->Execute();
    ASSERT_EQ(box->ItemIndex(), 1);
    box->SetFocus();
    TypeIntoKeywordBox("s");
    EXPECT_EQ(box->ItemIndex(), -1);
    EXPECT_EQ(box->Text(), "pickeds");
    EXPECT_EQ(box->SelStart(), 7);
    Form->EditApplyKeywordChanges->Execute();
    EXPECT_EQ(Captions(Form->KeywordsListView1), (std::vector<std::string>{"picked", "pickeds", "typed one"}));

    // Choosing an item from the list still selects it.
    box->SetItemIndex(0);
    EXPECT_EQ(box->ItemIndex(), 0);
    ruktest::Pump();
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Invalid Keyword !"});
}

TEST_F(KeywordEditingTest, AStaleLastErrorAndPercentSignsAreHarmless) {
    OpenWith("C:\\a\\50%s.htm", "50%s off %d%n");
    BoxWatcher boxes;
    Form->KeywordEditComboBox1->SetText("100%s %n");
    SetLastError(RUK_E_INVALID_KEYWORD);
    Form->EditApplyKeywordChanges->Execute();
    ruktest::Pump();
    EXPECT_TRUE(boxes.Texts().empty());
    EXPECT_EQ(Row(0), (std::vector<std::string>{"100%s %n", "50%s.htm", "50%s off %d%n", "", "1"}));

    Form->StrippedContentsRichEdit1->SetText("save 100%s %n today");
    Form->AssignmentAutoFindAndAdd->Execute();
    ruktest::Pump();
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_NE(boxes.Texts()[0].find("in the text of 50%s off %d%n"), std::string::npos);
    EXPECT_NE(Form->LogRichEdit1->Text().find("Keyword 100%s %n found in stripped text !"), std::string::npos);
}

TEST_F(KeywordEditingTest, AddWordsTakesTheFocusedWordList) {
    OpenWith("", "My Doc");
    BoxWatcher boxes;
    Form->PageControl1->SetActivePage(Form->DistinctWordsListTabSheet1);
    // From the text: the selected lines, sorted without regard to case, duplicates dropped.
    TRichEdit* words = Form->DistinctWordsLisRichEdit1;
    words->SetText("Apple\r\napple\r\nBanana\r\ncherry\r\n");
    words->SetFocus();
    words->SetSelStart(0);
    words->SetSelLength(19);  // Apple, apple, Banana
    Form->EditAddAsKeywords->Execute();
    EXPECT_EQ(Captions(Form->KeywordsListView1), (std::vector<std::string>{"Apple", "Banana"}));
    EXPECT_EQ(Row(0), (std::vector<std::string>{"Apple", "NoName.htm", "My Doc", "", "1"}));

    // From the list view: the selected rows in their order, not sorted afterwards.
    TListView* list = Form->DistinctWordsListView1;
    for (const char* w : {"zebra", "mango", "kiwi"}) list->Items().Add()->SetCaption(w);
    list->Items()[0]->SetSelected(true);
    list->Items()[2]->SetSelected(true);
    list->SetFocus();
    Form->EditAddAsKeywords->Execute();
    EXPECT_EQ(Captions(Form->KeywordsListView1), (std::vector<std::string>{"Apple", "Banana", "zebra", "kiwi"}));

    // Neither focused: nothing.
    Form->KeywordsListView1->SetFocus();
    Form->EditAddAsKeywords->Execute();
    EXPECT_EQ(Form->KeywordsListView1->Items().Count(), 4);
    EXPECT_EQ(Form->KeywordEditComboBox1->ItemCount(), 0);
    ruktest::Pump();
    EXPECT_TRUE(boxes.Texts().empty());
}

// The bulk add's index may only skip the list's own search where that search finds nothing:
// the rows come out as one AddKeyword after another makes them.
TEST_F(KeywordEditingTest, AddingManyWordsGivesTheRowsOfAddingThemOneByOne) {
    OpenWith("C:\\docs\\d.htm", "D");
    const std::vector<std::string> before = {"Apple", "\xC9" "COLE", "stra\xDF" "e", std::string(300, 'x')};
    const std::vector<std::string> words = {"apple", "\xE9" "cole", "STRASSE", "pear", "PEAR", "co\xAD" "de", "code",
                                            std::string(300, 'X'), "", "Apple"};
    auto rows = [&] {
        std::vector<std::vector<std::string>> all;
        for (int i = 0; i < Form->KeywordsListView1->Items().Count(); ++i) all.push_back(Row(i));
        return all;
    };
    // With and without a row too long for the index (which then stands aside).
    for (size_t withLong = 0; withLong < 2; ++withLong) {
        SCOPED_TRACE(withLong);
        auto start = [&] {
            Form->KeywordsListView1->Items().Clear();
            for (size_t i = 0; i < before.size() - 1 + withLong; ++i) Form->AddKeyword(before[i], "a.htm", "A", "");
        };
        start();
        for (const std::string& w : words) Form->AddKeyword(w, "d.htm", "D", "");
        const auto oneByOne = rows();
        start();
        Form->AddKeywords(words);
        EXPECT_EQ(rows(), oneByOne);
    }
}

TEST(KeywordRowIndex, NeverMissesTextsTheListTakesAsEqual) {
    auto wide = [](const std::string& s) {
        std::wstring w(s.size() + 1, L'\0');
        w.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(),
                                                         static_cast<int>(w.size()))));
        return w;
    };
    std::vector<std::string> texts;
    for (int b = 1; b < 256; ++b) texts.push_back(std::string(1, static_cast<char>(b)));
    for (const char* t : {"ss", "SS", "\xDF", "ae", "\xE6", "\xC6", "oe", "\x9C", "co\xAD" "de", "code", "a\x01", "a",
                          "Stra\xDF" "e", "STRASSE", "fi", "FI", "1", "\xB9", "2", "\xB2"})
        texts.push_back(t);
    size_t equalPairs = 0;
    for (const std::string& a : texts) {
        TKeywordRowIndex index;
        index.Add(a);
        for (const std::string& b : texts) {
            if (lstrcmpiW(wide(a).c_str(), wide(b).c_str()) != 0) continue;
            ++equalPairs;
            EXPECT_TRUE(index.MayHold(b)) << "[" << a << "] [" << b << "]";
        }
    }
    EXPECT_GT(equalPairs, texts.size());  // case pairs at least
    TKeywordRowIndex index;
    index.Add("apple");
    EXPECT_FALSE(index.MayHold("pear"));
    index.Add(std::string(TKeywordRowIndex::kLongCaption, 'x'));
    EXPECT_TRUE(index.MayHold("pear"));
}

TEST_F(KeywordEditingTest, AddSourceFileAsLinkFromTheStrippedTextPage) {
    OpenWith("", "");
    Form->AddKeyword("kw", "a.htm", "Title A", "");
    Form->AddKeyword("other", "a.htm", "Title A", "");
    Form->KeywordsListView1->Items()[1]->SetSelected(true);
    // No source file: nothing.
    Form->EditAddStrippedFileAsLink->Execute();
    EXPECT_EQ(Row(1)[1], "a.htm");
    // The first selected row gains the file and the title, "Untitled Document" for none.
    TSDIAppFormTestAccess::SetSourceFileName(*Form, "C:\\site\\b.htm");
    Form->EditAddStrippedFileAsLink->Execute();
    EXPECT_EQ(Row(1), (std::vector<std::string>{"other", "a.htm" + kSep + "b.htm",
                                                "Title A" + kSep + "Untitled Document", "", "1"}));
    EXPECT_EQ(Row(0)[1], "a.htm");
}

TEST_F(KeywordEditingTest, AutoFindListsWholeWordsLogsThemAndAddsTheDocumentToCheckedRows) {
    OpenWith("C:\\docs\\pets.htm", "Pets");
    BoxWatcher boxes;
    Form->AddKeyword("cat", "a.htm", "A", "");
    Form->AddKeyword("dog", "a.htm", "A", "");
    Form->AddKeyword("end", "a.htm", "A", "");
    Form->AddKeyword("Catalogue", "a.htm", "A", "");
    // "cat" as a word, "dog" nowhere, "end" the last word without a line break after it.
    Form->StrippedContentsRichEdit1->SetText("A cat and a catalogue\r\nthe end");
    Form->AssignmentAutoFindAndAdd->Execute();
    ruktest::Pump();
    EXPECT_EQ(Captions(Form->AutoFindListView1), (std::vector<std::string>{"cat", "end", "Catalogue"}));
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(Form->AutoFindListView1->Items()[i]->Checked());
    EXPECT_EQ(Form->AutoFindListView1->Items()[0]->Data, Form->KeywordsListView1->Items()[0]);
    const std::string log = Form->LogRichEdit1->Text();
    EXPECT_NE(log.find("Keyword cat found in stripped text !\r\nKeyword end found in stripped text !\r\n"
                       "Keyword Catalogue found in stripped text !"),
              std::string::npos);
    EXPECT_EQ(log.find("dog"), std::string::npos);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Auto Find and Add has found 3 keywords \r\nin the text of Pets"});

    // Run again: each found keyword is listed again.
    Form->AssignmentAutoFindAndAdd->Execute();
    ruktest::Pump();
    EXPECT_EQ(Form->AutoFindListView1->Items().Count(), 6);

    // Add Source File as Link on the auto-find page: only the checked rows' keywords gain it.
    for (int i = 1; i < 6; ++i) Form->AutoFindListView1->Items()[i]->SetChecked(false);
    Form->EditAddDocToKeywords->Execute();
    EXPECT_EQ(Row(0), (std::vector<std::string>{"cat", "a.htm" + kSep + "pets.htm", "A" + kSep + "Pets", "", "1"}));
    EXPECT_EQ(Row(2)[1], "a.htm");

    // Nothing found: no rows, no message.
    const size_t before = boxes.Texts().size();
    Form->StrippedContentsRichEdit1->SetText("nothing here\r\n");
    Form->AssignmentAutoFindAndAdd->Execute();
    ruktest::Pump();
    EXPECT_EQ(Form->AutoFindListView1->Items().Count(), 6);
    EXPECT_EQ(boxes.Texts().size(), before);
}

TEST_F(KeywordEditingTest, AutoFindRowsWhoseKeywordIsGoneAreSkipped) {
    OpenWith("C:\\docs\\x.htm", "X");
    Form->AddKeyword("alpha", "a.htm", "A", "");
    Form->AddKeyword("beta", "a.htm", "A", "");
    Form->StrippedContentsRichEdit1->SetText("alpha beta");
    BoxWatcher boxes;
    Form->AssignmentAutoFindAndAdd->Execute();
    ruktest::Pump();
    ASSERT_EQ(Form->AutoFindListView1->Items().Count(), 2);
    // The keyword row is removed while its auto-find row stays.
    Form->KeywordsListView1->Items().Delete(0);
    Form->EditAddDocToKeywords->Execute();
    EXPECT_EQ(Row(0), (std::vector<std::string>{"beta", "a.htm" + kSep + "x.htm", "A" + kSep + "X", "", "1"}));
}

TEST_F(KeywordEditingTest, ReadOnlyShowsItsMessage) {
    Open();
    BoxWatcher boxes;
    Form->EditReadOnly1->Execute();
    ruktest::Pump();
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Toggle Read Only ?\nSorry, this feature hasn't been implemented yet."});
}

TEST_F(KeywordEditingTest, SelectAllAndClearSelectionFollowTheFocusAndThePage) {
    Open();
    // The stripped text's pane.
    SelectStripped("one two three", 4, 3);
    Form->EditSelectAll->Execute();
    // The control's own select-all, which may take the closing paragraph mark with the text.
    EXPECT_EQ(Form->StrippedContentsRichEdit1->SelStart(), 0);
    EXPECT_GE(Form->StrippedContentsRichEdit1->SelLength(), 13);
    EXPECT_EQ(Form->StrippedContentsRichEdit1->SelText().substr(0, 13), "one two three");
    Form->StrippedContentsRichEdit1->SetSelStart(4);
    Form->StrippedContentsRichEdit1->SetSelLength(3);
    Form->EditClearSelection->Execute();
    EXPECT_EQ(Form->StrippedContentsRichEdit1->SelStart(), 4);
    EXPECT_EQ(Form->StrippedContentsRichEdit1->SelLength(), 0);

    // The source box, whichever page is active.
    TComboBoxEx* source = Form->SourceFilesComboBoxEx;
    source->SetText("C:\\some\\file.htm");
    source->SetFocus();
    Form->EditSelectAll->Execute();
    EXPECT_EQ(source->SelLength(), 16);
    EXPECT_EQ(Form->StrippedContentsRichEdit1->SelLength(), 0);
    Form->EditClearSelection->Execute();
    EXPECT_EQ(source->SelStart(), 0);
    EXPECT_EQ(source->SelLength(), 0);

    // A list page: all rows selected, the focus where it was; Clear Selection leaves them.
    Form->PageControl1->SetActivePage(Form->KeywordsTabSheet1);
    Form->AddKeyword("a", "", "", "");
    Form->AddKeyword("b", "", "", "");
    Form->KeywordsListView1->SetFocus();
    Form->EditSelectAll->Execute();
    EXPECT_EQ(Form->KeywordsListView1->SelCount(), 2);
    EXPECT_EQ(Form->ActiveControl(), Form->KeywordsListView1);
    Form->EditClearSelection->Execute();
    EXPECT_EQ(Form->KeywordsListView1->SelCount(), 2);
}
