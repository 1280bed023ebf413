#pragma once
// Records of one ascent. tUALevel and tUAWindShear are also the records of the
// edit files, so their byte layout is fixed: 64 bytes, little-endian.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tern {

// A measured quantity that is absent holds kMissing; anything at or below
// kMissingLimit counts as missing.
constexpr double kMissing = -1e31;
constexpr double kMissingLimit = -1e30;
inline bool Present(double v) { return v > kMissingLimit; }

constexpr int kMaxLevels = 3000;
constexpr int kMaxShears = 6;

// Rejection bits of a level.
enum RejBits : uint8_t {
  kRejTemp = 1, kRejHum = 2, kRejHeight = 4, kRejWind = 8, kRejPos = 16, kRejLevel = 31
};
// Rejection bits of a wind-shear record.
enum ShearRejBits : uint8_t {
  kRejAux = 1, kRejAbove = 2, kRejBelow = 4, kRejShearPos = 8, kRejShear = 15
};

// Significance bits of a level.
enum SigBits : uint32_t {
  kSigSurface = 0x0001, kSigStandard = 0x0002, kSigTropopause = 0x0004, kSigUnused = 0x0008,
  kSigMaxWind = 0x0010, kSigTemp = 0x0020, kSigHum = 0x0040, kSigWind1 = 0x0080, kSigWind2 = 0x0100,
  kSigTempGapBegin = 0x0200, kSigTempGapEnd = 0x0400, kSigHumGapBegin = 0x0800, kSigHumGapEnd = 0x1000,
  kSigWindGapBegin = 0x2000, kSigWindGapEnd = 0x4000, kSigWindTop = 0x8000, kSigRoundHeight = 0x20000
};
constexpr uint32_t kSigGapBits = 0x7E00;

struct tUALevel {
  uint8_t RejFlags = 0;
  uint8_t pad1[3] = {0, 0, 0};
  float Time = 0;       // s since launch; negative: missing
  float Height = 0;     // gpm
  float Pressure = 0;   // hPa
  float WindDir = 0;    // degrees
  float WindSpeed = 0;  // m/s
  float Temp = 0;       // degC
  float Humidity = 0;   // %
  float DewPoint = 0;   // degC
  uint32_t pad2 = 0;
  double LatDisp = 0;   // degrees from the station
  double LonDisp = 0;
  uint32_t SigFlags = 0;
  uint32_t pad3 = 0;
};
static_assert(sizeof(tUALevel) == 64);
static_assert(offsetof(tUALevel, Time) == 4 && offsetof(tUALevel, Height) == 8 &&
              offsetof(tUALevel, Pressure) == 12 && offsetof(tUALevel, WindDir) == 16 &&
              offsetof(tUALevel, WindSpeed) == 20 && offsetof(tUALevel, Temp) == 24 &&
              offsetof(tUALevel, Humidity) == 28 && offsetof(tUALevel, DewPoint) == 32 &&
              offsetof(tUALevel, LatDisp) == 40 && offsetof(tUALevel, LonDisp) == 48 &&
              offsetof(tUALevel, SigFlags) == 56);

struct tUAWindShear {
  uint8_t RejFlags = 0;
  uint8_t pad1[7] = {0, 0, 0, 0, 0, 0, 0};
  double Time = 0;
  double Pressure = 0;
  double AuxValue = 0;
  double LatDisp = 0;
  double LonDisp = 0;
  float ShearBelow = 0;
  float ShearAbove = 0;
  uint32_t SigFlags = 0;
  uint32_t pad2 = 0;
};
static_assert(sizeof(tUAWindShear) == 64);
static_assert(offsetof(tUAWindShear, Time) == 8 && offsetof(tUAWindShear, Pressure) == 16 &&
              offsetof(tUAWindShear, AuxValue) == 24 && offsetof(tUAWindShear, LatDisp) == 32 &&
              offsetof(tUAWindShear, LonDisp) == 40 && offsetof(tUAWindShear, ShearBelow) == 48 &&
              offsetof(tUAWindShear, ShearAbove) == 52 && offsetof(tUAWindShear, SigFlags) == 56);

using tFlagRejArr = std::vector<uint8_t>;

// The edit-file form of the records: explicit little-endian, independent of the host.
void PackLevel(const tUALevel& l, uint8_t out[64]);
tUALevel UnpackLevel(const uint8_t in[64]);
void PackShear(const tUAWindShear& s, uint8_t out[64]);
tUAWindShear UnpackShear(const uint8_t in[64]);

// BUFR metadata of one ascent.
struct tAscentMeta {
  uint8_t RadiosondeType = 255;
  uint8_t SolarIRCorr = 15;
  uint8_t TrackingTech = 127;
  uint8_t MeasEquipment = 15;
  std::string SondeSerial;  // at most 20 characters
  uint16_t AscentNo = 16383;
  uint16_t ReleasePoint = 7;
  std::string Observer;  // at most 4 characters
  double Frequency = 32767;  // Hz
  uint8_t GroundSystem = 63;
  double BarometerHeight = kMissing;
  double AntennaHeight = kMissing;
  double CorrAz = kMissing;
  double CorrEl = kMissing;
  uint8_t Radome = 3;
  uint8_t Completeness = 15;
  uint8_t Configuration = 31;
  uint8_t BalloonMaker = 63;
  uint8_t BalloonType = 31;
  double BalloonWeight = kMissing;  // kg
  uint8_t GasType = 15;
  double GasAmount = kMissing;  // kg
  uint8_t BalloonShelter = 15;
  double TrainLength = kMissing;  // m
  uint8_t PressureSensor = 31;
  uint8_t TempSensor = 31;
  uint8_t HumSensor = 31;
  uint8_t HumCorrection = 31;
  uint8_t GeopotCalc = 15;
  std::string SoftVer;          // at most 12 characters
  std::string Group61616 = "61616 00000";  // at most 11 characters
  uint8_t Termination = 31;
  std::string TerminationText;  // at most 60 characters
  bool Include61616 = true;
  uint8_t SondeMaker = 0;
  uint8_t SondeModel = 0;
  uint8_t TernNo = 0;
};

// Code tables of the BUFR code tables file.
struct tRsSystemCodes {
  uint16_t Code = 0;
  std::string Name;
  uint8_t RadCor = 0;
  uint8_t TrackT = 0;
  uint8_t WindEq = 0;
  double Freq = 0;  // MHz
  uint16_t Complet = 0;
  uint16_t Conf = 0;
  uint16_t PSensor = 0, TSensor = 0, USensor = 0, HumCor = 0, GeopCalc = 0;
  uint16_t Manuf = 0;
  uint16_t Model = 0;
};

struct tGSSystemCodes {
  std::string Title;
  uint8_t HiRes = 0;
  uint16_t GroundSys = 0;
  uint16_t Count = 0;
  std::vector<tRsSystemCodes> Rs;
};

struct tBalloonCodes {
  uint16_t Type = 0;
  uint16_t Maker = 0;
  std::string Name;
  double Weight = 0;  // kg
};
using tBalloonCodesArray = std::vector<tBalloonCodes>;

struct tGasCodes {
  uint16_t Code = 0;
  std::string Name;
};
using tGasCodesArray = std::vector<tGasCodes>;

struct tTerminationCodes {
  uint16_t Code = 0;
  std::string Name;
  std::string BufrText;
};
using tTerminationCodesArray = std::vector<tTerminationCodes>;

}  // namespace tern
