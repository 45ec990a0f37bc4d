// A rich edit that shows a window of a large text: the control holds the lines around its view,
// and whatever reads, selects, scrolls, finds or edits the pane has the whole text.
#include "ComCtrls.h"
#include "Form.h"
#include "FormTestSupport.h"
#include "RichEditControlText.h"
#include "TextSamples.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

using namespace ruk;
using namespace ruk::test;
using ruktest::ControlText;

namespace {

// Lines as a log has them: "line N: ..." with words that recur.
std::vector<std::string> LogLines(int count) {
    static const char* const words[] = {"keyword", "tag", "entity", "stripped", "table", "anchor"};
    std::vector<std::string> lines;
    for (int i = 0; i < count; ++i)
        lines.push_back("line " + std::to_string(i) + ": " + words[i % 6] + " and " + words[(i * 7) % 6] + " of the text");
    return lines;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string s;
    for (size_t i = 0; i < lines.size(); ++i) s += (i ? "\r\n" : "") + lines[i];
    return s;
}

// A log of 6,000 lines: too large for the control to take at once.
struct Fixture {
    FormPtr Form = NewForm();
    TRichEdit* Edit = Place<TRichEdit>(*Form);
    TRichEdit& re = *Edit;
    const std::vector<std::string> lines = LogLines(6000);
    const std::string text = Joined(lines);
    Fixture() {
        // As the document panes: no word wrap, both scroll bars.
        Edit->SetWordWrap(false);
        Edit->SetScrollBars(TScrollStyle::ssBoth);
        Form->Show();
    }
    // The pane holds the log, shown through a window.
    bool ShowLog() {
        Edit->SetText(text);
        return Edit->ShowsWindow();
    }
};

// Where line index begins, a line break counting as one.
int LineStart(const std::vector<std::string>& lines, int index) {
    int at = 0;
    for (int i = 0; i < index; ++i) at += static_cast<int>(lines[static_cast<size_t>(i)].size()) + 1;
    return at;
}

void Drain(TRichEdit& re) {
    ruktest::PumpUntil([&re] { return !re.AppendPending(); }, 60000);
}

std::string WithCrBreaks(const std::string& text) {
    std::string s;
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) s += text[i] == '\n' ? '\r' : text[i];
    return s;
}

LRESULT FirstVisible(TRichEdit& re) { return SendMessageA(re.Handle(), EM_GETFIRSTVISIBLELINE, 0, 0); }

// Keys that the control reads the state of (Ctrl), held for the thread while f runs.
void WithKeyDown(BYTE key, const std::function<void()>& f) {
    BYTE state[256] = {};
    GetKeyboardState(state);
    const BYTE before = state[key];
    state[key] = 0x80;
    SetKeyboardState(state);
    f();
    state[key] = before;
    SetKeyboardState(state);
}

// The control's own answer, past the pane's (the class's window procedure called directly).
LRESULT ControlOwn(TRichEdit& re, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
    WNDCLASSA cls{};
    GetClassInfoA(nullptr, "RichEdit20A", &cls);
    return CallWindowProcA(cls.lpfnWndProc, re.Handle(), msg, wp, lp);
}

std::vector<std::string> ShownLines(TRichEdit& re) {
    const std::string shown = re.ShownText();
    std::vector<std::string> out(1);
    for (size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] == '\r') {
            out.emplace_back();
            ++i;
        } else {
            out.back() += shown[i];
        }
    }
    return out;
}

