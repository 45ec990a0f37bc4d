// The version dialog in the test program: its texts, pages, scrolling, popup menu, copy, save,
// print and links, and the modal dialog as the library's export shows it.
#include "Dialogs.h"
#include "Forms.h"
#include "LexmillVerInfoDlg.h"
#include "RUKShowVersionInfoDialog.h"
#include "RUKVersionInfoFacts.h"
#include "RtlTestSupport.h"
#include "TestFileSupport.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>
#include <richedit.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace ruk;

// Handles the messages that wait, for about ms milliseconds.
void Pump(DWORD ms = 0) {
    const DWORD start = GetTickCount();
    do {
        Application->ProcessMessages();
        if (ms) Sleep(5);
    } while (GetTickCount() - start < ms);
}

std::string TempFile(const std::string& name) { return ruktest::TempDir() + name; }

void ClearClipboard() {
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

bool BoldAt(TRUKRichEdit* edit, int position) {
    edit->SetSelStart(position);
    edit->SetSelLength(1);
    const bool bold = edit->SelBold();
    edit->SetSelLength(0);
    return bold;
}

std::vector<std::string> Texts(const TInfoLines& lines) {
    std::vector<std::string> texts;
    for (const TInfoLine& l : lines) texts.push_back(l.Text);
    return texts;
}

// What the library's message boxes would have shown; each is answered with OK.
class MessageBoxes {
public:
    MessageBoxes() {
        Application->SetMessageBoxHook([this](const std::string& text, const std::string& caption, UINT flags) {
            Texts.push_back(text);
            Captions.push_back(caption);
            // The save dialog's question before it replaces a file is answered Yes.
            return (flags & MB_YESNO) ? IDYES : IDOK;
        });
    }
    ~MessageBoxes() { Application->SetMessageBoxHook(nullptr); }
    std::vector<std::string> Texts, Captions;
};

// A dialog of the product class whose host-program version information may be another file's.
class TestDialog : public TRUKVersionInfoDialog1 {
public:
    explicit TestDialog(const std::string& versionFile = "") : TRUKVersionInfoDialog1(nullptr) {
        if (!versionFile.empty()) FAppVersionInfo = std::make_unique<TRUKVersionInfo>(versionFile);
    }
};

class VersionInfoDialog : public ::testing::Test {
protected:
    void SetUp() override { Application->SetTitle(kLibraryApplicationTitle); }
    void TearDown() override {
        if (Dialog) Dialog->Free();
        SetLinkOpener(nullptr);
        TOpenDialog::SetExecuteHook(nullptr);
        TPrintDialog::SetExecuteHook(nullptr);
    }
    TestDialog* Open(const std::string& versionFile = "") {
        Dialog = new TestDialog(versionFile);
        Dialog->AfterConstruction();
        // Shown without its modal loop, so that the test can look in; as a modal dialog it is
        // never the main form, and here it must not be one either.
        if (MainForm() == Dialog) SetMainForm(nullptr);
        Dialog->Show();
        Pump(50);
        return Dialog;
    }
    std::vector<std::string> Lines(TRUKRichEdit* edit) { return RichEditLines(edit); }

    MessageBoxes Boxes;
    TestDialog* Dialog = nullptr;
};

TEST_F(VersionInfoDialog, CaptionsAndTextsWithTheHostsProductName) {
    Open();
    TRUKVersionInfo host("");
    const std::string product = host.GetProductName();
    ASSERT_FALSE(product.empty()) << "the test program carries a version resource";
    EXPECT_EQ(Dialog->Text(), "About");
    EXPECT_EQ(Dialog->AppSplashTabSheet1->Text(), "&About " + product);
    EXPECT_EQ(Dialog->AppMainModuleTabSheet1->Text(), "Version &Details");
    EXPECT_EQ(Dialog->RUKInfoTabSheet1->Text(), "About RUK");
    EXPECT_EQ(Dialog->WinVerInfoTabSheet1->Text(), "About &Windows");
    EXPECT_EQ(Dialog->SaveInfoAsButton->Text(), "&Save Info As...");
    EXPECT_EQ(Dialog->CopyInfoButton->Text(), "&Copy Info");
    EXPECT_EQ(Dialog->OkButton->Text(), "&OK");
    EXPECT_EQ(Dialog->InfoRichEditPMSelectAll->Caption(), "Select All");
    EXPECT_EQ(Dialog->InfoRichEditPMDeselectAll->Caption(), "Clear Selection");
    EXPECT_EQ(Dialog->InfoRichEditPMCopy->Caption(), "Copy");
    EXPECT_EQ(Dialog->InfoRichEditPMPrint->Caption(), "Print");
    EXPECT_EQ(Dialog->InfoRichEditPMSelectAll->ShortCut(), TextToShortCut("Ctrl+A"));
    EXPECT_EQ(Dialog->InfoRichEditPMCopy->ShortCut(), TextToShortCut("Ctrl+C"));
    for (TRUKStaticText* t : {Dialog->AppMainModulePgUpText, Dialog->RUKInfoPgUpText, Dialog->WinVerPgUpStaticText})
        EXPECT_EQ(t->Text(), "<< Page Up");
    for (TRUKStaticText* t : {Dialog->AppMainModulePgDownText, Dialog->RUKInfoPgDownText, Dialog->WinVerPgDownStaticText})
        EXPECT_EQ(t->Text(), "Page Down >>");

    // The product line and the copyright line, each centred on the first page.
    EXPECT_EQ(Dialog->AppSplashVerInfoText1->Text(),
              "RUK Lexmill (App for stripping tags from HTML/XML documents), Version 1.0");
    EXPECT_EQ(Dialog->AppSplashCopyrightText1->Text(), kProductCopyright);
    const RECT page = Dialog->VerInfoPageControl1->AlignRect();
    for (TRUKStaticText* t : {Dialog->AppSplashVerInfoText1, Dialog->AppSplashCopyrightText1}) {
        EXPECT_LE(std::abs(2 * t->Left() + t->Width() - (page.right - page.left)), 1) << t->Name();
        EXPECT_GT(t->Width(), 150) << t->Name();
    }
    // Every message box of the library carries the program's title.
    for (const std::string& caption : Boxes.Captions) EXPECT_EQ(caption, "RUK Lexmill");
}

// The banner, its line, the pages and the buttons stand where the form lays them out, one
// below the other, and none runs under another.
TEST_F(VersionInfoDialog, TheBannerPagesAndButtonsKeepTheirBoundsWithoutOverlap) {
    Open();
    RECT client{};
    GetClientRect(Dialog->Handle(), &client);
    EXPECT_EQ(client.right, 520);
    EXPECT_EQ(client.bottom, 328);
    const struct {
        TWinControl* control;
        RECT bounds;  // left, top, right, bottom in the form's client area
    } controls[] = {
        {Dialog->BannerBackgroundImage, {0, 0, 520, 50}},  {Dialog->BannerLine1, {0, 50, 520, 54}},
        {Dialog->VerInfoPageControl1, {0, 54, 520, 287}}, {Dialog->CopyInfoButton, {12, 296, 132, 319}},
        {Dialog->SaveInfoAsButton, {200, 296, 320, 319}}, {Dialog->OkButton, {388, 296, 508, 319}},
    };
    std::vector<RECT> shown;
    for (const auto& c : controls) {
        SCOPED_TRACE(c.control->Name());
        RECT r{};
        GetWindowRect(c.control->Handle(), &r);
        MapWindowPoints(HWND_DESKTOP, Dialog->Handle(), reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(r.left, c.bounds.left);
        EXPECT_EQ(r.top, c.bounds.top);
        EXPECT_EQ(r.right, c.bounds.right);
        EXPECT_EQ(r.bottom, c.bounds.bottom);
        for (const RECT& other : shown) {
            RECT both{};
            EXPECT_FALSE(IntersectRect(&both, &r, &other));
        }
        shown.push_back(r);
    }
}

TEST_F(VersionInfoDialog, WithoutAProductNameTheFirstSheetIsJustAbout) {
    Open(ruktest::TestProgramFolder() + "RtlLinkTestLibrary.dll");
    EXPECT_EQ(Dialog->AppSplashTabSheet1->Text(), "&About");
    const std::vector<std::string> lines = Lines(Dialog->AppMainModuleVerRichEdit1);
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[0], " Version Details");
    EXPECT_EQ(lines[2], "Product Version: ");
}

TEST_F(VersionInfoDialog, HelpContexts) {
    Open();
    EXPECT_EQ(Dialog->HelpContext(), 7700);
    EXPECT_EQ(Dialog->AppSplashCopyrightText1->HelpContext(), 7713);
    EXPECT_EQ(Dialog->AppMainModuleVerRichEdit1->HelpContext(), 7722);
    EXPECT_EQ(Dialog->RUKInfoScrollDownText->HelpContext(), 7788);
    // The Windows page numbers its texts Page Up, Page Down, Scroll Up, Scroll Down.
    EXPECT_EQ(Dialog->WinVerPgDownStaticText->HelpContext(), 7787);
    EXPECT_EQ(Dialog->WinVerScrollUpStaticText->HelpContext(), 7788);
    EXPECT_EQ(Dialog->CopyInfoButton->HelpContext(), 7797);
    EXPECT_EQ(Dialog->OkButton->HelpContext(), 7799);
}

TEST_F(VersionInfoDialog, VersionDetailsOfTheTestProgram) {
    Open();
    TRUKVersionInfo host("");
    TVersionDetailsFacts f;
    f.ProductName = host.GetProductName();
    f.ProductVersion = host.GetProductVersion();
    f.FileDescription = host.GetFileDescription();
    f.CompanyName = host.GetCompanyName();
    f.LegalCopyright = host.GetLegalCopyright();
    f.LegalTrademarks = host.GetLegalTrademarks();
    f.MainModuleName = "RtlTests.exe";
    f.OriginalFilename = host.GetOriginalFilename();
    f.FileVersion = host.GetFileVersion();
    EXPECT_EQ(Lines(Dialog->AppMainModuleVerRichEdit1), Texts(VersionDetailsLines(f)));
    EXPECT_TRUE(BoldAt(Dialog->AppMainModuleVerRichEdit1, 0));
    EXPECT_FALSE(BoldAt(Dialog->AppMainModuleVerRichEdit1, Dialog->AppMainModuleVerRichEdit1->Lines().Strings(0).size() + 2));
}

TEST_F(VersionInfoDialog, MakerPageAndItsLink) {
    Open();
    TRUKRichEdit* edit = Dialog->RUKInfoRichEdit1;
    EXPECT_EQ(Lines(edit), Texts(ManufacturerInfoLines()));
    // The web address is a link: the control marks it so.
    const std::string text = edit->Text();
    const size_t at = text.find(kMakerWebAddress);
    ASSERT_NE(at, std::string::npos);
    CHARFORMAT2A format{};
    format.cbSize = sizeof(format);
    edit->SetSelStart(static_cast<int>(at) + 3);
    edit->SetSelLength(1);
    SendMessageA(edit->Handle(), EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_TRUE(format.dwEffects & CFE_LINK);
}

TEST_F(VersionInfoDialog, WindowsPageInThisPrefix) {
    Open();
    TOperatingSystem os;
    const std::vector<std::string> lines = Lines(Dialog->WindowsVerRichEdit1);
    ASSERT_GE(lines.size(), 22u);
    EXPECT_EQ(lines[0], "Operating System Information");
    EXPECT_EQ(lines[2], os.GetWindowsProductName());
    EXPECT_FALSE(lines[2].empty());
    EXPECT_EQ(lines[4], "Windows Version " + os.GetVersionNumberText() + ", Build " + os.GetBuildNumberText());
    EXPECT_EQ(lines[6], "System is based on Windows NT");
    EXPECT_EQ(lines[9], "");
    EXPECT_EQ(lines[10].rfind("Kernel Version: ", 0), 0u);
    EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                           [](const std::string& l) { return l.rfind("Common Controls Version (ComCtl32.dll): ", 0) == 0; }),
              lines.end());
    EXPECT_EQ(lines.back().rfind("Currently in use: ", 0), 0u);
    EXPECT_EQ(lines.back().back(), '%');
    // Under Wine the branding module of the Windows logo is absent: the message says which.
    ASSERT_FALSE(Boxes.Texts.empty());
    EXPECT_NE(Boxes.Texts.back().find("Shellbrd.dll\r\n"), std::string::npos) << Boxes.Texts.back();
}

