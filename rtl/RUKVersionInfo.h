// RUKVersionInfo: a module's version resource (TRUKVersionInfo) and its DllGetVersion
// answer. The reader never raises for a missing or unreadable file: it returns an empty
// text, 0 or null and keeps the code in LastError, which a later success does not clear.
#pragma once

#include "Classes.h"
#include "RUKOpSys.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ruk {

class TRUKVersionInfo : public TObject {
public:
    // An empty name reads the program that loaded the library (the process's executable).
    explicit TRUKVersionInfo(std::string fileName = std::string());

    DWORD LastError() const { return FLastError; }

    const std::string& GetFileName();
    int GetVersionInfoSize();
    // The version information read afresh from the file, or null.
    const void* GetVersionInfoBlock();
    void GetFixedFileInfo(VS_FIXEDFILEINFO& info);
    DWORD GetFixedFileInfoSignature();
    // Language in the low word, code page in the high word; 0 when unavailable.
    DWORD GetTranslation();
    std::string GetTranslationText();  // "040904E4"; "00000000" without a translation
    std::string GetStringFileInfoValue(const std::string& path);

    std::string GetCompanyName() { return StringValue("CompanyName"); }
    std::string GetFileDescription() { return StringValue("FileDescription"); }
    std::string GetFileVersion() { return StringValue("FileVersion"); }
    std::string GetInternalName() { return StringValue("InternalName"); }
    std::string GetLegalCopyright() { return StringValue("LegalCopyright"); }
    std::string GetLegalTrademarks() { return StringValue("LegalTrademarks"); }
    std::string GetOriginalFilename() { return StringValue("OriginalFilename"); }
    std::string GetProductName() { return StringValue("ProductName"); }
    std::string GetProductVersion() { return StringValue("ProductVersion"); }

private:
    std::string StringValue(const char* key);
    // VerQueryValueA on a fresh block; false (code kept) when it fails.
    bool Query(const char* path, const void*& value, UINT& length);

    std::string FFileName;
    int FSize = -1;
    std::vector<BYTE> FBuffer;
    DWORD FLastError = 0;
};

// True where the shell's 32-byte DLLVERSIONINFO2 is understood: NT 5 and later, 9x 4.90 and later.
bool SupportsDllVersionInfo2(const TProcessVersion& version);
bool SupportsDllVersionInfo2();

// The module's "DllGetVersion", or null with the last error 6 (no module), the lookup's own
// error, or 120.
DLLGETVERSIONPROC PAddrDllGetVersion(HMODULE module);

// Loads the file, asks its DllGetVersion with the 20- or 32-byte structure and frees it again.
// The structure is zeroed first; the result is the export's answer or the failure's code.
HRESULT GetModuleDllVersion(const std::string& fileName, DLLVERSIONINFO& info);
HRESULT GetModuleDllVersion2(const std::string& fileName, DLLVERSIONINFO2& info);

// The shell's packed version: major in bits 48-63, minor 32-47, build 16-31, quick-fix 0-15.
std::uint64_t MakeDllVerUll(std::uint16_t major, std::uint16_t minor, std::uint16_t build, std::uint16_t qfe);
std::uint16_t GetDllVerQfe(std::uint64_t version);

}  // namespace ruk
