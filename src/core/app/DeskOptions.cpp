#include "app/DeskOptions.h"

#include <cstdlib>

namespace tern {

TDeskOptions ReadDeskOptions(const TMyIniFile& ini) {
  TDeskOptions o;
  o.BufrCnf = ini.ReadString("OPTIONS", "BUFRCNF", "");
  o.RaRaMode = std::abs(ini.ReadInteger("OPTIONS", "RaRaOn", 2) % 5);
  o.ObserverOn = ini.ReadBool("OPTIONS", "ObserverOn", true);
  o.RRx = ini.ReadBool("OPTIONS", "RRx", false);
  o.Repeated = ini.ReadBool("OPTIONS", "Repeated", false);
  o.ViewDATA = ini.ReadBool("BUFR", "ViewDATA", true);
  o.EditDATA = ini.ReadBool("BUFR", "EditDATA", true);
  o.DisplayTLG = ini.ReadBool("TLG", "DisplayTLG", true);
  o.EditTLG = ini.ReadBool("TLG", "EditTLG", true);
  o.SaveTLG = ini.ReadBool("TLG", "SaveTLG", true);
  o.InjectRaRa = o.RaRaMode != 1 && ini.ReadBool("FM35", "InjectRaRa", true);
  o.Opt61616 = ini.ReadBool("FM35", "61616", false);
  return o;
}

}  // namespace tern
