// The text of a rich edit as the control itself holds it, past what the pane keeps in memory.
#pragma once

#include "ComCtrls.h"

#include <algorithm>
#include <string>
#include <vector>

namespace ruktest {

// Display lines (TDisplayBreaks) are taken out: the text is what the control holds besides.
inline std::string ControlText(ruk::TRichEdit& re) {
    re.CompleteAppends();
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
