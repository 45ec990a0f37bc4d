// ComCtrls, StdCtrls, ExtCtrls: the controls of the visual layer, each a thin object over
// one native control (common controls version 6, rich edit 2.0), plus our own panel and
// splitter windows.
#pragma once

#include "ActnList.h"
#include "AppendScheduler.h"
#include "Classes.h"
#include "Controls.h"
#include "Graphics.h"
#include "PaneWindow.h"

#include <commctrl.h>
#include <richedit.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace ruk {

// ---------------------------------------------------------------- labels, buttons, panels

class TLabel : public TWinControl {
public:
    using TWinControl::TWinControl;
    const char* ClassName() const override { return "TLabel"; }

protected:
    void CreateParams(TCreateParams& p) override;
};

class TButton : public TWinControl, public TActionClient {
public:
    using TWinControl::TWinControl;
    const char* ClassName() const override { return "TButton"; }
    void SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) override;
    // The handler, then the modal result (if any) for the form.
    void Click();
    void ActionChanged() override;
    TNotifyEvent OnClick;
    int ModalResult = mrNone;
    // Enter in a modal form clicks the default button, Esc the cancel button.
    bool Default() const { return FDefault; }
    void SetDefault(bool d) { FDefault = d; }
    bool Cancel() const { return FCancel; }
    void SetCancel(bool c) { FCancel = c; }

protected:
    void CreateParams(TCreateParams& p) override;
    bool CNCommand(WORD code, WORD id, LRESULT& result) override;

private:
    bool FCaptionSet = false;
    bool FDefault = false, FCancel = false;
};

// A plain container; its caption is drawn at its left edge, centred in height.
class TPanel : public TWinControl {
public:
    using TWinControl::TWinControl;
    const char* ClassName() const override { return "TPanel"; }
    void SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    void CreateParams(TCreateParams& p) override;
};

// Drags the width of the control aligned just before it (to its left).
class TSplitter : public TWinControl {
public:
    using TWinControl::TWinControl;
    const char* ClassName() const override { return "TSplitter"; }
    void SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    int MinSize = 30;

protected:
    void CreateParams(TCreateParams& p) override;

private:
    TWinControl* FindTarget();
    bool FDragging = false;
    int FDownX = 0, FStartWidth = 0;
};

// ---------------------------------------------------------------- rebar and tool bar

class TToolBar;

// The bands are the child controls, in the order they were placed, one band per row; a band's
// minimum height is its control's height. The bar takes the height of its bands.
class TCoolBar : public TWinControl {
public:
    using TWinControl::TWinControl;
    const char* ClassName() const override { return "TCoolBar"; }
    void SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) override;
    void Realign() override;
    int BandCount();
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    void CreateParams(TCreateParams& p) override;
    bool CNNotify(NMHDR* hdr, LRESULT& result) override;

private:
    void FitHeight();
    std::vector<TWinControl*> FBands;
    bool FAutoSize = true;
};

enum class TToolButtonStyle { tbsButton, tbsSeparator, tbsCheck };

class TToolButton : public TComponent, public TActionClient {
public:
    explicit TToolButton(TComponent* owner);
    ~TToolButton() override;
    const char* ClassName() const override { return "TToolButton"; }
    void SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) override;
    void SetParentComponent(TComponent* parent) override;

    TToolBar* ToolBar() const { return FToolBar; }
    TToolButtonStyle Style() const { return FStyle; }
    std::string Caption() const;
    std::string Hint() const;
    int ImageIndex() const;
    bool Enabled() const;
    bool Visible() const;
    bool ShowCaption() const { return FShowCaption; }
    // The id the button's WM_COMMAND carries: its action's, or else its own.
    UINT Command();
    void Click();
    void ActionChanged() override;
    TNotifyEvent OnClick;

