// The stages of the word-list worker in their plain form: every stage searches again from the
// first character of the text after each removal, and rewrites the whole text each time. This
// is the form the results are defined by; it is slow on large documents by design.
//
// Common rules:
// - Positions are 1-based byte positions.
// - A search for a position ends at the first zero byte of the text (a loaded document holds
//   none; the rule keeps other input defined).
// - Removing a section or tag removes its first occurrence, which is always the one just found.
// - Terminated is tested after every pass from the second on in the removal stages, before every
//   entity row, and after every counted word; nowhere else.
#include "RUKWordListStages.h"

#include "RUKGenWordListFromHTMLThreads.h"
#include "RUKHTMLEntities.h"
#include "RUKSysUtils.h"

namespace ruk {

namespace {

// 1-based position of the first occurrence of sub in s, from the first character; 0 when none.
int FirstOccurrence(const std::string& sub, const std::string& s) {
    if (sub.empty()) return 0;
    const size_t zero = s.find('\0');
    const size_t end = zero == std::string::npos ? s.size() : zero;
    const size_t at = s.find(sub);
    if (at == std::string::npos || at + sub.size() > end) return 0;
    return static_cast<int>(at) + 1;
}

std::string RemoveFirst(const std::string& text, const std::string& part, bool ignoreCase) {
    return StringReplace(text, part, "", ignoreCase ? rfIgnoreCase : 0u);
}

// One algorithm for style sheets, scripts and comments. Style sheets and scripts are found in a
// lower-case copy made once; the copy loses each section too, so that positions keep matching.
void RemoveSections(std::string& text, TWordListStageHost& host, const std::string& opening,
                    const std::string& closing, bool inLowerCaseCopy) {
    std::string lower;
    if (inLowerCaseCopy) lower = AnsiLowerCase(text);
    for (int pass = 1;; ++pass) {
        const std::string& searched = inLowerCaseCopy ? lower : text;
        const int p = FirstOccurrence(opening, searched);
        if (p == 0) return;
        // The closing string is searched from the start, not from p: one that stands before the
        // first opening string ends the stage.
        const int e = FirstOccurrence(closing, searched);
        if (e < p + 1) return;
        const int length = e - p + static_cast<int>(closing.size());
        const std::string section = Copy(text, p, length);
        host.ReportSection(section);
        if (inLowerCaseCopy) {
            lower = RemoveFirst(lower, section, true);
            text = RemoveFirst(text, section, false);
        } else {
            text = RemoveFirst(text, section, false);
        }
        if (pass >= 2 && host.StageTerminated()) return;
    }
}

void RemoveStyleSheetSections(std::string& text, TWordListStageHost& host) {
    RemoveSections(text, host, "<style", "</style>", true);
}

void RemoveScriptSections(std::string& text, TWordListStageHost& host) {
    RemoveSections(text, host, "<script", "</script>", true);
}

void RemoveCommentedSections(std::string& text, TWordListStageHost& host) {
    RemoveSections(text, host, "<!--", "-->", false);
}

void RemoveCRLFs(std::string& text, TWordListStageHost& host) {
    if (!host.StageTerminated() && text.find('\r') != std::string::npos)
        text = StringReplace(text, "\r", " ", rfReplaceAll);
    if (!host.StageTerminated() && text.find('\n') != std::string::npos)
        text = StringReplace(text, "\n", " ", rfReplaceAll);
    if (!host.StageTerminated() && text.find('\t') != std::string::npos)
        text = StringReplace(text, "\t", "   ", rfReplaceAll);
}

void RetrieveTitle(const std::string& text, TWordListStageHost& host) {
    const std::string lower = AnsiLowerCase(text);
    const int p = FirstOccurrence("<title>", lower);
    if (p == 0) return;
    const int e = FirstOccurrence("</title>", lower);
    if (e < p + 1) return;
    host.ReportTitle(Copy(text, p + 7, e - p - 7));
}

void RemoveHTMLTags(std::string& text, TWordListStageHost& host) {
    for (int pass = 1;; ++pass) {
        const int p = TRUKGenWordListFromHTMLThread::GetNextOpeningTagCharPos(text, 1);
        if (p < 1) return;
        const int e = TRUKGenWordListFromHTMLThread::GetNextClosingTagCharPos(text, p + 1);
        if (e < p + 1) return;
        const std::string tag = Copy(text, p, e - p + 1);
        host.ReportTag(tag, p, e);
        // One blank keeps the words on either side of the tag apart.
        text = StringReplace(text, tag, " ", 0);
        if (pass >= 2 && host.StageTerminated()) return;
    }
}

void ReplaceHTMLSpecialChars(std::string& text, TWordListStageHost& host) {
    for (const THTMLEntityRow& row : HTMLEntityRows) {
        if (host.StageTerminated()) return;
        const std::string replacement =
            row.Replacement < 0 ? std::string() : std::string(1, static_cast<char>(row.Replacement));
        text = StringReplace(text, row.Entity, replacement, rfReplaceAll | (row.IgnoreCase ? rfIgnoreCase : 0u));
    }
}

void GenerateWordsList(const std::string& text, TStringList& wordList) {
    std::string rest = text;
    std::string word = NextWord(rest, nullptr, WordDelimiterChars);
    while (!word.empty()) {
        const std::string next = NextWord(rest, word.c_str(), WordDelimiterChars);
        // Once its successor is known the word leaves the working copy, so that a word that
        // comes again is found at its later place.
        rest = RemoveFirst(rest, word, true);
        std::string entry = TrimPunctuationMarks(word, "");
        entry = DelOrphanOpenCloseCharacters(entry, OpeningChars, ClosingChars);
        // A sorted list that ignores duplicates keeps the first spelling met.
        if (!entry.empty() && !IsWhiteSpaceString(entry)) wordList.Add(entry);
        word = next;
    }
}

void RemoveWordsToSuppress(TStringList& wordList, const TStringList& suppressList) {
    if (wordList.Count() == 0 || suppressList.Count() == 0) return;
    for (int i = wordList.Count() - 1; i >= 0; --i) {
        int at = 0;
        if (suppressList.Find(wordList[i], at)) wordList.Delete(i);
    }
}

void RemoveRedundantBlanks(std::string& text) {
    const std::string paired = StringReplace(text, "  ", "\r\n", rfReplaceAll);
    TStringList lines;
    try {
        lines.SetText(paired);
        for (int i = lines.Count() - 1; i >= 0; --i) {
            if (lines[i].empty() || IsWhiteSpaceString(lines[i])) lines.Delete(i);
        }
    } catch (...) {
        text = lines.Text();
        throw;
    }
    text = lines.Text();
}

void CountDistinctWordOccurrences(const std::string& text, TStringList& wordList,
                                  TWordListStageHost& host) {
    const std::string counted = StringReplace(text, "\r\n", " ", rfReplaceAll);
    if (wordList.Count() == 0) return;
    const int length = static_cast<int>(counted.size());
    for (int i = 0; i < wordList.Count(); ++i) {
        wordList.PutInteger(i, WordCount(counted, wordList[i], 1, length, CountDelimiterChars));
        if (host.StageTerminated()) return;
    }
}

}  // namespace

const TWordListStageSet LiteralWordListStages = {
    RemoveStyleSheetSections, RemoveScriptSections,    RemoveCRLFs,
    RemoveCommentedSections,  RetrieveTitle,           RemoveHTMLTags,
    ReplaceHTMLSpecialChars,  GenerateWordsList,       RemoveWordsToSuppress,
    RemoveRedundantBlanks,    CountDistinctWordOccurrences,
};

}  // namespace ruk
