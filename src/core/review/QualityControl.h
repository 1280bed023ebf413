#pragma once
// Automatic quality control of a profile: finds values that deserve the
// operator's look (dew point above temperature, levels out of order, layers
// steeper than dry adiabatic, heights that disagree with the hypsometric
// thickness, spikes, wind jumps, implausible ascent rates, values outside the
// climate). It only points: nothing here changes a level or a rejection mask.
#include <cstdint>
#include <string>
#include <vector>

#include "sounding/Records.h"

namespace tern {

enum class QcCheck : uint8_t {
  DewAboveTemp,
  PressureOrder,
  HeightOrder,
  Superadiabatic,
  Hydrostatic,
  TempSpike,
  DewSpike,
  SpeedSpike,
  SpeedLimit,
  WindJump,
  WindTurn,
  AscentRate,
  TempClimate,
  DewClimate,
  StandardHeight,
};

// One suspect: the level it points at, the check, the quantities concerned
// (rejection bits, so the viewer can mark the columns) and the values that
// made it fire.
struct QcFinding {
  int level;      // first level of the run
  int lastLevel;  // last level of a run of neighbouring levels the check flags alike
  QcCheck check;
  uint8_t quantities;
  double value;  // the suspect value (or the measured difference)
  double limit;  // what it was compared with
};

// Thresholds of the checks; the defaults are explained beside their values.
struct QcThresholds {
  double dewAboveTemp = 0.05;         // °C: the files' own rounding
  double pressureRise = 0.05;         // hPa a level may read above the one before
  double heightDrop = 0.5;            // gpm a level may read below the one before
  double superadiabaticLapse = 20.0;  // K/km: twice the dry adiabat
  double superadiabaticLayer = 200.0; // gpm the steep layer must span
  double superadiabaticFloor = 500.0; // gpm above the launch where the ground no longer drives it
  double hydrostaticLayer = 0.1;      // ln(p) span of a layer checked at once (~750 m)
  double hydrostaticBase = 40.0;      // gpm tolerance of a layer ...
  double hydrostaticShare = 0.03;     // ... plus this share of its thickness
  double tempSpike = 3.0;             // °C from both neighbours that agree
  double dewSpike = 10.0;
  double speedSpike = 10.0;           // m/s
  double spikeSpan = 500.0;           // gpm: neighbours farther apart are not a spike test
  double speedLimit = 150.0;          // m/s: above any jet stream ever measured
  double windJumpSpeed = 25.0;        // m/s over one wind step ...
  double windJumpDir = 120.0;         // ... or degrees with both speeds above windJumpMinSpeed
  double windJumpMinSpeed = 15.0;
  double windJumpStep = 300.0;        // gpm: a longer step is not a jump
  double ascentWindow = 120.0;        // s over which the ascent rate is measured
  double ascentMin = 1.0;             // m/s
  double ascentMax = 15.0;
  double tempMin = -95.0, tempMax = 50.0;  // °C
  double dewMin = -110.0, dewMax = 35.0;
};

// Runs every check over the first count levels; masks (one per level, may be
// null) hide what the operator has already rejected. Findings are in level
// order; neighbouring levels a check flags alike come as one run.
std::vector<QcFinding> FindSuspects(const tUALevel* levels, int count, const uint8_t* masks = nullptr,
                                    const QcThresholds& limits = QcThresholds{});

// Short Russian name of a check (cp1251), for the hover tip and the CLI.
std::string QcCheckName(QcCheck check);
// "Td 3.4 > T 2.1"-style explanation of a finding (cp1251).
std::string QcReason(const QcFinding& finding);

}  // namespace tern
