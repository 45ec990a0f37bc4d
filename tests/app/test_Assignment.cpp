// Running an assignment on the real window: the log while it runs, the results when it ends,
// the states of Run, Pause, Resume and Cancel, and the file actions locked meanwhile.
#include "AppTestSupport.h"

#include <functional>

using namespace ruk;
using ruktest::MainWindowTest;
using Access = TSDIAppFormTestAccess;

namespace {

// Enabled and visible, as the table of the assignment actions has them.
struct ControlStates {
    bool RunEnabled, RunVisible, PauseEnabled, CancelEnabled, ResumeEnabled, ResumeVisible;
    bool operator==(const ControlStates&) const = default;
};
std::ostream& operator<<(std::ostream& os, const ControlStates& s) {
    return os << "Run " << s.RunEnabled << s.RunVisible << " Pause " << s.PauseEnabled << " Cancel "
              << s.CancelEnabled << " Resume " << s.ResumeEnabled << s.ResumeVisible;
}
const ControlStates kIdle{true, true, false, false, false, false};
const ControlStates kRunning{false, true, true, true, false, false};
const ControlStates kPaused{false, false, false, false, true, true};
const ControlStates kRunningAfterResume{false, false, true, true, false, true};

const char* const kRunLocked[] = {
    "FileSelSourceFiles1",      "FileSelSourceFiles2",        "FileNew1",
    "FileOpen1",                "FileSave1",                  "FileSaveAs1",
    "FileSaveAll",              "FileSaveSourceFile",         "FileSaveBrowserFile",
    "FileSaveStrippedContents", "FileSaveKeywordList",        "FileSaveSuppressWordList",
    "FileSaveLog",              "FileSaveSourceFileAs",       "FileSaveBrowserFileAs",
    "FileSvaeStrippedContentsAs", "FileSaveKeywordListAs",    "FileSaveSuppressWordListAs",
    "FileSaveLogAs"};

// What a worker run over the same texts reports and leaves, with the window's log lines made
// from its events.
struct Reference {
    std::vector<std::string> Log;
    std::string Text;
    std::vector<std::pair<std::string, int>> Words;
};

Reference RunDirectly(const std::string& source, const std::string& suppress) {
    Reference r;
    TRUKGenWordListFromHTMLThread worker(source, suppress);
    worker.OnProgressNotification = [&](TRUKGenWordListFromHTMLThread*, const std::string& t) { r.Log.push_back(t); };
    worker.OnTitleFound = [&](TRUKGenWordListFromHTMLThread*, const std::string& t) {
        r.Log.push_back("The document title of the processed source file is : " + t);
    };
    worker.OnHTMLTagFound = [&](TRUKGenWordListFromHTMLThread*, const std::string& tag, int start, int end) {
        r.Log.push_back("Opening and closing tag characters found at " + std::to_string(start) + " and " +
                        std::to_string(end));
        r.Log.push_back("Found tag is : " + tag);
    };
    worker.Resume();
    worker.WaitFor();
    r.Text = worker.Text();
    for (int i = 0; i < worker.WordList().Count(); ++i)
        r.Words.emplace_back(worker.WordList()[i], static_cast<int>(worker.WordList().Integers(i)));
    return r;
}

std::vector<std::string> Lines(TRichEdit* pane) {
    std::vector<std::string> lines;
    TRichEditStrings& l = pane->Lines();
    for (int i = 0; i < l.Count(); ++i) lines.push_back(l.Strings(i));
    return lines;
}

// A document that keeps the worker busy: many tags, a couple of delivered lines each.
std::string ManyTags(int count) {
    std::string doc = "<html><head><title>Busy</title></head><body>";
    for (int i = 0; i < count; ++i) doc += "<b>word" + std::to_string(i % 50) + "</b> ";
    return doc + "</body></html>";
}

}  // namespace

class AssignmentTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Open();
    }
    ControlStates States() const {
        return {Form->AssignmentRun1->Enabled(),  Form->AssignmentRun1->Visible(),    Form->AssignmentSuspend->Enabled(),
                Form->AssignmentCancel->Enabled(), Form->AssignmentResume1->Enabled(), Form->AssignmentResume1->Visible()};
    }
    void ExpectRunLocked(bool locked) {
        for (const char* name : kRunLocked)
            EXPECT_EQ(FindComponentAs<TAction>(Form, name)->Enabled(), !locked) << name;
    }
    void SetSource(const std::string& text) { Form->HTMLSourceFileRichEdit1->SetText(text); }
    // Presses Run as the user does (F5 reaches the action through the window's keys).
    void PressRun() {
        MSG msg{Form->LogRichEdit1->Handle(), WM_KEYDOWN, VK_F5, 0, 0, {0, 0}};
        ASSERT_TRUE(FormsPreTranslateMessage(msg));
    }
    bool WaitForIdle() {
        return ruktest::PumpUntil([&] { return Form->AssignmentRun1->Enabled(); });
    }
    int LogLines() { return Form->LogRichEdit1->Lines().Count(); }
};