private:
    friend class TToolBar;
    TToolBar* FToolBar = nullptr;
    TToolButtonStyle FStyle = TToolButtonStyle::tbsButton;
    std::string FCaption, FHint;
    bool FCaptionSet = false, FHintSet = false;
    int FImageIndex = -1;
    bool FEnabled = true, FVisible = true, FShowCaption = false;
    TCommandId FOwnCommand;  // taken only while the button shows no action
    // The id the native button carries, 0 without one; it takes Command() when the button
    // changes.
    UINT FNativeCommand = 0;
};

class TToolBar : public TWinControl {
public:
    using TWinControl::TWinControl;
    ~TToolBar() override;
    const char* ClassName() const override { return "TToolBar"; }
    void SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) override;
    int ButtonCount() const { return static_cast<int>(FButtons.size()); }
    TToolButton* Buttons(int index) const { return FButtons.at(index); }
    TImageList* Images() const { return FImages; }
    void AddButton(TToolButton* b);
    void RemoveButton(TToolButton* b);
    void ButtonChanged(TToolButton* b);
    // Native state of a button: TBSTATE_* bits, or -1 when it has none.
    int ButtonState(TToolButton* b);
    // The button of this bar whose native button has that id, or null.
    TToolButton* FindButton(UINT id) const;
    // Answers a tool tip's request for its text from the button with the tool's id.
    bool AnswerToolTip(NMHDR* hdr);
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    void CreateParams(TCreateParams& p) override;
    void InitWnd() override;
    bool CNCommand(WORD code, WORD id, LRESULT& result) override;
    bool CNNotify(NMHDR* hdr, LRESULT& result) override;

private:
    void InsertNative(TToolButton* b, int index);
    // The position of b's native button, or -1 when it has none.
    int NativeIndex(TToolButton* b) const;
    std::vector<TToolButton*> FButtons;
    TImageList* FImages = nullptr;
    int FButtonWidth = 0;
    bool FShowCaptions = false, FFlat = true, FList = false;
};

// ---------------------------------------------------------------- status bar

class TStatusBar : public TWinControl {
public:
    using TWinControl::TWinControl;
    const char* ClassName() const override { return "TStatusBar"; }
    void SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) override;
    bool SimplePanel() const { return FSimplePanel; }
    bool AutoHint() const { return FAutoHint; }
    std::string SimpleText() const { return FSimpleText; }
    void SetSimpleText(const std::string& s);

protected:
    void CreateParams(TCreateParams& p) override;
    void InitWnd() override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    bool FSimplePanel = false, FAutoHint = false;
    std::string FSimpleText;
};

// ---------------------------------------------------------------- page control

class TPageControl;

class TTabSheet : public TWinControl {
public:
    using TWinControl::TWinControl;
    const char* ClassName() const override { return "TTabSheet"; }
    void SetParent(TWinControl* parent) override;
    TPageControl* PageControl() const { return FPageControl; }
    int PageIndex() const;
    // The caption of its tab (the sheet's own window has no text).
    std::string Text() override { return FText; }
    void SetText(const std::string& s) override;
    void SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) override;
    // A sheet without a tab is still a page; it shows only when made the active page in code.
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool v);
    int ImageIndex = -1;
    // Raised when the page becomes the shown page while its form is in sight.
    TNotifyEvent OnShow;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

protected:
    void CreateParams(TCreateParams& p) override;

private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
    bool FTabVisible = true;
};

enum class TTabStyle { tsTabs, tsButtons, tsFlatButtons };

class TPageControl : public TWinControl {
public:
    using TWinControl::TWinControl;
    const char* ClassName() const override { return "TPageControl"; }
    void SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) override;
    int PageCount() const { return static_cast<int>(FPages.size()); }
    TTabSheet* Pages(int index) const { return FPages.at(index); }
    TTabSheet* ActivePage() const;
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const { return FActiveIndex; }
    void SetActivePageIndex(int index);
    TTabStyle Style() const { return FStyle; }
    void Realign() override;
    RECT AlignRect() override;
    // The tab of a page (-1 for a page without a tab) and the page of a tab.
    int TabIndexOfPage(int pageIndex) const;
    int PageIndexOfTab(int tabIndex) const;
    TNotifyEvent OnChange;
    // A page erases its background through its page control: true when the control painted it.
    virtual bool PaintPageBackground(TTabSheet& page, HDC dc);

