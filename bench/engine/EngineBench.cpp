// Throughput of the word-list worker: the whole ten-step run over generated documents and over
// the Python documentation, with the fast stages and with the literal ones, without handlers
// and with handlers that count every event through Synchronize on this (the user-interface)
// thread. Peak memory is measured in a child process per input, so that one run does not
// inherit the peak of another. Last, the handler runs again with Synchronize's waits without
// sleeping and without them, in turns.
//
//   EngineBench [--corpus DIR] [--sizes 0.1,1,10,50] [--literal-limit SECONDS] [--handler-limit SECONDS]
//
// A run whose estimated time (from the run of the next smaller size) exceeds its limit is
// skipped: the literal stages grow with the square of the size, the handler runs with the
// number of events.
//   EngineBench --peak generated|corpus MB [--corpus DIR]      (the child)
#include "Threads.h"
#include "RUKGenWordListFromHTMLThreads.h"
#include "RUKWordListStages.h"
#include "SysUtils.h"
#include "XorShiftRandom.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace ruk;
using ruk::test::TRandom;

namespace {

// ---------------------------------------------------------------- inputs


// Documents that look like a manual: paragraphs of words of a skewed vocabulary with
// punctuation, inline markup with attributes, entities, now and then a comment, a style sheet
// or a script, and lines ended by CR LF.
class TManualGenerator {
public:
    explicit TManualGenerator(uint64_t seed) : FRnd(seed) {
        static const char syllables[][4] = {"ba", "ke", "lo", "mi", "nu", "ra", "se", "ti", "vo", "za",
                                            "chi", "dre", "fla", "gro", "pli", "str", "th", "qu", "x", "\xE9"};
        for (int i = 0; i < 4000; ++i) {
            std::string w;
            const int n = 1 + FRnd.Below(4);
            for (int k = 0; k < n; ++k) w += syllables[FRnd.Below(20)];
            if (FRnd.Below(10) == 0 && w[0] >= 'a' && w[0] <= 'z') w[0] = static_cast<char>(w[0] - 32);
            FVocabulary.push_back(w);
        }
    }

    std::string Make(size_t size) {
        std::string out;
        out.reserve(size + 4096);
        out += "<html>\r\n<head><title>Generated manual</title>\r\n"
               "<style type=\"text/css\">body { margin: 0 }</style>\r\n</head>\r\n<body>\r\n";
        while (out.size() < size) Paragraph(out);
        out += "</body>\r\n</html>\r\n";
        out.resize(size);
        return out;
    }

private:
    const std::string& Word() {
        // Skewed: a few words very often, most rarely.
        const int r = FRnd.Below(1000);
        const int index = r < 500 ? FRnd.Below(50) : r < 850 ? FRnd.Below(500) : FRnd.Below(4000);
        return FVocabulary[static_cast<size_t>(index)];
    }

    void Paragraph(std::string& out) {
        static const char* const inlineOpen[] = {"<b>", "<i>", "<code class=\"literal\">",
                                                 "<a href=\"page.html#anchor\">", "<span class=\"pre\">"};
        static const char* const inlineClose[] = {"</b>", "</i>", "</code>", "</a>", "</span>"};
        static const char* const entities[] = {"&amp;", "&lt;", "&gt;", "&quot;", "&nbsp;", "&eacute;", "&copy;"};
        static const char* const punctuation[] = {",", ".", ";", ":", "!", "?", ")", "\""};
        const int kind = FRnd.Below(40);
        if (kind == 0) {
            out += "<!-- generated section ";
            out += Word();
            out += " -->\r\n";
            return;
        }
        if (kind == 1) {
            out += "<script type=\"text/javascript\">var x = 1; // ";
            out += Word();
            out += "\r\n</script>\r\n";
            return;
        }
        out += FRnd.Below(5) == 0 ? "<h2>" : "<p>";
        const int words = 10 + FRnd.Below(80);
        int open = -1;
        for (int i = 0; i < words; ++i) {
            if (open < 0 && FRnd.Below(12) == 0) {
                open = FRnd.Below(5);
                out += inlineOpen[open];
            }
            if (FRnd.Below(15) == 0) out += "(";
            out += Word();
            if (FRnd.Below(25) == 0) out += entities[FRnd.Below(7)];
            if (open >= 0 && FRnd.Below(4) == 0) {
                out += inlineClose[open];
                open = -1;
            }
            if (FRnd.Below(8) == 0) out += punctuation[FRnd.Below(8)];
            out += FRnd.Below(12) == 0 ? "\r\n" : " ";
        }
        if (open >= 0) out += inlineClose[open];
        out += "</p>\r\n";
    }

