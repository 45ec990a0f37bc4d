#include "RUKThreads.h"

#include "Classes.h"
#include "SysUtils.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <vector>

using namespace ruk;

namespace {

// A worker whose Execute runs a test's body, with the protected state and the two
// overridable system steps opened up for the tests.
class TProbeThread : public TRUKThread {
public:
    explicit TProbeThread(std::function<void(TProbeThread&)> body)
        : TRUKThread(true), FBody(std::move(body)) {}
    ~TProbeThread() override { WaitForShutdown(); }

    int LastErrorValue() const { return FLastErrorValue; }
    bool ExitTimedOut() const { return FExitTimedOut; }
    bool ExitConfirmed() const { return FExitConfirmed; }
    void SetExitTimeout(Cardinal ms) { FExitTimeout = ms; }
    void SetTimes(TDateTime start, TDateTime end) {
        FStartTime = start;
        FEndTime = end;
    }

    // Replaces the handle that the operations see (keeps the real thread untouched).
    void UseHandle(HANDLE h) {
        FUseHandle = true;
        FHandleOverride = h;
    }
    // Makes DoExitThread return instead of ending the thread, recording its code.
    bool ExitReturns = false;
    std::vector<int> ExitCodes;

    void DoExitThread(int ExitCode) override {
        if (!ExitReturns) return TRUKThread::DoExitThread(ExitCode);
        ExitCodes.push_back(ExitCode);
    }

protected:
    void Execute() override {
        if (FBody) FBody(*this);
    }
    HANDLE ThreadHandle() const override {
        return FUseHandle ? FHandleOverride : TRUKThread::ThreadHandle();
    }

private:
    std::function<void(TProbeThread&)> FBody;
    bool FUseHandle = false;
    HANDLE FHandleOverride = nullptr;
};

// A copy of the thread's handle with only the given access rights.
HANDLE RestrictedHandle(HANDLE h, DWORD access) {
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), h, GetCurrentProcess(), &copy, access, FALSE, 0);
    return copy;
}

DWORD ExitCodeOf(HANDLE h) {
    DWORD code = 0;
    GetExitCodeThread(h, &code);
    return code;
}

}  // namespace

// ---------------------------------------------------------------- error event

TEST(RUKThread, DoOnErrorOnTheWorkerRunsTheHandlerOnTheUserInterfaceThread) {
    TProbeThread thread([](TProbeThread& t) { t.DoOnError(5); });
    int calls = 0;
    TRUKThread* seenSender = nullptr;
    int seenValue = 0;
    DWORD seenThread = 0;
    thread.OnThreadError = [&](TRUKThread* sender, int anerrorvalue) {
        ++calls;
        seenSender = sender;
        seenValue = anerrorvalue;
        seenThread = GetCurrentThreadId();
    };
    thread.Resume();
    thread.WaitFor();  // runs the worker's synchronized call here
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(seenSender, &thread);
    EXPECT_EQ(seenValue, 5);
    EXPECT_EQ(seenThread, MainThreadID());
    EXPECT_EQ(thread.LastErrorValue(), 5);
}

TEST(RUKThread, DoOnErrorWithoutHandlerKeepsTheFormerValue) {
    TProbeThread thread(nullptr);
    int calls = 0;
    thread.OnThreadError = [&](TRUKThread*, int) { ++calls; };
    thread.DoOnError(5);  // on the user-interface thread: at once
    EXPECT_EQ(calls, 1);
    thread.OnThreadError = nullptr;
    thread.DoOnError(9);
    EXPECT_EQ(thread.LastErrorValue(), 5);
    thread.CallOnThreadError();  // unassigned: nothing
    thread.CallOnExitThread();
    EXPECT_EQ(calls, 1);
}

// ---------------------------------------------------------------- ExitThread

TEST(RUKThread, ExitThreadInExecuteEndsTheWorkerWithReturnValue) {
    std::atomic<bool> after{false};
    TProbeThread thread([&](TProbeThread& t) {
        t.SetReturnValue(3);
        t.ExitThread();
        after = true;
    });
    bool terminated = false;
    thread.OnTerminate = [&](TObject*) { terminated = true; };
    thread.Resume();
    EXPECT_EQ(thread.WaitFor(), 3u);
    EXPECT_EQ(ExitCodeOf(thread.Handle()), 3u);
    EXPECT_FALSE(after);
    EXPECT_FALSE(terminated);  // the thread ended before its termination steps
}

