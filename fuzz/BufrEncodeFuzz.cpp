// The BUFR encoder on an ascent built from the input: any values of the levels
// and wind-shear records (NaN and infinities too) must give a message whose
// length fields agree with its size, or the operator's refusal.
//
// Input: one option octet (BUFR I, 61616 section, extended-metadata kind in
// bits 2..4, wind-shear count in bits 5..7), five cloud-group characters, then
// 46-octet level records (eight floats, two floats of displacement, the
// significance word, the rejection octet, one unused) for at most 400 levels;
// what is left over after the levels fills the wind-shear records.
#include <cstdlib>
#include <cstring>

#include "FakeAscent.h"
#include "base/DateTime.h"
#include "base/Error.h"
#include "bufr/BufrMessage.h"

using namespace tern;

namespace {

constexpr size_t kLevelSize = 46;
constexpr size_t kShearSize = 34;
constexpr int kLevelLimit = 400;

template <typename T>
T Take(const uint8_t*& p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  p += sizeof v;
  return v;
}

uint32_t Length24(const std::string& m, size_t at) {
  return static_cast<uint32_t>(static_cast<uint8_t>(m[at])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(m[at + 1])) << 8 | static_cast<uint8_t>(m[at + 2]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 6) return 0;
  const uint8_t options = data[0];
  test::FakeAscent a;
  a.BufrI = options & 1;
  a.Meta.Include61616 = options & 2;
  a.ExtMeta = (options >> 2) & 7;
  a.CloudGroup.assign(reinterpret_cast<const char*>(data + 1), 5);
  a.CheckCloudGroup();
  a.StationInd = 27612;
  a.StationLat = 55.75;
  a.StationLon = 37.62;
  a.ObsTime = EncodeDateTime(2026, 12, 9, 12, 0, 0);
  a.LaunchTime = EncodeDateTime(2026, 12, 9, 11, 17, 0);

  const uint8_t* p = data + 6;
  size_t left = size - 6;
  while (left >= kLevelSize && a.LevelCount < kLevelLimit) {
    tUALevel& l = a.Levels[a.LevelCount++];
    for (float* f : {&l.Time, &l.Height, &l.Pressure, &l.WindDir, &l.WindSpeed, &l.Temp, &l.Humidity, &l.DewPoint})
      *f = Take<float>(p);
    l.LatDisp = Take<float>(p);
    l.LonDisp = Take<float>(p);
    l.SigFlags = Take<uint32_t>(p);
    l.RejFlags = Take<uint8_t>(p);
    ++p;
    left -= kLevelSize;
  }
  const int shears = options >> 5;
  while (left >= kShearSize && a.ShearCount < shears && a.ShearCount < kMaxShears) {
    tUAWindShear& s = a.Shears[a.ShearCount++];
    for (double* d : {&s.Time, &s.Pressure, &s.AuxValue, &s.LatDisp, &s.LonDisp}) *d = Take<float>(p);
    s.ShearBelow = Take<float>(p);
    s.ShearAbove = Take<float>(p);
    s.SigFlags = Take<uint32_t>(p);
    s.RejFlags = Take<uint8_t>(p);
    ++p;
    left -= kShearSize;
  }

  try {
    const std::string m = BuildBufrMessage(a);
    // Section 0 tells the total length; sections 1, 3, 4 and "7777" must fill it exactly.
    if (m.size() < 8 + 23 + 4 || m.compare(0, 4, "BUFR") != 0 || Length24(m, 4) != m.size()) std::abort();
    size_t at = 8;
    for (int section = 0; section < 3; ++section) {
      if (at + 3 > m.size()) std::abort();
      at += Length24(m, at);
    }
    if (at + 4 != m.size() || m.compare(at, 4, "7777") != 0) std::abort();
  } catch (const TernError&) {
  }
  return 0;
}
