// Messages decoded by ecCodes and compared value by value with the ascent they
// came from. The expected values are written out by hand from the source values.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "EccodesDecode.h"
#include "FakeAscent.h"
#include "TestSupport.h"
#include "base/DateTime.h"
#include "bufr/BufrMessage.h"

using namespace tern;
using tern::test::DecodeWithEccodes;
using tern::test::EcDecoded;
using tern::test::FakeAscent;
using tern::test::kEcMissingDouble;
using tern::test::kEcMissingLong;

namespace {

constexpr float MF = static_cast<float>(kMissing);
constexpr double MD = kEcMissingDouble;
constexpr double ML = kEcMissingLong;

struct LevelSource {
  float p, h, t, td, wd, ws, time;
  double lat, lon;
  uint8_t rej;
  uint32_t sig;
};

// A profile with ties, rejections of every kind and missing values.
const LevelSource kProfile[] = {
    {1000.3f, 150, 12.5f, 10.2f, 90, 5.3f, 0, 0, 0, 0, 0x0001},
    {925, 762.5f, -0.125f, -0.375f, 359.5f, 0.25f, 60.5f, 0.0123456, -0.0543214, 0, 0x0022},
    {850, 1500, -5, -8, 180, 10, 120, 0.1, 0.2, kRejTemp, 0x0084},
    {700, 3000, -15.25f, -20.5f, 200, 15.5f, 600, 0.3, 0.4, 0, 0},
    {600, MF, MF, MF, MF, MF, 700, kMissing, kMissing, kRejLevel, 0x0002},
    {500, 5500, -25, -35, 250, 20, 1200, 0.5, 0.6, kRejHeight | kRejPos, 0},
    {400, 7000, -35, -45, 260, 30, 1500, 0.7, 0.8, kRejWind, 0x0010},
    {300, 9000, -45, MF, 270, 35.7f, -1, 0.9, 1.1, 0, 0},
    {30, 23500, -55.5f, -80, MF, 3, 6000, 1.2, 1.3, 0, 0},
};

// What a receiving centre reads for the included levels (the fifth is rejected whole).
// ecCodes shows a missing integer element as ML and a missing real one as MD.
struct LevelDecoded {
  double pa, h, tk, tdk, wd, ws, time, lat, lon, sig;
};
const LevelDecoded kDecoded[] = {
    {100030, 150, 285.65, 283.35, 90, 5.3, 0, 0, 0, 131072},
    // 762.5 -> 762, 27302.5 -> 27302, 27277.5 -> 27278, 359.5 -> 360, 2.5 -> 2, 60.5 -> 60;
    // gap of temperature and humidity opens after this level
    {92500, 762, 273.02, 272.78, 360, 0.2, 60, 0.01235, -0.05432, 65536 + 8192 + 1024 + 256},
    // temperature rejected: no temperature, no dew point, no tropopause; wind significance stays
    {85000, 1500, MD, MD, 180, 10, 120, 0.1, 0.2, 2048},
    // both gaps end here
    {70000, 3000, 257.90, 252.65, 200, 15.5, 600, 0.3, 0.4, 512 + 128},
    // height and position rejected; the wind gap opens after this level
    {50000, ML, 248.15, 238.15, 250, 20, 1200, MD, MD, 64},
    // wind rejected, and with it the maximum-wind mark
    {40000, 7000, 238.15, 228.15, ML, MD, 1500, 0.7, 0.8, 0},
    // wind gap ends; last usable wind (top-of-wind mark differs by kind, see below)
    {30000, 9000, 228.15, MD, 270, 35.7, ML, 0.9, 1.1, 32},
    // wind direction missing: no wind at all
    {3000, 23500, 217.65, 193.15, ML, MD, 6000, 1.2, 1.3, 0},
};

std::unique_ptr<FakeAscent> RichAscent() {
  auto a = std::make_unique<FakeAscent>();
  a->StationInd = 27612;
  a->StationLat = 55.93333;
  a->StationLon = 37.51667;
  a->StationGroundHeight = 147.3;
  a->StationBarometerHeight = 148;
  a->StationRSReleaseHeight = 149;
  a->Center = 28;
  a->SubCenter = 7;
  a->UpdateSeq = 2;
  a->TablesVer = 25;
  a->LaunchTime = EncodeDateTime(2009, 3, 5, 11, 23, 45);
  a->ObsTime = EncodeDateTime(2009, 3, 5, 12, 0, 0);
  a->CloudGroup = "85230";
  tAscentMeta& m = a->Meta;
  m.RadiosondeType = 90;
  m.SolarIRCorr = 3;
  m.TrackingTech = 8;
  m.MeasEquipment = 2;
  m.SondeSerial = "A1234567";
  m.AscentNo = 321;
  m.ReleasePoint = 1;
  m.Observer = "IVAN";
  m.Frequency = 403.5e6;
  m.GroundSystem = 5;
  m.BarometerHeight = 148;
  m.AntennaHeight = 12;
  m.CorrAz = 123.45;
  m.CorrEl = -2.5;
  m.Radome = 1;
  m.Completeness = 1;
  m.Configuration = 3;
  m.BalloonMaker = 4;
  m.BalloonType = 2;
  m.BalloonWeight = 0.35;
  m.GasType = 1;
  m.GasAmount = 1.234;
  m.TrainLength = 25.5;
  m.PressureSensor = 2;
  m.TempSensor = 3;
  m.HumSensor = 4;
  m.HumCorrection = 5;
  m.GeopotCalc = 1;
  m.SoftVer = "TERN 1.2";
  m.Group61616 = "61616 10302";
  m.Termination = 5;
  m.TerminationText = "BALLOON BURST";
  for (const LevelSource& s : kProfile) {
    tUALevel& l = a->AddLevel(s.p, s.t, s.td, s.wd, s.ws, s.h);
    l.Time = s.time;
    l.LatDisp = s.lat;
    l.LonDisp = s.lon;
    l.RejFlags = s.rej;
    l.SigFlags = s.sig;
  }
  return a;
}

std::string EncodeToFile(TUAMessage& a, const test::TempDir& dir) {
  const std::string path = dir / "message.bin";
  test::WriteBytes(path, BuildBufrMessage(a));
  return path;
}

void ExpectValues(const std::vector<double>& got, const std::vector<double>& expected, double tolerance,
                  const std::string& what) {
  ASSERT_EQ(got.size(), expected.size()) << what;
  for (size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], expected[i], tolerance) << what << " #" << i + 1;
}

