// The library's rich edit: lines appended, link detection and the eight link events.
#include "RUKRichEdit.h"
#include "RtlControlSupport.h"

#include <gtest/gtest.h>

#include <map>

using namespace ruk;
using namespace ruktest;

namespace {

struct LinkEdit {
    FormPtr form = ShownForm();
    TRUKRichEdit* edit = Place<TRUKRichEdit>(*form, 10, 10, 360, 200);
    std::map<std::string, std::string> fired;  // event name -> link text
    void AssignAll() {
        auto hook = [this](const char* name) {
            return [this, name](TRichEdit* sender, const std::string& text) {
                EXPECT_EQ(sender, edit);
                fired[name] = text;
            };
        };
        edit->OnLinkLeftBtnDoubleClick = hook("LeftBtnDoubleClick");
        edit->OnLinkLeftBtnDown = hook("LeftBtnDown");
        edit->OnLinkLeftBtnUp = hook("LeftBtnUp");
        edit->OnLinkMouseMove = hook("MouseMove");
        edit->OnLinkRightBtnDoubleClick = hook("RightBtnDoubleClick");
        edit->OnLinkRightBtnDown = hook("RightBtnDown");
        edit->OnLinkRightBtnUp = hook("RightBtnUp");
        edit->OnLinkSetCursor = hook("SetCursor");
    }
    // The notification the control sends its parent for a mouse message over characters.
    LRESULT NotifyLink(UINT mouseMessage, LONG first, LONG last) {
        ENLINK link{};
        link.nmhdr.hwndFrom = edit->Handle();
        link.nmhdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(edit->Handle()));
        link.nmhdr.code = EN_LINK;
        link.msg = mouseMessage;
        link.chrg = {first, last};
        return SendMessageA(form->Handle(), WM_NOTIFY, link.nmhdr.idFrom, reinterpret_cast<LPARAM>(&link));
    }
};

const char kText[] = "Visit http://www.example.com/lexmill now";
const LONG kLinkFirst = 6, kLinkLast = 36;  // "http://www.example.com/lexmill"

}  // namespace

TEST(RUKRichEdit, AddLineReturnsTheLineTheTextEndsOn) {
    LinkEdit e;
    EXPECT_EQ(e.edit->AddLine("abc"), 0);
    EXPECT_EQ(e.edit->Text(), "abc\r\n");
    EXPECT_EQ(e.edit->AddLine("second"), 1);
    EXPECT_EQ(e.edit->AddLine("two\r\nlines"), 3);
    EXPECT_EQ(e.edit->Text(), "abc\r\nsecond\r\ntwo\r\nlines\r\n");
}

TEST(RUKRichEdit, SwitchesForUrlDetectionAndLinkNotification) {
    LinkEdit e;
    e.edit->SetAutoURLDetect(true);
    EXPECT_TRUE(e.edit->GetAutoURLDetect());
    e.edit->SetAutoURLDetect(false);
    EXPECT_FALSE(e.edit->GetAutoURLDetect());

    const HWND h = e.edit->Handle();
    SendMessageA(h, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE | ENM_SCROLL);
    e.edit->SetLinkNotification(true);
    EXPECT_EQ(SendMessageA(h, EM_GETEVENTMASK, 0, 0), ENM_CHANGE | ENM_SELCHANGE | ENM_SCROLL | ENM_LINK);
    e.edit->SetLinkNotification(false);
    EXPECT_EQ(SendMessageA(h, EM_GETEVENTMASK, 0, 0), ENM_CHANGE | ENM_SELCHANGE | ENM_SCROLL);
}

TEST(RUKRichEdit, EveryLinkMessageFiresItsEventWithTheLinkText) {
    LinkEdit e;
    e.edit->SetText(kText);
    e.AssignAll();
    const std::pair<UINT, const char*> table[] = {
        {WM_SETCURSOR, "SetCursor"},           {WM_MOUSEMOVE, "MouseMove"},
        {WM_LBUTTONDOWN, "LeftBtnDown"},       {WM_LBUTTONUP, "LeftBtnUp"},
        {WM_LBUTTONDBLCLK, "LeftBtnDoubleClick"}, {WM_RBUTTONDOWN, "RightBtnDown"},
        {WM_RBUTTONUP, "RightBtnUp"},          {WM_RBUTTONDBLCLK, "RightBtnDoubleClick"}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.second);
        e.fired.clear();
        EXPECT_EQ(e.NotifyLink(row.first, kLinkFirst, kLinkLast), 0);
        ASSERT_EQ(e.fired.size(), 1u);
        EXPECT_EQ(e.fired.begin()->first, row.second);
        EXPECT_EQ(e.fired.begin()->second, "http://www.example.com/lexmill");
    }
    // Another mouse message fires nothing, and the control still goes on with it.
    e.fired.clear();
    EXPECT_EQ(e.NotifyLink(WM_MBUTTONDOWN, kLinkFirst, kLinkLast), 0);
    EXPECT_TRUE(e.fired.empty());
}

