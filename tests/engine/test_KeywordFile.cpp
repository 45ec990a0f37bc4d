// The keyword file: byte-exact values, reading back, and what failures leave behind.
#include "EngineTestFiles.h"
#include "KeywordListTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ruk;
using ruk::test::Cell;
using ruk::test::EngineTempFolder;
using ruk::test::KeywordListView;
using Rows = std::vector<std::vector<std::string>>;

namespace {

const std::string kIdent = "RUKLexmill0.3KeywordsListView1Ver1.0";
const std::string kHead = "\x07\x24" + kIdent + "\x01";
const std::string kEnd("\x00", 1);
// The documented example: one row html / a.htm / Untitled Document / empty / 1.
const std::string kExample =
    kHead + "\x06\x04html" + "\x06\x05" "a.htm" + "\x06\x11Untitled Document" + std::string("\x06\x00\x02\x01", 4) + kEnd;

std::string Saved(KeywordListView& list) {
    TMemoryStream m;
    EXPECT_EQ(SaveKeywordListToStream(list.View, &m), 0u);
    return std::string(m.Memory(), static_cast<size_t>(m.Size()));
}

DWORD Load(KeywordListView& list, const std::string& bytes) {
    TMemoryStream m;
    if (!bytes.empty()) m.WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
    m.SetPosition(0);
    return LoadKeywordListFromStream(list.View, &m);
}

std::string Le32(uint32_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
}

// A stream that takes only its first Limit bytes and then fails (a full disk, say).
class TFailingStream : public TMemoryStream {
public:
    explicit TFailingStream(int limit) : Limit(limit) {}
    int Write(const void* buffer, int count) override {
        if (Size() + count > Limit) return -1;
        return TMemoryStream::Write(buffer, count);
    }
    Int64 Limit;
};

}  // namespace

TEST(KeywordFile, TheDocumentedExampleIsWrittenAndReadByteExact) {
    KeywordListView list;
    list.Add("html", {"a.htm", "Untitled Document", "", "1"});
    ASSERT_EQ(kExample.size(), 76u);
    EXPECT_EQ(Saved(list), kExample);

    KeywordListView back;
    EXPECT_EQ(Load(back, kExample), 0u);
    EXPECT_EQ(back.Rows(), (Rows{{"html", "a.htm", "Untitled Document", "", "1"}}));
}

TEST(KeywordFile, ValueFormsOfCellsAndCounts) {
    KeywordListView list;
    const std::string twoEntries = Cell("a.htm•b.htm");
    const std::string long300(300, 'x');
    list.Add("k", {twoEntries, long300, "", "200"});
    list.Add("m", {"", "", "", "70000"});
    list.Add("n", {"", "", "", "not a number"});
    list.Add("o", {"", "", "", "-129"});
    const std::string e = std::string("\x06\x00", 2);
    const std::string expected = kHead +
        // the separator as UTF-8, the 300 bytes as a long string, 200 as 16 bits
        "\x06\x01k" + "\x14" + Le32(13) + "a.htm\xE2\x80\xA2" "b.htm" + "\x0C" + Le32(300) + long300 + e +
        std::string("\x03\xC8\x00", 3) +
        "\x06\x01m" + e + e + e + std::string("\x04\x70\x11\x01\x00", 5) +  // 70000 as 32 bits
        "\x06\x01n" + e + e + e + std::string("\x02\x00", 2) +              // not a number: 0
        "\x06\x01o" + e + e + e + std::string("\x03\x7F\xFF", 3) + kEnd;
    if (GetACP() == 1252) {
        EXPECT_EQ(Saved(list), expected);
    }

    // Read back: the UTF-8 cell becomes the ANSI separator again.
    KeywordListView back;
    EXPECT_EQ(Load(back, Saved(list)), 0u);
    EXPECT_EQ(back.Rows(), (Rows{{"k", twoEntries, long300, "", "200"},
                                 {"m", "", "", "", "70000"},
                                 {"n", "", "", "", "0"},
                                 {"o", "", "", "", "-129"}}));
}

TEST(KeywordFile, WideStringsAndOtherIdentifiersAreRead) {
    // 0x12 cells (never written, accepted), an identifier of another list and a "True" ident.
    const std::string wide = std::string("\x12") + Le32(3) + std::string("a\0\x22\x20z\0", 6);  // a • z
    const std::string file = std::string("\x07\x03" "Foo\x01") + "\x06\x01w" + wide + std::string("\x12\0\0\0\0", 5) +
                             std::string("\x06\x00\x02\x05", 4) + kEnd;
    KeywordListView list;
    EXPECT_EQ(Load(list, file), 0u);
    EXPECT_EQ(list.Rows(), (Rows{{"w", WideToAnsi(L"a\x2022z"), "", "", "5"}}));
    KeywordListView other;
    std::string trueIdent("\x09\x01", 2);  // the identifier True
    trueIdent.append("\x06\x01t");
    trueIdent.append("\x06\0\x06\0\x06\0\x02\x01\0", 9);
    EXPECT_EQ(Load(other, trueIdent), 0u);
    EXPECT_EQ(other.Rows(), (Rows{{"t", "", "", "", "1"}}));
}

