// TRichEdit: the thin wrapper over the platform's rich edit: its properties and its window,
// the text and the selection through the control's messages, formats, the clipboard and
// printing. The rest of the pane has files of its own: its lines, loaded and saved
// (RichEditStrings.cpp); the text kept in memory, appended in slices (RichEditAppends.cpp); the
// messages the pane answers itself (RichEditMessages.cpp); a window of a large text
// (RichEditWindow.cpp); searching (RichEditFind.cpp).
#include "ComCtrls.h"

#include "Dialogs.h"
#include "RichEditSupport.h"

#include <algorithm>
#include <vector>

namespace ruk {

using namespace richedit;

TScrollStyle StrToScrollStyle(const std::string& s) {
    if (SameText(s, "ssNone")) return TScrollStyle::ssNone;
    if (SameText(s, "ssHorizontal")) return TScrollStyle::ssHorizontal;
    if (SameText(s, "ssVertical")) return TScrollStyle::ssVertical;
    if (SameText(s, "ssBoth")) return TScrollStyle::ssBoth;
    throw EPropertyError(Format("Invalid property value '%s'", s.c_str()));
}

namespace {
void LoadRichEditLibrary() {
    static HMODULE lib = LoadLibraryA("Riched20.dll");
    if (!lib) RaiseLastOSError();
}
}  // namespace

TRichEdit::TRichEdit(TComponent* owner) : TWinControl(owner), FLines(*this) {
    FTabStop = true;
    RichEdits().push_back(this);
}

TRichEdit::~TRichEdit() {
    if (FFindHandle) DestroyWindow(FFindHandle);
    std::vector<TRichEdit*>& panes = RichEdits();
    panes.erase(std::remove(panes.begin(), panes.end(), this), panes.end());
}

void TRichEdit::SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) {
    if (SameText(name, "ReadOnly")) SetReadOnly(StrToBoolProp(value));
    else if (SameText(name, "PlainText")) FPlainText = StrToBoolProp(value);
    else if (SameText(name, "HideSelection")) FHideSelection = StrToBoolProp(value);
    else if (SameText(name, "HideScrollBars")) FHideScrollBars = StrToBoolProp(value);
    else if (SameText(name, "WantReturns")) FWantReturns = StrToBoolProp(value);
    else if (SameText(name, "WantTabs")) FWantTabs = StrToBoolProp(value);
    else if (SameText(name, "BorderStyle")) {
        if (SameText(value, "bsNone")) FBorder = false;
        else if (SameText(value, "bsSingle")) FBorder = true;
        else throw EPropertyError(Format("Invalid property value '%s'", value.c_str()));
    }
    else if (SameText(name, "WordWrap")) FWordWrap = StrToBoolProp(value);
    else if (SameText(name, "ScrollBars")) FScrollBars = StrToScrollStyle(value);
    else if (SameText(name, "Lines")) SetText(value);
    else if (SameText(name, "OnSelectionChange")) OnSelectionChange = reader.FindMethod(value);
    else if (SameText(name, "OnChange")) OnChange = reader.FindMethod(value);
    else TWinControl::SetProperty(name, value, reader);
}

void TRichEdit::CreateParams(TCreateParams& p) {
    LoadRichEditLibrary();
    TWinControl::CreateParams(p);
    p.ClassName = "RichEdit20A";
    p.OwnClass = false;
    p.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL;
    if (FWantReturns) p.Style |= ES_WANTRETURN;
    p.ExStyle = FBorder ? WS_EX_CLIENTEDGE : 0;
    if (FReadOnly) p.Style |= ES_READONLY;
    if (!FHideSelection) p.Style |= ES_NOHIDESEL;
    if (FScrollBars == TScrollStyle::ssVertical || FScrollBars == TScrollStyle::ssBoth) p.Style |= WS_VSCROLL;
    if (FScrollBars == TScrollStyle::ssHorizontal || FScrollBars == TScrollStyle::ssBoth)
        p.Style |= WS_HSCROLL | ES_AUTOHSCROLL;
    // A scroll bar that appears or goes changes the control's client area, and the control
    // then lays out all of its text again (under Wine 130 ms for 170 KB, when the first line
    // wider than the pane came late in a run's stripped text). A pane that does not wrap its
    // lines therefore keeps its scroll bars, disabled while not needed, as one whose scroll
    // bars are not to be hidden does.
    if (!FHideScrollBars || (!FWordWrap && (p.Style & WS_HSCROLL))) p.Style |= ES_DISABLENOSCROLL;
}

