#include "RUKLexmillUtils1.h"

#include "Filer.h"
#include "SafeSave.h"

#include <algorithm>
#include <climits>
#include <memory>
#include <string>

namespace ruk {

bool IsUnicodeTextStream(TMemoryStream* Stream, int Flags) {
    if (Stream == nullptr) {
        SetLastError(RUK_E_NULL_OBJECT);
        return false;
    }
    const Int64 size = Stream->Size();
    if (size < 2) {
        SetLastError(RUK_E_STREAM_TOO_SHORT);
        return false;
    }
    // The platform looks at the first 256 characters at most; a larger size changes nothing.
    const int length = size > INT_MAX ? INT_MAX : static_cast<int>(size);
    int tests = Flags;
    return IsTextUnicode(Stream->Memory(), length, &tests) == 1;
}

bool HasUnicodeSignature(TMemoryStream* Stream) {
    return IsUnicodeTextStream(Stream, IS_TEXT_UNICODE_SIGNATURE);
}

bool HasReverseUnicodeSignature(TMemoryStream* Stream) {
    return IsUnicodeTextStream(Stream, IS_TEXT_UNICODE_REVERSE_SIGNATURE);
}

bool HasUnicodeByteOrderMark(TMemoryStream* Stream) {
    if (HasUnicodeSignature(Stream)) return true;
    return HasReverseUnicodeSignature(Stream);
}

// ---------------------------------------------------------------- keyword rows

namespace {

// A character of the ANSI code page, or fallback where the code page has none.
std::string AnsiCharOr(wchar_t ch, const char* fallback) {
    char buf[8];
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, 0, &ch, 1, buf, sizeof buf, nullptr, &usedDefault);
    if (n <= 0 || usedDefault) return fallback;
    return std::string(buf, static_cast<size_t>(n));
}

// The cell's text with every separator turned into a line break, to be split into lines.
std::string CellAsLines(const std::string& text) {
    return StringReplace(text, KeywordCellSeparator(), "\r\n", rfReplaceAll);
}

}  // namespace

const std::string& KeywordCellSeparator() {
    static const std::string separator = AnsiCharOr(L'\x2022', "|");
    return separator;
}

const std::string& KeywordCellSeparatorReplacement() {
    static const std::string replacement = [] {
        const std::string dot = AnsiCharOr(L'\x00B7', ".");
        return dot == KeywordCellSeparator() ? std::string(".") : dot;
    }();
    return replacement;
}

std::string ReplaceCellSeparators(const std::string& value) {
    return StringReplace(value, KeywordCellSeparator(), KeywordCellSeparatorReplacement(), rfReplaceAll);
}

int CountMultiValueCellEntries(const std::string& text) {
    if (text.empty()) return 0;
    try {
        // Lines as a string list takes them: CR LF, lone CR and lone LF end a line, a last
        // line without an end counts, nothing after a final line end does.
        const std::string lines = CellAsLines(text);
        const size_t n = lines.size();
        int count = 0;
        size_t i = 0;
        while (i < n) {
            while (i < n && lines[i] != '\r' && lines[i] != '\n') ++i;
            ++count;
            if (i < n && lines[i] == '\r') ++i;
            if (i < n && lines[i] == '\n') ++i;
        }
        return count;
    } catch (...) {
        return -1;
    }
}

std::unique_ptr<TStringList> SplitMultiValueCell(const std::string& text) {
    if (text.empty()) return nullptr;
    SetLastError(0);
    auto list = std::make_unique<TStringList>();
    try {
        list->SetText(CellAsLines(text));
    } catch (...) {
        if (GetLastError() == 0) SetLastError(RUK_E_EXCEPTION);
    }
    return list;
}

bool MultiValueCellContains(const std::string& cell, const std::string& value) {
    if (value.empty() || cell.empty()) return false;
    const std::string wanted = AnsiUpperCase(value);
    const std::unique_ptr<TStringList> entries = SplitMultiValueCell(cell);
    for (int i = 0; i < entries->Count(); ++i)
        if (AnsiUpperCase(entries->Strings(i)) == wanted) return true;
    return false;
}

std::string AddToMultiValueCell(const std::string& cell, const std::string& value) {
    const std::string entry = ReplaceCellSeparators(value);
    if (cell.empty()) return entry;
    if (MultiValueCellContains(cell, entry)) return cell;
    return cell + KeywordCellSeparator() + entry;
}

std::unique_ptr<TStringList> GetKeywordsFromListView(TListView* view) {
    SetLastError(0);
    if (view == nullptr) {
        SetLastError(RUK_E_NULL_ARGUMENT);
        return nullptr;
    }
    TListItems& rows = view->Items();
    const int count = rows.Count();
    if (count == 0) {
        SetLastError(RUK_E_NOTHING_TO_DO);
        return nullptr;
    }
    auto list = std::make_unique<TStringList>();
    try {
        for (int i = 0; i < count; ++i) list->Add(rows[i]->Caption());
    } catch (...) {
        if (GetLastError() == 0) SetLastError(RUK_E_EXCEPTION);
    }
    return list;
}

