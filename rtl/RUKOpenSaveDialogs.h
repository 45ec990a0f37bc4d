// RUKOpenSaveDialogs: the library's file dialogs. The save dialog shows the system's file-open
// dialog, whose overwrite prompt does nothing; so with ofOverwritePrompt it asks itself before a
// chosen file that exists would be replaced, and a "No" shows the dialog again.
#pragma once

#include "Dialogs.h"

namespace ruk {

class TRUKOpenDialog : public TOpenDialog {
public:
    using TOpenDialog::TOpenDialog;
    const char* ClassName() const override { return "TRUKOpenDialog"; }
};

class TRUKSaveDialog : public TRUKOpenDialog {
public:
    using TRUKOpenDialog::TRUKOpenDialog;
    const char* ClassName() const override { return "TRUKSaveDialog"; }
    bool Execute() override;
};

// The question asked before an existing file is replaced.
std::string ReplaceFileQuestion(const std::string& fileName);

}  // namespace ruk
