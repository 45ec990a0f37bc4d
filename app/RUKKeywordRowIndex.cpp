#include "RUKKeywordRowIndex.h"

#include <windows.h>

namespace ruk {

std::string TKeywordRowIndex::Key(const std::string& text) {
    // The list takes the text by the ANSI code page and compares it as lstrcmpiW does: in the
    // thread's locale, ignoring case.
    std::wstring wide;
    if (!text.empty()) {
        const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
        wide.resize(static_cast<size_t>(n > 0 ? n : 0));
        if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    }
    const LCID locale = GetThreadLocale();
    const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    const int bytes = LCMapStringW(locale, flags, wide.c_str(), -1, nullptr, 0);
    // Without a key the text itself stands, marked so that it never equals a key.
    if (bytes <= 0) return "\x01" + text;
    std::string key(static_cast<size_t>(bytes), '\0');
    LCMapStringW(locale, flags, wide.c_str(), -1, reinterpret_cast<LPWSTR>(key.data()), bytes);
    return "\x02" + key;
}

void TKeywordRowIndex::Add(const std::string& caption) {
    if (FOff) return;
    if (caption.size() >= kLongCaption) {
        FOff = true;
        FKeys.clear();
        return;
    }
    FKeys.insert(Key(caption));
}

bool TKeywordRowIndex::MayHold(const std::string& keyword) const {
    return FOff || keyword.size() >= kLongCaption || FKeys.count(Key(keyword)) > 0;
}

}  // namespace ruk
