// The word-list worker end to end: documents through all ten steps on the worker's own thread,
// with every event delivered on this (the user-interface) thread.
#include "EngineTestFiles.h"
#include "RUKConvertCharEncodingThread.h"
#include "WordListTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

using namespace ruk;
using namespace ruk::test;

TEST_P(WordListStageSetTest, DocumentsTable) {
    for (const WordListDocumentCase& c : WordListDocumentCases()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RunWorker(GetParam(), c.source, c.suppress), c.expected);
    }
}

TEST_P(WordListStageSetTest, EmptySourceDeliversTheSixteenStageTexts) {
    const WorkerRun run = RunWorker(GetParam(), "", "");
    const std::vector<std::string> expected = {
        "progress: Style sheet sections removed.",
        "progress: Script sections removed.",
        "progress: Carriage return and line feeds removed.",
        "progress: Starting to remove comments.",
        "progress: Comments removed.",
        "progress: Starting to retrieve title.",
        "progress: Starting to remove HTML tags.",
        "progress: HTML tags removed.",
        "progress: HTML special character notations replaced.",
        "progress: Starting to generate word list.",
        "progress: Removing words to suppress/ignore.",
        "progress: Word list completed.",
        "progress: Starting to remove redundant blanks and empty lines from stripped text.",
        "progress: Redundant blanks and empty lines removed from stripped text.",
        "progress: Starting to count word occurrences.",
        "progress: Word count completed.",
    };
    EXPECT_EQ(run.events, expected);
    EXPECT_EQ(run.text, "");
    EXPECT_TRUE(run.words.empty());
    EXPECT_TRUE(run.deliveriesConsistent);
}

TEST_P(WordListStageSetTest, WithoutHandlersTheResultsAreTheSame) {
    for (const WordListDocumentCase& c : WordListDocumentCases()) {
        SCOPED_TRACE(c.name);
        WorkerRun expected = c.expected;
        expected.events.clear();
        EXPECT_EQ(RunWorker(GetParam(), c.source, c.suppress, {.assignHandlers = false}), expected);
    }
}

TEST_P(WordListStageSetTest, TerminatedBeforeTheFirstRunDoesNothing) {
    const WordListDocumentCase& doc = WordListDocumentCases().front();
    const WorkerRun run = RunWorker(GetParam(), doc.source, "", {.terminateBeforeStart = true});
    EXPECT_TRUE(run.events.empty());
    EXPECT_EQ(run.text, doc.source);
    EXPECT_TRUE(run.words.empty());
    EXPECT_TRUE(run.terminateHandlerRan);
}

namespace {

// Runs the first document and terminates the worker when the given event has been delivered.
WorkerRun RunTerminatedAt(const TWordListStageSet* stages, const std::string& event) {
    const WordListDocumentCase& doc = WordListDocumentCases().front();
    return RunWorker(stages, doc.source, doc.suppress,
                     {.afterEvent = [event](TRUKGenWordListFromHTMLThread& worker, const std::string& e) {
                          if (e == event) worker.Terminate();
                      }});
}

// The expected events of the first document up to and including the given one.
std::vector<std::string> EventsUpTo(const std::string& last) {
    std::vector<std::string> events;
    for (const auto& e : WordListDocumentCases().front().expected.events) {
        events.push_back(e);
        if (e == last) break;
    }
    return events;
}

}  // namespace

// Terminate during step 8: the step ends with the word list complete and its last text
// delivered; steps 9 and 10 are skipped, so the blanks stay and every count is 0.
TEST_P(WordListStageSetTest, TerminatedDuringWordListStepSkipsBlanksAndCounts) {
    const WorkerRun run = RunTerminatedAt(GetParam(), ProgressEvent("Starting to generate word list."));
    EXPECT_EQ(run.events, EventsUpTo(ProgressEvent("Word list completed.")));
    EXPECT_EQ(run.text, "     My Page          Hello, world!       ");
    EXPECT_EQ(run.words, (WordCounts{{"Hello", 0}, {"My", 0}, {"Page", 0}, {"world", 0}}));
    EXPECT_TRUE(run.terminateHandlerRan);
}

