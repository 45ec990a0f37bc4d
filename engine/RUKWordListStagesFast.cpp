// The fast stage set: every stage in one or a few left-to-right passes, with the results,
// the events, their positions and the cancellation points of the literal set.
//
// Each stage below states why its single pass gives the same result as the literal rescans.
// Those arguments rest on a few properties of the user's code page and case mapping (a
// single-byte code page whose upper and lower case are byte maps, plus the facts each stage
// lists). They are checked once, against the very conversions the literal stages use; where
// one does not hold, the stage hands its work to the literal set, so the results never differ.
#include "RUKWordListStages.h"

#include "RUKGenWordListFromHTMLThreads.h"
#include "SysUtils.h"

#include <emmintrin.h>
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace ruk {

namespace {

constexpr size_t npos = static_cast<size_t>(-1);

using uchar = unsigned char;

inline uchar U8(char c) { return static_cast<uchar>(c); }

// ---------------------------------------------------------------- scanning

// First index in [from, to) holding c, or npos. SSE2 sixteen bytes at a time.
size_t FindByte(const char* s, size_t from, size_t to, char c) {
    size_t i = from;
    if (to - from >= 16 && to > from) {
        const __m128i needle = _mm_set1_epi8(c);
        while (i + 16 <= to) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
            const int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(block, needle));
            if (mask != 0) return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
            i += 16;
        }
    }
    for (; i < to; ++i)
        if (s[i] == c) return i;
    return npos;
}

bool HasByte(const std::string& s, char c) { return FindByte(s.data(), 0, s.size(), c) != npos; }

// Where the searches for a position end: at the first zero byte, else at the end.
size_t SearchEnd(const std::string& s) {
    const size_t zero = FindByte(s.data(), 0, s.size(), '\0');
    return zero == npos ? s.size() : zero;
}

// ---------------------------------------------------------------- the code page

// Byte maps of the locale-aware case conversions and the properties the stages rely on.
struct TFastEnv {
    uchar Lower[256];
    uchar Upper[256];
    // Single-byte code page whose conversions map every byte on its own, wherever it stands.
    bool ByteMapped = false;
    // The conversions also map the bytes behind a zero byte (else texts holding one go the
    // literal way).
    bool MapsPastZero = false;
    bool SectionsExact = false;
    bool EntitiesExact = false;
    bool WordsExact = false;
};

struct TEntityRow {
    const char* Entity;
    int Replacement;  // the byte, or -1: removed
    bool IgnoreCase;
};

// The entity rows in their order of application.
const TEntityRow EntityRows[] = {
    {"&nbsp;", 0x20, true}, {"&quot;", 0x22, true}, {"&amp;", 0x26, true}, {"&lt;", 0x3C, true},
    {"&gt;", 0x3E, true}, {"&copy;", 0xA9, true}, {"&mdash;", 0x2D, true},
    {"&iexcl;", 0xA1, false}, {"&cent;", 0xA2, false}, {"&euro;", 0x80, false},
    {"&pound;", 0xA3, false}, {"&yen;", 0xA5, false}, {"&brvbar;", 0xA6, false},
    {"&sect;", 0xA7, false}, {"&uml;", 0xA8, false}, {"&ordf;", 0xAA, false},
    {"&laquo;", 0xAB, false}, {"&not;", 0xAC, false}, {"&reg;", 0xAE, false},
    {"&macr;", 0xAF, false}, {"&deg;", 0xB0, false}, {"&plusmn;", 0xB1, false},
    {"&sup2;", 0xB2, false}, {"&sup3;", 0xB3, false}, {"&acute;", 0xB4, false},
    {"&micro;", 0xB5, false}, {"&para;", 0xB6, false}, {"&middot;", 0xB7, false},
    {"&cedil;", 0xB8, false}, {"&sup1;", 0xB9, false}, {"&ordm;", 0xBA, false},
    {"&raquo;", 0xBB, false}, {"&frac14;", 0xBC, false}, {"&frac12;", 0xBD, false},
    {"&frac34;", 0xBE, false}, {"&iquest;", 0xBF, false}, {"&Agrave;", 0xC0, false},
    {"&Aacute;", 0xC1, false}, {"&Acirc;", 0xC2, false}, {"&Atilde;", 0xC3, false},
    {"&Auml;", 0xC4, false}, {"&Aring;", 0xC5, false}, {"&AElig;", 0xC6, false},
    {"&Ccedil;", 0xC7, false}, {"&Egrave;", 0xC8, false}, {"&Eacute;", 0xC9, false},
    {"&Ecirc;", 0xCA, false}, {"&Euml;", 0xCB, false}, {"&Igrave;", 0xCC, false},
    {"&Iacute;", 0xCD, false}, {"&Icirc;", 0xCE, false}, {"&Iuml;", 0xCF, false},
    {"&ETH;", 0xD0, false}, {"&Ntilde;", 0xD1, false}, {"&Ograve;", 0xD2, false},
    {"&Oacute;", 0xD3, false}, {"&Ocirc;", 0xD4, false}, {"&Otilde;", 0xD5, false},
    {"&Ouml;", 0xD6, false}, {"&times;", 0xD7, false}, {"&Oslash;", 0xD8, false},
    {"&Ugrave;", 0xD9, false}, {"&Uacute;", 0xDA, false}, {"&Ucirc;", 0xDB, false},
    {"&Uuml;", 0xDC, false}, {"&Yacute;", 0xDD, false}, {"&THORN;", 0xDE, false},
    {"&szlig;", 0xDF, false}, {"&agrave;", 0xE0, false}, {"&aacute;", 0xE1, false},
    {"&acirc;", 0xE2, false}, {"&atilde;", 0xE3, false}, {"&auml;", 0xE4, false},
    {"&aring;", 0xE5, false}, {"&aelig;", 0xE6, false}, {"&ccedil;", 0xE7, false},
    {"&egrave;", 0xE8, false}, {"&eacute;", 0xE9, false}, {"&ecirc;", 0xEA, false},
    {"&euml;", 0xEB, false}, {"&igrave;", 0xEC, false}, {"&iacute;", 0xED, false},
    {"&icirc;", 0xEE, false}, {"&iuml;", 0xEF, false}, {"&eth;", 0xF0, false},
    {"&ntilde;", 0xF1, false}, {"&ograve;", 0xF2, false}, {"&oacute;", 0xF3, false},
    {"&ocirc;", 0xF4, false}, {"&otilde;", 0xF5, false}, {"&ouml;", 0xF6, false},
    {"&divide;", 0xF7, false}, {"&oslash;", 0xF8, false}, {"&ugrave;", 0xF9, false},
    {"&uacute;", 0xFA, false}, {"&ucirc;", 0xFB, false}, {"&uuml;", 0xFC, false},
    {"&yacute;", 0xFD, false}, {"&thorn;", 0xFE, false}, {"&yuml;", 0xFF, false},
    {"&bull;", -1, true},
};
constexpr int EntityRowCount = static_cast<int>(sizeof(EntityRows) / sizeof(EntityRows[0]));
static_assert(EntityRowCount == 101, "the entity table has 101 rows");

