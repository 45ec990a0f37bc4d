// The window as its description lays it out: actions, menus, popup menus, tool bar, pages.
#include "AppTestSupport.h"

#include <tuple>

using namespace ruk;
using ruktest::MainWindowTest;

namespace {

std::string MenuText(HMENU menu, int position) {
    char buf[256] = {};
    GetMenuStringA(menu, static_cast<UINT>(position), buf, sizeof buf, MF_BYPOSITION);
    return buf;
}

UINT MenuState(TMenuItem* item) {
    HMENU parent = item->Parent()->SubMenuHandle();
    return GetMenuState(parent, item->Command(), MF_BYCOMMAND);
}

}  // namespace

class LayoutTest : public MainWindowTest {};

TEST_F(LayoutTest, EveryActionHasItsCategoryCaptionShortcutAndHint) {
    Open();
    const TFormDescription& description = SDIAppFormDescription();
    for (const TActionRow& row : description.Actions) {
        SCOPED_TRACE(row.Name);
        auto* a = dynamic_cast<TAction*>(Form->FindComponent(row.Name));
        ASSERT_NE(a, nullptr);
        EXPECT_STREQ(a->ClassName(), row.ClassName);
        EXPECT_EQ(a->ActionList(), Form->ActionList1);
        EXPECT_EQ(a->Category(), row.Category);
        EXPECT_EQ(a->Caption(), row.Caption);
        EXPECT_EQ(ShortCutToText(a->ShortCut()), row.ShortCut);
        EXPECT_EQ(a->Hint(), row.Hint);
    }
    EXPECT_EQ(Form->ActionList1->ActionCount(), static_cast<int>(description.Actions.size()));
}

TEST_F(LayoutTest, EveryPublishedFieldIsTheComponentOfItsNameAndClass) {
    Open();
    int actions = 0;
    for (const TSDIAppForm::TPublishedField& field : TSDIAppForm::PublishedFields()) {
        SCOPED_TRACE(field.Name);
        TComponent* c = field.Get(*Form);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c, Form->FindComponent(field.Name));
        EXPECT_STREQ(c->ClassName(), field.ClassName);
        if (dynamic_cast<TAction*>(c)) ++actions;
    }
    // Every action of the window is one of its fields.
    EXPECT_EQ(actions, Form->ActionList1->ActionCount());
}

