// Controls: components and windowed controls of the visual half of the class-library layer.
//
// Conventions of the visual layer:
// - A component is owned by its Owner (usually the form), which destroys it; its Parent
//   (for controls) only decides where its window lives. Owned components are found by name.
// - Every control is a window. A window is bound to its object in one place: our own window
//   classes bind at WM_NCCREATE from lpCreateParams, common controls are subclassed right
//   after creation (their window procedure replaced by ours, in the window's character set,
//   as the common controls' own subclassing does). Both end in the virtual WndProc. The
//   window-to-object table is the process's own: a window property would cost a call into
//   the window server for every message under Wine.
// - WM_COMMAND and WM_NOTIFY that reach a parent are reflected to the child's object
//   (CNCommand / CNNotify), so a control raises its own events and forms never switch on ids.
// - A command has one id in one table (Commands.h): a menu item or tool button that shows an
//   action sends the action's id. A WM_COMMAND from a menu runs the item clicked (with its
//   own check mark), one from an accelerator the command of its id.
// - An exception raised by an event handler never crosses a window procedure: it is shown
//   through HandleException (the application's exception display).
// - Components are described by tables (see Form.h); SetProperty takes the table's texts.
#pragma once

#include "Classes.h"
#include "Commands.h"
#include "PropertyTexts.h"
#include "SysUtils.h"

#include <windows.h>

#include <functional>
#include <map>
#include <initializer_list>
#include <string>
#include <vector>

namespace ruk {

RUK_DECLARE_EXCEPTION(EComponentError, Exception)
RUK_DECLARE_EXCEPTION(EPropertyError, EComponentError)  // "Property %s.%s does not exist"
RUK_DECLARE_EXCEPTION(EOutOfResources, Exception)  // "Failed to Load Stream", "Failed to Save Stream"

class TComponent;
class TWinControl;
class TPopupMenu;
class TComponentResolver;

// The module whose code this is: the program, or the library that links this layer. Window
// classes are registered and windows created with it, so that a library's windows run its own
// window procedure and object table, and a static finds the library's own icon resources.
HINSTANCE ModuleInstance();

// ---------------------------------------------------------------- exception display

// Shows the exception being handled (call inside a catch block) through the application's
// exception display, or through the handler that SetExceptionHandler installed instead.
void HandleException(TObject* sender = nullptr);
using TExceptionHandler = std::function<void(TObject* sender, std::exception_ptr e)>;
void SetExceptionHandler(TExceptionHandler handler);

// Runs f; an exception is shown by HandleException and goes no further.
template <class F>
void SafeCall(TObject* sender, F&& f) {
    try {
        f();
    } catch (...) {
        HandleException(sender);
    }
}

// ---------------------------------------------------------------- hints

// The long hint of what the mouse is over ("" when it leaves); the form with an automatic
// hint bar installs the receiver.
void ApplicationShowHint(const std::string& longHint);
void SetHintReceiver(std::function<void(const std::string&)> receiver);

// The text of a window as GetWindowTextA gives it; "" when it has none.
std::string WindowTextOf(HWND window);

// ---------------------------------------------------------------- components

enum TComponentStateFlag : unsigned { csLoading = 1, csDestroying = 2 };

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    // Runs BeforeDestruction, then deletes the object.
    void Free();
    virtual void BeforeDestruction();

    const std::string& Name() const { return FName; }
    void SetName(const std::string& name) { FName = name; }
    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int index) const { return FComponents.at(index); }
    // Owned component by name (without regard to case), or null.
    TComponent* FindComponent(const std::string& name) const;
    unsigned ComponentState() const { return FState; }
    bool Destroying() const { return (FState & csDestroying) != 0; }
    int Tag = 0;

    // The component that a form description puts this one in (a control's parent, a menu
    // item's parent item, a tool button's tool bar); raises EComponentError when it cannot be.
    virtual void SetParentComponent(TComponent* parent);
    // One property from a form description; raises EPropertyError for an unknown name.
    virtual void SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader);
    // After every component of the description has its properties.
    virtual void Loaded() { FState &= ~csLoading; }
    void BeginLoading() { FState |= csLoading; }
    virtual const char* ClassName() const { return "TComponent"; }

protected:
    [[noreturn]] void UnknownProperty(const std::string& name) const;
    void DestroyComponents();

private:
    void InsertComponent(TComponent* c);
    void RemoveComponent(TComponent* c);
    std::string FName;
    TComponent* FOwner = nullptr;
    std::vector<TComponent*> FComponents;
    unsigned FState = 0;
};

