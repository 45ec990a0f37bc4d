// List-view rows: a missing sub-item is the class library's list error, and a bulk change
// runs with redrawing off until its guard ends, also when it ends by an exception.
#include "ComCtrls.h"
#include "FormTestSupport.h"

#include <gtest/gtest.h>

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

bool Drawing(TListView* lv) { return (GetWindowLongA(lv->Handle(), GWL_STYLE) & WS_VISIBLE) != 0; }

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
    ASSERT_TRUE(Drawing(lv));
    {
        TListUpdateGuard outer(lv->Items());
        EXPECT_FALSE(Drawing(lv));
        {
            TListUpdateGuard inner(lv->Items());
            lv->Items().Add()->SetCaption("a");
        }
        EXPECT_FALSE(Drawing(lv));  // the outer guard still holds
    }
    EXPECT_TRUE(Drawing(lv));
    try {
        TListUpdateGuard guard(lv->Items());
        lv->Items().Add();
        throw EReadError("Stream read error");
    } catch (const EReadError&) {
    }
    EXPECT_TRUE(Drawing(lv));
    EXPECT_EQ(lv->Items().Count(), 2);
}
