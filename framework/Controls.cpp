#include "Controls.h"

#include "Forms.h"
#include "Handles.h"
#include "Menus.h"

#include <commctrl.h>

#include <algorithm>
#include <mutex>
#include <unordered_map>

namespace ruk {

HINSTANCE ModuleInstance() {
    static const HINSTANCE instance = [] {
        HMODULE m = nullptr;
        if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                reinterpret_cast<LPCSTR>(&ModuleInstance), &m))
            m = GetModuleHandleA(nullptr);
        return m;
    }();
    return instance;
}

// ---------------------------------------------------------------- exception display

namespace {
TExceptionHandler& ExceptionHandlerSlot() {
    static TExceptionHandler handler;
    return handler;
}
}  // namespace

void SetExceptionHandler(TExceptionHandler handler) { ExceptionHandlerSlot() = std::move(handler); }

void HandleException(TObject* sender) {
    std::exception_ptr e = std::current_exception();
    if (!e) return;
    if (ExceptionHandlerSlot()) {
        try {
            ExceptionHandlerSlot()(sender, e);
        } catch (...) {
            // The display itself failed: nothing further can be shown.
        }
        return;
    }
    Application->HandleException(sender);
}

// ---------------------------------------------------------------- hints

namespace {
std::function<void(const std::string&)>& HintReceiver() {
    static std::function<void(const std::string&)> r;
    return r;
}
}  // namespace

void ApplicationShowHint(const std::string& longHint) {
    if (HintReceiver()) HintReceiver()(longHint);
}

void SetHintReceiver(std::function<void(const std::string&)> receiver) { HintReceiver() = std::move(receiver); }

// ---------------------------------------------------------------- TComponent

TComponent::TComponent(TComponent* owner) {
    if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
    FState |= csDestroying;
    DestroyComponents();
    if (FOwner) FOwner->RemoveComponent(this);
}

void TComponent::Free() {
    BeforeDestruction();
    delete this;
}

void TComponent::BeforeDestruction() { FState |= csDestroying; }

void TComponent::InsertComponent(TComponent* c) {
    c->FOwner = this;
    FComponents.push_back(c);
}

void TComponent::RemoveComponent(TComponent* c) {
    auto it = std::find(FComponents.begin(), FComponents.end(), c);
    if (it != FComponents.end()) FComponents.erase(it);
    c->FOwner = nullptr;
}

void TComponent::DestroyComponents() {
    for (TComponent* c : FComponents) c->BeforeDestruction();
    while (!FComponents.empty()) {
        TComponent* c = FComponents.back();
        FComponents.pop_back();
        c->FOwner = nullptr;
        delete c;
    }
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : FComponents)
        if (SameText(c->Name(), name)) return c;
    return nullptr;
}

void TComponent::SetParentComponent(TComponent* parent) {
    throw EComponentError(Format("%s cannot be placed in %s", FName.c_str(), parent ? parent->Name().c_str() : "nothing"));
}

void TComponent::SetProperty(const std::string& name, const std::string& value, TComponentResolver&) {
    if (SameText(name, "Tag")) {
        Tag = StrToIntProp(value);
        return;
    }
    UnknownProperty(name);
}

void TComponent::UnknownProperty(const std::string& name) const {
    throw EPropertyError(Format("Property %s.%s does not exist", FName.c_str(), name.c_str()));
}

// ---------------------------------------------------------------- TFont

HFONT TFont::Handle() {
    if (!FHandle) {
        FHandle = CreateFontA(Height, 0, 0, 0, Bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                              DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              DEFAULT_PITCH | FF_DONTCARE, Name.c_str());
        // Without a font of its own a control would draw in the system font without a word.
        if (!FHandle) throw EOutOfResources("Failed to create the font " + Name);
    }
    return FHandle;
}

void TFont::Changed() {
    if (FHandle) DeleteObject(FHandle);
    FHandle = nullptr;
}

TFont::~TFont() { Changed(); }

// ---------------------------------------------------------------- TWinControl

