// The handlers built with the window: View pages and their radio check, the active pane
// lookups, the keyword box fed from a selection, the standard edit actions, hints, shortcuts.
#include "AppTestSupport.h"

using namespace ruk;
using ruktest::MainWindowTest;

namespace {
// The View items and the pages they show.
const struct {
    const char* Item;
    TTabSheet* TSDIAppForm::*Page;
} kViewItems[] = {{"MMViewSourceFile", &TSDIAppForm::SourceFileTabSheet1},
                  {"MMViewBrowser", &TSDIAppForm::BrowserTabSheet1},
                  {"MMViewStrippedContents", &TSDIAppForm::StrippedContentsTabSheet1},
                  {"MMViewDistinctWordList", &TSDIAppForm::DistinctWordsListTabSheet1},
                  {"MMViewKeywordList", &TSDIAppForm::KeywordsTabSheet1},
                  {"MMViewAutoFindAndAdd", &TSDIAppForm::AutoFindAndAddTabSheet1},
                  {"MMViewSuppressWordsList", &TSDIAppForm::SuppressWordsTabSheet1},
                  {"MMViewLog", &TSDIAppForm::LogTabSheet1}};

void Select(TRichEdit* edit, int start, int end) {
    CHARRANGE r{start, end};
    SendMessageA(edit->Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&r));
    ruktest::Pump();
}
}  // namespace

class HandlersTest : public MainWindowTest {
protected:
    int CheckedViewItem() {
        int checked = -1;
        for (int i = 0; i < 8; ++i)
            if (FindComponentAs<TMenuItem>(Form, kViewItems[i].Item)->Checked()) {
                EXPECT_EQ(checked, -1) << "two View items are checked";
                checked = i;
            }
        return checked;
    }
};

TEST_F(HandlersTest, ViewMenuSwitchesPagesAndMovesItsRadioCheck) {
    Open();
    EXPECT_EQ(CheckedViewItem(), -1);
    for (int i = 7; i >= 0; --i) {
        ChooseMenuItem(kViewItems[i].Item);
        EXPECT_EQ(Form->PageControl1->ActivePage(), Form->*kViewItems[i].Page);
        EXPECT_EQ(CheckedViewItem(), i);
        // The checked item's HMENU state follows.
        auto* item = FindComponentAs<TMenuItem>(Form, kViewItems[i].Item);
        EXPECT_TRUE(GetMenuState(item->Parent()->SubMenuHandle(), item->Command(), MF_BYCOMMAND) & MF_CHECKED);
    }
}

TEST_F(HandlersTest, OtherPageChangesDoNotMoveTheViewCheck) {
    Open();
    ChooseMenuItem("MMViewLog");
    ASSERT_EQ(CheckedViewItem(), 7);
    // A handler that shows a page (the action run directly) ...
    Form->ViewBrowser->Execute();
    EXPECT_EQ(Form->PageControl1->ActivePage(), Form->BrowserTabSheet1);
    // ... and a click on a tab.
    HWND tabs = Form->PageControl1->Handle();
    RECT tab{};
    ASSERT_TRUE(SendMessageA(tabs, TCM_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&tab)));
    LPARAM at = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    SendMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(tabs, WM_LBUTTONUP, 0, at);
    ruktest::Pump();
    EXPECT_EQ(Form->PageControl1->ActivePage(), Form->DistinctWordsListTabSheet1);
    EXPECT_TRUE(IsWindowVisible(Form->DistinctWordsListTabSheet1->Handle()));
    EXPECT_FALSE(IsWindowVisible(Form->LogTabSheet1->Handle()));
    EXPECT_EQ(CheckedViewItem(), 7);
}

TEST_F(HandlersTest, ActiveRichEditAndListViewPerPage) {
    Open();
    const struct {
        TTabSheet* Page;
        TRichEdit* Edit;
        TListView* List;
    } pages[] = {{Form->SourceFileTabSheet1, Form->HTMLSourceFileRichEdit1, nullptr},
                 {Form->BrowserTabSheet1, nullptr, nullptr},
                 {Form->StrippedContentsTabSheet1, Form->StrippedContentsRichEdit1, nullptr},
                 {Form->DistinctWordsListTabSheet1, Form->DistinctWordsLisRichEdit1, Form->DistinctWordsListView1},
                 {Form->KeywordsTabSheet1, nullptr, Form->KeywordsListView1},
                 {Form->AutoFindAndAddTabSheet1, nullptr, Form->AutoFindListView1},
                 {Form->SuppressWordsTabSheet1, Form->SupressedWordsRichEdit1, nullptr},
                 {Form->LogTabSheet1, Form->LogRichEdit1, nullptr}};
    ASSERT_EQ(Form->PageControl1->PageCount(), static_cast<int>(std::size(pages)));
    for (const auto& p : pages) {
        Form->PageControl1->SetActivePage(p.Page);
        EXPECT_EQ(Form->GetActiveRichEdit(), p.Edit) << p.Page->Name();
        EXPECT_EQ(Form->GetActiveListView(), p.List) << p.Page->Name();
    }
}