// ---------------------------------------------------------------- keyword file

DWORD CaughtExceptionCode() noexcept {
    const DWORD code = CaughtOSError();
    return code != 0 ? code : RUK_E_EXCEPTION;
}

namespace {

std::string KeywordFileIdent(const TListView& view) { return "RUKLexmill0.3" + view.Name() + "Ver1.0"; }

}  // namespace

DWORD SaveKeywordListToFile(TListView* view, const std::string& fileName) {
    SetLastError(0);
    if (fileName.empty()) return RUK_E_EMPTY_FILE_NAME;
    // Checked before the file is touched.
    if (view == nullptr) return RUK_E_NULL_ARGUMENT;
    try {
        TSafeFileStream file(fileName);
        const DWORD result = SaveKeywordListToStream(view, &file);
        if (result == 0) file.Commit();
        return result;
    } catch (...) {
        return CaughtExceptionCode();
    }
}

DWORD SaveKeywordListToStream(TListView* view, TStream* stream) {
    if (stream == nullptr) return RUK_E_NULL_ARGUMENT;
    return WriteKeywordList(view, stream);
}

DWORD WriteKeywordList(TListView* view, TStream* stream) {
    SetLastError(0);
    if (view == nullptr || stream == nullptr) return RUK_E_NULL_ARGUMENT;
    try {
        // A list without rows is a file of its identifier, list begin and end of list, which
        // reads back as an empty list: an emptied list is saved like any other.
        TListItems& rows = view->Items();
        const int count = rows.Count();
        TWriter writer(*stream, FilerBufferSize);
        writer.WriteIdent(KeywordFileIdent(*view));
        writer.WriteListBegin();
        for (int i = 0; i < count; ++i) {
            TRUKKeywordListEntry* row = rows[i];
            const TListItemStrings& cells = row->SubItems();
            writer.WriteString(row->Caption());
            writer.WriteString(cells.Strings(kcLinkTargets));
            writer.WriteString(cells.Strings(kcTargetDocTitles));
            writer.WriteString(cells.Strings(kcAltURLs));
            int links = 0;
            if (!TryStrToInt(cells.Strings(kcNumLinkTargets), links)) links = 0;
            writer.WriteInteger(links);
        }
        writer.WriteListEnd();
        // Inside the guarded block: a last write that fails is reported, not lost in the
        // writer's destructor.
        writer.FlushBuffer();
    } catch (...) {
        return CaughtExceptionCode();
    }
    return 0;
}

DWORD LoadKeywordListFromFile(TListView* view, const std::string& fileName) {
    SetLastError(0);
    if (fileName.empty()) return RUK_E_EMPTY_FILE_NAME;
    try {
        TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
        return LoadKeywordListFromStream(view, &file);
    } catch (...) {
        return CaughtExceptionCode();
    }
}

DWORD LoadKeywordListFromStream(TListView* view, TStream* stream) {
    if (stream == nullptr) return RUK_E_NULL_ARGUMENT;
    return ReadKeywordList(view, stream);
}

DWORD ReadKeywordList(TListView* view, TStream* stream) {
    SetLastError(0);
    if (view == nullptr || stream == nullptr) return RUK_E_NULL_ARGUMENT;
    try {
        TListItems& rows = view->Items();
        TListUpdateGuard noRedraw(rows);
        TReader reader(*stream, FilerBufferSize);
        reader.ReadIdent();  // not compared: another program's or list's file is read all the same
        reader.ReadListBegin();
        while (!reader.EndOfList()) {
            // All five values first: a row that cannot be read whole is never appended.
            std::string keyword = reader.ReadString();
            std::string links = reader.ReadString();
            std::string titles = reader.ReadString();
            std::string urls = reader.ReadString();
            const int count = reader.ReadInteger();
            TRUKKeywordListEntry* row = rows.Add();
            row->SetCaption(keyword);
            TListItemStrings& cells = row->SubItems();
            cells.Add(links);
            cells.Add(titles);
            cells.Add(urls);
            cells.Add(IntToStr(count));
            // The control may leave a code of its own behind (Wine's list view does, once it
            // has columns); it must not become the reason given for a later failed read.
            SetLastError(0);
        }
        reader.ReadListEnd();
    } catch (...) {
        return CaughtExceptionCode();
    }
    return 0;
}

// ---------------------------------------------------------------- compiled-help index

namespace {

// The module whose string table holds the template: the program.
HINSTANCE TemplateModule() { return GetModuleHandleA(nullptr); }

std::string Escape(const std::string& text, bool ampersands) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&': out += ampersands ? "&amp;" : "&"; break;
            case '"': out += "&quot;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            default: out += c; break;
        }
    }
    return out;
}

void AppendLine(std::string& entry, UINT id, const std::string& text) {
    entry += CHMTemplateLine(id, text);
    entry += "\r\n";
}

}  // namespace

