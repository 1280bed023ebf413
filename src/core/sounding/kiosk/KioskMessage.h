#pragma once
// The ascent of the workstation-type sounding system (system code 8). Per
// ascent that system leaves a binary ascent card (RAW/yymm/yymmddhh.stg), a
// binary profile (RESULT/yymm/yymmddhh.EDT) and ready telegram texts.
#include <string>

#include "sounding/UAMessage.h"
#include "sounding/kiosk/KioskProfile.h"

namespace tern {

class TuaKioskMessage : public TUAMessage {
 public:
  TuaKioskMessage();

  bool LoadData() override;
  std::string GetOpenFilter(TDateTime date) override;
  bool OpenAscent(const std::string& fileName, uint8_t& rsType) override;
  bool GetTelegramFile(int part, std::string& path) override;
  bool GetLayerFile(std::string& path) override;
  bool GetGroundFile(std::string& path) override;
  std::string GetAscentFileName(TDateTime dt) override;
  void FindSourceFolder(const std::string& settingsFile, bool& found, std::string& folder, TDateTime date) override;

  std::string KioskBase;  // data folder of the system, with a trailing separator
  std::string StgFile;    // the opened ascent card
  std::string EdtFile;    // its profile file
  std::string TlgFolder;  // telegram texts, with a trailing separator
  bool TxtExt = false;    // telegram file names end in ".txt"

 private:
  bool TelegramText(const char* name, std::string& path) const;
  void FillLevel(int i, const kiosk::tKioskRecord& r, bool withWind);
};

// The data folder when the settings name none: the system's own default,
// moved from the Windows drive into the user's home.
std::string DefaultKioskBase();

}  // namespace tern