TEST_P(WordListStageSetTest, TerminatedBetweenStepsKeepsWhatTheFinishedStepsLeft) {
    const WorkerRun run = RunTerminatedAt(GetParam(), ProgressEvent("Comments removed."));
    EXPECT_EQ(run.events, EventsUpTo(ProgressEvent("Comments removed.")));
    EXPECT_EQ(run.text,
              "<html>  <head><title>My Page</title>    </head>  <body><p>Hello, world!</p></body>  </html>  ");
    EXPECT_EQ(run.title, "");
    EXPECT_TRUE(run.words.empty());
}

// The tag stage tests the flag after its second removal; the rest of its step is still
// delivered.
TEST_P(WordListStageSetTest, TerminatedDuringTagStageEndsItAfterTheSecondTag) {
    const WorkerRun run = RunTerminatedAt(GetParam(), TagEvent("<html>", 1, 6));
    std::vector<std::string> expected = EventsUpTo(TagEvent("<head>", 4, 9));
    expected.push_back(ProgressEvent("HTML tags removed."));
    EXPECT_EQ(run.events, expected);
    EXPECT_EQ(run.text, "    <title>My Page</title>    </head>  <body><p>Hello, world!</p></body>  </html>  ");
    EXPECT_EQ(run.title, "My Page");
    EXPECT_TRUE(run.words.empty());
}

// A handler that raises ends the run; the exception is held by the thread and the termination
// handler still runs.
TEST_P(WordListStageSetTest, HandlerExceptionEndsTheRun) {
    const WordListDocumentCase& doc = WordListDocumentCases().front();
    const WorkerRun run = RunWorker(
        GetParam(), doc.source, "", {.afterEvent = [](TRUKGenWordListFromHTMLThread&, const std::string& e) {
            if (e == TitleEvent("My Page")) throw Exception("handler failed");
        }});
    EXPECT_EQ(run.fatalMessage, "handler failed");
    EXPECT_TRUE(run.terminateHandlerRan);
    EXPECT_EQ(run.events.back(), TitleEvent("My Page"));
    EXPECT_EQ(run.text,
              "<html>  <head><title>My Page</title>    </head>  <body><p>Hello, world!</p></body>  </html>  ");
}

// Any byte string is a document: what is unclosed stays, and every step runs to its end.
TEST_P(WordListStageSetTest, MalformedDocumentsRunToTheEnd) {
    std::string allBytes;
    for (int b = 255; b >= 0; --b) allBytes += static_cast<char>(b);
    const std::vector<std::string> documents = {
        "<", ">", "<<<<", ">>>>", "<>", "<><>", "<!--", "-->", "<!---->", "<style", "</style>",
        "<script><style></script></style>", "<title></title><title>", "&", "&amp", "&&amp;;",
        std::string("a\0b <b>c\0</b> d", 15), std::string(1, '\0'), "\xFF\xFE<\x80>", allBytes,
        "((((\"\"\"[[[{{{ ))) ]]] }}}", "a, b; c. d: e! f? g= h\" i+ j( k) l", "\t\r\n \t\r\n",
        std::string(300, ' ') + "x" + std::string(300, ' '),
    };
    for (const std::string& doc : documents) {
        SCOPED_TRACE(Escaped(doc));
        const WorkerRun run = RunWorker(GetParam(), doc, "a\r\n");
        EXPECT_EQ(run.fatalMessage, "");
        EXPECT_TRUE(run.deliveriesConsistent);
        ASSERT_FALSE(run.events.empty());
        EXPECT_EQ(run.events.back(), ProgressEvent("Word count completed."));
    }
}

