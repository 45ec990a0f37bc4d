// The operating-system identification against the real calls: in this process, and in a probe
// program that Wine tells one Windows version after another (set per program in the prefix).
#include "RUKOpSys.h"
#include "RtlTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using ruk::TOperatingSystem;

TEST(OperatingSystem, ThisProcess) {
    TOperatingSystem os;
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(os.GetPlatformId(), info.dwPlatformId);
    EXPECT_EQ(os.GetVersionNumberText(),
              std::to_string(info.dwMajorVersion) + "." + std::to_string(info.dwMinorVersion));
    EXPECT_EQ(os.GetBuildNumberText(), std::to_string(info.dwBuildNumber));
    OSVERSIONINFOEXA ex;
    EXPECT_EQ(os.GetOSVersionInfoEx(ex), 0u);
    EXPECT_EQ(ex.dwOSVersionInfoSize, sizeof ex);
    EXPECT_EQ(ex.dwMajorVersion, info.dwMajorVersion);
    EXPECT_NE(os.GetWindowsProductName(), "");
    EXPECT_EQ(os.GetServicePackText(), info.szCSDVersion);
    EXPECT_EQ(os.LastError(), 0u);
}

TEST(OperatingSystem, NamesAndFolders) {
    TOperatingSystem os;
    char expected[MAX_PATH + 1] = {};
    DWORD size = sizeof expected;
    ASSERT_TRUE(GetComputerNameA(expected, &size));
    EXPECT_EQ(os.GetComputerNameText(), expected);
    size = sizeof expected;
    ASSERT_TRUE(GetUserNameA(expected, &size));
    EXPECT_EQ(os.GetUserNameText(), expected);
    GetSystemDirectoryA(expected, sizeof expected);
    EXPECT_EQ(os.GetSystemDirectoryPath(), expected);
    EXPECT_EQ(os.LastError(), 0u);
    // Reading the product type needs query access only.
    EXPECT_EQ(os.GetNTProductTypeFromRegistry(), "WinNT");
    EXPECT_EQ(os.LastError(), 0u);
}

TEST(OperatingSystem, EnvironmentVariables) {
    TOperatingSystem os;
    SetEnvironmentVariableA("RUK_RTL_SHORT", "short value");
    EXPECT_EQ(os.GetEnvironmentVariableValue("RUK_RTL_SHORT"), "short value");
    EXPECT_EQ(os.LastError(), 0u);
    // Longer than the first buffer: the second read takes it whole.
    const std::string longValue(5000, 'x');
    SetEnvironmentVariableA("RUK_RTL_LONG", longValue.c_str());
    EXPECT_EQ(os.GetEnvironmentVariableValue("RUK_RTL_LONG"), longValue);
    EXPECT_EQ(os.LastError(), 0u);
    SetEnvironmentVariableA("RUK_RTL_LONG", nullptr);
    SetEnvironmentVariableA("RUK_RTL_SHORT", nullptr);

    EXPECT_EQ(os.GetEnvironmentVariableValue("RUK_RTL_UNDEFINED"), "");
    EXPECT_EQ(os.LastError(), static_cast<DWORD>(ERROR_ENVVAR_NOT_FOUND));
    EXPECT_EQ(os.GetEnvironmentVariableValue(""), "");
    EXPECT_EQ(os.LastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    char path[8192] = {};
    GetEnvironmentVariableA("Path", path, sizeof path);
    EXPECT_EQ(os.GetSearchPath(), path);
}

// A product name as the ANSI code page spells it.
std::string Win(const char* rest) {
    std::string s = "Windows\xAE ";
    s += rest;
    return s;
}

// Runs a probe with the Windows version Wine reports to it; its four lines back, or the reason.
std::vector<std::string> RunProbe(const std::string& probe, const char* version) {
    const std::string key = "Software\\Wine\\AppDefaults\\" + probe;
    HKEY hkey = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &hkey, nullptr) !=
        ERROR_SUCCESS)
        return {"cannot write the setting"};
    RegSetValueExA(hkey, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                   static_cast<DWORD>(strlen(version) + 1));
    RegCloseKey(hkey);

    const std::string output = ruktest::TestProgramFolder() + probe + "." + version + ".txt";
    DeleteFileA(output.c_str());
    std::string command = ruktest::Quoted(ruktest::RtlLibraryFolder() + "\\" + probe);
    command += ' ';
    command += ruktest::Quoted(output);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::vector<std::string> lines;
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        lines.push_back("cannot start: " + std::to_string(GetLastError()));
    } else {
        WaitForSingleObject(pi.hProcess, 120000);
        DWORD code = 1;
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        std::ifstream in(output, std::ios::binary);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        if (code != 0) lines.push_back("exit code " + std::to_string(code));
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
    DeleteFileA(output.c_str());
    return lines;
}

TEST(OperatingSystem, WhatTheRealCallsAnswerPerWindowsVersion) {
    struct Case {
        const char* setting;
        std::vector<std::string> withManifest, withoutManifest;
    };
    const Case cases[] = {
        {"win2k", {"2", "5.0", Win("2000"), "Professional"}, {}},
        {"winxp", {"2", "5.1", Win("XP"), "Professional"}, {}},
        {"win7", {"2", "6.1", Win("7")}, {}},
        {"win8", {"2", "6.2", Win("8")}, {}},
        // Without the manifest's supported versions the system says Windows 8.
        {"win81", {"2", "6.3", Win("8.1")}, {"2", "6.2", Win("8")}},
        {"win10", {"2", "10.0", Win("10")}, {"2", "6.2", Win("8")}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> got = RunProbe("RtlOsProbe.exe", c.setting);
        ASSERT_GE(got.size(), c.withManifest.size()) << c.setting << ": " << (got.empty() ? "" : got.back());
        got.resize(c.withManifest.size() < 4 ? c.withManifest.size() : 4);
        EXPECT_EQ(got, c.withManifest) << c.setting;
        if (!c.withoutManifest.empty()) {
            std::vector<std::string> bare = RunProbe("RtlOsProbeNoManifest.exe", c.setting);
            ASSERT_GE(bare.size(), c.withoutManifest.size()) << c.setting;
            bare.resize(c.withoutManifest.size());
            EXPECT_EQ(bare, c.withoutManifest) << c.setting << " without manifest";
        }
    }
}

}  // namespace