// Whether the text byte b matches the pattern byte p under the row's comparison.
inline bool RowByteMatches(const TFastEnv& env, const TEntityRow& row, uchar b, uchar p) {
    return row.IgnoreCase ? env.Upper[b] == env.Upper[p] : b == p;
}

TFastEnv BuildEnv() {
    TFastEnv env;
    for (int i = 0; i < 256; ++i) env.Lower[i] = env.Upper[i] = static_cast<uchar>(i);
    CPINFO info{};
    if (!GetCPInfo(CP_ACP, &info) || info.MaxCharSize != 1) return env;

    // Bytes 1..255 and then 0, converted as one text, give the maps.
    std::string bytes(256, '\0');
    for (int i = 0; i < 255; ++i) bytes[static_cast<size_t>(i)] = static_cast<char>(i + 1);
    const std::string lower = AnsiLowerCase(bytes);
    const std::string upper = AnsiUpperCase(bytes);
    if (lower.size() != 256 || upper.size() != 256) return env;
    for (int i = 0; i < 256; ++i) {
        env.Lower[(i + 1) & 255] = U8(lower[static_cast<size_t>(i)]);
        env.Upper[(i + 1) & 255] = U8(upper[static_cast<size_t>(i)]);
    }
    // The same bytes in another order, each byte must convert to its map: the conversion
    // looks at no neighbour.
    std::string reversed(bytes.rbegin() + 1, bytes.rend());  // 255..1
    const std::string rl = AnsiLowerCase(reversed), ru = AnsiUpperCase(reversed);
    if (rl.size() != reversed.size() || ru.size() != reversed.size()) return env;
    for (size_t i = 0; i < reversed.size(); ++i) {
        if (U8(rl[i]) != env.Lower[U8(reversed[i])] || U8(ru[i]) != env.Upper[U8(reversed[i])])
            return env;
    }
    if (env.Lower[0] != 0 || env.Upper[0] != 0) return env;
    env.ByteMapped = true;
    const std::string pastZero = std::string("A\0A\xC0", 4);
    const std::string pl = AnsiLowerCase(pastZero), pu = AnsiUpperCase(pastZero);
    env.MapsPastZero = pl.size() == 4 && pu.size() == 4 && U8(pl[2]) == env.Lower['A'] &&
                       U8(pl[3]) == env.Lower[0xC0] && U8(pu[3]) == env.Upper[0xC0];

    // Sections: upper(lower(b)) == upper(b) for every byte, and a lowered byte that upper-cases
    // like a letter of an opening string is that letter; then the case-insensitive removal from
    // the lowered copy hits the same place as the opening string.
    bool sections = env.Lower['<'] == '<';
    for (int b = 0; b < 256 && sections; ++b) {
        if (env.Upper[env.Lower[b]] != env.Upper[b]) sections = false;
        for (const char* p = "<stylecript"; *p && sections; ++p) {
            if (env.Upper[env.Lower[b]] == env.Upper[U8(*p)] && env.Lower[b] != U8(*p)) sections = false;
        }
    }
    for (int b = 0; b < 256 && sections; ++b)
        if (b != '<' && env.Lower[b] == '<') sections = false;
    env.SectionsExact = sections;

    // Entities: an occurrence of a row begins only at an ampersand; no later character of an
    // entity matches an ampersand; and no replacement byte matches a later character of the
    // entity of a later row. Then every ampersand of the text heads its own stretch up to the
    // next one, and the rows act on each stretch alone.
    bool entities = true;
    for (int r = 0; r < EntityRowCount && entities; ++r) {
        const TEntityRow& row = EntityRows[r];
        for (int b = 0; b < 256; ++b)
            if (b != '&' && RowByteMatches(env, row, static_cast<uchar>(b), '&')) entities = false;
        for (const char* p = row.Entity + 1; *p; ++p)
            if (RowByteMatches(env, row, '&', U8(*p))) entities = false;
        if (row.Replacement >= 0 && row.Replacement != '&') {
            for (int later = r + 1; later < EntityRowCount; ++later) {
                for (const char* p = EntityRows[later].Entity + 1; *p; ++p) {
                    if (RowByteMatches(env, EntityRows[later], static_cast<uchar>(row.Replacement), U8(*p)))
                        entities = false;
                }
            }
        }
    }
    env.EntitiesExact = entities;

    // Words: only the blank upper-cases like the blank, so a word that does not begin with a
    // blank never matches, without regard to case, inside a run of blanks.
    bool words = true;
    for (int b = 0; b < 256; ++b)
        if (b != ' ' && env.Upper[b] == env.Upper[' ']) words = false;
    env.WordsExact = words;
    return env;
}

const TFastEnv& Env() {
    static const TFastEnv env = BuildEnv();
    return env;
}

// Whether the fast stages that compare case can take this text.
bool CaseMappingHolds(const std::string& text) {
    const TFastEnv& env = Env();
    if (!env.ByteMapped) return false;
    return env.MapsPastZero || !HasByte(text, '\0');
}


// First index in [from, n) where pat (of length len) matches map[s[...]], or npos. The first
// pattern byte is one that only itself maps to.
size_t FindPattern(const char* s, size_t from, size_t n, const char* pat, size_t len, const uchar* map) {
    size_t i = from;
    while (true) {
        if (i >= n || n - i < len) return npos;
        i = FindByte(s, i, n - len + 1, pat[0]);
        if (i == npos) return npos;
        size_t k = 1;
        while (k < len && map[U8(s[i + k])] == U8(pat[k])) ++k;
        if (k == len) return i;
        ++i;
    }
}

