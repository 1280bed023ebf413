#pragma once
// Writes the workstation's binary files byte by byte, for the tests and for
// the demo station's sample ascent. Kept independent of the reader's tables so
// that a wrong offset on either side shows up.
#include <cstdint>
#include <string>
#include <vector>

namespace tern::test::kiosk {

struct CardPlan {
  size_t size = 186;      // any size; the layout is cut or padded to it
  uint8_t variant = 0;    // written at octet 55 when the size carries one
  uint32_t station = 27612;
  std::string cloud = "70560";
  uint16_t day = 9, month = 12, year = 2026;
  float hour = 23.25f;
};
std::string MakeCard(const CardPlan& plan);

constexpr float kNo = -9999.0f;  // the file's missing value

struct EdtPoint {
  float time = 0, pressure = 0, temp = kNo, humidity = kNo, height = kNo;
  float windDir = kNo, windSpeed = kNo, x = kNo, y = kNo;
  uint16_t flags = 0, flags2 = 0;
};
std::string MakeEdt(const std::vector<EdtPoint>& points, int16_t lastWind, int16_t index100);

// Puts a card and a profile where the workstation keeps them under base:
// RAW/yymm/<name>.stg and RESULT/yymm/<name>.EDT. Returns the card's path.
std::string WriteAscent(const std::string& base, const std::string& name, const std::string& card,
                        const std::string& edt);

// A plausible winter ascent from 1002 hPa up to 8 hPa with every quantity,
// humidity ending near 300 hPa; for the sample ascent and the end-to-end tests.
// surfaceHeight: the launch height in metres (the station's barometer height for the demo).
std::vector<EdtPoint> SampleProfile(int points, double surfaceHeight = 150.0);

}  // namespace tern::test::kiosk
