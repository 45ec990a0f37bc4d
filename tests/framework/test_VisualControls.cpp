// The controls of the visual layer on their real windows: rich edit streaming and lines,
// list view items, find and sort, menus and actions, and the form-description loader.
#include "ActnList.h"
#include "ComCtrls.h"
#include "Form.h"
#include "FormTestSupport.h"
#include "Graphics.h"
#include "Menus.h"
#include "TestFileSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

using namespace ruk;
using namespace ruk::test;

namespace {

std::string TempFile(const char* name) { return ruktest::TempDir() + name; }

std::string ReadAll(const std::string& path) {
    TMemoryStream m;
    m.LoadFromFile(path);
    return std::string(m.Memory(), static_cast<size_t>(m.Size()));
}

void WriteAll(const std::string& path, const std::string& data) {
    TFileStream f(path, fmCreate);
    f.WriteBuffer(data.data(), static_cast<int>(data.size()));
}

}  // namespace

TEST(RichEdit, LinesSelectionAndModified) {
    FormPtr form = NewForm();
    auto* re = Place<TRichEdit>(*form);
    form->HandleNeeded();
    EXPECT_EQ(re->Lines().Count(), 0);
    re->Lines().Add("first");
    re->Lines().Add("second line");
    EXPECT_EQ(re->Text(), "first\r\nsecond line");
    ASSERT_EQ(re->Lines().Count(), 2);
    EXPECT_EQ(re->Lines().Strings(1), "second line");
    EXPECT_THROW(re->Lines().Strings(2), EStringListError);
    // Positions count a line break as one character; the selected text has it as CR LF.
    re->SetSelStart(3);
    re->SetSelLength(6);
    EXPECT_EQ(re->SelStart(), 3);
    EXPECT_EQ(re->SelLength(), 6);
    EXPECT_EQ(re->SelText(), "st\r\nsec");
    re->SetModified(false);
    re->SetSelText("X");
    EXPECT_TRUE(re->Modified());
    EXPECT_EQ(re->Text(), "firXond line");
    re->Clear();
    EXPECT_EQ(re->GetTextLen(), 0);
}

TEST(RichEdit, SelectionChangeIsRaisedByTheControlItself) {
    FormPtr form = NewForm();
    auto* re = Place<TRichEdit>(*form);
    int changes = 0;
    re->OnSelectionChange = [&](TObject* s) {
        EXPECT_EQ(s, re);
        ++changes;
    };
    form->HandleNeeded();
    re->SetText("abc def");
    changes = 0;
    re->SetSelStart(2);
    EXPECT_GE(changes, 1);
}

TEST(RichEdit, PlainAndRtfStreamingRoundTrips) {
    FormPtr form = NewForm();
    auto* re = Place<TRichEdit>(*form);
    form->HandleNeeded();
    std::string plain = TempFile("ruk_re_plain.txt");
    std::string rtf = TempFile("ruk_re_rich.rtf");

    // Rich-text mode writes RTF and reads it back as text.
    re->SetText("one\r\ntwo");
    re->Lines().SaveToFile(rtf);
    EXPECT_EQ(ReadAll(rtf).rfind("{\\rtf", 0), 0u);
    re->Clear();
    re->Lines().LoadFromFile(rtf);
    EXPECT_EQ(re->Text(), "one\r\ntwo");

    // A file that is not RTF is read as plain text in rich-text mode too.
    WriteAll(plain, "alpha\r\nbeta {not rtf}\r\n");
    re->Lines().LoadFromFile(plain);
    EXPECT_EQ(re->Lines().Strings(1), "beta {not rtf}");

    // Plain-text mode writes the text as it stands, every line break CR LF.
    re->SetPlainText(true);
    re->SetText("x\r\ny");
    re->Lines().SaveToFile(plain);
    EXPECT_EQ(ReadAll(plain), "x\r\ny");
    re->Lines().LoadFromFile(rtf);  // RTF text read in plain mode stays RTF source
    EXPECT_EQ(re->Text().rfind("{\\rtf", 0), 0u);

    std::string missing = TempFile("ruk_re_missing.txt");
    DeleteFileA(missing.c_str());
    try {
        re->Lines().LoadFromFile(missing);
        FAIL() << "no exception";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot open file \"" + missing + "\". ", 0), 0u) << e.what();
    }
    DeleteFileA(plain.c_str());
    DeleteFileA(rtf.c_str());
}

