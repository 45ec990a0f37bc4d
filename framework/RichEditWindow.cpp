// TRichEdit: a window of a large text. The control holds the display lines around its view
// (TPaneWindowRange over TPaneLines); the text is in memory (TPaneText). The pane answers
// readers and positions in the text's terms, keeps the selection in them, and owns the vertical
// scroll bar, which shows the view in the whole text. The window moves when the view comes near
// one of its ends; an edit, a print, a stream out or a long find first puts the whole text
// into the control.
#include "ComCtrls.h"
#include "RichEditSupport.h"

#include <algorithm>
#include <cstring>

namespace ruk {

using namespace richedit;

namespace {
// While the text of a control is replaced: no events, no redrawing (for a window that is
// shown: turning redrawing on shows it), the horizontal scroll position kept; the control is
// redrawn at the end.
class TQuietControl {
public:
    explicit TQuietControl(HWND h) : FHandle(h) {
        FMask = SendMessageA(h, EM_GETEVENTMASK, 0, 0);
        SendMessageA(h, EM_SETEVENTMASK, 0, 0);
        FShown = (GetWindowLongA(h, GWL_STYLE) & WS_VISIBLE) != 0;
        if (FShown) SendMessageA(h, WM_SETREDRAW, FALSE, 0);
        SendMessageA(h, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&FScroll));
    }
    ~TQuietControl() {
        SendMessageA(FHandle, EM_SETEVENTMASK, 0, FMask);
        if (FShown) {
            SendMessageA(FHandle, WM_SETREDRAW, TRUE, 0);
            RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        }
    }
    TQuietControl(const TQuietControl&) = delete;
    TQuietControl& operator=(const TQuietControl&) = delete;
    LONG ScrollX() const { return FScroll.x; }

private:
    HWND FHandle;
    LRESULT FMask = 0;
    bool FShown = false;
    POINT FScroll{};
};

// The find flags of the common dialogs' header (see RichEditFind.cpp).
constexpr WPARAM kFindDown = 0x1;

LONG ToLong(size_t n) { return static_cast<LONG>(std::min<size_t>(n, 0x7FFFFFFF)); }

bool NavigationKey(WPARAM key) {
    switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END:
        return true;
    default:
        return false;
    }
}
}  // namespace

bool TRichEdit::WantsWindow() const {
    if (!FHandle || !FPaneText.Known()) return false;
    const size_t units = FPaneText.Units();
    const size_t breaks = FPaneText.Length(true) - units;
    return units > kWindowedPaneChars || breaks > kWindowedPaneLines;
}

