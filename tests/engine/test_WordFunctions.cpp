// The free word functions of the word list and the keywords meta tag.
#include "RUKGenWordListFromHTMLThreads.h"

#include <gtest/gtest.h>

#include <optional>

using namespace ruk;

TEST(NextWord, Table) {
    struct Case {
        const char* name;
        std::string text;
        std::optional<std::string> prev;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"FirstWordWithoutPrevious", "Hello, world!", std::nullopt, "Hello,"},
        {"AfterPreviousSkipsOneCharacter", "Hello, world!", "Hello,", "world!"},
        {"PreviousFoundByteForByte", "x ab X cd", "X", "cd"},
        {"FirstOccurrenceOfPrevious", "x ab x cd", "x", "ab"},
        {"PreviousNotInText", "a b", "zz", ""},
        {"PreviousEndsText", "ab cd", "cd", ""},
        {"OnlyTheSkippedCharacterLeft", "ab ", "ab", ""},
        {"OneCharacterLeftIsNoWord", "ab c", "ab", ""},
        {"OneCharacterTextHasNoWord", "a", std::nullopt, ""},
        {"EmptyText", "", std::nullopt, ""},
        {"LaterDelimiterWhenNoBlank", "ab cd,ef", "ab", "cd,ef"},
        {"BlankRunIsAWordOfBlanks", "ab    ", "ab", "   "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(NextWord(c.text, c.prev ? c.prev->c_str() : nullptr, WordDelimiterChars), c.expected);
    }
}

TEST(TrimCharacters, Table) {
    const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        {"", ",", ""},
        {"..a..", ".", "a"},
        {"abc", ".", "abc"},
        {"...", ".", ""},
        {"a,b", ",", "a,b"},
        {"x", "", "x"},
        {",;a b;,", ",;", "a b"},
        {"-a-", "-", "a"},
    };
    for (const auto& [text, chars, expected] : cases) {
        SCOPED_TRACE(text + " / " + chars);
        EXPECT_EQ(TrimCharacters(text, chars), expected);
    }
}

TEST(TrimPunctuationMarks, DefaultMarksAndOwnMarks) {
    EXPECT_EQ(TrimPunctuationMarks("..a..", ""), "a");
    EXPECT_EQ(TrimPunctuationMarks("Hello,", ""), "Hello");
    EXPECT_EQ(TrimPunctuationMarks("world!", ""), "world");
    EXPECT_EQ(TrimPunctuationMarks("?!;:.,", ""), "");
    EXPECT_EQ(TrimPunctuationMarks("(a).", ""), "(a)");
    EXPECT_EQ(TrimPunctuationMarks("-a-.", "-"), "a-.");
}

TEST(OrphanOpenCloseCharacters, Table) {
    struct Case {
        std::string text;
        std::string orphans;
        std::string deleted;
    };
    const std::vector<Case> cases = {
        {"(see", "(", "see"},
        {"note)", ")", "note"},
        {"(a)", "", "(a)"},
        {"((a)", "(", "(a)"},
        {"\"a", "\"", "a"},
        {"\"a\"", "", "\"a\""},
        {"a\"b\"c\"", "\"", "ab\"c\""},
        {"f(x", "(", "fx"},
        {"[{x", "[{", "x"},
        // One per unbalanced pair, in the order of the pairs, whatever the surplus.
        {"})\"", "\")}", ""},
        {")))a", ")", "))a"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(GetOpenCloseOrphanCharacters(c.text, OpeningChars, ClosingChars), c.orphans);
        EXPECT_EQ(DelOrphanOpenCloseCharacters(c.text, OpeningChars, ClosingChars), c.deleted);
    }
}

TEST(OrphanOpenCloseCharacters, ShortClosingCharactersAreARangeError) {
    EXPECT_THROW(GetOpenCloseOrphanCharacters("x", "([", ")"), ERangeError);
    EXPECT_THROW(DelOrphanOpenCloseCharacters("x", "([", ")"), ERangeError);
    EXPECT_EQ(GetOpenCloseOrphanCharacters("(x", "(", ")]"), "(");
}

TEST(KeywordMetaTag, TextOverload) {
    EXPECT_EQ(CreateKeywordMetaTagFromWordList("html, tags", ""),
              "<meta name=\"keywords\" content=\"html, tags\">");
    EXPECT_EQ(CreateKeywordMetaTagFromWordList("html, tags", "en"),
              "<meta name=\"keywords\" lang=\"en\" content=\"html, tags\">");
    EXPECT_EQ(CreateKeywordMetaTagFromWordList("", ""), "<meta name=\"keywords\" content=\"\">");
}

// A quote in a keyword would end the attribute value; markup characters become references.
TEST(KeywordMetaTag, ValuesAreEscaped) {
    EXPECT_EQ(CreateKeywordMetaTagFromWordList("say \"hi\", R&D, <b>", ""),
              "<meta name=\"keywords\" content=\"say &quot;hi&quot;, R&amp;D, &lt;b&gt;\">");
    EXPECT_EQ(CreateKeywordMetaTagFromWordList("a", "e\"n<>&"),
              "<meta name=\"keywords\" lang=\"e&quot;n&lt;&gt;&amp;\" content=\"a\">");
    // Plain text in, so a reference in a keyword is shown as typed.
    EXPECT_EQ(CreateKeywordMetaTagFromWordList("&amp; 'x' caf\xE9", ""),
              "<meta name=\"keywords\" content=\"&amp;amp; 'x' caf\xE9\">");
}

TEST(KeywordMetaTag, ListOverload) {
    TStringList two;
    two.Add("html");
    two.Add("tags");
    EXPECT_EQ(CreateKeywordMetaTagFromWordList(&two, ""), "<meta name=\"keywords\" content=\"html, tags\">");
    EXPECT_EQ(CreateKeywordMetaTagFromWordList(&two, "de"),
              "<meta name=\"keywords\" lang=\"de\" content=\"html, tags\">");
    TStringList one;
    one.Add("single");
    EXPECT_EQ(CreateKeywordMetaTagFromWordList(&one, ""), "<meta name=\"keywords\" content=\"single\">");
    TStringList empty;
    EXPECT_EQ(CreateKeywordMetaTagFromWordList(&empty, ""), "<meta name=\"keywords\" content=\"\">");
    EXPECT_EQ(CreateKeywordMetaTagFromWordList(static_cast<const TStringList*>(nullptr), "en"),
              "<meta name=\"keywords\" lang=\"en\" content=\"\">");
    TStringList quoted;
    quoted.Add("a \"b\"");
    quoted.Add("c&d");
    EXPECT_EQ(CreateKeywordMetaTagFromWordList(&quoted, ""),
              "<meta name=\"keywords\" content=\"a &quot;b&quot;, c&amp;d\">");
}
