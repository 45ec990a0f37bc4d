#include "Threads.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <stdexcept>
#include <vector>

using namespace ruk;

namespace {

// A worker whose Execute is given as a function; it keeps its own state, so it is
// created suspended and shuts its thread down in its destructor.
class FnThread : public TThread {
public:
    explicit FnThread(std::function<void(FnThread&)> body, bool* destroyed = nullptr)
        : TThread(true), FBody(std::move(body)), FDestroyed(destroyed) {}
    ~FnThread() override {
        WaitForShutdown();
        if (FDestroyed) *FDestroyed = true;
    }

    std::atomic<int> Executions{0};
    std::atomic<DWORD> ExecuteThread{0};

protected:
    void Execute() override {
        ++Executions;
        ExecuteThread = GetCurrentThreadId();
        FBody(*this);
    }

private:
    std::function<void(FnThread&)> FBody;
    bool* FDestroyed;
};

// The suspend count of a thread, read by suspending it once more.
DWORD SuspendCount(HANDLE thread) {
    const DWORD previous = SuspendThread(thread);
    ResumeThread(thread);
    return previous;
}

// Runs the main thread's queued calls until done() holds (a worker needs the main thread).
void PumpUntil(const std::function<bool()>& done) {
    while (!done()) {
        if (!CheckSynchronize()) Sleep(1);
    }
}

}  // namespace

TEST(Thread, MainThreadIsTheOneRunningTheTests) {
    EXPECT_EQ(MainThreadID(), GetCurrentThreadId());
    EXPECT_FALSE(CheckSynchronize());
}

TEST(Thread, CreatedSuspendedRunsOnlyAfterResume) {
    FnThread t([](FnThread& self) { self.SetReturnValue(7); });
    EXPECT_TRUE(t.Suspended());
    EXPECT_FALSE(t.Finished());
    EXPECT_NE(t.Handle(), nullptr);
    EXPECT_NE(t.ThreadID(), 0u);
    EXPECT_EQ(SuspendCount(t.Handle()), 1u);
    EXPECT_EQ(t.Executions, 0);
    t.Resume();
    EXPECT_FALSE(t.Suspended());
    EXPECT_EQ(t.WaitFor(), 7u);
    EXPECT_TRUE(t.Finished());
    EXPECT_EQ(t.Executions, 1);
    EXPECT_EQ(t.ExecuteThread, t.ThreadID());
    EXPECT_FALSE(t.FatalException());
}

namespace {
std::atomic<int> gAutoRuns{0};
// Keeps no state of its own, so it may be created running.
class AutoThread : public TThread {
public:
    AutoThread() : TThread(false) {}
protected:
    void Execute() override {
        ++gAutoRuns;
        SetReturnValue(3);
    }
};
}  // namespace

TEST(Thread, NotCreatedSuspendedRunsAtOnce) {
    gAutoRuns = 0;
    AutoThread t;
    EXPECT_FALSE(t.Suspended());
    EXPECT_EQ(t.WaitFor(), 3u);
    EXPECT_EQ(gAutoRuns, 1);
}

TEST(Thread, TerminateBeforeFirstRunSkipsExecuteButNotOnTerminate) {
    FnThread t([](FnThread&) {});
    DWORD terminateThread = 0;
    TObject* sender = nullptr;
    t.OnTerminate = [&](TObject* s) {
        sender = s;
        terminateThread = GetCurrentThreadId();
    };
    t.Terminate();
    EXPECT_TRUE(t.Terminated());
    t.Resume();
    t.WaitFor();
    EXPECT_EQ(t.Executions, 0);
    EXPECT_EQ(sender, &t);
    EXPECT_EQ(terminateThread, MainThreadID());
}

TEST(Thread, ReturnValueIsTakenBeforeOnTerminate) {
    FnThread t([](FnThread& self) { self.SetReturnValue(5); });
    int seen = 0;
    t.OnTerminate = [&](TObject*) {
        seen = t.ReturnValue();
        t.SetReturnValue(9);  // too late to change the exit code
    };
    t.Resume();
    EXPECT_EQ(t.WaitFor(), 5u);
    EXPECT_EQ(seen, 5);
}

