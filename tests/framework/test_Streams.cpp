#include "Classes.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <memory>

using namespace ruk;
using ruk::test::TempFolder;

namespace {

// The error code that a failed open carries, 0 when the open succeeded.
DWORD OpenError(const std::string& name, unsigned mode) {
    try {
        TFileStream s(name, mode);
        return 0;
    } catch (const EFOpenError& e) {
        return e.OSError;
    } catch (const EFCreateError& e) {
        return e.OSError;
    }
}

// What a handler of the stream error that the call raises finds out.
template <typename Call>
DWORD CaughtCode(Call call) {
    try {
        call();
    } catch (...) {
        return CaughtOSError();
    }
    return ~0u;
}

}  // namespace

TEST(FileStream, CreateTruncatesAndReadsBack) {
    TempFolder dir;
    const std::string name = dir.File("data.bin");
    TempFolder::WriteAll(name, "old contents that are longer");
    {
        TFileStream s(name, fmCreate);
        EXPECT_EQ(s.Size(), 0);
        s.WriteBuffer("hello", 5);
        EXPECT_EQ(s.Position(), 5);
        EXPECT_EQ(s.FileName(), name);
    }
    EXPECT_EQ(TempFolder::ReadAll(name), "hello");
    TFileStream s(name, fmOpenReadWrite);
    EXPECT_EQ(s.Size(), 5);
    char buf[8] = {};
    EXPECT_EQ(s.Read(buf, 8), 5);
    EXPECT_EQ(std::string(buf, 5), "hello");
    EXPECT_EQ(s.Read(buf, 8), 0);
    EXPECT_EQ(s.Seek(-2, soEnd), 3);
    s.SetPosition(1);
    EXPECT_THROW(s.ReadBuffer(buf, 5), EReadError);
    s.SetSize(2);
    EXPECT_EQ(s.Size(), 2);
    s.SetPosition(2);
    s.WriteBuffer("!", 1);
    EXPECT_EQ(s.Size(), 3);
}

TEST(FileStream, ShareModes) {
    TempFolder dir;
    const std::string name = dir.File("shared.txt");
    TempFolder::WriteAll(name, "x");
    {
        // Deny-write: others may read, nobody may write.
        TFileStream held(name, fmOpenRead | fmShareDenyWrite);
        EXPECT_EQ(OpenError(name, fmOpenRead | fmShareDenyWrite), 0u);
        EXPECT_EQ(OpenError(name, fmOpenWrite | fmShareDenyNone), DWORD(ERROR_SHARING_VIOLATION));
        EXPECT_EQ(OpenError(name, fmCreate), DWORD(ERROR_SHARING_VIOLATION));
    }
    {
        TFileStream held(name, fmOpenRead | fmShareExclusive);
        EXPECT_EQ(OpenError(name, fmOpenRead | fmShareDenyNone), DWORD(ERROR_SHARING_VIOLATION));
    }
    {
        TFileStream held(name, fmCreate);  // created files are held exclusively
        EXPECT_EQ(OpenError(name, fmOpenRead | fmShareDenyNone), DWORD(ERROR_SHARING_VIOLATION));
    }
    {
        TFileStream held(name, fmOpenReadWrite | fmShareDenyNone);
        EXPECT_EQ(OpenError(name, fmOpenReadWrite | fmShareDenyNone), 0u);
    }
    EXPECT_EQ(OpenError(dir.File("none.txt"), fmOpenRead), DWORD(ERROR_FILE_NOT_FOUND));
}

TEST(FileStream, OpenFailureMessageHasTheFullPath) {
    TempFolder dir;
    const std::string name = dir.File("locked.txt");
    TempFolder::WriteAll(name, "x");
    TFileStream held(name, fmOpenRead | fmShareExclusive);
    // A relative name is reported expanded.
    const std::string relative = "locked.txt";
    char old[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, old);
    SetCurrentDirectoryA(dir.Path().c_str());
    std::string message;
    try {
        TFileStream s(relative, fmOpenRead);
    } catch (const EFOpenError& e) {
        message = e.Message();
    }
    SetCurrentDirectoryA(old);
    EXPECT_EQ(message, "Cannot open file \"" + ExpandFileName(name) + "\". " + SysErrorMessage(ERROR_SHARING_VIOLATION));
}

