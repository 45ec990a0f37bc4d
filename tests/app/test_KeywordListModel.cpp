// The keyword list model of the main window: adding keywords, merging documents into their
// rows, counting cell entries, and the small text helpers of the keyword actions.
#include "AppTestSupport.h"

using namespace ruk;
using ruktest::MainWindowTest;

namespace {

// "•" in a sample stands for the cell separator.
std::string Cell(const std::string& sample) {
    return StringReplace(sample, "\xE2\x80\xA2", KeywordCellSeparator(), rfReplaceAll);
}

std::vector<std::string> Row(TRUKKeywordListEntry* row) {
    std::vector<std::string> cells{row->Caption()};
    for (int i = 0; i < row->SubItems().Count(); ++i) cells.push_back(row->SubItems().Strings(i));
    return cells;
}

}  // namespace

class KeywordListModelTest : public MainWindowTest {
protected:
    TListItems& Rows() { return Form->KeywordsListView1->Items(); }
};

TEST_F(KeywordListModelTest, AddKeywordAppendsARowOrMergesIntoTheOneThatMatches) {
    Open();
    TRUKKeywordListEntry* html = Form->AddKeyword("index", "a.htm", "Untitled Document", "");
    ASSERT_NE(html, nullptr);
    EXPECT_EQ(Row(html), (std::vector<std::string>{"index", "a.htm", "Untitled Document", "", "1"}));
    // The list view shows the cells.
    char text[64] = {};
    ListView_GetItemText(Form->KeywordsListView1->Handle(), 0, 2, text, sizeof text);
    EXPECT_STREQ(text, "Untitled Document");

    EXPECT_EQ(Form->AddKeyword("Index", "b.htm", "Second", ""), html);  // same keyword in another case
    EXPECT_EQ(Rows().Count(), 1);
    EXPECT_EQ(Row(html), (std::vector<std::string>{"index", Cell("a.htm•b.htm"), Cell("Untitled Document•Second"), "",
                                                   "1"}));
    TRUKKeywordListEntry* other = Form->AddKeyword("indexes", "a.htm", "T", "");
    EXPECT_NE(other, html);
    EXPECT_EQ(Rows().Count(), 2);
    // The first matching row in list order, found by whole caption only.
    EXPECT_EQ(Form->AddKeyword("INDEX", "c.htm", "Third", ""), html);
    EXPECT_EQ(Row(html)[4], "1");  // merges never change the number of link targets
}

TEST_F(KeywordListModelTest, MergeRulesOfTheCellAdders) {
    Open();
    struct Case {
        const char* cell;
        const char* value;
        const char* after;
        int count;
    };
    const Case cases[] = {
        {"a.htm", "b.htm", "a.htm•b.htm", 2},
        {"a.htm•b.htm", "A.HTM", "a.htm•b.htm", 2},       // same link in another case
        {"a.htm•b.htm", "a.htm", "a.htm•b.htm", 2},
        {"index.htm", "dex.htm", "index.htm•dex.htm", 2},  // not lost as a substring
        {"a.htm", "", "a.htm•", 1},                        // empty value: a trailing separator
        {"", "a.htm", "a.htm", 1},                         // an empty cell takes the value
        {"", "", "", 0},
    };
    for (const Case& c : cases) {
        TRUKKeywordListEntry* row = Form->KeywordsListView1->Items().Add();
        row->SetCaption("k");
        for (int i = 0; i < 3; ++i) row->SubItems().Add(Cell(c.cell));
        row->SubItems().Add("1");
        EXPECT_EQ(Form->AddLinkTarget(row, c.value), c.count) << c.cell << " + " << c.value;
        EXPECT_EQ(Form->AddTargetDocTitle(row, c.value), c.count) << c.cell << " + " << c.value;
        EXPECT_EQ(Form->AddAltURL(row, c.value), c.count) << c.cell << " + " << c.value;
        for (int i = 0; i < 3; ++i) EXPECT_EQ(row->SubItems().Strings(i), Cell(c.after)) << c.cell << " + " << c.value;
    }
}

