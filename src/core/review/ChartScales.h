#pragma once
// Scale rules of the data check charts: what the charting library cannot know
// about the profile (limits, margins, the standard pressure labels, the band
// that selects levels, the 0/360 crossing of the wind direction line).
#include <optional>
#include <string>
#include <vector>

#include "sounding/Records.h"

namespace tern {

class TUAMessage;

// Standard-atmosphere height of a pressure (hPa), metres.
double StdAtmHeight(double pressure);

struct AxisRange {
  double min = 0, max = 0;
  bool operator==(const AxisRange&) const = default;
};

struct ScaleSet {
  AxisRange pressure, temp, dh, dir, speed, lon, lat;
};

// Full-data scales (over every level) of the ascent with the viewer's masks.
ScaleSet ComputeFullScales(const TUAMessage& ascent, const tFlagRejArr& masks, bool withoutRejected,
                           bool hasPositions);
// Scales of the selected levels [first, last], kept inside the full set.
ScaleSet ComputeSelectionScales(const TUAMessage& ascent, const tFlagRejArr& masks, int first, int last,
                                bool withoutRejected, bool hasPositions, const ScaleSet& full);

// Pressure-axis labels: the sixteen standard levels when the axis shows enough
// of them, otherwise automatic labels with the given increment.
struct PressureLabels {
  bool standard = false;
  double increment = 0;        // for automatic labels
  std::vector<int> levels;     // for standard labels
};
PressureLabels LabelsForPressureAxis(double min, double max);
extern const std::vector<int> kStandardPressures;

// Band ends (hPa) to the selected levels; start is the higher pressure.
struct LevelSelection {
  int first = -1, last = -1;
  bool operator==(const LevelSelection&) const = default;
};
LevelSelection SelectionFromBand(const std::vector<double>& pressures, double start, double end);

// Direction line through the 0/360 crossing: a missing point (nullopt) breaks the line.
struct ChartPoint {
  double x, y;
};
std::vector<std::optional<ChartPoint>> WindDirectionLine(const std::vector<std::optional<ChartPoint>>& points);

// Rectangle zoom on a profile chart: widened around its centre when too narrow,
// shifted into the full pressure range; nullopt when it stays too narrow.
std::optional<AxisRange> ZoomPressureRange(AxisRange dragged, AxisRange full);
// Widens symmetrically to the minimum span, then shifts inside the limits keeping the span.
AxisRange FitRange(double lo, double hi, double minSpan, double limitLo, double limitHi);

// A chart value as the axes and tips show it ("###0.#" is maxDecimals 1,
// "###0" is 0, "0.####" is 4): rounded to maxDecimals, trailing zeros and a
// bare point dropped, always with the point whatever the locale.
std::string ChartValueText(double value, int maxDecimals);
// Tips beginning with this text are not shown.
inline constexpr const char* kHiddenTipPrefix = "-999";

}  // namespace tern
