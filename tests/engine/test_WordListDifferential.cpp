// The fast stage set against the literal one: the same documents through both, compared stage
// by stage (text, deliveries, tests of the terminate flag, word lists and counts) and through
// the worker (every event, the results, and the run cut short at chosen events).
//
// Documents: the engine tests' own, pages of the Python documentation installed by the test
// set-up, and seeded generated ones that mix the constructs the stages treat specially.
#include "EngineTestFiles.h"
#include "XorShiftRandom.h"
#include "WordListTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using namespace ruk;
using namespace ruk::test;

// Every table test of the stages and of the worker also holds for the fast set.
INSTANTIATE_TEST_SUITE_P(Fast, WordListStageSetTest, ::testing::Values(&FastWordListStages));

namespace {

// ---------------------------------------------------------------- generated documents


const char* const Words[] = {
    "the", "The", "THE", "a", "A", "ab", "abc", "cab", "b", "word", "Word", "words", "sword",
    "x", "xy", "foo", "Foo", "foo()", "foo()foo()", "os.path", "os.path.join(a,", "a.b", "a.a.a",
    "+", "++", "+++", "(a)", "f(x", "(see", "note)", "\"q\"", "\"x", "y\"", "a=b", "x+y", "[1]",
    "{z}", "[a", "b]", "{", "}", "caf\xE9", "Caf\xE9", "CAF\xC9", "na\xEFve", "\xDF", "\xFF\xE9",
    "Stra\xDF" "e", "STRASSE", "strasse", "\xC6on", "\xE6on", "co-op", "coop", "it's", "its", "%",
    "#1", "&", "...", "!?", ",", "e.g.", "i.e.", "Hello,", "world!", "end.", "(x)", "((y))",
    "\"\"", "a\"b\"c", "\x80", "\x9F\xFF", "ab,ab", "ab.", ".ab", "=", "==", "a==b", "(", ")",
    "x)(y", "\"(\"", "v1.2.3", "e=mc2", "2+2=4", "\xAB" "quote\xBB", "ma\xF1" "ana", "MA\xD1" "ANA",
};

const char* const Tags[] = {
    "<b>", "</b>", "<p class=\"x\">", "</P>", "<a href='y.html'>", "</a>", "<br/>", "<", ">", "<>",
    "< b", "<i", "<<b>>", "<b<i>>", "<!DOCTYPE html>", "<html>", "</html>", "<td>", "</TD>",
    "<img src=\"a>b\">", "<meta charset=utf-8>", "<h1>", "</h1>",
};

const char* const Entities[] = {
    "&nbsp;", "&NBSP;", "&Nbsp;", "&quot;", "&QUOT;", "&amp;", "&AMP;", "&Amp;", "&lt;", "&LT;",
    "&gt;", "&Gt;", "&copy;", "&COPY;", "&mdash;", "&MDash;", "&bull;", "&BULL;", "&iexcl;",
    "&cent;", "&euro;", "&pound;", "&yen;", "&sect;", "&uml;", "&reg;", "&deg;", "&plusmn;",
    "&sup2;", "&micro;", "&para;", "&middot;", "&frac14;", "&frac12;", "&iquest;", "&Agrave;",
    "&Eacute;", "&eacute;", "&EACUTE;", "&AElig;", "&aelig;", "&ETH;", "&eth;", "&THORN;",
    "&thorn;", "&szlig;", "&Ouml;", "&ouml;", "&times;", "&divide;", "&yuml;", "&Yacute;",
    "&amp;lt;", "&amp;amp;", "&amp;amp;amp;", "&amp;nbsp;", "&amp;quot;", "&amp;eacute;",
    "&amp;bull;", "&amp;gt;", "&amp;copy;", "&curren;", "&shy;", "&hellip;", "&#233;", "&#8364;",
    "&nbsp", "&amp", "&", "&&", "&;", "&lt", "&bu&bull;ll;", "&am&lt;p;", "&n&amp;bsp;",
    "&&amp;lt;;", "&amp;&lt;", "&nbsp;&nbsp;", "&amp;&amp;", "&l&amp;t;",
};

const char* const Endings[] = {
    "<", ">", "<>", "x", " x", "  ", "a<b", "\t", "&", "&amp", "  x", "word  x", "   .", " ",
    "a b", "ab ", "(", "\"", "-->", "<!--", "</style>", "<style>", "&nbsp;", "x\r\n", "\r",
};

void AppendWhiteSpace(TRandom& rnd, std::string& out) {
    static const char* const pieces[] = {" ", " ", " ", "  ", "   ", "\t", "\r", "\n", "\r\n", "\n\r", " \t "};
    const int n = 1 + rnd.Below(3);
    for (int i = 0; i < n; ++i) out += rnd.Pick(pieces);
}

void AppendRandomWord(TRandom& rnd, std::string& out) {
    static const char letters[] = "abcdexyzABCDEXYZ0123456789\xE0\xE9\xC9\xF6\xD6\xDF\xFF\x8A\x9A";
    const int n = 1 + rnd.Below(7);
    for (int i = 0; i < n; ++i) out += letters[rnd.Below(static_cast<int>(sizeof(letters) - 1))];
}

void AppendWords(TRandom& rnd, std::string& out, int count) {
    for (int i = 0; i < count; ++i) {
        if (rnd.Chance(70)) out += rnd.Pick(Words);
        else AppendRandomWord(rnd, out);
        if (rnd.Chance(15)) out += rnd.Pick(Entities);
        if (rnd.Chance(85)) AppendWhiteSpace(rnd, out);
    }
}

void AppendSection(TRandom& rnd, std::string& out) {
    static const char* const styleOpen[] = {"<style>", "<STYLE type=x>", "<Style>", "<styles>", "<stylesheet a>"};
    static const char* const styleClose[] = {"</style>", "</STYLE>", "</Style>"};
    static const char* const scriptOpen[] = {"<script>", "<SCRIPT type=\"t\">", "<Script src=x>", "<scripts>"};
    static const char* const scriptClose[] = {"</script>", "</SCRIPT>", "</Script>"};
    static const char* const titleOpen[] = {"<title>", "<TITLE>", "<Title>", "<title lang=en>"};
    static const char* const titleClose[] = {"</title>", "</TITLE>", "</Title>"};
    const int kind = rnd.Below(4);
    const char* open;
    const char* close;
    switch (kind) {
        case 0: open = rnd.Pick(styleOpen); close = rnd.Pick(styleClose); break;
        case 1: open = rnd.Pick(scriptOpen); close = rnd.Pick(scriptClose); break;
        case 2: open = rnd.Pick(titleOpen); close = rnd.Pick(titleClose); break;
        default: open = "<!--"; close = "-->"; break;
    }
    const int shape = rnd.Below(10);
    if (shape == 0) {  // the closing string alone, before any opening
        out += close;
        return;
    }
    if (kind == 3 && shape == 1) {
        out += "<!-->";
        return;
    }
    if (kind != 2 && shape == 4) {
        // A section that, once cut out, joins the bytes on either side of it into an opening or
        // a closing string.
        const std::string joined = rnd.Chance(50) ? open : close;
        const size_t cut = 1 + static_cast<size_t>(rnd.Below(static_cast<int>(joined.size()) - 1));
        out += joined.substr(0, cut);
        out += open;
        AppendWords(rnd, out, rnd.Below(2));
        out += close;
        out += joined.substr(cut);
        AppendWords(rnd, out, rnd.Below(3));
        if (rnd.Chance(70)) out += close;
        return;
    }
    out += open;
    if (rnd.Chance(60)) AppendWords(rnd, out, rnd.Below(4));
    if (rnd.Chance(30)) out += rnd.Pick(Tags);
    if (kind == 1 && rnd.Chance(40)) out += "<!-- in script -->";
    if (rnd.Chance(20)) out += "--";
    if (shape != 2) out += close;  // else unclosed
    if (shape == 3) out += close;  // a second closing string
}

// A document of about the given size.
std::string GenerateDocument(TRandom& rnd, size_t size, bool zeroBytes) {
    std::string out;
    while (out.size() < size) {
        const int kind = rnd.Below(100);
        if (kind < 40) AppendWords(rnd, out, 1 + rnd.Below(6));
        else if (kind < 55) out += rnd.Pick(Tags);
        else if (kind < 65) out += rnd.Pick(Entities);
        else if (kind < 77) AppendSection(rnd, out);
        else if (kind < 90) AppendWhiteSpace(rnd, out);
        else if (kind < 93) out += std::string(static_cast<size_t>(2 + rnd.Below(12)), ' ');
        else if (kind < 96) out += static_cast<char>(0x80 + rnd.Below(128));
        else if (zeroBytes && kind < 97) out += '\0';
        else out += rnd.Pick(Words);
    }
    if (rnd.Chance(40)) out += rnd.Pick(Endings);
    return out;
}

// A suppress text: some words of the table in other spellings, repeated and empty lines.
std::string GenerateSuppressText(TRandom& rnd) {
    static const char* const lines[] = {"the", "THE", "a", "and", "word", "WORD", "", "caf\xC9",
                                        "x", "foo()", "os.path", "strasse", "(a)", "STRASSE", "ab"};
    std::string out;
    const int n = rnd.Below(8);
    for (int i = 0; i < n; ++i) {
        out += rnd.Pick(lines);
        out += rnd.Chance(80) ? "\r\n" : "\n";
    }
    return out;
}

// ---------------------------------------------------------------- stage by stage

struct StageOutcome {
    std::string text;
    std::vector<std::string> events;
    int checks = 0;
    WordCounts words;
    bool operator==(const StageOutcome&) const = default;
};

void PrintTo(const StageOutcome& o, std::ostream* os) {
    *os << "\n  text: \"" << Escaped(o.text) << "\"\n  checks: " << o.checks << "\n  words:";
    for (const auto& [w, n] : o.words) *os << " \"" << Escaped(w) << "\"=" << n;
    *os << "\n  events:";
    for (const auto& e : o.events) *os << "\n    " << Escaped(e);
}

enum class TextStage { StyleSheets, Scripts, CRLFs, Comments, Title, Tags, Entities };
const char* const TextStageNames[] = {"RemoveStyleSheetSections", "RemoveScriptSections", "RemoveCRLFs",
                                      "RemoveCommentedSections", "RetrieveTitle", "RemoveHTMLTags",
                                      "ReplaceHTMLSpecialChars"};

StageOutcome RunTextStage(const TWordListStageSet& set, TextStage stage, const std::string& input,
                          int terminateAtCheck) {
    RecordingStageHost host;
    host.TerminateAtCheck = terminateAtCheck;
    StageOutcome o;
    o.text = input;
    switch (stage) {
        case TextStage::StyleSheets: set.RemoveStyleSheetSections(o.text, host); break;
        case TextStage::Scripts: set.RemoveScriptSections(o.text, host); break;
        case TextStage::CRLFs: set.RemoveCRLFs(o.text, host); break;
        case TextStage::Comments: set.RemoveCommentedSections(o.text, host); break;
        case TextStage::Title: set.RetrieveTitle(o.text, host); break;
        case TextStage::Tags: set.RemoveHTMLTags(o.text, host); break;
        case TextStage::Entities: set.ReplaceHTMLSpecialChars(o.text, host); break;
    }
    o.events = std::move(host.Events);
    o.checks = host.Checks;
    return o;
}

TStringList WorkerSortedList() {
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(TDuplicates::dupIgnore);
    return list;
}

StageOutcome RunCount(const TWordListStageSet& set, const std::string& text, const TStringList& words,
                      int terminateAtCheck) {
    TStringList list = words;
    RecordingStageHost host;
    host.TerminateAtCheck = terminateAtCheck;
    set.CountDistinctWordOccurrences(text, list, host);
    StageOutcome o;
    o.text = text;
    o.events = std::move(host.Events);
    o.checks = host.Checks;
    o.words = WordsOf(list);
    return o;
}

// The k values at which to set the flag: every one for a stage with few tests, else a few
// from the start, the middle and the end, and one drawn.
std::vector<int> TerminatePoints(int checks, TRandom& rnd, int budget) {
    std::vector<int> points;
    if (checks <= budget) {
        for (int k = 1; k <= checks; ++k) points.push_back(k);
    } else {
        points = {1, 2, checks / 2, checks};
        points.push_back(1 + rnd.Below(checks));
    }
    return points;
}

class DifferentialRun {
public:
    DifferentialRun(std::string name, TRandom& rnd, int terminateBudget)
        : FName(std::move(name)), FRnd(rnd), FBudget(terminateBudget) {}

