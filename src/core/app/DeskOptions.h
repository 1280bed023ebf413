#pragma once
// The desk's own options (TERN2BFR.CNF), read once when the main window is created.
#include <string>

#include "config/MyIniFile.h"

namespace tern {

struct TDeskOptions {
  std::string BufrCnf;      // code tables file; empty: the settings folder's BUFRCODES.CNF
  int RaRaMode = 2;         // radiosonde-type mode 0..4
  bool ObserverOn = true;   // initials typed freely and new ones join the list
  bool RRx = false;         // the RRx kind of BBB indicator is allowed
  bool Repeated = false;    // the repeated-ascent choice is offered
  bool ViewDATA = true;
  bool EditDATA = true;
  bool DisplayTLG = true;
  bool EditTLG = true;
  bool SaveTLG = true;
  bool InjectRaRa = true;   // never on in radiosonde-type mode 1
  bool Opt61616 = false;

  // The radiosonde combo is offered (and must be chosen) from mode 2 on.
  bool RaRaChoice() const { return RaRaMode >= 2; }
};

TDeskOptions ReadDeskOptions(const TMyIniFile& ini);

}  // namespace tern