    TRandom FRnd;
    std::vector<std::string> FVocabulary;
};

void CollectFiles(const std::string& dir, std::vector<std::string>& files) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    std::vector<std::string> subdirs;
    do {
        const std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) subdirs.push_back(dir + "\\" + name);
        else if (name.size() > 5 && name.compare(name.size() - 5, 5, ".html") == 0) files.push_back(dir + "\\" + name);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    for (const auto& d : subdirs) CollectFiles(d, files);
}

bool AppendFile(const std::string& name, std::string& out, size_t limit) {
    HANDLE h = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    char buffer[1 << 16];
    DWORD n = 0;
    while (out.size() < limit && ReadFile(h, buffer, sizeof buffer, &n, nullptr) && n > 0)
        out.append(buffer, std::min<size_t>(n, limit - out.size()));
    CloseHandle(h);
    return true;
}

// The pages of the corpus one after the other, in path order, cut at the size.
std::string CorpusInput(const std::string& dir, size_t size) {
    std::vector<std::string> files;
    CollectFiles(dir, files);
    std::sort(files.begin(), files.end());
    std::string out;
    out.reserve(size);
    for (const auto& f : files) {
        if (out.size() >= size) break;
        AppendFile(f, out, size);
    }
    return out;
}

std::string MakeInput(const std::string& source, size_t size, const std::string& corpusDir) {
    if (source == "corpus") return CorpusInput(corpusDir, size);
    return TManualGenerator(42).Make(size);
}

// The Synchronize comparison: input size and rounds.
constexpr double SpinMegabytes = 1;
constexpr int SpinRounds = 3;

const char* const SuppressWords = "the\r\na\r\nof\r\nand\r\nto\r\nin\r\nis\r\nba\r\nke\r\n";

// ---------------------------------------------------------------- runs

double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

struct TRun {
    double seconds = 0;
    long long events = 0;
    std::string text;
    std::vector<std::pair<std::string, intptr_t>> words;
};

TRun RunWorker(const std::string& input, const TWordListStageSet* stages, bool handlers) {
    TRun run;
    TRUKGenWordListFromHTMLThread worker(input, SuppressWords, stages);
    long long events = 0;
    if (handlers) {
        worker.OnProgressNotification = [&events](TRUKGenWordListFromHTMLThread*, const std::string&) { ++events; };
        worker.OnTitleFound = [&events](TRUKGenWordListFromHTMLThread*, const std::string&) { ++events; };
        worker.OnHTMLTagFound = [&events](TRUKGenWordListFromHTMLThread*, const std::string&, int, int) { ++events; };
    }
    const double start = Now();
    worker.Resume();
    worker.WaitFor();
    run.seconds = Now() - start;
    run.events = events;
    run.text = worker.Text();
    for (int i = 0; i < worker.WordList().Count(); ++i)
        run.words.emplace_back(worker.WordList()[i], worker.WordList().Integers(i));
    return run;
}

size_t PeakPrivateBytes() {
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc)) return 0;
    return std::max(pmc.PeakPagefileUsage, pmc.PeakWorkingSetSize);
}

// The child: one fast run without handlers, then its peak memory on stdout.
int PeakChild(const std::string& source, double megabytes, const std::string& corpusDir) {
    const size_t size = static_cast<size_t>(megabytes * 1e6);
    const size_t before = PeakPrivateBytes();
    std::string input = MakeInput(source, size, corpusDir);
    const size_t withInput = PeakPrivateBytes();
    RunWorker(input, &FastWordListStages, false);
    const size_t peak = PeakPrivateBytes();
    std::printf("%zu %zu %zu %zu\n", input.size(), before, withInput, peak);
    return 0;
}

// Runs this program as a child for the peak memory of one fast run; false when it failed.
bool MeasurePeak(const std::string& source, double megabytes, const std::string& corpusDir, size_t& inputSize,
                 size_t& baseline, size_t& peak) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string cmd = Format("\"%s\" --peak %s %g --corpus \"%s\"", self, source.c_str(), megabytes,
                             corpusDir.c_str());
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return false;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi{};
    const BOOL ok = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(writeEnd);
    if (!ok) {
        CloseHandle(readEnd);
        return false;
    }
    std::string out;
    char buffer[256];
    DWORD n = 0;
    while (ReadFile(readEnd, buffer, sizeof buffer, &n, nullptr) && n > 0) out.append(buffer, n);
    WaitForSingleObject(pi.hProcess, INFINITE);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    CloseHandle(readEnd);
    size_t before = 0, withInput = 0;
    if (std::sscanf(out.c_str(), "%zu %zu %zu %zu", &inputSize, &before, &withInput, &peak) != 4) return false;
    baseline = before;
    return true;
}

