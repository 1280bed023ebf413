#include "config/HeadingTemplate.h"

#include <array>

#include "base/Text.h"

namespace tern {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The form of the indicator each placeholder stands for; the search order is the array order.
enum class BBBForm { Itself, Latin, Cyrillic, CyrillicWord };

struct Placeholder {
  std::string_view text;
  BBBForm form;
};

constexpr std::array<Placeholder, 4> kPlaceholders{{
    {"<BBB>", BBBForm::Itself},
    {"<BBX>", BBBForm::Latin},
    {"<BBR>", BBBForm::Cyrillic},
    {"<BRX>", BBBForm::CyrillicWord},
}};

std::string IndicatorForm(BBBForm form, const std::string& indicator) {
  const bool delayed = !indicator.empty() && indicator[0] == 'R';
  switch (form) {
    case BBBForm::Itself:
      return indicator;
    case BBBForm::Latin:
      return delayed ? "RTD" : "COR";
    case BBBForm::CyrillicWord:
      return delayed ? cp("РТД") : cp("ЦОР");
    case BBBForm::Cyrillic: {
      std::string group = delayed ? cp("РРА") : cp("ЦЦА");
      // Latin A..Z sit exactly 127 below Cyrillic А..Щ in cp1251.
      if (indicator.size() >= 3)
        group[2] = static_cast<char>(static_cast<unsigned char>(indicator[2]) + 127);
      return group;
    }
  }
  return indicator;
}

// The date letters of a field, in either case; every other character of a
// field, quotes included, is copied as it stands.
enum class DatePart { Year, Month, Day, Hour, Minute, Second };

struct DateLetter {
  char letter;
  DatePart part;
};

constexpr DateLetter kDateLetters[] = {
    {'y', DatePart::Year}, {'m', DatePart::Month},  {'d', DatePart::Day},
    {'h', DatePart::Hour}, {'n', DatePart::Minute}, {'s', DatePart::Second},
};

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

const DateLetter* DateLetterOf(char c) {
  for (const DateLetter& l : kDateLetters)
    if (l.letter == LowerAscii(c)) return &l;
  return nullptr;
}

std::string FormatField(std::string_view field, TDateTime time) {
  const DateParts p = DecodeDateTime(time);
  std::string out;
  bool afterHour = false;
  size_t i = 0;
  while (i < field.size()) {
    const DateLetter* letter = DateLetterOf(field[i]);
    if (!letter) {
      out += field[i++];
      continue;
    }
    size_t count = 1;
    while (i + count < field.size() && LowerAscii(field[i + count]) == letter->letter) ++count;
    i += count;
    // "mm" after an hour field means minutes, as in hh:mm.
    const DatePart part = letter->part == DatePart::Month && afterHour ? DatePart::Minute : letter->part;
    afterHour = part == DatePart::Hour;
    const bool padded = count >= 2;
    auto put = [&](int v) { out += padded ? CodeDigits(v, 2) : std::to_string(v); };
    switch (part) {
      case DatePart::Year: out += count <= 2 ? CodeDigits(p.year % 100, 2) : CodeDigits(p.year, 4); break;
      case DatePart::Month: put(p.month); break;
      case DatePart::Day: put(p.day); break;
      case DatePart::Hour: put(p.hour); break;
      case DatePart::Minute: put(p.minute); break;
      case DatePart::Second: put(p.second); break;
    }
  }
  return out;
}

}  // namespace

std::string DecodeEscapes(const std::string& text) {
  if (text.size() <= 3) return text;
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '#' && i + 3 < text.size() && text[i + 1] == '$') {
      const int hi = HexValue(text[i + 2]);
      const int lo = HexValue(text[i + 3]);
      if (hi >= 0 && lo >= 0) {
        out += static_cast<char>(hi * 16 + lo);
        i += 3;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

std::string ExpandDates(const std::string& templ, TDateTime time) {
  std::string out = templ;
  size_t from = 0;
  // Each step moves past what it produced or skipped, so the loop always ends,
  // also for "{}" and for a "}" that comes before every "{".
  while (from < out.size()) {
    const size_t open = out.find('{', from);
    if (open == std::string::npos) break;
    const size_t close = out.find('}', open + 1);
    if (close == std::string::npos) break;
    if (close < open + 2) {
      from = close + 1;
      continue;
    }
    const std::string field = FormatField(std::string_view(out).substr(open + 1, close - open - 1), time);
    out.replace(open, close - open + 1, field);
    from = open + field.size();
  }
  return out;
}

std::string InsertBBB(const std::string& templ, const std::string& head, const std::string& indicator,
                      const std::string& tail) {
  for (const Placeholder& p : kPlaceholders) {
    const size_t at = templ.find(p.text);
    if (at == std::string::npos) continue;
    std::string out = templ;
    out.erase(at, p.text.size());
    if (!indicator.empty()) out.insert(at, head + IndicatorForm(p.form, indicator) + tail);
    return out;
  }
  return templ;
}

}  // namespace tern
