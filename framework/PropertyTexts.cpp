// The property texts of the visual layer: the generic ones declared in PropertyTexts.h, those
// of the controls' own types beside the types in Controls.h.
#include "PropertyTexts.h"

#include "Controls.h"

namespace ruk {

void RaiseInvalidPropertyValue(const std::string& value) {
    throw EPropertyError(Format("Invalid property value '%s'", value.c_str()));
}

bool StrToBoolProp(const std::string& value) { return StrToEnumProp<bool>(value, {{"True", true}, {"False", false}}); }

int StrToIntProp(const std::string& value) {
    int v = 0;
    if (!TryStrToInt(value, v)) RaiseInvalidPropertyValue(value);
    return v;
}

TAlign StrToAlign(const std::string& s) {
    return StrToEnumProp<TAlign>(s, {{"alNone", TAlign::alNone},
                                     {"alTop", TAlign::alTop},
                                     {"alBottom", TAlign::alBottom},
                                     {"alLeft", TAlign::alLeft},
                                     {"alRight", TAlign::alRight},
                                     {"alClient", TAlign::alClient}});
}

unsigned StrToSetProp(const std::string& s, std::initializer_list<TSetElementName> names) {
    unsigned result = 0;
    std::string rest = s;
    for (char& c : rest)
        if (c == '[' || c == ']' || c == ',') c = ' ';
    size_t i = 0;
    while (i < rest.size()) {
        while (i < rest.size() && rest[i] == ' ') ++i;
        size_t j = i;
        while (j < rest.size() && rest[j] != ' ') ++j;
        if (j == i) break;
        const std::string word = rest.substr(i, j - i);
        bool found = false;
        for (const auto& n : names)
            if (SameText(word, n.Name)) {
                result |= n.Value;
                found = true;
            }
        if (!found) RaiseInvalidPropertyValue(s);
        i = j;
    }
    return result;
}

unsigned StrToAnchors(const std::string& s) {
    return StrToSetProp(s, {{"akLeft", akLeft}, {"akTop", akTop}, {"akRight", akRight}, {"akBottom", akBottom}});
}

COLORREF StrToColor(const std::string& s) {
    static const std::pair<const char*, COLORREF> fixed[] = {
        {"clBlack", RGB(0, 0, 0)},       {"clNavy", RGB(0, 0, 128)},   {"clWhite", RGB(255, 255, 255)},
        {"clMaroon", RGB(128, 0, 0)},    {"clGreen", RGB(0, 128, 0)},  {"clBlue", RGB(0, 0, 255)},
        {"clRed", RGB(255, 0, 0)},       {"clGray", RGB(128, 128, 128)}};
    for (auto& c : fixed)
        if (SameText(s, c.first)) return c.second;
    static const std::pair<const char*, int> sys[] = {
        {"clBtnFace", COLOR_BTNFACE}, {"clWindow", COLOR_WINDOW}, {"clWindowText", COLOR_WINDOWTEXT},
        {"clBtnText", COLOR_BTNTEXT}, {"clInfoBk", COLOR_INFOBK},  {"clHighlight", COLOR_HIGHLIGHT}};
    for (auto& c : sys)
        if (SameText(s, c.first)) return GetSysColor(c.second);
    RaiseInvalidPropertyValue(s);
}

int StrToModalResult(const std::string& s) {
    static const char* const names[] = {"mrNone", "mrOk", "mrCancel", "mrAbort", "mrRetry", "mrIgnore", "mrYes", "mrNo"};
    for (int i = 0; i < 8; ++i)
        if (SameText(s, names[i])) return i;
    return StrToIntProp(s);
}

HCURSOR StrToCursor(const std::string& s) {
    static const std::pair<const char*, LPCSTR> names[] = {
        {"crArrow", IDC_ARROW},   {"crHandPoint", IDC_HAND}, {"crIBeam", IDC_IBEAM}, {"crHourGlass", IDC_WAIT},
        {"crCross", IDC_CROSS},   {"crSizeWE", IDC_SIZEWE},  {"crSizeNS", IDC_SIZENS}, {"crNo", IDC_NO},
        {"crAppStart", IDC_APPSTARTING}, {"crHelp", IDC_HELP}};
    if (SameText(s, "crDefault")) return nullptr;
    for (auto& n : names)
        if (SameText(s, n.first)) return LoadCursorA(nullptr, n.second);
    RaiseInvalidPropertyValue(s);
}

}  // namespace ruk
