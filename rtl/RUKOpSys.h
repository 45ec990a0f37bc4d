// RUKOpSys: which Windows runs, for the "About Windows" page. TOperatingSystem never raises
// for a failing system call: it returns an empty text and keeps the code in LastError.
#pragma once

#include "Classes.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace ruk {

// The process's version values (GetVersionExA, 148-byte record), read once.
struct TProcessVersion {
    DWORD PlatformId = 0;  // 1: the 9x family, 2: NT
    DWORD MajorVersion = 0;
    DWORD MinorVersion = 0;
    DWORD BuildNumber = 0;  // low 16 bits only on the 9x platform
    std::string ServicePack;
};
const TProcessVersion& ProcessVersion();

// Where the identification rules get their facts. The system's source asks the real calls;
// tests supply records of their own.
class TOSFacts {
public:
    virtual ~TOSFacts() = default;
    virtual TProcessVersion Process() const = 0;
    // The 156-byte record: 0, or an error code with the record zeroed but for its size.
    virtual DWORD VersionEx(OSVERSIONINFOEXA& info) const = 0;
    virtual WORD NativeArchitecture() const = 0;
    // GetProductInfo's out value, or 0 when the kernel lacks the function.
    virtual DWORD ProductInfo(DWORD major, DWORD minor, DWORD spMajor, DWORD spMinor) const = 0;
    virtual int ServerR2Metric() const = 0;
    // The registry's "ProductType", "" when unreadable (code in lastError).
    virtual std::string RegistryProductType(DWORD& lastError) const = 0;
};

const TOSFacts& SystemOSFacts();

class TOperatingSystem : public TObject {
public:
    // The facts source must outlive the object.
    explicit TOperatingSystem(const TOSFacts& facts = SystemOSFacts());

    DWORD LastError() const { return FLastError; }

    DWORD GetMajorVersion() const;
    DWORD GetMinorVersion() const;
    DWORD GetBuildNumber() const;
    DWORD GetPlatformId() const;

    std::string GetWindowsProductName();
    std::string GetWindowsEdition();
    std::string GetVersionNumberText() const;
    static std::string FormatVersionNumber(DWORD major, DWORD minor);
    std::string GetBuildNumberText() const;
    std::string GetServicePackText();
    std::string GetSystemDirectoryPath();
    std::string GetSearchPath();
    std::string GetComputerNameText();
    std::string GetUserNameText();
    std::string GetEnvironmentVariableValue(const std::string& name);
    DWORD GetOSVersionInfoEx(OSVERSIONINFOEXA& info) const;
    std::string GetNTProductTypeFromRegistry();

private:
    std::string EditionNT4();
    std::string EditionNT52(const OSVERSIONINFOEXA& ex) const;
    std::string EditionFromProductInfo(const OSVERSIONINFOEXA& ex) const;

    const TOSFacts& FFacts;
    DWORD FLastError = 0;
};

}  // namespace ruk
