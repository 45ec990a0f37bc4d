// What the rich edit's sources share: the panes of the process, streaming a text in, the
// clipboard, buffers of callers.
#pragma once

#include <windows.h>
#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace ruk {
class TRichEdit;
}

namespace ruk::richedit {

// The rich edits of the process (all on the main thread).
inline std::vector<TRichEdit*>& RichEdits() {
    static std::vector<TRichEdit*> panes;
    return panes;
}

// The timer of a pane's appends, in the control's window.
constexpr UINT_PTR kAppendTimer = 0x5241;

// Taking the text out of a control costs it time that grows with the square of its lines (some
// seconds for 10,000 under Wine, minutes for a long log); a new window costs next to nothing.
// So a control with more lines than this is replaced by a new window when its text is replaced.
constexpr LRESULT kLargeLineCount = 1000;

// A part of a text in memory, streamed into the control.
struct TTextSource {
    const wchar_t* Data;
    size_t Size;  // in characters
};

inline DWORD CALLBACK TextInCallback(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    auto* source = reinterpret_cast<TTextSource*>(cookie);
    size_t n = std::min(source->Size, static_cast<size_t>(std::max<LONG>(size, 0)) / sizeof(wchar_t));
    if (n < source->Size) {
        // The control converts and inserts each buffer on its own: one that ends inside a
        // line break (CR | LF, or CR | CR LF, the soft break) would come out as other breaks.
        // So a buffer ends after a line, or at least not after a CR.
        size_t cut = n;
        while (cut > 0 && source->Data[cut - 1] != L'\n') --cut;
        if (cut == 0) {
            cut = n;
            while (cut > 0 && source->Data[cut - 1] == L'\r') --cut;
        }
        if (cut > 0) n = cut;
    }
    std::memcpy(buffer, source->Data, n * sizeof(wchar_t));
    source->Data += n;
    source->Size -= n;
    *done = static_cast<LONG>(n * sizeof(wchar_t));
    return 0;
}

// Streams ANSI text in as it stands. The control's own plain-text load would take a text that
// begins with the UTF-8 byte-order mark for UTF-8 and decode it, so the pane would show
// another text than the one loaded; converted here by the ANSI code page, as the control
// converts every other text, it reads back byte for byte.
// The result is the stream's error (0: none).
inline DWORD StreamInAnsiText(HWND h, WPARAM flags, const char* text, size_t size) {
    std::wstring wide;
    if (size > 0) {
        const int n = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(size), nullptr, 0);
        wide.resize(static_cast<size_t>(std::max(n, 0)));
        if (n > 0) MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(size), wide.data(), n);
    }
    TTextSource source{wide.data(), wide.size()};
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&source), 0, TextInCallback};
    SendMessageA(h, EM_STREAMIN, flags | SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&es));
    return es.dwError;
}

// Set for as long as it lives (and then as it was).
struct TFlagGuard {
    bool& Flag;
    const bool Before;
    explicit TFlagGuard(bool& flag) : Flag(flag), Before(flag) { Flag = true; }
    ~TFlagGuard() { Flag = Before; }
    TFlagGuard(const TFlagGuard&) = delete;
    TFlagGuard& operator=(const TFlagGuard&) = delete;
};

// Puts text on the clipboard as ANSI text; false when the clipboard could not be had.
inline bool PutTextOnClipboard(HWND owner, const std::string& text) {
    if (!OpenClipboard(owner)) return false;
    bool done = false;
    EmptyClipboard();
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
        if (void* p = GlobalLock(memory)) {
            std::memcpy(p, text.c_str(), text.size() + 1);
            GlobalUnlock(memory);
            done = SetClipboardData(CF_TEXT, memory) != nullptr;
        }
        if (!done) GlobalFree(memory);
    }
    CloseClipboard();
    return done;
}

// Copies text into a caller's buffer of size bytes (NUL included); the characters copied.
inline LRESULT CopyOut(const std::string& text, char* buffer, size_t size) {
    if (!buffer || size == 0) return 0;
    const size_t n = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return static_cast<LRESULT>(n);
}

// Whether a message replaces the control's whole text (as against an edit of its selection).
inline bool ReplacesWholeText(UINT msg, WPARAM wp) {
    switch (msg) {
    case WM_SETTEXT:
        return true;
    case EM_STREAMIN:
        return !(wp & SFF_SELECTION);
    case EM_SETTEXTEX:
        return !(wp != 0 && (reinterpret_cast<const SETTEXTEX*>(wp)->flags & ST_SELECTION));
    default:
        return false;
    }
}

// Every line break (CR LF) as one CR, as the control keeps it.
inline std::string WithCrBreaks(const std::string& text) {
    std::string s;
    s.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        s += text[i] == '\n' ? '\r' : text[i];
    }
    return s;
}

}  // namespace ruk::richedit
