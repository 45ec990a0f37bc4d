// The text of a rich edit as the control itself holds it, past what the pane keeps in memory.
#pragma once

#include "ComCtrls.h"

#include <algorithm>
#include <string>
#include <vector>

namespace ruktest {

// The part of a text (line breaks CR LF) between two positions that count a line break as one.
inline std::string UnitRange(const std::string& text, size_t from, size_t to) {
    size_t unit = 0, i = 0, begin = std::string::npos;
    for (; i < text.size() && unit < to; ++unit) {
        if (unit == from) begin = i;
        i += text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
    }
    if (begin == std::string::npos) begin = std::min(i, text.size());
    return text.substr(begin, i - begin);
}

inline std::string WithoutLineBreaks(const std::string& text) {
    std::string s;
    for (const char c : text)
        if (c != '\r' && c != '\n') s += c;
    return s;
}

// Display lines (TDisplayBreaks) are taken out: the text is what the control holds besides.
// A pane that shows a window of its text: the control is to hold the text's part between the
// window's ends (line breaks of ours aside), and then the pane's text is the answer.
inline std::string ControlText(ruk::TRichEdit& re) {
    re.CompleteAppends();
    if (re.ShowsWindow()) {
        const std::string text = re.Text();
        const std::string part = UnitRange(text, re.WindowStart(), re.WindowEnd());
        const std::string shown = re.ShownText();
        const auto breaks = [](const std::string& s) { return std::count(s.begin(), s.end(), '\n'); };
        if (WithoutLineBreaks(shown) != WithoutLineBreaks(part) || breaks(shown) < breaks(part))
            return "<the control's window differs from the text> " + shown.substr(0, 200);
        return text;
    }
    if (re.ShowsDisplayLines()) {
        // Past the pane's answers from memory: the window text, every line break one CR.
        const int size = static_cast<int>(SendMessageA(re.Handle(), WM_GETTEXTLENGTH, 0, 0));
        std::string raw(static_cast<size_t>(std::max(size, 0)) + 1, '\0');
        raw.resize(static_cast<size_t>(std::max<LRESULT>(
            0, SendMessageA(re.Handle(), WM_GETTEXT, raw.size(), reinterpret_cast<LPARAM>(raw.data())))));
        std::string stored;
        for (size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
            stored += raw[i] == '\n' ? '\r' : raw[i];
        }
        std::string text;
        const std::vector<size_t>& at = re.DisplayBreaks().At();
        size_t k = 0;
        for (size_t i = 0; i < stored.size(); ++i) {
            if (k < at.size() && at[k] + k == i) {
                ++k;
                continue;
            }
            text += stored[i] == '\r' ? std::string("\r\n") : std::string(1, stored[i]);
        }
        return text;
    }
    std::string s(static_cast<size_t>(re.GetTextLen()) * 2 + 2, '\0');
    GETTEXTEX ex{static_cast<DWORD>(s.size()), GT_USECRLF, CP_ACP, nullptr, nullptr};
    const LRESULT got =
        SendMessageA(re.Handle(), EM_GETTEXTEX, reinterpret_cast<WPARAM>(&ex), reinterpret_cast<LPARAM>(s.data()));
    s.resize(static_cast<size_t>(std::max<LRESULT>(0, got)));
    return s;
}

// Every kind of line break as CR LF, as a pane gives its text back (for texts without the soft
// break CR CR LF, which the control reads in a way of its own).
inline std::string WithCrLfBreaks(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\r\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace ruktest
