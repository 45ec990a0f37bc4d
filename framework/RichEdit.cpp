#include "ComCtrls.h"

#include "Dialogs.h"
#include "RichEditSupport.h"

#include <algorithm>
#include <cstring>
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

struct StreamCookie {
    TStream* stream;
    std::exception_ptr error;
};

DWORD CALLBACK StreamInCallback(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    auto* c = reinterpret_cast<StreamCookie*>(cookie);
    try {
        *done = c->stream->Read(buffer, size);
        return 0;
    } catch (...) {
        c->error = std::current_exception();
        *done = 0;
        return 1;
    }
}

constexpr UINT_PTR kAppendTimer = 0x5241;

// A line longer than this is laid out without word wrap in a time that grows with the square
// of its length, and every caret move or repaint in it costs as much again (under Wine, a
// line of 200,000 characters took seconds for each). Wrapped, it costs the control a time
// in proportion to its length once, and little after. So a pane that does not wrap its
// lines, and cannot show such a line in display lines (its text is the control's alone),
// shows its text wrapped while it holds one; the text itself is the same.
constexpr size_t kUnwrappedLineChars = 16384;

// A position past any text the control can hold: a selection there is the caret at the end.
constexpr LONG kPastEnd = 0x7FFFFFF0;

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

DWORD CALLBACK StreamOutCallback(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    auto* c = reinterpret_cast<StreamCookie*>(cookie);
    try {
        c->stream->WriteBuffer(buffer, size);
        *done = size;
        return 0;
    } catch (...) {
        c->error = std::current_exception();
        *done = 0;
        return 1;
    }
}

// A plain text as rich text in the pane's font, each line a paragraph: in substance what the
// control writes for a text put in as plain text.
std::string PlainTextAsRtf(const std::string& text, const TFont& font) {
    const int px = font.Height < 0 ? -font.Height : (font.Height * 8 + 5) / 10;
    std::string s = "{\\rtf1\\ansi\\ansicpg" + std::to_string(GetACP()) + "\\deff0{\\fonttbl{\\f0\\fnil " +
                    font.Name + ";}}\r\n{\\colortbl ;\\red" + std::to_string(GetRValue(font.Color)) + "\\green" +
                    std::to_string(GetGValue(font.Color)) + "\\blue" + std::to_string(GetBValue(font.Color)) +
                    ";}\r\n\\pard\\cf1" + (font.Bold ? "\\b" : "") + "\\f0\\fs" + std::to_string(px * 3 / 2) + " ";
    s.reserve(s.size() + text.size() + text.size() / 8);
    static const char* const kHex = "0123456789abcdef";
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            s += "\\par\r\n";
        } else if (c == '\\' || c == '{' || c == '}') {
            s += '\\';
            s += static_cast<char>(c);
        } else if (c == '\t') {
            s += "\\tab ";
        } else if (c >= 0x80) {
            s += "\\'";
            s += kHex[c >> 4];
            s += kHex[c & 15];
        } else {
            s += static_cast<char>(c);
        }
    }
    s += "\r\n}\r\n";
    return s;
}
}  // namespace

// ---------------------------------------------------------------- TRichEditStrings

int TRichEditStrings::Count() {
    if (FOwner.FWindowed && !FOwner.FPaneLines.AnyBreaks()) {
        // Each display line is a line of the text; an empty one after the last break is none.
        const TPaneLines& lines = FOwner.FPaneLines;
        const size_t n = lines.Count();
        return static_cast<int>(n > 0 && lines.LengthOf(n - 1) == 0 ? n - 1 : n);
    }
    if (FOwner.FBreaks.Any() || FOwner.FWindowed) {
        // The control's lines are display lines: the text's are counted.
        const std::string text = FOwner.Text();
        int n = 0;
        for (size_t i = 0; i < text.size(); ++i)
            if (text[i] == '\n') ++n;
        return n + (text.empty() || text.back() == '\n' ? 0 : 1);
    }
    HWND h = FOwner.Handle();
    int n = static_cast<int>(SendMessageA(h, EM_GETLINECOUNT, 0, 0));
    // The control always has a line after the last line break; it is not a line of the text.
    if (n > 0) {
        int last = static_cast<int>(SendMessageA(h, EM_LINEINDEX, n - 1, 0));
        if (SendMessageA(h, EM_LINELENGTH, last, 0) == 0) --n;
    }
    return n;
}

std::string TRichEditStrings::Strings(int index) {
    if (FOwner.FWindowed && !FOwner.FPaneLines.AnyBreaks()) {
        if (index < 0 || index >= Count()) throw EStringListError(Format("List index out of bounds (%d)", index));
        const TPaneLines& lines = FOwner.FPaneLines;
        const size_t line = static_cast<size_t>(index);
        return lines.Range(FOwner.FPaneText.Text(), lines.UnitOf(line), lines.UnitOf(line) + lines.LengthOf(line));
    }
    if (FOwner.FBreaks.Any() || FOwner.FWindowed) {
        const std::string text = FOwner.Text();
        if (index >= 0) {
            size_t start = 0;
            for (int line = 0; start < text.size(); ++line) {
                size_t end = text.find("\r\n", start);
                if (end == std::string::npos) end = text.size();
                if (line == index) return text.substr(start, end - start);
                start = end + 2;
            }
        }
        throw EStringListError(Format("List index out of bounds (%d)", index));
    }
    HWND h = FOwner.Handle();
    if (index < 0 || index >= Count()) throw EStringListError(Format("List index out of bounds (%d)", index));
    int start = static_cast<int>(SendMessageA(h, EM_LINEINDEX, index, 0));
    int len = static_cast<int>(SendMessageA(h, EM_LINELENGTH, start, 0));
    std::string s(static_cast<size_t>(len) + 2, '\0');
    *reinterpret_cast<WORD*>(s.data()) = static_cast<WORD>(len + 2);
    int got = static_cast<int>(SendMessageA(h, EM_GETLINE, index, reinterpret_cast<LPARAM>(s.data())));
    s.resize(static_cast<size_t>(std::max(0, std::min(got, len))));
    while (!s.empty() && (s.back() == '\r' || s.back() == '\n')) s.pop_back();
    return s;
}

