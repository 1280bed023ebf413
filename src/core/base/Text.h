#pragma once
// Text conventions of the desk: every file it reads or writes is Windows-1251,
// so core keeps text as cp1251 bytes in std::string. Conversion to UTF-8 happens
// only at the edges (Qt, terminal). Russian literals in source are UTF-8 and go
// through cp() once.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tern {

using TextList = std::vector<std::string>;

// UTF-8 -> cp1251. Characters cp1251 cannot express become '?'.
std::string Utf8ToCp1251(std::string_view utf8);
// cp1251 -> UTF-8; exact for every code cp1251 defines (0x98 becomes U+FFFD).
std::string Cp1251ToUtf8(std::string_view cp1251);
// A UTF-8 source literal as cp1251 bytes.
inline std::string cp(std::string_view utf8) { return Utf8ToCp1251(utf8); }

// Decimal digits of n padded with '0' on the left to width; all '/' when longer.
std::string CodeDigits(long long n, int width);
// Fixed-point text with the given number of decimals, right-aligned in width
// (rounding half away from zero as printf does), surrounding blanks trimmed.
std::string FixedText(double value, int width, int decimals);
// Point-decimal real with optional sign and exponent; the whole text must be a number.
std::optional<double> TryParseReal(std::string_view text);
// Decimal whole number: one optional sign, then digits only; nothing around it.
std::optional<long long> TryParseWhole(std::string_view text);
// Signed 32-bit integer: optional sign and decimal digits, or "$"/"0x" and
// hexadecimal digits (no sign; values above 0x7FFFFFFF wrap to negative).
std::optional<int> TryParseInt(std::string_view text);

std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
// ASCII and cp1251 Cyrillic letters folded to upper case.
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
bool SameText(std::string_view a, std::string_view b);
bool StartsWithText(std::string_view s, std::string_view prefix);  // case-insensitive

// Path helpers; both '/' and '\' separate folders.
bool IsPathSeparator(char c);
std::string NameWithoutExt(std::string_view path);   // path with the extension removed
std::string ExtractFileName(std::string_view path);  // after the last separator
std::string ExtractFilePath(std::string_view path);  // up to and including the last separator
std::string ExtractFileExt(std::string_view path);   // from the last '.' of the name, with the dot
std::string ChangeFileExt(std::string_view path, std::string_view ext);
std::string IncludeTrailingSeparator(std::string_view path);
// Backslashes turned into '/', for the file system of this platform.
std::string NativePath(std::string_view path);

// 1-based position of the last occurrence of sub in s, 0 when absent.
int LastPos(std::string_view sub, std::string_view s);
// 1-based position of the last c in s, 0 when absent.
int LastCharPos(char c, std::string_view s);
// Index of the first item equal to text, -1 when none.
int ComboIndexOf(const TextList& items, std::string_view text);

// Reads a text line from data starting at pos: LF ends a line, every CR is dropped.
// Returns false at the end of data (no line read).
bool ReadTextLine(std::string_view data, size_t& pos, std::string& line);
// Skips one line; false at the end of data.
bool SkipLine(std::string_view data, size_t& pos);
// Splits a whole file into lines by the same rule.
TextList SplitLines(std::string_view data);

}  // namespace tern
