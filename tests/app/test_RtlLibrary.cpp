// The run-time library beside the program: loaded when the window is created, kept while it
// lives, freed when it is destroyed. The build copies the library into the folder "rtl" beside
// the test program, so only this test finds it.
#include "AppTestSupport.h"

using namespace ruk;
using ruktest::MainWindowTest;

namespace {

std::string RtlFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.find_last_of('\\') + 1) + "rtl";
}

class RtlLibraryTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(SetDllDirectoryA(RtlFolder().c_str()));
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        SetDllDirectoryA(nullptr);
    }
};

}  // namespace

TEST_F(RtlLibraryTest, LoadedByNameWhileTheWindowLives) {
    ASSERT_EQ(GetModuleHandleA("RUKLexmillRtl.dll"), nullptr);
    Open();
    EXPECT_TRUE(Shown.Messages.empty());
    ASSERT_NE(Form->RtlLibrary(), nullptr);
    EXPECT_EQ(Form->RtlLibrary(), GetModuleHandleA("RUKLexmillRtl.dll"));
    EXPECT_NE(GetProcAddress(Form->RtlLibrary(), "ShowVersionInfoDialog"), nullptr);
    Form->Free();
    Form = nullptr;
    EXPECT_EQ(GetModuleHandleA("RUKLexmillRtl.dll"), nullptr);
}

namespace {

// While it lives, closes the version dialog once it takes input (after the library's message
// boxes, which the box watcher answers), noting what was true while it was open.
class AboutDialogCloser {
public:
    explicit AboutDialogCloser(HWND program) {
        Self() = this;
        FProgram = program;
        FTimer = SetTimer(nullptr, 0, 100, &Tick);
    }
    ~AboutDialogCloser() {
        KillTimer(nullptr, FTimer);
        Self() = nullptr;
    }
    AboutDialogCloser(const AboutDialogCloser&) = delete;
    AboutDialogCloser& operator=(const AboutDialogCloser&) = delete;

    int Closed = 0;
    std::vector<std::string> Captions;
    bool ProgramTookInput = false;

private:
    static AboutDialogCloser*& Self() {
        static AboutDialogCloser* self = nullptr;
        return self;
    }
    static BOOL CALLBACK CloseOne(HWND window, LPARAM) {
        AboutDialogCloser* self = Self();
        char cls[64] = {}, caption[128] = {};
        GetClassNameA(window, cls, sizeof cls);
        GetWindowTextA(window, caption, sizeof caption);
        if (!self || window == self->FProgram || std::string(cls) == "#32770" || !IsWindowVisible(window)) return TRUE;
        if (std::string(caption).rfind("About", 0) != 0 || !IsWindowEnabled(window)) return TRUE;
        self->Captions.push_back(caption);
        self->ProgramTookInput = self->ProgramTookInput || IsWindowEnabled(self->FProgram);
        PostMessageA(window, WM_CLOSE, 0, 0);
        ++self->Closed;
        return TRUE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), &CloseOne, 0); }

    HWND FProgram = nullptr;
    UINT_PTR FTimer = 0;
};

}  // namespace

TEST_F(RtlLibraryTest, AboutShowsTheLibrarysDialogEachTime) {
    Open();
    ASSERT_NE(Form->RtlLibrary(), nullptr);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ruktest::BoxWatcher boxes;
        AboutDialogCloser closer(Form->Handle());
        ChooseMenuItem("MMHelpAbout");
        EXPECT_EQ(closer.Closed, 1);
        EXPECT_EQ(closer.Captions, std::vector<std::string>{"About"});
        EXPECT_FALSE(closer.ProgramTookInput) << "the dialog is modal";
        // Under Wine the Windows logo module is missing: the library says so (its path, error 2),
        // and the dialog still opens.
        ASSERT_FALSE(ruktest::BoxWatcher::Seen().empty());
        for (const auto& box : ruktest::BoxWatcher::Seen()) {
            EXPECT_EQ(box.Caption, "RUK Lexmill");
            EXPECT_NE(box.Text.find(".dll\r\n2"), std::string::npos) << box.Text;
        }
        EXPECT_TRUE(Shown.Messages.empty());
        EXPECT_TRUE(IsWindowEnabled(Form->Handle()));
        MSG msg;
        EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    }
}
