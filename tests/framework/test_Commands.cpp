// Commands: one id for an action and for every menu item and tool button that shows it, an id
// of its own for a client without an action, and the way a WM_COMMAND from a menu, an
// accelerator or a tool bar reaches the command.
#include "ActnList.h"
#include "ComCtrls.h"
#include "Commands.h"
#include "Form.h"
#include "FormTestSupport.h"
#include "Menus.h"

#include <gtest/gtest.h>

using namespace ruk;
using namespace ruk::test;

namespace {

class CommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        TFormDescription d;
        d.Name = "CommandForm";
        d.ClassName = "TForm";
        d.Props = {{"ClientWidth", "300"}, {"ClientHeight", "100"}, {"Menu", "Menu1"}};
        d.Components = {
            {"Actions", "TActionList", "", {}, {}},
            {"Bar", "TToolBar", "", {0, 0, 300, 26}, {{"Align", "alTop"}}},
            {"BGo", "TToolButton", "Bar", {}, {{"Action", "Go"}}},
            {"BPlain", "TToolButton", "Bar", {}, {{"Caption", "Plain"}, {"OnClick", "Plain"}}},
        };
        d.ActionList = "Actions";
        d.Actions = {{"Go", "TAction", "", "&Go", "Ctrl+G", "Go|Go there", -1, "Go", {}}};
        d.Menus = {
            {"Menu1", "TMainMenu",
             {{0, "MFile", "&File", "", {}},
              {1, "MGo", "", "Go", {{"AutoCheck", "True"}}},
              {1, "MPlain", "Plain", "", {{"OnClick", "Plain"}}}}},
            {"Popup1", "TPopupMenu", {{0, "PGo", "", "Go", {}}}},
        };
        auto methods = [this](const std::string& name) -> TNotifyEvent {
            if (name == "Go") return [this](TObject*) { ++Runs; };
            if (name == "Plain") return [this](TObject*) { ++PlainClicks; };
            return nullptr;
        };
        Form->LoadDescription(d, methods);
        Form->HandleNeeded();
        Go = FindComponentAs<TAction>(Form.get(), "Go");
        MGo = FindComponentAs<TMenuItem>(Form.get(), "MGo");
        PGo = FindComponentAs<TMenuItem>(Form.get(), "PGo");
        MPlain = FindComponentAs<TMenuItem>(Form.get(), "MPlain");
        Bar = FindComponentAs<TToolBar>(Form.get(), "Bar");
        BGo = FindComponentAs<TToolButton>(Form.get(), "BGo");
        BPlain = FindComponentAs<TToolButton>(Form.get(), "BPlain");
        Bar->HandleNeeded();
    }

    void FromMenu(UINT id) { SendMessageA(Form->Handle(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    void FromAccelerator(UINT id) { SendMessageA(Form->Handle(), WM_COMMAND, MAKEWPARAM(id, 1), 0); }
    // As the tool bar control reports a click on one of its buttons.
    void FromBar(UINT id) {
        SendMessageA(Form->Handle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Bar->Handle()));
    }

    FormPtr Form = NewForm();
    TAction* Go = nullptr;
    TMenuItem *MGo = nullptr, *PGo = nullptr, *MPlain = nullptr;
    TToolBar* Bar = nullptr;
    TToolButton *BGo = nullptr, *BPlain = nullptr;
    int Runs = 0, PlainClicks = 0;
};

}  // namespace

