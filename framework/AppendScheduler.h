// The text a rich edit is still to take, in what pieces and when it takes them, and the whole
// text of the pane as its readers see it. No window here: TRichEdit does the Win32 part.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace ruk {

// The platform's rich edit takes its time over large texts (under Wine a few microseconds a
// character, and a line is laid out again whenever text is added to it), so appends are
// gathered here and handed to the control in slices of about kSliceTargetMs each.
class TAppendScheduler {
public:
    // Ticks come every kGatherMs while text trickles in (so that much goes in at once), every
    // kDrainMs while a backlog is worked off.
    static constexpr UINT kGatherMs = 50;
    static constexpr UINT kDrainMs = 10;
    // A tick appends for about this long, so that the window answers other messages well
    // within a tenth of a second.
    static constexpr DWORD kTickBudgetMs = 50;
    static constexpr double kSliceTargetMs = 20;
    static constexpr size_t kMinSlice = 1024, kMaxSlice = 1 << 20;
    // A small append to a control that has had none for kGatherMs goes in at once.
    static constexpr size_t kImmediateChars = 4096;
    // A backlog whose timer has not had its turn for this long (a stream of deliveries keeps
    // the timer's message from coming) gets one slice from the next append; only one, so
    // that whoever delivers hardly waits for the control.
    static constexpr DWORD kStarvedMs = 150;
    // While appends keep coming (the last within kGatherMs), whoever makes them waits for
    // every slice the control takes in between: then a tick makes one slice and the next
    // comes kStreamingShare times that slice's time later at the soonest, so that the
    // control takes at most about a tenth of the time. The rest goes in once they pause.
    static constexpr unsigned kStreamingShare = 9;
    // The control allocates without checking; a slice goes in only while the address space
    // for it (at what Wine's rich edit takes a character) and this reserve can be had.
    static constexpr unsigned long long kAddressReserve = 192ull << 20;
    static constexpr unsigned long long kBytesPerChar = 300;

    // What the control should do with an append.
    enum class TAction { Now, OneSlice, Wait };

    bool Pending() const { return FDone < FText.size(); }
    size_t Waiting() const { return FText.size() - FDone; }
    // Adds s after what waits. A text that ends in a CR goes in on its own, so that a line
    // break that the next text begins with stays a break of its own (CR | CR LF together
    // would be the soft break, CR | LF one break).
    TAction Add(const std::string& s, DWORD now);
    // The whole text is to go in (a load): what waited is dropped.
    void Load(std::string text);
    void Drop();
    // The end (in the waiting text) of the next slice: after a line break, never inside one;
    // a line longer than a slice is a slice of its own unless long lines are cut.
    size_t NextSliceEnd() const;
    // Whether a line longer than a slice is cut into slices too (the control is given it in
    // display lines, TDisplayBreaks) rather than going in whole.
    void SetCutLongLines(bool cut) { FCutLongLines = cut; }
    const char* Data() const { return FText.data() + FDone; }
    size_t Done() const { return FDone; }
    // The slice up to end went in and took ms; the slice size follows the control's speed.
    void Took(size_t end, double ms, DWORD now);
    // The last character of what waits ('\r' for any line break); '\0' when nothing waits.
    char LastChar() const;
    // Whether appends are still coming in.
    bool Streaming(DWORD now) const { return Pending() && now - FLastAdd < kGatherMs; }
    // Time to the next tick while something waits.
    UINT TickMs(DWORD now) const;
    size_t SliceSize() const { return FSliceSize; }
    // Address space the next slice needs, reserve included.
    unsigned long long AddressNeeded() const;

private:
    // The least time from a slice to the next while appends keep coming.
    DWORD StreamingPause() const;

    std::string FText;          // appended, not yet in the control: from FDone
    size_t FDone = 0;
    std::vector<size_t> FCuts;  // positions in FText where an append ended in a CR
    size_t FSliceSize = 4096;   // characters a slice, adapted to the control's speed
    DWORD FLastSlice = 0;       // tick count of the last slice
    DWORD FBacklogSince = 0;    // tick count of the first append still waiting
    DWORD FLastAdd = 0;         // tick count of the last append
    double FLastSliceMs = 0;    // what the last slice took
    bool FCutLongLines = false;
};