std::string CHMTemplateLine(UINT id) { return LoadStr(TemplateModule(), id); }

std::string CHMTemplateLine(UINT id, const std::string& text) {
    std::string line = CHMTemplateLine(id);
    const size_t at = line.find("%s");
    if (at != std::string::npos) line.replace(at, 2, text);
    return line;
}

std::string EscapeHTMLAttribute(const std::string& text) { return Escape(text, true); }

std::string EscapeHTMLTitleAttribute(const std::string& text) { return Escape(text, false); }

std::string CreateCHMKeywordsListEntry(const std::string& keyword, const TStringList* linkTargets,
                                       const TStringList* titles, const TStringList* altURLs) {
    SetLastError(0);
    DWORD code = 0;
    if (keyword.empty()) code = RUK_E_INVALID_KEYWORD;
    else if (linkTargets == nullptr) code = RUK_E_NULL_OBJECT;
    else if (linkTargets->Count() == 0) code = RUK_E_NOTHING_TO_DO;
    else if (titles == nullptr) code = RUK_E_NULL_OBJECT;
    else if (titles->Count() == 0) code = RUK_E_NOTHING_TO_DO;
    if (code != 0) {
        SetLastError(code);
        return std::string();
    }
    std::string entry = CHMTemplateLine(chmEntryBegin) + "\r\n";
    AppendLine(entry, chmEntryKeyword, EscapeHTMLAttribute(keyword));
    // Titles and link targets pair by position; a title without its link target (or the
    // other way round) has nothing to pair with and is left out.
    const int pairs = std::min(titles->Count(), linkTargets->Count());
    const int urls = altURLs != nullptr ? altURLs->Count() : 0;
    for (int i = 0; i < pairs; ++i) {
        AppendLine(entry, chmEntryTitle, EscapeHTMLTitleAttribute(titles->Strings(i)));
        AppendLine(entry, chmEntryLocal, EscapeHTMLAttribute(linkTargets->Strings(i)));
        if (i < urls && !altURLs->Strings(i).empty())
            AppendLine(entry, chmEntryURL, EscapeHTMLAttribute(altURLs->Strings(i)));
    }
    entry += CHMTemplateLine(chmEntryEnd);
    return entry;
}

std::string CreateCHMKeywordsListEntryFromListItem(TRUKKeywordListEntry* row) {
    SetLastError(0);
    if (row == nullptr) {
        SetLastError(RUK_E_NULL_OBJECT);
        return std::string();
    }
    if (row->Caption().empty()) {
        SetLastError(RUK_E_INVALID_KEYWORD);
        return std::string();
    }
    const TListItemStrings& cells = row->SubItems();
    const std::unique_ptr<TStringList> links = SplitMultiValueCell(cells.Strings(kcLinkTargets));
    const std::unique_ptr<TStringList> titles = SplitMultiValueCell(cells.Strings(kcTargetDocTitles));
    const std::unique_ptr<TStringList> urls = SplitMultiValueCell(cells.Strings(kcAltURLs));
    std::string entry = CreateCHMKeywordsListEntry(row->Caption(), links.get(), titles.get(), urls.get());
    // The row was there: an entry left empty by its cells is no failure of this row.
    SetLastError(0);
    return entry;
}

std::unique_ptr<TStringList> CreateCHMKeywordsListEntries(TListItems* rows) {
    SetLastError(0);
    if (rows == nullptr) {
        SetLastError(RUK_E_NULL_OBJECT);
        return nullptr;
    }
    const int count = rows->Count();
    if (count == 0) {
        SetLastError(RUK_E_NOTHING_TO_DO);
        return nullptr;
    }
    auto list = std::make_unique<TStringList>();
    for (int i = 0; i < count; ++i) {
        const std::string entry = CreateCHMKeywordsListEntryFromListItem(rows->Item(i));
        if (!entry.empty()) list->Add(entry);
    }
    SetLastError(0);
    return list;
}

std::unique_ptr<TStringList> CreateCHMIndexFileContents(TListItems* rows) {
    std::unique_ptr<TStringList> list = CreateCHMKeywordsListEntries(rows);
    if (!list) return nullptr;
    const std::string header[] = {
        CHMTemplateLine(chmDocType),  CHMTemplateLine(chmHtmlBegin),  CHMTemplateLine(chmHeadBegin),
        CHMTemplateLine(chmGenerator, RUK_CHM_GENERATOR), CHMTemplateLine(chmHeadEnd),
        CHMTemplateLine(chmBodyBegin), CHMTemplateLine(chmListBegin),
    };
    for (int i = 0; i < 7; ++i) list->Insert(i, header[i]);
    list->Add(CHMTemplateLine(chmListEnd));
    list->Add(CHMTemplateLine(chmBodyEnd));
    list->Add(CHMTemplateLine(chmHtmlEnd));
    return list;
}

}  // namespace ruk