// Casts a component found by name; raises EComponentError when it is missing or of another class.
template <class T>
T* FindComponentAs(const TComponent* owner, const std::string& name) {
    T* c = dynamic_cast<T*>(owner->FindComponent(name));
    if (!c) throw EComponentError(Format("Component %s not found", name.c_str()));
    return c;
}

// Resolves the names that a form description refers to (components and the form's methods).
class TComponentResolver {
public:
    virtual ~TComponentResolver() = default;
    // Raise EComponentError when the name is unknown.
    virtual TComponent* FindComponent(const std::string& name) = 0;
    virtual TNotifyEvent FindMethod(const std::string& name) = 0;
    template <class T>
    T* Ref(const std::string& name) {
        T* c = dynamic_cast<T*>(FindComponent(name));
        if (!c) throw EComponentError(Format("Component %s has the wrong class", name.c_str()));
        return c;
    }
};

// ---------------------------------------------------------------- controls

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAnchor : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };

struct TBounds {
    int Left = 0, Top = 0, Width = 0, Height = 0;
};

struct TCreateParams {
    std::string ClassName;      // window class to create
    DWORD Style = WS_CHILD | WS_CLIPSIBLINGS;
    DWORD ExStyle = 0;
    std::string Caption;
    HWND WndParent = nullptr;   // parent or owner when the control has no parent control
    bool OwnClass = false;      // one of our classes (bound at WM_NCCREATE), else subclassed
    UINT ClassStyle = CS_DBLCLKS;
    HBRUSH Background = nullptr;
    HCURSOR Cursor = nullptr;
};

class TFont {
public:
    std::string Name = "Tahoma";
    int Height = 13;           // positive: cell height in pixels; negative: character height
    COLORREF Color = RGB(0, 0, 0);
    bool Bold = false;
    HFONT Handle();            // created on first use, shared until a property changes
    void Changed();
    TFont() = default;
    // A copy takes the properties; it makes its own handle.
    TFont(const TFont& f) : Name(f.Name), Height(f.Height), Color(f.Color), Bold(f.Bold) {}
    TFont& operator=(const TFont& f) {
        if (this != &f) {
            Name = f.Name;
            Height = f.Height;
            Color = f.Color;
            Bold = f.Bold;
            Changed();
        }
        return *this;
    }
    ~TFont();

private:
    HFONT FHandle = nullptr;
};

class TWinControl : public TComponent {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;
    const char* ClassName() const override { return "TWinControl"; }
    void SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) override;
    void Loaded() override;

    // The window; HandleNeeded creates it (and the windows of the parents first).
    HWND Handle();
    HWND HandleValue() const { return FHandle; }
    bool HandleAllocated() const { return FHandle != nullptr; }
    void HandleNeeded() { (void)Handle(); }
    void DestroyHandle();
    static TWinControl* FromHandle(HWND wnd);
    // The nearest window up from wnd (wnd included) that belongs to a control.
    static TWinControl* FindControl(HWND wnd);

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* parent);
    void SetParentComponent(TComponent* parent) override;
    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TWinControl* Controls(int index) const { return FControls.at(index); }
    // The form this control belongs to (the first parent without a parent).
    TWinControl* ParentForm();

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign a);
    unsigned Anchors() const { return FAnchors; }
    void SetAnchors(unsigned a) { FAnchors = a; }
    int Left() const { return FBounds.Left; }
    int Top() const { return FBounds.Top; }
    int Width() const { return FBounds.Width; }
    int Height() const { return FBounds.Height; }
    void SetBounds(int left, int top, int width, int height);
    void SetWidth(int w) { SetBounds(Left(), Top(), w, Height()); }
    void SetHeight(int h) { SetBounds(Left(), Top(), Width(), h); }
    RECT ClientRect();

    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool v);
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool e);
    // Window text (caption of a form, panel, button; text of an edit or combo box).
    virtual std::string Text();
    virtual void SetText(const std::string& s);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& h) { FHint = h; }
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* m) { FPopupMenu = m; }
    TFont& Font() { return FParentFont && FParent ? FParent->Font() : FFont; }
    // Setting the colour it already has repaints nothing (handlers may re-apply colours at
    // every paint). ParentColor: the control shows its parent's colour until it gets its own.
    void SetColor(COLORREF c);
    COLORREF Color();
    bool ParentColor() const { return FParentColor && !FHasColor; }
    void SetParentColor(bool p);
    // Context help id of the window (WM_HELP carries it); 0 for none.
    int HelpContext() const { return FHelpContext; }
    void SetHelpContext(int context);
    // The mouse cursor over the control's client area; null for the window class's own.
    HCURSOR Cursor() const { return FCursor; }
    void SetCursor(HCURSOR cursor) { FCursor = cursor; }
    // Position among its siblings for the Tab key; -1: in the order they were placed.
    int TabOrder() const { return FTabOrder; }
    void SetTabOrder(int order) { FTabOrder = order; }
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool t);
    // A new window with the current state, for style changes the system takes only at creation.
    void RecreateWnd();
    // Height of a text in the control's font, in pixels.
    int TextHeight(const std::string& text);
    // The size of a line of text in the control's font.
    SIZE TextExtent(const std::string& text);
    bool Focused();
    void SetFocus();
    bool CanFocus();

    // Lays out the children by Align and Anchors (VCL order: top, bottom, left, right, client).
    virtual void Realign();
    // The area that aligned children share.
    virtual RECT AlignRect() { return ClientRect(); }

    TNotifyEvent OnResize;

    // Keys that a modal form would take for navigation (Tab, Enter, Esc) but this control
    // wants for itself.
    virtual bool WantsDialogKey(UINT) { return false; }

    virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT DefaultHandler(UINT msg, WPARAM wp, LPARAM lp);

