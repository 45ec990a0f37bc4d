// The library's export table and DllGetVersion, through the built library.
#include "RUKVersionInfo.h"
#include "RtlTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using ruktest::RtlLibrary;

// The names in the module's export directory, read from the mapped image.
std::vector<std::string> ExportedNames(HMODULE module) {
    auto* base = reinterpret_cast<const BYTE*>(module);
    auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    // The optional header's layout depends on the image's bitness; its magic says which.
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
    IMAGE_DATA_DIRECTORY dir{};
    if (nt->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC)
        dir = reinterpret_cast<const IMAGE_NT_HEADERS64*>(nt)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    else
        dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    std::vector<std::string> names;
    if (dir.VirtualAddress == 0) return names;
    auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    auto* nameRvas = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        names.emplace_back(reinterpret_cast<const char*>(base + nameRvas[i]));
    std::sort(names.begin(), names.end());
    return names;
}

TEST(RtlExports, ExactlyTheTwoEntriesUndecorated) {
    RtlLibrary rtl;
    ASSERT_NE(rtl.Handle(), nullptr) << GetLastError();
    EXPECT_EQ(ExportedNames(rtl.Handle()), (std::vector<std::string>{"DllGetVersion", "ShowVersionInfoDialog"}));
    EXPECT_NE(GetProcAddress(rtl.Handle(), "ShowVersionInfoDialog"), nullptr);
    EXPECT_NE(GetProcAddress(rtl.Handle(), "DllGetVersion"), nullptr);
}

class DllGetVersionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(Rtl.Handle(), nullptr) << GetLastError();
        Get = Rtl.Proc<DLLGETVERSIONPROC>("DllGetVersion");
        ASSERT_NE(Get, nullptr);
    }
    RtlLibrary Rtl;
    DLLGETVERSIONPROC Get = nullptr;
};

constexpr DWORD kUntouched = 0xCCCCCCCC;

struct Answer {
    DWORD cbSize, major, minor, build, platform, flags;
    ULONGLONG version;
};

// Calls with a 1000-byte buffer prefilled with 0xCC and the given cbSize.
Answer Ask(DLLGETVERSIONPROC get, DWORD cbSize, HRESULT& result) {
    std::vector<BYTE> buffer(1000, 0xCC);
    auto* info = reinterpret_cast<DLLVERSIONINFO2*>(buffer.data());
    info->info1.cbSize = cbSize;
    result = get(&info->info1);
    for (size_t i = sizeof(DLLVERSIONINFO2); i < buffer.size(); ++i)
        EXPECT_EQ(buffer[i], 0xCC) << "byte " << i << " written";
    return {info->info1.cbSize,        info->info1.dwMajorVersion, info->info1.dwMinorVersion,
            info->info1.dwBuildNumber, info->info1.dwPlatformID,   info->dwFlags,
            info->ullVersion};
}

TEST_F(DllGetVersionTest, NullIsAnInvalidArgument) { EXPECT_EQ(Get(nullptr), E_INVALIDARG); }

TEST_F(DllGetVersionTest, AnswersBySize) {
    const ULONGLONG untouched64 = 0xCCCCCCCCCCCCCCCCull;
    struct Case {
        DWORD cbSize;
        HRESULT result;
        Answer answer;
    } cases[] = {
        // Too short: the size needed comes back, nothing else is written.
        {0, HRESULT(0x800700EA), {32, kUntouched, kUntouched, kUntouched, kUntouched, kUntouched, untouched64}},
        {19, HRESULT(0x800700EA), {32, kUntouched, kUntouched, kUntouched, kUntouched, kUntouched, untouched64}},
        {20, S_OK, {20, 1, 0, 42, 2, kUntouched, untouched64}},
        {24, S_OK, {24, 1, 0, 42, 2, kUntouched, untouched64}},
        {31, S_OK, {31, 1, 0, 42, 2, kUntouched, untouched64}},
        {32, S_OK, {32, 1, 0, 42, 2, 0, 0x00010000002A000Dull}},
        {33, S_OK, {33, 1, 0, 42, 2, kUntouched, untouched64}},
        {1000, S_OK, {1000, 1, 0, 42, 2, kUntouched, untouched64}},
    };
    for (const Case& c : cases) {
        HRESULT result = 0;
        const Answer a = Ask(Get, c.cbSize, result);
        EXPECT_EQ(result, c.result) << c.cbSize;
        EXPECT_EQ(a.cbSize, c.answer.cbSize) << c.cbSize;
        EXPECT_EQ(a.major, c.answer.major) << c.cbSize;
        EXPECT_EQ(a.minor, c.answer.minor) << c.cbSize;
        EXPECT_EQ(a.build, c.answer.build) << c.cbSize;
        EXPECT_EQ(a.platform, c.answer.platform) << c.cbSize;
        EXPECT_EQ(a.flags, c.answer.flags) << c.cbSize;
        EXPECT_EQ(a.version, c.answer.version) << c.cbSize;
    }
}

