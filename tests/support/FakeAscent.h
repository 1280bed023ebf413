#pragma once
// An ascent without a sounding-system family, for tests of the shared model.
#include "base/Files.h"
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
  bool GetTelegramFile(int part, std::string& path) override {
    path = part >= 1 && part <= 4 ? TelegramFiles[part - 1] : std::string();
    return ExistingFile(path);
  }
  bool GetLayerFile(std::string& path) override { return ExistingFile(path = LayerFile); }
  bool GetGroundFile(std::string& path) override { return ExistingFile(path = GroundFile); }
  std::string GetAscentFileName(TDateTime) override { return {}; }
  void FindSourceFolder(const std::string&, bool& found, std::string& folder, TDateTime) override {
    found = false;
    folder.clear();
  }

  // Result files the bulletin tests point the fake at; empty means none.
  std::array<std::string, 4> TelegramFiles;
  std::string LayerFile;
  std::string GroundFile;

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

 private:
  static bool ExistingFile(const std::string& path) { return !path.empty() && FileExists(path); }
};

}  // namespace tern::test
