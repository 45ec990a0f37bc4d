// Modal showing of forms: the owner, the disabled windows, the form's own message loop and its
// dialog keys.
#include "Form.h"

#include "Forms.h"

#include <algorithm>

namespace ruk {

namespace {

struct TWindowSearch {
    HWND Except;
    std::vector<HWND> Found;
};

BOOL CALLBACK CollectEnabledWindow(HWND wnd, LPARAM lp) {
    auto* s = reinterpret_cast<TWindowSearch*>(lp);
    if (wnd != s->Except && IsWindowVisible(wnd) && IsWindowEnabled(wnd)) s->Found.push_back(wnd);
    return TRUE;
}

// The visible, enabled top-level windows of this thread, which a modal form disables.
std::vector<HWND> DisableThreadWindows(HWND except) {
    TWindowSearch search{except, {}};
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&search));
    for (HWND wnd : search.Found) EnableWindow(wnd, FALSE);
    return search.Found;
}

void EnableWindows(const std::vector<HWND>& windows) {
    for (HWND wnd : windows)
        if (IsWindow(wnd)) EnableWindow(wnd, TRUE);
}

void AddTabStops(TWinControl& container, std::vector<TWinControl*>& list) {
    std::vector<std::pair<int, TWinControl*>> order;
    for (int i = 0; i < container.ControlCount(); ++i) {
        TWinControl* c = container.Controls(i);
        order.emplace_back(c->TabOrder() >= 0 ? c->TabOrder() : i, c);
    }
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& entry : order) {
        TWinControl* c = entry.second;
        HWND wnd = c->HandleValue();
        if (!wnd || !IsWindowVisible(wnd) || !IsWindowEnabled(wnd)) continue;
        if (GetWindowLongA(wnd, GWL_STYLE) & WS_TABSTOP) list.push_back(c);
        AddTabStops(*c, list);
    }
}

template <class Pred>
TButton* FindButton(TWinControl& container, Pred pred) {
    for (int i = 0; i < container.ControlCount(); ++i) {
        TWinControl* c = container.Controls(i);
        if (auto* b = dynamic_cast<TButton*>(c); b && pred(*b) && b->HandleAllocated() &&
                                                  IsWindowVisible(b->HandleValue()) && IsWindowEnabled(b->HandleValue()))
            return b;
        if (TButton* found = FindButton(*c, pred)) return found;
    }
    return nullptr;
}

}  // namespace

std::vector<TWinControl*> TabOrderList(TWinControl& form) {
    std::vector<TWinControl*> list;
    AddTabStops(form, list);
    return list;
}

bool TForm::DialogKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN) return false;
    if (msg.hwnd != FHandle && !IsChild(FHandle, msg.hwnd)) return false;
    if (GetKeyState(VK_MENU) < 0) return false;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    TWinControl* focused = TWinControl::FindControl(msg.hwnd);
    const UINT key = static_cast<UINT>(msg.wParam);
    if (focused && focused->WantsDialogKey(key)) return false;
    switch (key) {
    case VK_TAB: {
        if (ctrl) return false;
        const std::vector<TWinControl*> list = TabOrderList(*this);
        if (list.empty()) return true;
        auto it = std::find(list.begin(), list.end(), TWinControl::FindControl(GetFocus()));
        const bool back = GetKeyState(VK_SHIFT) < 0;
        size_t next;
        if (it == list.end()) next = back ? list.size() - 1 : 0;
        else {
            const size_t at = static_cast<size_t>(it - list.begin());
            next = back ? (at + list.size() - 1) % list.size() : (at + 1) % list.size();
        }
        list[next]->SetFocus();
        return true;
    }
    case VK_RETURN: {
        if (auto* b = dynamic_cast<TButton*>(focused)) {
            b->Click();
            return true;
        }
        if (TButton* b = FindButton(*this, [](TButton& x) { return x.Default(); })) {
            b->Click();
            return true;
        }
        return false;
    }
    case VK_ESCAPE:
        if (TButton* b = FindButton(*this, [](TButton& x) { return x.Cancel(); })) b->Click();
        else Close();
        return true;
    default:
        return false;
    }
}

int TForm::ShowModal() {
    if (FModal || (FHandle && IsWindowVisible(FHandle)))
        throw EComponentError("Cannot make a visible window modal");
    // A modal form is never the main form: closing it must not end the program (the first
    // form of a library would otherwise be its main form).
    if (MainForm() == this) SetMainForm(nullptr);
    if (FHandle && Application->MainWindow() == FHandle) Application->SetMainWindow(nullptr);

    const HWND active = GetActiveWindow();
    FModalOwner = active ? active : Application->MainWindow();
    if (FModalOwner == FHandle) FModalOwner = nullptr;
    if (FHandle) SetWindowLongPtrA(FHandle, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(FModalOwner));
    FModal = true;
    FModalResult = mrNone;
    const std::vector<HWND> disabled = DisableThreadWindows(FHandle);

    bool quit = false;
    WPARAM quitCode = 0;
    TCloseAction action = TCloseAction::caHide;
    try {
        Show();
        if (FHandle && !Focused()) {
            const std::vector<TWinControl*> stops = TabOrderList(*this);
            if (!stops.empty()) stops.front()->SetFocus();
        }
        for (;;) {
            if (FModalResult != mrNone) {
                action = DoClose(TCloseAction::caHide);
                if (action != TCloseAction::caNone || quit) break;
                FModalResult = mrNone;
            }
            if (!FHandle) {
                FModalResult = mrCancel;
                break;
            }
            MSG msg;
            if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                try {
                    Application->Idle();
                } catch (...) {
                    HandleException(this);
                }
                continue;
            }
            if (msg.message == WM_QUIT) {
                quit = true;
                quitCode = msg.wParam;
                FModalResult = mrCancel;
                continue;
            }
            try {
                if (DialogKey(msg) || Application->RunMessageHooks(msg)) continue;
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            } catch (...) {
                HandleException(this);
            }
        }
    } catch (...) {
        EnableWindows(disabled);
        FModal = false;
        throw;
    }
    const int result = FModalResult;
    // The owner takes the activation back before this window goes.
    EnableWindows(disabled);
    if (active && IsWindow(active)) SetActiveWindow(active);
    Hide();
    FModal = false;
    if (action == TCloseAction::caFree) Free();
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
    return result;
}

}  // namespace ruk
