#include "Classes.h"

#include <process.h>
#include <emmintrin.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstring>
#include <deque>
#include <mutex>
#include <new>
#include <optional>
#include <stdexcept>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace ruk {

// ---------------------------------------------------------------- string lists

void TStringList::CheckIndex(int index) const {
    if (index < 0 || index >= Count())
        throw EStringListError(Format("List index out of bounds (%d)", index));
}

const std::string& TStringList::Strings(int index) const {
    CheckIndex(index);
    return FItems[static_cast<size_t>(index)].text;
}

void TStringList::PutString(int index, const std::string& s) {
    if (FSorted) throw EStringListError("Operation not allowed on sorted list");
    CheckIndex(index);
    FItems[static_cast<size_t>(index)].text = s;
}

intptr_t TStringList::Integers(int index) const {
    CheckIndex(index);
    return FItems[static_cast<size_t>(index)].value;
}

void TStringList::PutInteger(int index, intptr_t value) {
    CheckIndex(index);
    FItems[static_cast<size_t>(index)].value = value;
}

int TStringList::Add(const std::string& s) { return AddObject(s, 0); }

int TStringList::AddObject(const std::string& s, intptr_t value) {
    int index = Count();
    if (FSorted) {
        if (Find(s, index)) {
            switch (FDuplicates) {
                case TDuplicates::dupIgnore:
                    return index;  // the entry already there stays as it is
                case TDuplicates::dupError:
                    throw EStringListError("String list does not allow duplicates");
                case TDuplicates::dupAccept:
                    break;
            }
        }
    }
    if (FItems.size() >= static_cast<size_t>(INT_MAX)) throw EOutOfMemory("Out of memory");
    FItems.insert(FItems.begin() + index, Item{s, value});
    return index;
}

void TStringList::AppendSorted(std::vector<std::string> texts) {
    if (FItems.size() + texts.size() > static_cast<size_t>(INT_MAX)) throw EOutOfMemory("Out of memory");
    FItems.reserve(FItems.size() + texts.size());
    for (std::string& text : texts) FItems.push_back(Item{std::move(text), 0});
}

void TStringList::Insert(int index, const std::string& s) {
    if (FSorted) throw EListError("Operation not allowed on sorted list");
    if (index < 0 || index > Count())
        throw EStringListError(Format("List index out of bounds (%d)", index));
    FItems.insert(FItems.begin() + index, Item{s, 0});
}

void TStringList::Delete(int index) {
    CheckIndex(index);
    FItems.erase(FItems.begin() + index);
}

void TStringList::Clear() { FItems.clear(); }

int TStringList::IndexOf(const std::string& s) const {
    if (FSorted) {
        int index = 0;
        return Find(s, index) ? index : -1;
    }
    for (size_t i = 0; i < FItems.size(); ++i)
        if (AnsiCompareText(FItems[i].text, s) == 0) return static_cast<int>(i);
    return -1;
}

bool TStringList::Find(const std::string& s, int& index) const {
    // With duplicates accepted the search goes on to the first of the equal entries.
    bool found = false;
    int lo = 0;
    int hi = Count() - 1;
    while (lo <= hi) {
        const int mid = lo + (hi - lo) / 2;
        const int c = AnsiCompareText(FItems[static_cast<size_t>(mid)].text, s);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) {
                found = true;
                if (FDuplicates != TDuplicates::dupAccept) lo = mid;
            }
        }
    }
    index = lo;
    return found;
}

void TStringList::SetSorted(bool sorted) {
    if (sorted == FSorted) return;
    if (sorted) Sort();
    FSorted = sorted;
}

void TStringList::Sort() {
    std::stable_sort(FItems.begin(), FItems.end(), [](const Item& a, const Item& b) {
        return AnsiCompareText(a.text, b.text) < 0;
    });
}

std::string TStringList::Text() const {
    size_t size = 0;
    for (const Item& item : FItems) size += item.text.size() + 2;
    std::string out;
    out.reserve(size);
    for (const Item& item : FItems) {
        out += item.text;
        out += "\r\n";
    }
    return out;
}

void TStringList::SetText(const std::string& text) {
    Clear();
    const size_t n = text.size();
    size_t start = 0;
    while (start < n) {
        size_t end = start;
        while (end < n && text[end] != '\r' && text[end] != '\n') ++end;
        Add(text.substr(start, end - start));
        if (end < n && text[end] == '\r') ++end;
        if (end < n && text[end] == '\n') ++end;
        start = end;
    }
}

