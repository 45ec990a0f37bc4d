// RUKStaticText: a static text with word-wrap and ellipsis switches; the version dialog's page
// and scroll texts, which also know the rich edit they act on and the next text of their page.
#pragma once

#include "StdCtrls.h"

namespace ruk {

class TRUKStaticText : public TStaticText {
public:
    explicit TRUKStaticText(TComponent* owner);
    const char* ClassName() const override { return "TRUKStaticText"; }
    void SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) override;

    // Each setter does nothing when the value is unchanged; otherwise the window is made anew
    // so that the style takes effect. With more than one ellipsis switch on, the word ellipsis
    // wins over the end ellipsis, and that over the path ellipsis.
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    bool EndEllipsis() const { return FEndEllipsis; }
    void SetEndEllipsis(bool v);
    bool PathEllipsis() const { return FPathEllipsis; }
    void SetPathEllipsis(bool v);
    bool WordEllipsis() const { return FWordEllipsis; }
    void SetWordEllipsis(bool v);

    // The text stands on a page whose body the visual style paints: no background of its own.
    bool ParentThemed = false;
    TWinControl* AssociatedControl = nullptr;
    TRUKStaticText* NextStaticText = nullptr;

protected:
    void CreateParams(TCreateParams& p) override;
    bool CNCtlColor(UINT msg, HDC dc, LRESULT& result) override;

private:
    void SetSwitch(bool& field, bool v);
    bool FWordWrap = true;
    bool FEndEllipsis = false, FPathEllipsis = false, FWordEllipsis = false;
};

}  // namespace ruk
