// The stages of the word-list worker, one by one, over a stage host that records what they
// deliver and counts their tests of the terminate flag.
#include "WordListTestSupport.h"

#include <gtest/gtest.h>

using namespace ruk;
using namespace ruk::test;

namespace {

enum class Stage { StyleSheets, Scripts, CRLFs, Comments, Title, Tags, Entities };

struct TextStageCase {
    const char* name;
    Stage stage;
    std::string input;
    std::string expected;               // the text after the stage
    std::vector<std::string> events;    // what the stage delivered
    int checks;                         // how often it tested the terminate flag
};

void RunStage(const TWordListStageSet& set, Stage stage, std::string& text, TWordListStageHost& host) {
    switch (stage) {
        case Stage::StyleSheets: set.RemoveStyleSheetSections(text, host); break;
        case Stage::Scripts: set.RemoveScriptSections(text, host); break;
        case Stage::CRLFs: set.RemoveCRLFs(text, host); break;
        case Stage::Comments: set.RemoveCommentedSections(text, host); break;
        case Stage::Title: set.RetrieveTitle(text, host); break;
        case Stage::Tags: set.RemoveHTMLTags(text, host); break;
        case Stage::Entities: set.ReplaceHTMLSpecialChars(text, host); break;
    }
}

std::string P(const std::string& s) { return ProgressEvent(s); }

const std::vector<TextStageCase>& TextStageCases() {
    using enum Stage;
    static const std::vector<TextStageCase> cases = {
        // Section removal.
        {"StyleFoundInLowerCaseReportedInOwnCase", StyleSheets, "<STYLE type=x>a</Style>", "",
         {P("<STYLE type=x>a</Style>")}, 0},
        {"StyleOpeningStringHasNoBracket", StyleSheets, "x<styles>y</style>z<stylesheet a</style>!", "xz!",
         {P("<styles>y</style>"), P("<stylesheet a</style>")}, 1},
        {"StyleEveryPassFromTheSecondIsChecked", StyleSheets,
         "<style>1</style>a<STYLE>2</STYLE>b<style>3</style>c", "abc",
         {P("<style>1</style>"), P("<STYLE>2</STYLE>"), P("<style>3</style>")}, 2},
        {"StyleUnclosedStays", StyleSheets, "<style>a", "<style>a", {}, 0},
        {"StyleClosingBeforeOpeningEndsStage", StyleSheets, "</style><style>a</style>",
         "</style><style>a</style>", {}, 0},
        // After the first removal, a stray closing string before the next section ends the stage.
        {"StyleStrayClosingLeftByFirstRemoval", StyleSheets, "<style>a</style>b</style><style>c</style>",
         "b</style><style>c</style>", {P("<style>a</style>")}, 0},
        {"ScriptOpeningStringHasNoBracket", Scripts, "<scripts>q</SCRIPT>r", "r", {P("<scripts>q</SCRIPT>")}, 0},
        {"ScriptSecondClosingStays", Scripts, "<script>a</script>b</script>", "b</script>",
         {P("<script>a</script>")}, 0},
        {"ScriptTakesCommentInside", Scripts, "<script>if (a) {<!-- b -->}</script>c", "c",
         {P("<script>if (a) {<!-- b -->}</script>")}, 0},
        {"ScriptKeepsLineBreaksInSection", Scripts, "a<script>\r\nx\r\n</script>b", "ab",
         {P("<script>\r\nx\r\n</script>")}, 0},
        {"CommentClosingBeforeOpeningKeepsAll", Comments, "a --> b <!-- c -->", "a --> b <!-- c -->", {}, 0},
        {"CommentOfFiveCharacters", Comments, "<!-->x", "x", {P("<!-->")}, 0},
        {"CommentsRemovedInTurn", Comments, "a<!--B-->c<!--d-->", "ac", {P("<!--B-->"), P("<!--d-->")}, 1},
        {"CommentUnclosedStays", Comments, "a <!-- b", "a <!-- b", {}, 0},
        {"CommentSearchEndsAtZeroByte", Comments, std::string("<!--a-->\0<!--b-->", 17),
         std::string("\0<!--b-->", 9), {P("<!--a-->")}, 0},
        {"CommentClosingAfterZeroByteIsNotSeen", Comments, std::string("<!-- a\0 -->", 11),
         std::string("<!-- a\0 -->", 11), {}, 0},
        // Line breaks and tabs: three tests of the terminate flag, always.
        {"CRLFBecomesTwoBlanks", CRLFs, "a\r\nb", "a  b", {}, 3},
        {"LoneBreaksAndTabs", CRLFs, "a\rb\nc\td", "a b c   d", {}, 3},
        {"NothingToReplace", CRLFs, "a b", "a b", {}, 3},
        // The title: the text is not changed.
        {"TitleAnyCase", Title, "<Title>My Page</TITLE>", "<Title>My Page</TITLE>", {TitleEvent("My Page")}, 0},
        {"TitleSecondIgnored", Title, "<title>A</title><title>B</title>", "<title>A</title><title>B</title>",
         {TitleEvent("A")}, 0},
        {"TitleWithAttributeIsNoTitle", Title, "<title lang=en>X</title>", "<title lang=en>X</title>", {}, 0},
        {"TitleEmptyIsReported", Title, "<title></title>", "<title></title>", {TitleEvent("")}, 0},
        {"TitleNotTrimmed", Title, "<title> x </title>", "<title> x </title>", {TitleEvent(" x ")}, 0},
        {"TitleClosingFirstIsNoTitle", Title, "</title><title>x</title>", "</title><title>x</title>", {}, 0},
        {"TitleUnclosed", Title, "<title>x", "<title>x", {}, 0},
        // Tags, each replaced by one blank and reported at its place in the text of that moment.
        {"TagsPositionsAfterEarlierRemovals", Tags, "<b>x</b>", " x ",
         {TagEvent("<b>", 1, 3), TagEvent("</b>", 3, 6)}, 1},
        {"TagFromFirstOpeningToFirstClosing", Tags, "a < b <i>c", "a  c", {TagEvent("< b <i>", 3, 9)}, 0},
        {"TagsEveryPassFromTheSecondIsChecked", Tags, "<a><b><c>", "   ",
         {TagEvent("<a>", 1, 3), TagEvent("<b>", 2, 4), TagEvent("<c>", 3, 5)}, 2},
        {"TagSameTagTwice", Tags, "<p>x<p>", " x ", {TagEvent("<p>", 1, 3), TagEvent("<p>", 3, 5)}, 1},
        {"TagAtTheEnd", Tags, "x<b>", "x ", {TagEvent("<b>", 2, 4)}, 0},
        {"TagEmptyAtStart", Tags, "<>x", " x", {TagEvent("<>", 1, 2)}, 0},
        {"TagInLastTwoPositionsNeverOpens", Tags, "x<>", "x<>", {}, 0},
        {"TagOnlyTwoCharacters", Tags, "<>", "<>", {}, 0},
        {"TagUnclosedKeepsLaterTags", Tags, "<a>b<c", " b<c", {TagEvent("<a>", 1, 3)}, 0},
        {"TagWithAttributes", Tags, "a<b c>", "a ", {TagEvent("<b c>", 2, 6)}, 0},
        {"TagNoneInPlainText", Tags, "abc", "abc", {}, 0},
        {"TagNoneInOneCharacter", Tags, "<", "<", {}, 0},
        {"TagNoneInEmptyText", Tags, "", "", {}, 0},
        {"TagSearchEndsAtZeroByte", Tags, std::string("<a\0>", 4), std::string("<a\0>", 4), {}, 0},
        {"TagOpeningAfterZeroByte", Tags, std::string("\0<a>", 4), std::string("\0<a>", 4), {}, 0},
        // Entities: one test of the terminate flag before each of the 101 rows.
        {"EntityAmpersand", Entities, "AT&amp;T", "AT&T", {}, 101},
        {"EntityTwoNbspAreTwoBlanks", Entities, "a&nbsp;&nbsp;b", "a  b", {}, 101},
        {"EntityCopyAndReg", Entities, "&copy; 2006 &reg;", "\xA9 2006 \xAE", {}, 101},
        {"EntityNamesOfLatinRowsAreCaseExact", Entities, "caf&eacute; &Eacute; &EACUTE;",
         "caf\xE9 \xC9 &EACUTE;", {}, 101},
        {"EntityFirstRowsIgnoreCase", Entities, "&NBSP;&Amp;&BULL;&Quot;&LT;&Gt;&COPY;&MDash;x",
         " &\"<>\xA9-x", {}, 101},
        {"EntityNotInTableStays", Entities, "&curren;&shy;&hellip;&#8364;&#233;&nbsp",
         "&curren;&shy;&hellip;&#8364;&#233;&nbsp", {}, 101},
        {"EntityEuroAfterCent", Entities, "&euro;&cent;", "\x80\xA2", {}, 101},
        {"EntityEscapedLaterRowReplacedTwice", Entities, "&amp;lt; &amp;eacute; [&amp;bull;]",
         "< \xE9 []", {}, 101},
        {"EntityEscapedEarlierRowReplacedOnce", Entities, "&amp;nbsp; &amp;quot; &amp;amp;",
         "&nbsp; &quot; &amp;", {}, 101},
        {"EntityBulletRemoved", Entities, "a&bull;b", "ab", {}, 101},
        {"EntityReplacementNotScannedAgain", Entities, "&amp;amp;amp;", "&amp;amp;", {}, 101},
    };
    return cases;
}

}  // namespace