TEST(RUKThread, ExitThreadFiresTheExitEventFirst) {
    TProbeThread thread([](TProbeThread& t) {
        t.SetReturnValue(11);
        t.ExitThread();
    });
    std::vector<DWORD> handlerThreads;
    TObject* sender = nullptr;
    thread.OnExitThread = [&](TObject* s) {
        sender = s;
        handlerThreads.push_back(GetCurrentThreadId());
    };
    thread.Resume();
    EXPECT_EQ(thread.WaitFor(), 11u);
    ASSERT_EQ(handlerThreads.size(), 1u);
    EXPECT_EQ(handlerThreads[0], MainThreadID());
    EXPECT_EQ(sender, &thread);
}

TEST(RUKThread, NegativeExitCodeRaisesRangeErrorAndEndsNothing) {
    std::atomic<bool> after{false};
    TProbeThread thread([&](TProbeThread& t) {
        t.SetReturnValue(-1);
        try {
            t.ExitThread();
        } catch (const ERangeError&) {
            after = true;
            t.SetReturnValue(4);
        }
    });
    thread.Resume();
    EXPECT_EQ(thread.WaitFor(), 4u);
    EXPECT_TRUE(after);
}

TEST(RUKThread, ExitThreadOnItsOwnThreadTimesOutWhenTheExitReturns) {
    int result = -1;
    TProbeThread thread([&](TProbeThread& t) {
        t.ExitReturns = true;
        t.SetReturnValue(8);
        result = t.ExitThread();  // waits 0 ms for itself
    });
    thread.Resume();
    thread.WaitFor();
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(thread.ExitTimedOut());
    EXPECT_FALSE(thread.ExitConfirmed());
    EXPECT_EQ(thread.ExitCodes, std::vector<int>{8});
}

TEST(RUKThread, ExitThreadOfAnEndedThreadConfirmsItsExitCode) {
    TProbeThread thread([](TProbeThread& t) { t.SetReturnValue(12); });
    thread.Resume();
    thread.WaitFor();
    thread.ExitReturns = true;
    thread.SetExitTimeout(1000);
    EXPECT_FALSE(thread.Terminated());
    EXPECT_EQ(thread.ExitThread(), 12);
    EXPECT_TRUE(thread.ExitConfirmed());
    EXPECT_FALSE(thread.ExitTimedOut());
    EXPECT_TRUE(thread.Terminated());
}

