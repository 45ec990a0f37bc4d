#include "SafeSave.h"

#include <atomic>

namespace ruk {

namespace {

std::atomic<unsigned> gTempCounter{0};

// A name of the target's folder that no file holds yet, created empty with exclusive access.
HANDLE CreateTempBeside(const std::string& target, std::string& tempName) {
    const std::string folder = ExtractFilePath(target);
    const unsigned seed = (GetCurrentProcessId() << 16) ^ GetTickCount();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const unsigned n = seed + gTempCounter.fetch_add(1);
        tempName = folder + Format("~ruk%08X.tmp", n);
        const HANDLE h = CreateFileA(tempName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) return h;
        const DWORD code = GetLastError();
        if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) RaiseFileError(true, target, code);
    }
    RaiseFileError(true, target, ERROR_FILE_EXISTS);
}

}  // namespace

TSafeFileStream::TSafeFileStream(const std::string& fileName)
    : THandleStream(INVALID_HANDLE_VALUE), FFileName(fileName) {
    const std::string target = ExpandFileName(fileName);
    // Held until the commit, so that the target is as closed to others during the save as a
    // file created for writing; a read-only or busy target fails here, before anything exists.
    FTargetLock.Reset(
        CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!FTargetLock) {
        const DWORD code = GetLastError();
        if (code != ERROR_FILE_NOT_FOUND) RaiseFileError(true, fileName, code);
    }
    FHandle = CreateTempBeside(target, FTempName);
    // Opening over an existing target leaves ERROR_ALREADY_EXISTS behind; a later failure
    // that reports the thread's last error must not find it there.
    SetLastError(0);
}

TSafeFileStream::~TSafeFileStream() { Discard(); }

void TSafeFileStream::Discard() {
    if (FHandle != INVALID_HANDLE_VALUE) {
        CloseHandle(FHandle);
        FHandle = INVALID_HANDLE_VALUE;
    }
    if (!FTempName.empty()) {
        DeleteFileA(FTempName.c_str());
        FTempName.clear();
    }
    FTargetLock.Reset();
}

void TSafeFileStream::Commit() {
    if (FHandle == INVALID_HANDLE_VALUE || FTempName.empty()) throw EWriteError("Stream write error");
    if (!FlushFileBuffers(FHandle)) {
        const DWORD code = GetLastError();
        Discard();
        throw EWriteError("Stream write error", code);
    }
    CloseHandle(FHandle);
    FHandle = INVALID_HANDLE_VALUE;
    FTargetLock.Reset();
    if (!MoveFileExA(FTempName.c_str(), ExpandFileName(FFileName).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD code = GetLastError();
        Discard();
        RaiseFileError(true, FFileName, code);
    }
    FTempName.clear();
    SetLastError(0);
}

void SafeSaveToFile(const std::string& fileName, const std::function<void(TStream& stream)>& write) {
    TSafeFileStream stream(fileName);
    write(stream);
    stream.Commit();
}

}  // namespace ruk
