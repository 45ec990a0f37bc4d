// RUKStaticImage: a Windows STATIC that shows the icon, bitmap or enhanced metafile of a picture
// it owns. Until a picture is set an icon-style static shows the library's own icon resource
// "ZSTATICICON1".
#pragma once

#include "Graphics.h"
#include "StdCtrls.h"

#include <windows.h>

namespace ruk {

// Image kinds: what a window shows, and what a picture holds.
enum : int { ikNone = 0, ikIcon = 1, ikBitmap = 2, ikMetafile = 3, ikCursor = 4 };

class TRUKCustomStaticImage : public TCustomStaticText {
public:
    explicit TRUKCustomStaticImage(TComponent* owner);
    const char* ClassName() const override { return "TRUKCustomStaticImage"; }
    void SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) override;

    // The control stands on a page whose body the visual style paints: it paints no background.
    bool ParentThemed = false;
    TPicture& Picture() { return FPicture; }
    // Copies the picture into the control's own.
    void SetPicture(const TPicture& picture) { FPicture.Assign(picture); }
    // Scales the control by the screen's pixels per inch over 96 at every picture change, from
    // the size it was laid out with: a size that the scaling itself set is not scaled again.
    bool Scaled = false;
    TNotifyEvent OnPictureChanged;

    virtual void PictureChanged();
    virtual int GetDisplayedImageKind();
    virtual int GetPictureImageKind();
    void ChangeImageStyle(int kind);
    LONG GetWindowStyle();
    void SetWindowStyle(LONG style);

    // Test seam: the screen's pixels per inch (0: the screen's own).
    static void SetPixelsPerInchForTests(int ppi);

protected:
    void CreateParams(TCreateParams& p) override;
    bool CNCtlColor(UINT msg, HDC dc, LRESULT& result) override;

private:
    TPicture FPicture;
    // The size the control was laid out with, and the size the scaling gave it (0: not scaled).
    SIZE FLaidOutSize{0, 0};
    SIZE FScaledSize{0, 0};
    HANDLE FShownImage = nullptr;  // the picture's handle last given to the window
};

class TRUKStaticImage : public TRUKCustomStaticImage {
public:
    using TRUKCustomStaticImage::TRUKCustomStaticImage;
    const char* ClassName() const override { return "TRUKStaticImage"; }
};

}  // namespace ruk
