#pragma once
// The workstation's profile file (".EDT"): a 32-octet header and 44-octet
// records, one per point of the ascent, surface first.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tern::kiosk {

// The quantities of a profile record, in the order of the file.
enum Quantity : int { kTime, kPressure, kTemp, kHumidity, kHeight, kWindDir, kWindSpeed, kX, kY, kQuantityCount };

// Level flags of a record.
enum EdtFlags : uint16_t {
  kEdtSurface = 0x01, kEdtTropopause = 0x02, kEdtSigTempHum = 0x04, kEdtSigWind = 0x08,
  kEdtMaxWind = 0x10, kEdtStandard = 0x20
};

struct tKioskRecord {
  std::array<double, kQuantityCount> Value;  // kMissing when absent
  uint16_t Flags2 = 0;  // second flag word; carries kEdtStandard on standard levels
  uint16_t Flags = 0;   // EdtFlags
  double& operator[](Quantity q) { return Value[q]; }
  double operator[](Quantity q) const { return Value[q]; }
};

struct tKioskProfile {
  int LastWind = -1;  // index of the last record with wind, -1 none
  int Index100 = -1;  // index of the 100 hPa record, -1 none
  std::vector<tKioskRecord> Records;
};

constexpr size_t kEdtHeaderSize = 32;
constexpr size_t kEdtRecordSize = 44;

// Decodes the header and every whole record; a trailing partial record is
// ignored. Throws TernError (read failure naming path) when there is no header
// or no record at all.
tKioskProfile ParseEdt(std::string_view bytes, const std::string& path);
tKioskProfile ReadEdtFile(const std::string& path);

}  // namespace tern::kiosk
