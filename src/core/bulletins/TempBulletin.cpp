#include "bulletins/TempBulletin.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "base/Error.h"
#include "bulletins/BulletinText.h"
#include "config/HeadingTemplate.h"

namespace tern {

namespace {

constexpr size_t kLineLimit = 60;
constexpr int kMultiSystemCode = 90;  // a radiosonde that always needs 61616

bool StartsWith(const std::string& line, const std::string& head) {
  return !head.empty() && line.compare(0, head.size(), head) == 0;
}

uint8_t RsCodeOf(const TUAMessage& ascent, int index) {
  return index >= 0 && index <= 255 ? ascent.GetRsCode(static_cast<uint8_t>(index)) : 0;
}

// A group of the bulletin: the characters between blanks, line breaks and "=".
struct Group {
  size_t at, size;
};

bool Separates(char c) { return c == ' ' || c == '\r' || c == '\n' || c == '\t' || c == '='; }

std::vector<Group> GroupsOf(const std::string& text, size_t from) {
  std::vector<Group> groups;
  size_t i = from;
  while (i < text.size()) {
    while (i < text.size() && Separates(text[i])) ++i;
    const size_t start = i;
    while (i < text.size() && !Separates(text[i])) ++i;
    if (i > start) groups.push_back({start, i - start});
  }
  return groups;
}

bool Is(const std::string& text, const Group& g, std::string_view what) {
  return std::string_view(text).substr(g.at, g.size) == what;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// 5 rara 03: the radiosonde type and the system's sonde code (rara may still be "//").
bool IsRadiosondeGroup(const std::string& text, const Group& g) {
  return g.size == 5 && text[g.at] == '5' && text[g.at + 3] == '0' && text[g.at + 4] == '3';
}

// 8 GG gg: the launch time, always right after the radiosonde group.
bool IsLaunchTimeGroup(const std::string& text, const Group& g) {
  if (g.size != 5 || text[g.at] != '8') return false;
  for (size_t k = 1; k < 5; ++k)
    if (!IsDigit(text[g.at + k]) && text[g.at + k] != '/') return false;
  return true;
}

// nn PPP with nn one of 00, 11 .. 99: a level of the significant-level sections.
bool IsLevelGroup(const std::string& text, const Group& g) {
  return g.size == 5 && IsDigit(text[g.at]) && text[g.at + 1] == text[g.at];
}

// Index of the first group after the data sections of a TTBB body: past the
// part's name, YYGGa4 and IIiii come pairs of a level group and its data group,
// with the wind section's head 21212 between them. The first group that stands
// where a level group would and is none starts the closing sections (31313 ...).
size_t ClosingSectionsStart(const std::string& text, const std::vector<Group>& groups) {
  size_t k = !groups.empty() && Is(text, groups[0], "TTBB") ? 1 : 0;
  k += 2;
  while (k < groups.size()) {
    if (Is(text, groups[k], "21212"))
      k += 1;
    else if (IsLevelGroup(text, groups[k]))
      k += 2;
    else
      break;
  }
  return std::min(k, groups.size());
}

}  // namespace

std::string BuildTemp(int part, TUAMessage& ascent, const std::string& bbb, const tTempSettings& s,
                      const tTempOptions& options, IOperator& op) {
  if (part < 1 || part > 4) throw TernError(cp("Часть не найдена"));
  const int p = part - 1;
  std::string path;
  const bool exists = ascent.GetTelegramFile(part, path);
  const TextList lines = ReadSourceLines(exists, path, cp("Файл KN4 не найден!"));

  std::string text = ExpandBulletinHeading(s.Head[p], ascent.ObsTime, s.BBBHead, bbb, s.BBBTail) +
                     ExpandDates(s.SecHead[p], ascent.ObsTime);
  const size_t bodyStart = text.size();
  bool found = false, separated = false;
  for (const std::string& line : lines) {
    if (!found) {
      if (!StartsWith(line, s.OrgSecHead[p])) continue;
      found = true;
      text += TrimLeft(line.substr(s.OrgSecHead[p].size()));
    } else {
      text += s.CRLF + line;
    }
    if (!s.OrgSep.empty() && line.find(s.OrgSep) != std::string::npos) {
      separated = true;
      break;
    }
  }
  if (!found) throw TernError(cp("Часть не найдена"));
  if (!s.OrgSep.empty()) {
    if (!separated) ThrowFormatError();
    CutAtSeparator(text, bodyStart, s.OrgSep);
  }

  if (part == 2) {
    if (options.InjectRaRa) text = Fix31313(text, RsCodeOf(ascent, options.RaRa), op);
    const bool relevant = !ascent.Single || RsCodeOf(ascent, options.RaRa) == kMultiSystemCode;
    if (options.Add61616 && relevant) text = Add61616(text, ascent.Build61616(options.RaRa), op, s.CRLF, bodyStart);
  }
  return TrimRight(text) + s.Sep + s.Tail;
}

std::string Fix31313(const std::string& text, int rsCode, IOperator& op) {
  const std::vector<Group> groups = GroupsOf(text, 0);
  // Only the section head counts: 31313, the radiosonde group 5nn03 and the
  // launch-time group 8GGgg in a row. A temperature group may read 31313 too,
  // but it is followed by a level group and a data group, never by this pair.
  for (size_t k = 0; k + 2 < groups.size(); ++k) {
    if (!Is(text, groups[k], "31313") || !IsRadiosondeGroup(text, groups[k + 1]) ||
        !IsLaunchTimeGroup(text, groups[k + 2]))
      continue;
    std::string fixed = text;
    fixed.replace(groups[k + 1].at + 1, 2, CodeDigits(rsCode % 100, 2));
    return fixed;
  }
  op.Message(cp("Не могу исправить 31313!?"));
  return text;
}

std::string Add61616(const std::string& text, const std::string& group, IOperator& op, const std::string& lineBreak,
                     size_t bodyStart) {
  const std::vector<Group> groups = GroupsOf(text, bodyStart);
  for (size_t k = ClosingSectionsStart(text, groups); k < groups.size(); ++k) {
    if (Is(text, groups[k], "61616")) {
      op.Message(cp("Раздел 61616 уже имеется в телеграмме TTBB, отредактируйте ее вручную!"));
      return text;
    }
  }
  // Trailing blanks and line ends would otherwise stand before the new groups.
  const std::string body = TrimRight(text);
  const size_t at = body.rfind(lineBreak);
  if (at == std::string::npos || body.size() - (at + lineBreak.size()) + 14 < kLineLimit)
    return body + " 61616 " + group;
  std::string line = Trim(body.substr(at + lineBreak.size()));
  if (line.size() + 6 > kLineLimit) line += lineBreak;
  line += " 61616";
  line += line.size() + 6 > kLineLimit ? lineBreak : " ";
  line += group;
  return body.substr(0, at) + lineBreak + line;
}

}  // namespace tern
