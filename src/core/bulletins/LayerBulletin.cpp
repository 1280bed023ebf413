#include "bulletins/LayerBulletin.h"

#include <algorithm>

#include "base/Error.h"
#include "bulletins/BulletinText.h"
#include "config/HeadingTemplate.h"

namespace tern {

namespace {

// The sounding system's own prefix of the layer line: the word "СЛОЙ", then
// (after blanks) twelve characters of its own identification.
constexpr size_t kLayerWord = 4;
constexpr size_t kLayerPrefix = 12;
constexpr int kKioskCode = 8;
constexpr size_t kKioskHeaderLines = 3;

std::string DropFirst(const std::string& s, size_t n) { return s.substr(std::min(n, s.size())); }

// The layer line without the file's prefix, with the index and the day-hour
// group in the order the receiving centre expects.
std::string Recompose(std::string line, const TUAMessage& ascent, const tLayerSettings& s) {
  line = DropFirst(Trim(DropFirst(line, kLayerWord)), kLayerPrefix);
  if (!s.OrgSep.empty()) {
    const size_t at = line.find(s.OrgSep);
    if (at == std::string::npos || at + 1 != line.size()) ThrowFormatError();
    line.erase(at, 1);
  }
  const std::string& index = ascent.StationIndText;
  if (s.YYGG) {
    const std::string y = FormatDateTime("ddhh", ascent.LayerTime) + s.YYGGChar.substr(0, 1) + " ";
    if (s.NoIndex) return y + line;
    if (s.YYGG1st) return y + index + " " + line;
    return index + " " + y + line;
  }
  return s.NoIndex ? line : index + " " + line;
}

}  // namespace

std::string BuildLayer(TUAMessage& ascent, const std::string& bbb, const tLayerSettings& s) {
  std::string path;
  const bool exists = ascent.GetLayerFile(path);
  const TextList lines = ReadSourceLines(exists, path, cp("Файл СЛОЙ не найден!"));

  size_t at = 0;
  if (!s.AsIs) {
    while (at < lines.size() && (s.OrgSecHead.empty() || lines[at].compare(0, s.OrgSecHead.size(), s.OrgSecHead) != 0))
      ++at;
  }
  if (s.Mph) ++at;
  // An empty file, or one that ends before the message line, has nothing to send.
  if (at >= lines.size()) ThrowFormatError();
  std::string line = lines[at];
  if (!s.AsIs) line = Recompose(line, ascent, s);

  return ExpandBulletinHeading(s.Head, ascent.ObsTime, s.BBBHead, bbb, s.BBBTail) + s.SecHead + TrimRight(line) +
         s.Sep + s.Tail;
}

std::string BuildPriz(TUAMessage& ascent, const std::string& bbb, const tPrizSettings& s) {
  std::string path;
  const bool exists = ascent.GetGroundFile(path);
  const TextList lines = ReadSourceLines(exists, path, cp("Файл ПРИЗЕМНЫЙ СЛОЙ не найден!"));

  std::string text = ExpandBulletinHeading(s.Head, ascent.ObsTime, s.BBBHead, bbb, s.BBBTail) +
                     ExpandDates(s.SecHead, ascent.ObsTime);
  const size_t bodyStart = text.size();
  const size_t skip = ascent.SystemCode == kKioskCode ? kKioskHeaderLines : 0;
  for (size_t i = skip; i < lines.size(); ++i) {
    if (!text.empty()) text += s.CRLF;
    text += lines[i];
  }
  if (!s.OrgSep.empty() && !CutAtSeparator(text, bodyStart, s.OrgSep)) ThrowFormatError();
  return TrimRight(text) + s.Sep + s.Tail;
}

void ApplyLayerShift(TUAMessage& ascent, const tLayerSettings& s) {
  ascent.SetLayerShift(s.UTCBias / 24.0);
  ascent.SetLayerShiftOn(s.Loc);
}

}  // namespace tern