namespace {
// The windows bound to their objects. Looked up for nearly every message (the window's own,
// and the child named by WM_COMMAND and WM_NOTIFY): a window property costs a call into the
// window server each time under Wine, far more than the message itself; a table in the
// process does not. For the same reason controls are not subclassed through the common
// controls' SetWindowSubclass, which reads a window property for every message.
std::mutex gBoundLock;
std::unordered_map<HWND, TWinControl*> gBound;
// The control's own procedure of each subclassed window, for messages that come after its
// object has let go of it (until WM_NCDESTROY).
struct TSubclassed {
    WNDPROC OldProc;
    bool Unicode;
};
std::unordered_map<HWND, TSubclassed> gSubclassed;

LRESULT CallOld(const TSubclassed& s, HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    return s.Unicode ? CallWindowProcW(s.OldProc, wnd, msg, wp, lp) : CallWindowProcA(s.OldProc, wnd, msg, wp, lp);
}
UINT NextChildId() {
    static UINT id = 1000;
    return ++id;
}
}  // namespace

TWinControl::TWinControl(TComponent* owner) : TComponent(owner) {}

TWinControl::~TWinControl() {
    BeforeDestruction();
    DestroyHandle();
    for (TWinControl* c : FControls) c->FParent = nullptr;
    FControls.clear();
    if (FParent) {
        auto& v = FParent->FControls;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
    if (FBrush) DeleteObject(FBrush);
}

void TWinControl::SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) {
    if (SameText(name, "Align")) SetAlign(StrToAlign(value));
    else if (SameText(name, "Anchors")) FAnchors = StrToAnchors(value);
    else if (SameText(name, "Visible")) SetVisible(StrToBoolProp(value));
    else if (SameText(name, "Enabled")) SetEnabled(StrToBoolProp(value));
    else if (SameText(name, "Caption") || SameText(name, "Text")) SetText(value);
    else if (SameText(name, "Hint")) FHint = value;
    else if (SameText(name, "PopupMenu")) FPopupMenu = reader.Ref<TPopupMenu>(value);
    else if (SameText(name, "TabStop")) SetTabStop(StrToBoolProp(value));
    else if (SameText(name, "TabOrder")) FTabOrder = StrToIntProp(value);
    else if (SameText(name, "HelpContext")) SetHelpContext(StrToIntProp(value));
    else if (SameText(name, "Cursor")) FCursor = StrToCursor(value);
    else if (SameText(name, "ParentColor")) SetParentColor(StrToBoolProp(value));
    else if (SameText(name, "ParentFont")) FParentFont = StrToBoolProp(value);
    else if (SameText(name, "Color")) SetColor(StrToColor(value));
    else if (SameText(name, "Font.Name") || SameText(name, "Font.Height") || SameText(name, "Font.Color") ||
             SameText(name, "Font.Style")) {
        if (FParentFont && FParent) FFont = FParent->Font();
        FParentFont = false;
        if (SameText(name, "Font.Name")) FFont.Name = value;
        else if (SameText(name, "Font.Height")) FFont.Height = StrToIntProp(value);
        else if (SameText(name, "Font.Color")) FFont.Color = StrToColor(value);
        else FFont.Bold = Pos("fsBold", value) > 0;
        FFont.Changed();
    } else TComponent::SetProperty(name, value, reader);
}

HWND TWinControl::Handle() {
    if (!FHandle) {
        if (FParent) FParent->HandleNeeded();
        if (FHandle) return FHandle;  // the parent created it with its children
        CreateWnd();
        InitWnd();
        for (TWinControl* c : std::vector<TWinControl*>(FControls)) c->HandleNeeded();
        Realign();
    }
    return FHandle;
}

void TWinControl::DestroyHandle() {
    if (FHandle) DestroyWindow(FHandle);  // WM_NCDESTROY unbinds every window of the tree
    FHandle = nullptr;
}

TWinControl* TWinControl::FromHandle(HWND wnd) {
    if (!wnd) return nullptr;
    std::lock_guard<std::mutex> lock(gBoundLock);
    const auto it = gBound.find(wnd);
    return it == gBound.end() ? nullptr : it->second;
}

TWinControl* TWinControl::FindControl(HWND wnd) {
    while (wnd) {
        if (TWinControl* c = FromHandle(wnd)) return c;
        if (GetWindowLongA(wnd, GWL_STYLE) & WS_CHILD) wnd = GetParent(wnd);
        else break;
    }
    return nullptr;
}