// A structure placed so that it ends where writable memory ends.
class GuardedStructure {
public:
    explicit GuardedStructure(size_t writable) {
        SYSTEM_INFO si;
        GetSystemInfo(&si);
        FPage = si.dwPageSize;
        FBase = static_cast<BYTE*>(VirtualAlloc(nullptr, 2 * FPage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(FBase + FPage, FPage, PAGE_READONLY, &old);
        std::memset(FBase, 0xCC, FPage);
        FAt = FBase + FPage - writable;
    }
    ~GuardedStructure() { VirtualFree(FBase, 0, MEM_RELEASE); }
    DLLVERSIONINFO2* Info() const { return reinterpret_cast<DLLVERSIONINFO2*>(FAt); }

private:
    BYTE* FBase = nullptr;
    BYTE* FAt = nullptr;
    DWORD FPage = 0;
};

TEST_F(DllGetVersionTest, UnwritableTailsAreInvalidArguments) {
    {
        // Not even the size is writable: the size word itself lies on the read-only page.
        GuardedStructure g(2);
        EXPECT_EQ(Get(&g.Info()->info1), E_INVALIDARG);
    }
    {
        // 20 bytes asked for, 16 writable: nothing written.
        GuardedStructure g(16);
        g.Info()->info1.cbSize = 20;
        EXPECT_EQ(Get(&g.Info()->info1), E_INVALIDARG);
        EXPECT_EQ(g.Info()->info1.dwMajorVersion, kUntouched);
    }
    {
        // 32 bytes asked for, 20 writable: the short answer stays written.
        GuardedStructure g(20);
        g.Info()->info1.cbSize = 32;
        EXPECT_EQ(Get(&g.Info()->info1), E_INVALIDARG);
        EXPECT_EQ(g.Info()->info1.dwMajorVersion, 1u);
        EXPECT_EQ(g.Info()->info1.dwBuildNumber, 42u);
    }
    {
        // The short size with only 4 writable bytes: the size needed comes back.
        GuardedStructure g(4);
        g.Info()->info1.cbSize = 8;
        EXPECT_EQ(Get(&g.Info()->info1), HRESULT(0x800700EA));
        EXPECT_EQ(g.Info()->info1.cbSize, 32u);
    }
}

TEST(DllVersionPacking, PartsInTheirBits) {
    EXPECT_EQ(ruk::MakeDllVerUll(1, 0, 42, 13), 0x00010000002A000Dull);
    EXPECT_EQ(ruk::MakeDllVerUll(0xFFFF, 0, 0, 0), 0xFFFF000000000000ull);
    EXPECT_EQ(ruk::MakeDllVerUll(0, 0, 0xFFFF, 0xFFFF), 0x00000000FFFFFFFFull);
    EXPECT_EQ(ruk::GetDllVerQfe(0x00010000002A000Dull), 13);
}

TEST(RtlExports, ShowVersionInfoDialogShowsTheDialogAndReturnsZero) {
    RtlLibrary rtl;
    ASSERT_NE(rtl.Handle(), nullptr);
    auto show = rtl.Proc<int(__stdcall*)(int)>("ShowVersionInfoDialog");
    ASSERT_NE(show, nullptr);
    for (int round = 0; round < 2; ++round) {
        ruktest::CloseVersionDialog::Closed() = 0;
        {
            ruktest::CloseVersionDialog closer;
            EXPECT_EQ(show(0), 0);
        }
        EXPECT_GE(ruktest::CloseVersionDialog::Closed(), 1) << "a fresh dialog each time";
        MSG msg;
        EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    }
}

}  // namespace
