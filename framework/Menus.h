// Menus: main menu and popup menus built from menu items that show actions.
//
// A menu's HMENU is rebuilt from its items whenever an item (or its action) changes, so a
// hidden item is simply absent and the shortcut text always comes from the action.
#pragma once

#include "ActnList.h"
#include "Controls.h"

#include <windows.h>

#include <string>
#include <vector>

namespace ruk {

class TMenu;

class TMenuItem : public TComponent, public TActionClient {
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;
    const char* ClassName() const override { return "TMenuItem"; }
    void SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) override;

    // Own values where given, else the action's.
    std::string Caption() const;
    void SetCaption(const std::string& s);
    std::string Hint() const;
    void SetHint(const std::string& s) { FHint = s; FHintSet = true; }
    // The item's own shortcut where given, else the action's.
    TShortCut ShortCut() const;
    void SetShortCut(TShortCut s) { FShortCut = s; }
    // The visible item of this item's tree (itself included) with that shortcut.
    TMenuItem* FindShortCut(TShortCut s);
    bool Enabled() const;
    void SetEnabled(bool e);
    bool Visible() const;
    void SetVisible(bool v);
    bool Checked() const;
    void SetChecked(bool c);
    bool RadioItem() const { return FRadioItem; }
    int GroupIndex() const { return FGroupIndex; }
    bool AutoCheck() const { return FAutoCheck; }
    int HelpContext() const { return FHelpContext; }
    bool IsSeparator() const { return FCaption == "-" && !FAction; }
    // The id the item's WM_COMMAND carries: its action's, or else its own.
    UINT Command();

    TMenuItem* Parent() const { return FParent; }
    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int index) const { return FItems.at(index); }
    void Add(TMenuItem* item);
    TMenu* Menu() const;
    HMENU SubMenuHandle() const { return FSubMenu; }

    // A click: the radio or check mark for an automatic item, then the action or OnClick.
    void Click();
    TNotifyEvent OnClick;

    void ActionChanged() override;
    // Builds (or rebuilds) the HMENU of this item's children.
    void RebuildSubMenu();

    // The item of a built HMENU (or of its submenus) with a command id, or the child at a
    // position of it. Items of different menus may share an id: that of their action.
    static TMenuItem* FindByCommand(HMENU menu, UINT id);
    static TMenuItem* FindByPosition(HMENU menu, int position);
    // A menu's WM_COMMAND: the item of menu with the id clicked, else the command of the id
    // run. False when the id is unknown.
    static bool RunCommand(HMENU menu, UINT id);

private:
    friend class TMenu;
    void Changed();
    std::string FCaption, FHint;
    bool FCaptionSet = false, FHintSet = false;
    TShortCut FShortCut = 0;
    bool FEnabled = true, FVisible = true, FChecked = false;
    bool FRadioItem = false, FAutoCheck = false;
    int FGroupIndex = 0;
    int FHelpContext = 0;
    TCommandId FOwnCommand;  // taken only while the item shows no action
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr;  // set on the root item
    std::vector<TMenuItem*> FItems;
    HMENU FSubMenu = nullptr;
    bool FRebuilding = false;
};

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* owner);
    ~TMenu() override;
    void SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) override;
    // The invisible root whose children are the menu's top items.
    TMenuItem* Items() const { return FItems; }
    HMENU Handle();
    TImageList* Images() const { return FImages; }
    // The window that shows the menu (menu bar owner, popup owner).
    HWND WindowHandle() const;
    void SetWindow(TWinControl* window) { FWindow = window; }
    virtual void ItemsChanged() {}

protected:
    virtual bool IsPopup() const = 0;
    TMenuItem* FItems;
    TImageList* FImages = nullptr;
    TWinControl* FWindow = nullptr;
};

class TMainMenu : public TMenu {
public:
    using TMenu::TMenu;
    const char* ClassName() const override { return "TMainMenu"; }
    void ItemsChanged() override;

protected:
    bool IsPopup() const override { return false; }
};

class TPopupMenu : public TMenu {
public:
    using TMenu::TMenu;
    const char* ClassName() const override { return "TPopupMenu"; }
    // Shows the menu at a screen position and runs the chosen item.
    void Popup(int x, int y);
    TNotifyEvent OnPopup;

protected:
    bool IsPopup() const override { return true; }
};

}  // namespace ruk