void TWinControl::SetParent(TWinControl* parent) {
    if (parent == FParent) return;
    if (FParent) {
        auto& v = FParent->FControls;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
        FParent->Realign();
    }
    FParent = parent;
    if (!parent) {
        DestroyHandle();
        return;
    }
    parent->FControls.push_back(this);
    if (FHandle) ::SetParent(FHandle, parent->FHandle);
    else if (parent->HandleAllocated() && !(ComponentState() & csLoading)) HandleNeeded();
    parent->Realign();
}

void TWinControl::SetParentComponent(TComponent* parent) {
    auto* p = dynamic_cast<TWinControl*>(parent);
    if (!p && parent) TComponent::SetParentComponent(parent);
    SetParent(p);
}

TWinControl* TWinControl::ParentForm() {
    TWinControl* c = this;
    while (c->FParent) c = c->FParent;
    return c;
}

void TWinControl::Loaded() {
    TComponent::Loaded();
    // Anchors keep the distances of the description, measured against the parent's own size there.
    if (FParent && FAlign == TAlign::alNone) {
        if (FAnchors & akRight) FAnchorRight = FParent->FBounds.Width - (FBounds.Left + FBounds.Width);
        if (FAnchors & akBottom) FAnchorBottom = FParent->FBounds.Height - (FBounds.Top + FBounds.Height);
    }
}

void TWinControl::SetAlign(TAlign a) {
    FAlign = a;
    if (FParent) FParent->Realign();
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    FBounds = {left, top, std::max(0, width), std::max(0, height)};
    if (FHandle) MoveWindow(FHandle, left, top, FBounds.Width, FBounds.Height + ExtraWindowHeight(), TRUE);
}

RECT TWinControl::ClientRect() {
    RECT r{0, 0, FBounds.Width, FBounds.Height};
    if (FHandle) GetClientRect(FHandle, &r);
    return r;
}

