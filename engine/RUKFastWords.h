// The words of the fast stages: the walk over the tokens of the stripped text and what each
// one becomes before it is listed.
#pragma once

#include "RUKFastHash.h"
#include "RUKFastScan.h"
#include "RUKGenWordListFromHTMLThreads.h"
#include "SysUtils.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace ruk::fast {

// Character classes of the word stages.
enum : uchar { ccPunct = 1, ccPair = 2, ccWhite = 4, ccZero = 8 };

// The class bits of every byte.
const uchar* CharClasses();

// ListedForm of a word that holds a punctuation mark, a quote or bracket, white space or a
// zero byte (the classes in any).
std::string_view ListedFormOfMarked(const char* p, size_t n, std::string& scratch, uchar any);

// ListedForm (below) of a word whose classes (any) and HashBytes (h) are already at hand.
inline std::string_view ListedFormOfScanned(const char* p, size_t n, uchar any, uint32_t h, std::string& scratch,
                                            uint32_t& hash) {
    if ((any & (ccPunct | ccPair | ccZero | ccWhite)) == 0) {
        hash = h;
        return std::string_view(p, n);
    }
    const std::string_view listed = ListedFormOfMarked(p, n, scratch, any);
    hash = HashBytes(listed.data(), listed.size());
    return listed;
}

// What a walked word becomes before it is listed: the punctuation marks trimmed from both
// ends of its zero-terminated part (the trim reports success only when it removed something;
// then the trimmed part is the result, else the word as it was), then one occurrence of each
// unbalanced quote or bracket removed. Empty when the result is empty or white space only.
// Most words need none of it and are handed back in place; scratch holds the others. hash
// receives HashBytes of the result.
inline std::string_view ListedForm(const char* p, size_t n, std::string& scratch, uint32_t& hash) {
    const uchar* cls = CharClasses();
    uchar any = 0;
    uint32_t h = HashSeed;
    for (size_t i = 0; i < n; ++i) {
        any |= cls[U8(p[i])];
        h = HashStep(h, p[i]);
    }
    return ListedFormOfScanned(p, n, any, h, scratch, hash);
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

}  // namespace ruk::fast