TEST_F(AssignmentTest, RunLogsTheTitleAndTheTagsAndAppendsTheResults) {
    // The bold tag's '<' at 10 and '>' at 12.
    const std::string source = "Some text<b>bold</b> words<title>Home</title>, more words";
    SetSource(source);
    Form->StrippedContentsRichEdit1->SetText("earlier text");
    EXPECT_EQ(States(), kIdle);
    PressRun();
    // The worker waits for its first delivery until the window handles it: still running.
    EXPECT_EQ(States(), kRunning);
    ExpectRunLocked(true);
    EXPECT_TRUE(Form->ViewLog->Enabled());
    EXPECT_TRUE(Form->BrowseHome1->Enabled());
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(States(), kIdle);
    ExpectRunLocked(false);
    EXPECT_TRUE(Shown.Messages.empty());

    const Reference ref = RunDirectly(source, "");
    const std::vector<std::string> log = Lines(Form->LogRichEdit1);
    EXPECT_EQ(log, ref.Log);
    auto at = std::find(log.begin(), log.end(), "Opening and closing tag characters found at 10 and 12");
    ASSERT_NE(at, log.end());
    EXPECT_EQ(*(at + 1), "Found tag is : <b>");
    EXPECT_NE(std::find(log.begin(), log.end(), "The document title of the processed source file is : Home"), log.end());
    EXPECT_EQ(log.back(), "Word count completed.");
    EXPECT_EQ(Form->DocTitle(), "Home");

    // Appended below what the panes held; nothing was cleared first.
    EXPECT_EQ(Form->StrippedContentsRichEdit1->Text(), "earlier text\r\n" + ref.Text);
    std::vector<std::string> words;
    for (const auto& w : ref.Words) words.push_back(w.first);
    ASSERT_FALSE(words.empty());
    EXPECT_EQ(Lines(Form->DistinctWordsLisRichEdit1), words);
    TListItems& rows = Form->DistinctWordsListView1->Items();
    ASSERT_EQ(rows.Count(), static_cast<int>(ref.Words.size()));
    for (int i = 0; i < rows.Count(); ++i) {
        EXPECT_EQ(rows[i]->Caption(), ref.Words[static_cast<size_t>(i)].first);
        EXPECT_EQ(rows[i]->SubItems().Strings(0), std::to_string(ref.Words[static_cast<size_t>(i)].second));
    }
    EXPECT_TRUE(Form->StrippedContentsRichEdit1->Modified());
    EXPECT_TRUE(Form->DistinctWordsLisRichEdit1->Modified());
    EXPECT_TRUE(Form->LogRichEdit1->Modified());
    EXPECT_FALSE(Form->HTMLSourceFileRichEdit1->Modified());
}

TEST_F(AssignmentTest, SuppressedWordsAreLeftOutOfTheWordLists) {
    const std::string source = "<p>alpha beta gamma</p>";
    SetSource(source);
    Form->SupressedWordsRichEdit1->SetText("beta\r\nALPHA");
    PressRun();
    ASSERT_TRUE(WaitForIdle());
    const Reference ref = RunDirectly(source, "beta\r\nALPHA");
    ASSERT_EQ(ref.Words.size(), 1u);
    EXPECT_EQ(ref.Words[0].first.rfind("gamma", 0), 0u);
    EXPECT_EQ(Lines(Form->DistinctWordsLisRichEdit1), std::vector<std::string>{ref.Words[0].first});
    EXPECT_EQ(Form->DistinctWordsListView1->Items().Count(), 1);
}

