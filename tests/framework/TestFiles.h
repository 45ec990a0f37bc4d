// Temporary files of the framework tests: each test gets names in its own folder,
// which is removed with everything in it when the test ends.
#pragma once

#include "SysUtils.h"

#include <windows.h>

#include <string>

namespace ruk::test {

class TempFolder {
public:
    TempFolder() {
        char tmp[MAX_PATH];
        GetTempPathA(MAX_PATH, tmp);
        FPath = IncludeTrailingPathDelimiter(tmp) +
                Format("ruk_fw_%lu_%lu", GetCurrentProcessId(), static_cast<unsigned long>(++Counter()));
        CreateDirectoryA(FPath.c_str(), nullptr);
    }
    ~TempFolder() { RemoveAll(FPath); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return FPath; }
    std::string File(const std::string& name) const { return FPath + "\\" + name; }

    static std::string ReadAll(const std::string& name) {
        std::string out;
        HANDLE h = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return "<missing>";
        char buffer[4096];
        DWORD n = 0;
        while (ReadFile(h, buffer, sizeof buffer, &n, nullptr) && n > 0) out.append(buffer, n);
        CloseHandle(h);
        return out;
    }
    static void WriteAll(const std::string& name, const std::string& data) {
        HANDLE h = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD n = 0;
        if (!data.empty()) WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &n, nullptr);
        CloseHandle(h);
    }

private:
    static unsigned long& Counter() {
        static unsigned long n = 0;
        return n;
    }
    static void RemoveAll(const std::string& dir) {
        WIN32_FIND_DATAA fd;
        HANDLE f = FindFirstFileA((dir + "\\*").c_str(), &fd);
        if (f != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = fd.cFileName;
                if (name == "." || name == "..") continue;
                const std::string full = dir + "\\" + name;
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveAll(full);
                else ::DeleteFileA(full.c_str());
            } while (FindNextFileA(f, &fd));
            FindClose(f);
        }
        RemoveDirectoryA(dir.c_str());
    }
    std::string FPath;
};

}  // namespace ruk::test
