// The version dialog's link thread: its report, its own copies, COM on the thread, and a
// library freed while a link is still being opened.
#include "RUKAboutLinkThread.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <windows.h>

#include <atomic>
#include <string>

namespace {

using namespace ruk;

// A message-only window on the test thread that the link thread reports to.
class ReportWindow {
public:
    ReportWindow() : FWnd(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}
    ~ReportWindow() { DestroyWindow(FWnd); }
    HWND Handle() const { return FWnd; }
    // The wParam of the next WM_LINKTHREADDONE, or -1 when none comes in time.
    int WaitForReport(DWORD timeoutMs = 10000) {
        const DWORD start = GetTickCount();
        for (;;) {
            MSG msg;
            while (PeekMessageA(&msg, FWnd, 0, 0, PM_REMOVE))
                if (msg.message == WM_LINKTHREADDONE) return static_cast<int>(msg.wParam);
            const DWORD spent = GetTickCount() - start;
            if (spent >= timeoutMs) return -1;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, timeoutMs - spent, QS_ALLPOSTMESSAGE);
        }
    }

private:
    HWND FWnd;
};

DWORD ExitCodeOf(HANDLE thread) {
    EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    return code;
}

class AboutLinkThread : public ::testing::Test {
protected:
    void TearDown() override { SetLinkOpener(nullptr); }
    ReportWindow Window;
};

TEST_F(AboutLinkThread, ReportsOpenedAndNotOpened) {
    for (INT_PTR answer : {42, 2, 32, 33}) {
        SetLinkOpener([answer](HWND, const std::string&) { return answer; });
        TRUKAboutURLInfo info{Window.Handle(), "https://www.ruk.example/"};
        DWORD id = 0;
        HANDLE thread = StartOpenLinkThread(info, id);
        ASSERT_NE(thread, nullptr);
        EXPECT_NE(id, 0u);
        EXPECT_EQ(Window.WaitForReport(), answer > 32 ? 1 : 0) << answer;
        EXPECT_EQ(ExitCodeOf(thread), static_cast<DWORD>(answer));
    }
}

TEST_F(AboutLinkThread, TheThreadWorksOnItsOwnCopies) {
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::string seenLink;
    HWND seenWindow = nullptr;
    SetLinkOpener([&](HWND window, const std::string& link) -> INT_PTR {
        WaitForSingleObject(go, 10000);
        seenWindow = window;
        seenLink = link;
        return 33;
    });
    DWORD id = 0;
    HANDLE thread;
    {
        auto info = std::make_unique<TRUKAboutURLInfo>();
        info->FHandle = Window.Handle();
        info->FURL = "https://www.ruk.example/products/";
        thread = StartOpenLinkThread(*info, id);
        ASSERT_NE(thread, nullptr);
        // The dialog goes away before the thread has read anything.
        info->FURL.assign(100, 'x');
        info.reset();
    }
    SetEvent(go);
    EXPECT_EQ(Window.WaitForReport(), 1);
    EXPECT_EQ(ExitCodeOf(thread), 33u);
    EXPECT_EQ(seenLink, "https://www.ruk.example/products/");
    EXPECT_EQ(seenWindow, Window.Handle());
    CloseHandle(go);
}

TEST_F(AboutLinkThread, ComIsInitialisedOnTheThread) {
    std::atomic<HRESULT> probe{E_FAIL};
    SetLinkOpener([&](HWND, const std::string&) -> INT_PTR {
        // S_FALSE: this thread's apartment exists already.
        const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        if (SUCCEEDED(hr)) CoUninitialize();
        probe = hr;
        return 33;
    });
    TRUKAboutURLInfo info{Window.Handle(), "https://www.ruk.example/"};
    DWORD id = 0;
    HANDLE thread = StartOpenLinkThread(info, id);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(Window.WaitForReport(), 1);
    ExitCodeOf(thread);
    EXPECT_EQ(probe.load(), S_FALSE);
}

using TStartSlowLink = HANDLE(__stdcall*)(HWND, DWORD, DWORD*);

TEST_F(AboutLinkThread, FreeingTheLibraryDuringASlowOpenIsSafe) {
    HMODULE library = LoadLibraryA("RtlLinkTestLibrary.dll");
    ASSERT_NE(library, nullptr) << GetLastError();
    auto start = reinterpret_cast<TStartSlowLink>(reinterpret_cast<void*>(GetProcAddress(library, "StartSlowLink")));
    ASSERT_NE(start, nullptr);
    DWORD id = 0;
    HANDLE thread = start(Window.Handle(), 500, &id);
    ASSERT_NE(thread, nullptr);
    // The host frees the library at once, as a program does at exit after a quick About.
    FreeLibrary(library);
    EXPECT_NE(GetModuleHandleA("RtlLinkTestLibrary.dll"), nullptr) << "the thread holds its own reference";
    EXPECT_EQ(Window.WaitForReport(), 1);
    EXPECT_EQ(ExitCodeOf(thread), 33u);
    EXPECT_EQ(GetModuleHandleA("RtlLinkTestLibrary.dll"), nullptr) << "the thread's end frees the library";
}

}  // namespace
