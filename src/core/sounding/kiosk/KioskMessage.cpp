#include "sounding/kiosk/KioskMessage.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <optional>

#include "base/Error.h"
#include "base/Files.h"
#include "config/MyIniFile.h"
#include "sounding/kiosk/KioskCard.h"
#include "sounding/kiosk/StandardLevels.h"

namespace tern {
namespace {

using namespace kiosk;

constexpr const char* kWindowsDefaultBase = "C:\\Kiosk\\DATA\\";
constexpr double kRad = std::numbers::pi / 180.0;
constexpr double kEarthRadiusKm = 6371.0;

// A folder setting: the Windows default stands for the folder in the home.
std::string FolderSetting(const std::string& value) {
  const std::string path = NativePath(value);
  if (SameText(path, NativePath(kWindowsDefaultBase))) return DefaultKioskBase();
  return IncludeTrailingSeparator(path);
}

// The nominal observation time of a card name yymmddhh.
std::optional<TDateTime> ObsTimeOfName(const std::string& name) {
  if (name.size() != 8 || !std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  const int yy = std::stoi(name.substr(0, 2)), mm = std::stoi(name.substr(2, 2));
  const int dd = std::stoi(name.substr(4, 2)), hh = std::stoi(name.substr(6, 2));
  const auto date = TryEncodeDate(2000 + yy, mm, dd);
  const auto time = TryEncodeTime(hh, 0, 0);
  if (!date || !time) return std::nullopt;
  return *date + *time;
}

// True when the folder holds a card whose name starts with the given day.
bool HasCardsOfDay(const std::string& folder, const std::string& yymmdd) {
  std::error_code ec;
  std::filesystem::directory_iterator it(NativePath(folder), ec);
  if (ec) return false;
  for (const auto& entry : it) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(yymmdd) && SameText(ExtractFileExt(name), ".stg") && entry.is_regular_file(ec)) return true;
  }
  return false;
}

// Significance bits of the level flags of a record.
struct SigOfFlag {
  uint16_t flag;
  uint32_t sig;
};
constexpr SigOfFlag kSigOfFlags[] = {
    {kEdtSurface, kSigSurface},
    {kEdtStandard, kSigStandard},
    {kEdtTropopause, kSigTropopause},
    {kEdtMaxWind, kSigMaxWind | kSigWind1 | kSigWind2},
    {kEdtSigTempHum, kSigTemp | kSigHum},
    {kEdtSigWind, kSigWind1 | kSigWind2},
};

float AsLevelValue(double v) { return Present(v) ? static_cast<float>(v) : static_cast<float>(kMissing); }

// The launch time the card records: its date and the hour with fractions.
std::optional<TDateTime> LaunchTimeOfCard(const tKioskCard& card) {
  const auto date = TryEncodeDate(card.Year, card.Month, card.Day);
  if (!date || !std::isfinite(card.LaunchHour) || card.LaunchHour < 0 || card.LaunchHour > 24) return std::nullopt;
  return *date + card.LaunchHour / 24.0;
}

}  // namespace

std::string DefaultKioskBase() { return HomeFolder() + "Kiosk/DATA/"; }

TuaKioskMessage::TuaKioskMessage() : KioskBase(DefaultKioskBase()), TlgFolder(KioskBase) { SystemSet = 1u << 8; }

std::string TuaKioskMessage::GetOpenFilter(TDateTime date) {
  return cp("Последние выпуски|") + FormatDateTime("yymmdd", date - 1) + "*.stg;" + FormatDateTime("yymmdd", date) +
         "*.stg" + cp("|Все выпуски|*.stg");
}

std::string TuaKioskMessage::GetAscentFileName(TDateTime dt) { return FormatDateTime("yymmddhh", dt) + ".stg"; }

void TuaKioskMessage::FindSourceFolder(const std::string& settingsFile, bool& found, std::string& folder,
                                       TDateTime date) {
  const TMyIniFile ini(settingsFile);
  KioskBase = FolderSetting(ini.ReadString("OPTIONS", "Src", kWindowsDefaultBase));
  TlgFolder = FolderSetting(ini.ReadString("Kiosk", "TLGPath", KioskBase));
  TxtExt = ini.ReadBool("Kiosk", "TXTExt", false);

  const std::string raw = KioskBase + "RAW/";
  std::string monthFolder = raw + FormatDateTime("yymm", date) + "/";
  if (FolderExists(monthFolder)) {
    folder = monthFolder;
  } else {
    // Early in a month the last ascents may still be in the previous month's folder.
    monthFolder = raw + FormatDateTime("yymm", date - 5) + "/";
    folder = FolderExists(monthFolder) ? monthFolder : raw;
  }
  found = HasCardsOfDay(monthFolder, FormatDateTime("yymmdd", date)) ||
          HasCardsOfDay(monthFolder, FormatDateTime("yymmdd", date - 1));
}

