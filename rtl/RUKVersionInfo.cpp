#include "RUKVersionInfo.h"

namespace ruk {

std::uint64_t MakeDllVerUll(std::uint16_t major, std::uint16_t minor, std::uint16_t build, std::uint16_t qfe) {
    return (std::uint64_t{major} << 48) | (std::uint64_t{minor} << 32) | (std::uint64_t{build} << 16) | qfe;
}

std::uint16_t GetDllVerQfe(std::uint64_t version) { return static_cast<std::uint16_t>(version & 0xFFFF); }

}  // namespace ruk
