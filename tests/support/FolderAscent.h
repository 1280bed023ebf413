#pragma once
// An ascent family for tests of the desk: its ascents lie in one folder as
// <yyyymmdd_hh>.info and every file opens, naming the radiosonde code given.
#include "FakeAscent.h"
#include "base/Files.h"

namespace tern::test {

class FolderAscent : public FakeAscent {
 public:
  explicit FolderAscent(std::string folder) : folder_(std::move(folder)) {}
  std::string GetOpenFilter(TDateTime) override { return cp("Последние выпуски|*.info|Все выпуски|*.info"); }
  std::string GetAscentFileName(TDateTime dt) override { return FormatDateTime("yyyymmdd_hh", dt) + ".info"; }
  void FindSourceFolder(const std::string&, bool& found, std::string& folder, TDateTime) override {
    folder = folder_;
    found = FolderExists(folder_);
  }
  bool OpenAscent(const std::string& fileName, uint8_t& rsType) override {
    ++opened;
    SourceFile = fileName;
    ObsTime = obsTime;
    rsType = storedCode;
    return true;
  }
  int opened = 0;
  uint8_t storedCode = 90;
  TDateTime obsTime = EncodeDateTime(2026, 5, 14, 11, 30, 0);

 private:
  std::string folder_;
};

}  // namespace tern::test
