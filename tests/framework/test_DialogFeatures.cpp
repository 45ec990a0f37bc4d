// What dialog descriptions need of the class-library layer: border styles, paint and close
// events, help contexts, static texts and images, hidden tabs, cursors, window re-creation,
// colours, rich edit settings, pictures, print and message-box seams, date-time texts and
// the file search.
#include "ComCtrls.h"
#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Form.h"
#include "FormTestSupport.h"
#include "Forms.h"
#include "Menus.h"
#include "StdCtrls.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace ruk;
using ruk::test::FormPtr;
using ruk::test::NewForm;
using ruk::test::Place;

namespace {
class NullResolver : public TComponentResolver {
public:
    TComponent* FindComponent(const std::string& name) override {
        throw EComponentError("Component " + name + " not found");
    }
    TNotifyEvent FindMethod(const std::string& name) override { throw EComponentError("Method " + name + " not found"); }
};
}  // namespace

TEST(DialogForm, DialogBorderWithHelpIconAndDefaultPosition) {
    FormPtr form = NewForm();
    NullResolver r;
    form->SetProperty("BorderStyle", "bsDialog", r);
    form->SetProperty("BorderIcons", "[biSystemMenu, biHelp]", r);
    form->SetProperty("Position", "poDefaultPosOnly", r);
    form->SetProperty("ClientWidth", "520", r);
    form->SetProperty("ClientHeight", "328", r);
    const HWND h = form->Handle();
    const LONG style = GetWindowLongA(h, GWL_STYLE), ex = GetWindowLongA(h, GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_TRUE(ex & WS_EX_DLGMODALFRAME);
    EXPECT_TRUE(ex & WS_EX_CONTEXTHELP);
    RECT client;
    GetClientRect(h, &client);
    EXPECT_EQ(client.right, 520);
    EXPECT_EQ(client.bottom, 328);
    EXPECT_THROW(form->SetProperty("Position", "poNowhere", r), EPropertyError);
}

TEST(DialogForm, PaintAndCloseEventsWithTheCloseAction) {
    FormPtr form = NewForm();
    int paints = 0;
    form->OnPaint = [&](TObject*) { ++paints; };
    form->Show();
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_GE(paints, 1);

    // caNone keeps the form shown; caHide hides it; caFree frees it after the message.
    TCloseAction next = TCloseAction::caNone;
    form->OnClose = [&](TObject*, TCloseAction& action) {
        EXPECT_EQ(action, TCloseAction::caHide);
        action = next;
    };
    form->Close();
    EXPECT_TRUE(form->Showing());
    next = TCloseAction::caHide;
    form->Close();
    EXPECT_FALSE(form->Showing());

    bool destroyed = false;
    auto* freed = new TForm(nullptr);
    freed->OnDestroy = [&](TObject*) { destroyed = true; };
    freed->OnClose = [](TObject*, TCloseAction& action) { action = TCloseAction::caFree; };
    freed->Show();
    SendMessageA(freed->Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(destroyed);
    Application->ProcessMessages();
    EXPECT_TRUE(destroyed);
}

TEST(DialogForm, HelpContextTravelsWithTheHelpRequestToTheOwner) {
    FormPtr owner = NewForm();
    int context = -1;
    owner->OnHelp = [&](WORD, int data, bool&) {
        context = data;
        return true;
    };
    owner->Show();
    FormPtr dialog = NewForm();
    dialog->SetBorderStyle(TFormBorderStyle::bsDialog);
    auto* button = Place<TButton>(*dialog, 10, 10);
    button->SetHelpContext(7799);
    dialog->HandleNeeded();
    SetWindowLongPtrA(dialog->Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner->Handle()));
    EXPECT_EQ(GetWindowContextHelpId(button->Handle()), 7799u);
    HELPINFO info{sizeof info, HELPINFO_WINDOW, GetDlgCtrlID(button->Handle()), button->Handle(), 7799, {0, 0}};
    SendMessageA(button->Handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(context, 7799);
}

TEST(StaticText, AlignmentBorderAutoSizeAndClick) {
    FormPtr form = NewForm();
    auto* text = Place<TStaticText>(*form, 10, 10);
    text->SetAlignment(TAlignment::taCenter);
    text->SetText("Scroll Down >");
    const LONG style = GetWindowLongA(text->Handle(), GWL_STYLE);
    EXPECT_EQ(style & SS_TYPEMASK, SS_CENTER);
    EXPECT_TRUE(style & SS_NOTIFY);
    EXPECT_GT(text->Width(), 20);
    EXPECT_LT(text->Width(), 200);
    EXPECT_EQ(text->Height(), text->TextHeight("Scroll Down >"));
    int clicks = 0;
    text->OnClick = [&](TObject*) { ++clicks; };
    SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(text->Handle()), STN_CLICKED),
                 reinterpret_cast<LPARAM>(text->Handle()));
    EXPECT_EQ(clicks, 1);
}