const uchar* IdentityMap() {
    static const struct T {
        uchar map[256];
        T() {
            for (int i = 0; i < 256; ++i) map[i] = static_cast<uchar>(i);
        }
    } t;
    return t.map;
}

// ---------------------------------------------------------------- sections

// The text of the moment during a removal stage is kept + rest: kept = s[0, W) is final text
// that holds no whole opening or closing string, rest = s[R, n) is untouched input. A removal
// cuts from the first opening string to the end of the first closing string, so what is left
// before the cut holds neither string either: the next first occurrences lie at the seam (at
// most length-1 bytes back into kept) or in the rest, and each byte of the rest is scanned
// once for each of the two strings. Both strings are only found before the first zero byte,
// so a cut never reaches it and it stays where it is in the rest.
class TSectionCutter {
public:
    TSectionCutter(std::string& text, const uchar* map) : FText(text), FMap(map) {
        FS = text.data();
        FN = text.size();
        FZ = SearchEnd(text);
    }

    // Writes the text of the moment back into the string.
    void Finish() {
        if (FR > FW) std::memmove(FS + FW, FS + FR, FN - FR);
        FText.resize(FW + FN - FR);
        FR = FW;
        FN = FText.size();
    }

    void Run(TWordListStageHost& host, const char* open, const char* close) {
        const size_t lo = std::strlen(open), lc = std::strlen(close);
        TCache openCache, closeCache;
        int passes = 0;
        while (true) {
            const size_t p = FirstInMoment(open, lo, openCache);
            if (p == npos) break;
            const size_t e = FirstInMoment(close, lc, closeCache);
            if (e == npos || e <= p) break;
            const size_t end = e + lc;  // one past the section; always beyond kept
            std::string section;
            section.reserve(end - p);
            if (p < FW) section.append(FS + p, FW - p);
            const size_t restFrom = FR + (p > FW ? p - FW : 0);
            section.append(FS + restFrom, FR + (end - FW) - restFrom);
            try {
                host.ReportSection(section);
            } catch (...) {
                Finish();
                throw;
            }
            const size_t newR = FR + (end - FW);
            if (p > FW) std::memmove(FS + FW, FS + FR, p - FW);
            FW = p;
            FR = newR;
            ++passes;
            if (passes >= 2 && host.StageTerminated()) break;
        }
        Finish();
    }

private:
    struct TCache {
        bool Valid = false;
        size_t At = npos;  // index in s of the first occurrence wholly in the rest
    };

    uchar MomentByte(size_t v) const { return U8(v < FW ? FS[v] : FS[FR + (v - FW)]); }

    bool MatchesAt(size_t v, const char* pat, size_t len) const {
        if (v + len > FW + (FZ - FR)) return false;
        for (size_t k = 0; k < len; ++k)
            if (FMap[MomentByte(v + k)] != U8(pat[k])) return false;
        return true;
    }

    // Position in the text of the moment of the first occurrence of pat, or npos.
    size_t FirstInMoment(const char* pat, size_t len, TCache& cache) {
        for (size_t q = FW >= len - 1 ? FW - (len - 1) : 0; q < FW; ++q)
            if (MatchesAt(q, pat, len)) return q;
        if (!cache.Valid || (cache.At != npos && cache.At < FR)) {
            cache.At = FindPattern(FS, FR, FZ, pat, len, FMap);
            cache.Valid = true;
        }
        if (cache.At == npos) return npos;
        return FW + (cache.At - FR);
    }

    std::string& FText;
    const uchar* FMap;
    char* FS;
    size_t FN;
    size_t FZ;  // the first zero byte (in the rest), or FN
    size_t FW = 0;
    size_t FR = 0;
};

void FastRemoveStyleSheetSections(std::string& text, TWordListStageHost& host) {
    if (!Env().SectionsExact || !CaseMappingHolds(text)) {
        LiteralWordListStages.RemoveStyleSheetSections(text, host);
        return;
    }
    TSectionCutter(text, Env().Lower).Run(host, "<style", "</style>");
}

void FastRemoveScriptSections(std::string& text, TWordListStageHost& host) {
    if (!Env().SectionsExact || !CaseMappingHolds(text)) {
        LiteralWordListStages.RemoveScriptSections(text, host);
        return;
    }
    TSectionCutter(text, Env().Lower).Run(host, "<script", "</script>");
}

void FastRemoveCommentedSections(std::string& text, TWordListStageHost& host) {
    TSectionCutter(text, IdentityMap()).Run(host, "<!--", "-->");
}

// ---------------------------------------------------------------- line breaks

// The three replacements touch different bytes and create none of the others, so one pass
// makes all that are due.
void FastRemoveCRLFs(std::string& text, TWordListStageHost& host) {
    bool hasCR = false, hasLF = false, hasTab = false;
    size_t tabs = 0;
    for (const char c : text) {
        if (c == '\r') hasCR = true;
        else if (c == '\n') hasLF = true;
        else if (c == '\t') { hasTab = true; ++tabs; }
    }
    const bool cr = !host.StageTerminated() && hasCR;
    const bool lf = !host.StageTerminated() && hasLF;
    const bool tab = !host.StageTerminated() && hasTab;
    if (!cr && !lf && !tab) return;
    if (!tab) {
        for (char& c : text)
            if ((cr && c == '\r') || (lf && c == '\n')) c = ' ';
        return;
    }
    // Tabs grow the text: fill from the back.
    const size_t n = text.size();
    text.resize(n + 2 * tabs);
    char* s = text.data();
    size_t to = text.size();
    for (size_t from = n; from-- > 0;) {
        const char c = s[from];
        if (c == '\t') {
            s[--to] = ' ';
            s[--to] = ' ';
            s[--to] = ' ';
        } else {
            s[--to] = ((cr && c == '\r') || (lf && c == '\n')) ? ' ' : c;
        }
    }
}

// ---------------------------------------------------------------- title