TEST_F(LayoutTest, ActionsOfLaterHandlersAreDisabledAndThoseBuiltHereWork) {
    Open();
    const char* working[] = {"ViewSourceFile",    "ViewBrowser",        "ViewStrippedContents", "ViewDistinctWordList",
                             "ViewKeywordList",   "ViewAutoFindAndAdd", "ViewSuppressWordsList", "ViewLog",
                             "ViewBrowserGoBack", "ViewBrowserGoForward", "ViewBrowserGoHome", "BrowseBack1",
                             "BrowseForward1",    "BrowseHome1",         "FileSelSourceFiles1",  "FileSelSourceFiles2",
                             "BrowseOpenURL1",    "FileSaveBrowserFileAs", "AssignmentRun1",
                             // keyword editing, auto-find, help and about
                             "EditSelectAll", "EditClearSelection", "EditReadOnly1", "EditAddAsKeyword",
                             "EditAddAsKeywords", "EditAddAsKeywordsFromRE", "EditAddAsKeywordsFromLV",
                             "EditApplyKeywordChanges", "EditAddDocToKeywords", "EditAddStrippedFileAsLink",
                             "AssignmentAutoFindAndAdd", "HelpRUKOnTheInternet", "HelpLexmillHomePage", "HelpAbout1"};
    const char* fileActions[] = {
        "FileNew1", "FileOpen1", "FileOpenKeywordList1", "FileOpenSuppressWordList", "FileOpenStrippedContentss",
        "FileSave1", "FileSaveSourceFile", "FileSaveBrowserFile", "FileSaveStrippedContents",
        "FileSaveDistinctWordsList", "FileSaveKeywordList", "FileSaveSuppressWordList", "FileSaveLog", "FileSaveAs1",
        "FileSaveSourceFileAs", "FileSvaeStrippedContentsAs", "FileSaveDistinctWordsListAs", "FileSaveKeywordListAs",
        "FileSaveSuppressWordListAs", "FileSaveLogAs", "FileSaveAll", "FileExportDistinctWordsAsCsv",
        "FileExportAsKeywordsMetaTag", "FileExportAsChmKeywordsFile", "FileClose", "FileCloseAll", "FileExit1",
        "EditDelete1"};
    // Built, but disabled until a run starts.
    const char* waitingForRun[] = {"AssignmentSuspend", "AssignmentResume1", "AssignmentCancel"};
    const char* standard[] = {"EditUndo1", "EditCut1", "EditCopy1", "EditPaste1"};
    for (int i = 0; i < Form->ActionList1->ActionCount(); ++i) {
        TAction* a = Form->ActionList1->Actions(i);
        SCOPED_TRACE(a->Name());
        bool isWorking = std::any_of(std::begin(working), std::end(working), [&](const char* n) { return a->Name() == n; });
        isWorking = isWorking || std::any_of(std::begin(fileActions), std::end(fileActions),
                                             [&](const char* n) { return a->Name() == n; });
        bool isStandard = std::any_of(std::begin(standard), std::end(standard), [&](const char* n) { return a->Name() == n; });
        bool isWaiting = std::any_of(std::begin(waitingForRun), std::end(waitingForRun), [&](const char* n) { return a->Name() == n; });
        if (isStandard) {
            EXPECT_NE(dynamic_cast<TEditAction*>(a), nullptr);
        } else if (isWaiting) {
            EXPECT_FALSE(a->Enabled());
            EXPECT_TRUE(static_cast<bool>(a->OnExecute));
        } else if (isWorking) {
            EXPECT_TRUE(a->Enabled());
            EXPECT_TRUE(static_cast<bool>(a->OnExecute));
        } else {
            EXPECT_FALSE(a->Enabled());
            EXPECT_FALSE(static_cast<bool>(a->OnExecute));
        }
    }
    // The assignment controls start as the idle state has them: Resume hidden.
    EXPECT_FALSE(Form->AssignmentResume1->Visible());
    EXPECT_FALSE(Form->AssignmentSuspend->Enabled());
    EXPECT_FALSE(Form->AssignmentCancel->Enabled());
}

