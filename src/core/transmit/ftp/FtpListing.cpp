#include "transmit/ftp/FtpListing.h"

#include <cctype>
#include <vector>

#include "base/Text.h"

namespace tern {
namespace {

struct Field {
  std::string_view text;
  size_t end;  // offset just behind the field in the line
};

std::vector<Field> SplitFields(std::string_view line) {
  std::vector<Field> fields;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) fields.push_back({line.substr(start, i - start), i});
  }
  return fields;
}

// The name is everything after the given field, blanks between them skipped.
std::string NameAfter(std::string_view line, const Field& f) {
  size_t i = f.end;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  return std::string(line.substr(i));
}

bool AllDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

// Saturates instead of overflowing on absurd listings.
long long DigitsValue(std::string_view s) {
  long long v = 0;
  for (char c : s) {
    if (v > (9223372036854775807LL - 9) / 10) return 9223372036854775807LL;
    v = v * 10 + (c - '0');
  }
  return v;
}

bool IsMonth(std::string_view s) {
  static constexpr std::string_view kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                                  "jul", "aug", "sep", "oct", "nov", "dec"};
  for (std::string_view m : kMonths)
    if (SameText(s, m)) return true;
  return false;
}

// "10:50" or "2025": the last field of the date.
bool IsTimeOrYear(std::string_view s) {
  const size_t colon = s.find(':');
  if (colon == std::string_view::npos) return s.size() == 4 && AllDigits(s);
  return AllDigits(s.substr(0, colon)) && AllDigits(s.substr(colon + 1));
}

// "2025-01-15", the date of listings written in the ISO style.
bool IsIsoDate(std::string_view s) {
  return s.size() == 10 && s[4] == '-' && s[7] == '-' && AllDigits(s.substr(0, 4)) && AllDigits(s.substr(5, 2)) &&
         AllDigits(s.substr(8, 2));
}

std::optional<FtpListEntry> UnixEntry(std::string_view line, const std::vector<Field>& f, size_t sizeField,
                                      size_t lastDateField) {
  FtpListEntry e;
  e.folder = f[0].text[0] == 'd';
  e.name = NameAfter(line, f[lastDateField]);
  if (f[0].text[0] == 'l') {
    const size_t arrow = e.name.find(" -> ");
    if (arrow != std::string::npos) e.name.resize(arrow);
  }
  if (!e.folder) e.size = DigitsValue(f[sizeField].text);
  if (e.name.empty()) return std::nullopt;
  return e;
}

std::optional<FtpListEntry> ParseUnix(std::string_view line, const std::vector<Field>& f) {
  // Owner and group columns vary between servers, so the date is found by
  // its month name with the size just before it; this keeps blanks inside
  // names.
  for (size_t m = 3; m + 2 < f.size(); ++m)
    if (IsMonth(f[m].text) && AllDigits(f[m - 1].text)) return UnixEntry(line, f, m - 1, m + 2);
  // Month names in another language: then the positions decide. The name is
  // the last field, the date the fields before it (month and day in either
  // order and a time or year, or an ISO date and a time), the size the field
  // before the date.
  const size_t n = f.size();
  if (n >= 6 && IsTimeOrYear(f[n - 2].text)) {
    if (IsIsoDate(f[n - 3].text) && AllDigits(f[n - 4].text)) return UnixEntry(line, f, n - 4, n - 2);
    if (n >= 7 && AllDigits(f[n - 5].text)) return UnixEntry(line, f, n - 5, n - 2);
  }
  return std::nullopt;
}

std::optional<FtpListEntry> ParseDos(std::string_view line, const std::vector<Field>& f) {
  // 12-09-26  10:50PM  <DIR>  name   or   12-09-26  10:50PM  1234  name
  if (f.size() < 4 || f[0].text.size() < 8 || f[0].text[2] != '-' || f[1].text.find(':') == std::string_view::npos)
    return std::nullopt;
  FtpListEntry e;
  if (SameText(f[2].text, "<DIR>")) {
    e.folder = true;
  } else if (AllDigits(f[2].text)) {
    e.size = DigitsValue(f[2].text);
  } else {
    return std::nullopt;
  }
  e.name = NameAfter(line, f[2]);
  if (e.name.empty()) return std::nullopt;
  return e;
}

}  // namespace

std::optional<FtpListEntry> ParseFtpListLine(std::string_view line) {
  const std::vector<Field> fields = SplitFields(line);
  if (fields.size() < 4) return std::nullopt;
  if (std::string_view("-dlbcps").find(fields[0].text[0]) != std::string_view::npos && fields[0].text.size() >= 10)
    return ParseUnix(line, fields);
  return ParseDos(line, fields);
}

std::optional<FtpListEntry> FindInFtpListing(std::string_view listing, std::string_view name) {
  for (const std::string& line : SplitLines(listing)) {
    auto entry = ParseFtpListLine(line);
    if (entry && entry->name == name) return entry;
  }
  return std::nullopt;
}

}  // namespace tern
