#include "ComCtrls.h"

#include "Form.h"
#include "Handles.h"

#include <algorithm>

namespace ruk {

// ---------------------------------------------------------------- TLabel

void TLabel::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.ClassName = "STATIC";
    p.OwnClass = false;
    p.Style = WS_CHILD | WS_CLIPSIBLINGS | SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX;
}

// ---------------------------------------------------------------- TButton

void TButton::SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) {
    if (SameText(name, "Action")) SetAction(reader.Ref<TAction>(value));
    else if (SameText(name, "OnClick")) OnClick = reader.FindMethod(value);
    else if (SameText(name, "ModalResult")) ModalResult = StrToModalResult(value);
    else if (SameText(name, "Default")) FDefault = StrToBoolProp(value);
    else if (SameText(name, "Cancel")) FCancel = StrToBoolProp(value);
    else {
        if (SameText(name, "Caption")) FCaptionSet = true;
        TWinControl::SetProperty(name, value, reader);
    }
}

void TButton::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.ClassName = "BUTTON";
    p.OwnClass = false;
    p.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | (FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
}

void TButton::ActionChanged() {
    if (!FAction) return;
    if (!FCaptionSet) TWinControl::SetText(FAction->Caption());
    if (FHint.empty()) FHint = FAction->Hint();
    TWinControl::SetEnabled(FAction->Enabled());
    TWinControl::SetVisible(FAction->Visible());
}

void TButton::Click() {
    if (Destroying() || !Enabled()) return;
    if (FAction) FAction->Execute();
    else if (OnClick) OnClick(this);
    if (ModalResult != mrNone && !Destroying())
        if (auto* form = dynamic_cast<TForm*>(ParentForm())) form->SetModalResult(ModalResult);
}

bool TButton::CNCommand(WORD code, WORD, LRESULT& result) {
    if (code != BN_CLICKED) return false;
    Click();
    result = 0;
    return true;
}

// ---------------------------------------------------------------- TPanel

void TPanel::SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) {
    // The panels of this layer have no bevel and draw their caption at the left.
    if (SameText(name, "BevelOuter") || SameText(name, "Alignment")) return;
    TWinControl::SetProperty(name, value, reader);
}

void TPanel::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.ClassName = "TRukPanel";
    p.ClassStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
}

LRESULT TPanel::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        const TPaintDC dc(FHandle);
        RECT r = ClientRect();
        r.left += 4;
        SetBkMode(dc.Get(), TRANSPARENT);
        SetTextColor(dc.Get(), Font().Color);
        const TSelectedObject font(dc.Get(), Font().Handle());
        std::string t = Text();
        DrawTextA(dc.Get(), t.c_str(), static_cast<int>(t.size()), &r,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        return 0;
    }
    return TWinControl::WndProc(msg, wp, lp);
}

// ---------------------------------------------------------------- TSplitter

void TSplitter::SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) {
    if (SameText(name, "MinSize")) MinSize = StrToIntProp(value);
    else TWinControl::SetProperty(name, value, reader);
}

void TSplitter::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.ClassName = "TRukSplitter";
    p.Cursor = LoadCursor(nullptr, IDC_SIZEWE);
}

TWinControl* TSplitter::FindTarget() {
    if (!FParent) return nullptr;
    TWinControl* target = nullptr;
    for (int i = 0; i < FParent->ControlCount(); ++i) {
        TWinControl* c = FParent->Controls(i);
        if (c == this) break;
        if (c->Align() == TAlign::alLeft && c->Visible()) target = c;
    }
    return target;
}

LRESULT TSplitter::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_LBUTTONDOWN:
        if (TWinControl* t = FindTarget()) {
            FDragging = true;
            POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
            ClientToScreen(FHandle, &pt);
            FDownX = pt.x;
            FStartWidth = t->Width();
            SetCapture(FHandle);
        }
        return 0;
    case WM_MOUSEMOVE:
        if (FDragging) {
            POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
            ClientToScreen(FHandle, &pt);
            if (TWinControl* t = FindTarget()) {
                int w = std::max(MinSize, FStartWidth + static_cast<int>(pt.x) - FDownX);
                if (FParent) w = std::min(w, std::max(MinSize, FParent->Width() - MinSize - Width()));
                t->SetWidth(w);
                FParent->Realign();
            }
        }
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (FDragging) {
            FDragging = false;
            if (msg == WM_LBUTTONUP) ReleaseCapture();
        }
        return 0;
    default:
        return TWinControl::WndProc(msg, wp, lp);
    }
}

