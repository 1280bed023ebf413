#pragma once
// Everything the main window knows that is not a widget: the creation
// sequence that reads the settings files in their fixed order and creates the
// one ascent object of the run, the metadata panel's rules, and what happens
// at closing. The window shows this state; the tests drive it headless.
#include <functional>
#include <memory>
#include <string>

#include "app/AscentPanel.h"
#include "app/AscentVariables.h"
#include "app/DeskOptions.h"
#include "app/SendHook.h"
#include "app/Startup.h"
#include "app/TransferTasks.h"
#include "base/DateTime.h"
#include "base/Error.h"
#include "base/Operator.h"
#include "config/MessageSettings.h"
#include "sounding/UAMessage.h"

namespace tern {

// Creates the ascent object for a sounding-system code (the family's class).
using AscentFactory = std::function<std::unique_ptr<TUAMessage>(uint8_t systemCode)>;

constexpr char kDeskVersion[] = "TERN2BUFR v.3.0.0.7";

class TDesk {
 public:
  TDesk(ParamList params, IOperator& op, AscentFactory factory);

  // The creation sequence up to the ascent variables; throws TernError with
  // the text of the fatal stop. settingsFolder is the one start-up fixed
  // (empty: the program folder).
  void Create(const std::string& settingsFolder, TDateTime utcNow = NowUTC());
  // Reopens the last ascent when it was sent less than six hours before the reference time.
  void ReopenLastAscent();
  // Logs the fatal stop and gives the text to show.
  static std::string FatalStop(const TernError& e);

  bool LoadAscent(const std::string& path) { return Panel.LoadAscent(path); }
  std::string AboutText() const;

  // Closing: true when the window may close.
  bool CloseQuery();
  bool CloseWhileMailing();
  // Saves what changed; called once the window really closes.
  void OnClose(TDateTime localNow = NowLocal());
  // OnClose for the window: when the save fails, the operator sees why and
  // chooses between keeping the desk open (false: nothing is lost, the folder
  // can be mended) and closing without the save (true).
  bool CloseAfterSaving(TDateTime localNow = NowLocal());

  // A send button; false when no send pipeline is installed.
  bool SendClick(int sendTag);

  // --- state of the run ---------------------------------------------------
  ParamList Params;
  IOperator& Op;
  ISendWorkflow* Workflow = nullptr;
  std::string SettingsFolder;  // ends with a separator
  std::string ProgramFolder;   // ends with a separator
  // Where ASCVAR.CNF lives when not beside the program (the command line keeps
  // it with the settings); empty: the start-up switches decide.
  std::string ProgramFolderOverride;
  std::string CodesFile;
  uint8_t SystemCode = 0;
  TDeskOptions Options;
  std::unique_ptr<TUAMessage> Ascent;
  TAscentPanel Panel;
  TMessageSettings Messages;
  TAscentVariables Vars;
  tTransferTasks Transfers;  // the FTP and SMTP tasks of the send modes in use
  TDateTime RefTime = 0;  // UTC now minus one hour
  std::string AppTitle;
  std::string Caption;
  std::string InitialDir;
  std::string OpenFilter;
  int FilterIndex = 1;  // 2 when the folder of the reference date was not found
  bool BufrNotSent = false;
  bool EmailSending = false;
  bool Closing = false;

  std::string StationFile() const { return SettingsFolder + "STATION.CNF"; }
  std::string OptionsFile() const { return SettingsFolder + "TERN2BFR.CNF"; }
  std::string MessagesFile() const { return SettingsFolder + "ASPD.CNF"; }
  std::string VariablesFile() const { return ProgramFolder + "ASCVAR.CNF"; }

 private:
  void ReadStationCode();
  void CreateAscent();
  void ReadMessageFile();
  void LoadVariables();
  TDesk(const TDesk&) = delete;
  TDesk& operator=(const TDesk&) = delete;

  AscentFactory factory_;
};

}  // namespace tern