TEST_F(AssignmentTest, WhileRunningTheLockedActionsDoNothing) {
    const ruktest::OneDeliveryAWakeUp oneByOne;
    SetSource(ManyTags(2000));
    int dialogs = 0;
    ruktest::DialogHook hook([&](TOpenDialog&) {
        ++dialogs;
        return false;
    });
    PressRun();
    ASSERT_TRUE(ruktest::PumpUntil([&] { return LogLines() > 20; }));
    EXPECT_FALSE(Form->FileSelSourceFiles1->Execute());
    EXPECT_FALSE(Form->AssignmentRun1->Execute());
    // Their keys are not the window's while the actions are disabled.
    MSG ctrlB{Form->LogRichEdit1->Handle(), WM_KEYDOWN, 'B', 0, 0, {0, 0}};
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    EXPECT_FALSE(FormsPreTranslateMessage(ctrlB));
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    SendMessageA(Form->SelSourceFilesButton1->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(dialogs, 0);
    Form->AssignmentCancel->Execute();
    ASSERT_TRUE(WaitForIdle());
}

TEST_F(AssignmentTest, PauseHoldsTheWorkerUntilResumeAndTheRunThenEnds) {
    const ruktest::OneDeliveryAWakeUp oneByOne;
    const std::string source = ManyTags(3000);
    SetSource(source);
    PressRun();
    ASSERT_TRUE(ruktest::PumpUntil([&] { return LogLines() > 10; }));
    ASSERT_TRUE(Form->AssignmentSuspend->Execute());
    EXPECT_EQ(States(), kPaused);
    // Run is gone from the menu and the tool bar; Resume is on the tool bar.
    auto* runButton = FindComponentAs<TToolButton>(Form, "AssignmentRunButton");
    auto* resumeButton = FindComponentAs<TToolButton>(Form, "AssignmentResumelButton");
    EXPECT_TRUE(Form->ToolBar1->ButtonState(runButton) & TBSTATE_HIDDEN);
    EXPECT_FALSE(Form->ToolBar1->ButtonState(resumeButton) & TBSTATE_HIDDEN);
    EXPECT_TRUE(Form->ToolBar1->ButtonState(resumeButton) & TBSTATE_ENABLED);
    HMENU assignment = FindComponentAs<TMenuItem>(Form, "MMAssignment")->SubMenuHandle();
    EXPECT_EQ(GetMenuState(assignment, FindComponentAs<TMenuItem>(Form, "MMAssignmentRun")->Command(), MF_BYCOMMAND),
              static_cast<UINT>(-1));

    // A delivery already on its way may still arrive; then nothing more.
    ruktest::PumpUntil([] { return false; }, 150);
    const int held = LogLines();
    ruktest::PumpUntil([] { return false; }, 400);
    EXPECT_EQ(LogLines(), held);
    // Held at a checkpoint of its own, not suspended by the system (its count is 0).
    HANDLE thread = Access::WordListThread(*Form)->Handle();
    const DWORD suspendCount = SuspendThread(thread);
    ResumeThread(thread);
    EXPECT_EQ(suspendCount, 0u);
    EXPECT_TRUE(Access::WordListThread(*Form)->Suspended());
    // Cancel is disabled while paused; its key does nothing.
    EXPECT_FALSE(Form->AssignmentCancel->Execute());

    ASSERT_TRUE(Form->AssignmentResume1->Execute());
    EXPECT_EQ(States(), kRunningAfterResume);
    ASSERT_TRUE(ruktest::PumpUntil([&] { return LogLines() > held + 10; }));
    // Paused and resumed a second time, then to the end.
    ASSERT_TRUE(Form->AssignmentSuspend->Execute());
    EXPECT_EQ(States(), kPaused);
    ASSERT_TRUE(Form->AssignmentResume1->Execute());
    EXPECT_EQ(States(), kRunningAfterResume);
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(States(), kIdle);
    EXPECT_FALSE(Form->ToolBar1->ButtonState(runButton) & TBSTATE_HIDDEN);
    EXPECT_TRUE(Form->ToolBar1->ButtonState(resumeButton) & TBSTATE_HIDDEN);
    // Nothing was lost or repeated by the pauses.
    EXPECT_EQ(Lines(Form->LogRichEdit1), RunDirectly(source, "").Log);
}

TEST_F(AssignmentTest, CancelStopsTheRunWithItsPartialResults) {
    const ruktest::OneDeliveryAWakeUp oneByOne;
    SetSource(ManyTags(3000));
    PressRun();
    ASSERT_TRUE(ruktest::PumpUntil([&] { return LogLines() > 60; }));
    ASSERT_TRUE(Form->AssignmentCancel->Execute());
    // Nothing changes until the worker has ended.
    EXPECT_EQ(States(), kRunning);
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(States(), kIdle);
    ExpectRunLocked(false);
    const std::vector<std::string> log = Lines(Form->LogRichEdit1);
    // The tag stage stops after its next tag and still reports its end; no later step runs.
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log.back(), "HTML tags removed.");
    EXPECT_EQ(log[log.size() - 2].rfind("Found tag is : ", 0), 0u);
    EXPECT_EQ(std::find(log.begin(), log.end(), "HTML special character notations replaced."), log.end());
    // The text as the tag stage left it, tags still in it; no word list was made.
    const std::string stripped = Form->StrippedContentsRichEdit1->Text();
    EXPECT_NE(stripped.find("<b>word"), std::string::npos);
    EXPECT_EQ(stripped.find("<title>"), std::string::npos);
    EXPECT_EQ(Form->DistinctWordsLisRichEdit1->Text(), "");
    EXPECT_EQ(Form->DistinctWordsListView1->Items().Count(), 0);
    EXPECT_TRUE(Form->LogRichEdit1->Modified());
    EXPECT_TRUE(Shown.Messages.empty());
}

