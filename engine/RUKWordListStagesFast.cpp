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
#include <string_view>
#include <thread>
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
    if (to > from && to - from >= 16) {
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

// Moves n bytes down to dst (dst <= src, the ranges may overlap); short moves inline, since
// the stretches between tags are mostly a few bytes.
inline void MoveDown(char* dst, const char* src, size_t n) {
    if (dst == src) return;
    if (n <= 32) {
        for (size_t i = 0; i < n; ++i) dst[i] = src[i];
    } else {
        std::memmove(dst, src, n);
    }
}

// Byte comparisons inline: the word stages compare millions of short words, where a call into
// the C library costs more than the comparison.
inline bool SameBytes(const char* a, const char* b, size_t n) {
    for (; n >= 4; a += 4, b += 4, n -= 4) {
        uint32_t x, y;
        std::memcpy(&x, a, 4);
        std::memcpy(&y, b, 4);
        if (x != y) return false;
    }
    for (; n > 0; ++a, ++b, --n)
        if (*a != *b) return false;
    return true;
}

inline int CompareBytes(const char* a, const char* b, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return U8(a[i]) < U8(b[i]) ? -1 : 1;
    return 0;
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
    bool sections = true;
    for (int b = 0; b < 256 && sections; ++b) {
        if (env.Upper[env.Lower[b]] != env.Upper[b]) sections = false;
        for (const char* p = "<stylecript"; *p && sections; ++p) {
            if (env.Upper[env.Lower[b]] == env.Upper[U8(*p)] && env.Lower[b] != U8(*p)) sections = false;
        }
    }
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

// A search for a fixed string, compared through a byte map (case-insensitive searches use the
// lower-case map). When only the first character itself maps to it, the search looks for that
// byte, and the second and third characters sift sixteen places at a time when at most two
// bytes map to each of them.
class TPatternFinder {
public:
    TPatternFinder(const char* pat, const uchar* map) : FPat(pat), FLen(std::strlen(pat)), FMap(map) {
        FFirstAlone = true;
        for (int b = 0; b < 256; ++b)
            if (map[b] == U8(pat[0]) && b != U8(pat[0])) FFirstAlone = false;
        FSifts = FFirstAlone && FLen >= 3;
        for (size_t k = 1; k <= 2 && FSifts; ++k) {
            int found = 0;
            for (int b = 0; b < 256; ++b) {
                if (map[b] != U8(pat[k])) continue;
                if (found == 2) {
                    FSifts = false;
                    break;
                }
                FMatch[k - 1][found++] = static_cast<char>(b);
            }
            if (found == 1) FMatch[k - 1][1] = FMatch[k - 1][0];
            if (found == 0) FSifts = false;
        }
    }

    size_t Length() const { return FLen; }

    // First index in [from, n) where the whole string matches, or npos.
    size_t Find(const char* s, size_t from, size_t n) const {
        if (from >= n || n - from < FLen) return npos;
        size_t i = from;
        const size_t last = n - FLen;  // the last index where a match fits
        if (FSifts) {
            const __m128i c0 = _mm_set1_epi8(FPat[0]);
            const __m128i c1a = _mm_set1_epi8(FMatch[0][0]), c1b = _mm_set1_epi8(FMatch[0][1]);
            const __m128i c2a = _mm_set1_epi8(FMatch[1][0]), c2b = _mm_set1_epi8(FMatch[1][1]);
            while (i + 16 <= last + 1 && i + 18 <= n) {
                const __m128i x0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
                const __m128i x1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 1));
                const __m128i x2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 2));
                __m128i hit = _mm_cmpeq_epi8(x0, c0);
                hit = _mm_and_si128(hit, _mm_or_si128(_mm_cmpeq_epi8(x1, c1a), _mm_cmpeq_epi8(x1, c1b)));
                hit = _mm_and_si128(hit, _mm_or_si128(_mm_cmpeq_epi8(x2, c2a), _mm_cmpeq_epi8(x2, c2b)));
                unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit));
                while (mask != 0) {
                    const size_t at = i + static_cast<size_t>(__builtin_ctz(mask));
                    if (MatchesAt(s, at)) return at;
                    mask &= mask - 1;
                }
                i += 16;
            }
        }
        if (!FFirstAlone) {
            for (; i <= last; ++i)
                if (FMap[U8(s[i])] == U8(FPat[0]) && MatchesAt(s, i)) return i;
            return npos;
        }
        while (i <= last) {
            i = FindByte(s, i, last + 1, FPat[0]);
            if (i == npos) return npos;
            if (MatchesAt(s, i)) return i;
            ++i;
        }
        return npos;
    }

