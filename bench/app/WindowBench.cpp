// A whole assignment through the real main window: the document is selected through the open
// dialog (answered here), loaded into the source pane, and run with a page in view, as a user
// sees it. Meanwhile a watcher thread asks the window for a WM_NULL answer every 10 ms and
// keeps the longest wait.
//
//   WindowBench [--tags N] [--file PATH]... [--page log|source|stripped|words] [--no-check]
//               [--runs N] [--one-line BYTES] [--cancel-after TAGS] [--large MB] [--close]
//
// It runs a generated manual-like document with N tags (50,000 by default; 0: none), then
// each file given, each --runs times in a row (the panes keep what each run adds).
// --one-line loads a generated document that is one line of BYTES (a minified page) and runs
// it; --cancel-after cancels each run once the worker has reported that many tags, then shows
// the Stripped Contents page; --large loads a generated document of MB megabytes; --close
// times closing the window at the end.
// For every run it prints the time of each phase (loading, the run, taking in the results, the
// pane in view and then all panes filling after the run has ended) with the longest answer
// time of the window in it,
// and the log lines (and whether every line the worker delivered is there).
#include "BenchWindow.h"
#include "Forms.h"
#include "RUKDynShlWAPI.h"
#include "RUKLexmillMain.h"
#include "RichEditControlText.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace ruk {
// The window's latest worker, so that the bench can tell when the run's results are taken in.
class TSDIAppFormTestAccess {
public:
    static TRUKGenWordListFromHTMLThread* WordListThread(TSDIAppForm& f) { return f.FWordListThread.get(); }
    static bool LoaderDelivered(TSDIAppForm& f) { return f.FConvertThreadDelivered; }
};
}  // namespace ruk

using namespace ruk;

