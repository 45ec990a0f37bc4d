#include "RUKThreads.h"

#include "RUKValidHandle.h"

#include <cmath>

namespace ruk {

namespace {

constexpr Int64 kMillisecondsPerDay = 86400000;

Int64 FileTimeToInt64(const FILETIME& t) {
    return static_cast<Int64>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) |
                              t.dwLowDateTime);
}

}  // namespace

TRUKThread::~TRUKThread() { WaitForShutdown(); }

void TRUKThread::DoExitThread(int ExitCode) {
    if (ExitCode < 0) RangeError();
    ::ExitThread(static_cast<DWORD>(ExitCode));
}

int TRUKThread::RetExitCode() { return ReturnValue(); }

void TRUKThread::DoOnError(int Value) {
    if (!OnThreadError) return;
    FLastErrorValue = Value;
    Synchronize([this] { CallOnThreadError(); });
}

void TRUKThread::CallOnExitThread() {
    if (OnExitThread) OnExitThread(this);
}

void TRUKThread::CallOnThreadError() {
    if (OnThreadError) OnThreadError(this, FLastErrorValue);
}

int TRUKThread::ExitThread() {
    if (OnExitThread) Synchronize([this] { CallOnExitThread(); });
    DoExitThread(RetExitCode());

    const HANDLE handle = ThreadHandle();
    if (!IsValidHandle(handle)) return ERROR_INVALID_HANDLE;
    if (WaitForSingleObject(handle, FExitTimeout) == WAIT_TIMEOUT) {
        FExitTimedOut = true;
        return 0;
    }
    DWORD code = 0;
    if (!GetExitCodeThread(handle, &code)) return static_cast<int>(GetLastError());
    Terminate();
    FExitConfirmed = true;
    return static_cast<int>(code);
}

bool TRUKThread::DoTerminateThread(int ExitCode) {
    const HANDLE handle = ThreadHandle();
    if (!IsValidHandle(handle)) return false;
    if (ExitCode < 0) RangeError();
    return ::TerminateThread(handle, static_cast<DWORD>(ExitCode)) != FALSE;
}

int TRUKThread::TerminateThread() {
    if (!DoTerminateThread(RetExitCode())) return static_cast<int>(GetLastError());
    Terminate();
    DWORD code = 0;
    if (!GetExitCodeThread(ThreadHandle(), &code)) return 0;
    return static_cast<int>(code);
}

int TRUKThread::RetElapsedTime() {
    if (!(FStartTime > 0.0) || !(FEndTime > 0.0)) return -1;
    const double days = FEndTime - FStartTime;
    // Rounded to nearest, ties to even, as the processor's default rounding does.
    const Int64 ms = std::llrint(static_cast<Extended>(days) * kMillisecondsPerDay);
    return static_cast<int>((ms < 0 ? -ms : ms) % kMillisecondsPerDay);
}

bool TRUKThread::ThreadTimes(Int64& kernel, Int64& user) const {
    const HANDLE handle = ThreadHandle();
    if (!IsValidHandle(handle)) return false;
    FILETIME creation, exit, kernelTime, userTime;
    if (!GetThreadTimes(handle, &creation, &exit, &kernelTime, &userTime)) return false;
    kernel = FileTimeToInt64(kernelTime);
    user = FileTimeToInt64(userTime);
    return true;
}

Int64 TRUKThread::RetKernelModeProcessingTime() {
    Int64 kernel = 0, user = 0;
    return ThreadTimes(kernel, user) ? kernel : -1;
}

Int64 TRUKThread::RetUserModeProcessingTime() {
    Int64 kernel = 0, user = 0;
    return ThreadTimes(kernel, user) ? user : -1;
}

Int64 TRUKThread::RetTotalProcessingTime() {
    Int64 kernel = 0, user = 0;
    return ThreadTimes(kernel, user) ? kernel + user : -1;
}

}  // namespace ruk
