#pragma once
// Writes complete, plausible result files of one Corvo-family ascent: a
// standard atmosphere with a tropopause, a jet, winds turning with height,
// humidity falling off, and a balloon drifting with the wind. Used by the
// tests, the benchmarks and the demo station's sample ascents.
#include <cstdint>
#include <string>
#include <vector>

#include "base/DateTime.h"

namespace tern {

struct AscentPlan {
  uint8_t code = 1;           // sounding-system code, decides the file set
  TDateTime launch = 0;       // UTC
  uint32_t station = 27612;
  double stationLat = 55.75, stationLon = 37.62;
  double barometerHeight = 147;  // m above sea level; also the launch height
  double surfacePressure = 1012.6;
  int levels = 2950;          // levels of the main table, one per 2 s of flight
  std::string cloudGroup = "62816";
  int sondeType = 90;
};

// One level of the main table, with the values exactly as the files hold them.
struct GeneratedLevel {
  double time, height, pressure, temp, hum, dewDep, dir, speed;
  double range, elevation, azimuth;
  double latDisp, lonDisp;  // the balloon's drift, computed on a flat earth
  bool standard = false, tropopause = false, maxWind = false;
};

// One line of the surface-layer table.
struct GeneratedSurface {
  double heightAboveBarometer, pressure, speed, dir, temp, hum, dewDep;
};

struct GeneratedAscent {
  std::string infoFile;
  std::vector<GeneratedLevel> table;
  std::vector<GeneratedSurface> surface;
  std::vector<double> speedPointHeights, dirPointHeights;  // ".SPoints"
  std::vector<double> windPointTimes;                       // ".SP": times marked "V"
};

// Writes every result file of the ascent into folder (created when needed) and
// returns what was written. The ascent's name follows the code's name form.
GeneratedAscent GenerateCorvoAscent(const std::string& folder, const AscentPlan& plan);

}  // namespace tern
