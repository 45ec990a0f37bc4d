#include "Forms.h"
#include "Threads.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

using namespace ruk;

namespace {

using ruktest::BoxWatcher;

class Worker : public TThread {
public:
    explicit Worker(std::function<void(Worker&)> body) : TThread(true), FBody(std::move(body)) {}
    ~Worker() override { WaitForShutdown(); }

protected:
    void Execute() override { FBody(*this); }

private:
    std::function<void(Worker&)> FBody;
};

class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        FOldTitle = Application->Title();
        Application->SetTitle("RUK Lexmill");
        Application->Initialize();
    }
    void TearDown() override {
        Application->SetTitle(FOldTitle);
        Application->OnException = nullptr;
        Application->OnIdle = nullptr;
    }
    std::string FOldTitle;
};

}  // namespace

TEST(Application, TitleStartsAsTheProgramName) {
    EXPECT_EQ(Application->Title(), "FrameworkTests");
}

TEST_F(ApplicationTest, ShowMessageUsesTheTitleAsCaption) {
    BoxWatcher watcher;
    ShowMessage("Invalid Keyword !");
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].Caption, "RUK Lexmill");
    EXPECT_EQ(watcher.Seen()[0].Text, "Invalid Keyword !");
}

TEST_F(ApplicationTest, ExceptionDisplayShowsTheMessageAsItStands) {
    struct Case { std::function<void()> raise; bool shown; std::string text; };
    const Case cases[] = {
        {[] { throw EFOpenError("Cannot open file \"C:\\x.txt\". The system cannot find the file specified."); },
         true, "Cannot open file \"C:\\x.txt\". The system cannot find the file specified."},
        {[] { throw ERegistryException("Invalid data type for 'LastLogFilePath'"); }, true,
         "Invalid data type for 'LastLogFilePath'"},
        {[] { throw std::runtime_error("plain"); }, true, "plain"},
        {[] { throw 42; }, true, ""},  // no exception class: the empty message
        {[] { throw EAbort("silent"); }, false, ""},
    };
    for (const Case& c : cases) {
        BoxWatcher watcher;
        try {
            c.raise();
        } catch (...) {
            Application->HandleException();
        }
        ASSERT_EQ(watcher.Seen().size(), c.shown ? 1u : 0u) << c.text;
        if (c.shown) {
            EXPECT_EQ(watcher.Seen()[0].Caption, "RUK Lexmill");
            EXPECT_EQ(watcher.Seen()[0].Text, c.text);
        }
    }
}

TEST_F(ApplicationTest, OnExceptionReplacesTheDisplay) {
    std::string seen;
    TObject* seenSender = nullptr;
    TObject sender;
    Application->OnException = [&](TObject* s, const std::exception_ptr& e) {
        seenSender = s;
        try {
            std::rethrow_exception(e);
        } catch (const Exception& x) {
            seen = x.Message();
        }
    };
    BoxWatcher watcher;
    try {
        throw EConvertError("bad");
    } catch (...) {
        Application->HandleException(&sender);
    }
    EXPECT_EQ(seen, "bad");
    EXPECT_EQ(seenSender, &sender);
    EXPECT_TRUE(watcher.Seen().empty());
}

TEST_F(ApplicationTest, RunRunsSynchronizeCallsAndHooksUntilTerminate) {
    std::vector<int> calls;
    std::vector<UINT> hooked;
    const int hook = Application->AddMessageHook([&](MSG& msg) {
        if (msg.message != WM_APP + 77) return false;
        hooked.push_back(msg.message);
        return true;
    });
    PostThreadMessageA(GetCurrentThreadId(), WM_APP + 77, 0, 0);
    Worker w([&](Worker& self) {
        for (int i = 0; i < 5; ++i) self.Synchronize([&, i] { calls.push_back(i); });
    });
    bool terminatedOnMain = false;
    w.OnTerminate = [&](TObject*) {
        terminatedOnMain = GetCurrentThreadId() == MainThreadID();
        Application->Terminate();
    };
    w.Resume();
    Application->Run();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(calls, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(terminatedOnMain);
    EXPECT_EQ(hooked, (std::vector<UINT>{WM_APP + 77}));
    w.WaitFor();
    Application->RemoveMessageHook(hook);
    PostThreadMessageA(GetCurrentThreadId(), WM_APP + 77, 0, 0);
    Application->ProcessMessages();
    EXPECT_EQ(hooked.size(), 1u);
}

TEST_F(ApplicationTest, RunGoesIdleWhenTheQueueIsEmpty) {
    int idles = 0;
    Application->OnIdle = [&] {
        if (++idles == 1) Application->Terminate();
    };
    Application->Run();
    EXPECT_GE(idles, 1);
    EXPECT_TRUE(Application->Terminated());
}

TEST_F(ApplicationTest, TerminateFromAWorkerEndsRun) {
    Worker w([](Worker&) { Application->Terminate(); });
    w.Resume();
    Application->Run();
    EXPECT_TRUE(Application->Terminated());
    w.WaitFor();
}

TEST_F(ApplicationTest, ProcessMessagesRunsWaitingCalls) {
    std::atomic<int> done{0};
    Worker w([&](Worker& self) {
        self.Synchronize([&] { ++done; });
        self.Synchronize([&] { ++done; });
    });
    w.Resume();
    while (done < 2) {
        Application->ProcessMessages();
        Sleep(1);
    }
    w.WaitFor();
    EXPECT_EQ(done, 2);
}

TEST_F(ApplicationTest, ASynchronizedMessageBoxLetsOtherWorkersThrough) {
    // Worker A's call shows a message box; worker B's calls run inside that box's loop.
    std::atomic<bool> boxShown{false};
    std::atomic<bool> bDone{false};
    std::atomic<bool> boxOpenWhenBDone{false};
    BoxWatcher watcher([&] { return bDone.load(); });
    Worker a([&](Worker& self) {
        self.Synchronize([&] {
            boxShown = true;
            ShowMessage("A is waiting");
        });
    });
    Worker b([&](Worker& self) {
        while (!boxShown) Sleep(1);
        for (int i = 0; i < 3; ++i) self.Synchronize([] {});
        boxOpenWhenBDone = FindWindowA(nullptr, "RUK Lexmill") != nullptr;
        bDone = true;
    });
    b.Resume();
    a.Resume();
    a.WaitFor();
    b.WaitFor();
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].Text, "A is waiting");
    EXPECT_TRUE(boxOpenWhenBDone);
}

TEST(LoadStr, StringResourcesOfAModule) {
    const HINSTANCE self = GetModuleHandleA(nullptr);
    EXPECT_EQ(LoadStr(self, 10000), "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\">");
    EXPECT_EQ(Format(LoadStr(self, 10011).c_str(), "html"), "        <param name=\"Name\" value=\"html\">");
    EXPECT_EQ(LoadStr(self, 10020), "a\x95" "b\xE4");
    EXPECT_EQ(LoadStr(self, 10001), "");
    EXPECT_EQ(LoadStr(self, 42), "");
}
