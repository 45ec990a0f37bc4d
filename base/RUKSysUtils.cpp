#include "RUKSysUtils.h"

#include "Classes.h"
#include "RUKMBCS.h"
#include "SysUtils.h"

#include <windows.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <cstdint>
#include <string_view>

namespace ruk {

namespace {

inline unsigned char U(char c) { return static_cast<unsigned char>(c); }
inline int Len(std::string_view s) { return static_cast<int>(s.size()); }

inline char UpCaseAZ(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

std::string UpperCaseAZ(std::string s) {
    for (char& c : s) c = UpCaseAZ(c);
    return s;
}

// Characters from..to (1-based, inclusive), clipped to the text.
std::string_view Span(std::string_view s, int from, int to) {
    if (from < 1) from = 1;
    if (to > Len(s)) to = Len(s);
    if (to < from) return {};
    return s.substr(static_cast<size_t>(from - 1), static_cast<size_t>(to - from + 1));
}

// The delimiter scan and the token rule work on views, so that WordCount can walk a
// text without copying what is left of it again and again.

int PosNextDelimiterV(char delimiter, int start, std::string_view s) {
    const int n = Len(s);
    if (delimiter == '\0' || start < 1 || start >= n) return -1;
    for (int i = start - 1; i < n - 1; ++i)
        if (s[static_cast<size_t>(i)] == delimiter) return i + 1;
    return -1;
}

int DelimiterCountV(char delimiter, std::string_view s) {
    const int n = Len(s);
    if (delimiter == '\0' || n < 2) return 0;
    int count = 0;
    for (int i = 0; i < n - 1; ++i)
        if (s[static_cast<size_t>(i)] == delimiter) ++count;
    return count;
}

// Walks the tokens of s; visit(token) returns true to stop. Returns whether it stopped.
template <typename Visit>
bool ForEachToken(char delimiter, std::string_view s, Visit visit) {
    const int n = Len(s);
    // Finding no first delimiter is DelimiterCount = 0, without a scan of the whole
    // text: the first token of a long text costs only the way to its end.
    int d = PosNextDelimiterV(delimiter, 1, s);
    if (d == -1) return n > 1 && visit(s);
    int last = 0;  // position of the last delimiter passed
    for (; d != -1; d = PosNextDelimiterV(delimiter, last + 1, s)) {
        if (d > last + 1 && visit(Span(s, last + 1, d - 1))) return true;
        last = d;
    }
    // The remainder counts only from two characters on.
    return n > last + 1 && visit(Span(s, last + 1, n));
}

std::string_view DelimitedStringV(char delimiter, std::string_view s, int index) {
    if (index < 0) return {};
    int counter = -1;
    std::string_view result;
    ForEachToken(delimiter, s, [&](std::string_view token) {
        if (++counter != index) return false;
        result = token;
        return true;
    });
    return result;
}

std::string_view FirstWordV(std::string_view s, std::string_view delimiters) {
    if (s.empty()) return {};
    for (char d : delimiters) {
        const std::string_view token = DelimitedStringV(d, s, 0);
        if (!token.empty()) return token;
    }
    return {};
}

}  // namespace

// ---------------------------------------------------------------- double-byte searches

const TRUKLeadByteTable& AnsiLeadBytes() {
    static const TRUKLeadByteTable table = [] {
        TRUKLeadByteTable t;
        for (int b = 0; b < 256; ++b) {
            t.Lead[static_cast<size_t>(b)] = IsDBCSLeadByte(static_cast<BYTE>(b)) != FALSE;
            t.Any = t.Any || t.Lead[static_cast<size_t>(b)];
        }
        return t;
    }();
    return table;
}

namespace {

// Visits the first byte of every character among the first n bytes; visit(i)
// (0-based) returns true to stop. A lead byte in the last place stands alone.
template <typename Visit>
void ForEachCharStart(const std::string& s, int n, const TRUKLeadByteTable& lead, Visit visit) {
    if (!lead.Any) {
        for (int i = 0; i < n; ++i)
            if (visit(i)) return;
        return;
    }
    for (int i = 0; i < n;) {
        if (visit(i)) return;
        i += (lead.Lead[U(s[static_cast<size_t>(i)])] && i + 1 < n) ? 2 : 1;
    }
}

}  // namespace

int MBPosChar(char c, const std::string& s, int from, const TRUKLeadByteTable& lead) {
    if (from < 1) from = 1;
    int found = 0;
    ForEachCharStart(s, Len(s), lead, [&](int i) {
        if (i + 1 < from || s[static_cast<size_t>(i)] != c) return false;
        found = i + 1;
        return true;
    });
    return found;
}

int MBLastPosChar(char c, const std::string& s, const TRUKLeadByteTable& lead) {
    if (!lead.Any) {
        const size_t at = s.rfind(c);
        return at == std::string::npos ? 0 : static_cast<int>(at) + 1;
    }
    int found = 0;
    ForEachCharStart(s, Len(s), lead, [&](int i) {
        if (s[static_cast<size_t>(i)] == c) found = i + 1;
        return false;
    });
    return found;
}

int MBPosStr(const std::string& sub, const std::string& s, int from, const TRUKLeadByteTable& lead,
             int limit) {
    const int n = (limit < 0 || limit > Len(s)) ? Len(s) : limit;
    const int m = Len(sub);
    if (m == 0 || m > n) return 0;
    if (from < 1) from = 1;
    if (!lead.Any) {
        // The word count runs this once per distinct word over the whole text.
        const char* p = s.data();
        const char* q = sub.data();
        for (int i = from - 1; i <= n - m; ++i)
            if (p[i] == q[0] && std::equal(q + 1, q + m, p + i + 1)) return i + 1;
        return 0;
    }
    int found = 0;
    ForEachCharStart(s, n - m + 1, lead, [&](int i) {
        if (i + 1 < from || s.compare(static_cast<size_t>(i), static_cast<size_t>(m), sub) != 0)
            return false;
        found = i + 1;
        return true;
    });
    return found;
}

int MBLastCharStart(const std::string& s, int limit, const TRUKLeadByteTable& lead) {
    const int n = (limit < 0 || limit > Len(s)) ? Len(s) : limit;
    if (!lead.Any) return n;
    int last = 0;
    ForEachCharStart(s, n, lead, [&](int i) {
        last = i + 1;
        return false;
    });
    return last;
}

// ---------------------------------------------------------------- characters

bool IsWhiteSpaceChar(char c) { return c == 9 || c == 10 || c == 13 || c == 32; }

bool IsWhiteSpaceChar(int index, const std::string& s) {
    return index >= 1 && index <= Len(s) && IsWhiteSpaceChar(s[static_cast<size_t>(index - 1)]);
}

bool IsWhiteSpaceString(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!IsWhiteSpaceChar(c)) return false;
    return true;
}

bool IsCtrlCodeChar(char c) {
    const unsigned char b = U(c);
    return b >= 1 && b <= 31 && !IsWhiteSpaceChar(c);
}

bool IsCtrlCodeChar(int index, const std::string& s) {
    return index >= 1 && index <= Len(s) && IsCtrlCodeChar(s[static_cast<size_t>(index - 1)]);
}

bool IsCharCode(char c, char code) { return c == code; }

bool IsCharCode(char code, int index, const std::string& s) {
    return index >= 1 && index <= Len(s) && s[static_cast<size_t>(index - 1)] == code;
}

int CharCount(char c, const std::string& s) {
    return static_cast<int>(std::count(s.begin(), s.end(), c));
}

bool IsCharInCharSet(char c, const TRUKCharSet& set) { return set.Contains(c); }

bool IsCharInCharSet(char c, const std::string& chars) { return chars.find(c) != std::string::npos; }

int PosFirstChar(char c, const std::string& s) { return PosNextChar(c, 1, s); }

int PosNextChar(char c, int start, const std::string& s) {
    if (start < 1 || start > Len(s)) return -1;
    const size_t at = s.find(c, static_cast<size_t>(start - 1));
    return at == std::string::npos ? -1 : static_cast<int>(at) + 1;
}

// ---------------------------------------------------------------- delimiter scan

int DelimiterCount(char delimiter, const std::string& s) { return DelimiterCountV(delimiter, s); }

int PosFirstDelimiter(char delimiter, const std::string& s) { return PosNextDelimiterV(delimiter, 1, s); }

int PosNextDelimiter(char delimiter, int start, const std::string& s) {
    return PosNextDelimiterV(delimiter, start, s);
}

// ---------------------------------------------------------------- tokens and words

std::string DelimitedString(char delimiter, const std::string& s, int index) {
    return std::string(DelimitedStringV(delimiter, s, index));
}

std::string FirstWord(const std::string& s, const std::string& delimiters) {
    return std::string(FirstWordV(s, delimiters));
}

std::string FirstWord(const std::string& s) { return DelimitedString(' ', s, 0); }

int FirstWordLength(const std::string& s, const std::string& delimiters) {
    return Len(FirstWordV(s, delimiters));
}

std::string LastWord(const std::string& s, const std::string& delimiters) {
    return ReverseLongString(FirstWord(ReverseLongString(s), delimiters));
}

int WordCount(const std::string& s, const std::string& word, int start, int end,
              const std::string& delimiters) {
    const std::int64_t n = Len(s);
    const std::int64_t m = Len(word);
    if (n == 0 || m == 0 || end <= start || n <= start ||
        static_cast<std::int64_t>(end) - start < m)
        return -1;
    // From here on the whole text is searched; the text ends at its first zero byte,
    // whose place is taken as the character after an occurrence that ends it.
    const TRUKLeadByteTable& lead = AnsiLeadBytes();
    const size_t zero = s.find('\0');
    const int limit = zero == std::string::npos ? Len(s) : static_cast<int>(zero);
    const int last = MBLastCharStart(s, limit, lead);
    const TRUKCharSet delims(delimiters);
    int count = 0;
    for (int from = 1; from < last;) {
        const int p = MBPosStr(word, s, from, lead, limit);
        if (p == 0) break;
        const int after = p + static_cast<int>(m);  // 1-based
        const bool openLeft = p == 1 || delims.Contains(s[static_cast<size_t>(p - 2)]);
        const char next = after <= limit ? s[static_cast<size_t>(after - 1)] : '\0';
        if (openLeft && delims.Contains(next)) ++count;
        from = after + 1;  // the character after the occurrence is passed over
    }
    return count;
}

int WordCount(const std::string& s, int start, int end, const std::string& delimiters) {
    const int n = Len(s);
    if (n == 0 || start >= end || n <= start) return -1;
    const TRUKCharSet delims(delimiters);
    const std::int64_t take = static_cast<std::int64_t>(end) - start;
    const int from = start < 1 ? 1 : start;
    const int to = static_cast<int>(std::min<std::int64_t>(n, from - 1 + take));
    // What is left of the range: a view while the words come off its front, a copy
    // once a word has to be cut out of its middle.
    std::string owned;
    std::string_view t = Span(s, from, to);
    if (!t.empty() && delims.Contains(t.front())) t.remove_prefix(1);
    std::string_view w = FirstWordV(t, delimiters);
    int count = 0;
    while (!w.empty() && !t.empty()) {
        ++count;
        const size_t at = t.find(w);
        if (at == 0) {
            t.remove_prefix(w.size());
        } else {
            std::string rest(t.substr(0, at));
            rest.append(t.substr(at + w.size()));
            owned.swap(rest);
            t = owned;
        }
        if (t.empty()) break;
        if (delims.Contains(t.front())) t.remove_prefix(1);
        w = FirstWordV(t, delimiters);
    }
    return count;
}

// ---------------------------------------------------------------- white space and quotes

bool HasLeadingWhiteSpaceChars(const std::string& s) {
    return std::any_of(s.begin(), s.end(), [](char c) { return IsWhiteSpaceChar(c); });
}

bool HasLeadingWhiteSpaceChars(const std::string& s, int& count) {
    if (s.empty()) {
        count = -1;
        return false;
    }
    count = 0;
    while (count < Len(s) && IsWhiteSpaceChar(s[static_cast<size_t>(count)])) ++count;
    return count > 0;
}

bool HasTrailingWhiteSpaceChars(const std::string& s) {
    return std::any_of(s.rbegin(), s.rend(), [](char c) { return IsWhiteSpaceChar(c); });
}

bool HasTrailingWhiteSpaceChars(const std::string& s, int& pos) {
    if (s.empty()) {
        pos = -1;
        return false;
    }
    int i = Len(s);
    while (i >= 1 && IsWhiteSpaceChar(s[static_cast<size_t>(i - 1)])) --i;
    pos = i == Len(s) ? 0 : i + 1;
    return pos > 0;
}

bool HasLeadingQuote(const std::string& s, char quote) {
    if (s.empty()) return false;
    const int p = MBPosChar(quote, s, 1, AnsiLeadBytes());
    if (p == 0 || p >= Len(s)) return false;  // a quote in the last place leads nothing
    return p == 1 || IsWhiteSpaceString(s.substr(0, static_cast<size_t>(p - 1)));
}

bool HasLeadingQuote(const std::string& s) { return HasLeadingQuote(s, '"'); }

bool HasTrailingQuote(const std::string& s, char quote) {
    if (s.empty()) return false;
    const int p = MBLastPosChar(quote, s, AnsiLeadBytes());
    if (p == 0) return false;
    return p == Len(s) || IsWhiteSpaceString(s.substr(static_cast<size_t>(p)));
}

bool HasTrailingQuote(const std::string& s) { return HasTrailingQuote(s, '"'); }

bool IsQuotedString(const std::string& s, char quote) {
    return HasLeadingQuote(s, quote) && HasTrailingQuote(s, quote);
}

bool IsQuotedString(const std::string& s) { return IsQuotedString(s, '"'); }

std::string QuotedString(char quote, const std::string& s, int index) {
    if (index < 0 || s.empty()) return {};
    const int n = Len(s);
    int opening = PosFirstChar(quote, s);
    if (opening == -1) return {};
    int closing = opening < n ? PosNextChar(quote, opening + 1, s) : -1;
    for (int i = 0; i < index; ++i) {
        if (closing == -1) return {};
        opening = PosNextChar(quote, closing + 1, s);
        if (opening == -1) return {};
        closing = opening < n ? PosNextChar(quote, opening + 1, s) : -1;
    }
    if (closing == -1) return {};
    return s.substr(static_cast<size_t>(opening - 1), static_cast<size_t>(closing - opening + 1));
}

// ---------------------------------------------------------------- digits and variables

bool IsDecString(const std::string& s) {
    if (s.empty()) return false;
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return (c >= '0' && c <= '9') || c == '+' || c == '-'; });
}