void TRichEdit::ReplaceHandle() {
    const HWND old = FHandle;
    const HWND above = GetWindow(old, GW_HWNDPREV);
    const bool focused = GetFocus() == old;
    DestroyHandle();
    HandleNeeded();
    SetWindowPos(FHandle, above ? above : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (focused) ::SetFocus(FHandle);
}

void TRichEdit::BeginWindow(CHARRANGE sel, bool modified, size_t top, bool atEnd) {
    DropPending();
    FBreaks.Reset();
    // The memory holds the text; a new window of the control is given the lines to show.
    FText.clear();
    FLineChars = 0;
    if (FLongLinesWrapped) {
        const TFlagGuard guard(FAppending);
        SendMessageA(FHandle, EM_SETTARGETDEVICE, 0, FWordWrap ? 0 : 1);
        FLongLinesWrapped = false;
    }
    if (ControlMessage(EM_GETLINECOUNT, 0, 0) > kLargeLineCount) ReplaceHandle();
    FPaneLines.Reset();
    FPaneLines.Extend(FPaneText.Text());
    FWindowed = true;
    FWindowModified = modified;
    FWindowSel = sel;
    FWindowShownSel = CHARRANGE{-2, -2};
    ApplyReadOnly();
    BuildWindow(atEnd ? FPaneLines.Count() : top);
}

void TRichEdit::EndWindow() {
    if (FWindowTimerSet && FHandle) KillTimer(FHandle, kWindowTimer);
    FWindowTimerSet = false;
    FWindowStale = false;
    if (!FWindowed) return;
    FWindowed = false;
    FPaneLines.Reset();
    FWindow = TPaneWindowRange{};
}

bool TRichEdit::ShowWholeText() {
    if (!FWindowed) return true;
    // Wine's control takes some hundred bytes of address space a character, and fails without
    // a word where there is none left: then the pane goes on showing a window, and the user is
    // told once why the command does nothing.
    const unsigned long long needed = TAppendScheduler::kAddressReserve +
                                      static_cast<unsigned long long>(FPaneText.Length(true)) * TAppendScheduler::kBytesPerChar;
    if (!TPaneText::HasRoom(needed)) {
        if (!FWholeTextRefused) {
            FWholeTextRefused = true;
            SafeCall(this, [pane = PaneCaption()] {
                throw EOutOfResources("The \"" + pane +
                                      "\" pane's text is too large to be put into the control whole: it can be read, "
                                      "selected, copied, searched and saved, but not edited or printed.");
            });
        }
        return false;
    }
    const CHARRANGE sel = WindowSelection();
    const size_t top = TopLine();
    const bool modified = FWindowModified;
    EndWindow();
    FBreaks.Reset();
    FLineChars = 0;
    const HWND h = FHandle;
    DWORD error = 0;
    {
        const TFlagGuard guard(FAppending);
        const TQuietControl quiet(h);
        const std::string& text = FPaneText.Text();
        const std::string whole = ForControl(text.data(), text.size(), 0);
        error = StreamInAnsiText(h, 0, whole.data(), whole.size());
        SendMessageA(h, EM_EMPTYUNDOBUFFER, 0, 0);
        SendMessageA(h, EM_SETMODIFY, modified, 0);
        CHARRANGE c{ToLong(FBreaks.ToControl(static_cast<size_t>(sel.cpMin))),
                    ToLong(FBreaks.ToControl(static_cast<size_t>(sel.cpMax)))};
        SendMessageA(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&c));
        // The control's lines are the display lines the window had: the view stays.
        const LRESULT first = SendMessageA(h, EM_LINEINDEX, static_cast<WPARAM>(top), 0);
        ScrollControlTo(static_cast<LONG>(std::max<LRESULT>(first, 0)), quiet.ScrollX());
    }
    ApplyReadOnly();
    if (error != 0) {
        // The pane shows what the control took; its readers still have the whole text.
        FRefusing = true;
        SafeCall(this, [this] { throw EOutOfResources(LoadFailedMessage()); });
    }
    return true;
}

void TRichEdit::ScrollControlTo(LONG position, LONG x) {
    POINT at{};
    ControlMessage(EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&at));
    POINTL pt{};
    ControlMessage(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&pt), position);
    POINT to{x, at.y + pt.y};
    ControlMessage(EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&to));
}

void TRichEdit::BuildWindow(size_t top) {
    // The user's selection in the lines held (a click, a drag) is taken before they go.
    if (FWindowShownSel.cpMin >= 0) WindowSelection();
    const size_t v = VisibleLines();
    top = std::min(top, FPaneLines.Count() - 1);
    FWindow = TPaneWindowRange::Around(FPaneLines, std::min(top, LastPage(v)), v);
    const std::string shown = FPaneLines.Shown(FPaneText.Text(), FWindow.First, FWindow.Last);
    const HWND h = FHandle;
    {
        const TFlagGuard guard(FAppending);
        const TQuietControl quiet(h);
        StreamInAnsiText(h, 0, shown.data(), shown.size());
        SendMessageA(h, EM_EMPTYUNDOBUFFER, 0, 0);
        FWindowBuiltCount = FPaneLines.Count();
        FWindowStale = false;
        if (SendMessageA(h, EM_GETLINECOUNT, 0, 0) >= 2) {
            POINTL p0{}, p1{};
            SendMessageA(h, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&p0), 0);
            SendMessageA(h, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&p1), SendMessageA(h, EM_LINEINDEX, 1, 0));
            if (p1.y > p0.y) FLineHeight = static_cast<int>(p1.y - p0.y);
        }
        ShowWindowSelection();
        ScrollControlTo(ToLong(FPaneLines.ToWindow(FWindow.First, FPaneLines.UnitOf(top))), quiet.ScrollX());
    }
    SyncScrollBar();
}

void TRichEdit::ShowWindowSelection() {
    const size_t w0 = WindowStart(), w1 = WindowEnd();
    auto clip = [&](LONG p) {
        return ToLong(FPaneLines.ToWindow(FWindow.First, std::clamp<size_t>(static_cast<size_t>(std::max<LONG>(p, 0)), w0, w1)));
    };
    CHARRANGE c{clip(FWindowSel.cpMin), clip(FWindowSel.cpMax)};
    // Set before the control tells of the change, so that a reader then sees this selection.
    FWindowShownSel = c;
    ControlMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&c));
    ControlMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&FWindowShownSel));
}

