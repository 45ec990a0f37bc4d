// Shared by the tests of the word-list stages and the word-list worker: a recording stage
// host, a worker run with every event recorded, and a table of documents with their complete
// expected runs. Everything runs a given stage set, so that each implementation of the stages
// is held to the same tables:
//
//   INSTANTIATE_TEST_SUITE_P(Literal, WordListStageSetTest, ::testing::Values(&LiteralWordListStages));
#pragma once

#include "Classes.h"
#include "RUKGenWordListFromHTMLThreads.h"
#include "RUKWordListStages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace ruk::test {

// ---------------------------------------------------------------- display

// Printable form of a byte string: C escapes for line ends, tabs, backslashes and every byte
// outside 32..126.
inline std::string Escaped(const std::string& s) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : s) {
        const unsigned char b = static_cast<unsigned char>(ch);
        if (ch == '\\') out += "\\\\";
        else if (ch == '\r') out += "\\r";
        else if (ch == '\n') out += "\\n";
        else if (ch == '\t') out += "\\t";
        else if (b < 32 || b > 126) {
            out += "\\x";
            out += hex[b >> 4];
            out += hex[b & 15];
        } else out += ch;
    }
    return out;
}

// ---------------------------------------------------------------- events

inline std::string ProgressEvent(const std::string& text) { return "progress: " + text; }
inline std::string TitleEvent(const std::string& title) { return "title: " + title; }
inline std::string TagEvent(const std::string& tag, int startPos, int endPos) {
    return "tag " + std::to_string(startPos) + "," + std::to_string(endPos) + ": " + tag;
}
inline const std::string CheckEvent = "check";

// The sixteen stage texts, in the order of a complete run.
inline const std::vector<std::string>& StageTexts() {
    static const std::vector<std::string> texts = {
        "Style sheet sections removed.",
        "Script sections removed.",
        "Carriage return and line feeds removed.",
        "Starting to remove comments.",
        "Comments removed.",
        "Starting to retrieve title.",
        "Starting to remove HTML tags.",
        "HTML tags removed.",
        "HTML special character notations replaced.",
        "Starting to generate word list.",
        "Removing words to suppress/ignore.",
        "Word list completed.",
        "Starting to remove redundant blanks and empty lines from stripped text.",
        "Redundant blanks and empty lines removed from stripped text.",
        "Starting to count word occurrences.",
        "Word count completed.",
    };
    return texts;
}

// What a run of all ten steps delivers with every handler assigned: the removed sections of
// steps 1, 2 and 4, the title of step 5 and the tags of step 6 at their places among the stage
// texts. Tags are given as TagEvent texts.
struct ExpectedFindings {
    std::vector<std::string> styleSheets = {};
    std::vector<std::string> scripts = {};
    std::vector<std::string> comments = {};
    std::optional<std::string> title = {};
    std::vector<std::string> tags = {};
};

inline std::vector<std::string> CompleteRunEvents(const ExpectedFindings& f) {
    const std::vector<std::string>& t = StageTexts();
    std::vector<std::string> events;
    auto progress = [&](const std::string& s) { events.push_back(ProgressEvent(s)); };
    for (const auto& s : f.styleSheets) progress(s);
    progress(t[0]);
    for (const auto& s : f.scripts) progress(s);
    progress(t[1]);
    progress(t[2]);
    progress(t[3]);
    for (const auto& s : f.comments) progress(s);
    progress(t[4]);
    progress(t[5]);
    if (f.title) events.push_back(TitleEvent(*f.title));
    progress(t[6]);
    for (const auto& s : f.tags) events.push_back(s);
    for (size_t i = 7; i < t.size(); ++i) progress(t[i]);
    return events;
}

// ---------------------------------------------------------------- stage host

// Records what the stages deliver, in the worker's event texts. The stages' tests of the
// terminate flag are counted (and recorded as CheckEvent when RecordChecks is set); from the
// TerminateAtCheck-th test on they answer true.
class RecordingStageHost : public TWordListStageHost {
public:
    std::vector<std::string> Events;
    int Checks = 0;
    int TerminateAtCheck = 0;  // 0: never
    bool RecordChecks = false;

    bool StageTerminated() override {
        ++Checks;
        if (RecordChecks) Events.push_back(CheckEvent);
        return TerminateAtCheck > 0 && Checks >= TerminateAtCheck;
    }
    void ReportSection(const std::string& section) override { Events.push_back(ProgressEvent(section)); }
    void ReportTitle(const std::string& title) override { Events.push_back(TitleEvent(title)); }
    void ReportTag(const std::string& tag, int startPos, int endPos) override {
        Events.push_back(TagEvent(tag, startPos, endPos));
    }
};

// ---------------------------------------------------------------- word lists

