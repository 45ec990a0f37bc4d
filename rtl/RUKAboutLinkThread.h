// RUKAboutLinkThread: opens a link of the version dialog on a short-lived thread of its own,
// so a slow shell never blocks the dialog. The thread reports back by posting
// WM_LINKTHREADDONE to the dialog's window (wParam 1: opened, 0: not).
//
// The thread owns everything it uses: its own copy of the window handle and the link text,
// COM initialised on it, and a reference to the module its code lives in, which it drops with
// the call that ends it. So the dialog may close, and the host may free the library, while a
// link is still being opened.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace ruk {

constexpr UINT WM_LINKTHREADDONE = WM_APP + 0x3FA;  // 0x83FA

// The window to notify and the link to open, as the dialog hands them to the thread.
struct TRUKAboutURLInfo {
    HWND FHandle = nullptr;
    std::string FURL;
};

// Starts the thread on a copy of info; the handle of the running thread (its identifier in
// threadId), or null with the thread's last error set.
HANDLE StartOpenLinkThread(const TRUKAboutURLInfo& info, DWORD& threadId);

// The thread's function; its parameter is the copy StartOpenLinkThread made, which it frees.
// Exit code: the shell's answer.
DWORD WINAPI OpenLinkThreadProc(LPVOID parameter);

// Test seam: what opens the link, on the link thread (the shell's "open" by default; empty
// restores it). The result is judged as the shell's: above 32 means opened.
using TLinkOpener = std::function<INT_PTR(HWND window, const std::string& link)>;
void SetLinkOpener(TLinkOpener opener);

}  // namespace ruk
