// RUKSysUtils: character, word and delimiter functions, splitting, numbers and
// byte arrays of the base library.
//
// Conventions of the unit:
// - Free functions without state; they may run on any thread at the same time.
// - Texts are 8-bit ANSI strings (std::string); positions are 1-based, position 1
//   the first character and position length the last. A character is one byte.
// - Nothing to return: an empty text, False, 0 for counts, -1 (character and
//   delimiter searches) or 0 (backslash searches) for positions, -1 from the
//   functions that reject their arguments.
// - Indexes and start positions are the caller's to keep inside the text; a value
//   outside it never makes a function read outside the text: an index test answers
//   False and a search from a start below 1 finds nothing.
// - The delimiter scan never looks at the last character of a text: a delimiter in
//   the last position stays part of the final token. Every token function inherits
//   this, and a final token counts only when it holds at least two characters.
// - "Locale-aware" searches skip the trail bytes of double-byte characters of the
//   ANSI code page; all other comparisons are byte comparisons. Case folding
//   changes a to z only.
#pragma once

#include "RUKSysTypes.h"

#include <cstdint>
#include <string>

namespace ruk {

// ---------------------------------------------------------------- characters

// HT, LF, CR and blank.
bool IsWhiteSpaceChar(char c);
bool IsWhiteSpaceChar(int index, const std::string& s);
// False for an empty text; otherwise whether every character is white space.
bool IsWhiteSpaceString(const std::string& s);
// 1 to 8, 11, 12 and 14 to 31 (not 0, not the white space, not 127).
bool IsCtrlCodeChar(char c);
bool IsCtrlCodeChar(int index, const std::string& s);
bool IsCharCode(char c, char code);
// False for an index outside 1 to length.
bool IsCharCode(char code, int index, const std::string& s);

// Number of positions 1 to length holding c (the byte 0 too).
int CharCount(char c, const std::string& s);
bool IsCharInCharSet(char c, const TRUKCharSet& set);
// The set of all bytes of chars (the byte 0 included); False for an empty text.
bool IsCharInCharSet(char c, const std::string& chars);

// Positions 1 to length; -1 when not found.
int PosFirstChar(char c, const std::string& s);
int PosNextChar(char c, int start, const std::string& s);

// ---------------------------------------------------------------- delimiter scan

// Positions 1 to length-1 only; 0 / -1 for the delimiter byte 0 or a text shorter than 2.
int DelimiterCount(char delimiter, const std::string& s);
int PosFirstDelimiter(char delimiter, const std::string& s);
// From start to length-1; -1 when start >= length.
int PosNextDelimiter(char delimiter, int start, const std::string& s);

// ---------------------------------------------------------------- tokens and words

// The index-th (from 0) non-empty piece between delimiters; empty when there is none.
std::string DelimitedString(char delimiter, const std::string& s, int index);
// Token 0 for the first delimiter character, in their order, that yields one.
std::string FirstWord(const std::string& s, const std::string& delimiters);
// Token 0 with the blank as delimiter.
std::string FirstWord(const std::string& s);
int FirstWordLength(const std::string& s, const std::string& delimiters);
// FirstWord of the reversed text, reversed again.
std::string LastWord(const std::string& s, const std::string& delimiters);

// Delimited occurrences of word in the whole text (start and end only gate the
// call); an occurrence that ends the text is not counted. -1 for rejected arguments.
int WordCount(const std::string& s, const std::string& word, int start, int end,
              const std::string& delimiters);
// Words among the end-start characters from position start. -1 for rejected arguments.
int WordCount(const std::string& s, int start, int end, const std::string& delimiters);

// ---------------------------------------------------------------- white space and quotes

// Whether the text holds white space anywhere.
bool HasLeadingWhiteSpaceChars(const std::string& s);
// count: -1 for an empty text, else the number of leading white-space characters.
bool HasLeadingWhiteSpaceChars(const std::string& s, int& count);
// Whether the text holds white space anywhere.
bool HasTrailingWhiteSpaceChars(const std::string& s);
// pos: -1 for an empty text, else where the final run of white space begins (0: none).
bool HasTrailingWhiteSpaceChars(const std::string& s, int& pos);

// The quote functions default to the double quote.
bool HasLeadingQuote(const std::string& s, char quote);
bool HasLeadingQuote(const std::string& s);
bool HasTrailingQuote(const std::string& s, char quote);
bool HasTrailingQuote(const std::string& s);
bool IsQuotedString(const std::string& s, char quote);
bool IsQuotedString(const std::string& s);
// The index-th (from 0) pair of quote characters with what lies between them.
std::string QuotedString(char quote, const std::string& s, int index);

// ---------------------------------------------------------------- digits and variables

// Only digits, plus and minus signs.
bool IsDecString(const std::string& s);
// At least one of 0-9, A-F, X or $ (the other characters are not tested).
bool IsHexString(const std::string& s);
// The percent sign at two different positions.
bool ContainsEnvironmentStr(const std::string& s);
// ContainsEnvironmentStr, but not a bare reference such as «%WINDIR%».
bool IsEnvironmentStrPath(const std::string& s);

// ---------------------------------------------------------------- similarity

// Characters a and b share, counted with multiplicity.
int MatchingCharCount(const std::string& a, const std::string& b, bool caseSensitive);
bool IsSimilar(const std::string& a, const std::string& b, int maxDiff, bool caseSensitive);

// ---------------------------------------------------------------- reversal and padding

str_255 ReverseShortPasString(const str_255& s);
std::string ReverseLongString(const std::string& s);
// Fill characters in front up to length; empty (not the text) when nothing is missing.
std::string LeftPadStrToLen(const std::string& s, int length, char fill);
std::string RightPadStrToLen(const std::string& s, int length, char fill);

// ---------------------------------------------------------------- splitting: counts

// The number of tokens DelimitedString numbers.
int DelimitedStringCount(char delimiter, const std::string& s);
// Pairs of quote characters; -1 for an odd number of them.
int QuotedStrCount(char quote, const std::string& s);

// ---------------------------------------------------------------- splitting: delimiters

std::string GetStrUpToFirstDelimiter(char delimiter, const std::string& s);
std::string GetStrFromFirstDelimiter(char delimiter, const std::string& s);
// What lies between the first and the second delimiter, leading blanks and control
// characters removed.
std::string GetStrUpToSecondDelimiter(char delimiter, const std::string& s);
std::string GetStrFromSecondDelimiter(char delimiter, const std::string& s);
// Removes the last occurrence of the character, wherever it stands (locale-aware).
std::string DeleteLastDelimiter(char delimiter, const std::string& s);
// DeleteLastDelimiter for each character of delimiters, from its last to its first.
std::string DelLastDelimiterStr(const std::string& delimiters, const std::string& s);

// ---------------------------------------------------------------- splitting: periods

str_255 RetShortStringToLastPeriod(const str_255& s);
// Without the period; empty when there is none or it is the last character.
str_255 RetShortStringFromLastPeriod(const str_255& s);
std::string RetLongStringToLastPeriod(const std::string& s);
// With the period; empty when there is none.
std::string RetLongStringFromLastPeriod(const std::string& s);

// ---------------------------------------------------------------- splitting: backslashes

std::string RetLongStringFromFirstDoubleBackslash(const std::string& s);
std::string RetLongStringToFirstBackslash(const std::string& s);
std::string RetLongStringFromFirstBackslash(const std::string& s);
// DelimitedString with the backslash; an index above the largest Integer raises ERangeError.
std::string RetLongStringFromBackslash(const std::string& s, std::uint32_t index);

// The file name: the text without everything up to its last backslash or colon.
std::string DeletePathString(const std::string& s);
// The text without the first occurrence of its extension.
std::string DeleteSuffixString(const std::string& s);
// A backslash in front unless the text begins with one; empty when its first
// backslash stands elsewhere (locale-aware).
std::string PrependBackslash(const std::string& s);
std::string PrependDoubleBackslash(const std::string& s);

// Positions 1 to length-1 only; 0 when not found.
int BackslashCount(const std::string& s);
int PosFirstBackslash(const std::string& s);
int PosNextBackslash(const std::string& s, int start);

}  // namespace ruk
