// RUKMenuCommand "<window caption>" "<menu>" "<item>": chooses a menu command of a running
// program's window, as a click on it would (scripts/run --menu uses it for screenshots).
// Captions are compared without their '&' and without regard to case. Exit code 0 when the
// command was posted.
#include <windows.h>

#include <cstdio>
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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: RUKMenuCommand \"<window caption>\" \"<menu>\" \"<item>\"\n");
        return 2;
    }
    HWND window = nullptr;
    for (int i = 0; i < 300 && !window; ++i) {
        window = FindWindowA(nullptr, argv[1]);
        if (!window) Sleep(100);
    }
    if (!window) {
        std::fprintf(stderr, "no window \"%s\"\n", argv[1]);
        return 1;
    }
    HMENU bar = GetMenu(window);
    const int top = bar ? FindItem(bar, argv[2]) : -1;
    HMENU sub = top >= 0 ? GetSubMenu(bar, top) : nullptr;
    const int item = sub ? FindItem(sub, argv[3]) : -1;
    if (item < 0) {
        std::fprintf(stderr, "no menu command \"%s\" > \"%s\"\n", argv[2], argv[3]);
        return 1;
    }
    const UINT id = GetMenuItemID(sub, item);
    return PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0) ? 0 : 1;
}
