// The fast stage set: every stage in one or a few left-to-right passes, with the results,
// the events, their positions and the cancellation points of the literal set.
//
// Each stage below states why its single pass gives the same result as the literal rescans.
// Those arguments rest on a few properties of the user's code page and case mapping (the
// code-page model, RUKFastCodePage); where one does not hold, the stage hands its work to the
// literal set, so the results never differ.
#include "RUKWordListStages.h"

#include "RUKFastCodePage.h"
#include "RUKFastHash.h"
#include "RUKFastScan.h"
#include "RUKFastSort.h"
#include "RUKFastWords.h"
#include "RUKGenWordListFromHTMLThreads.h"
#include "RUKHTMLEntities.h"
#include "RUKOccurrenceCounter.h"
#include "SysUtils.h"

#include <emmintrin.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ruk {

namespace {

using namespace fast;

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

using TTextStage = void (*)(std::string& text, TWordListStageHost& host);

// A removal whose strings are found without regard to case; literal is the same stage of the
// literal set.
void RemoveSectionsIgnoringCase(std::string& text, TWordListStageHost& host, const char* open, const char* close,
                                TTextStage literal) {
    if (!Env().SectionsExact || !CaseMappingHolds(text)) {
        literal(text, host);
        return;
    }
    TSectionCutter(text, Env().Lower).Run(host, open, close);
}

void FastRemoveStyleSheetSections(std::string& text, TWordListStageHost& host) {
    RemoveSectionsIgnoringCase(text, host, "<style", "</style>", LiteralWordListStages.RemoveStyleSheetSections);
}

void FastRemoveScriptSections(std::string& text, TWordListStageHost& host) {
    RemoveSectionsIgnoringCase(text, host, "<script", "</script>", LiteralWordListStages.RemoveScriptSections);
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
    uchar Length[HTMLEntityRowCount];
};

const TRowIndex& RowIndex() {
    static const TRowIndex index = [] {
        TRowIndex ix;
        const TFastEnv& env = Env();
        for (int r = 0; r < HTMLEntityRowCount; ++r) {
            ix.Length[r] = static_cast<uchar>(std::strlen(HTMLEntityRows[r].Entity));
            for (int b = 0; b < 256; ++b)
                if (RowByteMatches(env, HTMLEntityRows[r], static_cast<uchar>(b), U8(HTMLEntityRows[r].Entity[1])))
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
    while (rowsDue < HTMLEntityRowCount && !host.StageTerminated()) ++rowsDue;
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
                const THTMLEntityRow& row = HTMLEntityRows[r];
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
            head = HTMLEntityRows[found].Replacement;
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

// ---------------------------------------------------------------- words

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
    // The distinct words, each counted once.
    TDistinctTexts distinct(static_cast<size_t>(count));
    std::vector<int> entryWord(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const std::string& w = wordList[i];
        entryWord[static_cast<size_t>(i)] = distinct.Add(w.data(), w.size());
    }
    const std::vector<int> result = CountOccurrences(c, distinct);
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
