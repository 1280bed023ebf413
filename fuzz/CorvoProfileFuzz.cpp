// The Corvo profile table (".prof"): any bytes read to levels, a refusal or the
// operator's question, never a crash; what is read must encode or be refused.
#include "FuzzAscents.h"
#include "base/Error.h"
#include "bufr/BufrMessage.h"

using namespace tern;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DefaultAnswerOperator op;
  auto ascent = fuzz::OpenCorvo(1, op);
  ascent->SetBufrI(false);
  fuzz::CorvoCompanion(1, ".prof", std::string_view(reinterpret_cast<const char*>(data), size));
  try {
    if (ascent->LoadData()) BuildBufrMessage(*ascent);
  } catch (const TernError&) {
  }
  return 0;
}
