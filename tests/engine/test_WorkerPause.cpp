// Pausing the word-list worker: it is held at its own checkpoints, never stopped by the
// system wherever it is, and a paused worker can be resumed, terminated or destroyed.
#include "Classes.h"
#include "RUKGenWordListFromHTMLThreads.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

using namespace ruk;
using ruktest::PumpFor;
using ruktest::PumpUntil;

namespace {

std::string ManyTags(int count) {
    std::string doc = "<title>Paused</title>";
    for (int i = 0; i < count; ++i) doc += "<i>w" + std::to_string(i % 7) + "</i> ";
    return doc;
}

// The system's suspend count of the thread (the thread is left as it was).
DWORD SystemSuspendCount(HANDLE thread) {
    const DWORD count = SuspendThread(thread);
    ResumeThread(thread);
    return count;
}

struct RecordingWorker {
    explicit RecordingWorker(const std::string& source) : Worker(source, "") {
        Worker.OnProgressNotification = [this](TRUKGenWordListFromHTMLThread*, const std::string& t) {
            Events.push_back(t);
        };
        Worker.OnHTMLTagFound = [this](TRUKGenWordListFromHTMLThread*, const std::string& tag, int, int) {
            Events.push_back(tag);
        };
        Worker.OnTerminate = [this](TObject*) { Terminated = true; };
    }
    TRUKGenWordListFromHTMLThread Worker;
    std::vector<std::string> Events;
    bool Terminated = false;
};

}  // namespace

TEST(WorkerPause, PauseHoldsTheWorkerAtACheckpointAndResumeGoesOnWithNothingLost) {
    const ruktest::OneDeliveryAWakeUp oneByOne;
    const std::string source = ManyTags(200);
    RecordingWorker plain(source);
    plain.Worker.Resume();
    ASSERT_TRUE(PumpUntil([&] { return plain.Terminated; }));

    RecordingWorker paused(source);
    paused.Worker.Resume();
    ASSERT_TRUE(PumpUntil([&] { return paused.Events.size() > 20; }));
    for (int round = 0; round < 3; ++round) {
        paused.Worker.Suspend();
        EXPECT_TRUE(paused.Worker.Suspended());
        PumpFor(50);  // a delivery already queued still arrives
        const size_t held = paused.Events.size();
        PumpFor(300);
        EXPECT_EQ(paused.Events.size(), held) << round;
        // Waiting at its checkpoint, not stopped by the system; the heap stays free for us.
        EXPECT_EQ(SystemSuspendCount(paused.Worker.Handle()), 0u);
        std::vector<std::string> allocations(1000, std::string(100, 'x'));
        paused.Worker.Resume();
        EXPECT_FALSE(paused.Worker.Suspended());
        ASSERT_TRUE(PumpUntil([&] { return paused.Events.size() > held + 10 || paused.Terminated; }));
    }
    ASSERT_TRUE(PumpUntil([&] { return paused.Terminated; }));
    paused.Worker.WaitFor();
    EXPECT_EQ(paused.Events, plain.Events);
    EXPECT_EQ(paused.Worker.Text(), plain.Worker.Text());
    EXPECT_EQ(paused.Worker.WordList().Text(), plain.Worker.WordList().Text());
}

TEST(WorkerPause, TerminatingAPausedWorkerEndsItWithoutAResume) {
    const ruktest::OneDeliveryAWakeUp oneByOne;
    RecordingWorker r(ManyTags(2000));
    r.Worker.Resume();
    ASSERT_TRUE(PumpUntil([&] { return r.Events.size() > 20; }));
    r.Worker.Suspend();
    PumpFor(100);
    r.Worker.Terminate();
    ASSERT_TRUE(PumpUntil([&] { return r.Terminated; }, 5000));
    r.Worker.WaitFor();
    // Stopped inside the tag stage: that step's text is still delivered, no later one.
    EXPECT_EQ(r.Events.back(), "HTML tags removed.");
    EXPECT_EQ(r.Worker.WordList().Count(), 0);
}

TEST(WorkerPause, DestroyingAPausedWorkerEndsItAndRunsItsTermination) {
    const ruktest::OneDeliveryAWakeUp oneByOne;
    auto* r = new RecordingWorker(ManyTags(2000));
    r->Worker.Resume();
    ASSERT_TRUE(PumpUntil([&] { return r->Events.size() > 20; }));
    r->Worker.Suspend();
    r->Worker.Suspend();  // paused twice: still one pause to lift at the end
    PumpFor(100);
    HANDLE thread = nullptr;
    DuplicateHandle(GetCurrentProcess(), r->Worker.Handle(), GetCurrentProcess(), &thread, SYNCHRONIZE, FALSE, 0);
    bool terminated = false;
    r->Worker.OnTerminate = [&](TObject*) { terminated = true; };
    const DWORD start = GetTickCount();
    delete r;
    EXPECT_LT(GetTickCount() - start, 5000u);
    EXPECT_TRUE(terminated);
    EXPECT_EQ(WaitForSingleObject(thread, 0), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(thread);
}
