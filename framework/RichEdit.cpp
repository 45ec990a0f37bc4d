#include "ComCtrls.h"

#include "Dialogs.h"

#include <algorithm>
#include <cstring>

namespace ruk {

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

// A part of a text in memory, streamed into the control.
struct TTextSource {
    const wchar_t* Data;
    size_t Size;  // in characters
};

DWORD CALLBACK TextInCallback(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    auto* source = reinterpret_cast<TTextSource*>(cookie);
    size_t n = std::min(source->Size, static_cast<size_t>(std::max<LONG>(size, 0)) / sizeof(wchar_t));
    if (n < source->Size) {
        // The control converts and inserts each buffer on its own: one that ends inside a
        // line break (CR | LF, or CR | CR LF, the soft break) would come out as other breaks.
        // So a buffer ends after a line, or at least not after a CR.
        size_t cut = n;
        while (cut > 0 && source->Data[cut - 1] != L'\n') --cut;
        if (cut == 0) {
            cut = n;
            while (cut > 0 && source->Data[cut - 1] == L'\r') --cut;
        }
        if (cut > 0) n = cut;
    }
    std::memcpy(buffer, source->Data, n * sizeof(wchar_t));
    source->Data += n;
    source->Size -= n;
    *done = static_cast<LONG>(n * sizeof(wchar_t));
    return 0;
}

// Streams ANSI text in as it stands. The control's own plain-text load would take a text that
// begins with the UTF-8 byte-order mark for UTF-8 and decode it, so the pane would show
// another text than the one loaded; converted here by the ANSI code page, as the control
// converts every other text, it reads back byte for byte.
// The result is the stream's error (0: none).
DWORD StreamInAnsiText(HWND h, WPARAM flags, const char* text, size_t size) {
    std::wstring wide;
    if (size > 0) {
        const int n = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(size), nullptr, 0);
        wide.resize(static_cast<size_t>(std::max(n, 0)));
        if (n > 0) MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(size), wide.data(), n);
    }
    TTextSource source{wide.data(), wide.size()};
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&source), 0, TextInCallback};
    SendMessageA(h, EM_STREAMIN, flags | SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&es));
    return es.dwError;
}

// Taking the text out of a control costs it time that grows with the square of its lines (some
// seconds for 10,000 under Wine, minutes for a long log); a new window costs next to nothing.
// So a control with more lines than this is replaced by a new window when its text is replaced.
constexpr LRESULT kLargeLineCount = 1000;

// Appends wait for the control's timer; ticks come every kGatherMs while lines trickle in (so
// that many go in at once), every kDrainMs while a backlog is worked off.
constexpr UINT_PTR kAppendTimer = 0x5241;
constexpr UINT kGatherMs = 50;
constexpr UINT kDrainMs = 10;
// A tick appends for about this long and a slice this long, so that the window answers
// other messages well within a quarter of a second.
constexpr DWORD kTickBudgetMs = 60;
constexpr double kSliceTargetMs = 20;
constexpr size_t kMinSlice = 1024, kMaxSlice = 1 << 20;
// A small append to a control that has had none for kGatherMs goes in at once.
constexpr size_t kImmediateChars = 4096;
// A backlog whose timer has not had its turn for this long gets a tick from the next append.
constexpr DWORD kStarvedMs = 150;

// The control allocates without checking, and a process out of address space fails at its
// next allocation. So a slice goes in only while the address space for it (at what Wine's rich
// edit takes a character) and a reserve beyond can still be had.
constexpr unsigned long long kAddressReserve = 192ull << 20;
constexpr unsigned long long kBytesPerChar = 300;

double NowMs() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

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
}  // namespace

// ---------------------------------------------------------------- TRichEditStrings

int TRichEditStrings::Count() {
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
    StreamCookie cookie{&stream, nullptr};
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&cookie), 0, StreamInCallback};
    SendMessageA(FOwner.Handle(), EM_STREAMIN, format, reinterpret_cast<LPARAM>(&es));
    // Streaming in marks the control modified (so under Wine); a load is no edit of the user's.
    SendMessageA(FOwner.Handle(), EM_SETMODIFY, FALSE, 0);
    if (cookie.error) std::rethrow_exception(cookie.error);
    if (es.dwError != 0) throw EOutOfResources("Failed to Load Stream");
}

void TRichEditStrings::SaveToStream(TStream& stream) {
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

TRichEdit::TRichEdit(TComponent* owner) : TWinControl(owner), FLines(*this) { FTabStop = true; }

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
}

