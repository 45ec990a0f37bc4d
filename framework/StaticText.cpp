#include "StdCtrls.h"

#include "Handles.h"

namespace ruk {

TAlignment StrToAlignment(const std::string& s) {
    return StrToEnumProp<TAlignment>(s, {{"taLeftJustify", TAlignment::taLeftJustify},
                                         {"taRightJustify", TAlignment::taRightJustify},
                                         {"taCenter", TAlignment::taCenter}});
}

TCustomStaticText::TCustomStaticText(TComponent* owner) : TWinControl(owner) {}

void TCustomStaticText::SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) {
    if (SameText(name, "Alignment")) FAlignment = StrToAlignment(value);
    else if (SameText(name, "AutoSize")) FAutoSize = StrToBoolProp(value);
    else if (SameText(name, "BorderStyle")) {
        FBorderStyle = StrToEnumProp<TStaticBorderStyle>(value, {{"sbsNone", TStaticBorderStyle::sbsNone},
                                                                 {"sbsSingle", TStaticBorderStyle::sbsSingle},
                                                                 {"sbsSunken", TStaticBorderStyle::sbsSunken}});
    } else if (SameText(name, "FocusControl")) FocusControl = reader.Ref<TWinControl>(value);
    else if (SameText(name, "OnClick")) OnClick = reader.FindMethod(value);
    else if (SameText(name, "OnDblClick")) OnDblClick = reader.FindMethod(value);
    else if (SameText(name, "ShowAccelChar") || SameText(name, "BorderWidth")) return;
    else TWinControl::SetProperty(name, value, reader);
}

void TCustomStaticText::Loaded() {
    TWinControl::Loaded();
    AdjustBounds();
}

void TCustomStaticText::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.ClassName = "STATIC";
    p.OwnClass = false;
    p.Style = WS_CHILD | WS_CLIPSIBLINGS | SS_NOTIFY;
    if (FTabStop) p.Style |= WS_TABSTOP;
    switch (FAlignment) {
    case TAlignment::taLeftJustify: p.Style |= SS_LEFT; break;
    case TAlignment::taRightJustify: p.Style |= SS_RIGHT; break;
    case TAlignment::taCenter: p.Style |= SS_CENTER; break;
    }
    if (FBorderStyle == TStaticBorderStyle::sbsSingle) p.Style |= WS_BORDER;
    if (FBorderStyle == TStaticBorderStyle::sbsSunken) p.Style |= SS_SUNKEN;
}

void TCustomStaticText::SetAlignment(TAlignment a) {
    if (a == FAlignment) return;
    FAlignment = a;
    RecreateWnd();
}

void TCustomStaticText::SetAutoSize(bool a) {
    if (a == FAutoSize) return;
    FAutoSize = a;
    AdjustBounds();
}

void TCustomStaticText::SetText(const std::string& s) {
    TWinControl::SetText(s);
    AdjustBounds();
}

void TCustomStaticText::AdjustBounds() {
    if (!FAutoSize || (ComponentState() & csLoading)) return;
    RECT r{0, 0, 0, 0};
    {
        const TWindowDC dc(nullptr);
        const TSelectedObject font(dc.Get(), Font().Handle());
        const std::string text = FText.empty() ? std::string(" ") : FText;
        DrawTextA(dc.Get(), text.c_str(), static_cast<int>(text.size()), &r,
                  DT_CALCRECT | DT_EXPANDTABS | DT_SINGLELINE);
    }
    int extra = 0;
    if (FBorderStyle == TStaticBorderStyle::sbsSingle) extra = 2;
    if (FBorderStyle == TStaticBorderStyle::sbsSunken) extra = 2;
    SetBounds(Left(), Top(), static_cast<int>(r.right) + extra, static_cast<int>(r.bottom) + extra);
}

bool TCustomStaticText::CNCommand(WORD code, WORD, LRESULT& result) {
    if (code == STN_CLICKED && OnClick && !Destroying()) OnClick(this);
    else if (code == STN_DBLCLK && OnDblClick && !Destroying()) OnDblClick(this);
    else return false;
    result = 0;
    return true;
}

}  // namespace ruk
