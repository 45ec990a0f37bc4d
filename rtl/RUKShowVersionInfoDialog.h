// RUKShowVersionInfoDialog: what the library's export ShowVersionInfoDialog does, in a unit of
// its own so that the test programs, which link the library's units, can call it too.
#pragma once

#include "Controls.h"

#include <windows.h>

namespace ruk {

// The caption of the library's message boxes: the program's title, which the library's own
// application object would otherwise take from the program's file name.
extern const char kLibraryApplicationTitle[];

// Shows the product's version dialog modally (owner: the dialog's owner component, null for
// none) and returns 0 once it has closed; any failure is kept inside and returned as the
// thread's last error, or 0xE000FEFF when there is none.
DWORD ShowProductVersionInfoDialog(TComponent* owner);

}  // namespace ruk
