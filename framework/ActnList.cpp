#include "ActnList.h"

#include "Graphics.h"

#include <algorithm>

namespace ruk {

// ---------------------------------------------------------------- shortcuts and hints

namespace {
struct KeyName {
    const char* name;
    WORD vk;
};
const KeyName kKeyNames[] = {{"BkSp", VK_BACK}, {"Tab", VK_TAB},     {"Enter", VK_RETURN}, {"Esc", VK_ESCAPE},
                             {"Space", VK_SPACE}, {"PgUp", VK_PRIOR}, {"PgDn", VK_NEXT},   {"End", VK_END},
                             {"Home", VK_HOME},   {"Left", VK_LEFT},  {"Up", VK_UP},       {"Right", VK_RIGHT},
                             {"Down", VK_DOWN},   {"Ins", VK_INSERT}, {"Del", VK_DELETE}};

std::string KeyText(WORD vk) {
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return std::string(1, static_cast<char>(vk));
    if (vk >= VK_F1 && vk <= VK_F24) {
        std::string s = "F";
        s += IntToStr(vk - VK_F1 + 1);
        return s;
    }
    for (const KeyName& k : kKeyNames)
        if (k.vk == vk) return k.name;
    return "";
}
}  // namespace

TShortCut TextToShortCut(const std::string& text) {
    if (text.empty()) return 0;
    TShortCut mods = 0;
    std::string rest = text;
    for (;;) {
        int plus = Pos("+", rest);
        if (plus <= 1 || plus == static_cast<int>(rest.size())) break;
        std::string mod = Copy(rest, 1, plus - 1);
        if (SameText(mod, "Ctrl")) mods |= scCtrl;
        else if (SameText(mod, "Shift")) mods |= scShift;
        else if (SameText(mod, "Alt")) mods |= scAlt;
        else break;
        rest = Copy(rest, plus + 1, static_cast<int>(rest.size()));
    }
    for (WORD vk = 1; vk < 256; ++vk) {
        std::string name = KeyText(vk);
        if (!name.empty() && SameText(name, rest)) return static_cast<TShortCut>(mods | vk);
    }
    throw EPropertyError(Format("Invalid shortcut '%s'", text.c_str()));
}

std::string ShortCutToText(TShortCut shortCut) {
    std::string key = KeyText(shortCut & 0xFF);
    if (key.empty()) return "";
    std::string s;
    if (shortCut & scCtrl) s += "Ctrl+";
    if (shortCut & scShift) s += "Shift+";
    if (shortCut & scAlt) s += "Alt+";
    return s + key;
}

std::string GetShortHint(const std::string& hint) {
    int bar = Pos("|", hint);
    return bar == 0 ? hint : Copy(hint, 1, bar - 1);
}

std::string GetLongHint(const std::string& hint) {
    int bar = Pos("|", hint);
    return bar == 0 ? hint : Copy(hint, bar + 1, static_cast<int>(hint.size()));
}

// ---------------------------------------------------------------- TActionClient

TActionClient::~TActionClient() { SetAction(nullptr); }

void TActionClient::SetAction(TAction* action) {
    if (action == FAction) return;
    if (FAction) {
        auto& v = FAction->FClients;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
    }
    FAction = action;
    if (FAction) {
        FAction->FClients.push_back(this);
        ActionChanged();
    }
}

// ---------------------------------------------------------------- TAction

TAction::TAction(TComponent* owner) : TComponent(owner), FCommand(this) {}

TAction::~TAction() {
    FCommand.Release();
    for (TActionClient* c : std::vector<TActionClient*>(FClients)) c->SetAction(nullptr);
    SetActionList(nullptr);
}

void TAction::SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) {
    if (SameText(name, "Caption")) SetCaption(value);
    else if (SameText(name, "Category")) FCategory = value;
    else if (SameText(name, "ShortCut")) SetShortCut(TextToShortCut(value));
    else if (SameText(name, "Hint")) SetHint(value);
    else if (SameText(name, "ImageIndex")) SetImageIndex(StrToIntProp(value));
    else if (SameText(name, "Enabled")) SetEnabled(StrToBoolProp(value));
    else if (SameText(name, "Visible")) SetVisible(StrToBoolProp(value));
    else if (SameText(name, "Checked")) SetChecked(StrToBoolProp(value));
    else if (SameText(name, "GroupIndex")) FGroupIndex = StrToIntProp(value);
    else if (SameText(name, "AutoCheck")) FAutoCheck = StrToBoolProp(value);
    else if (SameText(name, "HelpContext")) FHelpContext = StrToIntProp(value);
    else if (SameText(name, "ActionList")) SetActionList(reader.Ref<TActionList>(value));
    else if (SameText(name, "OnExecute")) OnExecute = reader.FindMethod(value);
    else if (SameText(name, "OnUpdate")) OnUpdate = reader.FindMethod(value);
    else TComponent::SetProperty(name, value, reader);
}

void TAction::SetActionList(TActionList* list) {
    if (list == FActionList) return;
    if (FActionList) {
        auto& v = FActionList->FActions;
        v.erase(std::remove(v.begin(), v.end(), this), v.end());
        FActionList->AcceleratorsChanged();
    }
    FActionList = list;
    if (FActionList) {
        FActionList->FActions.push_back(this);
        FActionList->AcceleratorsChanged();
    }
}

void TAction::Changed() {
    for (TActionClient* c : std::vector<TActionClient*>(FClients)) c->ActionChanged();
}

void TAction::SetCaption(const std::string& s) {
    if (s == FCaption) return;
    FCaption = s;
    Changed();
}

void TAction::SetShortCut(TShortCut s) {
    if (s == FShortCut) return;
    FShortCut = s;
    if (FActionList) FActionList->AcceleratorsChanged();
    Changed();
}

