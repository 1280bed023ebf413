#pragma once
// The ascent of the Corvo family of sounding systems (codes 0..7). Every
// ascent is a set of text files in one folder sharing a base name built from
// the launch time; the operator opens the ".info" file.
#include <string>
#include <vector>

#include "sounding/UAMessage.h"
#include "sounding/corvo/CorvoSystems.h"

namespace tern {

class TUACorvoMessage : public TUAMessage {
 public:
  TUACorvoMessage();

  bool LoadData() override;
  std::string GetOpenFilter(TDateTime date) override;
  bool OpenAscent(const std::string& fileName, uint8_t& rsType) override;
  bool GetTelegramFile(int part, std::string& path) override;
  bool GetLayerFile(std::string& path) override;
  bool GetGroundFile(std::string& path) override;
  std::string GetAscentFileName(TDateTime dt) override;
  void FindSourceFolder(const std::string& settingsFile, bool& found, std::string& folder, TDateTime date) override;

  // Launch time of an ascent file name, 0 when the date or time is impossible;
  // compact tells whether the name has the "yyyymmdd-hhnn" form. A name piece
  // that is not a number throws TernError.
  static TDateTime ParseAscentTime(const std::string& path, bool& compact);
  // The "RadioZondType:" code of an info file, 255 when there is none.
  static uint8_t ReadRadiosondeType(const std::string& path);

  // The reading routes and their steps.
  bool LoadProf();
  bool LoadTae();
  bool ReadSpecialPoints();
  bool ReadTaeTable();
  bool ReadTae03Table();
  bool ReadSurfaceLayer(const std::string& path);
  bool ReadRawData(const std::string& path);

  // Displacement from the station of a point seen at slant range (m),
  // elevation and azimuth (degrees).
  void PositionOf(double slantRange, double elevation, double azimuth, double& latDisp, double& lonDisp) const;

 private:
  const CorvoSystem* System() const { return FindCorvoSystem(SystemCode); }
  // "d.m.yyyy-" or "yyyymmdd-": how the names of the ascents of one day begin.
  std::string DayPrefix(TDateTime date) const;
  // SourceFile with its last extension replaced, looked up as FindCompanionFile
  // does; the exact path when there is no such file.
  std::string Companion(const char* ext) const;
  bool CompanionExists(const char* ext, std::string& path) const;
  // Reads a whole table file; an unreadable file is the reader's input error.
  TextList ReadLines(const std::string& path, const std::string& inputError) const;

  // Questions of the readers (caption QueryTitle()).
  int Ask(const std::string& text, std::vector<std::string> buttons, int defaultButton, int escButton) const;
  bool MergeSurfaceLayer(const std::string& name);
  bool ReadTaeLayout(bool tae03);

  // Wind special points of the ".SPoints" file: heights of the speed and
  // direction points.
  std::vector<double> SpeedPoints_, DirPoints_;
  std::string TaeFile_;
};

// Significance bits of the letters at the end of a profile line.
uint32_t ProfLetterFlags(std::string rest);

}  // namespace tern
