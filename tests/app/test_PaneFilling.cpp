// The text panes of the real window over a run: what they hold whichever page is in view,
// what a reader finds right after the run, and a window that answers while long lines go in.
#include "AppTestSupport.h"
#include "RichEditControlText.h"

#include <algorithm>
#include <array>

using namespace ruk;
using ruktest::ControlText;
using ruktest::WithCrLfBreaks;
using ruktest::MainWindowTest;

namespace {

// The log lines a worker delivers over source, in the window's wording, joined as the pane
// holds them.
std::string EngineLog(const std::string& source, std::string* text = nullptr) {
    std::vector<std::string> lines;
    TRUKGenWordListFromHTMLThread worker(source, "");
    worker.OnProgressNotification = [&](TRUKGenWordListFromHTMLThread*, const std::string& t) { lines.push_back(t); };
    worker.OnTitleFound = [&](TRUKGenWordListFromHTMLThread*, const std::string& t) {
        lines.push_back("The document title of the processed source file is : " + t);
    };
    worker.OnHTMLTagFound = [&](TRUKGenWordListFromHTMLThread*, const std::string& tag, int start, int end) {
        lines.push_back("Opening and closing tag characters found at " + std::to_string(start) + " and " +
                        std::to_string(end));
        lines.push_back("Found tag is : " + tag);
    };
    worker.Resume();
    worker.WaitFor();
    if (text) *text = worker.Text();
    std::string log;
    for (const std::string& l : lines) log += (log.empty() ? "" : "\r\n") + l;
    return log;
}

// Many tags on lines that end in every kind of break.
std::string Document(int tags) {
    static const char* const ends[] = {"\r\n", "\n", "\r", ""};
    std::string doc = "<html><head><title>Panes</title></head><body>\r\n";
    for (int i = 0; i < tags; ++i) doc += "<p>word" + std::to_string(i % 70) + " &amp; more</p>" + ends[i % 4];
    return doc + "</body></html>";
}

// One line of tags, as a minified page.
std::string OneLine(int tags) {
    std::string doc = "<html><head><title>One line</title></head><body>";
    for (int i = 0; i < tags; ++i) doc += "<b>word" + std::to_string(i % 50) + "</b> ";
    return doc + "</body></html>";
}

void LoadSource(TRichEdit* pane, const std::string& text) {
    TMemoryStream m;
    m.WriteBuffer(text.data(), static_cast<int>(text.size()));
    m.SetPosition(0);
    pane->SetPlainText(true);
    pane->Lines().LoadFromStream(m);
}

}  // namespace

class PaneFillingTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Open();
    }
    std::array<TRichEdit*, 4> Panes() const {
        return {Form->HTMLSourceFileRichEdit1, Form->StrippedContentsRichEdit1, Form->DistinctWordsLisRichEdit1,
                Form->LogRichEdit1};
    }
    bool Filling() const {
        const std::array<TRichEdit*, 4> panes = Panes();
        return std::any_of(panes.begin(), panes.end(), [](TRichEdit* p) { return p->AppendPending(); });
    }
    void Run() {
        ASSERT_TRUE(Form->AssignmentRun1->Execute());
        ASSERT_TRUE(ruktest::PumpUntil([&] { return Form->AssignmentRun1->Enabled(); }, 300000));
    }
};

TEST_F(PaneFillingTest, APanesTextIsTheEnginesWhicheverPageIsInView) {
    const std::string source = Document(1500);
    std::string engineText;
    // The run reads the source pane, which gives every line break back as CR LF.
    const std::string log = EngineLog(WithCrLfBreaks(source), &engineText);
    std::vector<std::string> seen;
    for (TTabSheet* page : {Form->LogTabSheet1, Form->SourceFileTabSheet1, Form->StrippedContentsTabSheet1}) {
        for (TRichEdit* pane : Panes()) pane->Clear();
        Form->DistinctWordsListView1->Items().Clear();
        Form->HTMLSourceFileRichEdit1->SetText(source);
        Form->PageControl1->SetActivePage(page);
        Run();
        // At once, whatever the panes have taken so far.
        EXPECT_EQ(Form->LogRichEdit1->Text(), log) << page->Name();
        EXPECT_EQ(Form->StrippedContentsRichEdit1->Text(), WithCrLfBreaks(engineText)) << page->Name();
        const std::string words = Form->DistinctWordsLisRichEdit1->Text();
        EXPECT_FALSE(words.empty());
        ASSERT_TRUE(ruktest::PumpUntil([&] { return !Filling(); }, 300000));
        // And the controls hold the same.
        for (TRichEdit* pane : Panes())
            EXPECT_EQ(ControlText(*pane), pane->Text()) << page->Name() << " " << pane->Name();
        seen.push_back(words);
    }
    EXPECT_EQ(seen[1], seen[0]);
    EXPECT_EQ(seen[2], seen[0]);
}