TEST(Thread, SynchronizeRunsOnTheMainThreadInOrderWhileTheWorkerWaits) {
    std::vector<int> log;
    std::vector<DWORD> threads;
    std::atomic<int> step{0};
    FnThread t([&](FnThread& self) {
        for (int i = 0; i < 20; ++i) {
            step = i;
            self.Synchronize([&, i] {
                log.push_back(step * 100 + i);  // the worker stands still at step i
                threads.push_back(GetCurrentThreadId());
            });
        }
    });
    t.Resume();
    t.WaitFor();
    ASSERT_EQ(log.size(), 20u);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(log[i], i * 100 + i);
        EXPECT_EQ(threads[i], MainThreadID());
    }
    // On the main thread Synchronize calls at once.
    bool ran = false;
    t.Synchronize([&] { ran = true; });
    EXPECT_TRUE(ran);
}

TEST(Thread, SeveralWorkersKeepTheirOwnOrder) {
    std::vector<int> a, b;
    auto body = [](std::vector<int>& out) {
        return [&out](FnThread& self) {
            for (int i = 0; i < 50; ++i) self.Synchronize([&out, i] { out.push_back(i); });
        };
    };
    FnThread ta(body(a)), tb(body(b));
    ta.Resume();
    tb.Resume();
    ta.WaitFor();
    tb.WaitFor();
    std::vector<int> expected;
    for (int i = 0; i < 50; ++i) expected.push_back(i);
    EXPECT_EQ(a, expected);
    EXPECT_EQ(b, expected);
}

TEST(Thread, ExceptionOfASynchronizedMethodIsRaisedInTheWorker) {
    std::string caught;
    DWORD caughtOn = 0;
    FnThread t([&](FnThread& self) {
        try {
            self.Synchronize([] { throw EConvertError("bad value"); });
        } catch (const EConvertError& e) {
            caught = e.Message();
            caughtOn = GetCurrentThreadId();
        }
        // Not caught this time: it ends Execute and is held.
        self.Synchronize([] { throw EAbort("stop here"); });
        self.SetReturnValue(1);
    });
    bool terminated = false;
    t.OnTerminate = [&](TObject*) { terminated = true; };
    t.Resume();
    EXPECT_EQ(t.WaitFor(), 0u);
    EXPECT_EQ(caught, "bad value");
    EXPECT_EQ(caughtOn, t.ThreadID());
    EXPECT_TRUE(terminated);
    ASSERT_TRUE(t.FatalException());
    EXPECT_EQ(t.FatalExceptionMessage(), "stop here");
    EXPECT_THROW(std::rethrow_exception(t.FatalException()), EAbort);
}

TEST(Thread, FatalExceptionIsHeldAndNeverCrossesThreads) {
    struct Case { std::function<void()> raise; std::string message; };
    const Case cases[] = {
        {[] { throw EStringListError("List index out of bounds (3)"); }, "List index out of bounds (3)"},
        {[] { throw std::runtime_error("plain"); }, "plain"},
        {[] { throw 42; }, ""},
    };
    for (const Case& c : cases) {
        FnThread t([&](FnThread&) { c.raise(); });
        bool terminated = false;
        t.OnTerminate = [&](TObject*) { terminated = true; };
        t.Resume();
        t.WaitFor();
        EXPECT_TRUE(terminated);
        EXPECT_TRUE(t.FatalException());
        EXPECT_EQ(t.FatalExceptionMessage(), c.message);
    }
    // An exception of OnTerminate is held too.
    FnThread t([](FnThread&) {});
    t.OnTerminate = [](TObject*) { throw EAbort("from the handler"); };
    t.Resume();
    t.WaitFor();
    EXPECT_EQ(t.FatalExceptionMessage(), "from the handler");
}

namespace {

std::atomic<bool> gBoxSynchronized{false};
const char* const kBoxCaption = "RUK Synchronize test box";

// Closes the box once the worker's calls have run, or after ten seconds in any case.
void CALLBACK CloseBoxTimer(HWND, UINT, UINT_PTR, DWORD) {
    static DWORD started = GetTickCount();
    if (!gBoxSynchronized && GetTickCount() - started < 10000) return;
    if (HWND box = FindWindowA(nullptr, kBoxCaption)) PostMessageA(box, WM_COMMAND, IDOK, 0);
}

}  // namespace

TEST(Thread, SynchronizeCompletesWhileTheMainThreadSitsInAMessageBox) {
    InitSynchronizeWindow();
    ASSERT_NE(SynchronizeWindow(), nullptr);
    gBoxSynchronized = false;
    std::vector<DWORD> ranOn;
    bool boxOpen = false;
    FnThread t([&](FnThread& self) {
        for (int i = 0; i < 3; ++i)
            self.Synchronize([&] {
                ranOn.push_back(GetCurrentThreadId());
                if (FindWindowA(nullptr, kBoxCaption) != nullptr) boxOpen = true;
            });
        gBoxSynchronized = true;
    });
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseBoxTimer);
    t.Resume();
    MessageBoxA(nullptr, "Waiting for the worker", kBoxCaption, MB_OK);
    KillTimer(nullptr, timer);
    // The calls ran inside the message box's own loop: before it closed.
    EXPECT_TRUE(gBoxSynchronized);
    EXPECT_TRUE(boxOpen);
    ASSERT_EQ(ranOn.size(), 3u);
    for (DWORD id : ranOn) EXPECT_EQ(id, MainThreadID());
    t.WaitFor();
}