CHARRANGE TRichEdit::WindowSelection() {
    CHARRANGE c{};
    ControlMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&c));
    if (c.cpMin == FWindowShownSel.cpMin && c.cpMax == FWindowShownSel.cpMax) return FWindowSel;
    // The user's own selection. An end that stood beyond the window, held at the window's end,
    // stays where it was (a selection grown by keys from an end outside).
    const LONG w0 = ToLong(WindowStart()), w1 = ToLong(WindowEnd());
    const LONG end = ToLong(FPaneLines.ToWindow(FWindow.First, WindowEnd()));
    CHARRANGE t{ToLong(FPaneLines.FromWindow(FWindow.First, static_cast<size_t>(std::max<LONG>(c.cpMin, 0)))),
                ToLong(FPaneLines.FromWindow(FWindow.First, static_cast<size_t>(std::max<LONG>(c.cpMax, 0))))};
    if (c.cpMin == 0 && FWindowShownSel.cpMin == 0 && FWindowSel.cpMin < w0 && c.cpMax != c.cpMin) t.cpMin = FWindowSel.cpMin;
    if (c.cpMax == end && FWindowShownSel.cpMax == end && FWindowSel.cpMax > w1 && c.cpMax != c.cpMin) t.cpMax = FWindowSel.cpMax;
    FWindowSel = t;
    FWindowShownSel = c;
    return t;
}

LONG TRichEdit::SetWindowSelection(CHARRANGE r) {
    const LONG units = ToLong(FPaneText.Units());
    const CHARRANGE now = WindowSelection();
    if (r.cpMin == 0 && r.cpMax == -1) {
        r = CHARRANGE{0, units};
    } else if (r.cpMin < 0) {
        r = CHARRANGE{now.cpMax, now.cpMax};
    } else {
        if (r.cpMax < 0 || r.cpMax > units) r.cpMax = units;
        r.cpMin = std::min(r.cpMin, units);
        if (r.cpMin > r.cpMax) std::swap(r.cpMin, r.cpMax);
    }
    FWindowSel = r;
    const size_t v = VisibleLines();
    const size_t line = FPaneLines.LineOf(static_cast<size_t>(r.cpMax));
    const size_t wanted = TopShowing(line, v);
    if (line < FWindow.First || line >= FWindow.Last || FWindow.WantsMove(FPaneLines, wanted, v)) {
        BuildWindow(wanted);
    } else {
        ShowWindowSelection();
        SyncScrollBar();
    }
    return r.cpMax;
}

size_t TRichEdit::TopLine() {
    const LRESULT first = ControlMessage(EM_GETFIRSTVISIBLELINE, 0, 0);
    const LRESULT c = ControlMessage(EM_LINEINDEX, static_cast<WPARAM>(std::max<LRESULT>(first, 0)), 0);
    return FPaneLines.LineOf(FPaneLines.FromWindow(FWindow.First, static_cast<size_t>(std::max<LRESULT>(c, 0))));
}

size_t TRichEdit::TopShowing(size_t line, size_t visible) {
    const size_t top = TopLine();
    if (line >= top && line < top + visible) return top;
    return line >= visible / 2 ? line - visible / 2 : 0;
}

size_t TRichEdit::VisibleLines() {
    RECT rc{};
    GetClientRect(FHandle, &rc);
    int lineHeight = FLineHeight;
    if (lineHeight <= 0) {
        const int px = Font().Height < 0 ? -Font().Height : Font().Height;
        lineHeight = std::max(8, px + px / 4);
    }
    const int lines = (rc.bottom - rc.top) / lineHeight;
    return static_cast<size_t>(std::clamp(lines, 4, 400));
}

size_t TRichEdit::LastPage(size_t visible) const {
    const size_t count = FPaneLines.Count();
    return count > visible ? count - visible : 0;
}

void TRichEdit::ScrollWindowTo(size_t top) {
    const size_t v = VisibleLines();
    top = std::min(top, FPaneLines.Count() - 1);
    if (FWindow.WantsMove(FPaneLines, std::min(top, LastPage(v)), v)) {
        BuildWindow(top);
        return;
    }
    POINT at{};
    ControlMessage(EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&at));
    ScrollControlTo(ToLong(FPaneLines.ToWindow(FWindow.First, FPaneLines.UnitOf(top))), at.x);
    SyncScrollBar();
}

