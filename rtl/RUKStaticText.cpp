#include "RUKStaticText.h"

#include "Form.h"

namespace ruk {

TRUKStaticText::TRUKStaticText(TComponent* owner) : TStaticText(owner) {}

void TRUKStaticText::SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) {
    if (SameText(name, "WordWrap")) SetWordWrap(StrToBoolProp(value));
    else if (SameText(name, "EndEllipsis")) SetEndEllipsis(StrToBoolProp(value));
    else if (SameText(name, "PathEllipsis")) SetPathEllipsis(StrToBoolProp(value));
    else if (SameText(name, "WordEllipsis")) SetWordEllipsis(StrToBoolProp(value));
    else TStaticText::SetProperty(name, value, reader);
}

void TRUKStaticText::SetSwitch(bool& field, bool v) {
    if (field == v) return;
    field = v;
    RecreateWnd();
}

void TRUKStaticText::SetWordWrap(bool v) { SetSwitch(FWordWrap, v); }
void TRUKStaticText::SetEndEllipsis(bool v) { SetSwitch(FEndEllipsis, v); }
void TRUKStaticText::SetPathEllipsis(bool v) { SetSwitch(FPathEllipsis, v); }
void TRUKStaticText::SetWordEllipsis(bool v) { SetSwitch(FWordEllipsis, v); }

void TRUKStaticText::CreateParams(TCreateParams& p) {
    TStaticText::CreateParams(p);
    if (!FWordWrap && Alignment() == TAlignment::taLeftJustify)
        p.Style = (p.Style & ~static_cast<DWORD>(SS_TYPEMASK)) | SS_LEFTNOWORDWRAP;
    p.Style &= ~static_cast<DWORD>(SS_ELLIPSISMASK);
    if (FWordEllipsis) p.Style |= SS_WORDELLIPSIS;
    else if (FEndEllipsis) p.Style |= SS_ENDELLIPSIS;
    else if (FPathEllipsis) p.Style |= SS_PATHELLIPSIS;
}

bool TRUKStaticText::CNCtlColor(UINT msg, HDC dc, LRESULT& result) {
    if (msg != WM_CTLCOLORSTATIC || !ParentThemed) return false;
    if (Font().Color != GetSysColor(COLOR_WINDOWTEXT)) SetTextColor(dc, Font().Color);
    // The page's body shows between the letters.
    SetBkMode(dc, TRANSPARENT);
    result = 0;
    return true;
}

namespace {
// Form descriptions name the class.
const bool gClassRegistered = [] {
    RegisterComponentClass("TRUKStaticText", [](TComponent* o) -> TComponent* { return new TRUKStaticText(o); });
    return true;
}();
}  // namespace

}  // namespace ruk
