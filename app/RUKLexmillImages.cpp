// The tool-bar and menu images of the main window, painted at start (16 x 16, in the order
// of the image indexes of the form description).
#include "RUKLexmillMain.h"

#include "Handles.h"

#include <initializer_list>

namespace ruk {

namespace {

struct Painter {
    HDC dc;
    void Fill(int l, int t, int r, int b, COLORREF c) {
        RECT rc{l, t, r, b};
        const TGdiObject<HBRUSH> br(CreateSolidBrush(c));
        FillRect(dc, &rc, br.Get());
    }
    void Frame(int l, int t, int r, int b, COLORREF c) {
        Fill(l, t, r, t + 1, c);
        Fill(l, b - 1, r, b, c);
        Fill(l, t, l + 1, b, c);
        Fill(r - 1, t, r, b, c);
    }
    void Poly(std::initializer_list<POINT> pts, COLORREF fill, COLORREF edge) {
        const TGdiObject<HBRUSH> br(CreateSolidBrush(fill));
        const TGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, edge));
        const TSelectedObject sb(dc, br.Get()), sp(dc, pen.Get());
        Polygon(dc, pts.begin(), static_cast<int>(pts.size()));
    }
    void Line(int x1, int y1, int x2, int y2, COLORREF c, int width = 1) {
        const TGdiObject<HPEN> pen(CreatePen(PS_SOLID, width, c));
        const TSelectedObject sp(dc, pen.Get());
        MoveToEx(dc, x1, y1, nullptr);
        LineTo(dc, x2, y2);
    }
    void Ellipse(int l, int t, int r, int b, COLORREF fill, COLORREF edge) {
        const TGdiObject<HBRUSH> br(CreateSolidBrush(fill));
        const TGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, edge));
        const TSelectedObject sb(dc, br.Get()), sp(dc, pen.Get());
        ::Ellipse(dc, l, t, r, b);
    }
    void Page(int l, int t, int r, int b) {
        Poly({{l, t}, {r - 4, t}, {r - 1, t + 3}, {r - 1, b - 1}, {l, b - 1}}, RGB(255, 255, 255), RGB(64, 64, 64));
        Line(r - 4, t, r - 4, t + 3, RGB(64, 64, 64));
        Line(r - 4, t + 3, r - 1, t + 3, RGB(64, 64, 64));
    }
    void Disk(int l, int t, COLORREF body) {
        Fill(l, t, l + 12, t + 12, body);
        Frame(l, t, l + 12, t + 12, RGB(0, 0, 64));
        Fill(l + 3, t + 1, l + 9, t + 5, RGB(255, 255, 255));
        Fill(l + 3, t + 7, l + 9, t + 11, RGB(192, 192, 192));
    }
    void Arrow(bool right, COLORREF c) {
        if (right) Poly({{3, 6}, {9, 6}, {9, 2}, {14, 8}, {9, 14}, {9, 10}, {3, 10}}, c, RGB(0, 64, 0));
        else Poly({{13, 6}, {7, 6}, {7, 2}, {2, 8}, {7, 14}, {7, 10}, {13, 10}}, c, RGB(0, 64, 0));
    }
};

const COLORREF kBlue = RGB(40, 90, 200);
const COLORREF kGreen = RGB(30, 160, 60);
const COLORREF kRed = RGB(210, 40, 40);
const COLORREF kYellow = RGB(240, 200, 60);

