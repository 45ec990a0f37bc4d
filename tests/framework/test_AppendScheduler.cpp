// The append scheduler and the pane text, without a window: in what pieces a waiting text goes
// into a rich edit, when, and what its readers are told the text is.
#include "AppendScheduler.h"

#include "TextSamples.h"

#include <gtest/gtest.h>

#include <algorithm>
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
    const DWORD quiet = 20000 + TAppendScheduler::kStarvedMs + TAppendScheduler::kGatherMs;
    EXPECT_EQ(s.TickMs(quiet), TAppendScheduler::kDrainMs);
    s.Drop();
    s.Add("x", 40000);
    EXPECT_EQ(s.TickMs(40000 + TAppendScheduler::kGatherMs), TAppendScheduler::kGatherMs);
}

TEST(AppendScheduler, WhileAppendsKeepComingTheControlTakesASmallShareOfTheTime) {
    TAppendScheduler s;
    using A = TAppendScheduler::TAction;
    const std::string line = std::string(60, 'l') + "\r\n";
    DWORD now = 50000;
    s.Add(line, now);
    for (int i = 0; i < 200; ++i) s.Add(line, now += 1);
    EXPECT_TRUE(s.Streaming(now));
    // A slice that took the control 40 ms: the next waits nine times as long.
    s.Took(s.NextSliceEnd(), 40, now);
    const DWORD pause = 40 * TAppendScheduler::kStreamingShare;
    EXPECT_EQ(s.TickMs(now), pause);
    // Nor does an append that finds the timer late take a slice before then.
    EXPECT_EQ(s.Add(line, now + TAppendScheduler::kStarvedMs), A::Wait);
    EXPECT_EQ(s.Add(line, now + pause), A::OneSlice);
    // Once the appends pause, the backlog goes in as fast as the control can take it.
    const DWORD quiet = now + pause + TAppendScheduler::kGatherMs;
    EXPECT_FALSE(s.Streaming(quiet));
    EXPECT_LE(s.TickMs(quiet), TAppendScheduler::kGatherMs);
    // Quick slices leave the ticks at their usual pace.
    s.Took(s.NextSliceEnd(), 1, now + pause);
    s.Add(line, now + pause + 1);
    EXPECT_EQ(s.TickMs(now + pause + 2), TAppendScheduler::kGatherMs);
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

namespace {

// A text as the control holds it: every line break one CR.
std::string Stored(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        out += text[i] == '\n' ? '\r' : text[i];
    }
    return out;
}

using ruktest::LongLine;

}  // namespace

// A line too long for the control is given to it in display lines; shorter lines go in as they
// are; and whatever the pieces the text comes in, the breaks of ours come out again and the
// positions map both ways.
TEST(DisplayBreaks, OnlyLongLinesAreShownInDisplayLinesAndPositionsMapBothWays) {
    const size_t longest = TDisplayBreaks::kLongLineChars;
    const std::string shortLines = "head\r\n" + std::string(longest, 's') + "\nmiddle\r";
    struct TCase {
        const char* Name;
        std::string Text;
        size_t Piece;  // the text is shaped in pieces of this size, each knowing the rest
        size_t LongestLine;
        bool Broken;
    };
    const TCase cases[] = {
        {"short lines only", shortLines, 0, longest, false},
        {"a long line of words", "head\r\n" + LongLine(40000, 1) + "\r\ntail", 0, TDisplayBreaks::kLineChars, true},
        {"in pieces", shortLines + LongLine(70000, 2) + "\n" + LongLine(20000, 3), 777, longest, true},
        {"without a blank", "x\r" + std::string(50000, 'n'), 4096, TDisplayBreaks::kLineChars, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TDisplayBreaks breaks;
        breaks.Reset();
        std::string shown;
        const size_t piece = c.Piece ? c.Piece : c.Text.size();
        for (size_t at = 0; at < c.Text.size(); at += piece) {
            const size_t n = std::min(piece, c.Text.size() - at);
            shown += breaks.Shape(c.Text.data() + at, n, c.Text.size() - at - n);
        }
        const std::string stored = Stored(c.Text), shownStored = Stored(shown);
        ASSERT_EQ(shownStored.size(), stored.size() + breaks.Count());
        size_t longestShown = 0, line = 0;
        for (const char ch : shownStored) line = ch == '\r' ? 0 : line + 1, longestShown = std::max(longestShown, line);
        EXPECT_LE(longestShown, c.LongestLine);
        EXPECT_EQ(breaks.Any(), c.Broken);
        // Every character of the text stands at its control position; each break of ours
        // stands where the list says, and mapping back gives the text's position.
        for (size_t p = 0; p < stored.size(); ++p) {
            const size_t q = breaks.ToControl(p);
            ASSERT_EQ(shownStored[q], stored[p]) << p;
            ASSERT_EQ(breaks.ToText(q), p);
        }
        for (size_t k = 0; k < breaks.Count(); ++k) {
            const size_t q = breaks.At()[k] + k;
            EXPECT_EQ(shownStored[q], '\r');
            EXPECT_EQ(breaks.ToText(q), breaks.At()[k]);
            EXPECT_EQ(breaks.ToText(q + 1), breaks.At()[k]);
            // A display line ends after a blank or a tag when its second half has one.
            const char before = stored[breaks.At()[k] - 1];
            if (c.Text.find(' ') != std::string::npos) {
                EXPECT_TRUE(before == ' ' || before == '>') << k;
            }
        }
    }
}

// A long line whose first part comes before the rest is known (appends trickling in) shows that
// part as one line, and the rest in display lines.
TEST(DisplayBreaks, ALineFoundLongLaterGoesOnInDisplayLines) {
    TDisplayBreaks breaks;
    const std::string first(TDisplayBreaks::kLongLineChars - 100, 'a'), rest(30000, 'b');
    EXPECT_EQ(breaks.Shape(first.data(), first.size(), 0), first);
    EXPECT_FALSE(breaks.Any());
    const std::string shown = breaks.Shape(rest.data(), rest.size(), 0);
    ASSERT_TRUE(breaks.Any());
    EXPECT_EQ(breaks.At().front(), first.size());
    EXPECT_EQ(shown.substr(0, 2), "\r\n");
    EXPECT_EQ(shown.size(), rest.size() + 2 * breaks.Count());
    EXPECT_EQ(breaks.Longest(), first.size() + rest.size());
}

// Long lines are cut into slices where they go in as display lines, and go in whole otherwise.
TEST(AppendScheduler, ALongLineIsCutIntoSlicesOnlyWhereItGoesInAsDisplayLines) {
    const std::string text = "a\r\n" + std::string(100000, 'x') + "\r\nz";
    for (const bool cut : {false, true}) {
        SCOPED_TRACE(cut);
        TAppendScheduler s;
        s.SetCutLongLines(cut);
        s.Load(text);
        const std::vector<std::string> slices = Slices(s);
        EXPECT_EQ(Joined(slices), text);
        size_t longest = 0;
        for (const std::string& slice : slices) longest = std::max(longest, slice.size());
        if (cut) EXPECT_LE(longest, s.SliceSize());
        else EXPECT_GT(longest, 100000u);
    }
}
