// A form to place the library's controls on, freed as the class library frees it.
#pragma once

#include "Form.h"

#include <functional>
#include <memory>

namespace ruktest {

struct FormFree {
    void operator()(ruk::TForm* f) const { f->Free(); }
};
using FormPtr = std::unique_ptr<ruk::TForm, FormFree>;

inline FormPtr ShownForm(int width = 400, int height = 300) {
    FormPtr form(new ruk::TForm(nullptr));
    form->SetBounds(0, 0, width, height);
    form->Show();
    return form;
}

template <class T>
T* Place(ruk::TWinControl& parent, int left, int top, int width, int height) {
    T* c = new T(&parent);
    c->SetBounds(left, top, width, height);
    c->SetParent(&parent);
    return c;
}

// Messages of one kind that reach a window, counted (or answered) before its own procedure.
class MessageSpy {
public:
    using TAnswer = std::function<bool(WPARAM wp, LPARAM lp, LRESULT& result)>;
    MessageSpy(HWND wnd, UINT msg, TAnswer answer = nullptr) : FWnd(wnd), FMsg(msg), FAnswer(std::move(answer)) {
        Current() = this;
        FOld = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
    }
    ~MessageSpy() {
        SetWindowLongPtrA(FWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOld));
        Current() = nullptr;
    }
    int Count = 0;

private:
    static MessageSpy*& Current() {
        static MessageSpy* spy = nullptr;
        return spy;
    }
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
        MessageSpy* s = Current();
        if (msg == s->FMsg) {
            ++s->Count;
            LRESULT r = 0;
            if (s->FAnswer && s->FAnswer(wp, lp, r)) return r;
        }
        return CallWindowProcA(s->FOld, wnd, msg, wp, lp);
    }
    HWND FWnd;
    UINT FMsg;
    TAnswer FAnswer;
    WNDPROC FOld = nullptr;
};

}  // namespace ruktest
