#include "sounding/kiosk/StandardLevels.h"

#include <cmath>
#include <iterator>
#include <numbers>
#include <vector>

#include "sounding/Records.h"

namespace tern::kiosk {
namespace {

constexpr double kRad = std::numbers::pi / 180.0;
// Quantities interpolated linearly in ln p; the wind goes by its components.
constexpr Quantity kLinearQuantities[] = {kTime, kTemp, kHumidity, kHeight, kX, kY};

bool ValidPressure(double p) { return Present(p) && p > 0; }

tKioskRecord EmptyStandardRecord(double pressure) {
  tKioskRecord r;
  r.Value.fill(kMissing);
  r[kPressure] = pressure;
  r.Flags = r.Flags2 = kEdtStandard;
  return r;
}

void MarkStandard(tKioskRecord& r) {
  r.Flags |= kEdtStandard;
  r.Flags2 |= kEdtStandard;
}

// Builds the completed profile in one pass: the records of the file in their
// order, with the added standard levels put in where they belong.
class Completion {
 public:
  Completion(const tKioskProfile& p, bool bufrI)
      : in_(p.Records), lastWindIn_(p.LastWind), index100In_(p.Index100), bufrI_(bufrI) {
    out_.reserve(in_.size() + std::size(kStandardPressures));
  }

  tKioskProfile Run() {
    if (in_.empty()) return Result();
    const double p0 = in_[0][kPressure];
    bool surfaceStandard = false;
    if (ValidPressure(p0)) {
      // Standard levels at or below the ground, in order of decreasing pressure.
      for (; next_ < std::size(kStandardPressures) && kStandardPressures[next_] >= p0; ++next_) {
        const int s = kStandardPressures[next_];
        if (s == p0)
          surfaceStandard = true;
        else
          Extrapolate(s);
      }
    }
    Emit(0);
    if (surfaceStandard) {
      MarkStandard(out_.back());
      Note100(static_cast<int>(p0), LastOut());
      if (bufrI_ && p0 == 100) next_ = std::size(kStandardPressures);
    }
    int prev = ValidPressure(p0) ? LastOut() : -1;  // last emitted record with a usable pressure

    for (size_t k = 1; k < in_.size(); ++k) {
      const double pk = in_[k][kPressure];
      if (!ValidPressure(pk)) {
        Emit(k);
        continue;
      }
      bool onStandard = false;
      // Every pressure emitted so far lies above the remaining standard levels.
      while (next_ < std::size(kStandardPressures) && kStandardPressures[next_] >= pk) {
        const int s = kStandardPressures[next_++];
        if (s == pk) {
          onStandard = true;
        } else if (prev >= 0) {
          out_.push_back(Interpolate(s, out_[static_cast<size_t>(prev)], k));
          prev = LastOut();
          Note100(s, prev);
        }
        if (bufrI_ && s == 100) next_ = std::size(kStandardPressures);
      }
      Emit(k);
      if (onStandard) {
        MarkStandard(out_.back());
        Note100(static_cast<int>(pk), LastOut());
      }
      prev = LastOut();
    }
    return Result();
  }

 private:
  int LastOut() const { return static_cast<int>(out_.size()) - 1; }
  int Added() const { return static_cast<int>(out_.size() - in_.size()); }

  void Emit(size_t k) {
    out_.push_back(in_[k]);
    if (static_cast<int>(k) == lastWindIn_) lastWindOut_ = LastOut();
    if (static_cast<int>(k) == index100In_) index100Shifted_ = LastOut();
  }

  void Note100(int s, int at) {
    if (s == 100) found100_ = at;
  }

  // Indexes the file gave beyond its last record move with every added level.
  tKioskProfile Result() {
    tKioskProfile r;
    r.LastWind = lastWindOut_ >= 0 ? lastWindOut_ : lastWindIn_ < 0 ? -1 : lastWindIn_ + Added();
    r.Index100 = found100_ >= 0          ? found100_
                 : index100Shifted_ >= 0 ? index100Shifted_
                 : index100In_ < 0       ? -1
                                         : index100In_ + Added();
    r.Records = std::move(out_);
    return r;
  }

