// The operating-system identification against the real calls: in this process, and in a probe
// program that Wine tells one Windows version after another (set per program in the prefix).
#include "RUKOpSys.h"
#include "RtlTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
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

// One probe run: the probe program, copied under a name of its own so that Wine can be told
// the Windows version for this run alone, and the four lines it wrote.
struct ProbeRun {
    std::string probe, setting;
    std::vector<std::string> lines;
};

// Starts every run at once (a process start under Wine is slow) and collects the answers.
void RunProbes(std::vector<ProbeRun>& runs) {
    const std::string folder = ruktest::RtlLibraryFolder() + "\\";
    std::vector<HANDLE> processes;
    std::vector<std::string> copies, outputs, keys;
    for (ProbeRun& run : runs) {
        const std::string name = run.probe + "-" + run.setting + ".exe";
        copies.push_back(folder + name);
        outputs.push_back(folder + name + ".txt");
        keys.push_back("Software\\Wine\\AppDefaults\\" + name);
        CopyFileA((folder + run.probe + ".exe").c_str(), copies.back().c_str(), FALSE);
        DeleteFileA(outputs.back().c_str());
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, keys.back().c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                            nullptr) == ERROR_SUCCESS) {
            RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(run.setting.c_str()),
                           static_cast<DWORD>(run.setting.size() + 1));
            RegCloseKey(key);
        }
        std::string command = ruktest::Quoted(copies.back());
        command += ' ';
        command += ruktest::Quoted(outputs.back());
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            CloseHandle(pi.hThread);
            processes.push_back(pi.hProcess);
        } else {
            run.lines.push_back("cannot start: " + std::to_string(GetLastError()));
        }
    }
    WaitForMultipleObjects(static_cast<DWORD>(processes.size()), processes.data(), TRUE, 600000);
    for (HANDLE h : processes) CloseHandle(h);
    for (size_t i = 0; i < runs.size(); ++i) {
        std::ifstream in(outputs[i], std::ios::binary);
        for (std::string line; std::getline(in, line);) runs[i].lines.push_back(line);
        in.close();
        RegDeleteTreeA(HKEY_CURRENT_USER, keys[i].c_str());
        DeleteFileA(outputs[i].c_str());
        DeleteFileA(copies[i].c_str());
    }
}

TEST(OperatingSystem, WhatTheRealCallsAnswerPerWindowsVersion) {
    struct Case {
        const char* probe;
        const char* setting;
        const char* version;
        std::string workstation, server;  // the product name for either product type
    };
    // Wine tells some versions with the server product type (measured: win7 reads as 6.1
    // server); the version number decides, and the name must be that version's.
    const Case cases[] = {
        {"RtlOsProbe", "winxp", "5.1", Win("XP"), Win("2003")},
        {"RtlOsProbe", "win7", "6.1", Win("7"), Win("2008")},
        {"RtlOsProbe", "win81", "6.3", Win("8.1"), Win("2012 R2")},
        {"RtlOsProbe", "win10", "10.0", Win("10"), Win("2016")},
        // Without the manifest's supported versions the system says Windows 8.
        {"RtlOsProbeNoManifest", "win81", "6.2", Win("8"), Win("2012")},
        {"RtlOsProbeNoManifest", "win10", "6.2", Win("8"), Win("2012")},
    };
    std::vector<ProbeRun> runs;
    for (const Case& c : cases) runs.push_back({c.probe, c.setting, {}});
    RunProbes(runs);
    for (size_t i = 0; i < runs.size(); ++i) {
        const Case& c = cases[i];
        const std::vector<std::string>& got = runs[i].lines;
        ASSERT_GE(got.size(), 4u) << c.probe << " " << c.setting << ": " << (got.empty() ? "" : got.back());
        EXPECT_EQ(got[0], "2") << c.probe << " " << c.setting;
        EXPECT_EQ(got[1], c.version) << c.probe << " " << c.setting;
        EXPECT_TRUE(got[2] == c.workstation || got[2] == c.server) << c.probe << " " << c.setting << ": " << got[2];
        // The edition is whatever the product information says; it is never left empty.
        EXPECT_NE(got[3], "") << c.probe << " " << c.setting;
    }
}

}  // namespace
