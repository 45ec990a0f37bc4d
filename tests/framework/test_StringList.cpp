#include "Classes.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <vector>

using namespace ruk;
using ruk::test::TempFolder;

namespace {

std::vector<std::string> Entries(const TStringList& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(list[i]);
    return out;
}

using V = std::vector<std::string>;

}  // namespace

TEST(StringListText, SettingTextSplitsAtEveryKindOfLineEnd) {
    struct Case { std::string text; V entries; };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\rb\nc\r\n", {"a", "b", "c"}},
        {"a\n\rb", {"a", "", "b"}},  // LF then a lone CR: two line ends
        {"\r\n", {""}},
        {"a\r\n\r\n", {"a", ""}},
        {"\n\n", {"", ""}},
        {"a\r\r\nb", {"a", "", "b"}},
        {std::string("x\0y\nz", 5), {std::string("x\0y", 3), "z"}},
    };
    for (const Case& c : cases) {
        TStringList list;
        list.Add("old");
        list.SetText(c.text);
        EXPECT_EQ(Entries(list), c.entries) << c.text;
    }
}

TEST(StringListText, ReadingTextEndsEveryEntryWithCrLf) {
    TStringList list;
    EXPECT_EQ(list.Text(), "");
    list.Add("a");
    list.Add("");
    list.Add("b");
    EXPECT_EQ(list.Text(), "a\r\n\r\nb\r\n");
    list.SetText(list.Text());
    EXPECT_EQ(Entries(list), (V{"a", "", "b"}));
}

TEST(StringListSorted, DuplicatesAreIgnoredKeepingTheFirstSpelling) {
    TStringList list;
    list.SetSorted(true);
    EXPECT_EQ(list.Duplicates(), TDuplicates::dupIgnore);
    EXPECT_EQ(list.AddObject("The", 7), 0);
    EXPECT_EQ(list.Add("zoo"), 1);
    EXPECT_EQ(list.Add("the"), 0);
    EXPECT_EQ(list.AddObject("THE", 9), 0);
    EXPECT_EQ(Entries(list), (V{"The", "zoo"}));
    EXPECT_EQ(list.Integers(0), 7);  // the entry already there keeps its integer
    EXPECT_EQ(list.Integers(1), 0);

    // Sorted text: one entry per distinct line, whatever its case.
    list.SetText("zeta\nAlpha\nalpha\nBETA\r\nbeta\n\xE4rger\n\xC4RGER\n");
    EXPECT_EQ(Entries(list), (V{"Alpha", "\xE4rger", "BETA", "zeta"}));
}

TEST(StringListSorted, OrderAndFindFollowTheLocale) {
    TStringList list;
    list.SetSorted(true);
    for (const char* s : {"pear", "Apple", "banana", "apricot", "Cherry"}) list.Add(s);
    EXPECT_EQ(Entries(list), (V{"Apple", "apricot", "banana", "Cherry", "pear"}));
    int index = -1;
    EXPECT_TRUE(list.Find("BANANA", index));
    EXPECT_EQ(index, 2);
    EXPECT_FALSE(list.Find("blueberry", index));
    EXPECT_EQ(index, 3);
    EXPECT_FALSE(list.Find("zzz", index));
    EXPECT_EQ(index, 5);
    EXPECT_FALSE(list.Find("", index));
    EXPECT_EQ(index, 0);
    EXPECT_EQ(list.IndexOf("CHERRY"), 3);
    EXPECT_EQ(list.IndexOf("kiwi"), -1);
    EXPECT_THROW(list.Insert(0, "x"), EListError);
    EXPECT_THROW(list.PutString(0, "x"), EStringListError);

    TStringList empty;
    empty.SetSorted(true);
    EXPECT_FALSE(empty.Find("a", index));
    EXPECT_EQ(index, 0);
}

TEST(StringListSorted, OtherDuplicateRules) {
    TStringList accept;
    accept.SetSorted(true);
    accept.SetDuplicates(TDuplicates::dupAccept);
    accept.Add("b");
    accept.Add("a");
    accept.Add("B");
    accept.Add("c");
    EXPECT_EQ(accept.Count(), 4);
    int index = -1;
    EXPECT_TRUE(accept.Find("b", index));
    EXPECT_EQ(index, 1);  // the first of the equal entries

    TStringList error;
    error.SetSorted(true);
    error.SetDuplicates(TDuplicates::dupError);
    error.Add("x");
    EXPECT_THROW(error.Add("X"), EStringListError);
    EXPECT_EQ(error.Count(), 1);

    // Sorting an unsorted list orders it; it has no duplicate check of its own.
    TStringList later;
    for (const char* s : {"c", "a", "B"}) later.Add(s);
    later.SetSorted(true);
    EXPECT_EQ(Entries(later), (V{"a", "B", "c"}));
}