void TRichEdit::InitWnd() {
    TWinControl::InitWnd();
    // Documents are far larger than the control's default limit of 32K characters.
    SendMessageA(FHandle, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
    SendMessageA(FHandle, EM_SETEVENTMASK, 0, ENM_SELCHANGE | ENM_CHANGE);
    SendMessageA(FHandle, EM_SETTARGETDEVICE, 0, FWordWrap ? 0 : 1);
    ApplyDefaultFormat();
    if (FHasColor || ParentColor()) ColorChanged();
    if (!FText.empty()) SetWindowTextA(FHandle, FText.c_str());
    SendMessageA(FHandle, EM_SETMODIFY, FALSE, 0);
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
    if (!FHandle) return FText;
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
    if (FHandle) SetWindowTextA(FHandle, s.c_str());
}

bool TRichEdit::BeginNewText(const std::string& text) {
    DropPending();
    FRefusing = false;
    FText = text;
    // A new window takes FText as it is created.
    if (!FHandle) return false;
    if (SendMessageA(FHandle, EM_GETLINECOUNT, 0, 0) <= kLargeLineCount) return false;
    const HWND old = FHandle;
    const HWND above = GetWindow(old, GW_HWNDPREV);
    const bool focused = GetFocus() == old;
    DestroyHandle();
    HandleNeeded();
    SetWindowPos(FHandle, above ? above : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (focused) ::SetFocus(FHandle);
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
    if (s.empty() || FRefusing) return;
    Handle();
    const bool idle = !AppendPending();
    if (idle) {
        FPending.clear();
        FPendingDone = 0;
        FCuts.clear();
    } else if (FPendingDone > 65536 && FPendingDone > FPending.size() / 2) {
        FPending.erase(0, FPendingDone);
        for (size_t& cut : FCuts) cut -= FPendingDone;
        FPendingDone = 0;
    }
    // A text that ends in a CR went in on its own, so a line break that the next text begins
    // with stays a line break of its own (CR | CR LF together would be the soft break).
    if (!idle && FPending.back() == '\r') FCuts.push_back(FPending.size());
    FPending += s;
    FPendingModified = true;
    const DWORD now = GetTickCount();
    if (idle && s.size() <= kImmediateChars && now - FLastAppend >= kGatherMs) {
        AppendSlices(0, false);
        return;
    }
    // A stream of calls (a worker's deliveries) can keep the timer's message from coming.
    if (idle) FBacklogSince = now;
    else if (now - FLastAppend >= kStarvedMs && now - FBacklogSince >= kStarvedMs) AppendSlices(kTickBudgetMs, false);
    SchedulePending();
}

void TRichEdit::CompleteAppends() {
    if (!AppendPending() || FAppending) return;
    AppendSlices(0, false);
}

void TRichEdit::LoadPlainText(std::string text) {
    BeginNewText("");
    const HWND h = Handle();
    FPending = std::move(text);
    FPendingDone = 0;
    // The first slice replaces the whole text, as one load of it all would.
    const size_t end = NextSliceEnd();
    FAppending = true;
    const DWORD error = StreamInAnsiText(h, 0, FPending.data(), end);
    FAppending = false;
    if (error != 0) {
        DropPending();
        throw EOutOfResources("Failed to Load Stream");
    }
    FPendingDone = end;
    FLastAppend = GetTickCount();
    // Streaming in marks the control modified (so under Wine); a load is no edit of the user's,
    // and the slices still to come leave the flag clear too.
    FAppending = true;
    SendMessageA(h, EM_SETMODIFY, FALSE, 0);
    FAppending = false;
    FPendingModified = false;
    if (!AppendPending()) {
        DropPending();
        return;
    }
    SchedulePending();
}

size_t TRichEdit::NextSliceEnd() const {
    const size_t size = FPending.size(), start = FPendingDone;
    // Two appends made one after the other are not joined into one line break.
    const size_t stop = FCuts.empty() ? size : FCuts.front();
    if (stop - start <= FSliceSize) return stop;
    // A slice ends after a line: appending to a line makes the control lay out all of it
    // again, and a slice that ends inside a line break would change it.
    const size_t limit = start + FSliceSize;
    for (size_t i = limit; i > start; --i)
        if (FPending[i - 1] == '\n') return i;
    for (size_t i = limit + 1; i < stop; ++i)
        if (FPending[i - 1] == '\n') return i;
    // No LF: after a CR that is followed by neither CR nor LF.
    auto loneCr = [&](size_t i) { return FPending[i - 1] == '\r' && FPending[i] != '\r' && FPending[i] != '\n'; };
    for (size_t i = limit; i > start; --i)
        if (loneCr(i)) return i;
    for (size_t i = limit + 1; i < stop; ++i)
        if (loneCr(i)) return i;
    return stop;
}

void TRichEdit::AppendSlice() {
    const HWND h = FHandle;
    const size_t end = NextSliceEnd();
    const double started = NowMs();
    struct TGuard {
        bool& Flag;
        ~TGuard() { Flag = false; }
    } guard{FAppending};
    FAppending = true;
    // Selection changes of our own are not the user's: the events wait until the slice is in.
    const LRESULT mask = SendMessageA(h, EM_GETEVENTMASK, 0, 0);
    SendMessageA(h, EM_SETEVENTMASK, 0, mask & ~ENM_SELCHANGE);
    if (FReadOnly) SendMessageA(h, EM_SETREADONLY, FALSE, 0);
    CHARRANGE old{};
    SendMessageA(h, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&old));
    const int len = GetTextLen();
    CHARRANGE at{len, len};
    SendMessageA(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&at));
    StreamInAnsiText(h, SFF_SELECTION, FPending.data() + FPendingDone, end - FPendingDone);
    // As an append that cannot be undone.
    SendMessageA(h, EM_EMPTYUNDOBUFFER, 0, 0);
    if (old.cpMin != len || old.cpMax != len) {
        SendMessageA(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&old));
    } else {
        const int newLen = GetTextLen();
        CHARRANGE caret{newLen, newLen};
        SendMessageA(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&caret));
        SendMessageA(h, EM_SCROLLCARET, 0, 0);
    }
    if (FReadOnly) SendMessageA(h, EM_SETREADONLY, TRUE, 0);
    SendMessageA(h, EM_SETEVENTMASK, 0, mask);
    const size_t chars = end - FPendingDone;
    FPendingDone = end;
    while (!FCuts.empty() && FCuts.front() <= FPendingDone) FCuts.erase(FCuts.begin());
    if (!AppendPending()) {
        FPending.clear();
        FPendingDone = 0;
        FCuts.clear();
        SendMessageA(h, EM_SETMODIFY, FPendingModified, 0);
    }
    FLastAppend = GetTickCount();
    const double took = NowMs() - started;
    if (took > 0.5 && chars >= kMinSlice / 2) {
        const double fit = static_cast<double>(chars) * kSliceTargetMs / took;
        FSliceSize = static_cast<size_t>(std::clamp(fit, static_cast<double>(kMinSlice), static_cast<double>(kMaxSlice)));
    }
}

