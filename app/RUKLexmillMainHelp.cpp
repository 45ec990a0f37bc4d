// TSDIAppForm: the Help menu (the maker's web pages, About) and the window's help event.
#include "Forms.h"
#include "RUKLexmillMain.h"
#include "RUKValidHandle.h"

namespace ruk {

namespace {
// The maker's web site; the product's home page lies below it.
const std::wstring kMakerSiteURL = L"https://www.ruk-software.example";
const std::wstring kLexmillHomePagePath = L"/products/applications/lexmill/Index.htm";

// ShowVersionInfoDialog of the run-time library: the dialog's owner (0: none) in, 0 or an
// error code out; the callee removes the argument.
using TShowVersionInfoDialog = int(WINAPI*)(int owner);
}  // namespace

void TSDIAppForm::HelpRUKOnTheInternetExec(TObject*) {
    WebBrowser1->Navigate(kMakerSiteURL + L"/");
    PageControl1->SetActivePage(BrowserTabSheet1);
}

void TSDIAppForm::HelpLexmillHomePageExec(TObject*) {
    WebBrowser1->Navigate(kMakerSiteURL + kLexmillHomePagePath);
    PageControl1->SetActivePage(BrowserTabSheet1);
}

void TSDIAppForm::HelpAbout1Execute(TObject*) {
    // Without the library (not found at start) or its entry there is nothing to call: the
    // system's code for the miss is reported as a failing call's would be.
    int result = 0;
    if (!IsValidHandle(FRtlLibrary)) {
        result = ERROR_MOD_NOT_FOUND;
    } else {
        SetLastError(0);
        const auto show = reinterpret_cast<TShowVersionInfoDialog>(
            reinterpret_cast<void*>(GetProcAddress(FRtlLibrary, "ShowVersionInfoDialog")));
        if (show) {
            result = show(0);
        } else {
            result = static_cast<int>(GetLastError());
            if (result == 0) result = ERROR_PROC_NOT_FOUND;
        }
    }
    if (result != 0) ShowMessage("Displaying the version info dialog caused error " + IntToStr(result));
}

bool TSDIAppForm::ShowHelpTopic(WORD, int, bool& CallHelp) {
    ShowMessage("Sorry,\nThe offline help for this application has to be opened externally !");
    // Answered: the class library shows no help of its own after the message.
    CallHelp = false;
    return true;
}

}  // namespace ruk
