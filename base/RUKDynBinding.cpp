#include "RUKDynBinding.h"

#include "RUKValidHandle.h"

namespace ruk::dynbind {

FARPROC ResolveExport(HMODULE Module, const char* Name) {
    if (!IsValidHandle(Module)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return GetProcAddress(Module, Name);
}

}  // namespace ruk::dynbind
