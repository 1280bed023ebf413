#include <gtest/gtest.h>

#include "FakeAscent.h"
#include "TestSupport.h"
#include "base/Text.h"
#include "config/CodeTables.h"
#include "config/CodesChecksum.h"
#include "config/StationConfig.h"

using namespace tern;
using tern::test::FakeAscent;
using tern::test::FixturePath;

namespace {

// The repository's demo station, found from the fixtures folder (tests/fixtures).
std::string DemoFolder() {
  const std::string fixtures = FixturePath("");
  return fixtures.substr(0, fixtures.rfind("/tests/fixtures")) + "/demo/settings/";
}

TEST(DemoStation, LoadsLikeTheDeskAtStartUp) {
  const std::string folder = DemoFolder();
  const auto code = ReadSystemCode(TMyIniFile(folder + "STATION.CNF"));
  ASSERT_TRUE(code.has_value());
  ASSERT_LE(*code, 7);  // a Corvo-family station

  FakeAscent a;
  a.SystemSet = 0xFF;
  ASSERT_TRUE(a.LoadStation(folder, *code));
  EXPECT_EQ(a.StationIndText.size(), 5u);
  ASSERT_TRUE(CheckCodesFile(folder + "BUFRCODES.CNF"));
  ASSERT_TRUE(a.LoadBufrCodes(folder + "BUFRCODES.CNF"));
  ASSERT_TRUE(a.LoadBufrOptions(folder + "ASPD.CNF"));

  EXPECT_FALSE(a.GetSystemTitle().empty());
  EXPECT_GE(a.SystemCodes.Count, 2);
  EXPECT_GE(a.BalloonCodes.size(), 2u);
  EXPECT_GE(a.GasCodes.size(), 2u);
  EXPECT_GE(a.TerminationCodes.size(), 2u);
  EXPECT_EQ(a.IUKHead.find('#'), std::string::npos);  // escapes decoded
  EXPECT_NE(a.IUKHead.find("{ddhh}"), std::string::npos);
  EXPECT_NE(a.IUKHead.find("<BBB>"), std::string::npos);
}

TEST(DemoStation, CodeTablesCoverEverySystemOfBothFamilies) {
  const TMyIniFile ini(DemoFolder() + "BUFRCODES.CNF");
  for (int system = 0; system <= 8; ++system) {
    tGSSystemCodes gs;
    ASSERT_TRUE(ReadGroundSystem(ini, system, gs)) << system;
    EXPECT_EQ(gs.Rs.size(), gs.Count) << system;
    for (const auto& rs : gs.Rs) {
      EXPECT_FALSE(rs.Name.empty()) << system;
      EXPECT_GT(rs.Freq, 0) << system;
    }
  }
}

}  // namespace