TEST_F(CommandsTest, AnActionsClientsSendItsIdAndClientsWithoutOneTheirOwn) {
    const UINT go = Go->CommandId();
    ASSERT_NE(go, 0u);
    EXPECT_EQ(MGo->Command(), go);
    EXPECT_EQ(PGo->Command(), go);
    EXPECT_EQ(BGo->Command(), go);
    const UINT plainItem = MPlain->Command(), plainButton = BPlain->Command();
    EXPECT_NE(plainItem, 0u);
    EXPECT_NE(plainButton, 0u);
    EXPECT_NE(plainItem, go);
    EXPECT_NE(plainButton, go);
    EXPECT_NE(plainItem, plainButton);
    // The built menus and the tool bar carry those ids.
    EXPECT_EQ(TMenuItem::FindByCommand(GetMenu(Form->Handle()), go), MGo);
    EXPECT_EQ(TMenuItem::FindByCommand(Form->Menu()->Handle(), plainItem), MPlain);
    EXPECT_EQ(TMenuItem::FindByCommand(FindComponentAs<TPopupMenu>(Form.get(), "Popup1")->Handle(), go), PGo);
    EXPECT_EQ(Bar->FindButton(go), BGo);
    EXPECT_EQ(Bar->FindButton(plainButton), BPlain);
    // The accelerator table holds the action's id.
    ACCEL keys[4] = {};
    ASSERT_EQ(CopyAcceleratorTableA(Go->ActionList()->Accelerators(), keys, 4), 1);
    EXPECT_EQ(keys[0].cmd, go);
}

TEST_F(CommandsTest, EachSourceRunsTheCommandOnceAndAMenuClickIsTheItems) {
    const UINT go = Go->CommandId();
    // From the menu: the item clicked, whose own check mark moves, then the action.
    FromMenu(go);
    EXPECT_EQ(Runs, 1);
    EXPECT_TRUE(MGo->Checked());
    // A shortcut runs the action alone.
    FromAccelerator(go);
    EXPECT_EQ(Runs, 2);
    EXPECT_TRUE(MGo->Checked());
    FromMenu(go);
    EXPECT_EQ(Runs, 3);
    EXPECT_FALSE(MGo->Checked());
    FromBar(go);
    EXPECT_EQ(Runs, 4);
    // A popup's chosen id is looked up in the popup: its own item runs.
    EXPECT_TRUE(TMenuItem::RunCommand(FindComponentAs<TPopupMenu>(Form.get(), "Popup1")->Handle(), go));
    EXPECT_EQ(Runs, 5);
    EXPECT_FALSE(MGo->Checked());

    FromMenu(MPlain->Command());
    FromBar(BPlain->Command());
    EXPECT_TRUE(DispatchCommand(MPlain->Command()));
    EXPECT_EQ(PlainClicks, 3);
    EXPECT_EQ(Runs, 5);

    // A disabled action runs from nowhere, and its button shows it.
    Go->SetEnabled(false);
    EXPECT_FALSE(Bar->ButtonState(BGo) & TBSTATE_ENABLED);
    FromMenu(go);
    FromAccelerator(go);
    FromBar(go);
    EXPECT_EQ(Runs, 5);
    EXPECT_FALSE(DispatchCommand(0));
}

TEST_F(CommandsTest, AClientGivenAnActionGivesUpItsOwnIdAndAGoneCommandItsId) {
    const UINT ownButton = BPlain->Command(), ownItem = MPlain->Command();
    // Given an action once its native button exists: the button now sends the action's id.
    BPlain->SetAction(Go);
    MPlain->SetAction(Go);
    EXPECT_EQ(BPlain->Command(), Go->CommandId());
    EXPECT_EQ(MPlain->Command(), Go->CommandId());
    EXPECT_FALSE(DispatchCommand(ownButton));
    EXPECT_FALSE(DispatchCommand(ownItem));
    EXPECT_EQ(Bar->FindButton(ownButton), nullptr);
    // Two buttons of one action in one bar: each is kept up to date at its own place.
    EXPECT_TRUE(Bar->ButtonState(BGo) & TBSTATE_ENABLED);
    EXPECT_TRUE(Bar->ButtonState(BPlain) & TBSTATE_ENABLED);
    Go->SetEnabled(false);
    EXPECT_FALSE(Bar->ButtonState(BGo) & TBSTATE_ENABLED);
    EXPECT_FALSE(Bar->ButtonState(BPlain) & TBSTATE_ENABLED);
    Go->SetEnabled(true);
    FromBar(Go->CommandId());
    FromMenu(Go->CommandId());
    EXPECT_EQ(Runs, 2);
    EXPECT_EQ(PlainClicks, 0);

    const UINT go = Go->CommandId();
    Go->Free();
    EXPECT_FALSE(DispatchCommand(go));
}
