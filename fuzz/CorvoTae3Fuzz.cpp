// The TAE-3 table of system code 0 (".tae3") with valid special points: any
// bytes read to levels or a refusal; what is read must encode or be refused.
#include "FuzzAscents.h"
#include "base/Error.h"
#include "bufr/BufrMessage.h"

using namespace tern;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DefaultAnswerOperator op;
  auto ascent = fuzz::OpenCorvo(0, op);
  ascent->SetBufrI(false);
  fuzz::CorvoCompanion(0, ".SPoints", "1\r\n250 0.0\r\n2\r\n147 270\r\n900 280\r\n");
  fuzz::CorvoCompanion(0, ".tae3", std::string_view(reinterpret_cast<const char*>(data), size));
  try {
    if (ascent->LoadData()) BuildBufrMessage(*ascent);
  } catch (const TernError&) {
  }
  return 0;
}