namespace {

ruk::TRUKDynShlWAPIUnit GShlWAPIUnit;

class TRandom {
public:
    explicit TRandom(uint64_t seed) : FState(seed * 0x9E3779B97F4A7C15ull + 1) {}
    int Below(int n) {
        FState ^= FState >> 12;
        FState ^= FState << 25;
        FState ^= FState >> 27;
        return static_cast<int>(((FState * 0x2545F4914F6CDD1Dull) >> 33) % static_cast<uint64_t>(n));
    }

private:
    uint64_t FState;
};

// A manual of paragraphs and headings with inline markup, entities and CR LF line ends,
// holding exactly tagCount tags.
std::string MakeDocument(int tagCount) {
    TRandom rnd(2024);
    static const char* const syllables[] = {"ba", "ke", "lo", "mi", "nu", "ra", "se", "ti", "vo", "za",
                                            "chi", "dre", "fla", "gro", "pli", "str", "th", "qu"};
    std::vector<std::string> vocabulary;
    for (int i = 0; i < 3000; ++i) {
        std::string w;
        for (int k = 1 + rnd.Below(4); k > 0; --k) w += syllables[rnd.Below(18)];
        vocabulary.push_back(w);
    }
    static const char* const opens[] = {"<b>", "<i>", "<code class=\"literal\">", "<a href=\"page.html#s\">"};
    static const char* const closes[] = {"</b>", "</i>", "</code>", "</a>"};
    std::string doc = "<html>\r\n<head><title>Generated manual</title></head>\r\n<body>\r\n";
    int tags = 8;  // html, head, title, /title, /head, body and the closing /body, /html
    while (tags < tagCount) {
        const bool heading = rnd.Below(6) == 0;
        doc += heading ? "<h2>" : "<p>";
        tags += 2;
        for (int words = 8 + rnd.Below(40); words > 0; --words) {
            if (tags + 2 <= tagCount && rnd.Below(9) == 0) {
                const int k = rnd.Below(4);
                doc += opens[k];
                doc += vocabulary[static_cast<size_t>(rnd.Below(3000))];
                doc += closes[k];
                tags += 2;
            } else {
                doc += vocabulary[static_cast<size_t>(rnd.Below(rnd.Below(2) ? 60 : 3000))];
            }
            if (rnd.Below(30) == 0) doc += "&amp;";
            if (rnd.Below(8) == 0) doc += ",";
            doc += ' ';
        }
        doc += heading ? "</h2>\r\n" : ".</p>\r\n";
    }
    doc += "</body>\r\n</html>\r\n";
    return doc;
}

// A minified page: size bytes of markup without a line break.
std::string MakeOneLineDocument(size_t size) {
    TRandom rnd(77);
    std::string doc = "<html><head><title>One line</title></head><body>";
    static const char* const pieces[] = {"<div class=\"c\">", "</div>", "<span>", "</span>", "lorem ", "ipsum ",
                                         "dolor ", "sit&amp;amet ", "<a href=\"#x\">link</a> ", "consectetur "};
    while (doc.size() + 16 < size) doc += pieces[rnd.Below(10)];
    doc += "</body></html>";
    return doc;
}

std::string TempPath(const char* name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

void WriteFileOrDie(const std::string& path, const std::string& data) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD done = 0;
    if (f == INVALID_HANDLE_VALUE || !WriteFile(f, data.data(), static_cast<DWORD>(data.size()), &done, nullptr)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    CloseHandle(f);
}

double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// Handles messages (and so the worker's deliveries) until done holds.
template <class P>
void LoopUntil(P done) {
    while (!done()) Application->HandleMessage();
}

// The log a worker delivers over text, made on a run of its own with the window's line
// formats; the number of delivered lines in lines.
std::string ExpectedLog(const std::string& text, long& lines) {
    std::string log;
    lines = 0;
    auto add = [&](const std::string& line) {
        if (lines++ > 0) log += "\r\n";
        log += line;
    };
    TRUKGenWordListFromHTMLThread worker(text, "");
    worker.OnProgressNotification = [&](TRUKGenWordListFromHTMLThread*, const std::string& t) { add(t); };
    worker.OnTitleFound = [&](TRUKGenWordListFromHTMLThread*, const std::string& t) {
        add("The document title of the processed source file is : " + t);
    };
    worker.OnHTMLTagFound = [&](TRUKGenWordListFromHTMLThread*, const std::string& tag, int start, int end) {
        add("Opening and closing tag characters found at " + IntToStr(start) + " and " + IntToStr(end));
        add("Found tag is : " + tag);
    };
    worker.Resume();
    worker.WaitFor();
    return ruktest::WithCrLfBreaks(log);
}

// Each answer of the window to a probe: when the probe was sent and when the answer came.
struct TProbe {
    double Sent, Answered;
};

double LongestIn(const std::vector<TProbe>& answers, double from, double to) {
    double longest = 0;
    for (const TProbe& p : answers)
        if (p.Answered > from && p.Sent < to) longest = std::max(longest, p.Answered - p.Sent);
    return longest;
}

bool AnyPaneFilling(TSDIAppForm& form) {
    for (TRichEdit* pane : {form.HTMLSourceFileRichEdit1, form.StrippedContentsRichEdit1, form.DistinctWordsLisRichEdit1,
                            form.LogRichEdit1})
        if (pane->AppendPending()) return true;
    return false;
}

enum class TPage { Log, Source, Stripped, Words };

struct TOptions {
    TPage Page = TPage::Log;
    bool Check = true;
    int Runs = 1;
    int CancelAfterTags = 0;  // 0: every run goes to its end
};

void RunOne(TSDIAppForm* form, const std::string& label, const std::string& path, const TOptions& options) {
    struct TPageInView {
        TTabSheet* Sheet;
        TRichEdit* Pane;
        const char* Name;
    };
    const TPageInView inView = options.Page == TPage::Log      ? TPageInView{form->LogTabSheet1, form->LogRichEdit1, "Log"}
                               : options.Page == TPage::Source ? TPageInView{form->SourceFileTabSheet1, form->HTMLSourceFileRichEdit1, "Source"}
                               : options.Page == TPage::Words  ? TPageInView{form->DistinctWordsListTabSheet1, form->DistinctWordsLisRichEdit1, "Distinct Words List"}
                                                               : TPageInView{form->StrippedContentsTabSheet1, form->StrippedContentsRichEdit1, "Stripped Contents"};
    form->PageControl1->SetActivePage(inView.Sheet);
    Application->ProcessMessages();

    // While the document loads and the assignment runs, a watcher thread asks the window for
    // a WM_NULL answer every 10 ms.
    std::vector<TProbe> answers;
    answers.reserve(100000);
    std::atomic<bool> stop{false};
    // Set while the benchmark itself keeps the window's thread (its own reckoning of the
    // expected log): an answer that waited on that is not the program's and is not kept.
    std::atomic<int> ownWork{0};  // odd while it does
    const HWND window = form->Handle();
    std::thread watcher([&] {
        while (!stop.load()) {
            const double sent = Now();
            const int before = ownWork.load();
            DWORD_PTR result = 0;
            SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 600000, &result);
            if (before % 2 == 0 && ownWork.load() == before) answers.push_back({sent, Now()});
            Sleep(10);
        }
    });

    const double loadStart = Now();
    TOpenDialog::SetExecuteHook([&](TOpenDialog& d) {
        d.FileName = path;
        return true;
    });
    form->FileSelSourceFiles1->Execute();
    TOpenDialog::SetExecuteHook(nullptr);
    const double selected = Now();
    // The text is in once the loader has delivered it and the pane has nothing more to
    // append (reading the pane would make it complete its appends at once).
    TRichEdit* sourcePane = form->HTMLSourceFileRichEdit1;
    LoopUntil([&] { return TSDIAppFormTestAccess::LoaderDelivered(*form) && !sourcePane->AppendPending(); });
    const double loaded = Now();
    const std::string source = sourcePane->Text();

    std::printf("%-28s %7.1f MB source, %s page in view\n", label.c_str(), static_cast<double>(source.size()) / 1e6,
                inView.Name);
    std::printf("  selecting (panes cleared)    %7.2f s\n", selected - loadStart);
    std::printf("  loading into the source pane %7.2f s   longest WM_NULL answer %6.0f ms\n", loaded - loadStart,
                LongestIn(answers, loadStart, loaded) * 1000);
    std::fflush(stdout);

    const bool check = options.Check && options.CancelAfterTags == 0;
    long delivered = 0;
    ++ownWork;
    const std::string expectedLog = check ? ExpectedLog(source, delivered) : std::string();
    // A probe sent meanwhile is answered once the loop runs again.
    Application->ProcessMessages();
    ++ownWork;
    std::string expectedAll;
    for (int run = 1; run <= options.Runs; ++run) {
        const double start = Now();
        double resultsStart = 0, resultsEnd = 0;
        form->AssignmentRun1->Execute();
        // The worker waits for its first delivery until this thread handles it, so its end
        // cannot have come yet.
        TRUKGenWordListFromHTMLThread* worker = TSDIAppFormTestAccess::WordListThread(*form);
        TNotifyEvent takeResults = worker->OnTerminate;
        worker->OnTerminate = [&](TObject* sender) {
            resultsStart = Now();
            takeResults(sender);
            resultsEnd = Now();
        };
        if (options.CancelAfterTags > 0) {
            auto tagFound = worker->OnHTMLTagFound;
            auto tags = std::make_shared<int>(0);
            worker->OnHTMLTagFound = [form, tagFound, tags, limit = options.CancelAfterTags](
                                         TRUKGenWordListFromHTMLThread* t, const std::string& tag, int s, int e) {
                tagFound(t, tag, s, e);
                if (++*tags == limit) form->AssignmentCancel->Execute();
            };
        }
        LoopUntil([&] { return form->AssignmentRun1->Enabled(); });
        const double ended = Now();
        double stripped = 0;
        size_t strippedSize = 0;
        if (options.CancelAfterTags > 0) {
            // The stripped text of a cancelled run is one long line: the user looks at it.
            form->PageControl1->SetActivePage(form->StrippedContentsTabSheet1);
            Application->ProcessMessages();
            const double before = Now();
            strippedSize = form->StrippedContentsRichEdit1->Text().size();
            stripped = Now() - before;
        }
        TRichEdit* const paneInView = options.CancelAfterTags > 0 ? form->StrippedContentsRichEdit1 : inView.Pane;
        LoopUntil([&] { return !paneInView->AppendPending(); });
        const double inViewFilled = Now();
        LoopUntil([&] { return !AnyPaneFilling(*form); });
        const double filled = Now();
        if (run > 1) std::printf("  run %d in a row\n", run);
        std::printf("  run until the results        %7.2f s   longest WM_NULL answer %6.0f ms\n", resultsStart - start,
                    LongestIn(answers, start, resultsStart) * 1000);
        std::printf("  taking in the results        %7.2f s   longest WM_NULL answer %6.0f ms  (termination handler)\n",
                    resultsEnd - resultsStart, LongestIn(answers, resultsStart, resultsEnd) * 1000);
        std::printf("  time to the end of the run   %7.2f s   (Run enabled again)\n", ended - start);
        if (options.CancelAfterTags > 0)
            std::printf("  stripped text read           %7.2f s   (%zu characters; cancelled after %d tags)\n",
                        stripped, strippedSize, options.CancelAfterTags);
        std::printf("  pane in view filled          %7.2f s   longest WM_NULL answer %6.0f ms  (after the end of the run)\n",
                    inViewFilled - ended, LongestIn(answers, ended, inViewFilled) * 1000);
        std::printf("  panes filled                 %7.2f s   longest WM_NULL answer %6.0f ms  (after the end of the run)\n",
                    filled - ended, LongestIn(answers, ended, filled) * 1000);
        if (check) {
            if (!expectedAll.empty()) expectedAll += "\r\n";
            expectedAll += expectedLog;
        }
        std::fflush(stdout);
    }
    stop.store(true);
    // A probe on its way waits for the window, which is still ours to run.
    {
        const double until = Now() + 0.1;
        while (Now() < until) Application->ProcessMessages();
    }
    watcher.join();

    const long logLines = form->LogRichEdit1->Lines().Count();
    const long words = form->DistinctWordsListView1->Items().Count();
    std::printf("  log lines                    %7ld", logLines);
    if (check) {
        // What the control holds is checked against the text too (a window of it, where the
        // pane shows one).
        const bool same = ruktest::WithCrLfBreaks(form->LogRichEdit1->Text()) == expectedAll &&
                          ruktest::ControlText(*form->LogRichEdit1) == form->LogRichEdit1->Text();
        std::printf("  (%ld delivered a run; the log %s)", delivered,
                    same ? "holds every one of them, in order" : "DIFFERS from what was delivered");
    }
    std::printf("\n  distinct words               %7ld\n", words);
    std::printf("  longest WM_NULL answer, all  %7.0f ms  (%zu probes)\n", LongestIn(answers, 0, 1e300) * 1000,
                answers.size());
    if (std::getenv("RUK_BENCH_TIMELINE")) {
        std::vector<TProbe> top = answers;
        std::sort(top.begin(), top.end(),
                  [](const TProbe& a, const TProbe& b) { return a.Answered - a.Sent > b.Answered - b.Sent; });
        for (size_t i = 0; i < top.size() && i < 8; ++i)
            std::printf("    %6.0f ms at %6.2f s\n", (top[i].Answered - top[i].Sent) * 1000, top[i].Sent - loadStart);
    }
    std::fflush(stdout);
}

// A generated document in a file of its own, run as a user would, then removed.
void RunGenerated(TSDIAppForm* form, const std::string& label, const std::string& text, const TOptions& options) {
    const std::string path = TempPath("ruk window bench.htm");
    WriteFileOrDie(path, text);
    RunOne(form, label, path, options);
    DeleteFileA(path.c_str());
}

// The window goes, then the program ends (the script times the process to its end).
double CloseWindow(TSDIAppForm* form) {
    const double start = Now();
    form->Free();
    Application->ProcessMessages();
    return Now() - start;
}

}  // namespace

