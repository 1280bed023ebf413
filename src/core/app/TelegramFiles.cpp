#include "app/TelegramFiles.h"

#include "base/Files.h"
#include "base/Text.h"
#include "config/HeadingTemplate.h"

namespace tern {

std::string DatedFolder(const std::string& folder, TDateTime time) {
  if (folder.empty()) return {};
  return NativePath(IncludeTrailingSeparator(folder) + ExpandDates("{yyyy\\mm\\}", time));
}

std::string TelegramFileName(const TUAMessage& ascent, const std::string& shortName, const std::string& bbb,
                             const std::string& bulletinFolder) {
  return DatedFolder(bulletinFolder, ascent.ObsTime) + "A_" + shortName + ascent.CCCC +
         FormatDateTime("ddhh\"00\"", ascent.ObsTime) + bbb + "_C_" + ascent.CCCC + "_" +
         FormatDateTime("yyyymmddhhnn", ascent.LaunchTime) + "_" + ascent.StationIndText + ".txt";
}

void SaveTelegram(const std::string& fileName, const std::string& text) {
  const std::string folder = ExtractFilePath(fileName);
  if (!folder.empty()) ForceFolders(folder);
  WriteFileAtomic(fileName, text);
}

std::optional<std::string> ReadSavedTelegram(const std::string& fileName, const std::string& shortName,
                                             IOperator& op) {
  std::optional<std::string> text;
  // A folder under the copy's name must not pass for an empty bulletin.
  if (FileExists(fileName)) text = ReadWholeFile(fileName);
  if (!text) op.Message(cp("Ошибка загрузки телеграммы:") + shortName);
  return text;
}

}  // namespace tern