TEST_F(VersionInfoDialog, ComprehensiveTextGathersThePagesAndKeepsALongPathWhole) {
    char oldPath[32768] = {};
    GetEnvironmentVariableA("Path", oldPath, sizeof(oldPath));
    std::string longPath = oldPath;
    while (longPath.size() < 6000) longPath += ";C:\\A Rather Long Folder Name For The Search Path";
    SetEnvironmentVariableA("Path", longPath.c_str());
    Open();
    SetEnvironmentVariableA("Path", oldPath);

    TInfoLines expected;
    for (TRUKRichEdit* page : {Dialog->AppMainModuleVerRichEdit1, Dialog->RUKInfoRichEdit1, Dialog->WindowsVerRichEdit1})
        AppendComprehensivePage(Lines(page), expected);
    TRUKRichEdit* all = Dialog->ComprehensiveInfoRichEdit;
    const std::vector<std::string> lines = Lines(all);
    EXPECT_EQ(lines, Texts(expected));
    // Each page's first line bold, and two empty lines after the Windows page.
    EXPECT_TRUE(BoldAt(all, 0));
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 1], "");
    EXPECT_EQ(lines[lines.size() - 2], "");
    const std::string pathLine = "Default search path (environment var. PATH): " + longPath;
    EXPECT_NE(std::find(lines.begin(), lines.end(), pathLine), lines.end()) << "the Path is cut";
    EXPECT_NE(all->Text().find(pathLine), std::string::npos);
}

