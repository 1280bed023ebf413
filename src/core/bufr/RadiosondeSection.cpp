#include "bufr/RadiosondeSection.h"

#include <string>
#include <string_view>

#include "base/Error.h"
#include "base/Text.h"
#include "bufr/UnfitValues.h"
#include "sounding/UAMessage.h"

namespace tern {
namespace {

// ---------------------------------------------------------------------------
// Elements: width, coding and source of every value the message carries.

enum class Kind : uint8_t { Code, Scaled, Text, LevelGroups, ShearGroups };

// What happens to a scaled value that is missing or does not fit its field.
enum class Bad : uint8_t {
  Missing,               // coded as missing (all ones)
  FailIfOutside,         // missing stays missing; a present value outside 0..all-ones stops the encoding
  FailIfMissingOrOutside  // the value must be present and fit as a present value
};

using CodeFn = uint32_t (*)(const BufrContext&, int index);
using ValueFn = double (*)(const BufrContext&, int index);
using TextFn = std::string_view (*)(const BufrContext&, int index);

struct Element {
  Kind kind;
  uint8_t width;  // bits; characters for a text
  int8_t scale = 0;
  int32_t ref = 0;
  CodeFn code = nullptr;
  ValueFn value = nullptr;
  TextFn text = nullptr;
  Bad bad = Bad::Missing;
  const char* failure = nullptr;  // UTF-8 text of the range failure
  // Who the element is for the operator when its value does not fit; elements
  // without a name hold values that always fit (constants, coded cloud groups).
  Descriptor id{0xFF, 0, 0};
  const char* name = nullptr;  // UTF-8
  const char* unit = "";       // UTF-8
  // The value as the operator knows it: (coded quantity - shownOffset) / shownDivisor.
  double shownOffset = 0, shownDivisor = 1;
};

constexpr Element Code(int width, CodeFn f) { return {Kind::Code, static_cast<uint8_t>(width), 0, 0, f}; }
constexpr Element Scaled(int width, int scale, int32_t ref, ValueFn f) {
  return {Kind::Scaled, static_cast<uint8_t>(width), static_cast<int8_t>(scale), ref, nullptr, f};
}
constexpr Element Text(int chars, TextFn f) {
  return {Kind::Text, static_cast<uint8_t>(chars), 0, 0, nullptr, nullptr, f};
}
constexpr Element Checked(Element e, Bad bad, const char* failure) {
  e.bad = bad;
  e.failure = failure;
  return e;
}
constexpr Element Named(Element e, Descriptor id, const char* name, const char* unit = "", double shownOffset = 0,
                        double shownDivisor = 1) {
  e.id = id;
  e.name = name;
  e.unit = unit;
  e.shownOffset = shownOffset;
  e.shownDivisor = shownDivisor;
  return e;
}
constexpr Descriptor D(int f, int x, int y) {
  return {static_cast<uint8_t>(f), static_cast<uint8_t>(x), static_cast<uint8_t>(y)};
}

constexpr size_t BitsOf(const Element& e) {
  return e.kind == Kind::Text ? size_t{8} * e.width : e.kind == Kind::Code || e.kind == Kind::Scaled ? e.width : 0;
}

const tAscentMeta& M(const BufrContext& c) { return c.a.Meta; }
const tUALevel& L(const BufrContext& c, int i) { return c.a.Levels[i]; }
const tUAWindShear& S(const BufrContext& c, int i) { return c.a.Shears[i]; }
double Or(bool missing, double v) { return missing ? kMissing : v; }

// Radiosonde, balloon and ground-equipment metadata.
constexpr Element kSondeSerial = Text(20, [](const BufrContext& c, int) -> std::string_view { return M(c).SondeSerial; });
constexpr Element kAscentNo = Named(Code(14, [](const BufrContext& c, int) -> uint32_t { return M(c).AscentNo; }),
                                    D(0, 1, 82), "номер выпуска");
constexpr Element kReleasePoint =
    Named(Code(3, [](const BufrContext& c, int) -> uint32_t { return M(c).ReleasePoint; }), D(0, 1, 83),
          "номер точки выпуска");
constexpr Element kObserver = Text(4, [](const BufrContext& c, int) -> std::string_view { return M(c).Observer; });
constexpr Element kCompleteness =
    Named(Code(4, [](const BufrContext& c, int) -> uint32_t { return M(c).Completeness; }), D(0, 2, 15),
          "полнота радиозонда");
constexpr Element kConfiguration =
    Named(Code(5, [](const BufrContext& c, int) -> uint32_t { return M(c).Configuration; }), D(0, 2, 16),
          "конфигурация радиозонда");
constexpr Element kHumCorrection =
    Named(Code(5, [](const BufrContext& c, int) -> uint32_t { return M(c).HumCorrection; }), D(0, 2, 17),
          "алгоритм поправок влажности");
constexpr Element kGroundSystem =
    Named(Code(6, [](const BufrContext& c, int) -> uint32_t { return M(c).GroundSystem; }), D(0, 2, 66),
          "наземная приёмная система");
constexpr Element kFrequency = Named(Scaled(15, -5, 0, [](const BufrContext& c, int) { return M(c).Frequency; }),
                                     D(0, 2, 67), "частота радиозонда", "Гц");
constexpr Element kBalloonMaker =
    Named(Code(6, [](const BufrContext& c, int) -> uint32_t { return M(c).BalloonMaker; }), D(0, 2, 80),
          "изготовитель оболочки");
constexpr Element kBalloonType = Named(Code(5, [](const BufrContext& c, int) -> uint32_t { return M(c).BalloonType; }),
                                       D(0, 2, 81), "тип оболочки");
constexpr Element kBalloonWeight =
    Named(Scaled(12, 3, 0, [](const BufrContext& c, int) { return M(c).BalloonWeight; }), D(0, 2, 82),
          "масса оболочки", "кг");
constexpr Element kBalloonShelter =
    Named(Code(4, [](const BufrContext& c, int) -> uint32_t { return M(c).BalloonShelter; }), D(0, 2, 83),
          "укрытие для наполнения");
constexpr Element kGasType = Named(Code(4, [](const BufrContext& c, int) -> uint32_t { return M(c).GasType; }),
                                   D(0, 2, 84), "газ");
constexpr Element kGasAmount = Named(Scaled(13, 3, 0, [](const BufrContext& c, int) { return M(c).GasAmount; }),
                                     D(0, 2, 85), "подъёмная сила", "кг");
constexpr Element kTrainLength = Named(Scaled(10, 1, 0, [](const BufrContext& c, int) { return M(c).TrainLength; }),
                                       D(0, 2, 86), "длина подвеса", "м");
constexpr Element kPressureSensor =
    Named(Code(5, [](const BufrContext& c, int) -> uint32_t { return M(c).PressureSensor; }), D(0, 2, 95),
          "датчик давления");
constexpr Element kTempSensor = Named(Code(5, [](const BufrContext& c, int) -> uint32_t { return M(c).TempSensor; }),
                                      D(0, 2, 96), "датчик температуры");
constexpr Element kHumSensor = Named(Code(5, [](const BufrContext& c, int) -> uint32_t { return M(c).HumSensor; }),
                                     D(0, 2, 97), "датчик влажности");
constexpr Element kRadome =
    Named(Code(2, [](const BufrContext& c, int) -> uint32_t { return M(c).Radome; }), D(0, 2, 103), "обтекатель");
constexpr Element kGeopotCalc = Named(Code(4, [](const BufrContext& c, int) -> uint32_t { return M(c).GeopotCalc; }),
                                      D(0, 2, 191), "расчёт геопотенциала");
constexpr Element kSoftVer = Text(12, [](const BufrContext& c, int) -> std::string_view { return M(c).SoftVer; });
// BUFR I stops at 100 hPa by design, so its reason for termination is not known.
constexpr Element kTerminationOfKind =
    Named(Code(5, [](const BufrContext& c, int) -> uint32_t { return c.bufrII ? M(c).Termination : 31; }),
          D(0, 35, 35), "причина окончания");
constexpr Element kTermination = Named(Code(5, [](const BufrContext& c, int) -> uint32_t { return M(c).Termination; }),
                                       D(0, 35, 35), "причина окончания");
constexpr Element kBarometerHeight =
    Named(Scaled(17, 0, -1000, [](const BufrContext& c, int) { return M(c).BarometerHeight; }), D(0, 7, 7),
          "высота барометра", "м");
constexpr Element kAntennaHeight =
    Named(Checked(Scaled(8, 0, 0, [](const BufrContext& c, int) { return M(c).AntennaHeight; }), Bad::FailIfOutside,
                  "высота антенны вне пределов 0..255 м"),
          D(0, 2, 102), "высота антенны", "м");
// 16 bits: the operator 2 01 133 widens these by 5 bits.
constexpr Element kCorrAz = Named(Scaled(16, 2, -1000, [](const BufrContext& c, int) { return M(c).CorrAz; }),
                                  D(0, 25, 65), "поправка ориентации по азимуту", "°");
constexpr Element kCorrEl = Named(Scaled(16, 2, -1000, [](const BufrContext& c, int) { return M(c).CorrEl; }),
                                  D(0, 25, 66), "поправка ориентации по углу места", "°");
constexpr Element kGroup61616 = Text(11, [](const BufrContext& c, int) -> std::string_view { return M(c).Group61616; });
constexpr Element kTerminationText =
    Text(60, [](const BufrContext& c, int) -> std::string_view { return M(c).TerminationText; });

// Identification, launch time and place, cloud group.
constexpr Element kBlock = Named(Code(7, [](const BufrContext& c, int) -> uint32_t { return c.a.StationInd / 1000; }),
                                 D(0, 1, 1), "номер блока станции");
constexpr Element kStation = Named(Code(10, [](const BufrContext& c, int) -> uint32_t { return c.a.StationInd % 1000; }),
                                   D(0, 1, 2), "номер станции");
constexpr Element kShipId = Text(9, [](const BufrContext&, int) -> std::string_view { return {}; });
constexpr Element kRadiosondeType =
    Named(Code(8, [](const BufrContext& c, int) -> uint32_t { return M(c).RadiosondeType; }), D(0, 2, 11),
          "тип радиозонда");
constexpr Element kSolarIRCorr = Named(Code(4, [](const BufrContext& c, int) -> uint32_t { return M(c).SolarIRCorr; }),
                                       D(0, 2, 13), "поправка на радиацию");
constexpr Element kTrackingTech =
    Named(Code(7, [](const BufrContext& c, int) -> uint32_t { return M(c).TrackingTech; }), D(0, 2, 14),
          "способ слежения");
constexpr Element kMeasEquipment =
    Named(Code(4, [](const BufrContext& c, int) -> uint32_t { return M(c).MeasEquipment; }), D(0, 2, 3),
          "измерительное оборудование");
constexpr Element kLaunchSignificance = Code(5, [](const BufrContext&, int) -> uint32_t { return 18; });
constexpr Element kYear = Code(12, [](const BufrContext& c, int) -> uint32_t { return c.a.LaunchYear; });
constexpr Element kMonth = Code(4, [](const BufrContext& c, int) -> uint32_t { return c.a.LaunchMonth; });
constexpr Element kDay = Code(6, [](const BufrContext& c, int) -> uint32_t { return c.a.LaunchDay; });
constexpr Element kHour = Code(5, [](const BufrContext& c, int) -> uint32_t { return c.a.LaunchHour; });
constexpr Element kMinute = Code(6, [](const BufrContext& c, int) -> uint32_t { return c.a.LaunchMinute; });
constexpr Element kSecond = Code(6, [](const BufrContext& c, int) -> uint32_t { return c.a.LaunchSecond; });
constexpr Element kLatitude = Named(Scaled(25, 5, -9000000, [](const BufrContext& c, int) { return c.a.StationLat; }),
                                    D(0, 5, 1), "широта станции", "°");
constexpr Element kLongitude =
    Named(Scaled(26, 5, -18000000, [](const BufrContext& c, int) { return c.a.StationLon; }), D(0, 6, 1),
          "долгота станции", "°");
constexpr Element kGroundHeight =
    Named(Scaled(17, 1, -4000, [](const BufrContext& c, int) { return c.a.StationGroundHeight; }), D(0, 7, 30),
          "высота станции", "м");
constexpr Element kBaroHeightAmsl =
    Named(Scaled(17, 1, -4000, [](const BufrContext& c, int) { return c.a.StationBarometerHeight; }), D(0, 7, 31),
          "высота барометра над уровнем моря", "м");
constexpr Element kReleaseHeight =
    Named(Scaled(17, 0, -1000, [](const BufrContext& c, int) { return c.a.StationRSReleaseHeight; }), D(0, 7, 7),
          "высота точки выпуска", "м");
constexpr Element kElevationQuality = Code(4, [](const BufrContext&, int) -> uint32_t { return 15; });
constexpr Element kCloudSignificance = Code(6, [](const BufrContext& c, int) { return c.cloud.significance; });
constexpr Element kCloudAmount = Code(4, [](const BufrContext& c, int) { return c.cloud.amount; });
constexpr Element kCloudBase = Code(11, [](const BufrContext& c, int) { return c.cloud.baseHeight; });
constexpr Element kCloudLow = Code(6, [](const BufrContext& c, int) { return c.cloud.low; });
constexpr Element kCloudMiddle = Code(6, [](const BufrContext& c, int) { return c.cloud.middle; });
constexpr Element kCloudHigh = Code(6, [](const BufrContext& c, int) { return c.cloud.high; });
constexpr Element kSignificanceCancel = Code(6, [](const BufrContext&, int) -> uint32_t { return 63; });
constexpr Element kSeaTemperature = Code(15, [](const BufrContext&, int) -> uint32_t { return 32767; });
constexpr Element kLevelReplication = Code(16, [](const BufrContext& c, int) -> uint32_t { return c.a.IncludedCount; });
constexpr Element kLevelGroups{Kind::LevelGroups, 0};
constexpr Element kShearReplication = Code(8, [](const BufrContext& c, int) -> uint32_t { return c.a.ShearIncluded; });
constexpr Element kShearGroups{Kind::ShearGroups, 0};

// Temperatures are coded in hundredths of a kelvin; the operator knows them in degrees Celsius.
constexpr double kKelvinHundredths = 27315, kHundred = 100;

// One level (3 03 054); the index is the level's place in the profile.
constexpr Element kLevelGroup[] = {
    Named(Scaled(15, 0, -8192, [](const BufrContext& c, int i) { return Or(L(c, i).Time < 0, L(c, i).Time); }),
          D(0, 4, 86), "время от выпуска", "с"),
    Code(18, [](const BufrContext& c, int i) { return LevelSignificance(L(c, i).SigFlags, L(c, i).RejFlags); }),
    Checked(Scaled(14, 1, 0, [](const BufrContext& c, int i) -> double { return L(c, i).Pressure; }),
            Bad::FailIfMissingOrOutside, "давление отсутствует или вне пределов, уровень"),
    Named(Scaled(17, 0, -1000, [](const BufrContext& c, int i) { return Or(!c.a.HeightUsable(i), L(c, i).Height); }),
          D(0, 10, 9), "высота", "гп.м"),
    Named(Scaled(25, 5, -9000000,
                 [](const BufrContext& c, int i) { return Or(L(c, i).RejFlags & kRejPos, L(c, i).LatDisp); }),
          D(0, 5, 15), "смещение по широте", "°"),
    Named(Scaled(26, 5, -18000000,
                 [](const BufrContext& c, int i) { return Or(L(c, i).RejFlags & kRejPos, L(c, i).LonDisp); }),
          D(0, 6, 15), "смещение по долготе", "°"),
    Named(Scaled(16, 0, 0,
                 [](const BufrContext& c, int i) {
                   const tUALevel& l = L(c, i);
                   return Or((l.RejFlags & kRejTemp) || !Present(l.Temp), l.Temp * 100.0 + 27315.0);
                 }),
          D(0, 12, 101), "температура", "°C", kKelvinHundredths, kHundred),
    Named(Scaled(16, 0, 0,
                 [](const BufrContext& c, int i) {
                   const tUALevel& l = L(c, i);
                   return Or((l.RejFlags & (kRejTemp | kRejHum)) || !Present(l.DewPoint),
                             l.DewPoint * 100.0 + 27315.0);
                 }),
          D(0, 12, 103), "точка росы", "°C", kKelvinHundredths, kHundred),
    Named(Scaled(9, 0, 0,
                 [](const BufrContext& c, int i) {
                   return Or(i > c.a.LastWindLevel || !c.a.WindUsable(i), L(c, i).WindDir);
                 }),
          D(0, 11, 1), "направление ветра", "°"),
    Named(Scaled(12, 1, 0,
                 [](const BufrContext& c, int i) {
                   return Or(i > c.a.LastWindLevel || !c.a.WindUsable(i), L(c, i).WindSpeed);
                 }),
          D(0, 11, 2), "скорость ветра", "м/с"),
};

// One wind-shear record (3 03 051).
constexpr Element kShearGroup[] = {
    Named(Scaled(15, 0, -8192, [](const BufrContext& c, int i) { return Or(S(c, i).Time < 0, S(c, i).Time); }),
          D(0, 4, 86), "время от выпуска", "с"),
    Code(18, [](const BufrContext& c, int i) { return ShearSignificance(S(c, i).SigFlags); }),
    Checked(Scaled(14, 1, 0, [](const BufrContext& c, int i) { return S(c, i).Pressure; }),
            Bad::FailIfMissingOrOutside, "давление отсутствует или вне пределов, запись сдвига ветра"),
    // A position the operator rejected is not sent, as for levels.
    Named(Scaled(25, 5, -9000000,
                 [](const BufrContext& c, int i) { return Or(S(c, i).RejFlags & kRejShearPos, S(c, i).LatDisp); }),
          D(0, 5, 15), "смещение по широте", "°"),
    Named(Scaled(26, 5, -18000000,
                 [](const BufrContext& c, int i) { return Or(S(c, i).RejFlags & kRejShearPos, S(c, i).LonDisp); }),
          D(0, 6, 15), "смещение по долготе", "°"),
    Named(Scaled(12, 1, 0,
                 [](const BufrContext& c, int i) { return Or(S(c, i).RejFlags & kRejBelow, S(c, i).ShearBelow); }),
          D(0, 11, 61), "сдвиг ветра в слое ниже", "м/с"),
    Named(Scaled(12, 1, 0,
                 [](const BufrContext& c, int i) { return Or(S(c, i).RejFlags & kRejAbove, S(c, i).ShearAbove); }),
          D(0, 11, 62), "сдвиг ветра в слое выше", "м/с"),
};

constexpr size_t GroupBits(const Element* first, size_t n) {
  size_t bits = 0;
  for (size_t k = 0; k < n; ++k) bits += BitsOf(first[k]);
  return bits;
}
constexpr size_t kLevelBits = GroupBits(kLevelGroup, std::size(kLevelGroup));
constexpr size_t kShearBits = GroupBits(kShearGroup, std::size(kShearGroup));
static_assert(kLevelBits == 168 && kShearBits == 122);

// ---------------------------------------------------------------------------
// Layout: one row per descriptor and/or element, in message order.

// Which ExtMeta levels (bit n for level n) a row belongs to.
constexpr uint8_t kAll = 0b11111, kMeta12 = 0b00110, kMeta2 = 0b00100, kMeta34 = 0b11000, kMeta4 = 0b10000;

struct When {
  uint8_t ext = kAll;
  bool with61616 = false;
  bool bufrIIOnly = false;
};
constexpr When kOnly61616{kAll, true, false};
constexpr When kMeta2II{kMeta2, false, true};
constexpr When kMeta12II{kMeta12, false, true};

constexpr Descriptor kNone{0xFF, 0, 0};

struct Row {
  When when;
  Descriptor descriptor;     // kNone: data only (inside a sequence)
  const Element* element;    // nullptr: descriptor only (sequence or operator)
};

constexpr Row kLayout[] = {
    // Group A: radiosonde metadata sequence 3 01 128.
    {{kMeta34}, D(3, 1, 128), nullptr},
    {{kMeta34}, kNone, &kSondeSerial},
    {{kMeta34}, kNone, &kAscentNo},
    {{kMeta34}, kNone, &kReleasePoint},
    {{kMeta34}, kNone, &kObserver},
    {{kMeta34}, kNone, &kCompleteness},
    {{kMeta34}, kNone, &kConfiguration},
    {{kMeta34}, kNone, &kHumCorrection},
    {{kMeta34}, kNone, &kGroundSystem},
    {{kMeta34}, kNone, &kFrequency},
    {{kMeta34}, kNone, &kBalloonMaker},
    {{kMeta34}, kNone, &kBalloonType},
    {{kMeta34}, kNone, &kBalloonWeight},
    {{kMeta34}, kNone, &kBalloonShelter},
    {{kMeta34}, kNone, &kGasType},
    {{kMeta34}, kNone, &kGasAmount},
    {{kMeta34}, kNone, &kTrainLength},
    {{kMeta34}, kNone, &kPressureSensor},
    {{kMeta34}, kNone, &kTempSensor},
    {{kMeta34}, kNone, &kHumSensor},
    {{kMeta34}, kNone, &kRadome},
    {{kMeta34}, kNone, &kGeopotCalc},
    {{kMeta34}, kNone, &kSoftVer},
    {{kMeta34}, kNone, &kTerminationOfKind},
    {{kMeta4}, D(0, 7, 7), &kBarometerHeight},
    {{kMeta4}, D(0, 2, 102), &kAntennaHeight},
    {{kMeta4}, D(2, 1, 133), nullptr},
    {{kMeta4}, D(0, 25, 65), &kCorrAz},
    {{kMeta4}, D(0, 25, 66), &kCorrEl},
    {{kMeta4}, D(2, 1, 0), nullptr},
    // Group B: TEMP data sequence 3 09 052.
    {{}, D(3, 9, 52), nullptr},
    {{}, kNone, &kBlock},
    {{}, kNone, &kStation},
    {{}, kNone, &kShipId},
    {{}, kNone, &kRadiosondeType},
    {{}, kNone, &kSolarIRCorr},
    {{}, kNone, &kTrackingTech},
    {{}, kNone, &kMeasEquipment},
    {{}, kNone, &kLaunchSignificance},
    {{}, kNone, &kYear},
    {{}, kNone, &kMonth},
    {{}, kNone, &kDay},
    {{}, kNone, &kHour},
    {{}, kNone, &kMinute},
    {{}, kNone, &kSecond},
    {{}, kNone, &kLatitude},
    {{}, kNone, &kLongitude},
    {{}, kNone, &kGroundHeight},
    {{}, kNone, &kBaroHeightAmsl},
    {{}, kNone, &kReleaseHeight},
    {{}, kNone, &kElevationQuality},
    {{}, kNone, &kCloudSignificance},
    {{}, kNone, &kCloudAmount},
    {{}, kNone, &kCloudBase},
    {{}, kNone, &kCloudLow},
    {{}, kNone, &kCloudMiddle},
    {{}, kNone, &kCloudHigh},
    {{}, kNone, &kSignificanceCancel},
    {{}, kNone, &kSeaTemperature},
    {{}, kNone, &kLevelReplication},
    {{}, kNone, &kLevelGroups},
    {{}, kNone, &kShearReplication},
    {{}, kNone, &kShearGroups},
    // Group C: ascent and ground equipment.
    {{kMeta12}, D(0, 1, 82), &kAscentNo},
    {{kMeta2}, D(0, 1, 83), &kReleasePoint},
    {{kMeta2}, D(0, 1, 95), &kObserver},
    {{kMeta2}, D(0, 2, 66), &kGroundSystem},
    {{kMeta2}, D(0, 7, 7), &kBarometerHeight},
    {{kMeta2}, D(0, 2, 102), &kAntennaHeight},
    {{kMeta2}, D(2, 1, 133), nullptr},
    {{kMeta2}, D(0, 25, 65), &kCorrAz},
    {{kMeta2}, D(0, 25, 66), &kCorrEl},
    {{kMeta2}, D(2, 1, 0), nullptr},
    {{kMeta2}, D(0, 2, 103), &kRadome},
    {{kMeta12}, D(0, 2, 191), &kGeopotCalc},
    {{kMeta12}, D(0, 25, 61), &kSoftVer},
    {{kMeta12}, D(0, 1, 81), &kSondeSerial},
    // Group D: the national 61616 group as 11 characters.
    {kOnly61616, D(2, 5, 11), &kGroup61616},
    // Group E: sensors and balloon.
    {{kMeta12}, D(0, 2, 17), &kHumCorrection},
    {{kMeta12}, D(0, 2, 67), &kFrequency},
    {{kMeta12}, D(0, 2, 95), &kPressureSensor},
    {{kMeta12}, D(0, 2, 96), &kTempSensor},
    {{kMeta12}, D(0, 2, 97), &kHumSensor},
    {{kMeta2}, D(0, 2, 15), &kCompleteness},
    {{kMeta2}, D(0, 2, 16), &kConfiguration},
    {{kMeta2}, D(0, 2, 80), &kBalloonMaker},
    {{kMeta12}, D(0, 2, 81), &kBalloonType},
    {{kMeta12}, D(0, 2, 82), &kBalloonWeight},
    {{kMeta12}, D(0, 2, 84), &kGasType},
    {{kMeta2}, D(0, 2, 85), &kGasAmount},
    {{kMeta2}, D(0, 2, 86), &kTrainLength},
    // Group F: why the sounding ended, only known for the full message.
    {kMeta2II, D(0, 35, 35), &kTermination},
    {kMeta12II, D(2, 5, 60), &kTerminationText},
};

bool Holds(const When& w, const BufrContext& c) {
  return ((w.ext >> c.extMeta) & 1) && (!w.with61616 || c.a.Meta.Include61616) && (!w.bufrIIOnly || c.bufrII);
}

[[noreturn]] void RangeFailure(const Element& e, int index) {
  std::string text = cp("Ошибка диапазона: ") + cp(e.failure);
  if (index >= 0) {
    text += ' ';
    text += std::to_string(index + 1);
  }
  throw TernError(text);
}

uint32_t ScaledCode(const Element& e, const BufrContext& c, int index) {
  int64_t coded = 0;
  const bool present = ScaledInteger(e.value(c, index), e.scale, e.ref, coded);
  const int64_t ones = AllOnes(e.width);
  switch (e.bad) {
    case Bad::Missing:
      // A value the field cannot hold is sent as missing rather than wrapped into a wrong one.
      return present && coded >= 0 && coded < ones ? static_cast<uint32_t>(coded) : AllOnes(e.width);
    case Bad::FailIfOutside:
      if (!present) return AllOnes(e.width);
      if (coded < 0 || coded > ones) RangeFailure(e, index);
      return static_cast<uint32_t>(coded);
    case Bad::FailIfMissingOrOutside:
      if (!present || coded < 0 || coded >= ones) RangeFailure(e, index);
      return static_cast<uint32_t>(coded);
  }
  return AllOnes(e.width);
}

void WriteGroup(TBitWriter& w, const Element* first, size_t n, const BufrContext& c, int index);

// A code beyond its field goes as missing: its low bits would name another entry.
uint32_t FittedCode(const Element& e, const BufrContext& c, int index) {
  const uint32_t code = e.code(c, index);
  return code > AllOnes(e.width) ? AllOnes(e.width) : code;
}

void WriteElement(TBitWriter& w, const Element& e, const BufrContext& c, int index) {
  switch (e.kind) {
    case Kind::Code: w.PutBits(FittedCode(e, c, index), e.width); break;
    case Kind::Scaled: w.PutBits(ScaledCode(e, c, index), e.width); break;
    case Kind::Text: w.PutText(Ia5Text(e.text(c, index)), e.width); break;
    case Kind::LevelGroups:
      for (int i = 0; i < c.a.LevelCount; ++i)
        if (c.a.LevelIncluded(i)) WriteGroup(w, kLevelGroup, std::size(kLevelGroup), c, i);
      break;
    case Kind::ShearGroups:
      for (int i = 0; i < c.a.ShearCount; ++i)
        if (c.a.ShearIncludedAt(i)) WriteGroup(w, kShearGroup, std::size(kShearGroup), c, i);
      break;
  }
}

void WriteGroup(TBitWriter& w, const Element* first, size_t n, const BufrContext& c, int index) {
  for (size_t k = 0; k < n; ++k) WriteElement(w, first[k], c, index);
}

// ---------------------------------------------------------------------------
// Values the fields cannot hold, found by the same table the encoder writes by.

constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};

// A coded integer as the quantity it stands for: (coded + ref) / 10^scale.
double Decoded(const Element& e, double coded) {
  const int k = e.scale >= 0 ? e.scale : -e.scale;
  const double v = coded + e.ref;
  return e.scale >= 0 ? v / kPow10[k] : v * kPow10[k];
}

double Shown(const Element& e, double v) { return (v - e.shownOffset) / e.shownDivisor; }

int ShownDecimals(const Element& e) {
  int d = e.scale > 0 ? e.scale : 0;
  for (double div = e.shownDivisor; div >= 10; div /= 10) ++d;
  return d;
}

void CheckElement(const Element& e, const BufrContext& c, int level, bool shear, UnfitValues& out) {
  if (!e.name) return;
  tUnfitValue u;
  const uint32_t ones = AllOnes(e.width);
  if (e.kind == Kind::Code) {
    const uint32_t code = e.code(c, level);
    if (code <= ones) return;
    u.value = code;
    u.lowest = 0;
    u.highest = ones - 1;
    u.decimals = 0;
  } else if (e.kind == Kind::Scaled) {
    const double value = e.value(c, level);
    int64_t coded = 0;
    if (e.bad == Bad::FailIfMissingOrOutside || !ScaledInteger(value, e.scale, e.ref, coded)) return;
    // Outside the field such a value stops the encoding anyway; only all ones would pass for missing.
    if (e.bad == Bad::FailIfOutside ? coded != ones : coded >= 0 && coded < ones) return;
    u.value = Shown(e, value);
    u.lowest = Shown(e, Decoded(e, 0));
    u.highest = Shown(e, Decoded(e, ones - 1.0));
    u.decimals = ShownDecimals(e);
  } else {
    return;
  }
  u.descriptor = e.id;
  u.level = level;
  u.shear = shear;
  u.element = cp(e.name);
  u.unit = cp(e.unit);
  out.push_back(std::move(u));
}

void CheckGroup(const Element* first, size_t n, const BufrContext& c, int index, bool shear, UnfitValues& out) {
  for (size_t k = 0; k < n; ++k) CheckElement(first[k], c, index, shear, out);
}

}  // namespace

