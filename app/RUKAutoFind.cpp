#include "RUKAutoFind.h"

#include <windows.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <numeric>
#include <unordered_map>

namespace ruk {

namespace {

// The first places of a keyword tried one by one with a short search each; past them the
// control searches from the last one to the end.
constexpr size_t kPlacesTried = 8;
// Entries of one automaton's transition table (4 bytes each); more keywords than fit are
// searched in several passes.
constexpr size_t kMaxTableEntries = size_t{4} << 20;

bool IsAsciiAlnum(unsigned char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The case folding of the ANSI code page: bytes whose characters the control may take as
// equal without regard to case share a class. Classes join every byte whose character, its
// upper-case or its lower-case form (by the C library and by the system) meet; so the
// folding is never finer than the control's. A class is a word class when all its bytes are
// ASCII letters or digits.
struct TCaseFolding {
    unsigned char Class[256];
    bool WordClass[256];
};

TCaseFolding MakeCaseFolding() {
    int parent[256];
    std::iota(parent, parent + 256, 0);
    auto find = [&](int b) {
        while (parent[b] != b) b = parent[b] = parent[parent[b]];
        return b;
    };
    std::map<wchar_t, int> byteOf;
    for (int b = 1; b < 256; ++b) {
        const char c = static_cast<char>(b);
        wchar_t w = 0;
        if (MultiByteToWideChar(CP_ACP, 0, &c, 1, &w, 1) != 1) continue;
        const wchar_t forms[] = {
            w,
            static_cast<wchar_t>(std::towupper(w)),
            static_cast<wchar_t>(std::towlower(w)),
            static_cast<wchar_t>(reinterpret_cast<UINT_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(w))))),
            static_cast<wchar_t>(reinterpret_cast<UINT_PTR>(CharLowerW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(w))))),
        };
        for (wchar_t form : forms) {
            auto [at, inserted] = byteOf.emplace(form, b);
            if (!inserted) parent[find(b)] = find(at->second);
        }
    }
    TCaseFolding folding{};
    // Each class is named by its smallest byte.
    int smallest[256];
    std::fill(smallest, smallest + 256, 256);
    for (int b = 0; b < 256; ++b) smallest[find(b)] = std::min(smallest[find(b)], b);
    for (int b = 0; b < 256; ++b) folding.Class[b] = static_cast<unsigned char>(smallest[find(b)]);
    std::fill(folding.WordClass, folding.WordClass + 256, true);
    for (int b = 0; b < 256; ++b)
        if (!IsAsciiAlnum(static_cast<unsigned char>(b))) folding.WordClass[folding.Class[b]] = false;
    return folding;
}

const TCaseFolding& CaseFolding() {
    static const TCaseFolding folding = MakeCaseFolding();
    return folding;
}

// An Aho-Corasick automaton over the folded keywords of one pass, with a full transition
// table over the classes that occur in the keywords (0 stands for every other class).
class TKeywordAutomaton {
public:
    TKeywordAutomaton(const unsigned char (&symbol)[256], int width) : FSymbol(symbol), FWidth(width) { NewState(); }

    void Add(const std::string& folded, int pattern) {
        int state = 0;
        for (unsigned char c : folded) {
            const size_t at = static_cast<size_t>(state) * FWidth + FSymbol[c];
            if (FDelta[at] < 0) {
                const int next = NewState();
                FDelta[at] = next;
            }
            state = FDelta[at];
        }
        FPattern[state] = pattern;
    }

    // Completes the table: each missing transition is the one of the longest proper suffix.
    void Build() {
        std::vector<int> fail(FPattern.size(), 0), queue;
        queue.reserve(FPattern.size());
        for (int c = 0; c < FWidth; ++c) {
            int& t = FDelta[c];
            if (t < 0) t = 0;
            else queue.push_back(t);
        }
        for (size_t head = 0; head < queue.size(); ++head) {
            const int s = queue[head];
            for (int c = 0; c < FWidth; ++c) {
                const size_t at = static_cast<size_t>(s) * FWidth + c;
                const int viaFail = FDelta[static_cast<size_t>(fail[s]) * FWidth + c];
                if (FDelta[at] < 0) {
                    FDelta[at] = viaFail;
                } else {
                    const int t = FDelta[at];
                    fail[t] = viaFail;
                    FDict[t] = FPattern[viaFail] >= 0 ? viaFail : FDict[viaFail];
                    queue.push_back(t);
                }
            }
        }
    }

