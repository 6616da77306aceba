// Small free-standing routines that every part of the program calls: geometry, integers, the
// run-length packer of the picture writers, the text-or-binary test, descriptive texts, version
// numbers, word splitting, case-insensitive search and replace, byte order and DOS dates.
// Texts are UTF-8; positions are 1-based byte positions.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/uTypes.h"

// --- Geometry and integers ---

// Largest size with the picture's aspect ratio that fits the box; the first and last pixel of
// the picture map onto the first and last pixel of the box. May enlarge the picture.
void FitRect(int boxWidth, int boxHeight, int width, int height, int& outWidth, int& outHeight);
// Offsets that centre width x height in the box (0 on a side where it does not fit).
void CenterOffset(int boxWidth, int boxHeight, int width, int height, int& x, int& y);
// FitRect, as the inclusive rectangle (0, 0, w - 1, h - 1) centred in the box.
void FitCenterRect(int boxWidth, int boxHeight, int width, int height, TRect& rect);
// Puts Left <= Right and Top <= Bottom.
void NormalizeRect(TRect& rect);
// As Win32 PtInRect: the right and bottom edges are outside.
bool PointInRect(const TPoint& point, const TRect& rect);
// 0 when value < 0, else the smaller of limit and value.
int ClampRange(int limit, int value);
int IntMax(int a, int b);
int IntMin(int a, int b);
// -1, 0 or 1.
int CompareInt(int a, int b);
uint32_t MulWords(uint16_t a, uint16_t b);
// Rows of a drop-down list: as many as fit in the space below it, at most the items, at least
// one.
int DropDownRowCount(int space, int rowHeight, int items);

// The three roundings the program uses, kept apart on purpose:
// a * b / c as Win32 MulDiv does it (named apart, as Win32 files see both): 64-bit
// intermediate, nearest, halves away from zero; -1 when c is 0 or the result does not fit.
int32_t MulDivRound(int32_t a, int32_t b, int32_t c);
// Nearest, halves to even (Delphi's Round), for percentages. NaN gives 0; values beyond the
// 64-bit range give its nearest end.
int64_t RoundHalfEven(double value);
// Towards zero (Delphi's Trunc); NaN and out-of-range values as RoundHalfEven.
int64_t TruncInt(double value);

// The screen's full-screen client size (the caption included in the height), and colour depth.
void FullScreenSize(int& width, int& height);
int ScreenColorBits();

// --- Packing and text classification ---

// Run-length packs one row of count elements; returns the bytes written (0 for count <= 0 or an
// unknown mode). Modes: 0 PackBits (TIFF), 1 Targa with 1-byte pixels, 2 PCX, 3 Targa with
// 3-byte pixels (an element is then 3 bytes). dest needs PackRunsBound(count, mode) bytes.
int PackRuns(const uint8_t* source, uint8_t* dest, int count, int mode);
// The worst-case packed size of a row.
size_t PackRunsBound(int count, int mode);

// True when the bytes look like text (the text viewer asks this of a file's first block).
bool IsTextData(const uint8_t* data, size_t length);

// NUL-terminated texts closed by a second NUL, as SHFileOperation takes them: each line of the
// list, or the text alone when there is no list. UTF-8 bytes; the caller converts.
std::vector<char> StringsToNulList(const std::string& text,
                                   const std::vector<std::string>* lines = nullptr);

// The accelerator letter of a control's caption: the character after the first single "&"
// ("&&" is a plain ampersand), upper-cased when it is a letter; 0 when there is none.
char CaptionAccelerator(const std::string& caption);

// --- Descriptive texts ---

// The colour count of a colour code (colours for palette pictures, 256 + bits for direct colour).
std::string ColorCountText(uint16_t colorCode);
// "640x480x256".
std::string ImageSizeText(int width, int height, uint16_t colorCode);
// "0.50KB", "1.25MB", "2.00GB".
std::string SizeText(int64_t bytes);
std::string WindowsVersionText();
std::string WindowsBuildText();
bool IsWin95OSR2();
bool IsWin95First();
bool IsWinNT();
bool IsWinNT4();

// Dates: TDateTime counts days from 1899-12-30.
// Throws EConvertError for a date that does not exist (year 1..9999).
TDateTime EncodeDate(int year, int month, int day);
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
// False (and zeros) for a value outside years 1..9999.
bool DecodeDate(TDateTime date, int& year, int& month, int& day);
// A DOS packed date (day bits 0-4, month 5-8, year - 1980 in 9-15); 0 when it names no day.
TDateTime DosDateToDateTime(uint16_t dosDate);
// "mm/dd/yyyy"; empty for a value outside years 1..9999.
std::string DateToMDYText(TDateTime date);
// Every " " as "%20", for file names in web addresses.
std::string EncodeSpaces(const std::string& text);

// --- Version numbers ---

// The third word of a version text as a number: "5.10a" gives 5101, "5.10b" 5102, "5.10" 510;
// 0 when it is no number.
int VersionNumberOf(const std::string& text);
// 5101 gives "5.1.0.1"; up to three digits stay as they are. The low 16 bits are used.
std::string VersionDigitsText(int number);
std::string VersionNumberText(const std::string& text);

// --- Words and searching ---
// Words are separated by runs of TAB, LF, FF, CR and space. n counts from 1.

std::string GetWordZ(const char* text, int n);
int WordCountZ(const char* text);
// The same on a text (up to its first NUL, if any; any length).
std::string GetWord(const std::string& text, int n);
int WordCount(const std::string& text);
// The n-th word where a word opened by a double quote runs to the closing quote (spaces
// included): a command line's quoted file name comes back whole, without its quotes.
std::string GetQuotedWord(const char* text, int n);
inline std::string GetQuotedWord(const std::string& text, int n) {
  return GetQuotedWord(text.c_str(), n);
}
// Word n of the process command line, quote-aware: 0 the program, 1 the first parameter.
std::string CommandLineWord(int n);
// Position (from 1) of the first c in text.
bool FindChar(char c, const std::string& text, int& position);
// Removes every occurrence of what (ignoring case), trimming the text's ends after each, until
// none is left (also those that the removals join up).
void RemoveAllText(std::string& text, const std::string& what);
// Replaces every occurrence of oldText (ignoring case) left to right, never looking into text
// just inserted; returns the count.
int ReplaceAllText(std::string& text, const std::string& oldText, const std::string& newText);
// "A".."Z" to "a".."z"; everything else unchanged. Case is ASCII-only in these routines, so
// positions in UTF-8 texts stay put.
char LowerChar(char c);

// --- Short texts of fixed form ---

// count copies of c, at most 255; empty when count < 1.
std::string CharString(int count, char c);
std::string SpaceString(int count);
// "0" in front until the text is at least length long (length taken as 0..255).
std::string ZeroPad(const std::string& text, int length);
void TrimTrailingSpaces(std::string& text);
void AppendChar(std::string& text, char c);

// --- Byte order (big-endian file fields) ---

void SwapBytes(uint16_t& value);
void SwapBytes(uint32_t& value);
// Size 2 exchanges two bytes; size 4 or more reverses the first four; other sizes leave the
// value alone (there are not four bytes to reverse).
void SwapBytes(void* value, int size);
