#pragma once
// The mandatory isobaric levels, matched in descending pressure to 0.01 hPa.
#include <cstdint>

namespace tern {

constexpr int kStandardLevelCount = 16;
extern const int kStandardLevels[kStandardLevelCount];  // hPa

// Advances k past the standard levels above the pressure and returns true when
// the pressure is standard level k (k then moves past it). The levels must come
// in descending pressure for every standard level to be found.
bool MatchStandardLevel(double pressure, int& k);

}  // namespace tern
