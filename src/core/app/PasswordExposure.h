#pragma once
// Transfer passwords in a settings file are only scrambled, not encrypted: the
// file itself has to be private to the desk's user.
#include "config/MyIniFile.h"

namespace tern {

// Writes one log line when the file holds an FTP or SMTP password and its group
// or other users of the workstation may read it.
void LogExposedPasswords(const TMyIniFile& ini);

}  // namespace tern