    // The ten steps in the worker's order, each stage of both sets from the same input.
    void StageByStage(const std::string& source, const std::string& suppress) {
        std::string text = source;
        for (int s = 0; s < 7; ++s) {
            const auto stage = static_cast<TextStage>(s);
            const StageOutcome literal = RunTextStage(LiteralWordListStages, stage, text, 0);
            if (!Same(TextStageNames[s], text, literal, RunTextStage(FastWordListStages, stage, text, 0))) return;
            for (const int k : TerminatePoints(literal.checks, FRnd, FBudget)) {
                if (!Same(TextStageNames[s], text, RunTextStage(LiteralWordListStages, stage, text, k),
                          RunTextStage(FastWordListStages, stage, text, k), k))
                    return;
            }
            if (stage != TextStage::Title) text = literal.text;
        }
        TStringList literalWords = WorkerSortedList(), fastWords = WorkerSortedList();
        LiteralWordListStages.GenerateWordsList(text, literalWords);
        FastWordListStages.GenerateWordsList(text, fastWords);
        if (!SameWords("GenerateWordsList", text, literalWords, fastWords)) return;
        TStringList suppressList = WorkerSortedList();
        suppressList.SetText(suppress);
        LiteralWordListStages.RemoveWordsToSuppress(literalWords, suppressList);
        FastWordListStages.RemoveWordsToSuppress(fastWords, suppressList);
        if (!SameWords("RemoveWordsToSuppress", text + "\n[suppress]\n" + suppress, literalWords, fastWords)) return;
        std::string literalText = text, fastText = text;
        LiteralWordListStages.RemoveRedundantBlanks(literalText);
        FastWordListStages.RemoveRedundantBlanks(fastText);
        if (!SameText("RemoveRedundantBlanks", text, literalText, fastText)) return;
        Counts(literalText, literalWords);
    }