void TWinControl::UpdateBoundsFromWindow() {
    if (!FHandle) return;
    RECT r;
    GetWindowRect(FHandle, &r);
    HWND parent = GetParent(FHandle);
    if (parent && (GetWindowLongA(FHandle, GWL_STYLE) & WS_CHILD))
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    FBounds = {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void TWinControl::SetVisible(bool v) {
    FVisible = v;
    if (FHandle) ShowWindow(FHandle, v ? SW_SHOW : SW_HIDE);
    if (FParent) FParent->Realign();
}

void TWinControl::SetEnabled(bool e) {
    FEnabled = e;
    if (FHandle) EnableWindow(FHandle, e);
}

std::string WindowTextOf(HWND window) {
    const int n = GetWindowTextLengthA(window);
    std::string s(static_cast<size_t>(std::max(0, n)) + 1, '\0');
    const int got = GetWindowTextA(window, s.data(), static_cast<int>(s.size()));
    s.resize(static_cast<size_t>(std::max(0, got)));
    return s;
}

std::string TWinControl::Text() { return FHandle ? WindowTextOf(FHandle) : FText; }

void TWinControl::SetText(const std::string& s) {
    FText = s;
    if (FHandle) SetWindowTextA(FHandle, s.c_str());
}

void TWinControl::SetColor(COLORREF c) {
    if (FHasColor && FColor == c) return;
    FHasColor = true;
    FParentColor = false;
    FColor = c;
    if (FBrush) DeleteObject(FBrush);
    FBrush = CreateSolidBrush(c);
    ColorChanged();
}

COLORREF TWinControl::Color() {
    if (FHasColor) return FColor;
    if (FParentColor && FParent) return FParent->Color();
    return DefaultColor();
}

void TWinControl::SetParentColor(bool p) {
    if (p == ParentColor()) return;
    FParentColor = p;
    if (p && FHasColor) {
        FHasColor = false;
        if (FBrush) DeleteObject(FBrush);
        FBrush = nullptr;
    }
    ColorChanged();
}

void TWinControl::ColorChanged() {
    if (FHandle) InvalidateRect(FHandle, nullptr, TRUE);
    for (TWinControl* c : FControls)
        if (c->ParentColor()) c->ColorChanged();
}

void TWinControl::SetHelpContext(int context) {
    FHelpContext = context;
    if (FHandle) SetWindowContextHelpId(FHandle, static_cast<DWORD>(context));
}

void TWinControl::SetTabStop(bool t) {
    FTabStop = t;
    if (!FHandle) return;
    LONG style = GetWindowLongA(FHandle, GWL_STYLE);
    SetWindowLongA(FHandle, GWL_STYLE, t ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
}

void TWinControl::RecreateWnd() {
    if (!FHandle) return;
    DestroyHandle();
    HandleNeeded();
    if (FParent) FParent->Realign();
}

int TWinControl::TextHeight(const std::string& text) { return TextExtent(text).cy; }

SIZE TWinControl::TextExtent(const std::string& text) {
    const TWindowDC dc(FHandle);
    const TSelectedObject font(dc.Get(), Font().Handle());
    SIZE size{};
    GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

bool TWinControl::Focused() {
    HWND f = GetFocus();
    return FHandle && f && (f == FHandle || IsChild(FHandle, f));
}

void TWinControl::SetFocus() { ::SetFocus(Handle()); }

bool TWinControl::CanFocus() {
    for (TWinControl* c = this; c; c = c->FParent)
        if (!c->FVisible || !c->FEnabled) return false;
    return true;
}

void TWinControl::CreateParams(TCreateParams& p) {
    p.ClassName = "TRukControl";
    p.OwnClass = true;
    p.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (FTabStop) p.Style |= WS_TABSTOP;
    p.Caption = FText;
    p.Background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
}

void TWinControl::CreateWnd() {
    static const bool controlsReady = [] {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_COOL_CLASSES | ICC_BAR_CLASSES |
                                                 ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES |
                                                 ICC_USEREX_CLASSES | ICC_STANDARD_CLASSES};
        return InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)controlsReady;
    TCreateParams p;
    CreateParams(p);
    HINSTANCE inst = ModuleInstance();
    if (p.OwnClass) {
        WNDCLASSEXA wc{};
        if (!GetClassInfoExA(inst, p.ClassName.c_str(), &wc)) {
            wc = {};
            wc.cbSize = sizeof wc;
            wc.style = p.ClassStyle;
            wc.lpfnWndProc = OwnWndProc;
            wc.hInstance = inst;
            wc.hCursor = p.Cursor ? p.Cursor : LoadCursor(nullptr, IDC_ARROW);
            wc.hbrBackground = p.Background;
            wc.lpszClassName = p.ClassName.c_str();
            if (!RegisterClassExA(&wc)) RaiseLastOSError();
        }
    }
    if (FVisible) p.Style |= WS_VISIBLE;
    HWND parent = FParent ? FParent->Handle() : p.WndParent;
    HMENU id = (p.Style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(NextChildId())) : nullptr;
    FOwnClass = p.OwnClass;
    HWND wnd = CreateWindowExA(p.ExStyle, p.ClassName.c_str(), p.Caption.c_str(), p.Style, FBounds.Left,
                               FBounds.Top, FBounds.Width, FBounds.Height + ExtraWindowHeight(), parent, id, inst, this);
    if (!wnd) RaiseLastOSError();
    if (!p.OwnClass) {
        Bind(wnd);
        FUnicode = IsWindowUnicode(wnd) != FALSE;
        const LONG_PTR old =
            FUnicode ? SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWinControl::SubclassProcW))
                     : SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWinControl::SubclassProcA));
        if (!old) RaiseLastOSError();
        FOldWndProc = reinterpret_cast<WNDPROC>(old);
        {
            std::lock_guard<std::mutex> lock(gBoundLock);
            gSubclassed[wnd] = {FOldWndProc, FUnicode};
        }
        FSubclassed = true;
    }
}

void TWinControl::InitWnd() {
    ApplyFont();
    if (!FEnabled) EnableWindow(FHandle, FALSE);
    if (FHelpContext) SetWindowContextHelpId(FHandle, static_cast<DWORD>(FHelpContext));
}

void TWinControl::ApplyFont() {
    if (FHandle) SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
}

void TWinControl::Bind(HWND wnd) {
    FHandle = wnd;
    std::lock_guard<std::mutex> lock(gBoundLock);
    gBound[wnd] = this;
}

