#include "RUKDynBinding.h"
#include "ResolverCases.h"
#include "RUKDynWindows.h"

#include "SysUtils.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {


std::vector<ResolverCase> KernelResolvers() {
    return {
        {"QueryFullProcessImageNameA", AsAddress(ruk::PAddrQueryFullProcessImageNameA)},
        {"QueryFullProcessImageNameW", AsAddress(ruk::PAddrQueryFullProcessImageNameW)},
        {"EnumResourceTypesExA", AsAddress(ruk::PAddrEnumResourceTypesExA)},
        {"EnumResourceTypesExW", AsAddress(ruk::PAddrEnumResourceTypesExW)},
        {"IsWow64Process", AsAddress(ruk::PAddrIsWow64Process)},
        {"Wow64EnableWow64FsRedirection", AsAddress(ruk::PAddrWow64EnableWow64FsRedirection)},
        {"Wow64DisableWow64FsRedirection", AsAddress(ruk::PAddrWow64DisableWow64FsRedirection)},
        {"Wow64RevertWow64FsRedirection", AsAddress(ruk::PAddrWow64RevertWow64FsRedirection)},
        {"GetSystemWow64DirectoryA", AsAddress(ruk::PAddrGetSystemWow64Directory)},
    };
}

HMODULE Kernel() { return GetModuleHandleA("Kernel32.dll"); }

std::string OwnFileName() {
    char name[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, name, MAX_PATH);
    return name;
}

BOOL CALLBACK CollectType(HMODULE, LPSTR type, LONG_PTR list) {
    auto* names = reinterpret_cast<std::vector<std::string>*>(list);
    names->push_back(IS_INTRESOURCE(type) ? ruk::Format("#%u", unsigned(UINT_PTR(type)))
                                          : std::string(type));
    return TRUE;
}

}  // namespace

TEST(DynWindowsResolvers, InvalidModuleGivesNilAndInvalidHandle) {
    for (const auto& c : KernelResolvers()) {
        for (HMODULE m : {HMODULE(nullptr), kInvalidModule}) {
            SetLastError(0);
            EXPECT_EQ(c.resolve(m), nullptr) << c.exportName;
            EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE)) << c.exportName;
        }
    }
}

TEST(DynWindowsResolvers, KernelExportsAreFoundAndOthersAreNot) {
    HMODULE dll = LoadLibraryA(kTestDll);
    ASSERT_NE(dll, nullptr);
    for (const auto& c : KernelResolvers()) {
        void* expected = reinterpret_cast<void*>(GetProcAddress(Kernel(), c.exportName));
        ASSERT_NE(expected, nullptr) << c.exportName;
        EXPECT_EQ(c.resolve(Kernel()), expected) << c.exportName;
        EXPECT_EQ(c.resolve(dll), nullptr) << c.exportName;
    }
    FreeLibrary(dll);
}