TEST_F(VersionInfoDialog, ScrollTextsHiddenOnAShortPageAndDrivenByTheRulesOnALongOne) {
    Open();
    ASSERT_GT(Dialog->LineHeight(), 0);
    // Eleven lines fit the Version Details page.
    for (TRUKStaticText* t : {Dialog->AppMainModulePgUpText, Dialog->AppMainModuleScrollUpText,
                              Dialog->AppMainModuleScrollDownText, Dialog->AppMainModulePgDownText})
        EXPECT_FALSE(t->Visible()) << t->Name();
    // The Windows page does not fit: all four shown, the way up closed.
    Dialog->VerInfoPageControl1->SetActivePage(Dialog->WinVerInfoTabSheet1);
    Pump(50);
    auto* pgUp = Dialog->WinVerPgUpStaticText;
    auto* up = Dialog->WinVerScrollUpStaticText;
    auto* down = Dialog->WinVerScrollDownStaticText;
    auto* pgDown = Dialog->WinVerPgDownStaticText;
    for (TRUKStaticText* t : {pgUp, up, down, pgDown}) EXPECT_TRUE(t->Visible()) << t->Name();
    EXPECT_FALSE(pgUp->Enabled());
    EXPECT_FALSE(up->Enabled());
    EXPECT_TRUE(down->Enabled());
    EXPECT_TRUE(pgDown->Enabled());

    Dialog->ScrollDown(down);
    EXPECT_EQ(SendMessageA(Dialog->WindowsVerRichEdit1->Handle(), EM_GETFIRSTVISIBLELINE, 0, 0), 1);
    EXPECT_TRUE(up->Enabled());
    EXPECT_TRUE(pgUp->Enabled());
    Dialog->ScrollUp(up);
    EXPECT_FALSE(up->Enabled());
    EXPECT_FALSE(pgUp->Enabled());
    // After Page Down the way up is open; at the end the way down closes.
    Dialog->PageDown(pgDown);
    EXPECT_TRUE(pgUp->Enabled());
    EXPECT_TRUE(up->Enabled());
    for (int i = 0; i < 10; ++i) Dialog->PageDown(pgDown);
    const HWND wnd = Dialog->WindowsVerRichEdit1->Handle();
    const LRESULT last = SendMessageA(wnd, EM_GETFIRSTVISIBLELINE, 0, 0);
    EXPECT_GT(last, 0);
    Dialog->ScrollDown(down);
    EXPECT_EQ(SendMessageA(wnd, EM_GETFIRSTVISIBLELINE, 0, 0), last) << "the end of the text";
    Dialog->PageUp(pgUp);
    EXPECT_TRUE(down->Enabled());
}

