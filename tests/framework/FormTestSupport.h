// Forms and controls of the visual-layer tests: a form freed as the framework frees it, a
// control placed on it, a reader for setting a control's properties by their texts, and a
// list view of rows and columns.
#pragma once

#include "ComCtrls.h"
#include "Form.h"

#include <memory>
#include <string>
#include <vector>

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

// Resolves no component or method names.
struct NullReader : TComponentResolver {
    TComponent* FindComponent(const std::string&) override { return nullptr; }
    TNotifyEvent FindMethod(const std::string&) override { return nullptr; }
};

// A report-style list view whose rows may be selected several at once, with the columns,
// placed on the form.
inline TListView* PlaceReportListView(TForm& form, const std::vector<TListColumn>& columns) {
    auto* lv = new TListView(&form);
    lv->SetBounds(0, 0, 300, 200);
    NullReader reader;
    lv->SetProperty("ViewStyle", "vsReport", reader);
    lv->SetProperty("MultiSelect", "True", reader);
    for (const TListColumn& column : columns) lv->AddColumn(column.Caption, column.Width);
    lv->SetParent(&form);
    return lv;
}

}  // namespace ruk::test