int main(int argc, char** argv) {
    int tags = 50000;
    std::vector<std::string> files;
    TOptions options;
    size_t oneLine = 0, largeMb = 0;
    bool close = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--tags" && i + 1 < argc) tags = std::atoi(argv[++i]);
        else if (a == "--file" && i + 1 < argc) files.push_back(argv[++i]);
        else if (a == "--page" && i + 1 < argc) {
            const std::string page = argv[++i];
            options.Page = page == "source"     ? TPage::Source
                           : page == "stripped" ? TPage::Stripped
                           : page == "words"    ? TPage::Words
                                                : TPage::Log;
        }
        else if (a == "--no-check") options.Check = false;
        else if (a == "--runs" && i + 1 < argc) options.Runs = std::max(1, std::atoi(argv[++i]));
        else if (a == "--one-line" && i + 1 < argc) oneLine = static_cast<size_t>(std::atol(argv[++i]));
        else if (a == "--cancel-after" && i + 1 < argc) options.CancelAfterTags = std::atoi(argv[++i]);
        else if (a == "--large" && i + 1 < argc) largeMb = static_cast<size_t>(std::atol(argv[++i]));
        else if (a == "--close") close = true;
        else {
            std::fprintf(stderr,
                         "usage: WindowBench [--tags N] [--file PATH]... [--page log|source] [--no-check] [--runs N]\n"
                         "                   [--one-line BYTES] [--cancel-after TAGS] [--large MB] [--close]\n");
            return 2;
        }
    }
    // Each run starts as a first start does, without settings. One window for every run, as a
    // user works: each selection clears what the run before left in the panes.
    TSDIAppForm* form = bench::OpenFirstStartWindow();
    Application->ProcessMessages();
    if (tags > 0) RunGenerated(form, "generated, " + std::to_string(tags) + " tags", MakeDocument(tags), options);
    if (oneLine > 0) RunGenerated(form, "one line of " + std::to_string(oneLine) + " bytes", MakeOneLineDocument(oneLine), options);
    if (largeMb > 0) {
        std::string doc;
        while (doc.size() < largeMb * 1000000) doc += MakeDocument(50000);
        RunGenerated(form, "large, " + std::to_string(largeMb) + " MB", doc, options);
    }
    for (const std::string& f : files) {
        std::string name = f;
        const size_t slash = name.find_last_of("\\/");
        if (slash != std::string::npos) name = name.substr(slash + 1);
        RunOne(form, name, f, options);
    }
    const double closing = CloseWindow(form);
    if (close) std::printf("closing the window           %7.2f s\n", closing);
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\RUK\\Lexmill");
    std::fflush(stdout);
    return 0;
}
