// Character, delimiter, token and word functions of RUKSysUtils.
#include "RUKMBCS.h"
#include "RUKSysUtils.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace ruk {
namespace {

using namespace std::string_literals;

// ---------------------------------------------------------------- character classes

TEST(RUKSysUtilsChars, WhiteSpaceAndControlCodesOverAllBytes) {
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        const bool white = b == 9 || b == 10 || b == 13 || b == 32;
        const bool ctrl = (b >= 1 && b <= 8) || b == 11 || b == 12 || (b >= 14 && b <= 31);
        EXPECT_EQ(IsWhiteSpaceChar(c), white) << b;
        EXPECT_EQ(IsCtrlCodeChar(c), ctrl) << b;
    }
}

TEST(RUKSysUtilsChars, IndexFormsTestTheCharacterAtTheIndex) {
    const std::string s = "a \x01\t";
    EXPECT_FALSE(IsWhiteSpaceChar(1, s));
    EXPECT_TRUE(IsWhiteSpaceChar(2, s));
    EXPECT_TRUE(IsWhiteSpaceChar(4, s));
    EXPECT_TRUE(IsCtrlCodeChar(3, s));
    EXPECT_FALSE(IsCtrlCodeChar(4, s));
    // Outside the text nothing is read.
    for (int index : {0, -1, 5, 1000}) {
        EXPECT_FALSE(IsWhiteSpaceChar(index, s)) << index;
        EXPECT_FALSE(IsCtrlCodeChar(index, s)) << index;
        EXPECT_FALSE(IsCharCode('a', index, s)) << index;
    }
    EXPECT_TRUE(IsCharCode('a', 1, s));
    EXPECT_FALSE(IsCharCode('b', 1, s));
    EXPECT_TRUE(IsCharCode('x', 'x'));
    EXPECT_FALSE(IsCharCode('x', 'X'));
}