    // Calls report(pattern, end) for every keyword that ends at each position of text.
    template <class F>
    void Scan(const std::string& text, const unsigned char (&fold)[256], F&& report) const {
        unsigned char symbolOf[256];
        for (int b = 0; b < 256; ++b) symbolOf[b] = FSymbol[fold[b]];
        int state = 0;
        const int* delta = FDelta.data();
        for (size_t i = 0; i < text.size(); ++i) {
            state = delta[static_cast<size_t>(state) * FWidth + symbolOf[static_cast<unsigned char>(text[i])]];
            for (int s = FPattern[state] >= 0 ? state : FDict[state]; s > 0; s = FDict[s]) report(FPattern[s], i);
        }
    }

private:
    int NewState() {
        FDelta.resize(FDelta.size() + FWidth, -1);
        FPattern.push_back(-1);
        FDict.push_back(0);
        return static_cast<int>(FPattern.size()) - 1;
    }

    const unsigned char (&FSymbol)[256];
    const int FWidth;
    std::vector<int> FDelta;
    std::vector<int> FPattern;  // the keyword that ends in a state, or -1
    std::vector<int> FDict;     // the next state on the suffix chain where a keyword ends, or 0
};

// Blanks and the punctuation that ends a word for every word-break rule. Not the apostrophe,
// hyphen or underscore, which some rules keep inside a word.
bool IsBlank(char c) {
    switch (c) {
    case ' ': case '\t': case '\r': case '\n': case '.': case ',': case ';': case ':': case '!': case '?':
    case '(': case ')': case '[': case ']': case '{': case '}': case '"': case '<': case '>': case '/':
        return true;
    default:
        return false;
    }
}

// A keyword of ASCII letters and digits (spaces only inside) standing at a place between
// blanks, such punctuation or the text's ends, in ASCII letters of either case: the control's
// whole-word search finds such a place without fail, so it need not be asked. Everything else
// (letters beyond ASCII, other punctuation next to the keyword) is left to the control.
bool CertainPlace(const std::string& text, const std::string& keyword, int at) {
    const size_t start = static_cast<size_t>(at);
    const size_t size = keyword.size();
    if (start + size > text.size()) return false;
    if (start > 0 && !IsBlank(text[start - 1])) return false;
    if (start + size < text.size() && !IsBlank(text[start + size])) return false;
    for (size_t i = 0; i < size; ++i) {
        const unsigned char k = static_cast<unsigned char>(keyword[i]);
        const unsigned char t = static_cast<unsigned char>(text[start + i]);
        if (k == ' ' && i > 0 && i + 1 < size) {
            if (t != ' ') return false;
            continue;
        }
        if (!IsAsciiAlnum(k) || !IsAsciiAlnum(t) || (k | 0x20) != (t | 0x20)) return false;
    }
    return true;
}

bool SingleByteCodePage() {
    CPINFO info{};
    return GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 1;
}

}  // namespace