void FastRetrieveTitle(const std::string& text, TWordListStageHost& host) {
    if (!CaseMappingHolds(text)) {
        LiteralWordListStages.RetrieveTitle(text, host);
        return;
    }
    const uchar* lower = Env().Lower;
    const size_t end = SearchEnd(text);
    const size_t p = FindPattern(text.data(), 0, end, "<title>", 7, lower);
    if (p == npos) return;
    const size_t e = FindPattern(text.data(), 0, end, "</title>", 8, lower);
    if (e == npos || e <= p) return;
    host.ReportTitle(e >= p + 7 ? text.substr(p + 7, e - p - 7) : std::string());
}

// ---------------------------------------------------------------- tags

// Each removed tag starts at the first '<' of the text of the moment and becomes one blank,
// so the text before it never holds a '<' again: the next tag starts at the next '<' of the
// input, and its positions are those of the input less what earlier tags took away. The
// searches end at the first zero byte, which no tag reaches.
void FastRemoveHTMLTags(std::string& text, TWordListStageHost& host) {
    char* s = text.data();
    const size_t n = text.size();
    const size_t z = SearchEnd(text);
    size_t w = 0, r = 0;  // the text of the moment is s[0, w) + s[r, n)
    int passes = 0;
    auto finish = [&]() {
        if (r > w) {
            std::memmove(s + w, s + r, n - r);
            text.resize(w + n - r);
        }
    };
    while (true) {
        const size_t length = w + (n - r);
        if (length <= 1) break;
        const size_t x = FindByte(s, r, z, '<');
        if (x == npos) break;
        const size_t p = w + (x - r) + 1;  // 1-based
        if (length <= p + 1) break;
        const size_t y = FindByte(s, x + 1, z, '>');
        if (y == npos) break;
        const size_t e = p + (y - x);
        try {
            host.ReportTag(std::string(s + x, y - x + 1), static_cast<int>(p), static_cast<int>(e));
        } catch (...) {
            finish();
            throw;
        }
        if (x > r && r > w) std::memmove(s + w, s + r, x - r);
        w += x - r;
        s[w++] = ' ';
        r = y + 1;
        ++passes;
        if (passes >= 2 && host.StageTerminated()) break;
    }
    finish();
}


// ---------------------------------------------------------------- entities

// For each byte, the rows whose entity can have it as its second character, in row order.
struct TRowIndex {
    std::vector<uchar> BySecond[256];
    uchar Length[EntityRowCount];
};

const TRowIndex& RowIndex() {
    static const TRowIndex index = [] {
        TRowIndex ix;
        const TFastEnv& env = Env();
        for (int r = 0; r < EntityRowCount; ++r) {
            ix.Length[r] = static_cast<uchar>(std::strlen(EntityRows[r].Entity));
            for (int b = 0; b < 256; ++b)
                if (RowByteMatches(env, EntityRows[r], static_cast<uchar>(b), U8(EntityRows[r].Entity[1])))
                    ix.BySecond[b].push_back(static_cast<uchar>(r));
        }
        return ix;
    }();
    return index;
}

// Every row replaces an entity by at most one byte, and only the ampersand row yields a byte
// that can begin another entity (at the same place). So the text falls into stretches, each
// from an ampersand of the input to the next one, and a row can only match at the head of a
// stretch: the rows due are applied to each head in turn, in row order, with the same results
// as row after row over the whole text.
void FastReplaceHTMLSpecialChars(std::string& text, TWordListStageHost& host) {
    if (!Env().EntitiesExact || !CaseMappingHolds(text)) {
        LiteralWordListStages.ReplaceHTMLSpecialChars(text, host);
        return;
    }
    int rowsDue = 0;
    while (rowsDue < EntityRowCount && !host.StageTerminated()) ++rowsDue;
    if (rowsDue == 0) return;

    const TFastEnv& env = Env();
    const TRowIndex& index = RowIndex();
    char* s = text.data();
    const size_t n = text.size();
    size_t x = FindByte(s, 0, n, '&');
    if (x == npos) return;
    size_t w = x;  // write position; s[0, x) stays as it is
    while (x != npos) {
        int head = '&';
        size_t t = x + 1;  // the input after the head
        int rowFrom = 0;
        while (head == '&' && t < n) {
            int found = -1;
            for (const uchar r : index.BySecond[U8(s[t])]) {
                if (r < rowFrom) continue;
                if (r >= rowsDue) break;
                const TEntityRow& row = EntityRows[r];
                const size_t len = index.Length[r];
                if (n - t < len - 1) continue;
                size_t k = 2;
                while (k < len && RowByteMatches(env, row, U8(s[t + k - 1]), U8(row.Entity[k]))) ++k;
                if (k == len) {
                    found = r;
                    break;
                }
            }
            if (found < 0) break;
            t += index.Length[found] - 1;
            rowFrom = found + 1;
            head = EntityRows[found].Replacement;
        }
        if (head >= 0) s[w++] = static_cast<char>(head);
        const size_t next = FindByte(s, t, n, '&');
        const size_t to = next == npos ? n : next;
        if (to > t) {
            if (w != t) std::memmove(s + w, s + t, to - t);
            w += to - t;
        }
        x = next;
    }
    text.resize(w);
}


// ---------------------------------------------------------------- distinct texts

inline uint32_t HashBytes(const char* p, size_t n) {
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < n; ++i) h = (h ^ U8(p[i])) * 16777619u;
    return h;
}

// Distinct byte strings in the order first met, found again by hash.
class TDistinctTexts {
public:
    TDistinctTexts() : FSlots(1024, -1) { FStart.push_back(0); }

    // Index of the text, added when new.
    int Add(const char* p, size_t n) {
        const uint32_t h = HashBytes(p, n);
        size_t mask = FSlots.size() - 1;
        size_t slot = h & mask;
        while (FSlots[slot] >= 0) {
            const int id = FSlots[slot];
            if (FHash[static_cast<size_t>(id)] == h && Length(id) == n &&
                std::memcmp(Data(id), p, n) == 0)
                return id;
            slot = (slot + 1) & mask;
        }
        const int id = Count();
        FBytes.insert(FBytes.end(), p, p + n);
        FStart.push_back(FBytes.size());
        FHash.push_back(h);
        FSlots[slot] = id;
        if (static_cast<size_t>(Count()) * 2 > FSlots.size()) Grow();
        return id;
    }

