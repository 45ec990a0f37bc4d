// Registry: the ini-file interface over the registry. A section is a subkey of the
// store's key and an ident is a value name; every value is a string.
#pragma once

#include "Classes.h"
#include "Handles.h"

#include <windows.h>

#include <string>

namespace ruk {

// The key fileName under root (a leading backslash is from the root: "\Software\X" is
// Software\X) is opened with access when the store is created, and created when missing;
// a key that can be neither opened nor created is not reported then (reads give their
// defaults, writes fail). The section's subkey is opened for each call and closed again.
// Failures raise ERegistryException: "Invalid data type for '%s'", "Failed to get data for
// '%s'" (the ident), "Failed to create key %s" (the section), "Failed to set data for '%s'".
class TRegistryIniFile : public TObject {
public:
    explicit TRegistryIniFile(const std::string& fileName, REGSAM access = KEY_ALL_ACCESS,
                              HKEY root = HKEY_CURRENT_USER);
    ~TRegistryIniFile() override;
    TRegistryIniFile(const TRegistryIniFile&) = delete;
    TRegistryIniFile& operator=(const TRegistryIniFile&) = delete;

    // The default when the section or the value is missing; "" for empty data; the text up
    // to the first zero byte of a REG_SZ or REG_EXPAND_SZ value (not expanded).
    std::string ReadString(const std::string& section, const std::string& ident, const std::string& def);
    // REG_SZ with the text and its terminating zero byte; the section is created when missing.
    void WriteString(const std::string& section, const std::string& ident, const std::string& value);

    const std::string& FileName() const { return FFileName; }
    HKEY Key() const { return FKey.Get(); }  // null when the key could not be opened

private:
    std::string FFileName;
    REGSAM FAccess;
    TRegKey FKey;
};

}  // namespace ruk