void PaintImage(int index, Painter& p) {
    switch (index) {
    case 0:  // select source files: an open folder
        p.Poly({{1, 4}, {6, 4}, {7, 5}, {13, 5}, {13, 13}, {1, 13}}, kYellow, RGB(128, 96, 0));
        p.Poly({{3, 8}, {15, 8}, {13, 13}, {1, 13}}, RGB(255, 230, 130), RGB(128, 96, 0));
        break;
    case 1:  // new
        p.Page(3, 1, 14, 15);
        break;
    case 2:  // save
        p.Disk(2, 2, kBlue);
        break;
    case 3:  // save as
        p.Disk(1, 1, kBlue);
        p.Line(9, 14, 15, 8, RGB(160, 80, 0), 2);
        break;
    case 4:  // save all
        p.Disk(4, 0, RGB(120, 150, 220));
        p.Disk(1, 4, kBlue);
        break;
    case 5:  // cut
        p.Line(4, 1, 10, 10, RGB(64, 64, 64), 2);
        p.Line(11, 1, 5, 10, RGB(64, 64, 64), 2);
        p.Ellipse(1, 9, 7, 15, RGB(255, 255, 255), kRed);
        p.Ellipse(9, 9, 15, 15, RGB(255, 255, 255), kRed);
        break;
    case 6:  // copy
        p.Page(1, 1, 10, 11);
        p.Page(6, 5, 15, 15);
        break;
    case 7:  // paste
        p.Fill(2, 2, 12, 15, RGB(170, 120, 60));
        p.Frame(2, 2, 12, 15, RGB(90, 60, 20));
        p.Fill(5, 1, 9, 4, RGB(128, 128, 128));
        p.Page(7, 6, 15, 15);
        break;
    case 8:  // delete
        p.Line(3, 3, 13, 13, kRed, 3);
        p.Line(13, 3, 3, 13, kRed, 3);
        break;
    case 9:  // undo
        p.Poly({{2, 6}, {7, 2}, {7, 4}, {12, 4}, {14, 7}, {14, 13}, {11, 13}, {11, 8}, {7, 8}, {7, 10}}, kBlue,
               RGB(0, 0, 96));
        break;
    case 10:  // redo
        p.Poly({{14, 6}, {9, 2}, {9, 4}, {4, 4}, {2, 7}, {2, 13}, {5, 13}, {5, 8}, {9, 8}, {9, 10}}, kBlue,
               RGB(0, 0, 96));
        break;
    case 11:  // run
        p.Poly({{4, 2}, {13, 8}, {4, 14}}, kGreen, RGB(0, 80, 0));
        break;
    case 12:  // pause
        p.Fill(3, 2, 7, 14, kBlue);
        p.Fill(9, 2, 13, 14, kBlue);
        break;
    case 13:  // resume
        p.Fill(2, 2, 5, 14, kBlue);
        p.Poly({{7, 2}, {14, 8}, {7, 14}}, kGreen, RGB(0, 80, 0));
        break;
    case 14:  // cancel
        p.Fill(3, 3, 13, 13, kRed);
        p.Frame(3, 3, 13, 13, RGB(100, 0, 0));
        break;
    case 15:  // home
        p.Poly({{1, 8}, {8, 1}, {15, 8}}, kRed, RGB(100, 0, 0));
        p.Fill(3, 8, 13, 15, RGB(230, 210, 170));
        p.Frame(3, 8, 13, 15, RGB(100, 70, 30));
        p.Fill(7, 10, 10, 15, RGB(100, 70, 30));
        break;
    case 16:  // back
        p.Arrow(false, kGreen);
        break;
    case 17:  // forward
        p.Arrow(true, kGreen);
        break;
    case 18:  // open URL: a globe
        p.Ellipse(1, 1, 15, 15, RGB(120, 180, 240), RGB(0, 60, 140));
        p.Line(8, 1, 8, 15, RGB(0, 60, 140));
        p.Line(1, 8, 15, 8, RGB(0, 60, 140));
        p.Ellipse(5, 1, 11, 15, RGB(120, 180, 240), RGB(0, 60, 140));
        p.Line(1, 8, 15, 8, RGB(0, 60, 140));
        break;
    case 19:  // exit: a door
        p.Fill(3, 1, 12, 15, RGB(150, 100, 50));
        p.Frame(3, 1, 12, 15, RGB(80, 50, 20));
        p.Fill(9, 8, 11, 10, kYellow);
        break;
    case 20:  // about
        p.Ellipse(1, 1, 15, 15, kBlue, RGB(0, 0, 96));
        p.Fill(7, 7, 9, 13, RGB(255, 255, 255));
        p.Fill(7, 3, 9, 5, RGB(255, 255, 255));
        break;
    default:
        break;
    }
}

constexpr int kImageCount = 21;

}  // namespace

void FillMainImageList(TImageList& images) {
    for (int i = 0; i < kImageCount; ++i)
        images.AddPainted([i](HDC dc, int, int) {
            Painter p{dc};
            PaintImage(i, p);
        });
}

}  // namespace ruk
