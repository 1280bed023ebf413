#include "sounding/Records.h"

#include <bit>
#include <cstring>

namespace tern {
namespace {

void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
void Put64(uint8_t* p, uint64_t v) {
  for (int i = 0; i < 8; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
uint32_t Get32(const uint8_t* p) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
  return v;
}
uint64_t Get64(const uint8_t* p) {
  uint64_t v = 0;
  for (int i = 0; i < 8; ++i) v |= static_cast<uint64_t>(p[i]) << (8 * i);
  return v;
}
void PutF(uint8_t* p, float v) { Put32(p, std::bit_cast<uint32_t>(v)); }
void PutD(uint8_t* p, double v) { Put64(p, std::bit_cast<uint64_t>(v)); }
float GetF(const uint8_t* p) { return std::bit_cast<float>(Get32(p)); }
double GetD(const uint8_t* p) { return std::bit_cast<double>(Get64(p)); }

}  // namespace

void PackLevel(const tUALevel& l, uint8_t out[64]) {
  std::memset(out, 0, 64);
  out[0] = l.RejFlags;
  PutF(out + 4, l.Time);
  PutF(out + 8, l.Height);
  PutF(out + 12, l.Pressure);
  PutF(out + 16, l.WindDir);
  PutF(out + 20, l.WindSpeed);
  PutF(out + 24, l.Temp);
  PutF(out + 28, l.Humidity);
  PutF(out + 32, l.DewPoint);
  PutD(out + 40, l.LatDisp);
  PutD(out + 48, l.LonDisp);
  Put32(out + 56, l.SigFlags);
}

tUALevel UnpackLevel(const uint8_t in[64]) {
  tUALevel l;
  l.RejFlags = in[0];
  l.Time = GetF(in + 4);
  l.Height = GetF(in + 8);
  l.Pressure = GetF(in + 12);
  l.WindDir = GetF(in + 16);
  l.WindSpeed = GetF(in + 20);
  l.Temp = GetF(in + 24);
  l.Humidity = GetF(in + 28);
  l.DewPoint = GetF(in + 32);
  l.LatDisp = GetD(in + 40);
  l.LonDisp = GetD(in + 48);
  l.SigFlags = Get32(in + 56);
  return l;
}

void PackShear(const tUAWindShear& s, uint8_t out[64]) {
  std::memset(out, 0, 64);
  out[0] = s.RejFlags;
  PutD(out + 8, s.Time);
  PutD(out + 16, s.Pressure);
  PutD(out + 24, s.AuxValue);
  PutD(out + 32, s.LatDisp);
  PutD(out + 40, s.LonDisp);
  PutF(out + 48, s.ShearBelow);
  PutF(out + 52, s.ShearAbove);
  Put32(out + 56, s.SigFlags);
}

tUAWindShear UnpackShear(const uint8_t in[64]) {
  tUAWindShear s;
  s.RejFlags = in[0];
  s.Time = GetD(in + 8);
  s.Pressure = GetD(in + 16);
  s.AuxValue = GetD(in + 24);
  s.LatDisp = GetD(in + 32);
  s.LonDisp = GetD(in + 40);
  s.ShearBelow = GetF(in + 48);
  s.ShearAbove = GetF(in + 52);
  s.SigFlags = Get32(in + 56);
  return s;
}

}  // namespace tern
