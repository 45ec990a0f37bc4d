#include "AppendScheduler.h"

#include "SysUtils.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace ruk {

// ---------------------------------------------------------------- TAppendScheduler

TAppendScheduler::TAction TAppendScheduler::Add(const std::string& s, DWORD now) {
    const bool idle = !Pending();
    if (idle) {
        FText.clear();
        FDone = 0;
        FCuts.clear();
    } else if (FDone > 65536 && FDone > FText.size() / 2) {
        FText.erase(0, FDone);
        for (size_t& cut : FCuts) cut -= FDone;
        FDone = 0;
    }
    if (!idle && FText.back() == '\r') FCuts.push_back(FText.size());
    FText += s;
    FLastAdd = now;
    if (idle) {
        if (s.size() <= kImmediateChars && now - FLastSlice >= kGatherMs) return TAction::Now;
        FBacklogSince = now;
        return TAction::Wait;
    }
    if (now - FLastSlice >= std::max<DWORD>(kStarvedMs, StreamingPause()) && now - FBacklogSince >= kStarvedMs)
        return TAction::OneSlice;
    return TAction::Wait;
}

void TAppendScheduler::Load(std::string text) {
    FText = std::move(text);
    FDone = 0;
    FCuts.clear();
}

void TAppendScheduler::Drop() {
    FText.clear();
    FText.shrink_to_fit();
    FDone = 0;
    FCuts.clear();
}

size_t TAppendScheduler::NextSliceEnd() const {
    const size_t start = FDone;
    // Two appends made one after the other are not joined into one line break.
    const size_t stop = FCuts.empty() ? FText.size() : FCuts.front();
    if (stop - start <= FSliceSize) return stop;
    // A slice ends after a line where it can: appending to a line makes the control lay
    // out all of it again, and a slice that ends inside a line break would change it.
    const size_t limit = start + FSliceSize;
    for (size_t i = limit; i > start; --i)
        if (FText[i - 1] == '\n') return i;
    // No LF: after a CR that is followed by neither CR nor LF.
    for (size_t i = limit; i > start; --i)
        if (FText[i - 1] == '\r' && FText[i] != '\r' && FText[i] != '\n') return i;
    // A line shown in display lines is taken by slices, as any text.
    if (FCutLongLines) {
        size_t cut = limit;
        while (cut > start && FText[cut - 1] == '\r') --cut;
        if (cut > start) return cut;
    }
    // A line longer than a slice goes in whole. The control lays a line out again whenever
    // text is added to it, in a time that grows faster than the line's length: by pieces, a
    // line of 100 KB took it some twenty times longer than in one piece.
    for (size_t i = limit; i < stop; ++i) {
        if (FText[i] == '\n') return i + 1;
        if (FText[i] == '\r' && i + 1 < stop && FText[i + 1] != '\r' && FText[i + 1] != '\n') return i + 1;
    }
    return stop;
}

void TAppendScheduler::Took(size_t end, double ms, DWORD now) {
    const size_t chars = end - FDone;
    FDone = end;
    while (!FCuts.empty() && FCuts.front() <= FDone) FCuts.erase(FCuts.begin());
    if (!Pending()) {
        FText.clear();
        FDone = 0;
        FCuts.clear();
    }
    FLastSlice = now;
    FLastSliceMs = ms;
    if (ms > 0.5 && chars >= kMinSlice / 2) {
        const double fit = static_cast<double>(chars) * kSliceTargetMs / ms;
        FSliceSize = static_cast<size_t>(std::clamp(fit, static_cast<double>(kMinSlice), static_cast<double>(kMaxSlice)));
    }
}

DWORD TAppendScheduler::StreamingPause() const {
    return static_cast<DWORD>(FLastSliceMs * kStreamingShare);
}

UINT TAppendScheduler::TickMs(DWORD now) const {
    if (Streaming(now)) return std::max<UINT>(kGatherMs, StreamingPause());
    return Waiting() > FSliceSize ? kDrainMs : kGatherMs;
}

