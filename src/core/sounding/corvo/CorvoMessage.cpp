#include "sounding/corvo/CorvoMessage.h"

#include <dirent.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "base/Error.h"
#include "base/Files.h"
#include "config/HeadingTemplate.h"
#include "config/MyIniFile.h"
#include "sounding/corvo/TextTable.h"

namespace tern {

TUACorvoMessage::TUACorvoMessage() { SystemSet = 0x00FF; }

// --- discovery ---------------------------------------------------------------

std::string TUACorvoMessage::DayPrefix(TDateTime date) const {
  const CorvoSystem* s = System();
  return FormatDateTime(s && s->compactNames ? "yyyymmdd-" : "d.m.yyyy-", date);
}

std::string TUACorvoMessage::GetOpenFilter(TDateTime date) {
  return cp("Последние выпуски|") + DayPrefix(date - 1) + "*.info;" + DayPrefix(date) + cp("*.info|Все выпуски|*.info");
}

std::string TUACorvoMessage::GetAscentFileName(TDateTime dt) {
  const CorvoSystem* s = System();
  return FormatDateTime(s && s->compactNames ? "yyyymmdd-hhnn" : "d.m.yyyy-h.n", dt) + ".info";
}

namespace {

bool FolderHasAscentOf(const std::string& folder, const std::string& prefix) {
  DIR* dir = ::opendir(NativePath(folder).c_str());
  if (!dir) return false;
  bool found = false;
  while (dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    if (name.size() >= prefix.size() + 5 && name.compare(0, prefix.size(), prefix) == 0 &&
        SameText(name.substr(name.size() - 5), ".info") && FileExists(folder + name)) {
      found = true;
      break;
    }
  }
  ::closedir(dir);
  return found;
}

// The folder one level up, with a trailing separator; empty at the top.
std::string ParentFolder(const std::string& folder) {
  std::string p = folder;
  while (!p.empty() && IsPathSeparator(p.back())) p.pop_back();
  return ExtractFilePath(p);
}

}  // namespace

void TUACorvoMessage::FindSourceFolder(const std::string& settingsFile, bool& found, std::string& folder,
                                       TDateTime date) {
  found = false;
  folder.clear();
  const std::string templ = TMyIniFile(settingsFile).ReadString("OPTIONS", "Src", DefaultSourceTemplate(SystemCode));
  std::string candidate = IncludeTrailingSeparator(ExpandDates(templ, date));
  if (FolderExists(candidate)) {
    folder = candidate;
  } else {
    // Early in a month the ascents may still lie in the previous month's folder.
    candidate = ExpandDates(IncludeTrailingSeparator(templ), date - 5);
    for (int up = 0; up < 3 && !candidate.empty(); ++up, candidate = ParentFolder(candidate)) {
      if (FolderExists(candidate)) {
        folder = IncludeTrailingSeparator(candidate);
        break;
      }
    }
  }
  if (folder.empty()) return;
  found = FolderHasAscentOf(folder, DayPrefix(date)) || FolderHasAscentOf(folder, DayPrefix(date - 1));
}

// --- opening an ascent ----------------------------------------------------------

namespace {

int NamePiece(const std::string& text) {
  bool digits = !text.empty() && text.size() <= 5;
  for (char c : text) digits = digits && c >= '0' && c <= '9';
  const long v = digits ? std::stol(text) : -1;
  if (v < 0 || v > 65535) throw TernError("'" + text + cp("' не является целым числом"));
  return static_cast<int>(v);
}

std::string Mid(const std::string& s, size_t first1, size_t count) {
  return first1 - 1 < s.size() ? s.substr(first1 - 1, count) : std::string();
}

}  // namespace

TDateTime TUACorvoMessage::ParseAscentTime(const std::string& path, bool& compact) {
  compact = false;
  const std::string n = NameWithoutExt(ExtractFileName(path));
  const size_t dash = n.find('-');
  if (dash == std::string::npos) return 0;
  const std::string datePart = n.substr(0, dash);
  int year, month, day, hour, minute;
  if (datePart.find('.') == std::string::npos) {
    compact = true;
    year = NamePiece(Mid(datePart, 1, 4));
    month = NamePiece(Mid(datePart, 5, 2));
    day = NamePiece(Mid(datePart, 7, 2));
    hour = NamePiece(Mid(n, 10, 2));
    minute = NamePiece(Mid(n, 12, 2));
  } else {
    const size_t firstDot = datePart.find('.'), lastDot = datePart.rfind('.');
    day = NamePiece(datePart.substr(0, firstDot));
    month = NamePiece(firstDot < lastDot ? datePart.substr(firstDot + 1, lastDot - firstDot - 1) : std::string());
    year = NamePiece(datePart.substr(lastDot + 1));
    const std::string timePart = n.substr(dash + 1);
    const size_t dot = timePart.find('.');
    hour = NamePiece(timePart.substr(0, dot));
    minute = NamePiece(dot == std::string::npos ? std::string() : timePart.substr(dot + 1));
  }
  const auto d = TryEncodeDate(year, month, day);
  const auto t = TryEncodeTime(hour, minute, 0);
  if (!d || !t) return 0;
  return *d + *t;
}

uint8_t TUACorvoMessage::ReadRadiosondeType(const std::string& path) {
  const auto data = ReadWholeFile(path);
  if (!data) return 255;
  static const std::string key = "RadioZondType:";
  int code = 255;
  for (const std::string& line : SplitLines(*data)) {
    if (line.compare(0, key.size(), key) != 0) continue;
    const std::string rest = Trim(std::string_view(line).substr(key.size()));
    size_t i = 0;
    const bool neg = i < rest.size() && (rest[i] == '-' || rest[i] == '+') && rest[i++] == '-';
    unsigned low = 0;  // only the low 8 bits are kept, so long digit runs cannot overflow
    for (; i < rest.size() && rest[i] >= '0' && rest[i] <= '9'; ++i) low = (low * 10 + (rest[i] - '0')) & 0xFF;
    code = static_cast<int>((neg ? 0x100 - low : low) & 0xFF);
  }
  return static_cast<uint8_t>(code);
}

bool TUACorvoMessage::OpenAscent(const std::string& fileName, uint8_t& rsType) {
  rsType = 255;
  if (!SameText(ExtractFileExt(fileName), ".info")) return false;
  SourceFile = fileName;
  SourceName = NameWithoutExt(ExtractFileName(fileName));
  bool compact = false;
  LaunchTime = ParseAscentTime(SourceFile, compact);
  const CorvoSystem* s = System();
  if (LaunchTime == 0 || (compact && !(s && s->compactNames)))
    throw TernError(SourceFile + cp(" не могу определить срок!!!"));
  // The term is the launch rounded to the hour; the second added keeps a
  // launch at half past from falling on the even hour below.
  ObsTime = std::nearbyint(LaunchTime * 24 + 1.0 / 3600) / 24;
  LayerTime = LayerShiftOn ? ObsTime + LayerShift : ObsTime;
  if (s && s->readsSondeType) rsType = ReadRadiosondeType(fileName);
  return true;
}

// --- companion files --------------------------------------------------------------

std::string TUACorvoMessage::Companion(const char* ext) const {
  const std::string base = NameWithoutExt(SourceFile);
  return FindCompanionFile(base, ext).value_or(base + ext);
}

bool TUACorvoMessage::CompanionExists(const char* ext, std::string& path) const {
  path = Companion(ext);
  return FileExists(path);
}

bool TUACorvoMessage::GetTelegramFile(int, std::string& path) {
  if (CompanionExists(".KN4", path)) return true;
  const CorvoSystem* s = System();
  if (!s || !s->hasKN04) return false;
  return CompanionExists(".KN04", path);
}

bool TUACorvoMessage::GetLayerFile(std::string& path) {
  const CorvoSystem* s = System();
  return CompanionExists(s ? s->layerExt : ".LAYERS", path);
}

bool TUACorvoMessage::GetGroundFile(std::string& path) {
  const CorvoSystem* s = System();
  return CompanionExists(s ? s->groundExt : ".GROUND", path);
}

TextList TUACorvoMessage::ReadLines(const std::string& path, const std::string& inputError) const {
  const auto data = ReadWholeFile(path);
  if (!data) throw TernError(inputError);
  return SplitLines(*data);
}

// --- reading -----------------------------------------------------------------------

int TUACorvoMessage::Ask(const std::string& text, std::vector<std::string> buttons, int defaultButton,
                         int escButton) const {
  Question q;
  q.title = QueryTitle();
  q.text = text;
  q.buttons = std::move(buttons);
  q.icon = BoxIcon::Question;
  q.defaultButton = defaultButton;
  q.escButton = escButton;
  return Op().Ask(q);
}

bool TUACorvoMessage::LoadData() {
  ShearCount = 0;
  const CorvoSystem* s = System();
  if (!s) return false;
  return s->route == CorvoRoute::Profile ? LoadProf() : LoadTae();
}

bool TUACorvoMessage::MergeSurfaceLayer(const std::string& name) {
  std::string path;
  if (CompanionExists(("." + name).c_str(), path)) {
    if (!ReadSurfaceLayer(path)) throw TernError(cp("Ошибка чтения ") + name + "!");
    return true;
  }
  return Ask(cp("Нет файла ПРИЗЕМНЫЙ СЛОЙ ") + name +
                 cp("!\rПродолжить формирование BUFR без данных ПРИЗЕМНЫЙ СЛОЙ?"),
             {cp("Продолжить"), cp("Отменить")}, 1, 0) != 2;
}

void TUACorvoMessage::PositionOf(double slantRange, double elevation, double azimuth, double& latDisp,
                                 double& lonDisp) const {
  constexpr double kRad = std::numbers::pi / 180.0;
  constexpr double kEarthRadiusKm = 6371.0;
  const double distance = slantRange / 1000.0 * std::cos(elevation * kRad);
  const double delta = distance / kEarthRadiusKm;
  const double phi1 = StationLat * kRad, theta = azimuth * kRad;
  // Clamped: rounding must not push an arcsine argument past 1.
  auto asinClamped = [](double x) { return std::asin(std::clamp(x, -1.0, 1.0)); };
  const double phi2 = asinClamped(std::sin(phi1) * std::cos(delta) + std::cos(phi1) * std::sin(delta) * std::cos(theta));
  double lon2 = StationLon;
  if (std::cos(phi2) != 0) {
    lon2 = StationLon + asinClamped(std::sin(theta) * std::sin(delta) / std::cos(phi2)) / kRad;
    if (lon2 > 180) lon2 -= 360;
    if (lon2 < -180) lon2 += 360;
  }
  latDisp = phi2 / kRad - StationLat;
  lonDisp = lon2 - StationLon;
}

}  // namespace tern
