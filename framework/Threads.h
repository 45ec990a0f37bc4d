// Threads: the thread class and the synchronize queue through which a worker runs calls on
// the user-interface (main) thread.
#pragma once

#include "Classes.h"

#include <windows.h>

#include <exception>
#include <functional>
#include <string>

namespace ruk {

using TThreadMethod = std::function<void()>;

// Thread of the user-interface (main) thread: the one that ran the program's static
// initialisation.
DWORD MainThreadID();
// Runs the queued synchronize calls; called by the message loops of the main thread
// (and by anything that waits on the main thread). Returns true when it ran any.
// On any other thread it does nothing and returns false.
bool CheckSynchronize();
// CheckSynchronize, and then, while workers go on queueing calls, their calls as they come
// for about budgetMs; calls still queued then get a posted wake-up (the message loop runs
// them after the messages that wait). Returns true when it ran any.
bool CheckSynchronizeFor(double budgetMs);
// Creates, on the main thread, the hidden message-only window whose window procedure
// runs CheckSynchronize when a worker has queued a call, so that queued calls also run
// inside modal loops (message boxes, dialogs). Idempotent; does nothing on other
// threads. TThread's constructor (on the main thread) and Application->Initialize call it.
// Raises EOSError when the window class or the window cannot be made.
void InitSynchronizeWindow();
// The window above, or null while it does not exist.
HWND SynchronizeWindow();
// For the engine benchmark only: how many turns a worker in Synchronize, and the main thread
// in WaitFor, wait without sleeping before they sleep (0: at once). Returns the value before.
int SetSynchronizeSpinTurns(int turns);
// How long the message loop, once woken for a worker's call, goes on taking further calls as
// they come (CheckSynchronizeFor); 0: one wake-up a call. For tests that act between two
// given deliveries of a running worker. Returns the value before.
double SetSynchronizeStretchMs(double ms);

// Worker thread base. The operating-system thread is always created suspended with the
// object as its argument; unless CreateSuspended it is resumed at once. After Execute
// returns (or raises: the exception is held as FatalException), DoTerminate runs
// OnTerminate through Synchronize; the thread then ends with ReturnValue as exit code
// and deletes its object when FreeOnTerminate was set. ReturnValue and FreeOnTerminate
// are read before DoTerminate runs. A new thread starts with the floating-point control
// word of the thread that constructed it.
//
// With createSuspended false the thread is resumed at the end of TThread's own
// constructor, before a derived constructor has run: only a class that keeps no state
// of its own for Execute may be created that way. Every other worker is created
// suspended and resumed by its creator.
//
// A derived class whose members are used by Execute must call WaitForShutdown() in its
// own destructor, so that the thread has ended before those members are destroyed.
class TThread : public TObject {
public:
    explicit TThread(bool createSuspended);
    ~TThread() override;
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    // Raise EThread "Thread Error: %s (%d)" when the system call fails.
    void Resume();
    void Suspend();
    void Terminate() { FTerminated = true; }
    // Waits for the thread to end and returns its exit code; on the main thread it keeps
    // running synchronize calls (and sent messages) while it waits. Called on the thread
    // itself, or inside one of its own synchronized calls (OnTerminate included), it would
    // never return and raises EThread instead; so a thread is never destroyed there.
    DWORD WaitFor();

    HANDLE Handle() const { return FHandle; }
    DWORD ThreadID() const { return FThreadID; }
    bool Terminated() const { return FTerminated; }
    bool Suspended() const { return FSuspended; }
    bool Finished() const { return FFinished; }
    bool FreeOnTerminate() const { return FFreeOnTerminate; }
    void SetFreeOnTerminate(bool value) { FFreeOnTerminate = value; }
    int ReturnValue() const { return FReturnValue; }
    void SetReturnValue(int value) { FReturnValue = value; }
    std::exception_ptr FatalException() const { return FFatalException; }
    // The held exception's message, "" when there is none.
    std::string FatalExceptionMessage() const;

    TNotifyEvent OnTerminate;

    // On the main thread runs method at once; on a worker queues it, wakes the main
    // thread and waits without time limit; an exception of method is raised again here.
    void Synchronize(const TThreadMethod& method);

protected:
    virtual void Execute() = 0;
    virtual void DoTerminate();
    // The pause and continuation behind Suspend and Resume once the thread has been
    // started. The base class suspends and resumes the operating-system thread, wherever
    // it is; a worker may override both to pause at its own checkpoints instead (so it is
    // never stopped while holding a lock that the user-interface thread needs). Results as
    // SuspendThread / ResumeThread: the suspend count before the call, (DWORD)-1 with the
    // last error set on failure; a cooperative DoResume returns 1 when the pause ended.
    // The first start of a thread created suspended always resumes the system thread.
    virtual DWORD DoSuspend();
    virtual DWORD DoResume();
    // Terminates, lifts every suspension (the initial one of a thread that never ran
    // included) and waits for the thread to end. Idempotent; does nothing on the thread
    // itself (FreeOnTerminate); the base destructor calls it too.
    void WaitForShutdown();

private:
    static unsigned __stdcall ThreadProc(void* param);
    HANDLE FHandle = nullptr;
    DWORD FThreadID = 0;
    volatile bool FTerminated = false;
    volatile bool FSuspended = false;
    volatile bool FFinished = false;
    volatile bool FStarted = false;  // the system thread has been resumed once
    bool FCreateSuspended = false;
    bool FFreeOnTerminate = false;
    int FReturnValue = 0;
    unsigned short FFpuControlWord = 0;
    std::exception_ptr FFatalException;
};

}  // namespace ruk
