// Encoding speed of the largest message the desk can produce: 3000 levels,
// BUFR II with the full metadata, into memory.
#include <benchmark/benchmark.h>

#include <memory>

#include "base/DateTime.h"
#include "bufr/BufrMessage.h"
#include "sounding/UAMessage.h"

namespace {

class BenchAscent : public tern::TUAMessage {
 public:
  bool LoadData() override { return LevelCount > 0; }
  std::string GetOpenFilter(tern::TDateTime) override { return {}; }
  bool OpenAscent(const std::string&, uint8_t&) override { return false; }
  bool GetTelegramFile(int, std::string&) override { return false; }
  bool GetLayerFile(std::string&) override { return false; }
  bool GetGroundFile(std::string&) override { return false; }
  std::string GetAscentFileName(tern::TDateTime) override { return {}; }
  void FindSourceFolder(const std::string&, bool& found, std::string&, tern::TDateTime) override { found = false; }
};

std::unique_ptr<BenchAscent> FullAscent() {
  auto a = std::make_unique<BenchAscent>();
  a->ExtMeta = 2;
  a->BufrI = false;
  a->StationInd = 27612;
  a->StationLat = 55.93;
  a->StationLon = 37.52;
  a->LaunchTime = tern::EncodeDateTime(2009, 3, 5, 11, 23, 0);
  a->ObsTime = tern::EncodeDateTime(2009, 3, 5, 12, 0, 0);
  a->CloudGroup = "85230";
  a->Meta.AntennaHeight = 10;
  a->Meta.SondeSerial = "A1234567";
  a->Meta.TerminationText = "BALLOON BURST";
  for (int i = 0; i < tern::kMaxLevels; ++i) {
    tern::tUALevel& l = a->Levels[a->LevelCount++];
    l.Time = static_cast<float>(i * 2);
    l.Pressure = 1000.0f - 0.33f * static_cast<float>(i);
    l.Height = 150.0f + 10.0f * static_cast<float>(i);
    l.Temp = 15.0f - 0.02f * static_cast<float>(i);
    l.DewPoint = l.Temp - 3.0f;
    l.Humidity = 80;
    l.WindDir = static_cast<float>(i % 360);
    l.WindSpeed = 5.0f + static_cast<float>(i % 40);
    l.LatDisp = 0.0001 * i;
    l.LonDisp = 0.0002 * i;
    l.SigFlags = i % 50 == 0 ? uint32_t{tern::kSigStandard} : 0u;
    if (i % 97 == 0) l.RejFlags = tern::kRejTemp;
  }
  return a;
}

void BM_EncodeBufrII3000Levels(benchmark::State& state) {
  auto a = FullAscent();
  size_t bytes = 0;
  for (auto _ : state) {
    std::string m = tern::BuildBufrMessage(*a);
    bytes = m.size();
    benchmark::DoNotOptimize(m.data());
  }
  state.counters["message_octets"] = static_cast<double>(bytes);
}
BENCHMARK(BM_EncodeBufrII3000Levels)->Unit(benchmark::kMicrosecond);

}  // namespace
