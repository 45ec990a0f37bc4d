#include "RUKShowVersionInfoDialog.h"

#include "Forms.h"
#include "LexmillVerInfoDlg.h"

namespace ruk {

const char kLibraryApplicationTitle[] = "RUK Lexmill";

DWORD ShowProductVersionInfoDialog(TComponent* owner) {
    try {
        // Both rich-edit libraries stay loaded for the rest of the process.
        LoadLibraryA("RICHED32.DLL");
        LoadLibraryA("Riched20.dll");
        Application->SetTitle(kLibraryApplicationTitle);
        auto* dialog = CreateForm<TRUKVersionInfoDialog1>(owner);
        dialog->SetPosition(TPosition::poDefaultPosOnly);
        // The dialog frees itself when it closes (its close action).
        dialog->ShowModal();
        return 0;
    } catch (...) {
        const DWORD error = GetLastError();
        return error != 0 ? error : 0xE000FEFF;
    }
}

}  // namespace ruk
