#pragma once
// The FTP and SMTP tasks of the two message classes, read once at start-up
// for the send modes that use them.
#include "config/MessageSettings.h"
#include "config/MyIniFile.h"
#include "transmit/ftp/FtpTask.h"
#include "transmit/smtp/SMTPTask.h"

namespace tern {

struct tTransferTasks {
  tFTPTaskRecord TextFTP, BufrFTP;
  tSMTPTaskRecord TextSMTP, BufrSMTP;
};

// Reads "FTPTXT"/"FTPBIN" for the FTP modes and "SMTPTXT"/"SMTPBIN" for the
// SMTP modes, the latter with the addresses of their mail section. Incomplete
// settings raise TernError with the text that stops the start.
void ReadTransferTasks(const TMyIniFile& ini, const TMessageSettings& settings, tTransferTasks& tasks);

}  // namespace tern
