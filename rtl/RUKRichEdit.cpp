#include "RUKRichEdit.h"

#include "Form.h"
#include "Handles.h"

namespace ruk {

namespace {

// The library the controls loaded, freed when the run-time library goes.
TLoadedModule gRichEditLibrary;
UINT gCodePageForTests = 0;

UINT MaxCharSize() {
    CPINFO info{};
    const UINT cp = gCodePageForTests ? gCodePageForTests : CP_ACP;
    if (!GetCPInfo(cp, &info) || info.MaxCharSize < 1) return 4;
    return info.MaxCharSize;
}

}  // namespace

HMODULE RichEditLibraryHandle() { return gRichEditLibrary.Get(); }

DWORD FreeRichEdit10Library() {
    HMODULE lib = GetModuleHandleA("RICHED32.DLL");
    if (lib && reinterpret_cast<UINT_PTR>(lib) != 32 && FreeLibrary(lib)) return 0;
    const DWORD e = GetLastError();
    return e ? e : 1627;
}

void TRUKRichEdit::SetAnsiCodePageForTests(UINT codePage) { gCodePageForTests = codePage; }

TRUKRichEdit::TRUKRichEdit(TComponent* owner) : TRichEdit(owner) {}

void TRUKRichEdit::CreateParams(TCreateParams& p) {
    if (!gRichEditLibrary) {
        HMODULE lib = LoadLibraryA("Riched20.dll");
        if (!lib) lib = LoadLibraryA("RICHED32.DLL");
        gRichEditLibrary.Reset(reinterpret_cast<UINT_PTR>(lib) == 32 ? nullptr : lib);
    }
    // The class library's rich edit works on the 2.0 library alone and takes no reference to
    // the 1.0 library, so there is none to give back here.
    TRichEdit::CreateParams(p);
    p.ClassName = "RichEdit20A";
    if (!HideScrollBars()) p.Style |= ES_DISABLENOSCROLL;
    if (!HideSelection()) p.Style |= ES_NOHIDESEL;
    p.ClassStyle &= ~static_cast<UINT>(CS_VREDRAW | CS_HREDRAW);
}

LRESULT TRUKRichEdit::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        try {
            return DefaultHandler(msg, wp, lp);
        } catch (...) {
            return 0;  // painting never raises
        }
    }
    return TRichEdit::WndProc(msg, wp, lp);
}

bool TRUKRichEdit::CNCommand(WORD code, WORD id, LRESULT& result) {
    if (code == EN_UPDATE) {
        result = 0;
        return true;
    }
    return TRichEdit::CNCommand(code, id, result);
}

bool TRUKRichEdit::CNNotify(NMHDR* hdr, LRESULT& result) {
    if (hdr->code != EN_LINK) return TRichEdit::CNNotify(hdr, result);
    const ENLINK link = *reinterpret_cast<const ENLINK*>(hdr);
    switch (link.msg) {
    case WM_SETCURSOR: DoLinkSetCursor(link); break;
    case WM_MOUSEMOVE: DoLinkMouseMove(link); break;
    case WM_LBUTTONDOWN: DoLinkLeftBtnDown(link); break;
    case WM_LBUTTONUP: DoLinkLeftBtnUp(link); break;
    case WM_LBUTTONDBLCLK: DoLinkLeftBtnDoubleClick(link); break;
    case WM_RBUTTONDOWN: DoLinkRightBtnDown(link); break;
    case WM_RBUTTONUP: DoLinkRightBtnUp(link); break;
    case WM_RBUTTONDBLCLK: DoLinkRightBtnDoubleClick(link); break;
    default: break;
    }
    // The control goes on to handle the mouse message itself.
    result = 0;
    return true;
}

void TRUKRichEdit::FireLink(const TRUKRichEditLinkEvent& event, const ENLINK& link) {
    if (!event) return;
    event(this, GetTextRange(link.chrg.cpMin, link.chrg.cpMax));
}

void TRUKRichEdit::DoLinkLeftBtnDoubleClick(const ENLINK& link) { FireLink(OnLinkLeftBtnDoubleClick, link); }
void TRUKRichEdit::DoLinkLeftBtnDown(const ENLINK& link) { FireLink(OnLinkLeftBtnDown, link); }
void TRUKRichEdit::DoLinkLeftBtnUp(const ENLINK& link) { FireLink(OnLinkLeftBtnUp, link); }
void TRUKRichEdit::DoLinkMouseMove(const ENLINK& link) { FireLink(OnLinkMouseMove, link); }
void TRUKRichEdit::DoLinkRightBtnDoubleClick(const ENLINK& link) { FireLink(OnLinkRightBtnDoubleClick, link); }
void TRUKRichEdit::DoLinkRightBtnDown(const ENLINK& link) { FireLink(OnLinkRightBtnDown, link); }
void TRUKRichEdit::DoLinkRightBtnUp(const ENLINK& link) { FireLink(OnLinkRightBtnUp, link); }
void TRUKRichEdit::DoLinkSetCursor(const ENLINK& link) { FireLink(OnLinkSetCursor, link); }

int TRUKRichEdit::AddLine(const std::string& text) {
    SetSelText(text);
    const int line = static_cast<int>(SendMessageA(Handle(), EM_EXLINEFROMCHAR, 0, SelStart()));
    SetSelText("\r\n");
    return line;
}

void TRUKRichEdit::SetAutoURLDetect(bool detect) { SendMessageA(Handle(), EM_AUTOURLDETECT, detect ? 1 : 0, 0); }

bool TRUKRichEdit::GetAutoURLDetect() { return SendMessageA(Handle(), EM_GETAUTOURLDETECT, 0, 0) != 0; }

void TRUKRichEdit::SetLinkNotification(bool notify) {
    const DWORD mask = static_cast<DWORD>(SendMessageA(Handle(), EM_GETEVENTMASK, 0, 0));
    SendMessageA(Handle(), EM_SETEVENTMASK, 0, notify ? (mask | ENM_LINK) : (mask & ~static_cast<DWORD>(ENM_LINK)));
}

std::string TRUKRichEdit::GetTextRange(int first, int last) {
    if (last <= first) return std::string();
    // The control writes each character in the ANSI code page: under a double-byte code page
    // a character takes two bytes, so the buffer has room for the most a character can take.
    const size_t n = static_cast<size_t>(last) - static_cast<size_t>(first);
    std::string buffer(n * MaxCharSize() + 1, '\0');
    TEXTRANGEA range{{first, last}, buffer.data()};
    if (SendMessageA(Handle(), EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range)) <= 0) return std::string();
    buffer.resize(buffer.find('\0') == std::string::npos ? buffer.size() : buffer.find('\0'));
    return buffer;
}

namespace {
// Form descriptions name the class.
const bool gClassRegistered = [] {
    RegisterComponentClass("TRUKRichEdit", [](TComponent* o) -> TComponent* { return new TRUKRichEdit(o); });
    return true;
}();
}  // namespace

}  // namespace ruk