TEST(RUKThread, ExitThreadReportsInvalidHandleAndUnreadableExitCode) {
    TProbeThread thread(nullptr);
    thread.Resume();
    thread.WaitFor();
    thread.ExitReturns = true;
    for (HANDLE invalid : {HANDLE(nullptr), INVALID_HANDLE_VALUE}) {
        thread.UseHandle(invalid);
        EXPECT_EQ(thread.ExitThread(), ERROR_INVALID_HANDLE);
    }
    // A handle that may be waited on but not queried.
    HANDLE waitOnly = RestrictedHandle(thread.Handle(), SYNCHRONIZE);
    ASSERT_NE(waitOnly, nullptr);
    thread.UseHandle(waitOnly);
    EXPECT_EQ(thread.ExitThread(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(thread.ExitConfirmed());
    EXPECT_FALSE(thread.Terminated());
    CloseHandle(waitOnly);
}

// ---------------------------------------------------------------- TerminateThread

TEST(RUKThread, TerminateThreadEndsABlockedWorkerWithReturnValue) {
    HANDLE never = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> running{false}, after{false};
    TProbeThread thread([&](TProbeThread&) {
        running = true;
        WaitForSingleObject(never, INFINITE);
        after = true;
    });
    thread.Resume();
    while (!running) Sleep(1);
    thread.SetReturnValue(7);
    EXPECT_FALSE(thread.Terminated());
    EXPECT_EQ(thread.TerminateThread(), 7);
    EXPECT_TRUE(thread.Terminated());
    EXPECT_EQ(WaitForSingleObject(thread.Handle(), 5000), WAIT_OBJECT_0);
    EXPECT_EQ(ExitCodeOf(thread.Handle()), 7u);
    EXPECT_FALSE(after);
    CloseHandle(never);
}

TEST(RUKThread, FailedTerminationReturnsTheSystemErrorAndLeavesTerminated) {
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    TProbeThread thread([&](TProbeThread&) { WaitForSingleObject(release, INFINITE); });
    thread.Resume();
    HANDLE queryOnly = RestrictedHandle(thread.Handle(), SYNCHRONIZE | THREAD_QUERY_INFORMATION);
    ASSERT_NE(queryOnly, nullptr);
    thread.UseHandle(queryOnly);
    thread.SetReturnValue(7);
    EXPECT_EQ(thread.TerminateThread(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(thread.Terminated());
    EXPECT_EQ(WaitForSingleObject(thread.Handle(), 0), DWORD(WAIT_TIMEOUT));  // still running
    SetEvent(release);
    thread.WaitFor();
    CloseHandle(queryOnly);
    CloseHandle(release);
}

TEST(RUKThread, NegativeTerminationCodeRaisesOnlyWithAValidHandle) {
    TProbeThread thread(nullptr);
    thread.SetReturnValue(-2);
    EXPECT_THROW(thread.DoTerminateThread(-2), ERangeError);
    EXPECT_THROW(thread.TerminateThread(), ERangeError);
    EXPECT_FALSE(thread.Terminated());
    thread.UseHandle(nullptr);
    EXPECT_FALSE(thread.DoTerminateThread(-2));
}

// ---------------------------------------------------------------- times

TEST(RUKThread, QueriesWithAnInvalidHandleGiveMinusOne) {
    TProbeThread thread(nullptr);
    for (HANDLE invalid : {HANDLE(nullptr), INVALID_HANDLE_VALUE}) {
        thread.UseHandle(invalid);
        EXPECT_EQ(thread.RetKernelModeProcessingTime(), -1);
        EXPECT_EQ(thread.RetUserModeProcessingTime(), -1);
        EXPECT_EQ(thread.RetTotalProcessingTime(), -1);
        EXPECT_FALSE(thread.DoTerminateThread(0));
    }
    // A handle that cannot be queried: the query fails.
    HANDLE waitOnly = RestrictedHandle(GetCurrentThread(), SYNCHRONIZE);
    thread.UseHandle(waitOnly);
    EXPECT_EQ(thread.RetTotalProcessingTime(), -1);
    CloseHandle(waitOnly);
}

TEST(RUKThread, ProcessingTimesOfARealThread) {
    TProbeThread thread([](TProbeThread&) {
        volatile unsigned x = 0;
        for (unsigned i = 0; i < 20000000u; ++i) x = x + i;
    });
    thread.Resume();
    thread.WaitFor();
    const Int64 kernel = thread.RetKernelModeProcessingTime();
    const Int64 user = thread.RetUserModeProcessingTime();
    EXPECT_GE(kernel, 0);
    EXPECT_GE(user, 0);
    EXPECT_EQ(thread.RetTotalProcessingTime(), kernel + user);

    FILETIME c, e, k, u;
    ASSERT_TRUE(GetThreadTimes(thread.Handle(), &c, &e, &k, &u));
    EXPECT_EQ(user, Int64((std::uint64_t(u.dwHighDateTime) << 32) | u.dwLowDateTime));
}

TEST(RUKThread, RetElapsedTimeGivesTheMillisecondsWithinADay) {
    struct Case {
        TDateTime start, end;
        int expected;
        const char* what;
    } cases[] = {
        {0.0, 2.0, -1, "start unset"},
        {2.0, 0.0, -1, "end unset"},
        {-1.0, 2.0, -1, "start negative"},
        {1000.0, 1001.5, 43200000, "a day and a half"},
        {1000.0, 1001.0, 0, "exactly one day"},
        {1000.0, 1000.25, 21600000, "six hours"},
        {1001.5, 1000.0, 43200000, "negative difference by its size"},
        {1.0, 1.0 + 1.0 / 2048, 42188, "tie 42187.5 to even"},
        {1.0, 1.0 + 3.0 / 2048, 126562, "tie 126562.5 to even"},
        {5.0, 5.0, 0, "no difference"},
    };
    TProbeThread thread(nullptr);
    EXPECT_EQ(thread.RetElapsedTime(), -1);  // a new object has neither time
    for (const auto& c : cases) {
        thread.SetTimes(c.start, c.end);
        EXPECT_EQ(thread.RetElapsedTime(), c.expected) << c.what;
    }
}

TEST(RUKThread, RetExitCodeIsReturnValue) {
    TProbeThread thread(nullptr);
    EXPECT_EQ(thread.RetExitCode(), 0);
    thread.SetReturnValue(42);
    EXPECT_EQ(thread.RetExitCode(), 42);
}
