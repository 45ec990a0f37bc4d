// The document loader and the byte-order-mark test beneath it.
#include "EngineTestFiles.h"
#include "RUKConvertCharEncodingThread.h"
#include "RUKLexmillUtils1.h"
#include "WordListTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace ruk;
using namespace ruk::test;

namespace {

struct LoadResult {
    DWORD code;
    std::string text;
};

LoadResult Load(const std::string& fileName) {
    TRUKConvertCharEncodingThread loader(fileName);
    bool terminated = false;
    loader.OnTerminate = [&terminated](TObject*) { terminated = true; };
    loader.Resume();
    loader.WaitFor();
    EXPECT_TRUE(terminated);
    return {static_cast<DWORD>(loader.ReturnValue()), loader.ConvertedText()};
}

// What the wide-to-ANSI conversion makes of the byte-order mark U+FEFF, which the ANSI code
// page lacks.
std::string ConvertedMark() {
    const wchar_t mark = 0xFEFF;
    char out[8] = {};
    const int n = WideCharToMultiByte(CP_ACP, 0, &mark, 1, out, sizeof out, nullptr, nullptr);
    return std::string(out, n > 0 ? static_cast<size_t>(n) : 0);
}

}  // namespace

TEST(DocumentLoader, FileContentsTable) {
    const std::string mark = ConvertedMark();
    struct Case {
        const char* name;
        std::string bytes;
        DWORD code;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"Empty", "", RUK_LOADED_ANSI_TEXT, ""},
        {"OneZeroByte", std::string(1, '\0'), RUK_LOADED_ANSI_TEXT, ""},
        {"OneByte", "\xFF", RUK_LOADED_ANSI_TEXT, "\xFF"},
        {"AnsiText", "caf\xE9 <b>x</b>\r\n", RUK_LOADED_ANSI_TEXT, "caf\xE9 <b>x</b>\r\n"},
        {"AnsiWithZeroInside", std::string("abc\0def", 7), RUK_LOADED_ANSI_TEXT, "abc"},
        // Without its mark UTF-16 is taken as ANSI: the high byte of the first unit ends it.
        {"Utf16WithoutMark", std::string("A\0b\0", 4), RUK_LOADED_ANSI_TEXT, "A"},
        {"Utf16WithMark", std::string("\xFF\xFE" "A\0b\0\xE9\0\xAC\x20\x16\x04", 12), RUK_LOADED_UNICODE_TEXT,
         mark + "Ab\xE9\x80?"},
        {"Utf16MarkOnly", "\xFF\xFE", RUK_LOADED_UNICODE_TEXT, mark},
        {"Utf16EndsAtZeroUnit", std::string("\xFF\xFE" "A\0\0\0b\0", 8), RUK_LOADED_UNICODE_TEXT, mark + "A"},
        // An odd last byte is the low half of one more unit.
        {"Utf16OddLength", std::string("\xFF\xFE" "A\0b", 5), RUK_LOADED_UNICODE_TEXT, mark + "Ab"},
        // The big-endian mark: the units are swapped, so the user gets the text.
        {"Utf16BigEndian", std::string("\xFE\xFF\0A\0b\0\xE9", 8), RUK_LOADED_UNICODE_TEXT, mark + "Ab\xE9"},
        {"Utf16BigEndianOddLength", std::string("\xFE\xFF\0A\0", 5), RUK_LOADED_UNICODE_TEXT, mark + "A"},
        {"Utf16BigEndianMarkOnly", "\xFE\xFF", RUK_LOADED_UNICODE_TEXT, mark},
        {"Utf8WithMarkKeepsItsBytes", "\xEF\xBB\xBFh\xC3\xA9", RUK_LOADED_ANSI_TEXT, "\xEF\xBB\xBFh\xC3\xA9"},
    };
    EngineTempFolder folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = folder.File(std::string(c.name) + ".txt");
        ASSERT_TRUE(WriteFileBytes(file, c.bytes));
        const LoadResult r = Load(file);
        EXPECT_EQ(r.code, c.code);
        EXPECT_EQ(Escaped(r.text), Escaped(c.text));
    }
}

