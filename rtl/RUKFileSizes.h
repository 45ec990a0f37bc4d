// RUKFileSizes: byte counts in 1024-based multiples and the file-size text.
//
// The run-time library compiles this pair itself (it does not link the base
// library), so it depends on nothing of ours beyond the header-only RUKFpuControl.h.
// RUKMath and RUKSysUtils publish these functions as part of their units.
#pragma once

#include <cstdint>
#include <string>

namespace ruk {

using Extended = long double;  // the 80-bit x87 format
using Int64 = std::int64_t;

// Powers of two: exact unless the result leaves the Extended range (EOverflow).
Extended BytesToTrueKBytes(Extended bytes);
Extended BytesToTrueMBytes(Extended bytes);
Extended BytesToTrueGBytes(Extended bytes);
Extended TrueKBytesToBytes(Extended kbytes);
Extended TrueMBytesToBytes(Extended mbytes);
Extended TrueGBytesToBytes(Extended gbytes);

// «1.50 KB (1,536 Byte)»: below 1 MiB (negative sizes too) in KB, below 1 GiB in MB,
// else in GB, with two decimals and the user's thousand and decimal separators;
// the byte count in parentheses when asked for (always in the one-argument forms).
std::string FormatFileSizeStr(std::int32_t size, bool withByteCount);
std::string FormatFileSizeStr(Int64 size, bool withByteCount);
std::string FormatFileSizeStr(std::int32_t size);
std::string FormatFileSizeStr(Int64 size);

}  // namespace ruk
