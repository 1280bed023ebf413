// The TAE-3 route (codes 0, 2, 4, 6, 7): the processed profile table in one of
// two layouts, the wind special points, then the surface layer and the raw
// flight data that give the levels their time and position.
#include <algorithm>
#include <cmath>
#include <string>

#include "base/Error.h"
#include "sounding/corvo/CorvoMessage.h"
#include "sounding/corvo/StandardLevels.h"
#include "sounding/corvo/TextTable.h"

namespace tern {

namespace {

constexpr uint8_t kShiftQ = 1;

// Everything that differs between the tae3 and the tae03 layout.
struct TaeLayout {
  size_t indexFrom;            // 1-based first character of the station index
  const char* columnHeader;
  FixedColumn sp, h, p, t;
  int tailFirst;               // the tail runs from here, at most kTailWidth characters
  bool anyDigitShifts;         // Q = 1 for any digit at tail character 4 (else only for "0")
  FixedColumn u, dd, ff, x;    // inside the tail; shift 0 is Q
  size_t minTail;
  bool slashMissing;           // "/" in T, U, DD, FF, X means missing
  bool keepsMissingPressure;   // a level without pressure is kept unless its height is missing or below -500
  bool exactZeroDirection;     // only a direction of exactly 0 becomes 360
  const char* tropopause;      // letters of the tropopause (Cyrillic, UTF-8 here)
  const char* standard;        // letters of a standard level; nullptr: found from the pressure
};

constexpr int kTailWidth = 127;

const TaeLayout& Tae3Layout() {
  static const TaeLayout layout{30,         "H      P     T",    {1, 3},  {4, 6},  {10, 7}, {17, 6}, 23, false,
                                {1, 3, kShiftQ, kShiftQ}, {4, 4, kShiftQ}, {8, 5, kShiftQ}, {13, 5, kShiftQ},
                                4,          false,  false, false, "ТР", nullptr};
  return layout;
}

const TaeLayout& Tae03Layout() {
  static const TaeLayout layout{31,         "H       P       T", {1, 7},  {8, 6},  {14, 8}, {22, 7}, 29, true,
                                {3, 3},     {5, 5, kShiftQ}, {10, 5, kShiftQ}, {15, 7, kShiftQ},
                                5,          true,   true,  true,  "НГ", "ИП"};
  return layout;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool TUACorvoMessage::LoadTae() {
  const CorvoSystem* s = System();
  if (!s || s->route == CorvoRoute::Profile) return false;
  const bool tae3Route = s->route == CorvoRoute::Tae3;
  if (!CompanionExists(".tae3", TaeFile_)) {
    if (tae3Route) throw TernError(cp("Нет файла tae3!"));
    if (!CompanionExists(".tae03", TaeFile_)) throw TernError(cp("Нет файлов tae3/tae03!"));
  }
  LevelCount = 0;
  if (!(tae3Route ? ReadTaeTable() : ReadTae03Table())) return false;
  if (!MergeSurfaceLayer(std::string(s->groundExt + 1))) return false;
  if (LevelCount == 0) return false;

  const std::string rawName = s->rawExt + 1;
  std::string rawPath;
  if (CompanionExists(s->rawExt, rawPath)) {
    if (!ReadRawData(rawPath)) throw TernError(cp("Ошибка чтения ") + rawName + "!");
    return true;
  }
  return Ask(cp("Нет файла исходных данных ") + rawName +
                 cp("\rПродолжить формирование BUFR без привязки результатов зондирования к полетному "
                    "времени и координатам?"),
             {cp("Продолжить"), cp("Отменить")}, 1, 0) != 2;
}

bool TUACorvoMessage::ReadSpecialPoints() {
  SpeedPoints_.clear();
  DirPoints_.clear();
  std::string path;
  if (!CompanionExists(".SPoints", path)) {
    return Ask(cp("Нет файла особых точек SPoints!\rОсобые точки ветра могут быть учтены не полностью"),
               {cp("Продолжить"), cp("Отменить формирование BUFR")}, 2, 0) != 2;
  }
  const std::string inputError = cp("!Ошибка ввода SPoints");
  const TextList lines = ReadLines(path, inputError);
  size_t next = 0;
  // Blank lines between the numbers are passed over, as a free-format read does.
  auto nextLine = [&](std::string& line) {
    while (next < lines.size()) {
      line = Trim(lines[next++]);
      if (!line.empty()) return true;
    }
    return false;
  };
  auto firstToken = [](const std::string& line) { return line.substr(0, line.find_first_of(" \t")); };
  for (std::vector<double>* block : {&SpeedPoints_, &DirPoints_}) {
    std::string line;
    if (!nextLine(line)) break;  // a missing block is an empty one
    long long count = 0;
    if (!ParseWhole(firstToken(line), count)) throw TernError(inputError);
    if (count < 0) throw TernError(cp("SPoints - ошибка:") + cp("отрицательное число точек ") + std::to_string(count));
    for (long long i = 0; i < count; ++i) {
      if (!nextLine(line))
        throw TernError(cp("SPoints - ошибка:") + cp("файл кончился раньше, чем перечислены все точки"));
      const auto height = TryParseReal(firstToken(line));
      if (!height) throw TernError(inputError);
      block->push_back(*height);
    }
  }
  return true;
}

bool TUACorvoMessage::ReadTaeTable() { return ReadSpecialPoints() && ReadTaeLayout(false); }

bool TUACorvoMessage::ReadTae03Table() {
  // The special points of this layout come with the raw data (".SP").
  SpeedPoints_.clear();
  DirPoints_.clear();
  return ReadTaeLayout(true);
}

bool TUACorvoMessage::ReadTaeLayout(bool tae03) {
  const TaeLayout& lay = tae03 ? Tae03Layout() : Tae3Layout();
  const TextList lines = ReadLines(TaeFile_, cp("!Ошибка ввода ТАЭ-3!"));
  const std::string headerError = SourceFile + cp(":Ошибка заголовка!");
  const std::string indexMark = cp("СИНОПТИЧЕСКИЙ ИНДЕКС СТАНЦИИ");
  size_t i = 0;
  while (i < lines.size() && lines[i].find(indexMark) == std::string::npos) ++i;
  if (i == lines.size()) throw TernError(headerError);
  const std::string indexText = Trim(lines[i].size() >= lay.indexFrom ? lines[i].substr(lay.indexFrom - 1) : "");
  long long index = 0;
  if (!ParseWhole(indexText, index)) throw TernError("'" + indexText + cp("' не является целым числом"));
  if (index != static_cast<long long>(StationInd)) throw TernError(SourceFile + cp(":Не та станция!"));
  ++i;
  const std::string cloud = i < lines.size() ? lines[i] : std::string();
  const size_t colon = cloud.find(": ");
  CloudGroup = colon == std::string::npos ? std::string() : cloud.substr(colon + 2, 5);
  CheckCloudGroup();
  while (i < lines.size() && lines[i].find(lay.columnHeader) == std::string::npos) ++i;
  if (i == lines.size()) throw TernError(headerError);

  bool surfaceFound = false;
  int k = 0;
  size_t iS = 0, iD = 0;
  const bool specialPoints = !SpeedPoints_.empty() && !DirPoints_.empty();
  const FieldRules plain{.slashMissing = false, .emptyMissing = true};
  const FieldRules measured{.slashMissing = lay.slashMissing, .emptyMissing = true};
  const TableTexts texts{cp("ТАЭ-3 - ошибка чтения в строке:\r"), cp("ТАЭ-3 -ошибка:")};
  const std::string tropopauseLetters = cp(lay.tropopause);
  const std::string standardLetters = lay.standard ? cp(lay.standard) : std::string();

  const TableEnd end = ReadTableLines(Op(), QueryTitle(), lines, i + 1, texts, [&](const std::string& line) {
    const std::string_view sp = TakeColumn(line, lay.sp), hText = TakeColumn(line, lay.h);
    const std::string_view pText = TakeColumn(line, lay.p), tText = TakeColumn(line, lay.t);
    const std::string_view rawTail = TakeRange(line, lay.tailFirst, lay.tailFirst + kTailWidth - 1);
    const std::string shown = std::string(sp) + std::string(hText) + std::string(pText) + std::string(tText) +
                              std::string(rawTail);
    try {
      const double km = ReadField(hText, NumKind::Real, plain);
      double height = Present(km) ? km * 1000 : kMissing;
      const double pressure = ReadField(pText, NumKind::Real, plain);
      const bool noPressure = !Present(pressure) || pressure < 0;
      if (noPressure && (!lay.keepsMissingPressure || !Present(height) || height < -500)) return LineStep::Next;
      if (lay.keepsMissingPressure && pressure == 100000 && height > 500) height = 500 - height;
      if (BufrI && Present(pressure) && pressure < 100) return LineStep::End;

      const double temp = ReadField(tText, NumKind::Real, measured);
      double hum = kMissing, dir = kMissing, speed = kMissing, dep = kMissing;
      const std::string tail = TrimRight(rawTail);
      if (!tail.empty()) {
        if (tail.size() < lay.minTail) throw LineFailure{};
        const bool q = lay.anyDigitShifts ? IsDigit(tail[3]) : tail[3] == '0';
        const ColumnShifts shifts = {q ? 1 : 0, 0, 0, 0};
        hum = ReadField(Trim(TakeColumn(tail, lay.u, shifts)).substr(0, 3), NumKind::Whole, measured);
        dir = ReadField(TakeColumn(tail, lay.dd, shifts), NumKind::Whole, measured);
        speed = ReadField(TakeColumn(tail, lay.ff, shifts), NumKind::Whole, measured);
        dep = ReadField(TakeColumn(tail, lay.x, shifts), NumKind::Real, measured);
        // A digit right after the depression is a speed that ran into it.
        if (tae03 && ((tail.size() > 22 && IsDigit(tail[22])) || speed > 300)) speed = kMissing;
      }
      if (!Present(dir) || !Present(speed) || dir < 0 || speed < 0) {
        dir = speed = kMissing;
      } else if (RoundEven(speed) == 0) {
        dir = 0;
      } else if (lay.exactZeroDirection ? dir == 0 : RoundEven(dir) == 0) {
        dir = 360;
      }

      if (!Present(height)) throw LineFailure{cp("нет высоты, уровень нельзя округлить до метра")};
      const double h = RoundEven(height);
      uint32_t flags = 0;
      if (!surfaceFound) {
        const bool surface = tae03 ? !tail.empty() && temp > -99
                                   : !DirPoints_.empty() && (h == RoundEven(DirPoints_[0]) || (temp > -99 && hum > -99));
        if (surface) {
          surfaceFound = true;
          flags = kSigSurface | kSigTemp | kSigHum | kSigWind1 | kSigWind2;
          if (tae03 && (!Present(dir) || !Present(speed))) dir = speed = 0;
        }
      }
      const std::string letters = Trim(sp);
      if (letters.find('U') != std::string::npos) flags |= kSigHum;
      if (letters.find('T') != std::string::npos) flags |= kSigTemp;
      if (letters.find(tropopauseLetters) != std::string::npos) flags |= kSigTropopause;
      if (lay.standard) {
        if (letters.find(standardLetters) != std::string::npos) flags |= kSigStandard;
      } else if (MatchStandardLevel(pressure, k)) {
        flags |= kSigStandard;
      }
      if (specialPoints) {
        auto mark = [h](const std::vector<double>& points, size_t& at) {
          while (at + 1 < points.size() && h > RoundEven(points[at])) ++at;
          return RoundEven(points[at]) == h;
        };
        if (mark(DirPoints_, iD)) flags |= kSigWind2;
        if (mark(SpeedPoints_, iS)) flags |= kSigWind1;
      }
      if ((height < 3000 && std::fmod(h, 500) == 0) || (height >= 3000 && std::fmod(h, 1000) == 0))
        flags |= kSigRoundHeight;
      if (flags == 0) flags = kSigWind1 | kSigWind2;

      tUALevel& l = Levels[LevelCount];
      l.Time = static_cast<float>(kMissing);
      l.LatDisp = l.LonDisp = kMissing;
      SetTableValues(l, {height, pressure, temp, hum, dep, dir, speed});
      l.SigFlags = flags;
      if (++LevelCount == kMaxLevels) throw LineFailure{cp("Слишком много уровней...?!")};
      return LineStep::Next;
    } catch (FieldFailure& f) {
      f.shown = shown;
      throw;
    }
  });
  return end != TableEnd::Cancelled;
}

}  // namespace tern
