// The platform's web-browser control hosted as an in-place ActiveX object.
#include "WebBrowser.h"

#include "Handles.h"

#include <exdisp.h>
#include <exdispid.h>
#include <mshtml.h>
#include <ole2.h>

namespace ruk {

namespace {

std::string HResultText(HRESULT hr) {
    std::string s = SysErrorMessage(static_cast<DWORD>(hr));
    return s.empty() ? Format("OLE error %08X", static_cast<unsigned>(hr)) : s;
}

void OleCheck(HRESULT hr) {
    if (FAILED(hr)) throw EOleError(HResultText(hr));
}

class TOleBrowserLayer : public IBrowserLayer,
                         public IOleClientSite,
                         public IOleInPlaceSite,
                         public IDispatch {
public:
    explicit TOleBrowserLayer(HWND host) : FHost(host) {}
    ~TOleBrowserLayer() override { Close(); }

    HRESULT Open() {
        HRESULT hr = OleInitialize(nullptr);
        if (FAILED(hr)) return hr;
        FOleInitialized = true;
        hr = CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                              reinterpret_cast<void**>(&FObject));
        if (FAILED(hr)) return hr;
        hr = FObject->SetClientSite(this);
        if (FAILED(hr)) return hr;
        RECT r;
        GetClientRect(FHost, &r);
        hr = FObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, this, 0, FHost, &r);
        if (FAILED(hr)) return hr;
        hr = FObject->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&FBrowser));
        if (FAILED(hr)) return hr;
        TComPtr<IConnectionPointContainer> container;
        if (SUCCEEDED(FObject->QueryInterface(IID_IConnectionPointContainer, container.ReceiveVoid())) &&
            SUCCEEDED(container->FindConnectionPoint(DIID_DWebBrowserEvents2, &FEvents)))
            FEvents->Advise(static_cast<IDispatch*>(this), &FCookie);
        return S_OK;
    }

    void Close() {
        if (FEvents) {
            FEvents->Unadvise(FCookie);
            FEvents->Release();
            FEvents = nullptr;
        }
        if (FBrowser) {
            FBrowser->Release();
            FBrowser = nullptr;
        }
        if (FObject) {
            FObject->Close(OLECLOSE_NOSAVE);
            FObject->SetClientSite(nullptr);
            FObject->Release();
            FObject = nullptr;
        }
        if (FOleInitialized) OleUninitialize();
        FOleInitialized = false;
    }

    const char* LayerName() const override { return "activex"; }

    void Navigate(const std::wstring& url) override {
        BSTR b = SysAllocString(url.c_str());
        VARIANT empty;
        VariantInit(&empty);
        HRESULT hr = FBrowser->Navigate(b, &empty, &empty, &empty, &empty);
        SysFreeString(b);
        OleCheck(hr);
    }
    void GoBack() override { OleCheck(FBrowser->GoBack()); }
    void GoForward() override { OleCheck(FBrowser->GoForward()); }
    void GoHome() override { OleCheck(FBrowser->GoHome()); }

    std::wstring LocationURL() override {
        BSTR b = nullptr;
        OleCheck(FBrowser->get_LocationURL(&b));
        std::wstring s = b ? b : L"";
        SysFreeString(b);
        return s;
    }

    TComPtr<IHTMLDocument2> Document() {
        TComPtr<IHTMLDocument2> doc;
        TComPtr<IDispatch> disp;
        if (FAILED(FBrowser->get_Document(disp.Receive())) || !disp) return doc;
        disp->QueryInterface(IID_IHTMLDocument2, doc.ReceiveVoid());
        return doc;
    }

    bool HasDocument() override { return static_cast<bool>(Document()); }

    bool SaveAs(const std::wstring& suggestedPath) override {
        const TComPtr<IHTMLDocument2> doc = Document();
        if (!doc) return false;
        BSTR cmd = SysAllocString(L"SaveAs");
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_BSTR;
        value.bstrVal = SysAllocString(suggestedPath.c_str());
        VARIANT_BOOL ok = VARIANT_FALSE;
        HRESULT hr = doc->execCommand(cmd, VARIANT_TRUE, value, &ok);
        VariantClear(&value);
        SysFreeString(cmd);
        return SUCCEEDED(hr) && ok == VARIANT_TRUE;
    }

    void SetBounds(const RECT& r) override {
        TComPtr<IOleInPlaceObject> inplace;
        if (FObject && SUCCEEDED(FObject->QueryInterface(IID_IOleInPlaceObject, inplace.ReceiveVoid())))
            inplace->SetObjectRects(&r, &r);
    }

    // IUnknown: the layer's lifetime is the host's, so the reference count is not used.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (riid == IID_IUnknown || riid == IID_IOleClientSite) *out = static_cast<IOleClientSite*>(this);
        else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite) *out = static_cast<IOleInPlaceSite*>(this);
        else if (riid == IID_IDispatch || riid == DIID_DWebBrowserEvents2) *out = static_cast<IDispatch*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** m) override {
        *m = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** c) override {
        *c = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow / IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* wnd) override {
        *wnd = FHost;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                               LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
        *frame = nullptr;
        *doc = nullptr;
        GetClientRect(FHost, pos);
        GetClientRect(FHost, clip);
        if (info) {
            info->fMDIApp = FALSE;
            info->hwndFrame = GetAncestor(FHost, GA_ROOT);
            info->haccel = nullptr;
            info->cAccelEntries = 0;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT r) override {
        SetBounds(*r);
        return S_OK;
    }

    // IDispatch: the DWebBrowserEvents2 sink
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        if (id == DISPID_NAVIGATECOMPLETE2 && params && params->cArgs >= 2 && OnNavigateComplete) {
            // Arguments arrive last first: (pDisp, URL) is rgvarg[1], rgvarg[0].
            IDispatch* frame = params->rgvarg[1].vt == VT_DISPATCH ? params->rgvarg[1].pdispVal : nullptr;
            std::wstring url;
            VARIANT* v = &params->rgvarg[0];
            if (v->vt == (VT_BYREF | VT_VARIANT) && v->pvarVal) v = v->pvarVal;
            if (v->vt == VT_BSTR && v->bstrVal) url = v->bstrVal;
            SafeCall(nullptr, [&] { OnNavigateComplete(frame, url); });
        }
        return S_OK;
    }

private:
    HWND FHost;
    bool FOleInitialized = false;
    IOleObject* FObject = nullptr;
    IWebBrowser2* FBrowser = nullptr;
    IConnectionPoint* FEvents = nullptr;
    DWORD FCookie = 0;
};

}  // namespace

std::unique_ptr<IBrowserLayer> CreateOleBrowserLayer(HWND host) {
    auto layer = std::make_unique<TOleBrowserLayer>(host);
    HRESULT hr = layer->Open();
    if (FAILED(hr)) {
        layer.reset();
        SetLastError(static_cast<DWORD>(hr));
        return nullptr;
    }
    return layer;
}

}  // namespace ruk