void TRichEdit::AppendSlices(DWORD budgetMs, bool yield) {
    if (!FHandle || FAppending) return;
    const double started = NowMs();
    // Without redrawing, an append costs the control a small part of what it costs while it
    // is shown (it would lay out and paint its view after each). Turning redrawing back on
    // shows the window again, so this is only done for a window that is shown.
    const bool shown = (GetWindowLongA(FHandle, GWL_STYLE) & WS_VISIBLE) != 0;
    if (shown) SendMessageA(FHandle, WM_SETREDRAW, FALSE, 0);
    while (AppendPending()) {
        if (!AddressSpaceAvailable(kAddressReserve + (NextSliceEnd() - FPendingDone) * kBytesPerChar)) {
            RefuseAppends();
            break;
        }
        AppendSlice();
        if (budgetMs != 0 && NowMs() - started >= budgetMs) break;
        if (yield && HIWORD(GetQueueStatus(QS_INPUT | QS_POSTMESSAGE | QS_SENDMESSAGE)) != 0) break;
    }
    if (shown) {
        SendMessageA(FHandle, WM_SETREDRAW, TRUE, 0);
        RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    }
    if (AppendPending()) {
        SchedulePending();
    } else if (FTimerSet) {
        KillTimer(FHandle, kAppendTimer);
        FTimerSet = false;
    }
}

void TRichEdit::RefuseAppends() {
    DropPending();
    FRefusing = true;
    // The text in the pane stays as far as it got; the user is told once.
    SafeCall(this, [] { throw EOutOfResources("Failed to Load Stream"); });
}

void TRichEdit::SchedulePending() {
    if (!FHandle || FTimerSet || !AppendPending()) return;
    // While the backlog is large the ticks follow each other closely.
    const UINT ms = FPending.size() - FPendingDone > FSliceSize ? kDrainMs : kGatherMs;
    FTimerSet = SetTimer(FHandle, kAppendTimer, ms, nullptr) != 0;
}

void TRichEdit::DropPending() {
    FPending.clear();
    FPendingDone = 0;
    FCuts.clear();
    if (FTimerSet && FHandle) KillTimer(FHandle, kAppendTimer);
    FTimerSet = false;
}

LRESULT TRichEdit::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER && wp == kAppendTimer) {
        FTimerSet = false;
        KillTimer(FHandle, kAppendTimer);
        // A backlog left over schedules the next tick.
        AppendSlices(kTickBudgetMs, true);
        return 0;
    }
    if (AppendPending() && !FAppending) {
        switch (msg) {
        case EM_GETMODIFY:
            return FPendingModified;
        case EM_SETMODIFY:
            FPendingModified = wp != 0;
            return 0;
        case EM_CANUNDO:
            // The appends leave nothing to undo.
            return 0;
        case EM_GETSEL:
        case EM_EXGETSEL: {
            // Appends keep a selection; only a caret at the end moves on with them. So the
            // actions that look at the selection of the focused control on every idle step
            // do not make the control do its waiting work at once.
            CHARRANGE r{};
            FAppending = true;
            SendMessageA(FHandle, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&r));
            const int len = GetTextLen();
            FAppending = false;
            if (r.cpMin == r.cpMax && r.cpMax >= len) CompleteAppends();
            break;
        }
        case WM_SETTEXT:
        case WM_DESTROY:
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
    return TWinControl::WndProc(msg, wp, lp);
}

char TRichEdit::LastChar() {
    if (AppendPending()) {
        const char last = FPending.back();
        return last == '\n' ? '\r' : last;
    }
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
    if (FHandle) SendMessageA(FHandle, EM_SETREADONLY, r, 0);
}

bool TRichEdit::CNCommand(WORD code, WORD, LRESULT& result) {
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
