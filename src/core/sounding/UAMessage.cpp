#include "sounding/UAMessage.h"

#include <cstring>

#include "base/Error.h"
#include "base/Files.h"

namespace tern {

std::string FirstChars(const std::string& text, size_t n) { return text.substr(0, std::min(n, text.size())); }

TUAMessage::TUAMessage() { TUAMessage::Clear(true); }

IOperator& TUAMessage::Op() const {
  static DefaultAnswerOperator fallback;
  return Operator ? *Operator : fallback;
}

std::string TUAMessage::QueryTitle() const { return cp("Запрос ") + SourceFile; }

void TUAMessage::Clear(bool full) {
  if (full) {
    TablesVer = 25;
    LocTablesVer = 0;
    SubCenter = 255;
    StationInd = 0;
    StationIndText.clear();
    Meta = tAscentMeta{};
  }
  UpdateSeq = 0;
  SourceFile.clear();
  BufrFileName.clear();
  BufrI = true;
  CloudGroup.clear();
  LevelCount = IncludedCount = ShearCount = ShearIncluded = 0;
  std::memset(static_cast<void*>(Levels.data()), 0, sizeof(tUALevel) * Levels.size());
  std::memset(static_cast<void*>(Shears.data()), 0, sizeof(tUAWindShear) * Shears.size());
}

bool TUAMessage::SetRadiosondeType(uint8_t code) {
  Meta.RadiosondeType = code;
  return true;
}

uint8_t TUAMessage::GetRsCode(uint8_t index) const {
  if (index >= SystemCodes.Count || index >= SystemCodes.Rs.size()) return 0;
  return static_cast<uint8_t>(SystemCodes.Rs[index].Code);
}

void TUAMessage::FillRaRaList(TextList& list) const {
  list.clear();
  for (size_t i = 0; i < SystemCodes.Count && i < SystemCodes.Rs.size(); ++i)
    list.push_back(std::to_string(SystemCodes.Rs[i].Code % 100) + ":" + SystemCodes.Rs[i].Name);
}

bool TUAMessage::SelectRadiosonde(int index) {
  if (SystemCodes.Count == 0 || index < 0 || index >= SystemCodes.Count ||
      index >= static_cast<int>(SystemCodes.Rs.size()))
    return false;
  const tRsSystemCodes& r = SystemCodes.Rs[index];
  Meta.RadiosondeType = static_cast<uint8_t>(r.Code);
  Meta.SolarIRCorr = r.RadCor;
  Meta.TrackingTech = r.TrackT;
  Meta.MeasEquipment = r.WindEq;
  Meta.Frequency = r.Freq * 1000000.0;
  Meta.GroundSystem = static_cast<uint8_t>(SystemCodes.GroundSys);
  Meta.Completeness = static_cast<uint8_t>(r.Complet);
  Meta.Configuration = static_cast<uint8_t>(r.Conf);
  Meta.PressureSensor = static_cast<uint8_t>(r.PSensor);
  Meta.TempSensor = static_cast<uint8_t>(r.TSensor);
  Meta.HumSensor = static_cast<uint8_t>(r.USensor);
  Meta.HumCorrection = static_cast<uint8_t>(r.HumCor);
  Meta.GeopotCalc = static_cast<uint8_t>(r.GeopCalc);
  Meta.SondeMaker = static_cast<uint8_t>(r.Manuf);
  Meta.SondeModel = static_cast<uint8_t>(r.Model);
  Meta.Group61616 = "61616 " + Build61616(index);
  return true;
}

void TUAMessage::FillBalloonList(TextList& list) const {
  list.clear();
  for (const auto& b : BalloonCodes) list.push_back(b.Name + ":" + FixedText(b.Weight * 1000.0, 0, 0));
}

bool TUAMessage::SelectBalloon(int index) {
  if (index < 0 || index >= static_cast<int>(BalloonCodes.size())) return false;
  Meta.BalloonMaker = static_cast<uint8_t>(BalloonCodes[index].Maker);
  Meta.BalloonType = static_cast<uint8_t>(BalloonCodes[index].Type);
  Meta.BalloonWeight = BalloonCodes[index].Weight;
  return true;
}

void TUAMessage::FillGasList(TextList& list) const {
  list.clear();
  for (const auto& g : GasCodes) list.push_back(g.Name);
}

bool TUAMessage::SelectGas(int index) {
  if (index < 0 || index >= static_cast<int>(GasCodes.size())) return false;
  Meta.GasType = static_cast<uint8_t>(GasCodes[index].Code);
  return true;
}

void TUAMessage::FillTerminationList(TextList& list) const {
  list.clear();
  for (const auto& t : TerminationCodes) list.push_back(t.Name);
}

bool TUAMessage::SelectTermination(int index) {
  if (index < 0 || index >= static_cast<int>(TerminationCodes.size())) return false;
  Meta.Termination = static_cast<uint8_t>(TerminationCodes[index].Code);
  Meta.TerminationText = FirstChars(TerminationCodes[index].BufrText, 60);
  return true;
}

void TUAMessage::SetSondeSerial(const std::string& text) { Meta.SondeSerial = FirstChars(text, 20); }
void TUAMessage::SetObserver(const std::string& text) { Meta.Observer = FirstChars(text, 4); }
void TUAMessage::SetBulletinNo(int n) { BulletinNo = CodeDigits(n, 3); }

std::string TUAMessage::Build61616(int index) const {
  if (index < 0 || index >= SystemCodes.Count || index >= static_cast<int>(SystemCodes.Rs.size())) return "00000";
  const tRsSystemCodes& r = SystemCodes.Rs[index];
  return std::to_string(Meta.TernNo) + CodeDigits(r.Manuf, 2) + CodeDigits(r.Model, 2);
}

void TUAMessage::CheckCloudGroup() {
  CloudGroupInvalid = true;
  const std::string& g = CloudGroup;
  if (g.size() != 5) return;
  for (char c : g)
    if (!(c == '/' || (c >= '0' && c <= '9'))) return;
  if (g[0] == '/') return;
  if (g[1] == '/' && !(g[0] == '9' && g[3] == '/' && g[4] == '/')) return;
  if (g[3] == '/' && g[4] != '/') return;
  CloudGroupInvalid = false;
}

bool LevelPassesWithMask(const tUALevel& l, uint8_t mask) {
  if (mask == kRejLevel) return false;
  if (mask == 0) return true;
  if (!(mask & kRejTemp)) return Present(l.Temp);
  if (!(mask & kRejHum)) return Present(l.DewPoint);
  if (!(mask & kRejHeight)) return Present(l.Height);
  if (!(mask & kRejWind)) return Present(l.WindDir) || Present(l.WindSpeed);
  if (!(mask & kRejPos)) return Present(l.LatDisp) || Present(l.LonDisp);
  return false;
}

bool TUAMessage::LevelIncluded(int i) const { return LevelPassesWithMask(Levels[i], Levels[i].RejFlags); }

bool TUAMessage::WindUsable(int i) const {
  const tUALevel& l = Levels[i];
  return l.RejFlags != kRejLevel && Present(l.WindDir) && Present(l.WindSpeed) && !(l.RejFlags & kRejWind);
}

bool TUAMessage::HeightUsable(int i) const {
  const tUALevel& l = Levels[i];
  return l.RejFlags != kRejLevel && Present(l.Height) && !(l.RejFlags & kRejHeight);
}

bool TUAMessage::ShearIncludedAt(int i) const {
  const tUAWindShear& s = Shears[i];
  if (s.RejFlags == kRejShear) return false;
  if (s.RejFlags == 0) return true;
  if (!(s.RejFlags & kRejAux)) return Present(s.AuxValue);
  if (!(s.RejFlags & kRejBelow)) return Present(s.ShearBelow);
  if (!(s.RejFlags & kRejAbove)) return Present(s.ShearAbove);
  if (!(s.RejFlags & kRejShearPos)) return Present(s.LatDisp) || Present(s.LonDisp);
  return false;
}

namespace {

// Marks where a quantity's rejected stretch begins (on the last good level
// before it) and ends (on the first good level after it).
struct GapTracker {
  uint32_t beginBit, endBit;
  bool open = false;
  int lastGood = -1;

