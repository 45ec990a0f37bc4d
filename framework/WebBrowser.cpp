#include "WebBrowser.h"

#include "Dialogs.h"
#include "DocumentText.h"

#include <commctrl.h>

#include <algorithm>

namespace ruk {

bool PlatformBrowserCanRender() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return !(ntdll && GetProcAddress(ntdll, "wine_get_version"));
}

// ---------------------------------------------------------------- TTextBrowserLayer

namespace {
int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

bool StartsWithNoCase(const std::wstring& s, const wchar_t* prefix) {
    size_t n = wcslen(prefix);
    return s.size() >= n && _wcsnicmp(s.c_str(), prefix, n) == 0;
}

// The pane is a plain edit control: every line break must be CR LF there.
std::string PaneLineBreaks(const std::string& s) {
    std::string out;
    out.reserve(s.size() + s.size() / 16);
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else if (c == '\0') {
            out += ' ';
        } else {
            out += c;
        }
    }
    return out;
}
}  // namespace

std::string TTextBrowserLayer::FileFromUrl(const std::wstring& url) {
    std::wstring u = url;
    if (StartsWithNoCase(u, L"file:")) {
        u = u.substr(5);
        while (!u.empty() && u[0] == L'/') {
            // "file:///C:/x" and "file://C:/x" name a drive; "file://server/share" a share.
            if (u.size() >= 3 && u[1] != L'/' && (u[2] == L':' || u[2] == L'|')) {
                u = u.substr(1);
                break;
            }
            if (u.size() >= 2 && u[1] == L'/') {
                u = u.substr(1);
                continue;
            }
            u = u.substr(1);
            if (!(u.size() >= 2 && (u[1] == L':' || u[1] == L'|'))) u = L"\\\\" + u;
            break;
        }
        std::wstring decoded;
        for (size_t i = 0; i < u.size(); ++i) {
            if (u[i] == L'%' && i + 2 < u.size() && HexValue(u[i + 1]) >= 0 && HexValue(u[i + 2]) >= 0) {
                decoded += static_cast<wchar_t>(HexValue(u[i + 1]) * 16 + HexValue(u[i + 2]));
                i += 2;
            } else if (u[i] == L'/') {
                decoded += L'\\';
            } else if (u[i] == L'|' && i == 1) {
                decoded += L':';
            } else {
                decoded += u[i];
            }
        }
        return WideToAnsi(decoded);
    }
    bool drive = u.size() >= 3 && iswalpha(u[0]) && u[1] == L':' && (u[2] == L'\\' || u[2] == L'/');
    bool share = u.size() >= 3 && u[0] == L'\\' && u[1] == L'\\';
    if (drive || share) {
        std::wstring p = u;
        std::replace(p.begin(), p.end(), L'/', L'\\');
        return WideToAnsi(p);
    }
    return "";
}

std::wstring TTextBrowserLayer::UrlFromFile(const std::string& path) {
    std::wstring p = AnsiToWide(path);
    std::wstring u = L"file:///";
    size_t i = 0;
    if (p.size() >= 2 && p[0] == L'\\' && p[1] == L'\\') {
        u = L"file://";
        i = 2;
    }
    for (; i < p.size(); ++i) {
        wchar_t c = p[i];
        if (c == L'\\') u += L'/';
        else if (c == L' ') u += L"%20";
        else if (c == L'%') u += L"%25";
        else if (c == L'#') u += L"%23";
        else u += c;
    }
    return u;
}

TTextBrowserLayer::TTextBrowserLayer(HWND host) : FHost(host) {
    FPane = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY |
                                ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL,
                            0, 0, 10, 10, host, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!FPane) RaiseLastOSError();
    SetWindowSubclass(FPane, PaneProc, 1, reinterpret_cast<DWORD_PTR>(this));
    SendMessageA(FPane, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
    SendMessageA(FPane, WM_SETFONT, SendMessageA(host, WM_GETFONT, 0, 0), FALSE);
}

TTextBrowserLayer::~TTextBrowserLayer() {
    if (FPane && IsWindow(FPane)) {
        RemoveWindowSubclass(FPane, PaneProc, 1);
        DestroyWindow(FPane);
    }
}

LRESULT CALLBACK TTextBrowserLayer::PaneProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    auto* layer = reinterpret_cast<TTextBrowserLayer*>(data);
    if (layer->FPaneStale && (msg == WM_PAINT || msg == WM_GETTEXT || msg == WM_GETTEXTLENGTH)) layer->FillPane();
    return DefSubclassProc(wnd, msg, wp, lp);
}

void TTextBrowserLayer::FillPane() {
    FPaneStale = false;
    const std::string text = std::move(FPaneText);
    FPaneText.clear();
    SetWindowTextA(FPane, text.c_str());
}

