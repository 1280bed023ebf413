#pragma once
// Completion of a workstation profile with the standard isobaric levels it
// lacks, and the humidity formulas the reader shares with it.
#include "sounding/kiosk/KioskProfile.h"

namespace tern::kiosk {

// The standard isobaric levels, hPa, from the ground up.
constexpr int kStandardPressures[] = {1000, 925, 850, 700, 500, 400, 300, 250, 200, 150, 100, 70, 50, 30, 20, 10};

// Saturation vapour pressure over water, hPa, of a temperature in degC.
double SaturationPressure(double t);
// Dew point, degC, of a temperature (degC) and relative humidity (%); -99 for no humidity.
double DewPointOf(double t, double u);

// Marks the records that lie on standard levels and inserts the missing ones:
// below the surface by extrapolation of the height, between records by
// interpolation in ln p. Keeps LastWind and Index100 pointing at their records.
// With bufrI the work ends at 100 hPa.
void CompleteStandardLevels(tKioskProfile& profile, bool bufrI);

}  // namespace tern::kiosk
