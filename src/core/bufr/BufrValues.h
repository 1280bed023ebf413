#pragma once
// Value coding shared by every BUFR element: scaling with ties-to-even
// rounding, the cloud-group rules and the vertical-significance mapping.
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "sounding/Records.h"

namespace tern {

// All bits one: the BUFR missing value of a field of that width.
constexpr uint32_t AllOnes(int width) { return width >= 32 ? 0xFFFFFFFFu : (uint32_t{1} << width) - 1; }

// Beyond this every double is an integer, and far beyond any BUFR field.
constexpr double kIntegralLimit = 4503599627370496.0;  // 2^52

// Nearest integer with ties to even, for |x| < 2^52. Done by hand: it is the
// inner step of every element, and it must not depend on the rounding mode.
inline int64_t RoundEvenInt(double x) {
  int64_t i = static_cast<int64_t>(x);             // toward zero
  const double frac = x - static_cast<double>(i);  // exact below 2^52
  if (frac > 0.5 || (frac == 0.5 && (i & 1)))
    ++i;
  else if (frac < -0.5 || (frac == -0.5 && (i & 1)))
    --i;
  return i;
}

// Nearest integer, ties to the even one.
inline double RoundEven(double x) {
  if (!(std::fabs(x) < kIntegralLimit)) return x;
  return static_cast<double>(RoundEvenInt(x));
}

// round(value x 10^scale) - reference into coded, not yet checked against a
// width; false when the value is missing.
inline bool ScaledInteger(double value, int scale, int32_t reference, int64_t& coded) {
  if (!Present(value) || !std::isfinite(value)) return false;
  // Every power of ten listed is exact in a double. A negative scale divides,
  // so that exact multiples of the power of ten stay exact.
  static constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
  const int k = scale >= 0 ? scale : -scale;
  const double p = k < 10 ? kPow10[k] : std::pow(10.0, k);
  const double scaled = scale >= 0 ? value * p : value / p;
  // Far outside any BUFR field: keep the sign, stay clear of overflow.
  if (!(std::fabs(scaled) < kIntegralLimit))
    coded = scaled > 0 ? (int64_t{1} << 53) : -(int64_t{1} << 53);
  else
    coded = RoundEvenInt(scaled) - reference;
  return true;
}
// The coded value when it fits the width as a present value (0 .. all-ones - 1).
std::optional<uint32_t> ScaleValue(double value, int scale, int32_t reference, int width);

// A cp1251 text as CCITT IA5 for a character field: characters that have an
// IA5 counterpart take it ("№" becomes "N"), the others go as they are.
std::string Ia5Text(std::string_view cp1251);

// The six cloud elements of the radiosonde report, from the group Nh CL h CM CH.
struct CloudCodes {
  uint32_t significance = 63;  // 0 08 002
  uint32_t amount = 15;        // 0 20 011
  uint32_t baseHeight = 2047;  // 0 20 013, coded
  uint32_t low = 63, middle = 63, high = 63;  // 0 20 012 three times
};
CloudCodes CloudCodesOf(const std::string& group, bool invalid);

// 0 08 042 extended vertical sounding significance of a level and of a wind-shear record.
uint32_t LevelSignificance(uint32_t sigFlags, uint8_t rejFlags);
uint32_t ShearSignificance(uint32_t sigFlags);

}  // namespace tern
