// TRUKThread: the base of the long-running workers. On top of TThread it delivers an
// error event and an exit event on the user-interface thread, ends the thread from
// inside (ExitThread) or by force from outside (TerminateThread), and answers the
// thread's exit code, elapsed time and processor times.
#pragma once

#include "SysUtils.h"
#include "Threads.h"

#include <windows.h>

#include <functional>

namespace ruk {

class TRUKThread;

// Error event: the reporting thread and the value it reports.
using TRUKOnThreadErrorEvent = std::function<void(TRUKThread* sender, int anerrorvalue)>;

class TRUKThread : public TThread {
public:
    using TThread::TThread;
    // Waits for the thread before the events that it may still fire are destroyed.
    ~TRUKThread() override;

    // Ends the calling thread with ExitCode (kernel ExitThread); a negative code raises
    // ERangeError and ends nothing.
    virtual void DoExitThread(int ExitCode);
    // With OnThreadError assigned: keeps Value and fires the event on the
    // user-interface thread. Without it nothing happens.
    void DoOnError(int Value);
    void CallOnExitThread();
    void CallOnThreadError();

    // Called on the worker: fires OnExitThread on the user-interface thread, then ends
    // the thread with RetExitCode. Only when an override of DoExitThread returns does it
    // go on: 6 for an invalid handle, 0 when the wait of FExitTimeout ms runs out, the
    // system's error when the exit code cannot be read, else the exit code.
    int ExitThread();
    // Ends the thread by force with RetExitCode: the system's error when that fails;
    // otherwise Terminated is set and the result is the exit code (0 when unreadable).
    int TerminateThread();

    virtual int RetExitCode();
    // Milliseconds within one day of |FEndTime - FStartTime|; -1 while either is unset.
    int RetElapsedTime();
    // Processor times in 100-nanosecond units; -1 for an invalid handle or a failed query.
    Int64 RetKernelModeProcessingTime();
    Int64 RetUserModeProcessingTime();
    Int64 RetTotalProcessingTime();
    // False for an invalid handle; a negative code raises ERangeError; else whether the
    // kernel's TerminateThread succeeded.
    virtual bool DoTerminateThread(int ExitCode);

    TNotifyEvent OnExitThread;
    TRUKOnThreadErrorEvent OnThreadError;

protected:
    // The handle that the operations act on: the thread's own.
    virtual HANDLE ThreadHandle() const { return Handle(); }

    // Descendants set the timeout and the two times; this class only reads them.
    int FLastErrorValue = 0;
    Cardinal FExitTimeout = 0;
    bool FExitTimedOut = false;
    bool FExitConfirmed = false;
    TDateTime FStartTime = 0.0;
    TDateTime FEndTime = 0.0;

private:
    bool ThreadTimes(Int64& kernel, Int64& user) const;
};

}  // namespace ruk
