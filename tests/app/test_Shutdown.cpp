// Closing the window while a loader or worker still runs: it is terminated and waited for,
// and nothing of it reaches the window afterwards.
#include "AppTestSupport.h"

#include <atomic>

namespace ruk {
class TSDIAppFormTestAccess {
public:
    static TThread*& WordListThread(TSDIAppForm& f) { return f.FWordListThread; }
    static TThread*& ConvertThread(TSDIAppForm& f) { return f.FConvertThread; }
};
}  // namespace ruk

using namespace ruk;
using ruktest::MainWindowTest;

namespace {
std::atomic<int> gRunning{0};

// Reports to the window on every round, as the word-list worker does, until it is terminated.
class TBusyThread : public TThread {
public:
    TBusyThread(TSDIAppForm* form, bool suspended) : TThread(suspended), FForm(form) {}
    ~TBusyThread() override { WaitForShutdown(); }
    int Rounds = 0;

protected:
    void Execute() override {
        ++gRunning;
        while (!Terminated()) {
            Synchronize([this] {
                ++Rounds;
                FForm->LogRichEdit1->Lines().Add("round");
            });
            Sleep(1);
        }
        --gRunning;
    }

private:
    TSDIAppForm* FForm;
};
}  // namespace

class ShutdownTest : public MainWindowTest {};

TEST_F(ShutdownTest, ClosingWhileWorkersRunTerminatesAndWaitsForThem) {
    Open();
    auto* worker = new TBusyThread(Form, false);
    bool terminated = false;
    worker->OnTerminate = [&](TObject*) { terminated = true; };
    TSDIAppFormTestAccess::WordListThread(*Form) = worker;
    // A loader that never started: it is released without running.
    auto* loader = new TBusyThread(Form, true);
    TSDIAppFormTestAccess::ConvertThread(*Form) = loader;
    for (int i = 0; i < 200 && worker->Rounds < 3; ++i) {
        CheckSynchronize();
        Sleep(5);
    }
    ASSERT_GE(worker->Rounds, 3);
    Form->Free();
    Form = nullptr;
    EXPECT_EQ(gRunning.load(), 0);
    EXPECT_FALSE(terminated);  // the termination event does not reach the window being destroyed
    EXPECT_FALSE(CheckSynchronize());  // and nothing of the worker is left in the queue
    EXPECT_TRUE(Shown.Messages.empty());
}
