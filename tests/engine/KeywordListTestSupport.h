// A keyword list view for the engine's keyword-file and index tests: a report-style list
// view named as the main window's, on a form of its own.
#pragma once

#include "Form.h"
#include "RUKLexmillUtils1.h"

#include <string>
#include <vector>

namespace ruk::test {

class KeywordListView {
public:
    KeywordListView() : FForm(new TForm(nullptr)) {
        View = new TListView(FForm);
        View->SetName("KeywordsListView1");
        View->SetBounds(0, 0, 400, 300);
        // The control keeps a sub-item's text only where a column for it exists.
        for (const char* caption : {"Keyword", "Link targets", "Titles", "Alternative URLs", "Count"})
            View->AddColumn(caption, 80);
        View->SetParent(FForm);
        FForm->HandleNeeded();
    }
    ~KeywordListView() { FForm->Free(); }
    KeywordListView(const KeywordListView&) = delete;
    KeywordListView& operator=(const KeywordListView&) = delete;

    // A row with the caption and the cells given (all four when cells has four texts).
    TRUKKeywordListEntry* Add(const std::string& keyword, const std::vector<std::string>& cells) {
        TRUKKeywordListEntry* row = View->Items().Add();
        row->SetCaption(keyword);
        for (const std::string& c : cells) row->SubItems().Add(c);
        return row;
    }
    // Every row as its caption and cells.
    std::vector<std::vector<std::string>> Rows() {
        std::vector<std::vector<std::string>> rows;
        for (int i = 0; i < View->Items().Count(); ++i) {
            TRUKKeywordListEntry* row = View->Items()[i];
            std::vector<std::string> cells{row->Caption()};
            for (int c = 0; c < row->SubItems().Count(); ++c) cells.push_back(row->SubItems().Strings(c));
            rows.push_back(cells);
        }
        return rows;
    }
    TListView* View;

private:
    TForm* FForm;
};

// "•" in a sample stands for the cell separator.
inline std::string Cell(const std::string& sample) {
    return StringReplace(sample, "\xE2\x80\xA2", KeywordCellSeparator(), rfReplaceAll);
}

}  // namespace ruk::test
