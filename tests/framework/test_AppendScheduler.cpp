// The append scheduler and the pane text, without a window: in what pieces a waiting text goes
// into a rich edit, when, and what its readers are told the text is.
#include "AppendScheduler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ruk;

namespace {

// Every slice the scheduler cuts from what waits, each made at once.
std::vector<std::string> Slices(TAppendScheduler& s) {
    std::vector<std::string> out;
    DWORD now = 1000;
    while (s.Pending()) {
        const size_t end = s.NextSliceEnd();
        EXPECT_GT(end, s.Done());
        out.emplace_back(s.Data(), end - s.Done());
        s.Took(end, 0, now += 10);
    }
    return out;
}

std::string Joined(const std::vector<std::string>& parts) {
    std::string all;
    for (const std::string& p : parts) all += p;
    return all;
}

}  // namespace

TEST(AppendScheduler, SlicesEndAfterALineAndNeverInsideALineBreak) {
    const std::string line(100, 'x');
    struct Case {
        const char* what;
        std::string text;
    };
    const Case cases[] = {
        {"CR LF lines", [&] { std::string t; for (int i = 0; i < 200; ++i) t += line + "\r\n"; return t; }()},
        {"LF lines", [&] { std::string t; for (int i = 0; i < 200; ++i) t += line + "\n"; return t; }()},
        {"lone CR lines", [&] { std::string t; for (int i = 0; i < 200; ++i) t += line + "\r"; return t; }()},
        {"one long line", std::string(50000, 'y')},
        {"one long line of CRs", std::string(50000, 'y') + std::string(9000, '\r') + "z"},
        {"long lines with CR LF", [] { std::string t; for (int i = 0; i < 5; ++i) t += std::string(9999, 'w') + "\r\n"; return t; }()},
    };
    for (const Case& c : cases) {
        TAppendScheduler s;
        s.Load(c.text);
        const std::vector<std::string> slices = Slices(s);
        EXPECT_EQ(Joined(slices), c.text) << c.what;
        for (size_t i = 0; i + 1 < slices.size(); ++i) {
            const std::string& a = slices[i];
            const char next = slices[i + 1].front();
            // Not CR | LF, nor a CR | CR that could be the start of a soft break.
            EXPECT_FALSE(a.back() == '\r' && (next == '\n' || next == '\r')) << c.what << " slice " << i;
            // Longer than a slice only when it is one line (with its breaks).
            const size_t firstBreak = a.find_first_of("\r\n"), lastText = a.find_last_not_of("\r\n");
            EXPECT_TRUE(a.size() <= s.SliceSize() + 1 || firstBreak == std::string::npos || firstBreak > lastText)
                << c.what << " slice " << i;
        }
    }
}

TEST(AppendScheduler, AppendsThatEndInACrStayApartFromWhatFollows) {
    TAppendScheduler s;
    // Right after the start nothing goes in at once; all waits.
    EXPECT_EQ(s.Add(std::string(3000, 'h'), 10), TAppendScheduler::TAction::Wait);
    EXPECT_EQ(s.Add("a\r", 11), TAppendScheduler::TAction::Wait);
    EXPECT_EQ(s.Add("\nb\r", 12), TAppendScheduler::TAction::Wait);
    EXPECT_EQ(s.Add("\r\nc", 13), TAppendScheduler::TAction::Wait);
    const std::vector<std::string> slices = Slices(s);
    ASSERT_EQ(slices.size(), 3u);
    EXPECT_EQ(slices[0], std::string(3000, 'h') + "a\r");
    EXPECT_EQ(slices[1], "\nb\r");
    EXPECT_EQ(slices[2], "\r\nc");
    EXPECT_EQ(s.LastChar(), '\0');
    s.Add("x\n", 5000);
    EXPECT_EQ(s.LastChar(), '\r');
}