bool IsHexString(const std::string& s) {
    return std::any_of(s.begin(), s.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || c == 'X' || c == '$';
    });
}

bool ContainsEnvironmentStr(const std::string& s) {
    const TRUKLeadByteTable& lead = AnsiLeadBytes();
    const int first = MBPosChar('%', s, 1, lead);
    return first != 0 && first < MBLastPosChar('%', s, lead);
}

bool IsEnvironmentStrPath(const std::string& s) {
    if (!ContainsEnvironmentStr(s)) return false;
    const TRUKLeadByteTable& lead = AnsiLeadBytes();
    return MBPosChar('%', s, 1, lead) != 1 || MBLastPosChar('%', s, lead) <= Len(s) - 2;
}

// ---------------------------------------------------------------- similarity

int MatchingCharCount(const std::string& a, const std::string& b, bool caseSensitive) {
    // Deleting each matched character from b amounts to counting down b's characters.
    int left[256] = {};
    for (char c : b) ++left[U(caseSensitive ? c : UpCaseAZ(c))];
    int count = 0;
    for (char c : a) {
        int& k = left[U(caseSensitive ? c : UpCaseAZ(c))];
        if (k > 0) {
            --k;
            ++count;
        }
    }
    return count;
}

bool IsSimilar(const std::string& a, const std::string& b, int maxDiff, bool caseSensitive) {
    if (a == b) return true;
    const std::string x = caseSensitive ? a : UpperCaseAZ(a);
    const std::string y = caseSensitive ? b : UpperCaseAZ(b);
    if (x.size() == y.size()) {
        if (x.size() == 1) return true;
        // The last position is not compared.
        int diff = 0;
        for (size_t i = 0; i + 1 < x.size() && diff <= maxDiff; ++i)
            if (x[i] != y[i]) ++diff;
        return diff <= maxDiff;
    }
    return Len(y) - MatchingCharCount(x, y, true) <= maxDiff;
}

