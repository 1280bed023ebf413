// Opening and loading a workstation ascent of 3000 profile records.
#include <benchmark/benchmark.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "sounding/kiosk/KioskMessage.h"

namespace {

void Put(std::string& b, size_t at, uint32_t v, int octets) {
  for (int i = 0; i < octets; ++i) b[at + i] = static_cast<char>(v >> (8 * i) & 0xFF);
}

std::string Card() {
  std::string b(186, '\0');
  Put(b, 20, 27612, 4);
  const size_t block3 = 140;
  b[block3 + 20] = 5;
  b.replace(block3 + 21, 5, "70560");
  Put(b, block3 + 26, 8, 2);
  Put(b, block3 + 28, 12, 2);
  Put(b, block3 + 30, 2026, 2);
  Put(b, block3 + 32, std::bit_cast<uint32_t>(23.25f), 4);
  return b;
}

std::string Profile(int n) {
  std::string b(32 + 44 * static_cast<size_t>(n), '\0');
  Put(b, 6, static_cast<uint32_t>(n - 1), 2);
  for (int i = 0; i < n; ++i) {
    const double f = static_cast<double>(i) / (n - 1);
    const double p = 1002.0 * std::pow(8.0 / 1002.0, f);
    const double z = 150.0 + 7000.0 * std::log(1002.0 / p);
    const float values[] = {static_cast<float>(f * 6000), static_cast<float>(p), static_cast<float>(-5 - z / 200),
                            50.0f, static_cast<float>(z), static_cast<float>(std::fmod(240 + z / 400, 360)),
                            static_cast<float>(3 + z / 1200), static_cast<float>(z * 0.9), static_cast<float>(z * 1.7)};
    const size_t at = 32 + 44 * static_cast<size_t>(i);
    for (int v = 0; v < 9; ++v) Put(b, at + 4 * v, std::bit_cast<uint32_t>(values[v]), 4);
  }
  return b;
}

void Write(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

void BM_KioskOpenAndLoad3000(benchmark::State& state) {
  const auto base = std::filesystem::temp_directory_path() / "tern-kiosk-bench";
  Write(base / "RAW/2612/26120900.stg", Card());
  Write(base / "RESULT/2612/26120900.EDT", Profile(3000));
  auto a = std::make_unique<tern::TuaKioskMessage>();
  a->KioskBase = base.string() + "/";
  a->StationInd = 27612;
  a->StationLat = 55.93;
  a->StationLon = 37.52;
  a->SetBufrI(false);
  const std::string stg = (base / "RAW/2612/26120900.stg").string();
  for (auto _ : state) {
    uint8_t rs = 0;
    a->Clear(false);
    a->SetBufrI(false);
    a->OpenAscent(stg, rs);
    a->LoadData();
    benchmark::DoNotOptimize(a->LevelCount);
  }
  std::filesystem::remove_all(base);
}
BENCHMARK(BM_KioskOpenAndLoad3000)->Unit(benchmark::kMillisecond);

}  // namespace
