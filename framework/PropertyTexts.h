// Property texts: a form description gives every property value as a text, as a form file
// holds it ("True", "12", "clNavy", "crHandPoint", an enumeration's or a set's names); these
// read them. A text that names nothing raises EPropertyError "Invalid property value '...'".
#pragma once

#include "SysUtils.h"

#include <windows.h>

#include <initializer_list>
#include <string>

namespace ruk {

[[noreturn]] void RaiseInvalidPropertyValue(const std::string& value);

bool StrToBoolProp(const std::string& value);  // "True" / "False"
int StrToIntProp(const std::string& value);

// An enumeration property's text as the value its name stands for (names without regard to
// case).
template <class T>
struct TEnumName {
    const char* Name;
    T Value;
};
template <class T>
T StrToEnumProp(const std::string& s, std::initializer_list<TEnumName<T>> names) {
    for (const TEnumName<T>& n : names)
        if (SameText(s, n.Name)) return n.Value;
    RaiseInvalidPropertyValue(s);
}

// A set property's text, "[a, b]", as the flags its element names stand for.
using TSetElementName = TEnumName<unsigned>;
unsigned StrToSetProp(const std::string& s, std::initializer_list<TSetElementName> names);

COLORREF StrToColor(const std::string& s);
// "crHandPoint", "crDefault" and the other standard cursors; null for crDefault.
HCURSOR StrToCursor(const std::string& s);

}  // namespace ruk
