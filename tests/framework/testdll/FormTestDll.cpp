// A form inside a library: created and shown modally by an export, freed by its close action.
#include "FormTestDll.h"

#include "ComCtrls.h"
#include "Form.h"
#include "Forms.h"

using namespace ruk;

namespace {

TFormTestDllFacts gFacts{};

// A static that shows the icon resource named by its text, looked up in the module that
// created it.
class TIconStatic : public TWinControl {
public:
    using TWinControl::TWinControl;

protected:
    void CreateParams(TCreateParams& p) override {
        TWinControl::CreateParams(p);
        p.ClassName = "STATIC";
        p.OwnClass = false;
        p.Style = WS_CHILD | SS_ICON;
        p.Caption = "TESTICON";
    }
};

class TTestDialog : public TForm {
public:
    explicit TTestDialog(TComponent* owner) : TForm(owner) {
        SetText("Library Test Dialog");
        SetBorderStyle(TFormBorderStyle::bsDialog);
        SetBorderIcons(biSystemMenu | biHelp);
        SetPosition(TPosition::poDefaultPosOnly);
        SetBounds(0, 0, 240, 120);
        FIcon = new TIconStatic(this);
        FIcon->SetBounds(8, 8, 32, 32);
        FIcon->SetParent(this);
        FOk = new TButton(this);
        FOk->SetText("OK");
        FOk->SetBounds(150, 80, 80, 24);
        FOk->ModalResult = mrOk;
        FOk->SetParent(this);
        OnShow = [this](TObject*) {
            gFacts.Dialog = Handle();
            gFacts.Owner = GetWindow(Handle(), GW_OWNER);
            gFacts.WasMainForm = MainForm() == this;
            gFacts.HadMainWindow = Application->MainWindow() != nullptr;
            gFacts.OwnClass = reinterpret_cast<HINSTANCE>(GetClassLongPtrA(Handle(), GCLP_HMODULE)) == ModuleInstance() &&
                              ModuleInstance() != GetModuleHandleA(nullptr) && TWinControl::FromHandle(Handle()) == this;
            gFacts.IconShown = SendMessageA(FIcon->Handle(), STM_GETICON, 0, 0) != 0;
        };
        OnPaint = [](TObject*) { ++gFacts.Painted; };
        OnClose = [](TObject*, TCloseAction& action) {
            ++gFacts.Closed;
            action = TCloseAction::caFree;
        };
    }
    ~TTestDialog() override { ++gFacts.Destroyed; }

private:
    TIconStatic* FIcon;
    TButton* FOk;
};

}  // namespace

extern "C" __declspec(dllexport) int ShowTestDialog(void) {
    auto* form = new TTestDialog(nullptr);
    form->AfterConstruction();
    return form->ShowModal();
}

extern "C" __declspec(dllexport) void GetTestDialogFacts(TFormTestDllFacts* facts) { *facts = gFacts; }