protected:
    void CreateParams(TCreateParams& p) override;
    bool CNNotify(NMHDR* hdr, LRESULT& result) override;
    // The user chose another tab: OnChange.
    virtual void Change();

private:
    friend class TTabSheet;
    void RebuildTabs();
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void UpdateTab(TTabSheet* page);
    void ShowActive();
    std::vector<TTabSheet*> FPages;
    int FActiveIndex = -1;
    TTabStyle FStyle = TTabStyle::tsTabs;
};

// ---------------------------------------------------------------- rich edit

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
TScrollStyle StrToScrollStyle(const std::string& s);

class TRichEdit;

// Whether the stream, from its position on, begins as rich text ("{\rtf"); the position stays.
bool StreamHoldsRichText(TStream& stream);

// The lines of a rich edit. Load and save stream through EM_STREAMIN / EM_STREAMOUT in the
// control's mode: plain text, or RTF (loading a file that is not RTF as plain text). A load
// replaces the text and leaves the control unmodified, as setting its text does.
class TRichEditStrings {
public:
    explicit TRichEditStrings(TRichEdit& owner) : FOwner(owner) {}
    int Count();                       // lines, not counting an empty last line
    std::string Strings(int index);    // without its line break
    std::string Text();                // every line break as CR LF
    void SetText(const std::string& text);
    void Add(const std::string& line);
    void Clear();
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName);
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream);

private:
    TRichEdit& FOwner;
};