    int Count() const { return static_cast<int>(FHash.size()); }
    const char* Data(int id) const { return FBytes.data() + FStart[static_cast<size_t>(id)]; }
    size_t Length(int id) const {
        return FStart[static_cast<size_t>(id) + 1] - FStart[static_cast<size_t>(id)];
    }
    std::string Text(int id) const { return std::string(Data(id), Length(id)); }

private:
    void Grow() {
        std::vector<int> slots(FSlots.size() * 2, -1);
        const size_t mask = slots.size() - 1;
        for (int id = 0; id < Count(); ++id) {
            size_t slot = FHash[static_cast<size_t>(id)] & mask;
            while (slots[slot] >= 0) slot = (slot + 1) & mask;
            slots[slot] = id;
        }
        FSlots.swap(slots);
    }

    std::vector<char> FBytes;
    std::vector<size_t> FStart;
    std::vector<uint32_t> FHash;
    std::vector<int> FSlots;
};

// ---------------------------------------------------------------- sorted lists

// Sort keys of the list's comparison (case-insensitive under the user's locale); empty when
// the system gives none.
std::string SortKey(const char* p, size_t n) {
    if (n == 0 || n > 0x3FFFFFF) return std::string();
    std::string key(n * 6 + 32, '\0');
    int got = LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, p, static_cast<int>(n),
                           key.data(), static_cast<int>(key.size()));
    if (got == 0) {
        const int need = LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, p,
                                      static_cast<int>(n), nullptr, 0);
        if (need <= 0) return std::string();
        key.assign(static_cast<size_t>(need), '\0');
        got = LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, p, static_cast<int>(n),
                           key.data(), need);
        if (got == 0) return std::string();
    }
    key.resize(static_cast<size_t>(got));
    return key;
}

// The entries that adding the texts one by one, in this order, to an empty sorted list that
// ignores duplicates leaves: of each set of texts that compare equal the first one, in the
// list's order. The list's comparison orders texts the way their sort keys do; the keys sort
// the texts at once, and the comparison itself then confirms every neighbour. Should one not
// agree, the texts are sorted with the comparison itself.
std::vector<std::string> SortedFirstSpellings(const TDistinctTexts& texts) {
    const int n = texts.Count();
    std::vector<std::string> keys(static_cast<size_t>(n));
    bool keyed = true;
    for (int i = 0; i < n && keyed; ++i) {
        keys[static_cast<size_t>(i)] = SortKey(texts.Data(i), texts.Length(i));
        if (keys[static_cast<size_t>(i)].empty()) keyed = false;
    }
    std::vector<int> order(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) order[static_cast<size_t>(i)] = i;
    std::vector<std::string> result;
    if (keyed) {
        std::sort(order.begin(), order.end(), [&](int a, int b) {
            const int c = keys[static_cast<size_t>(a)].compare(keys[static_cast<size_t>(b)]);
            return c != 0 ? c < 0 : a < b;
        });
        bool agrees = true;
        size_t i = 0;
        while (i < order.size() && agrees) {
            size_t j = i + 1;
            const std::string first = texts.Text(order[i]);
            while (j < order.size() && keys[static_cast<size_t>(order[j])] == keys[static_cast<size_t>(order[i])]) {
                if (AnsiCompareText(first, texts.Text(order[j])) != 0) agrees = false;
                ++j;
            }
            if (!result.empty() && AnsiCompareText(result.back(), first) >= 0) agrees = false;
            result.push_back(first);
            i = j;
        }
        if (agrees) return result;
        result.clear();
    }
    std::vector<std::string> all(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) all[static_cast<size_t>(i)] = texts.Text(i);
    for (int i = 0; i < n; ++i) order[static_cast<size_t>(i)] = i;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return AnsiCompareText(all[static_cast<size_t>(a)], all[static_cast<size_t>(b)]) < 0;
    });
    for (const int id : order) {
        if (!result.empty() && AnsiCompareText(result.back(), all[static_cast<size_t>(id)]) == 0) continue;
        result.push_back(all[static_cast<size_t>(id)]);
    }
    return result;
}

// ---------------------------------------------------------------- words

const char WordDelimiters[] = " ,;.:!?=\"+()";
const char PunctuationMarks[] = ",.;:!?";

// Character classes of the word stages.
enum : uchar { ccPunct = 1, ccPair = 2, ccWhite = 4, ccZero = 8, ccCountDelim = 16 };

const uchar* CharClasses() {
    static const struct T {
        uchar cls[256] = {};
        T() {
            for (const char* p = PunctuationMarks; *p; ++p) cls[U8(*p)] |= ccPunct;
            for (const char* p = "\"()[]{}"; *p; ++p) cls[U8(*p)] |= ccPair;
            for (const char* p = "\t\n\r "; *p; ++p) cls[U8(*p)] |= ccWhite;
            cls[0] |= ccZero;
            for (const char* p = " ,;.:!?=\"+([{)]}"; *p; ++p) cls[U8(*p)] |= ccCountDelim;
        }
    } t;
    return t.cls;
}

// What a walked word becomes before it is listed: the punctuation marks trimmed from both
// ends of its zero-terminated part (the trim reports success only when it removed something;
// then the trimmed part is the result, else the word as it was), then one occurrence of each
// unbalanced quote or bracket removed. Empty when the result is empty or white space only.
void ListedForm(const char* p, size_t n, std::string& out) {
    const uchar* cls = CharClasses();
    uchar any = 0;
    for (size_t i = 0; i < n; ++i) any |= cls[U8(p[i])];
    if ((any & (ccPunct | ccPair | ccZero)) == 0) {
        out.assign(p, n);
    } else {
        size_t z = 0;
        while (z < n && p[z] != '\0') ++z;
        size_t a = 0, b = z;
        while (a < z && (cls[U8(p[a])] & ccPunct)) ++a;
        if (a < z)
            while (cls[U8(p[b - 1])] & ccPunct) --b;
        if (z > 0 && (a > 0 || b < z)) out.assign(p + a, b - a);
        else out.assign(p, n);
        if (any & ccPair) {
            size_t counts[256] = {};
            for (const char c : out)
                if (cls[U8(c)] & ccPair) ++counts[U8(c)];
            char orphans[4];
            int orphanCount = 0;
            if (counts[U8('"')] % 2 == 1) orphans[orphanCount++] = '"';
            const char* opens = "([{";
            const char* closes = ")]}";
            for (int k = 0; k < 3; ++k) {
                const size_t o = counts[U8(opens[k])], c = counts[U8(closes[k])];
                if (c < o) orphans[orphanCount++] = opens[k];
                else if (o < c) orphans[orphanCount++] = closes[k];
            }
            for (int k = 0; k < orphanCount; ++k) {
                const size_t at = out.find(orphans[k]);
                if (at != std::string::npos) out.erase(at, 1);
            }
        }
    }
    bool white = true;
    for (const char c : out)
        if (!(cls[U8(c)] & ccWhite)) {
            white = false;
            break;
        }
    if (white) out.clear();
}