TEST(FileStream, ANameLongerThanAPathFailsWithItsEndsShown) {
    const std::string name = "C:\\" + std::string(100 * 1024, 'n') + "\\end.txt";
    const std::string shown = name.substr(0, 100) + "..." + name.substr(name.size() - 100);
    for (unsigned mode : {static_cast<unsigned>(fmOpenRead), static_cast<unsigned>(fmCreate)}) {
        std::string message;
        DWORD code = 0;
        try {
            TFileStream s(name, mode);
        } catch (const EFOpenError& e) {
            code = GetLastError();
            message = e.Message();
        } catch (const EFCreateError& e) {
            code = GetLastError();
            message = e.Message();
        }
        const char* what = mode == fmCreate ? "Cannot create file \"" : "Cannot open file \"";
        EXPECT_EQ(message, what + shown + "\". " + SysErrorMessage(ERROR_FILENAME_EXCED_RANGE));
        EXPECT_EQ(code, static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));  // left for the loader
    }
}

// A failed system call's code travels with the exception: the thread's last error does not
// survive the throw everywhere.
TEST(FileStream, ReadAndWriteErrorsCarryTheSystemsCode) {
    TempFolder dir;
    const std::string name = dir.File("data.bin");
    TempFolder::WriteAll(name, "abc");
    TFileStream readOnly(name, fmOpenRead);
    char buffer[8];
    EXPECT_EQ(CaughtCode([&] { readOnly.WriteBuffer("x", 1); }), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    // The end of the data is no failed call.
    EXPECT_EQ(CaughtCode([&] { readOnly.ReadBuffer(buffer, 8); }), 0u);
    EXPECT_EQ(CaughtCode([&] { TFileStream s(dir.File("missing.bin"), fmOpenRead); }),
              static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(CaughtCode([] { RaiseLastOSError(ERROR_INVALID_PARAMETER); }), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(CaughtCode([] { throw EConvertError("not a number"); }), 0u);
    EXPECT_EQ(CaughtCode([] {}), ~0u);
}

TEST(MemoryStream, ReadWriteSeekAndSize) {
    TMemoryStream m;
    EXPECT_EQ(m.Size(), 0);
    char buf[16] = {};
    EXPECT_EQ(m.Read(buf, 4), 0);
    m.WriteBuffer("abcdef", 6);
    EXPECT_EQ(m.Position(), 6);
    EXPECT_EQ(m.Size(), 6);
    m.SetPosition(2);
    EXPECT_EQ(m.Read(buf, 16), 4);
    EXPECT_EQ(std::string(buf, 4), "cdef");
    EXPECT_THROW(m.ReadBuffer(buf, 1), EReadError);

    // Writing past the end fills the gap with zero bytes.
    m.Seek(3, soEnd);
    m.WriteBuffer("Z", 1);
    EXPECT_EQ(std::string(m.Memory(), static_cast<size_t>(m.Size())), std::string("abcdef\0\0\0Z", 10));

    // Growing gives zero bytes; shrinking pulls the position back.
    m.SetSize(12);
    EXPECT_EQ(m.Memory()[11], '\0');
    m.SetPosition(12);
    m.SetSize(4);
    EXPECT_EQ(m.Position(), 4);
    EXPECT_THROW(m.SetSize(-1), EStreamError);

    m.SetPosition(-1);
    EXPECT_EQ(m.Read(buf, 1), 0);
    EXPECT_EQ(m.Write("x", 1), 0);
    m.Clear();
    EXPECT_EQ(m.Size(), 0);
    EXPECT_EQ(m.Position(), 0);
}

TEST(MemoryStream, FilesAndCopies) {
    TempFolder dir;
    const std::string name = dir.File("mem.bin");
    const std::string data("one\0two", 7);
    TempFolder::WriteAll(name, data);
    TMemoryStream m;
    m.LoadFromFile(name);
    EXPECT_EQ(std::string(m.Memory(), static_cast<size_t>(m.Size())), data);

    TMemoryStream copy;
    m.SetPosition(5);
    EXPECT_EQ(copy.CopyFrom(m, 0), 7);  // 0: the whole source from its start
    EXPECT_EQ(std::string(copy.Memory(), 7), data);
    m.SetPosition(4);
    TMemoryStream part;
    EXPECT_EQ(part.CopyFrom(m, 3), 3);
    EXPECT_EQ(std::string(part.Memory(), 3), "two");
    m.SetPosition(6);
    EXPECT_THROW(part.CopyFrom(m, 2), EReadError);

    const std::string out = dir.File("out.bin");
    copy.SaveToFile(out);
    EXPECT_EQ(TempFolder::ReadAll(out), data);
    TMemoryStream empty;
    empty.SaveToFile(out);
    EXPECT_EQ(TempFolder::ReadAll(out), "");

    // A large copy goes through in pieces.
    TMemoryStream big;
    std::string bytes(200000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
    big.WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
    {
        TFileStream f(out, fmCreate);
        f.CopyFrom(big, 0);
    }
    EXPECT_EQ(TempFolder::ReadAll(out), bytes);
    EXPECT_THROW(m.LoadFromFile(dir.File("missing.bin")), EFOpenError);
}