using WordCounts = std::vector<std::pair<std::string, std::intptr_t>>;

inline WordCounts WordsOf(const TStringList& list) {
    WordCounts words;
    for (int i = 0; i < list.Count(); ++i) words.emplace_back(list[i], list.Integers(i));
    return words;
}

inline TStringList SortedList(const std::vector<std::string>& entries) {
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(TDuplicates::dupIgnore);
    for (const auto& e : entries) list.Add(e);
    return list;
}

// ---------------------------------------------------------------- worker runs

struct WorkerRun {
    std::vector<std::string> events;
    std::string text;
    std::string title;
    WordCounts words;
    std::string fatalMessage;     // "" when Execute ended normally
    bool terminateHandlerRan = false;
    // Every handler ran on the user-interface thread and saw the delivered values in the
    // worker's fields.
    bool deliveriesConsistent = true;

    bool operator==(const WorkerRun&) const = default;
};

inline void PrintTo(const WorkerRun& run, std::ostream* os) {
    *os << "\n  text: \"" << Escaped(run.text) << "\"\n  title: \"" << Escaped(run.title)
        << "\"\n  words:";
    for (const auto& [w, n] : run.words) *os << " \"" << Escaped(w) << "\"=" << n;
    *os << "\n  fatal: \"" << run.fatalMessage << "\" terminated: " << run.terminateHandlerRan
        << " consistent: " << run.deliveriesConsistent << "\n  events:";
    for (const auto& e : run.events) *os << "\n    " << Escaped(e);
}

struct WorkerOptions {
    bool assignHandlers = true;
    bool terminateBeforeStart = false;
    // Runs on the user-interface thread after each recorded event (it may terminate the worker
    // or raise).
    std::function<void(TRUKGenWordListFromHTMLThread& worker, const std::string& event)> afterEvent = {};
};

// Creates a worker over source and suppress with the given stages, resumes it, waits for it
// (running its deliveries on this, the user-interface thread) and collects what it left.
inline WorkerRun RunWorker(const TWordListStageSet* stages, const std::string& source,
                           const std::string& suppress, const WorkerOptions& options = {}) {
    WorkerRun run;
    auto worker = std::make_unique<TRUKGenWordListFromHTMLThread>(source, suppress, stages);
    TRUKGenWordListFromHTMLThread* self = worker.get();
    auto record = [&run, &options, self](TRUKGenWordListFromHTMLThread* athread, std::string event,
                                         bool fieldsMatch) {
        if (athread != self || GetCurrentThreadId() != MainThreadID() || !fieldsMatch)
            run.deliveriesConsistent = false;
        run.events.push_back(event);
        if (options.afterEvent) options.afterEvent(*athread, event);
    };
    if (options.assignHandlers) {
        worker->OnProgressNotification = [record](TRUKGenWordListFromHTMLThread* athread,
                                                  const std::string& aprogresstxt) {
            record(athread, ProgressEvent(aprogresstxt), athread->ProgressTxt() == aprogresstxt);
        };
        worker->OnTitleFound = [record](TRUKGenWordListFromHTMLThread* athread, const std::string& atitle) {
            record(athread, TitleEvent(atitle), athread->Title() == atitle);
        };
        worker->OnHTMLTagFound = [record](TRUKGenWordListFromHTMLThread* athread, const std::string& atagstr,
                                          const int atagstartpos, const int atagendpos) {
            record(athread, TagEvent(atagstr, atagstartpos, atagendpos),
                   athread->TagStr() == atagstr && athread->TagStartPos() == atagstartpos &&
                       athread->TagEndPos() == atagendpos);
        };
    }
    worker->OnTerminate = [&run](TObject*) {
        run.terminateHandlerRan = true;
        if (GetCurrentThreadId() != MainThreadID()) run.deliveriesConsistent = false;
    };
    if (options.terminateBeforeStart) worker->Terminate();
    worker->Resume();
    worker->WaitFor();
    run.text = worker->Text();
    run.title = worker->Title();
    run.words = WordsOf(worker->WordList());
    run.fatalMessage = worker->FatalExceptionMessage();
    // A finished run leaves no tag in hand.
    if (worker->TagStr() != "" || (worker->TagStartPos() != -1 && worker->TagStartPos() != 0))
        run.deliveriesConsistent = false;
    return run;
}

// The run a document is expected to give with every handler assigned.
inline WorkerRun CompletedRun(std::vector<std::string> events, std::string text, std::string title,
                              WordCounts words) {
    WorkerRun run;
    run.events = std::move(events);
    run.text = std::move(text);
    run.title = std::move(title);
    run.words = std::move(words);
    run.terminateHandlerRan = true;
    return run;
}

// ---------------------------------------------------------------- documents

struct WordListDocumentCase {
    std::string name;
    std::string source;
    std::string suppress;
    WorkerRun expected;
};

