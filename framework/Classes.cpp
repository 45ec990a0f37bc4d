#include "Classes.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <stdexcept>

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

DWORD ReadWriteFailure(int result) { return result < 0 ? GetLastError() : 0; }

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
        if (n <= 0) throw EReadError("Stream read error", ReadWriteFailure(n));
        p += n;
        count -= n;
    }
}

void TStream::WriteBuffer(const void* buffer, int count) {
    if (count < 0) throw EWriteError("Stream write error");
    const char* p = static_cast<const char*>(buffer);
    while (count > 0) {
        const int n = Write(p, count);
        if (n <= 0) throw EWriteError("Stream write error", ReadWriteFailure(n));
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
    if (create) throw EFCreateError(text, code);
    throw EFOpenError(text, code);
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

}  // namespace ruk
