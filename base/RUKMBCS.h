// RUKMBCS: the byte searches behind the locale-aware functions of RUKSysUtils.
//
// In a double-byte code page a byte may be the second (trail) byte of a character,
// and such a byte must never match a searched character even when its value is the
// same (the backslash is a common trail byte in Shift-JIS). The searches walk the
// text character by character: a lead byte and the byte after it form one character.
// Positions are 1-based as everywhere in RUKSysUtils; 0 means "not found".
#pragma once

#include <array>
#include <string>

namespace ruk {

struct TRUKLeadByteTable {
    std::array<bool, 256> Lead{};
    bool Any = false;  // false: a single-byte code page, every search is a plain byte search
};

// The lead bytes of the ANSI code page of the process (all false in a single-byte
// code page), read once.
const TRUKLeadByteTable& AnsiLeadBytes();

// First position at or after from (1-based) where a character begins with c.
int MBPosChar(char c, const std::string& s, int from, const TRUKLeadByteTable& lead);
// Last position where a character begins with c.
int MBLastPosChar(char c, const std::string& s, const TRUKLeadByteTable& lead);
// First position at or after from where a character begins and sub follows; sub
// must lie wholly inside the first limit bytes of s (limit < 0: the whole text).
int MBPosStr(const std::string& sub, const std::string& s, int from, const TRUKLeadByteTable& lead,
             int limit = -1);
// Position of the first byte of the last character among the first limit bytes.
int MBLastCharStart(const std::string& s, int limit, const TRUKLeadByteTable& lead);

}  // namespace ruk
