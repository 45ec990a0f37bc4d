#include "SysUtils.h"

#include <gtest/gtest.h>

#include <climits>

using namespace ruk;

TEST(SysUtilsText, PosIsOneBasedAndZeroWhenAbsent) {
    EXPECT_EQ(Pos("b", "abc"), 2);
    EXPECT_EQ(Pos("x", "abc"), 0);
    EXPECT_EQ(Pos("", "abc"), 0);
}

TEST(SysUtilsText, FormatFillsMessageTexts) {
    EXPECT_EQ(Format("List index out of bounds (%d)", -1), "List index out of bounds (-1)");
    EXPECT_EQ(Format("%s=%u", "n", 4000000000u), "n=4000000000");
    EXPECT_EQ(Format("%s", ""), "");
    const std::string longText(5000, 'x');
    EXPECT_EQ(Format("<%s>", longText.c_str()), "<" + longText + ">");
}

TEST(SysUtilsText, PositionsAndCopiesAreSafeForAnyIndex) {
    EXPECT_EQ(PosEx("a", "banana", 3), 4);
    EXPECT_EQ(PosEx("a", "banana", 7), 0);
    EXPECT_EQ(PosEx("a", "banana", 0), 0);
    EXPECT_EQ(PosEx("a", "banana", INT_MIN), 0);
    EXPECT_EQ(PosEx("na", "banana", 6), 0);

    struct CopyCase { int index, count; const char* expected; };
    const CopyCase copies[] = {
        {1, 3, "abc"}, {2, 2, "bc"}, {0, 2, "ab"}, {-5, 2, "ab"}, {INT_MIN, 2, "ab"},
        {4, 1, "d"}, {5, 1, ""}, {3, INT_MAX, "cd"}, {INT_MAX, INT_MAX, ""}, {2, 0, ""}, {2, -1, ""},
    };
    for (const CopyCase& c : copies)
        EXPECT_EQ(Copy("abcd", c.index, c.count), c.expected) << c.index << "," << c.count;

    struct DeleteCase { int index, count; const char* expected; };
    const DeleteCase deletes[] = {
        {1, 1, "bcd"}, {2, 2, "ad"}, {3, INT_MAX, "ab"}, {0, 2, "abcd"}, {INT_MIN, 5, "abcd"},
        {5, 1, "abcd"}, {INT_MAX, 1, "abcd"}, {2, 0, "abcd"}, {2, -3, "abcd"},
    };
    for (const DeleteCase& c : deletes) {
        std::string s = "abcd";
        Delete(s, c.index, c.count);
        EXPECT_EQ(s, c.expected) << c.index << "," << c.count;
    }

    struct InsertCase { int index; const char* expected; };
    const InsertCase inserts[] = {{1, "XYab"}, {2, "aXYb"}, {3, "abXY"}, {99, "abXY"}, {INT_MIN, "XYab"}, {INT_MAX, "abXY"}};
    for (const InsertCase& c : inserts) {
        std::string s = "ab";
        Insert("XY", s, c.index);
        EXPECT_EQ(s, c.expected) << c.index;
    }
}