inline void PrintTo(const WordListDocumentCase& c, std::ostream* os) { *os << c.name; }

// Small documents with every event of a complete run worked out by hand.
inline const std::vector<WordListDocumentCase>& WordListDocumentCases() {
    static const std::vector<WordListDocumentCase> cases = {
        {
            "MinimalPage",
            "<html>\r\n<head><title>My Page</title>\r\n<style>p {color: red}</style>\r\n</head>\r\n"
            "<body><p>Hello, world!</p></body>\r\n</html>\r\n",
            "",
            CompletedRun(CompleteRunEvents({
                             .styleSheets = {"<style>p {color: red}</style>"},
                             .title = "My Page",
                             .tags = {TagEvent("<html>", 1, 6), TagEvent("<head>", 4, 9),
                                      TagEvent("<title>", 5, 11), TagEvent("</title>", 13, 20),
                                      TagEvent("</head>", 18, 24), TagEvent("<body>", 21, 26),
                                      TagEvent("<p>", 22, 24), TagEvent("</p>", 36, 39),
                                      TagEvent("</body>", 37, 43), TagEvent("</html>", 40, 46)},
                         }),
                         // The blanks left by the tags: an odd run leaves one blank in front.
                         " My Page\r\nHello, world!\r\n", "My Page",
                         {{"Hello", 1}, {"My", 1}, {"Page", 1}, {"world", 1}}),
        },
        {
            // A comment inside a script goes with the script; entities are replaced after the
            // tags, so the title keeps them; the suppress list ignores case and repeats.
            "ScriptCommentEntitiesSuppress",
            "<head><title>Caf&eacute; &amp; Bar</title>\r\n<script>var s = \"<!-- x -->\";</script></head>\r\n"
            "<body><!-- menu -->\r\n<h1>Caf&eacute; &amp; Bar</h1>\r\n"
            "<p>The caf&eacute; opens at 9&nbsp;&nbsp;am.</p></body>",
            "the\r\nAT\r\nthe\r\n",
            CompletedRun(CompleteRunEvents({
                             .scripts = {"<script>var s = \"<!-- x -->\";</script>"},
                             .comments = {"<!-- menu -->"},
                             .title = "Caf&eacute; &amp; Bar",
                             .tags = {TagEvent("<head>", 1, 6), TagEvent("<title>", 2, 8),
                                      TagEvent("</title>", 24, 31), TagEvent("</head>", 27, 33),
                                      TagEvent("<body>", 30, 35), TagEvent("<h1>", 33, 36),
                                      TagEvent("</h1>", 55, 59), TagEvent("<p>", 58, 60),
                                      TagEvent("</p>", 100, 103), TagEvent("</body>", 101, 107)},
                         }),
                         "Caf\xE9 & Bar\r\nCaf\xE9 & Bar\r\nThe caf\xE9 opens at 9\r\nam.\r\n",
                         "Caf&eacute; &amp; Bar",
                         // "caf\xE9" is the same entry as "Caf\xE9" but not counted with it.
                         {{"&", 2}, {"9", 1}, {"am", 1}, {"Bar", 2}, {"Caf\xE9", 2}, {"opens", 1}}),
        },
        {
            // A '<' without its own '>' swallows text up to the next '>'; an unclosed comment
            // and a '<' without any '>' after it stay.
            "UnclosedMarkup",
            "<p>a < b and x<y</p>\r\n<!-- note",
            "",
            CompletedRun(CompleteRunEvents({
                             .tags = {TagEvent("<p>", 1, 3), TagEvent("< b and x<y</p>", 4, 18)},
                         }),
                         " a\r\n<!-- note\r\n", "", {{"<!--", 1}, {"a", 1}, {"note", 1}}),
        },
        {
            // Tabs become three blanks and "&nbsp;" a blank; the list keeps the first spelling
            // and the count only the occurrences in that spelling; a one-character last word is
            // no word.
            "SpellingsTabsAndBlanks",
            "<b>Word</b>\tword&nbsp;&nbsp;WORD x",
            "",
            CompletedRun(CompleteRunEvents({
                             .tags = {TagEvent("<b>", 1, 3), TagEvent("</b>", 6, 9)},
                         }),
                         " Word\r\nword\r\nWORD x\r\n", "", {{"Word", 1}}),
        },
        {
            "EmptySource",
            "",
            "",
            CompletedRun(CompleteRunEvents({}), "", "", {}),
        },
    };
    return cases;
}

// ---------------------------------------------------------------- fixture

// Parameter: the stage set under test.
class WordListStageSetTest : public ::testing::TestWithParam<const TWordListStageSet*> {
protected:
    const TWordListStageSet& Stages() const { return *GetParam(); }
};

}  // namespace ruk::test
