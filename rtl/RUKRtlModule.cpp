#include "RUKRtlModule.h"

#include "SysUtils.h"

namespace ruk {

HMODULE RtlModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&RtlModule), &module);
    return module;
}

std::string RtlString(UINT id) { return LoadStr(RtlModule(), id); }

}  // namespace ruk
