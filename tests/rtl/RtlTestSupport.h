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

}  // namespace ruktest