    // The count stage over a text and a list, and again with the flag set at some tests.
    void Counts(const std::string& text, const TStringList& words) {
        const StageOutcome literal = RunCount(LiteralWordListStages, text, words, 0);
        if (!Same("CountDistinctWordOccurrences", text, literal, RunCount(FastWordListStages, text, words, 0))) return;
        for (const int k : TerminatePoints(literal.checks, FRnd, 3)) {
            if (!Same("CountDistinctWordOccurrences", text, RunCount(LiteralWordListStages, text, words, k),
                      RunCount(FastWordListStages, text, words, k), k))
                return;
        }
    }

    // The word walk alone, on any text.
    void Words(const std::string& text) {
        TStringList literalWords = WorkerSortedList(), fastWords = WorkerSortedList();
        LiteralWordListStages.GenerateWordsList(text, literalWords);
        FastWordListStages.GenerateWordsList(text, fastWords);
        SameWords("GenerateWordsList", text, literalWords, fastWords);
    }

    void Blanks(const std::string& text) {
        std::string literalText = text, fastText = text;
        LiteralWordListStages.RemoveRedundantBlanks(literalText);
        FastWordListStages.RemoveRedundantBlanks(fastText);
        SameText("RemoveRedundantBlanks", text, literalText, fastText);
    }

