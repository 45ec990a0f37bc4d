// The text of a rich edit as the control itself holds it, past what the pane keeps in memory.
#pragma once

#include "ComCtrls.h"

#include <algorithm>
#include <string>

namespace ruktest {

inline std::string ControlText(ruk::TRichEdit& re) {
    re.CompleteAppends();
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