TEST(StringListUnsorted, KeepsOrderAndIntegers) {
    TStringList list;
    list.Add("b");
    list.Add("a");
    list.Add("b");
    list.Insert(0, "first");
    list.Insert(4, "last");
    EXPECT_EQ(Entries(list), (V{"first", "b", "a", "b", "last"}));
    EXPECT_EQ(list.IndexOf("B"), 1);
    list.PutInteger(2, 42);
    TObject marker;
    list.PutObject(3, &marker);
    EXPECT_EQ(list.Integers(2), 42);
    EXPECT_EQ(list.Objects(3), &marker);
    EXPECT_EQ(list.Integers(0), 0);
    list.PutString(0, "new");
    list.Delete(4);
    EXPECT_EQ(Entries(list), (V{"new", "b", "a", "b"}));
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(StringListErrors, IndexOutOfBoundsNamesTheIndex) {
    TStringList list;
    list.Add("only");
    struct Case { const char* what; std::function<void()> call; int index; };
    const Case cases[] = {
        {"Strings(1)", [&] { list.Strings(1); }, 1},
        {"Strings(-1)", [&] { list.Strings(-1); }, -1},
        {"Integers(5)", [&] { list.Integers(5); }, 5},
        {"PutInteger(2)", [&] { list.PutInteger(2, 1); }, 2},
        {"PutString(-3)", [&] { list.PutString(-3, "x"); }, -3},
        {"Delete(1)", [&] { list.Delete(1); }, 1},
        {"Insert(3)", [&] { list.Insert(3, "x"); }, 3},
        {"Objects(7)", [&] { list.Objects(7); }, 7},
    };
    for (const Case& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << c.what << " raised nothing";
        } catch (const EStringListError& e) {
            EXPECT_EQ(e.Message(), Format("List index out of bounds (%d)", c.index)) << c.what;
        }
    }
    EXPECT_EQ(Entries(list), (V{"only"}));
}

TEST(StringListFiles, SaveAndLoadRoundTrip) {
    TempFolder dir;
    const std::string name = dir.File("list.txt");
    TStringList list;
    list.Add("alpha");
    list.Add("");
    list.Add("\x95 bullet");
    list.SaveToFile(name);
    EXPECT_EQ(TempFolder::ReadAll(name), "alpha\r\n\r\n\x95 bullet\r\n");

    TStringList loaded;
    loaded.Add("dropped");
    loaded.LoadFromFile(name);
    EXPECT_EQ(Entries(loaded), (V{"alpha", "", "\x95 bullet"}));

    TempFolder::WriteAll(name, "x\ny\rz");
    loaded.LoadFromFile(name);
    EXPECT_EQ(Entries(loaded), (V{"x", "y", "z"}));

    // Saving truncates a longer file.
    TStringList shortList;
    shortList.Add("s");
    shortList.SaveToFile(name);
    EXPECT_EQ(TempFolder::ReadAll(name), "s\r\n");
    TStringList none;
    none.SaveToFile(name);
    EXPECT_EQ(TempFolder::ReadAll(name), "");
}

TEST(StringListFiles, FailuresNameTheFullPathAndTheSystemText) {
    TempFolder dir;
    const std::string missing = dir.File("missing.txt");
    TStringList list;
    list.Add("kept");
    try {
        list.LoadFromFile(missing);
        FAIL() << "no exception";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Cannot open file \"" + missing + "\". " + SysErrorMessage(ERROR_FILE_NOT_FOUND));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    }
    EXPECT_EQ(Entries(list), (V{"kept"}));

    const std::string noFolder = dir.File("nofolder\\x.txt");
    try {
        list.SaveToFile(noFolder);
        FAIL() << "no exception";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file \"" + noFolder + "\". " + SysErrorMessage(ERROR_PATH_NOT_FOUND));
    }
}