TEST(Controls, CursorRecreationAndColourThatRepaintsOnlyOnChange) {
    FormPtr form = NewForm();
    auto* panel = Place<TPanel>(*form, 100, 100);
    panel->SetCursor(LoadCursorA(nullptr, IDC_HAND));
    NullResolver r;
    panel->SetProperty("Cursor", "crHandPoint", r);
    form->Show();
    EXPECT_EQ(SendMessageA(panel->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(panel->Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), TRUE);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));

    const HWND before = panel->Handle();
    panel->SetHelpContext(12);
    panel->RecreateWnd();
    EXPECT_NE(panel->Handle(), before);
    EXPECT_TRUE(IsWindow(panel->Handle()));
    EXPECT_EQ(GetWindowContextHelpId(panel->Handle()), 12u);

    // Re-applying the colour a control has does not invalidate it (a handler may re-apply
    // colours at every paint), a new one does.
    panel->SetColor(RGB(10, 20, 30));
    UpdateWindow(form->Handle());
    ValidateRect(panel->Handle(), nullptr);
    panel->SetColor(RGB(10, 20, 30));
    EXPECT_FALSE(GetUpdateRect(panel->Handle(), nullptr, FALSE));
    panel->SetColor(RGB(40, 50, 60));
    EXPECT_TRUE(GetUpdateRect(panel->Handle(), nullptr, FALSE));
    ValidateRect(panel->Handle(), nullptr);

    // ParentColor: the child shows its parent's colour and follows it.
    auto* child = new TPanel(form.get());
    child->SetBounds(0, 0, 20, 20);
    child->SetParent(panel);
    child->SetParentColor(true);
    EXPECT_EQ(child->Color(), RGB(40, 50, 60));
    child->SetParentColor(true);
    panel->SetColor(RGB(1, 2, 3));
    EXPECT_EQ(child->Color(), RGB(1, 2, 3));
}