bool TuaKioskMessage::OpenAscent(const std::string& fileName, uint8_t& rsType) {
  rsType = 255;
  if (!SameText(ExtractFileExt(fileName), ".stg")) return false;
  StgFile = fileName;
  // A card that fails below must not be loaded with the previous ascent's profile.
  EdtFile.clear();
  const std::string name = NameWithoutExt(ExtractFileName(fileName));
  const auto obs = ObsTimeOfName(name);
  if (!obs) throw TernError(ExtractFileName(fileName) + cp(" не могу определить срок!!!"));
  ObsTime = *obs;

  const std::string edtBase = KioskBase + "RESULT/" + name.substr(0, 4) + "/" + name;
  const auto edt = FindCompanionFile(edtBase, ".EDT");
  if (!edt) throw TernError(edtBase + ".EDT" + cp(" не могу найти EDT!!!"));
  EdtFile = *edt;
  SourceFile = EdtFile;
  SourceName = NameWithoutExt(ExtractFileName(EdtFile));
  LayerTime = ObsTime + (LayerShiftOn ? LayerShift : 0.0);

  const tKioskCard card = ReadCardFile(StgFile);
  // Every name given to the ascent's messages carries the launch time, from the
  // first one on; a card without a usable date keeps the term until LoadData
  // refuses it.
  LaunchTime = LaunchTimeOfCard(card).value_or(ObsTime);
  rsType = RadiosondeTypeOfCard(card.Type);
  return true;
}

bool TuaKioskMessage::LoadData() {
  const tKioskCard card = ReadCardFile(StgFile);
  CloudGroup = card.CloudGroup;
  CheckCloudGroup();
  const auto launch = LaunchTimeOfCard(card);
  if (!launch) throw TernError(ExtractFileName(StgFile) + cp(" неверная дата выпуска"));
  LaunchTime = *launch;
  if (card.StationIndex != StationInd) throw TernError(cp("Станция?"));

  LevelCount = 0;
  tKioskProfile profile = ReadEdtFile(EdtFile);
  CompleteStandardLevels(profile, BufrI);

  size_t take = profile.Records.size();
  if (BufrI && profile.Index100 >= 0) take = std::min(take, static_cast<size_t>(profile.Index100) + 1);
  take = std::min(take, static_cast<size_t>(kMaxLevels));
  for (size_t i = 0; i < take; ++i)
    FillLevel(static_cast<int>(i), profile.Records[i], static_cast<int>(i) <= profile.LastWind);
  LevelCount = static_cast<uint16_t>(take);
  return true;
}

void TuaKioskMessage::FillLevel(int i, const tKioskRecord& r, bool withWind) {
  tUALevel& l = Levels[i];
  l = tUALevel{};
  const double time = r[kTime];
  l.Time = Present(time) && time >= 0 ? static_cast<float>(time) : static_cast<float>(kMissing);
  for (const SigOfFlag& m : kSigOfFlags)
    if (r.Flags & m.flag) l.SigFlags |= m.sig;
  l.Pressure = AsLevelValue(r[kPressure]);
  l.Height = AsLevelValue(r[kHeight]);
  l.Temp = AsLevelValue(r[kTemp]);

  l.Humidity = l.DewPoint = static_cast<float>(kMissing);
  if (Present(r[kHumidity]) && Present(r[kTemp])) {
    const double dew = DewPointOf(r[kTemp], r[kHumidity]);
    if (std::isfinite(dew) && dew > -99) {
      l.Humidity = static_cast<float>(r[kHumidity]);
      l.DewPoint = static_cast<float>(dew);
    }
  }

  l.WindDir = l.WindSpeed = static_cast<float>(kMissing);
  if (withWind && Present(r[kWindDir]) && Present(r[kWindSpeed])) {
    l.WindDir = static_cast<float>(r[kWindDir]);
    l.WindSpeed = static_cast<float>(r[kWindSpeed]);
  }

  l.LatDisp = l.LonDisp = kMissing;
  if (Present(time) && Present(r[kX]) && Present(r[kY])) {
    // Great-circle destination from the station on a spherical earth.
    const double delta = std::hypot(r[kX], r[kY]) / 1000.0 / kEarthRadiusKm;
    const double azimuth = std::atan2(r[kY], r[kX]);
    const double lat1 = StationLat * kRad, lon1 = StationLon * kRad;
    const double lat2 =
        std::asin(std::sin(lat1) * std::cos(delta) + std::cos(lat1) * std::sin(delta) * std::cos(azimuth));
    const double lon2 = lon1 + std::atan2(std::sin(azimuth) * std::sin(delta) * std::cos(lat1),
                                          std::cos(delta) - std::sin(lat1) * std::sin(lat2));
    l.LatDisp = lat2 / kRad - StationLat;
    double lonDisp = lon2 / kRad - StationLon;
    // Across the date line the displacement stays the short way round.
    if (lonDisp > 180) lonDisp -= 360;
    if (lonDisp < -180) lonDisp += 360;
    l.LonDisp = lonDisp;
  }
}

bool TuaKioskMessage::TelegramText(const char* name, std::string& path) const {
  path = TlgFolder + name + (TxtExt ? ".txt" : "");
  const auto found = FindFileNoCase(path);
  if (!found) return false;
  path = *found;
  return true;
}

bool TuaKioskMessage::GetTelegramFile(int part, std::string& path) {
  static const char* const kParts[] = {"ttaa", "ttbb", "ttcc", "ttdd"};
  if (part < 1 || part > 4) {
    path.clear();
    return false;
  }
  return TelegramText(kParts[part - 1], path);
}

bool TuaKioskMessage::GetLayerFile(std::string& path) { return TelegramText("sloy", path); }

bool TuaKioskMessage::GetGroundFile(std::string& path) { return TelegramText("priz", path); }

}  // namespace tern
