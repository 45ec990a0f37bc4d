// The main window of the benchmarks that drive it, opened as a first start opens it.
#pragma once

#include "Forms.h"
#include "RUKLexmillMain.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace ruk::bench {

// The application set up, the settings removed (the Wine prefix is the build's), the window
// created and shown.
inline TSDIAppForm* OpenFirstStartWindow() {
    Application->Initialize();
    Application->SetTitle("RUK Lexmill");
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\RUK\\Lexmill");
    TSDIAppForm* form = CreateForm<TSDIAppForm>();
    form->Show();
    return form;
}

// The options of the keyword-list benchmarks, --rows N and --rounds R; false, after the usage
// line, for anything else.
inline bool ReadRowsAndRounds(int argc, char** argv, const char* program, int& rows, int& rounds) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--rows" && i + 1 < argc) {
            rows = std::atoi(argv[++i]);
        } else if (a == "--rounds" && i + 1 < argc) {
            rounds = std::atoi(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: %s [--rows N] [--rounds R]\n", program);
            return false;
        }
    }
    return true;
}

// Seconds on the performance counter.
inline double Now() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

// While it lives, a thread of its own asks the window for a WM_NULL answer every 10 ms and
// keeps when each probe was sent and when the answer came: the longest wait in a stretch of
// time is how long the window did not answer its user.
class TAnswerWatch {
public:
    explicit TAnswerWatch(HWND window)
        : FThread([this, window] {
              while (!FStop.load()) {
                  const double sent = Now();
                  DWORD_PTR result = 0;
                  SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 600000, &result);
                  const double answered = Now();
                  {
                      std::lock_guard<std::mutex> lock(FMutex);
                      FProbes.push_back({sent, answered});
                  }
                  Sleep(10);
              }
              FDone.store(true);
          }) {}
    ~TAnswerWatch() {
        FStop.store(true);
        // A probe on its way waits for the window, whose messages are this thread's to run.
        while (!FDone.load()) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            Sleep(1);
        }
        FThread.join();
    }
    TAnswerWatch(const TAnswerWatch&) = delete;
    TAnswerWatch& operator=(const TAnswerWatch&) = delete;

    // The longest wait of a probe that was waiting at some moment between from and to.
    double LongestIn(double from, double to) {
        std::lock_guard<std::mutex> lock(FMutex);
        double longest = 0;
        for (const TProbe& p : FProbes)
            if (p.Answered > from && p.Sent < to) longest = std::max(longest, p.Answered - p.Sent);
        return longest;
    }

private:
    struct TProbe {
        double Sent, Answered;
    };
    std::mutex FMutex;
    std::vector<TProbe> FProbes;
    std::atomic<bool> FStop{false}, FDone{false};
    std::thread FThread;
};

}  // namespace ruk::bench
