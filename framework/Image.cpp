#include "ExtCtrls.h"

#include "Handles.h"

namespace ruk {

TImage::TImage(TComponent* owner) : TWinControl(owner) {
    FPicture.OnChange = [this](TObject*) {
        if (FHandle) InvalidateRect(FHandle, nullptr, TRUE);
    };
}

void TImage::SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) {
    if (SameText(name, "Stretch")) FStretch = StrToBoolProp(value);
    else if (SameText(name, "Transparent")) FTransparent = StrToBoolProp(value);
    else if (SameText(name, "Center")) FCenter = StrToBoolProp(value);
    else if (SameText(name, "Picture")) FPicture.LoadFromFile(value);
    else TWinControl::SetProperty(name, value, reader);
}

void TImage::SetStretch(bool s) {
    if (s == FStretch) return;
    FStretch = s;
    if (FHandle) InvalidateRect(FHandle, nullptr, TRUE);
}

void TImage::SetTransparent(bool t) {
    if (t == FTransparent) return;
    FTransparent = t;
    RecreateWnd();
}

void TImage::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.ClassName = "TRukImage";
    // Siblings below show through a transparent image: they paint first and do not clip it.
    p.Style = WS_CHILD;
    if (FTransparent) p.ExStyle |= WS_EX_TRANSPARENT;
    p.Background = nullptr;
}

void TImage::Paint(HDC dc) {
    RECT client = ClientRect();
    const int cw = client.right, ch = client.bottom;
    if (!FTransparent) FillRect(dc, &client, ColorBrush());
    if (TIcon* icon = FPicture.Icon()) {
        if (!icon->Handle()) return;
        int w = FStretch ? cw : (icon->Width ? icon->Width : GetSystemMetrics(SM_CXICON));
        int h = FStretch ? ch : (icon->Height ? icon->Height : GetSystemMetrics(SM_CYICON));
        int x = FCenter ? (cw - w) / 2 : 0, y = FCenter ? (ch - h) / 2 : 0;
        DrawIconEx(dc, x, y, icon->Handle(), w, h, 0, nullptr, DI_NORMAL);
    } else if (TBitmap* bmp = FPicture.Bitmap()) {
        if (!bmp->Handle()) return;
        const int bw = bmp->Width(), bh = bmp->Height();
        int w = FStretch ? cw : bw, h = FStretch ? ch : bh;
        int x = FCenter ? (cw - w) / 2 : 0, y = FCenter ? (ch - h) / 2 : 0;
        const TMemoryDC mem(CreateCompatibleDC(dc));
        const TSelectedObject select(mem.Get(), bmp->Handle());
        SetStretchBltMode(dc, COLORONCOLOR);
        if (FTransparent) TransparentBlt(dc, x, y, w, h, mem.Get(), 0, 0, bw, bh, GetPixel(mem.Get(), 0, bh - 1));
        else StretchBlt(dc, x, y, w, h, mem.Get(), 0, 0, bw, bh, SRCCOPY);
    } else if (TMetafile* meta = FPicture.Metafile()) {
        if (!meta->Handle()) return;
        ENHMETAHEADER header{};
        GetEnhMetaFileHeader(meta->Handle(), sizeof header, &header);
        RECT r = client;
        if (!FStretch) {
            r.right = header.rclBounds.right - header.rclBounds.left;
            r.bottom = header.rclBounds.bottom - header.rclBounds.top;
        }
        PlayEnhMetaFile(dc, meta->Handle(), &r);
    }
}

LRESULT TImage::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        const TPaintDC dc(FHandle);
        Paint(dc.Get());
        return 0;
    }
    default:
        return TWinControl::WndProc(msg, wp, lp);
    }
}

}  // namespace ruk
