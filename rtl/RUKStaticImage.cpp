#include "RUKStaticImage.h"

#include "Form.h"
#include "Handles.h"

namespace ruk {

namespace {
int gPixelsPerInch = 0;

int ScreenPixelsPerInch() {
    if (gPixelsPerInch) return gPixelsPerInch;
    const TWindowDC screen(nullptr);
    return GetDeviceCaps(screen.Get(), LOGPIXELSY);
}

// The window style's image type for a kind: icon, bitmap, metafile, else none (a text static).
DWORD ImageStyleOf(int kind) {
    switch (kind) {
    case ikIcon: return SS_ICON;
    case ikBitmap: return SS_BITMAP;
    case ikMetafile: return SS_ENHMETAFILE;
    default: return 0;
    }
}
}  // namespace

void TRUKCustomStaticImage::SetPixelsPerInchForTests(int ppi) { gPixelsPerInch = ppi; }

TRUKCustomStaticImage::TRUKCustomStaticImage(TComponent* owner) : TCustomStaticText(owner) {
    SetAutoSize(false);
    SetBounds(0, 0, 32, 32);
    FPicture.OnChange = [this](TObject*) { PictureChanged(); };
}

void TRUKCustomStaticImage::SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) {
    if (SameText(name, "Scaled")) Scaled = StrToBoolProp(value);
    else if (SameText(name, "OnPictureChanged")) OnPictureChanged = reader.FindMethod(value);
    else if (SameText(name, "Picture")) FPicture.LoadFromFile(value);
    else TCustomStaticText::SetProperty(name, value, reader);
}

void TRUKCustomStaticImage::CreateParams(TCreateParams& p) {
    TCustomStaticText::CreateParams(p);
    const int kind = GetPictureImageKind();
    p.Style = (p.Style & ~static_cast<DWORD>(SS_TYPEMASK)) | (kind == ikBitmap || kind == ikMetafile ? ImageStyleOf(kind) : SS_ICON);
    // An icon static takes its text as the name of an icon resource of the module that made it.
    p.Caption = "ZSTATICICON1";
}

LONG TRUKCustomStaticImage::GetWindowStyle() {
    if (!FHandle || FHandle == INVALID_HANDLE_VALUE) return 0;
    return GetWindowLongA(FHandle, GWL_STYLE);
}

void TRUKCustomStaticImage::SetWindowStyle(LONG style) {
    if (!FHandle || FHandle == INVALID_HANDLE_VALUE) return;
    SetWindowLongA(FHandle, GWL_STYLE, style);
}

void TRUKCustomStaticImage::ChangeImageStyle(int kind) {
    const LONG style = GetWindowStyle() & ~0xF;
    SetWindowStyle(style | static_cast<LONG>(ImageStyleOf(kind)));
}

int TRUKCustomStaticImage::GetPictureImageKind() {
    switch (FPicture.Kind()) {
    case TPicture::TKind::Icon: return ikIcon;
    case TPicture::TKind::Bitmap: return ikBitmap;
    case TPicture::TKind::Metafile: return ikMetafile;
    default: return ikNone;
    }
}

int TRUKCustomStaticImage::GetDisplayedImageKind() {
    if (!FHandle) return ikNone;
    static const std::pair<WPARAM, int> questions[] = {
        {IMAGE_ICON, ikIcon}, {IMAGE_BITMAP, ikBitmap}, {IMAGE_ENHMETAFILE, ikMetafile}, {IMAGE_CURSOR, ikCursor}};
    for (const auto& q : questions) {
        const LRESULT answer = SendMessageA(FHandle, STM_GETIMAGE, q.first, 0);
        if (answer == -1) return ikNone;
        if (answer != 0) return q.second;
    }
    switch (GetWindowStyle() & 0xF) {
    case SS_ICON: return ikIcon;
    case SS_BITMAP: return ikBitmap;
    case SS_ENHMETAFILE: return ikMetafile;
    default: return ikNone;
    }
}

void TRUKCustomStaticImage::PictureChanged() {
    const int kind = GetPictureImageKind();
    // The size to scale is the one the control was laid out with, before showing the
    // picture lets the control fit itself to it.
    const int laidOutWidth = Width(), laidOutHeight = Height();
    if (FHandle) {
        if (GetDisplayedImageKind() != kind) ChangeImageStyle(kind);
        if (GetDisplayedImageKind() == kind) {
            WPARAM type = IMAGE_BITMAP;
            HANDLE image = nullptr;
            if (kind == ikIcon) {
                type = IMAGE_ICON;
                image = FPicture.Icon()->Handle();
            } else if (kind == ikBitmap) {
                image = FPicture.Bitmap()->Handle();
            } else if (kind == ikMetafile) {
                type = IMAGE_ENHMETAFILE;
                image = FPicture.Metafile()->Handle();
            }
            const auto previous = reinterpret_cast<HANDLE>(
                SendMessageA(FHandle, STM_SETIMAGE, type, reinterpret_cast<LPARAM>(image)));
            // The control answers with the image it showed. One that is not the handle the
            // picture gave it is the control's own copy (common controls 6 copy a bitmap with
            // alpha): it is ours to delete. An icon it loaded itself from the resource is shared.
            if (previous && previous != FShownImage && previous != image) {
                const DWORD objectType = GetObjectType(previous);
                if (objectType == OBJ_BITMAP) DeleteObject(previous);
                else if (objectType == OBJ_ENHMETAFILE) DeleteEnhMetaFile(static_cast<HENHMETAFILE>(previous));
            }
            FShownImage = image;
        }
    }
    if (Scaled) {
        // The system's control takes the size of a bitmap it is given, so the size is set anew
        // at every change. It is scaled from the layout's size: a size that an earlier scaling
        // set stands for that one, and scaling it again would grow the control each time.
        if (laidOutWidth != FScaledSize.cx || laidOutHeight != FScaledSize.cy) FLaidOutSize = {laidOutWidth, laidOutHeight};
        const int ppi = ScreenPixelsPerInch();
        FScaledSize = {MulDiv(FLaidOutSize.cx, ppi, 96), MulDiv(FLaidOutSize.cy, ppi, 96)};
        SetBounds(Left(), Top(), FScaledSize.cx, FScaledSize.cy);
    }
    if (OnPictureChanged) OnPictureChanged(this);
}

bool TRUKCustomStaticImage::CNCtlColor(UINT msg, HDC, LRESULT& result) {
    if (msg != WM_CTLCOLORSTATIC || !ParentThemed) return false;
    result = 0;
    return true;
}

namespace {
// Form descriptions name the class.
const bool gClassRegistered = [] {
    RegisterComponentClass("TRUKStaticImage", [](TComponent* o) -> TComponent* { return new TRUKStaticImage(o); });
    return true;
}();
}  // namespace

}  // namespace ruk
