// The keyword list's file actions on the visible Keywords page of the real main window, with an
// auto-find row for each keyword row: Open Keyword List of a keyword file with N rows (the
// dialog answered here); Delete of every other row of twice as many, and of every row; New,
// answered No, which removes every row. Each removal runs with the list's focus on its first
// row, and again on its last (as Ctrl+End leaves it, the list scrolled to its end). Each is
// timed from the command to the window's next answer to WM_NULL (so the painting it caused is
// in it); meanwhile a watcher thread asks the window for an answer every 10 ms and keeps the
// longest wait. New's time holds its two message boxes, answered on a 15 ms timer.
//
//   FileActionsBench [--rows N] [--rounds R]      (70,000 rows, 1 round by default)
#include "BenchWindow.h"
#include "Dialogs.h"
#include "Forms.h"
#include "RUKDynShlWAPI.h"
#include "RUKLexmillMain.h"
#include "RUKLexmillUtils1.h"
#include "WindowTestSupport.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace ruk;

namespace {

ruk::TRUKDynShlWAPIUnit GShlWAPIUnit;

// Runs the action as its menu item does, then lets the window handle what is waiting.
double TimeAction(TSDIAppForm* form, TAction* action) {
    const double start = ruktest::Seconds();
    SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(action->CommandId(), 0), 0);
    Application->ProcessMessages();
    UpdateWindow(form->Handle());
    SendMessageA(form->Handle(), WM_NULL, 0, 0);
    return ruktest::Seconds() - start;
}

std::string TempPath(const char* name) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

// Where the removal starts from: which rows are selected and which row has the focus.
enum class TFocus { First, Last };
enum class TSelection { None, EveryOther, All };

struct TCase {
    const char* Name;
    bool New;  // New, answered No; else Delete
    int Copies;  // the keyword file opened this many times
    TSelection Selection;
    TFocus Focus;
    std::vector<double> Times, Unanswered;
};

}  // namespace

int main(int argc, char** argv) {
    int rows = 70000, rounds = 1;
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
    ruktest::BoxWatcher boxes;
    boxes.Answer("Save the Current Keywords ?", IDNO);

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
    auto check = [&](const std::string& what, int keywordRows) {
        if (keywords->Items().Count() == keywordRows && form->AutoFindListView1->Items().Count() == keywordRows)
            return;
        std::fprintf(stderr, "%s left %d keyword and %d auto-find rows\n", what.c_str(), keywords->Items().Count(),
                     form->AutoFindListView1->Items().Count());
        std::exit(1);
    };

    std::vector<TCase> cases = {
        {"Delete of every other row of twice as many, focus on the first", false, 2, TSelection::EveryOther,
         TFocus::First, {}, {}},
        {"Delete of every other row of twice as many, focus on the last", false, 2, TSelection::EveryOther,
         TFocus::Last, {}, {}},
        {"Delete of every row, focus on the first", false, 1, TSelection::All, TFocus::First, {}, {}},
        {"Delete of every row, focus on the last", false, 1, TSelection::All, TFocus::Last, {}, {}},
        {"New, focus on the first row", true, 1, TSelection::None, TFocus::First, {}, {}},
        {"New, focus on the last row", true, 1, TSelection::None, TFocus::Last, {}, {}},
        {"New, every row selected, focus on the last", true, 1, TSelection::All, TFocus::Last, {}, {}},
    };

    std::printf("Keywords page in view, a keyword file of %d rows\n", rows);
    std::fflush(stdout);
    std::vector<double> opens;
    ruktest::AnswerWatcher watch(form->Handle());
    for (int round = 0; round < rounds; ++round) {
        for (TCase& c : cases) {
            const double open = TimeAction(form, form->FileOpenKeywordList1);
            if (keywords->Items().Count() != rows) {
                std::fprintf(stderr, "Open Keyword List gave %d rows\n", keywords->Items().Count());
                return 1;
            }
            if (c.Copies == 1) opens.push_back(open);
            for (int copy = 1; copy < c.Copies; ++copy) TimeAction(form, form->FileOpenKeywordList1);
            findAll();
            const int count = keywords->Items().Count();
            keywords->SetFocus();
            keywords->ClearSelection();
            if (c.Selection == TSelection::All) keywords->SelectAll();
            if (c.Selection == TSelection::EveryOther)
                for (int i = 0; i < count; i += 2) keywords->Items()[i]->SetSelected(true);
            ruktest::FocusListRow(keywords->Handle(), c.Focus == TFocus::First ? 0 : count - 1);
            Application->ProcessMessages();
            const double start = ruktest::Seconds();
            c.Times.push_back(TimeAction(form, c.New ? form->FileNew1 : form->EditDelete1));
            c.Unanswered.push_back(watch.Longest(start, ruktest::Seconds()));
            const int left = c.Selection == TSelection::EveryOther && !c.New ? count / 2 : 0;
            check(c.Name, left);
            if (left > 0) {
                keywords->SelectAll();
                TimeAction(form, form->EditDelete1);
                check(std::string(c.Name) + ", then the rest", 0);
            }
        }
    }
    std::sort(opens.begin(), opens.end());
    std::printf("  %-64s median %7.3f s   worst %7.3f s\n", "Open Keyword List (into an empty list)",
                opens[opens.size() / 2], opens.back());
    for (TCase& c : cases) {
        std::sort(c.Times.begin(), c.Times.end());
        std::printf("  %-64s median %7.3f s   worst %7.3f s   longest unanswered %7.3f s\n", c.Name,
                    c.Times[c.Times.size() / 2], c.Times.back(),
                    *std::max_element(c.Unanswered.begin(), c.Unanswered.end()));
    }
    std::printf("  (each removal also drops the auto-find rows of the removed rows)\n");
    std::fflush(stdout);

    TOpenDialog::SetExecuteHook(nullptr);
    DeleteFileA(file.c_str());
    form->Free();
    Application->ProcessMessages();
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\RUK\\Lexmill");
    return 0;
}
