// Dialogs: the open and save file dialogs and the confirmation message box.
//
// Execute runs the system's dialog; tests replace it through SetExecuteHook, which gets the
// dialog object (its filter, folder and name as the caller set them) and answers for the user.
#pragma once

#include "Controls.h"

#include <windows.h>

#include <functional>
#include <string>

namespace ruk {

enum TOpenOption : unsigned {
    ofReadOnly = 1u << 0,
    ofOverwritePrompt = 1u << 1,
    ofHideReadOnly = 1u << 2,
    ofNoChangeDir = 1u << 3,
    ofAllowMultiSelect = 1u << 4,
    ofPathMustExist = 1u << 5,
    ofFileMustExist = 1u << 6,
    ofNoTestFileCreate = 1u << 7,
    ofEnableSizing = 1u << 8,
    ofNoReadOnlyReturn = 1u << 9,
};

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* owner) : TComponent(owner) {}
    const char* ClassName() const override { return "TOpenDialog"; }
    void SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) override;

    // Pairs of description and pattern separated by '|', as "Text files (*.txt)|*.txt".
    std::string Filter;
    int FilterIndex = 1;  // 1-based, as the system's dialog counts
    std::string InitialDir;
    std::string FileName;
    std::string DefaultExt;
    std::string Title;
    unsigned Options = ofHideReadOnly | ofEnableSizing;

    // True when the user chose a file; FileName and FilterIndex then hold the choice.
    virtual bool Execute();

    using TExecuteHook = std::function<bool(TOpenDialog& dialog)>;
    static void SetExecuteHook(TExecuteHook hook);

protected:
    virtual bool IsSave() const { return false; }
};

class TSaveDialog : public TOpenDialog {
public:
    using TOpenDialog::TOpenDialog;
    const char* ClassName() const override { return "TSaveDialog"; }

protected:
    bool IsSave() const override { return true; }
};

RUK_DECLARE_EXCEPTION(EPrinter, Exception)

// The system's print dialog; Execute is true when the user confirmed, and the printer chosen
// is then the one printing goes to. Tests answer for the user through SetExecuteHook (Wine
// has no printer).
class TPrintDialog : public TComponent {
public:
    explicit TPrintDialog(TComponent* owner) : TComponent(owner) {}
    const char* ClassName() const override { return "TPrintDialog"; }
    virtual bool Execute();
    using TExecuteHook = std::function<bool(TPrintDialog& dialog)>;
    static void SetExecuteHook(TExecuteHook hook);
};

// The printer's device context: the one the last print dialog chose, else the default
// printer's; raises EPrinter when there is none.
HDC PrinterHandle();
// A print job on the printer: each page is drawn by drawPage(dc, page rectangle in twips of
// the printable area) until it answers false. Tests put a device context and a hook that
// sees the job's title and page count in place of the printer.
void PrintJob(const std::string& title, const std::function<bool(HDC dc)>& drawPage);
using TPrintJobHook = std::function<void(const std::string& title, int pages)>;
void SetPrinterForTests(HDC dc, TPrintJobHook hook);

// "A|B|C|D" -> "A\0B\0C\0D\0\0" as the system's dialogs take it.
std::string FilterToSystemFormat(const std::string& filter);
// Parses "[ofOverwritePrompt,ofHideReadOnly]".
unsigned StrToOpenOptions(const std::string& s);

// A modal Yes/No/Cancel question owned by owner: IDYES, IDNO or IDCANCEL.
int MessageBoxYesNoCancel(HWND owner, const std::string& text, const std::string& caption);

}  // namespace ruk