void TWinControl::Unbind() {
    if (!FHandle) return;
    {
        std::lock_guard<std::mutex> lock(gBoundLock);
        const auto it = gBound.find(FHandle);
        if (it != gBound.end() && it->second == this) gBound.erase(it);
    }
    if (FSubclassed) {
        // Put the control's procedure back unless another one was put on top of ours since;
        // then ours stays in the chain and passes every message on.
        const WNDPROC ours = FUnicode ? &TWinControl::SubclassProcW : &TWinControl::SubclassProcA;
        const LONG_PTR current =
            FUnicode ? GetWindowLongPtrW(FHandle, GWLP_WNDPROC) : GetWindowLongPtrA(FHandle, GWLP_WNDPROC);
        if (current == reinterpret_cast<LONG_PTR>(ours)) {
            if (FUnicode)
                SetWindowLongPtrW(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOldWndProc));
            else
                SetWindowLongPtrA(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOldWndProc));
            std::lock_guard<std::mutex> lock(gBoundLock);
            gSubclassed.erase(FHandle);
        }
    }
    FSubclassed = false;
    FHandle = nullptr;
}

LRESULT CALLBACK TWinControl::OwnWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
        if (auto* obj = static_cast<TWinControl*>(cs->lpCreateParams)) obj->Bind(wnd);
    }
    if (TWinControl* obj = FromHandle(wnd)) return obj->Dispatch(msg, wp, lp);
    return DefWindowProcA(wnd, msg, wp, lp);
}

LRESULT CALLBACK TWinControl::SubclassProcA(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    return SubclassProc(wnd, msg, wp, lp);
}

LRESULT CALLBACK TWinControl::SubclassProcW(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    return SubclassProc(wnd, msg, wp, lp);
}

LRESULT TWinControl::SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    TWinControl* obj = FromHandle(wnd);
    if (obj && obj->FSubclassed && obj->FHandle == wnd) return obj->Dispatch(msg, wp, lp);
    TSubclassed old{};
    {
        std::lock_guard<std::mutex> lock(gBoundLock);
        const auto it = gSubclassed.find(wnd);
        if (it == gSubclassed.end()) return DefWindowProcW(wnd, msg, wp, lp);
        old = it->second;
        if (msg == WM_NCDESTROY) gSubclassed.erase(it);
    }
    return CallOld(old, wnd, msg, wp, lp);
}

LRESULT TWinControl::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCDESTROY) {
        LRESULT r = DefaultHandler(msg, wp, lp);
        Unbind();
        return r;
    }
    try {
        return WndProc(msg, wp, lp);
    } catch (...) {
        HandleException(this);
        return 0;
    }
}

LRESULT TWinControl::DefaultHandler(UINT msg, WPARAM wp, LPARAM lp) {
    if (FSubclassed) return CallOld({FOldWndProc, FUnicode}, FHandle, msg, wp, lp);
    return DefWindowProcA(FHandle, msg, wp, lp);
}

bool TWinControl::CNCommand(WORD, WORD, LRESULT&) { return false; }
bool TWinControl::CNCtlColor(UINT, HDC, LRESULT&) { return false; }

HBRUSH TWinControl::ColorBrush() {
    if (FHasColor) return FBrush;
    if (FParentColor && FParent) return FParent->ColorBrush();
    if (DefaultColor() == GetSysColor(COLOR_WINDOW)) return GetSysColorBrush(COLOR_WINDOW);
    return GetSysColorBrush(COLOR_BTNFACE);
}
bool TWinControl::CNNotify(NMHDR*, LRESULT&) { return false; }

void TWinControl::DoContextPopup(POINT pt) {
    if (pt.x == -1 && pt.y == -1) {
        RECT r;
        GetWindowRect(FHandle, &r);
        pt = {r.left + 10, r.top + 10};
    }
    FPopupMenu->Popup(pt.x, pt.y);
}

