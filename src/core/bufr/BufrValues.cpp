#include "bufr/BufrValues.h"

#include <cmath>

namespace tern {

namespace {
// cp1251 characters with an IA5 counterpart.
struct Ia5Counterpart {
  char cp1251, ia5;
};
constexpr Ia5Counterpart kIa5Counterparts[] = {
    {'\xB9', 'N'},  // the numero sign of serial numbers
};
}  // namespace

std::string Ia5Text(std::string_view cp1251) {
  std::string out(cp1251);
  for (char& ch : out)
    for (const Ia5Counterpart& c : kIa5Counterparts)
      if (ch == c.cp1251) ch = c.ia5;
  return out;
}

std::optional<uint32_t> ScaleValue(double value, int scale, int32_t reference, int width) {
  int64_t coded = 0;
  if (!ScaledInteger(value, scale, reference, coded) || coded < 0 || coded >= static_cast<int64_t>(AllOnes(width)))
    return std::nullopt;
  return static_cast<uint32_t>(coded);
}

namespace {

bool IsDigit1to9(char c) { return c >= '1' && c <= '9'; }

// Base height in metres for the code figure h; negative when it gives no height.
int CloudBaseMetres(char nh, char cl, char h, char cm, char ch) {
  static constexpr int kHeights[] = {25, 75, 150, 250, 450, 800, 1250, 1750, 2250};
  if (h >= '0' && h <= '8') return kHeights[h - '0'];
  if (h != '9') return -1;
  if (nh == '0') return ch >= '1' && ch <= '8' ? 8000 : -1;
  if (cl != '0') return 2500;
  if (cm != '0') return 4000;
  return -1;
}

// One cloud type: the column of the rule table that applies.
uint32_t CloudType(char nh, char digit, uint32_t ifNone, uint32_t ifHidden) {
  if (nh == '0') return ifNone;
  if (nh == '9' || digit == '/') return ifHidden;
  return ifNone + static_cast<uint32_t>(digit - '0');
}

}  // namespace

CloudCodes CloudCodesOf(const std::string& group, bool invalid) {
  CloudCodes c;
  if (invalid || group.size() != 5) return c;
  const char nh = group[0], cl = group[1], h = group[2], cm = group[3], ch = group[4];
  const bool allZero = nh == '0' && cl == '0' && cm == '0' && ch == '0';

  if (allZero)
    c.significance = 62;
  else if (nh == '9')
    c.significance = 5;
  else if (IsDigit1to9(cl))
    c.significance = 7;
  else if (IsDigit1to9(cm))
    c.significance = 8;
  else if (IsDigit1to9(ch))
    c.significance = 0;
  else
    c.significance = 63;

  c.amount = static_cast<uint32_t>(nh - '0');

  const int metres = allZero ? -1 : CloudBaseMetres(nh, cl, h, cm, ch);
  c.baseHeight = metres < 0 ? 2047 : *ScaleValue(metres, -1, -40, 11);

  c.low = CloudType(nh, cl, 30, 62);
  c.middle = CloudType(nh, cm, 20, 61);
  c.high = CloudType(nh, ch, 10, 60);
  return c;
}

namespace {

// Which rejection silences a significance bit.
enum class Unless : uint8_t { Nothing, Temp, TempOrHum, Wind };

struct SigRule {
  uint32_t sigMask;  // any of these SigFlags bits
  uint32_t flag;     // flag-table value of 0 08 042
  Unless unless;
};

constexpr SigRule kLevelSigRules[] = {
    {kSigSurface, 0x20000, Unless::Nothing},
    {kSigStandard, 0x10000, Unless::Nothing},
    {kSigTropopause, 0x08000, Unless::Temp},
    {kSigMaxWind, 0x04800, Unless::Wind},  // maximum wind is also a significant wind level
    {kSigTemp, 0x02000, Unless::Temp},
    {kSigHum, 0x01000, Unless::TempOrHum},
    {kSigWind1 | kSigWind2, 0x00800, Unless::Wind},
    {kSigTempGapBegin, 0x00400, Unless::Temp},
    {kSigTempGapEnd, 0x00200, Unless::Temp},
    {kSigHumGapBegin, 0x00100, Unless::TempOrHum},
    {kSigHumGapEnd, 0x00080, Unless::TempOrHum},
    {kSigWindGapBegin, 0x00040, Unless::Wind},
    {kSigWindGapEnd, 0x00020, Unless::Wind},
    {kSigWindTop, 0x00010, Unless::Nothing},
};

bool Silenced(Unless unless, uint8_t rej) {
  switch (unless) {
    case Unless::Nothing: return false;
    case Unless::Temp: return rej & kRejTemp;
    case Unless::TempOrHum: return rej & (kRejTemp | kRejHum);
    case Unless::Wind: return rej & kRejWind;
  }
  return false;
}

}  // namespace

uint32_t LevelSignificance(uint32_t sigFlags, uint8_t rejFlags) {
  uint32_t flag = 0;
  for (const SigRule& r : kLevelSigRules)
    if ((sigFlags & r.sigMask) && !Silenced(r.unless, rejFlags)) flag |= r.flag;
  return flag;
}

uint32_t ShearSignificance(uint32_t sigFlags) {
  uint32_t flag = 0;
  if (sigFlags & kSigMaxWind) flag |= 0x04800;
  if (sigFlags & (kSigWind1 | kSigWind2)) flag |= 0x00800;
  if (sigFlags & kSigWindTop) flag |= 0x00010;
  return flag;
}

}  // namespace tern
