// Starts the version dialog's link thread with an opener that waits delayMs and answers 33.
#include "RUKAboutLinkThread.h"

#include <windows.h>

extern "C" __declspec(dllexport) HANDLE __stdcall StartSlowLink(HWND window, DWORD delayMs, DWORD* threadId) {
    ruk::SetLinkOpener([delayMs](HWND, const std::string&) -> INT_PTR {
        Sleep(delayMs);
        return 33;
    });
    ruk::TRUKAboutURLInfo info;
    info.FHandle = window;
    info.FURL = "https://www.ruk.example/";
    return ruk::StartOpenLinkThread(info, *threadId);
}
