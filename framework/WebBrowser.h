// WebBrowser: the embedded browser component and the two layers behind it.
//
// The window uses exactly these operations of a browser: navigate to a text, back, forward,
// home, the location URL, the navigate-complete event, and the "SaveAs" command of the shown
// document. TWebBrowser offers them over IBrowserLayer:
// - TOleBrowserLayer hosts the platform's web-browser control as an in-place ActiveX object;
// - TTextBrowserLayer is our own: it shows a local document's text in a read-only pane, keeps
//   the history, reports its location as a file URL, fires navigate-complete after each
//   navigation and saves the shown file through a save dialog.
// The ActiveX host is used where the platform control can render. Under Wine it cannot (its
// rendering engine is not installed, and a navigation would ask to install it), so there, and
// wherever the host cannot be created, the text layer is used.
#pragma once

#include "Controls.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct IDispatch;

namespace ruk {

class IBrowserLayer {
public:
    virtual ~IBrowserLayer() = default;
    virtual const char* LayerName() const = 0;
    // Failures of the browser raise EOleError (the browser's own message).
    virtual void Navigate(const std::wstring& url) = 0;
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    virtual void GoHome() = 0;
    virtual std::wstring LocationURL() = 0;
    // The shown document has an HTML document interface (something "SaveAs" can save).
    virtual bool HasDocument() = 0;
    // Runs the document's "SaveAs" command with its user interface and the suggested path;
    // true when the command succeeded and reported true. False without a document.
    virtual bool SaveAs(const std::wstring& suggestedPath) = 0;
    virtual void SetBounds(const RECT& r) = 0;
    // Called after each completed navigation with the URL that completed.
    std::function<void(IDispatch* frame, const std::wstring& url)> OnNavigateComplete;
};

class TTextBrowserLayer : public IBrowserLayer {
public:
    explicit TTextBrowserLayer(HWND host);
    ~TTextBrowserLayer() override;
    const char* LayerName() const override { return "text"; }
    void Navigate(const std::wstring& url) override;
    void GoBack() override;
    void GoForward() override;
    void GoHome() override;
    std::wstring LocationURL() override;
    bool HasDocument() override;
    bool SaveAs(const std::wstring& suggestedPath) override;
    void SetBounds(const RECT& r) override;

    HWND PaneHandle() const { return FPane; }
    std::string PaneText();
    // The local file shown, "" for none.
    const std::string& DocumentFile() const { return FFile; }
    int HistoryCount() const { return static_cast<int>(FHistory.size()); }
    int HistoryIndex() const { return FIndex; }
    // The host window calls this for the message posted at the end of a navigation.
    void NavigationDone();
    static constexpr UINT WM_NAVIGATIONDONE = WM_APP + 0x151;

    // "file:///C:/a%20b.htm" <-> "C:\a b.htm"; "" when the text is neither a path nor a file URL.
    static std::string FileFromUrl(const std::wstring& url);
    static std::wstring UrlFromFile(const std::string& path);

private:
    void Show(const std::wstring& url);
    // The pane takes a large text slowly: it is filled when it is first painted or read.
    void FillPane();
    static LRESULT CALLBACK PaneProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR data);
    HWND FHost;
    HWND FPane = nullptr;
    std::string FPaneText;
    bool FPaneStale = false;
    std::vector<std::wstring> FHistory;
    int FIndex = -1;
    std::wstring FLocation;
    std::string FFile;
    std::vector<std::wstring> FPendingComplete;
};

// The ActiveX host in its window, or null when the platform control cannot be created and
// activated there (the reason then is in the last error).
std::unique_ptr<IBrowserLayer> CreateOleBrowserLayer(HWND host);
// True where the platform's web-browser control can render (not under Wine).
bool PlatformBrowserCanRender();

class TWebBrowser : public TWinControl {
public:
    explicit TWebBrowser(TComponent* owner);
    ~TWebBrowser() override;
    const char* ClassName() const override { return "TWebBrowser"; }
    void SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) override;

    IBrowserLayer& Layer();
    void Navigate(const std::wstring& url) { Layer().Navigate(url); }
    void GoBack() { Layer().GoBack(); }
    void GoForward() { Layer().GoForward(); }
    void GoHome() { Layer().GoHome(); }
    std::wstring LocationURL() { return Layer().LocationURL(); }

    // (sender, the frame's dispatch interface or null, the URL)
    std::function<void(TObject* sender, IDispatch* frame, const std::wstring& url)> OnNavigateComplete2;

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    void CreateParams(TCreateParams& p) override;
    void InitWnd() override;

private:
    std::unique_ptr<IBrowserLayer> FLayer;
};

}  // namespace ruk
