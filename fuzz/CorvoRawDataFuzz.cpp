// The raw flight data (".RAWDATA" of code 0; ".RAW" and its special points
// ".SP" of code 2), matched against a plausible profile. Input: the raw file,
// then optionally a 0x1E byte and the special points.
#include "FuzzAscents.h"
#include "FuzzSupport.h"
#include "base/Error.h"
#include "bufr/BufrMessage.h"

using namespace tern;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  const std::string_view raw = fuzz::Piece(rest, '\x1e');
  const bool withSp = raw.size() < size;
  const uint8_t code = withSp ? 2 : 0;
  DefaultAnswerOperator op;
  auto ascent = fuzz::OpenCorvo(code, op);
  ascent->SetBufrI(false);
  fuzz::FillProfile(*ascent);
  const std::string path = fuzz::CorvoCompanion(code, withSp ? ".RAW" : ".RAWDATA", raw);
  if (withSp) fuzz::CorvoCompanion(code, ".SP", rest);
  try {
    if (ascent->ReadRawData(path)) BuildBufrMessage(*ascent);
  } catch (const TernError&) {
  }
  return 0;
}
