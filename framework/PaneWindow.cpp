#include "PaneWindow.h"

#include <algorithm>

namespace ruk {

// ---------------------------------------------------------------- TPaneLines

void TPaneLines::Reset() {
    FBreaks.Reset();
    std::vector<size_t>(1, 0).swap(FUnit);
    std::vector<size_t>(1, 0).swap(FByte);
    FUnits = FBytes = 0;
}

void TPaneLines::Extend(const std::string& text) {
    const size_t size = text.size();
    if (size <= FBytes) return;
    const size_t known = FBreaks.Count();
    // The breaks of ours are decided by the display lines' own rules.
    FBreaks.Measure(text.data() + FBytes, size - FBytes, 0);
    const std::vector<size_t>& at = FBreaks.At();
    size_t k = known;
    size_t unit = FUnits;
    size_t i = FBytes;
    const char* p = text.data();
    while (i < size) {
        size_t j = i;
        while (j < size && p[j] != '\r') ++j;
        const size_t lineEnd = unit + (j - i);
        // A break of ours stands before a character of the line, never before its line break.
        for (; k < at.size() && at[k] < lineEnd; ++k) {
            FUnit.push_back(at[k]);
            FByte.push_back(i + (at[k] - unit));
        }
        unit = lineEnd;
        i = j;
        if (i < size) {
            // CR LF, one position.
            ++unit;
            i = std::min(i + 2, size);
            FUnit.push_back(unit);
            FByte.push_back(i);
        }
    }
    FUnits = unit;
    FBytes = size;
}

size_t TPaneLines::LineOf(size_t unit) const {
    return static_cast<size_t>(std::upper_bound(FUnit.begin(), FUnit.end(), unit) - FUnit.begin()) - 1;
}

size_t TPaneLines::ByteAt(size_t unit) const {
    unit = std::min(unit, FUnits);
    const size_t line = LineOf(unit);
    return FByte[line] + (unit - FUnit[line]);
}

size_t TPaneLines::LengthOf(size_t line) const {
    if (line >= Count()) return 0;
    const size_t units = UnitOf(line + 1) - FUnit[line];
    const bool textBreak = line + 1 < Count() && !EndsInBreakOfOurs(line);
    return textBreak ? units - 1 : units;
}

bool TPaneLines::EndsInBreakOfOurs(size_t line) const {
    // A line break of the text is two bytes and one position; a break of ours is neither.
    return line + 1 < Count() && ByteOf(line + 1) - FByte[line] == UnitOf(line + 1) - FUnit[line];
}

std::string TPaneLines::Range(const std::string& text, size_t from, size_t to) const {
    to = std::min(to, FUnits);
    if (from >= to) return "";
    const size_t begin = ByteAt(from);
    return text.substr(begin, ByteAt(to) - begin);
}

std::string TPaneLines::Shown(const std::string& text, size_t first, size_t last) const {
    last = std::min(last, Count());
    std::string s;
    if (first >= last) return s;
    s.reserve(ByteOf(last) - ByteOf(first) + 64);
    size_t from = ByteOf(first);
    for (size_t line = first; line < last; ++line) {
        if (!EndsInBreakOfOurs(line)) continue;
        s.append(text, from, ByteOf(line + 1) - from);
        s += "\r\n";
        from = ByteOf(line + 1);
    }
    s.append(text, from, ByteOf(last) - from);
    return s;
}

size_t TPaneLines::ToWindow(size_t first, size_t unit) const {
    return FBreaks.ToControl(std::min(unit, FUnits)) - FBreaks.ToControl(UnitOf(first));
}

size_t TPaneLines::FromWindow(size_t first, size_t position) const {
    return std::min(FBreaks.ToText(position + FBreaks.ToControl(UnitOf(first))), FUnits);
}

// ---------------------------------------------------------------- TPaneWindowRange

TPaneWindowRange TPaneWindowRange::Around(const TPaneLines& lines, size_t top, size_t visible) {
    const size_t count = lines.Count();
    const size_t v = std::max<size_t>(visible, 1);
    top = std::min(top, count - 1);
    TPaneWindowRange r;
    r.First = top;
    r.Last = std::min(count, top + v);
    // A quarter of a page on either side whatever its lines hold, more while they are short.
    const size_t least = std::max<size_t>(2, v / 4);
    for (size_t n = 0; n < least; ++n) {
        if (r.First > 0) --r.First;
        if (r.Last < count) ++r.Last;
    }
    const size_t viewChars = lines.UnitOf(std::min(count, top + v)) - lines.UnitOf(top);
    const size_t budget = viewChars + kChars;
    for (size_t n = least; n < kPagesAround * v; ++n) {
        bool grew = false;
        if (r.Last < count && lines.UnitOf(r.Last + 1) - lines.UnitOf(r.First) <= budget) {
            ++r.Last;
            grew = true;
        }
        if (r.First > 0 && lines.UnitOf(r.Last) - lines.UnitOf(r.First - 1) <= budget) {
            --r.First;
            grew = true;
        }
        if (!grew) break;
    }
    return r;
}

bool TPaneWindowRange::WantsMove(const TPaneLines& lines, size_t top, size_t visible) const {
    const size_t v = std::max<size_t>(visible, 1);
    const size_t held = Last - First;
    const size_t edge = std::max<size_t>(1, std::min(v, held > v ? (held - v) / 4 : 0));
    if (First > 0 && top < First + edge) return true;
    if (Last < lines.Count() && top + v + edge > Last) return true;
    return top < First || top >= Last;
}

}  // namespace ruk
