// LexmillVerInfoDlg: the product's own version dialog, the general dialog with RUK Lexmill's
// texts, icons and help contexts. The library's export creates and shows this class.
#pragma once

#include "RUKVersionInfoDlgV2.h"

namespace ruk {

class TRUKVersionInfoDialog1 : public TRUKVersionInfoDialogV2 {
public:
    using TRUKVersionInfoDialogV2::TRUKVersionInfoDialogV2;
    const char* ClassName() const override { return "TRUKVersionInfoDialog1"; }

    DWORD SetupProductInfo() override;
    DWORD SetupHelpContexts() override;
    DWORD FillManufacturerInfoPage(TRUKRichEdit* richEdit) override;
};

// The product line of the first page.
std::string ProductVersionLine();

}  // namespace ruk
