#include "RUKVersionInfo.h"

#include "Handles.h"
#include "RUKValidHandle.h"
#include "SysUtils.h"

#include <cstring>
#include <utility>

namespace ruk {

namespace {

constexpr DWORD kFunctionFailed = 1627;

DWORD LastErrorOr(DWORD fallback) {
    const DWORD code = GetLastError();
    return code != 0 ? code : fallback;
}

}  // namespace

TRUKVersionInfo::TRUKVersionInfo(std::string fileName) : FFileName(std::move(fileName)) {}

const std::string& TRUKVersionInfo::GetFileName() {
    if (FFileName.empty()) {
        char path[MAX_PATH + 1] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        FFileName = path;
    }
    return FFileName;
}

int TRUKVersionInfo::GetVersionInfoSize() {
    if (FSize >= 0) return FSize;
    DWORD handle = 0;
    SetLastError(0);
    const DWORD size = GetFileVersionInfoSizeA(GetFileName().c_str(), &handle);
    if (size == 0) {
        FLastError = LastErrorOr(kFunctionFailed);
        return -1;
    }
    FSize = static_cast<int>(size);
    return FSize;
}

const void* TRUKVersionInfo::GetVersionInfoBlock() {
    const int size = GetVersionInfoSize();
    if (size <= 0) {
        FLastError = ERROR_RESOURCE_DATA_NOT_FOUND;
        return nullptr;
    }
    if (FBuffer.empty()) FBuffer.resize(static_cast<size_t>(size));
    SetLastError(0);
    if (!GetFileVersionInfoA(GetFileName().c_str(), 0, static_cast<DWORD>(size), FBuffer.data())) {
        FLastError = LastErrorOr(kFunctionFailed);
        return nullptr;
    }
    return FBuffer.data();
}

bool TRUKVersionInfo::Query(const char* path, const void*& value, UINT& length) {
    const void* block = GetVersionInfoBlock();
    if (block == nullptr) return false;
    void* answer = nullptr;
    SetLastError(0);
    if (!VerQueryValueA(block, path, &answer, &length) || answer == nullptr) {
        FLastError = LastErrorOr(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return false;
    }
    value = answer;
    return true;
}

void TRUKVersionInfo::GetFixedFileInfo(VS_FIXEDFILEINFO& info) {
    std::memset(&info, 0, sizeof info);
    const void* value = nullptr;
    UINT length = sizeof info;
    if (Query("\\", value, length)) std::memcpy(&info, value, std::min<size_t>(length, sizeof info));
}

DWORD TRUKVersionInfo::GetFixedFileInfoSignature() {
    VS_FIXEDFILEINFO info;
    GetFixedFileInfo(info);
    return info.dwSignature;
}

DWORD TRUKVersionInfo::GetTranslation() {
    const void* value = nullptr;
    UINT length = 0;
    if (!Query("\\VarFileInfo\\Translation", value, length) || length < sizeof(DWORD)) return 0;
    DWORD translation = 0;
    std::memcpy(&translation, value, sizeof translation);
    return translation;
}

std::string TRUKVersionInfo::GetTranslationText() {
    const DWORD translation = GetTranslation();
    return Format("%.4X%.4X", static_cast<unsigned>(LOWORD(translation)), static_cast<unsigned>(HIWORD(translation)));
}

std::string TRUKVersionInfo::GetStringFileInfoValue(const std::string& path) {
    const void* value = nullptr;
    UINT length = 256;
    if (!Query(path.c_str(), value, length)) return std::string();
    // The text runs to its zero, but never past the block it lies in.
    const char* text = static_cast<const char*>(value);
    const BYTE* end = FBuffer.data() + FBuffer.size();
    const BYTE* at = reinterpret_cast<const BYTE*>(text);
    if (at < FBuffer.data() || at >= end) return std::string();
    return std::string(text, strnlen(text, static_cast<size_t>(end - at)));
}

std::string TRUKVersionInfo::StringValue(const char* key) {
    return GetStringFileInfoValue("\\StringFileInfo\\" + GetTranslationText() + "\\" + key);
}

bool SupportsDllVersionInfo2(const TProcessVersion& v) {
    if (v.PlatformId == VER_PLATFORM_WIN32_NT) return v.MajorVersion >= 5;
    if (v.PlatformId == VER_PLATFORM_WIN32_WINDOWS)
        return v.MajorVersion > 4 || (v.MajorVersion == 4 && v.MinorVersion >= 90);
    return false;
}

bool SupportsDllVersionInfo2() { return SupportsDllVersionInfo2(ProcessVersion()); }

DLLGETVERSIONPROC PAddrDllGetVersion(HMODULE module) {
    if (!IsValidHandle(module)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // Cleared first, so that a missing export never reports an older, unrelated code.
    SetLastError(0);
    auto proc = reinterpret_cast<DLLGETVERSIONPROC>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetVersion")));
    if (proc == nullptr && GetLastError() == 0) SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return proc;
}

namespace {

HRESULT AskModule(const std::string& fileName, DLLVERSIONINFO* info, DWORD size) {
    std::memset(info, 0, size);
    SetLastError(0);
    const TLoadedModule module(LoadLibraryA(fileName.c_str()));
    if (!module) return static_cast<HRESULT>(LastErrorOr(static_cast<DWORD>(E_FAIL)));
    DLLGETVERSIONPROC proc = PAddrDllGetVersion(module.Get());
    // The code is taken before the module is freed, which may set another.
    if (proc == nullptr) return static_cast<HRESULT>(GetLastError());
    info->cbSize = size;
    return proc(info);
}

}  // namespace

HRESULT GetModuleDllVersion(const std::string& fileName, DLLVERSIONINFO& info) {
    return AskModule(fileName, &info, sizeof info);
}

HRESULT GetModuleDllVersion2(const std::string& fileName, DLLVERSIONINFO2& info) {
    return AskModule(fileName, &info.info1, sizeof info);
}

std::uint64_t MakeDllVerUll(std::uint16_t major, std::uint16_t minor, std::uint16_t build, std::uint16_t qfe) {
    return (std::uint64_t{major} << 48) | (std::uint64_t{minor} << 32) | (std::uint64_t{build} << 16) | qfe;
}

std::uint16_t GetDllVerQfe(std::uint64_t version) { return static_cast<std::uint16_t>(version & 0xFFFF); }

}  // namespace ruk
