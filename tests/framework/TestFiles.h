// Temporary files of the framework tests: each test gets names in its own folder,
// which is removed with everything in it when the test ends.
#pragma once

#include "SysUtils.h"
#include "TestFileSupport.h"

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

    static std::string ReadAll(const std::string& name) { return ruktest::FileBytes(name); }
    static void WriteAll(const std::string& name, const std::string& data) { ruktest::WriteFileBytes(name, data); }

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
