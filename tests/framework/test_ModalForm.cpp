// Modal forms: a form inside a library shown over a window of the program, and the modal
// loop's keys, owner and worker calls.
#include "ComCtrls.h"
#include "Form.h"
#include "FormTestSupport.h"
#include "Forms.h"
#include "Threads.h"
#include "testdll/FormTestDll.h"

#include <gtest/gtest.h>

#include <functional>

using namespace ruk;
using ruk::test::FormPtr;

namespace {

// Runs a step on the dialog (the visible window of that caption) from a thread timer, that is
// from inside the modal loop, once it is shown; a dialog left open after 10 s is closed.
std::function<void(HWND dialog)> gStep;
const char* gCaption = nullptr;
DWORD gStart = 0;

void CALLBACK RunStep(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = FindWindowA(nullptr, gCaption);
    if (!dialog || !IsWindowVisible(dialog)) return;
    if (gStep) {
        auto step = std::move(gStep);
        gStep = nullptr;
        step(dialog);
    } else if (GetTickCount() - gStart > 10000) {
        KillTimer(nullptr, timer);
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    }
}

class ModalDriver {
public:
    ModalDriver(const char* caption, std::function<void(HWND)> step) {
        gCaption = caption;
        gStep = std::move(step);
        gStart = GetTickCount();
        FTimer = SetTimer(nullptr, 0, 30, RunStep);
    }
    ~ModalDriver() {
        KillTimer(nullptr, FTimer);
        gStep = nullptr;
    }

private:
    UINT_PTR FTimer;
};

bool QuitWaiting(WPARAM* code = nullptr) {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return false;
    if (code) *code = msg.wParam;
    return true;
}

// The program's window that the dialog is shown over: visible and active.
FormPtr ShownOwner() {
    FormPtr owner = ruk::test::NewForm();
    owner->SetText("Modal Owner");
    owner->Show();
    SetForegroundWindow(owner->Handle());
    SetActiveWindow(owner->Handle());
    return owner;
}

class LibraryForm : public ::testing::Test {
protected:
    void SetUp() override {
        FLibrary = LoadLibraryA("RUKFormTestDll.dll");
        ASSERT_NE(FLibrary, nullptr) << GetLastError();
        Show = reinterpret_cast<TShowTestDialog>(reinterpret_cast<void*>(GetProcAddress(FLibrary, "ShowTestDialog")));
        Facts = reinterpret_cast<TGetTestDialogFacts>(reinterpret_cast<void*>(GetProcAddress(FLibrary, "GetTestDialogFacts")));
        ASSERT_TRUE(Show && Facts);
        while (QuitWaiting()) {
        }
    }
    void TearDown() override {
        if (FLibrary) FreeLibrary(FLibrary);
    }
    TFormTestDllFacts Read() {
        TFormTestDllFacts f{};
        Facts(&f);
        return f;
    }
    TShowTestDialog Show = nullptr;
    TGetTestDialogFacts Facts = nullptr;

private:
    HMODULE FLibrary = nullptr;
};

const char kDialog[] = "Library Test Dialog";

}  // namespace

TEST_F(LibraryForm, ClosedByOkEscAndCloseBoxLeavesNoQuitAndTheOwnerActive) {
    // The program registers the same window classes with its own instance first.
    FormPtr mine = ruk::test::NewForm();
    mine->SetBorderStyle(TFormBorderStyle::bsDialog);
    mine->HandleNeeded();
    FormPtr owner = ShownOwner();
    const HWND ownerWnd = owner->Handle();

    struct Case {
        const char* name;
        std::function<void(HWND)> close;
        int result;
    };
    const Case cases[] = {
        {"OK button",
         [](HWND d) {
             HWND ok = FindWindowExA(d, nullptr, "Button", "OK");
             SendMessageA(ok, BM_CLICK, 0, 0);
         },
         mrOk},
        {"Enter on the focused OK button", [](HWND) { PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0); }, mrOk},
        {"Esc", [](HWND) { PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); }, mrCancel},
        {"close box", [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, mrCancel},
    };
    int round = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ++round;
        bool ownerDisabled = false;
        int result;
        {
            ModalDriver driver(kDialog, [&](HWND d) {
                ownerDisabled = !IsWindowEnabled(ownerWnd);
                c.close(d);
            });
            result = Show();
        }
        EXPECT_EQ(result, c.result);
        const TFormTestDllFacts f = Read();
        EXPECT_TRUE(ownerDisabled);
        EXPECT_EQ(f.Owner, ownerWnd);
        EXPECT_FALSE(f.WasMainForm);
        EXPECT_FALSE(f.HadMainWindow);
        EXPECT_TRUE(f.OwnClass);
        EXPECT_TRUE(f.IconShown);
        EXPECT_GT(f.Painted, 0);
        EXPECT_EQ(f.Closed, round);
        EXPECT_EQ(f.Destroyed, round);  // its close action freed it
        EXPECT_FALSE(IsWindow(f.Dialog));
        EXPECT_FALSE(QuitWaiting());
        EXPECT_TRUE(IsWindowEnabled(ownerWnd));
        EXPECT_EQ(GetActiveWindow(), ownerWnd);
    }
}