private:
    bool MatchesAt(const char* s, size_t at) const {
        for (size_t k = 1; k < FLen; ++k)
            if (FMap[U8(s[at + k])] != U8(FPat[k])) return false;
        return true;
    }

    const char* FPat;
    size_t FLen;
    const uchar* FMap;
    bool FFirstAlone = true;
    bool FSifts = false;
    char FMatch[2][2] = {};
};

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
        const TPatternFinder openFinder(open, FMap), closeFinder(close, FMap);
        const size_t lc = closeFinder.Length();
        TCache openCache, closeCache;
        int passes = 0;
        while (true) {
            const size_t p = FirstInMoment(open, openFinder, openCache);
            if (p == npos) break;
            const size_t e = FirstInMoment(close, closeFinder, closeCache);
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
    size_t FirstInMoment(const char* pat, const TPatternFinder& finder, TCache& cache) {
        const size_t len = finder.Length();
        for (size_t q = FW >= len - 1 ? FW - (len - 1) : 0; q < FW; ++q)
            if (MatchesAt(q, pat, len)) return q;
        if (!cache.Valid || (cache.At != npos && cache.At < FR)) {
            cache.At = finder.Find(FS, FR, FZ);
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
    const size_t n = text.size();
    char* s = text.data();
    // Which of the three the text holds, and how many tabs.
    bool hasCR = false, hasLF = false;
    size_t tabs = 0;
    size_t i = 0;
    {
        const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n'), tab = _mm_set1_epi8('\t');
        __m128i anyCR = _mm_setzero_si128(), anyLF = _mm_setzero_si128();
        for (; i + 16 <= n; i += 16) {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
            anyCR = _mm_or_si128(anyCR, _mm_cmpeq_epi8(x, cr));
            anyLF = _mm_or_si128(anyLF, _mm_cmpeq_epi8(x, lf));
            const int t = _mm_movemask_epi8(_mm_cmpeq_epi8(x, tab));
            if (t != 0) tabs += static_cast<size_t>(__builtin_popcount(static_cast<unsigned>(t)));
        }
        hasCR = _mm_movemask_epi8(anyCR) != 0;
        hasLF = _mm_movemask_epi8(anyLF) != 0;
    }
    for (; i < n; ++i) {
        if (s[i] == '\r') hasCR = true;
        else if (s[i] == '\n') hasLF = true;
        else if (s[i] == '\t') ++tabs;
    }
    const bool cr = !host.StageTerminated() && hasCR;
    const bool lf = !host.StageTerminated() && hasLF;
    const bool tab = !host.StageTerminated() && tabs > 0;
    if (!cr && !lf && !tab) return;
    if (!tab) {
        const __m128i blank = _mm_set1_epi8(' ');
        const __m128i crs = _mm_set1_epi8(cr ? '\r' : ' '), lfs = _mm_set1_epi8(lf ? '\n' : ' ');
        size_t k = 0;
        for (; k + 16 <= n; k += 16) {
            __m128i* at = reinterpret_cast<__m128i*>(s + k);
            const __m128i x = _mm_loadu_si128(at);
            const __m128i hit = _mm_or_si128(_mm_cmpeq_epi8(x, crs), _mm_cmpeq_epi8(x, lfs));
            if (_mm_movemask_epi8(hit) != 0)
                _mm_storeu_si128(at, _mm_or_si128(_mm_andnot_si128(hit, x), _mm_and_si128(hit, blank)));
        }
        for (; k < n; ++k)
            if ((cr && s[k] == '\r') || (lf && s[k] == '\n')) s[k] = ' ';
        return;
    }
    // Tabs grow the text: fill from the back.
    text.resize(n + 2 * tabs);
    s = text.data();
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
    const size_t p = TPatternFinder("<title>", lower).Find(text.data(), 0, end);
    if (p == npos) return;
    const size_t e = TPatternFinder("</title>", lower).Find(text.data(), 0, end);
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
    std::string tag;
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
            tag.assign(s + x, y - x + 1);
            host.ReportTag(tag, static_cast<int>(p), static_cast<int>(e));
        } catch (...) {
            finish();
            throw;
        }
        if (x > r) MoveDown(s + w, s + r, x - r);
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

// A cheap running hash of a byte string (one rotate and one exclusive-or a byte, so that a
// long text is hashed piece by piece at little cost); Mix spreads it over a table. Equal
// hashes are only candidates: the bytes are always compared.
constexpr uint32_t HashSeed = 0x811C9DC5u;
inline uint32_t HashStep(uint32_t h, char c) { return ((h << 5) | (h >> 27)) ^ U8(c); }
inline uint32_t Mix(uint32_t h) {
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return h;
}

inline uint32_t HashBytes(const char* p, size_t n) {
    uint32_t h = HashSeed;
    for (size_t i = 0; i < n; ++i) h = HashStep(h, p[i]);
    return h;
}

// Distinct byte strings in the order first met, found again by hash.
class TDistinctTexts {
public:
    // expected: how many texts to make room for at once.
    explicit TDistinctTexts(size_t expected = 0) : FSlots(TableSize(expected)) {
        FStart.push_back(0);
        FStart.reserve(expected + 1);
        FBytes.reserve(expected * 8);
    }

    // Index of the text, added when new.
    int Add(const char* p, size_t n) { return Add(p, n, HashBytes(p, n)); }

    // The same with the text's HashBytes already at hand.
    int Add(const char* p, size_t n, uint32_t h) {
        const size_t mask = FSlots.size() - 1;
        size_t slot = Mix(h) & mask;
        while (FSlots[slot].Id >= 0) {
            const TSlot& s = FSlots[slot];
            if (s.Hash == h && Length(s.Id) == n && SameBytes(Data(s.Id), p, n)) return s.Id;
            slot = (slot + 1) & mask;
        }
        const int id = Count();
        FBytes.insert(FBytes.end(), p, p + n);
        FStart.push_back(FBytes.size());
        FSlots[slot] = TSlot{h, id};
        if (static_cast<size_t>(Count()) * 2 > FSlots.size()) Grow();
        return id;
    }

    int Count() const { return static_cast<int>(FStart.size()) - 1; }
    const char* Data(int id) const { return FBytes.data() + FStart[static_cast<size_t>(id)]; }
    size_t Length(int id) const {
        return FStart[static_cast<size_t>(id) + 1] - FStart[static_cast<size_t>(id)];
    }
    std::string Text(int id) const { return std::string(Data(id), Length(id)); }

private:
    struct TSlot {
        uint32_t Hash = 0;
        int Id = -1;
    };

    static size_t TableSize(size_t expected) {
        size_t size = 1024;
        while (size < expected * 2 + 2) size *= 2;
        return size;
    }

    void Grow() {
        std::vector<TSlot> slots(FSlots.size() * 2);
        const size_t mask = slots.size() - 1;
        for (const TSlot& s : FSlots) {
            if (s.Id < 0) continue;
            size_t slot = Mix(s.Hash) & mask;
            while (slots[slot].Id >= 0) slot = (slot + 1) & mask;
            slots[slot] = s;
        }
        FSlots.swap(slots);
    }

    std::vector<char> FBytes;
    std::vector<size_t> FStart;
    std::vector<TSlot> FSlots;
};

// ---------------------------------------------------------------- sorted lists

// Appends the sort key of the list's comparison (case-insensitive under the user's locale) to
// keys; false when the system gives none.
bool AppendSortKey(const char* p, size_t n, std::vector<char>& keys) {
    if (n == 0 || n > 0x3FFFFFF) return false;
    char buffer[1024];
    int got = LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, p, static_cast<int>(n), buffer,
                           static_cast<int>(sizeof buffer));
    if (got > 0) {
        keys.insert(keys.end(), buffer, buffer + got);
        return true;
    }
    const int need = LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, p, static_cast<int>(n),
                                  nullptr, 0);
    if (need <= 0) return false;
    const size_t at = keys.size();
    keys.resize(at + static_cast<size_t>(need));
    got = LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, p, static_cast<int>(n),
                       keys.data() + at, need);
    if (got <= 0) return false;
    keys.resize(at + static_cast<size_t>(got));
    return true;
}