TEST(DocumentLoader, TheMarkBecomesTheConversionsDefaultCharacter) {
    EXPECT_EQ(ConvertedMark(), "?");
}

TEST(DocumentLoader, NoFileGivesZeroAndNoText) {
    EngineTempFolder folder;
    EXPECT_EQ(Load(folder.File("missing.html")).code, 0u);
    EXPECT_EQ(Load(folder.File("missing.html")).text, "");
    EXPECT_EQ(Load("").code, 0u);
    EXPECT_EQ(Load(folder.File("")).code, 0u);  // a folder is no file

    TRUKConvertCharEncodingThread nothing(true);
    nothing.Resume();
    nothing.WaitFor();
    EXPECT_EQ(nothing.ReturnValue(), 0);
    EXPECT_EQ(nothing.FileName(), "");
    EXPECT_EQ(nothing.ConvertedText(), "");
}

// A loader created running starts only once it is complete. Started any earlier, its thread
// would run Execute on a half-built object; many loaders at once make that show.
TEST(DocumentLoader, CreatedRunningLoaderHasNothingToLoad) {
    for (int round = 0; round < 20; ++round) {
        std::vector<std::unique_ptr<TRUKConvertCharEncodingThread>> loaders;
        for (int i = 0; i < 100; ++i) loaders.push_back(std::make_unique<TRUKConvertCharEncodingThread>(false));
        for (auto& loader : loaders) {
            loader->WaitFor();
            EXPECT_EQ(loader->ReturnValue(), 0);
            EXPECT_EQ(loader->FatalExceptionMessage(), "");
            EXPECT_EQ(loader->ConvertedText(), "");
        }
    }
}

TEST(DocumentLoader, FileHeldOpenByAnotherHandleGivesSharingViolation) {
    EngineTempFolder folder;
    const std::string file = folder.File("held.html");
    ASSERT_TRUE(WriteFileBytes(file, "<p>text</p>"));
    HANDLE held = CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const LoadResult r = Load(file);
    CloseHandle(held);
    EXPECT_EQ(r.code, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(r.text, "");
    // Once it is free again it loads.
    EXPECT_EQ(Load(file).code, RUK_LOADED_ANSI_TEXT);
}

// The same in a process of its own, where the loader's failure comes before any exception has
// been raised: the code must not depend on what the process did before.
TEST(DocumentLoader, SharingViolationIsReportedAlsoInAFreshProcess) {
    EXPECT_EQ(RunTestInFreshProcess("DocumentLoader.FileHeldOpenByAnotherHandleGivesSharingViolation"), 0u);
}

TEST(DocumentLoader, TheLoaderHoldsTheFileExclusivelyOnlyWhileReading) {
    EngineTempFolder folder;
    const std::string file = folder.File("doc.html");
    ASSERT_TRUE(WriteFileBytes(file, "abc"));
    TRUKConvertCharEncodingThread loader(file);
    loader.Resume();
    loader.WaitFor();
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    EXPECT_EQ(loader.ConvertedText(), "abc");
}

namespace {

// Whether the process could reserve bytes of address space in one piece.
bool RoomInOnePiece(long long bytes) {
    void* p = VirtualAlloc(nullptr, static_cast<SIZE_T>(bytes), MEM_RESERVE, PAGE_NOACCESS);
    if (p == nullptr) return false;
    VirtualFree(p, 0, MEM_RELEASE);
    return true;
}

// A file of the given size that takes no room on disk.
bool MakeSparseFile(const std::string& name, long long size) {
    HANDLE h = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER at;
    at.QuadPart = size;
    const bool ok = SetFilePointerEx(h, at, nullptr, FILE_BEGIN) && SetEndOfFile(h);
    CloseHandle(h);
    return ok;
}

}  // namespace

// Too large for one block of memory: a clear code instead of a crash.
TEST(DocumentLoader, HugeFilesGiveAFailureCode) {
    EngineTempFolder folder;
    struct Case {
        long long size;
        DWORD code;
    };
    std::vector<Case> cases = {
        {3LL << 30, ERROR_FILE_TOO_LARGE},
        {RUK_MAX_LOADABLE_FILE_SIZE + 1, ERROR_FILE_TOO_LARGE},
    };
    // Allowed by size, but where the process has no room for it in one piece (a 32-bit one),
    // the loader says so. Where there is room it would be read whole, which is not tried here.
    if (!RoomInOnePiece(RUK_MAX_LOADABLE_FILE_SIZE + 2)) cases.push_back({RUK_MAX_LOADABLE_FILE_SIZE, ERROR_NOT_ENOUGH_MEMORY});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        const std::string file = folder.File("huge.bin");
        ASSERT_TRUE(MakeSparseFile(file, c.size));
        const LoadResult r = Load(file);
        EXPECT_EQ(r.code, c.code);
        EXPECT_EQ(r.text, "");
        ::DeleteFileA(file.c_str());
    }
}