// ---------------------------------------------------------------- reversal and padding

str_255 ReverseShortPasString(const str_255& s) {
    const std::string t = s;
    return std::string(t.rbegin(), t.rend());
}

std::string ReverseLongString(const std::string& s) { return std::string(s.rbegin(), s.rend()); }

std::string LeftPadStrToLen(const std::string& s, int length, char fill) {
    const std::int64_t missing = static_cast<std::int64_t>(length) - Len(s);
    if (missing < 1) return {};
    return std::string(static_cast<size_t>(missing), fill) + s;
}

std::string RightPadStrToLen(const std::string& s, int length, char fill) {
    const std::int64_t missing = static_cast<std::int64_t>(length) - Len(s);
    if (missing < 1) return {};
    return s + std::string(static_cast<size_t>(missing), fill);
}

// ---------------------------------------------------------------- splitting: counts

int DelimitedStringCount(char delimiter, const std::string& s) {
    int count = 0;
    ForEachToken(delimiter, s, [&](std::string_view) {
        ++count;
        return false;
    });
    return count;
}

int QuotedStrCount(char quote, const std::string& s) {
    const int n = CharCount(quote, s);
    if (n % 2 != 0) return -1;
    return n / 2;
}

// ---------------------------------------------------------------- splitting: delimiters

