#include <gtest/gtest.h>

#include "FakeAscent.h"
#include "TestSupport.h"
#include "base/Files.h"

using namespace tern;
using tern::test::FakeAscent;

namespace {
constexpr float M = static_cast<float>(kMissing);
}

TEST(AscentModel, FullClearRestoresTheMetadataDefaultsAndPartialKeepsThem) {
  auto a = std::make_unique<FakeAscent>();
  a->StationInd = 27612;
  a->Meta.RadiosondeType = 90;
  a->SubCenter = 3;
  a->AddLevel(1000);
  a->CloudGroup = "12345";
  a->BufrI = false;
  a->Clear(false);
  EXPECT_EQ(a->Meta.RadiosondeType, 90);
  EXPECT_EQ(a->StationInd, 27612u);
  EXPECT_EQ(a->LevelCount, 0);
  EXPECT_TRUE(a->CloudGroup.empty());
  EXPECT_TRUE(a->BufrI);
  EXPECT_EQ(a->Levels[0].Pressure, 0.0f);
  a->Clear(true);
  EXPECT_EQ(a->Meta.RadiosondeType, 255);
  EXPECT_EQ(a->Meta.Group61616, "61616 00000");
  EXPECT_EQ(a->Meta.AscentNo, 16383);
  EXPECT_EQ(a->SubCenter, 255);
  EXPECT_EQ(a->StationInd, 0u);
}

TEST(AscentModel, LevelInclusionDecidesOnTheFirstQuantityNotRejected) {
  auto a = std::make_unique<FakeAscent>();
  struct Case { uint8_t rej; float temp, dew, height, wdir; bool included; };
  const Case cases[] = {
      {0, M, M, M, M, true},          // nothing rejected: always in
      {31, 1, 1, 1, 1, false},        // whole level rejected
      {2, M, 1, 1, 1, false},         // temperature not rejected and missing decides, wind does not matter
      {2, 1, M, M, M, true},
      {1, M, 1, M, M, true},          // dew point decides
      {1 | 2, M, M, 5, M, true},      // height decides
      {1 | 2 | 4, M, M, M, 90, true}, // wind decides
      {1 | 2 | 4, 1, 1, 1, M, false},
      {1 | 2 | 4 | 8, 1, 1, 1, 1, true},  // position present
  };
  for (const auto& c : cases) {
    a->Clear(false);
    tUALevel& l = a->AddLevel(500, c.temp, c.dew, c.wdir, c.wdir, c.height);
    l.RejFlags = c.rej;
    EXPECT_EQ(a->LevelIncluded(0), c.included) << "rej " << int(c.rej);
  }
}

TEST(AscentModel, PrepareLevelsMarksTemperatureGaps) {
  auto a = std::make_unique<FakeAscent>();
  for (int i = 0; i < 8; ++i) a->AddLevel(1000.0f - 100.0f * i);
  a->Levels[4].RejFlags = kRejTemp;
  a->Levels[5].RejFlags = kRejTemp;
  a->Levels[0].SigFlags = kSigTempGapEnd | kSigSurface;  // stale gap bits are cleared
  a->PrepareLevels();
  EXPECT_EQ(a->Levels[0].SigFlags, kSigSurface);
  EXPECT_TRUE(a->Levels[3].SigFlags & kSigTempGapBegin);
  EXPECT_TRUE(a->Levels[6].SigFlags & kSigTempGapEnd);
  EXPECT_FALSE(a->Levels[4].SigFlags & (kSigTempGapBegin | kSigTempGapEnd));
  EXPECT_FALSE(a->Levels[5].SigFlags & (kSigTempGapBegin | kSigTempGapEnd));
  // A rejected temperature also rejects the dew point.
  EXPECT_TRUE(a->Levels[3].SigFlags & kSigHumGapBegin);
  EXPECT_TRUE(a->Levels[6].SigFlags & kSigHumGapEnd);
  // Levels 4 and 5 stay in BUFR: with the temperature rejected, the dew point decides.
  EXPECT_EQ(a->IncludedCount, 8);
}

