// The automatic checks over the largest profile the desk reads: a generated
// 3000-level Corvo ascent, as the data check runs them on opening and after
// every rejection.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <vector>

#include "base/DateTime.h"
#include "base/Operator.h"
#include "review/QualityControl.h"
#include "sounding/corvo/AscentGenerator.h"
#include "sounding/corvo/CorvoMessage.h"

namespace {

void QualityChecks3000Levels(benchmark::State& state) {
  const std::string dir = std::filesystem::temp_directory_path() / "tern-qc-bench/";
  tern::AscentPlan plan;
  plan.code = 5;
  plan.levels = 2990;
  plan.launch = tern::EncodeDateTime(2026, 12, 9, 11, 17, 0);
  const tern::GeneratedAscent g = tern::GenerateCorvoAscent(dir, plan);
  tern::DefaultAnswerOperator op;
  tern::TUACorvoMessage a;
  a.SetOperator(&op);
  a.SystemCode = plan.code;
  a.StationInd = plan.station;
  a.StationBarometerHeight = plan.barometerHeight;
  uint8_t rs = 0;
  if (!a.OpenAscent(g.infoFile, rs)) state.SkipWithError("ascent not opened");
  a.SetBufrI(false);
  if (!a.LoadData()) state.SkipWithError("ascent not read");
  std::vector<uint8_t> masks(a.LevelCount, 0);
  for (auto _ : state) {
    auto found = tern::FindSuspects(a.Levels.data(), a.LevelCount, masks.data());
    benchmark::DoNotOptimize(found);
  }
  state.counters["levels"] = a.LevelCount;
  std::filesystem::remove_all(dir);
}
BENCHMARK(QualityChecks3000Levels)->Unit(benchmark::kMillisecond);

}  // namespace