TEST_F(KeywordListModelTest, AddLinkToKeywordReturnsTheCommonCountOrMinusOne) {
    Open();
    TRUKKeywordListEntry* row = Form->AddKeyword("html", "a.htm", "Page", "");
    // A program-made row has an empty alternative-URL cell: a merge with the empty URL the
    // callers pass leaves it at 0 entries.
    EXPECT_EQ(Form->AddLinkToKeyword(row, "b.htm", "Other page", ""), -1);
    // The title already present under another file name: the link cell gains, the title not.
    EXPECT_EQ(Form->AddLinkToKeyword(row, "c.htm", "page", ""), -1);
    EXPECT_EQ(Row(row), (std::vector<std::string>{"html", Cell("a.htm•b.htm•c.htm"), Cell("Page•Other page"), "", "1"}));
    EXPECT_EQ(Form->AddLinkToKeyword(row, "d.htm", "Fourth", "u"), -1);
    TRUKKeywordListEntry* full = Form->AddKeyword("css", "a.htm", "A", "u1");
    EXPECT_EQ(Form->AddLinkToKeyword(full, "b.htm", "B", "u2"), 2);
    EXPECT_EQ(Form->CountCellEntries(full->SubItems().Strings(kcLinkTargets)), 2);
}

TEST_F(KeywordListModelTest, FailuresAreReportedThroughTheLastErrorAndNeverLeftStale) {
    Open();
    EXPECT_EQ(Form->AddKeyword("", "a.htm", "T", ""), nullptr);
    EXPECT_EQ(GetLastError(), RUK_E_INVALID_KEYWORD);
    EXPECT_EQ(Rows().Count(), 0);
    // A later successful call does not report the earlier code.
    ASSERT_NE(Form->AddKeyword("ok", "a.htm", "T", ""), nullptr);
    EXPECT_EQ(GetLastError(), 0u);
    SetLastError(ERROR_ALREADY_EXISTS);
    ASSERT_NE(Form->AddKeyword("ok", "b.htm", "U", ""), nullptr);
    EXPECT_EQ(GetLastError(), 0u);

    for (int (TSDIAppForm::*adder)(TRUKKeywordListEntry*, const std::string&) :
         {&TSDIAppForm::AddLinkTarget, &TSDIAppForm::AddTargetDocTitle, &TSDIAppForm::AddAltURL}) {
        SetLastError(0);
        EXPECT_EQ((Form->*adder)(nullptr, "x"), -1);
        EXPECT_EQ(GetLastError(), RUK_E_NULL_OBJECT);
    }
    SetLastError(0);
    EXPECT_EQ(Form->AddLinkToKeyword(nullptr, "x", "y", ""), -1);
    EXPECT_EQ(GetLastError(), RUK_E_NULL_OBJECT);

    // A row without its cells raises the class library's list error, not a raw one.
    TRUKKeywordListEntry* bare = Rows().Add();
    bare->SetCaption("bare");
    try {
        Form->AddTargetDocTitle(bare, "x");
        ADD_FAILURE() << "no exception";
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (1)");
    }
}

TEST_F(KeywordListModelTest, ASeparatorInsideATitleStaysOneEntry) {
    Open();
    const std::string title = "Part " + KeywordCellSeparator() + " Two";
    TRUKKeywordListEntry* row = Form->AddKeyword("k", "a.htm", title, "");
    EXPECT_EQ(Form->CountCellEntries(row->SubItems().Strings(kcTargetDocTitles)), 1);
    EXPECT_EQ(Form->AddLinkToKeyword(row, "b.htm", title, "x"), -1);
    EXPECT_EQ(Form->CountCellEntries(row->SubItems().Strings(kcTargetDocTitles)), 1);  // found, not added
    EXPECT_EQ(Form->AddTargetDocTitle(row, "Other " + KeywordCellSeparator()), 2);
}

TEST_F(KeywordListModelTest, TextHelpersOfTheKeywordActions) {
    Open();
    struct NameCase {
        const char* source;
        const char* name;
    };
    for (const NameCase& c : {NameCase{"", ""}, NameCase{"D:\\web\\page.html", "page.html"},
                              NameCase{"C:page.htm", "page.htm"}, NameCase{"page.htm", "page.htm"},
                              NameCase{"\\\\server\\share\\", ""}, NameCase{"a:b\\c.d", "c.d"}}) {
        TSDIAppFormTestAccess::SetSourceFileName(*Form, c.source);
        EXPECT_EQ(Form->GetSourceFileName(), c.name) << c.source;
    }
    EXPECT_TRUE(TSDIAppForm::ContainsLineBreak("a\r\nb"));
    EXPECT_FALSE(TSDIAppForm::ContainsLineBreak("a\rb\n"));
    EXPECT_FALSE(TSDIAppForm::ContainsLineBreak(""));
    EXPECT_EQ(TSDIAppForm::ReplaceLineBreaks(" Web\r\nDesign \r\n"), " Web Design  ");
    EXPECT_EQ(TSDIAppForm::ReplaceLineBreaks("a\rb\nc\n\r"), "a\rb\nc\n\r");
    EXPECT_EQ(TSDIAppForm::ReplaceLineBreaks("\r\r\n\n"), "\r \n");
}
