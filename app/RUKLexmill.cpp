// RUKLexmill: the program's entry.
#include "RUKDynShlWAPI.h"
#include "RUKLexmillMain.h"

#include <windows.h>

namespace {
// The shell light-weight utility unit starts before WinMain (COM, the auto-complete entry)
// and stops at exit.
ruk::TRUKDynShlWAPIUnit GShlWAPIUnit;
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace ruk;
    try {
        ruk::SDIAppForm = CreateForm<TSDIAppForm>();
        SDIAppForm->Show();
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            if (FormsPreTranslateMessage(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) FormsIdle();
        }
        SDIAppForm->Free();
    } catch (...) {
        HandleException(nullptr);
    }
    return 0;
}