class TRichEdit : public TWinControl {
public:
    explicit TRichEdit(TComponent* owner);
    ~TRichEdit() override;
    const char* ClassName() const override { return "TRichEdit"; }
    void SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) override;

    TRichEditStrings& Lines() { return FLines; }
    std::string Text() override;
    void SetText(const std::string& s) override;
    int GetTextLen();
    void Clear();
    // The selection with every line break as CR LF.
    std::string SelText();
    void SetSelText(const std::string& s);
    int SelStart();
    void SetSelStart(int start);
    int SelLength();
    void SetSelLength(int length);
    void SelectAll();
    // Appends s at the very end as it stands (no line break is added). A caret at the end
    // moves on with the text, so that the view follows it; any other selection is kept.
    // The control takes its time over large texts, so appends wait in a TAppendScheduler and
    // go in by slices from the control's own timer while the message loop goes on. The whole
    // text is kept in memory besides (TPaneText): Text(), a plain-text save and the caret at
    // the end are answered from it at once; every other message that reads or changes the
    // text completes the appends first. Either way a reader sees the whole text.
    void AppendText(const std::string& s);
    // Text still to be appended by the timer, or a window still to show the text appended.
    bool AppendPending() const { return FAppends.Pending() || FWindowStale; }
    // Whether the whole text is at hand in memory (else readers go to the control).
    bool TextInMemory() const { return FPaneText.Known(); }
    // False once the control could not take the whole text and the memory does not hold
    // it either: its readers then get only the part the control took.
    bool HoldsWholeText() const { return !FDroppedAppends && (FPaneText.Known() || !FRefusing); }
    // Whether the control shows a line of the text in display lines of its own (a line too
    // long for it to lay out in good time; TDisplayBreaks). Every reader and position is the
    // text's as ever. An edit first puts the text back with its lines whole; where a line is
    // too long even for that, the pane takes no edits until its text is replaced.
    bool ShowsDisplayLines() const { return FBreaks.Any(); }
    const TDisplayBreaks& DisplayBreaks() const { return FBreaks; }
    // Whether the control holds only a window of the text's display lines (TPaneLines): a
    // text too large for it to take in good time, kept in memory. The pane's own vertical
    // scroll bar, its scrolling and every reader and position are the whole text's; the
    // control is read-only meanwhile, and an edit, a print or a long find first puts the
    // whole text into it.
    bool ShowsWindow() const { return FWindowed; }
    // The text positions the window holds (while it shows one).
    size_t WindowStart() const { return FWindowed ? FPaneLines.UnitOf(FWindow.First) : 0; }
    size_t WindowEnd() const { return FWindowed ? FPaneLines.UnitOf(FWindow.Last) : 0; }
    // What the control itself holds, past every answer from memory: the window, with breaks
    // of ours, every line break as CR LF.
    std::string ShownText();
    void CompleteAppends();
    // The last character of the text ('\r' for a line break), '\0' when there is none.
    char LastChar();
    bool Modified();
    void SetModified(bool m);
    bool PlainText() const { return FPlainText; }
    void SetPlainText(bool p) { FPlainText = p; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool r);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool h) { FHideSelection = h; }
    bool HideScrollBars() const { return FHideScrollBars; }
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle s);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool w);
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool w) { FWantReturns = w; }
    bool WantTabs() const { return FWantTabs; }
    // bsSingle (the default) or bsNone.
    bool HasBorder() const { return FBorder; }
    void SetBorder(bool border) { FBorder = border; }
    // Bold on or off for the selection (or, with none, for what is typed at the caret).
    void SetSelBold(bool bold);
    bool SelBold();
    void CopyToClipboard();
    // Prints the whole text on the printer that the last print dialog chose (else the
    // default printer) as one print job with that title.
    void Print(const std::string& title);
    bool WantsDialogKey(UINT key) override;

    TNotifyEvent OnSelectionChange;
    TNotifyEvent OnChange;

    // ---- searching (RichEditFind.cpp). These work on the whole text: each asks the control
    // by a message that completes the waiting appends first, as every read does.
    enum TSearchType : unsigned { stWholeWord = 1, stMatchCase = 2 };
    // The control's own forward find of searchStr (a set of TSearchType) in the length
    // characters from startPos (-1: to the end); a match must end inside that range. Positions
    // count a line break as one character, as the control keeps it. The position of the first
    // match, or -1.
    int FindString(const std::string& searchStr, int startPos, int length, unsigned options);
    // The length of the text with every line break counted as CR LF (two characters).
    int GetTextLenCRLF();
    // The text as the control keeps it, every line break one CR: its positions are the ones
    // FindString takes and gives. usedDefaultChar (when given) tells whether a character had no
    // ANSI form and stands as the default character.
    std::string StoredText(bool* usedDefaultChar = nullptr);

protected:
    void CreateParams(TCreateParams& p) override;
    void InitWnd() override;
    bool CNCommand(WORD code, WORD id, LRESULT& result) override;
    bool CNNotify(NMHDR* hdr, LRESULT& result) override;
    void ApplyDefaultFormat();
    // A new control may lay its text out over its whole window, the border and the scroll bars
    // included (Wine's does until its first resize): its last lines would then stand below the
    // client area, where no scrolling brings them. It is made to take its client area.
    void LayOutInClientArea();
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    COLORREF DefaultColor() const override { return GetSysColor(COLOR_WINDOW); }
    void ColorChanged() override;