std::string GetStrUpToFirstDelimiter(char delimiter, const std::string& s) {
    const int p = PosFirstDelimiter(delimiter, s);
    return p > 0 ? s.substr(0, static_cast<size_t>(p - 1)) : std::string();
}

std::string GetStrFromFirstDelimiter(char delimiter, const std::string& s) {
    const int p = PosFirstDelimiter(delimiter, s);
    return p > 0 ? s.substr(static_cast<size_t>(p)) : std::string();
}

std::string GetStrUpToSecondDelimiter(char delimiter, const std::string& s) {
    std::string t = GetStrFromFirstDelimiter(delimiter, s);
    size_t skip = 0;
    while (skip < t.size() && U(t[skip]) <= 32) ++skip;
    t.erase(0, skip);
    return GetStrUpToFirstDelimiter(delimiter, t);
}

std::string GetStrFromSecondDelimiter(char delimiter, const std::string& s) {
    const int first = PosFirstDelimiter(delimiter, s);
    if (first < 0) return {};
    const int second = PosNextDelimiter(delimiter, first + 1, s);
    return second > 0 ? s.substr(static_cast<size_t>(second)) : std::string();
}

std::string DeleteLastDelimiter(char delimiter, const std::string& s) {
    const int p = MBLastPosChar(delimiter, s, AnsiLeadBytes());
    if (p == 0) return s;
    std::string r = s;
    r.erase(static_cast<size_t>(p - 1), 1);
    return r;
}