void TRichEdit::WindowAroundCaret() {
    const CHARRANGE sel = WindowSelection();
    const size_t line = FPaneLines.LineOf(static_cast<size_t>(std::max<LONG>(sel.cpMax, 0)));
    const size_t v = VisibleLines();
    const size_t count = FPaneLines.Count();
    // Room for a page's move from the caret, where the text goes on.
    const bool inside = line >= FWindow.First && line < FWindow.Last;
    const bool roomBefore = FWindow.First == 0 || line >= FWindow.First + v;
    const bool roomAfter = FWindow.Last >= count || line + v < FWindow.Last;
    if (inside && roomBefore && roomAfter) return;
    BuildWindow(TopShowing(line, v));
}

void TRichEdit::SyncScrollBar() {
    if (!FWindowed || FSyncingScrollBar || !(GetWindowLongA(FHandle, GWL_STYLE) & WS_VSCROLL)) return;
    const TFlagGuard guard(FSyncingScrollBar);
    SCROLLINFO want{sizeof want, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
    want.nMax = static_cast<int>(FPaneLines.Count() - 1);
    want.nPage = static_cast<UINT>(VisibleLines());
    // A view at the end may begin past the bar's last page (where lines wrap).
    want.nPos = static_cast<int>(std::min(TopLine(), LastPage(want.nPage)));
    SCROLLINFO have{sizeof have, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
    GetScrollInfo(FHandle, SB_VERT, &have);
    if (have.nMin != want.nMin || have.nMax != want.nMax || have.nPage != want.nPage || have.nPos != want.nPos)
        SetScrollInfo(FHandle, SB_VERT, &want, TRUE);
}

void TRichEdit::AfterWindowMessage(UINT msg) {
    switch (msg) {
    case WM_NCHITTEST:
    case WM_SETCURSOR:
    case WM_NCMOUSEMOVE:
    case WM_GETDLGCODE:
    case WM_ERASEBKGND:
    case WM_NCPAINT:
    case WM_CTLCOLORSCROLLBAR:
        return;
    case WM_MOUSEMOVE:
        if (GetCapture() != FHandle) return;
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_CAPTURECHANGED:
    case WM_SIZE:
    case WM_TIMER:
    case EM_SCROLLCARET:
        // Not while the mouse drags a selection: the control's text stays as the drag began.
        if (GetCapture() != FHandle) {
            const size_t top = TopLine();
            if (FWindow.WantsMove(FPaneLines, top, VisibleLines())) {
                BuildWindow(top);
                return;
            }
        }
        break;
    default:
        break;
    }
    SyncScrollBar();
}

void TRichEdit::WindowTick() {
    if (!FWindowed) return;
    if (!FWindowStale) {
        SyncScrollBar();
        return;
    }
    const CHARRANGE sel = WindowSelection();
    const LONG units = ToLong(FPaneText.Units());
    if (sel.cpMin == units && sel.cpMax == units) {
        // A caret at the end: the view follows the text.
        BuildWindow(FPaneLines.Count());
    } else if (FWindow.Last >= FWindowBuiltCount) {
        // The window ends where the text ended: its last line has grown, or lines follow.
        BuildWindow(TopLine());
    } else {
        FWindowStale = false;
        SyncScrollBar();
    }
}

bool TRichEdit::WindowAppend(const std::string& s) {
    // Past a part left out, nothing more is taken: the text would have a hole.
    if (FDroppedAppends) return true;
    const CHARRANGE sel = WindowSelection();
    const LONG end = ToLong(FPaneText.Units());
    const TPaneText::TAppended taken = FPaneText.AppendKnown(s);
    // Only the control can tell what the text is to be: it takes all of it, and goes on.
    if (taken == TPaneText::TAppended::Unknowable && ShowWholeText()) return false;
    if (taken != TPaneText::TAppended::Taken) {
        // The memory, the only holder of the text, cannot grow: the text stays as far as it
        // got, readers are told so (HoldsWholeText), and the user once.
        FDroppedAppends = true;
        SafeCall(this, [this] { throw EOutOfResources(LoadFailedMessage()); });
        return true;
    }
    FPaneLines.Extend(FPaneText.Text());
    FWindowModified = true;
    // A caret at the end moves on with the text.
    if (sel.cpMin == end && sel.cpMax == end) {
        const LONG units = ToLong(FPaneText.Units());
        FWindowSel = CHARRANGE{units, units};
    }
    FWindowStale = true;
    if (!FWindowTimerSet) FWindowTimerSet = SetTimer(FHandle, kWindowTimer, kWindowTickMs, nullptr) != 0;
    return true;
}

HWND TRichEdit::FindControl() {
    if (!FFindHandle) {
        FFindHandle = CreateWindowExA(0, "RichEdit20A", "", WS_POPUP | ES_MULTILINE | ES_AUTOHSCROLL, 0, 0, 0, 0,
                                      nullptr, nullptr, ModuleInstance(), nullptr);
        if (!FFindHandle) RaiseLastOSError();
        SendMessageA(FFindHandle, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    }
    return FFindHandle;
}

bool TRichEdit::WindowFind(WPARAM flags, FINDTEXTEXA& find, LRESULT& result) {
    const size_t units = FPaneText.Units();
    const size_t from = find.chrg.cpMin < 0 ? 0 : std::min(static_cast<size_t>(find.chrg.cpMin), units);
    const size_t to = find.chrg.cpMax < 0 ? units : std::min(static_cast<size_t>(find.chrg.cpMax), units);
    const bool inWindow = from >= WindowStart() && to <= WindowEnd();
    // A backward find, or a long one outside the window, is the control's over the whole text
    // (later finds are then quick too).
    if ((!(flags & kFindDown) || (!inWindow && to > from && to - from > kWindowFindChars)) && ShowWholeText())
        return false;
    find.chrgText = CHARRANGE{-1, -1};
    result = -1;
    if (!(flags & kFindDown)) return true;
    const auto search = [&](HWND target, size_t first, size_t end) {
        FINDTEXTEXA control = find;
        control.chrg.cpMin = ToLong(FPaneLines.ToWindow(first, std::max(from, FPaneLines.UnitOf(first))));
        control.chrg.cpMax = ToLong(FPaneLines.ToWindow(first, std::min(to, end)));
        const LRESULT at = target == FHandle ? ControlMessage(EM_FINDTEXTEX, flags, reinterpret_cast<LPARAM>(&control))
                                             : SendMessageA(target, EM_FINDTEXTEX, flags, reinterpret_cast<LPARAM>(&control));
        if (at < 0) return false;
        result = static_cast<LRESULT>(FPaneLines.FromWindow(first, static_cast<size_t>(at)));
        find.chrgText.cpMin = ToLong(FPaneLines.FromWindow(first, static_cast<size_t>(control.chrgText.cpMin)));
        find.chrgText.cpMax = ToLong(FPaneLines.FromWindow(first, static_cast<size_t>(control.chrgText.cpMax)));
        return true;
    };
    if (inWindow) {
        search(FHandle, FWindow.First, to);
        return true;
    }
    // Outside the window: the range's lines, block by block, in a hidden control, each block with
    // what stands before and after the range in its lines, as the control would hold them, and
    // with enough of the lines after it for a match that begins in it.
    const size_t reachChars = std::strlen(find.lpstrText) + 1;
    const size_t lastLine = FPaneLines.LineOf(to);
    for (size_t line = FPaneLines.LineOf(from); line <= lastLine;) {
        size_t end = line + 1;
        while (end <= lastLine && FPaneLines.UnitOf(end + 1) - FPaneLines.UnitOf(line) <= kWindowFindChars) ++end;
        size_t reach = end;
        while (reach <= lastLine && FPaneLines.UnitOf(reach) - FPaneLines.UnitOf(end) < reachChars) ++reach;
        const std::string lines = FPaneLines.Shown(FPaneText.Text(), line, reach);
        const HWND target = FindControl();
        StreamInAnsiText(target, 0, lines.data(), lines.size());
        // The first match from the block's start on is the range's first: none began before.
        if (search(target, line, FPaneLines.UnitOf(reach))) return true;
        line = end;
    }
    return true;
}

std::string TRichEdit::ShownText() {
    Handle();
    GETTEXTLENGTHEX how{GTL_USECRLF | GTL_NUMCHARS, CP_ACP};
    const LRESULT n = ControlMessage(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0);
    if (n <= 0) return "";
    std::string s(static_cast<size_t>(n) * 2 + 2, '\0');
    GETTEXTEX ex{static_cast<DWORD>(s.size()), GT_USECRLF, CP_ACP, nullptr, nullptr};
    const LRESULT got = ControlMessage(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&ex), reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<size_t>(std::max<LRESULT>(0, got)));
    return s;
}

bool TRichEdit::WindowMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    result = 0;
    if (ReplacesWholeText(msg, wp)) {
        // A new text from another hand: it goes in as it is.
        EndWindow();
        ApplyReadOnly();
        return false;
    }
    switch (msg) {
    case WM_TIMER:
        if (wp != kWindowTimer) return false;
        KillTimer(FHandle, kWindowTimer);
        FWindowTimerSet = false;
        WindowTick();
        return true;
    case WM_DESTROY:
        FWindowTimerSet = false;
        return false;
    case EM_CANUNDO:
    case EM_CANREDO:
        return true;
    case EM_GETMODIFY:
        result = FWindowModified;
        return true;
    case EM_SETMODIFY:
        FWindowModified = wp != 0;
        return true;
    case EM_EXGETSEL:
    case EM_GETSEL:
        result = AnswerSelection(msg, wp, lp);
        return true;
    case EM_EXSETSEL:
        if (lp == 0) return true;
        result = SetWindowSelection(*reinterpret_cast<const CHARRANGE*>(lp));
        return true;
    case EM_SETSEL:
        SetWindowSelection(CHARRANGE{static_cast<LONG>(wp), static_cast<LONG>(lp)});
        return true;
    case EM_GETTEXTLENGTHEX:
        if (wp == 0) return false;
        result = static_cast<LRESULT>(FPaneText.Length(reinterpret_cast<const GETTEXTLENGTHEX*>(wp)->flags & GTL_USECRLF));
        return true;
    case WM_GETTEXTLENGTH:
        result = static_cast<LRESULT>(FPaneText.Length(true));
        return true;
    case WM_GETTEXT:
        result = CopyOut(FPaneText.Text(), reinterpret_cast<char*>(lp), static_cast<size_t>(wp));
        return true;
    case EM_GETTEXTEX:
        if (wp != 0 && reinterpret_cast<const GETTEXTEX*>(wp)->codepage != CP_ACP) return !ShowWholeText();
        return TextMessage(msg, wp, lp, result);
    case EM_GETTEXTRANGE:
    case EM_GETSELTEXT:
    case WM_COPY:
        return TextMessage(msg, wp, lp, result);
    case EM_FINDTEXTEX:
        if (lp == 0) return false;
        return WindowFind(wp, *reinterpret_cast<FINDTEXTEXA*>(lp), result);
    case EM_FINDTEXT:
    case EM_FINDTEXTW:
    case EM_FINDTEXTEXW:
        if (ShowWholeText()) return false;
        result = -1;
        return true;
    case EM_STREAMOUT:
        if (ShowWholeText()) return false;
        // Nothing of a window is written as if it were the text.
        if (lp != 0) reinterpret_cast<EDITSTREAM*>(lp)->dwError = static_cast<DWORD>(-1);
        return true;
    case EM_FORMATRANGE:
        // Printing nothing, where the control cannot take the text.
        return lp != 0 && !ShowWholeText();
    case EM_SETCHARFORMAT:
        // A format of part of the text: it must be the control's whole text.
        return (wp & (SCF_SELECTION | SCF_WORD)) && !ShowWholeText();
    case EM_GETLINECOUNT:
        result = static_cast<LRESULT>(FPaneLines.Count());
        return true;
    case EM_LINEINDEX: {
        const size_t line = static_cast<LONG>(wp) < 0
                                ? FPaneLines.LineOf(static_cast<size_t>(std::max<LONG>(WindowSelection().cpMax, 0)))
                                : static_cast<size_t>(wp);
        result = line < FPaneLines.Count() ? static_cast<LRESULT>(FPaneLines.UnitOf(line)) : -1;
        return true;
    }
    case EM_LINEFROMCHAR:
    case EM_EXLINEFROMCHAR: {
        const LONG at = msg == EM_LINEFROMCHAR ? static_cast<LONG>(wp) : static_cast<LONG>(lp);
        const LONG position = at < 0 ? WindowSelection().cpMin : at;
        result = static_cast<LRESULT>(FPaneLines.LineOf(static_cast<size_t>(position)));
        return true;
    }
    case EM_LINELENGTH: {
        const LONG at = static_cast<LONG>(wp);
        const LONG position = at < 0 ? WindowSelection().cpMin : at;
        result = static_cast<LRESULT>(FPaneLines.LengthOf(FPaneLines.LineOf(static_cast<size_t>(position))));
        return true;
    }
    case EM_GETLINE: {
        if (lp == 0) return true;
        const size_t line = static_cast<size_t>(wp);
        if (line >= FPaneLines.Count()) return true;
        const size_t room = *reinterpret_cast<const WORD*>(lp);
        const size_t start = FPaneLines.UnitOf(line);
        std::string text = FPaneLines.Range(FPaneText.Text(), start, start + FPaneLines.LengthOf(line));
        if (line + 1 < FPaneLines.Count() && FPaneLines.UnitOf(line + 1) > start + FPaneLines.LengthOf(line)) text += '\r';
        const size_t n = std::min(room, text.size());
        std::memcpy(reinterpret_cast<char*>(lp), text.data(), n);
        result = static_cast<LRESULT>(n);
        return true;
    }
    case EM_GETFIRSTVISIBLELINE:
        result = static_cast<LRESULT>(TopLine());
        return true;
    case EM_LINESCROLL: {
        if (wp != 0) ControlMessage(EM_LINESCROLL, wp, 0);
        const long long top = static_cast<long long>(TopLine()) + static_cast<LONG>(lp);
        ScrollWindowTo(static_cast<size_t>(std::max<long long>(top, 0)));
        result = TRUE;
        return true;
    }
    case EM_SCROLLCARET:
        WindowAroundCaret();
        return false;
    case WM_VSCROLL: {
        const size_t top = TopLine(), v = VisibleLines();
        size_t target = top;
        switch (LOWORD(wp)) {
        case SB_LINEUP: target = top > 0 ? top - 1 : 0; break;
        case SB_LINEDOWN: target = top + 1; break;
        case SB_PAGEUP: target = top > v ? top - v : 0; break;
        case SB_PAGEDOWN: target = top + v; break;
        case SB_TOP: target = 0; break;
        case SB_BOTTOM: target = FPaneLines.Count(); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            SCROLLINFO si{sizeof si, SIF_TRACKPOS | SIF_RANGE | SIF_PAGE, 0, 0, 0, 0, 0};
            GetScrollInfo(FHandle, SB_VERT, &si);
            // The thumb at the bar's end shows the end of the text.
            const bool atEnd = si.nTrackPos + static_cast<int>(si.nPage) > si.nMax;
            target = atEnd ? FPaneLines.Count() : static_cast<size_t>(std::max(si.nTrackPos, 0));
            break;
        }
        default:
            SyncScrollBar();
            return true;
        }
        ScrollWindowTo(target);
        return true;
    }
    case WM_MOUSEWHEEL: {
        if (GET_KEYSTATE_WPARAM(wp) & (MK_CONTROL | MK_SHIFT)) return false;
        UINT perNotch = 3;
        SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &perNotch, 0);
        if (perNotch == WHEEL_PAGESCROLL) perNotch = static_cast<UINT>(VisibleLines());
        const long long lines = -static_cast<long long>(GET_WHEEL_DELTA_WPARAM(wp)) * perNotch / WHEEL_DELTA;
        const long long top = static_cast<long long>(TopLine()) + lines;
        ScrollWindowTo(static_cast<size_t>(std::max<long long>(top, 0)));
        return true;
    }
    case WM_KEYDOWN:
        if (NavigationKey(wp)) {
            // The control moves the caret in the lines it holds: they are to hold the caret,
            // and the start or the end of the text for Ctrl+Home and Ctrl+End.
            const bool ctrl = GetKeyState(VK_CONTROL) < 0;
            if (ctrl && wp == VK_HOME) {
                if (FWindow.First > 0) BuildWindow(0);
            } else if (ctrl && wp == VK_END) {
                if (FWindow.Last < FPaneLines.Count()) BuildWindow(FPaneLines.Count());
            } else {
                WindowAroundCaret();
            }
            return false;
        }
        break;
    default:
        break;
    }
    if (!ChangesTextFromOutside(msg, wp, TakesEdits())) return false;
    // An edit: the control is to hold the whole text first.
    if (!TakesEdits()) return true;
    return !ShowWholeText();
}

}  // namespace ruk
