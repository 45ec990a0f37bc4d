// Shared helpers of the main-window tests: a clean settings key, the messages the window
// shows, and the window itself (message pumping and the box watcher are WindowTestSupport's).
#pragma once

#include "RUKDynShlWAPI.h"
#include "RUKLexmillMain.h"
#include "TestFileSupport.h"
#include "WindowTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace ruk {
// The window's private state, for the tests only (one definition for every test file).
class TSDIAppFormTestAccess {
public:
    static TRUKGenWordListFromHTMLThread* WordListThread(TSDIAppForm& f) { return f.FWordListThread.get(); }
    static TRUKConvertCharEncodingThread* ConvertThread(TSDIAppForm& f) { return f.FConvertThread.get(); }
    // The window takes the thread over.
    static void SetWordListThread(TSDIAppForm& f, TRUKGenWordListFromHTMLThread* t) { f.FWordListThread.reset(t); }
    static void SetConvertThread(TSDIAppForm& f, TRUKConvertCharEncodingThread* t) { f.FConvertThread.reset(t); }
    static size_t RetiredLoaders(TSDIAppForm& f) { return f.FRetiredLoaders.size(); }
    static void SetDocTitle(TSDIAppForm& f, const std::string& t) { f.FDocTitle = t; }
    static std::string& SourceFileName(TSDIAppForm& f) { return f.FSourceFileName; }
    static std::string& StrippedContentsFile(TSDIAppForm& f) { return f.FStrippedContentsFile; }
    static std::string& DistinctWordsListFile(TSDIAppForm& f) { return f.FDistinctWordsListFile; }
    static std::string& KeywordListFile(TSDIAppForm& f) { return f.FKeywordListFile; }
    static std::string& LogFile(TSDIAppForm& f) { return f.FLogFile; }
    static void SetSourceFileName(TSDIAppForm& f, const std::string& n) { f.FSourceFileName = n; }
    static HMODULE& RtlLibrary(TSDIAppForm& f) { return f.FRtlLibrary; }
};
}  // namespace ruk

namespace ruktest {

inline void DeleteSettingsKey() { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\RUK\\Lexmill"); }

inline void WriteRecent(const char* name, const std::string& value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\RUK\\Lexmill\\Recent", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

inline std::string ReadRecent(const char* name) {
    char buf[MAX_PATH * 2] = {};
    DWORD size = sizeof buf;
    if (RegGetValueA(HKEY_CURRENT_USER, "Software\\RUK\\Lexmill\\Recent", name, RRF_RT_REG_SZ, nullptr, buf,
                     &size) != ERROR_SUCCESS)
        return "<missing>";
    return buf;
}

inline void WriteTextFile(const std::string& path, const std::string& data) {
    ASSERT_TRUE(WriteFileBytes(path, data)) << path;
}

// The file dialogs answered for the user while it lives.
struct DialogHook {
    explicit DialogHook(ruk::TOpenDialog::TExecuteHook hook) { ruk::TOpenDialog::SetExecuteHook(std::move(hook)); }
    ~DialogHook() { ruk::TOpenDialog::SetExecuteHook(nullptr); }
};

// A message box that no test answers would wait for a user for ever and stop the whole test
// program. While it lives, any dialog of the test's thread still open after a generous time
// (GUI tests under load are slow) is recorded and closed; the fixture then fails the test.
class UnansweredBoxGuard {
public:
    explicit UnansweredBoxGuard(std::chrono::milliseconds patience = std::chrono::seconds(45))
        : FThreadId(GetCurrentThreadId()), FPatience(patience), FWatcher([this] { Watch(); }) {}
    ~UnansweredBoxGuard() {
        FStop = true;
        FWatcher.join();
    }
    UnansweredBoxGuard(const UnansweredBoxGuard&) = delete;
    UnansweredBoxGuard& operator=(const UnansweredBoxGuard&) = delete;
    std::vector<std::string> Unanswered() {
        std::lock_guard<std::mutex> lock(FMutex);
        return FUnanswered;
    }

private:
    using Clock = std::chrono::steady_clock;
    static BOOL CALLBACK Visit(HWND w, LPARAM param) {
        char cls[32] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (std::strcmp(cls, "#32770") == 0 && IsWindowVisible(w)) reinterpret_cast<std::set<HWND>*>(param)->insert(w);
        return TRUE;
    }
    void Watch() {
        std::map<HWND, Clock::time_point> since;
        std::map<HWND, int> attempts;
        while (!FStop) {
            Sleep(200);
            std::set<HWND> open;
            EnumThreadWindows(FThreadId, Visit, reinterpret_cast<LPARAM>(&open));
            for (auto it = since.begin(); it != since.end();)
                it = open.count(it->first) ? std::next(it) : since.erase(it);
            const Clock::time_point now = Clock::now();
            for (HWND w : open) {
                auto [at, fresh] = since.emplace(w, now);
                if (fresh || now - at->second < FPatience) continue;
                int& tries = attempts[w];
                if (tries == 0) Record(w);
                // Cancel where the box has it, otherwise its only other ways out.
                static const int kButtons[] = {IDCANCEL, IDOK, IDNO, IDCLOSE};
                PostMessageA(w, WM_COMMAND, kButtons[tries % 4], 0);
                ++tries;
                at->second = now - FPatience + std::chrono::milliseconds(500);
            }
        }
    }
    void Record(HWND w) {
        char caption[256] = {};
        GetWindowTextA(w, caption, sizeof caption);
        std::string text = caption;
        EnumChildWindows(w, AddStaticText, reinterpret_cast<LPARAM>(&text));
        std::lock_guard<std::mutex> lock(FMutex);
        FUnanswered.push_back(text);
    }
    // A callback of the system's calling convention (a lambda has the compiler's, which differs
    // on 32-bit Windows).
    static BOOL CALLBACK AddStaticText(HWND child, LPARAM param) {
        char cls[32] = {};
        char buffer[1024] = {};
        GetClassNameA(child, cls, sizeof cls);
        GetWindowTextA(child, buffer, sizeof buffer);
        if (_stricmp(cls, "Static") == 0 && buffer[0]) *reinterpret_cast<std::string*>(param) += " | " + std::string(buffer);
        return TRUE;
    }

    DWORD FThreadId;
    std::chrono::milliseconds FPatience;
    std::atomic<bool> FStop{false};
    std::mutex FMutex;
    std::vector<std::string> FUnanswered;
    std::thread FWatcher;
};

// The main window created and shown as the program does it, freed at the end of the test.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteSettingsKey(); }
    void TearDown() override {
        if (Form) Form->Free();
        Form = nullptr;
        DeleteSettingsKey();
        for (const std::string& box : Stuck.Unanswered()) ADD_FAILURE() << "a message box was left unanswered: " << box;
    }
    ruk::TSDIAppForm* Open(bool show = true) {
        Form = ruk::CreateForm<ruk::TSDIAppForm>();
        if (show) Form->Show();
        Pump();
        return Form;
    }
    // Chooses a menu item as the user does: its command reaches the window.
    void ChooseMenuItem(const char* name) {
        auto* item = ruk::FindComponentAs<ruk::TMenuItem>(Form, name);
        SendMessageA(Form->Handle(), WM_COMMAND, MAKEWPARAM(item->Command(), 0), 0);
        Pump();
    }
    MessageCapture Shown;
    UnansweredBoxGuard Stuck;
    ruk::TSDIAppForm* Form = nullptr;
};

}  // namespace ruktest