// Whether the text's last line stands wholly in the control's client area, as the control
// itself shows it (past the pane's answers): "" if so, else what the control shows instead.
std::string LastLineOutOfView(TRichEdit& re, const std::string& lastLine) {
    if (re.WindowEnd() != static_cast<size_t>(re.GetTextLen())) return "the window ends before the text";
    if (ShownLines(re).back() != lastLine) return "the control's last line is not the text's";
    const LRESULT count = ControlOwn(re, EM_GETLINECOUNT);
    POINTL last{}, before{};
    ControlOwn(re, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&last), ControlOwn(re, EM_LINEINDEX, count - 1));
    ControlOwn(re, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&before), ControlOwn(re, EM_LINEINDEX, count - 2));
    RECT client{};
    GetClientRect(re.Handle(), &client);
    // The line the client area's bottom row shows.
    POINTL bottom{1, client.bottom - 1};
    const LRESULT atBottom =
        ControlOwn(re, EM_EXLINEFROMCHAR, 0, ControlOwn(re, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&bottom)));
    if (last.y >= 0 && last.y + (last.y - before.y) <= client.bottom && atBottom == count - 1) return "";
    return "the control shows line " + std::to_string(ControlOwn(re, EM_GETFIRSTVISIBLELINE)) + " at its top and line " +
           std::to_string(atBottom) + " at its bottom; its last line, " + std::to_string(count - 1) + ", is at " +
           std::to_string(last.y) + " of " + std::to_string(client.bottom) + " pixels";
}

}  // namespace

// However a large text comes (set, loaded, appended line by line or at once), the control holds
// a window of it, and every reader has all of it.
TEST(RichEditWindow, ALargeTextShowsAWindowAndEveryReaderHasTheWholeText) {
    const std::vector<std::string> lines = LogLines(6000);
    const std::string text = Joined(lines);
    ASSERT_GT(text.size(), kWindowedPaneChars);
    struct TWay {
        const char* Name;
        std::function<void(TRichEdit&)> Fill;
        bool Modified;
    };
    const TWay ways[] = {
        {"set", [&](TRichEdit& re) { re.SetText(text); }, false},
        {"loaded",
         [&](TRichEdit& re) {
             TMemoryStream m;
             m.Write(text.data(), static_cast<int>(text.size()));
             m.SetPosition(0);
             re.Lines().LoadFromStream(m);
         },
         false},
        {"added line by line",
         [&](TRichEdit& re) {
             re.Clear();
             for (const std::string& line : lines) re.Lines().Add(line);
         },
         true},
        {"appended at once",
         [&](TRichEdit& re) {
             re.Clear();
             re.AppendText(text);
         },
         true},
    };
    for (const TWay& way : ways) {
        SCOPED_TRACE(way.Name);
        Fixture f;
        TRichEdit& re = *f.Edit;
        way.Fill(re);
        Drain(re);
        ASSERT_TRUE(re.ShowsWindow());
        EXPECT_LT(re.ShownText().size(), 64u * 1024);
        EXPECT_EQ(ControlText(re), text);
        EXPECT_EQ(re.Modified(), way.Modified);
        EXPECT_EQ(re.GetTextLen(), static_cast<int>(text.size() - (lines.size() - 1)));
        EXPECT_EQ(re.GetTextLenCRLF(), static_cast<int>(text.size()));
        EXPECT_EQ(re.StoredText(), WithCrBreaks(text));
        EXPECT_EQ(re.Lines().Count(), 6000);
        EXPECT_EQ(re.Lines().Strings(4321), lines[4321]);
        EXPECT_EQ(re.LastChar(), 't');
        // A range far from the window.
        const int at = LineStart(lines, 10);
        char buffer[64] = {};
        TEXTRANGEA range{{at, at + 20}, buffer};
        EXPECT_EQ(SendMessageA(re.Handle(), EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range)), 20);
        EXPECT_EQ(std::string(buffer), lines[10].substr(0, 20));
        re.SelectAll();
        EXPECT_EQ(re.SelText(), text);
        re.SetPlainText(true);
        TMemoryStream m;
        re.Lines().SaveToStream(m);
        EXPECT_EQ(std::string(m.Memory(), static_cast<size_t>(m.Size())), text);
        re.SetModified(!way.Modified);
        EXPECT_EQ(re.Modified(), !way.Modified);
        // A small text again goes into the control whole.
        re.SetText("small");
        EXPECT_FALSE(re.ShowsWindow());
        EXPECT_EQ(ControlText(re), "small");
    }
}

