// TRichEdit: a new text and appends. The whole text is kept in memory (TPaneText) as it
// comes; the control takes it in slices from its own timer (TAppendScheduler), a line too long
// for it in display lines (TDisplayBreaks), and a text too large for it through a window
// (RichEditWindow.cpp).
#include "ComCtrls.h"

#include "RichEditSupport.h"

#include <string>
#include <vector>

namespace ruk {

using namespace richedit;

namespace {
// A line longer than this is laid out without word wrap in a time that grows with the square
// of its length, and every caret move or repaint in it costs as much again (under Wine, a
// line of 200,000 characters took seconds for each). Wrapped, it costs the control a time
// in proportion to its length once, and little after. So a pane that does not wrap its
// lines, and cannot show such a line in display lines (its text is the control's alone),
// shows its text wrapped while it holds one; the text itself is the same.
constexpr size_t kUnwrappedLineChars = 16384;

// A position past any text the control can hold: a selection there is the caret at the end.
constexpr LONG kPastEnd = 0x7FFFFFF0;
}  // namespace

bool TRichEdit::DefersToPaneInSight() const {
    if (IsWindowVisible(FHandle)) return false;
    for (const TRichEdit* pane : RichEdits())
        if (pane != this && pane->FHandle && pane->AppendPending() && IsWindowVisible(pane->FHandle)) return true;
    return false;
}

bool TRichEdit::BeginNewText(const std::string& text) {
    EndWindow();
    DropPending();
    FBreaks.Reset();
    FRefusing = false;
    FDroppedAppends = false;
    FWholeTextRefused = false;
    FText = text;
    // The new text shows as the pane wraps lines until it brings a long line of its own.
    FLineChars = 0;
    if (FLongLinesWrapped && FHandle) {
        const TFlagGuard guard(FAppending);
        SendMessageA(FHandle, EM_SETTARGETDEVICE, 0, FWordWrap ? 0 : 1);
    }
    FLongLinesWrapped = false;
    // Text set through the window is read as rich text when it looks like it, and perhaps as
    // UTF-8 after the UTF-8 mark: such a text is left to the control.
    const bool rich = text.rfind("{\\rtf", 0) == 0 || text.rfind("{\\urtf", 0) == 0;
    if (rich || text.find("\xEF\xBB\xBF") != std::string::npos) FPaneText.Forget();
    else FPaneText.Set(text);
    // A new window takes FText as it is created.
    if (!FHandle) return false;
    if (SendMessageA(FHandle, EM_GETLINECOUNT, 0, 0) <= kLargeLineCount) {
        ApplyReadOnly();
        return false;
    }
    ReplaceHandle();
    return true;
}

void TRichEdit::WrapLongLines(const char* text, size_t size) {
    if (FWordWrap || FLongLinesWrapped || !FHandle) return;
    size_t line = FLineChars;
    for (size_t i = 0; i < size; ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            line = 0;
        } else if (++line > kUnwrappedLineChars) {
            SendMessageA(FHandle, EM_SETTARGETDEVICE, 0, 0);
            FLongLinesWrapped = true;
            return;
        }
    }
    FLineChars = line;
}

std::string TRichEdit::ForControl(const char* text, size_t size, size_t ahead) {
    if (FPaneText.Known()) return FBreaks.Shape(text, size, ahead);
    WrapLongLines(text, size);
    return std::string(text, size);
}

void TRichEdit::AppendText(const std::string& s) {
    if (s.empty()) return;
    Handle();
    if (FWindowed && WindowAppend(s)) return;
    const size_t before = FPaneText.Units();
    FPaneText.Append(s);
    if (FRefusing) return;
    if (WantsWindow()) {
        // Too much for the control to take in good time: it shows a window from now on, and
        // a caret at the end stays at the end.
        CHARRANGE sel = TextSelection();
        const LONG units = static_cast<LONG>(FPaneText.Units());
        const bool atEnd = sel.cpMin == sel.cpMax && (sel.cpMax == units || sel.cpMax == static_cast<LONG>(before));
        if (atEnd) sel = CHARRANGE{units, units};
        const LRESULT top = ControlMessage(EM_GETFIRSTVISIBLELINE, 0, 0);
        // Appends modify.
        BeginWindow(sel, true, static_cast<size_t>(std::max<LRESULT>(top, 0)), atEnd);
        return;
    }
    const TAppendScheduler::TAction action = FAppends.Add(s, GetTickCount());
    FPendingModified = true;
    if (action == TAppendScheduler::TAction::Now) {
        AppendSlices(0, false);
        return;
    }
    if (action == TAppendScheduler::TAction::OneSlice) AppendSlices(1, false);
    SchedulePending();
}

void TRichEdit::CompleteAppends() {
    if (FWindowStale && !FAppending) WindowTick();
    if (!FAppends.Pending() || FAppending) return;
    AppendSlices(0, false);
}

void TRichEdit::LoadPlainText(std::string text) {
    BeginNewText("");
    FPaneText.Set(text);
    const HWND h = Handle();
    if (WantsWindow()) {
        // A load is no edit of the user's: the pane is unmodified.
        FPendingModified = false;
        BeginWindow(CHARRANGE{0, 0}, false, 0, false);
        return;
    }
    FAppends.Load(std::move(text));
    FAppends.SetCutLongLines(FPaneText.Known());
    // The first slice replaces the whole text, as one load of it all would.
    const size_t end = FAppends.NextSliceEnd();
    const double started = MillisecondsNow();
    DWORD error = 0;
    {
        const TFlagGuard guard(FAppending);
        const std::string shown = ForControl(FAppends.Data(), end, FAppends.Waiting() - end);
        error = StreamInAnsiText(h, 0, shown.data(), shown.size());
        ApplyReadOnly();
    }
    if (error != 0) {
        DropPending();
        FPaneText.Forget();
        FRefusing = true;
        throw EOutOfResources(LoadFailedMessage());
    }
    FAppends.Took(end, MillisecondsNow() - started, GetTickCount());
    // Streaming in marks the control modified (so under Wine); a load is no edit of the user's,
    // and the slices still to come leave the flag clear too.
    {
        const TFlagGuard guard(FAppending);
        SendMessageA(h, EM_SETMODIFY, FALSE, 0);
    }
    FPendingModified = false;
    if (!FAppends.Pending()) {
        DropPending();
        return;
    }
    SchedulePending();
}

