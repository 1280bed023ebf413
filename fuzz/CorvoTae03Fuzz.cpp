// The tae03 table of system code 2 (".tae03"): any bytes read to levels or a
// refusal; what is read must encode or be refused.
#include "FuzzAscents.h"
#include "base/Error.h"
#include "bufr/BufrMessage.h"

using namespace tern;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DefaultAnswerOperator op;
  auto ascent = fuzz::OpenCorvo(2, op);
  ascent->SetBufrI(false);
  fuzz::CorvoCompanion(2, ".tae03", std::string_view(reinterpret_cast<const char*>(data), size));
  try {
    if (ascent->LoadData()) BuildBufrMessage(*ascent);
  } catch (const TernError&) {
  }
  return 0;
}
