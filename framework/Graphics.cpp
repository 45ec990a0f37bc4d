#include "Graphics.h"

#include "Handles.h"

#include <vector>

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
    TMemoryDC dc;
    TGdiObject<HBITMAP> bmp;
    {
        const TWindowDC screen(nullptr);
        dc.Reset(CreateCompatibleDC(screen.Get()));
        bmp.Reset(CreateCompatibleBitmap(screen.Get(), FWidth, FHeight));
    }
    if (!dc || !bmp) RaiseLastOSError();
    {
        // The bitmap leaves the context before it goes into the list, also when draw throws.
        const TSelectedObject select(dc.Get(), bmp.Get());
        RECT r{0, 0, FWidth, FHeight};
        const TGdiObject<HBRUSH> back(CreateSolidBrush(maskColor));
        FillRect(dc.Get(), &r, back.Get());
        draw(dc.Get(), FWidth, FHeight);
    }
    dc.Reset();
    const int index = ImageList_AddMasked(Handle(), bmp.Get(), maskColor);
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

void TIcon::TakeHandle(HICON icon) {
    ReleaseHandle();
    FHandle = icon;
}

void TIcon::Assign(const TIcon& source) {
    SetHandle(source.FHandle);
    Width = source.Width;
    Height = source.Height;
}

// ---------------------------------------------------------------- TBitmap

void TBitmap::SetHandle(HBITMAP bitmap) {
    if (bitmap == FHandle) return;
    if (FHandle) DeleteObject(FHandle);
    FHandle = bitmap;
}

HBITMAP TBitmap::ReleaseHandle() {
    HBITMAP h = FHandle;
    FHandle = nullptr;
    return h;
}

void TBitmap::Assign(const TBitmap& source) {
    SetHandle(source.FHandle ? static_cast<HBITMAP>(CopyImage(source.FHandle, IMAGE_BITMAP, 0, 0, 0)) : nullptr);
}

int TBitmap::Width() const {
    BITMAP b{};
    return FHandle && GetObjectA(FHandle, sizeof b, &b) ? b.bmWidth : 0;
}

int TBitmap::Height() const {
    BITMAP b{};
    return FHandle && GetObjectA(FHandle, sizeof b, &b) ? b.bmHeight : 0;
}

int TBitmap::DibBitsPerPixel() const {
    DIBSECTION d{};
    if (!FHandle || GetObjectA(FHandle, sizeof d, &d) != sizeof d) return 0;
    return d.dsBm.bmBitsPixel;
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
    HBITMAP b = LoadBitmapA(instance, name.c_str());
    if (!b) RaiseLastOSError();
    SetHandle(b);
}