std::string DelLastDelimiterStr(const std::string& delimiters, const std::string& s) {
    std::string r = s;
    for (auto it = delimiters.rbegin(); it != delimiters.rend() && !r.empty(); ++it)
        r = DeleteLastDelimiter(*it, r);
    return r;
}

// ---------------------------------------------------------------- splitting: periods

str_255 RetShortStringToLastPeriod(const str_255& s) { return RetLongStringToLastPeriod(s); }

str_255 RetShortStringFromLastPeriod(const str_255& s) {
    const std::string t = s;
    const size_t p = t.rfind('.');
    return p == std::string::npos ? std::string() : t.substr(p + 1);
}

std::string RetLongStringToLastPeriod(const std::string& s) {
    const size_t p = s.rfind('.');
    return p == std::string::npos ? s : s.substr(0, p);
}

std::string RetLongStringFromLastPeriod(const std::string& s) {
    const size_t p = s.rfind('.');
    return p == std::string::npos ? std::string() : s.substr(p);
}

// ---------------------------------------------------------------- splitting: backslashes

std::string RetLongStringFromFirstDoubleBackslash(const std::string& s) {
    const size_t p = s.find("\\\\");
    return p == std::string::npos ? std::string() : s.substr(p + 2);
}

std::string RetLongStringToFirstBackslash(const std::string& s) {
    const size_t p = s.find('\\');
    return p == std::string::npos ? std::string() : s.substr(0, p);
}

std::string RetLongStringFromFirstBackslash(const std::string& s) {
    const size_t p = s.find('\\');
    return p == std::string::npos ? std::string() : s.substr(p + 1);
}

std::string RetLongStringFromBackslash(const std::string& s, std::uint32_t index) {
    if (index > 0x7FFFFFFFu) RangeError();
    return DelimitedString('\\', s, static_cast<int>(index));
}

std::string DeletePathString(const std::string& s) {
    const size_t p = s.find_last_of("\\:");
    if (p == std::string::npos) return s;
    // The path is a prefix, so its first occurrence is the one at the start.
    return s.substr(p + 1);
}

std::string DeleteSuffixString(const std::string& s) {
    const size_t p = s.find_last_of(".\\:");
    if (p == std::string::npos || s[p] != '.') return s;
    // The first occurrence of the extension goes, even when it stands earlier.
    const std::string ext = s.substr(p);
    std::string r = s;
    r.erase(r.find(ext), ext.size());
    return r;
}