// ---------------------------------------------------------------- byte-order mark

namespace {

std::unique_ptr<TMemoryStream> StreamOf(const std::string& bytes) {
    auto s = std::make_unique<TMemoryStream>();
    if (!bytes.empty()) s->WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
    return s;
}

}  // namespace

TEST(ByteOrderMark, NoStreamOrTooShort) {
    SetLastError(0);
    EXPECT_FALSE(IsUnicodeTextStream(nullptr, IS_TEXT_UNICODE_SIGNATURE));
    EXPECT_EQ(GetLastError(), RUK_E_NULL_OBJECT);
    EXPECT_FALSE(HasUnicodeByteOrderMark(nullptr));
    EXPECT_EQ(GetLastError(), RUK_E_NULL_OBJECT);
    for (const std::string& bytes : {std::string(), std::string("\xFF")}) {
        SetLastError(0);
        EXPECT_FALSE(HasUnicodeSignature(StreamOf(bytes).get()));
        EXPECT_EQ(GetLastError(), RUK_E_STREAM_TOO_SHORT);
    }
}

TEST(ByteOrderMark, SignatureTests) {
    struct Case {
        std::string bytes;
        bool signature;
        bool mark;
    };
    const std::vector<Case> cases = {
        {"\xFF\xFE", true, true},
        {std::string("\xFF\xFE" "a\0", 4), true, true},
        {std::string("a\0b\0", 4), false, false},
        {"ab", false, false},
        {"\xEF\xBB\xBF" "ab", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Escaped(c.bytes));
        const auto s = StreamOf(c.bytes);
        EXPECT_EQ(HasUnicodeSignature(s.get()), c.signature);
        EXPECT_EQ(HasUnicodeByteOrderMark(s.get()), c.mark);
    }
}

// The platform rules text with a reversed mark out as Unicode, so its reversed-signature test
// does not answer 1: the loader recognises that mark itself (see the big-endian rows above).
TEST(ByteOrderMark, ReversedSignatureIsNotReportedByThePlatform) {
    const auto s = StreamOf(std::string("\xFE\xFF\0a", 4));
    EXPECT_FALSE(HasReverseUnicodeSignature(s.get()));
    EXPECT_FALSE(HasUnicodeSignature(s.get()));
}

TEST(ByteOrderMark, NoTestsWithFlagsZero) {
    const auto s = StreamOf(std::string("\xFF\xFE" "a\0", 4));
    EXPECT_FALSE(IsUnicodeTextStream(s.get(), 0));
    EXPECT_TRUE(IsUnicodeTextStream(s.get(), IS_TEXT_UNICODE_SIGNATURE));
}