TEST_F(LayoutTest, WindowCaptionClientSizeAndPagesInOrder) {
    Open();
    EXPECT_EQ(Form->Name(), "SDIAppForm");
    EXPECT_EQ(SDIAppForm, Form);
    EXPECT_EQ(Form->Text(), "RUK HTML/XML Lexmill and Keyword Extractor");
    RECT r;
    GetClientRect(Form->Handle(), &r);
    EXPECT_EQ(r.right, 632);
    EXPECT_EQ(r.bottom, 390);
    EXPECT_EQ(GetMenu(Form->Handle()), Form->MainMenu1->Handle());

    const std::pair<TTabSheet*, const char*> pages[] = {
        {Form->SourceFileTabSheet1, "HTML Source File"}, {Form->BrowserTabSheet1, "Browser"},
        {Form->StrippedContentsTabSheet1, "Stripped Contents"},
        {Form->DistinctWordsListTabSheet1, "Distinct Words List"}, {Form->KeywordsTabSheet1, "Keywords"},
        {Form->AutoFindAndAddTabSheet1, "Auto Find and Add"}, {Form->SuppressWordsTabSheet1, "Suppress(ed) Words"},
        {Form->LogTabSheet1, "Log"}};
    ASSERT_EQ(Form->PageControl1->PageCount(), 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(Form->PageControl1->Pages(i), pages[i].first);
        char caption[64] = {};
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption;
        item.cchTextMax = sizeof caption;
        SendMessageA(Form->PageControl1->Handle(), TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
        EXPECT_STREQ(caption, pages[i].second);
    }
    EXPECT_EQ(Form->PageControl1->ActivePage(), Form->SourceFileTabSheet1);
    EXPECT_EQ(Form->PageControl1->Style(), TTabStyle::tsFlatButtons);
    EXPECT_TRUE(GetWindowLongA(Form->PageControl1->Handle(), GWL_STYLE) & TCS_FLATBUTTONS);

    // The rebar holds the tool bar and the two panels, one band each; the status bar shows hints.
    EXPECT_EQ(Form->CoolBar1->BandCount(), 3);
    EXPECT_EQ(Form->HintBar(), Form->StatusBar);
    EXPECT_TRUE(Form->StatusBar->SimplePanel());
    RECT bar, pageArea;
    GetWindowRect(Form->CoolBar1->Handle(), &bar);
    GetWindowRect(Form->PageControl1->Handle(), &pageArea);
    EXPECT_LE(bar.bottom, pageArea.top);
}

TEST_F(LayoutTest, PanesHoldTheirDescribedProperties) {
    Open();
    EXPECT_TRUE(Form->HTMLSourceFileRichEdit1->ReadOnly());
    EXPECT_FALSE(Form->HTMLSourceFileRichEdit1->HideSelection());
    EXPECT_EQ(Form->HTMLSourceFileRichEdit1->Font().Color, RGB(0, 0, 128));
    EXPECT_EQ(Form->HTMLSourceFileRichEdit1->ScrollBars(), TScrollStyle::ssBoth);
    EXPECT_FALSE(Form->StrippedContentsRichEdit1->ReadOnly());
    EXPECT_EQ(Form->DistinctWordsLisRichEdit1->Width(), 187);
    EXPECT_EQ(Form->DistinctWordsLisRichEdit1->ScrollBars(), TScrollStyle::ssVertical);
    EXPECT_EQ(Form->SupressedWordsRichEdit1->ScrollBars(), TScrollStyle::ssVertical);
    EXPECT_EQ(Form->LogRichEdit1->ScrollBars(), TScrollStyle::ssBoth);
    EXPECT_EQ(Form->KeywordsTreeView1->Width(), 186);
    EXPECT_TRUE(Form->KeywordsTreeView1->SortedByText());

    auto columns = [](TListView* v) {
        std::vector<std::string> c;
        for (int i = 0; i < v->ColumnCount(); ++i) c.push_back(v->Column(i).Caption);
        return c;
    };
    EXPECT_EQ(columns(Form->DistinctWordsListView1), (std::vector<std::string>{"Word", "Occurrences"}));
    EXPECT_EQ(columns(Form->KeywordsListView1),
              (std::vector<std::string>{"Keyword", "Link Targets", "Target Doc. Titles", "Alt.  URLs",
                                        "Num. Link Targets"}));
    EXPECT_EQ(columns(Form->AutoFindListView1), (std::vector<std::string>{"Found Keyword"}));
    EXPECT_EQ(Form->AutoFindListView1->Column(0).Width, 420);
    EXPECT_TRUE(Form->AutoFindListView1->Checkboxes());
    for (TListView* v : {Form->DistinctWordsListView1, Form->KeywordsListView1, Form->AutoFindListView1}) {
        EXPECT_EQ(v->ViewStyle(), TViewStyle::vsReport);
        EXPECT_TRUE(v->MultiSelect());
        EXPECT_FALSE(GetWindowLongA(v->Handle(), GWL_STYLE) & LVS_SINGLESEL);
    }

    // The fixed sample of the tree: one root with three children in text order.
    ASSERT_EQ(Form->KeywordsTreeView1->Count(), 4);
    EXPECT_EQ(Form->KeywordsTreeView1->Node(0)->Text, "Sample Keyword #1");
    HWND tree = Form->KeywordsTreeView1->Handle();
    auto root = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    auto child = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(root)));
    std::vector<std::string> children;
    while (child) {
        char text[64] = {};
        TVITEMA item{};
        item.mask = TVIF_TEXT;
        item.hItem = child;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        children.push_back(text);
        child = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)));
    }
    EXPECT_EQ(children, (std::vector<std::string>{"Alt. URLs", "Link Targets", "Target Doc. Titles"}));

    // Each page's controls show the page's popup menu.
    EXPECT_EQ(Form->HTMLSourceFileRichEdit1->PopupMenu(), Form->SourceFilePopupMenu);
    EXPECT_EQ(Form->StrippedContentsRichEdit1->PopupMenu(), Form->StrippedContentsPopupMenu);
    EXPECT_EQ(Form->DistinctWordsLisRichEdit1->PopupMenu(), Form->DistinctWordsPopupMenu);
    EXPECT_EQ(Form->DistinctWordsListView1->PopupMenu(), Form->DistinctWordsPopupMenu);
    EXPECT_EQ(Form->KeywordsListView1->PopupMenu(), Form->KeywordsPopupMenu1);
    EXPECT_EQ(Form->AutoFindListView1->PopupMenu(), Form->AutoFindPopupMenu);
    EXPECT_EQ(Form->SupressedWordsRichEdit1->PopupMenu(), Form->SuppressedWordsPopupMenu);
    EXPECT_EQ(Form->LogRichEdit1->PopupMenu(), Form->LogPopupMenu);
    EXPECT_EQ(Form->WebBrowser1->PopupMenu(), nullptr);
}