TEST(WordListWorker, SuppressListHoldsEachWordOnce) {
    TRUKGenWordListFromHTMLThread worker("", "and\r\nAnd\nAND\r\n\r\nor\rOr");
    std::vector<std::string> entries;
    for (int i = 0; i < worker.SuppressList().Count(); ++i) entries.push_back(worker.SuppressList()[i]);
    // The empty line is an empty entry.
    EXPECT_EQ(entries, (std::vector<std::string>{"", "and", "or"}));
    EXPECT_TRUE(worker.WordList().Sorted());
    EXPECT_EQ(worker.Text(), "");
    EXPECT_EQ(worker.TagStartPos(), 0);
    EXPECT_TRUE(worker.IsTag("not a tag"));
}

TEST(WordListWorker, PositionSearches) {
    using T = TRUKGenWordListFromHTMLThread;
    EXPECT_EQ(T::GetNextOpeningTagCharPos("a<b<", 1), 2);
    EXPECT_EQ(T::GetNextOpeningTagCharPos("a<b<", 3), 4);
    EXPECT_EQ(T::GetNextOpeningTagCharPos("a<b<", 4), -1);  // a start at the length finds nothing
    EXPECT_EQ(T::GetNextOpeningTagCharPos("a<b<c", 3), 4);
    EXPECT_EQ(T::GetNextOpeningTagCharPos("abc", 1), -1);
    EXPECT_EQ(T::GetNextOpeningTagCharPos("<", 1), -1);
    EXPECT_EQ(T::GetNextClosingTagCharPos("<a>b>", 2), 3);
    EXPECT_EQ(T::GetNextClosingTagCharPos("<a>b>", 4), 5);
    EXPECT_EQ(T::GetNextClosingTagCharPos("<a>b>", 5), -1);
    EXPECT_EQ(T::GetNextClosingTagCharPos("<>>", 2), 2);
}

// ---------------------------------------------------------------- a real document

namespace {

std::string JoinEscapedLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) out += Escaped(l) + "\n";
    return out;
}

std::string WordLines(const WordCounts& words) {
    std::string out;
    for (const auto& [w, n] : words) out += Escaped(w) + "\t" + std::to_string(n) + "\n";
    return out;
}

// Compares with the checked-in expected file; with RUK_WRITE_EXPECTED=1 in the environment
// the file is written from the actual result instead (to be read and judged before checking in).
void ExpectFile(const std::string& name, const std::string& actual) {
    const std::string path = EngineTestDataPath(name);
    if (const char* w = std::getenv("RUK_WRITE_EXPECTED"); w != nullptr && std::string(w) == "1") {
        ASSERT_TRUE(WriteFileBytes(path, actual)) << path;
        return;
    }
    std::string expected;
    ASSERT_TRUE(ReadFileBytes(path, expected)) << path;
    EXPECT_EQ(actual, expected) << name;
}

}  // namespace

// A page of the Python documentation as shipped by Debian, loaded as the program loads it: a
// UTF-8 file read as ANSI, then the ten steps.
TEST_P(WordListStageSetTest, RealDocumentEndToEnd) {
    TRUKConvertCharEncodingThread loader(EngineTestDataPath("copyright.html"));
    loader.Resume();
    loader.WaitFor();
    ASSERT_EQ(static_cast<DWORD>(loader.ReturnValue()), RUK_LOADED_ANSI_TEXT);
    ASSERT_GT(loader.ConvertedText().size(), 5000u);

    const WorkerRun run = RunWorker(GetParam(), loader.ConvertedText(), "and\r\nthe\r\nfor\r\n");
    EXPECT_TRUE(run.deliveriesConsistent);
    EXPECT_EQ(run.fatalMessage, "");
    EXPECT_EQ(run.title, "Copyright &#8212; Python 3.11.2 documentation");
    ExpectFile("copyright.events.txt", JoinEscapedLines(run.events));
    ExpectFile("copyright.text.txt", run.text);
    ExpectFile("copyright.words.txt", WordLines(run.words));
}
