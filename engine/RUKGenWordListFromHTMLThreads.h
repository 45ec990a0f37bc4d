// The word-list worker: strips a document of its markup on a thread of its own, reads its
// title, lists its distinct words with their counts, and reports what it finds to the
// user-interface thread. Also the free word functions the stages rest on and the keywords
// meta tag builder.
#pragma once

#include "Classes.h"
#include "RUKThreads.h"
#include "RUKWordListStages.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace ruk {

// ---------------------------------------------------------------- character sets

// Cut the stripped text into tokens; tried one by one in this order (FirstWord).
inline const std::string WordDelimiterChars = " ,;.:!?=\"+()";
// Around a counted occurrence of a word.
inline const std::string CountDelimiterChars = " ,;.:!?=\"+([{)]}";
// Trimmed from both ends of a token when no other marks are given.
inline const std::string PunctuationMarkChars = ",.;:!?";
// Paired by position: an opening character with the closing one at the same index.
inline const std::string OpeningChars = "\"([{";
inline const std::string ClosingChars = "\")]}";

// ---------------------------------------------------------------- word functions

// The word after the first occurrence of PrevWord in Text (byte for byte), skipping the one
// character that follows that occurrence; FirstWord of Text when PrevWord is null. Empty
// when PrevWord does not occur or nothing is left after it.
std::string NextWord(const std::string& Text, const char* PrevWord, const std::string& Delims);

// Text without the characters of Chars at either end (through the shell's StrTrimA); Text
// unchanged when nothing was trimmed or the trimming function is not available.
std::string TrimCharacters(const std::string& Text, const std::string& Chars);

// TrimCharacters with Marks, or with PunctuationMarkChars when Marks is empty.
std::string TrimPunctuationMarks(const std::string& Text, const std::string& Marks);

// The characters of OpenChars/CloseChars whose pairs are unbalanced in Text, in pair order.
// Raises ERangeError when CloseChars is shorter than OpenChars.
std::string GetOpenCloseOrphanCharacters(const std::string& Text, const std::string& OpenChars,
                                         const std::string& CloseChars);

// Text without the first occurrence of each unbalanced character (one per orphan character).
std::string DelOrphanOpenCloseCharacters(const std::string& Text, const std::string& OpenChars,
                                         const std::string& CloseChars);

// ---------------------------------------------------------------- keywords meta tag

// <meta name="keywords" [lang="Lang" ]content="Words">, no line end. Both values are
// inserted as HTML attribute values: & " < > become character references.
std::string CreateKeywordMetaTagFromWordList(const std::string& Words, const std::string& Lang);
// The entries of List joined by ", " (none or an empty list: an empty content value).
std::string CreateKeywordMetaTagFromWordList(const TStringList* List, const std::string& Lang);

// ---------------------------------------------------------------- the worker

class TRUKGenWordListFromHTMLThread;

using TRUKHTMLProgressEvent1 =
    std::function<void(TRUKGenWordListFromHTMLThread* athread, const std::string& aprogresstxt)>;
using TRUKHTMLTitleFoundEvent1 =
    std::function<void(TRUKGenWordListFromHTMLThread* athread, const std::string& atitle)>;
using TRUKHTMLTagFoundEvent1 =
    std::function<void(TRUKGenWordListFromHTMLThread* athread, const std::string& atagstr,
                       const int atagstartpos, const int atagendpos)>;

// Created suspended; the owner assigns the handlers, resumes it, and reads Text(), WordList()
// and Title() once the thread has terminated. Every handler runs on the user-interface thread
// through Synchronize while the worker waits, so a handler may read the worker's fields.
//
// Suspend and Resume after the start pause and continue the worker at its checkpoints (every
// test of Terminated, every step start, every delivery), never wherever its thread happens
// to be: a thread stopped inside the heap or another lock of the runtime would block the
// user-interface thread at its next allocation. A paused worker waits at its checkpoint until
// it is resumed or terminated; a delivery already handed to the user-interface thread when
// the pause was asked for still arrives.
class TRUKGenWordListFromHTMLThread : public TRUKThread, private TWordListStageHost {
public:
    TRUKGenWordListFromHTMLThread(const std::string& SourceText, const std::string& SuppressWords,
                                  const TWordListStageSet* stages = &FastWordListStages);
    ~TRUKGenWordListFromHTMLThread() override;

    TRUKHTMLProgressEvent1 OnProgressNotification;
    TRUKHTMLTitleFoundEvent1 OnTitleFound;
    TRUKHTMLTagFoundEvent1 OnHTMLTagFound;

    // After a completed run: the stripped text, and the distinct words, each with its number
    // of occurrences as the integer beside it.
    const std::string& Text() const { return FText; }
    const TStringList& WordList() const { return *FWordList; }
    const TStringList& SuppressList() const { return *FSuppressList; }
    const std::string& Title() const { return FTitle; }
    // The values being delivered, for a handler.
    const std::string& TagStr() const { return FTagStr; }
    int TagStartPos() const { return FTagStartPos; }
    int TagEndPos() const { return FTagEndPos; }
    const std::string& ProgressTxt() const { return FProgressTxt; }

    bool IsTag(const std::string& Text) const;

    // 1-based position of the first '<' (or '>') at or after StartPos; -1 when there is none
    // or Length(Text) <= StartPos. The search ends at the first zero byte.
    static int GetNextOpeningTagCharPos(const std::string& Text, int StartPos);
    static int GetNextClosingTagCharPos(const std::string& Text, int StartPos);

protected:
    void Execute() override;

    // Called at every point where the worker tests Terminated or delivers something: waits
    // there while a pause is asked for and the worker is not terminated.
    virtual void CheckPause();
    DWORD DoSuspend() override;
    DWORD DoResume() override;

    void DoOnProgressNotification();
    void DoOnTitleFound();
    void DoOnHTMLTagFound();

    void RemoveStyleSheetSections();
    void RemoveScriptSections();
    void RemoveCRLFs();
    void RemoveCommentedSections();
    void RetrieveTitle();
    void RemoveHTMLTags();
    void ReplaceHTMLSpecialChars();
    void GenerateWordsList();
    void RemoveWordsToSuppress();
    void RemoveRedundantBlanks();
    void CountDistinctWordOccurrences();

private:
    // What the stages see of the worker.
    bool StageTerminated() override;
    void ReportSection(const std::string& section) override;
    void ReportTitle(const std::string& title) override;
    void ReportTag(const std::string& tag, int startPos, int endPos) override;

    // Start of a step: true when the step is to be skipped.
    bool StepTerminated();
    // A stage text: delivered only when the progress handler is assigned.
    void DeliverStageText(const std::string& text);

    const TWordListStageSet* FStages;

    std::mutex FPauseLock;
    std::condition_variable FPauseEnded;
    // Outstanding Suspend calls since the start; changed under the lock, read without it
    // first at every checkpoint, which is almost always a run past it.
    std::atomic<DWORD> FPauseCount{0};

    std::string FText;
    std::unique_ptr<TStringList> FWordList;
    std::unique_ptr<TStringList> FSuppressList;
    int FTagStartPos = 0;
    int FTagEndPos = 0;
    std::string FTitle;
    std::string FTagStr;
    std::string FProgressTxt;
};

}  // namespace ruk
