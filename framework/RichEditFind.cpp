// TRichEdit: searching and measuring the whole text. Every member here reads through a
// message of the control (EM_FINDTEXTEX, EM_GETTEXTLENGTHEX, EM_GETTEXTEX); TRichEdit's
// window procedure completes the appends still waiting before any such message, so each
// answer covers the whole text.
#include "ComCtrls.h"

#include <algorithm>
#include <climits>

namespace ruk {

namespace {
// The find flags of the common dialogs' header, which is not included for them alone (it
// would also turn the name FindText into a macro).
constexpr WPARAM kFindDown = 0x1, kFindWholeWord = 0x2, kFindMatchCase = 0x4;
}  // namespace

int TRichEdit::FindString(const std::string& searchStr, int startPos, int length, unsigned options) {
    FINDTEXTEXA find{};
    find.chrg.cpMin = startPos;
    if (length < 0) {
        find.chrg.cpMax = -1;
    } else {
        // A range past the end of the text is cut there by the control.
        const long long end = static_cast<long long>(startPos) + length;
        find.chrg.cpMax = static_cast<LONG>(std::min<long long>(end, INT_MAX));
    }
    find.lpstrText = searchStr.c_str();
    // Rich edit 2.0 and later search backwards without the down flag.
    WPARAM flags = kFindDown;
    if (options & stWholeWord) flags |= kFindWholeWord;
    if (options & stMatchCase) flags |= kFindMatchCase;
    return static_cast<int>(SendMessageA(Handle(), EM_FINDTEXTEX, flags, reinterpret_cast<LPARAM>(&find)));
}

int TRichEdit::GetTextLenCRLF() {
    GETTEXTLENGTHEX lenEx{GTL_USECRLF | GTL_NUMCHARS | GTL_PRECISE, CP_ACP};
    return static_cast<int>(SendMessageA(Handle(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lenEx), 0));
}

std::string TRichEdit::StoredText(bool* usedDefaultChar) {
    const HWND h = Handle();
    if (usedDefaultChar) *usedDefaultChar = false;
    // In bytes of the ANSI code page, each character at most two.
    GETTEXTLENGTHEX lenEx{GTL_NUMBYTES | GTL_PRECISE, CP_ACP};
    const int n = static_cast<int>(SendMessageA(h, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lenEx), 0));
    if (n <= 0) return "";
    std::string s(static_cast<size_t>(n) * 2 + 2, '\0');
    BOOL usedDefault = FALSE;
    GETTEXTEX ex{static_cast<DWORD>(s.size()), GT_DEFAULT, CP_ACP, nullptr, &usedDefault};
    const int got = static_cast<int>(
        SendMessageA(h, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&ex), reinterpret_cast<LPARAM>(s.data())));
    s.resize(static_cast<size_t>(std::max(0, got)));
    if (usedDefaultChar) *usedDefaultChar = usedDefault != FALSE;
    if (FBreaks.Any() && !FPaneText.Known()) {
        // Display lines, read from the control: the breaks of ours are taken out (a character a position here, as
        // the text is in a code page of one byte a character).
        std::string text;
        text.reserve(s.size());
        size_t from = 0;
        const std::vector<size_t>& at = FBreaks.At();
        for (size_t k = 0; k < at.size() && at[k] + k < s.size(); ++k) {
            text.append(s, from, at[k] + k - from);
            from = at[k] + k + 1;
        }
        if (from < s.size()) text.append(s, from, std::string::npos);
        return text;
    }
    return s;
}

}  // namespace ruk
