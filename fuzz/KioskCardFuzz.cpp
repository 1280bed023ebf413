// The workstation's ascent card (".stg") beside a valid profile: any bytes
// open and load or are refused.
#include "FuzzAscents.h"
#include "base/Error.h"

using namespace tern;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string edt = fuzz::KioskProfile();
  DefaultAnswerOperator op;
  try {
    auto ascent = fuzz::OpenKiosk(std::string_view(reinterpret_cast<const char*>(data), size), edt, op);
    ascent->LoadData();
  } catch (const TernError&) {
  }
  return 0;
}
