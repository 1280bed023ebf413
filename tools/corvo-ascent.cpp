// Writes the complete result files of a plausible Corvo-family ascent.
//
//   corvo-ascent CODE FOLDER YYYY-MM-DDTHH:NN [STATION LAT LON BAROMETER LEVELS]
//
// CODE is the sounding-system code 0..7 (it decides the file set and the name
// form); the time is the UTC launch time.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "sounding/corvo/AscentGenerator.h"

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s CODE FOLDER YYYY-MM-DDTHH:NN [STATION LAT LON BAROMETER LEVELS]\n", argv[0]);
    return 2;
  }
  tern::AscentPlan plan;
  plan.code = static_cast<uint8_t>(std::atoi(argv[1]));
  int y = 0, mo = 0, d = 0, h = 0, mi = 0;
  if (plan.code > 7 || std::sscanf(argv[3], "%d-%d-%dT%d:%d", &y, &mo, &d, &h, &mi) != 5) {
    std::fprintf(stderr, "bad code or time\n");
    return 2;
  }
  plan.launch = tern::EncodeDateTime(y, mo, d, h, mi, 0);
  if (argc > 4) plan.station = static_cast<uint32_t>(std::atoi(argv[4]));
  if (argc > 5) plan.stationLat = std::atof(argv[5]);
  if (argc > 6) plan.stationLon = std::atof(argv[6]);
  if (argc > 7) plan.barometerHeight = std::atof(argv[7]);
  if (argc > 8) plan.levels = std::atoi(argv[8]);
  try {
    const tern::GeneratedAscent g = tern::GenerateCorvoAscent(argv[2], plan);
    std::printf("%s: %zu levels, %zu surface-layer lines\n", g.infoFile.c_str(), g.table.size(), g.surface.size());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