TEST_F(LayoutTest, ToolBarButtonsInOrderWithTheirActions) {
    Open();
    const std::pair<const char*, const char*> buttons[] = {
        {"OpenlButton1", "FileSelSourceFiles1"}, {"FileNewlButton", "FileNew1"}, {"FileSavelButton", "FileSave1"},
        {"FileSaveAsButton", "FileSaveAs1"}, {"SaveAllButton1", "FileSaveAll"}, {"", ""},
        {"EditCutlButton", "EditCut1"}, {"EditCopyButton", "EditCopy1"}, {"EditPastelButton", "EditPaste1"},
        {"", ""}, {"EditDeleteButton", "EditDelete1"}, {"", ""}, {"EditUndoButton", "EditUndo1"},
        {"EditRedoButton", "EditRedo1"}, {"", ""}, {"AssignmentRunButton", "AssignmentRun1"},
        {"AssignmentSuspendlButton", "AssignmentSuspend"}, {"AssignmentResumelButton", "AssignmentResume1"},
        {"AssignmentCancellButton", "AssignmentCancel"}, {"", ""}, {"BrowseHomelButton1", "BrowseHome1"},
        {"BrowseBackButton1", "BrowseBack1"}, {"BrowseForwardlButton1", "BrowseForward1"},
        {"BrowserOpenURLButton1", "BrowseOpenURL1"}};
    TToolBar* bar = Form->ToolBar1;
    ASSERT_EQ(bar->ButtonCount(), static_cast<int>(std::size(buttons)));
    EXPECT_EQ(SendMessageA(bar->Handle(), TB_BUTTONCOUNT, 0, 0), bar->ButtonCount());
    for (int i = 0; i < bar->ButtonCount(); ++i) {
        TToolButton* b = bar->Buttons(i);
        SCOPED_TRACE(i);
        if (!*buttons[i].first) {
            EXPECT_EQ(b->Style(), TToolButtonStyle::tbsSeparator);
            continue;
        }
        EXPECT_EQ(b->Name(), buttons[i].first);
        ASSERT_NE(b->Action(), nullptr);
        EXPECT_EQ(b->Action()->Name(), buttons[i].second);
        EXPECT_EQ(b->ShowCaption(), b->Name() == "BrowserOpenURLButton1");
        EXPECT_GE(b->ImageIndex(), 0);
    }
    EXPECT_LT(Form->ImageList1->Count(), 64);
    EXPECT_GT(Form->ImageList1->Count(), 18);
    EXPECT_EQ(Form->SelSourceFilesButton1->Action(), Form->FileSelSourceFiles2);
    EXPECT_EQ(Form->SelSourceFilesButton1->Text(), "Select");
    EXPECT_EQ(Form->ApplyKeywordButton1->Action(), Form->EditApplyKeywordChanges);
    EXPECT_EQ(Form->ApplyKeywordButton1->Text(), "Add/Apply");
}

