// The six text messages built from a fuzzed result file of the sounding
// system. Input: two option bytes, then the file. First byte: message tag (low
// three bits), layer message as-is, with day-hour group, with a header line,
// no separators in the file, workstation system; second byte: day-hour group
// first, no index, 61616 section, several radiosondes, no 31313 repair.
#include "FakeAscent.h"
#include "FuzzSupport.h"
#include "base/DateTime.h"
#include "base/Error.h"
#include "bulletins/TextBulletin.h"

using namespace tern;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const uint8_t a = data[0], b = data[1];
  const std::string path = fuzz::WriteScratch("source.txt", data + 2, size - 2);

  test::FakeAscent ascent;
  ascent.TelegramFiles = {path, path, path, path};
  ascent.LayerFile = ascent.GroundFile = path;
  ascent.SystemCode = (a & 0x80) ? 8 : 1;
  ascent.StationIndText = "27612";
  ascent.ObsTime = EncodeDateTime(2026, 12, 9, 12, 0, 0);
  ascent.LayerTime = ascent.ObsTime;
  ascent.Single = !(b & 0x08);

  TMessageSettings s;
  s.Temp.Head = {"USMS01 RUMS {ddhh}00<BBB>\r\n", "UKMS01 RUMS {ddhh}00<BBB>\r\n", "ULMS01 RUMS {ddhh}00<BBB>\r\n",
                 "UEMS01 RUMS {ddhh}00<BBB>\r\n"};
  s.Layer.Head = s.Priz.Head = "UXMS01 RUMS {ddhh}00<BBB>\r\n";
  s.Layer.AsIs = a & 0x08;
  s.Layer.YYGG = a & 0x10;
  s.Layer.Mph = a & 0x20;
  s.Layer.YYGG1st = b & 0x01;
  s.Layer.NoIndex = b & 0x02;
  if (a & 0x40) {
    s.Temp.OrgSep.clear();
    s.Layer.OrgSep.clear();
    s.Priz.OrgSep.clear();
  } else {
    s.Layer.OrgSep = "=";
    s.Priz.OrgSep = "=";
  }
  tTempOptions options;
  options.Add61616 = b & 0x04;
  options.InjectRaRa = !(b & 0x10);
  options.RaRa = b >> 5;

  const int tag = 1 + (a & 7) % 6;
  DefaultAnswerOperator op;
  try {
    BuildTextBulletin(tag, ascent, "RRA", s, options, op);
  } catch (const TernError&) {
  }
  return 0;
}
