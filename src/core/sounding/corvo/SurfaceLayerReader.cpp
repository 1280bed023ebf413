// The surface-layer table (".GROUND" / ".GLAYER"): levels of the lowest
// kilometres, merged into the profile by pressure.
#include <cstring>

#include "base/Error.h"
#include "sounding/corvo/CorvoMessage.h"
#include "sounding/corvo/TextTable.h"

namespace tern {

namespace {

// Shifts: B (a pressure of six characters), V (a humidity of 100).
enum { kShiftB = 1, kShiftV = 2 };
enum GroundColumn { kHeight, kPressure, kSpeed, kDir, kTemp, kHum, kDep, kCount };
constexpr FixedColumn kColumns[kCount] = {
    {1, 3}, {5, 5, 0, kShiftB}, {11, 2, kShiftB}, {14, 3, kShiftB}, {18, 5, kShiftB}, {24, 3, kShiftB}, {27, 4, kShiftB | kShiftV},
};
// A "/" of the line in these characters (plus B) marks the wind as missing.
constexpr int kWindSlashFirst = 11, kWindSlashLast = 16;
constexpr const char* kNoTemperature = "///./";

}  // namespace

bool TUACorvoMessage::ReadSurfaceLayer(const std::string& path) {
  const TextList lines = ReadLines(path, cp("!Ошибка ввода ПРИЗЕМНЫЙ!"));
  const std::string mark = cp("ПРИЗЕМНЫЙ СЛОЙ");
  size_t first = 0;
  while (first < lines.size() && lines[first].find(mark) == std::string::npos) ++first;
  if (first == lines.size()) throw TernError(path + cp(":Ошибка заголовка!"));

  int j = 0;
  const FieldRules rules{.slashMissing = false, .emptyMissing = true};
  const TableTexts texts{cp("ПРИЗЕМНЫЙ СЛОЙ - ошибка чтения в строке:\r"), cp("ПРИЗЕМНЫЙ -ошибка:")};
  const TableEnd end = ReadTableLines(Op(), QueryTitle(), lines, first + 1, texts, [&](const std::string& line) {
    if (Trim(line).empty()) return LineStep::Next;
    ColumnShifts shifts = {line.size() > 30 && line[9] != ' ' ? 1 : 0, 0, 0, 0};
    const int b = shifts[0];
    const size_t slash = line.find('/');
    const bool noWind = slash != std::string::npos && static_cast<int>(slash) + 1 >= kWindSlashFirst + b &&
                        static_cast<int>(slash) + 1 <= kWindSlashLast + b;
    const bool noTemp = Trim(TakeColumn(line, kColumns[kTemp], shifts)) == kNoTemperature;
    if (noTemp && noWind) return LineStep::Next;
    auto field = [&](GroundColumn c, NumKind kind) { return ReadField(TakeColumn(line, kColumns[c], shifts), kind, rules); };

    const double p = field(kPressure, NumKind::Real);
    // A line at the pressure of a profile level (to 0.1 hPa) repeats that
    // level, whether the search stops at it or steps over it.
    const double p10 = RoundEven(p * 10);
    bool repeated = false;
    while (j != LevelCount && p <= Levels[j].Pressure) repeated |= RoundEven(Levels[j++].Pressure * 10.0) == p10;
    if (j == LevelCount) return LineStep::End;
    if (repeated || RoundEven(Levels[j].Pressure * 10.0) == p10) return LineStep::Next;

    const double h = field(kHeight, NumKind::Whole);
    const double height = Present(h) ? RoundEven(h * 10 + StationBarometerHeight) : kMissing;
    double speed = kMissing, dir = kMissing;
    if (!noWind) {
      speed = field(kSpeed, NumKind::Whole);
      dir = field(kDir, NumKind::Whole);
      if (!Present(speed) || !Present(dir) || speed < 0 || dir < 0) {
        speed = dir = kMissing;
      } else if (RoundEven(speed) == 0) {
        dir = 0;
      } else if (dir == 0) {
        dir = 360;
      }
    }
    const double temp = noTemp ? kMissing : field(kTemp, NumKind::Real);
    shifts[1] = Trim(TakeColumn(line, kColumns[kHum], shifts)) == "100" ? 1 : 0;
    const std::string_view humText = TakeColumn(line, kColumns[kHum], shifts);
    const std::string_view depText = TakeColumn(line, kColumns[kDep], shifts);
    double hum = kMissing, dep = kMissing;
    if (humText.find('/') == std::string_view::npos && depText.find('/') == std::string_view::npos) {
      hum = ReadField(humText, NumKind::Real, rules);
      dep = ReadField(depText, NumKind::Real, rules);
    }
    if (LevelCount == kMaxLevels) return LineStep::End;

    std::memmove(static_cast<void*>(&Levels[j + 1]), &Levels[j], sizeof(tUALevel) * (LevelCount - j));
    ++LevelCount;
    // Rejections and position stay those of the level that now follows.
    tUALevel& l = Levels[j];
    l.Time = static_cast<float>(kMissing);
    SetTableValues(l, {height, p, temp, hum, dep, dir, speed});
    l.SigFlags = kSigRoundHeight;
    return LineStep::Next;
  });
  return end != TableEnd::Cancelled;
}

}  // namespace tern