TEST_F(LayoutTest, MainMenuItemsShowTheirActionsWithShortcutText) {
    Open();
    HMENU bar = Form->MainMenu1->Handle();
    ASSERT_EQ(GetMenuItemCount(bar), 5);
    const char* tops[] = {"&File", "&Edit", "&View", "&Assignment", "&Help"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(MenuText(bar, i), tops[i]);
    EXPECT_EQ(FindComponentAs<TMenuItem>(Form, "MMFile")->HelpContext(), 7000);
    EXPECT_EQ(FindComponentAs<TMenuItem>(Form, "MMEdit")->Hint(), "Edit commands");
    EXPECT_EQ(FindComponentAs<TMenuItem>(Form, "MMHelp")->Hint(), "Help topics");

    HMENU file = GetSubMenu(bar, 0);
    EXPECT_EQ(MenuText(file, 0), "Select Source File(s) ...\tCtrl+B");
    EXPECT_EQ(MenuText(file, 2), "&New\tCtrl+N");
    EXPECT_EQ(MenuText(file, 7), "Save All\tCtrl+Shift+S");
    EXPECT_EQ(MenuText(file, 9), "Export as");
    HMENU exportAs = GetSubMenu(file, 9);
    ASSERT_NE(exportAs, nullptr);
    EXPECT_EQ(MenuText(exportAs, 0), "Comma Separated Values");
    EXPECT_EQ(MenuText(exportAs, 1), "Keywords Meta Tag\tCtrl+Alt+M");
    EXPECT_EQ(MenuText(exportAs, 2), "Compiled Help Index file");
    EXPECT_EQ(MenuText(file, GetMenuItemCount(file) - 1), "E&xit");

    // The View menu: eight radio items in page order, none checked at start.
    auto* view = FindComponentAs<TMenuItem>(Form, "MMView");
    const char* radio[] = {"MMViewSourceFile", "MMViewBrowser", "MMViewStrippedContents", "MMViewDistinctWordList",
                           "MMViewKeywordList", "MMViewAutoFindAndAdd", "MMViewSuppressWordsList", "MMViewLog"};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(view->Items(i)->Name(), radio[i]);
        EXPECT_TRUE(view->Items(i)->RadioItem());
        EXPECT_FALSE(view->Items(i)->Checked());
    }
    auto* openUrl = FindComponentAs<TMenuItem>(Form, "MMViewBrowserOpenURL");
    EXPECT_EQ(openUrl->Action(), Form->BrowseOpenURL1);
    EXPECT_EQ(openUrl->Hint(), "Go|Open the file or URL specified in the file/address combo box");

    // Assignment: Run, Pause, Cancel, Priority with Normal checked, Run Auto Find and Add; no Resume.
    auto* assignment = FindComponentAs<TMenuItem>(Form, "MMAssignment");
    std::vector<std::string> names;
    for (int i = 0; i < assignment->Count(); ++i) names.push_back(assignment->Items(i)->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"MMAssignmentRun", "MMAssignmentSuspend", "MMAssignmentCancel", "",
                                               "MMAssignmentPriority", "", "MMAssignmentAutoFindAndAdd"}));
    auto* priority = FindComponentAs<TMenuItem>(Form, "MMAssignmentPriority");
    ASSERT_EQ(priority->Count(), 5);
    EXPECT_TRUE(FindComponentAs<TMenuItem>(Form, "MMAssignmentPriorityNormal")->Checked());
    EXPECT_EQ(FindComponentAs<TMenuItem>(Form, "MMAssignmentPriorityHighest")->Caption(), "Very High");
}