// The walk over the words of the text, one token after the other.
//
// The literal walk finds the current word by its first occurrence in a working copy that has
// lost every word walked so far. Up to the current word that copy holds nothing but blanks
// (the blanks before the first word and those between the words), and a word found by
// splitting at blanks begins with something else: its first occurrence, byte for byte and
// without regard to case, is the current one. So the walk is a split of the text at blanks,
// where a blank in the last position does not split and the last piece needs two
// characters. Two things end that regularity, and from there the working copy is rebuilt and
// the walk goes on literally: a rest after a word of only blanks and at most one more
// character, which the literal walk hands back whole as the next word (a few steps remain),
// and a word holding a zero byte, which the literal walk looks for only up to that byte.
template <class Add>
void WalkWords(const std::string& text, Add add) {
    const size_t n = text.size();
    const char* s = text.data();
    std::string listed;
    if (n < 2) return;
    size_t from = 0;          // where the rest begins
    size_t walkedLength = 0;  // bytes of the words walked, all gone from the working copy
    // Where the literal walk takes over: the working copy holds blanks for the bytes before
    // copyFrom that are not walked words, then the text from copyFrom; word is the next word.
    bool literal = false;
    size_t copyFrom = 0;
    std::string word;
    while (true) {
        if (n - from < 2) break;
        size_t i = from;
        while (i <= n - 2 && s[i] == ' ') ++i;
        if (i == n - 1) {
            literal = true;
            copyFrom = from == 0 ? 0 : from - 1;
            word.assign(s + from, n - from);
            break;
        }
        size_t end = FindByte(s, i + 1, n - 1, ' ');
        const bool last = end == npos;
        if (last) end = n;
        if (FindByte(s, i, end, '\0') != npos) {
            literal = true;
            copyFrom = i;
            word.assign(s + i, end - i);
            break;
        }
        ListedForm(s + i, end - i, listed);
        if (!listed.empty()) add(listed);
        walkedLength += end - i;
        if (last) break;
        from = end + 1;
    }
    if (!literal) return;
    std::string work(copyFrom - walkedLength, ' ');
    work.append(s + copyFrom, n - copyFrom);
    while (!word.empty()) {
        std::string next = NextWord(work, word.c_str(), WordDelimiterChars);
        work = StringReplace(work, word, "", rfIgnoreCase);
        ListedForm(word.data(), word.size(), listed);
        if (!listed.empty()) add(listed);
        word = std::move(next);
    }
}

void FastGenerateWordsList(const std::string& text, TStringList& wordList) {
    if (!Env().WordsExact || !CaseMappingHolds(text)) {
        LiteralWordListStages.GenerateWordsList(text, wordList);
        return;
    }
    if (!wordList.Sorted() || wordList.Duplicates() != TDuplicates::dupIgnore || wordList.Count() != 0) {
        WalkWords(text, [&](const std::string& word) { wordList.Add(word); });
        return;
    }
    TDistinctTexts distinct;
    WalkWords(text, [&](const std::string& word) { distinct.Add(word.data(), word.size()); });
    if (distinct.Count() == 0) return;
    wordList.AppendSorted(SortedFirstSpellings(distinct));
}


// ---------------------------------------------------------------- suppression

// Both lists are sorted by the same comparison, so the entries to drop are found by one merge
// of the two (or, for a short suppress list, by a binary search for each of its entries),
// and the survivors are put back in one go.
void FastRemoveWordsToSuppress(TStringList& wordList, const TStringList& suppressList) {
    const int n = wordList.Count(), m = suppressList.Count();
    if (n == 0 || m == 0) return;
    if (!wordList.Sorted() || !suppressList.Sorted()) {
        LiteralWordListStages.RemoveWordsToSuppress(wordList, suppressList);
        return;
    }
    std::vector<char> drop(static_cast<size_t>(n), 0);
    int log2n = 1;
    while ((1 << log2n) < n && log2n < 31) ++log2n;
    if (static_cast<long long>(m) * (log2n + 1) < n) {
        for (int j = 0; j < m; ++j) {
            const std::string& word = suppressList[j];
            int lo = 0, hi = n - 1, hit = -1;
            while (lo <= hi) {
                const int mid = lo + (hi - lo) / 2;
                const int c = AnsiCompareText(wordList[mid], word);
                if (c < 0) lo = mid + 1;
                else if (c > 0) hi = mid - 1;
                else {
                    hit = mid;
                    break;
                }
            }
            if (hit < 0) continue;
            for (int k = hit; k >= 0 && (k == hit || AnsiCompareText(wordList[k], word) == 0); --k)
                drop[static_cast<size_t>(k)] = 1;
            for (int k = hit + 1; k < n && AnsiCompareText(wordList[k], word) == 0; ++k)
                drop[static_cast<size_t>(k)] = 1;
        }
    } else {
        int i = 0, j = 0;
        while (i < n && j < m) {
            const int c = AnsiCompareText(wordList[i], suppressList[j]);
            if (c < 0) ++i;
            else if (c > 0) ++j;
            else drop[static_cast<size_t>(i++)] = 1;
        }
    }
    int dropped = 0;
    for (const char d : drop) dropped += d;
    if (dropped == 0) return;
    if (dropped <= 16) {
        for (int i = n - 1; i >= 0; --i)
            if (drop[static_cast<size_t>(i)]) wordList.Delete(i);
        return;
    }
    std::vector<std::string> texts;
    std::vector<intptr_t> values;
    texts.reserve(static_cast<size_t>(n - dropped));
    values.reserve(static_cast<size_t>(n - dropped));
    for (int i = 0; i < n; ++i) {
        if (drop[static_cast<size_t>(i)]) continue;
        texts.push_back(wordList[i]);
        values.push_back(wordList.Integers(i));
    }
    wordList.Clear();
    wordList.AppendSorted(std::move(texts));
    for (int i = 0; i < wordList.Count(); ++i)
        if (values[static_cast<size_t>(i)] != 0) wordList.PutInteger(i, values[static_cast<size_t>(i)]);
}

