// StdCtrls: the static text control (a Windows STATIC with a border style, alignment and
// automatic size; a click raises OnClick).
#pragma once

#include "Controls.h"

#include <windows.h>

namespace ruk {

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TStaticBorderStyle { sbsNone, sbsSingle, sbsSunken };
TAlignment StrToAlignment(const std::string& s);

class TCustomStaticText : public TWinControl {
public:
    explicit TCustomStaticText(TComponent* owner);
    const char* ClassName() const override { return "TCustomStaticText"; }
    void SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) override;
    void Loaded() override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment a);
    TStaticBorderStyle BorderStyle() const { return FBorderStyle; }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool a);
    void SetText(const std::string& s) override;
    // Fits the size to the text when AutoSize is on.
    void AdjustBounds();
    // The control that a click on the text's accelerator focuses.
    TWinControl* FocusControl = nullptr;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;

protected:
    void CreateParams(TCreateParams& p) override;
    bool CNCommand(WORD code, WORD id, LRESULT& result) override;

private:
    TAlignment FAlignment = TAlignment::taLeftJustify;
    TStaticBorderStyle FBorderStyle = TStaticBorderStyle::sbsNone;
    bool FAutoSize = true;
};

class TStaticText : public TCustomStaticText {
public:
    using TCustomStaticText::TCustomStaticText;
    const char* ClassName() const override { return "TStaticText"; }
};

}  // namespace ruk
