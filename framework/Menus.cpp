#include "Menus.h"

#include "Graphics.h"
#include "Handles.h"

#include <algorithm>

namespace ruk {

// ---------------------------------------------------------------- TMenuItem

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
    BeforeDestruction();
    SetAction(nullptr);
    FOwnCommand.Release();
    for (TMenuItem* c : FItems) c->FParent = nullptr;
    if (FParent) {
        auto& v = FParent->FItems;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
    // The HMENUs belong to the menu component, which destroys them.
}

void TMenuItem::SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) {
    if (SameText(name, "Caption")) SetCaption(value);
    else if (SameText(name, "Hint")) SetHint(value);
    else if (SameText(name, "Action")) SetAction(reader.Ref<TAction>(value));
    else if (SameText(name, "Enabled")) SetEnabled(StrToBoolProp(value));
    else if (SameText(name, "Visible")) SetVisible(StrToBoolProp(value));
    else if (SameText(name, "Checked")) SetChecked(StrToBoolProp(value));
    else if (SameText(name, "RadioItem")) FRadioItem = StrToBoolProp(value);
    else if (SameText(name, "GroupIndex")) FGroupIndex = StrToIntProp(value);
    else if (SameText(name, "AutoCheck")) FAutoCheck = StrToBoolProp(value);
    else if (SameText(name, "HelpContext")) FHelpContext = StrToIntProp(value);
    else if (SameText(name, "ShortCut")) FShortCut = TextToShortCut(value);
    else if (SameText(name, "OnClick")) OnClick = reader.FindMethod(value);
    else TComponent::SetProperty(name, value, reader);
}

std::string TMenuItem::Caption() const { return FCaptionSet || !FAction ? FCaption : FAction->Caption(); }

void TMenuItem::SetCaption(const std::string& s) {
    FCaption = s;
    FCaptionSet = true;
    Changed();
}

std::string TMenuItem::Hint() const { return FHintSet || !FAction ? FHint : FAction->Hint(); }

TShortCut TMenuItem::ShortCut() const {
    if (FShortCut) return FShortCut;
    return FAction ? FAction->ShortCut() : 0;
}

TMenuItem* TMenuItem::FindShortCut(TShortCut s) {
    if (!Visible()) return nullptr;
    if (s && ShortCut() == s) return this;
    for (TMenuItem* item : FItems)
        if (TMenuItem* found = item->FindShortCut(s)) return found;
    return nullptr;
}

bool TMenuItem::Enabled() const { return FEnabled && (!FAction || FAction->Enabled()); }

void TMenuItem::SetEnabled(bool e) {
    FEnabled = e;
    Changed();
}

bool TMenuItem::Visible() const { return FVisible && (!FAction || FAction->Visible()); }

void TMenuItem::SetVisible(bool v) {
    FVisible = v;
    Changed();
}

bool TMenuItem::Checked() const { return FChecked || (FAction && FAction->Checked()); }

void TMenuItem::SetChecked(bool c) {
    FChecked = c;
    if (c && FRadioItem && FParent) {
        for (TMenuItem* s : FParent->FItems)
            if (s != this && s->FRadioItem && s->FGroupIndex == FGroupIndex) s->FChecked = false;
    }
    Changed();
}

void TMenuItem::Add(TMenuItem* item) {
    if (item->FParent) {
        auto& v = item->FParent->FItems;
        v.erase(std::remove(v.begin(), v.end(), item), v.end());
    }
    item->FParent = this;
    FItems.push_back(item);
    Changed();
}

TMenu* TMenuItem::Menu() const {
    const TMenuItem* i = this;
    while (i->FParent) i = i->FParent;
    return i->FMenu;
}

void TMenuItem::Click() {
    if (Destroying() || !Enabled()) return;
    if (FAutoCheck) SetChecked(FRadioItem ? true : !FChecked);
    if (FAction) FAction->Execute();
    else if (OnClick) OnClick(this);
}

UINT TMenuItem::Command() { return FAction ? FAction->CommandId() : FOwnCommand.Take(this); }

void TMenuItem::ActionChanged() {
    // The item now sends its action's id.
    FOwnCommand.Release();
    Changed();
}

void TMenuItem::Changed() {
    if (Destroying()) return;
    TMenuItem* p = FParent;
    if (p && p->FSubMenu && !p->FRebuilding) p->RebuildSubMenu();
}

