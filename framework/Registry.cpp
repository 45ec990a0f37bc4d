#include "Registry.h"

#include <vector>

namespace ruk {

TRegistryIniFile::TRegistryIniFile(const std::string& fileName, REGSAM access, HKEY root)
    : FFileName(fileName), FAccess(access) {
    std::string path = fileName;
    while (!path.empty() && path[0] == '\\') path.erase(0, 1);
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &FKey, nullptr) !=
        ERROR_SUCCESS)
        FKey = nullptr;
}

TRegistryIniFile::~TRegistryIniFile() {
    if (FKey) RegCloseKey(FKey);
}

std::string TRegistryIniFile::ReadString(const std::string& section, const std::string& ident,
                                         const std::string& def) {
    if (!FKey) return def;
    HKEY key = nullptr;
    if (RegOpenKeyExA(FKey, section.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return def;
    struct Closer {
        HKEY k;
        ~Closer() { RegCloseKey(k); }
    } closer{key};
    DWORD type = 0, size = 0;
    LONG rc = RegQueryValueExA(key, ident.c_str(), nullptr, &type, nullptr, &size);
    if (rc == ERROR_FILE_NOT_FOUND) return def;
    if (rc != ERROR_SUCCESS) throw ERegistryException(Format("Failed to get data for '%s'", ident.c_str()));
    if (size == 0) return "";
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        throw ERegistryException(Format("Invalid data type for '%s'", ident.c_str()));
    std::vector<char> data(size + 1, '\0');
    rc = RegQueryValueExA(key, ident.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    if (rc != ERROR_SUCCESS) throw ERegistryException(Format("Failed to get data for '%s'", ident.c_str()));
    return std::string(data.data());
}

void TRegistryIniFile::WriteString(const std::string& section, const std::string& ident, const std::string& value) {
    HKEY key = nullptr;
    if (!FKey || RegCreateKeyExA(FKey, section.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                 &key, nullptr) != ERROR_SUCCESS)
        throw ERegistryException(Format("Failed to create key %s", section.c_str()));
    LONG rc = RegSetValueExA(key, ident.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) throw ERegistryException(Format("Failed to set data for '%s'", ident.c_str()));
}

}  // namespace ruk