void TRichEdit::InitWnd() {
    TWinControl::InitWnd();
    // Setting up the control is no change of its text.
    const TFlagGuard guard(FAppending);
    // Documents are far larger than the control's default limit of 32K characters.
    SendMessageA(FHandle, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    SendMessageA(FHandle, EM_SETEVENTMASK, 0, ENM_SELCHANGE | ENM_CHANGE);
    SendMessageA(FHandle, EM_SETTARGETDEVICE, 0, FWordWrap ? 0 : 1);
    FLongLinesWrapped = false;
    FLineChars = 0;
    LayOutInClientArea();
    ApplyDefaultFormat();
    if (FHasColor || ParentColor()) ColorChanged();
    FBreaks.Reset();
    if (FWindowed) {
        // A new window of the control for a pane that shows a window of its text.
        FWindowTimerSet = false;
        FWindowShownSel = CHARRANGE{-2, -2};
        ApplyReadOnly();
        BuildWindow(FWindow.First);
        return;
    }
    if (!FText.empty()) {
        if (WantsWindow()) {
            BeginWindow(CHARRANGE{0, 0}, false, 0, false);
            return;
        }
        const std::string shown = ForControl(FText.data(), FText.size(), 0);
        SetWindowTextA(FHandle, shown.c_str());
    }
    ApplyReadOnly();
    SendMessageA(FHandle, EM_SETMODIFY, FALSE, 0);
}

void TRichEdit::LayOutInClientArea() {
    RECT format{}, client{};
    SendMessageA(FHandle, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    GetClientRect(FHandle, &client);
    if (format.bottom <= client.bottom && format.right <= client.right) return;
    // A resize makes the control take its client area.
    RECT window{};
    GetWindowRect(FHandle, &window);
    const int width = window.right - window.left, height = window.bottom - window.top;
    constexpr UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(FHandle, nullptr, 0, 0, width, height + 1, flags);
    SetWindowPos(FHandle, nullptr, 0, 0, width, height, flags);
}

void TRichEdit::ApplyDefaultFormat() {
    TFont& f = Font();
    CHARFORMATA cf{};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_COLOR | CFM_FACE | CFM_SIZE | CFM_BOLD;
    cf.crTextColor = f.Color;
    lstrcpynA(cf.szFaceName, f.Name.c_str(), LF_FACESIZE);
    // The size in twips from the font's pixel height at 96 pixels per inch (cell height: about 8/10 of it).
    int px = f.Height < 0 ? -f.Height : (f.Height * 8 + 5) / 10;
    cf.yHeight = px * 15;
    cf.dwEffects = f.Bold ? CFE_BOLD : 0;
    SendMessageA(FHandle, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&cf));
    SendMessageA(FHandle, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
}

std::string TRichEdit::Text() {
    // Without a window (on its way out, say) a pane that showed a window of its text still has it.
    if (!FHandle) return FWindowed ? FPaneText.Text() : FText;
    if (FPaneText.Known()) return FPaneText.Text();
    if (FBreaks.Any()) {
        // The control's text less the breaks of ours, every line break as CR LF.
        const std::string stored = StoredText();
        std::string s;
        s.reserve(stored.size() + stored.size() / 16);
        for (const char c : stored) {
            s += c;
            if (c == '\r') s += '\n';
        }
        return s;
    }
    GETTEXTLENGTHEX lenEx{GTL_USECRLF | GTL_NUMCHARS, CP_ACP};
    int n = static_cast<int>(SendMessageA(FHandle, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lenEx), 0));
    if (n <= 0) return "";
    std::string s(static_cast<size_t>(n) * 2 + 2, '\0');
    GETTEXTEX ex{static_cast<DWORD>(s.size()), GT_USECRLF, CP_ACP, nullptr, nullptr};
    int got = static_cast<int>(SendMessageA(FHandle, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&ex),
                                            reinterpret_cast<LPARAM>(s.data())));
    s.resize(static_cast<size_t>(std::max(0, got)));
    return s;
}

