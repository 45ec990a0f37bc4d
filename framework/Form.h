// Form: the top-level window class and the form descriptions it is built from.
//
// A form description is a set of tables, one row per component, in the order the components
// are created: the non-visual components and the controls (name, class, parent, bounds,
// properties), the actions of the action list (name, category, caption, shortcut, hint,
// image, handler), and the menus with their items (an item's level gives its parent). Property
// values are texts as a form file holds them ("True", "alClient", "clNavy", a component's or a
// method's name). A derived form loads its description in its constructor, binds its fields
// to the components by name, and names its handlers in a method table.
//
// Creation follows the class library: OnCreate runs after the constructor (CreateForm), OnShow
// before the window first becomes visible, OnDestroy before the destructor (Free).
#pragma once

#include "ActnList.h"
#include "ComCtrls.h"
#include "Controls.h"
#include "Graphics.h"
#include "Menus.h"

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace ruk {

// ---------------------------------------------------------------- descriptions

struct TProp {
    const char* Name;
    std::string Value;
};
using TProps = std::vector<TProp>;

struct TComponentRow {
    const char* Name;
    const char* ClassName;
    const char* Parent;  // "" for the form itself (controls) or nothing (non-visual)
    TBounds Bounds;
    TProps Props;
};

struct TActionRow {
    const char* Name;
    const char* ClassName;  // "TAction" or a standard action ("TEditCut", ...)
    const char* Category;
    const char* Caption;
    const char* ShortCut;   // "Ctrl+B", "" for none
    const char* Hint;
    int ImageIndex;
    const char* OnExecute;  // a method of the form, "" for none
    TProps Props;
};

struct TMenuItemRow {
    int Level;              // 0: a top item of the menu; n: child of the last item of level n-1
    const char* Name;       // "" for an unnamed separator
    const char* Caption;    // "" to show the action's caption, "-" for a separator
    const char* Action;     // "" for none
    TProps Props;
};

struct TMenuRow {
    const char* Name;
    const char* ClassName;  // "TMainMenu" or "TPopupMenu"
    std::vector<TMenuItemRow> Items;
};

struct TFormDescription {
    const char* Name;
    const char* ClassName;
    TProps Props;  // applied after every component exists
    std::vector<TComponentRow> Components;
    const char* ActionList;  // the TActionList (a row of Components) that owns the actions
    std::vector<TActionRow> Actions;
    std::vector<TMenuRow> Menus;
};

using TComponentFactory = std::function<TComponent*(TComponent* owner)>;
// Classes that descriptions may name; the framework's own are registered from the start.
void RegisterComponentClass(const std::string& className, TComponentFactory factory);
TComponent* CreateComponentOfClass(const std::string& className, TComponent* owner);

// ---------------------------------------------------------------- TForm

// The help request of a form: command and data of the request; CallHelp comes in true.
using THelpEvent = std::function<bool(WORD command, int data, bool& callHelp)>;

enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
// poDesigned: at Left/Top; poDefault and poDefaultPosOnly: where the system (or, for a
// dialog-bordered form, the cascade below its owner) puts a new window.
enum class TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poOwnerFormCenter };
// What Close does after OnClose: nothing, hide, free the form, or minimize it.
enum class TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* sender, TCloseAction& action)>;

class TForm : public TWinControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;
    const char* ClassName() const override { return "TForm"; }
    void SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) override;
    void BeforeDestruction() override;

    // Builds the components of a description; methods resolves the handler names.
    void LoadDescription(const TFormDescription& description,
                         const std::function<TNotifyEvent(const std::string&)>& methods);
    template <class T>
    void BindField(T*& field, const char* name) {
        field = FindComponentAs<T>(this, name);
    }

    // Runs OnCreate (an exception is shown, and the form lives on).
    virtual void AfterConstruction();
    void Show();
    void Hide();
    // Modal: ends the modal loop (modal result mrCancel). Otherwise OnClose decides (hide by
    // default); closing the main form ends the program; caFree frees the form once the
    // message that asked for the close has been handled.
    void Close();
    bool Showing();

    // Shows the form owned by the active window, with the owner's other windows disabled,
    // and runs its own message loop (the form's shortcuts, Tab, Enter and Esc; calls of
    // workers keep running) until a modal result is set or the form is closed. The owner is
    // enabled and active again before the form hides. A WM_QUIT received inside ends the
    // loop and is posted again for the loop outside. A form whose close action is caFree is
    // freed before ShowModal returns. A form shown modally never becomes the main form.
    int ShowModal();
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int result) { FModalResult = result; }
    bool Modal() const { return FModal; }

    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle s) { FBorderStyle = s; }
    unsigned BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(unsigned icons) { FBorderIcons = icons; }
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition p) { FPosition = p; }
    // The window style and extended style of the border settings.
    DWORD WindowStyle() const;
    DWORD WindowExStyle() const;

    int ClientWidth() const { return FClientWidth; }
    int ClientHeight() const { return FClientHeight; }
    TMainMenu* Menu() const { return FMenu; }
    // The control that has the focus inside this form, or null.
    TWinControl* ActiveControl();
    void UpdateActions();
    // Key translation through the accelerator tables of the form's action lists.
    bool IsShortCut(MSG& msg);
    // The status bar that shows the long hints, or null.
    TStatusBar* HintBar() const { return FHintBar; }

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    TNotifyEvent OnDestroy;
    THelpEvent OnHelp;
    // After the window has painted itself.
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    void CreateParams(TCreateParams& p) override;
    void CreateWnd() override;
    void InitWnd() override;
    void ShowHint(const std::string& longHint);
    // OnClose with the default action; the action decided.
    TCloseAction DoClose(TCloseAction action);

private:
    bool DialogKey(const MSG& msg);
    void PlaceWindow();
    int FClientWidth = 320, FClientHeight = 240;
    TMainMenu* FMenu = nullptr;
    TStatusBar* FHintBar = nullptr;
    bool FShownOnce = false;
    bool FDestroyEventDone = false;
    TFormBorderStyle FBorderStyle = TFormBorderStyle::bsSizeable;
    unsigned FBorderIcons = biSystemMenu | biMinimize | biMaximize;
    TPosition FPosition = TPosition::poDesigned;
    int FModalResult = mrNone;
    bool FModal = false;
    HWND FModalOwner = nullptr;
    HWND FFocusAtDeactivate = nullptr;
};

// The windows that tab navigation visits in a form, in tab order: visible, enabled windows of
// controls with the tab-stop style (siblings ordered by TabOrder, then as placed).
std::vector<TWinControl*> TabOrderList(TWinControl& form);

// Creates a form: constructor, then OnCreate. The first form becomes the main form.
template <class T>
T* CreateForm(TComponent* owner = nullptr) {
    T* form = new T(owner);
    form->AfterConstruction();
    return form;
}

TFormBorderStyle StrToFormBorderStyle(const std::string& s);
TPosition StrToPosition(const std::string& s);

TForm* MainForm();
void SetMainForm(TForm* form);
// The icon the application gives its windows (set by the program); null for the default.
HICON ApplicationIcon();
void SetApplicationIconHandle(HICON icon);
// The application keeps its own copy of the icon and gives it to every form.
void AssignApplicationIcon(const TIcon& icon);

// For the application's message loop: a key that is an action's shortcut in the form that has
// the focus is translated here (true: the message is consumed).
bool FormsPreTranslateMessage(MSG& msg);
// When the message queue is empty: actions of the forms bring their state up to date.
void FormsIdle();

}  // namespace ruk
