// The library's static image and static text controls.
#include "RUKStaticImage.h"
#include "RUKStaticText.h"
#include "RtlControlSupport.h"

#include <gtest/gtest.h>

using namespace ruk;
using namespace ruktest;

namespace {

HBITMAP NewBitmap(int w, int h) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    return CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
}

HENHMETAFILE NewMetafile() {
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    Rectangle(dc, 0, 0, 10, 10);
    return CloseEnhMetaFile(dc);
}

struct ImageOnForm {
    FormPtr form = ShownForm();
    TRUKStaticImage* image = Place<TRUKStaticImage>(*form, 10, 10, 64, 64);
    int changes = 0;
    ImageOnForm() {
        image->OnPictureChanged = [this](TObject*) { ++changes; };
    }
    LONG TypeBits() { return image->GetWindowStyle() & SS_TYPEMASK; }
};

}  // namespace

TEST(RUKStaticImage, WithoutPictureShowsTheLibrarysIcon) {
    ImageOnForm t;
    t.image->HandleNeeded();
    EXPECT_EQ(t.TypeBits(), SS_ICON);
    EXPECT_EQ(t.image->GetDisplayedImageKind(), ikIcon);
    EXPECT_NE(SendMessageA(t.image->Handle(), STM_GETICON, 0, 0), 0) << "ZSTATICICON1 not found";
    EXPECT_EQ(t.image->GetPictureImageKind(), ikNone);
}

TEST(RUKStaticImage, EachPictureKindSwitchesTheStyleAndIsShown) {
    ImageOnForm t;
    t.image->HandleNeeded();
    HBITMAP bmp = NewBitmap(16, 16);
    t.image->Picture().SetBitmap(bmp);
    EXPECT_EQ(t.TypeBits(), SS_BITMAP);
    EXPECT_EQ(t.image->GetDisplayedImageKind(), ikBitmap);
    EXPECT_EQ(t.image->GetPictureImageKind(), ikBitmap);

    t.image->Picture().SetMetafile(NewMetafile());
    EXPECT_EQ(t.TypeBits(), SS_ENHMETAFILE);
    EXPECT_EQ(t.image->GetDisplayedImageKind(), ikMetafile);
    EXPECT_EQ(reinterpret_cast<HENHMETAFILE>(SendMessageA(t.image->Handle(), STM_GETIMAGE, IMAGE_ENHMETAFILE, 0)),
              t.image->Picture().Metafile()->Handle());

    t.image->Picture().SetIcon(CopyIcon(LoadIconA(nullptr, IDI_APPLICATION)));
    EXPECT_EQ(t.TypeBits(), SS_ICON);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(t.image->Handle(), STM_GETICON, 0, 0)), t.image->Picture().Icon()->Handle());

    // Cleared: a text static with no image.
    t.image->Picture().Clear();
    EXPECT_EQ(t.TypeBits(), 0);
    EXPECT_EQ(t.image->GetDisplayedImageKind(), ikNone);
    EXPECT_EQ(t.changes, 4);
}