TEST(DynWindowsWrappers, QueryFullProcessImageNameOfTheTestProcess) {
    EXPECT_TRUE(ruk::QueryFullProcessImageNameASupported());
    EXPECT_TRUE(ruk::QueryFullProcessImageNameWSupported());

    char name[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    ASSERT_NE(ruk::QueryFullProcessImageNameA(GetCurrentProcess(), 0, name, size), FALSE);
    EXPECT_EQ(size, std::strlen(name));
    EXPECT_EQ(ruk::AnsiCompareText(name, OwnFileName()), 0) << name;

    wchar_t wide[MAX_PATH] = {};
    DWORD wsize = MAX_PATH;
    ASSERT_NE(ruk::QueryFullProcessImageNameW(GetCurrentProcess(), 0, wide, wsize), FALSE);
    EXPECT_EQ(ruk::AnsiCompareText(ruk::WideToAnsi(wide), OwnFileName()), 0);

    // The kernel's own failure passes through: a buffer too small for the name.
    char tiny[4] = {};
    DWORD tinySize = sizeof tiny;
    EXPECT_EQ(ruk::QueryFullProcessImageNameA(GetCurrentProcess(), 0, tiny, tinySize), FALSE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
}

TEST(DynWindowsWrappers, KernelWrapperWithoutItsExportReportsCallNotImplemented) {
    HMODULE dll = LoadLibraryA(kTestDll);
    char name[MAX_PATH] = "unchanged";
    DWORD size = MAX_PATH;
    SetLastError(0);
    EXPECT_EQ(ruk::dynbind::CallInModule<BOOL>(dll, ruk::PAddrQueryFullProcessImageNameA, FALSE,
                                               GetCurrentProcess(), DWORD(0), name, &size),
              FALSE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CALL_NOT_IMPLEMENTED));
    EXPECT_STREQ(name, "unchanged");
    FreeLibrary(dll);
}

TEST(DynWindowsWrappers, EnumResourceTypesExFormsGiveWhatTheKernelGives) {
    HMODULE module = GetModuleHandleA("user32.dll");
    ASSERT_NE(module, nullptr);
    std::vector<std::string> direct, ansi, generic;
    const BOOL rd = ::EnumResourceTypesExA(module, CollectType,
                                           reinterpret_cast<LONG_PTR>(&direct), 0, 0);
    const BOOL ra = ruk::EnumResourceTypesExA(module, CollectType,
                                              reinterpret_cast<LONG_PTR>(&ansi), 0, 0);
    const BOOL rg = ruk::EnumResourceTypesEx(module, CollectType,
                                             reinterpret_cast<LONG_PTR>(&generic), 0, 0);
    EXPECT_NE(rd, FALSE);
    EXPECT_FALSE(direct.empty());
    EXPECT_EQ(ra, rd);
    EXPECT_EQ(rg, rd);
    EXPECT_EQ(ansi, direct);
    EXPECT_EQ(generic, direct);
}

TEST(DynWindowsWrappers, IsWow64ProcessAnswersAsTheKernel) {
    BOOL expected = -1, flag = -1;
    ASSERT_NE(::IsWow64Process(GetCurrentProcess(), &expected), FALSE);
    EXPECT_NE(ruk::IsWow64Process(GetCurrentProcess(), flag), FALSE);
    EXPECT_EQ(flag, expected);
}

TEST(DynWindowsWrappers, FsRedirectionDisableThenRevert) {
    // On a 32-bit system there is no redirection: the kernel then refuses both, and the
    // refusal is its own, not the missing-entry code.
    PVOID old = nullptr;
    SetLastError(0);
    const BOOL disabled = ruk::Wow64DisableWow64FsRedirection(old);
    if (disabled) {
        EXPECT_NE(ruk::Wow64RevertWow64FsRedirection(old), FALSE);
    } else {
        EXPECT_NE(GetLastError(), DWORD(ERROR_CALL_NOT_IMPLEMENTED));
        SetLastError(0);
        EXPECT_EQ(ruk::Wow64RevertWow64FsRedirection(old), FALSE);
        EXPECT_NE(GetLastError(), DWORD(ERROR_CALL_NOT_IMPLEMENTED));
    }
}

TEST(DynWindowsWrappers, GetSystemWow64DirectoryGivesWhatTheKernelGives) {
    char expected[MAX_PATH] = {}, got[MAX_PATH] = {};
    SetLastError(0);
    const UINT n = ::GetSystemWow64DirectoryA(expected, MAX_PATH);
    const DWORD expectedError = GetLastError();
    SetLastError(0);
    EXPECT_EQ(ruk::GetSystemWow64Directory(got, MAX_PATH), n);
    EXPECT_STREQ(got, expected);
    if (n == 0) {
        EXPECT_EQ(GetLastError(), expectedError);
    }
    EXPECT_EQ(GetModuleHandleA("Kernel32.dll"), Kernel());
}