TEST(RUKSysUtilsChars, IsWhiteSpaceString) {
    struct Case { std::string s; bool expected; };
    const std::vector<Case> cases = {
        {"", false}, {" ", true}, {"a ", false}, {" \t\r\n", true},
        {" a", false}, {"\x0B", false}, {"\0"s, false}, {" \0"s, false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsWhiteSpaceString(c.s), c.expected) << '"' << c.s << '"';
}

TEST(RUKSysUtilsChars, CharCountCountsEveryPositionIncludingZeroBytes) {
    EXPECT_EQ(CharCount('\0', "a\0b\0\0"s), 3);
    EXPECT_EQ(CharCount(',', "a,b,"), 2);
    EXPECT_EQ(CharCount(',', ""), 0);
    EXPECT_EQ(CharCount('\xE9', "\xE9t\xE9"), 2);
}

TEST(RUKSysUtilsChars, IsCharInCharSet) {
    EXPECT_FALSE(IsCharInCharSet('a', TRUKCharSet()));
    EXPECT_TRUE(IsCharInCharSet('\xFF', TRUKCharSet{'\xFF'}));
    EXPECT_FALSE(IsCharInCharSet('a', ""));
    EXPECT_TRUE(IsCharInCharSet(',', " ,;"));
    EXPECT_FALSE(IsCharInCharSet('\0', " ,;"));
    EXPECT_TRUE(IsCharInCharSet('\0', " \0,"s));  // a zero byte in the text is a member
    EXPECT_TRUE(IsCharInCharSet(';', " \0;"s));   // and does not end the text
}

TEST(RUKSysUtilsChars, CharSearches) {
    EXPECT_EQ(PosFirstChar('b', "abcb"), 2);
    EXPECT_EQ(PosFirstChar('b', "b"), 1);
    EXPECT_EQ(PosFirstChar('z', "abc"), -1);
    EXPECT_EQ(PosFirstChar('a', ""), -1);
    EXPECT_EQ(PosFirstChar('\0', "ab\0"s), 3);
    // Unlike the delimiter scan, the last position is searched.
    EXPECT_EQ(PosNextChar('b', 3, "abcb"), 4);
    EXPECT_EQ(PosNextChar('b', 4, "abcb"), 4);
    EXPECT_EQ(PosNextChar('b', 5, "abcb"), -1);
    EXPECT_EQ(PosNextChar('a', 2, "abcb"), -1);
    EXPECT_EQ(PosNextChar('a', 0, "abcb"), -1);  // a start below 1 finds nothing
}

// ---------------------------------------------------------------- delimiter scan

TEST(RUKSysUtilsDelimiters, TheLastCharacterIsNeverADelimiter) {
    struct Case { std::string s; int count, first; };
    const std::vector<Case> cases = {
        {"", 0, -1}, {",", 0, -1}, {"a,", 0, -1}, {",a", 1, 1},
        {"a,b,", 1, 2}, {",,", 1, 1}, {"a,b,c", 2, 2}, {"abc", 0, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DelimiterCount(',', c.s), c.count) << c.s;
        EXPECT_EQ(PosFirstDelimiter(',', c.s), c.first) << c.s;
    }
}

TEST(RUKSysUtilsDelimiters, TheZeroByteIsNoDelimiter) {
    const std::string s = "a\0b\0c"s;
    EXPECT_EQ(DelimiterCount('\0', s), 0);
    EXPECT_EQ(PosFirstDelimiter('\0', s), -1);
    EXPECT_EQ(PosNextDelimiter('\0', 1, s), -1);
    EXPECT_EQ(DelimitedString('\0', s, 0), s);  // so the whole text is the one token
}

TEST(RUKSysUtilsDelimiters, PosNextDelimiter) {
    const std::string s = "a,b,c,";  // length 6
    EXPECT_EQ(PosNextDelimiter(',', 1, s), 2);
    EXPECT_EQ(PosNextDelimiter(',', 2, s), 2);
    EXPECT_EQ(PosNextDelimiter(',', 3, s), 4);
    EXPECT_EQ(PosNextDelimiter(',', 5, s), -1);  // the comma at 6 is the last character
    EXPECT_EQ(PosNextDelimiter(',', 6, s), -1);  // start equal to the length
    EXPECT_EQ(PosNextDelimiter(',', 99, s), -1);
    EXPECT_EQ(PosNextDelimiter(',', 0, s), -1);  // a start below 1 finds nothing
    EXPECT_EQ(PosNextDelimiter(',', 1, ""), -1);
}

// ---------------------------------------------------------------- tokens

TEST(RUKSysUtilsTokens, DelimitedStringWithAComma) {
    struct Case { std::string s; int index; std::string expected; };
    const std::vector<Case> cases = {
        {"a,b", 0, "a"},     {"a,b", 1, ""},      // a final token of one character is none
        {"ab,cd", 0, "ab"},  {"ab,cd", 1, "cd"},  {"ab,cd", 2, ""},
        {",ab", 0, "ab"},    {",ab", 1, ""},
        {"a,,b", 0, "a"},    {"a,,b", 1, ""},
        {"ab,", 0, "ab,"},   {"ab,", 1, ""},      // the comma in the last place is no delimiter
        {"a", 0, ""},        {"", 0, ""},         {"ab", 0, "ab"},  {"ab", 1, ""},
        {",,x,,yz,", 0, "x"}, {",,x,,yz,", 1, "yz,"}, {",,x,,yz,", 2, ""},
        {"a,b,c", 1, "b"},   {"a,b,c", 2, ""},    {",,", 0, ""},
        {"ab,cd", -1, ""},   {"ab", -1, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DelimitedString(',', c.s, c.index), c.expected) << c.s << " #" << c.index;
}

TEST(RUKSysUtilsTokens, FirstWordTriesTheDelimitersInTheirOrder) {
    struct Case { std::string s, delimiters, expected; };
    const std::vector<Case> cases = {
        {"a,b c", " ,", "a,b"},  // the blank is tried first and yields a token
        {"a,b", " ,", "a,b"},    // no blank: the whole text is token 0 of the blank
        {"a,b c", ", ", "a"},
        {"a b", ",", "a b"},
        {"x,", " ,", "x,"},
        {"I", " ", ""},          // one character is no token
        {"a, b", ";,", "a, b"},  // no ';' in it: the whole text is token 0 of ';'
        {"", " ", ""},
        {"abc", "", ""},
        {"a b", "", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FirstWord(c.s, c.delimiters), c.expected) << '"' << c.s << "\" / \"" << c.delimiters << '"';
}

TEST(RUKSysUtilsTokens, FirstWordWithTheBlank) {
    struct Case { std::string s, expected; };
    const std::vector<Case> cases = {
        {"I", ""}, {"I am", "I"}, {" hello", "hello"}, {"hello ", "hello "},
        {"", ""}, {"  two  words", "two"}, {"a b", "a"}, {"ab", "ab"},
    };
    for (const auto& c : cases) EXPECT_EQ(FirstWord(c.s), c.expected) << '"' << c.s << '"';
}

TEST(RUKSysUtilsTokens, FirstWordLengthAndLastWord) {
    EXPECT_EQ(FirstWordLength("hello world", " "), 5);
    EXPECT_EQ(FirstWordLength("I", " "), 0);
    EXPECT_EQ(LastWord("hello big world", " "), "world");
    EXPECT_EQ(LastWord(" tail", " "), " tail");  // reversed: «liat »; its blank is last
    EXPECT_EQ(LastWord("a b", " "), "b");         // a piece between delimiters may be one character
    EXPECT_EQ(LastWord("", " "), "");
    EXPECT_EQ(LastWord("x", " "), "");
}

// ---------------------------------------------------------------- word counts

TEST(RUKSysUtilsWordCount, FiveArgumentFormCountsDelimitedOccurrences) {
    struct Case { std::string s, word; int start, end; std::string delimiters; int expected; };
    const std::vector<Case> cases = {
        {"a b a", "a", 1, 5, " ", 1},        // the occurrence that ends the text is not counted
        {"a b a ", "a", 1, 5, " ", 2},
        {"the cat the", "the", 1, 11, " ", 1},
        {"the cat the dog", "the", 1, 5, " ", 2},   // start and end only gate the call
        {"other the", "the", 1, 9, " ", 0},         // not open on the left... and ends the text
        {"bathe the x", "the", 1, 9, " ", 1},       // «bathe» is not open on the left
        {"the,cat;the;", "the", 1, 10, ",;", 2},
        {"the,cat;the.", "the", 1, 10, ",;", 1},
        {"the", "the", 0, 3, " ", 0},
        {"a b a", "a", 1, 5, " \0"s, 2},          // a zero byte in the delimiters ends words at the end
        {"a b\0a b"s, "a", 1, 6, " ", 1},         // the text ends at its first zero byte
        {"a b\0a b"s, "b", 1, 6, " \0"s, 1},
        {"aaaa", "a", 1, 4, "a", 2},               // after an occurrence one character is passed over
        {"x a a", "a", 1, 5, " ", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WordCount(c.s, c.word, c.start, c.end, c.delimiters), c.expected) << c.s << " / " << c.word;
}

TEST(RUKSysUtilsWordCount, FiveArgumentFormRejections) {
    EXPECT_EQ(WordCount("", "a", 1, 5, " "), -1);
    EXPECT_EQ(WordCount("a b a", "", 1, 5, " "), -1);
    EXPECT_EQ(WordCount("a b a", "a", 3, 3, " "), -1);   // end equal to start
    EXPECT_EQ(WordCount("a b a", "a", 4, 3, " "), -1);
    EXPECT_EQ(WordCount("a b a", "a", 5, 9, " "), -1);   // length <= start
    EXPECT_EQ(WordCount("a b a", "ab", 1, 2, " "), -1);  // end - start shorter than the word
    EXPECT_EQ(WordCount("a b a", "a", -2147483647 - 1, 2147483647, " "), 1);  // no overflow
}

TEST(RUKSysUtilsWordCount, FourArgumentFormCountsWordsInTheRange) {
    struct Case { std::string s; int start, end; std::string delimiters; int expected; };
    const std::vector<Case> cases = {
        {"one two three", 1, 14, " ", 3},
        {"one two three", 1, 8, " ", 2},     // «one two»
        {"one two three", 5, 14, " ", 2},    // «two three»
        {" one two", 1, 9, " ", 2},          // a leading delimiter is deleted
        {"a b c", 1, 6, " ", 2},             // the final «c» is too short to be a token
        {"ab,cd ef", 1, 9, ", ", 2},
        {"abc", 0, 5, " ", 1},               // a start below 1 takes the text from position 1
        {"abc def", 1, 8, "", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WordCount(c.s, c.start, c.end, c.delimiters), c.expected) << c.s << " " << c.start << ".." << c.end;

    EXPECT_EQ(WordCount("", 1, 5, " "), -1);
    EXPECT_EQ(WordCount("abc", 2, 2, " "), -1);
    EXPECT_EQ(WordCount("abc", 3, 9, " "), -1);  // length <= start
}

// ---------------------------------------------------------------- white space and quotes

TEST(RUKSysUtilsWhiteSpace, LeadingAndTrailing) {
    EXPECT_FALSE(HasLeadingWhiteSpaceChars(""));
    EXPECT_TRUE(HasLeadingWhiteSpaceChars("a b"));   // any white space anywhere
    EXPECT_FALSE(HasLeadingWhiteSpaceChars("ab"));
    EXPECT_FALSE(HasTrailingWhiteSpaceChars(""));
    EXPECT_TRUE(HasTrailingWhiteSpaceChars("a b"));
    EXPECT_FALSE(HasTrailingWhiteSpaceChars("ab"));

    struct Case { std::string s; bool lead; int count; bool trail; int pos; };
    const std::vector<Case> cases = {
        {"", false, -1, false, -1},
        {"a b", false, 0, false, 0},
        {"  ab", true, 2, false, 0},
        {"ab  ", false, 0, true, 3},
        {"\t\r\n ", true, 4, true, 1},
        {" a ", true, 1, true, 3},
    };
    for (const auto& c : cases) {
        int count = 99, pos = 99;
        EXPECT_EQ(HasLeadingWhiteSpaceChars(c.s, count), c.lead) << '"' << c.s << '"';
        EXPECT_EQ(count, c.count) << '"' << c.s << '"';
        EXPECT_EQ(HasTrailingWhiteSpaceChars(c.s, pos), c.trail) << '"' << c.s << '"';
        EXPECT_EQ(pos, c.pos) << '"' << c.s << '"';
    }
}

TEST(RUKSysUtilsQuotes, LeadingTrailingAndQuoted) {
    struct Case { std::string s; bool lead, trail, quoted; };
    const std::vector<Case> cases = {
        {"", false, false, false},
        {"\"", false, true, false},          // one quote alone is not quoted
        {"\"\"", true, true, true},
        {"\"abc\"", true, true, true},
        {"  \"abc\"  ", true, true, true},
        {"x\"abc\"", false, true, false},
        {"\"abc\" x", true, false, false},
        {"abc\"", false, true, false},       // a quote in the last place is no leading quote
        {"\"abc", true, false, false},
        {"abc", false, false, false},
        {"\t\"a\"\n", true, true, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HasLeadingQuote(c.s), c.lead) << c.s;
        EXPECT_EQ(HasTrailingQuote(c.s), c.trail) << c.s;
        EXPECT_EQ(IsQuotedString(c.s), c.quoted) << c.s;
    }
    EXPECT_TRUE(IsQuotedString("'x'", '\''));
    EXPECT_FALSE(IsQuotedString("'x'"));
    EXPECT_TRUE(HasLeadingQuote(" 'x", '\''));
    EXPECT_TRUE(HasTrailingQuote("x' ", '\''));
}

TEST(RUKSysUtilsQuotes, QuotedStringPicksPairsFromTheLeft) {
    const std::string two = "say \"hello\" and \"bye\" now";
    struct Case { std::string s; int index; std::string expected; };
    const std::vector<Case> cases = {
        {two, 0, "\"hello\""}, {two, 1, "\"bye\""}, {two, 2, ""}, {two, -1, ""},
        {"only \" one", 0, ""},           // a quote without a partner
        {"\"a\" \"b", 1, ""},             // the chosen pair has no closing quote
        {"\"\"", 0, "\"\""},
        {"ends\"", 0, ""},                // the opening quote is the last character
        {"", 0, ""}, {"none", 0, ""},
        {"\"a\"\"b\"", 1, "\"b\""},
    };
    for (const auto& c : cases) EXPECT_EQ(QuotedString('"', c.s, c.index), c.expected) << c.s << " #" << c.index;
}

// ---------------------------------------------------------------- digits and variables

TEST(RUKSysUtilsDigits, DecAndHexStrings) {
    struct Case { std::string s; bool dec, hex; };
    const std::vector<Case> cases = {
        {"", false, false},   {"123", true, true},  {"+-1", true, true},  {"-", true, false},
        {"12a", false, true}, {"xyz1", false, true}, {"ff", false, false}, {"FF", false, true},
        {"X", false, true},   {"$", false, true},    {"1 2", false, true}, {"x", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsDecString(c.s), c.dec) << c.s;
        EXPECT_EQ(IsHexString(c.s), c.hex) << c.s;
    }
}

TEST(RUKSysUtilsDigits, EnvironmentStrings) {
    struct Case { std::string s; bool contains, path; };
    const std::vector<Case> cases = {
        {"", false, false},
        {"%", false, false},
        {"100%", false, false},
        {"%%", true, false},
        {"%WINDIR%", true, false},             // a bare reference
        {"%WINDIR%x", true, false},            // its last sign among the last two characters
        {"%WINDIR%\\x", true, true},
        {"C:\\%USER%", true, true},            // the first sign not in position 1
        {"%A%\\%B%", true, false},             // begins with the sign and ends with it
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ContainsEnvironmentStr(c.s), c.contains) << c.s;
        EXPECT_EQ(IsEnvironmentStrPath(c.s), c.path) << c.s;
    }
}

// ---------------------------------------------------------------- similarity

TEST(RUKSysUtilsSimilarity, MatchingCharCount) {
    EXPECT_EQ(MatchingCharCount("abc", "cab", true), 3);
    EXPECT_EQ(MatchingCharCount("aab", "ab", true), 2);   // with multiplicity
    EXPECT_EQ(MatchingCharCount("aaa", "a", true), 1);
    EXPECT_EQ(MatchingCharCount("ABC", "abc", true), 0);
    EXPECT_EQ(MatchingCharCount("ABC", "abc", false), 3);
    EXPECT_EQ(MatchingCharCount("\xE9", "\xC9", false), 0);  // only a to z fold
    EXPECT_EQ(MatchingCharCount("", "abc", true), 0);
}

TEST(RUKSysUtilsSimilarity, IsSimilar) {
    struct Case { std::string a, b; int maxDiff; bool caseSensitive, expected; };
    const std::vector<Case> cases = {
        {"abc", "abd", 0, true, true},    // the last position is not compared
        {"abc", "xyz", 0, true, false},
        {"abc", "xyz", 1, true, false},
        {"abc", "xyz", 2, true, true},
        {"abc", "ABC", 0, true, false},
        {"abc", "ABD", 0, false, true},
        {"a", "z", 0, true, true},        // two texts of length 1 are always similar
        {"same", "same", -1, true, true}, // equal texts are similar
        {"abcd", "abc", 0, true, true},   // length(b) - common = 0
        {"abc", "abcd", 0, true, false},  // 4 - 3 = 1
        {"abc", "abcd", 1, true, true},
        {"abc", "ABCD", 1, false, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsSimilar(c.a, c.b, c.maxDiff, c.caseSensitive), c.expected) << c.a << " ~ " << c.b;
}

// ---------------------------------------------------------------- reversal and padding

TEST(RUKSysUtilsText, Reversal) {
    std::string long300;
    for (int i = 0; i < 300; ++i) long300 += static_cast<char>(i & 0xFF);
    const std::string rev = ReverseLongString(long300);
    ASSERT_EQ(rev.size(), 300u);
    for (size_t i = 0; i < 300; ++i) EXPECT_EQ(rev[i], long300[299 - i]);
    EXPECT_EQ(ReverseLongString(""), "");

    EXPECT_EQ(ReverseShortPasString(str_255()).Length(), 0);
    EXPECT_EQ(ReverseShortPasString(str_255("abc")).Str(), "cba");
    const str_255 full = std::string(254, 'x') + "y";
    EXPECT_EQ(ReverseShortPasString(full).Str(), "y" + std::string(254, 'x'));
}

TEST(RUKSysUtilsText, Padding) {
    EXPECT_EQ(LeftPadStrToLen("abc", 3, '0'), "");    // nothing missing: empty, not the text
    EXPECT_EQ(LeftPadStrToLen("abc", 2, '0'), "");
    EXPECT_EQ(LeftPadStrToLen("abc", 5, '0'), "00abc");
    EXPECT_EQ(LeftPadStrToLen("", 2, ' '), "  ");
    EXPECT_EQ(RightPadStrToLen("abc", 3, '.'), "");
    EXPECT_EQ(RightPadStrToLen("abc", 4, '.'), "abc.");
    EXPECT_EQ(LeftPadStrToLen("abc", -2147483647 - 1, '0'), "");
}

// ---------------------------------------------------------------- double-byte code pages

// A Shift-JIS-like table: lead bytes 0x81-0x9F and 0xE0-0xFC; the backslash is a
// common trail byte there.
TRUKLeadByteTable ShiftJisLike() {
    TRUKLeadByteTable t;
    for (int b = 0x81; b <= 0x9F; ++b) t.Lead[static_cast<size_t>(b)] = true;
    for (int b = 0xE0; b <= 0xFC; ++b) t.Lead[static_cast<size_t>(b)] = true;
    t.Any = true;
    return t;
}

TEST(RUKSysUtilsMBCS, SearchesSkipTrailBytes) {
    const TRUKLeadByteTable sjis = ShiftJisLike();
    const TRUKLeadByteTable single;
    const std::string s = "\x95\\a\\b\x81%";  // «\x95\» is one character

    EXPECT_EQ(MBPosChar('\\', s, 1, sjis), 4);
    EXPECT_EQ(MBPosChar('\\', s, 1, single), 2);
    EXPECT_EQ(MBPosChar('\\', s, 5, sjis), 0);
    EXPECT_EQ(MBPosChar('\x95', s, 1, sjis), 1);
    EXPECT_EQ(MBLastPosChar('\\', "a\\\x95\\"s, sjis), 2);
    EXPECT_EQ(MBLastPosChar('\\', "a\\\x95\\"s, single), 4);
    EXPECT_EQ(MBLastPosChar('%', s, sjis), 0);  // the «%» is the trail of «\x81%»

    EXPECT_EQ(MBPosStr("\\\\", "\x95\\\\x", 1, sjis), 0);   // the pair would begin on a trail byte
    EXPECT_EQ(MBPosStr("\\\\", "\x95\\\\x", 1, single), 2);
    EXPECT_EQ(MBPosStr("ab", "xxab", 1, sjis, 3), 0);       // must lie inside the limit
    EXPECT_EQ(MBPosStr("ab", "xxab", 1, sjis, 4), 3);

    EXPECT_EQ(MBLastCharStart("ab\x95\\", -1, sjis), 3);
    EXPECT_EQ(MBLastCharStart("ab\x95\\", -1, single), 4);
    EXPECT_EQ(MBLastCharStart("ab\x95", -1, sjis), 3);      // a lone lead byte at the end
    EXPECT_EQ(MBLastCharStart("", -1, sjis), 0);
}

TEST(RUKSysUtilsMBCS, TheProcessCodePageIsSingleByteHere) {
    // The tests run under code page 1252, where the locale-aware searches are byte searches.
    ASSERT_EQ(GetACP(), 1252u);
    EXPECT_FALSE(AnsiLeadBytes().Any);
    EXPECT_EQ(ContainsEnvironmentStr("\x81%\x81%"), true);
}

}  // namespace
}  // namespace ruk
