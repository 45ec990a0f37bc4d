#include "Graphics.h"

namespace ruk {

TImageList::~TImageList() {
    if (FHandle) ImageList_Destroy(FHandle);
}

void TImageList::SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) {
    if (SameText(name, "Width")) FWidth = StrToIntProp(value);
    else if (SameText(name, "Height")) FHeight = StrToIntProp(value);
    else TComponent::SetProperty(name, value, reader);
}

HIMAGELIST TImageList::Handle() {
    if (!FHandle) {
        FHandle = ImageList_Create(FWidth, FHeight, ILC_COLOR32 | ILC_MASK, 0, 8);
        if (!FHandle) RaiseLastOSError();
    }
    return FHandle;
}

int TImageList::Count() { return ImageList_GetImageCount(Handle()); }

int TImageList::AddPainted(const std::function<void(HDC, int, int)>& draw, COLORREF maskColor) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, FWidth, FHeight);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT r{0, 0, FWidth, FHeight};
    HBRUSH back = CreateSolidBrush(maskColor);
    FillRect(dc, &r, back);
    DeleteObject(back);
    draw(dc, FWidth, FHeight);
    SelectObject(dc, old);
    DeleteDC(dc);
    int index = ImageList_AddMasked(Handle(), bmp, maskColor);
    DeleteObject(bmp);
    if (index < 0) RaiseLastOSError();
    return index;
}

void TIcon::ReleaseHandle() {
    if (FHandle) DestroyIcon(FHandle);
    FHandle = nullptr;
}

void TIcon::SetHandle(HICON icon) {
    ReleaseHandle();
    FHandle = icon ? CopyIcon(icon) : nullptr;
}

void TIcon::Assign(const TIcon& source) { SetHandle(source.FHandle); }

}  // namespace ruk
