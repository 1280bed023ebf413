#pragma once
// The ascent class of a sounding system: the Kiosk workstation for code 8,
// the Corvo family for every other code.
#include <cstdint>
#include <memory>

#include "sounding/UAMessage.h"

namespace tern {
std::unique_ptr<TUAMessage> CreateAscentObject(uint8_t systemCode);
}