std::vector<double> Column(double LevelDecoded::*field) {
  std::vector<double> v;
  for (const LevelDecoded& d : kDecoded) v.push_back(d.*field);
  return v;
}

// The descriptor list of section 3; 0 marks where the 61616 group goes.
std::vector<double> ExpectedDescriptors(int ext, bool bufrII, bool with61616) {
  std::vector<double> list;
  switch (ext) {
    case 1:
      list = {309052, 1082, 2191, 25061, 1081, 0, 2017, 2067, 2095, 2096, 2097, 2081, 2082, 2084};
      if (bufrII) list.push_back(205060);
      break;
    case 2:
      list = {309052, 1082, 1083, 1095, 2066, 7007, 2102, 201133, 25065, 25066, 201000, 2103, 2191, 25061,
              1081, 0, 2017, 2067, 2095, 2096, 2097, 2015, 2016, 2080, 2081, 2082, 2084, 2085, 2086};
      if (bufrII) list.insert(list.end(), {35035, 205060});
      break;
    case 3: list = {301128, 309052, 0}; break;
    case 4: list = {301128, 7007, 2102, 201133, 25065, 25066, 201000, 309052, 0}; break;
    default: list = {309052, 0}; break;  // 0 and anything above 4
  }
  std::vector<double> out;
  for (double d : list)
    if (d != 0)
      out.push_back(d);
    else if (with61616)
      out.push_back(205011);
  return out;
}

struct Kind {
  int ext;
  bool bufrII;
  bool with61616;
};

std::string KindName(const testing::TestParamInfo<Kind>& info) {
  return "ExtMeta" + std::to_string(info.param.ext) + (info.param.bufrII ? "_BufrII" : "_BufrI") +
         (info.param.with61616 ? "_61616" : "_No61616");
}

class BufrDecoded : public testing::TestWithParam<Kind> {};

