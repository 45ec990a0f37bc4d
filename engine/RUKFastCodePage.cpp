#include "RUKFastCodePage.h"

#include "SysUtils.h"

#include <windows.h>

namespace ruk::fast {

namespace {

TFastEnv BuildEnv() {
    TFastEnv env;
    for (int i = 0; i < 256; ++i) env.Lower[i] = env.Upper[i] = static_cast<uchar>(i);
    CPINFO info{};
    if (!GetCPInfo(CP_ACP, &info) || info.MaxCharSize != 1) return env;

    // Bytes 1..255 and then 0, converted as one text, give the maps.
    std::string bytes(256, '\0');
    for (int i = 0; i < 255; ++i) bytes[static_cast<size_t>(i)] = static_cast<char>(i + 1);
    const std::string lower = AnsiLowerCase(bytes);
    const std::string upper = AnsiUpperCase(bytes);
    if (lower.size() != 256 || upper.size() != 256) return env;
    for (int i = 0; i < 256; ++i) {
        env.Lower[(i + 1) & 255] = U8(lower[static_cast<size_t>(i)]);
        env.Upper[(i + 1) & 255] = U8(upper[static_cast<size_t>(i)]);
    }
    // The same bytes in another order, each byte must convert to its map: the conversion
    // looks at no neighbour.
    std::string reversed(bytes.rbegin() + 1, bytes.rend());  // 255..1
    const std::string rl = AnsiLowerCase(reversed), ru = AnsiUpperCase(reversed);
    if (rl.size() != reversed.size() || ru.size() != reversed.size()) return env;
    for (size_t i = 0; i < reversed.size(); ++i) {
        if (U8(rl[i]) != env.Lower[U8(reversed[i])] || U8(ru[i]) != env.Upper[U8(reversed[i])])
            return env;
    }
    if (env.Lower[0] != 0 || env.Upper[0] != 0) return env;
    env.ByteMapped = true;
    const std::string pastZero = std::string("A\0A\xC0", 4);
    const std::string pl = AnsiLowerCase(pastZero), pu = AnsiUpperCase(pastZero);
    env.MapsPastZero = pl.size() == 4 && pu.size() == 4 && U8(pl[2]) == env.Lower['A'] &&
                       U8(pl[3]) == env.Lower[0xC0] && U8(pu[3]) == env.Upper[0xC0];

    // Sections: upper(lower(b)) == upper(b) for every byte, and a lowered byte that upper-cases
    // like a letter of an opening string is that letter; then the case-insensitive removal from
    // the lowered copy hits the same place as the opening string.
    bool sections = true;
    for (int b = 0; b < 256 && sections; ++b) {
        if (env.Upper[env.Lower[b]] != env.Upper[b]) sections = false;
        for (const char* p = "<stylecript"; *p && sections; ++p) {
            if (env.Upper[env.Lower[b]] == env.Upper[U8(*p)] && env.Lower[b] != U8(*p)) sections = false;
        }
    }
    env.SectionsExact = sections;

    // Entities: an occurrence of a row begins only at an ampersand; no later character of an
    // entity matches an ampersand; and no replacement byte matches a later character of the
    // entity of a later row. Then every ampersand of the text heads its own stretch up to the
    // next one, and the rows act on each stretch alone.
    bool entities = true;
    for (int r = 0; r < HTMLEntityRowCount && entities; ++r) {
        const THTMLEntityRow& row = HTMLEntityRows[r];
        for (int b = 0; b < 256; ++b)
            if (b != '&' && RowByteMatches(env, row, static_cast<uchar>(b), '&')) entities = false;
        for (const char* p = row.Entity + 1; *p; ++p)
            if (RowByteMatches(env, row, '&', U8(*p))) entities = false;
        if (row.Replacement >= 0 && row.Replacement != '&') {
            for (int later = r + 1; later < HTMLEntityRowCount; ++later) {
                for (const char* p = HTMLEntityRows[later].Entity + 1; *p; ++p) {
                    if (RowByteMatches(env, HTMLEntityRows[later], static_cast<uchar>(row.Replacement), U8(*p)))
                        entities = false;
                }
            }
        }
    }
    env.EntitiesExact = entities;

    // Words: only the blank upper-cases like the blank, so a word that does not begin with a
    // blank never matches, without regard to case, inside a run of blanks.
    bool words = true;
    for (int b = 0; b < 256; ++b)
        if (b != ' ' && env.Upper[b] == env.Upper[' ']) words = false;
    env.WordsExact = words;
    return env;
}

}  // namespace

const TFastEnv& Env() {
    static const TFastEnv env = BuildEnv();
    return env;
}

// Whether the fast stages that compare case can take this text.
bool CaseMappingHolds(const std::string& text) {
    const TFastEnv& env = Env();
    if (!env.ByteMapped) return false;
    return env.MapsPastZero || !HasByte(text, '\0');
}

}  // namespace ruk::fast
