#include "review/TelegramPreview.h"

namespace tern {

TextList TelegramLines(const std::string& text) {
  TextList lines;
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') {
      line += c;
      continue;
    }
    if (c == '\r' && text.compare(i, 3, "\r\r\n") == 0)
      i += 2;
    else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
      ++i;
    lines.push_back(std::move(line));
    line.clear();
  }
  // A final line break closes the last line; it does not open an empty one.
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

std::string JoinTelegramLines(const TextList& lines) {
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) out += "\r\n";
    out += lines[i];
  }
  return out;
}

std::string NormaliseTelegramBreaks(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 16);
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' && text.compare(i, 3, "\r\r\n") == 0) {
      out += "\r\r\n";
      i += 2;
    } else if (c == '\r' || c == '\n') {
      out += "\r\n";
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += c;
    }
  }
  return out;
}

Question EditedTelegramQuestion(const std::string& caption) {
  Question q;
  q.title = cp("Запрос на подтверждение");
  q.text = caption + cp("-данные подверглись правке!");
  q.buttons = {cp("Отправить с изменениями"), cp("Восстановить текст"), cp("Вернуться к просмотру")};
  q.icon = BoxIcon::Question;
  q.defaultButton = kRestoreText;
  q.escButton = kBackToPreview;
  return q;
}

std::string TelegramPrintText(const TextList& lines) {
  std::string out = "\r\n\r\n\r\n\r\n";
  for (const std::string& line : lines) out += std::string(16, ' ') + line + "\r\n";
  return out;
}

}  // namespace tern
