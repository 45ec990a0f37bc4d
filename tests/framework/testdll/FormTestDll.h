// What the test library's form saw of itself while it was shown modally.
#pragma once

#include <windows.h>

struct TFormTestDllFacts {
    HWND Dialog;           // the form's window while it was shown
    HWND Owner;            // its owner window
    int WasMainForm;       // the form was the library's main form
    int HadMainWindow;     // the library's application had a main window
    int OwnClass;          // the window class belongs to the library and the window to its object
    int IconShown;         // an icon static found the library's icon resource
    int Painted;           // OnPaint calls
    int Closed;            // OnClose calls
    int Destroyed;         // forms destroyed
};

// Both exported undecorated (cdecl).
extern "C" {
typedef int (*TShowTestDialog)(void);
typedef void (*TGetTestDialogFacts)(TFormTestDllFacts* facts);
}
