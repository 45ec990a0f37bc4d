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
