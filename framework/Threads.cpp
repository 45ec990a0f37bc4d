#include "Threads.h"

#include <process.h>
#include <emmintrin.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <mutex>
#include <optional>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace ruk {

namespace {

DWORD gMainThreadId = GetCurrentThreadId();  // static initialisation runs on the main thread

// One synchronize call of a waiting worker; it lives on the worker's stack.
struct SyncRequest {
    const TThreadMethod* method;
    const TThread* thread;
    std::exception_ptr error;
    HANDLE wake;  // the worker's own wake-up event
    // 0: waiting (the worker spins), 1: done, 2: waiting (the worker sleeps on wake).
    std::atomic<int> state{0};
};

std::mutex gSyncLock;
std::deque<SyncRequest*> gSyncQueue;
std::atomic<int> gSyncPending{0};      // requests in gSyncQueue
std::atomic<int> gMainWaiting{0};      // WaitFor calls of the main thread under way
std::atomic<bool> gMainPolling{false}; // one of them looks at the queue without sleeping

// Turns so long that a thread waits without sleeping for a moment, for a partner that is
// about to answer (a synchronized call of a few microseconds, the next call of a worker
// that delivers one event after the other); sleeping and waking costs far more. The engine
// benchmark (scripts/bench) measures both in one run: a word-list worker whose every event
// goes through Synchronize delivered 220,000 to 310,000 events a second with these turns and
// 12,000 to 18,000 without them (15 to 20 times fewer), so they stay.
// SetSynchronizeSpinTurns changes them for that measurement.
std::atomic<int> gSpinTurns{4000};

inline void SpinPause() { _mm_pause(); }

// The main thread looks at the queue without sleeping for the spin turns, or until stop()
// holds; workers that queue a call meanwhile leave out their wake-up. Whether calls wait at
// the end: one queued before the look-out ended has no wake-up of its own, so the caller
// runs it or gives it one.
template <class Stop>
bool LookOutForCalls(Stop stop) {
    gMainPolling.store(true);
    const int spinTurns = gSpinTurns.load();
    for (int turn = 0; turn < spinTurns && gSyncPending.load() == 0 && !stop(); ++turn) SpinPause();
    gMainPolling.store(false);
    return gSyncPending.load() > 0;
}

// The calling thread's own auto-reset event, made on its first use, closed when it ends.
HANDLE ThreadWakeEvent() {
    struct Holder {
        HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        ~Holder() {
            if (event != nullptr) CloseHandle(event);
        }
    };
    thread_local Holder holder;
    return holder.event;
}

// Marks a request done and wakes its worker if it sleeps; the request may be gone at once.
void CompleteRequest(SyncRequest* request) {
    const HANDLE wake = request->wake;
    if (request->state.exchange(1) == 2) SetEvent(wake);
}

// Counts a stretch of a main-thread WaitFor in which it waits (and does not run calls), so
// that workers leave out the posted wake-up; the count also goes down when WaitFor raises.
class TMainWaitingStretch {
public:
    TMainWaitingStretch() { gMainWaiting.fetch_add(1); }
    ~TMainWaitingStretch() {
        gMainPolling.store(false);
        gMainWaiting.fetch_sub(1);
    }
    TMainWaitingStretch(const TMainWaitingStretch&) = delete;
    TMainWaitingStretch& operator=(const TMainWaitingStretch&) = delete;
};

std::atomic<HWND> gSyncWindow{nullptr};
// Threads whose synchronized call runs right now (main thread only; nested by modal loops).
std::vector<const TThread*> gRunningCalls;

// Private message of our own window class; no other window receives it.
constexpr UINT WM_RUK_SYNCHRONIZE = WM_APP + 0x3A1;
const char* const kSyncWindowClass = "RUKSynchronizeWindow";

// Signalled for every queued call, so that WaitFor on the main thread also notices calls
// while no window exists or while posted messages are not being dispatched.
HANDLE SyncEvent() {
    static const HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    return event;
}

// How long the message loop goes on taking calls as they come once it has been woken for
// one: a worker that delivers one event after the other then has each run at once, without
// a posted wake-up, a trip through the message loop and an idle step for every event. The
// stretch is short enough that input and painting still get their turn several times in a
// tenth of a second.
constexpr double kDeliveryStretchMs = 15;
std::atomic<double> gStretchMs{kDeliveryStretchMs};

LRESULT CALLBACK SyncWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_RUK_SYNCHRONIZE) {
        CheckSynchronizeFor(gStretchMs.load());
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

[[noreturn]] void RaiseThreadError(DWORD code) {
    const std::string text = Format("Thread Error: %s (%d)", SysErrorMessage(code).c_str(), static_cast<int>(code));
    SetLastError(code);
    throw EThread(text);
}

void CheckThreadError(bool ok) {
    if (!ok) RaiseThreadError(GetLastError());
}

bool OnMainThread() { return GetCurrentThreadId() == MainThreadID(); }

}  // namespace

