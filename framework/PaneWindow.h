// A pane's text too large for the rich edit to take in good time is shown through a window of
// its display lines: the control holds only the lines around the view, and the pane answers
// every reader and position in the text's terms. Here is what has no window of its own: where
// each display line begins, and which lines a window holds. TRichEdit does the Win32 part.
#pragma once

#include "AppendScheduler.h"

#include <cstddef>
#include <string>
#include <vector>

namespace ruk {

// Where each display line of a pane's text begins: after each line break of the text, and at
// each break of ours in a line too long for the control (TDisplayBreaks). The text is the one
// TPaneText keeps, every line break CR LF. Positions count a line break as one character, as
// the control does ("units"); bytes are offsets into that text.
class TPaneLines {
public:
    TPaneLines() { Reset(); }
    void Reset();
    // Takes in what the text holds past what was taken before (the text only grows).
    void Extend(const std::string& text);
    // Display lines, the empty one after a last line break included (the control has it too).
    size_t Count() const { return FUnit.size(); }
    size_t Units() const { return FUnits; }
    size_t Bytes() const { return FBytes; }
    // Where a line begins; Count() gives the end of the text.
    size_t UnitOf(size_t line) const { return line < FUnit.size() ? FUnit[line] : FUnits; }
    size_t ByteOf(size_t line) const { return line < FByte.size() ? FByte[line] : FBytes; }
    // The line that holds a position (the end of the text: the last line).
    size_t LineOf(size_t unit) const;
    // The byte offset of a position (at most the end).
    size_t ByteAt(size_t unit) const;
    // The length of a line without its line break.
    size_t LengthOf(size_t line) const;
    // The text between two positions, line breaks as CR LF.
    std::string Range(const std::string& text, size_t from, size_t to) const;
    // Lines [first, last) as the control is to take them: the text's own line breaks as they
    // are, a break of ours as CR LF.
    std::string Shown(const std::string& text, size_t first, size_t last) const;
    // A text position in a window that begins at line first, and back. A position on a break
    // of ours is the text position after it.
    size_t ToWindow(size_t first, size_t unit) const;
    size_t FromWindow(size_t first, size_t position) const;
    // The longest line shown in display lines (0: none).
    size_t Longest() const { return FBreaks.Longest(); }
    bool AnyBreaks() const { return FBreaks.Any(); }

private:
    // Whether line ends at a break of ours (else at a line break of the text, or at the end).
    bool EndsInBreakOfOurs(size_t line) const;

    TDisplayBreaks FBreaks;
    std::vector<size_t> FUnit, FByte;  // where each line begins
    size_t FUnits = 0, FBytes = 0;     // taken so far
};

// Which display lines a window holds, chosen around the view and moved when the view comes
// near one of its ends.
struct TPaneWindowRange {
    size_t First = 0, Last = 0;  // lines [First, Last)

    // A window around a view whose top line is top and that shows visible lines: some pages
    // before and after it, fewer where its lines are long (the control takes about a
    // microsecond a character, and a window goes in at once).
    static TPaneWindowRange Around(const TPaneLines& lines, size_t top, size_t visible);
    // Whether a view at top, of visible lines, is near enough an end of the window (one that
    // is not the text's) to want a window around it.
    bool WantsMove(const TPaneLines& lines, size_t top, size_t visible) const;

    static constexpr size_t kPagesAround = 2;
    // Characters a window should hold at most, its view and one page on either side apart.
    static constexpr size_t kChars = 16 * 1024;
};

// A pane shows a window of its text from this size on (under Wine its control takes about a
// microsecond a character, and some more a line).
constexpr size_t kWindowedPaneChars = 160 * 1024;
constexpr size_t kWindowedPaneLines = 4000;

}  // namespace ruk