TEST_F(AssignmentTest, RunningTwiceAppendsEverythingTwice) {
    const std::string source = "<title>Twice</title><p>one two two</p>";
    SetSource(source);
    PressRun();
    ASSERT_TRUE(WaitForIdle());
    const std::string stripped = Form->StrippedContentsRichEdit1->Text();
    const std::vector<std::string> words = Lines(Form->DistinctWordsLisRichEdit1);
    const std::vector<std::string> log = Lines(Form->LogRichEdit1);
    const int rows = Form->DistinctWordsListView1->Items().Count();
    ASSERT_GT(rows, 0);
    const DWORD first = Access::WordListThread(*Form)->ThreadID();
    PressRun();
    ASSERT_TRUE(WaitForIdle());
    EXPECT_NE(Access::WordListThread(*Form)->ThreadID(), first);
    // Each run's text is one added line: a line break comes between them unless the first
    // one ends with one.
    const bool endsWithBreak = stripped.size() >= 2 && stripped.compare(stripped.size() - 2, 2, "\r\n") == 0;
    EXPECT_EQ(Form->StrippedContentsRichEdit1->Text(), stripped + (endsWithBreak ? "" : "\r\n") + stripped);
    std::vector<std::string> twice = words;
    twice.insert(twice.end(), words.begin(), words.end());
    EXPECT_EQ(Lines(Form->DistinctWordsLisRichEdit1), twice);
    std::vector<std::string> twiceLog = log;
    twiceLog.insert(twiceLog.end(), log.begin(), log.end());
    EXPECT_EQ(Lines(Form->LogRichEdit1), twiceLog);
    EXPECT_EQ(Form->DistinctWordsListView1->Items().Count(), 2 * rows);
}

TEST_F(AssignmentTest, DocumentWithoutTitleKeepsThePreviousTitle) {
    SetSource("<title>Home</title>text");
    PressRun();
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(Form->DocTitle(), "Home");
    SetSource("<p>no title here</p>");
    PressRun();
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(Form->DocTitle(), "Home");
}

TEST_F(AssignmentTest, RunOnAnEmptySourcePaneEndsIdle) {
    PressRun();
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(States(), kIdle);
    EXPECT_EQ(Lines(Form->LogRichEdit1), RunDirectly("", "").Log);
    EXPECT_EQ(Lines(Form->LogRichEdit1).size(), 16u);
    EXPECT_EQ(Form->StrippedContentsRichEdit1->Text(), "");
    EXPECT_EQ(Form->DistinctWordsLisRichEdit1->Text(), "");
    EXPECT_EQ(Form->DistinctWordsListView1->Items().Count(), 0);
    EXPECT_TRUE(Shown.Messages.empty());
}

TEST_F(AssignmentTest, ClosingWhilePausedEndsTheWorker) {
    const ruktest::OneDeliveryAWakeUp oneByOne;
    SetSource(ManyTags(2000));
    PressRun();
    ASSERT_TRUE(ruktest::PumpUntil([&] { return LogLines() > 10; }));
    ASSERT_TRUE(Form->AssignmentSuspend->Execute());
    HANDLE thread = nullptr;
    DuplicateHandle(GetCurrentProcess(), Access::WordListThread(*Form)->Handle(), GetCurrentProcess(), &thread,
                    SYNCHRONIZE, FALSE, 0);
    const DWORD start = GetTickCount();
    Form->Free();
    Form = nullptr;
    EXPECT_LT(GetTickCount() - start, 10000u);
    EXPECT_EQ(WaitForSingleObject(thread, 0), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(thread);
    EXPECT_FALSE(CheckSynchronize());
}
