// Registry: the ini-file interface over the registry (a section is a subkey of the
// application key, an ident a value name; every value a string).
#pragma once

#include "Classes.h"
#include "SysUtils.h"

#include <windows.h>

#include <string>

namespace ruk {

class TRegistryIniFile : public TObject {
public:
    // Opens (or creates) the key fileName below root with the given access; a leading
    // backslash makes the path absolute from the root. A key that can be neither opened nor
    // created is not reported: reads then give their defaults and writes fail.
    explicit TRegistryIniFile(const std::string& fileName, REGSAM access = KEY_ALL_ACCESS,
                              HKEY root = HKEY_CURRENT_USER);
    ~TRegistryIniFile() override;
    TRegistryIniFile(const TRegistryIniFile&) = delete;
    TRegistryIniFile& operator=(const TRegistryIniFile&) = delete;

    const std::string& FileName() const { return FFileName; }
    HKEY Key() const { return FKey; }

    // The default for a missing section or value; "" for empty data. A value of another type
    // than REG_SZ / REG_EXPAND_SZ raises ERegistryException "Invalid data type for '%s'", an
    // unreadable one "Failed to get data for '%s'".
    std::string ReadString(const std::string& section, const std::string& ident, const std::string& def);
    // Creates the section when missing ("Failed to create key %s") and sets a REG_SZ value
    // with its terminating zero ("Failed to set data for '%s'").
    void WriteString(const std::string& section, const std::string& ident, const std::string& value);

private:
    std::string FFileName;
    HKEY FKey = nullptr;
    REGSAM FAccess;
};

}  // namespace ruk
