// Files for the engine tests: a temporary folder per test, byte-exact reads and writes, and the
// folder of checked-in test documents.
#pragma once

#include "SysUtils.h"
#include "TestFileSupport.h"

#include <windows.h>

#include <string>

namespace ruk::test {

// The checked-in data folder as a Windows path (the tests run under Wine, whose drive Z: is the
// Unix root).
inline std::string EngineTestDataPath(const std::string& name) {
    std::string path = "Z:" RUK_ENGINE_TEST_DATA "/" + name;
    for (char& ch : path)
        if (ch == '/') ch = '\\';
    return path;
}

using ruktest::ReadFileBytes;
using ruktest::WriteFileBytes;

// Marks the file read-only and tells whether the system then refuses to open it for writing
// (Wine run by the superuser does not).
inline bool MakeReadOnlyAndRefused(const std::string& name) {
    if (!SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_READONLY)) return false;
    const HANDLE probe = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe == INVALID_HANDLE_VALUE) return true;
    CloseHandle(probe);
    return false;
}

class EngineTempFolder {
public:
    EngineTempFolder() {
        static unsigned long counter = 0;
        char tmp[MAX_PATH];
        GetTempPathA(MAX_PATH, tmp);
        FPath = IncludeTrailingPathDelimiter(tmp) +
                Format("ruk_engine_%lu_%lu", GetCurrentProcessId(), ++counter);
        CreateDirectoryA(FPath.c_str(), nullptr);
    }
    ~EngineTempFolder() {
        WIN32_FIND_DATAA fd;
        HANDLE f = FindFirstFileA((FPath + "\\*").c_str(), &fd);
        if (f != INVALID_HANDLE_VALUE) {
            do {
                if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    ::DeleteFileA((FPath + "\\" + fd.cFileName).c_str());
            } while (FindNextFileA(f, &fd));
            FindClose(f);
        }
        RemoveDirectoryA(FPath.c_str());
    }
    EngineTempFolder(const EngineTempFolder&) = delete;
    EngineTempFolder& operator=(const EngineTempFolder&) = delete;

    std::string File(const std::string& name) const { return FPath + "\\" + name; }

private:
    std::string FPath;
};

}  // namespace ruk::test
