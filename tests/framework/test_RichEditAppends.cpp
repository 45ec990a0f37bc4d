// Appends to a rich edit that are made later, in slices, from the control's timer: whatever
// reads the control sees the text as if every append had gone in at once.
#include "ComCtrls.h"
#include "Form.h"
#include "FormTestSupport.h"
#include "RichEditControlText.h"
#include "WindowTestSupport.h"
#include "Forms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace ruk;
using namespace ruk::test;
using ruktest::ControlText;

namespace {

struct Fixture {
    FormPtr Form = NewForm();
    TRichEdit* Edit = Place<TRichEdit>(*Form);
    TRichEdit* Reference = Place<TRichEdit>(*Form);
    Fixture() { Form->Show(); }
};

// Lines of many lengths ending in CR LF, LF or a lone CR, so that slice ends fall everywhere.
std::string ManyLines(int count, unsigned seed) {
    std::string text;
    static const char* const ends[] = {"\r\n", "\n", "\r", "\r\n"};
    for (int i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        const int len = static_cast<int>((seed >> 16) % 120);
        for (int k = 0; k < len; ++k) text += static_cast<char>('a' + (k + i) % 26);
        text += ends[(seed >> 8) % 4];
    }
    return text;
}

// The soft break CR CR LF taken out: only the control can tell how it reads a text with one.
std::string WithoutSoftBreaks(std::string text) {
    for (size_t at; (at = text.find("\r\r\n")) != std::string::npos;) text.erase(at, 1);
    return text;
}

// The control's own append of a text at its end, in one call.
void ReplaceSelAtEnd(TRichEdit& re, const std::string& text) {
    const int len = re.GetTextLen();
    CHARRANGE end{len, len};
    SendMessageA(re.Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
    SendMessageA(re.Handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

// Handles messages, and so the controls' timers, while busy holds (ms at most).
void PumpWhile(const std::function<bool()>& busy, DWORD ms = 60000) {
    const DWORD until = GetTickCount() + ms;
    while (busy() && GetTickCount() < until) {
        MSG msg;
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        else MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// Handles messages until the control has nothing left to append.
void DrainByTimer(TRichEdit& re, DWORD ms = 60000) {
    PumpWhile([&re] { return re.AppendPending(); }, ms);
}

}  // namespace

TEST(RichEditAppends, LinesEndUpAsTheLineRuleSaysWhereverTheyAreRead) {
    // The model of Lines().Add: a line break before a line unless the text ends with one.
    struct Case {
        std::string initial;
        std::vector<std::string> lines;
        size_t readAfter;  // the text is read after this many lines, completing what waits
    };
    const Case cases[] = {
        {"", {"a", "b", "c"}, 99},
        {"x", {"", "y"}, 99},
        {"x", {""}, 99},
        {"x\r\n", {"a", "b"}, 1},
        {"", {"", "", "z"}, 1},
        {"x", {"section\r\nwith breaks", "next"}, 99},
        {"", {"ends with a break\r\n", "after", ""}, 2},
        {"x", {"a"}, 0},
    };
    Fixture f;
    for (const Case& c : cases) {
        f.Edit->SetText(c.initial);
        std::string expected = c.initial;
        for (size_t i = 0; i < c.lines.size(); ++i) {
            if (i == c.readAfter) {
                EXPECT_EQ(f.Edit->Text(), expected) << "case " << (&c - cases);
            }
            f.Edit->Lines().Add(c.lines[i]);
            if (!expected.empty() && expected.back() != '\n') expected += "\r\n";
            expected += c.lines[i];
        }
        EXPECT_EQ(f.Edit->Text(), expected) << "case " << (&c - cases);
        EXPECT_EQ(ControlText(*f.Edit), expected) << "case " << (&c - cases);
    }
}

TEST(RichEditAppends, ALargeAppendWaitsAndEndsAsOneSettingOfTheText) {
    const std::string text = ManyLines(1500, 7);  // about 90 KB: several slices
    struct Case {
        const char* how;
        int pieces;
        bool byTimer;  // else read at once
    };
    const Case cases[] = {{"one piece, read at once", 1, false},
                          {"one piece, by the timer", 1, true},
                          {"37 pieces, read at once", 37, false},
                          {"37 pieces, by the timer", 37, true}};
    Fixture f;
    for (const Case& c : cases) {
        f.Edit->SetText("head\r\n");
        f.Reference->SetText("head\r\n");
        const size_t step = text.size() / static_cast<size_t>(c.pieces) + 1;
        for (size_t at = 0; at < text.size(); at += step) {
            f.Edit->AppendText(text.substr(at, step));
            ReplaceSelAtEnd(*f.Reference, text.substr(at, step));
        }
        const std::string expected = f.Reference->Text();
        EXPECT_TRUE(f.Edit->AppendPending()) << c.how;
        if (c.byTimer) DrainByTimer(*f.Edit);
        EXPECT_EQ(f.Edit->Text(), expected) << c.how;
        EXPECT_EQ(ControlText(*f.Edit), expected) << c.how;
        EXPECT_FALSE(f.Edit->AppendPending()) << c.how;
        EXPECT_EQ(f.Edit->Lines().Count(), f.Reference->Lines().Count()) << c.how;
    }
}

TEST(RichEditAppends, ReadsAndChangesOfAnyKindCompleteTheAppendsFirst) {
    Fixture f;
    const std::string text = ManyLines(800, 3);
    f.Reference->SetText("");
    ReplaceSelAtEnd(*f.Reference, text);
    ReplaceSelAtEnd(*f.Reference, "tail");
    // Each step meets a control whose appends still wait.
    struct Step {
        const char* what;
        void (*run)(TRichEdit&, const std::string&);
    };
    const Step steps[] = {
        {"WM_GETTEXTLENGTH",
         [](TRichEdit& re, const std::string& expected) {
             const LRESULT n = SendMessageA(re.Handle(), WM_GETTEXTLENGTH, 0, 0);
             EXPECT_GE(n, static_cast<LRESULT>(expected.size()) - 10000);  // line breaks count once or twice
             EXPECT_EQ(re.Text(), expected);
         }},
        {"GetTextLen",
         [](TRichEdit& re, const std::string& expected) {
             // The length of the whole text, whether from memory or after the appends.
             const int length = re.GetTextLen();
             EXPECT_EQ(re.Text(), expected);
             re.CompleteAppends();
             EXPECT_EQ(re.GetTextLen(), length);
         }},
        {"select all and selected text",
         [](TRichEdit& re, const std::string& expected) {
             re.SelectAll();
             EXPECT_EQ(re.SelText(), expected);
         }},
        {"typing at the end",
         [](TRichEdit& re, const std::string& expected) {
             SendMessageA(re.Handle(), WM_CHAR, '!', 0);
             // The caret was at the end before the appends and followed them.
             EXPECT_EQ(re.Text(), expected + "!");
         }},
        {"stream out",
         [](TRichEdit& re, const std::string& expected) {
             re.SetPlainText(true);
             TMemoryStream m;
             re.Lines().SaveToStream(m);
             EXPECT_EQ(std::string(m.Memory(), static_cast<size_t>(m.Size())), expected);
             // A plain save may come from memory; the control has the same text.
             EXPECT_EQ(ControlText(re), expected);
         }},
    };
    const std::string expected = f.Reference->Text();
    for (const Step& s : steps) {
        f.Edit->Clear();
        f.Edit->AppendText(text);
        f.Edit->AppendText("tail");
        ASSERT_TRUE(f.Edit->AppendPending()) << s.what;
        s.run(*f.Edit, expected);
        EXPECT_FALSE(f.Edit->AppendPending()) << s.what;
    }
}

TEST(RichEditAppends, ModifiedFlagAndSelectionAreAsAfterAnAppendAtOnce) {
    Fixture f;
    // Seven appends of it stay below the size from which the pane shows a window of its text.
    const std::string text = ManyLines(300, 11);
    f.Edit->SetText("one\r\ntwo\r\n");
    f.Edit->SetModified(false);
    f.Edit->SetSelStart(1);
    f.Edit->SetSelLength(2);
    f.Edit->AppendText(text);
    ASSERT_TRUE(f.Edit->AppendPending());
    // An append modifies; asking does not make the control do the waiting work.
    EXPECT_TRUE(f.Edit->Modified());
    f.Edit->SetModified(false);
    EXPECT_FALSE(f.Edit->Modified());
    EXPECT_TRUE(f.Edit->AppendPending());
    DrainByTimer(*f.Edit);
    EXPECT_FALSE(f.Edit->Modified());
    EXPECT_EQ(f.Edit->SelStart(), 1);
    EXPECT_EQ(f.Edit->SelLength(), 2);
    // Marked modified while waiting, and an append after an unmodified mark: modified.
    f.Edit->AppendText(text);
    f.Edit->SetModified(true);
    DrainByTimer(*f.Edit);
    EXPECT_TRUE(f.Edit->Modified());
    f.Edit->SetModified(false);
    f.Edit->AppendText(text);
    f.Edit->SetModified(false);
    f.Edit->AppendText("x");
    EXPECT_TRUE(f.Edit->Modified());
    // A caret at the end follows the text to its new end.
    f.Edit->SetSelStart(f.Edit->GetTextLen());
    f.Edit->AppendText(text);
    DrainByTimer(*f.Edit);
    EXPECT_EQ(f.Edit->SelStart(), f.Edit->GetTextLen());
    EXPECT_EQ(f.Edit->SelLength(), 0);
    // Nothing of the appends can be undone.
    EXPECT_EQ(SendMessageA(f.Edit->Handle(), EM_CANUNDO, 0, 0), 0);
    // Asking for a selection away from the end, or whether there is anything to undo (as the
    // edit actions do on every idle step), leaves the appends waiting.
    f.Edit->SetSelStart(1);
    f.Edit->SetSelLength(2);
    f.Edit->AppendText(text);
    ASSERT_TRUE(f.Edit->AppendPending());
    EXPECT_EQ(f.Edit->SelStart(), 1);
    EXPECT_EQ(f.Edit->SelLength(), 2);
    EXPECT_EQ(SendMessageA(f.Edit->Handle(), EM_CANUNDO, 0, 0), 0);
    EXPECT_TRUE(f.Edit->AppendPending());
    // A caret at the end is where the appends end.
    f.Edit->CompleteAppends();
    f.Edit->SetSelStart(f.Edit->GetTextLen());
    const int before = f.Edit->GetTextLen();
    f.Edit->AppendText(text);
    ASSERT_TRUE(f.Edit->AppendPending());
    EXPECT_GT(f.Edit->SelStart(), before);
    f.Edit->CompleteAppends();
    EXPECT_EQ(f.Edit->SelStart(), f.Edit->GetTextLen());
}

TEST(RichEditAppends, SettingOrLoadingTheTextDropsWhatWaits) {
    Fixture f;
    const std::string text = ManyLines(800, 5);
    f.Edit->AppendText(text);
    ASSERT_TRUE(f.Edit->AppendPending());
    f.Edit->SetText("new");
    EXPECT_FALSE(f.Edit->AppendPending());
    EXPECT_EQ(f.Edit->Text(), "new");

    f.Edit->AppendText(text);
    ASSERT_TRUE(f.Edit->AppendPending());
    TMemoryStream m;
    m.WriteBuffer("loaded\r\n", 8);
    m.SetPosition(0);
    f.Edit->SetPlainText(true);
    f.Edit->Lines().LoadFromStream(m);
    EXPECT_EQ(f.Edit->Text(), "loaded\r\n");

    f.Edit->AppendText(text);
    f.Edit->Clear();
    EXPECT_EQ(f.Edit->GetTextLen(), 0);
    // A control that goes away takes its waiting text with it.
    f.Edit->AppendText(text);
    f.Form->Free();
    f.Form.release();
}

TEST(RichEditAppends, ALoadLeavesTheControlUnmodifiedAsSettingTheTextDoes) {
    Fixture f;
    const std::string rtf = "{\\rtf1\\ansi{\\fonttbl\\f0\\fswiss Arial;}\\f0\\pard rich\\par}";
    const struct {
        bool Plain;
        std::string Data;
    } loads[] = {{true, "plain text\r\n"}, {false, "not rich text"}, {false, rtf}, {true, rtf}, {false, ""}};
    for (const auto& load : loads) {
        SCOPED_TRACE(load.Data);
        f.Edit->SetPlainText(load.Plain);
        f.Edit->SetText("before");
        f.Edit->SetModified(true);
        TMemoryStream m;
        if (!load.Data.empty()) m.WriteBuffer(load.Data.data(), static_cast<int>(load.Data.size()));
        m.SetPosition(0);
        EXPECT_EQ(StreamHoldsRichText(m), load.Data == rtf);
        EXPECT_EQ(m.Position(), 0);
        f.Edit->Lines().LoadFromStream(m);
        EXPECT_FALSE(f.Edit->Modified());
        EXPECT_NE(f.Edit->Text(), "before");
        // Typing marks it again.
        f.Edit->SetSelStart(0);
        SendMessageA(f.Edit->Handle(), WM_CHAR, 'Q', 0);
        EXPECT_TRUE(f.Edit->Modified());
    }
}

TEST(RichEditAppends, ALargePlainLoadGoesInBySlicesIntoAReadOnlyControl) {
    Fixture f;
    f.Edit->SetReadOnly(true);
    f.Edit->SetPlainText(true);
    const std::string text = ManyLines(1500, 13) + "last line without a break";
    // The text as it stands; the control's own stream-in would break lines differently where
    // a line break straddles two of its buffers.
    f.Reference->SetText(text);
    const std::string expected = f.Reference->Text();
    for (const bool byTimer : {false, true}) {
        f.Edit->SetText("before");
        TMemoryStream m;
        m.WriteBuffer(text.data(), static_cast<int>(text.size()));
        m.SetPosition(0);
        f.Edit->Lines().LoadFromStream(m);
        EXPECT_TRUE(f.Edit->AppendPending());
        // A load is no edit: the control stays unmodified, also once the slices are in.
        EXPECT_FALSE(f.Edit->Modified());
        if (byTimer) DrainByTimer(*f.Edit);
        EXPECT_EQ(f.Edit->Text(), expected) << byTimer;
        EXPECT_FALSE(f.Edit->Modified()) << byTimer;
        EXPECT_EQ(f.Edit->SelStart(), 0) << byTimer;
        EXPECT_EQ(SendMessageA(f.Edit->Handle(), EM_CANUNDO, 0, 0), 0);
    }
    // Still read-only for the user.
    f.Edit->SetSelStart(0);
    SendMessageA(f.Edit->Handle(), WM_CHAR, 'Q', 0);
    EXPECT_EQ(f.Edit->Text(), expected);
}

// A pane out of sight waits while a pane in sight still fills, so that the text the user looks
// at goes in first; then it takes its own text as ever.
TEST(RichEditAppends, APaneOutOfSightWaitsForThePaneInSight) {
    Fixture f;
    TRichEdit& inSight = *f.Edit;
    TRichEdit& outOfSight = *f.Reference;
    ShowWindow(outOfSight.Handle(), SW_HIDE);
    inSight.SetText("");
    outOfSight.SetText("");
    auto lines = [](int count) {
        std::string text;
        for (int i = 0; i < count; ++i) text += "Found tag is : <p class=\"line\"> " + std::to_string(i) + "\r\n";
        return text;
    };
    const std::string large = lines(12000), small = lines(2000);
    inSight.AppendText(large);
    outOfSight.AppendText(small);
    ASSERT_TRUE(outOfSight.AppendPending());
    DrainByTimer(inSight, 120000);
    ASSERT_FALSE(inSight.AppendPending());
    // A sixth of the text, it would have been in long before.
    EXPECT_TRUE(outOfSight.AppendPending());
    DrainByTimer(outOfSight, 120000);
    EXPECT_FALSE(outOfSight.AppendPending());
    EXPECT_EQ(ControlText(inSight), large);
    EXPECT_EQ(ControlText(outOfSight), small);
}

TEST(RichEditAppends, TheViewFollowsACaretAtTheEndAndScrollsAsFar) {
    Fixture f;
    const std::string text = ManyLines(1500, 17);
    f.Reference->SetText("");
    ReplaceSelAtEnd(*f.Reference, text);
    f.Edit->SetText("");
    f.Edit->AppendText(text);
    DrainByTimer(*f.Edit);
    Application->ProcessMessages();
    SCROLLINFO edit{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0}, reference = edit;
    ASSERT_TRUE(GetScrollInfo(f.Edit->Handle(), SB_VERT, &edit));
    ASSERT_TRUE(GetScrollInfo(f.Reference->Handle(), SB_VERT, &reference));
    EXPECT_EQ(edit.nMax, reference.nMax);
    EXPECT_EQ(edit.nPos, reference.nPos);
    EXPECT_GT(edit.nPos, 0);
    EXPECT_EQ(SendMessageA(f.Edit->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0),
              SendMessageA(f.Reference->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0));
    EXPECT_TRUE(IsWindowVisible(f.Edit->Handle()));
}

TEST(RichEditAppends, ReplacingALongTextGivesTheControlANewWindowThatBehavesAsTheOld) {
    Fixture f;
    const std::string many = ManyLines(3000, 19);
    int selectionChanges = 0;
    f.Edit->OnSelectionChange = [&](TObject*) { ++selectionChanges; };
    f.Edit->SetReadOnly(true);
    // The modified flag after a replacement, as a control with a short text has it.
    f.Reference->SetText("short");
    f.Reference->SetModified(true);
    f.Reference->SetText("new text");
    const bool modified = f.Reference->Modified();

    struct Case {
        const char* how;
        void (*replace)(TRichEdit&);
        const char* expected;
    };
    const Case cases[] = {
        {"SetText", [](TRichEdit& re) { re.SetText("new text"); }, "new text"},
        {"Clear", [](TRichEdit& re) { re.Clear(); }, ""},
        {"plain load",
         [](TRichEdit& re) {
             TMemoryStream m;
             m.WriteBuffer("new text", 8);
             m.SetPosition(0);
             re.SetPlainText(true);
             re.Lines().LoadFromStream(m);
         },
         "new text"},
        {"RTF load",
         [](TRichEdit& re) {
             const std::string rtf = "{\\rtf1\\ansi new text}";
             TMemoryStream m;
             m.WriteBuffer(rtf.data(), static_cast<int>(rtf.size()));
             m.SetPosition(0);
             re.SetPlainText(false);
             re.Lines().LoadFromStream(m);
         },
         "new text"},
    };
    for (const Case& c : cases) {
        f.Edit->SetText(many);
        ASSERT_GT(SendMessageA(f.Edit->Handle(), EM_GETLINECOUNT, 0, 0), 1000) << c.how;
        SetFocus(f.Edit->Handle());
        RECT before{};
        GetWindowRect(f.Edit->Handle(), &before);
        const HWND old = f.Edit->Handle();
        f.Edit->SetModified(true);
        c.replace(*f.Edit);
        EXPECT_NE(f.Edit->Handle(), old) << c.how;
        EXPECT_EQ(f.Edit->Text(), c.expected) << c.how;
        if (std::string(c.how) == "SetText") {
            EXPECT_EQ(f.Edit->Modified(), modified);
        }
        RECT after{};
        GetWindowRect(f.Edit->Handle(), &after);
        EXPECT_TRUE(EqualRect(&before, &after)) << c.how;
        EXPECT_TRUE(IsWindowVisible(f.Edit->Handle())) << c.how;
        EXPECT_EQ(GetFocus(), f.Edit->Handle()) << c.how;
        EXPECT_EQ(GetParent(f.Edit->Handle()), f.Form->Handle()) << c.how;
        // Still read-only for the user, still ours: its events and appends work as before.
        SendMessageA(f.Edit->Handle(), WM_CHAR, 'Q', 0);
        EXPECT_EQ(f.Edit->Text(), c.expected) << c.how;
        const int changes = selectionChanges;
        f.Edit->SelectAll();
        EXPECT_GT(selectionChanges, changes) << c.how;
        f.Edit->Lines().Add("more");
        EXPECT_EQ(f.Edit->Lines().Strings(f.Edit->Lines().Count() - 1), "more") << c.how;
    }
}

TEST(RichEditAppends, AppendsThatMeetAtALineBreakStayApartAsTheyWouldAtOnce) {
    // The control reads CR | LF and CR | CR LF in one text as one break (the latter as a soft
    // break); made by two appends they are two breaks. Gathered appends must stay apart.
    const std::vector<std::vector<std::string>> cases = {
        {"a\r", "\nb"}, {"a\r", "\r\nb"}, {"a\r\r", "\nb"}, {"a\r", "\r", "\nb"}, {"a\r\n", "\r\nb"}, {"a\r", "b"},
    };
    Fixture f;
    const std::string head = ManyLines(200, 23);  // so that what follows waits
    for (const auto& pieces : cases) {
        f.Edit->SetText("");
        f.Reference->SetText("");
        f.Edit->AppendText(head);
        ReplaceSelAtEnd(*f.Reference, head);
        for (const std::string& p : pieces) {
            f.Edit->AppendText(p);
            ReplaceSelAtEnd(*f.Reference, p);
        }
        EXPECT_TRUE(f.Edit->AppendPending());
        EXPECT_EQ(f.Edit->Text(), f.Reference->Text()) << pieces[0].size() << " " << pieces[1].size();
    }
}

TEST(RichEditAppends, WhenTheAddressSpaceRunsShortTheAppendsStopAndTheUserIsToldOnce) {
    Fixture f;
    ruktest::MessageCapture capture;
    std::vector<std::string>& shown = capture.Messages;
    const std::string text = WithoutSoftBreaks(ManyLines(400, 29));
    // The pane sits on a page: the message names it by the page's caption.
    auto* pages = Place<TPageControl>(*f.Form);
    auto* sheet = new TTabSheet(f.Form.get());
    sheet->SetParent(pages);
    sheet->SetText("Log");
    f.Edit->SetParent(sheet);
    f.Edit->SetText("kept");
    EXPECT_TRUE(f.Edit->HoldsWholeText());
    // Takes the address space down to about 150 MB, below what the control is let to use.
    std::vector<void*> blocks;
    for (SIZE_T size = 256u << 20; size >= (1u << 20);) {
        if (!AddressSpaceAvailable((150ull << 20) + size)) {
            size /= 2;
            continue;
        }
        void* p = VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS);
        if (p) blocks.push_back(p);
        else size /= 2;
    }
    f.Edit->AppendText(text);
    f.Edit->Lines().Add("more");
    DrainByTimer(*f.Edit);
    const std::string held = ControlText(*f.Edit);
    const std::string whole = f.Edit->Text();
    for (void* p : blocks) VirtualFree(p, 0, MEM_RELEASE);
    // The pane shows what it could take; its readers have the whole text.
    EXPECT_EQ(held, "kept");
    ASSERT_GT(whole.size(), text.size());
    EXPECT_EQ(whole.substr(0, 4), "kept");
    EXPECT_EQ(whole.substr(whole.size() - 6), "\r\nmore");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], "Failed to Load Stream\r\n\r\nThe \"Log\" pane could not take the whole text; it shows it "
                        "as far as it could.");
    EXPECT_TRUE(f.Edit->HoldsWholeText());
    // Refused until the text is replaced; then appends go in again.
    f.Edit->AppendText("x");
    EXPECT_EQ(ControlText(*f.Edit), "kept");
    EXPECT_EQ(f.Edit->Text(), whole + "x");
    f.Edit->SetText("new");
    f.Edit->AppendText(text);
    EXPECT_EQ(f.Edit->Text().substr(0, 3), "new");
    EXPECT_GT(f.Edit->GetTextLen(), 1000);
    EXPECT_EQ(ControlText(*f.Edit), f.Edit->Text());
}

TEST(RichEditAppends, ReadersHaveTheWholeTextFromMemoryWhileTheControlStillTakesIt) {
    Fixture f;
    const std::string text = WithoutSoftBreaks(ManyLines(1500, 31));
    f.Reference->SetText("head\r\n");
    ReplaceSelAtEnd(*f.Reference, text);
    ReplaceSelAtEnd(*f.Reference, "tail");
    const std::string expected = ControlText(*f.Reference);
    f.Edit->SetPlainText(true);
    f.Edit->SetText("head\r\n");
    f.Edit->SetSelStart(f.Edit->GetTextLen());
    f.Edit->AppendText(text);
    f.Edit->AppendText("tail");
    ASSERT_TRUE(f.Edit->AppendPending());
    EXPECT_EQ(f.Edit->Text(), expected);
    EXPECT_EQ(f.Edit->LastChar(), 'l');
    TMemoryStream m;
    f.Edit->Lines().SaveToStream(m);
    EXPECT_EQ(std::string(m.Memory(), static_cast<size_t>(m.Size())), expected);
    // The caret at the end is at the end of the whole text, as the lengths count it.
    CHARRANGE r{};
    SendMessageA(f.Edit->Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
    GETTEXTLENGTHEX units{GTL_NUMCHARS | GTL_PRECISE, CP_ACP}, crlf{GTL_NUMCHARS | GTL_USECRLF, CP_ACP};
    const LRESULT length = SendMessageA(f.Edit->Handle(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&units), 0);
    EXPECT_EQ(SendMessageA(f.Edit->Handle(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&crlf), 0),
              static_cast<LRESULT>(expected.size()));
    EXPECT_TRUE(f.Edit->AppendPending());
    EXPECT_EQ(r.cpMin, length);
    EXPECT_EQ(r.cpMax, length);
    DrainByTimer(*f.Edit);
    EXPECT_TRUE(f.Edit->TextInMemory());
    EXPECT_EQ(ControlText(*f.Edit), expected);
    EXPECT_EQ(f.Edit->GetTextLen(), length);
    EXPECT_EQ(f.Edit->SelStart(), length);
}

TEST(RichEditAppends, TheTextInMemoryIsTheControlsOwn) {
    // Pieces of every kind of line break, tabs and characters above 127, appended in pieces
    // that meet anywhere (within a piece, no CR before a CR LF: that is the soft break below).
    static const char* const atoms[] = {"\r\n", "\n", "\r", "\t", "abc", "\xE9\x81", " ", "word"};
    Fixture f;
    unsigned seed = 37;
    auto next = [&seed](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    for (int round = 0; round < 4; ++round) {
        f.Edit->SetText(round % 2 ? "start\r" : "");
        for (int piece = 0; piece < 300; ++piece) {
            std::string p;
            for (unsigned k = next(12); k > 0; --k) p += atoms[next(8)];
            f.Edit->AppendText(WithoutSoftBreaks(p));
        }
        const std::string inMemory = f.Edit->Text();
        DrainByTimer(*f.Edit);
        ASSERT_TRUE(f.Edit->TextInMemory()) << round << " " << ::testing::PrintToString(inMemory.substr(0, 200));
        EXPECT_EQ(ControlText(*f.Edit), inMemory) << round;
    }
    // A soft break is left to the control.
    f.Edit->SetText("a");
    f.Edit->AppendText("b\r\r\nc");
    EXPECT_FALSE(f.Edit->TextInMemory());
    EXPECT_EQ(f.Edit->Text(), ControlText(*f.Edit));
    // So is a NUL, which the control keeps; what follows it, and later appends, still go in.
    f.Edit->SetText("a");
    f.Edit->AppendText(std::string("b\0c\r\nd", 6));
    f.Edit->AppendText("\r\ne");
    DrainByTimer(*f.Edit);
    EXPECT_FALSE(f.Edit->TextInMemory());
    EXPECT_EQ(ControlText(*f.Edit), std::string("ab\0c\r\nd\r\ne", 10));
}

TEST(RichEditAppends, AnEditByTheUserLeavesTheTextToTheControl) {
    Fixture f;
    const std::string text = ManyLines(600, 41);
    struct Case {
        const char* what;
        void (*edit)(TRichEdit&);
    };
    const Case cases[] = {
        {"typing", [](TRichEdit& re) { SendMessageA(re.Handle(), WM_CHAR, 'Q', 0); }},
        {"replacing the selection", [](TRichEdit& re) { re.SetSelText("Q"); }},
        {"deleting", [](TRichEdit& re) {
             re.SetSelStart(0);
             re.SetSelLength(1);
             SendMessageA(re.Handle(), WM_CLEAR, 0, 0);
         }},
    };
    for (const Case& c : cases) {
        f.Edit->SetText("first\r\n");
        f.Edit->AppendText(text);
        f.Edit->SetSelStart(0);
        c.edit(*f.Edit);
        EXPECT_FALSE(f.Edit->TextInMemory()) << c.what;
        EXPECT_FALSE(f.Edit->AppendPending()) << c.what;
        EXPECT_EQ(f.Edit->Text(), ControlText(*f.Edit)) << c.what;
        EXPECT_NE(f.Edit->Text().substr(0, 7), "first\r\n") << c.what;
        // A new text is known again.
        f.Edit->SetText("new");
        EXPECT_TRUE(f.Edit->TextInMemory()) << c.what;
    }
    // Typing into a read-only pane changes nothing.
    f.Edit->SetReadOnly(true);
    f.Edit->SetText("fixed");
    SendMessageA(f.Edit->Handle(), WM_CHAR, 'Q', 0);
    EXPECT_TRUE(f.Edit->TextInMemory());
    EXPECT_EQ(f.Edit->Text(), "fixed");
}

// A line too long for the control goes in by slices from the timer, as display lines that
// hold no more than the control lays out well; the text stays as it was.
TEST(RichEditAppends, ALongLineGoesInByTheTimerAsDisplayLines) {
    Fixture f;
    // As the document panes: no word wrap.
    f.Edit->SetWordWrap(false);
    // Below the size from which the pane shows a window of its text.
    const std::string text = "first\r\n" + std::string(150000, 'n') + "\r\nlast";
    f.Edit->SetText("");
    f.Edit->AppendText(text);
    DrainByTimer(*f.Edit, 300000);
    EXPECT_FALSE(f.Edit->AppendPending());
    EXPECT_EQ(f.Edit->Text(), text);
    EXPECT_EQ(ControlText(*f.Edit), text);
    const LRESULT rows = SendMessageA(f.Edit->Handle(), EM_GETLINECOUNT, 0, 0);
    EXPECT_EQ(static_cast<size_t>(rows), 3 + f.Edit->DisplayBreaks().Count());
    EXPECT_GE(rows, 150000 / static_cast<LRESULT>(TDisplayBreaks::kLineChars));
    for (LRESULT row = 0; row < rows; ++row) {
        const LRESULT start = SendMessageA(f.Edit->Handle(), EM_LINEINDEX, row, 0);
        ASSERT_LE(SendMessageA(f.Edit->Handle(), EM_LINELENGTH, start, 0), static_cast<LRESULT>(TDisplayBreaks::kLineChars));
    }
    EXPECT_EQ(f.Edit->Lines().Count(), 3);
}

// A pane that does not wrap its lines shows a line too long to be laid out unwrapped in
// display lines, however it came in, or wrapped when the control alone knows its text; its
// text stays as it was, and a new text without such a line shows as it is again.
TEST(RichEditAppends, ALineTooLongToLayOutUnwrappedShowsInDisplayLinesWithItsTextUnchanged) {
    Fixture f;
    TRichEdit& pane = *f.Edit;
    pane.SetWordWrap(false);
    std::string longLine;
    while (longLine.size() < 40000) longLine += "lorem <b>ipsum</b> ";
    const std::string mediumLine(3000, 'm');
    auto rows = [&] { return SendMessageA(pane.Handle(), EM_GETLINECOUNT, 0, 0); };
    struct TWay {
        const char* Name;
        bool InMemory;
        std::function<void(const std::string&)> Put;
    };
    const TWay ways[] = {
        {"set", true, [&](const std::string& t) { pane.SetText(t); }},
        {"appended", true, [&](const std::string& t) {
             pane.SetText("head\r\n");
             pane.AppendText(t.substr(6));
         }},
        {"loaded", true, [&](const std::string& t) {
             pane.SetPlainText(true);
             TMemoryStream stream;
             stream.WriteBuffer(t.data(), static_cast<int>(t.size()));
             stream.SetPosition(0);
             pane.Lines().LoadFromStream(stream);
         }},
        {"appended after an edit", false, [&](const std::string& t) {
             pane.SetText("head\r\n");
             // An edit that changes nothing still leaves the text to the control.
             pane.SetSelStart(6);
             SendMessageA(pane.Handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
             pane.AppendText(t.substr(6));
         }},
    };
    for (const TWay& way : ways) {
        SCOPED_TRACE(way.Name);
        const std::string text = "head\r\n" + longLine + "\r\ntail";
        way.Put(text);
        DrainByTimer(pane);
        EXPECT_EQ(pane.TextInMemory(), way.InMemory);
        EXPECT_EQ(pane.ShowsDisplayLines(), way.InMemory);
        EXPECT_EQ(pane.Text(), text);
        EXPECT_EQ(ControlText(pane), text);
        EXPECT_GT(rows(), 10);
        // A line of a length the control lays out well stays one row.
        way.Put("head\r\n" + mediumLine);
        DrainByTimer(pane);
        EXPECT_FALSE(pane.ShowsDisplayLines());
        EXPECT_EQ(ControlText(pane), "head\r\n" + mediumLine);
        EXPECT_EQ(rows(), 2);
    }
}

// While a pane shows display lines, every reader and every position is the text's: selection,
// selected text, copy, find, length, lines, the stored text, saves in both modes. With a line
// too long to be shown whole the pane takes no edits, and takes them again once a new text
// replaces it; with a shorter one, an edit first shows the lines whole and then changes the
// text where the user made it.
TEST(RichEditAppends, APaneShowingDisplayLinesAnswersInTheTextsTerms) {
    Fixture f;
    TRichEdit& pane = *f.Edit;
    pane.SetWordWrap(false);
    std::string longLine;
    while (longLine.size() < 30000) longLine += "lorem <b>ipsum</b> dolor ";
    longLine += "needle ";
    while (longLine.size() < 40000) longLine += "sit amet ";
    const std::string text = "head\r\n" + longLine + "\r\ntail \xE9t\xE9 {x}\\";
    pane.SetText(text);
    ASSERT_TRUE(pane.ShowsDisplayLines());
    const int units = static_cast<int>(text.size()) - 2;
    EXPECT_EQ(pane.GetTextLen(), units);
    EXPECT_EQ(pane.GetTextLenCRLF(), static_cast<int>(text.size()));
    EXPECT_EQ(pane.Lines().Count(), 3);
    EXPECT_EQ(pane.Lines().Strings(1), longLine);
    std::string stored = text;
    stored.erase(stored.find('\n'), 1);
    stored.erase(stored.find('\n'), 1);
    EXPECT_EQ(pane.StoredText(), stored);

    // A selection across several display lines.
    pane.SetSelStart(1500);
    pane.SetSelLength(5000);
    EXPECT_EQ(pane.SelStart(), 1500);
    EXPECT_EQ(pane.SelLength(), 5000);
    EXPECT_EQ(pane.SelText(), text.substr(1501, 5000));
    pane.CopyToClipboard();
    ASSERT_TRUE(OpenClipboard(nullptr));
    const HANDLE data = GetClipboardData(CF_TEXT);
    const std::string copied = data ? static_cast<const char*>(GlobalLock(data)) : "";
    if (data) GlobalUnlock(data);
    CloseClipboard();
    EXPECT_EQ(copied, text.substr(1501, 5000));

    const int at = static_cast<int>(text.find("needle")) - 1;
    EXPECT_EQ(pane.FindString("needle", 0, -1, TRichEdit::stWholeWord), at);
    EXPECT_EQ(pane.FindString("needle", at + 1, units - at - 1, TRichEdit::stWholeWord), -1);
    EXPECT_EQ(pane.FindString("tail", 0, units, 0), static_cast<int>(text.find("tail")) - 2);

    for (const bool plain : {true, false}) {
        SCOPED_TRACE(plain);
        pane.SetPlainText(plain);
        TMemoryStream saved;
        pane.Lines().SaveToStream(saved);
        if (plain) {
            EXPECT_EQ(std::string(static_cast<const char*>(saved.Memory()), static_cast<size_t>(saved.Size())), text);
        } else {
            // Rich text that reads back as the text.
            saved.SetPosition(0);
            f.Reference->SetPlainText(false);
            f.Reference->Lines().LoadFromStream(saved);
            EXPECT_EQ(f.Reference->Text(), text);
        }
    }

    // No edit: typing, pasting, replacing.
    pane.SetSelStart(10);
    SendMessageA(pane.Handle(), WM_CHAR, 'x', 0);
    SendMessageA(pane.Handle(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("y"));
    SendMessageA(pane.Handle(), WM_PASTE, 0, 0);
    EXPECT_TRUE(pane.TextInMemory());
    EXPECT_EQ(pane.Text(), text);
    EXPECT_EQ(ControlText(pane), text);

    pane.SetText("abc");
    EXPECT_FALSE(pane.ShowsDisplayLines());
    pane.SetSelStart(3);
    SendMessageA(pane.Handle(), WM_CHAR, 'x', 0);
    EXPECT_EQ(pane.Text(), "abcx");

    std::string editable;
    while (editable.size() < 3 * TDisplayBreaks::kLongLineChars / 2) editable += "lorem ipsum ";
    const std::string second = "head\r\n" + editable + "\r\ntail";
    pane.SetText(second);
    ASSERT_TRUE(pane.ShowsDisplayLines());
    // The control itself takes nothing it could change unseen (a drop of dragged text).
    EXPECT_NE(GetWindowLongA(pane.Handle(), GWL_STYLE) & ES_READONLY, 0);
    pane.SetSelStart(4000);
    SendMessageA(pane.Handle(), WM_CHAR, 'x', 0);
    EXPECT_FALSE(pane.ShowsDisplayLines());
    EXPECT_EQ(pane.Text(), second.substr(0, 4001) + "x" + second.substr(4001));
    EXPECT_EQ(SendMessageA(pane.Handle(), EM_GETLINECOUNT, 0, 0), 3);
    EXPECT_EQ(GetWindowLongA(pane.Handle(), GWL_STYLE) & ES_READONLY, 0);
}