  void Step(tUALevel* levels, int i, bool rejected) {
    if (rejected) {
      if (!open) {
        open = true;
        if (lastGood >= 0) levels[lastGood].SigFlags |= beginBit;
        lastGood = -1;
      }
      return;
    }
    if (open) {
      open = false;
      levels[i].SigFlags |= endBit;
    }
    lastGood = i;
  }
};

}  // namespace

void TUAMessage::PrepareLevels() {
  IncludedCount = 0;
  ShearIncluded = 0;
  LastWindLevel = -1;
  LastLevel = -1;
  GapTracker temp{kSigTempGapBegin, kSigTempGapEnd};
  GapTracker hum{kSigHumGapBegin, kSigHumGapEnd};
  GapTracker wind{kSigWindGapBegin, kSigWindGapEnd};
  for (int i = 0; i < LevelCount; ++i) {
    tUALevel& l = Levels[i];
    l.SigFlags &= ~kSigGapBits;
    if (Present(l.Temp)) temp.Step(Levels.data(), i, l.RejFlags & kRejTemp);
    if (Present(l.DewPoint)) hum.Step(Levels.data(), i, l.RejFlags & (kRejTemp | kRejHum));
    if (Present(l.WindDir) && Present(l.WindSpeed)) wind.Step(Levels.data(), i, l.RejFlags & kRejWind);
    if (LevelIncluded(i)) {
      LastLevel = i;
      ++IncludedCount;
      if (WindUsable(i)) LastWindLevel = i;
    }
  }
  if (LastWindLevel >= 0) {
    if (BufrI) {
      if (LastLevel >= 0 && Levels[LastLevel].Pressure > 100.0f) Levels[LastLevel].SigFlags |= kSigWindTop;
    } else {
      Levels[LastWindLevel].SigFlags |= kSigWindTop;
    }
  }
  for (int i = 0; i < ShearCount; ++i)
    if (ShearIncludedAt(i)) ++ShearIncluded;
}

bool TUAMessage::SetRejections(const tFlagRejArr* levelMasks, const tFlagRejArr* shearMasks) {
  if (levelMasks) {
    if (levelMasks->size() != LevelCount) return false;
    for (int i = 0; i < LevelCount; ++i) Levels[i].RejFlags = (*levelMasks)[i];
  }
  if (shearMasks) {
    if (shearMasks->size() != ShearCount) return false;
    for (int i = 0; i < ShearCount; ++i) Shears[i].RejFlags = (*shearMasks)[i];
  }
  return true;
}

std::string TUAMessage::EditFileName() const { return ChangeFileExt(SourceFile, BufrI ? ".rjI" : ".rjII"); }

namespace {

template <typename Record, typename PackFn>
void SaveRecords(const std::string& path, const Record* records, int count, PackFn pack) {
  bool anyRejection = false;
  for (int i = 0; i < count; ++i) anyRejection |= records[i].RejFlags != 0;
  if (!anyRejection) {
    DeleteFileAt(path);
    return;
  }
  std::string data(static_cast<size_t>(count) * 64, '\0');
  for (int i = 0; i < count; ++i) pack(records[i], reinterpret_cast<uint8_t*>(data.data()) + i * 64);
  WriteFileAtomic(path, data);
}

// Reads whole records; false when a BUFR II file holds more records than the profile.
template <typename Record, typename UnpackFn>
bool LoadRecords(const std::string& path, Record* records, int count, bool bufrI, UnpackFn unpack) {
  if (count <= 0 || FileSizeOf(path) <= 0) return true;
  // A saved edit file that cannot be read is a failed load, not an ascent without edits.
  auto data = ReadWholeFile(path);
  if (!data) return false;
  const int n = static_cast<int>(data->size() / 64);
  if (!bufrI && n > count) return false;
  const int take = std::min(n, count);
  for (int i = 0; i < take; ++i) records[i] = unpack(reinterpret_cast<const uint8_t*>(data->data()) + i * 64);
  return true;
}

}  // namespace

bool TUAMessage::SaveEdits() {
  const std::string levelFile = EditFileName();
  if (LevelCount > 0) SaveRecords(levelFile, Levels.data(), LevelCount, PackLevel);
  if (ShearCount > 0) SaveRecords(levelFile + ".w", Shears.data(), ShearCount, PackShear);
  return true;
}

bool TUAMessage::LoadEdits(const std::string& fileName) {
  if (!LoadRecords(fileName, Levels.data(), LevelCount, BufrI, UnpackLevel)) return false;
  return LoadRecords(fileName + ".w", Shears.data(), ShearCount, BufrI, UnpackShear);
}

}  // namespace tern