private:
    friend class TRichEditStrings;
    // The control takes no edits of its own while it shows display lines (a drop of dragged
    // text, say, would change it unseen); the pane takes them unless it is read-only or one of
    // its lines is too long to be shown whole for an edit.
    void ApplyReadOnly();
    bool ControlReadOnly() const { return FReadOnly || FBreaks.Any() || FWindowed; }
    bool TakesEdits() const {
        return !FReadOnly && FBreaks.Longest() <= TDisplayBreaks::kEditableLineChars &&
               (!FWindowed || FPaneLines.Longest() <= TDisplayBreaks::kEditableLineChars);
    }
    // ---- a new text and appends (RichEditAppends.cpp)
    // Replaces the whole text by a plain text: its first slice at once, the rest appended.
    void LoadPlainText(std::string text);
    // Appends slices of the pending text until budgetMs have passed (0: all of it, 1: one
    // slice), or, with yield, until input or posted messages wait.
    void AppendSlices(DWORD budgetMs, bool yield);
    void AppendSlice();
    void DropPending();
    void SchedulePending();
    // A pane out of sight leaves the control's time to a pane in sight that still fills, so
    // that the text the user looks at is there first.
    bool DefersToPaneInSight() const;
    // Before the whole text is replaced: drops pending appends, takes appends again, keeps
    // text as FText and, when the window holds a long text, replaces it by a new one with
    // text in it (true then).
    bool BeginNewText(const std::string& text);
    // The address space runs short: the pending text is dropped and the user told; the
    // control takes no more appends until the text is replaced (the text in memory does).
    void RefuseAppends();
    // The pane's name for the user: its sheet's caption, else its name.
    std::string PaneCaption();
    // "Failed to Load Stream", with the pane (its sheet's caption) that could not take it.
    std::string LoadFailedMessage();
    // Shows the text wrapped from now on when text about to go in makes a line too long to
    // be laid out unwrapped (the pane does not wrap its lines otherwise).
    void WrapLongLines(const char* text, size_t size);
    // The next size characters of the text as the control is to take them: in display lines
    // where a line is too long and the text is in memory, else as they are (shown wrapped
    // where a line is too long). ahead characters of the text follow them.
    std::string ForControl(const char* text, size_t size, size_t ahead);
    // ---- the messages the pane answers itself (RichEditMessages.cpp, with WndProc)
    // Before an edit: the text goes into the control again with its lines whole (the
    // selection kept), so that the edit changes the text as it shows.
    void ShowWholeLines();
    // The text between two positions, from memory.
    std::string TextRange(size_t from, size_t to) const;
    // A reader of the text (EM_GETTEXTEX, EM_GETTEXTRANGE, EM_GETSELTEXT, WM_COPY) answered from
    // memory, in the text's terms; false where the control is to answer.
    bool TextMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    // A message answered in the text's terms while the control shows display lines.
    bool DisplayLinesMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    // The selection in the control, in the text's positions (a caret at the end, while
    // appends wait, at the end of the whole text).
    CHARRANGE TextSelection();
    // EM_GETSEL or EM_EXGETSEL answered with TextSelection.
    LRESULT AnswerSelection(UINT msg, WPARAM wp, LPARAM lp);
    // The control's own answer, past this object's handling.
    LRESULT ControlMessage(UINT msg, WPARAM wp, LPARAM lp);
    // A message that is about to change the text other than through this object, where the
    // user's typing counts when editable.
    bool ChangesTextFromOutside(UINT msg, WPARAM wp, bool editable) const;
    // ---- a window of the text (RichEditWindow.cpp)
    // Whether the text in memory is too large for the control to take in good time.
    bool WantsWindow() const;
    // The control shows a window of the text from now on: sel is the selection (text
    // positions), top the display line to show at the top (atEnd: the last page).
    void BeginWindow(CHARRANGE sel, bool modified, size_t top, bool atEnd);
    // The window's state is gone (a new text).
    void EndWindow();
    // The whole text goes into the control (the selection, view and modified flag kept);
    // false where the address space for the control to take it is not there (the user is told
    // once, and the pane goes on showing a window).
    bool ShowWholeText();
    // Puts the lines around top into the control (around the last page at most) and shows top
    // first.
    void BuildWindow(size_t top);
    bool WindowMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    // After a message the control handled: a view near an end of the window moves it, and the
    // scroll bar shows the view in the whole text.
    void AfterWindowMessage(UINT msg);
    void WindowTick();
    // Appends to the text behind a window; false when the window has ended and the text goes
    // on as the control's.
    bool WindowAppend(const std::string& s);
    // A new, empty window of the control in place of one that holds many lines (taking them
    // out would cost the control a time that grows with their square).
    void ReplaceHandle();
    // The control's view shows the character at a position (of the control) at its top.
    void ScrollControlTo(LONG position, LONG x);
    HWND FindControl();
    static constexpr UINT_PTR kWindowTimer = 0x5242;
    static constexpr UINT kWindowTickMs = 100;
    // A find outside the window over at most this many characters goes to the hidden control;
    // a longer one puts the whole text into the pane's.
    static constexpr size_t kWindowFindChars = 16384;
    CHARRANGE WindowSelection();
    // Sets the selection in text positions (-1 and 0, -1 as the control takes them); the
    // window moves to show its caret. The end of the selection.
    LONG SetWindowSelection(CHARRANGE r);
    // The control's selection for the window, from the selection in text positions.
    void ShowWindowSelection();
    size_t TopLine();
    size_t VisibleLines();
    // The top line of a view that shows line: the view's own where it does, else one with
    // the line in its middle.
    size_t TopShowing(size_t line, size_t visible);
    // The top line of the last page of display lines, as the scroll bar counts them. The view
    // may begin on any line up to the last: the control then stops at its own last page, however
    // its lines wrap and its client area cuts the last one.
    size_t LastPage(size_t visible) const;
    // Brings the view to show line top first (in the window, or in a new one).
    void ScrollWindowTo(size_t top);
    // A new window when the caret is outside the one held or near an end of it.
    void WindowAroundCaret();
    void SyncScrollBar();
    // The control's find over a range of the text: in the window, or over a window of the
    // range's own lines in a hidden control.
    bool WindowFind(WPARAM flags, FINDTEXTEXA& find, LRESULT& result);

    TRichEditStrings FLines;
    bool FPlainText = false, FReadOnly = false, FHideSelection = true, FWordWrap = true;
    bool FHideScrollBars = true, FWantReturns = true, FWantTabs = false, FBorder = true;
    TScrollStyle FScrollBars = TScrollStyle::ssNone;
    TAppendScheduler FAppends;
    TPaneText FPaneText;
    TDisplayBreaks FBreaks;
    bool FPendingModified = true;  // the control's modified flag once the pending text is in
    bool FAppending = false;       // inside a slice or a change of ours: the control's own
                                   // messages pass through
    bool FTimerSet = false;
    bool FRefusing = false;
    bool FLongLinesWrapped = false;  // shown wrapped for a long line (see WrapLongLines)
    size_t FLineChars = 0;           // characters of the last line put into the control
    // A window of the text (ShowsWindow).
    TPaneLines FPaneLines;
    TPaneWindowRange FWindow;
    bool FWindowed = false;
    bool FWindowStale = false;       // text appended since the window was built
    bool FWindowTimerSet = false;
    bool FWindowModified = false;    // the pane's modified flag while it shows a window
    bool FSyncingScrollBar = false;
    bool FDroppedAppends = false;    // appends to a window's text the memory had no room for
    bool FWholeTextRefused = false;  // the user was told that the control cannot take the text
    size_t FWindowBuiltCount = 0;    // display lines when the window was built
    int FLineHeight = 0;             // pixels a line, measured in the window
    CHARRANGE FWindowSel{0, 0};      // the selection, text positions
    CHARRANGE FWindowShownSel{0, 0};  // the control's selection as set for it
    HWND FFindHandle = nullptr;      // the hidden control of finds outside the window
};

