#include "Registry.h"

#include <vector>

namespace ruk {

namespace {

std::string RelativeKey(const std::string& name) {
    size_t i = 0;
    while (i < name.size() && name[i] == '\\') ++i;
    return name.substr(i);
}

[[noreturn]] void RaiseRegistry(const char* fmt, const std::string& name) {
    throw ERegistryException(Format(fmt, name.c_str()));
}

}  // namespace

TRegistryIniFile::TRegistryIniFile(const std::string& fileName, REGSAM access, HKEY root)
    : FFileName(fileName), FAccess(access) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, RelativeKey(fileName).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                        &key, nullptr) == ERROR_SUCCESS)
        FKey.Reset(key);
}

TRegistryIniFile::~TRegistryIniFile() = default;

std::string TRegistryIniFile::ReadString(const std::string& section, const std::string& ident,
                                         const std::string& def) {
    if (!FKey) return def;
    TRegKey sectionKey;
    if (RegOpenKeyExA(FKey.Get(), section.c_str(), 0, FAccess, sectionKey.Receive()) != ERROR_SUCCESS) return def;
    const HKEY key = sectionKey.Get();

    DWORD type = 0;
    DWORD size = 0;
    LONG r = RegQueryValueExA(key, ident.c_str(), nullptr, &type, nullptr, &size);
    if (r == ERROR_FILE_NOT_FOUND) return def;
    if (r != ERROR_SUCCESS) RaiseRegistry("Failed to get data for '%s'", ident);
    if (size == 0) return std::string();
    std::vector<char> data;
    // The value may grow between the two queries; ask again with the new size.
    for (int attempt = 0;; ++attempt) {
        data.assign(size + 1, '\0');
        DWORD got = size;
        r = RegQueryValueExA(key, ident.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got);
        if (r == ERROR_SUCCESS) {
            size = got;
            break;
        }
        if (r != ERROR_MORE_DATA || attempt == 3) RaiseRegistry("Failed to get data for '%s'", ident);
        size = got;
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ) RaiseRegistry("Invalid data type for '%s'", ident);
    data[size] = '\0';
    return std::string(data.data());  // up to the first zero byte
}

void TRegistryIniFile::WriteString(const std::string& section, const std::string& ident,
                                   const std::string& value) {
    TRegKey key;
    if (!FKey || RegCreateKeyExA(FKey.Get(), section.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, FAccess,
                                           nullptr, key.Receive(), nullptr) != ERROR_SUCCESS)
        RaiseRegistry("Failed to create key %s", section);
    const LONG r = RegSetValueExA(key.Get(), ident.c_str(), 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>(value.size() + 1));
    if (r != ERROR_SUCCESS) RaiseRegistry("Failed to set data for '%s'", ident);
}

}  // namespace ruk
