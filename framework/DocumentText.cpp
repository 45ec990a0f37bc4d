#include "DocumentText.h"

#include "Handles.h"
#include "SysUtils.h"

#include <cstring>

namespace ruk {

TDocumentEncoding DocumentEncoding(const char* data, size_t size) {
    if (size < 2) return TDocumentEncoding::deAnsi;
    const unsigned char b0 = static_cast<unsigned char>(data[0]), b1 = static_cast<unsigned char>(data[1]);
    if (b0 == 0xFF && b1 == 0xFE) return TDocumentEncoding::deUtf16LE;
    if (b0 == 0xFE && b1 == 0xFF) return TDocumentEncoding::deUtf16BE;
    return TDocumentEncoding::deAnsi;
}

std::string DocumentAnsiText(const char* data, size_t size, TDocumentEncoding encoding) {
    if (encoding == TDocumentEncoding::deAnsi) return std::string(data, std::strlen(data));
    // Whole units only: for an odd size the last one is the last byte and a zero byte.
    const size_t unitCount = (size + 2) / 2;
    if (encoding == TDocumentEncoding::deUtf16BE) {
        const unsigned char* raw = reinterpret_cast<const unsigned char*>(data);
        std::wstring swapped;
        swapped.reserve(unitCount);
        for (size_t i = 0; i < unitCount; ++i) {
            const wchar_t unit = static_cast<wchar_t>((raw[2 * i] << 8) | raw[2 * i + 1]);
            if (unit == L'\0') break;
            swapped += unit;
        }
        return WideToAnsi(swapped);
    }
    const wchar_t* units = reinterpret_cast<const wchar_t*>(data);
    size_t length = 0;
    while (length < unitCount && units[length] != L'\0') ++length;
    return WideToAnsi(units, length);
}

bool ReadDocumentFile(const std::string& path, std::string& text, DWORD& error) {
    const TFileHandle f(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) {
        error = GetLastError();
        return false;
    }
    std::string data;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(f.Get(), buf, sizeof buf, &got, nullptr) && got > 0) data.append(buf, got);
    const size_t size = data.size();
    data.append(2, '\0');
    text = DocumentAnsiText(data.data(), size, DocumentEncoding(data.data(), size));
    return true;
}

}  // namespace ruk
