// Classes: the non-visual classes of the class-library layer: objects and events,
// string lists and streams (the thread class is in Threads).
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
    // Raise EReadError "Stream read error" / EWriteError "Stream write error" when short,
    // carrying the system's code when the call failed.
    void ReadBuffer(void* buffer, int count);
    void WriteBuffer(const void* buffer, int count);
    Int64 CopyFrom(TStream& source, Int64 count);  // count 0: the whole source
};

// The system's code behind a Read or Write result: its last error for -1, else 0.
DWORD ReadWriteFailure(int result);

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
// code (GetLastError() when not given); the exception carries code, which is also left as the
// thread's last error.
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

}  // namespace ruk
