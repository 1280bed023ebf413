#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "EccodesDecode.h"
#include "FakeAscent.h"
#include "TestSupport.h"
#include "base/DateTime.h"
#include "base/Error.h"
#include "base/Text.h"
#include "bufr/BufrMessage.h"
#include "bufr/RadiosondeSection.h"

using namespace tern;
using tern::test::FakeAscent;

namespace {

// Reads n bits at a bit offset, most significant first.
uint32_t BitsAt(const std::string& m, size_t bit, int n) {
  uint32_t v = 0;
  for (int k = 0; k < n; ++k, ++bit) v = (v << 1) | ((static_cast<uint8_t>(m[bit / 8]) >> (7 - bit % 8)) & 1);
  return v;
}
uint32_t Octets(const std::string& m, size_t first, int count) { return BitsAt(m, first * 8, count * 8); }

constexpr size_t kSection1 = 8, kSection3 = 31;

std::unique_ptr<FakeAscent> Bare() {
  auto a = std::make_unique<FakeAscent>();
  a->Meta.Include61616 = false;
  a->ObsTime = EncodeDateTime(2009, 3, 5, 12, 0, 0);
  a->LaunchTime = EncodeDateTime(2009, 3, 5, 11, 23, 0);
  return a;
}

std::string ExpectFailure(TUAMessage& a, size_t limit = kBufrDataLimit) {
  try {
    BuildBufrMessage(a, limit);
  } catch (const TernError& e) {
    return e.Text();
  }
  ADD_FAILURE() << "the message was built";
  return {};
}

}  // namespace

TEST(BufrFrame, SectionsZeroAndOneOctetByOctet) {
  auto a = Bare();
  a->Center = 0x1234;
  a->SubCenter = 0x0056;
  a->UpdateSeq = 3;
  a->TablesVer = 25;
  a->LocTablesVer = 1;
  const std::string m = BuildBufrMessage(*a);
  EXPECT_EQ(m.substr(0, 4), "BUFR");
  EXPECT_EQ(Octets(m, 4, 3), m.size());
  EXPECT_EQ(Octets(m, 7, 1), 4u);
  const uint8_t section1[23] = {0x00, 0x00, 0x17, 0x00, 0x12, 0x34, 0x00, 0x56, 0x03, 0x00, 0x02, 0x04,
                                0xFF, 0x19, 0x01, 0x07, 0xD9, 0x03, 0x05, 0x0C, 0x00, 0x00, 0xA5};
  for (size_t i = 0; i < 23; ++i)
    EXPECT_EQ(static_cast<uint8_t>(m[kSection1 + i]), section1[i]) << "section 1 octet " << i + 1;
}

TEST(BufrFrame, EmptyProfileWithoutMetadata) {
  // ExtMeta 0, no 61616 group, no levels: 346 data bits, padded to 44 octets.
  auto a = Bare();
  const std::string m = BuildBufrMessage(*a);
  EXPECT_EQ(Octets(m, kSection3, 3), 9u);
  EXPECT_EQ(Octets(m, kSection3 + 3, 1), 0u);
  EXPECT_EQ(Octets(m, kSection3 + 4, 2), 1u);     // one subset
  EXPECT_EQ(Octets(m, kSection3 + 6, 1), 0x80u);  // observed, not compressed
  EXPECT_EQ(Octets(m, kSection3 + 7, 2), 0xC934u);  // 3 09 052
  const size_t s4 = kSection3 + 9;
  EXPECT_EQ(Octets(m, s4, 3), 48u);
  EXPECT_EQ(Octets(m, s4 + 3, 1), 0u);
  EXPECT_EQ(m.size(), 8u + 23 + 9 + 48 + 4);
  EXPECT_EQ(m.substr(m.size() - 4), "7777");
  // The last data octet holds 2 data bits (the empty wind-shear replication) and 6 zero bits.
  EXPECT_EQ(static_cast<uint8_t>(m[s4 + 4 + 43]), 0x00);
  // Level replication factor: 16 bits after the fixed 322 bits of the group.
  EXPECT_EQ(BitsAt(m, (s4 + 4) * 8 + 322, 16), 0u);
}

TEST(BufrFrame, NoPaddingWhenTheDataEndOnAnOctet) {
  // 346 + 3 x 122 = 712 bits = 89 octets exactly.
  auto a = Bare();
  a->ShearCount = 3;
  for (int i = 0; i < 3; ++i) a->Shears[i].Pressure = 500 - 100 * i;
  const std::string m = BuildBufrMessage(*a);
  const size_t s4 = kSection3 + 9;
  EXPECT_EQ(Octets(m, s4, 3), 4u + 89);
  EXPECT_EQ(m.substr(s4 + 4 + 89), "7777");
}

