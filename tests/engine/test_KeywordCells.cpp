// The multi-value cells of keyword rows: separator, counting, splitting and the merge rules.
#include "RUKLexmillUtils1.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ruk;

namespace {

// "•" in a sample stands for the cell separator.
std::string Cell(const std::string& sample) {
    return StringReplace(sample, "\xE2\x80\xA2", KeywordCellSeparator(), rfReplaceAll);
}

std::vector<std::string> Entries(const std::unique_ptr<TStringList>& list) {
    std::vector<std::string> out;
    if (list)
        for (int i = 0; i < list->Count(); ++i) out.push_back(list->Strings(i));
    return out;
}

}  // namespace

TEST(KeywordCells, SeparatorIsTheBulletOfTheAnsiCodePage) {
    if (GetACP() == 1252) {
        EXPECT_EQ(KeywordCellSeparator(), "\x95");
        EXPECT_EQ(KeywordCellSeparatorReplacement(), "\xB7");
        EXPECT_EQ(WideToAnsi(L"\x2022"), KeywordCellSeparator());
    }
    EXPECT_NE(KeywordCellSeparatorReplacement(), KeywordCellSeparator());
}

TEST(KeywordCells, CountAndSplitTakeLinesAsAStringListDoes) {
    struct Case {
        const char* cell;
        int count;
        std::vector<std::string> entries;
    };
    const Case cases[] = {
        {"", 0, {}},
        {"a", 1, {"a"}},
        {"a•b", 2, {"a", "b"}},
        {"a•", 1, {"a"}},
        {"•a", 2, {"", "a"}},
        {"a••b", 3, {"a", "", "b"}},
        {"•", 1, {""}},
        {"a\r\nb", 2, {"a", "b"}},  // a line break inside a cell also ends an entry
        {"a\rb\nc", 3, {"a", "b", "c"}},
    };
    for (const Case& c : cases) {
        const std::string cell = Cell(c.cell);
        EXPECT_EQ(CountMultiValueCellEntries(cell), c.count) << c.cell;
        std::unique_ptr<TStringList> list = SplitMultiValueCell(cell);
        EXPECT_EQ(list == nullptr, cell.empty()) << c.cell;
        EXPECT_EQ(Entries(list), c.entries) << c.cell;
    }
}

TEST(KeywordCells, MergeRulesCompareWholeEntriesWithoutRegardToCase) {
    struct Case {
        const char* cell;
        const char* value;
        const char* result;
    };
    const Case cases[] = {
        {"", "a.htm", "a.htm"},                     // an empty cell takes the value
        {"", "", ""},                               // and stays empty for an empty one
        {"a.htm", "b.htm", "a.htm•b.htm"},          // new entry
        {"a.htm", "a.htm", "a.htm"},                // present
        {"a.htm", "A.HTM", "a.htm"},                // present in another case
        {"a.htm•b.htm", "B.htm", "a.htm•b.htm"},    // present further on
        {"index.htm", "dex.htm", "index.htm•dex.htm"},  // part of an entry is not the entry
        {"index.htm", "index", "index.htm•index"},
        {"a.htm•b.htm", "htm•b", "a.htm•b.htm•htm\xC2\xB7" "b"},  // a separator in a value is replaced
        {"a.htm", "", "a.htm•"},                    // an empty value is never contained
        {"a.htm•", "", "a.htm••"},
    };
    for (const Case& c : cases) {
        std::string expected = Cell(c.result);
        expected = StringReplace(expected, "\xC2\xB7", KeywordCellSeparatorReplacement(), rfReplaceAll);
        EXPECT_EQ(AddToMultiValueCell(Cell(c.cell), Cell(c.value)), expected) << c.cell << " + " << c.value;
    }
    if (GetACP() == 1252) {
        EXPECT_EQ(AddToMultiValueCell("\xC4rger", "\xE4RGER"), "\xC4rger");  // locale upper case: Ä and ä
    }
    EXPECT_FALSE(MultiValueCellContains(Cell("a•"), ""));
    EXPECT_TRUE(MultiValueCellContains(Cell("x•A"), "a"));
    EXPECT_FALSE(MultiValueCellContains("", "a"));
}

TEST(KeywordCells, ASeparatorInsideAValueStaysOneEntry) {
    const std::string title = "Chapter " + KeywordCellSeparator() + " One";
    const std::string stored = ReplaceCellSeparators(title);
    EXPECT_EQ(stored, "Chapter " + KeywordCellSeparatorReplacement() + " One");
    EXPECT_EQ(CountMultiValueCellEntries(stored), 1);
    const std::string cell = AddToMultiValueCell("First", title);
    EXPECT_EQ(CountMultiValueCellEntries(cell), 2);
    // Offered again it is found, so the cells do not go out of step.
    EXPECT_EQ(AddToMultiValueCell(cell, title), cell);
}
