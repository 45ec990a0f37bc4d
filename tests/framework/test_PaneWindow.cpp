// The display lines of a pane's text and the windows of them, without a control.
#include "PaneWindow.h"

#include "TextSamples.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace ruk;

namespace {

using ruktest::LongLine;

// The display lines as the control takes the whole text at once: the text shaped in one piece,
// cut at every line break; and whether each line ends at a break of ours.
struct TShaped {
    std::vector<std::string> Lines{1};
    std::vector<bool> EndsInOurs{false};
};

TShaped ShapedAtOnce(const std::string& text) {
    TDisplayBreaks breaks;
    const std::string shown = breaks.Shape(text.data(), text.size(), 0);
    const std::vector<size_t>& at = breaks.At();
    TShaped r;
    size_t unit = 0;
    for (size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] == '\r') {
            // Ours stands before a character of the text; the text's own takes a position.
            const bool ours = std::binary_search(at.begin(), at.end(), unit);
            r.EndsInOurs.back() = ours;
            if (!ours) ++unit;
            r.Lines.emplace_back();
            r.EndsInOurs.push_back(false);
            ++i;  // LF
        } else {
            r.Lines.back() += shown[i];
            ++unit;
        }
    }
    return r;
}

}  // namespace

// Taken in at once or piece by piece, the lines are those the control holds for the whole
// text, a window of them shows them as the control would, and positions map both ways.
TEST(PaneLines, DisplayLinesAreTheControlsWhereverAWindowBeginsAndHoweverTheTextCame) {
    const std::string longLine = LongLine(30000, 7);
    struct TCase {
        const char* Name;
        std::string Text;
        size_t Piece;  // taken in pieces of this size (0: at once), each ending after a line
    };
    std::string manyLines;
    for (int i = 0; i < 500; ++i) manyLines += "line " + std::to_string(i) + (i % 7 ? "" : " and more") + "\r\n";
    const TCase cases[] = {
        {"empty", "", 0},
        {"short lines and empty ones", "a\r\n\r\nbc\r\n\r\n", 0},
        {"no last line break", "a\r\nbc", 0},
        {"many lines in pieces", manyLines, 1},
        {"a long line between short ones", "head\r\n" + longLine + "\r\ntail\r\n" + std::string(9000, 'n'), 0},
        {"a long line in pieces", manyLines + longLine + "\r\n" + manyLines, 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TPaneLines lines;
        if (c.Piece == 0) {
            lines.Extend(c.Text);
        } else {
            // One line at a time, as a log's lines come.
            for (size_t end = 0; end < c.Text.size();) {
                end = c.Text.find("\r\n", end);
                end = end == std::string::npos ? c.Text.size() : end + 2;
                lines.Extend(c.Text.substr(0, end));
            }
        }
        const TShaped shaped = ShapedAtOnce(c.Text);
        const std::vector<std::string>& expected = shaped.Lines;
        ASSERT_EQ(lines.Count(), expected.size());
        EXPECT_EQ(lines.Bytes(), c.Text.size());
        EXPECT_EQ(lines.AnyBreaks(), std::find(shaped.EndsInOurs.begin(), shaped.EndsInOurs.end(), true) != shaped.EndsInOurs.end());
        size_t unit = 0;
        for (size_t k = 0; k < expected.size(); ++k) {
            ASSERT_EQ(lines.UnitOf(k), unit) << k;
            EXPECT_EQ(lines.LengthOf(k), expected[k].size()) << k;
            EXPECT_EQ(lines.Range(c.Text, unit, unit + expected[k].size()), expected[k]) << k;
            if (!shaped.EndsInOurs[k]) {
                EXPECT_EQ(lines.LineOf(unit + expected[k].size()), k) << k;
            }
            unit += expected[k].size() + (shaped.EndsInOurs[k] ? 0 : 1);
        }
        EXPECT_EQ(lines.Units(), unit - 1);
        // Windows: the control's text and positions in it.
        for (size_t first : {size_t{0}, lines.Count() / 3, lines.Count() - 1}) {
            const size_t last = std::min(lines.Count(), first + 40);
            std::string want;
            for (size_t k = first; k < last; ++k) want += expected[k] + (k + 1 < expected.size() ? "\r\n" : "");
            EXPECT_EQ(lines.Shown(c.Text, first, last), want) << first;
            // Every position of the window, there and back. A position on a break of ours is
            // the text's position after it; the control's position before it is that too.
            size_t control = 0;
            for (size_t k = first; k < last; ++k) {
                const size_t len = expected[k].size();
                for (size_t i = 0; i <= len; ++i) {
                    const size_t at = lines.UnitOf(k) + i;
                    const size_t shown = control + i + (i == len && shaped.EndsInOurs[k] ? 1 : 0);
                    ASSERT_EQ(lines.ToWindow(first, at), shown) << k << " " << i;
                    ASSERT_EQ(lines.FromWindow(first, control + i), at) << k << " " << i;
                }
                control += len + 1;
            }
        }
    }
}

// A window holds its view and some pages around it while its lines are short, fewer where they
// are long, and wants to move only once the view comes near one of its ends.
TEST(PaneWindowRange, AWindowHoldsItsViewAndMovesNearItsEnds) {
    std::string shortLines, longLines;
    for (int i = 0; i < 5000; ++i) shortLines += "a log line of some forty characters, " + std::to_string(i) + "\r\n";
    longLines = LongLine(2000000, 3);  // one line, a thousand characters a display line
    for (const std::string* text : {&shortLines, &longLines}) {
        TPaneLines lines;
        lines.Extend(*text);
        const size_t visible = 40;
        for (size_t top : {size_t{0}, size_t{1000}, lines.Count() - visible, lines.Count() - 1}) {
            SCOPED_TRACE(top);
            const TPaneWindowRange r = TPaneWindowRange::Around(lines, top, visible);
            const size_t shownTop = std::min(top, lines.Count() - 1);
            EXPECT_LE(r.First, shownTop);
            EXPECT_GE(r.Last, std::min(lines.Count(), shownTop + visible));
            // A quarter page at least on either side, where there is text.
            EXPECT_GE(shownTop - r.First, std::min<size_t>(shownTop, visible / 4));
            EXPECT_GE(r.Last - std::min(lines.Count(), shownTop + visible),
                      std::min<size_t>(lines.Count() - std::min(lines.Count(), shownTop + visible), visible / 4));
            const size_t chars = lines.UnitOf(r.Last) - lines.UnitOf(r.First);
            if (text == &shortLines) {
                // Two pages each side.
                EXPECT_EQ(r.Last - r.First, std::min(lines.Count(), shownTop + 3 * visible) - (shownTop >= 2 * visible ? shownTop - 2 * visible : 0));
            } else {
                EXPECT_LE(chars, 45 * 1024 + TPaneWindowRange::kChars + 2 * 1100 * (visible / 4));
            }
            if (shownTop + visible <= lines.Count()) {
                EXPECT_FALSE(r.WantsMove(lines, shownTop, visible));
            }
        }
        const TPaneWindowRange r = TPaneWindowRange::Around(lines, 2000, visible);
        if (text == &shortLines) {
            EXPECT_FALSE(r.WantsMove(lines, 2000 + visible, visible));
            EXPECT_TRUE(r.WantsMove(lines, r.Last - visible, visible));
            EXPECT_TRUE(r.WantsMove(lines, r.First, visible));
        }
        EXPECT_TRUE(r.WantsMove(lines, r.Last + 100, visible));
        EXPECT_TRUE(r.WantsMove(lines, 0, visible));
    }
}
