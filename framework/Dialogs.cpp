#include "Dialogs.h"

#include "Handles.h"

#include <commdlg.h>

#include <vector>

namespace ruk {

namespace {
TOpenDialog::TExecuteHook& ExecuteHook() {
    static TOpenDialog::TExecuteHook hook;
    return hook;
}
}  // namespace

void TOpenDialog::SetExecuteHook(TExecuteHook hook) { ExecuteHook() = std::move(hook); }

void TOpenDialog::SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) {
    if (SameText(name, "Filter")) Filter = value;
    else if (SameText(name, "FilterIndex")) FilterIndex = StrToIntProp(value);
    else if (SameText(name, "InitialDir")) InitialDir = value;
    else if (SameText(name, "FileName")) FileName = value;
    else if (SameText(name, "DefaultExt")) DefaultExt = value;
    else if (SameText(name, "Title")) Title = value;
    else if (SameText(name, "Options")) Options = StrToOpenOptions(value);
    else TComponent::SetProperty(name, value, reader);
}

std::string FilterToSystemFormat(const std::string& filter) {
    std::string s = filter;
    for (char& c : s)
        if (c == '|') c = '\0';
    s.push_back('\0');
    s.push_back('\0');
    return s;
}

unsigned StrToOpenOptions(const std::string& s) {
    return StrToSetProp(s, {{"ofReadOnly", ofReadOnly},
                            {"ofOverwritePrompt", ofOverwritePrompt},
                            {"ofHideReadOnly", ofHideReadOnly},
                            {"ofNoChangeDir", ofNoChangeDir},
                            {"ofAllowMultiSelect", ofAllowMultiSelect},
                            {"ofPathMustExist", ofPathMustExist},
                            {"ofFileMustExist", ofFileMustExist},
                            {"ofNoTestFileCreate", ofNoTestFileCreate},
                            {"ofEnableSizing", ofEnableSizing},
                            {"ofNoReadOnlyReturn", ofNoReadOnlyReturn}});
}

bool TOpenDialog::Execute() {
    if (ExecuteHook()) return ExecuteHook()(*this);
    std::string filter = FilterToSystemFormat(Filter);
    std::vector<char> file(32768, '\0');
    lstrcpynA(file.data(), FileName.c_str(), static_cast<int>(file.size()));
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    HWND owner = GetActiveWindow();
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = Filter.empty() ? nullptr : filter.c_str();
    ofn.nFilterIndex = static_cast<DWORD>(FilterIndex);
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
    ofn.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
    ofn.lpstrDefExt = DefaultExt.empty() ? nullptr : DefaultExt.c_str();
    ofn.Flags = OFN_EXPLORER;
    if (Options & ofReadOnly) ofn.Flags |= OFN_READONLY;
    if (Options & ofOverwritePrompt) ofn.Flags |= OFN_OVERWRITEPROMPT;
    if (Options & ofHideReadOnly) ofn.Flags |= OFN_HIDEREADONLY;
    if (Options & ofNoChangeDir) ofn.Flags |= OFN_NOCHANGEDIR;
    if (Options & ofAllowMultiSelect) ofn.Flags |= OFN_ALLOWMULTISELECT;
    if (Options & ofPathMustExist) ofn.Flags |= OFN_PATHMUSTEXIST;
    if (Options & ofFileMustExist) ofn.Flags |= OFN_FILEMUSTEXIST;
    if (Options & ofNoTestFileCreate) ofn.Flags |= OFN_NOTESTFILECREATE;
    if (Options & ofEnableSizing) ofn.Flags |= OFN_ENABLESIZING;
    if (Options & ofNoReadOnlyReturn) ofn.Flags |= OFN_NOREADONLYRETURN;
    BOOL ok = IsSave() ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    if (!ok) return false;
    FileName = file.data();
    FilterIndex = static_cast<int>(ofn.nFilterIndex);
    return true;
}

int MessageBoxYesNoCancel(HWND owner, const std::string& text, const std::string& caption) {
    return MessageBoxA(owner, text.c_str(), caption.c_str(), MB_YESNOCANCEL | MB_ICONQUESTION);
}

}  // namespace ruk

namespace ruk {

namespace {
TPrintDialog::TExecuteHook& PrintHook() {
    static TPrintDialog::TExecuteHook hook;
    return hook;
}
// The printer the last print dialog chose, deleted when the next is chosen or the module goes.
TMemoryDC gPrinterDC;
HDC gTestPrinterDC = nullptr;
TPrintJobHook gPrintJobHook;

void TakePrinter(HDC dc) { gPrinterDC.Reset(dc); }
}  // namespace

void TPrintDialog::SetExecuteHook(TExecuteHook hook) { PrintHook() = std::move(hook); }

bool TPrintDialog::Execute() {
    if (PrintHook()) return PrintHook()(*this);
    PRINTDLGA pd{};
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = GetActiveWindow();
    pd.Flags = PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS;
    if (!PrintDlgA(&pd)) return false;
    if (pd.hDevMode) GlobalFree(pd.hDevMode);
    if (pd.hDevNames) GlobalFree(pd.hDevNames);
    TakePrinter(pd.hDC);
    return pd.hDC != nullptr;
}

void SetPrinterForTests(HDC dc, TPrintJobHook hook) {
    gTestPrinterDC = dc;
    gPrintJobHook = std::move(hook);
}

HDC PrinterHandle() {
    if (gTestPrinterDC) return gTestPrinterDC;
    if (!gPrinterDC) {
        PRINTDLGA pd{};
        pd.lStructSize = sizeof pd;
        pd.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
        if (PrintDlgA(&pd)) {
            if (pd.hDevMode) GlobalFree(pd.hDevMode);
            if (pd.hDevNames) GlobalFree(pd.hDevNames);
            TakePrinter(pd.hDC);
        }
    }
    if (!gPrinterDC) throw EPrinter("There is no default printer currently selected");
    return gPrinterDC.Get();
}

void PrintJob(const std::string& title, const std::function<bool(HDC dc)>& drawPage) {
    HDC dc = PrinterHandle();
    const bool test = dc == gTestPrinterDC;
    DOCINFOA doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = title.c_str();
    if (!test && StartDocA(dc, &doc) <= 0) RaiseLastOSError();
    int pages = 0;
    try {
        for (bool more = true; more;) {
            if (!test) StartPage(dc);
            more = drawPage(dc);
            ++pages;
            if (!test) EndPage(dc);
        }
    } catch (...) {
        if (!test) AbortDoc(dc);
        throw;
    }
    if (test) {
        if (gPrintJobHook) gPrintJobHook(title, pages);
    } else if (EndDoc(dc) <= 0) {
        RaiseLastOSError();
    }
}

}  // namespace ruk