void TMenuItem::RebuildSubMenu() {
    TMenu* menu = Menu();
    if (!FSubMenu) {
        if (FItems.empty() && FParent) return;
        bool bar = !FParent && menu && dynamic_cast<TMainMenu*>(menu);
        FSubMenu = bar ? CreateMenu() : CreatePopupMenu();
        if (!FSubMenu) RaiseLastOSError();
    }
    {
        FRebuilding = true;
        // Cleared also when an item cannot be inserted, so that a later change rebuilds again.
        const TScopeExit rebuilding([this] { FRebuilding = false; });
        while (GetMenuItemCount(FSubMenu) > 0) RemoveMenu(FSubMenu, 0, MF_BYPOSITION);
        // Separators at the start, at the end or after another separator are left out, so
        // hiding the items of a group never leaves a double line.
        std::vector<TMenuItem*> shown;
        for (TMenuItem* c : FItems) {
            if (!c->Visible()) continue;
            if (c->IsSeparator() && (shown.empty() || shown.back()->IsSeparator())) continue;
            shown.push_back(c);
        }
        while (!shown.empty() && shown.back()->IsSeparator()) shown.pop_back();
        UINT pos = 0;
        for (TMenuItem* c : shown) {
            MENUITEMINFOA mii{};
            mii.cbSize = sizeof mii;
            mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA;
            mii.wID = c->Command();
            mii.dwItemData = reinterpret_cast<ULONG_PTR>(c);
            std::string text;
            if (c->IsSeparator()) {
                mii.fType = MFT_SEPARATOR;
            } else {
                text = c->Caption();
                if (c->ShortCut()) {
                    text += '\t';
                    text += ShortCutToText(c->ShortCut());
                }
                mii.fMask |= MIIM_STRING;
                mii.fType = MFT_STRING | (c->FRadioItem ? MFT_RADIOCHECK : 0);
                mii.dwTypeData = text.data();
                mii.fState = (c->Enabled() ? MFS_ENABLED : MFS_GRAYED) | (c->Checked() ? MFS_CHECKED : 0);
                if (!c->FItems.empty()) {
                    c->RebuildSubMenu();
                    mii.fMask |= MIIM_SUBMENU;
                    mii.hSubMenu = c->FSubMenu;
                }
            }
            if (!InsertMenuItemA(FSubMenu, pos++, TRUE, &mii)) RaiseLastOSError();
        }
    }
    if (!FParent && menu) menu->ItemsChanged();
}

TMenuItem* TMenuItem::FindByCommand(HMENU menu, UINT id) {
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_DATA;
    if (!menu || !GetMenuItemInfoA(menu, id, FALSE, &mii)) return nullptr;
    return reinterpret_cast<TMenuItem*>(mii.dwItemData);
}

bool TMenuItem::RunCommand(HMENU menu, UINT id) {
    // The item rather than its action: its own check mark and state take part in the click.
    if (TMenuItem* item = FindByCommand(menu, id)) {
        item->Click();
        return true;
    }
    return DispatchCommand(id);
}

TMenuItem* TMenuItem::FindByPosition(HMENU menu, int position) {
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_DATA;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &mii)) return nullptr;
    return reinterpret_cast<TMenuItem*>(mii.dwItemData);
}

// ---------------------------------------------------------------- TMenu

TMenu::TMenu(TComponent* owner) : TComponent(owner), FItems(new TMenuItem(nullptr)) { FItems->FMenu = this; }

TMenu::~TMenu() {
    // The submenus are detached before they are destroyed, so none is destroyed twice.
    std::vector<HMENU> menus;
    std::function<void(TMenuItem*)> collect = [&](TMenuItem* i) {
        if (i->FSubMenu) menus.push_back(i->FSubMenu);
        for (TMenuItem* c : i->FItems) collect(c);
    };
    collect(FItems);
    for (HMENU m : menus)
        if (IsMenu(m))
            while (GetMenuItemCount(m) > 0) RemoveMenu(m, 0, MF_BYPOSITION);
    for (HMENU m : menus)
        if (IsMenu(m)) DestroyMenu(m);
    for (TMenuItem* c : FItems->FItems) c->FParent = nullptr;
    FItems->FItems.clear();
    delete FItems;
}

void TMenu::SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) {
    if (SameText(name, "Images")) FImages = reader.Ref<TImageList>(value);
    else TComponent::SetProperty(name, value, reader);
}

HMENU TMenu::Handle() {
    if (!FItems->FSubMenu) FItems->RebuildSubMenu();
    return FItems->FSubMenu;
}

HWND TMenu::WindowHandle() const {
    if (FWindow) return FWindow->Handle();
    if (auto* w = dynamic_cast<TWinControl*>(Owner())) return w->Handle();
    return nullptr;
}

void TMainMenu::ItemsChanged() {
    if (FWindow && FWindow->HandleAllocated()) DrawMenuBar(FWindow->HandleValue());
}

void TPopupMenu::Popup(int x, int y) {
    HWND owner = WindowHandle();
    if (OnPopup) OnPopup(this);
    HMENU menu = Handle();
    UINT cmd = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, owner, nullptr));
    if (cmd) SafeCall(this, [menu, cmd] { TMenuItem::RunCommand(menu, cmd); });
}

}  // namespace ruk