// ---------------------------------------------------------------- list view

class TListView;
class TListItem;

class TListItemStrings {
public:
    int Count() const { return static_cast<int>(FItems.size()); }
    // An index without a sub-item raises EStringListError "List index out of bounds (%d)".
    const std::string& Strings(int index) const;
    void Add(const std::string& s);
    void Put(int index, const std::string& s);
    void Clear();

private:
    friend class TListItem;
    TListItem* FOwner = nullptr;
    std::vector<std::string> FItems;
};

class TListItem {
public:
    TListView* Owner() const { return FOwner; }
    int Index() const;  // position in the list view, -1 once removed
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& s);
    TListItemStrings& SubItems() { return FSubItems; }
    void* Data = nullptr;
    bool Checked() const;
    void SetChecked(bool c);
    bool Selected() const;
    void SetSelected(bool s);

private:
    friend class TListView;
    friend class TListItems;
    friend class TListItemStrings;
    explicit TListItem(TListView* owner) : FOwner(owner) { FSubItems.FOwner = this; }
    void SubItemChanged(int index);
    TListView* FOwner;
    std::string FCaption;
    TListItemStrings FSubItems;
    // Where the item was last found: tried first, since a search through the control costs
    // time in proportion to its rows (filling a list row by row would grow with their square).
    mutable int FIndexHint = -1;
    // Where the list's owner keeps the item, so that removing one row costs the same in any list.
    size_t FOwnedIndex = 0;
};