constexpr size_t MaxParts = 4;

// Runs body(part, from, to) over [0, n) cut into parts, in a few threads at once for large n
// (the system calls of the sort keys and of the comparison take most of the word list's
// time); false when a part raised, the rest of the work done or not.
template <class Body>
bool InParallel(size_t n, Body body) {
    size_t parts = 1;
    if (n >= 8192) {
        SYSTEM_INFO info{};
        GetSystemInfo(&info);
        parts = std::min<size_t>(MaxParts, std::max<DWORD>(1, info.dwNumberOfProcessors));
    }
    std::vector<char> failed(parts, 0);
    auto run = [&](size_t part) {
        try {
            body(part, n * part / parts, n * (part + 1) / parts);
        } catch (...) {
            failed[part] = 1;
        }
    };
    std::vector<std::thread> helpers;
    try {
        for (size_t part = 1; part < parts; ++part) helpers.emplace_back(run, part);
    } catch (...) {
        // No thread to spare: the rest is done here.
        for (size_t part = helpers.size() + 1; part < parts; ++part) run(part);
    }
    run(0);
    for (std::thread& t : helpers) t.join();
    return std::find(failed.begin(), failed.end(), 1) == failed.end();
}

// The entries that adding the texts one by one, in this order, to an empty sorted list that
// ignores duplicates leaves: of each set of texts that compare equal the first one, in the
// list's order. The list's comparison orders texts the way their sort keys do; the keys sort
// the texts at once, and the comparison itself then confirms every neighbour. Should one not
// agree, the texts are sorted with the comparison itself.
std::vector<std::string> SortedFirstSpellings(const TDistinctTexts& distinct) {
    const size_t n = static_cast<size_t>(distinct.Count());
    // The keys, in one buffer per part of the work.
    struct TKey {
        uint64_t Prefix;  // the first eight bytes, big-endian: most comparisons end here
        const char* Bytes;
        uint32_t Length;
        int Id;
    };
    std::vector<TKey> keys(n);
    std::vector<std::vector<char>> buffers(MaxParts);
    std::vector<std::pair<size_t, size_t>> spans(n);  // buffer, offset
    bool keyed = InParallel(n, [&](size_t b, size_t from, size_t to) {
        std::vector<char>& buffer = buffers[b];
        buffer.reserve((to - from) * 24);
        for (size_t i = from; i < to; ++i) {
            const size_t at = buffer.size();
            if (!AppendSortKey(distinct.Data(static_cast<int>(i)), distinct.Length(static_cast<int>(i)), buffer))
                throw Exception("no sort key");
            spans[i] = {b, at};
            keys[i].Length = static_cast<uint32_t>(buffer.size() - at);
        }
    });
    std::vector<int> firsts;  // of each group of equal keys, the text met first, in key order
    std::vector<std::string> texts(n);
    for (size_t i = 0; i < n; ++i) texts[i] = distinct.Text(static_cast<int>(i));
    if (keyed) {
        for (size_t i = 0; i < n; ++i) {
            TKey& k = keys[i];
            k.Bytes = buffers[spans[i].first].data() + spans[i].second;
            k.Id = static_cast<int>(i);
            k.Prefix = 0;
            for (size_t j = 0; j < 8; ++j)
                k.Prefix = (k.Prefix << 8) | (j < k.Length ? U8(k.Bytes[j]) : 0u);
        }
        auto compareKeys = [](const TKey& a, const TKey& b) {
            if (a.Prefix != b.Prefix) return a.Prefix < b.Prefix ? -1 : 1;
            const int c = CompareBytes(a.Bytes, b.Bytes, std::min(a.Length, b.Length));
            if (c != 0) return c;
            return a.Length == b.Length ? 0 : (a.Length < b.Length ? -1 : 1);
        };
        std::sort(keys.begin(), keys.end(), [&](const TKey& a, const TKey& b) {
            const int c = compareKeys(a, b);
            return c != 0 ? c < 0 : a.Id < b.Id;
        });
        std::vector<size_t> groupStart;  // into keys
        for (size_t i = 0; i < n; ++i)
            if (i == 0 || compareKeys(keys[i], keys[i - 1]) != 0) groupStart.push_back(i);
        groupStart.push_back(n);
        const size_t groups = groupStart.size() - 1;
        auto textAt = [&](size_t i) -> const std::string& { return texts[static_cast<size_t>(keys[i].Id)]; };
        const bool agrees = InParallel(groups, [&](size_t, size_t from, size_t to) {
            for (size_t g = from; g < to; ++g) {
                const std::string& first = textAt(groupStart[g]);
                for (size_t j = groupStart[g] + 1; j < groupStart[g + 1]; ++j)
                    if (AnsiCompareText(first, textAt(j)) != 0) throw Exception("keys disagree");
                if (g > 0 && AnsiCompareText(textAt(groupStart[g - 1]), first) >= 0) throw Exception("keys disagree");
            }
        });
        if (agrees)
            for (size_t g = 0; g < groups; ++g) firsts.push_back(keys[groupStart[g]].Id);
    }
    if (firsts.empty()) {
        std::vector<int> order(n);
        for (size_t i = 0; i < n; ++i) order[i] = static_cast<int>(i);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return AnsiCompareText(texts[static_cast<size_t>(a)], texts[static_cast<size_t>(b)]) < 0;
        });
        for (const int id : order) {
            if (!firsts.empty() &&
                AnsiCompareText(texts[static_cast<size_t>(firsts.back())], texts[static_cast<size_t>(id)]) == 0)
                continue;
            firsts.push_back(id);
        }
    }
    std::vector<std::string> result;
    result.reserve(firsts.size());
    for (const int id : firsts) result.push_back(std::move(texts[static_cast<size_t>(id)]));
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

