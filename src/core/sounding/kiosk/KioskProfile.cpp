#include "sounding/kiosk/KioskProfile.h"

#include <cmath>

#include "base/Error.h"
#include "base/Files.h"
#include "sounding/Records.h"
#include "sounding/kiosk/KioskCard.h"
#include "sounding/kiosk/LittleEndian.h"

namespace tern::kiosk {
namespace {

// Header: eleven signed 16-bit words and 10 unused octets.
constexpr size_t kLastWindWordAt = 3 * 2;
constexpr size_t kIndex100WordAt = 6 * 2;

// Record layout: nine f32 quantities, 4 unused octets, two u16 flag words.
struct Column {
  size_t offset;
  Quantity quantity;
};
constexpr Column kRecordColumns[] = {
    {0, kTime}, {4, kPressure}, {8, kTemp}, {12, kHumidity}, {16, kHeight},
    {20, kWindDir}, {24, kWindSpeed}, {28, kX}, {32, kY},
};
constexpr size_t kFlags2At = 40;
constexpr size_t kFlagsAt = 42;

// The file marks a missing value with -999 or less; anything that is not a
// finite number is no value either.
double FileValue(float v) { return std::isfinite(v) && v > -999.0f ? static_cast<double>(v) : kMissing; }

}  // namespace

tKioskProfile ParseEdt(std::string_view bytes, const std::string& path) {
  if (bytes.size() < kEdtHeaderSize + kEdtRecordSize) throw TernError(ReadFailureText(path));
  tKioskProfile p;
  const int lastWind = LeI16(bytes, kLastWindWordAt);
  const int index100 = LeI16(bytes, kIndex100WordAt);
  p.LastWind = lastWind >= 0 ? lastWind : -1;
  p.Index100 = index100 > 0 ? index100 : -1;
  const size_t count = (bytes.size() - kEdtHeaderSize) / kEdtRecordSize;
  p.Records.resize(count);
  for (size_t i = 0; i < count; ++i) {
    const size_t at = kEdtHeaderSize + i * kEdtRecordSize;
    tKioskRecord& r = p.Records[i];
    for (const Column& c : kRecordColumns) r[c.quantity] = FileValue(LeF32(bytes, at + c.offset));
    r.Flags2 = LeU16(bytes, at + kFlags2At);
    r.Flags = LeU16(bytes, at + kFlagsAt);
  }
  return p;
}

tKioskProfile ReadEdtFile(const std::string& path) {
  const auto bytes = ReadWholeFile(path);
  if (!bytes) throw TernError(ReadFailureText(path));
  return ParseEdt(*bytes, path);
}

}  // namespace tern::kiosk
