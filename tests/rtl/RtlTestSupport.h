// The built RUKLexmillRtl.dll for the tests that need the library itself: the build copies it
// into the folder "rtl" beside the test program, where no plain LoadLibrary by name finds it.
#pragma once

#include <windows.h>

#include <string>

namespace ruktest {

inline std::string TestProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.find_last_of('\\') + 1);
}

inline std::string RtlLibraryFolder() { return TestProgramFolder() + "rtl"; }
inline std::string RtlLibraryPath() { return RtlLibraryFolder() + "\\RUKLexmillRtl.dll"; }

inline std::string Quoted(const std::string& s) {
    std::string q(1, '"');
    q += s;
    q += '"';
    return q;
}

// Loads the library for the scope of a test.
class RtlLibrary {
public:
    RtlLibrary() : FHandle(LoadLibraryA(RtlLibraryPath().c_str())) {}
    ~RtlLibrary() {
        if (FHandle) FreeLibrary(FHandle);
    }
    RtlLibrary(const RtlLibrary&) = delete;
    RtlLibrary& operator=(const RtlLibrary&) = delete;
    HMODULE Handle() const { return FHandle; }
    template <typename F>
    F Proc(const char* name) const {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(FHandle, name)));
    }

private:
    HMODULE FHandle;
};

// While it lives, closes what the version dialog shows on this thread once a modal loop runs:
// the library's message boxes (OK) and then the dialog itself, whose caption is "About".
class CloseVersionDialog {
public:
    CloseVersionDialog() { FTimer = SetTimer(nullptr, 0, 200, &Tick); }
    ~CloseVersionDialog() { KillTimer(nullptr, FTimer); }
    CloseVersionDialog(const CloseVersionDialog&) = delete;
    CloseVersionDialog& operator=(const CloseVersionDialog&) = delete;
    static int& Closed() {
        static int closed = 0;
        return closed;
    }
    static int& Boxes() {
        static int boxes = 0;
        return boxes;
    }

private:
    static BOOL CALLBACK CloseOne(HWND window, LPARAM) {
        char cls[64] = {}, caption[64] = {};
        GetClassNameA(window, cls, sizeof cls);
        GetWindowTextA(window, caption, sizeof caption);
        if (std::string(cls) == "#32770") {
            PostMessageA(window, WM_COMMAND, IDOK, 0);
            ++Boxes();
        } else if (std::string(caption) == "About" && IsWindowEnabled(window)) {
            PostMessageA(window, WM_CLOSE, 0, 0);
            ++Closed();
        }
        return TRUE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), &CloseOne, 0); }
    UINT_PTR FTimer;
};

}  // namespace ruktest
