#include "RUKFastSort.h"

#include "SysUtils.h"
#include "Threads.h"

#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>

namespace ruk::fast {

namespace {

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

// One part of the work on a thread of its own, made by the program's thread class like every
// other thread (and so with the program's floating-point control word).
class TPartThread final : public TThread {
public:
    explicit TPartThread(std::function<bool()> part) : TThread(true), FPart(std::move(part)) {}
    ~TPartThread() override { WaitForShutdown(); }

    // After WaitFor: whether the part ran and gave its result.
    bool Succeeded() const { return FSucceeded && !FatalException(); }

protected:
    void Execute() override { FSucceeded = FPart(); }

private:
    std::function<bool()> FPart;
    bool FSucceeded = false;
};

// Runs body(part, from, to) over [0, n) cut into parts, in a few threads at once for large n
// (the system calls of the sort keys and of the comparison take most of the word list's
// time); false when a part gave false or raised, the rest of the work done or not.
template <class Body>
bool InParallel(size_t n, Body body) {
    size_t parts = 1;
    if (n >= 8192) {
        SYSTEM_INFO info{};
        GetSystemInfo(&info);
        parts = std::min<size_t>(MaxParts, std::max<DWORD>(1, info.dwNumberOfProcessors));
    }
    auto run = [&](size_t part) {
        try {
            return body(part, n * part / parts, n * (part + 1) / parts);
        } catch (...) {
            return false;
        }
    };
    std::vector<std::unique_ptr<TPartThread>> helpers;
    helpers.reserve(parts);
    bool succeeded = true;
    try {
        for (size_t part = 1; part < parts; ++part) {
            auto helper = std::make_unique<TPartThread>([&run, part] { return run(part); });
            helper->Resume();
            helpers.push_back(std::move(helper));
        }
    } catch (...) {
        // No thread to spare: the rest is done here.
        for (size_t part = helpers.size() + 1; part < parts; ++part) succeeded = run(part) && succeeded;
    }
    succeeded = run(0) && succeeded;
    for (const std::unique_ptr<TPartThread>& helper : helpers) {
        helper->WaitFor();
        succeeded = helper->Succeeded() && succeeded;
    }
    return succeeded;
}

}  // namespace

// The list's comparison orders texts the way their sort keys do; the keys sort
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
    const bool keyed = InParallel(n, [&](size_t b, size_t from, size_t to) {
        std::vector<char>& buffer = buffers[b];
        buffer.reserve((to - from) * 24);
        for (size_t i = from; i < to; ++i) {
            const size_t at = buffer.size();
            if (!AppendSortKey(distinct.Data(static_cast<int>(i)), distinct.Length(static_cast<int>(i)), buffer))
                return false;
            spans[i] = {b, at};
            keys[i].Length = static_cast<uint32_t>(buffer.size() - at);
        }
        return true;
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
                    if (AnsiCompareText(first, textAt(j)) != 0) return false;
                if (g > 0 && AnsiCompareText(textAt(groupStart[g - 1]), first) >= 0) return false;
            }
            return true;
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

}  // namespace ruk::fast
