#include "sounding/kiosk/KioskCard.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "base/Error.h"
#include "base/Files.h"
#include "base/Text.h"
#include "sounding/kiosk/LittleEndian.h"

namespace tern::kiosk {
namespace {

// Accepted card sizes. The card is block 1 (55 octets), the variant octet when
// present, block 2 (64 octets for family 1, 84 for family 0) and block 3 (46).
struct CardShape {
  size_t size;
  int family;       // 1: the 166-octet kind, 0: the 186-octet kind
  bool hasVariant;
};
constexpr CardShape kCardShapes[] = {
    {154, 1, false}, {155, 1, true}, {165, 1, true}, {166, 1, true},
    {184, 0, false}, {185, 0, true}, {186, 0, true},
};

constexpr size_t kBlock1Size = 55;
constexpr size_t kBlock3Size = 46;
size_t Block2Size(int family) { return family == 1 ? 64 : 84; }

// Offsets inside block 1 and block 3.
constexpr size_t kStationIndexAt = 20;  // u32, block 1
constexpr size_t kCloudLengthAt = 20;   // length octet and 5 characters, block 3
constexpr size_t kCloudChars = 5;
constexpr size_t kDayAt = 26;           // u16
constexpr size_t kMonthAt = 28;         // u16
constexpr size_t kYearAt = 30;          // u16, four digits
constexpr size_t kHourAt = 32;          // f32

bool VariantAllowed(int family, uint8_t variant) {
  return family == 1 ? variant == 1 : variant == 0 || (variant >= 2 && variant <= 5);
}

constexpr std::array<uint8_t, 6> kRadiosondeTypes = {75, 76, 75, 58, 68, 28};

}  // namespace

std::string ReadFailureText(const std::string& path) { return cp("Ошибка чтения файла ") + path; }

uint8_t RadiosondeTypeOfCard(int cardType) {
  return cardType >= 0 && cardType < static_cast<int>(kRadiosondeTypes.size()) ? kRadiosondeTypes[cardType] : 255;
}

tKioskCard ParseCard(std::string_view bytes, const std::string& fileName) {
  const CardShape* shape = nullptr;
  for (const CardShape& s : kCardShapes)
    if (s.size == bytes.size()) shape = &s;
  if (!shape) throw TernError(cp("Зонд не опознан"));

  tKioskCard card;
  card.Type = shape->family;
  size_t at = kBlock1Size;
  if (shape->hasVariant) {
    const uint8_t variant = static_cast<uint8_t>(bytes[at]);
    if (!VariantAllowed(shape->family, variant)) throw TernError(cp("Зонд не опознан"));
    if (variant != 0) card.Type = variant;
    at += 1;
  }
  // The short sizes pass the identification but cannot hold all three blocks.
  const size_t block3 = at + Block2Size(shape->family);
  if (block3 + kBlock3Size > bytes.size()) throw TernError(ReadFailureText(fileName));

  card.StationIndex = LeU32(bytes, kStationIndexAt);
  const size_t cloudLength = static_cast<uint8_t>(bytes[block3 + kCloudLengthAt]);
  card.CloudGroup = std::string(bytes.substr(block3 + kCloudLengthAt + 1, std::min(cloudLength, kCloudChars)));
  card.Day = LeU16(bytes, block3 + kDayAt);
  card.Month = LeU16(bytes, block3 + kMonthAt);
  card.Year = LeU16(bytes, block3 + kYearAt);
  card.LaunchHour = LeF32(bytes, block3 + kHourAt);
  return card;
}

tKioskCard ReadCardFile(const std::string& path) {
  const long long size = FileSizeOf(path);
  if (size < 0) throw TernError(ReadFailureText(path));
  // Anything larger than the largest card is not a card; no need to read it.
  if (size > static_cast<long long>(kCardShapes[std::size(kCardShapes) - 1].size)) throw TernError(cp("Зонд не опознан"));
  const auto bytes = ReadWholeFile(path);
  if (!bytes) throw TernError(ReadFailureText(path));
  return ParseCard(*bytes, path);
}

}  // namespace tern::kiosk