// ---------------------------------------------------------------- TStatusBar

void TStatusBar::SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) {
    if (SameText(name, "SimplePanel")) FSimplePanel = StrToBoolProp(value);
    else if (SameText(name, "AutoHint")) FAutoHint = StrToBoolProp(value);
    else if (SameText(name, "SimpleText")) SetSimpleText(value);
    else TWinControl::SetProperty(name, value, reader);
}

void TStatusBar::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.ClassName = STATUSCLASSNAMEA;
    p.OwnClass = false;
    p.Style = WS_CHILD | WS_CLIPSIBLINGS | SBARS_SIZEGRIP | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
}

void TStatusBar::InitWnd() {
    TWinControl::InitWnd();
    SendMessageA(FHandle, SB_SIMPLE, FSimplePanel, 0);
    SetSimpleText(FSimpleText);
}

LRESULT TStatusBar::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    const LRESULT result = TWinControl::WndProc(msg, wp, lp);
    // The control repaints only what a resize uncovers: the size grip and the text's end
    // would otherwise stay painted where they stood before.
    if (msg == WM_WINDOWPOSCHANGED && !(reinterpret_cast<const WINDOWPOS*>(lp)->flags & SWP_NOSIZE))
        InvalidateRect(FHandle, nullptr, TRUE);
    return result;
}

void TStatusBar::SetSimpleText(const std::string& s) {
    FSimpleText = s;
    if (FHandle) SendMessageA(FHandle, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(FSimpleText.c_str()));
}

// ---------------------------------------------------------------- TTabSheet / TPageControl

void TTabSheet::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.ClassName = "TRukTabSheet";
    p.Caption.clear();
}

void TTabSheet::SetParent(TWinControl* parent) {
    if (FPageControl) FPageControl->RemovePage(this);
    FPageControl = dynamic_cast<TPageControl*>(parent);
    // A sheet is shown only when it is the active page.
    FVisible = false;
    TWinControl::SetParent(parent);
    if (FPageControl) FPageControl->InsertPage(this);
}

int TTabSheet::PageIndex() const {
    if (!FPageControl) return -1;
    auto& v = FPageControl->FPages;
    auto it = std::find(v.begin(), v.end(), this);
    return it == v.end() ? -1 : static_cast<int>(it - v.begin());
}

void TTabSheet::SetText(const std::string& s) {
    FText = s;
    if (FPageControl) FPageControl->UpdateTab(this);
}

void TTabSheet::SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) {
    if (SameText(name, "TabVisible")) SetTabVisible(StrToBoolProp(value));
    else if (SameText(name, "ImageIndex")) ImageIndex = StrToIntProp(value);
    else if (SameText(name, "OnShow")) OnShow = reader.FindMethod(value);
    else if (SameText(name, "PageControl")) SetParent(reader.Ref<TPageControl>(value));
    else TWinControl::SetProperty(name, value, reader);
}

void TTabSheet::SetTabVisible(bool v) {
    if (v == FTabVisible) return;
    FTabVisible = v;
    if (FPageControl) FPageControl->RebuildTabs();
}

LRESULT TTabSheet::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ERASEBKGND && FPageControl && !FHasColor && FPageControl->PaintPageBackground(*this, reinterpret_cast<HDC>(wp)))
        return 1;
    return TWinControl::WndProc(msg, wp, lp);
}

void TPageControl::SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) {
    if (SameText(name, "Style")) {
        FStyle = StrToEnumProp<TTabStyle>(value, {{"tsFlatButtons", TTabStyle::tsFlatButtons},
                                                  {"tsButtons", TTabStyle::tsButtons},
                                                  {"tsTabs", TTabStyle::tsTabs}});
    } else if (SameText(name, "ActivePage")) SetActivePage(reader.Ref<TTabSheet>(value));
    else if (SameText(name, "OnChange")) OnChange = reader.FindMethod(value);
    else TWinControl::SetProperty(name, value, reader);
}