// A line too long for the control (under Wine it lays a line out in a time that grows with
// the square of its length, and wrapped still at several microseconds a character, all at once
// whenever text is added to the line) is shown in display lines: the control is given a line
// break of ours every kLineChars characters or so, after a blank or a tag's end where there is
// one. The text keeps no such break; this remembers where they stand so that positions can be
// told in the text's terms. Positions count a line break as one character, as the control does.
class TDisplayBreaks {
public:
    // A line longer than this is shown in display lines; a shorter one goes in as it is (under
    // Wine a line of 4 K characters costs the control some 40 ms to take, show and put the
    // caret in; one of 14 K, 120 ms).
    static constexpr size_t kLongLineChars = 4096;
    static constexpr size_t kLineChars = 1024;
    // A pane may show its text with such a line whole again, for an edit, up to this length
    // of its longest line; beyond it the control would take seconds.
    static constexpr size_t kEditableLineChars = 16384;

    bool Any() const { return !FAt.empty(); }
    size_t Count() const { return FAt.size(); }
    // Text positions before which the control holds a break of ours, in order.
    const std::vector<size_t>& At() const { return FAt; }
    // The longest line shown in display lines, as far as it is known.
    size_t Longest() const { return FLongest; }
    // A new, empty text.
    void Reset();
    // The next size characters of the text as the control is to take them (ANSI, line breaks
    // as given), with breaks of ours as CR LF. ahead more characters follow text in memory
    // (still to come): a line is known to be long by all that is at hand of it.
    std::string Shape(const char* text, size_t size, size_t ahead);
    // As Shape, where only the breaks are wanted.
    void Measure(const char* text, size_t size, size_t ahead);
    // A text position in the control, and back (a position on a break of ours is the text
    // position after it).
    size_t ToControl(size_t position) const;
    size_t ToText(size_t position) const;

private:
    void Walk(const char* text, size_t size, size_t ahead, std::string* out);

    std::vector<size_t> FAt;
    size_t FUnits = 0;        // text positions shaped so far
    size_t FLine = 0;         // characters of the text's current line shaped so far
    size_t FShown = 0;        // characters since the control's last line break
    size_t FLongest = 0;
    size_t FPieceLeft = 0;    // characters still to come of a display line whose end is decided
    bool FBreakDue = false;   // a display line has ended: the next character begins a new one
    bool FAfterCr = false;    // the last character shaped was a CR (CR LF is one line break)
};

// The whole text of a pane as the control gives it back (every line break as CR LF), kept in
// memory for as long as it can be told from what was put in: readers then have it at once,
// whatever the control has taken so far. It is forgotten (readers go to the control) when
// the text changes in a way not put through here, or holds what the control may read
// otherwise (the soft break CR CR LF, a NUL, a form or line feed character, rich text, a code
// page of more than one byte a character).
class TPaneText {
public:
    bool Known() const { return FKnown; }
    const std::string& Text() const { return FText; }
    // Characters as the control counts them: a line break is one.
    size_t Units() const { return FText.size() - FBreaks; }
    // Its length with a line break as two characters (CR LF) or as one.
    size_t Length(bool crLf) const { return crLf ? FText.size() : Units(); }
    void Set(const std::string& s);
    void Append(const std::string& s);
    // Appends s only where the text stays known; otherwise the text stays as it was, and the
    // answer tells why: s holds what only the control can tell, or the address space is short.
    enum class TAppended { Taken, Unknowable, NoRoom };
    TAppended AppendKnown(const std::string& s);
    // The text between two positions (a line break one character), line breaks as CR LF.
    std::string Range(size_t from, size_t to) const;
    void Forget();
    // The text as the control gives it back, when that can be told.
    static bool Convert(const std::string& s, std::string& out, size_t& breaks);
    // Whether so many bytes of address space can be had (AddressSpaceAvailable, or the answer
    // of a test's check: null asks the real question again).
    static bool HasRoom(unsigned long long bytes);
    using TRoomCheck = bool (*)(unsigned long long bytes);
    static void SetRoomCheck(TRoomCheck check);

private:
    // A text that would leave too little address space for the control is not kept: its
    // readers then go to the control, which has told the user what it could not take.
    bool Affordable(size_t more);

    std::string FText;
    size_t FBreaks = 0;  // line breaks (each CR LF) in FText
    bool FKnown = true;
    size_t FCheckAt = 0;  // the address space is asked about again from this size on
};

}  // namespace ruk