char TAppendScheduler::LastChar() const {
    if (!Pending()) return '\0';
    const char last = FText.back();
    return last == '\n' ? '\r' : last;
}

unsigned long long TAppendScheduler::AddressNeeded() const {
    return kAddressReserve + static_cast<unsigned long long>(NextSliceEnd() - FDone) * kBytesPerChar;
}

// ---------------------------------------------------------------- TDisplayBreaks

void TDisplayBreaks::Reset() {
    std::vector<size_t>().swap(FAt);
    FUnits = FLine = FShown = FPieceLeft = FLongest = 0;
    FBreakDue = FAfterCr = false;
}

std::string TDisplayBreaks::Shape(const char* text, size_t size, size_t ahead) {
    std::string out;
    out.reserve(size + size / (kLineChars / 4) + 2);
    Walk(text, size, ahead, &out);
    return out;
}

void TDisplayBreaks::Measure(const char* text, size_t size, size_t ahead) { Walk(text, size, ahead, nullptr); }

void TDisplayBreaks::Walk(const char* text, size_t size, size_t ahead, std::string* out) {
    const size_t all = size + ahead;
    size_t i = 0;
    while (i < size) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' || !FAfterCr) ++FUnits;
            FAfterCr = c == '\r';
            FLine = FShown = FPieceLeft = 0;
            FBreakDue = false;
            if (out) *out += c;
            ++i;
            continue;
        }
        FAfterCr = false;
        size_t lineEnd = i;
        while (lineEnd < all && text[lineEnd] != '\r' && text[lineEnd] != '\n') ++lineEnd;
        const size_t stop = std::min(lineEnd, size);
        if (FLine + (lineEnd - i) <= kLongLineChars) {
            // Short enough to be laid out as it is.
            if (out) out->append(text + i, stop - i);
            FUnits += stop - i;
            FLine += stop - i;
            FShown += stop - i;
            i = stop;
            continue;
        }
        FLongest = std::max(FLongest, FLine + (lineEnd - i));
        while (i < stop) {
            if (FBreakDue || FShown >= kLineChars) {
                FAt.push_back(FUnits);
                if (out) *out += "\r\n";
                FShown = 0;
                FBreakDue = false;
            }
            const size_t room = kLineChars - FShown;
            size_t end = FPieceLeft ? i + FPieceLeft : i + room;
            if (end >= lineEnd) {
                end = lineEnd;
            } else if (!FPieceLeft) {
                // After the last blank or tag end in the second half, where there is one.
                for (size_t j = end; j > i + room / 2; --j) {
                    const char b = text[j - 1];
                    if (b == ' ' || b == '\t' || b == '>') {
                        end = j;
                        break;
                    }
                }
            }
            const size_t take = std::min(end, stop) - i;
            if (out) out->append(text + i, take);
            FUnits += take;
            FLine += take;
            FShown += take;
            i += take;
            // Where the display line ends is decided once, with all that is at hand of it.
            FPieceLeft = end < lineEnd ? end - i : 0;
            if (i == end && end < lineEnd) FBreakDue = true;
        }
    }
}

size_t TDisplayBreaks::ToControl(size_t position) const {
    return position + static_cast<size_t>(std::upper_bound(FAt.begin(), FAt.end(), position) - FAt.begin());
}

size_t TDisplayBreaks::ToText(size_t position) const {
    // Break k stands at control position FAt[k] + k; those before position are taken off.
    size_t lo = 0, hi = FAt.size();
    while (lo < hi) {
        const size_t mid = lo + (hi - lo) / 2;
        if (FAt[mid] + mid < position) lo = mid + 1;
        else hi = mid;
    }
    return position - lo;
}

// ---------------------------------------------------------------- TPaneText

