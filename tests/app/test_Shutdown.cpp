// Closing the window while a loader or worker still runs: it is terminated and waited for
// while the window is whole, and nothing of it is left to reach the window afterwards.
#include "AppTestSupport.h"

using namespace ruk;
using ruktest::MainWindowTest;

class ShutdownTest : public MainWindowTest {};

TEST_F(ShutdownTest, ClosingWhileWorkersRunTerminatesAndWaitsForThem) {
    Open();
    // A document with many tags keeps the word-list worker busy for a long time.
    std::string doc = "<html><head><title>Busy</title></head><body>";
    for (int i = 0; i < 40000; ++i) doc += "<b>word" + std::to_string(i) + "</b> ";
    doc += "</body></html>";
    auto* worker = new TRUKGenWordListFromHTMLThread(doc, "");
    int tags = 0;
    bool windowWhole = true;
    worker->OnHTMLTagFound = [&](TRUKGenWordListFromHTMLThread*, const std::string&, int, int) {
        ++tags;
        windowWhole = windowWhole && Form && Form->LogRichEdit1->HandleAllocated();
    };
    bool terminated = false;
    worker->OnTerminate = [&](TObject*) { terminated = true; };
    HANDLE workerThread = nullptr;
    DuplicateHandle(GetCurrentProcess(), worker->Handle(), GetCurrentProcess(), &workerThread, SYNCHRONIZE, FALSE, 0);
    TSDIAppFormTestAccess::SetWordListThread(*Form, worker);
    // A loader that was never started is released without running.
    TSDIAppFormTestAccess::SetConvertThread(*Form, new TRUKConvertCharEncodingThread(std::string("C:\\nothing.htm")));
    worker->Resume();
    for (int i = 0; i < 400 && tags < 50; ++i) {
        CheckSynchronize();
        Sleep(5);
    }
    ASSERT_GE(tags, 50);
    Form->Free();
    Form = nullptr;
    EXPECT_EQ(WaitForSingleObject(workerThread, 0), WAIT_OBJECT_0);
    CloseHandle(workerThread);
    // Every event came while the window was whole, its termination event included; nothing
    // is left in the queue.
    EXPECT_TRUE(windowWhole);
    EXPECT_TRUE(terminated);
    EXPECT_FALSE(CheckSynchronize());
    EXPECT_TRUE(Shown.Messages.empty());
}
