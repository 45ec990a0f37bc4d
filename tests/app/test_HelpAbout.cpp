// The Help menu's web pages, the window's help request and About against a stand-in of the
// run-time library (RUKRtlStub.dll: the same stdcall export, a result the test chooses).
#include "AppTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ruk;
using ruktest::BoxWatcher;

namespace {

class HelpAboutTest : public ruktest::MainWindowTest {
protected:
    // The window's library replaced by the given one (null: none), as if loaded at start.
    void UseLibrary(HMODULE library) {
        HMODULE& held = TSDIAppFormTestAccess::RtlLibrary(*Form);
        if (held) FreeLibrary(held);
        held = library;
    }
    template <class F>
    F StubEntry(HMODULE stub, const char* name) {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(stub, name)));
    }
    std::vector<std::string> About() {
        BoxWatcher boxes;
        Form->HelpAbout1->Execute();
        ruktest::Pump();
        return boxes.Texts();
    }
};

}  // namespace

TEST_F(HelpAboutTest, TheWebActionsShowTheMakersPagesInTheBrowser) {
    Open();
    struct Case {
        TAction* Action;
        std::wstring Url;
    } cases[] = {
        {Form->HelpRUKOnTheInternet, L"https://www.ruk-software.example/"},
        {Form->HelpLexmillHomePage, L"https://www.ruk-software.example/products/applications/lexmill/Index.htm"},
    };
    for (const Case& c : cases) {
        Form->PageControl1->SetActivePage(Form->LogTabSheet1);
        ASSERT_TRUE(c.Action->Execute());
        EXPECT_EQ(Form->PageControl1->ActivePage(), Form->BrowserTabSheet1);
        EXPECT_EQ(Form->WebBrowser1->LocationURL(), c.Url);
        // The completed navigation puts the address into the source box.
        EXPECT_TRUE(ruktest::PumpUntil([&] { return Form->SourceFilesComboBoxEx->Text() == WideToAnsi(c.Url); }));
    }
    EXPECT_TRUE(Shown.Messages.empty());
}

TEST_F(HelpAboutTest, AHelpRequestShowsTheMessageOnce) {
    Open();
    BoxWatcher boxes;
    HELPINFO info{};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.dwContextId = 7000;
    SendMessageA(Form->Handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    ruktest::Pump();
    EXPECT_EQ(boxes.Texts(),
              std::vector<std::string>{"Sorry,\nThe offline help for this application has to be opened externally !"});
    bool callHelp = true;
    EXPECT_TRUE(Form->ShowHelpTopic(HELP_CONTEXT, 0, callHelp));
    EXPECT_FALSE(callHelp);
}

TEST_F(HelpAboutTest, AboutCallsTheLibrarysEntryAndReportsItsResult) {
    Open();
    HMODULE stub = LoadLibraryA("RUKRtlStub.dll");
    ASSERT_NE(stub, nullptr) << GetLastError();
    UseLibrary(stub);
    auto setResult = StubEntry<void(WINAPI*)(int)>(stub, "RUKStubSetResult");
    auto calls = StubEntry<int(WINAPI*)()>(stub, "RUKStubCalls");
    auto lastOwner = StubEntry<int(WINAPI*)()>(stub, "RUKStubLastOwner");
    ASSERT_TRUE(setResult && calls && lastOwner);

    setResult(0);
    EXPECT_TRUE(About().empty());
    EXPECT_EQ(calls(), 1);
    EXPECT_EQ(lastOwner(), 0);

    setResult(static_cast<int>(0xE000FEFFu));
    EXPECT_EQ(About(), std::vector<std::string>{"Displaying the version info dialog caused error -536805633"});
    EXPECT_EQ(calls(), 2);
}

TEST_F(HelpAboutTest, AboutWithoutTheLibraryOrItsEntryReportsTheSystemsCode) {
    Open();
    UseLibrary(nullptr);
    EXPECT_EQ(About(), std::vector<std::string>{"Displaying the version info dialog caused error 126"});
    // A library without the entry.
    UseLibrary(LoadLibraryA("kernel32.dll"));
    EXPECT_EQ(About(), std::vector<std::string>{"Displaying the version info dialog caused error 127"});
    EXPECT_TRUE(Shown.Messages.empty());
}
