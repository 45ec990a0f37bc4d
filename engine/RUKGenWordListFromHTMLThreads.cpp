#include "RUKGenWordListFromHTMLThreads.h"

#include "RUKDynShlWAPI.h"
#include "RUKSysUtils.h"

#include <chrono>
#include <cstring>
#include <vector>

namespace ruk {

// ---------------------------------------------------------------- word functions

std::string NextWord(const std::string& Text, const char* PrevWord, const std::string& Delims) {
    if (PrevWord == nullptr) return FirstWord(Text, Delims);
    const std::string prev(PrevWord);
    const int p = Pos(prev, Text);
    if (p == 0) return std::string();
    // The character right after the previous word is its delimiter; the rest begins after it.
    const size_t restStart = static_cast<size_t>(p - 1) + prev.size() + 1;
    if (restStart >= Text.size()) return std::string();
    return FirstWord(Text.substr(restStart), Delims);
}

std::string TrimCharacters(const std::string& Text, const std::string& Chars) {
    if (Text.empty()) return std::string();
    std::vector<char> buffer(Text.size() + 1, '\0');
    std::memcpy(buffer.data(), Text.data(), Text.size());
    if (StrTrimA(buffer.data(), Chars.c_str()) == 0) return Text;
    return std::string(buffer.data());
}

std::string TrimPunctuationMarks(const std::string& Text, const std::string& Marks) {
    return TrimCharacters(Text, Marks.empty() ? PunctuationMarkChars : Marks);
}

std::string GetOpenCloseOrphanCharacters(const std::string& Text, const std::string& OpenChars,
                                         const std::string& CloseChars) {
    if (CloseChars.size() < OpenChars.size()) RangeError();
    std::string result;
    for (size_t i = 0; i < OpenChars.size(); ++i) {
        const char o = OpenChars[i];
        const char c = CloseChars[i];
        const int a = CharCount(o, Text);
        const int b = CharCount(c, Text);
        if (o != c) {
            if (b < a) result += o;
            if (a < b) result += c;
        } else if (a % 2 != 0) {
            result += o;
        }
    }
    return result;
}

std::string DelOrphanOpenCloseCharacters(const std::string& Text, const std::string& OpenChars,
                                         const std::string& CloseChars) {
    const std::string orphans = GetOpenCloseOrphanCharacters(Text, OpenChars, CloseChars);
    std::string result = Text;
    for (const char ch : orphans) {
        const size_t at = result.find(ch);
        if (at != std::string::npos) result.erase(at, 1);
    }
    return result;
}

// ---------------------------------------------------------------- keywords meta tag

namespace {

// The value goes between double quotes of an attribute; a quote or an ampersand in a
// keyword would otherwise end the value or start a reference.
std::string EscapeAttributeValue(const std::string& value) {
    std::string out;
    out.reserve(value.size());
    for (const char ch : value) {
        switch (ch) {
            case '&': out += "&amp;"; break;
            case '"': out += "&quot;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            default: out += ch; break;
        }
    }
    return out;
}

}  // namespace

std::string CreateKeywordMetaTagFromWordList(const std::string& Words, const std::string& Lang) {
    std::string tag = "<meta name=\"keywords\" ";
    if (!Lang.empty()) tag += "lang=\"" + EscapeAttributeValue(Lang) + "\" ";
    tag += "content=\"" + EscapeAttributeValue(Words) + "\">";
    return tag;
}

std::string CreateKeywordMetaTagFromWordList(const TStringList* List, const std::string& Lang) {
    std::string words;
    if (List != nullptr && List->Count() > 0) {
        words = List->Text();
        const size_t lastCR = words.rfind('\r');
        if (lastCR != std::string::npos) words.erase(lastCR, 2);
        words = StringReplace(words, "\r\n", ", ", rfReplaceAll);
    }
    return CreateKeywordMetaTagFromWordList(words, Lang);
}

// ---------------------------------------------------------------- the worker

TRUKGenWordListFromHTMLThread::TRUKGenWordListFromHTMLThread(const std::string& SourceText,
                                                             const std::string& SuppressWords,
                                                             const TWordListStageSet* stages)
    : TRUKThread(true),
      FStages(stages != nullptr ? stages : &FastWordListStages),
      FText(SourceText),
      FWordList(std::make_unique<TStringList>()),
      FSuppressList(std::make_unique<TStringList>()) {
    OnHTMLTagFound = nullptr;
    FWordList->SetSorted(true);
    FWordList->SetDuplicates(TDuplicates::dupIgnore);
    FSuppressList->SetSorted(true);
    FSuppressList->SetDuplicates(TDuplicates::dupIgnore);
    FSuppressList->SetText(SuppressWords);
}

TRUKGenWordListFromHTMLThread::~TRUKGenWordListFromHTMLThread() {
    // The stages work on the lists: the thread must have ended before they go.
    WaitForShutdown();
}

bool TRUKGenWordListFromHTMLThread::IsTag(const std::string& /*Text*/) const { return true; }

namespace {

int NextCharPos(const std::string& Text, int StartPos, char ch) {
    if (static_cast<int>(Text.size()) <= StartPos) return -1;
    for (size_t i = StartPos < 1 ? 0 : static_cast<size_t>(StartPos - 1); i < Text.size(); ++i) {
        if (Text[i] == ch) return static_cast<int>(i) + 1;
        if (Text[i] == '\0') break;
    }
    return -1;
}

}  // namespace

int TRUKGenWordListFromHTMLThread::GetNextOpeningTagCharPos(const std::string& Text, int StartPos) {
    return NextCharPos(Text, StartPos, '<');
}

int TRUKGenWordListFromHTMLThread::GetNextClosingTagCharPos(const std::string& Text, int StartPos) {
    return NextCharPos(Text, StartPos, '>');
}

void TRUKGenWordListFromHTMLThread::DoOnProgressNotification() {
    if (OnProgressNotification) OnProgressNotification(this, FProgressTxt);
}

void TRUKGenWordListFromHTMLThread::DoOnTitleFound() {
    if (OnTitleFound) OnTitleFound(this, FTitle);
}

void TRUKGenWordListFromHTMLThread::DoOnHTMLTagFound() {
    if (OnHTMLTagFound) OnHTMLTagFound(this, FTagStr, FTagStartPos, FTagEndPos);
}

DWORD TRUKGenWordListFromHTMLThread::DoSuspend() {
    std::lock_guard<std::mutex> lock(FPauseLock);
    const DWORD previous = FPauseCount;
    FPauseCount = previous + 1;
    return previous;
}

DWORD TRUKGenWordListFromHTMLThread::DoResume() {
    std::lock_guard<std::mutex> lock(FPauseLock);
    const DWORD previous = FPauseCount;
    if (previous > 0) {
        FPauseCount = previous - 1;
        if (previous == 1) FPauseEnded.notify_all();
    }
    return previous;
}

void TRUKGenWordListFromHTMLThread::CheckPause() {
    if (FPauseCount.load() == 0) return;
    std::unique_lock<std::mutex> lock(FPauseLock);
    // Terminate only sets the flag and wakes nobody: the wait looks at it again and again.
    while (FPauseCount > 0 && !Terminated()) FPauseEnded.wait_for(lock, std::chrono::milliseconds(20));
}

bool TRUKGenWordListFromHTMLThread::StageTerminated() {
    CheckPause();
    return Terminated();
}

bool TRUKGenWordListFromHTMLThread::StepTerminated() { return StageTerminated(); }

// Sections, the title and tags are delivered through Synchronize whether or not a handler is
// assigned; without one the delivery method does nothing on the user-interface thread, so
// the worker spares itself the wait for it (a document has as many tags as words, nearly).
// Nothing can read a tag's fields then either: they only hold it during its delivery.
void TRUKGenWordListFromHTMLThread::ReportSection(const std::string& section) {
    CheckPause();
    FProgressTxt = section;
    if (OnProgressNotification) Synchronize([this] { DoOnProgressNotification(); });
}

void TRUKGenWordListFromHTMLThread::ReportTitle(const std::string& title) {
    CheckPause();
    FTitle = title;
    if (OnTitleFound) Synchronize([this] { DoOnTitleFound(); });
}

void TRUKGenWordListFromHTMLThread::ReportTag(const std::string& tag, int startPos, int endPos) {
    CheckPause();
    if (OnHTMLTagFound) {
        FTagStartPos = startPos;
        FTagEndPos = endPos;
        FTagStr = tag;
        Synchronize([this] { DoOnHTMLTagFound(); });
    }
    FTagStartPos = -1;
    FTagEndPos = -1;
    FTagStr.clear();
}

void TRUKGenWordListFromHTMLThread::DeliverStageText(const std::string& text) {
    CheckPause();
    if (!OnProgressNotification) return;
    FProgressTxt = text;
    Synchronize([this] { DoOnProgressNotification(); });
}

void TRUKGenWordListFromHTMLThread::RemoveStyleSheetSections() {
    FStages->RemoveStyleSheetSections(FText, *this);
}
void TRUKGenWordListFromHTMLThread::RemoveScriptSections() {
    FStages->RemoveScriptSections(FText, *this);
}
void TRUKGenWordListFromHTMLThread::RemoveCRLFs() { FStages->RemoveCRLFs(FText, *this); }
void TRUKGenWordListFromHTMLThread::RemoveCommentedSections() {
    FStages->RemoveCommentedSections(FText, *this);
}
void TRUKGenWordListFromHTMLThread::RetrieveTitle() { FStages->RetrieveTitle(FText, *this); }
void TRUKGenWordListFromHTMLThread::RemoveHTMLTags() { FStages->RemoveHTMLTags(FText, *this); }
void TRUKGenWordListFromHTMLThread::ReplaceHTMLSpecialChars() {
    FStages->ReplaceHTMLSpecialChars(FText, *this);
}
void TRUKGenWordListFromHTMLThread::GenerateWordsList() {
    FStages->GenerateWordsList(FText, *FWordList);
}
void TRUKGenWordListFromHTMLThread::RemoveWordsToSuppress() {
    FStages->RemoveWordsToSuppress(*FWordList, *FSuppressList);
}
void TRUKGenWordListFromHTMLThread::RemoveRedundantBlanks() { FStages->RemoveRedundantBlanks(FText); }
void TRUKGenWordListFromHTMLThread::CountDistinctWordOccurrences() {
    FStages->CountDistinctWordOccurrences(FText, *FWordList, *this);
}

void TRUKGenWordListFromHTMLThread::Execute() {
    if (!StepTerminated()) {
        RemoveStyleSheetSections();
        DeliverStageText("Style sheet sections removed.");
    }
    if (!StepTerminated()) {
        RemoveScriptSections();
        DeliverStageText("Script sections removed.");
    }
    if (!StepTerminated()) {
        RemoveCRLFs();
        DeliverStageText("Carriage return and line feeds removed.");
    }
    if (!StepTerminated()) {
        DeliverStageText("Starting to remove comments.");
        RemoveCommentedSections();
        DeliverStageText("Comments removed.");
    }
    if (!StepTerminated()) {
        DeliverStageText("Starting to retrieve title.");
        RetrieveTitle();
    }
    if (!StepTerminated()) {
        DeliverStageText("Starting to remove HTML tags.");
        RemoveHTMLTags();
        DeliverStageText("HTML tags removed.");
    }
    if (!StepTerminated()) {
        ReplaceHTMLSpecialChars();
        DeliverStageText("HTML special character notations replaced.");
    }
    if (!StepTerminated()) {
        DeliverStageText("Starting to generate word list.");
        GenerateWordsList();
        DeliverStageText("Removing words to suppress/ignore.");
        RemoveWordsToSuppress();
        DeliverStageText("Word list completed.");
    }
    if (!StepTerminated()) {
        DeliverStageText("Starting to remove redundant blanks and empty lines from stripped text.");
        RemoveRedundantBlanks();
        DeliverStageText("Redundant blanks and empty lines removed from stripped text.");
    }
    if (!StepTerminated()) {
        DeliverStageText("Starting to count word occurrences.");
        CountDistinctWordOccurrences();
        DeliverStageText("Word count completed.");
    }
}

}  // namespace ruk
