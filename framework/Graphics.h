// Graphics: image lists and icons of the visual layer (fonts and colours are in Controls.h).
#pragma once

#include "Controls.h"

#include <commctrl.h>
#include <windows.h>

#include <functional>

namespace ruk {

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
    void Assign(const TIcon& source);
    bool Empty() const { return FHandle == nullptr; }

private:
    void ReleaseHandle();
    HICON FHandle = nullptr;
};

}  // namespace ruk
