// The tool bars of ComCtrls.h: the cool bar (rebar) that holds bands, the tool bar and its
// buttons.
#include "ComCtrls.h"

#include "Form.h"

#include <algorithm>

namespace ruk {

// ---------------------------------------------------------------- TCoolBar

void TCoolBar::SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) {
    if (SameText(name, "AutoSize")) FAutoSize = StrToBoolProp(value);
    else TWinControl::SetProperty(name, value, reader);
}

void TCoolBar::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.ClassName = REBARCLASSNAMEA;
    p.OwnClass = false;
    p.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT | RBS_BANDBORDERS | RBS_DBLCLKTOGGLE |
              CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_NORESIZE;
    p.ExStyle = WS_EX_TOOLWINDOW;
}

int TCoolBar::BandCount() {
    return HandleAllocated() ? static_cast<int>(SendMessageA(FHandle, RB_GETBANDCOUNT, 0, 0)) : 0;
}

void TCoolBar::Realign() {
    if (!FHandle || FRealigning) return;
    FRealigning = true;
    for (TWinControl* c : FControls) {
        if (!c->HandleAllocated() || std::find(FBands.begin(), FBands.end(), c) != FBands.end()) continue;
        REBARBANDINFOA band{};
        band.cbSize = sizeof band;
        band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_SIZE;
        band.fStyle = RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS | (FBands.empty() ? 0 : RBBS_BREAK);
        band.hwndChild = c->HandleValue();
        band.cxMinChild = 0;
        band.cyMinChild = static_cast<UINT>(c->Height());
        band.cx = static_cast<UINT>(std::max(c->Width(), Width()));
        if (!SendMessageA(FHandle, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band))) {
            FRealigning = false;
            throw EOutOfResources("Failed to add a band to the cool bar");
        }
        FBands.push_back(c);
    }
    FRealigning = false;
    FitHeight();
}

void TCoolBar::FitHeight() {
    if (!FHandle || !FAutoSize) return;
    int h = static_cast<int>(SendMessageA(FHandle, RB_GETBARHEIGHT, 0, 0));
    if (h > 0 && h != Height()) {
        SetHeight(h);
        if (FParent) FParent->Realign();
    }
}

bool TCoolBar::CNNotify(NMHDR* hdr, LRESULT& result) {
    if (hdr->code == RBN_HEIGHTCHANGE) {
        FitHeight();
        result = 0;
        return true;
    }
    return false;
}

LRESULT TCoolBar::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NOTIFY)
        for (TWinControl* c : FControls)
            if (auto* bar = dynamic_cast<TToolBar*>(c); bar && bar->AnswerToolTip(reinterpret_cast<NMHDR*>(lp)))
                return 0;
    return TWinControl::WndProc(msg, wp, lp);
}

// ---------------------------------------------------------------- TToolButton

TToolButton::TToolButton(TComponent* owner) : TComponent(owner) {}

TToolButton::~TToolButton() {
    BeforeDestruction();
    SetAction(nullptr);
    if (FToolBar) FToolBar->RemoveButton(this);
    FOwnCommand.Release();
}

UINT TToolButton::Command() { return FAction ? FAction->CommandId() : FOwnCommand.Take(this); }

void TToolButton::SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) {
    if (SameText(name, "Action")) SetAction(reader.Ref<TAction>(value));
    else if (SameText(name, "Caption")) {
        FCaption = value;
        FCaptionSet = true;
    } else if (SameText(name, "Hint")) {
        FHint = value;
        FHintSet = true;
    } else if (SameText(name, "ImageIndex")) FImageIndex = StrToIntProp(value);
    else if (SameText(name, "ShowCaption")) FShowCaption = StrToBoolProp(value);
    else if (SameText(name, "Enabled")) FEnabled = StrToBoolProp(value);
    else if (SameText(name, "Visible")) FVisible = StrToBoolProp(value);
    else if (SameText(name, "OnClick")) OnClick = reader.FindMethod(value);
    else if (SameText(name, "Style")) {
        FStyle = StrToEnumProp<TToolButtonStyle>(value, {{"tbsSeparator", TToolButtonStyle::tbsSeparator},
                                                         {"tbsCheck", TToolButtonStyle::tbsCheck},
                                                         {"tbsButton", TToolButtonStyle::tbsButton}});
    } else TComponent::SetProperty(name, value, reader);
}

