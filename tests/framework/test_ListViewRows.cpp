// List-view rows: a missing sub-item is the class library's list error, and a bulk change
// runs with redrawing off until its guard ends, also when it ends by an exception.
#include "ComCtrls.h"
#include "FormTestSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
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
