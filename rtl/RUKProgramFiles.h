// RUKProgramFiles: the Program Files folder.
#pragma once

#include <windows.h>

#include <string>

namespace ruk {

// The folder, or "" when the shell-folder call does not answer S_OK.
std::string GetProgramFilesFolder(HWND window);

}  // namespace ruk
