// RUKMenuCommand "<window caption>" "<menu>" "<item>": chooses a menu command of a running
// program's window, as a click on it would (scripts/run --menu uses it for screenshots).
// Captions are compared without their '&' and without regard to case. Exit code 0 when the
// command was chosen. With --answer, the message boxes of that caption that the command shows
// within the seconds given are answered with OK (a screenshot then shows what follows them).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Plain(const std::string& caption) {
    std::string s;
    for (char c : caption.substr(0, caption.find('\t')))
        if (c != '&') s += c;
    return s;
}

// The position of the item with that caption in a menu, or -1.
int FindItem(HMENU menu, const std::string& caption) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
        if (lstrcmpiA(Plain(text).c_str(), Plain(caption).c_str()) == 0) return i;
    }
    return -1;
}

// The command id of menu > item of the window with that caption, or 0 while the window or
// its menu is not there yet.
// The program's hidden application window may carry the same caption: the window wanted is
// the one with a menu. command: the item's id, or 0 where the menu cannot be read from here.
HWND FindMenuWindow(const char* caption, const char* menu, const char* item, UINT& command) {
    command = 0;
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, nullptr, caption)) != nullptr;) {
        HMENU bar = GetMenu(w);
        if (!bar) continue;
        const int top = FindItem(bar, menu);
        HMENU sub = top >= 0 ? GetSubMenu(bar, top) : nullptr;
        const int at = sub ? FindItem(sub, item) : -1;
        if (at >= 0) command = GetMenuItemID(sub, at);
        return w;
    }
    return nullptr;
}

// The key that chooses a caption in its menu: the letter after '&', else the first letter.
WORD AccessKey(const std::string& caption) {
    const size_t amp = caption.find('&');
    const char c = amp != std::string::npos && amp + 1 < caption.size() ? caption[amp + 1] : caption.empty() ? ' ' : caption[0];
    return static_cast<WORD>(VkKeyScanA(c) & 0xFF);
}

void Key(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}

// As the user types it: Alt with the menu's key, then the item's key. Wine keeps a menu to the
// process that made it, so another process cannot read it and types instead.
bool TypeMenuCommand(HWND window, const char* menu, const char* item) {
    SetForegroundWindow(window);
    Sleep(300);
    Key(VK_MENU, false);
    Key(AccessKey(menu), false);
    Key(AccessKey(menu), true);
    Key(VK_MENU, true);
    Sleep(500);
    Key(AccessKey(item), false);
    Key(AccessKey(item), true);
    return true;
}

// Answers with OK the message boxes of that caption that appear within the time given.
void AnswerBoxes(const char* caption, DWORD ms) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        HWND box = nullptr;
        while ((box = FindWindowExA(nullptr, box, "#32770", caption)) != nullptr)
            if (IsWindowVisible(box)) PostMessageA(box, WM_COMMAND, IDOK, 0);
        Sleep(100);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 && !(argc == 7 && std::string(argv[4]) == "--answer")) {
        std::fprintf(stderr,
                     "usage: RUKMenuCommand \"<window caption>\" \"<menu>\" \"<item>\" "
                     "[--answer \"<box caption>\" <seconds>]\n");
        return 2;
    }
    // The window's caption comes before its menu: wait for both.
    HWND window = nullptr;
    UINT id = 0;
    for (int i = 0; i < 300 && !window; ++i) {
        window = FindMenuWindow(argv[1], argv[2], argv[3], id);
        if (!window) Sleep(100);
    }
    if (!window) {
        std::fprintf(stderr, "no window \"%s\" with a menu\n", argv[1]);
        return 1;
    }
    if (GetMenuItemCount(GetMenu(window)) < 0) {
        TypeMenuCommand(window, argv[2], argv[3]);
    } else if (!id) {
        std::fprintf(stderr, "no menu command \"%s\" > \"%s\"\n", argv[2], argv[3]);
        return 1;
    } else if (!PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0)) {
        std::fprintf(stderr, "the command could not be posted: error %lu\n", GetLastError());
        return 1;
    }
    if (argc == 7) AnswerBoxes(argv[5], static_cast<DWORD>(std::atoi(argv[6])) * 1000);
    return 0;
}
