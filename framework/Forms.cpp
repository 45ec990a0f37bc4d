#include "Forms.h"

#include "Threads.h"

namespace ruk {

namespace {

std::string ProgramName() {
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string name = ExtractFileName(std::string(path, n));
    return ChangeFileExt(name, "");
}

std::string MessageOf(const std::exception_ptr& e) {
    if (!e) return std::string();
    try {
        std::rethrow_exception(e);
    } catch (const std::exception& x) {
        return x.what();  // an Exception's what() is its message
    } catch (...) {
        return std::string();
    }
}

TApplication gApplication;

}  // namespace

TApplication* Application = &gApplication;

TApplication::TApplication() : FTitle(ProgramName()) {}

void TApplication::Initialize() { InitSynchronizeWindow(); }

int TApplication::AddMessageHook(TMessageHook hook) {
    const int id = FNextHookId++;
    FMessageHooks.emplace_back(id, std::move(hook));
    return id;
}

void TApplication::RemoveMessageHook(int id) {
    for (auto it = FMessageHooks.begin(); it != FMessageHooks.end(); ++it)
        if (it->first == id) {
            FMessageHooks.erase(it);
            return;
        }
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, UINT flags) {
    if (FMessageBoxHook) return FMessageBoxHook(text, caption, flags);
    HWND owner = GetActiveWindow();
    if (owner == nullptr && FMainWindow != nullptr && IsWindow(FMainWindow)) owner = FMainWindow;
    // An owner that a modal form has disabled stays disabled: the box must not hand the
    // window back its input while that form is still open.
    const bool ownerDisabled = owner != nullptr && !IsWindowEnabled(owner);
    const int answer = ::MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
    if (ownerDisabled && IsWindow(owner) && IsWindowEnabled(owner)) EnableWindow(owner, FALSE);
    return answer;
}

void TApplication::ShowException(const std::string& message) {
    MessageBox(message, FTitle, MB_OK | MB_ICONERROR);
}

void TApplication::ShowException(const std::exception_ptr& e) { ShowException(MessageOf(e)); }

void TApplication::HandleException(TObject* sender) {
    const std::exception_ptr e = std::current_exception();
    if (!e) return;
    try {
        std::rethrow_exception(e);
    } catch (const EAbort&) {
        return;
    } catch (...) {
    }
    if (OnException) {
        try {
            OnException(sender, e);
            return;
        } catch (...) {
            // The handler itself failed: fall back to the default display of its error.
            ShowException(std::current_exception());
            return;
        }
    }
    ShowException(e);
}

bool TApplication::RunMessageHooks(MSG& msg) {
    // A copy: a hook may add or remove hooks.
    const std::vector<std::pair<int, TMessageHook>> hooks = FMessageHooks;
    for (const auto& hook : hooks)
        if (hook.second(msg)) return true;
    return false;
}

bool TApplication::ProcessMessage() {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    if (RunMessageHooks(msg)) return true;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    return true;
}

void TApplication::Idle() {
    CheckSynchronize();
    if (OnIdle) OnIdle();
    if (!FTerminated && !CheckSynchronize()) WaitMessage();
}

void TApplication::HandleMessage() {
    try {
        if (!ProcessMessage()) Idle();
    } catch (...) {
        HandleException(this);
    }
}

void TApplication::ProcessMessages() {
    try {
        while (ProcessMessage()) {
        }
        CheckSynchronize();
    } catch (...) {
        HandleException(this);
    }
}

void TApplication::Run() {
    InitSynchronizeWindow();
    FTerminated = false;
    while (!FTerminated) {
        HandleMessage();
        if (FMainWindow != nullptr && !IsWindow(FMainWindow)) {
            FMainWindow = nullptr;
            Terminate();
        }
    }
}

void TApplication::Terminate() {
    if (GetCurrentThreadId() == MainThreadID())
        PostQuitMessage(0);
    else
        PostThreadMessageA(MainThreadID(), WM_QUIT, 0, 0);
}

void ShowMessage(const std::string& message) { Application->MessageBox(message, Application->Title(), MB_OK); }

}  // namespace ruk
