#include "KioskFileWriter.h"

#include <cmath>

#include "TestSupport.h"
#include "sounding/kiosk/LittleEndian.h"

namespace tern::test::kiosk {

using tern::kiosk::PutLeF32;
using tern::kiosk::PutLeU16;
using tern::kiosk::PutLeU32;
std::string MakeCard(const CardPlan& plan) {
  const bool bigFamily = plan.size >= 184;
  const bool hasVariant = plan.size != 154 && plan.size != 184;
  const size_t block3 = 55 + (hasVariant ? 1 : 0) + (bigFamily ? 84 : 64);
  std::string b(block3 + 46, '\x5A');  // filler in the unused octets
  PutLeU32(b, 20, plan.station);
  if (hasVariant) b[55] = static_cast<char>(plan.variant);
  b[block3 + 20] = static_cast<char>(plan.cloud.size());
  for (size_t i = 0; i < 5; ++i) b[block3 + 21 + i] = i < plan.cloud.size() ? plan.cloud[i] : ' ';
  PutLeU16(b, block3 + 26, plan.day);
  PutLeU16(b, block3 + 28, plan.month);
  PutLeU16(b, block3 + 30, plan.year);
  PutLeF32(b, block3 + 32, plan.hour);
  b.resize(plan.size, '\x5A');
  return b;
}

std::string MakeEdt(const std::vector<EdtPoint>& points, int16_t lastWind, int16_t index100) {
  std::string b(32 + 44 * points.size(), '\0');
  for (int w = 0; w < 11; ++w) PutLeU16(b, static_cast<size_t>(w) * 2, static_cast<uint16_t>(0x7700 + w));
  PutLeU16(b, 6, static_cast<uint16_t>(lastWind));
  PutLeU16(b, 12, static_cast<uint16_t>(index100));
  for (size_t i = 0; i < points.size(); ++i) {
    const EdtPoint& p = points[i];
    const size_t at = 32 + 44 * i;
    const float values[] = {p.time, p.pressure, p.temp, p.humidity, p.height, p.windDir, p.windSpeed, p.x, p.y};
    for (size_t v = 0; v < 9; ++v) PutLeF32(b, at + 4 * v, values[v]);
    PutLeU32(b, at + 36, 0xDEADBEEF);  // unused
    PutLeU16(b, at + 40, p.flags2);
    PutLeU16(b, at + 42, p.flags);
  }
  return b;
}

std::string WriteAscent(const std::string& base, const std::string& name, const std::string& card,
                        const std::string& edt) {
  const std::string yymm = name.substr(0, 4);
  const std::string stg = base + "RAW/" + yymm + "/" + name + ".stg";
  WriteBytes(stg, card);
  WriteBytes(base + "RESULT/" + yymm + "/" + name + ".EDT", edt);
  return stg;
}

std::vector<EdtPoint> SampleProfile(int points, double surfaceHeight) {
  std::vector<EdtPoint> out;
  const double pTop = 8.0, pSurface = 1002.0;
  const auto tempAt = [](double z) { return z < 11000 ? -5.0 - 0.0065 * (z - 150.0) : -75.5 + 0.001 * (z - 11000); };
  // Heights follow the pressures hydrostatically through the profile's own
  // temperatures, as a real sounding's do.
  double z = surfaceHeight, pPrev = 0;
  for (int i = 0; i < points; ++i) {
    const double f = points > 1 ? static_cast<double>(i) / (points - 1) : 0.0;
    const double p = std::round(pSurface * std::pow(pTop / pSurface, f) * 10) / 10;
    if (i > 0) {
      const double step = 287.05 / 9.80665 * std::log(pPrev / p);
      const double below = tempAt(z) + 273.15;
      const double guess = z + step * below;
      z += step * 0.5 * (below + tempAt(guess) + 273.15);
    }
    pPrev = p;
    EdtPoint e;
    e.time = static_cast<float>(f * 6000.0);
    e.pressure = static_cast<float>(p);
    e.height = static_cast<float>(z);
    e.temp = static_cast<float>(tempAt(z));
    e.humidity = z < 9000 ? static_cast<float>(85.0 - z / 150.0) : kNo;
    e.windDir = static_cast<float>(std::fmod(240.0 + z / 400.0, 360.0));
    e.windSpeed = static_cast<float>(3.0 + z / 1200.0);
    e.x = static_cast<float>(z * 0.9);
    e.y = static_cast<float>(z * 1.7);
    if (i == 0) e.flags = 0x01;
    if (i > 0 && i % 10 == 0) e.flags = 0x04;
    if (i > 0 && i % 25 == 0) e.flags |= 0x08;
    out.push_back(e);
  }
  return out;
}

}  // namespace tern::test::kiosk
