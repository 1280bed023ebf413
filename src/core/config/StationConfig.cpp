#include "config/StationConfig.h"

#include <climits>
#include <cstdlib>
#include <utility>

#include "base/Error.h"
#include "base/Files.h"
#include "config/CodeTables.h"
#include "config/CodesChecksum.h"
#include "config/FileNamePart.h"
#include "config/HeadingTemplate.h"
#include "sounding/UAMessage.h"

namespace tern {

namespace {

constexpr std::string_view kWrongSystem =
    "Проверьте настройки в файле STATION.CNF\rСистема зондирования указана неверно!";

long long AbsValue(int v) { return std::llabs(static_cast<long long>(v)); }

// The absolute value of an integer option that must fit its field; nullopt beyond max.
std::optional<long long> AbsAtMost(const TMyIniFile& ini, std::string_view section, std::string_view key, int def,
                                   long long max) {
  const long long v = AbsValue(ini.ReadInteger(section, key, def));
  if (v > max) return std::nullopt;
  return v;
}

// Same, but a value beyond max stops start-up with an error naming the file and the key.
long long AbsAtMostOrThrow(const TMyIniFile& ini, std::string_view section, std::string_view key, int def,
                           long long max) {
  const auto v = AbsAtMost(ini, section, key, def, max);
  if (!v)
    throw TernError(cp("Ошибка в файле ") + ini.FileName() + "\r" + cp("Значение ключа ") + std::string(key) + " = " +
                    ini.ReadString(section, key, "") + cp(" вне диапазона 0..") + std::to_string(max));
  return *v;
}

// An azimuth or elevation correction; only present keys are read. False when out of range.
// An azimuth is a direction and comes into 0..360; an elevation below the
// horizon stays negative.
bool ReadCorrection(const TMyIniFile& ini, std::string_view key, bool isAzimuth, double& out) {
  out = kMissing;
  if (!ini.ValueExists("TERN", key)) return true;
  double v = ini.ReadFloat("TERN", key, kMissing);
  if (!Present(v)) return false;
  if (isAzimuth && v < 0) v += 360.0;
  if (!(v >= -1000.0 && v <= 360.0)) return false;
  out = v;
  return true;
}

}  // namespace

std::optional<uint8_t> ReadSystemCode(const TMyIniFile& station) {
  if (!station.ValueExists("TERN", "TERN")) return std::nullopt;
  return static_cast<uint8_t>(AbsValue(station.ReadInteger("TERN", "TERN", 0)) % 255);
}

bool TUAMessage::LoadStation(const std::string& folder, uint8_t systemCode) {
  if (folder.empty() || !FolderExists(folder)) return false;
  const auto file = FindFileNoCase(IncludeTrailingSeparator(folder) + std::string(kStationFileName));
  if (!file) return false;
  const TMyIniFile ini(*file);

  StationLat = ini.ReadFloat("Station", "StationLat", 0);
  StationLon = ini.ReadFloat("Station", "StationLon", 0);
  StationBarometerHeight = ini.ReadFloat("Station", "StationBarometerHeight", 0);
  StationGroundHeight = ini.ReadFloat("Station", "StationGroundHeight", 0);
  StationRSReleaseHeight = ini.ReadFloat("Station", "StationRSReleaseHeight", 0);
  const int index = ini.ReadInteger("Station", "StationInd", 0);
  StationInd = static_cast<uint32_t>(index);
  StationIndText = std::to_string(index).substr(0, 5);

  SystemCode = static_cast<uint8_t>(systemCode % 255);
  if (!Accepts(SystemCode)) throw TernError(cp(kWrongSystem));

  Single = ini.ReadBool("TERN", "single", true);
  if (Single) {
    Meta.TernNo = 1;
  } else {
    const int tern = ini.ReadInteger("TERN", "TERNnum", -1);
    if (tern < 1 || tern > 5) return false;
    Meta.TernNo = static_cast<uint8_t>(tern);
  }

  Meta.BarometerHeight = StationBarometerHeight;

  const double antenna = ini.ReadFloat("TERN", "AntennaHeightAbove", kMissing);
  if (!(antenna >= -1000.0 && antenna <= 1000.0)) return false;
  Meta.AntennaHeight = antenna;

  Meta.CorrAz = kMissing;
  Meta.CorrEl = kMissing;
  // Only the radar-tracking systems of the Corvo family carry pointing corrections.
  if (SystemCode >= 3 && SystemCode <= 7) {
    if (!ReadCorrection(ini, "CorrAz", true, Meta.CorrAz)) return false;
    if (!ReadCorrection(ini, "CorrEl", false, Meta.CorrEl)) return false;
  }

  const int radome = ini.ReadInteger("TERN", "Radome", -1);
  if (radome != 0 && radome != 1) return false;
  Meta.Radome = static_cast<uint8_t>(radome);

  std::string soft = ini.ReadString("TERN", "SoftVer", "?");
  if (soft == "?") soft = "UNKNWN";
  Meta.SoftVer = soft.substr(0, 12);
  return true;
}

bool TUAMessage::LoadBufrCodes(const std::string& codesFile) {
  if (!FileExists(codesFile) || !CheckCodesFile(codesFile)) return false;
  const TMyIniFile ini(codesFile);

  ExtMeta = static_cast<uint8_t>(AbsValue(ini.ReadInteger("BUFR", "ExtMeta", 2)) % 5);
  const auto tables = AbsAtMost(ini, "BUFR", "TablesVer", 25, 255);
  const auto local = AbsAtMost(ini, "BUFR", "LocTablesVer", 0, 255);
  const auto cnf = AbsAtMost(ini, "BUFR", "CnfVer", 0, INT32_MAX);
  if (!tables || !local || !cnf) return false;
  // Extended metadata needs the descriptors of table version 22.
  const long long minTables = ExtMeta > 0 ? 22 : 13;
  TablesVer = static_cast<uint8_t>(*tables < minTables ? minTables : *tables);
  LocTablesVer = static_cast<uint8_t>(*local);
  CnfVer = static_cast<int32_t>(*cnf);
  Meta.Include61616 = ini.ReadBool("BUFR", "61616", true);

  return ReadGroundSystem(ini, SystemCode, SystemCodes) && ReadBalloonList(ini, BalloonCodes) &&
         ReadGasList(ini, GasCodes) && ReadTerminationList(ini, TerminationCodes);
}

bool TUAMessage::LoadBufrOptions(const std::string& settingsFile) {
  const TMyIniFile ini(settingsFile);
  Center = static_cast<uint16_t>(AbsAtMostOrThrow(ini, "BUFR", "Center", 4, 65535));
  SubCenter = static_cast<uint16_t>(AbsAtMostOrThrow(ini, "BUFR", "SubCenter", 0, 65535));
  IUKHead = DecodeEscapes(ini.ReadString("BUFR", "IUKHead", kDefaultIUKHead));
  IUSHead = DecodeEscapes(ini.ReadString("BUFR", "IUSHead", kDefaultIUSHead));
  CCCC = ini.ReadString("BUFR", "CCCC", "RUMS");
  ShortName = ini.ReadBool("BUFR", "ShortName", false);
  WMOMssgFmt = ini.ReadBool("BUFR", "WMOMssgFmt", true);
  BBBHead = DecodeEscapes(ini.ReadString("BUFR", "BUFRBBBHead", "#$20"));
  BBBTail = DecodeEscapes(ini.ReadString("BUFR", "BUFRBBBTail", ""));
  // The BUFR and bulletin file names are built from these values.
  const std::pair<const char*, const std::string*> nameParts[] = {
      {"IUKHead", &IUKHead}, {"IUSHead", &IUSHead}, {"CCCC", &CCCC}, {"BUFRBBBHead", &BBBHead}, {"BUFRBBBTail", &BBBTail}};
  for (const auto& [key, value] : nameParts) RequireFileNamePart(ini, "BUFR", key, *value);
  return true;
}

}  // namespace tern