TEST_P(BufrDecoded, EcCodesReadsBackEveryValue) {
  const Kind k = GetParam();
  auto a = RichAscent();
  a->ExtMeta = static_cast<uint8_t>(k.ext);
  a->BufrI = !k.bufrII;
  a->Meta.Include61616 = k.with61616;
  test::TempDir dir;
  const std::string file = EncodeToFile(*a, dir);
  const std::string message = test::ReadBytes(file);

  const int ext = k.ext > 4 ? 0 : k.ext;
  const bool meta12 = ext == 1 || ext == 2, meta2 = ext == 2, meta34 = ext >= 3, meta4 = ext == 4;

  std::vector<std::string> numeric = {
      "edition", "bufrHeaderCentre", "bufrHeaderSubCentre", "updateSequenceNumber", "dataCategory",
      "internationalDataSubCategory", "dataSubCategory", "masterTablesVersionNumber", "localTablesVersionNumber",
      "typicalYear", "typicalMonth", "typicalDay", "typicalHour", "typicalMinute", "typicalSecond",
      "numberOfSubsets", "observedData", "compressedData", "unexpandedDescriptors", "section3Length",
      "section4Length", "totalLength",
      "blockNumber", "stationNumber", "radiosondeType", "solarAndInfraredRadiationCorrection",
      "trackingTechniqueOrStatusOfSystem", "measuringEquipmentType", "timeSignificance", "year", "month", "day",
      "hour", "minute", "second", "latitude", "longitude", "heightOfStationGroundAboveMeanSeaLevel",
      "heightOfBarometerAboveMeanSeaLevel", "height", "stationElevationQualityMarkForMobileStations",
      "verticalSignificanceSurfaceObservations", "cloudAmount", "heightOfBaseOfCloud", "cloudType",
      "oceanographicWaterTemperature", "extendedDelayedDescriptorReplicationFactor",
      "delayedDescriptorReplicationFactor", "timePeriod", "extendedVerticalSoundingSignificance", "pressure",
      "nonCoordinateGeopotentialHeight", "latitudeDisplacement", "longitudeDisplacement", "airTemperature",
      "dewpointTemperature", "windDirection", "windSpeed"};
  std::vector<std::string> text = {"shipOrMobileLandStationIdentifier"};

  // Metadata elements: decoded value and the ExtMeta levels that carry them.
  struct MetaValue {
    const char* key;
    double value;
    bool present;
  };
  const MetaValue metaValues[] = {
      {"radiosondeAscensionNumber", 321, meta12 || meta34},
      {"radiosondeReleaseNumber", 1, meta2 || meta34},
      {"radiosondeCompleteness", 1, meta2 || meta34},
      {"radiosondeConfiguration", 3, meta2 || meta34},
      {"correctionAlgorithmsForHumidityMeasurements", 5, meta12 || meta34},
      {"radiosondeGroundReceivingSystem", 5, meta2 || meta34},
      {"radiosondeOperatingFrequency", 403500000, meta12 || meta34},
      {"balloonManufacturer", 4, meta2 || meta34},
      {"balloonType", 2, meta12 || meta34},
      {"weightOfBalloon", 0.35, meta12 || meta34},
      {"balloonShelterType", ML, meta34},
      {"typeOfGasUsedInBalloon", 1, meta12 || meta34},
      {"amountOfGasUsedInBalloon", 1.234, meta2 || meta34},
      {"balloonFlightTrainLength", 25.5, meta2 || meta34},
      {"pressureSensorType", 2, meta12 || meta34},
      {"temperatureSensorType", 3, meta12 || meta34},
      {"humiditySensorType", 4, meta12 || meta34},
      {"radome", 1, meta2 || meta34},
      {"geopotentialHeightCalculation", 1, meta12 || meta34},
      // BUFR I ends at 100 hPa by design: its reason for termination is missing.
      {"reasonForTermination", k.bufrII ? 5.0 : ML, meta34 || (meta2 && k.bufrII)},
      {"antennaHeightAboveTowerBase", 12, meta2 || meta4},
      {"orientationCorrectionAzimuth", 123.45, meta2 || meta4},
      {"orientationCorrectionElevation", -2.5, meta2 || meta4},
  };
  for (const MetaValue& m : metaValues)
    if (m.present) numeric.push_back(m.key);
  if (meta12 || meta34)
    text.insert(text.end(), {"radiosondeSerialNumber", "softwareVersionNumber"});
  if (meta2 || meta34) text.push_back("observerIdentification");
  const bool terminationText = meta12 && k.bufrII;
  if (k.with61616) text.push_back("#1#text");
  if (terminationText) text.push_back(k.with61616 ? "#2#text" : "#1#text");

  const EcDecoded d = DecodeWithEccodes(file, numeric, text);
  ASSERT_TRUE(d.Ok()) << d.output;

  // Frame.
  EXPECT_EQ(d.Number("edition"), 4);
  EXPECT_EQ(d.Number("bufrHeaderCentre"), 28);
  EXPECT_EQ(d.Number("bufrHeaderSubCentre"), 7);
  EXPECT_EQ(d.Number("updateSequenceNumber"), 2);
  EXPECT_EQ(d.Number("dataCategory"), 2);
  EXPECT_EQ(d.Number("internationalDataSubCategory"), 4);
  EXPECT_EQ(d.Number("dataSubCategory"), 255);
  EXPECT_EQ(d.Number("masterTablesVersionNumber"), 25);
  EXPECT_EQ(d.Number("localTablesVersionNumber"), 0);
  ExpectValues({d.Number("typicalYear"), d.Number("typicalMonth"), d.Number("typicalDay"), d.Number("typicalHour"),
                d.Number("typicalMinute"), d.Number("typicalSecond")},
               {2009, 3, 5, 12, 0, 0}, 0, "observation time");
  EXPECT_EQ(d.Number("numberOfSubsets"), 1);
  EXPECT_EQ(d.Number("observedData"), 1);
  EXPECT_EQ(d.Number("compressedData"), 0);
  const auto descriptors = ExpectedDescriptors(k.ext, k.bufrII, k.with61616);
  ExpectValues(d.Numbers("unexpandedDescriptors"), descriptors, 0, "descriptors");
  EXPECT_EQ(d.Number("section3Length"), 7 + 2 * descriptors.size());
  EXPECT_EQ(d.Number("totalLength"), message.size());

  // Identification, launch and station.
  EXPECT_EQ(d.Number("blockNumber"), 27);
  EXPECT_EQ(d.Number("stationNumber"), 612);
  EXPECT_EQ(d.Text("shipOrMobileLandStationIdentifier"), "MISSING");
  EXPECT_EQ(d.Number("radiosondeType"), 90);
  EXPECT_EQ(d.Number("solarAndInfraredRadiationCorrection"), 3);
  EXPECT_EQ(d.Number("trackingTechniqueOrStatusOfSystem"), 8);
  EXPECT_EQ(d.Number("measuringEquipmentType"), 2);
  EXPECT_EQ(d.Number("timeSignificance"), 18);
  ExpectValues({d.Number("year"), d.Number("month"), d.Number("day"), d.Number("hour"), d.Number("minute"),
                d.Number("second")},
               {2009, 3, 5, 11, 23, 45}, 0, "launch time");
  EXPECT_NEAR(d.Number("latitude"), 55.93333, 1e-9);
  EXPECT_NEAR(d.Number("longitude"), 37.51667, 1e-9);
  EXPECT_NEAR(d.Number("heightOfStationGroundAboveMeanSeaLevel"), 147.3, 1e-9);
  EXPECT_NEAR(d.Number("heightOfBarometerAboveMeanSeaLevel"), 148, 1e-9);
  // 0 07 007 is the release height in the TEMP sequence and the barometer height in the metadata.
  std::vector<double> heights = {149};
  if (meta2) heights = {149, 148};
  if (meta4) heights = {148, 149};
  ExpectValues(d.Numbers("height"), heights, 0, "0 07 007");
  EXPECT_EQ(d.Number("stationElevationQualityMarkForMobileStations"), ML);

  // Cloud group 85230.
  ExpectValues(d.Numbers("verticalSignificanceSurfaceObservations"), {7, ML}, 0, "vertical significance");
  EXPECT_EQ(d.Number("cloudAmount"), 8);
  EXPECT_EQ(d.Number("heightOfBaseOfCloud"), 150);
  ExpectValues(d.Numbers("cloudType"), {35, 23, 10}, 0, "cloud types");
  EXPECT_EQ(d.Number("oceanographicWaterTemperature"), MD);

  // Levels.
  EXPECT_EQ(d.Number("extendedDelayedDescriptorReplicationFactor"), 8);
  EXPECT_EQ(d.Number("delayedDescriptorReplicationFactor"), 0);
  ExpectValues(d.Numbers("pressure"), Column(&LevelDecoded::pa), 0, "pressure");
  ExpectValues(d.Numbers("nonCoordinateGeopotentialHeight"), Column(&LevelDecoded::h), 0, "height");
  ExpectValues(d.Numbers("airTemperature"), Column(&LevelDecoded::tk), 1e-9, "temperature");
  ExpectValues(d.Numbers("dewpointTemperature"), Column(&LevelDecoded::tdk), 1e-9, "dew point");
  ExpectValues(d.Numbers("windDirection"), Column(&LevelDecoded::wd), 0, "wind direction");
  ExpectValues(d.Numbers("windSpeed"), Column(&LevelDecoded::ws), 1e-9, "wind speed");
  ExpectValues(d.Numbers("timePeriod"), Column(&LevelDecoded::time), 0, "time");
  ExpectValues(d.Numbers("latitudeDisplacement"), Column(&LevelDecoded::lat), 1e-12, "latitude displacement");
  ExpectValues(d.Numbers("longitudeDisplacement"), Column(&LevelDecoded::lon), 1e-12, "longitude displacement");
  auto sig = Column(&LevelDecoded::sig);
  // BUFR II marks the last usable wind as top of the wind sounding; BUFR I only a
  // last level below 100 hPa, and this profile ends above it.
  if (k.bufrII) sig[6] += 16;
  ExpectValues(d.Numbers("extendedVerticalSoundingSignificance"), sig, 0, "significance");

  // Metadata.
  for (const MetaValue& m : metaValues)
    if (m.present) {
      EXPECT_NEAR(d.Number(m.key), m.value, 1e-9) << m.key;
    }
  // ecCodes drops the padding spaces of a text when it prints it.
  if (meta12 || meta34) {
    EXPECT_EQ(d.Text("radiosondeSerialNumber"), "A1234567");
    EXPECT_EQ(d.Text("softwareVersionNumber"), "TERN 1.2");
  }
  if (meta2 || meta34) {
    EXPECT_EQ(d.Text("observerIdentification"), "IVAN");
  }
  if (k.with61616) {
    EXPECT_EQ(d.Text("#1#text"), "61616 10302");
  }
  if (terminationText) {
    EXPECT_EQ(d.Text(k.with61616 ? "#2#text" : "#1#text"), "BALLOON BURST");
  }
}

