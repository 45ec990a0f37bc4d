#include "RUKShellExecute.h"

#include "RUKValidHandle.h"

#include <shellapi.h>

namespace ruk {

INT_PTR ShellExecuteOpen(HWND window, const std::string& file, const std::string& directory) {
    if (!IsNotInvalidHandleValue(window)) return 0;
    return reinterpret_cast<INT_PTR>(
        ShellExecuteA(window, "open", file.c_str(), nullptr, directory.c_str(), SW_SHOWDEFAULT));
}

}  // namespace ruk