TEST_F(VersionInfoDialog, PopupEntriesFollowTheSelection) {
    Open();
    Dialog->VerInfoPageControl1->SetActivePage(Dialog->AppMainModuleTabSheet1);
    TRUKRichEdit* edit = Dialog->AppMainModuleVerRichEdit1;
    struct Case {
        int Start, Length;
        bool SelectAll, Clear, Copy;
    };
    const int all = edit->GetTextLen();
    for (const Case& c : {Case{0, 0, true, false, false}, Case{2, 5, true, true, true}, Case{0, all, false, true, true}}) {
        edit->SetSelStart(c.Start);
        edit->SetSelLength(c.Length);
        Dialog->OnShowInfoRichEditPopupMenu(Dialog->InfoEditControlsPopupMenu1);
        EXPECT_EQ(Dialog->InfoRichEditPMSelectAll->Enabled(), c.SelectAll) << c.Length;
        EXPECT_EQ(Dialog->InfoRichEditPMDeselectAll->Enabled(), c.Clear) << c.Length;
        EXPECT_EQ(Dialog->InfoRichEditPMCopy->Enabled(), c.Copy) << c.Length;
    }
    // Clear Selection leaves the caret at the start and disables itself.
    Dialog->InfoRichEditDeselectAll(nullptr);
    EXPECT_EQ(edit->SelLength(), 0);
    EXPECT_EQ(edit->SelStart(), 0);
    EXPECT_FALSE(Dialog->InfoRichEditPMDeselectAll->Enabled());
}

