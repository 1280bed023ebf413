#include "app/AscentFamily.h"

#include "sounding/corvo/CorvoMessage.h"
#include "sounding/kiosk/KioskMessage.h"

namespace tern {

std::unique_ptr<TUAMessage> CreateAscentObject(uint8_t systemCode) {
  if (systemCode == 8) return std::make_unique<TuaKioskMessage>();
  return std::make_unique<TUACorvoMessage>();
}

}  // namespace tern
