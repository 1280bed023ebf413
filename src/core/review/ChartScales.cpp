#include "review/ChartScales.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "sounding/UAMessage.h"

namespace tern {

const std::vector<int> kStandardPressures = {1000, 925, 850, 700, 500, 400, 300, 250,
                                             200,  150, 100, 70,  50,  30,  20,  10};

double StdAtmHeight(double p) {
  if (p >= 226.32) return 44330.76923 * (1.0 - std::pow(p / 1013.25, 0.1902631026));
  if (p >= 54.7487) return 11000.0 + 6341.615566 * std::log(226.32 / p);
  if (p >= 8.68014) return 20000.0 + 216650.0 * (std::pow(p / 54.7487, -0.02927124655) - 1.0);
  return 32000.0 + 81660.71429 * (std::pow(p / 8.68014, -0.08195949035) - 1.0);
}

namespace {

constexpr double kPressureTop = 3.3;
constexpr double kPressureBottom = 1150.0;

struct QuantityRule {
  AxisRange ScaleSet::*member;
  double limitLo, limitHi, margin, minSpan;
  bool displacement;
};
constexpr QuantityRule kRules[] = {
    {&ScaleSet::temp, -110, 50, 0.5, 5, false},     {&ScaleSet::dh, -8000, 8000, 5, 25, false},
    {&ScaleSet::dir, 0, 360, 2, 10, false},         {&ScaleSet::speed, 0, 130, 0.5, 5, false},
    {&ScaleSet::lon, -100, 100, 0.01, 0.02, true},  {&ScaleSet::lat, -3.5, 3.5, 0.01, 0.02, true},
};

struct Tracker {
  double min = 1e9, max = -1e9;
  void Add(double v) {
    min = std::min(min, v);
    max = std::max(max, v);
  }
  AxisRange Range() const { return {min, max}; }
};

void Widen(AxisRange& r, double span) {
  if (r.max - r.min < span) {
    const double c = (r.min + r.max) / 2;
    r.min = c - span / 2;
    r.max = c + span / 2;
  }
}

void Clamp(AxisRange& r, double lo, double hi) {
  r.min = std::clamp(r.min, lo, hi);
  r.max = std::clamp(r.max, lo, hi);
}

ScaleSet Compute(const TUAMessage& a, const tFlagRejArr& masks, int first, int last, bool withoutRejected,
                 bool hasPositions, const ScaleSet* full) {
  Tracker allP, p, t, dh, dir, speed, lon, lat;
  for (int i = std::max(first, 0); i <= last && i < a.LevelCount; ++i) {
    const tUALevel& l = a.Levels[i];
    if (!Present(l.Pressure)) continue;
    allP.Add(l.Pressure);
    const uint8_t m = i < static_cast<int>(masks.size()) ? masks[i] : l.RejFlags;
    if (withoutRejected && !LevelPassesWithMask(l, m)) continue;
    p.Add(l.Pressure);
    const bool with = !withoutRejected;
    if (Present(l.Temp) && (with || !(m & kRejTemp))) t.Add(l.Temp);
    if (Present(l.DewPoint) && (with || !(m & (kRejTemp | kRejHum)))) t.Add(l.DewPoint);
    if (Present(l.Height) && (with || !(m & kRejHeight))) dh.Add(l.Height - StdAtmHeight(l.Pressure));
    if (Present(l.WindDir) && Present(l.WindSpeed) && (with || !(m & kRejWind))) {
      dir.Add(l.WindDir);
      speed.Add(l.WindSpeed);
    }
    if (hasPositions && Present(l.LatDisp) && Present(l.LonDisp) && (with || !(m & kRejPos))) {
      lon.Add(l.LonDisp);
      lat.Add(l.LatDisp);
    }
  }

  ScaleSet s;
  // Pressure: a little room below the surface and above the top, inside 3.3..1150 hPa.
  double bottom = p.max > kPressureBottom ? kPressureBottom : p.max * 61.0 / 60.0;
  double top = p.min < kPressureTop ? kPressureTop : p.min * 59.0 / 60.0;
  if (bottom < top && withoutRejected) {
    bottom = allP.max;
    top = allP.min;
  }
  if (bottom < top) {
    bottom = kPressureBottom;
    top = kPressureTop;
  }
  bottom = std::clamp(bottom, kPressureTop, kPressureBottom);
  top = std::clamp(top, kPressureTop, kPressureBottom);
  if (bottom - top < 0.05 || (bottom - top) * 2 / (bottom + top) < 0.05) {
    top *= 0.975;
    bottom *= 1.025;
  }
  s.pressure = {top, bottom};

  s.temp = t.Range();
  s.dh = dh.Range();
  s.dir = dir.Range();
  s.speed = speed.Range();
  s.lon = lon.Range();
  s.lat = lat.Range();

  for (const auto& rule : kRules) {
    AxisRange& r = s.*rule.member;
    auto limit = [&] {
      if (!full) {
        const bool empty = r.max < r.min;
        Clamp(r, rule.limitLo, rule.limitHi);
        if (empty) r = {rule.limitLo, rule.limitHi};
        return;
      }
      const AxisRange& f = full->*rule.member;
      if (r.max < r.min) r = f;
      Clamp(r, f.min, f.max);
      if (rule.displacement) Clamp(r, rule.limitLo, rule.limitHi);
    };
    limit();
    r.min -= rule.margin;
    r.max += rule.margin;
    Widen(r, rule.minSpan);
    limit();
    Widen(r, rule.minSpan);
  }
  return s;
}

double RoundTo2(double p) { return std::round(p * 100.0) / 100.0; }

// The first level from `from` whose pressure is not above the value, or the
// level before it when that one is strictly closer.
int FindLevel(const std::vector<double>& pressures, int from, double value) {
  for (int i = from; i < static_cast<int>(pressures.size()); ++i) {
    if (RoundTo2(pressures[i]) <= value) {
      if (i > from && std::fabs(pressures[i - 1] - value) < std::fabs(pressures[i] - value)) return i - 1;
      return i;
    }
  }
  return -1;
}

}  // namespace

ScaleSet ComputeFullScales(const TUAMessage& ascent, const tFlagRejArr& masks, bool withoutRejected,
                           bool hasPositions) {
  return Compute(ascent, masks, 0, ascent.LevelCount - 1, withoutRejected, hasPositions, nullptr);
}

ScaleSet ComputeSelectionScales(const TUAMessage& ascent, const tFlagRejArr& masks, int first, int last,
                                bool withoutRejected, bool hasPositions, const ScaleSet& full) {
  return Compute(ascent, masks, first, last, withoutRejected, hasPositions, &full);
}

PressureLabels LabelsForPressureAxis(double min, double max) {
  PressureLabels labels;
  int inRange = 0, belowMax = 0;
  for (int p : kStandardPressures) {
    if (min <= p && p < max) ++inRange;
    if (p < max) ++belowMax;
  }
  const bool enough = min < 1000 && inRange >= 2 && (min > 10 || belowMax >= 3);
  if (enough) {
    labels.standard = true;
    labels.levels = kStandardPressures;
    return labels;
  }
  const double span = max - min;
  labels.increment = span > 200 ? 100 : span > 10 ? 10 : 1;
  return labels;
}

LevelSelection SelectionFromBand(const std::vector<double>& pressures, double start, double end) {
  if (pressures.empty()) return {};
  if (start < end) std::swap(start, end);
  start = std::min(start, pressures.front());
  end = std::max(end, pressures.back());
  const int first = FindLevel(pressures, 0, start);
  if (first < 0) return {0, 0};
  if (start == end) return {first, first};
  const int last = FindLevel(pressures, first, end);
  if (last < 0) return {0, 0};
  return {first, last};
}

std::vector<std::optional<ChartPoint>> WindDirectionLine(const std::vector<std::optional<ChartPoint>>& points) {
  std::vector<std::optional<ChartPoint>> line;
  std::optional<ChartPoint> previous;
  for (const auto& pt : points) {
    if (!pt) {
      line.push_back(std::nullopt);
      previous.reset();
      continue;
    }
    if (previous && std::fabs(pt->x - previous->x) > 180) {
      const double d0 = previous->x, p0 = previous->y, d = pt->x, p = pt->y;
      const double delta = d - d0;
      const double e = delta > 0 ? 360 - delta : delta + 360;
      if (delta > 0) {
        const double pc = p0 + (p - p0) * d0 / e;
        line.push_back(ChartPoint{0, pc});
        line.push_back(std::nullopt);
        line.push_back(ChartPoint{360, pc});
      } else {
        const double pc = p0 + (p - p0) * (360 - d0) / e;
        line.push_back(ChartPoint{360, pc});
        line.push_back(std::nullopt);
        line.push_back(ChartPoint{0, pc});
      }
    }
    line.push_back(pt);
    previous = pt;
  }
  return line;
}

std::optional<AxisRange> ZoomPressureRange(AxisRange r, AxisRange full) {
  auto relative = [](const AxisRange& x) { return (x.max - x.min) * 2 / (x.max + x.min); };
  if (relative(r) < 0.05) {
    const double c = (r.min + r.max) / 2;
    r = {c * 0.975, c * 1.025};
  }
  const double span = r.max - r.min;
  if (r.min < full.min) r = {full.min, full.min + span};
  if (r.max > full.max) r = {full.max - span, full.max};
  r.min = std::max(r.min, full.min);
  // The widened range is exactly 5 % wide; rounding must not refuse it.
  if (relative(r) < 0.05 * (1 - 1e-9)) return std::nullopt;
  return r;
}

AxisRange FitRange(double lo, double hi, double minSpan, double limitLo, double limitHi) {
  AxisRange r{lo, hi};
  Widen(r, minSpan);
  const double span = r.max - r.min;
  if (r.min < limitLo) r = {limitLo, limitLo + span};
  if (r.max > limitHi) r = {limitHi - span, limitHi};
  return r;
}

std::string ChartValueText(double value, int maxDecimals) {
  if (!std::isfinite(value)) return {};
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, maxDecimals);
  std::string text(buf, r.ptr);
  if (text.find('.') != std::string::npos) {
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
  }
  if (text == "-0") text = "0";
  return text;
}

}  // namespace tern