protected:
    virtual void CreateParams(TCreateParams& params);
    virtual void CreateWnd();
    // After the window exists: apply the state kept in fields.
    virtual void InitWnd();
    // Reflected WM_COMMAND / WM_NOTIFY; true when handled (result then holds the answer).
    virtual bool CNCommand(WORD code, WORD id, LRESULT& result);
    virtual bool CNNotify(NMHDR* hdr, LRESULT& result);
    // Reflected WM_CTLCOLOR*: true when the control answered (result: the brush, or 0).
    virtual bool CNCtlColor(UINT msg, HDC dc, LRESULT& result);
    // The brush of Color().
    HBRUSH ColorBrush();
    virtual void DoContextPopup(POINT screenPos);
    // The colour of a control that has none of its own and does not take its parent's.
    virtual COLORREF DefaultColor() const { return GetSysColor(COLOR_BTNFACE); }
    // The colour changed (own or parent's): a control that paints it itself repaints.
    virtual void ColorChanged();
    void UpdateBoundsFromWindow();
    // Added to the height given to CreateWindow and MoveWindow (the list of a combo box).
    virtual int ExtraWindowHeight() const { return 0; }
    void ApplyFont();

    HWND FHandle = nullptr;
    TWinControl* FParent = nullptr;
    std::vector<TWinControl*> FControls;
    TBounds FBounds;
    TAlign FAlign = TAlign::alNone;
    unsigned FAnchors = akLeft | akTop;
    // Distances kept for right and bottom anchors, taken when the parent first lays out.
    int FAnchorRight = -1, FAnchorBottom = -1;
    bool FVisible = true;
    bool FEnabled = true;
    bool FTabStop = false;
    bool FParentFont = true;
    bool FHasColor = false;
    bool FParentColor = false;
    COLORREF FColor = 0;
    int FHelpContext = 0;
    HCURSOR FCursor = nullptr;
    int FTabOrder = -1;
    HBRUSH FBrush = nullptr;
    std::string FText;
    std::string FHint;
    TPopupMenu* FPopupMenu = nullptr;
    TFont FFont;
    bool FRealigning = false;

private:
    static LRESULT CALLBACK OwnWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    // Procedures of a subclassed control, in the window's own character set.
    static LRESULT CALLBACK SubclassProcA(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT CALLBACK SubclassProcW(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    static LRESULT SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);
    void Bind(HWND wnd);
    void Unbind();
    bool FSubclassed = false;
    bool FUnicode = false;           // the subclassed window is a Unicode window
    WNDPROC FOldWndProc = nullptr;   // the control's own procedure, behind ours
    bool FOwnClass = false;
};

// The property texts of the controls' own types: "alClient", "[akLeft,akRight]", "mrOk".
TAlign StrToAlign(const std::string& s);
unsigned StrToAnchors(const std::string& s);
// The modal results of forms and buttons.
enum : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7 };
int StrToModalResult(const std::string& s);

}  // namespace ruk
