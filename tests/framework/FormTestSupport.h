// Forms and controls of the visual-layer tests: a form freed as the framework frees it, and a
// control placed on it.
#pragma once

#include "Form.h"

#include <memory>

namespace ruk::test {

struct FormFree {
    void operator()(TForm* f) const { f->Free(); }
};
using FormPtr = std::unique_ptr<TForm, FormFree>;

inline FormPtr NewForm() { return FormPtr(new TForm(nullptr)); }

template <class T>
T* Place(TForm& form, int w = 300, int h = 200) {
    T* c = new T(&form);
    c->SetBounds(0, 0, w, h);
    c->SetParent(&form);
    return c;
}

}  // namespace ruk::test