// A message loop woken for one call goes on taking the worker's calls as they come, for a
// stretch at a time: far fewer wake-ups than calls, every call in order, and the loop's own
// messages still handled while the stream lasts. A loop that took one call per wake-up would
// dispatch a message for every call and never run more than a few in one dispatch. How long
// a stretch lasts depends on the worker getting its turn, which a busy machine takes away at
// times: the bounds leave room for that.
TEST(Thread, AMessageLoopTakesAStreamOfCallsInStretchesAndStillHandlesItsMessages) {
    InitSynchronizeWindow();
    const HWND window = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    constexpr int kCalls = 50000;
    std::vector<int> order;
    order.reserve(kCalls);
    std::atomic<bool> done{false};
    FnThread t([&](FnThread& self) {
        for (int i = 0; i < kCalls; ++i)
            self.Synchronize([&, i] {
                order.push_back(i);
                if (i == 1000) PostMessageA(window, WM_APP, 0, 0);
                // A call that takes a few microseconds, as a pane's append does.
                LARGE_INTEGER f, start, now;
                QueryPerformanceFrequency(&f);
                QueryPerformanceCounter(&start);
                do QueryPerformanceCounter(&now);
                while ((now.QuadPart - start.QuadPart) * 1000000 < 5 * f.QuadPart);
            });
        done = true;
    });
    int dispatched = 0;
    size_t handledAt = 0;
    size_t longestDispatch = 0;  // calls run inside one dispatched message
    t.Resume();
    while (!done) {
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            continue;
        }
        ++dispatched;
        if (msg.hwnd == window && msg.message == WM_APP) handledAt = order.size();
        const size_t before = order.size();
        DispatchMessageA(&msg);
        longestDispatch = std::max(longestDispatch, order.size() - before);
    }
    t.WaitFor();
    DestroyWindow(window);
    ASSERT_EQ(order.size(), static_cast<size_t>(kCalls));
    for (int i = 0; i < kCalls; ++i) ASSERT_EQ(order[i], i);
    EXPECT_LT(dispatched, kCalls / 2) << "at most " << longestDispatch << " calls in one dispatch";
    EXPECT_GE(longestDispatch, 200u) << dispatched << " dispatches";
    EXPECT_GT(handledAt, 1000u);
    EXPECT_LT(handledAt, static_cast<size_t>(kCalls));
}

TEST(Thread, DestroyingARunningThreadTerminatesAndWaits) {
    bool destroyed = false;
    bool terminated = false;
    std::atomic<bool> running{false};
    std::atomic<bool> sawTerminated{false};
    auto* t = new FnThread(
        [&](FnThread& self) {
            running = true;
            while (!self.Terminated()) Sleep(1);
            sawTerminated = true;
        },
        &destroyed);
    t->OnTerminate = [&](TObject*) { terminated = true; };
    t->Resume();
    while (!running) Sleep(1);
    delete t;
    EXPECT_TRUE(destroyed);
    EXPECT_TRUE(sawTerminated);
    EXPECT_TRUE(terminated);  // ran on this thread during the destructor's wait
}

TEST(Thread, DestroyingAThreadInsideSynchronizeDoesNotDeadlock) {
    std::atomic<int> calls{0};
    auto* t = new FnThread([&](FnThread& self) {
        while (!self.Terminated()) self.Synchronize([&] { ++calls; });
    });
    t->Resume();
    PumpUntil([&] { return calls >= 3; });
    delete t;  // the worker is (or soon is) waiting in Synchronize
    EXPECT_GE(calls, 3);
}

TEST(Thread, DestroyingANeverStartedThreadRunsNoExecute) {
    bool terminated = false;
    std::atomic<int>* executions = nullptr;
    auto* t = new FnThread([](FnThread&) {});
    executions = &t->Executions;
    t->OnTerminate = [&](TObject*) { terminated = true; EXPECT_EQ(*executions, 0); };
    delete t;
    EXPECT_TRUE(terminated);
}

