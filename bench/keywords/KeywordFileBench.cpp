// A keyword file read into and written out of the main window's Keywords page while the page
// is in view, as the Open and Save actions do it.
//
//   KeywordFileBench [--rows N] [--rounds R]
//
// Each round saves the N rows (5,000 by default) to a file, clears the list, reads the file
// back into it and lets the window paint. It prints the time of the save, the read and the
// painting after it, and checks that the rows read are the rows saved.
#include "BenchWindow.h"
#include "Forms.h"
#include "RUKDynShlWAPI.h"
#include "RUKLexmillMain.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace ruk;

namespace {

ruk::TRUKDynShlWAPIUnit GShlWAPIUnit;

double Seconds() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string TempPath(const std::string& name) {
    char buf[MAX_PATH];
    GetTempPathA(MAX_PATH, buf);
    return std::string(buf) + name;
}

// Rows as users make them: one to three source documents a keyword, the titles beside them.
void FillRows(TListView* view, int rows) {
    const std::string sep = KeywordCellSeparator();
    TListUpdateGuard noRedraw(view->Items());
    for (int i = 0; i < rows; ++i) {
        TListItem* row = view->Items().Add();
        row->SetCaption("keyword " + std::to_string(i));
        std::string links, titles;
        for (int k = 0; k <= i % 3; ++k) {
            if (k > 0) {
                links += sep;
                titles += sep;
            }
            links += "page" + std::to_string((i + k) % 700) + ".htm";
            titles += "Chapter " + std::to_string((i + k) % 700) + " of the manual";
        }
        row->SubItems().Add(links);
        row->SubItems().Add(titles);
        row->SubItems().Add("");
        row->SubItems().Add("1");
    }
}

std::vector<std::string> Snapshot(TListView* view) {
    std::vector<std::string> rows;
    for (int i = 0; i < view->Items().Count(); ++i) {
        TListItem* row = view->Items()[i];
        std::string line = row->Caption();
        for (int c = 0; c < row->SubItems().Count(); ++c) line += "|" + row->SubItems().Strings(c);
        rows.push_back(line);
    }
    return rows;
}

}  // namespace

int main(int argc, char** argv) {
    int rows = 5000, rounds = 3;
    if (!bench::ReadRowsAndRounds(argc, argv, "KeywordFileBench", rows, rounds)) return 2;
    TSDIAppForm* form = bench::OpenFirstStartWindow();
    form->ViewKeywordList->Execute();
    Application->ProcessMessages();
    TListView* view = form->KeywordsListView1;
    const std::string path = TempPath("ruk keyword bench.rlk");

    FillRows(view, rows);
    Application->ProcessMessages();
    const std::vector<std::string> expected = Snapshot(view);
    int failures = 0;
    std::printf("%d rows, Keywords page in view\n", rows);
    for (int round = 1; round <= rounds; ++round) {
        double t0 = Seconds();
        const DWORD saved = SaveKeywordListToFile(view, path);
        const double save = Seconds() - t0;
        view->Items().Clear();
        Application->ProcessMessages();
        t0 = Seconds();
        const DWORD read = LoadKeywordListFromFile(view, path);
        const double load = Seconds() - t0;
        t0 = Seconds();
        UpdateWindow(form->Handle());
        Application->ProcessMessages();
        const double paint = Seconds() - t0;
        const bool same = Snapshot(view) == expected;
        if (saved != 0 || read != 0 || !same) ++failures;
        std::printf("round %d: save %.3f s (result %lu), read %.3f s (result %lu), painting after it %.3f s, rows %s\n",
                    round, save, static_cast<unsigned long>(saved), load, static_cast<unsigned long>(read), paint,
                    same ? "identical" : "DIFFER");
        std::fflush(stdout);
    }
    DeleteFileA(path.c_str());
    form->Free();
    Application->ProcessMessages();
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\RUK\\Lexmill");
    return failures == 0 ? 0 : 1;
}