TEST(AscentModel, PrepareLevelsGapToTheEndAndWindTop) {
  auto a = std::make_unique<FakeAscent>();
  a->AddLevel(1000);
  a->AddLevel(500);
  a->AddLevel(150);
  a->Levels[1].RejFlags = kRejWind;
  a->Levels[2].RejFlags = kRejWind;
  a->PrepareLevels();
  EXPECT_TRUE(a->Levels[0].SigFlags & kSigWindGapBegin);
  EXPECT_FALSE(a->Levels[2].SigFlags & kSigWindGapEnd);
  EXPECT_EQ(a->LastWindLevel, 0);
  EXPECT_EQ(a->LastLevel, 2);
  EXPECT_TRUE(a->Levels[2].SigFlags & kSigWindTop);  // BUFR I ending at 150 hPa

  auto b = std::make_unique<FakeAscent>();
  b->AddLevel(1000);
  b->AddLevel(100);
  b->PrepareLevels();
  EXPECT_FALSE(b->Levels[1].SigFlags & kSigWindTop);  // reached 100 hPa
  b->BufrI = false;
  b->AddLevel(50, 1, 1, M, M);
  b->PrepareLevels();
  EXPECT_TRUE(b->Levels[1].SigFlags & kSigWindTop);  // BUFR II: last usable wind
  EXPECT_EQ(b->LastWindLevel, 1);
}

TEST(AscentModel, ShearInclusion) {
  auto a = std::make_unique<FakeAscent>();
  a->ShearCount = 3;
  a->Shears[0].RejFlags = 0;
  a->Shears[1].RejFlags = kRejAux;
  a->Shears[1].ShearBelow = static_cast<float>(kMissing);
  a->Shears[2].RejFlags = kRejShear;
  a->PrepareLevels();
  EXPECT_EQ(a->ShearIncluded, 1);
}

TEST(AscentModel, CodeListsAndSelections) {
  auto a = std::make_unique<FakeAscent>();
  a->Meta.TernNo = 1;
  a->SystemCodes.Count = 2;
  a->SystemCodes.GroundSys = 4;
  a->SystemCodes.Rs = {tRsSystemCodes{.Code = 190, .Name = "A", .Freq = 1680, .Manuf = 3, .Model = 2},
                       tRsSystemCodes{.Code = 27, .Name = "B", .Manuf = 123, .Model = 5}};
  TextList list;
  a->FillRaRaList(list);
  EXPECT_EQ(list, (TextList{"90:A", "27:B"}));
  EXPECT_FALSE(a->SelectRadiosonde(2));
  EXPECT_EQ(a->Meta.RadiosondeType, 255);
  ASSERT_TRUE(a->SelectRadiosonde(0));
  EXPECT_EQ(a->Meta.RadiosondeType, 190);
  EXPECT_EQ(a->Meta.Frequency, 1680e6);
  EXPECT_EQ(a->Meta.GroundSystem, 4);
  EXPECT_EQ(a->Meta.Group61616, "61616 10302");
  a->Meta.TernNo = 2;
  EXPECT_EQ(a->Build61616(1), "2//05");
  EXPECT_EQ(a->Build61616(7), "00000");
  EXPECT_EQ(a->GetRsCode(1), 27);
  EXPECT_EQ(a->GetRsCode(2), 0);

  a->BalloonCodes = {{.Type = 2, .Maker = 7, .Name = "Shar", .Weight = 0.35}};
  a->FillBalloonList(list);
  EXPECT_EQ(list, (TextList{"Shar:350"}));
  EXPECT_FALSE(a->SelectBalloon(1));
  EXPECT_TRUE(a->SelectBalloon(0));
  EXPECT_EQ(a->Meta.BalloonWeight, 0.35);
  a->TerminationCodes = {{.Code = 1, .Name = "burst", .BufrText = std::string(70, 'x')}};
  EXPECT_TRUE(a->SelectTermination(0));
  EXPECT_EQ(a->Meta.TerminationText.size(), 60u);
  a->SetSondeSerial(std::string(25, '7'));
  EXPECT_EQ(a->Meta.SondeSerial.size(), 20u);
  a->SetObserver("ABCDEF");
  EXPECT_EQ(a->Meta.Observer, "ABCD");
  a->SetBulletinNo(7);
  EXPECT_EQ(a->BulletinNo, "007");
  a->SetBulletinNo(1000);
  EXPECT_EQ(a->BulletinNo, "///");
}

