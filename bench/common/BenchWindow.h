// The main window of the benchmarks that drive it, opened as a first start opens it.
#pragma once

#include "Forms.h"
#include "RUKLexmillMain.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

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

// The options of the keyword-list benchmarks, --rows N and --rounds R; false, after the usage
// line, for anything else.
inline bool ReadRowsAndRounds(int argc, char** argv, const char* program, int& rows, int& rounds) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--rows" && i + 1 < argc) {
            rows = std::atoi(argv[++i]);
        } else if (a == "--rounds" && i + 1 < argc) {
            rounds = std::atoi(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: %s [--rows N] [--rounds R]\n", program);
            return false;
        }
    }
    return true;
}

}  // namespace ruk::bench
