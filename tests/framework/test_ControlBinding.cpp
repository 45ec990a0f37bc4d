// Where the controls save messages: the window-to-object table and the subclassing of common
// controls, a list item's remembered row, and appending to a rich edit at its end.
#include "ComCtrls.h"
#include "Form.h"
#include "FormTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ruk;
using namespace ruk::test;

namespace {

int gOuterMessages = 0;
WNDPROC gBelowOuter = nullptr;
LRESULT CALLBACK OuterProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    ++gOuterMessages;
    return CallWindowProcW(gBelowOuter, wnd, msg, wp, lp);
}

std::string RowText(TListView* view, int row, int column) {
    char buffer[64] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    SendMessageA(view->Handle(), LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return buffer;
}

}  // namespace

TEST(ControlBinding, WindowsFindTheirObjectsUntilTheyAreDestroyed) {
    FormPtr form(new TForm(nullptr));
    auto* edit = Place<TRichEdit>(*form);
    auto* list = Place<TListView>(*form);
    form->HandleNeeded();
    EXPECT_EQ(TWinControl::FromHandle(form->Handle()), form.get());
    EXPECT_EQ(TWinControl::FromHandle(edit->Handle()), edit);
    EXPECT_EQ(TWinControl::FromHandle(list->Handle()), list);
    const HWND editWindow = edit->Handle();
    edit->DestroyHandle();
    EXPECT_EQ(TWinControl::FromHandle(editWindow), nullptr);
    EXPECT_FALSE(IsWindow(editWindow));
}

TEST(ControlBinding, AProcedurePutOnTopOfOursKeepsWorkingUntilTheWindowGoes) {
    FormPtr form(new TForm(nullptr));
    auto* edit = Place<TRichEdit>(*form);
    form->HandleNeeded();
    edit->SetText("before");
    const HWND wnd = edit->Handle();
    gOuterMessages = 0;
    gBelowOuter = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OuterProc)));
    ASSERT_NE(gBelowOuter, nullptr);
    // Through both procedures to the control and back.
    edit->SetText("after");
    EXPECT_EQ(edit->Text(), "after");
    EXPECT_GT(gOuterMessages, 0);
    // The object lets go of the window while ours is not on top: messages still pass.
    edit->DestroyHandle();
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_EQ(TWinControl::FromHandle(wnd), nullptr);
}

TEST(ListView, ItemsFindTheirRowsAfterTheRowsMoved) {
    FormPtr form(new TForm(nullptr));
    auto* view = Place<TListView>(*form);
    view->AddColumn("Word", 100);
    view->AddColumn("Count", 50);
    form->HandleNeeded();
    TListItem* b = view->Items().Add();
    b->SetCaption("b");
    TListItem* a = view->Items().Add();
    a->SetCaption("a");
    TListItem* c = view->Items().Add();
    c->SetCaption("c");
    ASSERT_TRUE(view->AlphaSort());
    // Each item's remembered row is stale now; the item must still reach its own row.
    b->SubItems().Add("2");
    a->SubItems().Add("1");
    c->SetCaption("C");
    EXPECT_EQ(RowText(view, 0, 0), "a");
    EXPECT_EQ(RowText(view, 0, 1), "1");
    EXPECT_EQ(RowText(view, 1, 0), "b");
    EXPECT_EQ(RowText(view, 1, 1), "2");
    EXPECT_EQ(RowText(view, 2, 0), "C");
    view->Items().Delete(0);
    EXPECT_EQ(b->Index(), 0);
    EXPECT_EQ(c->Index(), 1);
}

TEST(RichEdit, AppendTextFollowsACaretAtTheEndAndKeepsAnyOtherSelection) {
    FormPtr form(new TForm(nullptr));
    auto* re = Place<TRichEdit>(*form);
    form->HandleNeeded();
    EXPECT_EQ(re->LastChar(), '\0');
    re->AppendText("one");
    EXPECT_EQ(re->Text(), "one");
    EXPECT_EQ(re->LastChar(), 'e');
    // The caret was at the end: it moves on with the text.
    EXPECT_EQ(re->SelStart(), 3);
    re->AppendText("\r\ntwo\r\n");
    EXPECT_EQ(re->Text(), "one\r\ntwo\r\n");
    EXPECT_EQ(re->LastChar(), '\r');
    EXPECT_EQ(re->SelStart(), re->GetTextLen());
    // A selection elsewhere stays where it is.
    re->SetSelStart(1);
    re->SetSelLength(2);
    re->AppendText("three");
    EXPECT_EQ(re->Text(), "one\r\ntwo\r\nthree");
    EXPECT_EQ(re->SelStart(), 1);
    EXPECT_EQ(re->SelLength(), 2);
    re->AppendText("");
    EXPECT_EQ(re->Text(), "one\r\ntwo\r\nthree");
}
