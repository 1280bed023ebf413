#include "review/ProfileTable.h"

#include <array>
#include <cstdio>

#include "base/Text.h"
#include "sounding/UAMessage.h"

namespace tern {
namespace {

// A right-aligned number; a longer number widens its field. Missing values
// show as dashes across the field.
std::string Field(double value, int width, int decimals, bool present) {
  if (!present) return std::string(width, '-');
  char buf[64];
  std::snprintf(buf, sizeof buf, "%*.*f", width, decimals, value);
  return buf;
}

struct SigLetter {
  uint32_t bits;
  char letter;
};
constexpr std::array<SigLetter, 8> kSigLetters = {{{kSigSurface, 'S'},
                                                   {kSigStandard, 'C'},
                                                   {kSigTropopause, 'R'},
                                                   {kSigMaxWind, 'M'},
                                                   {kSigTemp, 'T'},
                                                   {kSigHum, 'U'},
                                                   {kSigWind1 | kSigWind2, 'W'},
                                                   {kSigWindTop, 'L'}}};

}  // namespace

std::string ProfileHeaderLine() {
  return cp("    t      P     T    dT     H   D   f    dLat    dLon Признаки");
}

char LevelMarker(const tUALevel& level, uint8_t mask) {
  if (mask == 0) return ' ';
  return LevelPassesWithMask(level, mask) ? '?' : 'x';
}

std::string SignificanceLetters(uint32_t sigFlags) {
  std::string letters;
  for (const auto& s : kSigLetters)
    if (sigFlags & s.bits) letters += s.letter;
  return letters;
}

std::string ProfileLine(const tUALevel& l, uint8_t mask) {
  std::string line(1, LevelMarker(l, mask));
  line += Field(l.Time, 4, 0, l.Time >= 0);
  line += Field(l.Pressure, 7, 1, Present(l.Pressure));  // a tae03 level may be kept without one
  line += Field(l.Temp, 6, 1, Present(l.Temp));
  line += Field(l.DewPoint, 6, 1, Present(l.DewPoint));
  line += Field(l.Height, 6, 0, Present(l.Height));
  line += Field(l.WindDir, 4, 0, Present(l.WindDir));
  line += Field(l.WindSpeed, 4, 0, Present(l.WindSpeed));
  line += Field(l.LatDisp, 8, 4, Present(l.LatDisp));
  line += Field(l.LonDisp, 8, 4, Present(l.LonDisp));
  line += ' ';
  line += SignificanceLetters(l.SigFlags);
  return line;
}

}  // namespace tern