// ListedForm of a word that holds a punctuation mark, a quote or bracket, white space or a
// zero byte (the classes in any).
std::string_view ListedFormOfMarked(const char* p, size_t n, std::string& scratch, uchar any) {
    const uchar* cls = CharClasses();
    std::string_view out(p, n);
    if (any & (ccPunct | ccZero)) {
        size_t z = 0;
        while (z < n && p[z] != '\0') ++z;
        size_t a = 0, b = z;
        while (a < z && (cls[U8(p[a])] & ccPunct)) ++a;
        if (a < z)
            while (cls[U8(p[b - 1])] & ccPunct) --b;
        if (z > 0 && (a > 0 || b < z)) out = std::string_view(p + a, b - a);
    }
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
        if (orphanCount > 0) {
            scratch.assign(out.data(), out.size());
            for (int k = 0; k < orphanCount; ++k) {
                const size_t at = scratch.find(orphans[k]);
                if (at != std::string::npos) scratch.erase(at, 1);
            }
            out = scratch;
        }
    }
    for (const char c : out)
        if (!(cls[U8(c)] & ccWhite)) return out;
    return std::string_view();
}

// What a walked word becomes before it is listed: the punctuation marks trimmed from both
// ends of its zero-terminated part (the trim reports success only when it removed something;
// then the trimmed part is the result, else the word as it was), then one occurrence of each
// unbalanced quote or bracket removed. Empty when the result is empty or white space only.
// Most words need none of it and are handed back in place; scratch holds the others. hash
// receives HashBytes of the result.
// The same for a word whose classes (any) and HashBytes (h) are already at hand.
std::string_view ListedFormOfScanned(const char* p, size_t n, uchar any, uint32_t h, std::string& scratch,
                                     uint32_t& hash) {
    if ((any & (ccPunct | ccPair | ccZero | ccWhite)) == 0) {
        hash = h;
        return std::string_view(p, n);
    }
    const std::string_view listed = ListedFormOfMarked(p, n, scratch, any);
    hash = HashBytes(listed.data(), listed.size());
    return listed;
}

