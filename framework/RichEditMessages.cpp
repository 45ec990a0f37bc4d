// TRichEdit: the window procedure. The pane answers readers and positions itself where the
// control cannot (from the text in memory, in the text's terms while the control shows display
// lines or a window of the text), completes the waiting appends before any other message that
// reads or changes the text, and lets the control take the rest.
#include "ComCtrls.h"

#include "RichEditSupport.h"

#include <algorithm>
#include <cstring>

namespace ruk {

using namespace richedit;

namespace {
// Messages that read or change the control's text, its selection or its undo state: the
// rich edit messages, the edit messages, and editing by the user.
bool TouchesText(UINT msg) {
    if (msg >= EM_GETSEL && msg <= EM_GETIMESTATUS) return true;
    if (msg >= WM_USER && msg < WM_USER + 0x400) return true;
    switch (msg) {
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    case WM_CUT:
    case WM_COPY:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_IME_CHAR:
    case WM_IME_COMPOSITION:
        return true;
    default:
        return false;
    }
}

// A control position of the text's, -1 (the end) kept.
LONG ToControlPosition(const TDisplayBreaks& breaks, LONG position) {
    if (position < 0) return position;
    return static_cast<LONG>(breaks.ToControl(static_cast<size_t>(position)));
}
}  // namespace

bool TRichEdit::ChangesTextFromOutside(UINT msg, WPARAM wp, bool editable) const {
    switch (msg) {
    case WM_SETTEXT:
    case EM_SETTEXTEX:
    case EM_REPLACESEL:
    case EM_STREAMIN:
    case EM_PASTESPECIAL:
    case EM_UNDO:
    case EM_REDO:
    case WM_UNDO:
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
        return true;
    case WM_CHAR:
        // A control character of a shortcut (Ctrl+C) types nothing.
        if (wp < 0x20 && wp != '\t' && wp != '\r' && wp != '\n' && wp != '\b') return false;
        return editable;
    case WM_IME_CHAR:
    case WM_IME_COMPOSITION:
        return editable;
    case WM_KEYDOWN:
        if (!editable) return false;
        if (wp == VK_DELETE || wp == VK_BACK || wp == VK_RETURN || wp == VK_TAB || wp == VK_INSERT) return true;
        return GetKeyState(VK_CONTROL) < 0 && (wp == 'V' || wp == 'X' || wp == 'Z' || wp == 'Y');
    default:
        return false;
    }
}

LRESULT TRichEdit::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER && wp == kAppendTimer) {
        FTimerSet = false;
        KillTimer(FHandle, kAppendTimer);
        if (DefersToPaneInSight()) {
            FTimerSet = SetTimer(FHandle, kAppendTimer, TAppendScheduler::kGatherMs, nullptr) != 0;
            return 0;
        }
        // A backlog left over schedules the next tick.
        AppendSlices(FAppends.Streaming(GetTickCount()) ? 1 : TAppendScheduler::kTickBudgetMs, true);
        return 0;
    }
    if (FWindowed && !FAppending) {
        LRESULT result = 0;
        if (WindowMessage(msg, wp, lp, result)) return result;
    }
    if (FBreaks.Any() && !FAppending) {
        LRESULT result = 0;
        if (DisplayLinesMessage(msg, wp, lp, result)) return result;
    }
    if (!FAppending) {
        // A pane that goes away, or whose text another hand changes, need not be filled
        // first; a change by another hand also ends what the memory can tell of the text.
        if (msg == WM_DESTROY) DropPending();
        if (FPaneText.Known() && ChangesTextFromOutside(msg, wp, !ControlReadOnly())) {
            if (msg == WM_SETTEXT || (msg == EM_STREAMIN && !(wp & SFF_SELECTION))) DropPending();
            else CompleteAppends();
            FPaneText.Forget();
        }
    }
    if (FAppends.Pending() && !FAppending) {
        switch (msg) {
        case EM_GETMODIFY:
            return FPendingModified;
        case EM_SETMODIFY:
            FPendingModified = wp != 0;
            return 0;
        case EM_CANUNDO:
            // The appends leave nothing to undo.
            return 0;
        case EM_GETTEXTLENGTHEX:
            if (FPaneText.Known() && wp != 0)
                return static_cast<LRESULT>(FPaneText.Length(reinterpret_cast<const GETTEXTLENGTHEX*>(wp)->flags & GTL_USECRLF));
            CompleteAppends();
            break;
        case EM_GETSEL:
        case EM_EXGETSEL:
            // Appends keep a selection; only a caret at the end moves on with them. So the
            // actions that look at the selection of the focused control on every idle step
            // do not make the control do its waiting work (TextSelection).
            return AnswerSelection(msg, wp, lp);
        case WM_SETTEXT:
            DropPending();
            break;
        case EM_STREAMIN:
            // A load replaces the pending text with the rest; a stream into the selection
            // comes after it.
            if (wp & SFF_SELECTION) CompleteAppends();
            else DropPending();
            break;
        default:
            if (TouchesText(msg)) CompleteAppends();
            break;
        }
    }
    if (!FWindowed || FAppending) return TWinControl::WndProc(msg, wp, lp);
    const LRESULT result = TWinControl::WndProc(msg, wp, lp);
    // The control may have scrolled, or set its own scroll bar.
    if (FWindowed && FHandle && msg != WM_DESTROY && msg != WM_NCDESTROY) AfterWindowMessage(msg);
    return result;
}

