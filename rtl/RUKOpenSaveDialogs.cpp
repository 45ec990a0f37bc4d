#include "RUKOpenSaveDialogs.h"

#include "Form.h"

#include "Forms.h"

namespace ruk {

std::string ReplaceFileQuestion(const std::string& fileName) {
    return fileName + " already exists.\nDo you want to replace it?";
}

bool TRUKSaveDialog::Execute() {
    for (;;) {
        if (!TRUKOpenDialog::Execute()) return false;
        if (!(Options & ofOverwritePrompt) || !FileExists(FileName)) return true;
        const std::string caption = Title.empty() ? std::string("Save As") : Title;
        if (Application->MessageBox(ReplaceFileQuestion(FileName), caption, MB_YESNO | MB_ICONWARNING) == IDYES)
            return true;
    }
}

namespace {
// Form descriptions name the class.
const bool gClassRegistered = [] {
    RegisterComponentClass("TRUKOpenDialog", [](TComponent* o) -> TComponent* { return new TRUKOpenDialog(o); });
    RegisterComponentClass("TRUKSaveDialog", [](TComponent* o) -> TComponent* { return new TRUKSaveDialog(o); });
    return true;
}();
}  // namespace

}  // namespace ruk