std::string_view ListedForm(const char* p, size_t n, std::string& scratch, uint32_t& hash) {
    const uchar* cls = CharClasses();
    uchar any = 0;
    uint32_t h = HashSeed;
    for (size_t i = 0; i < n; ++i) {
        any |= cls[U8(p[i])];
        h = HashStep(h, p[i]);
    }
    return ListedFormOfScanned(p, n, any, h, scratch, hash);
}

// First index in [from, to) that does not hold a blank, or to.
inline size_t SkipBlanks(const char* s, size_t from, size_t to) {
    size_t i = from;
    if (i < to && s[i] != ' ') return i;
    const __m128i blank = _mm_set1_epi8(' ');
    while (i + 16 <= to) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const unsigned other = ~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(x, blank))) & 0xFFFFu;
        if (other != 0) return i + static_cast<size_t>(__builtin_ctz(other));
        i += 16;
    }
    while (i < to && s[i] == ' ') ++i;
    return i;
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
    const uchar* cls = CharClasses();
    std::string scratch;
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
        const size_t i = SkipBlanks(s, from, n - 1);
        if (i == n - 1) {
            literal = true;
            copyFrom = from == 0 ? 0 : from - 1;
            word.assign(s + from, n - from);
            break;
        }
        // The word runs to the next blank before the last position, else to the end; its
        // classes and hash on the way.
        uchar any = 0;
        uint32_t h = HashSeed;
        size_t end = i;
        while (end < n - 1 && s[end] != ' ') {
            any |= cls[U8(s[end])];
            h = HashStep(h, s[end]);
            ++end;
        }
        const bool last = end == n - 1;
        if (last) {
            any |= cls[U8(s[end])];
            h = HashStep(h, s[end]);
            end = n;
        }
        if (any & ccZero) {
            literal = true;
            copyFrom = i;
            word.assign(s + i, end - i);
            break;
        }
        uint32_t hash;
        const std::string_view listed = ListedFormOfScanned(s + i, end - i, any, h, scratch, hash);
        if (!listed.empty()) add(listed, hash);
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
        uint32_t hash;
        const std::string_view listed = ListedForm(word.data(), word.size(), scratch, hash);
        if (!listed.empty()) add(listed, hash);
        word = std::move(next);
    }
}

