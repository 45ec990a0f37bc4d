#include "RUKAboutLinkThread.h"

#include "Handles.h"
#include "RUKShellExecute.h"

#include <objbase.h>
#include <shlobj.h>

#include <memory>
#include <mutex>

namespace ruk {

namespace {

struct TLinkParcel {
    TRUKAboutURLInfo Info;
    HMODULE Module = nullptr;  // the reference the thread holds on its own code; null in a program
};

std::mutex OpenerLock;
TLinkOpener& Opener() {
    static TLinkOpener opener;
    return opener;
}

INT_PTR OpenLink(HWND window, const std::string& link) {
    TLinkOpener opener;
    {
        std::lock_guard<std::mutex> lock(OpenerLock);
        opener = Opener();
    }
    if (opener) return opener(window, link);
    return ShellExecuteOpen(window, link, "");
}

// Everything the thread does before it ends; returns the open result. No C++ object of the
// thread outlives this call, so the library may go with the call that ends the thread.
DWORD OpenAndReport(std::unique_ptr<TLinkParcel> parcel) {
    INT_PTR result = 0;
    try {
        // The shell may hand the link to a COM server; it must not find COM uninitialised here.
        const TComInitialization com(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        result = OpenLink(parcel->Info.FHandle, parcel->Info.FURL);
        if (result > 32) SHAddToRecentDocs(SHARD_PATHA, parcel->Info.FURL.c_str());
    } catch (...) {
        result = 0;  // nothing may leave a thread function; the dialog hears "not opened"
    }
    PostMessageA(parcel->Info.FHandle, WM_LINKTHREADDONE, result > 32 ? 1 : 0, 0);
    return static_cast<DWORD>(result);
}

// The module that holds this code, with one more reference on it; null when that is the
// program itself (which is never unloaded).
HMODULE ReferenceOwnModule() {
    HMODULE module = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCSTR>(&OpenLinkThreadProc), &module))
        return nullptr;
    if (module == GetModuleHandleA(nullptr)) {
        FreeLibrary(module);
        return nullptr;
    }
    return module;
}

}  // namespace

void SetLinkOpener(TLinkOpener opener) {
    std::lock_guard<std::mutex> lock(OpenerLock);
    Opener() = std::move(opener);
}

DWORD WINAPI OpenLinkThreadProc(LPVOID parameter) {
    auto* parcel = static_cast<TLinkParcel*>(parameter);
    const HMODULE module = parcel->Module;
    const DWORD result = OpenAndReport(std::unique_ptr<TLinkParcel>(parcel));
    if (module) FreeLibraryAndExitThread(module, result);
    return result;
}

HANDLE StartOpenLinkThread(const TRUKAboutURLInfo& info, DWORD& threadId) {
    threadId = 0;
    auto parcel = std::make_unique<TLinkParcel>();
    parcel->Info = info;
    // Taken before the thread exists, so the library cannot go between its start and its first
    // instruction.
    parcel->Module = ReferenceOwnModule();
    const HMODULE module = parcel->Module;
    // 512 bytes asked: the system rounds the stack up to its smallest commitment.
    HANDLE thread = CreateThread(nullptr, 512, &OpenLinkThreadProc, parcel.get(), 0, &threadId);
    if (!thread) {
        const DWORD error = GetLastError();
        if (module) FreeLibrary(module);
        SetLastError(error);
        return nullptr;
    }
    parcel.release();  // the thread frees it
    return thread;
}

}  // namespace ruk