void TBitmap::LoadFromFile(const std::string& fileName) {
    HBITMAP b = static_cast<HBITMAP>(LoadImageA(nullptr, fileName.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!b) RaiseLastOSError();
    SetHandle(b);
}

void TBitmap::SetSize(int width, int height, COLORREF fill) {
    TGdiObject<HBITMAP> b;
    TMemoryDC dc;
    {
        const TWindowDC screen(nullptr);
        b.Reset(CreateCompatibleBitmap(screen.Get(), width, height));
        dc.Reset(CreateCompatibleDC(screen.Get()));
    }
    if (!b) RaiseLastOSError();
    {
        const TSelectedObject select(dc.Get(), b.Get());
        RECT r{0, 0, width, height};
        const TGdiObject<HBRUSH> brush(CreateSolidBrush(fill));
        FillRect(dc.Get(), &r, brush.Get());
    }
    SetHandle(b.Release());
}

// ---------------------------------------------------------------- TMetafile

void TMetafile::SetHandle(HENHMETAFILE metafile) {
    if (metafile == FHandle) return;
    Clear();
    FHandle = metafile;
}

void TMetafile::Clear() {
    if (FHandle) DeleteEnhMetaFile(FHandle);
    FHandle = nullptr;
}

void TMetafile::Assign(const TMetafile& source) {
    SetHandle(source.FHandle ? CopyEnhMetaFileA(source.FHandle, nullptr) : nullptr);
}

void TMetafile::LoadFromFile(const std::string& fileName) {
    HENHMETAFILE m = GetEnhMetaFileA(fileName.c_str());
    if (!m) {
        // A placeable Windows metafile: a 22-byte header, then the metafile bits.
        const TFileHandle f(
            CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!f) RaiseLastOSError();
        const DWORD size = GetFileSize(f.Get(), nullptr);
        std::vector<BYTE> data(size);
        DWORD got = 0;
        if (!ReadFile(f.Get(), data.data(), size, &got, nullptr) || got != size) RaiseLastOSError();
        const size_t skip = size >= 22 && data[0] == 0xD7 && data[1] == 0xCD && data[2] == 0xC6 && data[3] == 0x9A ? 22 : 0;
        m = SetWinMetaFileBits(static_cast<UINT>(size - skip), data.data() + skip, nullptr, nullptr);
        if (!m) RaiseLastOSError();
    }
    SetHandle(m);
}

// ---------------------------------------------------------------- TPicture

void TPicture::Changed() {
    if (OnChange) OnChange(this);
}

void TPicture::Clear() { BecomeKind(TKind::None); }

void TPicture::SetIcon(HICON icon) {
    auto next = std::make_unique<TIcon>();
    next->TakeHandle(icon);
    if (FIcon) {
        next->Width = FIcon->Width;
        next->Height = FIcon->Height;
    }
    FIcon = std::move(next);
    BecomeKind(TKind::Icon);
}

void TPicture::SetBitmap(HBITMAP bitmap) {
    auto next = std::make_unique<TBitmap>();
    next->SetHandle(bitmap);
    FBitmap = std::move(next);
    BecomeKind(TKind::Bitmap);
}

void TPicture::SetMetafile(HENHMETAFILE metafile) {
    auto next = std::make_unique<TMetafile>();
    next->SetHandle(metafile);
    FMetafile = std::move(next);
    BecomeKind(TKind::Metafile);
}

void TPicture::BecomeKind(TKind kind) {
    if (kind != TKind::Icon) FIcon.reset();
    if (kind != TKind::Bitmap) FBitmap.reset();
    if (kind != TKind::Metafile) FMetafile.reset();
    FKind = kind;
    Changed();
}

void TPicture::Assign(const TPicture& source) {
    if (&source == this) return;
    switch (source.FKind) {
    case TKind::Icon:
        SetIcon(source.FIcon->Handle() ? CopyIcon(source.FIcon->Handle()) : nullptr);
        break;
    case TKind::Bitmap:
        SetBitmap(source.FBitmap->Handle() ? static_cast<HBITMAP>(CopyImage(source.FBitmap->Handle(), IMAGE_BITMAP, 0, 0, 0))
                                           : nullptr);
        break;
    case TKind::Metafile:
        SetMetafile(source.FMetafile->Handle() ? CopyEnhMetaFileA(source.FMetafile->Handle(), nullptr) : nullptr);
        break;
    case TKind::None:
        Clear();
        break;
    }
}

void TPicture::LoadFromFile(const std::string& fileName) {
    const std::string ext = LowerCase(ExtractFileExt(fileName));
    if (ext == ".bmp") {
        TBitmap b;
        b.LoadFromFile(fileName);
        SetBitmap(b.ReleaseHandle());
    } else if (ext == ".ico") {
        HICON h = static_cast<HICON>(LoadImageA(nullptr, fileName.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE));
        if (!h) RaiseLastOSError();
        SetIcon(h);
    } else if (ext == ".emf" || ext == ".wmf") {
        TMetafile m;
        m.LoadFromFile(fileName);
        HENHMETAFILE h = m.Handle();
        SetMetafile(CopyEnhMetaFileA(h, nullptr));
    } else {
        throw EInvalidGraphic(Format("Unknown picture file extension (%s)", ext.c_str()));
    }
}

}  // namespace ruk