std::vector<double> ParseSizes(const std::string& s) {
    std::vector<double> sizes;
    size_t from = 0;
    while (from <= s.size()) {
        size_t comma = s.find(',', from);
        if (comma == std::string::npos) comma = s.size();
        if (comma > from) sizes.push_back(std::atof(s.substr(from, comma - from).c_str()));
        from = comma + 1;
    }
    return sizes;
}

struct TRow {
    std::string source;
    double megabytes = 0;
    std::string path;
    bool handlers = false;
    bool ran = false;
    double seconds = 0;
    long long events = 0;
    size_t bytes = 0;
};

void PrintRow(const TRow& r) {
    if (!r.ran) {
        std::printf("%-9s %7.1f  %-7s %-8s %10s %10s %10s %12s\n", r.source.c_str(), r.megabytes, r.path.c_str(),
                    r.handlers ? "counting" : "none", "skipped", "-", "-", "-");
    } else {
        const double mbs = static_cast<double>(r.bytes) / 1e6 / r.seconds;
        std::printf("%-9s %7.1f  %-7s %-8s %10.3f %10.1f %10lld %12.0f\n", r.source.c_str(), r.megabytes,
                    r.path.c_str(), r.handlers ? "counting" : "none", r.seconds, mbs, r.events,
                    r.handlers && r.seconds > 0 ? static_cast<double>(r.events) / r.seconds : 0.0);
    }
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    std::string corpusDir = "Z:\\usr\\share\\doc\\python3.11\\html";
    std::string sizesText = "0.1,1,10,50";
    double literalLimit = 60;
    double handlerLimit = 120;
    std::string peakSource;
    double peakMegabytes = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--corpus" && i + 1 < argc) corpusDir = argv[++i];
        else if (a == "--sizes" && i + 1 < argc) sizesText = argv[++i];
        else if (a == "--literal-limit" && i + 1 < argc) literalLimit = std::atof(argv[++i]);
        else if (a == "--handler-limit" && i + 1 < argc) handlerLimit = std::atof(argv[++i]);
        else if (a == "--peak" && i + 2 < argc) {
            peakSource = argv[++i];
            peakMegabytes = std::atof(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: EngineBench [--corpus DIR] [--sizes 0.1,1,10,50] [--literal-limit S] "
                                 "[--handler-limit S]\n");
            return 2;
        }
    }
    if (!peakSource.empty()) return PeakChild(peakSource, peakMegabytes, corpusDir);

    const std::vector<double> sizes = ParseSizes(sizesText);
    std::printf("Word-list worker, whole ten-step run (MB = 10^6 bytes); corpus: %s\n\n", corpusDir.c_str());
    std::printf("%-9s %7s  %-7s %-8s %10s %10s %10s %12s\n", "input", "MB", "stages", "handlers", "seconds",
                "MB/s", "events", "events/s");
    std::vector<TRow> rows;
    bool allIdentical = true;
    for (const std::string source : {"generated", "corpus"}) {
        double literalSeconds = 0, literalAt = 0;  // the last literal run, for the estimate
        double handlerSeconds = 0, handlerAt = 0;  // the last fast run with handlers
        {
            // A small probe run gives the first estimate of the literal stages' time.
            const std::string probe = MakeInput(source, 20000, corpusDir);
            literalSeconds = RunWorker(probe, &LiteralWordListStages, false).seconds;
            literalAt = static_cast<double>(probe.size());
        }
        for (const double mb : sizes) {
            const std::string input = MakeInput(source, static_cast<size_t>(mb * 1e6), corpusDir);
            if (input.empty()) {
                std::printf("%-9s %7.1f  no input (is the corpus installed? scripts/setup)\n", source.c_str(), mb);
                continue;
            }
            TRun fastRuns[2];
            bool fastRan[2] = {false, false};
            for (const bool handlers : {false, true}) {
                const bool fits = !handlers || handlerAt == 0 ||
                                  handlerSeconds * static_cast<double>(input.size()) / handlerAt <= handlerLimit;
                TRow row{source, mb, "fast", handlers, fits, 0, 0, input.size()};
                if (fits) {
                    TRun run = RunWorker(input, &FastWordListStages, handlers);
                    row.seconds = run.seconds;
                    row.events = run.events;
                    if (handlers) {
                        handlerSeconds = run.seconds;
                        handlerAt = static_cast<double>(input.size());
                    }
                    fastRuns[handlers ? 1 : 0] = std::move(run);
                    fastRan[handlers ? 1 : 0] = true;
                }
                PrintRow(row);
                rows.push_back(row);
            }
            // The literal stages grow with the square of the size; run them only when the
            // estimate from the last run stays within the limit.
            const double ratio = static_cast<double>(input.size()) / literalAt;
            const bool literalFits = literalSeconds * ratio * ratio <= literalLimit;
            for (const bool handlers : {false, true}) {
                // Compared with the fast run, so only where that ran.
                TRow row{source, mb, "literal", handlers, literalFits && fastRan[handlers ? 1 : 0], 0, 0,
                         input.size()};
                if (row.ran) {
                    const TRun run = RunWorker(input, &LiteralWordListStages, handlers);
                    row.seconds = run.seconds;
                    row.events = run.events;
                    const TRun& fast = fastRuns[handlers ? 1 : 0];
                    if (run.text != fast.text || run.words != fast.words || run.events != fast.events) {
                        allIdentical = false;
                        std::printf("  results of the fast and the literal stages differ!\n");
                    }
                    if (!handlers) {
                        literalSeconds = run.seconds;
                        literalAt = static_cast<double>(input.size());
                    }
                }
                PrintRow(row);
                rows.push_back(row);
            }
        }
    }

    auto find = [&](const std::string& source, double mb, const std::string& path, bool handlers) -> const TRow* {
        for (const TRow& r : rows)
            if (r.source == source && r.megabytes == mb && r.path == path && r.handlers == handlers && r.ran) return &r;
        return nullptr;
    };
    std::printf("\nfast/literal (time of the literal stages / time of the fast ones):\n");
    for (const std::string source : {"generated", "corpus"}) {
        for (const double mb : sizes) {
            for (const bool handlers : {false, true}) {
                const TRow* f = find(source, mb, "fast", handlers);
                const TRow* l = find(source, mb, "literal", handlers);
                if (f && l)
                    std::printf("  %-9s %7.1f MB %-8s %8.1fx\n", source.c_str(), mb, handlers ? "counting" : "none",
                                l->seconds / f->seconds);
            }
        }
    }
    std::printf("\ngrowth of the fast stages' time from 1 to 10 MB (linear: 10x):\n");
    for (const std::string source : {"generated", "corpus"}) {
        for (const bool handlers : {false, true}) {
            const TRow* a = find(source, 1, "fast", handlers);
            const TRow* b = find(source, 10, "fast", handlers);
            if (a && b)
                std::printf("  %-9s %-8s %6.2fx\n", source.c_str(), handlers ? "counting" : "none", b->seconds / a->seconds);
        }
    }
    // Synchronize's waits without sleeping, on both sides, earn their keep only if a worker that
    // delivers one event after the other gets through more events with them than without.
    std::printf("\nSynchronize with and without spinning (fast stages, counting handlers, %d rounds "
                "alternating; median events/s):\n", SpinRounds);
    const int programSpinTurns = SetSynchronizeSpinTurns(0);
    for (const std::string source : {"generated", "corpus"}) {
        const std::string input = MakeInput(source, static_cast<size_t>(SpinMegabytes * 1e6), corpusDir);
        if (input.empty()) continue;
        std::vector<double> rates[2];  // [0]: without spinning, [1]: with
        long long events = 0;
        for (int round = 0; round < SpinRounds; ++round) {
            for (const int spinning : {1, 0}) {
                SetSynchronizeSpinTurns(spinning ? programSpinTurns : 0);
                const TRun run = RunWorker(input, &FastWordListStages, true);
                events = run.events;
                rates[spinning].push_back(run.seconds > 0 ? static_cast<double>(run.events) / run.seconds : 0.0);
            }
        }
        for (std::vector<double>& r : rates) std::sort(r.begin(), r.end());
        const double without = rates[0][rates[0].size() / 2], with = rates[1][rates[1].size() / 2];
        std::printf("  %-9s %5.1f MB %8lld events: spinning %10.0f/s, sleeping %10.0f/s (%.2fx)\n", source.c_str(),
                    SpinMegabytes, events, with, without, without > 0 ? with / without : 0.0);
        std::fflush(stdout);
    }
    SetSynchronizeSpinTurns(programSpinTurns);
    std::printf("\npeak memory of a fast run without handlers (a process of its own; input included):\n");
    for (const std::string source : {"generated", "corpus"}) {
        for (const double mb : sizes) {
            size_t inputSize = 0, baseline = 0, peak = 0;
            if (!MeasurePeak(source, mb, corpusDir, inputSize, baseline, peak) || inputSize == 0) {
                std::printf("  %-9s %7.1f MB  not measured\n", source.c_str(), mb);
                continue;
            }
            std::printf("  %-9s %7.1f MB  peak %8.1f MB = %5.2fx the input (%5.2fx above the process before the input)\n",
                        source.c_str(), mb, static_cast<double>(peak) / 1e6,
                        static_cast<double>(peak) / static_cast<double>(inputSize),
                        static_cast<double>(peak - std::min(peak, baseline)) / static_cast<double>(inputSize));
        }
    }
    std::printf("\nresults of the fast and the literal stages %s wherever both ran\n",
                allIdentical ? "identical" : "NOT identical");
    return allIdentical ? 0 : 1;
}
