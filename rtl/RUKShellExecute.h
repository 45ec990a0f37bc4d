// RUKShellExecute: opens a document or address with the program associated with it.
#pragma once

#include <windows.h>

#include <string>

namespace ruk {

// The shell's answer (above 32: success); 0 without calling the shell when window is -1.
INT_PTR ShellExecuteOpen(HWND window, const std::string& file, const std::string& directory);

}  // namespace ruk
