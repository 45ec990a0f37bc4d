#include <windows.h>

#include <psapi.h>

#include "RUKDynBinding.h"
#include "ResolverCases.h"
#include "RUKDynPSAPI.h"

#include "SysUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {


// The records are handed to the system: they must match its layouts.
#define RUK_SAME_LAYOUT(Record, LastField)                                   \
    static_assert(sizeof(ruk::Record) == sizeof(::Record));                  \
    static_assert(offsetof(ruk::Record, LastField) == offsetof(::Record, LastField))
RUK_SAME_LAYOUT(_ENUM_PAGE_FILE_INFORMATION, PeakUsage);
RUK_SAME_LAYOUT(_MODULEINFO, EntryPoint);
RUK_SAME_LAYOUT(_PERFORMANCE_INFORMATION, ThreadCount);
RUK_SAME_LAYOUT(_PROCESS_MEMORY_COUNTERS, PeakPagefileUsage);
RUK_SAME_LAYOUT(_PSAPI_WS_WATCH_INFORMATION, FaultingVa);
RUK_SAME_LAYOUT(_PSAPI_WS_WATCH_INFORMATION_EX, Flags);

#define RUK_CASE(Name) {#Name, AsAddress(ruk::PAddr##Name)}
std::vector<ResolverCase> PsApiResolvers() {
    return {
        RUK_CASE(EmptyWorkingSet),          RUK_CASE(EnumDeviceDrivers),
        RUK_CASE(EnumPageFilesA),           RUK_CASE(EnumPageFilesW),
        RUK_CASE(EnumProcesses),            RUK_CASE(EnumProcessModules),
        RUK_CASE(EnumProcessModulesEx),     RUK_CASE(GetDeviceDriverBaseNameA),
        RUK_CASE(GetDeviceDriverBaseNameW), RUK_CASE(GetDeviceDriverFileNameA),
        RUK_CASE(GetDeviceDriverFileNameW), RUK_CASE(GetMappedFileNameA),
        RUK_CASE(GetMappedFileNameW),       RUK_CASE(GetModuleBaseNameA),
        RUK_CASE(GetModuleBaseNameW),       RUK_CASE(GetModuleFileNameExA),
        RUK_CASE(GetModuleFileNameExW),     RUK_CASE(GetModuleInformation),
        RUK_CASE(GetPerformanceInfo),       RUK_CASE(GetProcessImageFileNameA),
        RUK_CASE(GetProcessImageFileNameW), RUK_CASE(GetProcessMemoryInfo),
        RUK_CASE(GetWsChanges),             RUK_CASE(GetWsChangesEx),
        RUK_CASE(InitializeProcessForWsWatch), RUK_CASE(QueryWorkingSet),
        RUK_CASE(QueryWorkingSetEx),
    };
}
#undef RUK_CASE

std::string OwnFileName() {
    char name[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, name, MAX_PATH);
    return name;
}

}  // namespace

TEST(DynPSAPIResolvers, AllExportsAreResolvedByName) {
    const auto cases = PsApiResolvers();
    EXPECT_EQ(cases.size(), 27u);
    HMODULE psapi = LoadLibraryA("PsApi.dll");
    HMODULE dll = LoadLibraryA(kTestDll);
    ASSERT_NE(psapi, nullptr);
    for (const auto& c : cases) {
        void* expected = reinterpret_cast<void*>(GetProcAddress(psapi, c.exportName));
        EXPECT_NE(expected, nullptr) << c.exportName;
        EXPECT_EQ(c.resolve(psapi), expected) << c.exportName;
        EXPECT_EQ(c.resolve(dll), nullptr) << c.exportName;
        for (HMODULE m : {HMODULE(nullptr), kInvalidModule}) {
            SetLastError(0);
            EXPECT_EQ(c.resolve(m), nullptr) << c.exportName;
            EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE)) << c.exportName;
        }
    }
    FreeLibrary(dll);
    FreeLibrary(psapi);
}

TEST(DynPSAPIWrappers, ModuleNamesOfTheTestProcess) {
    const HMODULE before = GetModuleHandleA("PsApi.dll");
    char base[MAX_PATH] = {};
    const DWORD n = ruk::GetModuleBaseNameA(GetCurrentProcess(), nullptr, base, MAX_PATH);
    EXPECT_EQ(n, std::strlen(base));
    EXPECT_EQ(ruk::AnsiCompareText(base, "BaseTests.exe"), 0) << base;

    wchar_t wbase[MAX_PATH] = {};
    EXPECT_GT(ruk::GetModuleBaseNameW(GetCurrentProcess(), nullptr, wbase, MAX_PATH), 0u);
    EXPECT_EQ(ruk::AnsiCompareText(ruk::WideToAnsi(wbase), "BaseTests.exe"), 0);

    char file[MAX_PATH] = {};
    EXPECT_GT(ruk::GetModuleFileNameExA(GetCurrentProcess(), nullptr, file, MAX_PATH), 0u);
    EXPECT_EQ(ruk::AnsiCompareText(file, OwnFileName()), 0) << file;

    // Each call loads and frees the library itself.
    EXPECT_EQ(GetModuleHandleA("PsApi.dll"), before);
}

TEST(DynPSAPIWrappers, ProcessesModulesAndMemoryOfTheTestProcess) {
    std::vector<DWORD> ids(4096);
    DWORD needed = 0;
    ASSERT_NE(ruk::EnumProcesses(ids.data(), DWORD(ids.size() * sizeof(DWORD)), needed), FALSE);
    ids.resize(needed / sizeof(DWORD));
    EXPECT_NE(std::find(ids.begin(), ids.end(), GetCurrentProcessId()), ids.end());

    HMODULE modules[256] = {};
    DWORD modNeeded = 0;
    ASSERT_NE(ruk::EnumProcessModules(GetCurrentProcess(), modules, sizeof modules, modNeeded),
              FALSE);
    EXPECT_GT(modNeeded, 0u);
    EXPECT_EQ(modules[0], GetModuleHandleA(nullptr));

    ruk::_MODULEINFO info = {};
    ASSERT_NE(ruk::GetModuleInformation(GetCurrentProcess(), GetModuleHandleA(nullptr), &info,
                                        sizeof info),
              FALSE);
    EXPECT_EQ(info.lpBaseOfDll, reinterpret_cast<LPVOID>(GetModuleHandleA(nullptr)));
    EXPECT_GT(info.SizeOfImage, 0u);

    ruk::_PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    EXPECT_NE(ruk::GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters), FALSE);
    EXPECT_GT(counters.WorkingSetSize, 0u);

    ruk::_PERFORMANCE_INFORMATION perf = {};
    perf.cb = sizeof perf;
    EXPECT_NE(ruk::GetPerformanceInfo(&perf, sizeof perf), FALSE);
    EXPECT_EQ(perf.PageSize, 4096u);
}

TEST(DynPSAPIWrappers, WrapperWithoutItsExportReportsCallNotImplemented) {
    char base[MAX_PATH] = "unchanged";
    for (const char* library : {kTestDll, "RUKNoSuchLibrary.dll"}) {
        SetLastError(0);
        EXPECT_EQ(ruk::dynbind::CallLoaded<DWORD>(library, ruk::PAddrGetModuleBaseNameA,
                                                  DWORD(0), GetCurrentProcess(),
                                                  HMODULE(nullptr), base, DWORD(MAX_PATH)),
                  0u)
            << library;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_CALL_NOT_IMPLEMENTED)) << library;
        EXPECT_STREQ(base, "unchanged");
    }
    EXPECT_EQ(GetModuleHandleA(kTestDll), nullptr);
}
