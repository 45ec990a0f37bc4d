// Handle validity tests. Kept free of every other unit of the base library so that the
// run-time library can compile this pair on its own.
#pragma once

#include <windows.h>

#include <cstdint>

namespace ruk {

// True when H is neither 0 nor INVALID_HANDLE_VALUE.
bool IsValidHandle(std::uint32_t H);
bool IsValidHandle(const void* H);

// True when H is not INVALID_HANDLE_VALUE (0 passes).
bool IsNotInvalidHandleValue(std::uint32_t H);
bool IsNotInvalidHandleValue(const void* H);

}  // namespace ruk