void TToolButton::SetParentComponent(TComponent* parent) {
    auto* bar = dynamic_cast<TToolBar*>(parent);
    if (!bar) TComponent::SetParentComponent(parent);
    bar->AddButton(this);
}

std::string TToolButton::Caption() const { return FCaptionSet || !FAction ? FCaption : FAction->Caption(); }
std::string TToolButton::Hint() const { return FHintSet || !FAction ? FHint : FAction->Hint(); }
int TToolButton::ImageIndex() const { return FAction && FImageIndex < 0 ? FAction->ImageIndex() : FImageIndex; }
bool TToolButton::Enabled() const { return FEnabled && (!FAction || FAction->Enabled()); }
bool TToolButton::Visible() const { return FVisible && (!FAction || FAction->Visible()); }

void TToolButton::Click() {
    if (Destroying() || !Enabled()) return;
    if (FAction) FAction->Execute();
    else if (OnClick) OnClick(this);
}

void TToolButton::ActionChanged() {
    // The button now sends its action's id; the native button takes it in ButtonChanged.
    if (FToolBar) FToolBar->ButtonChanged(this);
    FOwnCommand.Release();
}

// ---------------------------------------------------------------- TToolBar

TToolButton* TToolBar::FindButton(UINT id) const {
    if (!id) return nullptr;
    for (TToolButton* b : FButtons)
        if (b->FNativeCommand == id) return b;
    return nullptr;
}

bool TToolBar::AnswerToolTip(NMHDR* hdr) {
    if (hdr->code != TTN_GETDISPINFOA && hdr->code != TTN_GETDISPINFOW) return false;
    TToolButton* b = FindButton(static_cast<UINT>(hdr->idFrom));
    if (!b) return false;
    // Kept until the tool tip asks again; the tool tip copies it at once.
    static std::string text;
    static std::wstring wide;
    text = GetShortHint(b->Hint());
    if (hdr->code == TTN_GETDISPINFOA) {
        auto* info = reinterpret_cast<NMTTDISPINFOA*>(hdr);
        info->lpszText = text.data();
        info->hinst = nullptr;
    } else {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(hdr);
        wide = AnsiToWide(text);
        info->lpszText = wide.data();
        info->hinst = nullptr;
    }
    return true;
}

TToolBar::~TToolBar() {
    for (TToolButton* b : FButtons) b->FToolBar = nullptr;
}

void TToolBar::SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) {
    if (SameText(name, "Images")) FImages = reader.Ref<TImageList>(value);
    else if (SameText(name, "ButtonWidth")) FButtonWidth = StrToIntProp(value);
    else if (SameText(name, "ShowCaptions")) FShowCaptions = StrToBoolProp(value);
    else if (SameText(name, "Flat")) FFlat = StrToBoolProp(value);
    else if (SameText(name, "List")) FList = StrToBoolProp(value);
    else if (SameText(name, "ShowHint")) (void)StrToBoolProp(value);  // tool tips are always on
    else TWinControl::SetProperty(name, value, reader);
}

void TToolBar::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.ClassName = TOOLBARCLASSNAMEA;
    p.OwnClass = false;
    p.Style = WS_CHILD | WS_CLIPSIBLINGS | TBSTYLE_TOOLTIPS | TBSTYLE_TRANSPARENT | CCS_NODIVIDER |
              CCS_NOPARENTALIGN | CCS_NORESIZE | (FFlat ? TBSTYLE_FLAT : 0) | (FList ? TBSTYLE_LIST : 0);
}

void TToolBar::InitWnd() {
    TWinControl::InitWnd();
    SendMessageA(FHandle, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    // Mixed buttons: only a button marked to show its caption shows text beside its image.
    SendMessageA(FHandle, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_MIXEDBUTTONS);
    if (FImages) SendMessageA(FHandle, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImages->Handle()));
    if (FButtonWidth > 0) SendMessageA(FHandle, TB_SETBUTTONWIDTH, 0, MAKELPARAM(0, FButtonWidth));
    for (size_t i = 0; i < FButtons.size(); ++i) InsertNative(FButtons[i], static_cast<int>(i));
}

void TToolBar::AddButton(TToolButton* b) {
    if (b->FToolBar) b->FToolBar->RemoveButton(b);
    b->FToolBar = this;
    FButtons.push_back(b);
    if (FHandle) InsertNative(b, static_cast<int>(FButtons.size()) - 1);
}