TEST_F(PaneFillingTest, ASaveOrAFindRightAfterARunSeesTheWholeText) {
    const std::string source = Document(3000);
    std::string engineText;
    // The run reads the source pane, which gives every line break back as CR LF.
    const std::string log = EngineLog(WithCrLfBreaks(source), &engineText);
    Form->HTMLSourceFileRichEdit1->SetText(source);
    Form->PageControl1->SetActivePage(Form->LogTabSheet1);
    Run();
    // No message handled in between: what waits goes in first or is read from memory.
    TRichEdit* pane = Form->LogRichEdit1;
    pane->SetPlainText(true);
    TMemoryStream saved;
    pane->Lines().SaveToStream(saved);
    EXPECT_EQ(std::string(saved.Memory(), static_cast<size_t>(saved.Size())), log);
    char last[] = "Word count completed.";
    FINDTEXTEXA find{{0, -1}, last, {0, 0}};
    constexpr WPARAM kDown = 1;  // FR_DOWN of the common dialogs
    const LRESULT at = SendMessageA(pane->Handle(), EM_FINDTEXTEX, kDown, reinterpret_cast<LPARAM>(&find));
    EXPECT_GT(at, 0);
    EXPECT_EQ(pane->Lines().Strings(pane->Lines().Count() - 1), last);
    Form->StrippedContentsRichEdit1->SelectAll();
    EXPECT_EQ(Form->StrippedContentsRichEdit1->SelText(), WithCrLfBreaks(engineText));
    // The next run reads the whole source.
    EXPECT_EQ(Form->HTMLSourceFileRichEdit1->Text(), WithCrLfBreaks(source));
}

TEST_F(PaneFillingTest, AOneLineDocumentAndACancelledRunsLongLineFillWithTheWindowAnswering) {
    const ruktest::OneDeliveryAWakeUp oneByOne;
    const std::string source = OneLine(10000);
    Form->PageControl1->SetActivePage(Form->SourceFileTabSheet1);
    ruktest::AnswerWatcher watcher(Form->Handle());
    LoadSource(Form->HTMLSourceFileRichEdit1, source);
    ASSERT_TRUE(ruktest::PumpUntil([&] { return !Filling(); }, 600000));
    EXPECT_EQ(Form->HTMLSourceFileRichEdit1->Text(), source);

    // Cancelled in its tag stage, the stripped text is one long line with the tags left in it.
    ASSERT_TRUE(Form->AssignmentRun1->Execute());
    ASSERT_TRUE(ruktest::PumpUntil([&] { return Form->LogRichEdit1->Text().size() > 20000; }));
    ASSERT_TRUE(Form->AssignmentCancel->Execute());
    ASSERT_TRUE(ruktest::PumpUntil([&] { return Form->AssignmentRun1->Enabled(); }));
    Form->PageControl1->SetActivePage(Form->StrippedContentsTabSheet1);
    const std::string stripped = Form->StrippedContentsRichEdit1->Text();
    EXPECT_GT(stripped.size(), source.size() / 2);
    EXPECT_EQ(stripped.find("\r\n"), std::string::npos);
    ASSERT_TRUE(ruktest::PumpUntil([&] { return !Filling(); }, 600000));
    // Generous: the control lays out a line of this length in some seconds under Wine, and
    // the machine may be busy; taken in pieces, the line held the window for minutes.
    watcher.Stop();
    EXPECT_LT(watcher.Longest(), 60.0);
    EXPECT_EQ(ControlText(*Form->StrippedContentsRichEdit1), stripped);
}
