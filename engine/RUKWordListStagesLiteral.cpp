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

struct EntityRow {
    const char* entity;
    const char* replacement;
    bool ignoreCase;
};

// The order is part of the behaviour: "&amp;" comes third, so an escaped entity of a later row
// is replaced twice and one of an earlier row once.
const EntityRow EntityRows[] = {
    {"&nbsp;", " ", true},      {"&quot;", "\"", true},     {"&amp;", "&", true},
    {"&lt;", "<", true},        {"&gt;", ">", true},        {"&copy;", "\xA9", true},
    {"&mdash;", "-", true},
    {"&iexcl;", "\xA1", false}, {"&cent;", "\xA2", false},  {"&euro;", "\x80", false},
    {"&pound;", "\xA3", false}, {"&yen;", "\xA5", false},   {"&brvbar;", "\xA6", false},
    {"&sect;", "\xA7", false},  {"&uml;", "\xA8", false},   {"&ordf;", "\xAA", false},
    {"&laquo;", "\xAB", false}, {"&not;", "\xAC", false},   {"&reg;", "\xAE", false},
    {"&macr;", "\xAF", false},  {"&deg;", "\xB0", false},   {"&plusmn;", "\xB1", false},
    {"&sup2;", "\xB2", false},  {"&sup3;", "\xB3", false},  {"&acute;", "\xB4", false},
    {"&micro;", "\xB5", false}, {"&para;", "\xB6", false},  {"&middot;", "\xB7", false},
    {"&cedil;", "\xB8", false}, {"&sup1;", "\xB9", false},  {"&ordm;", "\xBA", false},
    {"&raquo;", "\xBB", false}, {"&frac14;", "\xBC", false}, {"&frac12;", "\xBD", false},
    {"&frac34;", "\xBE", false}, {"&iquest;", "\xBF", false}, {"&Agrave;", "\xC0", false},
    {"&Aacute;", "\xC1", false}, {"&Acirc;", "\xC2", false}, {"&Atilde;", "\xC3", false},
    {"&Auml;", "\xC4", false},  {"&Aring;", "\xC5", false}, {"&AElig;", "\xC6", false},
    {"&Ccedil;", "\xC7", false}, {"&Egrave;", "\xC8", false}, {"&Eacute;", "\xC9", false},
    {"&Ecirc;", "\xCA", false}, {"&Euml;", "\xCB", false},  {"&Igrave;", "\xCC", false},
    {"&Iacute;", "\xCD", false}, {"&Icirc;", "\xCE", false}, {"&Iuml;", "\xCF", false},
    {"&ETH;", "\xD0", false},   {"&Ntilde;", "\xD1", false}, {"&Ograve;", "\xD2", false},
    {"&Oacute;", "\xD3", false}, {"&Ocirc;", "\xD4", false}, {"&Otilde;", "\xD5", false},
    {"&Ouml;", "\xD6", false},  {"&times;", "\xD7", false}, {"&Oslash;", "\xD8", false},
    {"&Ugrave;", "\xD9", false}, {"&Uacute;", "\xDA", false}, {"&Ucirc;", "\xDB", false},
    {"&Uuml;", "\xDC", false},  {"&Yacute;", "\xDD", false}, {"&THORN;", "\xDE", false},
    {"&szlig;", "\xDF", false}, {"&agrave;", "\xE0", false}, {"&aacute;", "\xE1", false},
    {"&acirc;", "\xE2", false}, {"&atilde;", "\xE3", false}, {"&auml;", "\xE4", false},
    {"&aring;", "\xE5", false}, {"&aelig;", "\xE6", false}, {"&ccedil;", "\xE7", false},
    {"&egrave;", "\xE8", false}, {"&eacute;", "\xE9", false}, {"&ecirc;", "\xEA", false},
    {"&euml;", "\xEB", false},  {"&igrave;", "\xEC", false}, {"&iacute;", "\xED", false},
    {"&icirc;", "\xEE", false}, {"&iuml;", "\xEF", false},  {"&eth;", "\xF0", false},
    {"&ntilde;", "\xF1", false}, {"&ograve;", "\xF2", false}, {"&oacute;", "\xF3", false},
    {"&ocirc;", "\xF4", false}, {"&otilde;", "\xF5", false}, {"&ouml;", "\xF6", false},
    {"&divide;", "\xF7", false}, {"&oslash;", "\xF8", false}, {"&ugrave;", "\xF9", false},
    {"&uacute;", "\xFA", false}, {"&ucirc;", "\xFB", false}, {"&uuml;", "\xFC", false},
    {"&yacute;", "\xFD", false}, {"&thorn;", "\xFE", false}, {"&yuml;", "\xFF", false},
    {"&bull;", "", true},
};
static_assert(sizeof(EntityRows) / sizeof(EntityRows[0]) == 101);

void ReplaceHTMLSpecialChars(std::string& text, TWordListStageHost& host) {
    for (const EntityRow& row : EntityRows) {
        if (host.StageTerminated()) return;
        text = StringReplace(text, row.entity, row.replacement,
                             rfReplaceAll | (row.ignoreCase ? rfIgnoreCase : 0u));
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