class TListItems {
public:
    explicit TListItems(TListView& owner) : FOwner(owner) {}
    int Count() const;
    TListItem* Item(int index) const;  // in the list view's order; null when out of range
    TListItem* operator[](int index) const { return Item(index); }
    TListItem* Add();
    void Delete(int index);
    // Removes the items (in any order; one no longer in the list is passed over) under one
    // redraw guard, all of them at once where every item goes. The focus ends where the
    // control leaves it: on the focused item if it stays, else on the next item that stays,
    // else on the last item.
    void Delete(const std::vector<TListItem*>& items);
    void Clear();
    void BeginUpdate();
    void EndUpdate();

private:
    friend class TListView;
    TListView& FOwner;
    std::vector<std::unique_ptr<TListItem>> FOwned;
    int FUpdateCount = 0;
};

// Redrawing of a list view off for the life of the guard (BeginUpdate / EndUpdate, nested
// guards counting), so that a bulk change is drawn once at its end, also when it ends by an
// exception. Every bulk change of a list view runs under one.
class TListUpdateGuard {
public:
    explicit TListUpdateGuard(TListItems& items) : FItems(items) { FItems.BeginUpdate(); }
    // Runs while an exception unwinds, before the handler asks the thread's last error why:
    // redrawing the control must not replace that code.
    ~TListUpdateGuard() {
        const DWORD code = GetLastError();
        FItems.EndUpdate();
        SetLastError(code);
    }
    TListUpdateGuard(const TListUpdateGuard&) = delete;
    TListUpdateGuard& operator=(const TListUpdateGuard&) = delete;

private:
    TListItems& FItems;
};

struct TListColumn {
    std::string Caption;
    int Width = 50;
};

enum class TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
enum class TSearchDirection { sdLeft, sdRight, sdAbove, sdBelow, sdAll };
// Compares two items (TListItem* as LPARAM); negative, 0 or positive.
using TLVCompare = int(CALLBACK*)(LPARAM item1, LPARAM item2, LPARAM data);

class TListView : public TWinControl {
public:
    explicit TListView(TComponent* owner);
    ~TListView() override;
    const char* ClassName() const override { return "TListView"; }
    void SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) override;

    TListItems& Items() { return FItems; }
    int ColumnCount() const { return static_cast<int>(FColumns.size()); }
    const TListColumn& Column(int index) const { return FColumns.at(index); }
    void AddColumn(const std::string& caption, int width);
    TViewStyle ViewStyle() const { return FViewStyle; }
    bool MultiSelect() const { return FMultiSelect; }
    bool Checkboxes() const { return FCheckboxes; }

    TListItem* Selected();  // the first selected item
    int SelCount();
    // The next item after start (from the top when start is null) with the states
    // (LVNI_SELECTED and the like) in the direction; null when there is none.
    TListItem* GetNextItem(TListItem* start, TSearchDirection direction, UINT states);
    void SelectAll();
    void ClearSelection();
    // Platform search for a caption (without regard to case), from startIndex.
    TListItem* FindCaption(int startIndex, const std::string& value, bool partial, bool inclusive, bool wrap);
    TListItem* FindData(int startIndex, void* data, bool inclusive, bool wrap);
    bool CustomSort(TLVCompare compare, LPARAM data);
    bool AlphaSort();  // by caption, lstrcmpA
    int IndexOfItem(const TListItem* item) const;

