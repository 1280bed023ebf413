#include "bulletins/BulletinText.h"

#include "base/Error.h"
#include "base/Files.h"
#include "config/HeadingTemplate.h"

namespace tern {

TextList ReadSourceLines(bool exists, const std::string& path, const std::string& missingText) {
  if (!exists) throw TernError(missingText);
  const auto data = ReadWholeFile(path);
  if (!data) throw TernError(missingText);
  return SplitLines(*data);
}

std::string ExpandBulletinHeading(const std::string& templ, TDateTime obsTime, const std::string& bbbHead,
                                  const std::string& bbb, const std::string& bbbTail) {
  return InsertBBB(ExpandDates(templ, obsTime), bbbHead, bbb, bbbTail);
}

void ThrowFormatError() { throw TernError(cp("Ошибка формата")); }

bool CutAtSeparator(std::string& text, size_t from, const std::string& sep) {
  const size_t at = text.find(sep, from);
  if (at == std::string::npos) return false;
  text.erase(at);
  return true;
}

}  // namespace tern
