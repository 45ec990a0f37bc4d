// RUKSysUtils: character, word and delimiter functions, splitting, numbers, byte
// arrays and the file-size text (RUKFileSizes.h) of the base library.
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

#include "RUKFileSizes.h"  // FormatFileSizeStr
#include "RUKSysTypes.h"

#include <cstdint>
#include <string>

namespace ruk {

class TStream;
class TStringList;

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

// ---------------------------------------------------------------- streams, masks, integers

// Reads the first two bytes of the stream into bits 0-15 of mark (bits 16-31 keep
// what the caller put there; the first byte is the low one) and puts the stream
// back where it was. 0 when the two bytes were read, -1 otherwise: no stream, a
// stream shorter than 2 bytes, or any error of the stream (mark is then untouched).
int GetByteOrderMark(TStream* stream, std::uint32_t& mark);
// The same for a file opened for reading, others may read and write it. -1 for an
// empty name; a file that cannot be opened raises EFOpenError.
int GetByteOrderMark(const std::string& fileName, std::uint32_t& mark);

std::uint8_t RetNumBitsSetInLongintMask(std::uint32_t mask);
// The letter of the index-th drive (from 1, upward from A) whose bit is set in the
// mask of drives A (bit 0) to Z (bit 25); index 0 or beyond the last drive gives
// the highest drive, an empty mask '@'. Bits above 25 are ignored.
char RetDrvCharFromDrvMask(std::uint32_t mask, std::uint8_t index);

Int64 LongintToInt64(std::uint32_t low, std::int32_t high);
std::uint32_t Int64LoDWORD(Int64 value);
std::uint32_t Int64HiDWORD(Int64 value);
// Hexadecimal digits, the first the most significant, as a signed 32-bit value
// («FFFFFFFF» is -1). A shorter text gives the value of the digits it has; lower-case
// a to f are digits too, and any other character counts as the digit 0.
std::int32_t HexStrToInt(const str_8& hex);

// ---------------------------------------------------------------- buffers and byte arrays

// A buffer of zero-terminated texts ends with an empty text. Nothing is ever read
// beyond size bytes: a text that is not terminated inside the buffer is not counted.
// -1 for no buffer or a size below 1.
int GetNumZeroTerminatedStrsInBuf(const char* buffer, int size);
// Adds the texts to the end of the list (not cleared first); -1 for no list,
// otherwise GetNumZeroTerminatedStrsInBuf.
int GetZeroTerminatedStringsFromBuf(const char* buffer, int size, TStringList* list);

// A cursor is an index into a byte array kept by the caller between the calls of a
// first-and-next pair; a negative cursor is unset. A cursor at or beyond the end of
// the array reads nothing and stays where it is. A text read from an array ends at
// its zero byte or at the end of the array, whichever comes first.
constexpr int ByteArrayCursorUnset = -1;

// i - 1 for the first index i at which byte i or byte i+1 is zero (or lies beyond
// the array): -1 when byte 0 or byte 1 is zero, k - 2 for the first zero at k >= 2.
int RetZeroTerminatedStrArrayLength(const TByteArray& a);
// The non-empty texts the first and next readers give with step 1 and the size above.
int RetZeroTerminatedStrCount(const TByteArray& a);
// The text at byte 0; the cursor moves to byte 1 (byte step). Empty, cursor
// untouched, for an empty array or a size below 2.
std::string RetFirstZTerminatedStrFromByteArray(const TByteArray& a, int size, int& cursor);
std::string RetFirstZTerminatedStrFromByteArray(const TByteArray& a, int size, int step, int& cursor);
// The text at the cursor; the cursor moves on by 1 (by step). Empty, cursor
// untouched, for an unset cursor, an empty array or a size below 2.
std::string RetNextZTerminatedStrFromByteArray(const TByteArray& a, int size, int& cursor);
std::string RetNextZTerminatedStrFromByteArray(const TByteArray& a, int size, int step, int& cursor);
// Index 0 or 1: the first text; any other index: empty.
std::string RetZeroTerminatedStrFromByteArray(int index, const TByteArray& a, int size);
// Index 0 or 1: the first text; index n >= 2: the text at byte (n-1) * step.
std::string RetZeroTerminatedStrFromByteArray(int index, const TByteArray& a, int step, int size);

// 16-bit words, low byte first; 0 (cursor untouched) where a word would not lie
// inside the array. The sizes are not used.
std::uint16_t RetFirstWORDFromByteArray(const TByteArray& a, int size, int& cursor);
std::uint16_t RetNextWORDFromByteArray(const TByteArray& a, int size, int& cursor);
// 0 for a negative index; the first word for index 0 or 1; else bytes 2n-2 and 2n-1.
std::uint16_t RetWORDFromByteArray(int index, const TByteArray& a, int size);

// The length the array would have after growing (shrinking) by one; -1 for an
// empty array. The caller's array is not changed.
int IncLargeIntArray(TLargeIntArray a);
int DecLargeIntArray(TLargeIntArray a);

}  // namespace ruk
