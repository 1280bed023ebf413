#include "sounding/corvo/CorvoSystems.h"

#include "base/Files.h"

namespace tern {

namespace {

constexpr CorvoSystem kSystems[8] = {
    // folder, compact names, route, sonde type, KN04, layer, ground, raw, raw step, saturated dew point
    {"corvo/{yyyy/m}", false, CorvoRoute::Tae3, false, false, ".LAYER", ".GLAYER", ".RAWDATA", 1.0, true},
    {"corvo/{yyyy/m}", false, CorvoRoute::Profile, true, true, ".LAYERS", ".GROUND", ".RAW", 0.1, false},
    {"corvo/{yyyy/m}", false, CorvoRoute::Tae03, true, true, ".LAYERS", ".GROUND", ".RAW", 0.1, false},
    {"ridge/{yyyy/mm}", false, CorvoRoute::Profile, true, true, ".LAYERS", ".GROUND", ".RAW", 0.1, false},
    {"ridge/{yyyy/mm}", false, CorvoRoute::Tae03, true, true, ".LAYERS", ".GROUND", ".RAW", 0.1, false},
    {"lumen/archive", true, CorvoRoute::Profile, true, true, ".LAYERS", ".GROUND", ".RAW", 0.1, false},
    {"lumen/archive", true, CorvoRoute::Tae03, true, true, ".LAYERS", ".GROUND", ".RAW", 0.1, false},
    {"lumen/archive", true, CorvoRoute::Tae3, true, false, ".LAYER", ".GLAYER", ".RAWDATA", 1.0, false},
};

}  // namespace

const CorvoSystem* FindCorvoSystem(uint8_t code) { return code < 8 ? &kSystems[code] : nullptr; }

std::string DefaultSourceTemplate(uint8_t code) {
  const CorvoSystem* s = FindCorvoSystem(code);
  return s ? HomeFolder() + s->defaultFolder : std::string();
}

}  // namespace tern
