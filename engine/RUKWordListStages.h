// The stages of the word-list worker as functions over the text, in two implementations
// with one observable behaviour:
//  - literal: each stage exactly as designed, rescanning from the first character after
//    every removal. It is the reference the other one is checked against.
//  - fast: single passes with the same results, the same events in the same order with
//    the same positions, and the same behaviour when terminated at any checkpoint.
// The worker (TRUKGenWordListFromHTMLThread) runs one set; the program uses the fast one.
#pragma once

#include "Classes.h"

#include <string>

namespace ruk {

// What a stage sees of its worker: the terminate flag and the three deliveries.
class TWordListStageHost {
public:
    virtual ~TWordListStageHost() = default;
    // The worker's Terminated flag; called exactly where the stages test it.
    virtual bool StageTerminated() = 0;
    // A removed style-sheet, script or comment section, delivered as a progress text.
    virtual void ReportSection(const std::string& section) = 0;
    // The document title (step 5), at most once.
    virtual void ReportTitle(const std::string& title) = 0;
    // A removed tag with its 1-based positions in the text of that moment.
    virtual void ReportTag(const std::string& tag, int startPos, int endPos) = 0;
};

// One implementation of the stages. The word lists are sorted, duplicate-ignoring lists.
struct TWordListStageSet {
    void (*RemoveStyleSheetSections)(std::string& text, TWordListStageHost& host);
    void (*RemoveScriptSections)(std::string& text, TWordListStageHost& host);
    void (*RemoveCRLFs)(std::string& text, TWordListStageHost& host);
    void (*RemoveCommentedSections)(std::string& text, TWordListStageHost& host);
    void (*RetrieveTitle)(const std::string& text, TWordListStageHost& host);
    void (*RemoveHTMLTags)(std::string& text, TWordListStageHost& host);
    void (*ReplaceHTMLSpecialChars)(std::string& text, TWordListStageHost& host);
    void (*GenerateWordsList)(const std::string& text, TStringList& wordList);
    void (*RemoveWordsToSuppress)(TStringList& wordList, const TStringList& suppressList);
    void (*RemoveRedundantBlanks)(std::string& text);
    void (*CountDistinctWordOccurrences)(const std::string& text, TStringList& wordList,
                                         TWordListStageHost& host);
};

extern const TWordListStageSet LiteralWordListStages;
extern const TWordListStageSet FastWordListStages;

}  // namespace ruk
