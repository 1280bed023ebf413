#include "sounding/kiosk/StandardLevels.h"

#include <cmath>
#include <numbers>

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

class Completion {
 public:
  Completion(tKioskProfile& p, bool bufrI) : p_(p), recs_(p.Records), bufrI_(bufrI) {}

  void Run() {
    if (recs_.empty()) return;
    size_t stdIndex = 0;
    const size_t stdCount = std::size(kStandardPressures);
    const double p0 = recs_[0][kPressure];
    size_t surface = 0;
    if (ValidPressure(p0)) {
      // Standard levels at or below the ground.
      for (; stdIndex < stdCount && kStandardPressures[stdIndex] >= p0; ++stdIndex) {
        const int s = kStandardPressures[stdIndex];
        if (s == p0) {
          MarkStandard(recs_[surface]);
          Note100(s, surface);
        } else if (Extrapolate(s, surface)) {
          ++surface;
        }
        if (bufrI_ && s == 100) return;
      }
    }
    // The rest against the records above the surface.
    int prev = ValidPressure(p0) ? static_cast<int>(surface) : -1;
    size_t k = surface + 1;
    for (; stdIndex < stdCount; ++stdIndex) {
      const int s = kStandardPressures[stdIndex];
      while (k < recs_.size() && !(ValidPressure(recs_[k][kPressure]) && recs_[k][kPressure] <= s)) {
        if (ValidPressure(recs_[k][kPressure])) prev = static_cast<int>(k);
        ++k;
      }
      if (k >= recs_.size()) return;
      if (recs_[k][kPressure] == s) {
        MarkStandard(recs_[k]);
        Note100(s, k);
      } else if (prev >= 0) {
        bool tookLastWind = false;
        const tKioskRecord r = Interpolate(s, prev, k, tookLastWind);
        Insert(k, r);
        if (tookLastWind) p_.LastWind = static_cast<int>(k);
        Note100(s, k);
        prev = static_cast<int>(k);
        ++k;
      }
      if (bufrI_ && s == 100) return;
    }
  }

 private:
  void Note100(int s, size_t at) {
    if (s == 100) p_.Index100 = static_cast<int>(at);
  }

  // Inserting before a record moves it and every later one up by one.
  void Insert(size_t at, const tKioskRecord& r) {
    recs_.insert(recs_.begin() + static_cast<std::ptrdiff_t>(at), r);
    if (p_.Index100 >= 0 && static_cast<int>(at) <= p_.Index100) ++p_.Index100;
    if (p_.LastWind >= 0 && static_cast<int>(at) <= p_.LastWind) ++p_.LastWind;
  }

  // A standard level below the ground gets a height by the hypsometric
  // equation, when the ground lies a little below it. The extrapolated levels
  // stay in order of decreasing pressure ahead of the surface record.
  bool Extrapolate(int s, size_t surface) {
    const tKioskRecord& g = recs_[surface];
    const double p0 = g[kPressure], t0 = g[kTemp], u0 = g[kHumidity], z0 = g[kHeight];
    if (!(p0 > 900 && p0 < 1000) || !Present(z0) || !(z0 < 1000) || !Present(t0) || !Present(u0)) return false;
    const double h =
        ((SaturationPressure(t0) * 0.00378 * u0 / p0 + 1) * (t0 + 273.15) + 0.00325 * z0) * 29.271246552084554868;
    const double z = z0 + h * std::log(p0 / s);
    if (!std::isfinite(z) || std::nearbyint(z) < -498) return false;
    tKioskRecord r = EmptyStandardRecord(s);
    r[kHeight] = z;
    Insert(surface, r);
    return true;
  }

  // Interpolates standard level s between records lo and hi, to be inserted
  // before hi. Beyond the last record with wind there is no wind, except that
  // a record right after it takes its wind when it lies on that record's
  // pressure (rounded to tenths of hPa for the levels under 100 hPa, to whole
  // hPa for the others).
  tKioskRecord Interpolate(int s, int lo, size_t hi, bool& tookLastWind) const {
    const tKioskRecord& a = recs_[static_cast<size_t>(lo)];
    const tKioskRecord& b = recs_[hi];
    const double f = std::log(s / a[kPressure]) / std::log(b[kPressure] / a[kPressure]);
    tKioskRecord r = EmptyStandardRecord(s);
    for (Quantity q : kLinearQuantities)
      if (Present(a[q]) && Present(b[q])) r[q] = a[q] + (b[q] - a[q]) * f;
    const int at = static_cast<int>(hi);
    if (at <= p_.LastWind) {
      InterpolateWind(a, b, f, r);
    } else if (at - 1 == p_.LastWind && TakesLastWind(s, recs_[hi - 1])) {
      r[kWindDir] = recs_[hi - 1][kWindDir];
      r[kWindSpeed] = recs_[hi - 1][kWindSpeed];
      tookLastWind = true;
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

  tKioskProfile& p_;
  std::vector<tKioskRecord>& recs_;
  bool bufrI_;
};

}  // namespace

double SaturationPressure(double t) { return 6.107 * std::exp(17.64932 * t / (t + 243.33)); }

double DewPointOf(double t, double u) {
  if (u <= 0) return -99;
  if (u == 100) return t;
  return 243.33 / (17.64932 / (std::log(u / 100) + 17.64932 * t / (t + 243.33)) - 1);
}

void CompleteStandardLevels(tKioskProfile& profile, bool bufrI) { Completion(profile, bufrI).Run(); }

}  // namespace tern::kiosk