void TPageControl::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.ClassName = WC_TABCONTROLA;
    p.OwnClass = false;
    p.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP | TCS_FOCUSONBUTTONDOWN;
    if (FStyle == TTabStyle::tsButtons) p.Style |= TCS_BUTTONS;
    if (FStyle == TTabStyle::tsFlatButtons) p.Style |= TCS_BUTTONS | TCS_FLATBUTTONS;
}

void TPageControl::InsertPage(TTabSheet* page) {
    FPages.push_back(page);
    if (FActiveIndex < 0) FActiveIndex = 0;
}

void TPageControl::RemovePage(TTabSheet* page) {
    auto it = std::find(FPages.begin(), FPages.end(), page);
    if (it == FPages.end()) return;
    FPages.erase(it);
    if (FActiveIndex >= PageCount()) FActiveIndex = PageCount() - 1;
    RebuildTabs();
}

int TPageControl::TabIndexOfPage(int pageIndex) const {
    if (pageIndex < 0 || pageIndex >= PageCount() || !FPages[pageIndex]->FTabVisible) return -1;
    int tab = 0;
    for (int i = 0; i < pageIndex; ++i)
        if (FPages[i]->FTabVisible) ++tab;
    return tab;
}

int TPageControl::PageIndexOfTab(int tabIndex) const {
    for (int i = 0, tab = 0; i < PageCount(); ++i)
        if (FPages[i]->FTabVisible && tab++ == tabIndex) return i;
    return -1;
}

void TPageControl::RebuildTabs() {
    if (!FHandle) return;
    SendMessageA(FHandle, TCM_DELETEALLITEMS, 0, 0);
    int tab = 0;
    for (TTabSheet* p : FPages) {
        if (!p->FTabVisible) continue;
        std::string caption = p->FText;
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        if (SendMessageA(FHandle, TCM_INSERTITEMA, static_cast<WPARAM>(tab++), reinterpret_cast<LPARAM>(&item)) < 0)
            throw EOutOfResources("Failed to add the tab " + p->FText);
    }
    SendMessageA(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(TabIndexOfPage(FActiveIndex)), 0);
}

bool TPageControl::PaintPageBackground(TTabSheet&, HDC) { return false; }

void TPageControl::Change() {
    if (OnChange) OnChange(this);
}