LRESULT TRichEdit::ControlMessage(UINT msg, WPARAM wp, LPARAM lp) {
    const TFlagGuard guard(FAppending);
    return SendMessageA(FHandle, msg, wp, lp);
}

CHARRANGE TRichEdit::TextSelection() {
    if (FWindowed) return WindowSelection();
    CHARRANGE r{};
    ControlMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
    if (FAppends.Pending() && r.cpMin == r.cpMax) {
        GETTEXTLENGTHEX how{GTL_NUMCHARS | GTL_PRECISE, CP_ACP};
        const LRESULT len = ControlMessage(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0);
        // A caret at the end moves on with the appends: it is at the end of the whole text.
        if (r.cpMax >= len) {
            if (!FPaneText.Known()) {
                CompleteAppends();
                ControlMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
            } else {
                const LONG end = static_cast<LONG>(FPaneText.Units());
                return CHARRANGE{end, end};
            }
        }
    }
    return CHARRANGE{static_cast<LONG>(FBreaks.ToText(static_cast<size_t>(std::max<LONG>(r.cpMin, 0)))),
                     static_cast<LONG>(FBreaks.ToText(static_cast<size_t>(std::max<LONG>(r.cpMax, 0))))};
}

LRESULT TRichEdit::AnswerSelection(UINT msg, WPARAM wp, LPARAM lp) {
    const CHARRANGE r = TextSelection();
    if (msg == EM_EXGETSEL) {
        if (lp != 0) *reinterpret_cast<CHARRANGE*>(lp) = r;
        return 0;
    }
    if (wp != 0) *reinterpret_cast<DWORD*>(wp) = static_cast<DWORD>(r.cpMin);
    if (lp != 0) *reinterpret_cast<DWORD*>(lp) = static_cast<DWORD>(r.cpMax);
    return r.cpMin > 0xFFFF || r.cpMax > 0xFFFF ? -1 : MAKELRESULT(r.cpMin, r.cpMax);
}

std::string TRichEdit::TextRange(size_t from, size_t to) const {
    // A window knows where its lines begin; otherwise the text is counted through.
    return FWindowed ? FPaneLines.Range(FPaneText.Text(), from, to) : FPaneText.Range(from, to);
}

bool TRichEdit::TextMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    result = 0;
    switch (msg) {
    case EM_GETTEXTEX: {
        if (wp == 0) return false;
        const auto* how = reinterpret_cast<const GETTEXTEX*>(wp);
        if (how->codepage != CP_ACP) return false;
        std::string text;
        if (how->flags & GT_SELECTION) {
            const CHARRANGE r = TextSelection();
            text = TextRange(static_cast<size_t>(r.cpMin), static_cast<size_t>(r.cpMax));
        } else {
            text = FPaneText.Text();
        }
        if (!(how->flags & GT_USECRLF)) text = WithCrBreaks(text);
        if (how->lpUsedDefChar) *how->lpUsedDefChar = FALSE;
        result = CopyOut(text, reinterpret_cast<char*>(lp), how->cb);
        return true;
    }
    case EM_GETTEXTRANGE: {
        if (lp == 0) return false;
        auto* range = reinterpret_cast<TEXTRANGEA*>(lp);
        const size_t units = FPaneText.Units();
        const size_t from = static_cast<size_t>(std::max<LONG>(range->chrg.cpMin, 0));
        const size_t to = range->chrg.cpMax < 0 ? units : static_cast<size_t>(range->chrg.cpMax);
        const std::string text = WithCrBreaks(TextRange(from, to));
        // The buffer holds the range and its NUL, as the caller made it.
        std::memcpy(range->lpstrText, text.c_str(), text.size() + 1);
        result = static_cast<LRESULT>(text.size());
        return true;
    }
    case EM_GETSELTEXT: {
        if (lp == 0) return true;
        const CHARRANGE r = TextSelection();
        const std::string text = WithCrBreaks(TextRange(static_cast<size_t>(r.cpMin), static_cast<size_t>(r.cpMax)));
        std::memcpy(reinterpret_cast<char*>(lp), text.c_str(), text.size() + 1);
        result = static_cast<LRESULT>(text.size());
        return true;
    }
    case WM_COPY: {
        const CHARRANGE r = TextSelection();
        if (r.cpMax > r.cpMin) PutTextOnClipboard(FHandle, SelText());
        return true;
    }
    default:
        return false;
    }
}