TEST(RUKStaticImage, PictureBeforeTheWindowGivesOnlyTheStyle) {
    FormPtr form = ShownForm();
    auto* image = new TRUKStaticImage(form.get());
    int changes = 0;
    image->OnPictureChanged = [&](TObject*) { ++changes; };
    image->Picture().SetBitmap(NewBitmap(8, 8));
    EXPECT_EQ(changes, 1);
    image->SetParent(form.get());
    image->HandleNeeded();
    EXPECT_EQ(GetWindowLongA(image->Handle(), GWL_STYLE) & SS_TYPEMASK, SS_BITMAP);
    EXPECT_EQ(SendMessageA(image->Handle(), STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
}

TEST(RUKStaticImage, ImageTheControlGaveBackIsDeletedUnlessThePictureOwnsIt) {
    ImageOnForm t;
    t.image->Picture().SetBitmap(NewBitmap(16, 16));
    // A bitmap of the control's own in the window (as common controls 6 make a copy of one
    // with alpha): replacing the picture gives it back, and it is deleted.
    HBITMAP copy = NewBitmap(16, 16);
    SendMessageA(t.image->Handle(), STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(copy));
    t.image->Picture().SetBitmap(NewBitmap(16, 16));
    EXPECT_EQ(GetObjectType(copy), 0u);
    // The picture's own bitmap stays the picture's.
    HBITMAP owned = t.image->Picture().Bitmap()->Handle();
    t.image->Picture().SetMetafile(NewMetafile());
    EXPECT_EQ(GetObjectType(owned), 0u);  // deleted by the picture, once
}

// Scaled at every picture change, from the size it was laid out with, whatever size the
// system's control takes from the bitmap it is given.
TEST(RUKStaticImage, ScaledAtEveryPictureChangeFromItsLaidOutSize) {
    ImageOnForm t;
    t.image->Scaled = true;
    TRUKCustomStaticImage::SetPixelsPerInchForTests(144);
    const struct {
        int bitmap;
        int layout;  // a size the control is given before the change, 0 for none
        int expected;
    } changes[] = {{8, 0, 96}, {8, 0, 96}, {16, 0, 96}, {8, 40, 60}, {200, 0, 60}};
    for (const auto& c : changes) {
        SCOPED_TRACE(c.bitmap);
        if (c.layout) t.image->SetBounds(t.image->Left(), t.image->Top(), c.layout, c.layout);
        t.image->Picture().SetBitmap(NewBitmap(c.bitmap, c.bitmap));
        EXPECT_EQ(t.image->Width(), c.expected);
        EXPECT_EQ(t.image->Height(), c.expected);
    }
    TRUKCustomStaticImage::SetPixelsPerInchForTests(0);
}

TEST(RUKStaticImage, ThemedParentGetsNoBackgroundBrush) {
    ImageOnForm t;
    const HWND h = t.image->Handle();
    HDC dc = GetDC(h);
    const LRESULT plain = SendMessageA(t.form->Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(h));
    t.image->ParentThemed = true;
    const LRESULT themed = SendMessageA(t.form->Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(h));
    ReleaseDC(h, dc);
    EXPECT_NE(plain, 0);
    EXPECT_EQ(themed, 0);
}

TEST(RUKStaticText, WordWrapAndEllipsisStyles) {
    FormPtr form = ShownForm();
    auto* text = Place<TRUKStaticText>(*form, 10, 10, 120, 20);
    text->SetText("Page Down >>");
    const HWND first = text->Handle();
    auto style = [&] { return static_cast<DWORD>(GetWindowLongA(text->Handle(), GWL_STYLE)); };
    EXPECT_EQ(style() & SS_TYPEMASK, static_cast<DWORD>(SS_LEFT));
    EXPECT_EQ(style() & SS_ELLIPSISMASK, 0u);

    text->SetWordWrap(false);
    EXPECT_EQ(style() & SS_TYPEMASK, static_cast<DWORD>(SS_LEFTNOWORDWRAP));
    EXPECT_NE(text->Handle(), first);  // a new window took the style
    const HWND second = text->Handle();
    text->SetWordWrap(false);
    EXPECT_EQ(text->Handle(), second);  // unchanged: nothing made anew

    struct Case {
        bool word, end, path;
        DWORD field;
    };
    const Case cases[] = {{true, false, false, SS_WORDELLIPSIS}, {false, true, false, SS_ENDELLIPSIS},
                          {false, false, true, SS_PATHELLIPSIS}, {false, false, false, 0},
                          {true, true, true, SS_WORDELLIPSIS},   {false, true, true, SS_ENDELLIPSIS}};
    for (const Case& c : cases) {
        text->SetWordEllipsis(c.word);
        text->SetEndEllipsis(c.end);
        text->SetPathEllipsis(c.path);
        EXPECT_EQ(style() & SS_ELLIPSISMASK, c.field) << c.word << c.end << c.path;
    }
}

TEST(RUKStaticText, CentredWithoutWordWrapStaysCentred) {
    FormPtr form = ShownForm();
    auto* text = Place<TRUKStaticText>(*form, 10, 10, 120, 20);
    text->SetAlignment(TAlignment::taCenter);
    text->SetWordWrap(false);
    EXPECT_EQ(GetWindowLongA(text->Handle(), GWL_STYLE) & SS_TYPEMASK, SS_CENTER);
}

TEST(RUKStaticText, ThemedParentTakesTheFontColourAndNoBrush) {
    FormPtr form = ShownForm();
    auto* text = Place<TRUKStaticText>(*form, 10, 10, 120, 20);
    text->Font() = form->Font();
    text->Font().Color = RGB(0, 0, 128);
    const HWND h = text->Handle();
    HDC dc = GetDC(h);
    SetTextColor(dc, RGB(1, 2, 3));
    text->ParentThemed = true;
    EXPECT_EQ(SendMessageA(form->Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(h)), 0);
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 128));
    text->ParentThemed = false;
    EXPECT_NE(SendMessageA(form->Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(h)), 0);
    ReleaseDC(h, dc);
}