// The selection is the text's wherever the window stands: set, read back, kept while the view
// scrolls away, copied, and grown by keys across the window's ends.
TEST(RichEditWindow, TheSelectionIsTheTextsWhereverTheWindowStands) {
    Fixture f;
    TRichEdit& re = f.re;
    const std::vector<std::string>& lines = f.lines;
    const std::string& text = f.text;
    ASSERT_TRUE(f.ShowLog());
    const int at = LineStart(lines, 5000) + 3;
    re.SetSelStart(at);
    re.SetSelLength(200);
    EXPECT_EQ(re.SelStart(), at);
    EXPECT_EQ(re.SelLength(), 200);
    EXPECT_EQ(re.SelText(), ruktest::UnitRange(text, static_cast<size_t>(at), static_cast<size_t>(at + 200)));
    EXPECT_LE(re.WindowStart(), static_cast<size_t>(at));
    EXPECT_GE(re.WindowEnd(), static_cast<size_t>(at + 200));
    // The view shows the caret.
    const LRESULT top = FirstVisible(re);
    EXPECT_LE(top, 5002);
    EXPECT_GT(top + 40, 5002);

    // Across the window, and kept while the view goes to the other end.
    const int all = re.GetTextLen();
    re.SetSelStart(100);
    re.SetSelLength(all - 200);
    SendMessageA(re.Handle(), WM_VSCROLL, SB_BOTTOM, 0);
    SendMessageA(re.Handle(), WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(re.SelStart(), 100);
    EXPECT_EQ(re.SelLength(), all - 200);
    const std::string selected = re.SelText();
    EXPECT_EQ(selected.size(), text.size() - 200 - (lines.size() - 1) + std::count(selected.begin(), selected.end(), '\n'));
    re.CopyToClipboard();
    EXPECT_EQ(ruktest::ClipboardText(re.Handle()), selected);

    // A caret the user puts in the lines held (as a click does), then the view scrolled to the
    // other end and back: the caret is where the user put it.
    SendMessageA(re.Handle(), WM_VSCROLL, SB_TOP, 0);
    CHARRANGE click{50, 50};
    ControlOwn(re, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&click));
    SendMessageA(re.Handle(), WM_VSCROLL, SB_BOTTOM, 0);
    SendMessageA(re.Handle(), WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(re.SelStart(), 50);
    EXPECT_EQ(re.SelLength(), 0);

    // Shift+Down from a caret, line after line past the window's end: the anchor stays.
    const int from = LineStart(lines, 100);
    re.SetSelStart(from);
    WithKeyDown(VK_SHIFT, [&] {
        for (int i = 0; i < 300; ++i) SendMessageA(re.Handle(), WM_KEYDOWN, VK_DOWN, 0);
    });
    EXPECT_EQ(re.SelStart(), from);
    EXPECT_EQ(re.SelStart() + re.SelLength(), LineStart(lines, 400));
}

// Scrolling and moving the caret go on past the window's ends; the scroll bar is the whole
// text's.
TEST(RichEditWindow, ScrollingAndKeysGoThroughTheWholeText) {
    Fixture f;
    TRichEdit& re = f.re;
    const std::vector<std::string>& lines = f.lines;
    ASSERT_TRUE(f.ShowLog());
    const auto bar = [&] {
        SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(re.Handle(), SB_VERT, &si);
        return si;
    };
    EXPECT_EQ(bar().nMax, 5999);
    EXPECT_EQ(bar().nPos, 0);
    const LRESULT page = static_cast<LRESULT>(bar().nPage);
    ASSERT_GT(page, 3);

    // At the end: the control's last page may begin with a line seen in part, one sooner.
    const auto atLastPage = [&] {
        EXPECT_LE(FirstVisible(re), 6000 - page);
        EXPECT_GE(FirstVisible(re), 6000 - page - 1);
        EXPECT_EQ(bar().nPos, FirstVisible(re));
    };
    SendMessageA(re.Handle(), WM_VSCROLL, SB_BOTTOM, 0);
    atLastPage();
    EXPECT_EQ(re.WindowEnd(), static_cast<size_t>(re.GetTextLen()));
    SendMessageA(re.Handle(), WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(FirstVisible(re), 0);
    EXPECT_EQ(re.WindowStart(), 0u);
    for (int i = 0; i < 100; ++i) SendMessageA(re.Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(FirstVisible(re), 100 * page);
    EXPECT_EQ(bar().nPos, 100 * page);
    SendMessageA(re.Handle(), WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(FirstVisible(re), 100 * page - 1);
    SendMessageA(re.Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA * 2)), 0);
    EXPECT_EQ(FirstVisible(re), 100 * page - 1 + 6);
    // What the control itself shows at the top is that line of the text.
    const std::vector<std::string> shown = ShownLines(re);
    const LRESULT controlTop = ControlOwn(re, EM_GETFIRSTVISIBLELINE);
    ASSERT_LT(static_cast<size_t>(controlTop), shown.size());
    EXPECT_EQ(shown[static_cast<size_t>(controlTop)], lines[static_cast<size_t>(FirstVisible(re))]);

    // The caret goes down line after line through windows.
    re.SetSelStart(LineStart(lines, 2000));
    for (int i = 0; i < 300; ++i) SendMessageA(re.Handle(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(re.SelStart(), LineStart(lines, 2300));
    EXPECT_LE(FirstVisible(re), 2300);
    EXPECT_GT(FirstVisible(re) + page + 3, 2300);
    // Ctrl+End and Ctrl+Home: the ends of the text.
    WithKeyDown(VK_CONTROL, [&] { SendMessageA(re.Handle(), WM_KEYDOWN, VK_END, 0); });
    EXPECT_EQ(re.SelStart(), re.GetTextLen());
    atLastPage();
    EXPECT_EQ(ShownLines(re)[static_cast<size_t>(ControlOwn(re, EM_GETFIRSTVISIBLELINE))],
              lines[static_cast<size_t>(FirstVisible(re))]);
    WithKeyDown(VK_CONTROL, [&] { SendMessageA(re.Handle(), WM_KEYDOWN, VK_HOME, 0); });
    EXPECT_EQ(re.SelStart(), 0);
    EXPECT_EQ(FirstVisible(re), 0);
}

// The control's find gives what the control holding the whole text gives: in the window, over a
// few characters outside it, and over the whole text (which puts the whole text in first).
TEST(RichEditWindow, FindsAnswerAsTheControlHoldingTheWholeTextDoes) {
    Fixture f;
    TRichEdit& re = f.re;
    const std::vector<std::string>& lines = f.lines;
    const std::string& text = f.text;
    ASSERT_TRUE(f.ShowLog());
    const HWND whole = CreateWindowExA(0, "RichEdit20A", "", WS_POPUP | ES_MULTILINE, 0, 0, 0, 0, nullptr, nullptr,
                                       GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(whole);
    SendMessageA(whole, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    SetWindowTextA(whole, text.c_str());
    const auto reference = [&](const std::string& what, int from, int length, unsigned options) {
        FINDTEXTEXA find{};
        find.chrg = {from, length < 0 ? -1 : from + length};
        find.lpstrText = what.c_str();
        WPARAM flags = 1;
        if (options & TRichEdit::stWholeWord) flags |= 2;
        if (options & TRichEdit::stMatchCase) flags |= 4;
        return static_cast<int>(SendMessageA(whole, EM_FINDTEXTEX, flags, reinterpret_cast<LPARAM>(&find)));
    };
    struct TCase {
        std::string What;
        int From, Length;
        unsigned Options;
    };
    const int near5000 = LineStart(lines, 5000), near10 = LineStart(lines, 10);
    const std::vector<TCase> small = {
        {"keyword", near10, 40, TRichEdit::stWholeWord},
        {"KEYWORD", near10 - 1, 200, TRichEdit::stWholeWord},
        {"keyword", near10 - 1, 200, TRichEdit::stWholeWord | TRichEdit::stMatchCase},
        {"ord", near10, 300, TRichEdit::stWholeWord},
        {"ord", near10, 300, 0},
        {"line 5001:", near5000, 400, 0},
        {"line 12", near10, 5000, 0},
        {"absent", near10, 2000, 0},
    };
    for (const TCase& c : small) {
        SCOPED_TRACE(c.What + " " + std::to_string(c.From));
        EXPECT_EQ(re.FindString(c.What, c.From, c.Length, c.Options), reference(c.What, c.From, c.Length, c.Options));
    }
    EXPECT_TRUE(re.ShowsWindow());
    // In the window (its end holds the caret at 0's lines, so the start of the text).
    EXPECT_EQ(re.FindString("line 3:", 0, 400, 0), reference("line 3:", 0, 400, 0));
    EXPECT_TRUE(re.ShowsWindow());
    // Over the whole text.
    EXPECT_EQ(re.FindString("line 5999:", 0, -1, 0), reference("line 5999:", 0, -1, 0));
    EXPECT_FALSE(re.ShowsWindow());
    EXPECT_EQ(ControlText(re), text);
    DestroyWindow(whole);
}

// An edit of the user's first puts the whole text into the control, where the edit then goes;
// a read-only pane takes none.
TEST(RichEditWindow, AnEditPutsTheWholeTextInFirstAndAReadOnlyPaneTakesNone) {
    const std::vector<std::string> lines = LogLines(6000);
    const std::string text = Joined(lines);
    {
        Fixture f;
        TRichEdit& re = *f.Edit;
        re.SetText(text);
        const int at = LineStart(lines, 3000);
        re.SetSelStart(at);
        SendMessageA(re.Handle(), WM_CHAR, 'Q', 0);
        EXPECT_FALSE(re.ShowsWindow());
        std::string expected = text;
        expected.insert(static_cast<size_t>(at + 3000 * 1), "Q");
        EXPECT_EQ(re.Text(), expected);
        EXPECT_EQ(re.SelStart(), at + 1);
        EXPECT_TRUE(re.Modified());
    }
    {
        Fixture f;
        TRichEdit& re = *f.Edit;
        re.SetReadOnly(true);
        re.SetText(text);
        SendMessageA(re.Handle(), WM_CHAR, 'Q', 0);
        SendMessageA(re.Handle(), WM_PASTE, 0, 0);
        EXPECT_TRUE(re.ShowsWindow());
        EXPECT_EQ(re.Text(), text);
        EXPECT_FALSE(re.Modified());
    }
}

// Appends to a pane that shows a window: a caret at the end follows them with the view, any
// other selection and view stay where they are.
TEST(RichEditWindow, AppendsFollowACaretAtTheEndAndLeaveAnyOtherWhereItIs) {
    Fixture f;
    TRichEdit& re = *f.Edit;
    const std::vector<std::string> lines = LogLines(7000);
    re.Clear();
    for (size_t i = 0; i < 6000; ++i) re.Lines().Add(lines[i]);
    Drain(re);
    ASSERT_TRUE(re.ShowsWindow());
    EXPECT_EQ(re.SelStart(), re.GetTextLen());
    SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(re.Handle(), SB_VERT, &si);
    EXPECT_LE(FirstVisible(re), 6000 - static_cast<LRESULT>(si.nPage));
    EXPECT_GE(FirstVisible(re), 6000 - static_cast<LRESULT>(si.nPage) - 1);
    EXPECT_EQ(re.WindowEnd(), static_cast<size_t>(re.GetTextLen()));

    re.SetSelStart(10);
    SendMessageA(re.Handle(), WM_VSCROLL, SB_TOP, 0);
    for (size_t i = 6000; i < 7000; ++i) re.Lines().Add(lines[i]);
    Drain(re);
    EXPECT_EQ(re.SelStart(), 10);
    EXPECT_EQ(re.SelLength(), 0);
    EXPECT_EQ(FirstVisible(re), 0);
    EXPECT_EQ(ControlText(re), Joined(lines));
    GetScrollInfo(re.Handle(), SB_VERT, &si);
    EXPECT_EQ(si.nMax, 6999);
}

// The text of a pane that shows a window is in memory alone: an append the memory has no room
// for is left out with all that follows, the user is told once, and readers learn that the text
// is not whole; a new text is taken again.
TEST(RichEditWindow, AnAppendTheMemoryHasNoRoomForIsLeftOutAndSaysSo) {
    Fixture f;
    TRichEdit& re = f.re;
    ruktest::MessageCapture capture;
    std::vector<std::string>& shown = capture.Messages;
    const std::string& text = f.text;
    ASSERT_TRUE(f.ShowLog());
    static unsigned long long room;
    room = 0;
    TPaneText::SetRoomCheck([](unsigned long long bytes) { return bytes <= room; });
    // More than a megabyte, so that the room is asked about.
    re.AppendText(std::string(2u << 20, 'x'));
    re.AppendText("\r\nand more");
    const bool whole = re.HoldsWholeText();
    TPaneText::SetRoomCheck(nullptr);
    re.AppendText("\r\nlater");
    EXPECT_FALSE(whole);
    EXPECT_FALSE(re.HoldsWholeText());
    EXPECT_EQ(re.Text(), text);
    EXPECT_EQ(ControlText(re), text);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].substr(0, 21), "Failed to Load Stream");
    re.SetText(text);
    re.AppendText("\r\nlast");
    EXPECT_TRUE(re.HoldsWholeText());
    EXPECT_EQ(re.Text(), text + "\r\nlast");
}

// Where the address space cannot take the whole text into the control, the pane goes on
// showing a window: a find over a long range still answers as the control would (over the
// range's lines in pieces), an edit does nothing, and the user is told once why.
TEST(RichEditWindow, WhereTheControlCannotTakeTheWholeTextFindsStillAnswerAndEditsWait) {
    Fixture f;
    TRichEdit& re = f.re;
    ruktest::MessageCapture capture;
    ASSERT_TRUE(f.ShowLog());
    const int length = re.GetTextLenCRLF();
    TPaneText::SetRoomCheck([](unsigned long long bytes) { return bytes < (100u << 20); });
    const int last = re.FindString("line 5999:", 10, length, 0);
    const int early = re.FindString("line 3", 10, length, 0);
    const int words = re.FindString("KEYWORD AND KEYWORD", 1000, length, TRichEdit::stWholeWord);
    const int absent = re.FindString("absent", 0, length, 0);
    re.SetSelStart(20);
    SendMessageA(re.Handle(), WM_CHAR, 'Q', 0);
    SendMessageA(re.Handle(), WM_CHAR, 'R', 0);
    const bool windowed = re.ShowsWindow();
    TPaneText::SetRoomCheck(nullptr);
    EXPECT_TRUE(windowed);
    EXPECT_EQ(re.Text(), f.text);
    ASSERT_EQ(capture.Messages.size(), 1u);
    EXPECT_NE(capture.Messages[0].find("too large"), std::string::npos);
    // The answers are the control's over the whole text.
    EXPECT_EQ(last, re.FindString("line 5999:", 10, length, 0));
    EXPECT_EQ(early, re.FindString("line 3", 10, length, 0));
    EXPECT_EQ(words, re.FindString("KEYWORD AND KEYWORD", 1000, length, TRichEdit::stWholeWord));
    EXPECT_EQ(absent, -1);
    EXPECT_FALSE(re.ShowsWindow());
    EXPECT_GT(last, 0);
    EXPECT_GT(words, 1000);
}

// Whatever the pane's height (the main window's default one, ones that cut the last line of the
// view), its lines (just over the limit, long, wrapped) and however its text came (at once, or
// appended after the pane was shown, as a run's log and then auto-find's lines come), Ctrl+End,
// the wheel and the scroll bar's end each bring the text's last line wholly into view.
TEST(RichEditWindow, KeysTheWheelAndTheScrollBarReachTheLastLine) {
    struct TCase {
        const char* Name;
        int Lines;
        int LongEvery;  // every n-th line some 300 characters long (0: none)
        bool Wrap;
        TScrollStyle Bars;
        bool Appended;
        int Width;
        std::vector<int> Heights;
    };
    // Heights a third of a line apart: the last line of the view is cut by different parts.
    int lineHeight = 0;
    {
        FormPtr form = NewForm();
        TRichEdit* re = Place<TRichEdit>(*form);
        re->SetText("a\r\nb");
        POINTL first{}, second{};
        SendMessageA(re->Handle(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&first), 0);
        SendMessageA(re->Handle(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&second), 2);
        lineHeight = static_cast<int>(second.y - first.y);
    }
    ASSERT_GT(lineHeight, 5);
    const std::vector<int> heights = {200, 200 + lineHeight / 3, 200 + lineHeight * 2 / 3};
    const TCase cases[] = {
        {"the main window's log", 6074, 0, false, TScrollStyle::ssBoth, true, 624, {253, 249}},
        {"just over 4,000 lines", 4002, 0, false, TScrollStyle::ssBoth, false, 300, heights},
        {"appended", 4200, 0, false, TScrollStyle::ssBoth, true, 300, heights},
        {"long lines, unwrapped", 4100, 7, false, TScrollStyle::ssBoth, false, 300, heights},
        {"long lines, wrapped", 4100, 7, true, TScrollStyle::ssVertical, false, 300, heights},
        {"wrapped, appended", 4100, 7, true, TScrollStyle::ssVertical, true, 300, {heights[1]}},
    };
    for (const TCase& c : cases) {
        std::vector<std::string> lines = LogLines(c.Lines);
        for (size_t i = 0; c.LongEvery && i < lines.size(); i += static_cast<size_t>(c.LongEvery))
            lines[i] += ruktest::LongLine(300, static_cast<unsigned>(i));
        // Auto-find's lines after the run's.
        const std::vector<std::string> more = {"Auto find added 2 keywords.", "keyword", "tag"};
        for (const int height : c.Heights) {
            SCOPED_TRACE(std::string(c.Name) + ", " + std::to_string(height) + " pixels high");
            FormPtr form = NewForm();
            form->SetBounds(0, 0, c.Width + 40, height + 40);
            TRichEdit* re = Place<TRichEdit>(*form, c.Width, height);
            re->SetWordWrap(c.Wrap);
            re->SetScrollBars(c.Bars);
            form->Show();
            if (c.Appended) {
                // As a run delivers its log: lines that go in while the window goes on.
                for (size_t i = 0; i < lines.size(); ++i) {
                    re->Lines().Add(lines[i]);
                    if (i % 500 == 499) ruktest::PumpFor(20);
                }
                Drain(*re);
                for (const std::string& line : more) re->Lines().Add(line);
                Drain(*re);
                // The caret at the end: the view followed the text.
                EXPECT_EQ(LastLineOutOfView(*re, more.back()), "") << "as the text came";
            } else {
                re->SetText(Joined(lines));
            }
            ASSERT_TRUE(re->ShowsWindow());
            const std::string& lastLine = c.Appended ? more.back() : lines.back();
            const int count = static_cast<int>(lines.size() + (c.Appended ? more.size() : 0));
            const int nearEnd = LineStart(lines, static_cast<int>(lines.size()) - 20);
            const HWND h = re->Handle();
            struct TWay {
                const char* Name;
                std::function<void()> Go;
            };
            const TWay ways[] = {
                {"Ctrl+End",
                 [&] {
                     re->SetSelStart(0);
                     WithKeyDown(VK_CONTROL, [&] { SendMessageA(h, WM_KEYDOWN, VK_END, 0); });
                 }},
                {"the wheel",
                 [&] {
                     re->SetSelStart(nearEnd);
                     for (int i = 0; i < 10; ++i)
                         SendMessageA(h, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
                 }},
                {"the scroll bar's bottom",
                 [&] {
                     SendMessageA(h, WM_VSCROLL, SB_TOP, 0);
                     SendMessageA(h, WM_VSCROLL, SB_BOTTOM, 0);
                 }},
                {"the scroll bar's thumb at the end",
                 [&] {
                     SendMessageA(h, WM_VSCROLL, SB_TOP, 0);
                     SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
                     GetScrollInfo(h, SB_VERT, &si);
                     ASSERT_EQ(si.nMax, count - 1);
                     // Where a drag of the thumb to the end leaves it (outside a drag, the
                     // bar's track position is its position).
                     const int end = si.nMax - static_cast<int>(si.nPage) + 1;
                     SetScrollPos(h, SB_VERT, end, FALSE);
                     SendMessageA(h, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, end), 0);
                     SendMessageA(h, WM_VSCROLL, SB_ENDSCROLL, 0);
                 }},
                {"the scroll bar's page down",
                 [&] {
                     re->SetSelStart(nearEnd);
                     for (int i = 0; i < 5; ++i) SendMessageA(h, WM_VSCROLL, SB_PAGEDOWN, 0);
                 }},
            };
            for (const TWay& way : ways) {
                way.Go();
                EXPECT_EQ(LastLineOutOfView(*re, lastLine), "") << way.Name;
            }
        }
    }
}
