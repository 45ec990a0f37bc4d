// Whole files read and written byte for byte, for the tests' own checks and fixtures.
#pragma once

#include <windows.h>

#include <string>

namespace ruktest {

// The system's folder for temporary files, with its final backslash.
inline std::string TempDir() {
    char buffer[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, buffer);
    return buffer;
}

// The file's bytes; false when it cannot be opened (for reading, whoever else has it open).
inline bool ReadFileBytes(const std::string& path, std::string& out) {
    out.clear();
    const HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got > 0) out.append(buffer, got);
    CloseHandle(f);
    return true;
}

// The file's bytes, "<missing>" when it cannot be opened.
inline std::string FileBytes(const std::string& path) {
    std::string data;
    return ReadFileBytes(path, data) ? data : std::string("<missing>");
}

// Creates or replaces the file with exactly these bytes; false when that fails.
inline bool WriteFileBytes(const std::string& path, const std::string& data) {
    const HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD done = 0;
    const bool ok = data.empty() || (WriteFile(f, data.data(), static_cast<DWORD>(data.size()), &done, nullptr) &&
                                     done == data.size());
    CloseHandle(f);
    return ok;
}

}  // namespace ruktest
