// Texts the pane tests share.
#pragma once

#include <string>

namespace ruktest {

// A line of words and tags of about size characters.
inline std::string LongLine(size_t size, unsigned seed) {
    std::string line;
    static const char* const words[] = {"lorem", "<b>", "ipsum", "</b>", "dolor", "sit", "amet,"};
    while (line.size() < size) {
        seed = seed * 1103515245u + 12345u;
        line += words[(seed >> 16) % 7];
        if ((seed >> 8) % 3) line += ' ';
    }
    return line;
}

}  // namespace ruktest
