// RUKRtlModule: the module that holds the run-time library's code and resources. That is
// RUKLexmillRtl.dll in the shipped library, and the test program where the units are linked
// statically together with the library's resources.
#pragma once

#include <windows.h>

#include <string>

namespace ruk {

HMODULE RtlModule();

// A string of the module's string table, "" when there is none.
std::string RtlString(UINT id);

}  // namespace ruk