TEST_F(VersionInfoDialog, CopyInfo) {
    Open();
    ClearClipboard();
    Dialog->VerInfoPageControl1->SetActivePage(Dialog->AppMainModuleTabSheet1);
    Dialog->InfoRichEditCopyText(nullptr);
    EXPECT_EQ(ruktest::ClipboardText(), Dialog->AppMainModuleVerRichEdit1->Text());
    EXPECT_EQ(Dialog->AppMainModuleVerRichEdit1->SelLength(), 0);
    // On the first page: everything.
    ClearClipboard();
    Dialog->VerInfoPageControl1->SetActivePage(Dialog->AppSplashTabSheet1);
    Dialog->InfoRichEditCopyText(nullptr);
    EXPECT_EQ(ruktest::ClipboardText(), Dialog->ComprehensiveInfoRichEdit->Text());
    EXPECT_EQ(Dialog->ComprehensiveInfoRichEdit->SelLength(), 0);
}

TEST_F(VersionInfoDialog, SaveInfoAsNamesAndModes) {
    Open();
    TRUKVersionInfo host("");
    struct Case {
        TTabSheet* Page;
        int Filter;
        std::string Chosen, Written;
        bool Plain;
    };
    const std::string base = TempFile("ruk version info");
    const Case cases[] = {
        {Dialog->AppSplashTabSheet1, 2, base, base + ".txt", true},
        {Dialog->AppSplashTabSheet1, 1, base, base + ".rtf", false},
        {Dialog->AppMainModuleTabSheet1, 1, base + ".TXT", base + ".TXT", true},
        {Dialog->AppMainModuleTabSheet1, 2, base + ".Rtf", base + ".Rtf", false},
        {Dialog->RUKInfoTabSheet1, 3, base + "-all", base + "-all", false},
    };
    for (const Case& c : cases) {
        DeleteFileA(c.Written.c_str());
        // An existing file is replaced.
        { std::ofstream(c.Written) << "old contents"; }
        const std::vector<std::string> asked = Boxes.Texts;
        std::string title, name;
        TOpenDialog::SetExecuteHook([&](TOpenDialog& d) {
            title = d.Title;
            name = d.FileName;
            EXPECT_EQ(d.Filter, "Rich Text Format (RTF) (*.rtf)|*.rtf|Text Document (*.txt)|*.txt|All Files (*.*)|*.*");
            EXPECT_TRUE(d.Options & ofOverwritePrompt);
            d.FilterIndex = c.Filter;
            d.FileName = c.Chosen;
            return true;
        });
        Dialog->VerInfoPageControl1->SetActivePage(c.Page);
        Dialog->InfoRichEditSaveToFile(nullptr);
        EXPECT_EQ(title, "Save Version Info");
        EXPECT_EQ(name, host.GetProductName() + " Version Info");
        const std::string written = ruktest::FileBytes(c.Written);
        EXPECT_EQ(written.rfind("{\\rtf", 0) != 0, c.Plain) << c.Written << " " << c.Filter;
        const std::string firstLine = c.Page == Dialog->RUKInfoTabSheet1 ? "Manufacturer Information" : host.GetProductName();
        EXPECT_NE(written.find(firstLine), std::string::npos) << c.Written;
        EXPECT_EQ(written.find("old contents"), std::string::npos);
        // Asked before an existing file is replaced (a name without extension is not that file).
        EXPECT_EQ(asked.size() < Boxes.Texts.size(), c.Chosen == c.Written) << c.Chosen;
        DeleteFileA(c.Written.c_str());
    }
    // The sources keep their modes.
    EXPECT_FALSE(Dialog->ComprehensiveInfoRichEdit->PlainText());
    EXPECT_FALSE(Dialog->AppMainModuleVerRichEdit1->PlainText());
}

