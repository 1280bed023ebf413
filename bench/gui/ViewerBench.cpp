// The data check window on a full 3000-level ascent: opening (table and three
// charts filled and drawn) and one rejection over 500 levels with redraw.
#include <benchmark/benchmark.h>
#include <qcustomplot.h>

#include <QApplication>
#include <cmath>

#include "review/CheckDataCharts.h"
#include "review/ViewCheckData.h"
#include "sounding/UAMessage.h"

using namespace tern;

namespace {

class BenchAscent : public TUAMessage {
 public:
  BenchAscent() {
    SystemSet = 0xFFFF;
    for (int i = 0; i < kMaxLevels; ++i) {
      tUALevel& l = Levels[i];
      const double h = 150 + i * 10.0;
      l.Time = static_cast<float>(i * 2);
      l.Pressure = static_cast<float>(1000 * std::exp(-h / 7000));
      l.Height = static_cast<float>(h);
      l.Temp = static_cast<float>(h < 11000 ? 15 - 6.5e-3 * h : -56.5);
      l.DewPoint = l.Temp - 5;
      l.WindDir = static_cast<float>(std::fmod(200 + i * 0.3, 360));
      l.WindSpeed = static_cast<float>(5 + 20 * std::sin(i / 300.0) * std::sin(i / 300.0));
      l.LatDisp = i * 1e-4;
      l.LonDisp = i * 3e-4;
    }
    Levels[0].SigFlags = kSigSurface;
    LevelCount = kMaxLevels;
    SourceName = "bench";
  }
  bool LoadData() override { return true; }
  std::string GetOpenFilter(TDateTime) override { return {}; }
  bool OpenAscent(const std::string&, uint8_t&) override { return true; }
  bool GetTelegramFile(int, std::string&) override { return false; }
  bool GetLayerFile(std::string&) override { return false; }
  bool GetGroundFile(std::string&) override { return false; }
  std::string GetAscentFileName(TDateTime) override { return {}; }
  void FindSourceFolder(const std::string&, bool& found, std::string&, TDateTime) override { found = false; }
};

void BM_OpenViewer(benchmark::State& state) {
  auto a = std::make_unique<BenchAscent>();
  DefaultAnswerOperator op;
  for (auto _ : state) {
    CheckDataModel model(*a, false);
    TfrmViewCheckData w(model, op);
    w.resize(1600, 900);
    w.show();
    for (QCustomPlot* plot : {w.ChrtTemp, w.ChrtWind, w.ChrtXY}) plot->replot(QCustomPlot::rpImmediateRefresh);
    QApplication::processEvents();
    benchmark::DoNotOptimize(w.grab());
  }
}
BENCHMARK(BM_OpenViewer)->Unit(benchmark::kMillisecond);

void BM_RejectFiveHundredLevels(benchmark::State& state) {
  auto a = std::make_unique<BenchAscent>();
  DefaultAnswerOperator op;
  CheckDataModel model(*a, false);
  TfrmViewCheckData w(model, op);
  w.resize(1600, 900);
  w.show();
  w.cbxScaleRej->setChecked(true);
  w.SelectLevels(1000, 1499);
  QApplication::processEvents();
  for (auto _ : state) {
    w.Reject(kTagT, Qt::ShiftModifier);  // alternate reject and accept so every round changes the masks
    w.Reject(kTagT, Qt::ControlModifier);
    w.ChrtTemp->replot(QCustomPlot::rpImmediateRefresh);
    QApplication::processEvents();
  }
  state.counters["rejections"] = benchmark::Counter(2, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_RejectFiveHundredLevels)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
