#pragma once
// An opened Corvo ascent in a scratch folder, for the reader tests.
#include <memory>
#include <string>

#include "TestSupport.h"
#include "base/DateTime.h"
#include "base/Operator.h"
#include "base/Text.h"
#include "sounding/corvo/AscentGenerator.h"
#include "sounding/corvo/CorvoMessage.h"

namespace tern::test {

struct CorvoFixture {
  explicit CorvoFixture(uint8_t code, std::string name = "5.3.2020-23.5") : base(dir / name) {
    ascent.SystemCode = code;
    ascent.StationInd = 27612;
    ascent.StationLat = 55.75;
    ascent.StationLon = 37.62;
    ascent.StationBarometerHeight = 147;
    ascent.SetOperator(&op);
    WriteBytes(base + ".info", "RadioZondType: 90\r\n");
    uint8_t rs = 0;
    ascent.OpenAscent(base + ".info", rs);
  }
  // Writes a companion file of the ascent from UTF-8 text (stored as cp1251).
  void Write(const std::string& ext, std::string_view utf8) const { WriteCp1251(base + ext, utf8); }
  std::string Cp(std::string_view utf8) const { return Utf8ToCp1251(utf8); }

  TempDir dir;
  std::string base;  // the ascent's path without extension
  ScriptedOperator op;
  TUACorvoMessage ascent;
};

// The station of a generated ascent set into an ascent object, as the station
// file would; the questions go to op.
inline void SetPlanStation(TUACorvoMessage& a, const AscentPlan& plan, IOperator& op) {
  a.SetOperator(&op);
  a.SystemCode = plan.code;
  a.StationInd = plan.station;
  a.StationLat = plan.stationLat;
  a.StationLon = plan.stationLon;
  a.StationBarometerHeight = plan.barometerHeight;
}

// Texts of the questions asked, as UTF-8 for readable failures.
inline std::string AskedText(const ScriptedOperator& op, size_t i) {
  return i < op.asked.size() ? Cp1251ToUtf8(op.asked[i].text) : std::string("<no question>");
}

}  // namespace tern::test