TEST(KeywordFile, OpeningTwiceAppendsTwiceAndKeepsTheRowsThere) {
    EngineTempFolder dir;
    const std::string name = dir.File("list.rlk");
    ASSERT_TRUE(ruk::test::WriteFileBytes(name, kExample));
    KeywordListView list;
    list.Add("html", {"x.htm", "X", "", "1"});
    EXPECT_EQ(LoadKeywordListFromFile(list.View, name), 0u);
    EXPECT_EQ(LoadKeywordListFromFile(list.View, name), 0u);
    const std::vector<std::string> example{"html", "a.htm", "Untitled Document", "", "1"};
    EXPECT_EQ(list.Rows(), (Rows{{"html", "x.htm", "X", "", "1"}, example, example}));
    // The list view shows what was read.
    char text[64] = {};
    ListView_GetItemText(list.View->Handle(), 2, 2, text, sizeof text);
    EXPECT_STREQ(text, "Untitled Document");
}

TEST(KeywordFile, AFailedReadKeepsTheCompleteRowsAndNoPartOfAnother) {
    const std::string row2 = "\x06\x02k2" + std::string("\x06\x01" "b\x06\x01T\x06\x00\x02\x02", 10);
    const std::string complete = kHead + "\x06\x04html" + "\x06\x05" "a.htm" + "\x06\x11Untitled Document" +
                                 std::string("\x06\x00\x02\x01", 4) + row2;
    const Rows two{{"html", "a.htm", "Untitled Document", "", "1"}, {"k2", "b", "T", "", "2"}};
    // Ending right after the last row, without the end of the list.
    KeywordListView list;
    SetLastError(ERROR_ALREADY_EXISTS);  // a stale code is not reported
    EXPECT_EQ(Load(list, complete), RUK_E_EXCEPTION);
    EXPECT_EQ(list.Rows(), two);
    // Cut inside the second row at every byte: the first row stays, nothing of the second.
    for (size_t cut = complete.size() - row2.size(); cut < complete.size(); ++cut) {
        KeywordListView partial;
        EXPECT_EQ(Load(partial, complete.substr(0, cut)), RUK_E_EXCEPTION) << cut;
        EXPECT_EQ(partial.Rows(), Rows(two.begin(), two.begin() + 1)) << cut;
    }
    // An unexpected value tag where a string belongs.
    KeywordListView bad;
    EXPECT_EQ(Load(bad, kHead + "\x06\x01k" + "\x02\x01"), RUK_E_EXCEPTION);
    EXPECT_EQ(bad.Rows(), Rows{});
    // Nothing at all.
    EXPECT_EQ(Load(bad, ""), RUK_E_EXCEPTION);
}