  // A standard level below the ground gets a height by the hypsometric
  // equation, when the ground lies a little below it.
  void Extrapolate(int s) {
    const tKioskRecord& g = in_[0];
    const double p0 = g[kPressure], t0 = g[kTemp], u0 = g[kHumidity], z0 = g[kHeight];
    if (!(p0 > 900 && p0 < 1000) || !Present(z0) || !(z0 < 1000) || !Present(t0) || !Present(u0)) return;
    const double h =
        ((SaturationPressure(t0) * 0.00378 * u0 / p0 + 1) * (t0 + 273.15) + 0.00325 * z0) * 29.271246552084554868;
    const double z = z0 + h * std::log(p0 / s);
    if (!std::isfinite(z) || std::nearbyint(z) < -498) return;
    tKioskRecord r = EmptyStandardRecord(s);
    r[kHeight] = z;
    out_.push_back(r);
  }

  // Interpolates standard level s between the emitted record a and record k
  // of the file. Beyond the last record with wind there is no wind, except
  // that a level right after it takes its wind when it lies on that record's
  // pressure (rounded to tenths of hPa for the levels under 100 hPa, to whole
  // hPa for the others); that level then is the last one with wind.
  tKioskRecord Interpolate(int s, const tKioskRecord& a, size_t k) {
    const tKioskRecord& b = in_[k];
    const double f = std::log(s / a[kPressure]) / std::log(b[kPressure] / a[kPressure]);
    tKioskRecord r = EmptyStandardRecord(s);
    for (Quantity q : kLinearQuantities)
      if (Present(a[q]) && Present(b[q])) r[q] = a[q] + (b[q] - a[q]) * f;
    if (static_cast<int>(k) <= lastWindIn_) {
      InterpolateWind(a, b, f, r);
    } else if (lastWindOut_ >= 0 && lastWindOut_ == LastOut() && TakesLastWind(s, out_.back())) {
      r[kWindDir] = out_.back()[kWindDir];
      r[kWindSpeed] = out_.back()[kWindSpeed];
      lastWindOut_ = LastOut() + 1;
    }
    return r;
  }

  static bool TakesLastWind(int s, const tKioskRecord& last) {
    const double p = last[kPressure];
    if (!ValidPressure(p) || !Present(last[kWindDir]) || !Present(last[kWindSpeed])) return false;
    return s < 100 ? std::nearbyint(p * 10) == s * 10 : std::nearbyint(p) == s;
  }

  static void InterpolateWind(const tKioskRecord& a, const tKioskRecord& b, double f, tKioskRecord& r) {
    if (!Present(a[kWindDir]) || !Present(a[kWindSpeed]) || !Present(b[kWindDir]) || !Present(b[kWindSpeed]))
      return;
    auto u = [](const tKioskRecord& x) { return -x[kWindSpeed] * std::sin(x[kWindDir] * kRad); };
    auto v = [](const tKioskRecord& x) { return -x[kWindSpeed] * std::cos(x[kWindDir] * kRad); };
    const double ui = u(a) + (u(b) - u(a)) * f;
    const double vi = v(a) + (v(b) - v(a)) * f;
    const double speed = std::hypot(ui, vi);
    if (speed <= 0.1) {
      r[kWindDir] = 0;
      r[kWindSpeed] = 0;
      return;
    }
    double dir = std::atan2(-ui, -vi) / kRad;
    if (dir < 0) dir += 360;
    if (dir >= 360) dir -= 360;
    r[kWindDir] = dir;
    r[kWindSpeed] = speed;
  }

  const std::vector<tKioskRecord>& in_;
  std::vector<tKioskRecord> out_;
  const int lastWindIn_, index100In_;
  const bool bufrI_;
  size_t next_ = 0;           // next standard level to place
  int lastWindOut_ = -1;      // output index of the last record with wind, once emitted
  int index100Shifted_ = -1;  // output index of the file's 100 hPa record, once emitted
  int found100_ = -1;         // output index of the 100 hPa level placed here
};

}  // namespace

double SaturationPressure(double t) { return 6.107 * std::exp(17.64932 * t / (t + 243.33)); }

double DewPointOf(double t, double u) {
  if (u <= 0) return -99;
  if (u == 100) return t;
  return 243.33 / (17.64932 / (std::log(u / 100) + 17.64932 * t / (t + 243.33)) - 1);
}

void CompleteStandardLevels(tKioskProfile& profile, bool bufrI) { profile = Completion(profile, bufrI).Run(); }

}  // namespace tern::kiosk
