#include "RUKOccurrenceCounter.h"

#include "RUKGenWordListFromHTMLThreads.h"

namespace ruk::fast {

namespace {

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
        // One bit for each of the sixteen count delimiters, so that a slot's Next holds them.
        for (size_t k = 0; k < CountDelimiterChars.size(); ++k)
            FDelimiterBit[U8(CountDelimiterChars[k])] = static_cast<uint16_t>(1u << k);
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

}  // namespace

std::vector<int> CountOccurrences(const std::string& text, const TDistinctTexts& words) {
    const size_t len = text.size();
    std::vector<int> result(static_cast<size_t>(words.Count()), -1);
    if (len <= 1) return result;
    const size_t zero = FindByte(text.data(), 0, len, '\0');
    TOccurrenceCounter counter(text.data(), zero == npos ? len : zero, static_cast<size_t>(words.Count()));
    std::vector<int> counterId(static_cast<size_t>(words.Count()), -1);
    for (int id = 0; id < words.Count(); ++id) {
        const size_t n = words.Length(id);
        if (n == 0 || n >= len) continue;
        counterId[static_cast<size_t>(id)] = counter.AddWord(words.Data(id), n);
    }
    counter.Run();
    for (int id = 0; id < words.Count(); ++id)
        if (counterId[static_cast<size_t>(id)] >= 0)
            result[static_cast<size_t>(id)] = counter.Count(counterId[static_cast<size_t>(id)]);
    return result;
}

}  // namespace ruk::fast
