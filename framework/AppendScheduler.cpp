#include "AppendScheduler.h"

#include "SysUtils.h"

#include <algorithm>
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
    if (idle) {
        if (s.size() <= kImmediateChars && now - FLastSlice >= kGatherMs) return TAction::Now;
        FBacklogSince = now;
        return TAction::Wait;
    }
    if (now - FLastSlice >= kStarvedMs && now - FBacklogSince >= kStarvedMs) return TAction::OneSlice;
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
    if (ms > 0.5 && chars >= kMinSlice / 2) {
        const double fit = static_cast<double>(chars) * kSliceTargetMs / ms;
        FSliceSize = static_cast<size_t>(std::clamp(fit, static_cast<double>(kMinSlice), static_cast<double>(kMaxSlice)));
    }
}

char TAppendScheduler::LastChar() const {
    if (!Pending()) return '\0';
    const char last = FText.back();
    return last == '\n' ? '\r' : last;
}

unsigned long long TAppendScheduler::AddressNeeded() const {
    return kAddressReserve + static_cast<unsigned long long>(NextSliceEnd() - FDone) * kBytesPerChar;
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
    for (size_t i = 0; i < n; ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < n && s[i + 1] == '\r' && i + 2 < n && s[i + 2] == '\n') return false;
            if (c == '\r' && i + 1 < n && s[i + 1] == '\n') ++i;
            out += "\r\n";
            ++breaks;
        } else if (c < 0x20 && c != '\t') {
            return false;
        } else {
            out += static_cast<char>(c);
        }
    }
    return true;
}

bool TPaneText::Affordable(size_t more) {
    const size_t size = FText.size() + more;
    if (size < FCheckAt) return true;
    // Asked once a megabyte: the question costs some reservations of the address space.
    FCheckAt = size + (1u << 20);
    // Less reserve than the control keeps: a text it could no longer take stays readable.
    constexpr unsigned long long kReserve = 64ull << 20;
    return AddressSpaceAvailable(kReserve + 2ull * size);
}

void TPaneText::Set(const std::string& s) {
    FText.clear();
    FCheckAt = 0;
    FKnown = Affordable(s.size()) && Convert(s, FText, FBreaks);
    if (!FKnown) Forget();
}

void TPaneText::Append(const std::string& s) {
    if (!FKnown) return;
    std::string out;
    size_t breaks = 0;
    if (!Affordable(s.size()) || !Convert(s, out, breaks)) {
        Forget();
        return;
    }
    FText += out;
    FBreaks += breaks;
}

void TPaneText::Forget() {
    FKnown = false;
    std::string().swap(FText);
    FBreaks = 0;
}

}  // namespace ruk