std::vector<Kind> AllKinds() {
  std::vector<Kind> kinds;
  for (int ext = 0; ext <= 5; ++ext)
    for (bool bufrII : {false, true})
      for (bool with61616 : {false, true}) kinds.push_back({ext, bufrII, with61616});
  return kinds;
}

INSTANTIATE_TEST_SUITE_P(EveryLayout, BufrDecoded, testing::ValuesIn(AllKinds()), KindName);

}  // namespace

namespace {

std::unique_ptr<FakeAscent> PlainAscent() {
  auto a = std::make_unique<FakeAscent>();
  a->StationInd = 27612;
  a->BufrI = false;
  a->Meta.Include61616 = false;
  a->LaunchTime = EncodeDateTime(2009, 3, 5, 11, 23, 0);
  a->ObsTime = EncodeDateTime(2009, 3, 5, 12, 0, 0);
  return a;
}

}  // namespace

TEST(BufrDecodedShears, IncludedRecordsWithTheirRejections) {
  auto a = PlainAscent();
  a->AddLevel(1000);
  struct ShearSource {
    double time, p, lat, lon;
    float below, above;
    uint8_t rej;
    uint32_t sig;
  };
  const ShearSource shears[] = {
      {1800.5, 250, 0.25, -0.5, 12.35f, 4.5f, 0, 0x0010},
      {-1, 200, 0.3, 0.6, 7, 8, kRejShear, 0x0080},        // rejected whole: not sent
      {2100, 150, 0.35, 0.7, 9.25f, 3.5f, kRejAbove, 0x0100 | 0x8000},
      {2400, 100, 0.4, 0.8, 5, 6, kRejBelow | kRejShearPos, 0},
  };
  for (const ShearSource& s : shears) {
    tUAWindShear& w = a->Shears[a->ShearCount++];
    w.Time = s.time;
    w.Pressure = s.p;
    w.LatDisp = s.lat;
    w.LonDisp = s.lon;
    w.ShearBelow = s.below;
    w.ShearAbove = s.above;
    w.RejFlags = s.rej;
    w.SigFlags = s.sig;
  }
  test::TempDir dir;
  const std::string file = EncodeToFile(*a, dir);
  const EcDecoded d = DecodeWithEccodes(
      file, {"delayedDescriptorReplicationFactor", "timePeriod", "extendedVerticalSoundingSignificance", "pressure",
             "latitudeDisplacement", "longitudeDisplacement", "absoluteWindShearIn1KmLayerBelow",
             "absoluteWindShearIn1KmLayerAbove"});
  ASSERT_TRUE(d.Ok()) << d.output;
  EXPECT_EQ(d.Number("delayedDescriptorReplicationFactor"), 3);
  // The level comes first in the element lists, then the three records.
  ExpectValues(d.Numbers("timePeriod"), {0, 1800, 2100, 2400}, 0, "time");
  ExpectValues(d.Numbers("extendedVerticalSoundingSignificance"), {16, 18432, 2048 + 16, 0}, 0, "significance");
  ExpectValues(d.Numbers("pressure"), {100000, 25000, 15000, 10000}, 0, "pressure");
  ExpectValues(d.Numbers("latitudeDisplacement"), {0.01, 0.25, 0.35, MD}, 1e-12, "latitude displacement");
  ExpectValues(d.Numbers("longitudeDisplacement"), {0.02, -0.5, 0.7, MD}, 1e-12, "longitude displacement");
  // 12.35 as a float lies just above 123.5 tenths: 124; 9.25 is 92.5 exactly and ties to 92.
  ExpectValues(d.Numbers("absoluteWindShearIn1KmLayerBelow"), {12.4, 9.2, MD}, 1e-9, "shear below");
  ExpectValues(d.Numbers("absoluteWindShearIn1KmLayerAbove"), {4.5, MD, 6}, 1e-9, "shear above");
}