TEST_F(LayoutTest, PopupMenusCarryThePageNumberAndHideWhatTheyHide) {
    Open();
    struct Popup {
        TPopupMenu* menu;
        std::vector<std::string> shown;
    };
    const std::vector<std::string> editItems = {"&Undo", "Redo", "-", "Cu&t", "&Copy", "&Paste", "Delete", "-",
                                                "Select All", "Clear Selection", "-"};
    auto plus = [](std::vector<std::string> v, std::initializer_list<std::string> more) {
        v.insert(v.end(), more);
        return v;
    };
    Popup popups[] = {
        {Form->SourceFilePopupMenu, plus(editItems, {"Read Only"})},
        {Form->StrippedContentsPopupMenu,
         plus(editItems, {"Add Selection as  Keyword", "Add Source File as Link", "-", "Read Only"})},
        {Form->DistinctWordsPopupMenu, plus(editItems, {"Add Words to Keywords", "-", "Read Only"})},
        {Form->KeywordsPopupMenu1, {"Delete", "-", "Select All", "Clear Selection", "-", "Read Only"}},
        {Form->AutoFindPopupMenu, {"Select All", "Clear Selection", "-", "Add Source File as Link", "-", "Read Only"}},
        {Form->SuppressedWordsPopupMenu, plus(editItems, {"Read Only"})},
        {Form->LogPopupMenu, plus(editItems, {"Read Only"})},
    };
    for (Popup& p : popups) {
        SCOPED_TRACE(p.menu->Name());
        HMENU h = p.menu->Handle();
        std::vector<std::string> shown;
        for (int i = 0; i < GetMenuItemCount(h); ++i) {
            UINT state = GetMenuState(h, static_cast<UINT>(i), MF_BYPOSITION);
            std::string text = MenuText(h, i);
            shown.push_back(state & MF_SEPARATOR ? "-" : text.substr(0, text.find('\t')));
        }
        EXPECT_EQ(shown, p.shown);
    }
    EXPECT_EQ(FindComponentAs<TMenuItem>(Form, "PM3AddAsKeyword")->Action(), Form->EditAddAsKeyword);
    EXPECT_EQ(FindComponentAs<TMenuItem>(Form, "PM3AddStrippedFileAsLink")->Action(), Form->EditAddStrippedFileAsLink);
    EXPECT_EQ(FindComponentAs<TMenuItem>(Form, "PM6AddDocToKeywords")->Action(), Form->EditAddDocToKeywords);
    EXPECT_FALSE(FindComponentAs<TMenuItem>(Form, "PM5Undo")->Visible());
    EXPECT_TRUE(FindComponentAs<TMenuItem>(Form, "PM5Delete")->Visible());
    EXPECT_FALSE(FindComponentAs<TMenuItem>(Form, "PM6Delete")->Visible());
}

TEST_F(LayoutTest, AnActionDrivesItsMenuItemsAndToolButton) {
    Open();
    TAction* back = Form->BrowseBack1;
    auto* button = FindComponentAs<TToolButton>(Form, "BrowseBackButton1");
    EXPECT_TRUE(Form->ToolBar1->ButtonState(button) & TBSTATE_ENABLED);
    back->SetEnabled(false);
    EXPECT_FALSE(Form->ToolBar1->ButtonState(button) & TBSTATE_ENABLED);
    back->SetVisible(false);
    EXPECT_TRUE(Form->ToolBar1->ButtonState(button) & TBSTATE_HIDDEN);

    // A hidden action's menu item is absent; disabled, it is greyed.
    auto* pause = FindComponentAs<TMenuItem>(Form, "MMAssignmentSuspend");
    EXPECT_TRUE(MenuState(pause) & MF_GRAYED);
    HMENU assignment = FindComponentAs<TMenuItem>(Form, "MMAssignment")->SubMenuHandle();
    int before = GetMenuItemCount(assignment);
    Form->AssignmentSuspend->SetVisible(false);
    EXPECT_EQ(GetMenuItemCount(assignment), before - 1);
    EXPECT_EQ(GetMenuState(assignment, pause->Command(), MF_BYCOMMAND), static_cast<UINT>(-1));
    Form->AssignmentSuspend->SetVisible(true);
    Form->AssignmentSuspend->SetEnabled(true);
    EXPECT_FALSE(MenuState(pause) & MF_GRAYED);
    EXPECT_EQ(GetMenuItemCount(assignment), before);
}

