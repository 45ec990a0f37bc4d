#include "RUKProgramFiles.h"

#include <shlobj.h>

#include <cstring>

namespace ruk {

std::string GetProgramFilesFolder(HWND window) {
    char buffer[MAX_PATH + 1] = {};
    if (SHGetFolderPathA(window, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, buffer) != S_OK) return std::string();
    return std::string(buffer, strnlen(buffer, sizeof buffer));
}

}  // namespace ruk
