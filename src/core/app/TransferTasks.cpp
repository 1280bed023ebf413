#include "app/TransferTasks.h"

#include "base/Error.h"
#include "base/Text.h"

namespace tern {

void ApplyMailAddresses(const tMailSettings& mail, bool textMode, tSMTPTaskRecord& task) {
  task.TextMode = textMode;
  task.From = mail.From;
  task.To = mail.To;
  if (!mail.CC.empty()) task.Cc = mail.CC;
  if (!mail.BCC.empty()) task.Bcc = mail.BCC;
  if (task.Receipt) {
    task.ReceiptAddress = task.From;
    task.NotificationAddress = task.From;
  }
}

namespace {

void ReadFtp(const TMyIniFile& ini, const char* section, tFTPTaskRecord& task) {
  if (!ReadFTPSettings(ini, section, task)) throw TernError(cp("Ошибка загрузки ") + section + "!");
}

void ReadSmtp(const TMyIniFile& ini, const char* section, const tMailSettings& mail, bool textMode,
              tSMTPTaskRecord& task) {
  if (!ReadSMTPSettings(ini, section, task)) throw TernError(section + cp("-ошибка загрузки настроек!"));
  ApplyMailAddresses(mail, textMode, task);
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