namespace {
// Text goes into the control through the ANSI code page and comes back the same way: byte
// for byte only where a character is one byte.
bool SingleByteCodePage() {
    static const bool single = [] {
        CPINFO info{};
        return GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 1;
    }();
    return single;
}
}  // namespace

bool TPaneText::Convert(const std::string& s, std::string& out, size_t& breaks) {
    out.clear();
    breaks = 0;
    if (!SingleByteCodePage()) return false;
    out.reserve(s.size() + s.size() / 32);
    const size_t n = s.size();
    const unsigned char* p = reinterpret_cast<const unsigned char*>(s.data());
    for (size_t i = 0; i < n;) {
        // A run of characters as they are, taken at once; eight at a time while none is a
        // control character (a byte below 0x20 sets its high bit in x - 0x20.. where it was clear).
        size_t j = i;
        for (;;) {
            while (j + 8 <= n) {
                uint64_t x;
                std::memcpy(&x, p + j, 8);
                if ((x - 0x2020202020202020ull) & ~x & 0x8080808080808080ull) break;
                j += 8;
            }
            while (j < n && p[j] >= 0x20) ++j;
            if (j < n && p[j] == '\t') {
                ++j;
                continue;
            }
            break;
        }
        out.append(s, i, j - i);
        if (j == n) break;
        const unsigned char c = p[j];
        if (c != '\r' && c != '\n') return false;
        if (c == '\r' && j + 1 < n && p[j + 1] == '\r' && j + 2 < n && p[j + 2] == '\n') return false;
        i = c == '\r' && j + 1 < n && p[j + 1] == '\n' ? j + 2 : j + 1;
        out += "\r\n";
        ++breaks;
    }
    return true;
}

namespace {
TPaneText::TRoomCheck gRoomCheck = nullptr;
}  // namespace

void TPaneText::SetRoomCheck(TRoomCheck check) { gRoomCheck = check; }

bool TPaneText::HasRoom(unsigned long long bytes) { return gRoomCheck ? gRoomCheck(bytes) : AddressSpaceAvailable(bytes); }

bool TPaneText::Affordable(size_t more) {
    const size_t size = FText.size() + more;
    if (size < FCheckAt) return true;
    // Asked once a megabyte: the question costs some reservations of the address space.
    FCheckAt = size + (1u << 20);
    // Less reserve than the control keeps: a text it could no longer take stays readable.
    constexpr unsigned long long kReserve = 64ull << 20;
    return HasRoom(kReserve + 2ull * size);
}

void TPaneText::Set(const std::string& s) {
    FText.clear();
    FCheckAt = 0;
    FKnown = Affordable(s.size()) && Convert(s, FText, FBreaks);
    if (!FKnown) Forget();
}

void TPaneText::Append(const std::string& s) {
    if (FKnown && AppendKnown(s) != TAppended::Taken) Forget();
}

TPaneText::TAppended TPaneText::AppendKnown(const std::string& s) {
    if (!FKnown) return TAppended::Unknowable;
    if (!Affordable(s.size())) return TAppended::NoRoom;
    std::string out;
    size_t breaks = 0;
    if (!Convert(s, out, breaks)) return TAppended::Unknowable;
    FText += out;
    FBreaks += breaks;
    return TAppended::Taken;
}

std::string TPaneText::Range(size_t from, size_t to) const {
    to = std::min(to, Units());
    if (from >= to) return "";
    if (FBreaks == 0) return FText.substr(from, to - from);
    // Each line break is CR LF here and one position: count them off on the way.
    size_t unit = 0, i = 0;
    const size_t n = FText.size();
    while (i < n && unit < from) {
        i += FText[i] == '\r' ? 2 : 1;
        ++unit;
    }
    const size_t begin = i;
    while (i < n && unit < to) {
        i += FText[i] == '\r' ? 2 : 1;
        ++unit;
    }
    return FText.substr(begin, i - begin);
}

void TPaneText::Forget() {
    FKnown = false;
    std::string().swap(FText);
    FBreaks = 0;
}

}  // namespace ruk