TEST_F(HandlersTest, SelectionInTheStrippedTextFeedsTheKeywordBox) {
    Open();
    ChooseMenuItem("MMViewStrippedContents");
    TRichEdit* pane = Form->StrippedContentsRichEdit1;
    pane->SetText("intro Web\r\nDesign tail\r\n   \r\nend");
    ruktest::Pump();
    // "Web" CR LF "Design ": the line break becomes one blank, the ends are trimmed.
    std::string text = pane->Text();
    int web = static_cast<int>(text.find("Web"));
    // Positions of the control count a line break as one character.
    Select(pane, web, web + 11);
    EXPECT_EQ(pane->SelText(), "Web\r\nDesign ");
    EXPECT_EQ(Form->KeywordEditComboBox1->Text(), "Web Design");
    EXPECT_EQ(Form->KeywordEditComboBox1->ItemIndex(), -1);

    // Only blanks and a line break: the box keeps its text.
    int blanks = web + 16;  // the three blanks of the third line and its line break
    Select(pane, blanks, blanks + 4);
    EXPECT_EQ(Trim(pane->SelText()), "");
    EXPECT_EQ(Form->KeywordEditComboBox1->Text(), "Web Design");

    // A selection change while another page is active takes that page's selection ...
    Form->LogRichEdit1->SetText("log line");
    Select(Form->LogRichEdit1, 0, 3);
    Form->PageControl1->SetActivePage(Form->LogTabSheet1);
    Select(pane, 0, 5);
    EXPECT_EQ(Form->KeywordEditComboBox1->Text(), "log");
    // ... and nothing on a page without a rich edit.
    Form->PageControl1->SetActivePage(Form->KeywordsTabSheet1);
    Select(pane, 6, 9);
    EXPECT_EQ(Form->KeywordEditComboBox1->Text(), "log");
    EXPECT_TRUE(Shown.Messages.empty());
}

TEST_F(HandlersTest, StandardEditActionsFollowTheFocusedEdit) {
    Open();
    Form->PageControl1->SetActivePage(Form->StrippedContentsTabSheet1);
    TRichEdit* pane = Form->StrippedContentsRichEdit1;
    pane->SetText("some text");
    pane->SetFocus();
    Select(pane, 0, 4);
    Form->UpdateActions();
    ASSERT_EQ(GetFocus(), pane->Handle());
    EXPECT_TRUE(Form->EditCopy1->Enabled());
    EXPECT_TRUE(Form->EditCut1->Enabled());
    EXPECT_TRUE(Form->EditCut1->Execute());
    EXPECT_EQ(pane->Text(), " text");
    Form->UpdateActions();
    EXPECT_TRUE(Form->EditUndo1->Enabled());
    EXPECT_TRUE(Form->EditPaste1->Enabled());
    Form->EditUndo1->Execute();
    EXPECT_EQ(pane->Text(), "some text");

    // The read-only source pane: copy yes, cut and paste no.
    Form->PageControl1->SetActivePage(Form->SourceFileTabSheet1);
    TRichEdit* source = Form->HTMLSourceFileRichEdit1;
    source->SetText("<html>");
    source->SetFocus();
    Select(source, 0, 3);
    Form->UpdateActions();
    EXPECT_TRUE(Form->EditCopy1->Enabled());
    EXPECT_FALSE(Form->EditCut1->Enabled());
    EXPECT_FALSE(Form->EditPaste1->Enabled());

    // No edit control focused: all four are disabled, and so are their tool buttons.
    Form->PageControl1->SetActivePage(Form->KeywordsTabSheet1);
    Form->KeywordsListView1->SetFocus();
    Form->UpdateActions();
    for (TAction* a : std::initializer_list<TAction*>{Form->EditCut1, Form->EditCopy1, Form->EditPaste1, Form->EditUndo1})
        EXPECT_FALSE(a->Enabled()) << a->Name();
    auto* copyButton = FindComponentAs<TToolButton>(Form, "EditCopyButton");
    EXPECT_FALSE(Form->ToolBar1->ButtonState(copyButton) & TBSTATE_ENABLED);
}