std::string TRichEditStrings::Text() { return FOwner.Text(); }

void TRichEditStrings::SetText(const std::string& text) { FOwner.SetText(text); }

void TRichEditStrings::Add(const std::string& line) {
    // Appended after a line break, adding one when the text does not end with one.
    const char last = FOwner.LastChar();
    FOwner.AppendText(last != '\0' && last != '\r' && last != '\n' ? "\r\n" + line : line);
}

void TRichEditStrings::Clear() { FOwner.Clear(); }

bool StreamHoldsRichText(TStream& stream) {
    const Int64 pos = stream.Position();
    char head[5] = {};
    const int got = stream.Read(head, 5);
    stream.SetPosition(pos);
    return got == 5 && std::string(head, 5) == "{\\rtf";
}

void TRichEditStrings::LoadFromStream(TStream& stream) {
    // A file that is not RTF is read as plain text.
    const UINT format = !FOwner.FPlainText && StreamHoldsRichText(stream) ? SF_RTF : SF_TEXT;
    if (format == SF_TEXT) {
        // Plain text can go in by slices, as appends do.
        std::string text;
        char buffer[65536];
        for (;;) {
            const int got = stream.Read(buffer, sizeof buffer);
            if (got < 0) throw EOutOfResources("Failed to Load Stream");
            if (got == 0) break;
            text.append(buffer, static_cast<size_t>(got));
        }
        FOwner.LoadPlainText(std::move(text));
        return;
    }
    FOwner.BeginNewText("");
    FOwner.FPaneText.Forget();
    StreamCookie cookie{&stream, nullptr};
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&cookie), 0, StreamInCallback};
    SendMessageA(FOwner.Handle(), EM_STREAMIN, format, reinterpret_cast<LPARAM>(&es));
    // Streaming in marks the control modified (so under Wine); a load is no edit of the user's.
    SendMessageA(FOwner.Handle(), EM_SETMODIFY, FALSE, 0);
    if (cookie.error) std::rethrow_exception(cookie.error);
    if (es.dwError != 0) throw EOutOfResources("Failed to Load Stream");
}

void TRichEditStrings::SaveToStream(TStream& stream) {
    if (FOwner.FBreaks.Any() || FOwner.FWindowed) {
        // The control would write its display lines (or a window) only: the text is written from here.
        const std::string text = FOwner.FPlainText ? FOwner.Text() : PlainTextAsRtf(FOwner.Text(), FOwner.Font());
        if (!text.empty()) stream.WriteBuffer(text.data(), static_cast<int>(text.size()));
        return;
    }
    if (FOwner.FPlainText && FOwner.FPaneText.Known()) {
        // The control would write the same, after taking in what waits.
        const std::string& text = FOwner.FPaneText.Text();
        if (!text.empty()) stream.WriteBuffer(text.data(), static_cast<int>(text.size()));
        return;
    }
    HWND h = FOwner.Handle();
    StreamCookie cookie{&stream, nullptr};
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&cookie), 0, StreamOutCallback};
    SendMessageA(h, EM_STREAMOUT, FOwner.FPlainText ? SF_TEXT : SF_RTF, reinterpret_cast<LPARAM>(&es));
    if (cookie.error) std::rethrow_exception(cookie.error);
    if (es.dwError != 0) throw EOutOfResources("Failed to Save Stream");
}

void TRichEditStrings::LoadFromFile(const std::string& fileName) {
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TRichEditStrings::SaveToFile(const std::string& fileName) {
    TFileStream stream(fileName, fmCreate);
    SaveToStream(stream);
}

// ---------------------------------------------------------------- TRichEdit

namespace {
// The rich edits of the process (all on the main thread).
std::vector<TRichEdit*>& RichEdits() {
    static std::vector<TRichEdit*> panes;
    return panes;
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

bool TRichEdit::DefersToPaneInSight() const {
    if (IsWindowVisible(FHandle)) return false;
    for (const TRichEdit* pane : RichEdits())
        if (pane != this && pane->FHandle && pane->AppendPending() && IsWindowVisible(pane->FHandle)) return true;
    return false;
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

void TRichEdit::ApplyReadOnly() {
    if (FHandle) SendMessageA(FHandle, EM_SETREADONLY, ControlReadOnly(), 0);
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

namespace {

// A control position of the text's, -1 (the end) kept.
LONG ToControlPosition(const TDisplayBreaks& breaks, LONG position) {
    if (position < 0) return position;
    return static_cast<LONG>(breaks.ToControl(static_cast<size_t>(position)));
}

}  // namespace

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

}  // namespace ruk

namespace ruk {

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