void FastGenerateWordsList(const std::string& text, TStringList& wordList) {
    if (!Env().WordsExact || !CaseMappingHolds(text)) {
        LiteralWordListStages.GenerateWordsList(text, wordList);
        return;
    }
    if (!wordList.Sorted() || wordList.Duplicates() != TDuplicates::dupIgnore || wordList.Count() != 0) {
        WalkWords(text, [&](std::string_view word, uint32_t) { wordList.Add(std::string(word)); });
        return;
    }
    TDistinctTexts distinct;
    WalkWords(text, [&](std::string_view word, uint32_t hash) { distinct.Add(word.data(), word.size(), hash); });
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
//
// Without a CR or an LF in the text (as after the line-break stage) every line end but the
// last one takes the place of the two blanks it comes from, so the result is written over the
// text itself, behind the reading; else into a new text.
void FastRemoveRedundantBlanks(std::string& text) {
    const size_t n = text.size();
    const bool inPlace = FindByte(text.data(), 0, n, '\r') == npos && FindByte(text.data(), 0, n, '\n') == npos;
    std::string out;
    if (inPlace) text.reserve(n + 2);  // room for the last line end
    else out.reserve(n + n / 8 + 16);
    char* const base = text.data();
    const char* s = base;
    size_t written = 0;  // in place: the result so far, in text[0, written)
    size_t lineStart = 0;
    size_t i = 0;
    bool lineHasText = false;
    const uchar* cls = CharClasses();
    auto endLine = [&](size_t lineEnd) {
        if (lineHasText) {
            if (inPlace) {
                MoveDown(base + written, s + lineStart, lineEnd - lineStart);
                written += lineEnd - lineStart;
                base[written++] = '\r';
                base[written++] = '\n';
            } else {
                out.append(s + lineStart, lineEnd - lineStart);
                out.append("\r\n", 2);
            }
        }
        lineHasText = false;
    };
    const __m128i blank = _mm_set1_epi8(' '), tab = _mm_set1_epi8('\t');
    const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
    while (i < n) {
        // Sixteen bytes at a time up to the next line end (a pair of blanks, a CR or an LF),
        // noting whether the line holds more than blanks and tabs.
        if (i + 17 <= n) {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
            const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 1));
            const __m128i isBlank = _mm_cmpeq_epi8(x, blank);
            const __m128i ends = _mm_or_si128(_mm_and_si128(isBlank, _mm_cmpeq_epi8(next, blank)),
                                              _mm_or_si128(_mm_cmpeq_epi8(x, cr), _mm_cmpeq_epi8(x, lf)));
            const unsigned endMask = static_cast<unsigned>(_mm_movemask_epi8(ends));
            const unsigned textMask =
                ~static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(isBlank, _mm_cmpeq_epi8(x, tab)))) & 0xFFFFu;
            if (endMask == 0) {
                if (textMask != 0) lineHasText = true;
                i += 16;
                continue;
            }
            const unsigned k = static_cast<unsigned>(__builtin_ctz(endMask));
            if (textMask & ((1u << k) - 1)) lineHasText = true;
            i += k;
        }
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
    if (inPlace && lineHasText) {
        // The last line: its line end has no blanks to take the place of.
        // (A shorter text is cut only after the move, a longer one grown before it.)
        const size_t lineLength = n - lineStart;
        const size_t size = written + lineLength + 2;
        if (size > n) text.resize(size);
        char* t = text.data();
        std::memmove(t + written, t + lineStart, lineLength);
        t[written + lineLength] = '\r';
        t[written + lineLength + 1] = '\n';
        if (size < n) text.resize(size);
        return;
    }
    endLine(n);
    if (inPlace) text.resize(written);
    else text.swap(out);
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
    // words: how many words are to come, to make room for them and their prefixes at once.
    TOccurrenceCounter(const char* text, size_t zeroAt, size_t words)
        : FText(text), FEnd(zeroAt), FSlots(TableSize(words)) {
        FWords.reserve(words);
        FReplays.reserve(words);
        static const char delimiters[] = " ,;.:!?=\"+([{)]}";
        static_assert(sizeof(delimiters) - 1 == 16, "one bit for each count delimiter");
        for (int k = 0; k < 16; ++k) FDelimiterBit[U8(delimiters[k])] = static_cast<uint16_t>(1u << k);
    }

    static size_t TableSize(size_t words) {
        size_t size = 1024;
        while (size * 2 < words * 3 * 3 / 2 + 3) size *= 2;  // a word and half a prefix each, at 2/3 load
        return size;
    }

    // Adds a word of 1 to length-1 bytes; returns its index.
    int AddWord(const char* p, size_t n) {
        size_t entries = 1;
        for (size_t k = 0; k < n; ++k)
            if (FDelimiterBit[U8(p[k])]) ++entries;
        while ((FUsed + entries) * 3 > FSlots.size() * 2) Grow();
        const int id = static_cast<int>(FWords.size());
        FWords.push_back(TWord{p, static_cast<uint32_t>(n), 0, -1, false});
        FReplays.emplace_back();
        uint32_t h = HashSeed;
        bool delimited = false;
        for (size_t k = 0; k < n; ++k) {
            if (const uint16_t bit = FDelimiterBit[U8(p[k])]) {
                Insert(h, k, -1, bit);
                delimited = true;
            }
            h = Step(h, p[k]);
        }
        Insert(h, n, id, 0);
        if (delimited) PrepareSkips(id);
        return id;
    }

    void Run() {
        const char* s = FText;
        const size_t z = FEnd;
        size_t pos = 0;
        while (true) {
            const size_t a = pos;
            uint32_t h = HashSeed;
            while (pos < z && !FDelimiterBit[U8(s[pos])]) h = Step(h, s[pos++]);
            if (pos >= z) break;
            uint16_t next = Visit(h, a, pos);
            if (next & FDelimiterBit[U8(s[pos])]) {
                uint32_t h2 = h;
                size_t q = pos;
                while (true) {
                    h2 = Step(h2, s[q++]);
                    while (q < z && !FDelimiterBit[U8(s[q])]) h2 = Step(h2, s[q++]);
                    if (q >= z) break;
                    next = Visit(h2, a, q);
                    if (!(next & FDelimiterBit[U8(s[q])])) break;
                }
            }
            ++pos;
        }
    }

    int Count(int id) const { return FWords[static_cast<size_t>(id)].Count; }