TEST(PageControl, HiddenTabKeepsItsPageOutOfTheTabs) {
    FormPtr form = NewForm();
    auto* pages = Place<TPageControl>(*form, 300, 200);
    auto sheet = [&](const char* caption) {
        auto* s = new TTabSheet(form.get());
        s->SetText(caption);
        s->SetParent(pages);
        return s;
    };
    TTabSheet* a = sheet("A");
    TTabSheet* hidden = sheet("Hidden");
    TTabSheet* c = sheet("C");
    hidden->SetTabVisible(false);
    form->Show();
    EXPECT_EQ(SendMessageA(pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(pages->TabIndexOfPage(2), 1);
    EXPECT_EQ(pages->TabIndexOfPage(1), -1);
    EXPECT_EQ(pages->PageIndexOfTab(1), 2);
    // Choosing the second tab shows the third page.
    SendMessageA(pages->Handle(), TCM_SETCURSEL, 1, 0);
    NMHDR hdr{pages->Handle(), static_cast<UINT_PTR>(GetDlgCtrlID(pages->Handle())), static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(form->Handle(), WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr));
    EXPECT_EQ(pages->ActivePage(), c);
    // The hidden page is shown only when made active in code.
    pages->SetActivePage(hidden);
    EXPECT_TRUE(IsWindowVisible(hidden->Handle()));
    EXPECT_EQ(SendMessageA(pages->Handle(), TCM_GETCURSEL, 0, 0), -1);
    (void)a;
}

TEST(RichEditDialog, NoBorderColourBoldSelectionCopyAndPrint) {
    FormPtr form = NewForm();
    auto* edit = new TRichEdit(form.get());
    NullResolver r;
    edit->SetProperty("BorderStyle", "bsNone", r);
    edit->SetProperty("WantReturns", "False", r);
    edit->SetBounds(0, 0, 200, 100);
    edit->SetParent(form.get());
    form->Show();
    EXPECT_FALSE(GetWindowLongA(edit->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_FALSE(GetWindowLongA(edit->Handle(), GWL_STYLE) & ES_WANTRETURN);
    edit->SetColor(RGB(200, 210, 220));
    // The control answers the previous background colour when it is set again.
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(edit->Handle(), EM_SETBKGNDCOLOR, 0, RGB(200, 210, 220))), RGB(200, 210, 220));

    edit->SetSelBold(true);
    edit->SetSelText("Bold");
    edit->SetSelBold(false);
    edit->SetSelText(" plain");
    edit->SetSelStart(0);
    edit->SetSelLength(4);
    EXPECT_TRUE(edit->SelBold());
    edit->SetSelStart(6);
    edit->SetSelLength(4);
    EXPECT_FALSE(edit->SelBold());

    edit->SelectAll();
    edit->CopyToClipboard();
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_TEXT);
    std::string copied = data ? static_cast<const char*>(GlobalLock(data)) : "";
    if (data) GlobalUnlock(data);
    CloseClipboard();
    EXPECT_EQ(copied.substr(0, 10), "Bold plain");

    // Printing goes to the printer the print dialog chose: here a test device context.
    int answered = 0;
    TPrintDialog::SetExecuteHook([&](TPrintDialog&) {
        ++answered;
        return true;
    });
    TPrintDialog dialog(nullptr);
    EXPECT_TRUE(dialog.Execute());
    TPrintDialog::SetExecuteHook(nullptr);
    EXPECT_EQ(answered, 1);
    HDC screen = GetDC(nullptr);
    HDC page = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 850, 1100);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(page, bmp);
    std::string title;
    int pages = 0;
    SetPrinterForTests(page, [&](const std::string& t, int n) {
        title = t;
        pages = n;
    });
    edit->Print("Test");
    SetPrinterForTests(nullptr, nullptr);
    SelectObject(page, old);
    DeleteObject(bmp);
    DeleteDC(page);
    EXPECT_EQ(title, "Test");
    EXPECT_EQ(pages, 1);
}

TEST(Graphics, PictureHoldsOneGraphicAndCopies) {
    TPicture picture;
    int changes = 0;
    picture.OnChange = [&](TObject*) { ++changes; };
    TBitmap b;
    b.SetSize(12, 7, RGB(255, 0, 0));
    EXPECT_EQ(b.Width(), 12);
    EXPECT_EQ(b.Height(), 7);
    EXPECT_EQ(b.DibBitsPerPixel(), 0);  // device-dependent
    picture.SetBitmap(b.ReleaseHandle());
    EXPECT_EQ(picture.Kind(), TPicture::TKind::Bitmap);
    EXPECT_EQ(picture.Bitmap()->Width(), 12);
    EXPECT_EQ(picture.Icon(), nullptr);
    TPicture copy;
    copy.Assign(picture);
    EXPECT_NE(copy.Bitmap()->Handle(), picture.Bitmap()->Handle());
    EXPECT_EQ(copy.Bitmap()->Height(), 7);
    HDC dc = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    picture.SetMetafile(CloseEnhMetaFile(dc));
    EXPECT_EQ(picture.Kind(), TPicture::TKind::Metafile);
    picture.SetIcon(CopyIcon(LoadIconA(nullptr, IDI_APPLICATION)));
    EXPECT_EQ(picture.Kind(), TPicture::TKind::Icon);
    picture.Clear();
    EXPECT_EQ(picture.Kind(), TPicture::TKind::None);
    EXPECT_EQ(changes, 4);
    EXPECT_THROW(picture.LoadFromFile("picture.xyz"), EInvalidGraphic);

    // An image control draws its picture stretched.
    FormPtr form = NewForm();
    auto* image = Place<TImage>(*form, 40, 40);
    image->SetStretch(true);
    TBitmap red;
    red.SetSize(2, 2, RGB(255, 0, 0));
    image->Picture().SetBitmap(red.ReleaseHandle());
    form->Show();
    UpdateWindow(form->Handle());
    HDC idc = GetDC(image->Handle());
    EXPECT_EQ(GetPixel(idc, 30, 30), RGB(255, 0, 0));
    ReleaseDC(image->Handle(), idc);
}

