// The profile route (codes 1, 3, 5): one fixed-column line per level with
// time, slant range, height, pressure, angles, wind, temperature, humidity,
// dew-point depression and significance letters.
#include <cmath>
#include <string>

#include "base/Error.h"
#include "base/Files.h"
#include "sounding/corvo/CorvoMessage.h"
#include "sounding/corvo/StandardLevels.h"
#include "sounding/corvo/TextTable.h"

namespace tern {

namespace {

// Shifts of a profile line: L (extra characters of the time column), S (wind
// of 100 m/s or more), W (humidity of 100 written one character further right).
enum { kShiftL = 1, kShiftS = 2, kShiftW = 4 };

enum ProfColumn { kTime, kRange, kHeight, kPressure, kElevation, kAzimuth, kDir, kSpeed, kTemp, kHum, kDep, kCount };

struct ProfColumnDef {
  FixedColumn column;
  NumKind kind;
};

constexpr ProfColumnDef kColumns[kCount] = {
    {{1, 4, 0, kShiftL}, NumKind::Real},
    {{5, 7, kShiftL}, NumKind::Whole},
    {{12, 6, kShiftL}, NumKind::Whole},
    {{18, 8, kShiftL}, NumKind::Real},
    {{26, 7, kShiftL}, NumKind::Real},
    {{33, 7, kShiftL}, NumKind::Real},
    {{40, 7, kShiftL}, NumKind::Real},
    {{47, 6, kShiftL}, NumKind::Real},
    {{53, 7, kShiftL | kShiftS}, NumKind::Real},
    {{60, 3, kShiftL | kShiftS | kShiftW}, NumKind::Real},
    {{63, 6, kShiftL | kShiftS | kShiftW}, NumKind::Real},
};
// The letters start after this many characters (plus the shifts).
constexpr int kLettersAfter = 68;
// Position of the character that tells a humidity of 100 (plus L and S).
constexpr int kWidePosition = 63;

// Significance letters: the confirmed form, the form that withdraws the plain
// letter, the plain letter, and the bit. Case matters.
struct LetterRule {
  const char* confirmed;
  const char* withdrawn;
  const char* plain;
  uint32_t bit;
};
constexpr LetterRule kLettersBeforeTropopause[] = {
    {"UI", "uR", "U", kSigHum},
    {"DI", "dR", "D", kSigWind1},
    {"VI", "vR", "V", kSigWind2},
    {"M", nullptr, nullptr, kSigMaxWind},
};
constexpr LetterRule kTempLetters = {"TI", "tR", "T", kSigTemp};

bool Has(const std::string& s, const char* what) { return what && s.find(what) != std::string::npos; }

uint32_t ApplyLetter(const std::string& rest, const LetterRule& r) {
  if (Has(rest, r.confirmed)) return r.bit;
  if (r.plain && !Has(rest, r.withdrawn) && Has(rest, r.plain)) return r.bit;
  return 0;
}

}  // namespace

uint32_t ProfLetterFlags(std::string rest) {
  uint32_t flags = 0;
  for (const LetterRule& r : kLettersBeforeTropopause) flags |= ApplyLetter(rest, r);
  // "TR" is the tropopause; its letters must not count as a plain "T" as well.
  const size_t tr = rest.find("TR");
  if (tr != std::string::npos) {
    flags |= kSigTropopause;
    rest.erase(tr, 2);
  }
  return flags | ApplyLetter(rest, kTempLetters);
}

bool TUACorvoMessage::LoadProf() {
  std::string path;
  if (!CompanionExists(".prof.1", path) && !CompanionExists(".prof", path)) throw TernError(cp("Нет файла prof!"));
  const TextList lines = ReadLines(path, cp("!Ошибка ввода PROF!"));
  auto header = [&](size_t n) { return n <= lines.size() ? lines[n - 1] : std::string(); };

  std::string station = header(1);
  const size_t colon = station.find(": ");
  station.erase(0, colon == std::string::npos ? 0 : colon + 2);
  long long index = 0;
  if (!ParseWhole(Trim(station), index))
    throw TernError("'" + Trim(station) + cp("' не является целым числом"));
  if (index != static_cast<long long>(StationInd)) throw TernError(cp("Станция?"));
  const std::string cloud = header(5);
  const size_t cloudColon = cloud.find(": ");
  CloudGroup = cloudColon == std::string::npos ? std::string() : cloud.substr(cloudColon + 2, 5);
  CheckCloudGroup();
  if (header(10).find("SP") == std::string::npos) return false;

  LevelCount = 0;
  int k = 0;
  int layout = 0;
  bool detecting = true;
  const FieldRules rules{.slashMissing = true, .emptyMissing = false, .trimLeftOnly = true};
  const TableTexts texts{cp("PROF - ошибка чтения:\r"), cp("PROF -ошибка:")};

  const TableEnd end = ReadTableLines(Op(), QueryTitle(), lines, 10, texts, [&](const std::string& line) {
    if (detecting) {
      if (line.size() >= 3 && line[2] == '.') layout = 0;
      else if (line.size() >= 4 && line[3] == '.') layout = 1;
      else if (line.size() >= 5 && line[4] == '.') layout = 2;
      else detecting = false;
    }
    ColumnShifts shifts = {layout, 0, 0, 0};
    auto field = [&](ProfColumn c) { return ReadField(TakeColumn(line, kColumns[c].column, shifts), kColumns[c].kind, rules); };

    const double time = field(kTime);
    const double range = field(kRange);
    const double height = field(kHeight);
    const double pressure = field(kPressure);
    if (BufrI && Present(pressure) && pressure < 100) return LineStep::End;
    const double elevation = field(kElevation);
    const double azimuth = field(kAzimuth);
    double latDisp = kMissing, lonDisp = kMissing;
    if (Present(range) && Present(elevation) && Present(azimuth)) PositionOf(range, elevation, azimuth, latDisp, lonDisp);

    double dir = field(kDir), speed = field(kSpeed);
    if (!Present(dir) || !Present(speed) || dir < 0 || speed < 0) {
      dir = speed = kMissing;
    } else if (speed >= 100) {
      shifts[1] = 1;
    } else if (RoundEven(speed * 10) == 0) {
      dir = 0;  // calm
    } else if (RoundEven(dir) == 0) {
      dir = 360;
    }
    const double temp = field(kTemp);
    const size_t widePos = static_cast<size_t>(kWidePosition + layout + shifts[1]);
    shifts[2] = line.size() >= widePos && line[widePos - 1] == '0' ? 1 : 0;
    const double hum = field(kHum);
    double dep = field(kDep);
    // A zero depression in very cold dry air is the sensor's floor, not saturation.
    if (dep < 0.1 && hum < 90 && temp < -40) dep = kMissing;

    uint32_t flags = time == 0 ? uint32_t{kSigSurface} : 0u;
    const size_t lettersAt = static_cast<size_t>(kLettersAfter + layout + shifts[1] + shifts[2]);
    if (line.size() > lettersAt) flags |= ProfLetterFlags(line.substr(lettersAt));
    if (!Present(pressure))
      throw LineFailure{cp("нет давления, уровень нельзя сравнить со стандартными")};
    if (MatchStandardLevel(pressure, k)) flags |= kSigStandard;

    tUALevel& l = Levels[LevelCount];
    l.Time = static_cast<float>(time);
    SetTableValues(l, {height, pressure, temp, hum, dep, dir, speed});
    l.LatDisp = latDisp;
    l.LonDisp = lonDisp;
    l.SigFlags = flags;
    if (++LevelCount == kMaxLevels) {
      Op().Message(cp("Слишком много уровней...\rвыпуск будет обрезан!"));
      return LineStep::End;
    }
    return LineStep::Next;
  });
  if (end == TableEnd::Cancelled) return false;
  return MergeSurfaceLayer("GROUND");
}

}  // namespace tern
