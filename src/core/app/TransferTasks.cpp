#include "app/TransferTasks.h"

#include "base/Error.h"
#include "base/Text.h"
#include "config/FileNamePart.h"
#include "transmit/smtp/SMTPAddresses.h"

namespace tern {

namespace {

void ReadFtp(const TMyIniFile& ini, const char* section, tFTPTaskRecord& task) {
  if (!ReadFTPSettings(ini, section, task)) throw TernError(cp("Ошибка загрузки ") + section + "!");
  // The originator starts the names of the files on the server.
  RequireFileNamePart(ini, section, "CCCC0", ini.ReadString(section, "CCCC0", ""));
}

void ReadSmtp(const TMyIniFile& ini, const char* section, const tMailSettings& mail, bool textMode,
              tSMTPTaskRecord& task) {
  if (!ReadSMTPSettings(ini, section, task)) throw TernError(section + cp("-ошибка загрузки настроек!"));
  FillSMTPAddresses(task, mail, textMode);
}

}  // namespace

void ReadTransferTasks(const TMyIniFile& ini, const TMessageSettings& settings, tTransferTasks& tasks) {
  if (settings.Spooling.Text == TextMode::FTP) ReadFtp(ini, "FTPTXT", tasks.TextFTP);
  if (settings.Spooling.Text == TextMode::SMTP)
    ReadSmtp(ini, "SMTPTXT", settings.MailText, true, tasks.TextSMTP);
  if (settings.Spooling.Bufr == BufrMode::FTP) ReadFtp(ini, "FTPBIN", tasks.BufrFTP);
  if (settings.Spooling.Bufr == BufrMode::SMTP)
    ReadSmtp(ini, "SMTPBIN", settings.MailBinary, false, tasks.BufrSMTP);
}

}  // namespace tern