TEST_F(VersionInfoDialog, PrintAsksThePrintDialog) {
    Open();
    int asked = 0;
    TPrintDialog::SetExecuteHook([&](TPrintDialog&) {
        ++asked;
        return false;
    });
    Dialog->VerInfoPageControl1->SetActivePage(Dialog->AppSplashTabSheet1);
    Dialog->InfoRichEditPrintText(nullptr);
    EXPECT_EQ(asked, 0) << "nothing to print on the first page";
    Dialog->VerInfoPageControl1->SetActivePage(Dialog->WinVerInfoTabSheet1);
    Dialog->InfoRichEditPrintText(nullptr);
    EXPECT_EQ(asked, 1);
}

TEST_F(VersionInfoDialog, OneLinkThreadAtATimeAndItsReport) {
    Open();
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::vector<std::string> opened;
    SetLinkOpener([&](HWND, const std::string& link) -> INT_PTR {
        WaitForSingleObject(go, 10000);
        opened.push_back(link);
        return 33;
    });
    Dialog->OnURLClick(Dialog->RUKInfoRichEdit1, kMakerWebAddress);
    const HANDLE thread = Dialog->LinkThreadHandle();
    ASSERT_NE(thread, nullptr);
    // The double click of the same link while the thread runs.
    Dialog->OnURLClick(Dialog->RUKInfoRichEdit1, kMakerWebAddress);
    EXPECT_EQ(Dialog->LinkThreadHandle(), thread);
    SetEvent(go);
    for (int i = 0; i < 400 && Dialog->LinkThreadHandle(); ++i) Pump(10);
    EXPECT_EQ(Dialog->LinkThreadHandle(), nullptr);
    EXPECT_EQ(Dialog->LinkThreadId(), 0u);
    EXPECT_EQ(opened, std::vector<std::string>{kMakerWebAddress});
    // A hook may refuse the link.
    Dialog->OnURLClickQuery = [](TObject*, const std::string&, bool& accept) { accept = false; };
    Dialog->OnURLClick(Dialog->RUKInfoRichEdit1, kMakerWebAddress);
    EXPECT_EQ(Dialog->LinkThreadHandle(), nullptr);
    CloseHandle(go);
}

TEST_F(VersionInfoDialog, ClosingDuringASlowOpen) {
    Open();
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    SetLinkOpener([&](HWND, const std::string&) -> INT_PTR {
        WaitForSingleObject(go, 10000);
        return 33;
    });
    Dialog->OnURLClick(Dialog->WindowsVerRichEdit1, "http://www.microsoft.com/windows/");
    HANDLE thread = nullptr;
    DuplicateHandle(GetCurrentProcess(), Dialog->LinkThreadHandle(), GetCurrentProcess(), &thread, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    Dialog->Close();
    Pump(50);
    Dialog = nullptr;  // freed by its close action
    SetEvent(go);
    EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    Pump(50);  // the report goes to a window that is gone
    CloseHandle(thread);
    CloseHandle(go);
}

TEST_F(VersionInfoDialog, AnIdleDialogHardlyPaints) {
    Open();
    Pump(300);
    int paints = 0;
    TNotifyEvent painted = Dialog->OnPaint;
    Dialog->OnPaint = [&](TObject* sender) {
        ++paints;
        painted(sender);
    };
    Pump(1000);
    EXPECT_LE(paints, 2);
}

// Each About loads its pictures once: under Wine, whose branding module of the Windows logo is
// absent, that is one message per About.
TEST_F(VersionInfoDialog, ShownModallyTwiceAndClosed) {
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ruktest::CloseVersionDialog::Closed() = 0;
        Boxes.Texts.clear();
        {
            ruktest::CloseVersionDialog closer;
            EXPECT_EQ(ShowProductVersionInfoDialog(nullptr), 0u);
        }
        ASSERT_EQ(Boxes.Texts.size(), 1u);
        EXPECT_NE(Boxes.Texts[0].find("Shellbrd.dll\r\n"), std::string::npos) << Boxes.Texts[0];
        EXPECT_GE(ruktest::CloseVersionDialog::Closed(), 1);
        EXPECT_EQ(FindWindowA(nullptr, "About"), nullptr);
        MSG msg;
        EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "no WM_QUIT is left behind";
    }
    EXPECT_EQ(MainForm(), nullptr);
}

}  // namespace