TEST(BufrDecodedLevels, ValuesOutsideTheirFieldAreSentAsMissing) {
  // Wrapping such values into the field would send a plausible but wrong value.
  auto a = PlainAscent();
  tUALevel& l = a->AddLevel(500, -300, -10, 400, 500, 140000);
  l.Time = 30000;
  l.LatDisp = 250;  // 25 bits hold at most +245 degrees
  l.LonDisp = -0.5;
  test::TempDir dir;
  const EcDecoded d = DecodeWithEccodes(EncodeToFile(*a, dir),
                                        {"timePeriod", "nonCoordinateGeopotentialHeight", "airTemperature",
                                         "dewpointTemperature", "windDirection", "windSpeed",
                                         "latitudeDisplacement", "longitudeDisplacement"});
  ASSERT_TRUE(d.Ok()) << d.output;
  EXPECT_EQ(d.Number("timePeriod"), ML);
  EXPECT_EQ(d.Number("nonCoordinateGeopotentialHeight"), ML);
  EXPECT_EQ(d.Number("airTemperature"), MD);
  EXPECT_NEAR(d.Number("dewpointTemperature"), 263.15, 1e-9);
  EXPECT_EQ(d.Number("windDirection"), 400);  // 9 bits hold up to 510
  EXPECT_EQ(d.Number("windSpeed"), MD);
  EXPECT_EQ(d.Number("latitudeDisplacement"), MD);
  EXPECT_NEAR(d.Number("longitudeDisplacement"), -0.5, 1e-12);
}

TEST(BufrDecodedStation, OrientationCorrectionsFromTheStationFile) {
  // A sounding system whose aerial looks slightly below the horizon.
  test::TempDir dir;
  test::WriteCp1251(dir / "STATION.CNF",
                    "[Station]\nStationInd=27612\n[TERN]\nTERN=5\nAntennaHeightAbove=12\nRadome=1\n"
                    "CorrAz=-0.6\nCorrEl=-0.12\n");
  auto a = PlainAscent();
  ASSERT_TRUE(a->LoadStation(dir.path(), 5));
  a->ExtMeta = 2;
  a->AddLevel(1000);
  const EcDecoded d =
      DecodeWithEccodes(EncodeToFile(*a, dir), {"orientationCorrectionAzimuth", "orientationCorrectionElevation"});
  ASSERT_TRUE(d.Ok()) << d.output;
  EXPECT_NEAR(d.Number("orientationCorrectionAzimuth"), 359.4, 1e-9);
  EXPECT_NEAR(d.Number("orientationCorrectionElevation"), -0.12, 1e-9);
}
