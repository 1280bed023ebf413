// Raw flight data (".RAW" / ".RAWDATA"): ties the table's levels to the time
// since launch and the position, and (".SP") marks the wind special points.
#include <cmath>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/Error.h"
#include "base/Files.h"
#include "sounding/corvo/CorvoMessage.h"
#include "sounding/corvo/TextTable.h"

namespace tern {

namespace {

struct RawRecord {
  double time, height, range, elevation, azimuth, temp, hum;
  int level = -1;  // the last level whose height this record matched
};

// Widths of the fields that follow the time directly; the rest of the line is the humidity.
constexpr int kRawWidths[] = {6, 7, 7, 7, 6};

double RealOrMissing(std::string_view text) { return TryParseReal(text).value_or(kMissing); }

bool IsBlankChar(char c) { return c == ' ' || c == '\t'; }

// Records after the header; the time is free-format, so blank lines and blanks before it are passed over.
std::vector<RawRecord> ParseRecords(const TextList& lines, size_t from) {
  std::vector<RawRecord> records;
  records.reserve(lines.size() - from);
  for (size_t i = from; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    size_t at = 0;
    while (at < line.size() && IsBlankChar(line[at])) ++at;
    if (at == line.size()) continue;
    size_t end = at;
    while (end < line.size() && !IsBlankChar(line[end])) ++end;
    const auto time = TryParseReal(std::string_view(line).substr(at, end - at));
    if (!time) throw TernError(cp("!Ошибка ввода RAW(DATA)!"));
    double fields[5];
    int first = static_cast<int>(end) + 1;
    for (int f = 0; f < 5; ++f) {
      fields[f] = RealOrMissing(TakeRange(line, first, first + kRawWidths[f] - 1));
      first += kRawWidths[f];
    }
    const double hum = RealOrMissing(TakeRange(line, first, static_cast<int>(line.size())));
    records.push_back({*time, fields[0], fields[1], fields[2], fields[3], fields[4], hum});
  }
  return records;
}

}  // namespace

bool TUACorvoMessage::ReadRawData(const std::string& path) {
  const CorvoSystem* sys = System();
  if (!sys) return false;
  const double s = sys->rawHeightStep;
  const TextList lines = ReadLines(path, cp("!Ошибка ввода RAW(DATA)!"));
  const std::string timeMark = cp("ВРЕМ");
  size_t header = 0;
  while (header < lines.size() && lines[header].find('U') == std::string::npos &&
         lines[header].find(timeMark) == std::string::npos)
    ++header;
  if (header == lines.size()) return false;
  std::vector<RawRecord> records = ParseRecords(lines, header + 1);

  // Both lists run upwards; the search goes down from the top and never
  // returns above the record of the last match.
  int start = static_cast<int>(records.size());
  for (int i = LevelCount - 1; i >= 1; --i) {
    tUALevel& level = Levels[i];
    if (!Present(level.Height)) continue;
    const double levelHeight = RoundEven(double(level.Height) * s);
    for (int j = start - 1; j >= 0; --j) {
      RawRecord& r = records[j];
      if (!Present(r.height) || r.time < 0 || RoundEven(r.height * s) != levelHeight) continue;
      r.level = i;
      const bool sameTemp = Present(level.Temp) && Present(r.temp) &&
                            RoundEven(double(level.Temp) * 10) == RoundEven(r.temp * 10);
      const bool closeHum = !Present(level.Humidity) || !Present(r.hum) || std::abs(level.Humidity - r.hum) <= 1;
      if (!sameTemp || !closeHum) continue;
      start = j;
      level.Time = static_cast<float>(r.time);
      if (Present(r.range) && Present(r.elevation) && Present(r.azimuth))
        PositionOf(r.range, r.elevation, r.azimuth, level.LatDisp, level.LonDisp);
      if (sys->saturatedDewPoint && !Present(level.DewPoint) && r.temp > -40 && r.hum > 99.999)
        level.DewPoint = level.Temp;
      break;
    }
  }
  if (sys->route != CorvoRoute::Tae03) return true;

  std::string spPath = ChangeFileExt(path, ".SP");
  if (const auto found = FindCompanionFile(NameWithoutExt(path), ".SP")) spPath = *found;
  if (!FileExists(spPath))
    return Ask(cp("Нет файла особых точек SP!\rОсобые точки ветра могут быть учтены не полностью"),
               {cp("Продолжить"), cp("Отменить формирование BUFR")}, 2, 0) == 1;
  // Rounded time -> levels of its records. Times beyond any flight cannot be keys.
  auto key = [](double t) { return std::abs(t) < 1e12 ? static_cast<long long>(RoundEven(t)) : -1; };
  std::unordered_map<long long, std::vector<int>> levelsAt;
  for (const RawRecord& r : records)
    if (r.level >= 0 && key(r.time) >= 0) levelsAt[key(r.time)].push_back(r.level);
  for (const std::string& line : ReadLines(spPath, cp("!Ошибка ввода SP!"))) {
    const std::string t = TrimLeft(line);
    if (t.empty()) continue;
    const size_t end = t.find_first_of(" \t");
    const std::string number = t.substr(0, end);
    const auto time = TryParseReal(number);
    if (!time) throw TernError("'" + number + cp("' не является числом"));
    const std::string rest = end == std::string::npos ? std::string() : t.substr(end);
    if (*time <= 0 || rest.find_first_of("DV") == std::string::npos) continue;
    const auto it = levelsAt.find(key(*time));
    if (it == levelsAt.end()) continue;
    for (int i : it->second) Levels[i].SigFlags |= kSigWind1 | kSigWind2;
  }
  return true;
}

}  // namespace tern
