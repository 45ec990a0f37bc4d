// Graphics: image lists and icons of the visual layer (fonts and colours are in Controls.h).
#pragma once

#include "Controls.h"

#include <commctrl.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace ruk {

RUK_DECLARE_EXCEPTION(EInvalidGraphic, Exception)

// A list of equally sized images with a mask, shared by tool bars and menus.
class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* owner) : TComponent(owner) {}
    ~TImageList() override;
    const char* ClassName() const override { return "TImageList"; }
    void SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) override;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    HIMAGELIST Handle();
    int Count();
    // Adds one image painted by draw on a white-cleared 32-bit surface of Width x Height;
    // pixels left at the mask colour are transparent. Returns its index.
    int AddPainted(const std::function<void(HDC dc, int width, int height)>& draw,
                   COLORREF maskColor = RGB(255, 0, 255));

private:
    int FWidth = 16, FHeight = 16;
    HIMAGELIST FHandle = nullptr;
};

// An icon handle with the ownership of a copy.
class TIcon : public TObject {
public:
    TIcon() = default;
    ~TIcon() override { ReleaseHandle(); }
    TIcon(const TIcon&) = delete;
    TIcon& operator=(const TIcon&) = delete;
    HICON Handle() const { return FHandle; }
    // Takes the handle; a shared icon from LoadIcon is copied first, so the object always owns its own.
    void SetHandle(HICON icon);
    // Takes the handle as it is (an icon made for this object, as LoadImage without LR_SHARED gives).
    void TakeHandle(HICON icon);
    void Assign(const TIcon& source);
    bool Empty() const { return FHandle == nullptr; }
    // The size asked for when the icon is loaded (LoadImage); 0 for the system's size.
    int Width = 0, Height = 0;

private:
    void ReleaseHandle();
    HICON FHandle = nullptr;
};

// A bitmap handle the object owns.
class TBitmap : public TObject {
public:
    TBitmap() = default;
    ~TBitmap() override { SetHandle(nullptr); }
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;
    HBITMAP Handle() const { return FHandle; }
    // Takes the handle; the previous one is deleted.
    void SetHandle(HBITMAP bitmap);
    // Gives the handle away: the object is empty after.
    HBITMAP ReleaseHandle();
    // A copy of source's image.
    void Assign(const TBitmap& source);
    bool Empty() const { return FHandle == nullptr; }
    int Width() const;
    int Height() const;
    // Bits per pixel of a section (DIB) bitmap; 0 for a device-dependent one or none.
    int DibBitsPerPixel() const;
    // A bitmap resource of a module (LoadBitmapA); raises EOSError when it is missing.
    void LoadFromResourceName(HINSTANCE instance, const std::string& name);
    // A .bmp file as a section bitmap; raises EOSError when it cannot be read.
    void LoadFromFile(const std::string& fileName);
    // A new compatible bitmap of this size filled with the colour.
    void SetSize(int width, int height, COLORREF fill);

private:
    HBITMAP FHandle = nullptr;
};

// An enhanced metafile handle the object owns; empty is a valid metafile of nothing.
class TMetafile : public TObject {
public:
    TMetafile() = default;
    ~TMetafile() override { Clear(); }
    TMetafile(const TMetafile&) = delete;
    TMetafile& operator=(const TMetafile&) = delete;
    HENHMETAFILE Handle() const { return FHandle; }
    void SetHandle(HENHMETAFILE metafile);
    void Assign(const TMetafile& source);
    void Clear();
    bool Empty() const { return FHandle == nullptr; }
    // An .emf file, or a placeable .wmf file converted; raises EOSError when it cannot be read.
    void LoadFromFile(const std::string& fileName);

private:
    HENHMETAFILE FHandle = nullptr;
};

// One graphic, icon, bitmap or metafile, or none; OnChange after every change.
class TPicture : public TObject {
public:
    enum class TKind { None, Icon, Bitmap, Metafile };
    TKind Kind() const { return FKind; }
    // The graphics; each exists while it is the picture's kind, else null.
    TIcon* Icon() const { return FKind == TKind::Icon ? FIcon.get() : nullptr; }
    TBitmap* Bitmap() const { return FKind == TKind::Bitmap ? FBitmap.get() : nullptr; }
    TMetafile* Metafile() const { return FKind == TKind::Metafile ? FMetafile.get() : nullptr; }
    // The picture takes the handle (and deletes it with the next change).
    void SetIcon(HICON icon);
    void SetBitmap(HBITMAP bitmap);
    void SetMetafile(HENHMETAFILE metafile);
    // A copy of another picture's graphic.
    void Assign(const TPicture& source);
    void Clear();
    // Bitmap, icon or metafile file by extension (.bmp, .ico, .emf, .wmf).
    void LoadFromFile(const std::string& fileName);
    TNotifyEvent OnChange;

private:
    void Changed();
    // The picture is of this kind now: the graphics of the other kinds go.
    void BecomeKind(TKind kind);
    TKind FKind = TKind::None;
    std::unique_ptr<TIcon> FIcon;
    std::unique_ptr<TBitmap> FBitmap;
    std::unique_ptr<TMetafile> FMetafile;
};

}  // namespace ruk
