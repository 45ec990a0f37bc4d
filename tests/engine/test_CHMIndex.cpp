// The compiled-help index document: template lines, entries, escaping and pairing.
#include "KeywordListTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ruk;
using ruk::test::Cell;
using ruk::test::KeywordListView;
using Lines = std::vector<std::string>;

namespace {

Lines LinesOf(const std::unique_ptr<TStringList>& list) {
    Lines out;
    if (list)
        for (int i = 0; i < list->Count(); ++i) out.push_back(list->Strings(i));
    return out;
}

// The saved file's lines: each entry of the list is several lines of the file.
Lines FileLines(const std::unique_ptr<TStringList>& list) {
    auto lines = std::make_unique<TStringList>();
    lines->SetText(list->Text());
    return LinesOf(lines);
}

const Lines kHeader = {
    "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\">",
    "<html>",
    "<head>",
    "<meta name=\"generator\" content=\"RUK Lexmill Version 0.3\">",
    "</head>",
    "<body>",
    "<ul>",
};
const Lines kClosing = {"</ul>", "</body>", "</html>"};

std::string Name(const std::string& v) { return "        <param name=\"Name\" value=\"" + v + "\">"; }
std::string Local(const std::string& v) { return "        <param name=\"Local\" value=\"" + v + "\">"; }
std::string URL(const std::string& v) { return "        <param name=\"URL\" value=\"" + v + "\">"; }
const std::string kBegin = "    <li><object type=\"text/sitemap\">";
const std::string kEndEntry = "        </object>";

Lines Join(std::initializer_list<Lines> parts) {
    Lines out;
    for (const Lines& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

}  // namespace

TEST(CHMIndex, TheSixteenTemplateLinesAreResourcesOfTheProgram) {
    const Lines expected = {
        kHeader[0], "<html>", "</html>", "<head>", "</head>", "<meta name=\"generator\" content=\"%s\">", "<body>",
        "</body>", "<ul>", "</ul>", kBegin, Name("%s"), Name("%s"), Local("%s"), URL("%s"), kEndEntry,
    };
    for (UINT id = 10000; id <= 10015; ++id) EXPECT_EQ(CHMTemplateLine(id), expected[id - 10000]) << id;
    EXPECT_EQ(CHMTemplateLine(chmEntryLocal, "a%sb.htm"), Local("a%sb.htm"));  // inserted once, as it stands
}

TEST(CHMIndex, OneRowGivesTheDocumentedDocumentLineByLine) {
    KeywordListView list;
    list.Add("html", {"a.htm", "Untitled Document", "", "1"});
    std::unique_ptr<TStringList> doc = CreateCHMIndexFileContents(&list.View->Items());
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(GetLastError(), 0u);
    // One string of the list per header line, one per entry, one per closing line.
    EXPECT_EQ(doc->Count(), 11);
    EXPECT_EQ(doc->Strings(7), kBegin + "\r\n" + Name("html") + "\r\n" + Name("Untitled Document") + "\r\n" +
                                   Local("a.htm") + "\r\n" + kEndEntry);
    EXPECT_EQ(FileLines(doc), Join({kHeader, {kBegin, Name("html"), Name("Untitled Document"), Local("a.htm"), kEndEntry},
                                    kClosing}));
    EXPECT_EQ(doc->Strings(doc->Count() - 1), "</html>");
}

TEST(CHMIndex, TitlesPairWithLinkTargetsUpToTheShorterList) {
    struct Case {
        const char* links;
        const char* titles;
        const char* urls;
        Lines body;
    };
    const Case cases[] = {
        // two link targets, one title: only the first link target
        {"a.htm•b.htm", "A", "", {Name("A"), Local("a.htm")}},
        // three titles, one link target: the export goes on with what pairs
        {"a.htm", "A•B•C", "", {Name("A"), Local("a.htm")}},
        // a URL after the first and the third pair only
        {"a•b•c", "A•B•C", "u1••u3", {Name("A"), Local("a"), URL("u1"), Name("B"), Local("b"), Name("C"), Local("c"),
                                     URL("u3")}},
        // more URLs than pairs
        {"a", "A", "u1•u2", {Name("A"), Local("a"), URL("u1")}},
        // a leading separator is an empty entry that pairs; a trailing one adds no entry
        {"•b", "A•", "", {Name("A"), Local("")}},
    };
    for (const Case& c : cases) {
        KeywordListView list;
        list.Add("k", {Cell(c.links), Cell(c.titles), Cell(c.urls), "1"});
        std::unique_ptr<TStringList> doc = CreateCHMIndexFileContents(&list.View->Items());
        ASSERT_NE(doc, nullptr) << c.links;
        EXPECT_EQ(FileLines(doc), Join({kHeader, {kBegin, Name("k")}, c.body, {kEndEntry}, kClosing}))
            << c.links << " / " << c.titles << " / " << c.urls;
    }
}

TEST(CHMIndex, ValuesAreEscapedForTheAttribute) {
    KeywordListView list;
    list.Add("say \"hi\" & <go>", {"a&b \"1\" <x>.htm", "Tom &amp; Jerry \"<b>\"", "http://x/?a=1&b=\"2\"<>", "1"});
    std::unique_ptr<TStringList> doc = CreateCHMIndexFileContents(&list.View->Items());
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(FileLines(doc),
              Join({kHeader,
                    {kBegin, Name("say &quot;hi&quot; &amp; &lt;go&gt;"),
                     // a title may already hold entities: its ampersands stay
                     Name("Tom &amp; Jerry &quot;&lt;b&gt;&quot;"), Local("a&amp;b &quot;1&quot; &lt;x&gt;.htm"),
                     URL("http://x/?a=1&amp;b=&quot;2&quot;&lt;&gt;"), kEndEntry},
                    kClosing}));
    EXPECT_EQ(EscapeHTMLAttribute("plain.htm"), "plain.htm");
    EXPECT_EQ(EscapeHTMLTitleAttribute("a & b > c"), "a & b &gt; c");
}

TEST(CHMIndex, RowsWithoutKeywordLinksOrTitlesAreLeftOut) {
    KeywordListView list;
    list.Add("nolinks", {"", "T", "", "1"});
    list.Add("notitles", {"a.htm", "", "", "1"});
    list.Add("", {"a.htm", "T", "", "1"});
    std::unique_ptr<TStringList> doc = CreateCHMIndexFileContents(&list.View->Items());
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(GetLastError(), 0u);
    EXPECT_EQ(LinesOf(doc), Join({kHeader, kClosing}));
    list.Add("kept", {"b.htm", "B", "", "1"});
    doc = CreateCHMIndexFileContents(&list.View->Items());
    EXPECT_EQ(doc->Count(), 11);

    std::unique_ptr<TStringList> entries = CreateCHMKeywordsListEntries(&list.View->Items());
    ASSERT_NE(entries, nullptr);
    EXPECT_EQ(entries->Count(), 1);
}

TEST(CHMIndex, FailuresAreReportedThroughTheLastError) {
    KeywordListView empty;
    EXPECT_EQ(CreateCHMIndexFileContents(&empty.View->Items()), nullptr);
    EXPECT_EQ(GetLastError(), RUK_E_NOTHING_TO_DO);
    EXPECT_EQ(CreateCHMIndexFileContents(nullptr), nullptr);
    EXPECT_EQ(GetLastError(), RUK_E_NULL_OBJECT);

    EXPECT_EQ(CreateCHMKeywordsListEntryFromListItem(nullptr), "");
    EXPECT_EQ(GetLastError(), RUK_E_NULL_OBJECT);
    TRUKKeywordListEntry* unnamed = empty.Add("", {"a", "A", "", "1"});
    EXPECT_EQ(CreateCHMKeywordsListEntryFromListItem(unnamed), "");
    EXPECT_EQ(GetLastError(), RUK_E_INVALID_KEYWORD);
    TRUKKeywordListEntry* nolinks = empty.Add("k", {"", "A", "", "1"});
    EXPECT_EQ(CreateCHMKeywordsListEntryFromListItem(nolinks), "");
    EXPECT_EQ(GetLastError(), 0u);  // the row was there; its empty cell is no failure

    TStringList links, titles, none;
    links.Add("a.htm");
    titles.Add("A");
    struct Case {
        const char* keyword;
        const TStringList* links;
        const TStringList* titles;
        DWORD code;
    };
    for (const Case& c : {Case{"", &links, &titles, RUK_E_INVALID_KEYWORD}, Case{"k", nullptr, &titles, RUK_E_NULL_OBJECT},
                          Case{"k", &none, &titles, RUK_E_NOTHING_TO_DO}, Case{"k", &links, nullptr, RUK_E_NULL_OBJECT},
                          Case{"k", &links, &none, RUK_E_NOTHING_TO_DO}, Case{"", nullptr, nullptr, RUK_E_INVALID_KEYWORD}}) {
        EXPECT_EQ(CreateCHMKeywordsListEntry(c.keyword, c.links, c.titles, nullptr), "");
        EXPECT_EQ(GetLastError(), c.code) << c.keyword;
    }
    SetLastError(RUK_E_INVALID_KEYWORD);
    EXPECT_NE(CreateCHMKeywordsListEntry("k", &links, &titles, nullptr), "");
    EXPECT_EQ(GetLastError(), 0u);  // a code of an earlier call is not left standing
}

TEST(CHMIndex, KeywordsOfAListView) {
    KeywordListView list;
    EXPECT_EQ(GetKeywordsFromListView(list.View), nullptr);
    EXPECT_EQ(GetLastError(), RUK_E_NOTHING_TO_DO);
    EXPECT_EQ(GetKeywordsFromListView(nullptr), nullptr);
    EXPECT_EQ(GetLastError(), RUK_E_NULL_ARGUMENT);
    list.Add("b", {"", "", "", "1"});
    list.Add("", {"", "", "", "1"});
    list.Add("B", {"", "", "", "1"});
    EXPECT_EQ(LinesOf(GetKeywordsFromListView(list.View)), (Lines{"b", "", "B"}));
    EXPECT_EQ(GetLastError(), 0u);
}