TEST(SysUtilsText, ReplaceFirstOrAllInOneScanWithoutRescanning) {
    struct Case { const char* text; const char* pattern; const char* replacement; unsigned flags; const char* expected; };
    const Case cases[] = {
        {"a-b-c", "-", "+", 0, "a+b-c"},
        {"a-b-c", "-", "+", rfReplaceAll, "a+b+c"},
        // The replacement contains the pattern: it is never scanned again.
        {"aaa", "a", "aa", rfReplaceAll, "aaaaaa"},
        // Matches don't overlap and the scan resumes after each one.
        {"aaaa", "aa", "a", rfReplaceAll, "aa"},
        {"xyz", "q", "r", rfReplaceAll, "xyz"},
        {"xyz", "", "r", rfReplaceAll, "xyz"},
        {"", "a", "b", rfReplaceAll, ""},
        {"abab", "ab", "", rfReplaceAll, ""},
        // Without rfIgnoreCase bytes are compared.
        {"Hello hello", "hello", "X", rfReplaceAll, "Hello X"},
        // With it upper-case copies are compared; the rest of the text keeps its case.
        {"Hello hello HELLO!", "hello", "X", rfIgnoreCase, "X hello HELLO!"},
        {"Hello hello HELLO!", "hello", "X", rfIgnoreCase | rfReplaceAll, "X X X!"},
        {"aBc\xE4rger abc\xC4RGER", "\xC4rger", "#", rfIgnoreCase | rfReplaceAll, "aBc# abc#"},
        {"\xE4rger", "\xC4rger", "#", rfReplaceAll, "\xE4rger"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StringReplace(c.text, c.pattern, c.replacement, c.flags), c.expected)
            << c.text << " / " << c.pattern << " / " << c.flags;
}

TEST(SysUtilsText, CaseConversionsKeepTheLength) {
    EXPECT_EQ(UpperCase("ab\xE4z"), "AB\xE4Z");
    EXPECT_EQ(LowerCase("AB\xC4Z"), "ab\xC4z");
    EXPECT_EQ(AnsiUpperCase("ab\xE4z"), "AB\xC4Z");
    EXPECT_EQ(AnsiLowerCase("AB\xC4Z"), "ab\xE4z");
    const std::string withZero("a\0b", 3);
    EXPECT_EQ(AnsiUpperCase(withZero), std::string("A\0B", 3));
    std::string every;
    for (int c = 1; c < 256; ++c) every += static_cast<char>(c);
    EXPECT_EQ(AnsiUpperCase(every).size(), every.size());
    EXPECT_EQ(AnsiLowerCase(every).size(), every.size());
}

TEST(SysUtilsText, Comparisons) {
    EXPECT_EQ(AnsiCompareText("The", "THE"), 0);
    EXPECT_EQ(AnsiCompareText("\xE4rger", "\xC4RGER"), 0);
    EXPECT_LT(AnsiCompareText("apple", "Banana"), 0);
    EXPECT_GT(AnsiCompareText("b", "A"), 0);
    EXPECT_LT(AnsiCompareText("", "a"), 0);
    EXPECT_GT(AnsiCompareText("a", ""), 0);
    EXPECT_EQ(AnsiCompareText("", ""), 0);
    EXPECT_NE(AnsiCompareStr("The", "the"), 0);
    EXPECT_EQ(AnsiCompareStr("the", "the"), 0);
    EXPECT_EQ(CompareText("abc", "ABC"), 0);
    EXPECT_LT(CompareText("ab", "abc"), 0);
    EXPECT_TRUE(SameText("Word", "wORD"));
    EXPECT_FALSE(SameText("\xE4", "\xC4"));
}

TEST(SysUtilsText, TrimRemovesBlanksAndControlCharacters) {
    EXPECT_EQ(Trim(" \t\r\n ab c \x01"), "ab c");
    EXPECT_EQ(TrimLeft("  a "), "a ");
    EXPECT_EQ(TrimRight("  a \r\n"), "  a");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");  // bytes above 0x7F are not blanks
}

TEST(SysUtilsText, CodePageConversions) {
    EXPECT_EQ(AnsiToUtf8("a\x95" "b"), "a\xE2\x80\xA2" "b");
    EXPECT_EQ(Utf8ToAnsi("a\xE2\x80\xA2" "b"), "a\x95" "b");
    EXPECT_EQ(AnsiToWide("\x80"), L"\u20AC");
    EXPECT_EQ(WideToAnsi(L"x\u4E00y"), "x?y");
    EXPECT_EQ(WideToUtf8(L"\u00E4"), "\xC3\xA4");
    EXPECT_EQ(Utf8ToWide("\xC3\xA4"), L"\u00E4");
    EXPECT_EQ(AnsiToUtf8(""), "");
    EXPECT_EQ(Utf8ToAnsi(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(SysUtilsConvert, DecimalTextTable) {
    struct Case { const char* text; bool ok; int value; };
    const Case cases[] = {
        {"0", true, 0}, {"12", true, 12}, {"-5", true, -5}, {"+7", true, 7},
        {"2147483647", true, INT_MAX}, {"-2147483648", true, INT_MIN},
        {"2147483648", false, 0}, {"-2147483649", false, 0}, {"99999999999999999999", false, 0},
        {"", false, 0}, {"-", false, 0}, {"12a", false, 0}, {" 1", false, 0}, {"1.5", false, 0},
    };
    for (const Case& c : cases) {
        int v = -1;
        EXPECT_EQ(TryStrToInt(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
        EXPECT_EQ(StrToIntDef(c.text, -42), c.ok ? c.value : -42) << c.text;
    }
    Int64 big = 0;
    EXPECT_TRUE(TryStrToInt64("-9223372036854775808", big));
    EXPECT_EQ(big, INT64_MIN);
    EXPECT_FALSE(TryStrToInt64("9223372036854775808", big));
    try {
        StrToInt("x1");
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "'x1' is not a valid integer value");
    }
    EXPECT_EQ(IntToStr(-12), "-12");
    EXPECT_EQ(IntToStr(Int64(1) << 40), "1099511627776");
    EXPECT_EQ(UIntToStr(4294967295u), "4294967295");
    EXPECT_EQ(IntToHex(255, 4), "00FF");
    EXPECT_EQ(IntToHex(0x1234, 2), "1234");
    EXPECT_EQ(IntToHex(-1, 1), "FFFFFFFFFFFFFFFF");
}

TEST(SysUtilsErrors, OperatingSystemErrorTexts) {
    const EOSError none(0);
    EXPECT_EQ(none.Message(), "A call to an OS function failed");
    const EOSError notFound(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(notFound.ErrorCode, 2u);
    const std::string prefix = "System Error.  Code: 2.\r\n";
    ASSERT_GT(notFound.Message().size(), prefix.size());
    EXPECT_EQ(notFound.Message().substr(0, prefix.size()), prefix);
    EXPECT_EQ(notFound.Message().substr(prefix.size()), SysErrorMessage(2));
    EXPECT_NE(SysErrorMessage(2).back(), '\n');

    EXPECT_EQ(EWin32Error(0).Message(), "A Win32 API function failed");
    EXPECT_EQ(EWin32Error(5).Message(), "Win32 Error.  Code: 5.\n" + SysErrorMessage(5));

    try {
        RangeError();
    } catch (const ERangeError& e) {
        EXPECT_EQ(e.Message(), "Range check error");
    }
    // The last error survives raising, so a catcher can report it.
    SetLastError(ERROR_ACCESS_DENIED);
    try {
        RaiseLastOSError();
    } catch (const EOSError& e) {
        EXPECT_EQ(e.ErrorCode, DWORD(ERROR_ACCESS_DENIED));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    }
    SetLastError(ERROR_INVALID_HANDLE);
    EXPECT_THROW(Win32Check(false), EWin32Error);
    EXPECT_TRUE(Win32Check(true));
}

TEST(SysUtilsFiles, FileNameParts) {
    struct Case { const char* name; const char* path; const char* dir; const char* file; const char* ext; };
    const Case cases[] = {
        {"D:\\docs\\a.txt", "D:\\docs\\", "D:\\docs", "a.txt", ".txt"},
        {"D:\\a.txt", "D:\\", "D:\\", "a.txt", ".txt"},
        {"D:a.txt", "D:", "D:", "a.txt", ".txt"},
        {"a.txt", "", "", "a.txt", ".txt"},
        {"\\\\srv\\share\\", "\\\\srv\\share\\", "\\\\srv\\share", "", ""},
        {"C:\\x\\\\y", "C:\\x\\\\", "C:\\x\\\\", "y", ""},
        {"\\a", "\\", "\\", "a", ""},
        {"C:\\dir.d\\file", "C:\\dir.d\\", "C:\\dir.d", "file", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExtractFilePath(c.name), c.path) << c.name;
        EXPECT_EQ(ExtractFileDir(c.name), c.dir) << c.name;
        EXPECT_EQ(ExtractFileName(c.name), c.file) << c.name;
        EXPECT_EQ(ExtractFileExt(c.name), c.ext) << c.name;
    }
    EXPECT_EQ(ChangeFileExt("C:\\a.txt", ".csv"), "C:\\a.csv");
    EXPECT_EQ(ChangeFileExt("C:\\dir.d\\file", ".csv"), "C:\\dir.d\\file.csv");
    EXPECT_EQ(IncludeTrailingPathDelimiter("C:\\x"), "C:\\x\\");
    EXPECT_EQ(IncludeTrailingPathDelimiter("C:\\x\\"), "C:\\x\\");
    const std::string full = ExpandFileName("some.txt");
    EXPECT_EQ(ExtractFileName(full), "some.txt");
    EXPECT_NE(ExtractFileDir(full), "");
}

TEST(SysUtilsFiles, ExistenceAndDeletion) {
    char tmp[MAX_PATH];
    ASSERT_NE(GetTempPathA(MAX_PATH, tmp), 0u);
    const std::string dir = ExtractFileDir(tmp);
    const std::string name = IncludeTrailingPathDelimiter(dir) + "ruk_sysutils_exists.tmp";
    HANDLE h = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    EXPECT_TRUE(FileExists(name));
    EXPECT_FALSE(DirectoryExists(name));
    EXPECT_TRUE(DirectoryExists(dir));
    EXPECT_FALSE(FileExists(dir));
    EXPECT_TRUE(DeleteFile(name));
    EXPECT_FALSE(FileExists(name));
    EXPECT_FALSE(DeleteFile(name));
}

TEST(SysUtilsTime, DateTimeCountsDaysFrom1899) {
    SYSTEMTIME st{};
    st.wYear = 1899; st.wMonth = 12; st.wDay = 30;
    EXPECT_EQ(SystemTimeToDateTime(st), 0.0);
    st.wYear = 2000; st.wMonth = 1; st.wDay = 1; st.wHour = 18;
    EXPECT_DOUBLE_EQ(SystemTimeToDateTime(st), 36526.75);
    st.wYear = 2024; st.wMonth = 3; st.wDay = 1; st.wHour = 0;
    EXPECT_DOUBLE_EQ(SystemTimeToDateTime(st), 45352.0);  // after a leap day
    const TDateTime now = Now();
    EXPECT_GT(now, 45000.0);
    EXPECT_LT(now, 80000.0);
}
