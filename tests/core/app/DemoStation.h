#pragma once
// A copy of the demo station in a scratch folder: its settings, one Corvo
// ascent, and save folders inside the scratch folder.
#include <filesystem>
#include <string>

#include "TestSupport.h"
#include "config/MyIniFile.h"

namespace tern::test {

struct DemoStation {
  TempDir dir;
  std::string settings = dir / "settings/";
  std::string ascent = dir / "ascents/20261209-1117.info";

  DemoStation() {
    namespace fs = std::filesystem;
    fs::copy(FixturePath("../../demo/settings"), settings);
    fs::create_directories(dir / "ascents");
    for (const char* ext : {".info", ".prof", ".KN04", ".LAYERS", ".GROUND"})
      fs::copy(FixturePath(std::string("../../demo/ascents/corvo/20261209-1117") + ext),
               dir / (std::string("ascents/20261209-1117") + ext));
    Set("ASPD.CNF", "SPOOLING", "TLGSave", dir / "out/TLG");
    Set("ASPD.CNF", "SPOOLING", "BUFRSave", dir / "out/BUFR");
    fs::create_directories(dir / "out/TLG");
    fs::create_directories(dir / "out/BUFR");
    Set("TERN2BFR.CNF", "OPTIONS", "Src", dir / "ascents");
  }
  void Set(const std::string& file, const char* section, const char* key, const std::string& value) const {
    TMyIniFile(settings + file).WriteString(section, key, value);
  }
  std::string SentFile() const { return dir / "ascents/20261209-1117.GTS"; }
};

// Runs in another folder while alive.
class WorkingFolder {
 public:
  explicit WorkingFolder(const std::string& path) : old_(std::filesystem::current_path()) {
    std::filesystem::current_path(path);
  }
  ~WorkingFolder() { std::filesystem::current_path(old_); }

 private:
  std::filesystem::path old_;
};

}  // namespace tern::test