std::vector<TAutoFindPlaces> AutoFindCandidates(const std::string& text, const std::vector<std::string>& keywords,
                                                size_t maxPlaces) {
    const TCaseFolding& folding = CaseFolding();
    std::vector<TAutoFindPlaces> result(keywords.size());

    // Keywords that fold alike are one pattern.
    std::vector<std::string> patterns;
    std::vector<int> patternOf(keywords.size(), -1);
    std::unordered_map<std::string, int> known;
    bool used[256] = {};
    for (size_t k = 0; k < keywords.size(); ++k) {
        if (keywords[k].empty()) continue;
        std::string folded = keywords[k];
        for (char& c : folded) {
            c = static_cast<char>(folding.Class[static_cast<unsigned char>(c)]);
            used[static_cast<unsigned char>(c)] = true;
        }
        auto [at, inserted] = known.emplace(folded, static_cast<int>(patterns.size()));
        if (inserted) patterns.push_back(std::move(folded));
        patternOf[k] = at->second;
    }
    if (patterns.empty()) return result;

    unsigned char symbol[256] = {};
    int width = 1;
    for (int b = 0; b < 256; ++b)
        if (used[b]) symbol[b] = static_cast<unsigned char>(width++);

    std::vector<TAutoFindPlaces> places(patterns.size());
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    auto report = [&](int pattern, size_t end) {
        const std::string& p = patterns[pattern];
        const size_t start = end + 1 - p.size();
        // An ASCII letter or digit on both sides of a boundary: inside a word for every
        // reading of whole words.
        if (folding.WordClass[static_cast<unsigned char>(p.front())] && start > 0 && IsAsciiAlnum(bytes[start - 1]))
            return;
        if (folding.WordClass[static_cast<unsigned char>(p.back())] && end + 1 < n && IsAsciiAlnum(bytes[end + 1]))
            return;
        TAutoFindPlaces& at = places[pattern];
        if (at.Positions.size() < maxPlaces) at.Positions.push_back(static_cast<int>(start));
        else at.More = true;
    };

    // As many keywords a pass as its table holds.
    size_t first = 0;
    while (first < patterns.size()) {
        TKeywordAutomaton automaton(symbol, width);
        size_t states = 1, last = first;
        while (last < patterns.size() &&
               (last == first || (states + patterns[last].size()) * static_cast<size_t>(width) <= kMaxTableEntries)) {
            automaton.Add(patterns[last], static_cast<int>(last));
            states += patterns[last].size();
            ++last;
        }
        automaton.Build();
        automaton.Scan(text, folding.Class, report);
        first = last;
    }

    for (size_t k = 0; k < keywords.size(); ++k)
        if (patternOf[k] >= 0) result[k] = places[patternOf[k]];
    return result;
}

std::vector<bool> AutoFindKeywordsLiteral(TRichEdit& edit, const std::vector<std::string>& keywords) {
    // To the very end of the text: its length with CR LF line breaks is never shorter than the
    // control's own count.
    const int length = edit.GetTextLenCRLF();
    std::vector<bool> found(keywords.size(), false);
    for (size_t k = 0; k < keywords.size(); ++k)
        if (!keywords[k].empty()) found[k] = edit.FindString(keywords[k], 0, length, TRichEdit::stWholeWord) >= 0;
    return found;
}

std::vector<bool> AutoFindKeywords(TRichEdit& edit, const std::vector<std::string>& keywords) {
    if (!SingleByteCodePage()) return AutoFindKeywordsLiteral(edit, keywords);
    bool usedDefaultChar = false;
    const std::string text = edit.StoredText(&usedDefaultChar);
    if (usedDefaultChar) return AutoFindKeywordsLiteral(edit, keywords);
    const int length = edit.GetTextLenCRLF();

    const std::vector<TAutoFindPlaces> places = AutoFindCandidates(text, keywords, kPlacesTried);
    std::vector<bool> found(keywords.size(), false);
    // The control's answer depends on the keyword's own characters, not only on their folding.
    std::unordered_map<std::string, bool> answered;
    for (size_t k = 0; k < keywords.size(); ++k) {
        const std::string& keyword = keywords[k];
        if (places[k].Positions.empty()) continue;
        auto known = answered.find(keyword);
        if (known != answered.end()) {
            found[k] = known->second;
            continue;
        }
        const int size = static_cast<int>(keyword.size());
        const std::vector<int>& at = places[k].Positions;
        bool hit = std::any_of(at.begin(), at.end(), [&](int p) { return CertainPlace(text, keyword, p); });
        for (size_t i = 0; !hit && i < at.size(); ++i) {
            // From the character before, so that the control sees what precedes the keyword.
            const int from = std::max(0, at[i] - 1);
            hit = edit.FindString(keyword, from, at[i] + size - from, TRichEdit::stWholeWord) >= 0;
        }
        // Between the places tried and the next one the keyword cannot stand.
        if (!hit && places[k].More) {
            const int from = places[k].Positions.back();
            hit = edit.FindString(keyword, from, length - from, TRichEdit::stWholeWord) >= 0;
        }
        answered.emplace(keyword, hit);
        found[k] = hit;
    }
    return found;
}

}  // namespace ruk