void TRichEdit::SetText(const std::string& s) {
    if (BeginNewText(s)) return;
    if (!FHandle) return;
    if (WantsWindow()) {
        BeginWindow(CHARRANGE{0, 0}, false, 0, false);
        return;
    }
    const TFlagGuard guard(FAppending);
    const std::string shown = ForControl(s.data(), s.size(), 0);
    SetWindowTextA(FHandle, shown.c_str());
    ApplyReadOnly();
}

void TRichEdit::SetScrollBars(TScrollStyle s) {
    if (s == FScrollBars) return;
    FScrollBars = s;
    // The styles are the window's: a new one is made with the text kept.
    if (FHandle) {
        const std::string text = Text();
        DestroyHandle();
        SetText(text);
        HandleNeeded();
    }
}

void TRichEdit::SetWordWrap(bool w) {
    FWordWrap = w;
    if (FHandle && !FLongLinesWrapped) SendMessageA(FHandle, EM_SETTARGETDEVICE, 0, w ? 0 : 1);
}

void TRichEdit::ApplyReadOnly() {
    if (FHandle) SendMessageA(FHandle, EM_SETREADONLY, ControlReadOnly(), 0);
}

int TRichEdit::GetTextLen() {
    GETTEXTLENGTHEX lenEx{GTL_NUMCHARS | GTL_PRECISE, CP_ACP};
    return static_cast<int>(SendMessageA(Handle(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lenEx), 0));
}

void TRichEdit::Clear() { SetText(""); }

std::string TRichEdit::SelText() {
    HWND h = Handle();
    CHARRANGE r{};
    SendMessageA(h, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
    if (r.cpMax <= r.cpMin) return "";
    // Each line break may become CR LF: room for twice the characters.
    std::string s(static_cast<size_t>(r.cpMax - r.cpMin) * 2 + 2, '\0');
    GETTEXTEX ex{static_cast<DWORD>(s.size()), GT_SELECTION | GT_USECRLF, CP_ACP, nullptr, nullptr};
    int got = static_cast<int>(
        SendMessageA(h, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&ex), reinterpret_cast<LPARAM>(s.data())));
    s.resize(static_cast<size_t>(std::max(0, got)));
    return s;
}

void TRichEdit::SetSelText(const std::string& s) {
    SendMessageA(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(s.c_str()));
}

