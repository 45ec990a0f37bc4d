// What the tests of windows and workers share: running this thread's messages and the main
// thread's synchronized calls, and answering the message boxes that appear meanwhile.
#pragma once

#include "Controls.h"
#include "Threads.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace ruktest {

// Runs the queued messages of this thread (posted completions, notifications).
inline void Pump() {
    MSG msg;
    for (int round = 0; round < 3; ++round) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(1);
    }
}

// Runs messages and synchronized calls until pred holds or the time runs out; false on
// time-out.
template <class P>
bool PumpUntil(P pred, DWORD timeoutMs = 30000) {
    const DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start > timeoutMs) return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        ruk::CheckSynchronize();
        Sleep(1);
    }
    return true;
}

// While it lives, the message loop takes a running worker's calls one a wake-up, so that a
// test can act between two given deliveries (a short document's run otherwise goes through in
// one stretch of deliveries, before a user's click could come).
class OneDeliveryAWakeUp {
public:
    OneDeliveryAWakeUp() : FOld(ruk::SetSynchronizeStretchMs(0)) {}
    ~OneDeliveryAWakeUp() { ruk::SetSynchronizeStretchMs(FOld); }
    OneDeliveryAWakeUp(const OneDeliveryAWakeUp&) = delete;
    OneDeliveryAWakeUp& operator=(const OneDeliveryAWakeUp&) = delete;

private:
    double FOld;
};

// Runs messages and synchronized calls for about ms milliseconds.
inline void PumpFor(DWORD ms) {
    const DWORD start = GetTickCount();
    PumpUntil([&] { return GetTickCount() - start >= ms; }, ms + 1000);
}

// The message boxes that appear on this thread while it lives: each is recorded (its caption
// and text) and closed as the user would: with OK, or with the button that Answer chose for
// the boxes of its caption (IDYES, IDNO, IDCANCEL; IDCANCEL also stands for closing the box).
// With closeWhen a box stays open until that holds, and at most ten seconds.
class BoxWatcher {
public:
    struct Box {
        std::string Caption;
        std::string Text;
    };
    explicit BoxWatcher(std::function<bool()> closeWhen = nullptr) {
        Seen().clear();
        Closed().clear();
        Answers().clear();
        CloseWhen() = std::move(closeWhen);
        Start() = GetTickCount();
        FTimer = SetTimer(nullptr, 0, 15, Watch);
    }
    ~BoxWatcher() {
        KillTimer(nullptr, FTimer);
        Answers().clear();
        CloseWhen() = nullptr;
    }
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;
    void Answer(const std::string& caption, int button) { Answers()[caption] = button; }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Box& b : Seen()) texts.push_back(b.Text);
        return texts;
    }
    static std::vector<Box>& Seen() {
        static std::vector<Box> seen;
        return seen;
    }

private:
    static std::map<std::string, int>& Answers() {
        static std::map<std::string, int> answers;
        return answers;
    }
    static std::set<HWND>& Closed() {
        static std::set<HWND> closed;
        return closed;
    }
    static std::function<bool()>& CloseWhen() {
        static std::function<bool()> closeWhen;
        return closeWhen;
    }
    static DWORD& Start() {
        static DWORD start = 0;
        return start;
    }
    static std::string WindowText(HWND w) {
        char buffer[1024] = {};
        GetWindowTextA(w, buffer, sizeof buffer);
        return buffer;
    }
    static BOOL CALLBACK CollectStatic(HWND child, LPARAM param) {
        char cls[32] = {};
        GetClassNameA(child, cls, sizeof cls);
        const std::string text = WindowText(child);
        if (_stricmp(cls, "Static") == 0 && !text.empty()) *reinterpret_cast<std::string*>(param) += text;
        return TRUE;
    }
    static BOOL CALLBACK FindBox(HWND w, LPARAM) {
        char cls[32] = {};
        GetClassNameA(w, cls, sizeof cls);
        const bool closeNow = !CloseWhen() || CloseWhen()() || GetTickCount() - Start() > 10000;
        if (closeNow && std::strcmp(cls, "#32770") == 0 && IsWindowVisible(w) && Closed().insert(w).second) {
            Box box{WindowText(w), ""};
            EnumChildWindows(w, CollectStatic, reinterpret_cast<LPARAM>(&box.Text));
            const auto answer = Answers().find(box.Caption);
            Seen().push_back(box);
            PostMessageA(w, WM_COMMAND, answer == Answers().end() ? IDOK : answer->second, 0);
        }
        return TRUE;
    }
    static void CALLBACK Watch(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), FindBox, 0); }
    UINT_PTR FTimer;
};

// Seconds on the performance counter.
inline double Seconds() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// Asks the window for a WM_NULL answer every 10 ms from a thread of its own while it lives, as
// a watchful user would click, and keeps when each probe was sent and answered: the longest
// wait is the longest the window left its user without an answer.
class AnswerWatcher {
public:
    explicit AnswerWatcher(HWND window)
        : FThread([this, window] {
              while (!FStop.load()) {
                  const double sent = Seconds();
                  DWORD_PTR result = 0;
                  SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 600000, &result);
                  const double answered = Seconds();
                  {
                      std::lock_guard<std::mutex> lock(FMutex);
                      FProbes.push_back({sent, answered});
                  }
                  Sleep(10);
              }
              FDone.store(true);
          }) {}
    ~AnswerWatcher() { Stop(); }
    AnswerWatcher(const AnswerWatcher&) = delete;
    AnswerWatcher& operator=(const AnswerWatcher&) = delete;

    // Ends the probes; a probe on its way waits for the window, whose messages are this
    // thread's to run meanwhile.
    void Stop() {
        FStop.store(true);
        if (!FThread.joinable()) return;
        while (!FDone.load()) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            Sleep(1);
        }
        FThread.join();
    }
    // The longest wait in seconds of the probes that were waiting at some moment from from to
    // to (Seconds()); all of them by default.
    double Longest(double from = 0, double to = 1e300) {
        std::lock_guard<std::mutex> lock(FMutex);
        double longest = 0;
        for (const Probe& p : FProbes)
            if (p.Answered > from && p.Sent < to) longest = std::max(longest, p.Answered - p.Sent);
        return longest;
    }

private:
    struct Probe {
        double Sent, Answered;
    };
    std::mutex FMutex;
    std::vector<Probe> FProbes;
    std::atomic<bool> FStop{false}, FDone{false};
    std::thread FThread;
};

// The list view's focus on the row, brought into view, as Ctrl+Home or Ctrl+End leaves it.
inline void FocusListRow(HWND list, int index) {
    LVITEMA item{};
    item.stateMask = LVIS_FOCUSED;
    item.state = LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE);
}

// The row of the list view that has its focus, -1 for none.
inline int FocusedListRow(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

// The clipboard's ANSI text ("" where there is none or the clipboard cannot be had).
inline std::string ClipboardText(HWND owner = nullptr) {
    std::string text;
    if (!OpenClipboard(owner)) return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(GlobalLock(data))) {
            text = p;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// Every message shown through the exception display while it lives, in order.
class MessageCapture {
public:
    MessageCapture() {
        ruk::SetExceptionHandler([this](ruk::TObject*, std::exception_ptr e) {
            try {
                std::rethrow_exception(e);
            } catch (const std::exception& x) {
                Messages.push_back(x.what());
            } catch (...) {
                Messages.push_back("(unknown)");
            }
        });
    }
    ~MessageCapture() { ruk::SetExceptionHandler(nullptr); }
    std::vector<std::string> Messages;
};

}  // namespace ruktest
