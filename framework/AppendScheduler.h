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
    // a line longer than a slice is a slice of its own.
    size_t NextSliceEnd() const;
    const char* Data() const { return FText.data() + FDone; }
    size_t Done() const { return FDone; }
    // The slice up to end went in and took ms; the slice size follows the control's speed.
    void Took(size_t end, double ms, DWORD now);
    // The last character of what waits ('\r' for any line break); '\0' when nothing waits.
    char LastChar() const;
    // Time to the next tick while something waits.
    UINT TickMs() const { return Waiting() > FSliceSize ? kDrainMs : kGatherMs; }
    size_t SliceSize() const { return FSliceSize; }
    // Address space the next slice needs, reserve included.
    unsigned long long AddressNeeded() const;

private:
    std::string FText;          // appended, not yet in the control: from FDone
    size_t FDone = 0;
    std::vector<size_t> FCuts;  // positions in FText where an append ended in a CR
    size_t FSliceSize = 4096;   // characters a slice, adapted to the control's speed
    DWORD FLastSlice = 0;       // tick count of the last slice
    DWORD FBacklogSince = 0;    // tick count of the first append still waiting
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
    void Set(const std::string& s);
    void Append(const std::string& s);
    void Forget();
    // The text as the control gives it back, when that can be told.
    static bool Convert(const std::string& s, std::string& out, size_t& breaks);

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
