// Forms: the application object (its non-visual part: title, plain message boxes, the
// exception display and the message loop with the synchronize queue).
#pragma once

#include "Classes.h"

#include <windows.h>

#include <exception>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace ruk {

// Sees a message before it is translated and dispatched; true when it consumed it
// (accelerators, dialog navigation).
using TMessageHook = std::function<bool(MSG& msg)>;
using TExceptionEvent = std::function<void(TObject* sender, const std::exception_ptr& e)>;

// Everything here runs on the main thread. An exception must never unwind through the
// system's DispatchMessage: window procedures catch what their handlers raise and pass it
// to HandleException.
class TApplication : public TObject {
public:
    TApplication();

    // Creates the window through which workers wake the main thread (InitSynchronizeWindow).
    void Initialize();

    // The caption of every plain message box; the program's file name without its
    // extension until it is set.
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& title) { FTitle = title; }

    // A message box owned by the active window of this thread (else the main window).
    // (windows.h turns the name into MessageBoxA, here as for every caller.)
    int MessageBox(const std::string& text, const std::string& caption, UINT flags = MB_OK);
    // Tests answer the message boxes in place of the user: the hook gets text, caption and
    // flags and returns the button; null shows them again.
    using TMessageBoxHook = std::function<int(const std::string& text, const std::string& caption, UINT flags)>;
    void SetMessageBoxHook(TMessageBoxHook hook) { FMessageBoxHook = std::move(hook); }

    // The default exception display: a message box with the exception's message as it
    // stands, the title as caption, an error icon and one OK button. An exception that is
    // not an Exception shows its what(), one of no exception class the empty message.
    void ShowException(const std::exception_ptr& e);
    void ShowException(const std::string& message);
    // Call inside a catch block: shows the exception being handled (through OnException
    // when it is assigned); EAbort is silent.
    void HandleException(TObject* sender = nullptr);
    TExceptionEvent OnException;

    // The message loop: runs until WM_QUIT arrives (Terminate posts it). When the queue is
    // empty it runs the synchronize calls, then OnIdle, then waits for the next message.
    void Run();
    // Handles every message waiting in the queue, then returns.
    void ProcessMessages();
    // One message, or the idle step when there is none.
    void HandleMessage();
    // Posts WM_QUIT to the main thread; Terminated becomes true when the loop receives it.
    void Terminate();
    bool Terminated() const { return FTerminated; }

    // Hooks for the visual layer.
    // Hooks see a message in the order they were added; the id removes one again.
    int AddMessageHook(TMessageHook hook);
    void RemoveMessageHook(int id);
    // Runs the hooks on a message; true when one consumed it. For message loops of our own.
    bool RunMessageHooks(MSG& msg);
    // The idle step of the loop: synchronize calls, OnIdle, then waiting for a message.
    void Idle();
    std::function<void()> OnIdle;
    // Owner of message boxes when no window of ours is active; when it is destroyed
    // while Run is looping, Run ends.
    HWND MainWindow() const { return FMainWindow; }
    void SetMainWindow(HWND window) { FMainWindow = window; }

private:
    bool ProcessMessage();
    std::string FTitle;
    TMessageBoxHook FMessageBoxHook;
    bool FTerminated = false;
    HWND FMainWindow = nullptr;
    std::vector<std::pair<int, TMessageHook>> FMessageHooks;
    int FNextHookId = 1;
};

extern TApplication* Application;

// A plain one-button message box with the application's title as caption.
void ShowMessage(const std::string& message);

}  // namespace ruk