    bool Failed() const { return FFailed; }

private:
    bool Same(const char* stage, const std::string& input, const StageOutcome& literal, const StageOutcome& fast,
              int terminateAt = 0) {
        if (literal == fast) return true;
        FFailed = true;
        ADD_FAILURE() << FName << ": " << stage << " differs" << (terminateAt ? " terminated from test " : "")
                      << (terminateAt ? std::to_string(terminateAt) : std::string()) << "\n  input: \""
                      << Escaped(input.substr(0, 3000)) << "\"\nliteral:" << ::testing::PrintToString(literal)
                      << "\nfast:" << ::testing::PrintToString(fast);
        return false;
    }

    bool SameWords(const char* stage, const std::string& input, const TStringList& literal, const TStringList& fast) {
        StageOutcome a, b;
        a.words = WordsOf(literal);
        b.words = WordsOf(fast);
        return Same(stage, input, a, b);
    }

    bool SameText(const char* stage, const std::string& input, const std::string& literal, const std::string& fast) {
        StageOutcome a, b;
        a.text = literal;
        b.text = fast;
        return Same(stage, input, a, b);
    }

    std::string FName;
    TRandom& FRnd;
    int FBudget;
    bool FFailed = false;
};

// ---------------------------------------------------------------- through the worker

// Both sets through the worker: all events with handlers, then the run terminated from a
// handler at chosen events, a handler raising at one, and the run without handlers.
void SameWorkerRuns(const std::string& name, const std::string& source, const std::string& suppress,
                    TRandom& rnd, int terminations) {
    const WorkerRun literal = RunWorker(&LiteralWordListStages, source, suppress);
    const WorkerRun fast = RunWorker(&FastWordListStages, source, suppress);
    EXPECT_EQ(fast, literal) << name;
    if (fast != literal) return;
    const int events = static_cast<int>(literal.events.size());
    std::vector<int> points = {0, events - 1};
    for (int i = 0; i < terminations; ++i) points.push_back(rnd.Below(events));
    // A handler that terminates the worker when it receives the at-th event (from 0).
    auto terminatingAt = [](int at) {
        WorkerOptions options;
        options.afterEvent = [at, count = std::make_shared<int>(0)](TRUKGenWordListFromHTMLThread& worker,
                                                                   const std::string&) {
            if ((*count)++ == at) worker.Terminate();
        };
        return options;
    };
    for (const int at : points) {
        const WorkerRun l = RunWorker(&LiteralWordListStages, source, suppress, terminatingAt(at));
        const WorkerRun f = RunWorker(&FastWordListStages, source, suppress, terminatingAt(at));
        EXPECT_EQ(f, l) << name << " terminated at event " << at;
        if (f != l) return;
    }
    // A handler that raises ends the run where it stands: the text of that moment stays.
    auto raisingAt = [](int at) {
        WorkerOptions options;
        options.afterEvent = [at, count = std::make_shared<int>(0)](TRUKGenWordListFromHTMLThread&,
                                                                   const std::string&) {
            if ((*count)++ == at) throw Exception("handler failed");
        };
        return options;
    };
    const int raiseAt = rnd.Below(events);
    EXPECT_EQ(RunWorker(&FastWordListStages, source, suppress, raisingAt(raiseAt)),
              RunWorker(&LiteralWordListStages, source, suppress, raisingAt(raiseAt)))
        << name << " with a handler raising at event " << raiseAt;
    WorkerOptions quiet;
    quiet.assignHandlers = false;
    EXPECT_EQ(RunWorker(&FastWordListStages, source, suppress, quiet),
              RunWorker(&LiteralWordListStages, source, suppress, quiet))
        << name << " without handlers";
}

// The program keeps the shell's light-weight utility library loaded for its whole life (its
// unit start loads it), so the literal trim's load and free on every call only count a
// reference. These tests do the same; else every trimmed word would load the library anew.
class KeepShlWAPILoaded {
public:
    KeepShlWAPILoaded() : FModule(LoadLibraryA("ShlWAPI.dll")) {}
    ~KeepShlWAPILoaded() {
        if (FModule != nullptr) FreeLibrary(FModule);
    }
    KeepShlWAPILoaded(const KeepShlWAPILoaded&) = delete;
    KeepShlWAPILoaded& operator=(const KeepShlWAPILoaded&) = delete;

private:
    HMODULE FModule;
};

std::string PythonDocPath(const std::string& relative) {
    std::string path = "Z:\\usr\\share\\doc\\python3.11\\html\\" + relative;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// Pages of the Python documentation, read as the program reads an ANSI file (UTF-8 bytes as
// they are).
const char* const PythonPages[] = {"about.html", "library/getopt.html", "library/glob.html",
                                   "library/constants.html", "library/sched.html"};

}  // namespace

// ---------------------------------------------------------------- the tests

TEST(WordListDifferential, EngineTestDocuments) {
    const KeepShlWAPILoaded shlwapi;
    TRandom rnd(1);
    for (const WordListDocumentCase& c : WordListDocumentCases()) {
        DifferentialRun run(c.name, rnd, 1000);
        run.StageByStage(c.source, c.suppress);
        SameWorkerRuns(c.name, c.source, c.suppress, rnd, 4);
    }
    std::string page;
    ASSERT_TRUE(ReadFileBytes(EngineTestDataPath("copyright.html"), page));
    DifferentialRun run("copyright.html", rnd, 8);
    run.StageByStage(page, "the\r\nand\r\n");
    SameWorkerRuns("copyright.html", page, "the\r\nand\r\n", rnd, 2);
}

TEST(WordListDifferential, RealDocuments) {
    const KeepShlWAPILoaded shlwapi;
    TRandom rnd(2);
    for (const char* page : PythonPages) {
        std::string text;
        ASSERT_TRUE(ReadFileBytes(PythonDocPath(page), text)) << page << " (installed by scripts/setup)";
        ASSERT_GT(text.size(), 5000u);
        DifferentialRun run(page, rnd, 6);
        run.StageByStage(text, "the\r\nThe\r\na\r\nof\r\nPython\r\n");
        // A long suppress list: every third word the page lists, in upper case.
        TStringList listed = WorkerSortedList();
        LiteralWordListStages.GenerateWordsList(text, listed);
        std::string suppress;
        for (int i = 0; i < listed.Count(); i += 3) suppress += AnsiUpperCase(listed[i]) + "\r\n";
        TStringList literalWords = listed, fastWords = listed, suppressList = WorkerSortedList();
        suppressList.SetText(suppress);
        LiteralWordListStages.RemoveWordsToSuppress(literalWords, suppressList);
        FastWordListStages.RemoveWordsToSuppress(fastWords, suppressList);
        EXPECT_EQ(WordsOf(fastWords), WordsOf(literalWords)) << page;
        EXPECT_LT(literalWords.Count(), listed.Count() * 3 / 4 + 1) << page;
        SameWorkerRuns(page, text, "the\r\nof\r\n", rnd, 1);
    }
}

// Generated documents stage by stage, with the flag set at tests of every stage.
TEST(WordListDifferential, GeneratedDocuments) {
    const KeepShlWAPILoaded shlwapi;
    TRandom rnd(20240607);
    for (int i = 0; i < 3000; ++i) {
        const size_t size = static_cast<size_t>(rnd.Chance(80) ? 20 + rnd.Below(400) : 400 + rnd.Below(3000));
        const std::string doc = GenerateDocument(rnd, size, rnd.Chance(10));
        const std::string suppress = GenerateSuppressText(rnd);
        DifferentialRun run("generated document " + std::to_string(i), rnd, 4);
        run.StageByStage(doc, suppress);
        if (run.Failed()) break;
        // The word walk and the blanks straight on the raw document as well (line breaks,
        // tabs and markup still in it).
        run.Words(doc);
        run.Blanks(doc);
        if (run.Failed()) break;
    }
}

// Generated documents through the worker.
TEST(WordListDifferential, GeneratedDocumentsThroughTheWorker) {
    const KeepShlWAPILoaded shlwapi;
    TRandom rnd(77);
    for (int i = 0; i < 300; ++i) {
        const std::string doc = GenerateDocument(rnd, static_cast<size_t>(30 + rnd.Below(600)), rnd.Chance(5));
        SameWorkerRuns("generated document " + std::to_string(i), doc, GenerateSuppressText(rnd), rnd, 2);
        if (::testing::Test::HasFailure()) break;
    }
}

// Word walks where the rest after a word is blanks and at most one more character, or a word
// holds a zero byte: the walk's literal end.
TEST(WordListDifferential, WordWalkEnds) {
    const KeepShlWAPILoaded shlwapi;
    TRandom rnd(5);
    DifferentialRun run("word walk ends", rnd, 0);
    const std::string texts[] = {
        "", "a", "ab", " a", "  ", "   ", "a ", "ab ", "Word  x", "Word   x", "Word  ", "Word   ",
        "a b", "a  b", "x    ", " x  y", "hello ", "a,b", "  a,b", " ,", "one two  three   .",
        std::string("ab\0cd ef", 8), std::string("\0ab", 3), std::string("ab \0", 4),
        std::string("x y\0 z w", 8), std::string("ab\0ab ab\0 ab", 12), std::string("  \0", 3),
    };
    for (const std::string& t : texts) run.Words(t);
    for (int i = 0; i < 400 && !run.Failed(); ++i) {
        std::string t;
        const int n = 1 + rnd.Below(12);
        static const char* const parts[] = {" ", " ", "  ", "a", "Ab", "ab", "b", ".", ",", "x",
                                            "(", ")", "\""};
        for (int k = 0; k < n; ++k) {
            if (rnd.Chance(7)) t += '\0';
            else t += rnd.Pick(parts);
        }
        run.Words(t);
    }
}

// Counts of words that meet themselves, hold delimiters or stand inside other words, over
// texts full of them, with lists of random pieces of the text.
TEST(WordListDifferential, CountsOfOverlappingAndDelimitedWords) {
    TRandom rnd(9);
    static const char* const pieces[] = {"+", "++", "a", "a.a", ".", "foo()", "()", "(a)", "ab",
                                         "ba", "aba", " ", " ", "  ", "\"", "x\"", "\"x\"", ",",
                                         "a+", "+a", "]", "[", "{}", "=", "\r\n", "\r"};
    for (int i = 0; i < 400; ++i) {
        std::string text;
        const int n = 1 + rnd.Below(40);
        for (int k = 0; k < n; ++k) text += rnd.Pick(pieces);
        if (rnd.Chance(10)) text.insert(static_cast<size_t>(rnd.Below(static_cast<int>(text.size()) + 1)), 1, '\0');
        TStringList words;
        words.SetSorted(rnd.Chance(50));
        words.SetDuplicates(TDuplicates::dupAccept);
        const int m = 1 + rnd.Below(12);
        for (int k = 0; k < m; ++k) {
            if (rnd.Chance(40)) {
                words.Add(rnd.Pick(pieces));
            } else if (!text.empty()) {
                const int from = rnd.Below(static_cast<int>(text.size()));
                words.Add(text.substr(static_cast<size_t>(from), static_cast<size_t>(1 + rnd.Below(8))));
            }
        }
        DifferentialRun run("count text " + std::to_string(i), rnd, 0);
        run.Counts(text, words);
        if (run.Failed()) break;
    }
}

// A list with more distinct words than one thread sorts: the parts run on threads of their own
// and must leave the list that adding the words one by one leaves (of each set of words equal
// without regard to case, the first met).
TEST(WordListDifferential, WordListSortedInParts) {
    TRandom rnd(31);
    static const char* const syllables[] = {"ka", "Lo", "mi", "NU", "re", "\xE9t", "\xC0", "z", "ph", "q",
                                            "Str", "o", "-", "'", "1", "9"};
    std::string text;
    std::vector<std::string> words;
    for (int i = 0; i < 30000; ++i) {
        std::string w;
        const int n = 1 + rnd.Below(5);
        for (int k = 0; k < n; ++k) w += rnd.Pick(syllables);
        words.push_back(w);
        if (i > 0) text += ' ';
        text += w;
    }
    const TStringList expected = SortedList(words);
    ASSERT_GT(expected.Count(), 8192);
    TStringList fast = SortedList({});
    FastWordListStages.GenerateWordsList(text, fast);
    EXPECT_EQ(WordsOf(fast), WordsOf(expected));
}
