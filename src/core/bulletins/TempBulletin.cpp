#include "bulletins/TempBulletin.h"

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
    if (options.Add61616 && relevant) text = Add61616(text, ascent.Build61616(options.RaRa), op);
  }
  return TrimRight(text) + s.Sep + s.Tail;
}

std::string Fix31313(const std::string& text, int rsCode, IOperator& op) {
  const size_t at = text.find("31313");
  if (at != std::string::npos) {
    // One blank separates the groups, or a two-character line break.
    const size_t next = at + 5;
    const size_t group = next < text.size() && text[next] == ' ' ? at + 6 : at + 7;
    if (group + 5 <= text.size() && text[group] == '5' && text[group + 3] == '0' && text[group + 4] == '3') {
      std::string fixed = text;
      fixed.replace(group + 1, 2, CodeDigits(rsCode % 100, 2));
      return fixed;
    }
  }
  op.Message(cp("Не могу исправить 31313!?"));
  return text;
}

std::string Add61616(const std::string& text, const std::string& group, IOperator& op) {
  if (text.find("61616") != std::string::npos) {
    op.Message(cp("Раздел 61616 уже имеется в телеграмме TTBB, отредактируйте ее вручную!"));
    return text;
  }
  const size_t lineBreak = text.rfind("\r\n");
  if (lineBreak == std::string::npos || text.size() - (lineBreak + 2) + 14 < kLineLimit)
    return text + " 61616 " + group;
  std::string line = Trim(text.substr(lineBreak + 2));
  if (line.size() + 6 > kLineLimit) line += "\r\n";
  line += " 61616";
  line += line.size() + 6 > kLineLimit ? "\r\n" : " ";
  line += group;
  return text.substr(0, lineBreak) + "\r\n" + line;
}

}  // namespace tern
