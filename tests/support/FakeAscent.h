#pragma once
// An ascent without a sounding-system family, for tests of the shared model.
#include "sounding/UAMessage.h"

namespace tern::test {

class FakeAscent : public TUAMessage {
 public:
  FakeAscent() { SystemSet = 0xFFFF; }
  bool LoadData() override { return LevelCount > 0; }
  std::string GetOpenFilter(TDateTime) override { return {}; }
  bool OpenAscent(const std::string& fileName, uint8_t& rsType) override {
    SourceFile = fileName;
    rsType = 255;
    return true;
  }
  bool GetTelegramFile(int, std::string&) override { return false; }
  bool GetLayerFile(std::string&) override { return false; }
  bool GetGroundFile(std::string&) override { return false; }
  std::string GetAscentFileName(TDateTime) override { return {}; }
  void FindSourceFolder(const std::string&, bool& found, std::string& folder, TDateTime) override {
    found = false;
    folder.clear();
  }

  // A level with every quantity present.
  tUALevel& AddLevel(float pressure, float temp = -10.0f, float dew = -12.0f, float wdir = 180.0f,
                     float wspeed = 5.0f, float height = 1000.0f) {
    tUALevel& l = Levels[LevelCount++];
    l = tUALevel{};
    l.Pressure = pressure;
    l.Temp = temp;
    l.DewPoint = dew;
    l.WindDir = wdir;
    l.WindSpeed = wspeed;
    l.Height = height;
    l.LatDisp = 0.01;
    l.LonDisp = 0.02;
    return l;
  }
};

}  // namespace tern::test