DWORD MainThreadID() {
    // Asked for during another unit's static initialisation, before ours ran: that, too,
    // happens on the main thread.
    if (gMainThreadId == 0) gMainThreadId = GetCurrentThreadId();
    return gMainThreadId;
}

void InitSynchronizeWindow() {
    if (!OnMainThread() || gSyncWindow.load() != nullptr) return;
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(&__ImageBase);
    WNDCLASSA wc{};
    wc.lpfnWndProc = SyncWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kSyncWindowClass;
    WNDCLASSA existing{};
    // Without the window, calls queued during a modal loop would wait for its end: a failure
    // raises here rather than leave the queue half served.
    if (!GetClassInfoA(instance, kSyncWindowClass, &existing) && !RegisterClassA(&wc)) RaiseLastOSError();
    const HWND window = CreateWindowExA(0, kSyncWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (window == nullptr) RaiseLastOSError();
    gSyncWindow.store(window);
    // Calls queued before the window existed get their wake-up now.
    std::lock_guard<std::mutex> lock(gSyncLock);
    if (!gSyncQueue.empty()) PostMessageA(window, WM_RUK_SYNCHRONIZE, 0, 0);
}

HWND SynchronizeWindow() { return gSyncWindow.load(); }

int SetSynchronizeSpinTurns(int turns) { return gSpinTurns.exchange(std::max(turns, 0)); }

double SetSynchronizeStretchMs(double ms) { return gStretchMs.exchange(std::max(ms, 0.0)); }

bool CheckSynchronize() {
    if (!OnMainThread()) return false;
    std::deque<SyncRequest*> batch;
    {
        std::lock_guard<std::mutex> lock(gSyncLock);
        batch.swap(gSyncQueue);
        gSyncPending.fetch_sub(static_cast<int>(batch.size()));
    }
    if (batch.empty()) return false;
    // A call may enter a modal loop that runs this again; it then takes the calls queued
    // since, while the rest of this batch waits for the outer call to return.
    for (SyncRequest* request : batch) {
        gRunningCalls.push_back(request->thread);
        try {
            (*request->method)();
        } catch (...) {
            request->error = std::current_exception();
        }
        gRunningCalls.pop_back();
        CompleteRequest(request);
    }
    return true;
}

bool CheckSynchronizeFor(double budgetMs) {
    if (!CheckSynchronize()) return false;
    if (budgetMs <= 0) return true;
    const double started = MillisecondsNow();
    while (LookOutForCalls([] { return false; })) {
        if (MillisecondsNow() - started >= budgetMs) {
            if (const HWND window = gSyncWindow.load()) PostMessageA(window, WM_RUK_SYNCHRONIZE, 0, 0);
            break;
        }
        CheckSynchronize();
    }
    return true;
}

TThread::TThread(bool createSuspended) : FCreateSuspended(createSuspended) {
    if (OnMainThread()) InitSynchronizeWindow();
    SyncEvent();
    FFpuControlWord = GetFPUControlWord();
    FSuspended = true;
    unsigned id = 0;
    const uintptr_t handle = _beginthreadex(nullptr, 0, &TThread::ThreadProc, this, CREATE_SUSPENDED, &id);
    if (handle == 0) {
        const DWORD code = GetLastError();
        RaiseThreadError(code != 0 ? code : ERROR_NOT_ENOUGH_MEMORY);
    }
    FHandle = reinterpret_cast<HANDLE>(handle);
    FThreadID = id;
    if (!createSuspended) Resume();
}

TThread::~TThread() {
    WaitForShutdown();
    if (FHandle != nullptr) {
        // Nothing of this thread can still be queued: it waits in Synchronize until its
        // call has run, and it has ended. Drop any entry all the same, never to run it.
        {
            std::lock_guard<std::mutex> lock(gSyncLock);
            for (auto it = gSyncQueue.begin(); it != gSyncQueue.end();) {
                if ((*it)->thread == this) {
                    CompleteRequest(*it);
                    it = gSyncQueue.erase(it);
                    gSyncPending.fetch_sub(1);
                } else {
                    ++it;
                }
            }
        }
        CloseHandle(FHandle);
        FHandle = nullptr;
    }
}

unsigned __stdcall TThread::ThreadProc(void* param) {
    TThread* thread = static_cast<TThread*>(param);
    SetFPUControlWord(thread->FFpuControlWord);
    if (!thread->FTerminated) {
        try {
            thread->Execute();
        } catch (...) {
            thread->FFatalException = std::current_exception();
        }
    }
    const bool freeThread = thread->FFreeOnTerminate;
    const unsigned result = static_cast<unsigned>(thread->FReturnValue);
    try {
        thread->DoTerminate();
    } catch (...) {
        // OnTerminate's exception, raised again here by Synchronize, must not leave the
        // thread: it is held like one of Execute unless that one came first.
        if (!thread->FFatalException) thread->FFatalException = std::current_exception();
    }
    thread->FFinished = true;
    if (freeThread) delete thread;
    return result;
}

void TThread::DoTerminate() {
    if (OnTerminate) Synchronize([this] { OnTerminate(this); });
}

DWORD TThread::DoSuspend() { return SuspendThread(FHandle); }

DWORD TThread::DoResume() { return ResumeThread(FHandle); }

void TThread::Resume() {
    DWORD previous;
    if (!FStarted) {
        previous = ResumeThread(FHandle);
        if (previous != static_cast<DWORD>(-1)) FStarted = true;
    } else {
        previous = DoResume();
    }
    CheckThreadError(previous != static_cast<DWORD>(-1));
    if (previous == 1) FSuspended = false;
}

void TThread::Suspend() {
    const bool old = FSuspended;
    FSuspended = true;
    const DWORD previous = FStarted ? DoSuspend() : SuspendThread(FHandle);
    if (previous == static_cast<DWORD>(-1)) {
        FSuspended = old;
        RaiseThreadError(GetLastError());
    }
}

DWORD TThread::WaitFor() {
    if (GetCurrentThreadId() == FThreadID) RaiseThreadError(ERROR_POSSIBLE_DEADLOCK);
    if (OnMainThread()) {
        // Inside this thread's own synchronized call (its OnTerminate, say) the thread
        // waits for the call to return: waiting for the thread would never end.
        if (std::find(gRunningCalls.begin(), gRunningCalls.end(), this) != gRunningCalls.end())
            RaiseThreadError(ERROR_POSSIBLE_DEADLOCK);
        const HANDLE handles[2] = {FHandle, SyncEvent()};
        std::optional<TMainWaitingStretch> waiting;
        waiting.emplace();
        // While the calls run, this thread neither waits nor looks at the queue (a call may
        // sit in a modal loop that needs the posted wake-ups).
        auto runCalls = [&waiting] {
            waiting.reset();
            CheckSynchronize();
            waiting.emplace();
        };
        for (;;) {
            // A while without sleeping: a worker that delivers one event after the other has
            // each run at once, without a wake-up on either side.
            if (LookOutForCalls([this] { return FFinished; })) {
                runCalls();
                continue;
            }
            // Sent messages are let through so that a window of another thread that
            // sends to ours during the wait is not blocked.
            const DWORD r = MsgWaitForMultipleObjects(2, handles, FALSE, INFINITE, QS_SENDMESSAGE);
            if (r == WAIT_OBJECT_0) break;
            if (r == WAIT_OBJECT_0 + 1) {
                runCalls();
            } else if (r == WAIT_OBJECT_0 + 2) {
                MSG msg;
                PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
            } else {
                CheckThreadError(false);
            }
        }
        // A call queued just before the end may still wait for its wake-up; once the stretch
        // has ended, a worker posts its wake-up message again.
        waiting.reset();
        CheckSynchronize();
    } else {
        CheckThreadError(WaitForSingleObject(FHandle, INFINITE) != WAIT_FAILED);
    }
    DWORD code = 0;
    CheckThreadError(GetExitCodeThread(FHandle, &code) != FALSE);
    return code;
}

void TThread::WaitForShutdown() {
    if (FHandle == nullptr || FFinished || GetCurrentThreadId() == FThreadID) return;
    Terminate();
    // Lift the initial suspension of a thread that never ran, then any pause.
    if (!FStarted) {
        if (ResumeThread(FHandle) != static_cast<DWORD>(-1)) FStarted = true;
    }
    for (int i = 0; FSuspended && i < 1000; ++i) {
        const DWORD previous = DoResume();
        if (previous == static_cast<DWORD>(-1) || previous <= 1) break;
    }
    FSuspended = false;
    WaitFor();
}

std::string TThread::FatalExceptionMessage() const {
    if (!FFatalException) return std::string();
    try {
        std::rethrow_exception(FFatalException);
    } catch (const std::exception& e) {
        return e.what();  // Exception's what() is its message
    } catch (...) {
        return std::string();
    }
}

void TThread::Synchronize(const TThreadMethod& method) {
    if (OnMainThread()) {
        method();
        return;
    }
    SyncRequest request{&method, this, nullptr, ThreadWakeEvent()};
    {
        std::lock_guard<std::mutex> lock(gSyncLock);
        gSyncQueue.push_back(&request);
        gSyncPending.fetch_add(1);
    }
    // A main thread that looks at the queue needs no wake-up; one that sleeps in WaitFor
    // wakes on the event; a message loop on the posted message.
    if (!gMainPolling.load()) {
        SetEvent(SyncEvent());
        if (gMainWaiting.load() == 0)
            if (const HWND window = gSyncWindow.load()) PostMessageA(window, WM_RUK_SYNCHRONIZE, 0, 0);
    }
    const int spinTurns = gSpinTurns.load();
    for (int turn = 0; turn < spinTurns && request.state.load() == 0; ++turn) SpinPause();
    int waiting = 0;
    if (request.state.compare_exchange_strong(waiting, 2)) WaitForSingleObject(request.wake, INFINITE);
    if (request.error) std::rethrow_exception(request.error);
}

}  // namespace ruk