TEST_P(WordListStageSetTest, TextStagesTable) {
    for (const TextStageCase& c : TextStageCases()) {
        SCOPED_TRACE(c.name);
        RecordingStageHost host;
        std::string text = c.input;
        RunStage(Stages(), c.stage, text, host);
        EXPECT_EQ(Escaped(text), Escaped(c.expected));
        EXPECT_EQ(host.Events, c.events);
        EXPECT_EQ(host.Checks, c.checks);
    }
}

// Terminated set at a stage's n-th test: what the stage has done by then stays, the rest is
// not done.
TEST_P(WordListStageSetTest, StagesEndAtTheirTerminateTests) {
    struct Case {
        const char* name;
        Stage stage;
        std::string input;
        int terminateAt;
        std::string expected;
        size_t eventCount;
        int checks;
    };
    const std::vector<Case> cases = {
        // The first test falls after the second removal.
        {"Comments", Stage::Comments, "<!--1-->a<!--2-->b<!--3-->c", 1, "ab<!--3-->c", 2, 1},
        {"StyleSheets", Stage::StyleSheets, "<style>1</style>a<style>2</style>b<style>3</style>", 1,
         "ab<style>3</style>", 2, 1},
        {"Scripts", Stage::Scripts, "<script>1</script>a<script>2</script>b<script>3</script>", 2,
         "ab", 3, 2},
        {"TagsAfterSecond", Stage::Tags, "<a><b><c>", 1, "  <c>", 2, 1},
        // Each of the three replacements tests the flag itself.
        {"CRLFsNone", Stage::CRLFs, "a\r\nb\tc", 1, "a\r\nb\tc", 0, 3},
        {"CRLFsOnlyCR", Stage::CRLFs, "a\r\nb\tc", 2, "a \nb\tc", 0, 3},
        {"CRLFsNoTab", Stage::CRLFs, "a\r\nb\tc", 3, "a  b\tc", 0, 3},
        // Rows 1 to 3 applied, then the stage ends before row 4.
        {"EntitiesBeforeRow4", Stage::Entities, "&nbsp;&quot;&amp;&lt;&gt;", 4, " \"&&lt;&gt;", 0, 4},
        {"EntitiesNone", Stage::Entities, "&nbsp;", 1, "&nbsp;", 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingStageHost host;
        host.TerminateAtCheck = c.terminateAt;
        std::string text = c.input;
        RunStage(Stages(), c.stage, text, host);
        EXPECT_EQ(Escaped(text), Escaped(c.expected));
        EXPECT_EQ(host.Events.size(), c.eventCount);
        EXPECT_EQ(host.Checks, c.checks);
    }
}

namespace {

// Rows 8 to 100: the Latin-1 entities of HTML 4 from U+00A1 to U+00FF in code-point order,
// with the euro after the cent and without copy (row 6), curren and shy.
struct LatinRow {
    const char* name;
    unsigned char byte;
};
const LatinRow LatinRows[] = {
    {"iexcl", 0xA1}, {"cent", 0xA2}, {"euro", 0x80}, {"pound", 0xA3}, {"yen", 0xA5},
    {"brvbar", 0xA6}, {"sect", 0xA7}, {"uml", 0xA8}, {"ordf", 0xAA}, {"laquo", 0xAB},
    {"not", 0xAC}, {"reg", 0xAE}, {"macr", 0xAF}, {"deg", 0xB0}, {"plusmn", 0xB1},
    {"sup2", 0xB2}, {"sup3", 0xB3}, {"acute", 0xB4}, {"micro", 0xB5}, {"para", 0xB6},
    {"middot", 0xB7}, {"cedil", 0xB8}, {"sup1", 0xB9}, {"ordm", 0xBA}, {"raquo", 0xBB},
    {"frac14", 0xBC}, {"frac12", 0xBD}, {"frac34", 0xBE}, {"iquest", 0xBF}, {"Agrave", 0xC0},
    {"Aacute", 0xC1}, {"Acirc", 0xC2}, {"Atilde", 0xC3}, {"Auml", 0xC4}, {"Aring", 0xC5},
    {"AElig", 0xC6}, {"Ccedil", 0xC7}, {"Egrave", 0xC8}, {"Eacute", 0xC9}, {"Ecirc", 0xCA},
    {"Euml", 0xCB}, {"Igrave", 0xCC}, {"Iacute", 0xCD}, {"Icirc", 0xCE}, {"Iuml", 0xCF},
    {"ETH", 0xD0}, {"Ntilde", 0xD1}, {"Ograve", 0xD2}, {"Oacute", 0xD3}, {"Ocirc", 0xD4},
    {"Otilde", 0xD5}, {"Ouml", 0xD6}, {"times", 0xD7}, {"Oslash", 0xD8}, {"Ugrave", 0xD9},
    {"Uacute", 0xDA}, {"Ucirc", 0xDB}, {"Uuml", 0xDC}, {"Yacute", 0xDD}, {"THORN", 0xDE},
    {"szlig", 0xDF}, {"agrave", 0xE0}, {"aacute", 0xE1}, {"acirc", 0xE2}, {"atilde", 0xE3},
    {"auml", 0xE4}, {"aring", 0xE5}, {"aelig", 0xE6}, {"ccedil", 0xE7}, {"egrave", 0xE8},
    {"eacute", 0xE9}, {"ecirc", 0xEA}, {"euml", 0xEB}, {"igrave", 0xEC}, {"iacute", 0xED},
    {"icirc", 0xEE}, {"iuml", 0xEF}, {"eth", 0xF0}, {"ntilde", 0xF1}, {"ograve", 0xF2},
    {"oacute", 0xF3}, {"ocirc", 0xF4}, {"otilde", 0xF5}, {"ouml", 0xF6}, {"divide", 0xF7},
    {"oslash", 0xF8}, {"ugrave", 0xF9}, {"uacute", 0xFA}, {"ucirc", 0xFB}, {"uuml", 0xFC},
    {"yacute", 0xFD}, {"thorn", 0xFE}, {"yuml", 0xFF},
};
static_assert(sizeof(LatinRows) / sizeof(LatinRows[0]) == 93);

// Every entity of the table, in table order: rows 1-7, the Latin rows, row 101.
std::vector<std::pair<std::string, std::string>> EntityTableInOrder() {
    std::vector<std::pair<std::string, std::string>> rows = {
        {"&nbsp;", " "}, {"&quot;", "\""}, {"&amp;", "&"}, {"&lt;", "<"},
        {"&gt;", ">"},   {"&copy;", "\xA9"}, {"&mdash;", "-"},
    };
    for (const LatinRow& r : LatinRows)
        rows.emplace_back(std::string("&") + r.name + ";", std::string(1, static_cast<char>(r.byte)));
    rows.emplace_back("&bull;", "");
    return rows;
}

}  // namespace

TEST_P(WordListStageSetTest, EveryEntityRowGivesItsByte) {
    for (const auto& [entity, replacement] : EntityTableInOrder()) {
        SCOPED_TRACE(entity);
        RecordingStageHost host;
        std::string text = "x" + entity + "y" + entity;
        Stages().ReplaceHTMLSpecialChars(text, host);
        EXPECT_EQ(Escaped(text), Escaped("x" + replacement + "y" + replacement));
    }
}

// Terminated before row n leaves rows n to 101 unapplied: this shows the order of the rows.
TEST_P(WordListStageSetTest, EntityRowsApplyInTableOrder) {
    const auto rows = EntityTableInOrder();
    ASSERT_EQ(rows.size(), 101u);
    std::string all;
    for (const auto& row : rows) all += row.first + "|";
    for (int n : {1, 2, 7, 8, 10, 11, 50, 100, 101}) {
        SCOPED_TRACE(n);
        std::string expected;
        for (int i = 0; i < 101; ++i)
            expected += (i < n - 1 ? rows[i].second : rows[i].first) + "|";
        RecordingStageHost host;
        host.TerminateAtCheck = n;
        std::string text = all;
        Stages().ReplaceHTMLSpecialChars(text, host);
        EXPECT_EQ(Escaped(text), Escaped(expected));
        EXPECT_EQ(host.Checks, n);
    }
}

// ---------------------------------------------------------------- word list and counts

TEST_P(WordListStageSetTest, GenerateWordsListTable) {
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::string> words;  // in list order
    };
    const std::vector<Case> cases = {
        {"PunctuationTrimmed", "Hello, world!", {"Hello", "world"}},
        {"UnbalancedBracketsLost", "(see note)", {"note", "see"}},
        {"BalancedBracketsKept", "(a) bc", {"(a)", "bc"}},
        {"OneQuoteLostTwoKept", "x \"quoted\" \"half yz", {"\"quoted\"", "half", "x", "yz"}},
        {"FirstSpellingKept", "The the THE", {"The"}},
        {"FirstSpellingKeptLowerFirst", "word Word", {"word"}},
        {"OnlyPunctuationAddsNothing", "... !? ;", {}},
        {"LastWordListedWithNothingAfter", "alpha beta", {"alpha", "beta"}},
        // The token rule: a piece after the last blank counts only with two characters.
        {"OneCharacterLastWordIsNoWord", "a b c", {"a", "b"}},
        {"OrphanInsideWord", "f(x", {"fx"}},
        {"BlankRunAfterLastWord", "ab   ", {"ab"}},
        {"OtherDelimitersWhenNoBlank", "one,two", {"one,two"}},
        {"EmptyText", "", {}},
        {"BlanksOnly", "     ", {}},
        {"HyphenKeptInWord", "well-known x-y z", {"well-known", "x-y"}},
        {"HighBytesAreLetters", "caf\xE9 CAF\xC9 na\xEFve", {"caf\xE9", "na\xEFve"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TStringList list = SortedList({});
        Stages().GenerateWordsList(c.text, list);
        std::vector<std::string> words;
        for (int i = 0; i < list.Count(); ++i) {
            words.push_back(list[i]);
            EXPECT_EQ(list.Integers(i), 0);
        }
        EXPECT_EQ(words, c.words);
    }
}

TEST_P(WordListStageSetTest, RemoveWordsToSuppressIgnoresCase) {
    struct Case {
        const char* name;
        std::vector<std::string> words;
        std::vector<std::string> suppress;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"CaseIgnored", {"And", "cats", "dogs"}, {"and", "DOGS"}, {"cats"}},
        {"AllSuppressed", {"a1", "b2"}, {"B2", "A1", "c3"}, {}},
        {"EmptySuppressList", {"x1", "y2"}, {}, {"x1", "y2"}},
        {"EmptyWordList", {}, {"x1"}, {}},
        {"EmptyEntryInSuppressList", {"x1"}, {"", "zz"}, {"x1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TStringList words = SortedList(c.words);
        const TStringList suppress = SortedList(c.suppress);
        Stages().RemoveWordsToSuppress(words, suppress);
        std::vector<std::string> left;
        for (int i = 0; i < words.Count(); ++i) left.push_back(words[i]);
        EXPECT_EQ(left, c.expected);
    }
}

TEST_P(WordListStageSetTest, RemoveRedundantBlanksTable) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"a  b", "a\r\nb\r\n"},
        {"a b", "a b\r\n"},
        {"a   b", "a\r\n b\r\n"},
        {"a    b", "a\r\nb\r\n"},
        {" a ", " a \r\n"},
        {"", ""},
        {"   ", ""},
        {"a\nb\rc", "a\r\nb\r\nc\r\n"},
        {"a\tb", "a\tb\r\n"},
        {"  \t  x", "x\r\n"},
        {"a  \t  b", "a\r\nb\r\n"},
    };
    for (const auto& [input, expected] : cases) {
        SCOPED_TRACE(Escaped(input));
        std::string text = input;
        Stages().RemoveRedundantBlanks(text);
        EXPECT_EQ(Escaped(text), Escaped(expected));
    }
}

