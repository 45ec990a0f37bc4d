// RUKVersionInfo: a module's version resource and its DllGetVersion answer.
#pragma once

#include <windows.h>

#include <cstdint>

namespace ruk {

// The shell's packed version: major in bits 48-63, minor 32-47, build 16-31, quick-fix 0-15.
std::uint64_t MakeDllVerUll(std::uint16_t major, std::uint16_t minor, std::uint16_t build, std::uint16_t qfe);
std::uint16_t GetDllVerQfe(std::uint64_t version);

}  // namespace ruk
