// The wind special points (".SPoints"): any bytes give two lists of heights or
// a refusal.
#include "FuzzAscents.h"
#include "base/Error.h"

using namespace tern;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DefaultAnswerOperator op;
  auto ascent = fuzz::OpenCorvo(0, op);
  fuzz::CorvoCompanion(0, ".SPoints", std::string_view(reinterpret_cast<const char*>(data), size));
  try {
    ascent->ReadSpecialPoints();
  } catch (const TernError&) {
  }
  return 0;
}