std::string PrependBackslash(const std::string& s) {
    if (s.empty()) return {};
    const int p = MBPosChar('\\', s, 1, AnsiLeadBytes());
    if (p == 0) return '\\' + s;
    return p == 1 ? s : std::string();
}

std::string PrependDoubleBackslash(const std::string& s) {
    if (s.empty()) return {};
    const int p = MBPosStr("\\\\", s, 1, AnsiLeadBytes());
    if (p == 0) return "\\\\" + s;
    return p == 1 ? s : std::string();
}

int BackslashCount(const std::string& s) { return DelimiterCount('\\', s); }

int PosFirstBackslash(const std::string& s) { return PosNextBackslash(s, 1); }

int PosNextBackslash(const std::string& s, int start) {
    const int p = PosNextDelimiter('\\', start, s);
    return p < 0 ? 0 : p;
}

// ---------------------------------------------------------------- streams, masks, integers

int GetByteOrderMark(TStream* stream, std::uint32_t& mark) {
    if (!stream) return -1;
    Int64 position = 0;
    bool moved = false;
    try {
        position = stream->Position();
        if (position < INT32_MIN || position > INT32_MAX) return -1;
        if (stream->Size() < 2) return -1;
        moved = true;
        stream->Seek(0, soBeginning);
        unsigned char bytes[2];
        stream->ReadBuffer(bytes, 2);
        mark = (mark & 0xFFFF0000u) | bytes[0] | (static_cast<std::uint32_t>(bytes[1]) << 8);
        if (stream->Position() != position) stream->Seek(position, soBeginning);
        return 0;
    } catch (const std::exception&) {
        // Leave the stream where the caller had it even after a failed read.
        if (moved) {
            try {
                stream->Seek(position, soBeginning);
            } catch (const std::exception&) {
            }
        }
        return -1;
    }
}

int GetByteOrderMark(const std::string& fileName, std::uint32_t& mark) {
    if (fileName.empty()) return -1;
    TFileStream file(fileName, fmOpenRead | fmShareDenyNone);
    return GetByteOrderMark(&file, mark);
}

std::uint8_t RetNumBitsSetInLongintMask(std::uint32_t mask) {
    return static_cast<std::uint8_t>(std::popcount(mask));
}

char RetDrvCharFromDrvMask(std::uint32_t mask, std::uint8_t index) {
    // Index 0 visits every drive, as an index beyond the last drive does.
    const int visits = index == 0 ? 26 : index;
    char letter = '@';
    int visited = 0;
    for (int drive = 0; drive < 26 && visited < visits; ++drive) {
        if (mask & (std::uint32_t{1} << drive)) {
            letter = static_cast<char>('A' + drive);
            ++visited;
        }
    }
    return letter;
}

Int64 LongintToInt64(std::uint32_t low, std::int32_t high) {
    return static_cast<Int64>((static_cast<std::uint64_t>(static_cast<std::uint32_t>(high)) << 32) | low);
}

std::uint32_t Int64LoDWORD(Int64 value) { return static_cast<std::uint32_t>(value); }

std::uint32_t Int64HiDWORD(Int64 value) {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(value) >> 32);
}

std::int32_t HexStrToInt(const str_8& hex) {
    std::uint32_t value = 0;
    for (int i = 0; i < hex.Length(); ++i) {
        const char c = hex.Data()[i];
        std::uint32_t digit = 0;
        if (c >= '0' && c <= '9')
            digit = static_cast<std::uint32_t>(c - '0');
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<std::uint32_t>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<std::uint32_t>(c - 'a' + 10);
        value = (value << 4) | digit;
    }
    return static_cast<std::int32_t>(value);
}

// ---------------------------------------------------------------- buffers and byte arrays

int GetNumZeroTerminatedStrsInBuf(const char* buffer, int size) {
    if (!buffer || size < 1) return -1;
    int count = 0;
    for (int i = 0; i < size && buffer[i] != '\0';) {
        int end = i;
        while (end < size && buffer[end] != '\0') ++end;
        if (end == size) break;  // runs off the buffer
        ++count;
        i = end + 1;
    }
    return count;
}

int GetZeroTerminatedStringsFromBuf(const char* buffer, int size, TStringList* list) {
    if (!list) return -1;
    const int n = GetNumZeroTerminatedStrsInBuf(buffer, size);
    const char* text = buffer;
    for (int i = 0; i < n; ++i) {
        const std::string s(text);
        list->Add(s);
        text += s.size() + 1;
    }
    return n;
}