bool TRichEdit::DisplayLinesMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    result = 0;
    if (ReplacesWholeText(msg, wp)) {
        // A new text, from another hand: it goes in as it is.
        FBreaks.Reset();
        ApplyReadOnly();
        return false;
    }
    switch (msg) {
    case EM_CANUNDO:
    case EM_CANREDO:
        return true;
    case EM_EXGETSEL:
    case EM_GETSEL:
        result = AnswerSelection(msg, wp, lp);
        return true;
    case EM_EXSETSEL:
    case EM_SETSEL: {
        CompleteAppends();
        CHARRANGE r{};
        if (msg == EM_EXSETSEL) {
            if (lp == 0) return false;
            r = *reinterpret_cast<const CHARRANGE*>(lp);
        } else {
            r = CHARRANGE{static_cast<LONG>(wp), static_cast<LONG>(lp)};
        }
        // All of it, or nothing, as the control has it.
        if (!(r.cpMin == 0 && r.cpMax == -1) && r.cpMin >= 0) {
            r.cpMin = ToControlPosition(FBreaks, r.cpMin);
            r.cpMax = ToControlPosition(FBreaks, r.cpMax);
        }
        result = ControlMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
        if (msg == EM_EXSETSEL && result >= 0) result = static_cast<LRESULT>(FBreaks.ToText(static_cast<size_t>(result)));
        return true;
    }
    case EM_GETTEXTLENGTHEX: {
        if (wp == 0) return false;
        const auto* how = reinterpret_cast<const GETTEXTLENGTHEX*>(wp);
        if (FPaneText.Known()) {
            result = static_cast<LRESULT>(FPaneText.Length(how->flags & GTL_USECRLF));
            return true;
        }
        CompleteAppends();
        result = ControlMessage(msg, wp, lp);
        // Each break of ours counts as one character, or as CR LF.
        const LRESULT ours = static_cast<LRESULT>(FBreaks.Count()) * ((how->flags & GTL_USECRLF) ? 2 : 1);
        if (result >= ours) result -= ours;
        return true;
    }
    case EM_GETTEXTEX:
    case EM_GETTEXTRANGE:
        return FPaneText.Known() && TextMessage(msg, wp, lp, result);
    case EM_FINDTEXTEX: {
        if (lp == 0) return false;
        CompleteAppends();
        auto* find = reinterpret_cast<FINDTEXTEXA*>(lp);
        FINDTEXTEXA control = *find;
        control.chrg.cpMin = ToControlPosition(FBreaks, find->chrg.cpMin);
        control.chrg.cpMax = ToControlPosition(FBreaks, find->chrg.cpMax);
        result = ControlMessage(msg, wp, reinterpret_cast<LPARAM>(&control));
        if (result >= 0) {
            result = static_cast<LRESULT>(FBreaks.ToText(static_cast<size_t>(result)));
            find->chrgText.cpMin = static_cast<LONG>(FBreaks.ToText(static_cast<size_t>(control.chrgText.cpMin)));
            find->chrgText.cpMax = static_cast<LONG>(FBreaks.ToText(static_cast<size_t>(control.chrgText.cpMax)));
        } else {
            find->chrgText = control.chrgText;
        }
        return true;
    }
    case WM_COPY:
        return TextMessage(msg, wp, lp, result);
    default:
        break;
    }
    if (!ChangesTextFromOutside(msg, wp, TakesEdits())) return false;
    // An edit: the control shows breaks that the text does not hold.
    if (!TakesEdits()) return true;
    ShowWholeLines();
    return false;
}

void TRichEdit::ShowWholeLines() {
    CompleteAppends();
    const CHARRANGE selection = TextSelection();
    const std::string text = FPaneText.Text();
    FBreaks.Reset();
    const TFlagGuard guard(FAppending);
    const LRESULT modified = SendMessageA(FHandle, EM_GETMODIFY, 0, 0);
    WrapLongLines(text.data(), text.size());
    StreamInAnsiText(FHandle, 0, text.data(), text.size());
    SendMessageA(FHandle, EM_SETMODIFY, modified, 0);
    SendMessageA(FHandle, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    SendMessageA(FHandle, EM_SCROLLCARET, 0, 0);
    ApplyReadOnly();
}

}  // namespace ruk