TEST_F(LibraryForm, QuitInsideTheLoopEndsItAndIsPassedOn) {
    FormPtr owner = ShownOwner();
    int result;
    {
        ModalDriver driver(kDialog, [](HWND) { PostQuitMessage(7); });
        result = Show();
    }
    EXPECT_EQ(result, mrCancel);
    WPARAM code = 0;
    EXPECT_TRUE(QuitWaiting(&code));
    EXPECT_EQ(code, 7u);
    EXPECT_FALSE(IsWindow(Read().Dialog));
    EXPECT_TRUE(IsWindowEnabled(owner->Handle()));
}

namespace {
class SyncWorker : public TThread {
public:
    explicit SyncWorker(std::function<void()> call) : TThread(true), FCall(std::move(call)) {}
    ~SyncWorker() override { WaitForShutdown(); }

protected:
    void Execute() override {
        for (int i = 0; i < 1000 && !Terminated(); ++i) {
            HWND d = FindWindowA(nullptr, kDialog);
            if (d && IsWindowVisible(d)) break;
            Sleep(10);
        }
        for (int i = 0; i < 3; ++i) Synchronize(FCall);
    }

private:
    std::function<void()> FCall;
};
}  // namespace

TEST_F(LibraryForm, WorkerCallsAreAnsweredDuringTheModalLoop) {
    FormPtr owner = ShownOwner();
    int calls = 0, whileShown = 0;
    SyncWorker worker([&] {
        ++calls;
        HWND d = FindWindowA(nullptr, kDialog);
        if (d && IsWindowVisible(d)) ++whileShown;
        if (calls == 3) PostMessageA(d, WM_CLOSE, 0, 0);
    });
    worker.Resume();
    const int result = Show();
    worker.WaitFor();
    EXPECT_EQ(result, mrCancel);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(whileShown, 3);
}

namespace {
struct KeyForm {
    FormPtr form = ruk::test::NewForm();
    TButton* first;
    TButton* second;
    TButton* third;
    TRichEdit* edit;
    KeyForm() {
        form->SetText("Modal Keys");
        form->SetBorderStyle(TFormBorderStyle::bsDialog);
        auto button = [&](const char* caption, int tabOrder) {
            auto* b = new TButton(form.get());
            b->SetText(caption);
            b->SetBounds(10 + 70 * tabOrder, 100, 60, 24);
            b->SetTabOrder(tabOrder);
            b->SetParent(form.get());
            return b;
        };
        // Placed in another order than their tab order.
        third = button("Third", 3);
        first = button("First", 1);
        second = button("Second", 2);
        edit = new TRichEdit(form.get());
        edit->SetBounds(10, 10, 200, 60);
        edit->SetTabOrder(0);
        edit->SetWantReturns(false);
        edit->SetParent(form.get());
    }
};
}  // namespace

TEST(ModalForm, TabWalksTheTabOrderAndEnterClicksTheDefaultButton) {
    FormPtr owner = ShownOwner();
    KeyForm k;
    k.second->SetDefault(true);
    k.second->ModalResult = mrYes;
    int clicked = 0;
    k.second->OnClick = [&](TObject*) { ++clicked; };
    std::vector<std::string> trail;
    auto record = [&] {
        TWinControl* c = TWinControl::FindControl(GetFocus());
        trail.push_back(c == k.edit ? std::string("edit") : c ? c->Text() : std::string("?"));
    };
    // One key a step, each through the loop as the user's would come.
    std::vector<std::function<void()>> steps;
    for (int i = 0; i < 4; ++i)
        steps.push_back([&] {
            record();
            PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
        });
    steps.push_back([&] {
        record();
        PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
    });
    size_t next = 0;
    std::function<void(HWND)> step = [&](HWND) {
        steps[next++]();
        if (next < steps.size()) gStep = step;
    };
    int result;
    {
        ModalDriver driver("Modal Keys", step);
        result = k.form->ShowModal();
    }
    EXPECT_EQ(trail, (std::vector<std::string>{"edit", "First", "Second", "Third", "edit"}));
    EXPECT_EQ(clicked, 1);
    EXPECT_EQ(result, mrYes);
    EXPECT_EQ(k.edit->Text(), "");
    EXPECT_FALSE(k.form->Showing());
    EXPECT_FALSE(QuitWaiting());
}

TEST(ModalForm, FirstFormShownModallyIsNotTheMainForm) {
    // A form created when there is no main form would become it; shown modally it does not,
    // and closing it does not end the program.
    TForm* previous = MainForm();
    SetMainForm(nullptr);
    FormPtr form = ruk::test::NewForm();
    form->SetText("Modal First");
    EXPECT_EQ(MainForm(), form.get());
    int result;
    {
        ModalDriver driver("Modal First", [](HWND d) { PostMessageA(d, WM_CLOSE, 0, 0); });
        result = form->ShowModal();
    }
    EXPECT_EQ(result, mrCancel);
    EXPECT_EQ(MainForm(), nullptr);
    EXPECT_NE(Application->MainWindow(), form->HandleValue());
    EXPECT_FALSE(QuitWaiting());
    SetMainForm(previous);
}