private:
    static uint32_t Step(uint32_t h, char c) { return HashStep(h, c); }

    struct TWord {
        const char* Text;
        uint32_t Length;
        int Count;
        int NextSameKey;  // the next word in the same slot
        bool Replay;      // its search's skipping can hide a counted occurrence
    };

    // What the replay of the skipping needs of a word, kept apart from the words.
    struct TReplay {
        // In FShifts from ShiftsFrom: the shifts at which the word meets itself, ascending,
        // and after them those of them that reach over a delimiter in front.
        uint32_t ShiftsFrom = 0;
        uint32_t ShiftCount = 0;
        uint32_t FrontShiftCount = 0;
        size_t LastOccurrence = npos;  // last occurrence resolved, and where the search
        size_t NextSearch = 0;         // went on from there
    };

    // Eight bytes a slot, so that the table stays small in the cache: a check of the mixed
    // hash of the piece run and its length, the delimiters with which some word goes on after
    // it, and the first word with that hash (+1; 0: none).
    struct TSlot {
        uint16_t Check = 0;
        uint16_t Next = 0;
        uint32_t Word = 0;
        bool Empty() const { return Next == 0 && Word == 0; }
    };

    static uint32_t KeyOf(uint32_t h, size_t len) { return Mix(h ^ (static_cast<uint32_t>(len) * 0x9E3779B1u)); }
    static uint16_t CheckOf(uint32_t key) { return static_cast<uint16_t>(key >> 16); }

    // The table has room: AddWord makes it before a word's entries go in.
    void Insert(uint32_t h, size_t len, int id, uint16_t next) {
        const uint32_t key = KeyOf(h, len);
        const size_t mask = FSlots.size() - 1;
        size_t i = key & mask;
        // Slots are shared by check, not by the exact run: the words are compared anyway.
        while (!FSlots[i].Empty() && FSlots[i].Check != CheckOf(key)) i = (i + 1) & mask;
        TSlot& slot = FSlots[i];
        if (slot.Empty()) {
            slot.Check = CheckOf(key);
            ++FUsed;
        }
        slot.Next |= next;
        if (id >= 0) {
            FWords[static_cast<size_t>(id)].NextSameKey = static_cast<int>(slot.Word) - 1;
            slot.Word = static_cast<uint32_t>(id + 1);
        }
    }

    void Grow() {
        // The slot of an entry follows from its key, which the slot does not keep whole:
        // the table is built again from the words.
        std::vector<TSlot> old;
        old.swap(FSlots);
        FSlots.assign(old.size() * 2, TSlot{});
        FUsed = 0;
        for (TWord& w : FWords) w.NextSameKey = -1;
        const size_t words = FWords.size();
        for (size_t id = 0; id < words; ++id) {
            const TWord w = FWords[id];
            uint32_t h = HashSeed;
            for (size_t k = 0; k < w.Length; ++k) {
                if (const uint16_t bit = FDelimiterBit[U8(w.Text[k])]) Insert(h, k, -1, bit);
                h = Step(h, w.Text[k]);
            }
            Insert(h, w.Length, static_cast<int>(id), 0);
        }
    }

    // Counts the words equal to the piece run [a, b), followed by a delimiter; returns the
    // delimiters with which a longer run from a may still match a word.
    uint16_t Visit(uint32_t h, size_t a, size_t b) {
        const size_t len = b - a;
        const uint32_t key = KeyOf(h, len);
        const uint16_t check = CheckOf(key);
        const size_t mask = FSlots.size() - 1;
        for (size_t i = key & mask; !FSlots[i].Empty(); i = (i + 1) & mask) {
            const TSlot& slot = FSlots[i];
            if (slot.Check != check) continue;
            for (int id = static_cast<int>(slot.Word) - 1; id >= 0; id = FWords[static_cast<size_t>(id)].NextSameKey) {
                TWord& word = FWords[static_cast<size_t>(id)];
                if (word.Length == len && SameBytes(word.Text, FText + a, len)) Counted(id, a);
            }
            return slot.Next;
        }
        return 0;
    }

    // Only a word that holds a delimiter can have an occurrence hidden by the search's
    // skipping (see above); for it, the shifts.
    void PrepareSkips(int id) {
        const TWord& word = FWords[static_cast<size_t>(id)];
        TReplay& replay = FReplays[static_cast<size_t>(id)];
        const size_t m = word.Length;
        // Borders by the prefix function; a shift d with a border of m-d, and the shift m.
        FFail.assign(m, 0);
        for (size_t i = 1, k = 0; i < m; ++i) {
            while (k > 0 && word.Text[i] != word.Text[k]) k = FFail[k - 1];
            if (word.Text[i] == word.Text[k]) ++k;
            FFail[i] = k;
        }
        FScratch.clear();
        for (size_t b = FFail[m - 1]; b > 0; b = FFail[b - 1]) FScratch.push_back(m - b);
        FScratch.push_back(m);
        size_t fronts = 0;
        for (const size_t d : FScratch)
            if (FDelimiterBit[U8(word.Text[d - 1])]) ++fronts;
        if (fronts == 0) return;
        FWords[static_cast<size_t>(id)].Replay = true;
        replay.ShiftsFrom = static_cast<uint32_t>(FShifts.size());
        replay.ShiftCount = static_cast<uint32_t>(FScratch.size());
        replay.FrontShiftCount = static_cast<uint32_t>(fronts);
        FShifts.insert(FShifts.end(), FScratch.begin(), FScratch.end());
        for (const size_t d : FScratch)
            if (FDelimiterBit[U8(word.Text[d - 1])]) FShifts.push_back(d);
    }

    const size_t* Shifts(const TReplay& r) const { return FShifts.data() + r.ShiftsFrom; }
    const size_t* FrontShifts(const TReplay& r) const { return Shifts(r) + r.ShiftCount; }

    bool OccursAt(const TWord& word, size_t at) const {
        return at + word.Length <= FEnd && SameBytes(FText + at, word.Text, word.Length);
    }

    // The nearest earlier occurrence within the word's length, or npos.
    size_t PreviousOccurrence(const TWord& word, const TReplay& r, size_t at) const {
        const size_t* shifts = Shifts(r);
        for (uint32_t k = 0; k < r.ShiftCount; ++k)
            if (shifts[k] <= at && OccursAt(word, at - shifts[k])) return at - shifts[k];
        return npos;
    }

    void Counted(int id, size_t at) {
        TWord& word = FWords[static_cast<size_t>(id)];
        if (!word.Replay) {
            ++word.Count;
            return;
        }
        TReplay& r = FReplays[static_cast<size_t>(id)];
        bool blocked = false;
        const size_t* fronts = FrontShifts(r);
        for (uint32_t k = 0; k < r.FrontShiftCount && !blocked; ++k)
            blocked = fronts[k] <= at && OccursAt(word, at - fronts[k]);
        if (!blocked) {
            ++word.Count;
            r.LastOccurrence = at;
            r.NextSearch = at + word.Length + 1;
            return;
        }
        // The chain of occurrences, each within the word's length of the next, back to one
        // already resolved or to one that the search certainly finds.
        std::vector<size_t> chain{at};
        bool resumed = false;
        size_t x = at;
        while (true) {
            const size_t y = PreviousOccurrence(word, r, x);
            if (y == npos) break;
            if (y == r.LastOccurrence) {
                resumed = true;
                break;
            }
            chain.push_back(y);
            x = y;
        }
        size_t next = resumed ? r.NextSearch : 0;
        bool found = false;
        for (size_t k = chain.size(); k-- > 0;) {
            found = chain[k] >= next;
            if (found) next = chain[k] + word.Length + 1;
        }
        if (found) ++word.Count;
        r.LastOccurrence = at;
        r.NextSearch = next;
    }

    const char* FText;
    size_t FEnd;
    uint16_t FDelimiterBit[256] = {};
    std::vector<TSlot> FSlots;
    size_t FUsed = 0;
    std::vector<TWord> FWords;
    std::vector<TReplay> FReplays;
    std::vector<size_t> FShifts;
    std::vector<size_t> FFail, FScratch;
};

