// RUKLexmill: the program's entry.
#include "Forms.h"
#include "RUKDynShlWAPI.h"
#include "RUKMath.h"
#include "RUKLexmillMain.h"

#include <windows.h>

namespace {
// The shell light-weight utility unit starts before WinMain (COM, the auto-complete entry)
// and stops at exit.
ruk::TRUKDynShlWAPIUnit GShlWAPIUnit;
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace ruk;
    // Extended arithmetic with a 64-bit mantissa; threads started from here inherit it.
    SetExtendedControlWord();
    try {
        Application->Initialize();
        Application->SetTitle("RUK Lexmill");
        SDIAppForm = CreateForm<TSDIAppForm>();
        SDIAppForm->Show();
        Application->Run();
        // At exit the window goes: OnDestroy, then the destructor.
        SDIAppForm->Free();
    } catch (const Exception&) {
        Application->ShowException(std::current_exception());
    } catch (...) {
        Application->ShowException(std::make_exception_ptr(Exception("")));
    }
    return 0;
}
