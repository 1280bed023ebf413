#include "app/PasswordExposure.h"

#include <sys/stat.h>

#include "app/Startup.h"

namespace tern {
namespace {

struct PasswordKey {
  const char* section;
  const char* key;
};

constexpr PasswordKey kPasswordKeys[] = {
    {"FTPTXT", "PWD"}, {"FTPBIN", "PWD"}, {"SMTPTXT", "kenwort"}, {"SMTPBIN", "kenwort"}};

bool HoldsPasswords(const TMyIniFile& ini) {
  for (const auto& k : kPasswordKeys)
    if (!ini.ReadString(k.section, k.key, "").empty()) return true;
  return false;
}

}  // namespace

void LogExposedPasswords(const TMyIniFile& ini) {
  struct stat st{};
  if (::stat(NativePath(ini.FileName()).c_str(), &st) != 0 || (st.st_mode & (S_IRGRP | S_IROTH)) == 0) return;
  if (HoldsPasswords(ini))
    WriteLog(cp("Пароли FTP/SMTP в файле ") + ini.FileName() + cp(" доступны для чтения другим пользователям"));
}

}  // namespace tern
