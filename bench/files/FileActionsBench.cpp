// The keyword list's file actions on the visible Keywords page of the real main window:
// Open Keyword List of a keyword file with N rows (the dialog answered here), and Delete of
// N selected keyword rows, every other one of 2N and all of N, with an auto-find row for each
// keyword row. Each is timed from the
// command to the window's next answer to WM_NULL (so the painting it caused is in it).
//
//   FileActionsBench [--rows N] [--rounds R]      (5,000 rows, 3 rounds by default)
#include "BenchWindow.h"
#include "Dialogs.h"
#include "Forms.h"
#include "RUKDynShlWAPI.h"
#include "RUKLexmillMain.h"
#include "RUKLexmillUtils1.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace ruk;

namespace {

ruk::TRUKDynShlWAPIUnit GShlWAPIUnit;

double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// Runs the action as its menu item does, then lets the window handle what is waiting.
double TimeAction(TSDIAppForm* form, TAction* action) {
    const double start = Now();
    SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(action->CommandId(), 0), 0);
    Application->ProcessMessages();
    UpdateWindow(form->Handle());
    SendMessageA(form->Handle(), WM_NULL, 0, 0);
    return Now() - start;
}

std::string TempPath(const char* name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

void Report(const char* what, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    std::printf("  %-44s median %7.3f s   worst %7.3f s\n", what, times[times.size() / 2], times.back());
}

}  // namespace

int main(int argc, char** argv) {
    int rows = 5000, rounds = 3;
    if (!bench::ReadRowsAndRounds(argc, argv, "FileActionsBench", rows, rounds)) return 2;
    rounds = std::max(1, rounds);
    TSDIAppForm* form = bench::OpenFirstStartWindow();
    form->PageControl1->SetActivePage(form->KeywordsTabSheet1);
    Application->ProcessMessages();

    // The keyword file: rows as the program makes them, with a few links and titles each.
    TListView* keywords = form->KeywordsListView1;
    {
        TListUpdateGuard noRedraw(keywords->Items());
        for (int i = 0; i < rows; ++i) {
            TListItem* row = keywords->Items().Add();
            row->SetCaption("keyword " + std::to_string(i));
            row->SubItems().Add("page" + std::to_string(i % 97) + ".htm\x95index.htm");
            row->SubItems().Add("Title of page " + std::to_string(i % 97) + "\x95Index");
            row->SubItems().Add("");
            row->SubItems().Add("1");
        }
    }
    const std::string file = TempPath("ruk files bench.rlk");
    if (SaveKeywordListToFile(keywords, file) != 0) {
        std::fprintf(stderr, "the keyword file could not be written\n");
        return 1;
    }
    keywords->Items().Clear();
    TOpenDialog::SetExecuteHook([&](TOpenDialog& d) {
        d.FileName = file;
        return true;
    });

    // Every keyword found once by auto-find.
    auto findAll = [&] {
        TListUpdateGuard noRedraw(form->AutoFindListView1->Items());
        for (int i = 0; i < keywords->Items().Count(); ++i) {
            TListItem* found = form->AutoFindListView1->Items().Add();
            TListItem* row = keywords->Items()[i];
            found->SetCaption(row->Caption());
            found->Data = row;
        }
    };
    auto check = [&](const char* what, int keywordRows) {
        if (keywords->Items().Count() == keywordRows && form->AutoFindListView1->Items().Count() == keywordRows)
            return;
        std::fprintf(stderr, "%s left %d keyword and %d auto-find rows\n", what, keywords->Items().Count(),
                     form->AutoFindListView1->Items().Count());
        std::exit(1);
    };

    std::printf("Keywords page in view, a keyword file of %d rows\n", rows);
    std::vector<double> opens, deleteHalf, deleteAll;
    for (int round = 0; round < rounds; ++round) {
        opens.push_back(TimeAction(form, form->FileOpenKeywordList1));
        if (keywords->Items().Count() != rows) {
            std::fprintf(stderr, "Open Keyword List gave %d rows\n", keywords->Items().Count());
            return 1;
        }
        // Opened again: the rows are there twice, and every other one is selected.
        TimeAction(form, form->FileOpenKeywordList1);
        findAll();
        keywords->SetFocus();
        keywords->ClearSelection();
        for (int i = 0; i < 2 * rows; i += 2) keywords->Items()[i]->SetSelected(true);
        Application->ProcessMessages();
        deleteHalf.push_back(TimeAction(form, form->EditDelete1));
        check("Delete of every other row", rows);
        keywords->SelectAll();
        Application->ProcessMessages();
        deleteAll.push_back(TimeAction(form, form->EditDelete1));
        check("Delete of every row", 0);
    }
    Report("Open Keyword List (into an empty list)", opens);
    Report("Delete of every other row of twice as many", deleteHalf);
    Report("Delete of every row", deleteAll);
    std::printf("  (each Delete also drops the auto-find rows of the deleted rows)\n");
    std::fflush(stdout);

    TOpenDialog::SetExecuteHook(nullptr);
    DeleteFileA(file.c_str());
    form->Free();
    Application->ProcessMessages();
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\RUK\\Lexmill");
    return 0;
}
