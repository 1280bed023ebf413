// Every companion file of each route replaced by random bytes or cut short:
// the readers answer with a question or an error text, never a crash, and
// never store more levels than the profile holds.
#include <gtest/gtest.h>

#include <random>

#include "CorvoTestSupport.h"
#include "base/Error.h"
#include "sounding/corvo/AscentGenerator.h"

namespace tern::test {
namespace {

TEST(CorvoBadInput, RandomAndTruncatedFilesNeverCrash) {
  std::mt19937 rng(20261209);
  const struct {
    uint8_t code;
    std::vector<const char*> files;
  } routes[] = {
      {1, {".prof.1", ".GROUND"}},
      {0, {".tae3", ".SPoints", ".GLAYER", ".RAWDATA"}},
      {2, {".tae03", ".GROUND", ".RAW", ".SP"}},
  };
  for (const auto& route : routes) {
    TempDir dir;
    AscentPlan plan;
    plan.code = route.code;
    plan.levels = 300;
    plan.launch = EncodeDateTime(2026, 12, 9, 11, 17, 0);
    const GeneratedAscent g = GenerateCorvoAscent(dir.path(), plan);
    const std::string base = NameWithoutExt(g.infoFile);
    for (const char* ext : route.files) {
      const std::string good = ReadBytes(base + ext);
      for (int variant = 0; variant < 12; ++variant) {
        std::string bytes;
        if (variant < 4) {  // cut anywhere, also inside a line
          bytes = good.substr(0, rng() % (good.size() + 1));
        } else if (variant < 8) {  // random bytes of a few to a few thousand
          bytes.resize(variant == 4 ? 3 : rng() % 4000);
          for (char& c : bytes) c = static_cast<char>(rng());
        } else {  // the real file with bytes overwritten here and there
          bytes = good;
          for (int k = 0; k < 40 && !bytes.empty(); ++k) bytes[rng() % bytes.size()] = static_cast<char>(rng());
        }
        WriteBytes(base + ext, bytes);
        ScriptedOperator op;
        for (int k = 0; k < 50; ++k) op.Push(1 + static_cast<int>(rng() % 3));
        TUACorvoMessage a;
        a.SetOperator(&op);
        a.SystemCode = route.code;
        a.StationInd = plan.station;
        a.StationBarometerHeight = plan.barometerHeight;
        uint8_t rs = 0;
        ASSERT_TRUE(a.OpenAscent(g.infoFile, rs));
        a.SetBufrI(false);
        try {
          a.LoadData();
        } catch (const TernError& e) {
          EXPECT_FALSE(e.Text().empty()) << ext;
        }
        EXPECT_LE(a.LevelCount, kMaxLevels);
      }
      WriteBytes(base + ext, good);
    }
  }
}

}  // namespace
}  // namespace tern::test