TEST(BufrFrame, SectionLengthsFollowTheLayout) {
  struct Case {
    int ext;
    bool bufrII, with61616;
    size_t section3;
    size_t metaBits;  // data bits beyond the TEMP sequence
  };
  const Case cases[] = {
      {0, false, false, 9, 0},
      {0, true, true, 11, 88},
      {1, false, false, 33, 330},
      {1, true, false, 35, 330 + 480},
      {1, true, true, 37, 330 + 88 + 480},
      {2, false, false, 63, 330 + 138},
      {2, true, false, 67, 330 + 138 + 480 + 5},
      {2, true, true, 69, 330 + 138 + 88 + 480 + 5},
      {3, true, false, 11, 420},
      {3, false, true, 13, 420 + 88},
      {4, true, false, 23, 420 + 57},
      {4, false, true, 25, 420 + 57 + 88},
      {7, true, true, 11, 88},  // above 4: as 0
  };
  for (const Case& c : cases) {
    auto a = Bare();
    a->ExtMeta = static_cast<uint8_t>(c.ext);
    a->BufrI = !c.bufrII;
    a->Meta.Include61616 = c.with61616;
    for (int i = 0; i < 5; ++i) a->AddLevel(1000.0f - 100.0f * i);
    a->ShearCount = 2;
    a->Shears[0].Pressure = 300;
    a->Shears[1].Pressure = 200;
    a->Shears[1].RejFlags = kRejShear;  // not included
    const std::string m = BuildBufrMessage(*a);
    const size_t dataBits = 346 + 168 * 5 + 122 * 1 + c.metaBits;
    const size_t section4 = 4 + (dataBits + 7) / 8;
    const std::string what = "ExtMeta " + std::to_string(c.ext) + (c.bufrII ? " II" : " I") +
                             (c.with61616 ? " 61616" : "");
    EXPECT_EQ(Octets(m, kSection3, 3), c.section3) << what;
    EXPECT_EQ(Octets(m, kSection3 + c.section3, 3), section4) << what;
    EXPECT_EQ(m.size(), 8 + 23 + c.section3 + section4 + 4) << what;
    EXPECT_EQ(Octets(m, 4, 3), m.size()) << what;
    EXPECT_EQ(m.substr(m.size() - 4), "7777") << what;
  }
}

TEST(BufrFrame, LevelValuesAtTheirBitPositions) {
  auto a = Bare();
  a->StationInd = 27612;
  tUALevel& l = a->AddLevel(850, -56.5f, -0.125f, 90, 5, 1500);
  l.Time = 0;
  const std::string m = BuildBufrMessage(*a);
  const size_t data = (kSection3 + 9 + 4) * 8;
  EXPECT_EQ(BitsAt(m, data, 7), 27u);
  EXPECT_EQ(BitsAt(m, data + 7, 10), 612u);
  EXPECT_EQ(BitsAt(m, data + 322, 16), 1u);  // one level
  const size_t level = data + 338;
  EXPECT_EQ(BitsAt(m, level, 15), 8192u);          // time 0
  EXPECT_EQ(BitsAt(m, level + 33, 14), 8500u);     // pressure in 10 Pa
  EXPECT_EQ(BitsAt(m, level + 47, 17), 2500u);     // height + 1000
  EXPECT_EQ(BitsAt(m, level + 115, 16), 21665u);   // -56.5 degC
  EXPECT_EQ(BitsAt(m, level + 131, 16), 27302u);   // -0.125 degC: 27302.5 ties to even
  EXPECT_EQ(BitsAt(m, level + 147, 9), 90u);
  EXPECT_EQ(BitsAt(m, level + 156, 12), 50u);
  EXPECT_EQ(BitsAt(m, level + 168, 8), 0u);        // no wind-shear records
}

