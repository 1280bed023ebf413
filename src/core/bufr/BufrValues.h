#pragma once
// Value coding shared by every BUFR element: scaling with ties-to-even
// rounding, the cloud-group rules and the vertical-significance mapping.
#include <cstdint>
#include <optional>
#include <string>

#include "sounding/Records.h"

namespace tern {

// All bits one: the BUFR missing value of a field of that width.
constexpr uint32_t AllOnes(int width) { return width >= 32 ? 0xFFFFFFFFu : (uint32_t{1} << width) - 1; }

// Nearest integer, ties to the even one.
double RoundEven(double x);

// round(value x 10^scale) - reference, not yet checked against a width;
// nullopt when the value is missing.
std::optional<int64_t> ScaledInteger(double value, int scale, int32_t reference);
// The coded value when it fits the width as a present value (0 .. all-ones - 1).
std::optional<uint32_t> ScaleValue(double value, int scale, int32_t reference, int width);

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
