// List-view rows: a missing sub-item is the class library's list error, a bulk change runs
// with redrawing off until its guard ends, also when it ends by an exception, and removing
// many rows paints the list at most once wherever its focus is.
#include "ComCtrls.h"
#include "FormTestSupport.h"
#include "WindowTestSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace ruk;
using namespace ruk::test;

namespace {

std::string ListError(const std::function<void()>& f) {
    try {
        f();
    } catch (const EStringListError& e) {
        return e.Message();
    } catch (const std::exception& e) {
        return std::string("other exception: ") + e.what();
    }
    return "no exception";
}

// The WM_SETREDRAW messages a list view receives, in order (their wParam).
LRESULT CALLBACK RecordRedraw(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    if (msg == WM_SETREDRAW) reinterpret_cast<std::vector<WPARAM>*>(data)->push_back(wp);
    return DefSubclassProc(w, msg, wp, lp);
}

// What a removal costs the window: the paints the list view takes while it runs and the
// notifications it sends its parent meanwhile.
struct RemovalTrace {
    HWND List = nullptr;
    int Paints = 0, Notifications = 0;
};

LRESULT CALLBACK CountPaints(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    if (msg == WM_PAINT) ++reinterpret_cast<RemovalTrace*>(data)->Paints;
    return DefSubclassProc(w, msg, wp, lp);
}

LRESULT CALLBACK CountNotifications(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    auto* trace = reinterpret_cast<RemovalTrace*>(data);
    if (msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(lp)->hwndFrom == trace->List) ++trace->Notifications;
    return DefSubclassProc(w, msg, wp, lp);
}

// Rows from..to-1, every step-th of them, go; the focus is on a row before, and after on the
// row that was focusedAfter (-1: none).
struct RemovalCase {
    const char* Name;
    int Focus;
    int From, To, Step;
    int FocusedAfter;
};

class ListViewRemovalTest : public ::testing::TestWithParam<RemovalCase> {};

}  // namespace

TEST(ListViewRows, AMissingSubItemIsTheListIndexError) {
    FormPtr form = NewForm();
    auto* lv = Place<TListView>(*form);
    form->HandleNeeded();
    TListItem* row = lv->Items().Add();
    row->SubItems().Add("one");
    EXPECT_EQ(ListError([&] { row->SubItems().Strings(1); }), "List index out of bounds (1)");
    EXPECT_EQ(ListError([&] { row->SubItems().Strings(-1); }), "List index out of bounds (-1)");
    EXPECT_EQ(ListError([&] { row->SubItems().Put(3, "x"); }), "List index out of bounds (3)");
    EXPECT_EQ(ListError([&] { lv->Items().Delete(5); }), "List index out of bounds (5)");
    EXPECT_EQ(row->SubItems().Strings(0), "one");
}

TEST(ListViewRows, TheUpdateGuardTurnsRedrawingOffForItsScope) {
    FormPtr form = NewForm();
    auto* lv = Place<TListView>(*form);
    form->Show();
    std::vector<WPARAM> redraws;
    ASSERT_TRUE(SetWindowSubclass(lv->Handle(), RecordRedraw, 1, reinterpret_cast<DWORD_PTR>(&redraws)));
    {
        TListUpdateGuard outer(lv->Items());
        {
            TListUpdateGuard inner(lv->Items());
            lv->Items().Add()->SetCaption("a");
        }
        EXPECT_EQ(redraws, std::vector<WPARAM>{FALSE});  // the outer guard still holds
    }
    EXPECT_EQ(redraws, (std::vector<WPARAM>{FALSE, TRUE}));
    redraws.clear();
    try {
        TListUpdateGuard guard(lv->Items());
        lv->Items().Add();
        throw EReadError("Stream read error");
    } catch (const EReadError&) {
    }
    EXPECT_EQ(redraws, (std::vector<WPARAM>{FALSE, TRUE}));
    EXPECT_EQ(lv->Items().Count(), 2);
    RemoveWindowSubclass(lv->Handle(), RecordRedraw, 1);
}

// The control moves its focus with every row that goes at or above the focused one and shows
// the focused row each time (under Wine it scrolls and paints it, some milliseconds a row): a
// removal takes the focus off the rows while they go and puts it back once.
TEST_P(ListViewRemovalTest, PaintsAtMostOnceAndLeavesTheFocusWhereTheControlWould) {
    const RemovalCase& c = GetParam();
    constexpr int kRows = 120;
    FormPtr form = NewForm();
    TListView* lv = PlaceReportListView(*form, {{"Row", 100}});
    form->Show();
    std::vector<TListItem*> rows, gone;
    std::vector<std::string> staying;
    {
        TListUpdateGuard noRedraw(lv->Items());
        for (int i = 0; i < kRows; ++i) {
            rows.push_back(lv->Items().Add());
            rows.back()->SetCaption("row " + std::to_string(i));
            rows.back()->Data = rows.back();
        }
    }
    for (int i = 0; i < kRows; ++i) {
        if (i >= c.From && i < c.To && (i - c.From) % c.Step == 0) {
            gone.push_back(rows[static_cast<size_t>(i)]);
            rows[static_cast<size_t>(i)]->SetSelected(true);
        } else {
            staying.push_back("row " + std::to_string(i));
        }
    }
    if (c.Focus >= 0) ruktest::FocusListRow(lv->Handle(), c.Focus);
    ASSERT_EQ(ruktest::FocusedListRow(lv->Handle()), c.Focus);
    UpdateWindow(form->Handle());
    ruktest::Pump();

    RemovalTrace trace;
    trace.List = lv->Handle();
    ASSERT_TRUE(SetWindowSubclass(lv->Handle(), CountPaints, 1, reinterpret_cast<DWORD_PTR>(&trace)));
    ASSERT_TRUE(SetWindowSubclass(form->Handle(), CountNotifications, 1, reinterpret_cast<DWORD_PTR>(&trace)));
    lv->Items().Delete(gone);
    RemoveWindowSubclass(lv->Handle(), CountPaints, 1);
    RemoveWindowSubclass(form->Handle(), CountNotifications, 1);

    EXPECT_LE(trace.Paints, 1);
    if (staying.empty()) {
        EXPECT_LE(trace.Notifications, 2) << "a notification for every row";
    }
    std::vector<std::string> left;
    for (int i = 0; i < lv->Items().Count(); ++i) {
        TListItem* row = lv->Items()[i];
        left.push_back(row->Caption());
        EXPECT_EQ(row->Data, row);
    }
    EXPECT_EQ(left, staying);
    EXPECT_EQ(ruktest::FocusedListRow(lv->Handle()),
              c.FocusedAfter < 0 ? -1 : rows[static_cast<size_t>(c.FocusedAfter)]->Index());
}

INSTANTIATE_TEST_SUITE_P(
    Removals, ListViewRemovalTest,
    ::testing::Values(RemovalCase{"EveryRowFocusOnTheLast", 119, 0, 120, 1, -1},
                      RemovalCase{"EveryOtherRowFocusOnTheLast", 119, 0, 120, 2, 119},
                      RemovalCase{"TheLastHalfWithTheFocusedLastRow", 119, 60, 120, 1, 59},
                      RemovalCase{"TheFirstHalfWithTheFocusedFirstRow", 0, 0, 60, 1, 60},
                      RemovalCase{"AStretchAroundTheFocus", 50, 40, 70, 1, 70},
                      RemovalCase{"RowsAboveTheFocus", 100, 10, 90, 1, 100},
                      RemovalCase{"NoFocus", -1, 10, 20, 1, -1}),
    [](const ::testing::TestParamInfo<RemovalCase>& info) { return std::string(info.param.Name); });