// ---------------------------------------------------------------- blanks

// Pairs of blanks become line ends, the text is cut into lines at CR LF, lone CR and lone LF,
// lines of white space only are dropped and the rest each end with CR LF: all in one pass
// over the text, since a line end made from two blanks never joins a CR or LF of the text
// into one line end other than the ones listed here.
void FastRemoveRedundantBlanks(std::string& text) {
    const size_t n = text.size();
    const char* s = text.data();
    std::string out;
    out.reserve(n + n / 8 + 16);
    size_t lineStart = 0;
    size_t i = 0;
    bool lineHasText = false;
    const uchar* cls = CharClasses();
    auto endLine = [&](size_t lineEnd) {
        if (lineHasText) {
            out.append(s + lineStart, lineEnd - lineStart);
            out.append("\r\n", 2);
        }
        lineHasText = false;
    };
    while (i < n) {
        const char c = s[i];
        if (c == ' ' && i + 1 < n && s[i + 1] == ' ') {
            endLine(i);
            i += 2;
            lineStart = i;
        } else if (c == '\r') {
            endLine(i);
            i += (i + 1 < n && s[i + 1] == '\n') ? 2 : 1;
            lineStart = i;
        } else if (c == '\n') {
            endLine(i);
            ++i;
            lineStart = i;
        } else {
            if (!(cls[U8(c)] & ccWhite)) lineHasText = true;
            ++i;
        }
    }
    endLine(n);
    text.swap(out);
}

// ---------------------------------------------------------------- counts

// The counts follow the count of one word: every occurrence of the word in the text before
// its first zero byte is found from left to right, each search starting one character after
// the end of the last occurrence found; an occurrence counts when it begins the text or
// follows a delimiter and is followed by a delimiter.
//
// A counted occurrence thus spans whole pieces of the text cut at delimiters: its first piece
// begins after a delimiter, its last one ends before a delimiter, and the delimiters in
// between are the word's own. One pass over the pieces, with every word and every prefix of a
// word that ends before one of its delimiters in a hash table, finds all of them for all
// words. The search's skipping can only hide such an occurrence behind an earlier occurrence
// that reaches over the delimiter in front of it, which needs a delimiter inside the word at
// a shift where the word overlaps itself (or ends): for those few words the skipping is
// replayed from the occurrences around each counted one.
class TOccurrenceCounter {
public:
    TOccurrenceCounter(const char* text, size_t zeroAt) : FText(text), FEnd(zeroAt), FSlots(1024) {}

    // Adds a word of 1 to length-1 bytes; returns its index.
    int AddWord(const char* p, size_t n) {
        TWord word;
        word.Text = p;
        word.Length = n;
        const uchar* cls = CharClasses();
        uint32_t h = HashSeed;
        for (size_t k = 0; k < n; ++k) {
            if (cls[U8(p[k])] & ccCountDelim) Insert(h, k, -1);
            h = Step(h, p[k]);
        }
        const int id = static_cast<int>(FWords.size());
        FWords.push_back(word);
        Insert(h, n, id);
        PrepareSkips(FWords.back());
        return id;
    }

    void Run() {
        const uchar* cls = CharClasses();
        const char* s = FText;
        const size_t z = FEnd;
        size_t pos = 0;
        while (true) {
            const size_t a = pos;
            uint32_t h = HashSeed;
            while (pos < z && !(cls[U8(s[pos])] & ccCountDelim)) h = Step(h, s[pos++]);
            if (pos >= z) break;
            bool more = Visit(h, a, pos);
            if (more) {
                uint32_t h2 = h;
                size_t q = pos;
                while (more) {
                    h2 = Step(h2, s[q++]);
                    while (q < z && !(cls[U8(s[q])] & ccCountDelim)) h2 = Step(h2, s[q++]);
                    if (q >= z) break;
                    more = Visit(h2, a, q);
                }
            }
            ++pos;
        }
    }

    int Count(int id) const { return FWords[static_cast<size_t>(id)].Count; }

private:
    static constexpr uint32_t HashSeed = 2166136261u;
    static uint32_t Step(uint32_t h, char c) { return (h ^ U8(c)) * 16777619u; }

    struct TWord {
        const char* Text = nullptr;
        size_t Length = 0;
        int Count = 0;
        int NextSameKey = -1;
        bool Replay = false;
        std::vector<size_t> Shifts;       // shifts at which the word meets itself, ascending
        std::vector<size_t> FrontShifts;  // those that reach over a delimiter in front
        size_t LastOccurrence = npos;     // last occurrence resolved, and where the search
        size_t NextSearch = 0;            // went on from there
    };

    struct TSlot {
        uint32_t Hash = 0;
        uint32_t Length = 0;
        int FirstWord = -1;
        bool Used = false;
        bool Continues = false;
    };

    static size_t SlotOf(uint32_t h, size_t len, size_t mask) {
        return (h ^ (static_cast<uint32_t>(len) * 0x9E3779B1u)) & mask;
    }

    void Insert(uint32_t h, size_t len, int id) {
        if ((FUsed + 1) * 2 > FSlots.size()) Grow();
        const size_t mask = FSlots.size() - 1;
        size_t i = SlotOf(h, len, mask);
        while (FSlots[i].Used && !(FSlots[i].Hash == h && FSlots[i].Length == len)) i = (i + 1) & mask;
        TSlot& slot = FSlots[i];
        if (!slot.Used) {
            slot.Used = true;
            slot.Hash = h;
            slot.Length = static_cast<uint32_t>(len);
            ++FUsed;
        }
        if (id < 0) slot.Continues = true;
        else {
            FWords[static_cast<size_t>(id)].NextSameKey = slot.FirstWord;
            slot.FirstWord = id;
        }
    }

    void Grow() {
        std::vector<TSlot> slots(FSlots.size() * 2);
        const size_t mask = slots.size() - 1;
        for (const TSlot& s : FSlots) {
            if (!s.Used) continue;
            size_t i = SlotOf(s.Hash, s.Length, mask);
            while (slots[i].Used) i = (i + 1) & mask;
            slots[i] = s;
        }
        FSlots.swap(slots);
    }

