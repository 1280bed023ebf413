#pragma once
// Ascents for the reader fuzz targets: a Corvo ascent opened from a valid
// ".info" in the scratch folder, a plausible profile to merge into, and the
// workstation's binary files built byte by byte.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/Operator.h"
#include "sounding/corvo/CorvoMessage.h"
#include "sounding/kiosk/KioskMessage.h"

namespace tern::fuzz {

constexpr uint32_t kStation = 27612;

// A Corvo ascent of the system code, opened from "<base>.info" in the scratch
// folder; the answers go to op. Companion files are written with CorvoCompanion.
std::unique_ptr<TUACorvoMessage> OpenCorvo(uint8_t code, IOperator& op);
// Writes a companion of the ascent opened last (extension with its dot); its path.
std::string CorvoCompanion(uint8_t code, std::string_view ext, std::string_view content);
// Removes a companion left by an earlier input.
void DropCorvoCompanion(uint8_t code, std::string_view ext);

// Twenty levels from 1003 hPa up to 100 hPa with every quantity present.
void FillProfile(TUAMessage& ascent);

// The workstation's ascent card and profile.
std::string KioskCard(uint32_t station = kStation);
std::string KioskProfile(int points = 24);
// A workstation ascent under the scratch folder with the given card and profile
// bytes, opened; throws what OpenAscent throws.
std::unique_ptr<TuaKioskMessage> OpenKiosk(std::string_view card, std::string_view edt, IOperator& op);

}  // namespace tern::fuzz
