// The keyword list model of the main window: the rows of KeywordsListView1, adding keywords
// and merging further documents into their multi-value cells.
#include "RUKLexmillMain.h"

namespace ruk {

namespace {

int AddToKeywordCell(TRUKKeywordListEntry* row, TRUKKeywordCell cell, const std::string& value) {
    SetLastError(0);
    if (row == nullptr) {
        SetLastError(RUK_E_NULL_OBJECT);
        return -1;
    }
    TListItemStrings& cells = row->SubItems();
    const std::string& text = cells.Strings(cell);
    const std::string merged = AddToMultiValueCell(text, value);
    if (merged != text) cells.Put(cell, merged);
    return CountMultiValueCellEntries(merged);
}

}  // namespace

TRUKKeywordListEntry* TSDIAppForm::AddKeyword(const std::string& keyword, const std::string& link,
                                              const std::string& title, const std::string& altURL) {
    SetLastError(0);
    if (keyword.empty()) {
        SetLastError(RUK_E_INVALID_KEYWORD);
        return nullptr;
    }
    // The platform's whole-string search, without regard to case, from the top and wrapping:
    // the first such row in list order.
    // During a bulk add the index answers for a keyword that no row can hold.
    TRUKKeywordListEntry* row = FKeywordRowIndex && !FKeywordRowIndex->MayHold(keyword)
                                    ? nullptr
                                    : KeywordsListView1->FindCaption(0, keyword, false, true, true);
    if (row != nullptr && AddLinkToKeyword(row, link, title, altURL) != 0) return row;
    row = KeywordsListView1->Items().Add();
    row->SetCaption(keyword);
    if (FKeywordRowIndex) FKeywordRowIndex->Add(keyword);
    TListItemStrings& cells = row->SubItems();
    cells.Add(ReplaceCellSeparators(link));
    cells.Add(ReplaceCellSeparators(title));
    cells.Add(ReplaceCellSeparators(altURL));
    cells.Add("1");
    return row;
}

int TSDIAppForm::AddLinkToKeyword(TRUKKeywordListEntry* row, const std::string& link, const std::string& title,
                                  const std::string& altURL) {
    const int links = AddLinkTarget(row, link);
    const int titles = AddTargetDocTitle(row, title);
    const int urls = AddAltURL(row, altURL);
    return links == titles && titles == urls ? links : -1;
}

int TSDIAppForm::AddLinkTarget(TRUKKeywordListEntry* row, const std::string& value) {
    return AddToKeywordCell(row, kcLinkTargets, value);
}

int TSDIAppForm::AddTargetDocTitle(TRUKKeywordListEntry* row, const std::string& value) {
    return AddToKeywordCell(row, kcTargetDocTitles, value);
}

int TSDIAppForm::AddAltURL(TRUKKeywordListEntry* row, const std::string& value) {
    return AddToKeywordCell(row, kcAltURLs, value);
}

int TSDIAppForm::CountCellEntries(const std::string& text) { return CountMultiValueCellEntries(text); }

std::string TSDIAppForm::GetSourceFileName() const {
    const size_t last = FSourceFileName.find_last_of("\\:");
    return last == std::string::npos ? FSourceFileName : FSourceFileName.substr(last + 1);
}

bool TSDIAppForm::ContainsLineBreak(const std::string& text) { return text.find("\r\n") != std::string::npos; }

std::string TSDIAppForm::ReplaceLineBreaks(const std::string& text) {
    return StringReplace(text, "\r\n", " ", rfReplaceAll);
}

}  // namespace ruk
