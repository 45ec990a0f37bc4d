// The embedded browser: the text layer that works here, and the ActiveX host that must be
// created (or refused) cleanly.
#include "AppTestSupport.h"

#include "Dialogs.h"
#include "WebBrowser.h"

#include <cstdio>

using namespace ruk;
using ruktest::DialogHook;
using ruktest::MainWindowTest;

class BrowserTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Open();
        Form->WebBrowser1->OnNavigateComplete2 = [this](TObject* sender, IDispatch*, const std::wstring& url) {
            EXPECT_EQ(sender, Form->WebBrowser1);
            Completed.push_back(url);
        };
        Dir = ruktest::TempDir() + "ruk browser\\";
        CreateDirectoryA(Dir.c_str(), nullptr);
        First = Dir + "first page.htm";
        Second = Dir + "second.htm";
        ruktest::WriteTextFile(First, "<html>\n<title>One</title>\n</html>");
        ruktest::WriteTextFile(Second, "<p>two</p>");
    }
    void TearDown() override {
        DeleteFileA(First.c_str());
        DeleteFileA(Second.c_str());
        RemoveDirectoryA(Dir.c_str());
        MainWindowTest::TearDown();
    }
    TTextBrowserLayer& Text() { return dynamic_cast<TTextBrowserLayer&>(Form->WebBrowser1->Layer()); }
    std::vector<std::wstring> Completed;
    std::string Dir, First, Second;
};

TEST_F(BrowserTest, UnderWineTheTextLayerIsUsed) {
    EXPECT_FALSE(PlatformBrowserCanRender());
    EXPECT_STREQ(Form->WebBrowser1->Layer().LayerName(), "text");
    EXPECT_FALSE(Form->WebBrowser1->Layer().HasDocument());
}

TEST_F(BrowserTest, NavigationShowsTheTextReportsTheLocationAndCompletesLater) {
    Form->WebBrowser1->Navigate(AnsiToWide(First));
    EXPECT_TRUE(Completed.empty());  // completion arrives through the message loop
    ruktest::Pump();
    std::wstring url = L"file:///" + AnsiToWide(StringReplace(StringReplace(First, "\\", "/", rfReplaceAll), " ", "%20", rfReplaceAll));
    ASSERT_EQ(Completed.size(), 1u);
    EXPECT_EQ(Completed[0], url);
    EXPECT_EQ(Form->WebBrowser1->LocationURL(), url);
    EXPECT_EQ(Text().PaneText(), "<html>\r\n<title>One</title>\r\n</html>");
    EXPECT_TRUE(Text().HasDocument());
    EXPECT_EQ(Text().DocumentFile(), First);

    // A file URL names the same file; a web address cannot be shown and gives no document.
    Form->WebBrowser1->Navigate(L"file:///" + AnsiToWide(StringReplace(Second, "\\", "/", rfReplaceAll)));
    ruktest::Pump();
    EXPECT_EQ(Text().PaneText(), "<p>two</p>");
    Form->WebBrowser1->Navigate(L"https://example.invalid/page.htm");
    ruktest::Pump();
    EXPECT_EQ(Form->WebBrowser1->LocationURL(), L"https://example.invalid/page.htm");
    EXPECT_FALSE(Text().HasDocument());
    EXPECT_NE(Text().PaneText().find("https://example.invalid/page.htm"), std::string::npos);
    EXPECT_EQ(Completed.size(), 3u);

    // A missing file: the pane says so, nothing to save.
    Form->WebBrowser1->Navigate(AnsiToWide(Dir + "gone.htm"));
    ruktest::Pump();
    EXPECT_FALSE(Text().HasDocument());
    EXPECT_EQ(Text().PaneText().rfind("This file cannot be shown: " + Dir + "gone.htm", 0), 0u);
}