TEST(ListView, ItemsSubItemsDataCheckAndSelection) {
    FormPtr form = NewForm();
    TListView* lv = PlaceReportListView(*form, {{"Word", 100}, {"Count", 60}});
    form->HandleNeeded();
    int marker = 0;
    for (const char* w : {"pear", "Apple", "banana"}) {
        TListItem* it = lv->Items().Add();
        it->SetCaption(w);
        it->SubItems().Add(std::to_string(std::string(w).size()));
        it->Data = &marker;
    }
    ASSERT_EQ(lv->Items().Count(), 3);
    char text[32] = {};
    LVITEMA item{};
    item.iSubItem = 1;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(lv->Handle(), LVM_GETITEMTEXTA, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_STREQ(text, "5");
    lv->Items()[0]->SubItems().Put(0, "42");
    EXPECT_EQ(lv->Items()[0]->SubItems().Strings(0), "42");

    // The platform's find: without regard to case, partial when asked.
    EXPECT_EQ(lv->FindCaption(0, "APPLE", false, true, false), lv->Items()[1]);
    EXPECT_EQ(lv->FindCaption(0, "ban", true, true, false), lv->Items()[2]);
    EXPECT_EQ(lv->FindCaption(0, "ban", false, true, false), nullptr);
    EXPECT_EQ(lv->FindData(0, &marker, true, false), lv->Items()[0]);

    // Sorting with a compare function keeps each item with its texts and data.
    TListItem* pear = lv->Items()[0];
    ASSERT_TRUE(lv->AlphaSort());
    EXPECT_EQ(lv->Items()[0]->Caption(), "Apple");
    EXPECT_EQ(lv->Items()[2], pear);
    EXPECT_EQ(pear->Index(), 2);
    EXPECT_EQ(pear->SubItems().Strings(0), "42");

    EXPECT_EQ(lv->Selected(), nullptr);
    lv->Items()[2]->SetSelected(true);
    lv->Items()[0]->SetSelected(true);
    EXPECT_EQ(lv->SelCount(), 2);
    TListItem* first = lv->Selected();
    EXPECT_EQ(first, lv->Items()[0]);
    EXPECT_EQ(lv->GetNextItem(first, TSearchDirection::sdAll, LVNI_SELECTED), lv->Items()[2]);
    EXPECT_EQ(lv->GetNextItem(lv->Items()[2], TSearchDirection::sdAll, LVNI_SELECTED), nullptr);
    lv->SelectAll();
    EXPECT_EQ(lv->SelCount(), 3);

    lv->Items().Delete(1);
    EXPECT_EQ(lv->Items().Count(), 2);
    EXPECT_EQ(pear->Index(), 1);
    lv->Items().Clear();
    EXPECT_EQ(lv->Items().Count(), 0);
}

TEST(ListView, CheckBoxes) {
    FormPtr form = NewForm();
    auto* lv = new TListView(form.get());
    lv->SetBounds(0, 0, 200, 100);
    lv->SetParent(form.get());
    NullReader reader;
    lv->SetProperty("ViewStyle", "vsReport", reader);
    lv->SetProperty("Checkboxes", "True", reader);
    lv->SetProperty("MultiSelect", "True", reader);
    form->HandleNeeded();
    TListItem* it = lv->Items().Add();
    EXPECT_FALSE(it->Checked());
    it->SetChecked(true);
    EXPECT_TRUE(it->Checked());
    EXPECT_THROW(lv->SetProperty("ViewStyle", "vsNothing", reader), EPropertyError);
    EXPECT_THROW(lv->SetProperty("NoSuchProperty", "1", reader), EPropertyError);
}

TEST(ImageList, APaintedImageIsAddedAndAFailingPainterLeavesNoContextOrBitmap) {
    TImageList images(nullptr);
    COLORREF painted = CLR_INVALID;
    EXPECT_EQ(images.AddPainted([&](HDC dc, int width, int height) {
        EXPECT_EQ(width, 16);
        EXPECT_EQ(height, 16);
        SetPixel(dc, 3, 4, RGB(10, 20, 30));
        painted = GetPixel(dc, 3, 4);
    }),
              0);
    EXPECT_EQ(painted, RGB(10, 20, 30));

    HDC seenDC = nullptr;
    HGDIOBJ seenBitmap = nullptr;
    EXPECT_THROW(images.AddPainted([&](HDC dc, int, int) {
        seenDC = dc;
        seenBitmap = GetCurrentObject(dc, OBJ_BITMAP);
        throw std::runtime_error("painter failed");
    }),
                 std::runtime_error);
    ASSERT_NE(seenDC, nullptr);
    ASSERT_NE(seenBitmap, nullptr);
    EXPECT_EQ(GetObjectType(seenDC), 0u) << "the memory context was not deleted";
    EXPECT_EQ(GetObjectType(seenBitmap), 0u) << "the bitmap was not deleted";
    EXPECT_EQ(images.Count(), 1);
}

TEST(Actions, ShortcutTextsAndHints) {
    const std::pair<const char*, TShortCut> cases[] = {
        {"Ctrl+B", static_cast<TShortCut>(scCtrl | 'B')},
        {"F5", VK_F5},
        {"Shift+F7", static_cast<TShortCut>(scShift | VK_F7)},
        {"Ctrl+Shift+S", static_cast<TShortCut>(scCtrl | scShift | 'S')},
        {"Ctrl+Alt+M", static_cast<TShortCut>(scCtrl | scAlt | 'M')},
        {"Ctrl+Shift+F4", static_cast<TShortCut>(scCtrl | scShift | VK_F4)},
    };
    for (auto& [text, sc] : cases) {
        EXPECT_EQ(TextToShortCut(text), sc) << text;
        EXPECT_EQ(ShortCutToText(sc), text);
    }
    EXPECT_EQ(TextToShortCut(""), 0);
    EXPECT_THROW(TextToShortCut("Ctrl+Nothing"), EPropertyError);
    EXPECT_EQ(GetShortHint("Save|Save current file"), "Save");
    EXPECT_EQ(GetLongHint("Save|Save current file"), "Save current file");
    EXPECT_EQ(GetShortHint("|Only long"), "");
    EXPECT_EQ(GetLongHint("Both"), "Both");
}

TEST(Actions, ExecuteRespectsEnabledAndGroupChecks) {
    TActionList list(nullptr);
    TAction a(nullptr), b(nullptr);
    a.SetActionList(&list);
    b.SetActionList(&list);
    int runs = 0;
    a.OnExecute = [&](TObject*) { ++runs; };
    EXPECT_TRUE(a.Execute());
    a.SetEnabled(false);
    EXPECT_FALSE(a.Execute());
    EXPECT_FALSE(b.Execute());  // no handler
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(DispatchCommand(a.CommandId()));
    EXPECT_EQ(runs, 1);
}

TEST(Menus, ItemsFollowActionsAndDropRedundantSeparators) {
    FormPtr form = NewForm();
    TActionList* list = new TActionList(form.get());
    auto* act = new TAction(form.get());
    act->SetActionList(list);
    act->SetCaption("&Open");
    act->SetShortCut(TextToShortCut("Ctrl+O"));
    auto* popup = new TPopupMenu(form.get());
    auto add = [&](const char* caption, TAction* action) {
        auto* item = new TMenuItem(form.get());
        if (caption) item->SetCaption(caption);
        if (action) item->SetAction(action);
        popup->Items()->Add(item);
        return item;
    };
    TMenuItem* sep1 = add("-", nullptr);
    TMenuItem* open = add(nullptr, act);
    add("-", nullptr);
    TMenuItem* hidden = add("Hidden", nullptr);
    hidden->SetVisible(false);
    (void)sep1;
    HMENU h = popup->Handle();
    // The leading separator and the one left at the end are not shown.
    ASSERT_EQ(GetMenuItemCount(h), 1);
    char text[64] = {};
    GetMenuStringA(h, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&Open\tCtrl+O");
    act->SetEnabled(false);
    EXPECT_TRUE(GetMenuState(h, open->Command(), MF_BYCOMMAND) & MF_GRAYED);
    act->SetVisible(false);
    EXPECT_EQ(GetMenuItemCount(h), 0);
    hidden->SetVisible(true);
    EXPECT_EQ(GetMenuItemCount(h), 1);
}

TEST(FormDescription, BuildsComponentsAndRejectsUnknownNames) {
    TFormDescription d;
    d.Name = "TestForm";
    d.ClassName = "TForm";
    d.Props = {{"Caption", "Test"}, {"ClientWidth", "200"}, {"ClientHeight", "100"}, {"Menu", "Menu1"}};
    d.Components = {
        {"Actions", "TActionList", "", {}, {}},
        {"Panel1", "TPanel", "", {0, 0, 200, 30}, {{"Align", "alTop"}, {"Caption", "Panel"}}},
        {"Edit1", "TRichEdit", "Panel1", {0, 0, 50, 20}, {{"ReadOnly", "True"}}},
    };
    d.ActionList = "Actions";
    d.Actions = {{"Act1", "TAction", "File", "&Go", "Ctrl+G", "Go|Go there", -1, "Clicked", {}}};
    d.Menus = {{"Menu1", "TMainMenu", {{0, "MFile", "&File", "", {}}, {1, "MGo", "", "Act1", {}}}}};
    int clicks = 0;
    auto methods = [&](const std::string& name) -> TNotifyEvent {
        if (name == "Clicked") return [&](TObject*) { ++clicks; };
        return nullptr;
    };
    FormPtr form = NewForm();
    form->LoadDescription(d, methods);
    auto* edit = FindComponentAs<TRichEdit>(form.get(), "Edit1");
    EXPECT_EQ(edit->Parent(), FindComponentAs<TPanel>(form.get(), "Panel1"));
    EXPECT_TRUE(edit->ReadOnly());
    EXPECT_EQ(form->Menu(), FindComponentAs<TMainMenu>(form.get(), "Menu1"));
    auto* go = FindComponentAs<TMenuItem>(form.get(), "MGo");
    form->HandleNeeded();
    SendMessageA(form->Handle(), WM_COMMAND, go->Command(), 0);
    EXPECT_EQ(clicks, 1);
    RECT r;
    GetClientRect(form->Handle(), &r);
    EXPECT_EQ(r.right, 200);
    EXPECT_EQ(r.bottom, 100);

    auto fails = [&](TFormDescription bad, const char* message) {
        FormPtr f = NewForm();
        try {
            f->LoadDescription(bad, methods);
            ADD_FAILURE() << "no exception for " << message;
        } catch (const EComponentError& e) {
            EXPECT_EQ(std::string(e.what()), message);
        }
    };
    TFormDescription typo = d;
    typo.Components[2].Props = {{"ReadOnlee", "True"}};
    fails(typo, "Property Edit1.ReadOnlee does not exist");
    TFormDescription missing = d;
    missing.Menus[0].Items[1].Action = "NoAction";
    fails(missing, "Component NoAction not found");
    TFormDescription method = d;
    method.Actions[0].OnExecute = "NoMethod";
    fails(method, "Method NoMethod not found");
}

TEST(Form, HelpRequestsReachOnHelpOnce) {
    FormPtr form = NewForm();
    form->HandleNeeded();
    int calls = 0;
    bool callHelpSeen = false;
    form->OnHelp = [&](WORD command, int, bool& callHelp) {
        ++calls;
        callHelpSeen = callHelp;
        EXPECT_EQ(command, HELP_CONTEXT);
        return true;
    };
    HELPINFO info{};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.hItemHandle = form->Handle();
    SendMessageA(form->Handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(callHelpSeen);
}

TEST(Form, CreateShowAndDestroyEventsInTheirOrder) {
    std::vector<std::string> events;
    struct TTestForm : TForm {
        explicit TTestForm(std::vector<std::string>& log) : TForm(nullptr) {
            OnCreate = [&log](TObject*) { log.push_back("create"); };
            OnShow = [&log, this](TObject*) { log.push_back(IsWindowVisible(Handle()) ? "show:visible" : "show"); };
            OnDestroy = [&log, this](TObject*) { log.push_back(HandleAllocated() ? "destroy:window" : "destroy"); };
        }
    };
    TTestForm* form = new TTestForm(events);
    EXPECT_TRUE(events.empty());  // OnCreate runs after the constructor
    form->AfterConstruction();
    form->Show();
    form->Hide();
    form->Show();  // OnShow once, at the first showing
    form->Free();
    EXPECT_EQ(events, (std::vector<std::string>{"create", "show", "destroy:window"}));
}

TEST(FormDescription, AFormOnItsWayOutLaysOutNothing) {
    // The form's menu goes before its window; the resize must not reach the controls, whose
    // layout can be slow (a rich edit with a long text lays it all out again).
    TFormDescription d;
    d.Name = "ClosingForm";
    d.ClassName = "TForm";
    d.Props = {{"Caption", "Closing"}, {"ClientWidth", "200"}, {"ClientHeight", "100"}, {"Menu", "Menu1"}};
    d.Components = {{"Pane", "TPanel", "", {0, 0, 200, 100}, {{"Align", "alClient"}}}};
    d.Menus = {{"Menu1", "TMainMenu", {{0, "MFile", "&File", "", {}}}}};
    FormPtr form = NewForm();
    form->LoadDescription(d, [](const std::string&) -> TNotifyEvent { return nullptr; });
    form->Show();
    auto* pane = FindComponentAs<TPanel>(form.get(), "Pane");
    int resizes = 0;
    pane->OnResize = [&](TObject*) { ++resizes; };
    // The layout still follows the form while it lives.
    form->SetBounds(form->Left(), form->Top(), form->Width() + 40, form->Height() + 30);
    const int whileAlive = resizes;
    EXPECT_GT(whileAlive, 0);
    form.reset();
    EXPECT_EQ(resizes, whileAlive);
}

// A resized status bar is painted whole again: what the control painted for its old size (the
// size grip above all) must not stay on the screen.
TEST(StatusBar, AResizePaintsTheWholeBarAgain) {
    FormPtr form = NewForm();
    form->SetBounds(0, 0, 600, 200);
    TStatusBar* bar = new TStatusBar(form.get());
    bar->SetBounds(0, 100, 120, 22);
    bar->SetParent(form.get());
    form->Show();
    for (const SIZE size : {SIZE{250, 22}, SIZE{180, 30}, SIZE{300, 30}}) {
        SCOPED_TRACE(size.cx);
        UpdateWindow(bar->Handle());
        RECT invalid{};
        ASSERT_FALSE(GetUpdateRect(bar->Handle(), &invalid, FALSE));
        bar->SetBounds(0, 100, size.cx, size.cy);
        RECT client{};
        GetClientRect(bar->Handle(), &client);
        ASSERT_TRUE(GetUpdateRect(bar->Handle(), &invalid, FALSE));
        EXPECT_TRUE(EqualRect(&invalid, &client)) << invalid.left << "," << invalid.top << " " << invalid.right
                                                  << "," << invalid.bottom;
    }
}