void TRichEdit::AppendSlice() {
    const HWND h = FHandle;
    const size_t end = FAppends.NextSliceEnd();
    const double started = MillisecondsNow();
    const TFlagGuard guard(FAppending);
    // Selection changes of our own are not the user's: the events wait until the slice is in.
    const LRESULT mask = SendMessageA(h, EM_GETEVENTMASK, 0, 0);
    SendMessageA(h, EM_SETEVENTMASK, 0, mask & ~ENM_SELCHANGE);
    if (ControlReadOnly()) SendMessageA(h, EM_SETREADONLY, FALSE, 0);
    CHARRANGE old{};
    SendMessageA(h, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&old));
    const int len = GetTextLen();
    // A caret past the end goes to the end without the control counting its way there (a
    // position inside the text costs it a walk through the paragraphs before).
    CHARRANGE atEnd{kPastEnd, kPastEnd};
    SendMessageA(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&atEnd));
    const size_t size = end - FAppends.Done();
    const std::string shown = ForControl(FAppends.Data(), size, FAppends.Waiting() - size);
    // A replacement of the selection costs the control the same however much text it holds
    // (a stream into the selection costs it more with every paragraph already there: under
    // Wine a slice took twice as long at 10 MB). A NUL would end the text: such a slice is
    // streamed.
    if (shown.find('\0') == std::string::npos)
        SendMessageA(h, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(shown.c_str()));
    else
        StreamInAnsiText(h, SFF_SELECTION, shown.data(), shown.size());
    // As an append that cannot be undone.
    SendMessageA(h, EM_EMPTYUNDOBUFFER, 0, 0);
    if (old.cpMin != len || old.cpMax != len) {
        SendMessageA(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&old));
    } else {
        SendMessageA(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&atEnd));
        SendMessageA(h, EM_SCROLLCARET, 0, 0);
    }
    if (ControlReadOnly()) SendMessageA(h, EM_SETREADONLY, TRUE, 0);
    SendMessageA(h, EM_SETEVENTMASK, 0, mask);
    FAppends.Took(end, MillisecondsNow() - started, GetTickCount());
    if (!FAppends.Pending()) SendMessageA(h, EM_SETMODIFY, FPendingModified, 0);
}

void TRichEdit::AppendSlices(DWORD budgetMs, bool yield) {
    if (!FHandle || FAppending) return;
    const double started = MillisecondsNow();
    // Without redrawing, an append costs the control a small part of what it costs while it
    // is shown (it would lay out and paint its view after each). Turning redrawing back on
    // shows the window again, so this is only done for a window that is shown.
    const bool shown = (GetWindowLongA(FHandle, GWL_STYLE) & WS_VISIBLE) != 0;
    if (shown) SendMessageA(FHandle, WM_SETREDRAW, FALSE, 0);
    while (FAppends.Pending()) {
        FAppends.SetCutLongLines(FPaneText.Known());
        if (!AddressSpaceAvailable(FAppends.AddressNeeded())) {
            RefuseAppends();
            break;
        }
        AppendSlice();
        if (budgetMs != 0 && MillisecondsNow() - started >= budgetMs) break;
        // A message sent from another thread waits for the rest of the budget at most: yielding
        // to each would cost the tick the timer's whole interval, and a thread that asks every
        // few milliseconds would leave the control half its time.
        if (yield && HIWORD(GetQueueStatus(QS_INPUT | QS_POSTMESSAGE)) != 0) break;
    }
    if (shown) {
        FAppending = true;
        SendMessageA(FHandle, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        FAppending = false;
    }
    if (FAppends.Pending()) {
        SchedulePending();
    } else if (FTimerSet) {
        KillTimer(FHandle, kAppendTimer);
        FTimerSet = false;
    }
}

void TRichEdit::RefuseAppends() {
    DropPending();
    FRefusing = true;
    // The pane shows the text as far as it got; its readers still have all of it. The user
    // is told once, and which pane it is.
    SafeCall(this, [this] { throw EOutOfResources(LoadFailedMessage()); });
}

std::string TRichEdit::PaneCaption() {
    if (auto* sheet = dynamic_cast<TTabSheet*>(Parent())) return sheet->Text();
    return Name();
}

std::string TRichEdit::LoadFailedMessage() {
    return "Failed to Load Stream\r\n\r\nThe \"" + PaneCaption() +
           "\" pane could not take the whole text; it shows it as far as it could.";
}

void TRichEdit::SchedulePending() {
    if (!FHandle || FTimerSet || !FAppends.Pending()) return;
    FTimerSet = SetTimer(FHandle, kAppendTimer, FAppends.TickMs(GetTickCount()), nullptr) != 0;
}

void TRichEdit::DropPending() {
    FAppends.Drop();
    if (FTimerSet && FHandle) KillTimer(FHandle, kAppendTimer);
    FTimerSet = false;
}

}  // namespace ruk
