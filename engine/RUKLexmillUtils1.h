// Lexmill utilities: the keyword list's rows and multi-value cells, the keyword file (.rlk),
// the compiled-help index document (.hhk), and the byte-order-mark test of a loaded document.
//
// Functions that return a text or an object report failures through the thread's last error
// (SetLastError); they clear it first, so that a code left by an earlier call is never taken
// for theirs.
#pragma once

#include "Classes.h"
#include "ComCtrls.h"

#include <memory>
#include <string>

namespace ruk {

// Failure codes, as results and as the thread's last error.
constexpr DWORD RUK_E_NULL_OBJECT = 0xE000FFFF;
constexpr DWORD RUK_E_STREAM_TOO_SHORT = 0xE000007A;
constexpr DWORD RUK_E_NULL_ARGUMENT = 0xE000FFFD;
constexpr DWORD RUK_E_EMPTY_FILE_NAME = 0xE000FF02;
constexpr DWORD RUK_E_NOTHING_TO_DO = 0xE000FD10;
constexpr DWORD RUK_E_INVALID_KEYWORD = 0xE0008002;
// An exception while no operating-system error was set.
constexpr DWORD RUK_E_EXCEPTION = 0xE000FEFF;

// IsTextUnicode over the stream's memory and size with Flags as the only tests to apply
// (none when 0); true exactly when it answers 1. No stream: last error RUK_E_NULL_OBJECT;
// fewer than two bytes: last error RUK_E_STREAM_TOO_SHORT; both give false.
bool IsUnicodeTextStream(TMemoryStream* Stream, int Flags);
// The little-endian mark FF FE (IS_TEXT_UNICODE_SIGNATURE).
bool HasUnicodeSignature(TMemoryStream* Stream);
// The reversed mark FE FF (IS_TEXT_UNICODE_REVERSE_SIGNATURE). The platform counts a reversed
// mark against the text being Unicode, so this test does not answer 1 there.
bool HasReverseUnicodeSignature(TMemoryStream* Stream);
// Either of the two.
bool HasUnicodeByteOrderMark(TMemoryStream* Stream);

// ---------------------------------------------------------------- keyword rows

// One row of the keyword list view: the caption is the keyword, the four sub-items are the
// cells below. Rows made by the program and rows read from a keyword file have all four.
using TRUKKeywordListEntry = TListItem;

// Sub-item indexes of a keyword row.
enum TRUKKeywordCell : int {
    kcLinkTargets = 0,     // multi-value: file names of the documents
    kcTargetDocTitles = 1, // multi-value: their titles, paired with the link targets by position
    kcAltURLs = 2,         // multi-value: alternative URLs
    kcNumLinkTargets = 3,  // decimal text, "1" for a new row; merges leave it
};
constexpr int RUK_KEYWORD_CELL_COUNT = 4;

// The separator of a multi-value cell's entries: BULLET (U+2022) in the ANSI code page
// (0x95 in Windows-1252); "|" where the code page has no bullet.
const std::string& KeywordCellSeparator();
// What a separator inside a value is replaced with when the value is added to a cell, so
// that it stays one entry: MIDDLE DOT (U+00B7) in the ANSI code page, "." where there is none.
const std::string& KeywordCellSeparatorReplacement();
// The value with every separator replaced (see above).
std::string ReplaceCellSeparators(const std::string& value);
// Entries of a cell: 0 for an empty text, else the lines of the text with every separator
// turned into a line break, counted as a string list takes its text ("a" 1, "a•b" 2,
// "a•" 1, "•a" 2, "a••b" 3); -1 on failure.
int CountMultiValueCellEntries(const std::string& text);
// Whether value equals one of the cell's entries without regard to case (upper-cased under
// the user's locale); an empty value is never contained.
bool MultiValueCellContains(const std::string& cell, const std::string& value);
// The cell with value added: unchanged when contained; value alone for an empty cell;
// else cell + separator + value. Separators inside value are replaced first.
std::string AddToMultiValueCell(const std::string& cell, const std::string& value);

// New list of the cell's entries split as CountMultiValueCellEntries counts them; null for
// an empty text.
std::unique_ptr<TStringList> SplitMultiValueCell(const std::string& text);
// New list of every row's caption in row order; null with last error RUK_E_NULL_ARGUMENT
// (no view) or RUK_E_NOTHING_TO_DO (no rows).
std::unique_ptr<TStringList> GetKeywordsFromListView(TListView* view);

// ---------------------------------------------------------------- keyword file (.rlk)

// The file is the filer's values: identifier "RUKLexmill0.3" + the view's name + "Ver1.0",
// list begin, per row the caption and sub-items 0 to 2 as strings and sub-item 3 as an
// integer (0 when it is not one), end of list.
//
// Results: 0, a RUK_E_* code, or for an exception the code of CaughtExceptionCode.

// Inside a handler: the system's code that the exception carries (a file that cannot be
// opened or created, a failed read or write), RUK_E_EXCEPTION where no system call failed.
DWORD CaughtExceptionCode() noexcept;

// Writes every row through a safe save; a view without rows gives a file of no rows.
// RUK_E_EMPTY_FILE_NAME and RUK_E_NULL_ARGUMENT touch no file; on any failure an existing
// file stays byte-identical and no file is left behind.
DWORD SaveKeywordListToFile(TListView* view, const std::string& fileName);
// RUK_E_NULL_ARGUMENT for a null stream, else WriteKeywordList.
DWORD SaveKeywordListToStream(TListView* view, TStream* stream);
// RUK_E_NULL_ARGUMENT or the exception code; the writer's buffer is flushed inside, so a
// failed last write is reported.
DWORD WriteKeywordList(TListView* view, TStream* stream);
// Appends the file's rows to the view (nothing is cleared or merged).
DWORD LoadKeywordListFromFile(TListView* view, const std::string& fileName);
DWORD LoadKeywordListFromStream(TListView* view, TStream* stream);
// Reads a row's five values before it appends the row: after a failure the complete rows
// read so far stay and no partial row is added. The identifier's text is not checked.
DWORD ReadKeywordList(TListView* view, TStream* stream);

// ---------------------------------------------------------------- compiled-help index (.hhk)

// String resources of the program (ids 10000 to 10015, language 1033): the sixteen lines of
// the index template.
enum TRUKCHMTemplateLine : UINT {
    chmDocType = 10000,
    chmHtmlBegin = 10001,
    chmHtmlEnd = 10002,
    chmHeadBegin = 10003,
    chmHeadEnd = 10004,
    chmGenerator = 10005,
    chmBodyBegin = 10006,
    chmBodyEnd = 10007,
    chmListBegin = 10008,
    chmListEnd = 10009,
    chmEntryBegin = 10010,
    chmEntryKeyword = 10011,
    chmEntryTitle = 10012,
    chmEntryLocal = 10013,
    chmEntryURL = 10014,
    chmEntryEnd = 10015,
};
constexpr const char* RUK_CHM_GENERATOR = "RUK Lexmill Version 0.3";

// A template line of the program's resources, with its %s replaced by text when given.
std::string CHMTemplateLine(UINT id);
std::string CHMTemplateLine(UINT id, const std::string& text);
// Text for a value attribute: & " < > as entities.
std::string EscapeHTMLAttribute(const std::string& text);
// Text for a value attribute that may already hold entities (document titles): only " < >.
std::string EscapeHTMLTitleAttribute(const std::string& text);

// The whole document: seven header lines, one entry per row that yields one, three closing
// lines. Null when the rows are null (RUK_E_NULL_OBJECT) or empty (RUK_E_NOTHING_TO_DO).
std::unique_ptr<TStringList> CreateCHMIndexFileContents(TListItems* rows);
// One entry per row that yields a non-empty entry; empty (not null) when none does.
std::unique_ptr<TStringList> CreateCHMKeywordsListEntries(TListItems* rows);
// The entry of one row; empty for a null row (RUK_E_NULL_OBJECT), an empty caption
// (RUK_E_INVALID_KEYWORD), or an empty link-target or title cell (last error 0).
std::string CreateCHMKeywordsListEntryFromListItem(TRUKKeywordListEntry* row);
// The entry's lines joined by CR LF, without one after the last. Titles pair with link
// targets by position, up to the shorter list; an alternative URL follows its pair when
// present and not empty. Empty with RUK_E_INVALID_KEYWORD (empty keyword), RUK_E_NULL_OBJECT
// (no link or title list) or RUK_E_NOTHING_TO_DO (an empty one).
std::string CreateCHMKeywordsListEntry(const std::string& keyword, const TStringList* linkTargets,
                                       const TStringList* titles, const TStringList* altURLs);

}  // namespace ruk
