#include "sounding/corvo/StandardLevels.h"

#include "sounding/corvo/TextTable.h"

namespace tern {

const int kStandardLevels[kStandardLevelCount] = {1000, 925, 850, 700, 500, 400, 300, 250,
                                                  200,  150, 100, 70,  50,  30,  20,  10};

bool MatchStandardLevel(double pressure, int& k) {
  const double p100 = RoundEven(pressure * 100);
  while (k < kStandardLevelCount && kStandardLevels[k] * 100.0 > p100) ++k;
  if (k < kStandardLevelCount && kStandardLevels[k] * 100.0 == p100) {
    ++k;
    return true;
  }
  return false;
}

}  // namespace tern
