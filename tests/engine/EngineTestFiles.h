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

// Runs this test program again with only the named test (disabled tests included), in a
// process where nothing has been raised yet, and gives its exit code: 0 when it passed. The
// child inherits the environment, which can tell it what to work on.
inline DWORD RunTestInFreshProcess(const std::string& testName) {
    char exe[MAX_PATH] = {};
    if (GetModuleFileNameA(nullptr, exe, MAX_PATH) == 0) return GetLastError();
    std::string command = std::string("\"") + exe + "\" --gtest_also_run_disabled_tests --gtest_filter=" + testName;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    const HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                   OPEN_EXISTING, 0, nullptr);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = nul;
    PROCESS_INFORMATION pi = {};
    const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    const DWORD startError = GetLastError();
    if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
    if (!started) return startError;
    DWORD exitCode = WAIT_TIMEOUT;
    if (WaitForSingleObject(pi.hProcess, 120000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &exitCode);
    else TerminateProcess(pi.hProcess, WAIT_TIMEOUT);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return exitCode;
}

}  // namespace ruk::test
