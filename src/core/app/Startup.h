#pragma once
// Process-wide start-up state: command-line switches, the settings and program
// folders and the optional log.
#include <string>
#include <string_view>
#include <vector>

#include "base/DateTime.h"

namespace tern {

// Parameters without the program name, as cp1251 text.
using ParamList = std::vector<std::string>;

// The parameter after the first switch with that name; empty when absent or last.
std::string FindSwitchValue(const ParamList& params, std::string_view name);
// True when any parameter is the switch ("-" or "/" then the name, case ignored).
bool HasSwitch(const ParamList& params, std::string_view name);

// The log: one file, a date line per start, each later line by its own open-append-close.
class Log {
 public:
  // Opens or creates the file and writes the date line; false leaves the log disabled.
  static bool Open(std::string_view path, TDateTime localNow = NowLocal());
  static void Write(std::string_view text);
  static bool Enabled();
  static void Disable();
};

// The date line: day number in a 23-character exponential field, as " 4.60000000000000E+0004".
std::string LogDateLine(TDateTime dt);

inline bool OpenLog(std::string_view path) { return Log::Open(path); }
inline void WriteLog(std::string_view text) { Log::Write(text); }

// The folder of ASCVAR.CNF and the fallback for the settings: the working
// folder with "AC"; the executable's folder when it holds STATION.CNF (a
// portable copy); otherwise the user's own folder under $XDG_CONFIG_HOME
// (default ~/.config), because an installed program cannot write beside its
// executable. Only decides; UserProgramFolder() is created by the caller.
std::string ProgramFolderFor(const ParamList& params, const std::string& currentFolder,
                             const std::string& executableFolder, const std::string& userFolder);
// $XDG_CONFIG_HOME/tern2bufr/, or ~/.config/tern2bufr/ when it is unset or not absolute.
std::string UserProgramFolder();

struct StartupFolders {
  std::string settingsFolder;  // ends with a separator when not empty
  std::string programFolder;   // ends with a separator
};

}  // namespace tern