void TAction::SetHint(const std::string& s) {
    if (s == FHint) return;
    FHint = s;
    Changed();
}

void TAction::SetImageIndex(int i) {
    if (i == FImageIndex) return;
    FImageIndex = i;
    Changed();
}

void TAction::SetEnabled(bool e) {
    if (e == FEnabled) return;
    FEnabled = e;
    if (FActionList && FShortCut) FActionList->AcceleratorsChanged();
    Changed();
}

void TAction::SetVisible(bool v) {
    if (v == FVisible) return;
    FVisible = v;
    if (FActionList && FShortCut) FActionList->AcceleratorsChanged();
    Changed();
}

void TAction::SetChecked(bool c) {
    if (c == FChecked) return;
    FChecked = c;
    if (c && FGroupIndex > 0 && FActionList) {
        for (TAction* a : FActionList->FActions)
            if (a != this && a->FGroupIndex == FGroupIndex) a->SetChecked(false);
    }
    Changed();
}

bool TAction::Execute() {
    if (Destroying()) return false;
    Update();
    if (!FEnabled || !OnExecute) return false;
    if (FAutoCheck) SetChecked(FGroupIndex > 0 ? true : !FChecked);
    OnExecute(this);
    return true;
}

void TAction::Update() {
    if (OnUpdate) OnUpdate(this);
}

// ---------------------------------------------------------------- TActionList

TActionList::~TActionList() {
    for (TAction* a : std::vector<TAction*>(FActions)) a->SetActionList(nullptr);
    if (FAccel) DestroyAcceleratorTable(FAccel);
}

void TActionList::SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) {
    if (SameText(name, "Images")) FImages = reader.Ref<TImageList>(value);
    else TComponent::SetProperty(name, value, reader);
}

HACCEL TActionList::Accelerators() {
    if (FAccelDirty) {
        if (FAccel) DestroyAcceleratorTable(FAccel);
        FAccel = nullptr;
        std::vector<ACCEL> keys;
        for (TAction* a : FActions) {
            if (!a->ShortCut() || !a->Enabled() || !a->Visible()) continue;
            ACCEL k{};
            k.fVirt = FVIRTKEY;
            if (a->ShortCut() & scCtrl) k.fVirt |= FCONTROL;
            if (a->ShortCut() & scShift) k.fVirt |= FSHIFT;
            if (a->ShortCut() & scAlt) k.fVirt |= FALT;
            k.key = a->ShortCut() & 0xFF;
            k.cmd = static_cast<WORD>(a->CommandId());
            keys.push_back(k);
        }
        if (!keys.empty()) FAccel = CreateAcceleratorTableA(keys.data(), static_cast<int>(keys.size()));
        FAccelDirty = false;
    }
    return FAccel;
}

bool TActionList::IsShortCut(MSG& msg, HWND window) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
    HACCEL accel = Accelerators();
    return accel && TranslateAcceleratorA(window, accel, &msg) != 0;
}

namespace {
// The focus, asked once for a pass of updates: under Wine each question is a round trip to the
// window server (some 30 microseconds), every edit action asks, and the updates run whenever the
// message loop runs dry, which a worker's deliveries make it do thousands of times a second.
struct TUpdatePass {
    bool Active = false, Known = false;
    HWND Focus = nullptr;
};
TUpdatePass gUpdatePass;

HWND FocusNow() {
    if (!gUpdatePass.Active) return GetFocus();
    if (!gUpdatePass.Known) {
        gUpdatePass.Focus = GetFocus();
        gUpdatePass.Known = true;
    }
    return gUpdatePass.Focus;
}
}  // namespace

// For as long as it lives, edit actions take the focus from gUpdatePass.
class TUpdatePassScope {
public:
    TUpdatePassScope() : FOuter(gUpdatePass) { gUpdatePass = TUpdatePass{true, false, nullptr}; }
    ~TUpdatePassScope() { gUpdatePass = FOuter; }
    TUpdatePassScope(const TUpdatePassScope&) = delete;
    TUpdatePassScope& operator=(const TUpdatePassScope&) = delete;

private:
    TUpdatePass FOuter;
};

void TActionList::UpdateActions() {
    const TUpdatePassScope pass;
    for (TAction* a : std::vector<TAction*>(FActions)) {
        // A handler of the program's own, or an error shown in a box, may move the focus: it
        // is asked again after them.
        const bool ownCode = static_cast<bool>(a->OnUpdate);
        try {
            a->Update();
        } catch (...) {
            HandleException(a);
            gUpdatePass.Known = false;
        }
        if (ownCode) gUpdatePass.Known = false;
    }
}

// ---------------------------------------------------------------- standard edit actions

HWND TEditAction::Target() {
    HWND f = FocusNow();
    if (!f) return nullptr;
    char cls[64] = {};
    GetClassNameA(f, cls, sizeof cls);
    if (lstrcmpiA(cls, "Edit") == 0 || lstrcmpiA(cls, "RichEdit20A") == 0 || lstrcmpiA(cls, "RichEdit20W") == 0 ||
        lstrcmpiA(cls, "RICHEDIT50W") == 0)
        return f;
    return nullptr;
}

bool TEditAction::ReadOnly(HWND edit) { return (GetWindowLongA(edit, GWL_STYLE) & ES_READONLY) != 0; }

bool TEditAction::HasSelection(HWND edit) {
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return end != start;
}

void TEditAction::Update() {
    if (OnUpdate) {
        OnUpdate(this);
        return;
    }
    HWND t = Target();
    SetEnabled(t && CanRun(t));
}

bool TEditAction::Execute() {
    if (Destroying()) return false;
    HWND t = Target();
    if (!t || !CanRun(t)) return false;
    Run(t);
    return true;
}

}  // namespace ruk