void TToolBar::RemoveButton(TToolButton* b) {
    auto it = std::find(FButtons.begin(), FButtons.end(), b);
    if (it == FButtons.end()) return;
    if (const int index = NativeIndex(b); index >= 0)
        SendMessageA(FHandle, TB_DELETEBUTTON, static_cast<WPARAM>(index), 0);
    FButtons.erase(it);
    b->FToolBar = nullptr;
    b->FNativeCommand = 0;
}

void TToolBar::InsertNative(TToolButton* b, int index) {
    TBBUTTON tb{};
    tb.idCommand = static_cast<int>(b->Command());
    std::string caption = b->Caption();
    if (b->FStyle == TToolButtonStyle::tbsSeparator) {
        tb.fsStyle = BTNS_SEP;
        tb.iBitmap = 8;
    } else {
        tb.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | (b->FStyle == TToolButtonStyle::tbsCheck ? BTNS_CHECK : 0) |
                     (b->FShowCaption || FShowCaptions ? BTNS_SHOWTEXT : 0);
        tb.iBitmap = b->ImageIndex() >= 0 ? b->ImageIndex() : I_IMAGENONE;
        tb.iString = reinterpret_cast<INT_PTR>(caption.c_str());
    }
    tb.fsState = static_cast<BYTE>((b->Enabled() ? TBSTATE_ENABLED : 0) | (b->Visible() ? 0 : TBSTATE_HIDDEN));
    if (!SendMessageA(FHandle, TB_INSERTBUTTONA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&tb)))
        throw EOutOfResources("Failed to add a tool button");
    b->FNativeCommand = static_cast<UINT>(tb.idCommand);
    SendMessageA(FHandle, TB_AUTOSIZE, 0, 0);
}

int TToolBar::NativeIndex(TToolButton* b) const {
    if (!FHandle || !b->FNativeCommand) return -1;
    // The native buttons are inserted, and deleted, in the order of FButtons.
    const auto it = std::find(FButtons.begin(), FButtons.end(), b);
    return it == FButtons.end() ? -1 : static_cast<int>(it - FButtons.begin());
}

void TToolBar::ButtonChanged(TToolButton* b) {
    const int index = NativeIndex(b);
    if (index < 0 || b->FStyle == TToolButtonStyle::tbsSeparator) return;
    // By position: buttons of one action share its id.
    if (const UINT id = b->Command(); id != b->FNativeCommand) {
        if (!SendMessageA(FHandle, TB_SETCMDID, static_cast<WPARAM>(index), id))
            throw EOutOfResources("Failed to change a tool button's command");
        b->FNativeCommand = id;
    }
    std::string caption = b->Caption();
    TBBUTTONINFOA info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_BYINDEX | TBIF_STATE | TBIF_TEXT | TBIF_IMAGE;
    info.fsState = static_cast<BYTE>((b->Enabled() ? TBSTATE_ENABLED : 0) | (b->Visible() ? 0 : TBSTATE_HIDDEN));
    info.pszText = caption.data();
    info.iImage = b->ImageIndex() >= 0 ? b->ImageIndex() : I_IMAGENONE;
    SendMessageA(FHandle, TB_SETBUTTONINFOA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&info));
}

int TToolBar::ButtonState(TToolButton* b) {
    const int index = NativeIndex(b);
    TBBUTTON native{};
    if (index < 0 ||
        !SendMessageA(FHandle, TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&native)))
        return -1;
    return native.fsState;
}

LRESULT TToolBar::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NOTIFY && AnswerToolTip(reinterpret_cast<NMHDR*>(lp))) return 0;
    return TWinControl::WndProc(msg, wp, lp);
}

bool TToolBar::CNCommand(WORD, WORD id, LRESULT& result) {
    TToolButton* b = FindButton(id);
    if (!b) return false;
    b->Click();
    result = 0;
    return true;
}

bool TToolBar::CNNotify(NMHDR* hdr, LRESULT& result) {
    if (hdr->code == TBN_HOTITEMCHANGE) {
        auto* hot = reinterpret_cast<NMTBHOTITEM*>(hdr);
        TToolButton* b = (hot->dwFlags & HICF_LEAVING) ? nullptr : FindButton(static_cast<UINT>(hot->idNew));
        ApplicationShowHint(b ? GetLongHint(b->Hint()) : std::string());
        result = 0;
        return true;
    }
    return AnswerToolTip(hdr);
}

}  // namespace ruk
