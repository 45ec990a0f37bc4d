// Classes: the non-visual classes of the class-library layer: objects and events,
// string lists, streams, and the thread class with its synchronize queue.
#pragma once

#include "SysUtils.h"

#include <windows.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ruk {

class TObject {
public:
    virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* sender)>;

// ---------------------------------------------------------------- string lists

enum class TDuplicates { dupIgnore, dupAccept, dupError };

class TStream;

// Ordered texts, each with an integer or object beside it (0 / null for a new entry).
// Sorted mode keeps the entries in AnsiCompareText order and finds them by binary
// search; with dupIgnore (the default) an added duplicate is dropped, keeping the entry
// already there. An out-of-range index raises EStringListError
// "List index out of bounds (%d)".
class TStringList : public TObject {
public:
    TStringList() = default;

    int Count() const { return static_cast<int>(FItems.size()); }
    const std::string& Strings(int index) const;
    const std::string& operator[](int index) const { return Strings(index); }
    void PutString(int index, const std::string& s);
    intptr_t Integers(int index) const;  // the integer beside the entry
    void PutInteger(int index, intptr_t value);
    TObject* Objects(int index) const { return reinterpret_cast<TObject*>(Integers(index)); }
    void PutObject(int index, TObject* obj) { PutInteger(index, reinterpret_cast<intptr_t>(obj)); }

    // Returns the index of the new entry, or of the existing one for an ignored duplicate.
    int Add(const std::string& s);
    int AddObject(const std::string& s, intptr_t value);
    void Insert(int index, const std::string& s);  // raises EListError in sorted mode
    void Delete(int index);
    void Clear();
    int IndexOf(const std::string& s) const;  // AnsiCompareText equality; -1 when absent
    // Sorted lists only: true when found; index is the position found or to insert at.
    bool Find(const std::string& s, int& index) const;
    // Appends entries that are already in the list's order, each after the last entry and
    // compared unequal to it, as sorted insertion would leave them, with 0 beside each. Nothing
    // is searched or compared: the caller vouches for the order (bulk filling of large lists).
    void AppendSorted(std::vector<std::string> texts);

    bool Sorted() const { return FSorted; }
    void SetSorted(bool sorted);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates d) { FDuplicates = d; }
    void Sort();

    // Every entry followed by CR LF, the last one too.
    std::string Text() const;
    // Splits at CR LF, lone CR and lone LF, one entry per line (a final line end adds no entry).
    void SetText(const std::string& text);
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;

    void BeginUpdate() {}
    void EndUpdate() {}

private:
    struct Item {
        std::string text;
        intptr_t value = 0;
    };
    void CheckIndex(int index) const;
    std::vector<Item> FItems;
    bool FSorted = false;
    TDuplicates FDuplicates = TDuplicates::dupIgnore;
};

// ---------------------------------------------------------------- streams

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

// Open modes and share modes of TFileStream (combine one of each with |).
constexpr unsigned fmCreate = 0xFFFF;       // create or truncate, read/write
constexpr unsigned fmOpenRead = 0x0000;
constexpr unsigned fmOpenWrite = 0x0001;
constexpr unsigned fmOpenReadWrite = 0x0002;
constexpr unsigned fmShareExclusive = 0x0010;
constexpr unsigned fmShareDenyWrite = 0x0020;
constexpr unsigned fmShareDenyRead = 0x0030;
constexpr unsigned fmShareDenyNone = 0x0040;

class TStream : public TObject {
public:
    // Read and Write give the bytes moved, 0 at the end, -1 when the system call failed.
    virtual int Read(void* buffer, int count) = 0;
    virtual int Write(const void* buffer, int count) = 0;
    virtual Int64 Seek(Int64 offset, TSeekOrigin origin) = 0;
    Int64 Position() { return Seek(0, soCurrent); }
    void SetPosition(Int64 pos) { Seek(pos, soBeginning); }
    virtual Int64 Size();
    virtual void SetSize(Int64 size) = 0;
    // Raise EReadError "Stream read error" / EWriteError "Stream write error" when short.
    void ReadBuffer(void* buffer, int count);
    void WriteBuffer(const void* buffer, int count);
    Int64 CopyFrom(TStream& source, Int64 count);  // count 0: the whole source
};

class THandleStream : public TStream {
public:
    explicit THandleStream(HANDLE handle) : FHandle(handle) {}
    HANDLE Handle() const { return FHandle; }
    int Read(void* buffer, int count) override;
    int Write(const void* buffer, int count) override;
    Int64 Seek(Int64 offset, TSeekOrigin origin) override;
    void SetSize(Int64 size) override;

protected:
    HANDLE FHandle;
};

// Files are created or truncated with fmCreate; open failures raise EFOpenError
// "Cannot open file \"%s\". %s" and create failures EFCreateError
// "Cannot create file \"%s\". %s" (full path, then the system's error text).
// Raises EFCreateError (create) or EFOpenError for fileName with the system's error text of
// code (GetLastError() when not given), and leaves code as the thread's last error.
[[noreturn]] void RaiseFileError(bool create, const std::string& fileName);
[[noreturn]] void RaiseFileError(bool create, const std::string& fileName, DWORD code);

class TFileStream : public THandleStream {
public:
    TFileStream(const std::string& fileName, unsigned mode);
    ~TFileStream() override;
    const std::string& FileName() const { return FFileName; }

private:
    std::string FFileName;
};

class TMemoryStream : public TStream {
public:
    int Read(void* buffer, int count) override;
    int Write(const void* buffer, int count) override;
    Int64 Seek(Int64 offset, TSeekOrigin origin) override;
    Int64 Size() override;
    void SetSize(Int64 size) override;
    void Clear();
    const char* Memory() const { return FData.data(); }
    char* Memory() { return FData.data(); }
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;

private:
    std::vector<char> FData;
    Int64 FPosition = 0;
};

// ---------------------------------------------------------------- threads

using TThreadMethod = std::function<void()>;

// Thread of the user-interface (main) thread: the one that ran the program's static
// initialisation.
DWORD MainThreadID();
// Runs the queued synchronize calls; called by the message loops of the main thread
// (and by anything that waits on the main thread). Returns true when it ran any.
// On any other thread it does nothing and returns false.
bool CheckSynchronize();
// Creates, on the main thread, the hidden message-only window whose window procedure
// runs CheckSynchronize when a worker has queued a call, so that queued calls also run
// inside modal loops (message boxes, dialogs). Idempotent; does nothing on other
// threads. TThread's constructor (on the main thread) and Application->Initialize call it.
void InitSynchronizeWindow();
// The window above, or null while it does not exist.
HWND SynchronizeWindow();

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