void TTextBrowserLayer::SetBounds(const RECT& r) {
    MoveWindow(FPane, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

std::string TTextBrowserLayer::PaneText() { return WindowTextOf(FPane); }

void TTextBrowserLayer::Show(const std::wstring& url) {
    FFile.clear();
    std::string text;
    std::string file = FileFromUrl(url);
    if (StartsWithNoCase(url, L"about:")) {
        FLocation = url;
    } else if (!file.empty()) {
        file = ExpandFileName(file);
        FLocation = UrlFromFile(file);
        DWORD error = 0;
        if (ReadDocumentFile(file, text, error)) {
            FFile = file;
            text = PaneLineBreaks(text);
        } else {
            text = "This file cannot be shown: " + file + "\r\n" + SysErrorMessage(error);
        }
    } else {
        FLocation = url;
        text = "This browser shows local files only; it cannot show ";
        text += WideToAnsi(url);
        text += ".";
    }
    FPaneText = std::move(text);
    FPaneStale = true;
    if (IsWindowVisible(FPane)) FillPane();
    // The platform browser reports completion from its message loop, after Navigate has
    // returned; so does this layer.
    FPendingComplete.push_back(FLocation);
    PostMessageA(FHost, WM_NAVIGATIONDONE, 0, 0);
}

void TTextBrowserLayer::NavigationDone() {
    if (FPendingComplete.empty()) return;
    std::wstring url = FPendingComplete.front();
    FPendingComplete.erase(FPendingComplete.begin());
    if (OnNavigateComplete) OnNavigateComplete(nullptr, url);
}

void TTextBrowserLayer::Navigate(const std::wstring& url) {
    if (FIndex + 1 < HistoryCount()) FHistory.resize(static_cast<size_t>(FIndex + 1));
    FHistory.push_back(url);
    FIndex = HistoryCount() - 1;
    Show(url);
}

void TTextBrowserLayer::GoBack() {
    // The platform control answers a step past its history with E_FAIL.
    if (FIndex <= 0) throw EOleError("Unspecified error");
    --FIndex;
    Show(FHistory[FIndex]);
}

void TTextBrowserLayer::GoForward() {
    if (FIndex + 1 >= HistoryCount()) throw EOleError("Unspecified error");
    ++FIndex;
    Show(FHistory[FIndex]);
}

void TTextBrowserLayer::GoHome() { Navigate(L"about:blank"); }

std::wstring TTextBrowserLayer::LocationURL() { return FLocation; }

bool TTextBrowserLayer::HasDocument() { return !FFile.empty(); }

bool TTextBrowserLayer::SaveAs(const std::wstring& suggestedPath) {
    if (FFile.empty()) return false;
    TSaveDialog dialog(nullptr);
    dialog.Filter = "HTML files (*.htm;*.html)|*.htm;*.html|Text files (*.txt)|*.txt|All Files (*.*)|*.*";
    dialog.Options = ofOverwritePrompt | ofHideReadOnly | ofEnableSizing;
    std::string suggested = WideToAnsi(suggestedPath);
    if (suggested.empty() || DirectoryExists(suggested)) {
        dialog.InitialDir = suggested;
        dialog.FileName = ExtractFileName(FFile);
    } else {
        dialog.FileName = suggested;
    }
    if (!dialog.Execute()) return false;
    return CopyFileA(FFile.c_str(), dialog.FileName.c_str(), FALSE) != 0;
}

// ---------------------------------------------------------------- TWebBrowser

TWebBrowser::TWebBrowser(TComponent* owner) : TWinControl(owner) {}

TWebBrowser::~TWebBrowser() {
    FLayer.reset();
    DestroyHandle();
}

void TWebBrowser::SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) {
    TWinControl::SetProperty(name, value, reader);
}

void TWebBrowser::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.ClassName = "TRukWebBrowser";
    p.Background = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
}

void TWebBrowser::InitWnd() {
    TWinControl::InitWnd();
    if (PlatformBrowserCanRender()) FLayer = CreateOleBrowserLayer(FHandle);
    if (!FLayer) FLayer = std::make_unique<TTextBrowserLayer>(FHandle);
    FLayer->OnNavigateComplete = [this](IDispatch* frame, const std::wstring& url) {
        if (OnNavigateComplete2 && !Destroying()) OnNavigateComplete2(this, frame, url);
    };
    FLayer->SetBounds(ClientRect());
}

IBrowserLayer& TWebBrowser::Layer() {
    HandleNeeded();
    return *FLayer;
}

LRESULT TWebBrowser::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case TTextBrowserLayer::WM_NAVIGATIONDONE:
        if (auto* text = dynamic_cast<TTextBrowserLayer*>(FLayer.get())) text->NavigationDone();
        return 0;
    case WM_SIZE:
        if (FLayer) FLayer->SetBounds(RECT{0, 0, LOWORD(lp), HIWORD(lp)});
        break;
    default:
        break;
    }
    return TWinControl::WndProc(msg, wp, lp);
}

}  // namespace ruk