TEST_F(HandlersTest, ShortcutsReachEnabledActionsOnly) {
    Open();
    // The accelerator table holds the enabled, visible actions with a shortcut.
    HACCEL table = Form->ActionList1->Accelerators();
    std::vector<ACCEL> keys(64);
    int n = CopyAcceleratorTableA(table, keys.data(), 64);
    keys.resize(static_cast<size_t>(n));
    auto has = [&](TAction* a) {
        return std::any_of(keys.begin(), keys.end(), [&](const ACCEL& k) { return k.cmd == a->CommandId(); });
    };
    EXPECT_TRUE(has(Form->FileSelSourceFiles1));  // Ctrl+B
    EXPECT_TRUE(has(Form->AssignmentRun1));
    EXPECT_FALSE(has(Form->AssignmentSuspend));  // Shift+F7, disabled while idle
    Form->AssignmentSuspend->SetEnabled(true);
    Form->ActionList1->Accelerators();
    n = CopyAcceleratorTableA(Form->ActionList1->Accelerators(), keys.data(), 0);
    keys.assign(64, ACCEL{});
    n = CopyAcceleratorTableA(Form->ActionList1->Accelerators(), keys.data(), 64);
    keys.resize(static_cast<size_t>(n));
    EXPECT_TRUE(has(Form->AssignmentSuspend));

    // A key that is an action's shortcut runs it through the window's key translation.
    int runs = 0;
    Form->AssignmentRun1->OnExecute = [&](TObject*) { ++runs; };
    MSG msg{Form->LogRichEdit1->Handle(), WM_KEYDOWN, VK_F5, 0, 0, {0, 0}};
    EXPECT_TRUE(FormsPreTranslateMessage(msg));
    ruktest::Pump();
    EXPECT_EQ(runs, 1);
    MSG plain{Form->LogRichEdit1->Handle(), WM_KEYDOWN, 'Q', 0, 0, {0, 0}};
    EXPECT_FALSE(FormsPreTranslateMessage(plain));
}

TEST_F(HandlersTest, HintsGoToTheToolTipAndTheStatusBar) {
    Open();
    auto* run = FindComponentAs<TToolButton>(Form, "AssignmentRunButton");
    NMTTDISPINFOA info{};
    info.hdr.hwndFrom = nullptr;
    info.hdr.idFrom = run->Command();
    info.hdr.code = TTN_GETDISPINFOA;
    SendMessageA(Form->ToolBar1->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_NE(info.lpszText, nullptr);
    EXPECT_STREQ(info.lpszText, "Run");

    NMTBHOTITEM hot{};
    hot.hdr.hwndFrom = Form->ToolBar1->Handle();
    hot.hdr.code = TBN_HOTITEMCHANGE;
    hot.idNew = static_cast<int>(run->Command());
    SendMessageA(Form->CoolBar1->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&hot));
    EXPECT_EQ(Form->StatusBar->SimpleText(), "Strip the selected file of its tags and generate word lists");
    hot.dwFlags = HICF_LEAVING;
    SendMessageA(Form->CoolBar1->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&hot));
    EXPECT_EQ(Form->StatusBar->SimpleText(), "");

    // A menu item under the mouse shows its long hint; its own hint wins over the action's.
    auto* openUrl = FindComponentAs<TMenuItem>(Form, "MMViewBrowserOpenURL");
    SendMessageA(Form->Handle(), WM_MENUSELECT, MAKEWPARAM(openUrl->Command(), MF_HILITE),
                 reinterpret_cast<LPARAM>(openUrl->Parent()->SubMenuHandle()));
    EXPECT_EQ(Form->StatusBar->SimpleText(), "Open the file or URL specified in the file/address combo box");
    SendMessageA(Form->Handle(), WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_EQ(Form->StatusBar->SimpleText(), "");
    SendMessageA(Form->Handle(), WM_MENUSELECT, MAKEWPARAM(1, MF_POPUP | MF_HILITE),
                 reinterpret_cast<LPARAM>(Form->MainMenu1->Handle()));
    EXPECT_EQ(Form->StatusBar->SimpleText(), "Edit commands");
    // "|..." has no tool tip part; a hint without a bar is both.
    EXPECT_EQ(GetShortHint("|Deletes"), "");
    EXPECT_EQ(GetLongHint("Go forward"), "Go forward");
}

TEST_F(HandlersTest, BrowserHandlersDriveTheBrowserAndReportItsFailures) {
    Open();
    Form->PageControl1->SetActivePage(Form->DistinctWordsListTabSheet1);
    // No page to go back to: the browser's failure goes to the application's display.
    ChooseMenuItem("MMViewBrowserGoBack");
    ASSERT_EQ(Shown.Messages.size(), 1u);
    EXPECT_EQ(Shown.Messages[0], "Unspecified error");
    ChooseMenuItem("MMViewBrowserGoHome");
    EXPECT_EQ(Form->WebBrowser1->LocationURL(), L"about:blank");
    // Run directly, the failure goes to the caller; the window shows it only for a command.
    EXPECT_THROW(Form->BrowseBack1->Execute(), EOleError);
    EXPECT_EQ(Shown.Messages.size(), 1u);
    EXPECT_EQ(Form->PageControl1->ActivePage(), Form->DistinctWordsListTabSheet1);  // none of them changes the page
}