TEST_F(LayoutTest, FileDialogsHaveTheirFiltersAndOptions) {
    Open();
    EXPECT_EQ(Form->OpenDialog->FilterIndex, 3);
    EXPECT_EQ(Form->OpenDialog->Filter,
              "HTML files, short extension  (*.htm)|*.htm|HTML files, long extension (*.html)|*.html|All HTML files "
              "(*.htm and *.html)|*.htm;*.html|XML files (*.xml)|*.xml|Text files (*.txt)|*.txt|All Files (*.*)|*.*");
    EXPECT_EQ(Form->OpenDialog->Options, unsigned(ofHideReadOnly | ofEnableSizing));
    EXPECT_EQ(Form->SaveDialog->Options, unsigned(ofOverwritePrompt | ofHideReadOnly | ofNoTestFileCreate | ofEnableSizing));
    EXPECT_NE(Form->SaveDialog->Filter.find("Lexmill Keyword files (*.rlk)|*.rlk"), std::string::npos);
    EXPECT_EQ(Form->SaveExportFileDialog->Options & ofOverwritePrompt, 0u);
    EXPECT_EQ(Form->SaveExportFileDialog->Filter.rfind("Compiled Help Index file (*.hhk)|*.hhk|", 0), 0u);
    EXPECT_EQ(FilterToSystemFormat("A|*.a|B|*.b"), std::string("A\0*.a\0B\0*.b\0\0", 13));
}

TEST_F(LayoutTest, SourceBoxStretchesWithTheWindowAndTheButtonsStayAtTheRight) {
    Open();
    auto widths = [&] {
        RECT combo, button, panel;
        GetWindowRect(Form->SourceFilesComboBoxEx->Handle(), &combo);
        GetWindowRect(Form->SelSourceFilesButton1->Handle(), &button);
        GetWindowRect(Form->SourceFilesPanel1->Handle(), &panel);
        return std::make_tuple(combo.right - combo.left, panel.right - button.right, button.left - combo.right);
    };
    auto [comboBefore, marginBefore, gapBefore] = widths();
    RECT r;
    GetWindowRect(Form->Handle(), &r);
    SetWindowPos(Form->Handle(), nullptr, 0, 0, r.right - r.left + 200, r.bottom - r.top + 100, SWP_NOMOVE | SWP_NOZORDER);
    ruktest::Pump();
    auto [comboAfter, marginAfter, gapAfter] = widths();
    EXPECT_EQ(comboAfter, comboBefore + 200);
    EXPECT_EQ(marginAfter, marginBefore);
    EXPECT_EQ(gapAfter, gapBefore);
    // The pages fill what the bars leave.
    RECT client, pages, status;
    GetClientRect(Form->Handle(), &client);
    GetWindowRect(Form->PageControl1->Handle(), &pages);
    GetWindowRect(Form->StatusBar->Handle(), &status);
    EXPECT_EQ(pages.right - pages.left, client.right);
    EXPECT_EQ(pages.bottom, status.top);
}

TEST_F(LayoutTest, SplittersDragTheWidthOfTheLeftPane) {
    Open();
    Form->PageControl1->SetActivePage(Form->DistinctWordsListTabSheet1);
    ruktest::Pump();
    HWND splitter = Form->Splitter1->Handle();
    SendMessageA(splitter, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 10));
    SendMessageA(splitter, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(51, 10));
    SendMessageA(splitter, WM_LBUTTONUP, 0, MAKELPARAM(51, 10));
    ruktest::Pump();
    EXPECT_EQ(Form->DistinctWordsLisRichEdit1->Width(), 187 + 50);
    RECT edit, list;
    GetWindowRect(Form->DistinctWordsLisRichEdit1->Handle(), &edit);
    GetWindowRect(Form->DistinctWordsListView1->Handle(), &list);
    EXPECT_EQ(list.left - edit.right, Form->Splitter1->Width());
    // Never narrower than its minimum.
    SendMessageA(splitter, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 10));
    SendMessageA(splitter, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-600, 10));
    SendMessageA(splitter, WM_LBUTTONUP, 0, MAKELPARAM(-600, 10));
    EXPECT_EQ(Form->DistinctWordsLisRichEdit1->Width(), Form->Splitter1->MinSize);
}