TEST(AppendScheduler, WhenAnAppendGoesIn) {
    TAppendScheduler s;
    using A = TAppendScheduler::TAction;
    // Small and after a quiet time: at once.
    EXPECT_EQ(s.Add("line\r\n", 10000), A::Now);
    s.Took(s.NextSliceEnd(), 1, 10000);
    // Right after another: gathered, as is a large one.
    EXPECT_EQ(s.Add("line\r\n", 10010), A::Wait);
    s.Drop();
    EXPECT_FALSE(s.Pending());
    EXPECT_EQ(s.Add(std::string(TAppendScheduler::kImmediateChars + 1, 'z'), 20000), A::Wait);
    // A backlog whose timer has not come for a while: one slice from the next append.
    EXPECT_EQ(s.Add("more", 20000 + TAppendScheduler::kStarvedMs - 1), A::Wait);
    EXPECT_EQ(s.Add("more", 20000 + TAppendScheduler::kStarvedMs), A::OneSlice);
    // Close ticks while a backlog is larger than a slice.
    EXPECT_EQ(s.TickMs(), TAppendScheduler::kDrainMs);
    s.Drop();
    s.Add("x", 40000);
    EXPECT_EQ(s.TickMs(), TAppendScheduler::kGatherMs);
}

TEST(AppendScheduler, TheSliceSizeFollowsTheControlsSpeed) {
    TAppendScheduler s;
    std::string lines;
    while (lines.size() < (1u << 23)) lines += std::string(63, 'q') + "\n";
    s.Load(lines);
    const size_t first = s.NextSliceEnd() - s.Done();
    // 20 times faster than the target: the next slice is 20 times larger, up to the bound.
    s.Took(s.Done() + first, TAppendScheduler::kSliceTargetMs / 20, 0);
    EXPECT_EQ(s.SliceSize(), first * 20);
    s.Took(s.NextSliceEnd(), 1e6, 0);
    EXPECT_EQ(s.SliceSize(), TAppendScheduler::kMinSlice);
    for (int i = 0; i < 5; ++i) s.Took(s.NextSliceEnd(), 0.6, 0);
    EXPECT_EQ(s.SliceSize(), TAppendScheduler::kMaxSlice);
    // A slice too short to tell leaves the size as it is.
    s.Drop();
    s.Load("tiny");
    s.Took(s.NextSliceEnd(), 100, 0);
    EXPECT_EQ(s.SliceSize(), TAppendScheduler::kMaxSlice);
    EXPECT_GE(s.AddressNeeded(), TAppendScheduler::kAddressReserve);
}

TEST(PaneText, LineBreaksComeBackAsCrLfAndUnclearTextsAreLeftToTheControl) {
    struct Case {
        std::string in;
        bool known;
        std::string out;
        size_t units;
    };
    const Case cases[] = {
        {"", true, "", 0},
        {"a\r\nb", true, "a\r\nb", 3},
        {"a\nb\rc\r\n", true, "a\r\nb\r\nc\r\n", 6},
        {"\r\r\n\n", false, "", 0},
        {"x\r\r\ny", false, "", 0},
        {"a\r\rb", true, "a\r\n\r\nb", 4},
        {"tab\tand \xE9\x80\x81", true, "tab\tand \xE9\x80\x81", 11},
        {std::string("nul\0x", 5), false, "", 0},
        {"feed\f", false, "", 0},
        {"\xEF\xBB\xBFmarked", true, "\xEF\xBB\xBFmarked", 9},
    };
    for (const Case& c : cases) {
        TPaneText t;
        t.Set(c.in);
        EXPECT_EQ(t.Known(), c.known) << c.in;
        EXPECT_EQ(t.Text(), c.out) << c.in;
        EXPECT_EQ(t.Units(), c.units) << c.in;
    }
    // Appends are converted each on its own, as the control takes them.
    TPaneText t;
    t.Set("a\r");
    t.Append("\nb");
    EXPECT_EQ(t.Text(), "a\r\n\r\nb");
    EXPECT_EQ(t.Units(), 4u);
    t.Append("\f");
    EXPECT_FALSE(t.Known());
    t.Append("more");
    EXPECT_FALSE(t.Known());
    EXPECT_EQ(t.Text(), "");
    t.Set("again");
    EXPECT_TRUE(t.Known());
    EXPECT_EQ(t.Text(), "again");
}