int TRichEdit::SelStart() {
    CHARRANGE r{};
    SendMessageA(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
    return r.cpMin;
}

void TRichEdit::SetSelStart(int start) {
    CHARRANGE r{start, start};
    SendMessageA(Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
}

int TRichEdit::SelLength() {
    CHARRANGE r{};
    SendMessageA(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
    return r.cpMax - r.cpMin;
}

void TRichEdit::SetSelLength(int length) {
    CHARRANGE r{};
    SendMessageA(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
    r.cpMax = r.cpMin + length;
    SendMessageA(Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
}

void TRichEdit::SelectAll() {
    CHARRANGE r{0, -1};
    SendMessageA(Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
}

char TRichEdit::LastChar() {
    if (FPaneText.Known() && FHandle) {
        const std::string& text = FPaneText.Text();
        if (text.empty()) return '\0';
        return text.back() == '\n' ? '\r' : text.back();
    }
    if (FAppends.Pending()) return FAppends.LastChar();
    const int len = GetTextLen();
    if (len <= 0) return '\0';
    char last[4] = {};
    TEXTRANGEA range{{len - 1, len}, last};
    SendMessageA(Handle(), EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
    return last[0];
}

bool TRichEdit::Modified() { return SendMessageA(Handle(), EM_GETMODIFY, 0, 0) != 0; }

void TRichEdit::SetModified(bool m) { SendMessageA(Handle(), EM_SETMODIFY, m, 0); }

void TRichEdit::SetReadOnly(bool r) {
    FReadOnly = r;
    ApplyReadOnly();
}

bool TRichEdit::CNCommand(WORD code, WORD, LRESULT& result) {
    // A change that none of the messages above announced (dragging text, say).
    if (code == EN_CHANGE && !FAppending) FPaneText.Forget();
    if (code == EN_CHANGE && OnChange && !Destroying()) {
        OnChange(this);
        result = 0;
        return true;
    }
    return false;
}

bool TRichEdit::CNNotify(NMHDR* hdr, LRESULT& result) {
    if (hdr->code == EN_SELCHANGE) {
        if (OnSelectionChange && !Destroying()) OnSelectionChange(this);
        result = 0;
        return true;
    }
    return false;
}

void TRichEdit::ColorChanged() {
    if (FHandle) SendMessageA(FHandle, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(Color()));
    TWinControl::ColorChanged();
}

bool TRichEdit::WantsDialogKey(UINT key) {
    if (key == VK_RETURN) return FWantReturns;
    if (key == VK_TAB) return FWantTabs;
    return false;
}

void TRichEdit::SetSelBold(bool bold) {
    CHARFORMAT2A cf{};
    cf.cbSize = sizeof cf;
    cf.dwMask = CFM_BOLD;
    cf.dwEffects = bold ? CFE_BOLD : 0;
    SendMessageA(Handle(), EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
}

bool TRichEdit::SelBold() {
    CHARFORMAT2A cf{};
    cf.cbSize = sizeof cf;
    SendMessageA(Handle(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
    return (cf.dwMask & CFM_BOLD) && (cf.dwEffects & CFE_BOLD);
}

void TRichEdit::CopyToClipboard() { SendMessageA(Handle(), WM_COPY, 0, 0); }

void TRichEdit::Print(const std::string& title) {
    HWND h = Handle();
    const LONG length = static_cast<LONG>(GetTextLen());
    LONG done = 0;
    PrintJob(title, [&](HDC dc) {
        // The page in twips, less a margin of a quarter inch.
        const int w = GetDeviceCaps(dc, PHYSICALWIDTH) ? GetDeviceCaps(dc, PHYSICALWIDTH) : GetDeviceCaps(dc, HORZRES);
        const int hgt = GetDeviceCaps(dc, PHYSICALHEIGHT) ? GetDeviceCaps(dc, PHYSICALHEIGHT) : GetDeviceCaps(dc, VERTRES);
        const int dpiX = std::max(1, GetDeviceCaps(dc, LOGPIXELSX)), dpiY = std::max(1, GetDeviceCaps(dc, LOGPIXELSY));
        FORMATRANGE range{};
        range.hdc = dc;
        range.hdcTarget = dc;
        range.rcPage = {0, 0, MulDiv(w, 1440, dpiX), MulDiv(hgt, 1440, dpiY)};
        range.rc = {360, 360, std::max(720L, range.rcPage.right - 360), std::max(720L, range.rcPage.bottom - 360)};
        range.chrg = {done, -1};
        const LONG next = static_cast<LONG>(SendMessageA(h, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&range)));
        const bool more = next > done && next < length;
        done = next;
        if (!more) SendMessageA(h, EM_FORMATRANGE, FALSE, 0);
        return more;
    });
}

}  // namespace ruk
