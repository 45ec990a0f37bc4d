#include "Form.h"

#include "Dialogs.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "Forms.h"
#include "WebBrowser.h"

#include <algorithm>

namespace ruk {

// ---------------------------------------------------------------- class registry

namespace {
std::map<std::string, TComponentFactory>& Factories() {
    static std::map<std::string, TComponentFactory> m = [] {
        std::map<std::string, TComponentFactory> f;
        auto add = [&f](const char* name, auto make) { f[name] = make; };
        add("TActionList", [](TComponent* o) -> TComponent* { return new TActionList(o); });
        add("TAction", [](TComponent* o) -> TComponent* { return new TAction(o); });
        add("TEditCut", [](TComponent* o) -> TComponent* { return new TEditCut(o); });
        add("TEditCopy", [](TComponent* o) -> TComponent* { return new TEditCopy(o); });
        add("TEditPaste", [](TComponent* o) -> TComponent* { return new TEditPaste(o); });
        add("TEditUndo", [](TComponent* o) -> TComponent* { return new TEditUndo(o); });
        add("TImageList", [](TComponent* o) -> TComponent* { return new TImageList(o); });
        add("TMainMenu", [](TComponent* o) -> TComponent* { return new TMainMenu(o); });
        add("TPopupMenu", [](TComponent* o) -> TComponent* { return new TPopupMenu(o); });
        add("TMenuItem", [](TComponent* o) -> TComponent* { return new TMenuItem(o); });
        add("TOpenDialog", [](TComponent* o) -> TComponent* { return new TOpenDialog(o); });
        add("TSaveDialog", [](TComponent* o) -> TComponent* { return new TSaveDialog(o); });
        add("TLabel", [](TComponent* o) -> TComponent* { return new TLabel(o); });
        add("TButton", [](TComponent* o) -> TComponent* { return new TButton(o); });
        add("TPanel", [](TComponent* o) -> TComponent* { return new TPanel(o); });
        add("TSplitter", [](TComponent* o) -> TComponent* { return new TSplitter(o); });
        add("TCoolBar", [](TComponent* o) -> TComponent* { return new TCoolBar(o); });
        add("TToolBar", [](TComponent* o) -> TComponent* { return new TToolBar(o); });
        add("TToolButton", [](TComponent* o) -> TComponent* { return new TToolButton(o); });
        add("TStatusBar", [](TComponent* o) -> TComponent* { return new TStatusBar(o); });
        add("TPageControl", [](TComponent* o) -> TComponent* { return new TPageControl(o); });
        add("TTabSheet", [](TComponent* o) -> TComponent* { return new TTabSheet(o); });
        add("TRichEdit", [](TComponent* o) -> TComponent* { return new TRichEdit(o); });
        add("TListView", [](TComponent* o) -> TComponent* { return new TListView(o); });
        add("TTreeView", [](TComponent* o) -> TComponent* { return new TTreeView(o); });
        add("TComboBoxEx", [](TComponent* o) -> TComponent* { return new TComboBoxEx(o); });
        add("TWebBrowser", [](TComponent* o) -> TComponent* { return new TWebBrowser(o); });
        add("TStaticText", [](TComponent* o) -> TComponent* { return new TStaticText(o); });
        add("TImage", [](TComponent* o) -> TComponent* { return new TImage(o); });
        add("TPrintDialog", [](TComponent* o) -> TComponent* { return new TPrintDialog(o); });
        return f;
    }();
    return m;
}

std::vector<TForm*>& LiveForms() {
    static std::vector<TForm*> v;
    return v;
}

TForm*& MainFormSlot() {
    static TForm* f = nullptr;
    return f;
}

HICON& AppIconSlot() {
    static HICON icon = nullptr;
    return icon;
}

class TDescriptionReader : public TComponentResolver {
public:
    TDescriptionReader(TForm& form, const std::function<TNotifyEvent(const std::string&)>& methods)
        : FForm(form), FMethods(methods) {}
    TComponent* FindComponent(const std::string& name) override {
        if (SameText(name, FForm.Name())) return &FForm;
        TComponent* c = FForm.FindComponent(name);
        if (!c) throw EComponentError(Format("Component %s not found", name.c_str()));
        return c;
    }
    TNotifyEvent FindMethod(const std::string& name) override {
        TNotifyEvent e = FMethods ? FMethods(name) : TNotifyEvent();
        if (!e) throw EComponentError(Format("Method %s not found", name.c_str()));
        return e;
    }

private:
    TForm& FForm;
    const std::function<TNotifyEvent(const std::string&)>& FMethods;
};
}  // namespace

void RegisterComponentClass(const std::string& className, TComponentFactory factory) {
    Factories()[className] = std::move(factory);
}

TComponent* CreateComponentOfClass(const std::string& className, TComponent* owner) {
    auto it = Factories().find(className);
    if (it == Factories().end()) throw EComponentError(Format("Class %s not found", className.c_str()));
    return it->second(owner);
}

TFormBorderStyle StrToFormBorderStyle(const std::string& s) {
    return StrToEnumProp<TFormBorderStyle>(s, {{"bsNone", TFormBorderStyle::bsNone},
                                               {"bsSingle", TFormBorderStyle::bsSingle},
                                               {"bsSizeable", TFormBorderStyle::bsSizeable},
                                               {"bsDialog", TFormBorderStyle::bsDialog},
                                               {"bsToolWindow", TFormBorderStyle::bsToolWindow},
                                               {"bsSizeToolWin", TFormBorderStyle::bsSizeToolWin}});
}

TPosition StrToPosition(const std::string& s) {
    return StrToEnumProp<TPosition>(s, {{"poDesigned", TPosition::poDesigned},
                                        {"poDefault", TPosition::poDefault},
                                        {"poDefaultPosOnly", TPosition::poDefaultPosOnly},
                                        {"poDefaultSizeOnly", TPosition::poDefaultSizeOnly},
                                        {"poScreenCenter", TPosition::poScreenCenter},
                                        {"poOwnerFormCenter", TPosition::poOwnerFormCenter},
                                        {"poMainFormCenter", TPosition::poOwnerFormCenter}});
}

TForm* MainForm() { return MainFormSlot(); }
void SetMainForm(TForm* form) { MainFormSlot() = form; }
HICON ApplicationIcon() { return AppIconSlot(); }

void SetApplicationIconHandle(HICON icon) {
    AppIconSlot() = icon;
    for (TForm* f : LiveForms())
        if (f->HandleAllocated()) {
            SendMessageA(f->HandleValue(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
            SendMessageA(f->HandleValue(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        }
}

void AssignApplicationIcon(const TIcon& icon) {
    static TIcon copy;
    copy.Assign(icon);
    SetApplicationIconHandle(copy.Handle());
}

bool FormsPreTranslateMessage(MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
    TWinControl* c = TWinControl::FindControl(msg.hwnd);
    if (!c) return false;
    for (TForm* f : LiveForms())
        if (f == c->ParentForm()) return f->IsShortCut(msg);
    return false;
}

void FormsIdle() {
    for (TForm* f : std::vector<TForm*>(LiveForms()))
        if (!f->Destroying()) f->UpdateActions();
}

// ---------------------------------------------------------------- TForm

TForm::TForm(TComponent* owner) : TWinControl(owner) {
    // The application's loop translates the forms' shortcuts and lets their actions update
    // themselves when it is idle.
    static const bool hooked = [] {
        Application->AddMessageHook([](MSG& msg) { return FormsPreTranslateMessage(msg); });
        std::function<void()> previous = Application->OnIdle;
        Application->OnIdle = [previous] {
            if (previous) previous();
            FormsIdle();
        };
        return true;
    }();
    (void)hooked;
    FVisible = false;
    FParentFont = false;
    LiveForms().push_back(this);
    if (!MainFormSlot()) MainFormSlot() = this;
}

TForm::~TForm() {
    BeforeDestruction();
    auto& v = LiveForms();
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    if (MainFormSlot() == this) MainFormSlot() = nullptr;
    DestroyComponents();
}

void TForm::BeforeDestruction() {
    if (!FDestroyEventDone) {
        FDestroyEventDone = true;
        if (OnDestroy) SafeCall(this, [this] { OnDestroy(this); });
    }
    TWinControl::BeforeDestruction();
    if (FHintBar) SetHintReceiver(nullptr);
    FHintBar = nullptr;
    if (FHandle) SetMenu(FHandle, nullptr);
    if (FHandle && Application->MainWindow() == FHandle) Application->SetMainWindow(nullptr);
    DestroyHandle();
}

void TForm::SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) {
    if (SameText(name, "ClientWidth")) FClientWidth = StrToIntProp(value);
    else if (SameText(name, "ClientHeight")) FClientHeight = StrToIntProp(value);
    else if (SameText(name, "Left")) FBounds.Left = StrToIntProp(value);
    else if (SameText(name, "Top")) FBounds.Top = StrToIntProp(value);
    else if (SameText(name, "Menu")) FMenu = reader.Ref<TMainMenu>(value);
    else if (SameText(name, "OnCreate")) OnCreate = reader.FindMethod(value);
    else if (SameText(name, "OnShow")) OnShow = reader.FindMethod(value);
    else if (SameText(name, "OnDestroy")) OnDestroy = reader.FindMethod(value);
    else if (SameText(name, "OnPaint")) OnPaint = reader.FindMethod(value);
    else if (SameText(name, "OnClose")) {
        // A handler named in a description sees no action; one that changes it is set in code.
        TNotifyEvent e = reader.FindMethod(value);
        OnClose = [e](TObject* sender, TCloseAction&) { e(sender); };
    } else if (SameText(name, "BorderStyle")) FBorderStyle = StrToFormBorderStyle(value);
    else if (SameText(name, "BorderIcons"))
        FBorderIcons = StrToSetProp(value, {{"biSystemMenu", biSystemMenu}, {"biMinimize", biMinimize},
                                            {"biMaximize", biMaximize}, {"biHelp", biHelp}});
    else if (SameText(name, "Position")) FPosition = StrToPosition(value);
    else if (SameText(name, "OldCreateOrder") || SameText(name, "PixelsPerInch") || SameText(name, "Scaled"))
        return;  // our forms always run OnCreate after the constructor, at 96 pixels per inch
    else TWinControl::SetProperty(name, value, reader);
}

void TForm::LoadDescription(const TFormDescription& d, const std::function<TNotifyEvent(const std::string&)>& methods) {
    SetName(d.Name);
    BeginLoading();
    TDescriptionReader reader(*this, methods);
    std::vector<TComponent*> created;
    auto make = [&](const char* cls, const char* name) {
        if (name && *name && FindComponent(name))
            throw EComponentError(Format("A component named %s already exists", name));
        TComponent* c = CreateComponentOfClass(cls, this);
        c->SetName(name ? name : "");
        c->BeginLoading();
        created.push_back(c);
        return c;
    };
    // Every component first, so that any row may name any other.
    std::vector<TComponent*> rows, actions;
    for (const TComponentRow& r : d.Components) rows.push_back(make(r.ClassName, r.Name));
    for (const TActionRow& a : d.Actions) actions.push_back(make(a.ClassName && *a.ClassName ? a.ClassName : "TAction", a.Name));
    std::vector<std::vector<TComponent*>> menuItems;
    std::vector<TComponent*> menus;
    for (const TMenuRow& m : d.Menus) {
        menus.push_back(make(m.ClassName, m.Name));
        menuItems.emplace_back();
        for (const TMenuItemRow& i : m.Items) menuItems.back().push_back(make("TMenuItem", i.Name));
    }

    for (size_t k = 0; k < d.Components.size(); ++k) {
        const TComponentRow& r = d.Components[k];
        TComponent* c = rows[k];
        if (auto* w = dynamic_cast<TWinControl*>(c)) {
            w->SetBounds(r.Bounds.Left, r.Bounds.Top, r.Bounds.Width, r.Bounds.Height);
            w->SetParentComponent(r.Parent && *r.Parent ? reader.FindComponent(r.Parent) : this);
        } else if (r.Parent && *r.Parent) {
            c->SetParentComponent(reader.FindComponent(r.Parent));
        }
        for (const TProp& p : r.Props) c->SetProperty(p.Name, p.Value, reader);
    }
    for (size_t k = 0; k < d.Actions.size(); ++k) {
        const TActionRow& a = d.Actions[k];
        auto* act = static_cast<TAction*>(actions[k]);
        act->SetActionList(reader.Ref<TActionList>(d.ActionList));
        act->SetCategory(a.Category ? a.Category : "");
        act->SetCaption(a.Caption ? a.Caption : "");
        act->SetShortCut(TextToShortCut(a.ShortCut ? a.ShortCut : ""));
        act->SetHint(a.Hint ? a.Hint : "");
        act->SetImageIndex(a.ImageIndex);
        if (a.OnExecute && *a.OnExecute) act->OnExecute = reader.FindMethod(a.OnExecute);
        for (const TProp& p : a.Props) act->SetProperty(p.Name, p.Value, reader);
    }
    for (size_t m = 0; m < d.Menus.size(); ++m) {
        auto* menu = static_cast<TMenu*>(menus[m]);
        menu->SetWindow(this);
        std::vector<TMenuItem*> levels;
        for (size_t k = 0; k < d.Menus[m].Items.size(); ++k) {
            const TMenuItemRow& row = d.Menus[m].Items[k];
            auto* item = static_cast<TMenuItem*>(menuItems[m][k]);
            if (row.Level < 0 || row.Level > static_cast<int>(levels.size()))
                throw EComponentError(Format("Menu item %s has no parent", row.Name));
            levels.resize(static_cast<size_t>(row.Level));
            (row.Level == 0 ? menu->Items() : levels.back())->Add(item);
            levels.push_back(item);
            if (row.Action && *row.Action) item->SetAction(reader.Ref<TAction>(row.Action));
            if (row.Caption && *row.Caption) item->SetCaption(row.Caption);
            for (const TProp& p : row.Props) item->SetProperty(p.Name, p.Value, reader);
        }
    }
    for (const TProp& p : d.Props) SetProperty(p.Name, p.Value, reader);

    for (TComponent* c : created) c->Loaded();
    Loaded();
    for (TComponent* c : created)
        if (auto* bar = dynamic_cast<TStatusBar*>(c); bar && bar->AutoHint()) FHintBar = bar;
}

void TForm::AfterConstruction() {
    if (OnCreate) SafeCall(this, [this] { OnCreate(this); });
}

DWORD TForm::WindowStyle() const {
    using B = TFormBorderStyle;
    DWORD s = WS_CLIPCHILDREN;
    switch (FBorderStyle) {
    case B::bsNone: s |= WS_POPUP; break;
    case B::bsSingle:
    case B::bsToolWindow: s |= WS_CAPTION | WS_BORDER; break;
    case B::bsSizeable:
    case B::bsSizeToolWin: s |= WS_CAPTION | WS_THICKFRAME; break;
    case B::bsDialog: s |= WS_POPUP | WS_CAPTION; break;
    }
    if (FBorderStyle != B::bsNone && (FBorderIcons & biSystemMenu)) {
        s |= WS_SYSMENU;
        if (FBorderStyle == B::bsSingle || FBorderStyle == B::bsSizeable) {
            if (FBorderIcons & biMinimize) s |= WS_MINIMIZEBOX;
            if (FBorderIcons & biMaximize) s |= WS_MAXIMIZEBOX;
        }
    }
    return s;
}

DWORD TForm::WindowExStyle() const {
    using B = TFormBorderStyle;
    DWORD x = WS_EX_CONTROLPARENT;
    if (FBorderStyle == B::bsDialog) x |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
    if (FBorderStyle == B::bsToolWindow || FBorderStyle == B::bsSizeToolWin) x |= WS_EX_TOOLWINDOW;
    // The system shows the question mark only without minimize and maximize boxes.
    if ((FBorderIcons & biHelp) && (WindowStyle() & WS_SYSMENU) &&
        !(WindowStyle() & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)))
        x |= WS_EX_CONTEXTHELP;
    return x;
}

void TForm::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.ClassName = FBorderStyle == TFormBorderStyle::bsDialog ? "TRukDialogForm" : "TRukForm";
    p.Style = WindowStyle();
    p.ExStyle = WindowExStyle();
    p.Caption = FText;
    p.WndParent = FModalOwner;
}

void TForm::PlaceWindow() {
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    RECT owner = work;
    if (FModalOwner) GetWindowRect(FModalOwner, &owner);
    switch (FPosition) {
    case TPosition::poDesigned:
        break;
    case TPosition::poScreenCenter:
    case TPosition::poOwnerFormCenter: {
        const RECT& around = FPosition == TPosition::poScreenCenter ? work : owner;
        FBounds.Left = static_cast<int>(around.left + around.right - FBounds.Width) / 2;
        FBounds.Top = static_cast<int>(around.top + around.bottom - FBounds.Height) / 2;
        break;
    }
    default:
        if (WindowStyle() & WS_POPUP) {
            // The system places only overlapped windows itself: a pop-up goes one caption
            // below and right of its owner's corner, as a cascade would put it.
            const int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYSIZEFRAME);
            FBounds.Left = static_cast<int>(owner.left) + step;
            FBounds.Top = static_cast<int>(owner.top) + step;
        } else {
            FBounds.Left = CW_USEDEFAULT;
            FBounds.Top = CW_USEDEFAULT;
        }
        break;
    }
}

void TForm::CreateWnd() {
    // The description gives the client area; the window is that plus frame, caption and menu.
    RECT r{0, 0, FClientWidth, FClientHeight};
    AdjustWindowRectEx(&r, WindowStyle(), FMenu != nullptr, WindowExStyle());
    FBounds.Width = r.right - r.left;
    FBounds.Height = r.bottom - r.top;
    PlaceWindow();
    bool visible = FVisible;
    FVisible = false;
    TWinControl::CreateWnd();
    FVisible = visible;
    if (FBounds.Left == static_cast<int>(CW_USEDEFAULT)) UpdateBoundsFromWindow();
}

void TForm::InitWnd() {
    TWinControl::InitWnd();
    if (FMenu) {
        FMenu->SetWindow(this);
        SetMenu(FHandle, FMenu->Handle());
        // With the menu bar in place the client area is as described (a long bar may wrap).
        RECT r{0, 0, FClientWidth, FClientHeight};
        AdjustWindowRectEx(&r, WindowStyle(), TRUE, WindowExStyle());
        SetWindowPos(FHandle, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
        RECT client;
        GetClientRect(FHandle, &client);
        if (client.bottom < FClientHeight)
            SetWindowPos(FHandle, nullptr, 0, 0, r.right - r.left, r.bottom - r.top + FClientHeight - client.bottom,
                         SWP_NOMOVE | SWP_NOZORDER);
    }
    if (MainForm() == this && !FModal) Application->SetMainWindow(FHandle);
    if (HICON icon = ApplicationIcon()) {
        SendMessageA(FHandle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageA(FHandle, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    if (FHintBar) SetHintReceiver([this](const std::string& hint) { ShowHint(hint); });
}

void TForm::ShowHint(const std::string& longHint) {
    if (FHintBar && FHintBar->HandleAllocated()) FHintBar->SetSimpleText(longHint);
}

void TForm::Show() {
    HandleNeeded();
    if (!FShownOnce) {
        FShownOnce = true;
        if (OnShow) SafeCall(this, [this] { OnShow(this); });
        if (Destroying() || !FHandle) return;
    }
    FVisible = true;
    ShowWindow(FHandle, SW_SHOW);
    UpdateWindow(FHandle);
}

void TForm::Hide() {
    FVisible = false;
    if (FHandle) ShowWindow(FHandle, SW_HIDE);
}

bool TForm::Showing() { return FHandle && IsWindowVisible(FHandle); }

namespace {
// Posted to a form whose close action freed it: it is freed when the message that closed it
// has been handled.
const UINT kReleaseMessage = RegisterWindowMessageA("RukFormRelease");
}  // namespace

TCloseAction TForm::DoClose(TCloseAction action) {
    if (OnClose) SafeCall(this, [&] { OnClose(this, action); });
    return action;
}

void TForm::Close() {
    if (FModal) {
        FModalResult = mrCancel;
        return;
    }
    const TCloseAction action = DoClose(TCloseAction::caHide);
    if (action == TCloseAction::caNone) return;
    if (MainForm() == this) {
        Hide();
        Application->Terminate();
    } else if (action == TCloseAction::caMinimize) {
        if (FHandle) ShowWindow(FHandle, SW_MINIMIZE);
    } else {
        Hide();
        if (action == TCloseAction::caFree && FHandle) PostMessageA(FHandle, kReleaseMessage, 0, 0);
    }
}

TWinControl* TForm::ActiveControl() {
    TWinControl* c = TWinControl::FindControl(GetFocus());
    if (!c || c == this || c->ParentForm() != this) return nullptr;
    return c;
}

void TForm::UpdateActions() {
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* list = dynamic_cast<TActionList*>(Components(i))) list->UpdateActions();
}

bool TForm::IsShortCut(MSG& msg) {
    if (!FHandle || !IsWindowEnabled(FHandle)) return false;
    for (int i = 0; i < ComponentCount(); ++i)
        if (auto* list = dynamic_cast<TActionList*>(Components(i)))
            if (list->IsShortCut(msg, FHandle)) return true;
    // Items of the popup menus of the focused control and its parents answer their own keys.
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
    TShortCut key = static_cast<TShortCut>(msg.wParam & 0xFF);
    if (GetKeyState(VK_CONTROL) < 0) key |= scCtrl;
    if (GetKeyState(VK_SHIFT) < 0) key |= scShift;
    if (GetKeyState(VK_MENU) < 0) key |= scAlt;
    for (TWinControl* c = TWinControl::FindControl(msg.hwnd); c && c != this; c = c->Parent())
        if (TPopupMenu* popup = c->PopupMenu()) {
            TMenuItem* item = popup->Items()->FindShortCut(key);
            if (!item) continue;
            // The menu brings its items' state up to date as it would before opening.
            if (popup->OnPopup) SafeCall(popup, [popup] { popup->OnPopup(popup); });
            if (!item->Enabled()) return false;
            SafeCall(item, [item] { item->Click(); });
            return true;
        }
    return false;
}

LRESULT TForm::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (lp == 0) {
            const UINT id = LOWORD(wp);
            // 0: a menu's item; 1: an accelerator, which runs the command of its id.
            const HMENU menu = HIWORD(wp) == 0 ? GetMenu(FHandle) : nullptr;
            SafeCall(this, [menu, id] { TMenuItem::RunCommand(menu, id); });
            return 0;
        }
        break;
    case WM_INITMENUPOPUP:
        UpdateActions();
        return 0;
    case WM_MENUSELECT: {
        UINT flags = HIWORD(wp);
        HMENU menu = reinterpret_cast<HMENU>(lp);
        if (flags == 0xFFFF && !menu) {
            ShowHint("");
            return 0;
        }
        TMenuItem* item = (flags & MF_POPUP) ? TMenuItem::FindByPosition(menu, LOWORD(wp))
                                             : TMenuItem::FindByCommand(menu, LOWORD(wp));
        ShowHint(item ? GetLongHint(item->Hint()) : std::string());
        return 0;
    }
    case WM_EXITMENULOOP:
        ShowHint("");
        break;
    case WM_HELP:
        if (OnHelp) {
            auto* info = reinterpret_cast<HELPINFO*>(lp);
            bool callHelp = true;
            int context = info ? static_cast<int>(info->dwContextId) : 0;
            SafeCall(this, [&] { OnHelp(HELP_CONTEXT, context, callHelp); });
            return TRUE;
        }
        break;
    case WM_ACTIVATE:
        // The window manager may activate the window after its first control took the focus;
        // the default handling would then move the focus to the form itself. The control that
        // had the focus keeps it, and a modal form without one gives it to its first tab stop.
        if (LOWORD(wp) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            FFocusAtDeactivate = focus && IsChild(FHandle, focus) ? focus : nullptr;
            break;
        }
        if (!HIWORD(wp)) {
            const HWND focus = GetFocus();
            if (focus && IsChild(FHandle, focus)) return 0;
            if (FFocusAtDeactivate && IsChild(FHandle, FFocusAtDeactivate) && IsWindowEnabled(FFocusAtDeactivate) &&
                IsWindowVisible(FFocusAtDeactivate)) {
                ::SetFocus(FFocusAtDeactivate);
                return 0;
            }
            if (FModal) {
                const std::vector<TWinControl*> stops = TabOrderList(*this);
                if (!stops.empty()) {
                    stops.front()->SetFocus();
                    return 0;
                }
            }
        }
        break;
    case WM_CLOSE:
        Close();
        return 0;
    case WM_PAINT:
        if (OnPaint) {
            LRESULT r = TWinControl::WndProc(msg, wp, lp);
            SafeCall(this, [this] { OnPaint(this); });
            return r;
        }
        break;
    default:
        if (msg == kReleaseMessage && !Destroying()) {
            Free();
            return 0;
        }
        break;
    }
    return TWinControl::WndProc(msg, wp, lp);
}

}  // namespace ruk
