// TSDIAppForm: the keyword editing actions, the selection commands of the Edit menu and
// auto-find. Every change of the keyword list goes through the keyword list model
// (AddKeyword, AddLinkToKeyword).
//
// Auto-find rows: each row of AutoFindListView1 refers to its keyword row of
// KeywordsListView1 through its Data, and through nothing else (not owned; no other list or
// map holds the reference). So whoever removes keyword rows removes the auto-find rows whose
// Data is one of them; and a reference is only followed after it has been found among the
// keyword list's present rows (KeywordRowOf).
#include "RUKAutoFind.h"
#include "Forms.h"
#include "Handles.h"
#include "RUKLexmillMain.h"
#include "RUKLexmillUtils1.h"

#include <unordered_set>

namespace ruk {

namespace {
const char* const kNoNameLinkTarget = "NoName.htm";
const char* const kUntitledDocument = "Untitled Document";
}  // namespace

std::string TSDIAppForm::LinkTargetOrDefault() const {
    const std::string link = GetSourceFileName();
    return link.empty() ? kNoNameLinkTarget : link;
}

std::string TSDIAppForm::DocTitleOrDefault() const { return FDocTitle.empty() ? kUntitledDocument : FDocTitle; }

TListItem* TSDIAppForm::KeywordRowOf(const TListItem* found, const std::vector<TListItem*>& rows) const {
    // Compared as addresses only: a row that is gone is never looked into.
    const void* row = found->Data;
    for (TListItem* present : rows)
        if (present == row) return present;
    return nullptr;
}

// ---------------------------------------------------------------- selection commands

void TSDIAppForm::EditSelectAllExec(TObject*) {
    TWinControl* focused = ActiveControl();
    if (!focused) return;
    if (focused == SourceFilesComboBoxEx) {
        SourceFilesComboBoxEx->SetFocus();
        SourceFilesComboBoxEx->SelectAll();
    } else if (TRichEdit* edit = GetActiveRichEdit()) {
        edit->SetFocus();
        edit->SelectAll();
    } else if (TListView* list = GetActiveListView()) {
        list->SelectAll();
    }
}

void TSDIAppForm::EditClearSelectionExec(TObject*) {
    TWinControl* focused = ActiveControl();
    if (!focused) return;
    if (focused == SourceFilesComboBoxEx) {
        SourceFilesComboBoxEx->SetFocus();
        SourceFilesComboBoxEx->SetSelStart(0);
        SourceFilesComboBoxEx->SetSelLength(0);
    } else if (TRichEdit* edit = GetActiveRichEdit()) {
        edit->SetFocus();
        edit->SetSelLength(0);
    }
}

void TSDIAppForm::EditReadOnly1Exec(TObject*) {
    ShowMessage("Toggle Read Only ?\nSorry, this feature hasn't been implemented yet.");
}

// ---------------------------------------------------------------- adding keywords

void TSDIAppForm::AddKeywordFromEdit(const std::string& text) {
    const std::string link = LinkTargetOrDefault();
    const std::string title = DocTitleOrDefault();
    // Only this call's own failure counts, not one left over from an earlier call.
    SetLastError(0);
    TRUKKeywordListEntry* row = AddKeyword(text, link, title, "");
    const DWORD error = GetLastError();
    if (row) {
        KeywordEditComboBox1->SetItemIndex(KeywordEditComboBox1->AddItem(text));
        KeywordEditComboBox1->SetFocus();
        KeywordsListView1->AlphaSort();
    }
    if (error == RUK_E_INVALID_KEYWORD) ShowMessage("Invalid Keyword !");
}

void TSDIAppForm::EditAddAsKeywordExec(TObject*) {
    std::string text = StrippedContentsRichEdit1->SelText();
    if (!text.empty()) text = Trim(ReplaceLineBreaks(text));
    if (text.empty()) return;
    AddKeywordFromEdit(text);
}

void TSDIAppForm::EditApplyKeywordChangesExec(TObject*) {
    // A chosen item is a keyword already added; typed text has no item (KeywordEditComboBox1Change).
    if (KeywordEditComboBox1->ItemIndex() != -1) return;
    AddKeywordFromEdit(KeywordEditComboBox1->Text());
}

void TSDIAppForm::KeywordEditComboBox1Change(TObject*) {
    TComboBoxEx& box = *KeywordEditComboBox1;
    if (box.ItemIndex() == -1) return;
    // Choosing "no item" empties the edit part: the user's text and caret are put back.
    const std::string text = box.Text();
    const int start = box.SelStart();
    const int length = box.SelLength();
    box.SetItemIndex(-1);
    box.SetText(text);
    box.SetSelStart(start);
    box.SetSelLength(length);
}

void TSDIAppForm::EditAddAsKeywordsExec(TObject* Sender) {
    TWinControl* focused = ActiveControl();
    if (focused == DistinctWordsLisRichEdit1) EditAddAsKeywordsFromREExec(Sender);
    else if (focused == DistinctWordsListView1) EditAddAsKeywordsFromLVExec(Sender);
}

void TSDIAppForm::EditAddAsKeywordsFromREExec(TObject*) {
    const std::string text = DistinctWordsLisRichEdit1->SelText();
    if (text.empty()) return;
    // Sorted without regard to case, a line equal to an earlier one so is dropped.
    TStringList lines;
    lines.SetSorted(true);
    lines.SetDuplicates(TDuplicates::dupIgnore);
    lines.SetText(text);
    std::vector<std::string> words;
    words.reserve(static_cast<size_t>(lines.Count()));
    for (int i = 0; i < lines.Count(); ++i) words.push_back(lines[i]);
    AddKeywords(words);
}

void TSDIAppForm::EditAddAsKeywordsFromLVExec(TObject*) {
    std::vector<std::string> words;
    for (TListItem* word = DistinctWordsListView1->Selected(); word;
         word = DistinctWordsListView1->GetNextItem(word, TSearchDirection::sdAll, LVNI_SELECTED))
        words.push_back(word->Caption());
    AddKeywords(words);
}

void TSDIAppForm::AddKeywords(const std::vector<std::string>& words) {
    if (words.empty()) return;
    const std::string link = LinkTargetOrDefault();
    const std::string title = DocTitleOrDefault();
    TKeywordRowIndex index;
    TListItems& rows = KeywordsListView1->Items();
    for (int i = 0; i < rows.Count(); ++i) index.Add(rows[i]->Caption());
    // The index lives for this call only; AddKeyword keeps it while it runs.
    FKeywordRowIndex = &index;
    const TScopeExit inUse([this] { FKeywordRowIndex = nullptr; });
    TListUpdateGuard noRedraw(rows);
    for (const std::string& word : words) AddKeyword(word, link, title, "");
}

// ---------------------------------------------------------------- the current document as link target

void TSDIAppForm::EditAddDocToKeywordsExec(TObject*) {
    TListItems& found = AutoFindListView1->Items();
    if (found.Count() == 0) return;
    const std::string link = GetSourceFileName();
    const std::string title = FDocTitle;
    TListItems& keywordRows = KeywordsListView1->Items();
    std::vector<TListItem*> rows;
    rows.reserve(static_cast<size_t>(keywordRows.Count()));
    for (int i = 0; i < keywordRows.Count(); ++i) rows.push_back(keywordRows[i]);
    TListUpdateGuard noRedraw(keywordRows);
    for (int i = 0; i < found.Count(); ++i) {
        TListItem* item = found[i];
        if (!item->Checked()) continue;
        if (TListItem* row = KeywordRowOf(item, rows)) AddLinkToKeyword(row, link, title, "");
    }
}

void TSDIAppForm::EditAddStrippedFileAsLinkExec(TObject*) {
    TListItem* row = KeywordsListView1->Selected();
    if (!row) return;
    const std::string link = GetSourceFileName();
    if (link.empty()) return;
    AddLinkToKeyword(row, link, DocTitleOrDefault(), "");
}

// ---------------------------------------------------------------- auto-find

void TSDIAppForm::AssignmentAutoFindAndAddExec(TObject*) {
    TListItems& keywordRows = KeywordsListView1->Items();
    if (keywordRows.Count() == 0) return;
    std::vector<TListItem*> rows;
    std::vector<std::string> keywords;
    rows.reserve(static_cast<size_t>(keywordRows.Count()));
    keywords.reserve(rows.capacity());
    for (int i = 0; i < keywordRows.Count(); ++i) {
        rows.push_back(keywordRows[i]);
        keywords.push_back(rows.back()->Caption());
    }
    // A row with an empty keyword (only a keyword file can hold one) is never found.
    const std::vector<bool> hits = AutoFindKeywords(*StrippedContentsRichEdit1, keywords);

    int found = 0;
    std::string logLines;
    {
        TListUpdateGuard noRedraw(AutoFindListView1->Items());
        for (size_t k = 0; k < rows.size(); ++k) {
            if (!hits[k]) continue;
            TListItem* item = AutoFindListView1->Items().Add();
            item->SetCaption(keywords[k]);
            item->Data = rows[k];
            item->SetChecked(true);
            if (found > 0) logLines += "\r\n";
            logLines += "Keyword " + keywords[k] + " found in stripped text !";
            ++found;
        }
    }
    // One append for all the lines: the log takes them as it takes a run's lines.
    if (!logLines.empty()) LogRichEdit1->Lines().Add(logLines);
    if (found > 0)
        ShowMessage("Auto Find and Add has found " + IntToStr(found) + " keywords \r\nin the text of " + FDocTitle);
}

}  // namespace ruk