void FastCountDistinctWordOccurrences(const std::string& text, TStringList& wordList,
                                      TWordListStageHost& host) {
    const int count = wordList.Count();
    if (count == 0) return;
    // Every CR LF becomes one blank: sixteen bytes at a time where no CR stands.
    std::string c(text.size(), '\0');
    {
        const char* s = text.data();
        char* out = c.data();
        const size_t n = text.size();
        const __m128i cr = _mm_set1_epi8('\r');
        size_t i = 0, o = 0;
        while (i < n) {
            if (i + 16 <= n) {
                const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
                if (_mm_movemask_epi8(_mm_cmpeq_epi8(x, cr)) == 0) {
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + o), x);
                    i += 16;
                    o += 16;
                    continue;
                }
            }
            if (s[i] == '\r' && i + 1 < n && s[i + 1] == '\n') {
                out[o++] = ' ';
                i += 2;
            } else {
                out[o++] = s[i++];
            }
        }
        c.resize(o);
    }
    const size_t len = c.size();
    size_t zeroAt = FindByte(c.data(), 0, len, '\0');
    if (zeroAt == npos) zeroAt = len;

    // The distinct words, each counted once.
    TDistinctTexts distinct(static_cast<size_t>(count));
    std::vector<int> entryWord(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const std::string& w = wordList[i];
        entryWord[static_cast<size_t>(i)] = distinct.Add(w.data(), w.size());
    }
    std::vector<int> result(static_cast<size_t>(distinct.Count()), -1);
    if (len > 1) {
        TOccurrenceCounter counter(c.data(), zeroAt, static_cast<size_t>(distinct.Count()));
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
