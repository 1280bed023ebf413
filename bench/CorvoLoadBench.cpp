// Reading a generated Corvo ascent of about 3000 levels, one per reading route:
// main table, surface layer and (TAE-3 routes) raw flight data.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "base/Operator.h"
#include "sounding/corvo/AscentGenerator.h"
#include "sounding/corvo/CorvoMessage.h"

namespace {

void LoadRoute(benchmark::State& state, uint8_t code) {
  const auto folder = std::filesystem::temp_directory_path() / ("tern-corvo-bench-" + std::to_string(code));
  tern::AscentPlan plan;
  plan.code = code;
  plan.launch = tern::EncodeDateTime(2026, 12, 9, 11, 17, 0);
  const tern::GeneratedAscent g = tern::GenerateCorvoAscent(folder.string(), plan);
  tern::DefaultAnswerOperator op;
  auto a = std::make_unique<tern::TUACorvoMessage>();
  a->SetOperator(&op);
  a->SystemCode = code;
  a->StationInd = plan.station;
  a->StationLat = plan.stationLat;
  a->StationLon = plan.stationLon;
  a->StationBarometerHeight = plan.barometerHeight;
  uint8_t rs = 0;
  a->OpenAscent(g.infoFile, rs);
  a->SetBufrI(false);
  for (auto _ : state) {
    if (!a->LoadData()) state.SkipWithError("the ascent was not read");
    benchmark::DoNotOptimize(a->LevelCount);
  }
  state.counters["levels"] = a->LevelCount;
  std::filesystem::remove_all(folder);
}

void BM_CorvoProfileRoute(benchmark::State& state) { LoadRoute(state, 1); }
void BM_CorvoTae3Route(benchmark::State& state) { LoadRoute(state, 0); }
void BM_CorvoTae03Route(benchmark::State& state) { LoadRoute(state, 2); }

BENCHMARK(BM_CorvoProfileRoute)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CorvoTae3Route)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CorvoTae03Route)->Unit(benchmark::kMillisecond);

}  // namespace
