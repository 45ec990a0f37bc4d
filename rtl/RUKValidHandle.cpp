#include "RUKValidHandle.h"

namespace ruk {

namespace {
// INVALID_HANDLE_VALUE as the 32-bit value it is on this target.
constexpr std::uint32_t kInvalidHandleValue = 0xFFFFFFFFu;

std::uint32_t HandleBits(const void* H) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(H));
}
}  // namespace

bool IsValidHandle(std::uint32_t H) { return H != 0 && H != kInvalidHandleValue; }
bool IsValidHandle(const void* H) { return IsValidHandle(HandleBits(H)); }

bool IsNotInvalidHandleValue(std::uint32_t H) { return H != kInvalidHandleValue; }
bool IsNotInvalidHandleValue(const void* H) { return IsNotInvalidHandleValue(HandleBits(H)); }

}  // namespace ruk