TEST(KeywordFile, ArgumentsAndTheFileFunctions) {
    KeywordListView list;
    TMemoryStream m;
    EXPECT_EQ(SaveKeywordListToFile(list.View, ""), RUK_E_EMPTY_FILE_NAME);
    EXPECT_EQ(LoadKeywordListFromFile(list.View, ""), RUK_E_EMPTY_FILE_NAME);
    EXPECT_EQ(SaveKeywordListToStream(list.View, nullptr), RUK_E_NULL_ARGUMENT);
    EXPECT_EQ(LoadKeywordListFromStream(list.View, nullptr), RUK_E_NULL_ARGUMENT);
    EXPECT_EQ(WriteKeywordList(nullptr, &m), RUK_E_NULL_ARGUMENT);
    EXPECT_EQ(ReadKeywordList(nullptr, &m), RUK_E_NULL_ARGUMENT);

    EngineTempFolder dir;
    const std::string missing = dir.File("missing.rlk");
    EXPECT_EQ(LoadKeywordListFromFile(list.View, missing), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    list.Add("html", {"a.htm", "Untitled Document", "", "1"});
    EXPECT_EQ(SaveKeywordListToFile(list.View, dir.File("no such folder\\x.rlk")),
              static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    // A file saved over one that exists: success leaves no stale code behind.
    const std::string name = dir.File("k.rlk");
    ASSERT_TRUE(ruk::test::WriteFileBytes(name, "old contents"));
    SetLastError(RUK_E_INVALID_KEYWORD);
    EXPECT_EQ(SaveKeywordListToFile(list.View, name), 0u);
    EXPECT_EQ(GetLastError(), 0u);
    std::string bytes;
    ASSERT_TRUE(ruk::test::ReadFileBytes(name, bytes));
    EXPECT_EQ(bytes, kExample);
}

// An emptied list is saved like any other: a file of no rows, over the old file or new, that
// opens again as an empty list.
TEST(KeywordFile, AnEmptyListIsAFileOfNoRowsThatOpensAgain) {
    KeywordListView empty;
    EXPECT_EQ(Saved(empty), kHead + kEnd);
    EngineTempFolder dir;
    const std::string existing = dir.File("old.rlk");
    ASSERT_TRUE(ruk::test::WriteFileBytes(existing, kExample));
    for (const std::string& name : {existing, dir.File("fresh.rlk")}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(SaveKeywordListToFile(empty.View, name), 0u);
        std::string bytes;
        ASSERT_TRUE(ruk::test::ReadFileBytes(name, bytes));
        EXPECT_EQ(bytes, kHead + kEnd);
        KeywordListView reopened;
        EXPECT_EQ(LoadKeywordListFromFile(reopened.View, name), 0u);
        EXPECT_EQ(reopened.View->Items().Count(), 0);
        // Appended to rows already there, it adds none.
        reopened.Add("html", {"a.htm", "Untitled Document", "", "1"});
        EXPECT_EQ(LoadKeywordListFromFile(reopened.View, name), 0u);
        EXPECT_EQ(reopened.View->Items().Count(), 1);
    }
}

TEST(KeywordFile, AWriteThatFailsIsReportedAndLeavesThePreviousFile) {
    KeywordListView list;
    for (int i = 0; i < 3000; ++i) list.Add("keyword" + IntToStr(i), {"a.htm", "A title", "", "1"});
    const std::string whole = Saved(list);
    ASSERT_GT(whole.size(), 65536u);  // more than one buffer of the writer
    // Failing in the first buffer, at the final flush, and at the last byte.
    for (int limit : {0, 10, 65536, static_cast<int>(whole.size()) - 1}) {
        TFailingStream s(limit);
        SetLastError(ERROR_ALREADY_EXISTS);
        EXPECT_EQ(WriteKeywordList(list.View, &s), RUK_E_EXCEPTION) << limit;
    }
    TFailingStream exact(static_cast<int>(whole.size()));
    EXPECT_EQ(WriteKeywordList(list.View, &exact), 0u);

    // A read-only target, where the system refuses to write it: the save fails with the
    // system's code and the file is unchanged.
    EngineTempFolder dir;
    const std::string name = dir.File("ro.rlk");
    ASSERT_TRUE(ruk::test::WriteFileBytes(name, kExample));
    if (ruk::test::MakeReadOnlyAndRefused(name)) {
        EXPECT_EQ(SaveKeywordListToFile(list.View, name), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
    SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::string bytes;
    ASSERT_TRUE(ruk::test::ReadFileBytes(name, bytes));
    EXPECT_EQ(bytes, kExample);
    // A row without its cells fails the save (the class library's list error) before
    // anything replaces the file.
    list.Add("bare", {});
    EXPECT_EQ(SaveKeywordListToFile(list.View, name), RUK_E_EXCEPTION);
    ASSERT_TRUE(ruk::test::ReadFileBytes(name, bytes));
    EXPECT_EQ(bytes, kExample);
}

// ---------------------------------------------------------------- the system's code, first time

namespace {

// The file that a test run in a fresh process works on, named by its parent.
constexpr char kFreshProcessFile[] = "RUK_KEYWORD_FILE_UNDER_TEST";

std::string FileOfParent() {
    char name[MAX_PATH] = {};
    GetEnvironmentVariableA(kFreshProcessFile, name, MAX_PATH);
    return name;
}

}  // namespace

// Run only by the test below, each in a process of its own, where the failed open or create is
// the first exception that the process raises.
TEST(KeywordFileInAFreshProcess, DISABLED_OpenOfAMissingFile) {
    const std::string name = FileOfParent();
    ASSERT_FALSE(name.empty());
    KeywordListView list;
    EXPECT_EQ(LoadKeywordListFromFile(list.View, name), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(KeywordFileInAFreshProcess, DISABLED_SaveOntoAFileHeldByAnotherProcess) {
    const std::string name = FileOfParent();
    ASSERT_FALSE(name.empty());
    KeywordListView list;
    list.Add("html", {"a.htm", "Untitled Document", "", "1"});
    EXPECT_EQ(SaveKeywordListToFile(list.View, name), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
}

// The code of the failed call does not depend on whether the process has raised an exception
// before (the first one clears the thread's last error on its way).
TEST(KeywordFile, TheFirstFailedOpenOrSaveOfAProcessGivesTheSystemsCode) {
    EngineTempFolder dir;
    const std::string held = dir.File("held.rlk");
    ASSERT_TRUE(ruk::test::WriteFileBytes(held, kExample));
    const HANDLE holder = CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    const struct {
        const char* test;
        std::string file;
    } runs[] = {
        {"KeywordFileInAFreshProcess.DISABLED_OpenOfAMissingFile", dir.File("missing.rlk")},
        {"KeywordFileInAFreshProcess.DISABLED_SaveOntoAFileHeldByAnotherProcess", held},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.test);
        SetEnvironmentVariableA(kFreshProcessFile, run.file.c_str());
        EXPECT_EQ(ruk::test::RunTestInFreshProcess(run.test), 0u);
    }
    SetEnvironmentVariableA(kFreshProcessFile, nullptr);
    CloseHandle(holder);
    std::string bytes;
    ASSERT_TRUE(ruk::test::ReadFileBytes(held, bytes));
    EXPECT_EQ(bytes, kExample);
}
