// Shared helpers of the main-window tests: a clean settings key, message pumping, the
// messages the window shows, and the window itself.
#pragma once

#include "RUKDynShlWAPI.h"
#include "RUKLexmillMain.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string>
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
};
}  // namespace ruk

namespace ruktest {

// Runs the queued messages of this thread (posted completions, notifications).
inline void Pump() {
    MSG msg;
    for (int round = 0; round < 3; ++round) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(1);
    }
}

// Pumps until pred holds or the time runs out; false on time-out.
template <class P>
bool PumpUntil(P pred, DWORD timeoutMs = 30000) {
    const DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start > timeoutMs) return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        ruk::CheckSynchronize();
        Sleep(1);
    }
    return true;
}

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

inline std::string TempDir() {
    char buf[MAX_PATH];
    GetTempPathA(MAX_PATH, buf);
    return buf;
}

inline void WriteTextFile(const std::string& path, const std::string& data) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD done = 0;
    ::WriteFile(f, data.data(), static_cast<DWORD>(data.size()), &done, nullptr);
    CloseHandle(f);
}

// Every message the window shows through the exception display, in order.
class MessageCapture {
public:
    MessageCapture() {
        ruk::SetExceptionHandler([this](ruk::TObject*, std::exception_ptr e) {
            try {
                std::rethrow_exception(e);
            } catch (const std::exception& x) {
                Messages.push_back(x.what());
            } catch (...) {
                Messages.push_back("(unknown)");
            }
        });
    }
    ~MessageCapture() { ruk::SetExceptionHandler(nullptr); }
    std::vector<std::string> Messages;
};

// The file dialogs answered for the user while it lives.
struct DialogHook {
    explicit DialogHook(ruk::TOpenDialog::TExecuteHook hook) { ruk::TOpenDialog::SetExecuteHook(std::move(hook)); }
    ~DialogHook() { ruk::TOpenDialog::SetExecuteHook(nullptr); }
};

// The message boxes that appear on this thread while it lives: each is recorded (its caption
// and text) and closed as the user would: with OK, or with the button that Answer chose for
// the boxes of its caption (IDYES, IDNO, IDCANCEL; IDCANCEL also stands for closing the box).
class BoxWatcher {
public:
    struct Box {
        std::string Caption;
        std::string Text;
    };
    BoxWatcher() {
        Seen().clear();
        Closed().clear();
        Answers().clear();
        FTimer = SetTimer(nullptr, 0, 15, Watch);
    }
    ~BoxWatcher() {
        KillTimer(nullptr, FTimer);
        Answers().clear();
    }
    void Answer(const std::string& caption, int button) { Answers()[caption] = button; }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const Box& b : Seen()) texts.push_back(b.Text);
        return texts;
    }
    static std::vector<Box>& Seen() {
        static std::vector<Box> seen;
        return seen;
    }

private:
    static std::map<std::string, int>& Answers() {
        static std::map<std::string, int> answers;
        return answers;
    }
    static std::set<HWND>& Closed() {
        static std::set<HWND> closed;
        return closed;
    }
    static std::string WindowText(HWND w) {
        char buffer[1024] = {};
        GetWindowTextA(w, buffer, sizeof buffer);
        return buffer;
    }
    static BOOL CALLBACK CollectStatic(HWND child, LPARAM param) {
        char cls[32] = {};
        GetClassNameA(child, cls, sizeof cls);
        const std::string text = WindowText(child);
        if (_stricmp(cls, "Static") == 0 && !text.empty()) *reinterpret_cast<std::string*>(param) += text;
        return TRUE;
    }
    static BOOL CALLBACK FindBox(HWND w, LPARAM) {
        char cls[32] = {};
        GetClassNameA(w, cls, sizeof cls);
        if (std::strcmp(cls, "#32770") == 0 && IsWindowVisible(w) && Closed().insert(w).second) {
            Box box{WindowText(w), ""};
            EnumChildWindows(w, CollectStatic, reinterpret_cast<LPARAM>(&box.Text));
            const auto answer = Answers().find(box.Caption);
            Seen().push_back(box);
            PostMessageA(w, WM_COMMAND, answer == Answers().end() ? IDOK : answer->second, 0);
        }
        return TRUE;
    }
    static void CALLBACK Watch(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), FindBox, 0); }
    UINT_PTR FTimer;
};

// The main window created and shown as the program does it, freed at the end of the test.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteSettingsKey(); }
    void TearDown() override {
        if (Form) Form->Free();
        Form = nullptr;
        DeleteSettingsKey();
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
    ruk::TSDIAppForm* Form = nullptr;
};

}  // namespace ruktest
