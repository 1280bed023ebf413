#pragma once
// Station description (STATION.CNF) and BUFR options. The loaders themselves are
// members of TUAMessage: LoadStation, LoadBufrCodes, LoadBufrOptions.
#include <cstdint>
#include <optional>
#include <string_view>

#include "config/MyIniFile.h"

namespace tern {

constexpr std::string_view kStationFileName = "STATION.CNF";
constexpr std::string_view kDefaultIUKHead = "IUKD90#$20RUMS#$20{ddhh}00<BBB>";
constexpr std::string_view kDefaultIUSHead = "IUSD90#$20RUMS#$20{ddhh}00<BBB>";

// The sounding-system code of STATION.CNF: [TERN] TERN, absolute value modulo 255;
// nullopt when the key is absent or not an integer.
std::optional<uint8_t> ReadSystemCode(const TMyIniFile& station);

}  // namespace tern
