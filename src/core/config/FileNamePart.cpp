#include "config/FileNamePart.h"

#include <string>

#include "base/Error.h"
#include "base/Text.h"

namespace tern {

bool StaysInFolder(std::string_view part) {
  return part.find_first_of("/\\") == std::string_view::npos && part.find("..") == std::string_view::npos;
}

void RequireFileNamePart(const TMyIniFile& ini, std::string_view section, std::string_view key, std::string_view part) {
  if (StaysInFolder(part)) return;
  throw TernError(cp("Ошибка в файле ") + ini.FileName() + "\r" + cp("Значение ключа ") + std::string(key) + " = " +
                  ini.ReadString(section, key, "") + cp(" недопустимо в имени файла"));
}

}  // namespace tern
