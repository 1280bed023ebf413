// The workstation's profile (".EDT") beside a valid card: any bytes load to
// levels (with the standard levels completed) or are refused, and encode in
// both message kinds or are refused.
#include "FuzzAscents.h"
#include "base/Error.h"
#include "bufr/BufrMessage.h"

using namespace tern;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string card = fuzz::KioskCard();
  const std::string_view edt(reinterpret_cast<const char*>(data), size);
  for (bool bufrI : {true, false}) {
    DefaultAnswerOperator op;
    try {
      auto ascent = fuzz::OpenKiosk(card, edt, op);
      ascent->SetBufrI(bufrI);
      if (ascent->LoadData()) BuildBufrMessage(*ascent);
    } catch (const TernError&) {
    }
  }
  return 0;
}
