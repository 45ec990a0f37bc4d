// ActnList: actions, the single source of the window's commands, and the standard edit actions.
//
// A menu item, popup item, tool button or button that shows an action is its client: the
// action's Caption, Hint, Enabled, Visible and Checked drive every client, and the client's own
// value wins only where the form description gives one (a popup item with its own caption).
// Shortcuts reach the action through the action list's accelerator table, which holds the
// enabled and visible actions only, so a disabled action's key still reaches the focused control.
#pragma once

#include "Controls.h"

#include <windows.h>

#include <string>
#include <vector>

namespace ruk {

// ---------------------------------------------------------------- shortcuts and hints

using TShortCut = WORD;  // virtual key in the low byte, modifiers above
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

// "Ctrl+Shift+F4", "F5", "Ctrl+Alt+M"; "" gives 0; an unknown key raises EPropertyError.
TShortCut TextToShortCut(const std::string& text);
// Modifiers in the order Ctrl, Shift, Alt, then the key: "Ctrl+Shift+S".
std::string ShortCutToText(TShortCut shortCut);

// The part of a hint before the vertical bar (the tool tip) and after it (the status text);
// a hint without a bar is both.
std::string GetShortHint(const std::string& hint);
std::string GetLongHint(const std::string& hint);

class TAction;
class TActionList;
class TImageList;

class TActionClient {
public:
    virtual ~TActionClient();
    TAction* Action() const { return FAction; }
    void SetAction(TAction* action);
    // The action's state changed (or the client got its action).
    virtual void ActionChanged() = 0;

protected:
    TAction* FAction = nullptr;
};

// ---------------------------------------------------------------- actions

class TAction : public TComponent {
public:
    explicit TAction(TComponent* owner);
    ~TAction() override;
    const char* ClassName() const override { return "TAction"; }
    void SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) override;

    TActionList* ActionList() const { return FActionList; }
    void SetActionList(TActionList* list);

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& s);
    const std::string& Category() const { return FCategory; }
    void SetCategory(const std::string& s) { FCategory = s; }
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut s);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& s);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int i);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool e);
    bool Visible() const { return FVisible; }
    void SetVisible(bool v);
    bool Checked() const { return FChecked; }
    void SetChecked(bool c);
    int GroupIndex() const { return FGroupIndex; }
    bool AutoCheck() const { return FAutoCheck; }
    int HelpContext() const { return FHelpContext; }
    // The id of the action's WM_COMMAND, sent also by its menu items and tool buttons.
    UINT CommandId() const { return FCommand.Id(); }
    const std::vector<TActionClient*>& Clients() const { return FClients; }

    // Runs OnExecute when enabled; false when disabled or without a handler.
    virtual bool Execute();
    // Brings Enabled and Checked up to date (OnUpdate, or the standard action's own test).
    virtual void Update();

    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;

protected:
    void Changed();

private:
    friend class TActionClient;
    TActionList* FActionList = nullptr;
    std::string FCaption, FCategory, FHint;
    TShortCut FShortCut = 0;
    int FImageIndex = -1;
    bool FEnabled = true, FVisible = true, FChecked = false, FAutoCheck = false;
    int FGroupIndex = 0;
    int FHelpContext = 0;
    TCommandId FCommand;
    std::vector<TActionClient*> FClients;
};

class TActionList : public TComponent {
public:
    explicit TActionList(TComponent* owner) : TComponent(owner) {}
    ~TActionList() override;
    const char* ClassName() const override { return "TActionList"; }
    void SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) override;

    int ActionCount() const { return static_cast<int>(FActions.size()); }
    TAction* Actions(int index) const { return FActions.at(index); }
    TImageList* Images() const { return FImages; }
    void SetImages(TImageList* images) { FImages = images; }

    // The window's key translation: runs the action whose shortcut msg is. True when it was one.
    bool IsShortCut(MSG& msg, HWND window);
    void UpdateActions();
    // Rebuilt from the enabled, visible actions with a shortcut when next needed.
    HACCEL Accelerators();

private:
    friend class TAction;
    void AcceleratorsChanged() { FAccelDirty = true; }
    std::vector<TAction*> FActions;
    TImageList* FImages = nullptr;
    HACCEL FAccel = nullptr;
    bool FAccelDirty = true;
};

// ---------------------------------------------------------------- standard edit actions

// Act on the focused edit control (an edit, the edit of a combo box, or a rich edit) and
// enable themselves by its state; without such a control they are disabled.
class TEditAction : public TAction {
public:
    using TAction::TAction;
    bool Execute() override;
    void Update() override;
    // The focused edit control, or null.
    static HWND Target();

protected:
    virtual bool CanRun(HWND edit) = 0;
    virtual void Run(HWND edit) = 0;
    static bool ReadOnly(HWND edit);
    static bool HasSelection(HWND edit);
};

class TEditCut : public TEditAction {
public:
    using TEditAction::TEditAction;
    const char* ClassName() const override { return "TEditCut"; }

protected:
    bool CanRun(HWND edit) override { return HasSelection(edit) && !ReadOnly(edit); }
    void Run(HWND edit) override { SendMessageA(edit, WM_CUT, 0, 0); }
};

class TEditCopy : public TEditAction {
public:
    using TEditAction::TEditAction;
    const char* ClassName() const override { return "TEditCopy"; }

protected:
    bool CanRun(HWND edit) override { return HasSelection(edit); }
    void Run(HWND edit) override { SendMessageA(edit, WM_COPY, 0, 0); }
};

class TEditPaste : public TEditAction {
public:
    using TEditAction::TEditAction;
    const char* ClassName() const override { return "TEditPaste"; }

protected:
    bool CanRun(HWND edit) override { return IsClipboardFormatAvailable(CF_TEXT) && !ReadOnly(edit); }
    void Run(HWND edit) override { SendMessageA(edit, WM_PASTE, 0, 0); }
};

class TEditUndo : public TEditAction {
public:
    using TEditAction::TEditAction;
    const char* ClassName() const override { return "TEditUndo"; }

protected:
    bool CanRun(HWND edit) override { return SendMessageA(edit, EM_CANUNDO, 0, 0) != 0 && !ReadOnly(edit); }
    void Run(HWND edit) override { SendMessageA(edit, EM_UNDO, 0, 0); }
};

}  // namespace ruk