LRESULT TWinControl::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (lp) {
            TWinControl* child = FromHandle(reinterpret_cast<HWND>(lp));
            LRESULT r = 0;
            if (child && child != this && !child->Destroying() && child->CNCommand(HIWORD(wp), LOWORD(wp), r)) return r;
        }
        break;
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lp);
        TWinControl* child = FromHandle(hdr->hwndFrom);
        LRESULT r = 0;
        if (child && child != this && !child->Destroying() && child->CNNotify(hdr, r)) return r;
        break;
    }
    case WM_SIZE: {
        LRESULT r = DefaultHandler(msg, wp, lp);
        UpdateBoundsFromWindow();
        // A control on its way out lays out nothing: the form's menu goes before its window,
        // and the resize that brings would make a rich edit with a long text lay it all out
        // again (minutes under Wine for a log of some 70,000 lines).
        if (!Destroying()) Realign();
        if (OnResize && !Destroying()) OnResize(this);
        return r;
    }
    case WM_CONTEXTMENU:
        if (FPopupMenu && !Destroying()) {
            DoContextPopup({static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN: {
        TWinControl* child = FromHandle(reinterpret_cast<HWND>(lp));
        if (!child || child == this) break;
        LRESULT r = 0;
        if (child->CNCtlColor(msg, reinterpret_cast<HDC>(wp), r)) return r;
        if (child->FHasColor || (child->ParentColor() && msg != WM_CTLCOLORSTATIC)) {
            SetBkColor(reinterpret_cast<HDC>(wp), child->Color());
            SetTextColor(reinterpret_cast<HDC>(wp), child->Font().Color);
            return reinterpret_cast<LRESULT>(child->ColorBrush());
        }
        if (msg == WM_CTLCOLORSTATIC) {
            // Labels take the colour of the control they sit on.
            HDC dc = reinterpret_cast<HDC>(wp);
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, child->Font().Color);
            return reinterpret_cast<LRESULT>(ColorBrush());
        }
        break;
    }
    case WM_ERASEBKGND:
        if ((FHasColor || ParentColor()) && FOwnClass) {
            RECT r;
            GetClientRect(FHandle, &r);
            FillRect(reinterpret_cast<HDC>(wp), &r, ColorBrush());
            return 1;
        }
        break;
    case WM_SETCURSOR:
        if (FCursor && reinterpret_cast<HWND>(wp) == FHandle && LOWORD(lp) == HTCLIENT) {
            ::SetCursor(FCursor);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return DefaultHandler(msg, wp, lp);
}

void TWinControl::Realign() {
    if (!FHandle || FRealigning || FControls.empty()) return;
    FRealigning = true;
    RECT r = AlignRect();
    auto place = [](TWinControl* c, int l, int t, int w, int h) {
        if (c->Left() != l || c->Top() != t || c->Width() != w || c->Height() != h || !c->HandleAllocated())
            c->SetBounds(l, t, w, h);
    };
    for (TAlign pass : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
        for (TWinControl* c : FControls) {
            if (c->FAlign != pass || !c->FVisible) continue;
            int w = std::max(0, static_cast<int>(r.right - r.left));
            int h = std::max(0, static_cast<int>(r.bottom - r.top));
            switch (pass) {
            case TAlign::alTop:
                place(c, r.left, r.top, w, c->Height());
                r.top += c->Height();
                break;
            case TAlign::alBottom:
                place(c, r.left, r.bottom - c->Height(), w, c->Height());
                r.bottom -= c->Height();
                break;
            case TAlign::alLeft:
                place(c, r.left, r.top, c->Width(), h);
                r.left += c->Width();
                break;
            case TAlign::alRight:
                place(c, r.right - c->Width(), r.top, c->Width(), h);
                r.right -= c->Width();
                break;
            default:
                place(c, r.left, r.top, w, h);
                break;
            }
        }
    }
    RECT client = ClientRect();
    for (TWinControl* c : FControls) {
        if (c->FAlign != TAlign::alNone) continue;
        if (c->FAnchorRight < 0 && c->FAnchorBottom < 0) continue;
        int l = c->Left(), t = c->Top(), w = c->Width(), h = c->Height();
        if (c->FAnchorRight >= 0) {
            int right = client.right - c->FAnchorRight;
            if (c->FAnchors & akLeft) w = std::max(0, right - l);
            else l = right - w;
        }
        if (c->FAnchorBottom >= 0) {
            int bottom = client.bottom - c->FAnchorBottom;
            if (c->FAnchors & akTop) h = std::max(0, bottom - t);
            else t = bottom - h;
        }
        place(c, l, t, w, h);
    }
    FRealigning = false;
}

}  // namespace ruk