TEST_P(WordListStageSetTest, CountDistinctWordOccurrencesTable) {
    struct Case {
        const char* name;
        std::string text;
        WordCounts counts;  // the list's words with their expected counts
    };
    const std::vector<Case> cases = {
        {"LineEndsCountAsBlanks", "a b a\r\nb\r\n", {{"a", 2}, {"b", 2}}},
        // An occurrence that ends the text has no delimiter after it.
        {"LastOccurrenceNeedsDelimiterAfter", "a b a", {{"a", 1}, {"b", 1}}},
        {"CaseSensitive", "The the THE\r\n", {{"The", 1}}},
        {"WordNotInText", "f(x\r\n", {{"fx", 0}}},
        {"BracketsAreDelimiters", "[word] {word} (word)\r\n", {{"word", 3}}},
        {"PartOfLongerWordNotCounted", "word-word words\r\n", {{"word", 0}}},
        {"PunctuationAround", "\"hi\", hi; hi.\r\n", {{"hi", 3}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> entries;
        for (const auto& [w, n] : c.counts) entries.push_back(w);
        TStringList list = SortedList(entries);
        RecordingStageHost host;
        Stages().CountDistinctWordOccurrences(c.text, list, host);
        EXPECT_EQ(WordsOf(list), c.counts);
        EXPECT_EQ(host.Checks, list.Count());
    }
}

TEST_P(WordListStageSetTest, CountDistinctWordOccurrencesEndsAtTerminate) {
    TStringList list = SortedList({"aa", "bb", "cc"});
    RecordingStageHost host;
    host.TerminateAtCheck = 2;
    Stages().CountDistinctWordOccurrences("aa bb cc aa\r\n", list, host);
    EXPECT_EQ(WordsOf(list), (WordCounts{{"aa", 2}, {"bb", 1}, {"cc", 0}}));
    EXPECT_EQ(host.Checks, 2);
}

TEST_P(WordListStageSetTest, CountDistinctWordOccurrencesWithoutWordsDoesNothing) {
    TStringList list = SortedList({});
    RecordingStageHost host;
    Stages().CountDistinctWordOccurrences("some text\r\n", list, host);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(host.Checks, 0);
}

INSTANTIATE_TEST_SUITE_P(Literal, WordListStageSetTest, ::testing::Values(&LiteralWordListStages));