UnfitValues FindUnfitValues(const BufrContext& c) {
  UnfitValues out;
  for (const Row& r : kLayout) {
    if (!r.element || !Holds(r.when, c)) continue;
    if (r.element->kind == Kind::LevelGroups) {
      for (int i = 0; i < c.a.LevelCount; ++i)
        if (c.a.LevelIncluded(i)) CheckGroup(kLevelGroup, std::size(kLevelGroup), c, i, false, out);
    } else if (r.element->kind == Kind::ShearGroups) {
      for (int i = 0; i < c.a.ShearCount; ++i)
        if (c.a.ShearIncludedAt(i)) CheckGroup(kShearGroup, std::size(kShearGroup), c, i, true, out);
    } else {
      CheckElement(*r.element, c, -1, false, out);
    }
  }
  return out;
}

BufrContext MakeBufrContext(const TUAMessage& a) {
  return BufrContext{a, a.ExtMeta > 4 ? 0 : a.ExtMeta, !a.BufrI, CloudCodesOf(a.CloudGroup, a.CloudGroupInvalid)};
}

size_t DescriptorCount(const BufrContext& c) {
  size_t n = 0;
  for (const Row& r : kLayout)
    if (r.descriptor != kNone && Holds(r.when, c)) ++n;
  return n;
}

size_t DataBitCount(const BufrContext& c) {
  size_t bits = 0;
  for (const Row& r : kLayout) {
    if (!r.element || !Holds(r.when, c)) continue;
    if (r.element->kind == Kind::LevelGroups)
      bits += kLevelBits * c.a.IncludedCount;
    else if (r.element->kind == Kind::ShearGroups)
      bits += kShearBits * c.a.ShearIncluded;
    else
      bits += BitsOf(*r.element);
  }
  return bits;
}

void WriteDescriptors(TBitWriter& w, const BufrContext& c) {
  for (const Row& r : kLayout)
    if (r.descriptor != kNone && Holds(r.when, c)) w.PutDescriptor(r.descriptor.f, r.descriptor.x, r.descriptor.y);
}

void WriteData(TBitWriter& w, const BufrContext& c) {
  for (const Row& r : kLayout)
    if (r.element && Holds(r.when, c)) WriteElement(w, *r.element, c, -1);
}

}  // namespace tern
