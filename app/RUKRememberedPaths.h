// RUKRememberedPaths: the check every remembered folder or file of the settings passes before
// it reaches a file dialog.
#pragma once

#include <string>

namespace ruk {

enum class TRememberedPathKind {
    rpFolder,    // a folder to open a dialog in: it must exist
    rpSaveFile,  // a file to save to: it, or the folder it would be written in, must exist
};

// The settings hold whatever was written there, by us or by hand. The platform's file dialogs
// take no more than a path (a longer text overflows them and ends the program), and a folder
// that has gone sends them elsewhere anyway. So a remembered path is handed on only when it
// has at most MAX_PATH characters and exists; otherwise the result is empty and the dialog
// opens without it.
std::string UsableRememberedPath(const std::string& path, TRememberedPathKind kind);

}  // namespace ruk