protected:
    void CreateParams(TCreateParams& p) override;
    void InitWnd() override;
    bool CNNotify(NMHDR* hdr, LRESULT& result) override;

private:
    friend class TListItem;
    friend class TListItems;
    void InsertNativeColumn(int index);
    TListItems FItems;
    std::vector<TListColumn> FColumns;
    TViewStyle FViewStyle = TViewStyle::vsIcon;
    bool FMultiSelect = false, FCheckboxes = false, FReadOnly = false, FRowSelect = false;
    bool FHideSelection = true;
};

// ---------------------------------------------------------------- tree view

class TTreeNode {
public:
    HTREEITEM ItemId = nullptr;
    std::string Text;
    TTreeNode* Parent = nullptr;
};

class TTreeView : public TWinControl {
public:
    using TWinControl::TWinControl;
    const char* ClassName() const override { return "TTreeView"; }
    void SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) override;
    // Adds a node under parent (null: a root); children of a sorted tree stay in text order.
    TTreeNode* AddChild(TTreeNode* parent, const std::string& text);
    int Count() const { return static_cast<int>(FNodes.size()); }
    TTreeNode* Node(int index) const { return FNodes.at(index).get(); }
    bool SortedByText() const { return FSortByText; }
    bool MultiSelect() const { return FMultiSelect; }

protected:
    void CreateParams(TCreateParams& p) override;
    void InitWnd() override;

private:
    void InsertNative(TTreeNode* node);
    std::vector<std::unique_ptr<TTreeNode>> FNodes;
    std::vector<std::pair<int, std::string>> FPending;  // (level, text) from the description
    bool FSortByText = false, FMultiSelect = false;
};

// ---------------------------------------------------------------- extended combo box

class TComboBoxEx : public TWinControl {
public:
    using TWinControl::TWinControl;
    const char* ClassName() const override { return "TComboBoxEx"; }
    void SetProperty(const std::string& name, const std::string& value, TComponentResolver& reader) override;
    // The edit control inside the box (CBEM_GETEDITCONTROL).
    HWND EditHandle();
    std::string Text() override;
    void SetText(const std::string& s) override;
    int ItemCount();
    std::string ItemText(int index);
    int AddItem(const std::string& s);
    int ItemIndex();
    void SetItemIndex(int index);
    int SelStart();
    void SetSelStart(int start);
    int SelLength();
    void SetSelLength(int length);
    void SelectAll();
    bool AutoSuggest() const { return FAutoSuggest; }
    bool AutoAppend() const { return FAutoAppend; }
    // The user has changed the text of the edit part (typing, pasting, deleting); changes
    // made through the members above do not raise it.
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& p) override;
    int ExtraWindowHeight() const override { return 200; }
    bool CNCommand(WORD code, WORD id, LRESULT& result) override;

private:
    // Inside a change made by the program: the edit's change notices are not the user's.
    struct TProgramChange {
        explicit TProgramChange(TComboBoxEx& box) : Box(box) { ++Box.FProgramChanges; }
        ~TProgramChange() { --Box.FProgramChanges; }
        TComboBoxEx& Box;
    };
    bool FAutoSuggest = false, FAutoAppend = false;
    int FProgramChanges = 0;
};

}  // namespace ruk