TEST_F(BrowserTest, HistoryGoesBackAndForwardAndHomeIsBlank) {
    EXPECT_THROW(Form->WebBrowser1->GoBack(), EOleError);
    EXPECT_THROW(Form->WebBrowser1->GoForward(), EOleError);
    Form->WebBrowser1->Navigate(AnsiToWide(First));
    Form->WebBrowser1->Navigate(AnsiToWide(Second));
    Form->WebBrowser1->GoBack();
    EXPECT_EQ(Text().DocumentFile(), First);
    Form->WebBrowser1->GoForward();
    EXPECT_EQ(Text().DocumentFile(), Second);
    EXPECT_THROW(Form->WebBrowser1->GoForward(), EOleError);
    Form->WebBrowser1->GoBack();
    // A new navigation drops the pages ahead of the current one.
    Form->BrowseHome1->Execute();
    EXPECT_EQ(Form->WebBrowser1->LocationURL(), L"about:blank");
    EXPECT_EQ(Text().PaneText(), "");
    EXPECT_EQ(Text().HistoryCount(), 2);
    ruktest::Pump();
    EXPECT_EQ(Completed.size(), 6u);
    EXPECT_EQ(Completed.back(), L"about:blank");
}

TEST_F(BrowserTest, SaveAsCopiesTheShownFileThroughTheSaveDialog) {
    std::string target = Dir + "saved copy.htm";
    EXPECT_FALSE(Text().SaveAs(L""));  // nothing shown: no document, no dialog
    Form->WebBrowser1->Navigate(AnsiToWide(First));
    std::string offered;
    {
        DialogHook hook([&](TOpenDialog& d) {
            offered = d.FileName;
            EXPECT_EQ(d.Options & ofOverwritePrompt, unsigned(ofOverwritePrompt));
            return false;
        });
        EXPECT_FALSE(Text().SaveAs(AnsiToWide(Dir + "suggested.htm")));
    }
    EXPECT_EQ(offered, Dir + "suggested.htm");
    {
        DialogHook hook([&](TOpenDialog& d) {
            offered = d.FileName;
            d.FileName = target;
            return true;
        });
        EXPECT_TRUE(Text().SaveAs(L""));
    }
    EXPECT_EQ(offered, "first page.htm");
    EXPECT_EQ(ruktest::FileBytes(target), ruktest::FileBytes(First));
    DeleteFileA(target.c_str());
}

TEST_F(BrowserTest, FileUrlsAndPathsConvertBothWays) {
    EXPECT_EQ(TTextBrowserLayer::FileFromUrl(L"file:///C:/a%20b/c.htm"), "C:\\a b\\c.htm");
    EXPECT_EQ(TTextBrowserLayer::FileFromUrl(L"file://C:/x.htm"), "C:\\x.htm");
    EXPECT_EQ(TTextBrowserLayer::FileFromUrl(L"file:///C|/x.htm"), "C:\\x.htm");
    EXPECT_EQ(TTextBrowserLayer::FileFromUrl(L"file://server/share/x.htm"), "\\\\server\\share\\x.htm");
    EXPECT_EQ(TTextBrowserLayer::FileFromUrl(L"C:/dir/x.htm"), "C:\\dir\\x.htm");
    EXPECT_EQ(TTextBrowserLayer::FileFromUrl(L"http://host/x.htm"), "");
    EXPECT_EQ(TTextBrowserLayer::FileFromUrl(L"x.htm"), "");
    EXPECT_EQ(TTextBrowserLayer::UrlFromFile("C:\\a b\\50%#.htm"), L"file:///C:/a%20b/50%25%23.htm");
    EXPECT_EQ(TTextBrowserLayer::UrlFromFile("\\\\srv\\s\\x.htm"), L"file://srv/s/x.htm");
}

TEST_F(BrowserTest, TheActiveXHostIsCreatedOrRefusedCleanly) {
    // The platform control is created in its own window; where it cannot be activated the
    // host gives nothing back and the component keeps the text layer. No navigation is made:
    // under Wine that would ask for the rendering engine.
    HWND host = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100,
                                Form->BrowserTabSheet1->Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(host, nullptr);
    std::unique_ptr<IBrowserLayer> layer = CreateOleBrowserLayer(host);
    if (layer) {
        EXPECT_STREQ(layer->LayerName(), "activex");
        layer->SetBounds(RECT{0, 0, 150, 80});
        // Nothing navigated yet: no document to save, no location.
        EXPECT_FALSE(layer->HasDocument());
        EXPECT_FALSE(layer->SaveAs(L""));
        std::printf("ActiveX host created\n");
        layer.reset();
    } else {
        EXPECT_NE(GetLastError(), 0u);
        std::printf("ActiveX host refused: %08lx\n", GetLastError());
    }
    DestroyWindow(host);
    ruktest::Pump();
    EXPECT_TRUE(Shown.Messages.empty());
}
