#include "ComCtrls.h"

#include <algorithm>

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
    HWND h = FOwner.Handle();
    int len = FOwner.GetTextLen();
    std::string piece = line;
    if (len > 0) {
        // Appended after a line break, adding one when the text does not end with one.
        CHARRANGE last{len - 1, len};
        SendMessageA(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&last));
        char tail[4] = {};
        SendMessageA(h, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(tail));
        if (tail[0] != '\r' && tail[0] != '\n') piece = "\r\n" + piece;
    }
    CHARRANGE end{len, len};
    SendMessageA(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
    SendMessageA(h, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(piece.c_str()));
}

void TRichEditStrings::Clear() { FOwner.Clear(); }

void TRichEditStrings::LoadFromStream(TStream& stream) {
    HWND h = FOwner.Handle();
    UINT format = SF_TEXT;
    if (!FOwner.FPlainText) {
        // A file that is not RTF is read as plain text.
        Int64 pos = stream.Position();
        char head[5] = {};
        int got = stream.Read(head, 5);
        stream.SetPosition(pos);
        if (got == 5 && std::string(head, 5) == "{\\rtf") format = SF_RTF;
    }
    StreamCookie cookie{&stream, nullptr};
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&cookie), 0, StreamInCallback};
    SendMessageA(h, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&es));
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
    p.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;
    p.ExStyle = WS_EX_CLIENTEDGE;
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
    FText = s;
    if (FHandle) SetWindowTextA(FHandle, s.c_str());
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
    HWND h = Handle();
    CHARRANGE old{};
    SendMessageA(h, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&old));
    const int len = GetTextLen();
    CHARRANGE end{len, len};
    SendMessageA(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
    SendMessageA(h, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(s.c_str()));
    if (old.cpMin != len || old.cpMax != len) SendMessageA(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&old));
}

char TRichEdit::LastChar() {
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