TEST(RUKRichEdit, UnassignedEventFetchesNoText) {
    LinkEdit e;
    e.edit->SetText(kText);
    MessageSpy spy(e.edit->Handle(), EM_GETTEXTRANGE);
    EXPECT_EQ(e.NotifyLink(WM_LBUTTONDOWN, kLinkFirst, kLinkLast), 0);
    EXPECT_EQ(spy.Count, 0);
    // Empty and reversed ranges ask the control nothing either.
    EXPECT_EQ(e.edit->GetTextRange(10, 10), "");
    EXPECT_EQ(e.edit->GetTextRange(12, 10), "");
    EXPECT_EQ(spy.Count, 0);
    EXPECT_EQ(e.edit->GetTextRange(0, 5), "Visit");
    EXPECT_EQ(spy.Count, 1);
}

TEST(RUKRichEdit, ClickedDetectedUrlGivesItsText) {
    // The platform's control finds the address and reports the click on it.
    LinkEdit e;
    e.edit->SetAutoURLDetect(true);
    e.edit->SetLinkNotification(true);
    e.edit->SetText(kText);
    e.AssignAll();
    POINTL pt{};
    SendMessageA(e.edit->Handle(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&pt), kLinkFirst + 5);
    const LPARAM at = MAKELPARAM(pt.x + 2, pt.y + 4);
    SendMessageA(e.edit->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(e.edit->Handle(), WM_LBUTTONUP, 0, at);
    ASSERT_EQ(e.fired.count("LeftBtnDown"), 1u);
    EXPECT_EQ(e.fired["LeftBtnDown"], "http://www.example.com/lexmill");
    EXPECT_EQ(e.fired["LeftBtnUp"], "http://www.example.com/lexmill");
}

TEST(RUKRichEdit, TextRangeUnderDoubleByteCodePageKeepsEveryByte) {
    // Under a double-byte code page the control writes two bytes a character: 20 characters
    // are 40 bytes and a zero, which a buffer of one byte a character cannot hold.
    LinkEdit e;
    e.edit->SetText("twenty characters...");
    const std::string wide(40, '\x82');
    MessageSpy spy(e.edit->Handle(), EM_GETTEXTRANGE, [&](WPARAM, LPARAM lp, LRESULT& r) {
        auto* range = reinterpret_cast<TEXTRANGEA*>(lp);
        memcpy(range->lpstrText, wide.c_str(), wide.size() + 1);
        r = static_cast<LRESULT>(wide.size());
        return true;
    });
    TRUKRichEdit::SetAnsiCodePageForTests(932);
    const std::string got = e.edit->GetTextRange(0, 20);
    TRUKRichEdit::SetAnsiCodePageForTests(0);
    EXPECT_EQ(got, wide);
}

TEST(RUKRichEdit, UpdateNotificationIsAnsweredAndTheLibraryLoadedOnce) {
    LinkEdit e;
    const HMODULE lib = RichEditLibraryHandle();
    ASSERT_NE(lib, nullptr);
    EXPECT_EQ(lib, GetModuleHandleA("Riched20.dll"));
    TRUKRichEdit* second = Place<TRUKRichEdit>(*e.form, 10, 220, 100, 40);
    second->HandleNeeded();
    EXPECT_EQ(RichEditLibraryHandle(), lib);
    int changes = 0;
    e.edit->OnChange = [&](TObject*) { ++changes; };
    const HWND h = e.edit->Handle();
    EXPECT_EQ(SendMessageA(e.form->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), EN_UPDATE), reinterpret_cast<LPARAM>(h)), 0);
    EXPECT_EQ(changes, 0);
    SendMessageA(e.form->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(h), EN_CHANGE), reinterpret_cast<LPARAM>(h));
    EXPECT_EQ(changes, 1);
}
