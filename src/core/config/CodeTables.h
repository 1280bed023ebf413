#pragma once
// Readers of the BUFR code tables file and of the observer list. Every code is
// an integer 0..255 and every text must be present; the first value that breaks
// a rule makes the read fail.
#include <string>

#include "base/Text.h"
#include "config/MyIniFile.h"
#include "sounding/Records.h"

namespace tern {

// Sounding system n: title, ground system and its radiosonde set. On failure the
// radiosonde list is empty and Count is 0.
bool ReadGroundSystem(const TMyIniFile& ini, int systemCode, tGSSystemCodes& out);
// Radiosonde section [rs<code>] with its metadata section.
bool ReadRadiosonde(const TMyIniFile& ini, int code, tRsSystemCodes& out);
// The lists keep their full length N on failure; the entries from the failing one
// on are empty.
bool ReadBalloonList(const TMyIniFile& ini, tBalloonCodesArray& out);
bool ReadGasList(const TMyIniFile& ini, tGasCodesArray& out);
bool ReadTerminationList(const TMyIniFile& ini, tTerminationCodesArray& out);

// Observer short names of [SMENA]: absent and empty entries skipped, the rest cut
// to 4 characters with Latin letters in capitals.
void ReadObservers(const TMyIniFile& ini, TextList& list);
// Rewrites [SMENA] unless the file already holds as many entries as the list.
void WriteObservers(TMyIniFile& ini, const TextList& list);
// Four-character observer identification: the first three characters of the
// name, Cyrillic letters transliterated, Latin letters in capitals.
std::string ObserverCode(const std::string& name);

}  // namespace tern
