// The shell functions and the kernel functions bound at run time.
#include "RUKDynKernel.h"
#include "RUKProgramFiles.h"
#include "RUKShellExecute.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>

namespace {

TEST(ProgramFiles, TheShellsFolder) {
    char expected[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, expected), S_OK);
    const std::string folder = ruk::GetProgramFilesFolder(nullptr);
    EXPECT_EQ(folder, expected);
    EXPECT_NE(GetFileAttributesA(folder.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(ShellExecuteOpen, AnInvalidWindowStartsNothing) {
    EXPECT_EQ(ruk::ShellExecuteOpen(reinterpret_cast<HWND>(INVALID_HANDLE_VALUE), "notepad.exe", ""), 0);
}

TEST(DynKernel, ResolversAndWrappers) {
    SetLastError(0);
    EXPECT_EQ(ruk::PAddrGetProductInfo(nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(ruk::PAddrGlobalMemoryStatusEx(reinterpret_cast<HMODULE>(INVALID_HANDLE_VALUE)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    EXPECT_NE(ruk::PAddrGetNativeSystemInfo(kernel), nullptr);

    SYSTEM_INFO expected, got;
    ::GetNativeSystemInfo(&expected);
    ZeroMemory(&got, sizeof got);
    ruk::GetNativeSystemInfo(&got);
    EXPECT_EQ(got.wProcessorArchitecture, expected.wProcessorArchitecture);

    DWORD type = 0, direct = 0;
    const BOOL ok = ruk::GetProductInfo(6, 1, 0, 0, &type);
    EXPECT_EQ(ok, ::GetProductInfo(6, 1, 0, 0, &direct));
    EXPECT_EQ(type, direct);
}

}  // namespace