TEST(BufrFrame, RangeFailuresStopTheMessage) {
  struct Case {
    const char* what;
    void (*setup)(FakeAscent&);
    const char* text;  // part of the operator's text
  };
  const Case cases[] = {
      {"update sequence 256", [](FakeAscent& a) { a.UpdateSeq = 256; }, "255"},
      {"antenna 256 m, ExtMeta 2",
       [](FakeAscent& a) {
         a.ExtMeta = 2;
         a.Meta.AntennaHeight = 256;
       },
       "высота антенны"},
      {"antenna -1 m, ExtMeta 4",
       [](FakeAscent& a) {
         a.ExtMeta = 4;
         a.Meta.AntennaHeight = -1;
       },
       "высота антенны"},
      {"level without pressure",
       [](FakeAscent& a) {
         a.AddLevel(1000);
         a.AddLevel(static_cast<float>(kMissing));
       },
       "уровень 2"},
      {"negative pressure", [](FakeAscent& a) { a.AddLevel(-5); }, "уровень 1"},
      {"wind shear without pressure",
       [](FakeAscent& a) {
         a.ShearCount = 1;
         a.Shears[0].Pressure = kMissing;
       },
       "сдвига ветра 1"},
  };
  for (const Case& c : cases) {
    auto a = Bare();
    c.setup(*a);
    const std::string text = ExpectFailure(*a);
    EXPECT_NE(text.find(cp(c.text)), std::string::npos) << c.what << ": " << Cp1251ToUtf8(text);
  }
}

TEST(BufrFrame, ValuesThatAreNotCodedCannotFail) {
  struct Case {
    const char* what;
    void (*setup)(FakeAscent&);
  };
  const Case cases[] = {
      {"update sequence 255", [](FakeAscent& a) { a.UpdateSeq = 255; }},
      {"antenna 256 m without metadata", [](FakeAscent& a) { a.Meta.AntennaHeight = 256; }},
      {"antenna 256 m, ExtMeta 1", [](FakeAscent& a) { a.ExtMeta = 1, a.Meta.AntennaHeight = 256; }},
      {"antenna 255 m, ExtMeta 2", [](FakeAscent& a) { a.ExtMeta = 2, a.Meta.AntennaHeight = 255; }},
      {"antenna missing, ExtMeta 4", [](FakeAscent& a) { a.ExtMeta = 4, a.Meta.AntennaHeight = kMissing; }},
      {"rejected level without pressure",
       [](FakeAscent& a) { a.AddLevel(static_cast<float>(kMissing)).RejFlags = kRejLevel; }},
  };
  for (const Case& c : cases) {
    auto a = Bare();
    c.setup(*a);
    EXPECT_NO_THROW(BuildBufrMessage(*a)) << c.what;
  }
}

TEST(BufrFrame, OversizedDataSectionIsRefused) {
  auto a = Bare();
  a->AddLevel(1000);
  // 346 + 168 bits = 65 octets of data.
  EXPECT_NO_THROW(BuildBufrMessage(*a, 65));
  EXPECT_EQ(ExpectFailure(*a, 64), cp("Превышен предел размера сообщения BUFR!"));
}

TEST(BufrFrame, LargestProfileFitsAndDecodes) {
  auto a = Bare();
  a->ExtMeta = 2;
  a->BufrI = false;
  a->Meta.Include61616 = true;
  for (int i = 0; i < kMaxLevels; ++i) a->AddLevel(1000.0f - 0.3f * i).Time = static_cast<float>(i);
  a->ShearCount = kMaxShears;
  for (int i = 0; i < kMaxShears; ++i) a->Shears[i].Pressure = 100;
  const std::string m = BuildBufrMessage(*a);
  EXPECT_EQ(m.size(), 8u + 23 + 69 + 4 + (346 + 168 * 3000 + 122 * 6 + 330 + 138 + 88 + 480 + 5 + 7) / 8 + 4);
  test::TempDir dir;
  test::WriteBytes(dir / "big.bin", m);
  const auto d = test::DecodeWithEccodes(dir / "big.bin", {"extendedDelayedDescriptorReplicationFactor",
                                                           "delayedDescriptorReplicationFactor", "timePeriod"});
  ASSERT_TRUE(d.Ok()) << d.output.substr(0, 2000);
  EXPECT_EQ(d.Number("extendedDelayedDescriptorReplicationFactor"), 3000);
  EXPECT_EQ(d.Number("delayedDescriptorReplicationFactor"), 6);
  const auto times = d.Numbers("timePeriod");
  ASSERT_EQ(times.size(), 3006u);
  EXPECT_EQ(times[2999], 2999);
}

TEST(BufrFrame, CloudGroupIsCheckedAtEncoding) {
  // A stale validity flag must not let an invalid group through.
  auto a = Bare();
  a->CloudGroup = "1/0//";
  a->CloudGroupInvalid = false;
  BuildBufrMessage(*a);
  EXPECT_TRUE(a->CloudGroupInvalid);
  a->CloudGroup = "70///";
  BuildBufrMessage(*a);
  EXPECT_FALSE(a->CloudGroupInvalid);
}