TEST(Thread, SuspendAndResumeAndDestroyingASuspendedThread) {
    std::atomic<int> ticks{0};
    auto* t = new FnThread([&](FnThread& self) {
        while (!self.Terminated()) {
            ++ticks;
            Sleep(1);
        }
    });
    t->Resume();
    while (ticks < 2) Sleep(1);
    t->Suspend();
    EXPECT_TRUE(t->Suspended());
    const int frozen = ticks;
    Sleep(30);
    EXPECT_EQ(ticks, frozen);
    t->Resume();
    EXPECT_FALSE(t->Suspended());
    while (ticks < frozen + 2) Sleep(1);
    // Suspended twice, then destroyed: the destructor lifts both suspensions.
    t->Suspend();
    t->Suspend();
    t->Resume();
    EXPECT_TRUE(t->Suspended());
    delete t;
}

TEST(Thread, FreeOnTerminateDeletesTheObjectOnItsThread) {
    bool destroyed = false;
    auto* t = new FnThread([](FnThread& self) { self.SetReturnValue(11); }, &destroyed);
    t->SetFreeOnTerminate(true);
    EXPECT_TRUE(t->FreeOnTerminate());
    HANDLE copy = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), t->Handle(), GetCurrentProcess(), &copy, 0, FALSE,
                                DUPLICATE_SAME_ACCESS));
    t->Resume();
    ASSERT_EQ(WaitForSingleObject(copy, 10000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(copy, &code);
    CloseHandle(copy);
    EXPECT_EQ(code, 11u);
    EXPECT_TRUE(destroyed);
}

TEST(Thread, WorkerStartsWithItsCreatorsFloatingPointControlWord) {
    unsigned short mine = 0, theirs = 0;
    __asm__ __volatile__("fnstcw %0" : "=m"(mine));
    FnThread t([&](FnThread&) { __asm__ __volatile__("fnstcw %0" : "=m"(theirs)); });
    t.Resume();
    t.WaitFor();
    EXPECT_EQ(theirs, mine);
}

TEST(Thread, ErrorsOfTheThreadCallsRaiseEThread) {
    FnThread t([](FnThread& self) {
        // Waiting for itself would never end.
        try {
            self.WaitFor();
        } catch (const EThread& e) {
            self.SetReturnValue(Pos("Thread Error: ", e.Message()) == 1 ? 1 : 2);
        }
    });
    t.Resume();
    EXPECT_EQ(t.WaitFor(), 1u);
}

TEST(Thread, WaitingInsideItsOwnSynchronizedCallRaisesInsteadOfHanging) {
    FnThread t([](FnThread&) {});
    std::string message;
    t.OnTerminate = [&](TObject*) {
        try {
            t.WaitFor();
        } catch (const EThread& e) {
            message = e.Message();
        }
    };
    t.Resume();
    t.WaitFor();
    EXPECT_EQ(message, Format("Thread Error: %s (%d)", SysErrorMessage(ERROR_POSSIBLE_DEADLOCK).c_str(),
                              static_cast<int>(ERROR_POSSIBLE_DEADLOCK)));
}

namespace {

// Pauses at its own checkpoints instead of being stopped wherever it is.
class CooperativeThread : public TThread {
public:
    CooperativeThread() : TThread(true), FGo(CreateEventA(nullptr, TRUE, TRUE, nullptr)) {}
    ~CooperativeThread() override {
        WaitForShutdown();
        CloseHandle(FGo);
    }
    std::atomic<int> Steps{0};

protected:
    void Execute() override {
        while (!Terminated()) {
            WaitForSingleObject(FGo, INFINITE);  // the checkpoint
            ++Steps;
            Sleep(1);
        }
    }
    DWORD DoSuspend() override {
        ResetEvent(FGo);
        return 0;
    }
    DWORD DoResume() override {
        SetEvent(FGo);
        return 1;
    }

private:
    HANDLE FGo;
};

}  // namespace

TEST(Thread, SuspendAndResumeCanBeCooperative) {
    auto* t = new CooperativeThread;
    t->Resume();  // the first start resumes the system thread
    while (t->Steps < 2) Sleep(1);
    t->Suspend();
    EXPECT_TRUE(t->Suspended());
    Sleep(20);
    const int paused = t->Steps;
    Sleep(30);
    EXPECT_LE(t->Steps, paused + 1);  // at most the step that was under way
    EXPECT_EQ(SuspendCount(t->Handle()), 0u);  // never stopped by the system
    t->Resume();
    EXPECT_FALSE(t->Suspended());
    while (t->Steps < paused + 3) Sleep(1);
    t->Suspend();
    delete t;  // the destructor lifts the pause through the hook
}
