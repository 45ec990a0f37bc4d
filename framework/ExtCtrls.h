// ExtCtrls: the image control (a window of ours that draws its picture: icon, bitmap or
// metafile, stretched to its size or at the picture's own size, a bitmap optionally
// transparent in the colour of its bottom-left pixel).
#pragma once

#include "Controls.h"
#include "Graphics.h"

#include <windows.h>

namespace ruk {

class TImage : public TWinControl {
public:
    explicit TImage(TComponent* owner);
    const char* ClassName() const override { return "TImage"; }
    void SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) override;
    TPicture& Picture() { return FPicture; }
    bool Stretch() const { return FStretch; }
    void SetStretch(bool s);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool t);
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    void CreateParams(TCreateParams& p) override;

private:
    void Paint(HDC dc);
    TPicture FPicture;
    bool FStretch = false, FTransparent = false, FCenter = false;
};

}  // namespace ruk
