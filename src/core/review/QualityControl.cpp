#include "review/QualityControl.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "base/Text.h"

namespace tern {
namespace {

constexpr double kRd = 287.05;     // J/(kg K), dry air
constexpr double kG0 = 9.80665;    // m/s², the geopotential metre's gravity
constexpr double kKelvin = 273.15;

// What one level offers to the checks once the operator's rejections hide
// what they reject.
struct LevelView {
  const tUALevel* levels;
  const uint8_t* masks;
  int count;

  uint8_t Mask(int i) const { return masks ? masks[i] : 0; }
  bool Out(int i) const { return (Mask(i) & kRejLevel) == kRejLevel; }
  bool HasP(int i) const { return !Out(i) && Present(levels[i].Pressure) && levels[i].Pressure > 0; }
  bool HasT(int i) const { return !Out(i) && !(Mask(i) & kRejTemp) && Present(levels[i].Temp); }
  bool HasTd(int i) const { return !Out(i) && !(Mask(i) & kRejHum) && Present(levels[i].DewPoint); }
  bool HasH(int i) const { return !Out(i) && !(Mask(i) & kRejHeight) && Present(levels[i].Height); }
  bool HasWind(int i) const {
    return !Out(i) && !(Mask(i) & kRejWind) && Present(levels[i].WindDir) && Present(levels[i].WindSpeed);
  }
  bool Surface(int i) const { return levels[i].SigFlags & kSigSurface; }
  const tUALevel& operator[](int i) const { return levels[i]; }
};

using Findings = std::vector<QcFinding>;
using Has = bool (LevelView::*)(int) const;

// Adds a finding, or widens the run of the same check that ends just below it;
// the run keeps its most extreme value.
void Add(Findings& out, const QcFinding& f) {
  for (size_t back = 0; back < out.size() && back < 8; ++back) {
    QcFinding& last = out[out.size() - 1 - back];
    if (last.check != f.check) continue;
    if (f.level <= last.lastLevel + 2) {
      last.lastLevel = f.level;
      if (std::fabs(f.value - f.limit) > std::fabs(last.value - last.limit)) {
        last.value = f.value;
        last.limit = f.limit;
      }
      return;
    }
    break;
  }
  out.push_back(f);
}

// Climatological envelope of the standard levels' heights (gpm), wide enough
// for any season and latitude a station may have.
struct StandardHeightRange {
  double pressure, min, max;
};
constexpr std::array<StandardHeightRange, 16> kStandardHeights = {{
    {1000, -700, 700},    {925, 100, 1200},     {850, 800, 1900},     {700, 2300, 3500},
    {500, 4600, 6200},    {400, 6000, 7900},    {300, 7700, 10000},   {250, 8800, 11200},
    {200, 10100, 12800},  {150, 11700, 14700},  {100, 14000, 17200},  {70, 16500, 19500},
    {50, 18500, 21700},   {30, 21500, 25200},   {20, 24000, 27800},   {10, 28000, 32800},
}};

// Mean virtual temperature needs the moisture: dew point when present.
double VirtualKelvin(const LevelView& v, int i) {
  const double t = v[i].Temp + kKelvin;
  if (!v.HasTd(i)) return t;
  const double td = v[i].DewPoint;
  const double e = 6.112 * std::exp(17.67 * td / (td + 243.5));
  const double p = v[i].Pressure;
  if (e >= p) return t;
  const double q = 0.622 * e / (p - 0.378 * e);
  return t * (1 + 0.61 * q);
}

void CheckPointValues(const LevelView& v, const QcThresholds& k, Findings& out) {
  for (int i = 0; i < v.count; ++i) {
    const tUALevel& l = v[i];
    if (v.HasT(i) && v.HasTd(i) && l.DewPoint > l.Temp + k.dewAboveTemp)
      Add(out, {i, i, QcCheck::DewAboveTemp, kRejHum, l.DewPoint, l.Temp});
    if (v.HasT(i) && (l.Temp < k.tempMin || l.Temp > k.tempMax))
      Add(out, {i, i, QcCheck::TempClimate, kRejTemp, l.Temp, l.Temp < k.tempMin ? k.tempMin : k.tempMax});
    if (v.HasTd(i) && (l.DewPoint < k.dewMin || l.DewPoint > k.dewMax))
      Add(out, {i, i, QcCheck::DewClimate, kRejHum, l.DewPoint, l.DewPoint < k.dewMin ? k.dewMin : k.dewMax});
    if (v.HasWind(i) && l.WindSpeed > k.speedLimit)
      Add(out, {i, i, QcCheck::SpeedLimit, kRejWind, l.WindSpeed, k.speedLimit});
    if ((l.SigFlags & kSigStandard) && v.HasP(i) && v.HasH(i)) {
      for (const auto& s : kStandardHeights) {
        if (std::fabs(l.Pressure - s.pressure) > 0.5) continue;
        if (l.Height < s.min || l.Height > s.max)
          Add(out, {i, i, QcCheck::StandardHeight, kRejHeight, l.Height, l.Height < s.min ? s.min : s.max});
        break;
      }
    }
  }
}

// Pressure must fall and height rise from one level to the next; the surface
// level has its own instruments and is left out of the comparison.
void CheckOrder(const LevelView& v, const QcThresholds& k, Findings& out) {
  int lastP = -1, lastH = -1;
  for (int i = 0; i < v.count; ++i) {
    if (v.Surface(i)) continue;
    if (v.HasP(i)) {
      if (lastP >= 0 && v[i].Pressure > v[lastP].Pressure + k.pressureRise)
        Add(out, {i, i, QcCheck::PressureOrder, kRejLevel, v[i].Pressure, v[lastP].Pressure});
      lastP = i;
    }
    if (v.HasH(i)) {
      if (lastH >= 0 && v[i].Height < v[lastH].Height - k.heightDrop)
        Add(out, {i, i, QcCheck::HeightOrder, kRejHeight, v[i].Height, v[lastH].Height});
      lastH = i;
    }
  }
}

// A layer of at least superadiabaticLayer whose temperature falls faster than
// the limit, above the launch's own boundary layer; reported at its top.
bool InRun(const Findings& found, QcCheck check, int i) {
  for (const auto& f : found)
    if (f.check == check && i >= f.level && i <= f.lastLevel) return true;
  return false;
}

void CheckSuperadiabatic(const LevelView& v, const QcThresholds& k, const Findings& spikes, Findings& out) {
  auto usable = [&](int i) { return v.HasT(i) && v.HasH(i) && !InRun(spikes, QcCheck::TempSpike, i); };
  int first = 0;
  while (first < v.count && !usable(first)) ++first;
  if (first == v.count) return;
  const double floor = v[first].Height + k.superadiabaticFloor;
  int j = first;
  for (int i = first; i < v.count; ++i) {
    if (!usable(i) || v[i].Height < floor) continue;
    if (j <= i) j = i + 1;
    while (j < v.count && !(usable(j) && v[j].Height - v[i].Height >= k.superadiabaticLayer)) ++j;
    if (j == v.count) return;
    const double lapse = (v[i].Temp - v[j].Temp) / (v[j].Height - v[i].Height) * 1000.0;
    if (lapse > k.superadiabaticLapse) {
      Add(out, {j, j, QcCheck::Superadiabatic, kRejTemp, lapse, k.superadiabaticLapse});
      i = j;  // one report per layer
    }
  }
}

// Heights against the hypsometric equation: the thickness integrated from the
// layer's virtual temperatures, compared level by level with a base level one
// layer below, so a single wrong height shows where it is.
void CheckHydrostatic(const LevelView& v, const QcThresholds& k, Findings& out) {
  std::vector<int> idx;
  std::vector<double> lnp, zHyd;
  idx.reserve(static_cast<size_t>(v.count));
  for (int i = 0; i < v.count; ++i)
    if (v.HasP(i) && v.HasT(i) && v.HasH(i)) idx.push_back(i);
  if (idx.size() < 2) return;
  lnp.resize(idx.size());
  zHyd.resize(idx.size());
  double tvPrev = VirtualKelvin(v, idx[0]);
  lnp[0] = std::log(v[idx[0]].Pressure);
  zHyd[0] = 0;
  for (size_t n = 1; n < idx.size(); ++n) {
    const double tv = VirtualKelvin(v, idx[n]);
    lnp[n] = std::log(v[idx[n]].Pressure);
    zHyd[n] = zHyd[n - 1] + kRd / kG0 * 0.5 * (tv + tvPrev) * (lnp[n - 1] - lnp[n]);
    tvPrev = tv;
  }
  size_t base = 0;
  int quietUntil = -1;  // levels whose base is at or below a flagged level
  for (size_t n = 1; n < idx.size(); ++n) {
    while (base + 1 < n && lnp[base + 1] - lnp[n] >= k.hydrostaticLayer) ++base;
    if (lnp[base] - lnp[n] < k.hydrostaticLayer) continue;
    if (static_cast<int>(base) <= quietUntil) continue;
    const tUALevel& lo = v[idx[base]];
    const tUALevel& hi = v[idx[n]];
    const double expected = zHyd[n] - zHyd[base];
    const double actual = hi.Height - lo.Height;
    // The files give pressure to a tenth of a hPa: that alone moves a thin
    // layer near the top by tens of metres.
    const double rounding = kRd / kG0 * (hi.Temp + kKelvin) * (0.05 / hi.Pressure + 0.05 / lo.Pressure);
    const double tolerance = k.hydrostaticBase + k.hydrostaticShare * std::fabs(expected) + rounding;
    if (std::fabs(actual - expected) > tolerance) {
      Add(out, {idx[n], idx[n], QcCheck::Hydrostatic, kRejHeight, actual - expected, tolerance});
      quietUntil = static_cast<int>(n);
    }
  }
}

// A value that leaves both neighbours by more than the limit while they agree
// with each other; only where the neighbours are close enough for that to mean
// a fault rather than a real layer.
void CheckSpikes(const LevelView& v, Has has, float tUALevel::*field, QcCheck check, uint8_t bits, double limit,
                 const QcThresholds& k, Findings& out) {
  int prev = -1, cur = -1;
  for (int i = 0; i < v.count; ++i) {
    if (!(v.*has)(i)) continue;
    if (prev >= 0 && cur >= 0) {
      const double a = v[prev].*field, b = v[cur].*field, c = v[i].*field;
      const bool close = v.HasH(prev) && v.HasH(i) && v[i].Height - v[prev].Height <= k.spikeSpan;
      const double mid = 0.5 * (a + c);
      if (close && std::fabs(a - c) <= 0.5 * limit && std::fabs(b - mid) > limit)
        Add(out, {cur, cur, check, bits, b - mid, limit});
    }
    prev = cur;
    cur = i;
  }
}

double Turn(double a, double b) {
  const double d = std::fabs(std::fmod(a - b, 360.0));
  return d > 180 ? 360 - d : d;
}

void CheckWindJumps(const LevelView& v, const QcThresholds& k, const Findings& spikes, Findings& out) {
  auto spiked = [&](int i) { return InRun(spikes, QcCheck::SpeedSpike, i); };
  int prev = -1;
  for (int i = 0; i < v.count; ++i) {
    if (!v.HasWind(i)) continue;
    if (prev >= 0 && v.HasH(prev) && v.HasH(i) && v[i].Height - v[prev].Height <= k.windJumpStep &&
        !spiked(prev) && !spiked(i)) {
      const tUALevel& a = v[prev];
      const tUALevel& b = v[i];
      const double dv = std::fabs(b.WindSpeed - a.WindSpeed);
      const double turn = Turn(a.WindDir, b.WindDir);
      if (dv > k.windJumpSpeed)
        Add(out, {i, i, QcCheck::WindJump, kRejWind, dv, k.windJumpSpeed});
      else if (turn > k.windJumpDir && a.WindSpeed >= k.windJumpMinSpeed && b.WindSpeed >= k.windJumpMinSpeed)
        Add(out, {i, i, QcCheck::WindTurn, kRejWind, turn, k.windJumpDir});
    }
    prev = i;
  }
}

// The rate of climb over windows of ascentWindow seconds, reported at the
// window's top.
void CheckAscentRate(const LevelView& v, const QcThresholds& k, Findings& out) {
  auto usable = [&](int i) { return v[i].Time >= 0 && v.HasH(i); };
  int i = 0;
  while (i < v.count && !usable(i)) ++i;
  for (int j = i + 1; j < v.count; ++j) {
    if (!usable(j) || v[j].Time - v[i].Time < k.ascentWindow) continue;
    const double rate = (v[j].Height - v[i].Height) / (v[j].Time - v[i].Time);
    if (rate < k.ascentMin || rate > k.ascentMax)
      Add(out, {j, j, QcCheck::AscentRate, kRejHeight, rate, rate < k.ascentMin ? k.ascentMin : k.ascentMax});
    i = j;
  }
}

struct CheckText {
  QcCheck check;
  const char* name;
  const char* valueLabel;
  const char* limitLabel;
  const char* unit;
  int decimals;
};
constexpr std::array<CheckText, 15> kTexts = {{
    {QcCheck::DewAboveTemp, "Точка росы выше температуры", "Td", "T", " °C", 1},
    {QcCheck::PressureOrder, "Давление не убывает", "P", "выше по подъёму", " гПа", 1},
    {QcCheck::HeightOrder, "Высота не растёт", "H", "ниже по подъёму", " гпм", 0},
    {QcCheck::Superadiabatic, "Сверхадиабатический слой", "градиент", "предел", " K/км", 1},
    {QcCheck::Hydrostatic, "Высота не согласуется с давлением и температурой", "невязка", "допуск", " гпм", 0},
    {QcCheck::TempSpike, "Выброс температуры", "отклонение", "предел", " °C", 1},
    {QcCheck::DewSpike, "Выброс точки росы", "отклонение", "предел", " °C", 1},
    {QcCheck::SpeedSpike, "Выброс скорости ветра", "отклонение", "предел", " м/с", 0},
    {QcCheck::SpeedLimit, "Скорость ветра выше предела", "f", "предел", " м/с", 0},
    {QcCheck::WindJump, "Скачок скорости ветра", "скачок", "предел", " м/с", 0},
    {QcCheck::WindTurn, "Скачок направления ветра", "поворот", "предел", "°", 0},
    {QcCheck::AscentRate, "Скорость подъёма вне пределов", "скорость", "предел", " м/с", 1},
    {QcCheck::TempClimate, "Температура вне климатических пределов", "T", "предел", " °C", 1},
    {QcCheck::DewClimate, "Точка росы вне климатических пределов", "Td", "предел", " °C", 1},
    {QcCheck::StandardHeight, "Высота стандартной поверхности вне пределов", "H", "предел", " гпм", 0},
}};

const CheckText& TextOf(QcCheck check) {
  for (const auto& t : kTexts)
    if (t.check == check) return t;
  return kTexts[0];
}

// Fixed-point text with the point whatever the process locale says.
std::string Number(double v, int decimals) {
  char buf[48];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
  return std::string(buf, r.ptr);
}

}  // namespace

std::vector<QcFinding> FindSuspects(const tUALevel* levels, int count, const uint8_t* masks,
                                    const QcThresholds& limits) {
  const LevelView v{levels, masks, count};
  Findings out;
  CheckPointValues(v, limits, out);
  CheckOrder(v, limits, out);
  CheckHydrostatic(v, limits, out);
  Findings spikes;
  CheckSpikes(v, &LevelView::HasT, &tUALevel::Temp, QcCheck::TempSpike, kRejTemp, limits.tempSpike, limits, spikes);
  Findings dewSpikes;
  CheckSpikes(v, &LevelView::HasTd, &tUALevel::DewPoint, QcCheck::DewSpike, kRejHum, limits.dewSpike, limits,
              dewSpikes);
  // The dew point follows the temperature it is derived from: one fault, one report.
  for (const auto& f : dewSpikes)
    if (!InRun(spikes, QcCheck::TempSpike, f.level)) spikes.push_back(f);
  CheckSpikes(v, &LevelView::HasWind, &tUALevel::WindSpeed, QcCheck::SpeedSpike, kRejWind, limits.speedSpike,
              limits, spikes);
  // A spike is not a layer: the layer checks look past it.
  CheckSuperadiabatic(v, limits, spikes, out);
  CheckWindJumps(v, limits, spikes, out);
  out.insert(out.end(), spikes.begin(), spikes.end());
  CheckAscentRate(v, limits, out);
  std::stable_sort(out.begin(), out.end(), [](const QcFinding& a, const QcFinding& b) { return a.level < b.level; });
  return out;
}

std::string QcCheckName(QcCheck check) { return cp(TextOf(check).name); }

std::string QcReason(const QcFinding& f) {
  const CheckText& t = TextOf(f.check);
  return cp(std::string(t.name) + ": " + t.valueLabel + " " + Number(f.value, t.decimals) + t.unit + ", " +
            t.limitLabel + " " + Number(f.limit, t.decimals) + t.unit);
}

}  // namespace tern
