// The keyword-file reader against damaged files: seeded mutations and truncations of valid
// files. It must never crash or hang, never append a partial row, and never allocate much
// more than the file could hold.
#include "KeywordListTestSupport.h"
#include "XorShiftRandom.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

using namespace ruk;
using ruk::test::KeywordListView;
using ruk::test::TRandom;

namespace {
// The largest single allocation while tracking is on (all of this program's operator new).
std::atomic<bool> gTrackAllocations{false};
std::atomic<size_t> gLargestAllocation{0};
}  // namespace

void* operator new(size_t size) {
    if (gTrackAllocations.load(std::memory_order_relaxed) && size > gLargestAllocation.load())
        gLargestAllocation.store(size);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

namespace {

std::string RandomValue(TRandom& rnd) {
    static const char* const samples[] = {"", "a.htm", "Untitled Document", "index.htm", "http://x/y?z=1",
                                          "caf\xE9", "a\x95" "b", "\x95", "x\x95\x95y"};
    if (rnd.Chance(10)) return std::string(static_cast<size_t>(256 + rnd.Below(400)), 'w');  // long strings
    return rnd.Pick(samples);
}

// A valid file of a few rows, written by the writer itself.
std::string ValidFile(TRandom& rnd, KeywordListView& list) {
    list.View->Items().Clear();
    const int rows = 1 + rnd.Below(6);
    static const char* const counts[] = {"1", "0", "-1", "127", "128", "-129", "40000", "-70000", "x"};
    for (int i = 0; i < rows; ++i) {
        std::string keyword(1, 'k');
        keyword += IntToStr(i);
        list.Add(keyword, {RandomValue(rnd), RandomValue(rnd), RandomValue(rnd), rnd.Pick(counts)});
    }
    TMemoryStream m;
    EXPECT_EQ(WriteKeywordList(list.View, &m), 0u);
    return std::string(m.Memory(), static_cast<size_t>(m.Size()));
}

std::string Mutated(TRandom& rnd, std::string file) {
    static const int tags[] = {0, 1, 2, 3, 4, 6, 7, 8, 9, 0x0C, 0x0D, 0x12, 0x14};
    const int edits = 1 + rnd.Below(4);
    for (int e = 0; e < edits && !file.empty(); ++e) {
        const size_t at = static_cast<size_t>(rnd.Below(static_cast<int>(file.size())));
        switch (rnd.Below(6)) {
            case 0: file[at] = static_cast<char>(rnd.Next()); break;                  // any byte
            case 1: file[at] = static_cast<char>(rnd.Pick(tags)); break;                  // another tag
            case 2: file[at] = static_cast<char>(0xFF); break;                        // large lengths
            case 3: file.erase(at, 1 + static_cast<size_t>(rnd.Below(8))); break;
            case 4: file.insert(at, 1, static_cast<char>(rnd.Next())); break;
            default: file.resize(at); break;                                          // truncated
        }
    }
    return file;
}

}  // namespace

TEST(KeywordFileFuzz, DamagedFilesNeverGivePartialRowsOrLargeAllocations) {
    KeywordListView source;
    KeywordListView target;
    TRandom rnd(20261210);
    int failures = 0;
    const int cases = 4000;
    for (int n = 0; n < cases; ++n) {
        const std::string valid = ValidFile(rnd, source);
        const size_t cut = static_cast<size_t>(rnd.Below(static_cast<int>(valid.size())));
        const std::string file = rnd.Chance(25) ? valid.substr(0, cut) : Mutated(rnd, valid);
        target.View->Items().Clear();
        TMemoryStream m;
        if (!file.empty()) m.WriteBuffer(file.data(), static_cast<int>(file.size()));
        m.SetPosition(0);
        gLargestAllocation.store(0);
        gTrackAllocations.store(true);
        const DWORD result = LoadKeywordListFromStream(target.View, &m);
        gTrackAllocations.store(false);
        ASSERT_TRUE(result == 0 || result == RUK_E_EXCEPTION) << "case " << n << ": " << result;
        if (result != 0) ++failures;
        TListItems& rows = target.View->Items();
        // Every row is whole, and no row can be shorter than five values of two bytes.
        ASSERT_LE(rows.Count() * 10, static_cast<int>(file.size())) << "case " << n;
        for (int i = 0; i < rows.Count(); ++i) ASSERT_EQ(rows[i]->SubItems().Count(), 4) << "case " << n;
        // Beside the reader's own buffer of 64 KB, nothing larger than a few times the file.
        ASSERT_LE(gLargestAllocation.load(), 0x10000u + 4 * file.size() + 64) << "case " << n;
    }
    // The cases did reach the failure paths and the success path.
    EXPECT_GT(failures, cases / 4);
    EXPECT_LT(failures, cases);
}