namespace {

int Size(const TByteArray& a) { return static_cast<int>(a.size()); }

std::string ZTextAt(const TByteArray& a, int at) {
    const auto* begin = a.data() + at;
    const auto* end = a.data() + a.size();
    const auto* zero = std::find(begin, end, 0);
    return std::string(reinterpret_cast<const char*>(begin), static_cast<size_t>(zero - begin));
}

}  // namespace

int RetZeroTerminatedStrArrayLength(const TByteArray& a) {
    const int n = Size(a);
    int i = 0;
    while (i + 1 < n && a[static_cast<size_t>(i)] != 0 && a[static_cast<size_t>(i + 1)] != 0) ++i;
    return i - 1;
}

int RetZeroTerminatedStrCount(const TByteArray& a) {
    const int size = RetZeroTerminatedStrArrayLength(a);
    int cursor = ByteArrayCursorUnset;
    int count = 0;
    for (std::string s = RetFirstZTerminatedStrFromByteArray(a, size, cursor); !s.empty();
         s = RetNextZTerminatedStrFromByteArray(a, size, cursor))
        ++count;
    return count;
}

std::string RetFirstZTerminatedStrFromByteArray(const TByteArray& a, int size, int& cursor) {
    return RetFirstZTerminatedStrFromByteArray(a, size, 1, cursor);
}

std::string RetFirstZTerminatedStrFromByteArray(const TByteArray& a, int size, int step, int& cursor) {
    if (a.empty() || size < 2) return {};
    cursor = step;
    return ZTextAt(a, 0);
}

std::string RetNextZTerminatedStrFromByteArray(const TByteArray& a, int size, int& cursor) {
    return RetNextZTerminatedStrFromByteArray(a, size, 1, cursor);
}

std::string RetNextZTerminatedStrFromByteArray(const TByteArray& a, int size, int step, int& cursor) {
    if (cursor < 0 || cursor >= Size(a) || size < 2) return {};
    std::string s = ZTextAt(a, cursor);
    cursor += step;
    return s;
}

std::string RetZeroTerminatedStrFromByteArray(int index, const TByteArray& a, int size) {
    if (a.empty() || size < 2 || (index != 0 && index != 1)) return {};
    return ZTextAt(a, 0);
}

std::string RetZeroTerminatedStrFromByteArray(int index, const TByteArray& a, int step, int size) {
    if (index < 0 || a.empty() || size < 2) return {};
    if (index <= 1) return ZTextAt(a, 0);
    // Where the next reader stands after index - 1 steps; a cursor that leaves the
    // array on the way stays outside it.
    const std::int64_t at = static_cast<std::int64_t>(index - 1) * step;
    if (at < 0 || at >= Size(a)) return {};
    return ZTextAt(a, static_cast<int>(at));
}

namespace {

std::uint16_t WordAt(const TByteArray& a, std::int64_t at) {
    return static_cast<std::uint16_t>(a[static_cast<size_t>(at)] | (a[static_cast<size_t>(at + 1)] << 8));
}

}  // namespace

std::uint16_t RetFirstWORDFromByteArray(const TByteArray& a, int /*size*/, int& cursor) {
    if (Size(a) < 2) return 0;
    cursor = 2;
    return WordAt(a, 0);
}

std::uint16_t RetNextWORDFromByteArray(const TByteArray& a, int /*size*/, int& cursor) {
    if (cursor < 0 || cursor + 1 >= Size(a)) return 0;
    const std::uint16_t w = WordAt(a, cursor);
    cursor += 2;
    return w;
}

std::uint16_t RetWORDFromByteArray(int index, const TByteArray& a, int /*size*/) {
    if (index < 0) return 0;
    const std::int64_t at = index <= 1 ? 0 : 2 * static_cast<std::int64_t>(index) - 2;
    if (at + 1 >= Size(a)) return 0;
    return WordAt(a, at);
}

int IncLargeIntArray(TLargeIntArray a) {
    if (a.empty()) return -1;
    a.resize(a.size() + 1);
    return static_cast<int>(a.size());
}

int DecLargeIntArray(TLargeIntArray a) {
    if (a.empty()) return -1;
    a.resize(a.size() - 1);
    return static_cast<int>(a.size());
}

}  // namespace ruk