void TPageControl::UpdateTab(TTabSheet* page) {
    if (!FHandle) return;
    int index = TabIndexOfPage(page->PageIndex());
    if (index < 0) return;
    std::string caption = page->FText;
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    SendMessageA(FHandle, TCM_SETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

TTabSheet* TPageControl::ActivePage() const {
    return FActiveIndex >= 0 && FActiveIndex < PageCount() ? FPages[FActiveIndex] : nullptr;
}

void TPageControl::SetActivePage(TTabSheet* page) {
    int index = page ? page->PageIndex() : -1;
    if (page && index < 0) return;
    SetActivePageIndex(index);
}

void TPageControl::SetActivePageIndex(int index) {
    if (index < -1 || index >= PageCount()) return;
    FActiveIndex = index;
    if (FHandle) SendMessageA(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(TabIndexOfPage(index)), 0);
    ShowActive();
}

RECT TPageControl::AlignRect() {
    RECT r = ClientRect();
    if (FHandle) SendMessageA(FHandle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    return r;
}

void TPageControl::Realign() {
    if (!FHandle || FRealigning) return;
    FRealigning = true;
    const int tabs = static_cast<int>(SendMessageA(FHandle, TCM_GETITEMCOUNT, 0, 0));
    const int visibleTabs = static_cast<int>(
        std::count_if(FPages.begin(), FPages.end(), [](const TTabSheet* p) { return p->FTabVisible; }));
    if (tabs != visibleTabs) RebuildTabs();
    RECT r = AlignRect();
    for (TTabSheet* p : FPages)
        if (p->HandleAllocated()) p->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    FRealigning = false;
    ShowActive();
}

void TPageControl::ShowActive() {
    for (int i = 0; i < PageCount(); ++i) {
        TTabSheet* p = FPages[i];
        bool show = i == FActiveIndex;
        const bool shown = p->HandleAllocated() && (GetWindowLongA(p->HandleValue(), GWL_STYLE) & WS_VISIBLE);
        p->FVisible = show;
        if (p->HandleAllocated()) {
            if (show) SetWindowPos(p->HandleValue(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
            else ShowWindow(p->HandleValue(), SW_HIDE);
            // A page shows when it comes into sight: a page made ready while its form is still
            // hidden (laid out during the form's creation) has not been shown to anyone.
            if (show && !shown && p->OnShow && !p->Destroying() && IsWindowVisible(p->HandleValue()))
                SafeCall(p, [p] { p->OnShow(p); });
        }
    }
}

bool TPageControl::CNNotify(NMHDR* hdr, LRESULT& result) {
    if (hdr->code == TCN_SELCHANGE) {
        FActiveIndex = PageIndexOfTab(static_cast<int>(SendMessageA(FHandle, TCM_GETCURSEL, 0, 0)));
        ShowActive();
        Change();
        result = 0;
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- TComboBoxEx

void TComboBoxEx::SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) {
    if (SameText(name, "AutoCompleteOptions")) {
        FAutoSuggest = Pos("acoAutoSuggest", value) > 0;
        FAutoAppend = Pos("acoAutoAppend", value) > 0;
    } else if (SameText(name, "Style")) {
        if (!SameText(value, "csExDropDown")) RaiseInvalidPropertyValue(value);
    } else if (SameText(name, "Items.Add")) {
        AddItem(value);
    } else if (SameText(name, "OnChange")) {
        OnChange = reader.FindMethod(value);
    } else TWinControl::SetProperty(name, value, reader);
}

void TComboBoxEx::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.ClassName = WC_COMBOBOXEXA;
    p.OwnClass = false;
    p.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
    p.Caption.clear();
}

HWND TComboBoxEx::EditHandle() {
    return reinterpret_cast<HWND>(SendMessageA(Handle(), CBEM_GETEDITCONTROL, 0, 0));
}

std::string TComboBoxEx::Text() {
    if (!FHandle) return FText;
    HWND edit = EditHandle();
    return edit ? WindowTextOf(edit) : TWinControl::Text();
}

void TComboBoxEx::SetText(const std::string& s) {
    FText = s;
    if (!FHandle) return;
    TProgramChange change(*this);
    HWND edit = EditHandle();
    SetWindowTextA(edit ? edit : FHandle, s.c_str());
}

int TComboBoxEx::ItemCount() { return static_cast<int>(SendMessageA(Handle(), CB_GETCOUNT, 0, 0)); }

std::string TComboBoxEx::ItemText(int index) {
    char buf[1024] = {};
    COMBOBOXEXITEMA item{};
    item.mask = CBEIF_TEXT;
    item.iItem = index;
    item.pszText = buf;
    item.cchTextMax = sizeof buf;
    if (!SendMessageA(Handle(), CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return "";
    return buf;
}

int TComboBoxEx::AddItem(const std::string& s) {
    std::string text = s;
    COMBOBOXEXITEMA item{};
    item.mask = CBEIF_TEXT;
    item.iItem = -1;
    item.pszText = text.data();
    TProgramChange change(*this);
    return static_cast<int>(SendMessageA(Handle(), CBEM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

int TComboBoxEx::ItemIndex() { return static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0)); }

void TComboBoxEx::SetItemIndex(int index) {
    // Selecting "no item" keeps the typed text only if it is set again afterwards, as callers do.
    TProgramChange change(*this);
    SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int TComboBoxEx::SelStart() {
    DWORD start = 0, end = 0;
    SendMessageA(EditHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(start);
}

void TComboBoxEx::SetSelStart(int start) { SendMessageA(EditHandle(), EM_SETSEL, start, start); }

int TComboBoxEx::SelLength() {
    DWORD start = 0, end = 0;
    SendMessageA(EditHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return static_cast<int>(end - start);
}

void TComboBoxEx::SetSelLength(int length) {
    int start = SelStart();
    SendMessageA(EditHandle(), EM_SETSEL, start, start + length);
}

void TComboBoxEx::SelectAll() { SendMessageA(EditHandle(), EM_SETSEL, 0, -1); }

bool TComboBoxEx::CNCommand(WORD code, WORD, LRESULT& result) {
    if (code != CBN_EDITCHANGE) return false;
    if (OnChange && FProgramChanges == 0 && !Destroying()) OnChange(this);
    result = 0;
    return true;
}

}  // namespace ruk
