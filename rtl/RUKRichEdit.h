// RUKRichEdit: the text control of the version dialog's pages. A rich edit on the rich-edit 2.0
// library that turns clicks and moves over detected links into events carrying the link text,
// and appends text line by line.
#pragma once

#include "ComCtrls.h"

#include <richedit.h>
#include <windows.h>

#include <functional>
#include <string>

namespace ruk {

class TRUKRichEdit;
using TRUKRichEditLinkEvent = std::function<void(TRichEdit* sender, const std::string& linkText)>;

// The module handle of the rich-edit library the controls loaded, 0 until the first control's
// window is made; shared by every control of the process.
HMODULE RichEditLibraryHandle();
// Frees one reference to "RICHED32.DLL" when it is loaded: 0, else the last error (1627 when
// there is none).
DWORD FreeRichEdit10Library();

class TRUKRichEdit : public TRichEdit {
public:
    explicit TRUKRichEdit(TComponent* owner);
    const char* ClassName() const override { return "TRUKRichEdit"; }

    // Replaces the selection with text, then the new selection with CR LF; the zero-based
    // line on which the text ends.
    int AddLine(const std::string& text);
    void SetAutoURLDetect(bool detect);
    bool GetAutoURLDetect();
    // Link notifications on or off; the rest of the event mask stays as it is.
    void SetLinkNotification(bool notify);
    // The characters from first up to last (exclusive); empty when last <= first or the
    // control answers nothing.
    std::string GetTextRange(int first, int last);

    void DoLinkLeftBtnDoubleClick(const ENLINK& link);
    void DoLinkLeftBtnDown(const ENLINK& link);
    void DoLinkLeftBtnUp(const ENLINK& link);
    void DoLinkMouseMove(const ENLINK& link);
    void DoLinkRightBtnDoubleClick(const ENLINK& link);
    void DoLinkRightBtnDown(const ENLINK& link);
    void DoLinkRightBtnUp(const ENLINK& link);
    void DoLinkSetCursor(const ENLINK& link);

    TRUKRichEditLinkEvent OnLinkLeftBtnDoubleClick;
    TRUKRichEditLinkEvent OnLinkLeftBtnDown;
    TRUKRichEditLinkEvent OnLinkLeftBtnUp;
    TRUKRichEditLinkEvent OnLinkMouseMove;
    TRUKRichEditLinkEvent OnLinkRightBtnDoubleClick;
    TRUKRichEditLinkEvent OnLinkRightBtnDown;
    TRUKRichEditLinkEvent OnLinkRightBtnUp;
    TRUKRichEditLinkEvent OnLinkSetCursor;

    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

    // The most bytes one character takes in the ANSI code page (GetTextRange sizes its buffer
    // for that many a character). Tests put another code page in place of the system's.
    static void SetAnsiCodePageForTests(UINT codePage);

protected:
    void CreateParams(TCreateParams& p) override;
    bool CNCommand(WORD code, WORD id, LRESULT& result) override;
    bool CNNotify(NMHDR* hdr, LRESULT& result) override;

private:
    void FireLink(const TRUKRichEditLinkEvent& event, const ENLINK& link);
};

}  // namespace ruk
