#pragma once
// What differs between the sounding systems of the Corvo family, one row per
// system code. Every code-dependent rule of the readers looks it up here.
#include <cstdint>
#include <string>

namespace tern {

enum class CorvoRoute { Profile, Tae3, Tae03 };

struct CorvoSystem {
  const char* defaultFolder;  // under the user's home, date fields in braces
  bool compactNames;          // "yyyymmdd-hhnn" instead of "d.m.yyyy-h.n"
  CorvoRoute route;
  bool readsSondeType;        // the info file's "RadioZondType:" line is used
  bool hasKN04;               // the telegram may also be ".KN04"
  const char* layerExt;       // layer-message file
  const char* groundExt;      // surface-layer file of the bulletins and of the TAE-3 route
  const char* rawExt;         // raw flight data of the TAE-3 route
  double rawHeightStep;       // raw heights are compared after multiplying by this and rounding
  bool saturatedDewPoint;     // a raw humidity of 100 % above -40 degC gives the missing dew point
};

// nullptr for a code outside the family.
const CorvoSystem* FindCorvoSystem(uint8_t code);

// The Windows folders the sounding systems use by default ("c:\corvo\...") live
// under the user's home here: "~/corvo/{yyyy/m}", "~/ridge/{yyyy/mm}", "~/lumen/archive".
// Empty for a code outside the family.
std::string DefaultSourceTemplate(uint8_t code);

}  // namespace tern
