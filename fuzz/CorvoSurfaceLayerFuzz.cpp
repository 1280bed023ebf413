// The surface-layer table (".GROUND"), merged into a plausible profile: the
// levels must stay within their array and in order of falling pressure
// wherever the merge puts them, and the result must encode or be refused.
#include <cstdlib>

#include "FuzzAscents.h"
#include "base/Error.h"
#include "bufr/BufrMessage.h"
#include "sounding/Records.h"

using namespace tern;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DefaultAnswerOperator op;
  auto ascent = fuzz::OpenCorvo(1, op);
  ascent->SetBufrI(false);
  fuzz::FillProfile(*ascent);
  const uint16_t before = ascent->LevelCount;
  const std::string path =
      fuzz::CorvoCompanion(1, ".GROUND", std::string_view(reinterpret_cast<const char*>(data), size));
  try {
    ascent->ReadSurfaceLayer(path);
    if (ascent->LevelCount < before || ascent->LevelCount > kMaxLevels) std::abort();
    BuildBufrMessage(*ascent);
  } catch (const TernError&) {
  }
  return 0;
}
