// The main window of the benchmarks that drive it, opened as a first start opens it.
#pragma once

#include "Forms.h"
#include "RUKLexmillMain.h"

#include <windows.h>

namespace ruk::bench {

// The application set up, the settings removed (the Wine prefix is the build's), the window
// created and shown.
inline TSDIAppForm* OpenFirstStartWindow() {
    Application->Initialize();
    Application->SetTitle("RUK Lexmill");
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\RUK\\Lexmill");
    TSDIAppForm* form = CreateForm<TSDIAppForm>();
    form->Show();
    return form;
}

}  // namespace ruk::bench