TEST(Application, MessageBoxHookAnswersForTheUser) {
    std::string seen;
    Application->SetMessageBoxHook([&](const std::string& text, const std::string& caption, UINT flags) {
        seen = caption + "|" + text + "|" + std::to_string(flags & MB_TYPEMASK);
        return IDOK;
    });
    ShowMessage("Internet Explorer NOT found !");
    Application->SetMessageBoxHook(nullptr);
    EXPECT_EQ(seen, Application->Title() + "|Internet Explorer NOT found !|0");
}

TEST(SysUtilsText, DateTimeTextAndFileSearch) {
    // en-US in the test prefix: short date, then the long time; midnight has no time.
    SYSTEMTIME st{2026, 12, 4, 10, 19, 5, 7, 0};
    EXPECT_EQ(DateTimeToStr(SystemTimeToDateTime(st)), "12/10/2026 7:05:07 PM");
    SYSTEMTIME midnight{2026, 1, 4, 1, 0, 0, 0, 0};
    EXPECT_EQ(DateTimeToStr(SystemTimeToDateTime(midnight)), "1/1/2026");

    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string dir = temp;
    if (dir.back() == '\\') dir.pop_back();
    const std::string file = dir + "\\ruk_search_target.exe";
    std::ofstream(file) << "x";
    EXPECT_EQ(FileSearch("ruk_search_target.exe", "C:\\nowhere;" + dir), file);
    EXPECT_EQ(FileSearch("ruk_search_target.exe", "C:\\nowhere;" + dir + "\\"), file);
    EXPECT_EQ(FileSearch("ruk_search_target.exe", "C:\\nowhere"), "");
    EXPECT_EQ(FileSearch(file, ""), file);
    DeleteFileA(file.c_str());
}

TEST(DialogForm, PopupItemShortcutOfTheFocusedControl) {
    FormPtr form = NewForm();
    auto* edit = Place<TRichEdit>(*form, 200, 100);
    auto* popup = new TPopupMenu(form.get());
    auto* item = new TMenuItem(form.get());
    NullResolver r;
    item->SetProperty("Caption", "Select All", r);
    item->SetProperty("ShortCut", "Ctrl+A", r);
    popup->Items()->Add(item);
    edit->SetPopupMenu(popup);
    int clicks = 0, popups = 0;
    bool enable = true;
    item->OnClick = [&](TObject*) { ++clicks; };
    popup->OnPopup = [&](TObject*) {
        ++popups;
        item->SetEnabled(enable);
    };
    form->Show();
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    MSG msg{edit->Handle(), WM_KEYDOWN, 'A', 0, 0, {0, 0}};
    EXPECT_TRUE(form->IsShortCut(msg));
    enable = false;
    EXPECT_FALSE(form->IsShortCut(msg));
    MSG other{edit->Handle(), WM_KEYDOWN, 'B', 0, 0, {0, 0}};
    EXPECT_FALSE(form->IsShortCut(other));
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(popups, 2);
}