    // Looks up the piece run [a, b), followed by a delimiter; true when longer runs from a
    // may still match a word.
    bool Visit(uint32_t h, size_t a, size_t b) {
        const size_t len = b - a;
        const size_t mask = FSlots.size() - 1;
        size_t i = SlotOf(h, len, mask);
        while (FSlots[i].Used) {
            const TSlot& slot = FSlots[i];
            if (slot.Hash == h && slot.Length == len) {
                for (int id = slot.FirstWord; id >= 0; id = FWords[static_cast<size_t>(id)].NextSameKey) {
                    TWord& word = FWords[static_cast<size_t>(id)];
                    if (std::memcmp(word.Text, FText + a, len) == 0) Counted(word, a);
                }
                return slot.Continues;
            }
            i = (i + 1) & mask;
        }
        return false;
    }

    void PrepareSkips(TWord& word) {
        const size_t m = word.Length;
        const uchar* cls = CharClasses();
        // Borders by the prefix function; a shift d with a border of m-d, and the shift m.
        std::vector<size_t> fail(m, 0);
        for (size_t i = 1, k = 0; i < m; ++i) {
            while (k > 0 && word.Text[i] != word.Text[k]) k = fail[k - 1];
            if (word.Text[i] == word.Text[k]) ++k;
            fail[i] = k;
        }
        for (size_t b = fail[m - 1]; b > 0; b = fail[b - 1]) word.Shifts.push_back(m - b);
        word.Shifts.push_back(m);
        for (const size_t d : word.Shifts)
            if (cls[U8(word.Text[d - 1])] & ccCountDelim) word.FrontShifts.push_back(d);
        word.Replay = !word.FrontShifts.empty();
    }

    bool OccursAt(const TWord& word, size_t at) const {
        return at + word.Length <= FEnd && std::memcmp(FText + at, word.Text, word.Length) == 0;
    }

    // The nearest earlier occurrence within the word's length, or npos.
    size_t PreviousOccurrence(const TWord& word, size_t at) const {
        for (const size_t d : word.Shifts)
            if (d <= at && OccursAt(word, at - d)) return at - d;
        return npos;
    }

    void Counted(TWord& word, size_t at) {
        if (!word.Replay) {
            ++word.Count;
            return;
        }
        bool blocked = false;
        for (const size_t d : word.FrontShifts)
            if (d <= at && OccursAt(word, at - d)) {
                blocked = true;
                break;
            }
        if (!blocked) {
            ++word.Count;
            word.LastOccurrence = at;
            word.NextSearch = at + word.Length + 1;
            return;
        }
        // The chain of occurrences, each within the word's length of the next, back to one
        // already resolved or to one that the search certainly finds.
        std::vector<size_t> chain{at};
        bool resumed = false;
        size_t x = at;
        while (true) {
            const size_t y = PreviousOccurrence(word, x);
            if (y == npos) break;
            if (y == word.LastOccurrence) {
                resumed = true;
                break;
            }
            chain.push_back(y);
            x = y;
        }
        size_t next = resumed ? word.NextSearch : 0;
        bool found = false;
        for (size_t k = chain.size(); k-- > 0;) {
            found = chain[k] >= next;
            if (found) next = chain[k] + word.Length + 1;
        }
        if (found) ++word.Count;
        word.LastOccurrence = at;
        word.NextSearch = next;
    }

    const char* FText;
    size_t FEnd;
    std::vector<TSlot> FSlots;
    size_t FUsed = 0;
    std::vector<TWord> FWords;
};

void FastCountDistinctWordOccurrences(const std::string& text, TStringList& wordList,
                                      TWordListStageHost& host) {
    const int count = wordList.Count();
    if (count == 0) return;
    // Every CR LF becomes one blank.
    std::string c;
    c.reserve(text.size());
    {
        const char* s = text.data();
        const size_t n = text.size();
        size_t i = 0;
        while (i < n) {
            const size_t at = FindByte(s, i, n, '\r');
            const size_t to = at == npos ? n : at;
            c.append(s + i, to - i);
            if (at == npos) break;
            if (at + 1 < n && s[at + 1] == '\n') {
                c.push_back(' ');
                i = at + 2;
            } else {
                c.push_back('\r');
                i = at + 1;
            }
        }
    }
    const size_t len = c.size();
    size_t zeroAt = FindByte(c.data(), 0, len, '\0');
    if (zeroAt == npos) zeroAt = len;

    // The distinct words, each counted once.
    TDistinctTexts distinct;
    std::vector<int> entryWord(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const std::string& w = wordList[i];
        entryWord[static_cast<size_t>(i)] = distinct.Add(w.data(), w.size());
    }
    std::vector<int> result(static_cast<size_t>(distinct.Count()), -1);
    if (len > 1) {
        TOccurrenceCounter counter(c.data(), zeroAt);
        std::vector<int> counterId(static_cast<size_t>(distinct.Count()), -1);
        for (int id = 0; id < distinct.Count(); ++id) {
            const size_t n = distinct.Length(id);
            if (n == 0 || n >= len) continue;
            counterId[static_cast<size_t>(id)] = counter.AddWord(distinct.Data(id), n);
        }
        counter.Run();
        for (int id = 0; id < distinct.Count(); ++id)
            if (counterId[static_cast<size_t>(id)] >= 0)
                result[static_cast<size_t>(id)] = counter.Count(counterId[static_cast<size_t>(id)]);
    }
    for (int i = 0; i < count; ++i) {
        wordList.PutInteger(i, result[static_cast<size_t>(entryWord[static_cast<size_t>(i)])]);
        if (host.StageTerminated()) break;
    }
}

}  // namespace

const TWordListStageSet FastWordListStages = {
    FastRemoveStyleSheetSections,
    FastRemoveScriptSections,
    FastRemoveCRLFs,
    FastRemoveCommentedSections,
    FastRetrieveTitle,
    FastRemoveHTMLTags,
    FastReplaceHTMLSpecialChars,
    FastGenerateWordsList,
    FastRemoveWordsToSuppress,
    FastRemoveRedundantBlanks,
    FastCountDistinctWordOccurrences,
};

}  // namespace ruk
