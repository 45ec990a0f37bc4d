// The resolver-and-wrapper pattern shared by the run-time bindings of system libraries.
// A resolver finds one export in a module; a wrapper either loads the library around a
// single call (CallLoaded) or uses a module that is already loaded (CallInModule). A
// missing library or export never raises: the wrapper sets ERROR_CALL_NOT_IMPLEMENTED and
// returns the neutral result it is given.
#pragma once

#include <windows.h>

#include <utility>

namespace ruk::dynbind {

// GetProcAddress of Name in Module; nil with ERROR_INVALID_HANDLE (and no lookup) when
// Module is 0 or INVALID_HANDLE_VALUE.
FARPROC ResolveExport(HMODULE Module, const char* Name);

// Casts a resolved export to its own function type. The detour through void (*)()
// keeps the compiler's function-cast check quiet; the address is unchanged.
template <class Fn>
Fn ProcAs(FARPROC proc) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
}

// ResolveExport, typed as the export's own function.
template <class Fn>
Fn ResolveAs(HMODULE Module, const char* Name) {
    return ProcAs<Fn>(ResolveExport(Module, Name));
}

// Resolves through resolve(module) and calls the entry with args unchanged, or sets
// ERROR_CALL_NOT_IMPLEMENTED and yields missing when the entry is nil.
template <class R, class Resolver, class... Args>
R CallInModule(HMODULE module, Resolver&& resolve, R missing, Args... args) {
    const auto entry = resolve(module);
    if (entry == nullptr) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return missing;
    }
    return static_cast<R>(entry(args...));
}

// Loads fileName for the length of one call: load, resolve, call (or missing with
// ERROR_CALL_NOT_IMPLEMENTED), free whatever LoadLibraryA gave. The free must not
// overwrite the last error that the call or the missing entry left, which FreeLibrary(0)
// of a library that could not be loaded would otherwise do.
template <class R, class Resolver, class... Args>
R CallLoaded(const char* fileName, Resolver&& resolve, R missing, Args... args) {
    const HMODULE module = LoadLibraryA(fileName);
    const R result = CallInModule<R>(module, std::forward<Resolver>(resolve), missing, args...);
    const DWORD lastError = GetLastError();
    FreeLibrary(module);
    SetLastError(lastError);
    return result;
}

}  // namespace ruk::dynbind