TEST(AscentModel, CloudGroupRules) {
  auto a = std::make_unique<FakeAscent>();
  struct Case { const char* group; bool invalid; };
  const Case cases[] = {{"9/0//", false}, {"85357", false}, {"8/0//", true}, {"1/0//", true}, {"/1234", true},
                        {"123/5", true}, {"1234", true}, {"12345a", true}, {"1a345", true}, {"12/45", false},
                        {"12///", false}, {"12/4/", false}, {"12/45/", true}};
  for (const auto& c : cases) {
    a->CloudGroup = c.group;
    a->CheckCloudGroup();
    EXPECT_EQ(a->CloudGroupInvalid, c.invalid) << c.group;
  }
}

TEST(AscentModel, RejectionMasksMustMatchTheProfile) {
  auto a = std::make_unique<FakeAscent>();
  a->AddLevel(1000);
  a->AddLevel(900);
  tFlagRejArr wrong{1};
  EXPECT_FALSE(a->SetRejections(&wrong, nullptr));
  tFlagRejArr right{0, 31};
  EXPECT_TRUE(a->SetRejections(&right, nullptr));
  EXPECT_EQ(a->Levels[1].RejFlags, 31);
  EXPECT_TRUE(a->SetRejections(nullptr, nullptr));
}

TEST(AscentModel, EditFilesRoundTripAndFollowTheMessageKind) {
  tern::test::TempDir dir;
  auto a = std::make_unique<FakeAscent>();
  a->SourceFile = dir / "20261209_1130.prof.1";
  for (int i = 0; i < 4; ++i) a->AddLevel(1000.0f - 100.0f * i, -1.5f * i);
  a->Levels[2].RejFlags = kRejTemp | kRejWind;
  a->Levels[2].LatDisp = 0.123456789;
  a->Levels[2].SigFlags = 0x20002;
  ASSERT_TRUE(a->SaveEdits());
  const std::string rjI = dir / "20261209_1130.prof.rjI";
  ASSERT_EQ(FileSizeOf(rjI), 4 * 64);
  const std::string bytes = tern::test::ReadBytes(rjI);
  EXPECT_EQ(static_cast<uint8_t>(bytes[2 * 64]), 9);
  EXPECT_EQ(static_cast<uint8_t>(bytes[2 * 64 + 56]), 0x02);  // SigFlags little-endian
  EXPECT_EQ(static_cast<uint8_t>(bytes[2 * 64 + 58]), 0x02);

  // Read back into a fresh profile: whole records replace the stored ones.
  auto b = std::make_unique<FakeAscent>();
  for (int i = 0; i < 3; ++i) b->AddLevel(1.0f);
  ASSERT_TRUE(b->LoadEdits(rjI));  // BUFR I reads as many as fit
  EXPECT_EQ(b->Levels[2].RejFlags, 9);
  EXPECT_EQ(b->Levels[2].LatDisp, 0.123456789);
  EXPECT_EQ(b->Levels[1].Pressure, 900.0f);
  b->BufrI = false;
  EXPECT_FALSE(b->LoadEdits(rjI));  // BUFR II refuses a file longer than the profile

  // No rejection left: the file goes away.
  a->Levels[2].RejFlags = 0;
  a->SaveEdits();
  EXPECT_EQ(FileSizeOf(rjI), -1);
  a->BufrI = false;
  EXPECT_EQ(a->EditFileName(), dir / "20261209_1130.prof.rjII");
}

TEST(AscentModel, WindShearEditFileSitsBesideTheLevelFile) {
  tern::test::TempDir dir;
  auto a = std::make_unique<FakeAscent>();
  a->SourceFile = dir / "x.prof";
  a->AddLevel(1000).RejFlags = 1;
  a->ShearCount = 1;
  a->Shears[0].RejFlags = kRejAbove;
  a->Shears[0].Pressure = 250.5;
  a->SaveEdits();
  EXPECT_EQ(FileSizeOf(dir / "x.rjI.w"), 64);
  auto b = std::make_unique<FakeAscent>();
  b->AddLevel(1);
  b->ShearCount = 1;
  ASSERT_TRUE(b->LoadEdits(dir / "x.rjI"));
  EXPECT_EQ(b->Shears[0].Pressure, 250.5);
  EXPECT_EQ(b->Shears[0].RejFlags, kRejAbove);
}