void TStringList::LoadFromFile(const std::string& fileName) {
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TStringList::SaveToFile(const std::string& fileName) const {
    TFileStream stream(fileName, fmCreate);
    SaveToStream(stream);
}

void TStringList::LoadFromStream(TStream& stream) {
    const Int64 size = stream.Size() - stream.Position();
    if (size > INT_MAX) throw EReadError("Stream read error");
    std::string text(static_cast<size_t>(size > 0 ? size : 0), '\0');
    if (!text.empty()) stream.ReadBuffer(text.data(), static_cast<int>(text.size()));
    SetText(text);
}

void TStringList::SaveToStream(TStream& stream) const {
    const std::string text = Text();
    if (text.size() > static_cast<size_t>(INT_MAX)) throw EWriteError("Stream write error");
    stream.WriteBuffer(text.data(), static_cast<int>(text.size()));
}

// ---------------------------------------------------------------- streams

Int64 TStream::Size() {
    const Int64 pos = Seek(0, soCurrent);
    const Int64 size = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return size;
}

void TStream::ReadBuffer(void* buffer, int count) {
    if (count < 0) throw EReadError("Stream read error");
    char* p = static_cast<char*>(buffer);
    while (count > 0) {
        const int n = Read(p, count);
        if (n <= 0) throw EReadError("Stream read error");
        p += n;
        count -= n;
    }
}

void TStream::WriteBuffer(const void* buffer, int count) {
    if (count < 0) throw EWriteError("Stream write error");
    const char* p = static_cast<const char*>(buffer);
    while (count > 0) {
        const int n = Write(p, count);
        if (n <= 0) throw EWriteError("Stream write error");
        p += n;
        count -= n;
    }
}

Int64 TStream::CopyFrom(TStream& source, Int64 count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    if (count < 0) throw EReadError("Stream read error");
    const Int64 result = count;
    constexpr int chunk = 0xF000;
    std::vector<char> buffer(static_cast<size_t>(count < chunk ? count : chunk));
    while (count > 0) {
        const int n = count < chunk ? static_cast<int>(count) : chunk;
        source.ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        count -= n;
    }
    return result;
}

int THandleStream::Read(void* buffer, int count) {
    if (count <= 0) return 0;
    DWORD n = 0;
    if (!ReadFile(FHandle, buffer, static_cast<DWORD>(count), &n, nullptr)) return -1;
    return static_cast<int>(n);
}

int THandleStream::Write(const void* buffer, int count) {
    if (count <= 0) return 0;
    DWORD n = 0;
    if (!WriteFile(FHandle, buffer, static_cast<DWORD>(count), &n, nullptr)) return -1;
    return static_cast<int>(n);
}

Int64 THandleStream::Seek(Int64 offset, TSeekOrigin origin) {
    static const DWORD methods[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER result;
    result.QuadPart = 0;
    if (!SetFilePointerEx(FHandle, distance, &result, methods[origin])) return -1;
    return result.QuadPart;
}

void THandleStream::SetSize(Int64 size) {
    if (Seek(size, soBeginning) != size) RaiseLastOSError();
    Win32Check(SetEndOfFile(FHandle) != FALSE);
}

namespace {

// A name longer than a path can be (a damaged setting, say) is shown by its beginning and its
// end: the message box shows nothing at all for a text of some hundred kilobytes.
std::string FileNameForDisplay(const std::string& fileName) {
    constexpr size_t kShownEnds = 100;
    if (fileName.size() <= MAX_PATH) return ExpandFileName(fileName);
    return fileName.substr(0, kShownEnds) + "..." + fileName.substr(fileName.size() - kShownEnds);
}

}  // namespace

void RaiseFileError(bool create, const std::string& fileName) { RaiseFileError(create, fileName, GetLastError()); }

void RaiseFileError(bool create, const std::string& fileName, DWORD code) {
    const std::string text = Format(create ? "Cannot create file \"%s\". %s" : "Cannot open file \"%s\". %s",
                                    FileNameForDisplay(fileName).c_str(), SysErrorMessage(code).c_str());
    SetLastError(code);  // left for callers that report the thread's last error
    if (create) throw EFCreateError(text);
    throw EFOpenError(text);
}

TFileStream::TFileStream(const std::string& fileName, unsigned mode)
    : THandleStream(INVALID_HANDLE_VALUE), FFileName(fileName) {
    // No file has a longer name; the system is not asked.
    if (fileName.size() > MAX_PATH) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        RaiseFileError(mode == fmCreate, fileName);
    }
    if (mode == fmCreate) {
        FHandle = CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        if (FHandle == INVALID_HANDLE_VALUE) RaiseFileError(true, fileName);
        return;
    }
    static const DWORD access[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
    static const DWORD share[] = {0, 0, FILE_SHARE_READ, FILE_SHARE_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE};
    const unsigned accessMode = mode & 0x3;
    const unsigned shareMode = (mode & 0xF0) >> 4;
    if (accessMode > 2 || shareMode > 4) {
        SetLastError(ERROR_INVALID_PARAMETER);
        RaiseFileError(false, fileName);
    }
    FHandle = CreateFileA(fileName.c_str(), access[accessMode], share[shareMode], nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (FHandle == INVALID_HANDLE_VALUE) RaiseFileError(false, fileName);
}

TFileStream::~TFileStream() {
    if (FHandle != INVALID_HANDLE_VALUE && FHandle != nullptr) CloseHandle(FHandle);
}

int TMemoryStream::Read(void* buffer, int count) {
    if (FPosition < 0 || count <= 0) return 0;
    const Int64 left = static_cast<Int64>(FData.size()) - FPosition;
    if (left <= 0) return 0;
    const int n = left < count ? static_cast<int>(left) : count;
    std::memcpy(buffer, FData.data() + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

int TMemoryStream::Write(const void* buffer, int count) {
    if (FPosition < 0 || count <= 0) return 0;
    const Int64 end = FPosition + count;
    if (end > static_cast<Int64>(FData.size())) {
        const Int64 pos = FPosition;
        SetSize(end);
        FPosition = pos;
    }
    std::memcpy(FData.data() + FPosition, buffer, static_cast<size_t>(count));
    FPosition = end;
    return count;
}

Int64 TMemoryStream::Seek(Int64 offset, TSeekOrigin origin) {
    switch (origin) {
        case soBeginning: FPosition = offset; break;
        case soCurrent: FPosition += offset; break;
        case soEnd: FPosition = static_cast<Int64>(FData.size()) + offset; break;
    }
    return FPosition;
}

Int64 TMemoryStream::Size() { return static_cast<Int64>(FData.size()); }

void TMemoryStream::SetSize(Int64 size) {
    if (size < 0 || static_cast<std::uint64_t>(size) > static_cast<std::uint64_t>(INT_MAX))
        throw EStreamError("Out of memory while expanding memory stream");
    try {
        // Grow geometrically so that a run of small writes stays linear.
        const size_t n = static_cast<size_t>(size);
        if (n > FData.capacity()) FData.reserve(std::max(n, FData.capacity() + FData.capacity() / 2));
        FData.resize(n);
    } catch (const std::bad_alloc&) {
        throw EStreamError("Out of memory while expanding memory stream");
    } catch (const std::length_error&) {
        throw EStreamError("Out of memory while expanding memory stream");
    }
    if (FPosition > size) FPosition = size;
}

void TMemoryStream::Clear() {
    std::vector<char>().swap(FData);
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TMemoryStream::SaveToFile(const std::string& fileName) const {
    TFileStream stream(fileName, fmCreate);
    SaveToStream(stream);
}

void TMemoryStream::LoadFromStream(TStream& stream) {
    stream.SetPosition(0);
    const Int64 count = stream.Size();
    SetSize(count);
    if (count != 0) stream.ReadBuffer(FData.data(), static_cast<int>(count));
}

void TMemoryStream::SaveToStream(TStream& stream) const {
    if (!FData.empty()) stream.WriteBuffer(FData.data(), static_cast<int>(FData.size()));
}

// ---------------------------------------------------------------- threads

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
// that delivers one event after the other); sleeping and waking costs far more.
constexpr int kSpinTurns = 4000;

inline void SpinPause() { _mm_pause(); }

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

LRESULT CALLBACK SyncWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_RUK_SYNCHRONIZE) {
        CheckSynchronize();
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

unsigned short GetFpuControlWord() {
    unsigned short cw = 0;
    __asm__ __volatile__("fnstcw %0" : "=m"(cw));
    return cw;
}

void SetFpuControlWord(unsigned short cw) {
    __asm__ __volatile__("fnclex\n\tfldcw %0" : : "m"(cw));
}

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
    if (!GetClassInfoA(instance, kSyncWindowClass, &existing)) RegisterClassA(&wc);
    const HWND window = CreateWindowExA(0, kSyncWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    gSyncWindow.store(window);
    // Calls queued before the window existed get their wake-up now.
    std::lock_guard<std::mutex> lock(gSyncLock);
    if (window != nullptr && !gSyncQueue.empty()) PostMessageA(window, WM_RUK_SYNCHRONIZE, 0, 0);
}

HWND SynchronizeWindow() { return gSyncWindow.load(); }

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

TThread::TThread(bool createSuspended) : FCreateSuspended(createSuspended) {
    if (OnMainThread()) InitSynchronizeWindow();
    SyncEvent();
    FFpuControlWord = GetFpuControlWord();
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
    SetFpuControlWord(thread->FFpuControlWord);
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
            gMainPolling.store(true);
            for (int turn = 0; turn < kSpinTurns && !FFinished; ++turn) {
                if (gSyncPending.load() > 0) {
                    runCalls();
                    gMainPolling.store(true);
                    turn = 0;
                }
                SpinPause();
            }
            gMainPolling.store(false);
            // A call queued while this looked on without sleeping has no wake-up of its own.
            if (gSyncPending.load() > 0) {
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
    for (int turn = 0; turn < kSpinTurns && request.state.load() == 0; ++turn) SpinPause();
    int waiting = 0;
    if (request.state.compare_exchange_strong(waiting, 2)) WaitForSingleObject(request.wake, INFINITE);
    if (request.error) std::rethrow_exception(request.error);
}

}  // namespace ruk
