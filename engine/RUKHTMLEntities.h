// The character entities the word-list worker replaces, in their order of application.
#pragma once

namespace ruk {

struct THTMLEntityRow {
    const char* Entity;
    int Replacement;  // the byte, or -1: the entity is removed
    bool IgnoreCase;
};

constexpr int HTMLEntityRowCount = 101;

// The order is part of the behaviour: "&amp;" comes third, so an escaped entity of a later row
// is replaced twice and one of an earlier row once.
extern const THTMLEntityRow HTMLEntityRows[HTMLEntityRowCount];

}  // namespace ruk
