#include "SafeSave.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ruk;
using ruk::test::TempFolder;

namespace {

// The names in a folder, "." and ".." left out.
std::vector<std::string> FolderNames(const std::string& dir) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE f = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (f == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = fd.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(f, &fd));
    FindClose(f);
    return names;
}

void WriteText(TStream& s, const std::string& text) { s.WriteBuffer(text.data(), static_cast<int>(text.size())); }

// What a failed save raised, with the system's code that it carries.
struct TSaveFailure {
    std::string Message;
    DWORD Code = 0;
    bool Raised = false;
};

template <class F>
TSaveFailure Failure(F save) {
    TSaveFailure f;
    try {
        save();
    } catch (const Exception& e) {
        f.Code = CaughtOSError();
        f.Message = e.Message();
        f.Raised = true;
    }
    return f;
}

}  // namespace

TEST(SafeSave, CreatesAndReplacesWithoutLeavingATemporaryFile) {
    TempFolder dir;
    const std::string target = dir.File("keywords.rlk");
    SafeSaveToFile(target, [](TStream& s) { WriteText(s, "first version, the longer one"); });
    EXPECT_EQ(TempFolder::ReadAll(target), "first version, the longer one");
    SetLastError(ERROR_ALREADY_EXISTS);
    SafeSaveToFile(target, [](TStream& s) { WriteText(s, "second"); });
    EXPECT_EQ(TempFolder::ReadAll(target), "second");  // replaced, not overwritten in place
    EXPECT_EQ(GetLastError(), 0u);
    EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"keywords.rlk"});

    // An empty write gives an empty file.
    SafeSaveToFile(target, [](TStream&) {});
    EXPECT_EQ(TempFolder::ReadAll(target), "");
}

TEST(SafeSave, TheTemporaryFileIsBesideTheTargetAndHeldExclusively) {
    TempFolder dir;
    const std::string target = dir.File("out.txt");
    TSafeFileStream s(target);
    EXPECT_EQ(ExtractFilePath(s.TempFileName()), ExtractFilePath(ExpandFileName(target)));
    HANDLE other = CreateFileA(s.TempFileName().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(other, INVALID_HANDLE_VALUE);
    if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
    EXPECT_FALSE(FileExists(target));  // nothing at the target before the commit
    WriteText(s, "abc");
    s.Commit();
    EXPECT_EQ(TempFolder::ReadAll(target), "abc");
}

TEST(SafeSave, AWriteThatFailsHalfWayLeavesThePreviousFileByteIdentical) {
    TempFolder dir;
    const std::string target = dir.File("list.rlk");
    const std::string previous("previous\0bytes\xFF", 15);
    TempFolder::WriteAll(target, previous);
    // A stream that fails after some bytes: the write raises midway.
    for (int failAfter : {0, 1, 70000}) {
        const TSaveFailure f = Failure([&] {
            SafeSaveToFile(target, [&](TStream& s) {
                WriteText(s, std::string(static_cast<size_t>(failAfter), 'x'));
                throw EWriteError("Stream write error");
            });
        });
        EXPECT_TRUE(f.Raised);
        EXPECT_EQ(f.Message, "Stream write error");
        EXPECT_EQ(TempFolder::ReadAll(target), previous) << failAfter;
        EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"list.rlk"}) << failAfter;
    }
    // A new file is not created either.
    const std::string fresh = dir.File("fresh.rlk");
    EXPECT_TRUE(Failure([&] { SafeSaveToFile(fresh, [](TStream&) { throw EWriteError("Stream write error"); }); })
                    .Raised);
    EXPECT_FALSE(FileExists(fresh));
}

TEST(SafeSave, FailuresNameTheTargetAndLeaveItUntouched) {
    TempFolder dir;
    const std::string target = dir.File("locked.txt");
    TempFolder::WriteAll(target, "kept");
    const std::string full = ExpandFileName(target);

    // Read-only target, where the system refuses to write it (Wine run by the superuser
    // does not).
    ASSERT_TRUE(SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_READONLY));
    HANDLE probe = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    const bool refused = probe == INVALID_HANDLE_VALUE;
    if (!refused) CloseHandle(probe);
    TSaveFailure f;
    if (refused) f = Failure([&] { SafeSaveToFile(target, [](TStream& s) { WriteText(s, "new"); }); });
    SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (refused) {
        EXPECT_TRUE(f.Raised);
        EXPECT_EQ(f.Message, "Cannot create file \"" + full + "\". " + SysErrorMessage(ERROR_ACCESS_DENIED));
        EXPECT_EQ(f.Code, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
    EXPECT_EQ(TempFolder::ReadAll(target), "kept");

    // A target that another handle holds without sharing.
    HANDLE holder = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    f = Failure([&] { SafeSaveToFile(target, [](TStream& s) { WriteText(s, "new"); }); });
    CloseHandle(holder);
    EXPECT_TRUE(f.Raised);
    EXPECT_EQ(f.Message, "Cannot create file \"" + full + "\". " + SysErrorMessage(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(TempFolder::ReadAll(target), "kept");

    // A folder that does not exist.
    const std::string missing = dir.File("no such folder\\x.txt");
    f = Failure([&] { SafeSaveToFile(missing, [](TStream& s) { WriteText(s, "new"); }); });
    EXPECT_TRUE(f.Raised);
    EXPECT_EQ(f.Message, "Cannot create file \"" + ExpandFileName(missing) + "\". " +
                             SysErrorMessage(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(f.Code, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    // A folder in the target's place.
    const std::string folder = dir.File("sub");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    f = Failure([&] { SafeSaveToFile(folder, [](TStream& s) { WriteText(s, "new"); }); });
    EXPECT_TRUE(f.Raised);
    EXPECT_EQ(f.Message.rfind("Cannot create file \"" + ExpandFileName(folder) + "\". ", 0), 0u) << f.Message;
    EXPECT_TRUE(DirectoryExists(folder));

    std::vector<std::string> names = FolderNames(dir.Path());
    EXPECT_EQ(names.size(), 2u);  // locked.txt and sub, no temporary file
}

TEST(SafeSave, AStreamDestroyedWithoutCommitRemovesItsTemporaryFile) {
    TempFolder dir;
    const std::string target = dir.File("t.txt");
    TempFolder::WriteAll(target, "old");
    std::string temp;
    {
        TSafeFileStream s(target);
        temp = s.TempFileName();
        WriteText(s, "never committed");
        EXPECT_TRUE(FileExists(temp));
    }
    EXPECT_FALSE(FileExists(temp));
    EXPECT_EQ(TempFolder::ReadAll(target), "old");
}
