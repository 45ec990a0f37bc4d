// How a document's bytes become the ANSI text the panes show, the same for every pane: the
// bytes as they stand up to the first zero byte, or, after a UTF-16 byte-order mark, the
// 16-bit units up to the first zero unit converted by the ANSI code page, the mark with them.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace ruk {

enum class TDocumentEncoding { deAnsi, deUtf16LE, deUtf16BE };

// What the first two bytes announce: FF FE little-endian, FE FF big-endian UTF-16.
TDocumentEncoding DocumentEncoding(const char* data, size_t size);

// The text of size bytes of data, which two zero bytes must follow: they end the text as
// bytes and as 16-bit units, and complete an odd last unit.
std::string DocumentAnsiText(const char* data, size_t size, TDocumentEncoding encoding);

// Reads a whole file (shared for reading and writing) and returns its text as above; false
// with the system's error code when it cannot be opened.
bool ReadDocumentFile(const std::string& path, std::string& text, DWORD& error);

}  // namespace ruk
