// Shared by the tests of the run-time bindings: the test library and a table row that
// names an export and the resolver that looks it up.
#pragma once

#include <windows.h>

#include <functional>

namespace {

// Built beside the test program; exports SHAutoComplete, RUKTestSubtract, RUKTestFailWith.
constexpr char kTestDll[] = "RUKTestExports.dll";
const HMODULE kInvalidModule = reinterpret_cast<HMODULE>(INVALID_HANDLE_VALUE);

struct ResolverCase {
    const char* exportName;
    std::function<void*(HMODULE)> resolve;
};

template <class Fn>
std::function<void*(HMODULE)> AsAddress(Fn (*resolver)(HMODULE)) {
    return [resolver](HMODULE m) { return reinterpret_cast<void*>(resolver(m)); };
}

}  // namespace
