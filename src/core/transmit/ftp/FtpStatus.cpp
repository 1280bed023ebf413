#include "transmit/ftp/FtpStatus.h"

#include "base/Text.h"

namespace tern {
namespace {

struct StatusRow {
  int code;
  const char* before;  // UTF-8
  const char* after;   // UTF-8; nullptr: the event carries no detail
};

constexpr StatusRow kRows[] = {
    {10, "Определение IP ", ""},
    {11, "IP определен ", ""},
    {20, "Соединение...", nullptr},
    {21, "Есть соединение", nullptr},
    {30, "Отправка запроса", nullptr},
    {31, "Отправлен запрос ", " байт отправлено"},
    {40, "Получение ответа", nullptr},
    {41, "Ответ получен ", " байт получено"},
    {42, "CTL_RESPONSE_RECEIVED", nullptr},
    {43, "PREFETCH", nullptr},
    {50, "Закрытие соединения", nullptr},
    {51, "Соединение закрыто", nullptr},
    {60, "Дескриптор создан", nullptr},
    {70, "Дескриптор закрыт", nullptr},
    {100, "Запрос завершен", nullptr},
    {110, "REDIRECT", nullptr},
    {120, "INTERMEDIATE_RESPONSE", nullptr},
    {200, "STATE_CHANGE", nullptr},
};

}  // namespace

std::string FtpStatusText(int code, const std::string& detail) {
  for (const StatusRow& row : kRows) {
    if (row.code != code) continue;
    if (!row.after) return cp(row.before);
    return cp(row.before) + detail + cp(row.after);
  }
  return "UNKNOWN";
}

}  // namespace tern
