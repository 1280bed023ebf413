#pragma once
// The workstation's ascent card (".stg"): a short binary file per ascent with
// the station index, the cloud group and the launch date and hour.
#include <cstdint>
#include <string>
#include <string_view>

namespace tern::kiosk {

struct tKioskCard {
  int Type = 0;              // 0..5, picks the radiosonde type
  uint32_t StationIndex = 0;
  std::string CloudGroup;    // NhCLhCMCH, at most 5 characters
  uint16_t Day = 0, Month = 0, Year = 0;
  float LaunchHour = 0;      // hours and fractions
};

// Identifies the card by its size and variant octet and reads its blocks.
// Throws TernError "Зонд не опознан" for an unknown card, and a read error
// naming fileName for a card shorter than its blocks.
tKioskCard ParseCard(std::string_view bytes, const std::string& fileName);
// Reads and parses the card file; a file that cannot be read is a read error.
tKioskCard ReadCardFile(const std::string& path);

// Radiosonde type code of a card type (255 for a type outside the table).
uint8_t RadiosondeTypeOfCard(int cardType);

// The read-failure text shared by the card and the profile readers.
std::string ReadFailureText(const std::string& path);

}  // namespace tern::kiosk
