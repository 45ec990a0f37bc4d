#include "Registry.h"

#include <gtest/gtest.h>

using namespace ruk;

namespace {

// A key of its own under HKEY_CURRENT_USER\Software\RUK, removed with everything in it.
class RegistryIniFile : public ::testing::Test {
protected:
    void SetUp() override {
        FRelative = Format("Software\\RUK\\FrameworkTests%lu", GetCurrentProcessId());
        RegDeleteTreeA(HKEY_CURRENT_USER, FRelative.c_str());
    }
    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, FRelative.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\RUK");  // only when nothing else is in it
        HKEY left = nullptr;
        EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, FRelative.c_str(), 0, KEY_READ, &left), ERROR_SUCCESS);
    }
    std::string StoreName() const { return "\\" + FRelative; }
    // Puts a raw value into the section, as another program might have left it.
    void PutRaw(const std::string& section, const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (FRelative + "\\" + section).c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    std::string FRelative;
};

std::string ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const ERegistryException& e) {
        return e.Message();
    }
    return "<nothing raised>";
}

}  // namespace

TEST_F(RegistryIniFile, CreatesItsKeyAndReadsDefaultsWhileNothingIsThere) {
    TRegistryIniFile store(StoreName());
    ASSERT_NE(store.Key(), nullptr);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, FRelative.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(store.ReadString("Recent", "LastSourceFilePath", ""), "");
    EXPECT_EQ(store.ReadString("Recent", "LastSourceFilePath", "dflt"), "dflt");
    // Reading creates no section.
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, (FRelative + "\\Recent").c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
}

TEST_F(RegistryIniFile, WritesStringsThatTheNextStoreReads) {
    {
        TRegistryIniFile store(StoreName());
        store.WriteString("Recent", "LastLogFilePath", "C:\\logs");
        store.WriteString("Recent", "Empty", "");
        store.WriteString("Recent", "Bullet", "a\x95" "b");
        EXPECT_EQ(store.ReadString("Recent", "LastLogFilePath", "d"), "C:\\logs");
        EXPECT_EQ(store.ReadString("Recent", "Missing", "d"), "d");
        EXPECT_EQ(store.ReadString("Other", "LastLogFilePath", "d"), "d");
    }
    TRegistryIniFile again(StoreName());
    EXPECT_EQ(again.ReadString("Recent", "LastLogFilePath", ""), "C:\\logs");
    EXPECT_EQ(again.ReadString("Recent", "Empty", "d"), "");
    EXPECT_EQ(again.ReadString("Recent", "Bullet", ""), "a\x95" "b");

    // Stored as REG_SZ with the terminating zero byte.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, (FRelative + "\\Recent").c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD type = 0, size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "LastLogFilePath", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(size, 8u);
}

TEST_F(RegistryIniFile, ReadsWhatOthersLeftByTheRules) {
    TRegistryIniFile store(StoreName());
    PutRaw("Recent", "Zeros", REG_SZ, "ab\0cd\0", 6);
    PutRaw("Recent", "Unterminated", REG_SZ, "abc", 3);
    PutRaw("Recent", "Expand", REG_EXPAND_SZ, "%PATH%\\x", 9);
    PutRaw("Recent", "EmptySz", REG_SZ, "", 0);
    PutRaw("Recent", "EmptyBinary", REG_BINARY, "", 0);
    const DWORD number = 5;
    PutRaw("Recent", "Number", REG_DWORD, &number, sizeof number);
    PutRaw("Recent", "Binary", REG_BINARY, "xy", 2);

    EXPECT_EQ(store.ReadString("Recent", "Zeros", ""), "ab");
    EXPECT_EQ(store.ReadString("Recent", "Unterminated", ""), "abc");
    EXPECT_EQ(store.ReadString("Recent", "Expand", ""), "%PATH%\\x");
    EXPECT_EQ(store.ReadString("Recent", "EmptySz", "d"), "");
    EXPECT_EQ(store.ReadString("Recent", "EmptyBinary", "d"), "");
    EXPECT_EQ(ErrorOf([&] { store.ReadString("Recent", "Number", ""); }), "Invalid data type for 'Number'");
    EXPECT_EQ(ErrorOf([&] { store.ReadString("Recent", "Binary", ""); }), "Invalid data type for 'Binary'");
}

TEST_F(RegistryIniFile, WriteFailures) {
    // A key that could not be opened: reads give the default, writes fail.
    TRegistryIniFile nowhere("\\Software\\RUK\\x", KEY_ALL_ACCESS, reinterpret_cast<HKEY>(0x1234));
    EXPECT_EQ(nowhere.Key(), nullptr);
    EXPECT_EQ(nowhere.ReadString("Recent", "a", "d"), "d");
    EXPECT_EQ(ErrorOf([&] { nowhere.WriteString("Recent", "a", "v"); }), "Failed to create key Recent");

    // Read-only access: no value can be set. (Wine lets a read-only handle create a
    // subkey, so the section's creation is not tried here.)
    {
        TRegistryIniFile writable(StoreName());
        writable.WriteString("Recent", "a", "v");
    }
    TRegistryIniFile readOnly(StoreName(), KEY_READ);
    ASSERT_NE(readOnly.Key(), nullptr);
    EXPECT_EQ(readOnly.ReadString("Recent", "a", ""), "v");
    EXPECT_EQ(ErrorOf([&] { readOnly.WriteString("Recent", "a", "w"); }), "Failed to set data for 'a'");
    EXPECT_EQ(readOnly.ReadString("Recent", "a", ""), "v");
}
