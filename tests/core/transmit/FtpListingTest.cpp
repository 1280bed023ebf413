#include "transmit/ftp/FtpListing.h"

#include <gtest/gtest.h>

#include "base/Text.h"
#include "transmit/ftp/FtpStatus.h"

namespace tern {
namespace {

struct LineCase {
  const char* line;
  bool entry;
  const char* name;
  long long size;
  bool folder;
};

TEST(ParseFtpListLine, ServerFormats) {
  const LineCase cases[] = {
      {"-rw-r--r--   1 root     root          124 Dec 09 22:50 234500000005.a", true, "234500000005.a", 124, false},
      {"-rw-r--r-- 1 ftp 0 Jan  1  2025 empty.tmp", true, "empty.tmp", 0, false},
      {"-rw-------    1 1001     1001     4294967297 Mar 3 09:15 big.b", true, "big.b", 4294967297LL, false},
      {"drwxr-xr-x   2 root     root         4096 Dec 09 22:49 in", true, "in", -1, true},
      {"lrwxrwxrwx   1 root     root            7 Dec 09 22:49 last -> 2345.b", true, "last", 7, false},
      {"-rw-r--r--   1 u g 10 Dec 09 22:50 name with  spaces.txt", true, "name with  spaces.txt", 10, false},
      // Month names in the server's own language: the positions decide.
      {"-rw-r--r--   1 ftp ftp 124 \xD0\xB4\xD0\xB5\xD0\xBA 09 22:50 234500000005.a", true, "234500000005.a", 124,
       false},
      {"-rw-r--r--   1 ftp ftp 124 9 \xE4\xE5\xEA 2025 2345.b.tmp", true, "2345.b.tmp", 124, false},
      {"-rw-r--r--   1 ftp 77 M\xC3\xA4r 3 09:15 x.b", true, "x.b", 77, false},
      {"-rw-r--r--   1 ftp ftp 3000 2025-12-09 22:50 x.b", true, "x.b", 3000, false},
      {"drwxr-xr-x   2 ftp ftp 4096 \xD0\xB4\xD0\xB5\xD0\xBA 09 22:49 in", true, "in", -1, true},
      {"-rw-r--r--   1 ftp ftp big \xD0\xB4\xD0\xB5\xD0\xBA 09 22:50 x.b", false, "", 0, false},
      {"-rw-r--r--   1 ftp ftp 124 \xD0\xB4\xD0\xB5\xD0\xBA 09 late x.b", false, "", 0, false},
      {"12-09-26  10:50PM                  124 234500000005.a", true, "234500000005.a", 124, false},
      {"12-09-26  10:50PM       <DIR>          bufr", true, "bufr", -1, true},
      {"total 12", false, "", 0, false},
      {"", false, "", 0, false},
      {"garbage in the listing", false, "", 0, false},
  };
  for (const LineCase& c : cases) {
    const auto e = ParseFtpListLine(c.line);
    ASSERT_EQ(e.has_value(), c.entry) << c.line;
    if (!e) continue;
    EXPECT_EQ(e->name, c.name) << c.line;
    EXPECT_EQ(e->size, c.size) << c.line;
    EXPECT_EQ(e->folder, c.folder) << c.line;
  }
}

TEST(FindInFtpListing, ExactNameOnly) {
  const std::string listing =
      "total 8\r\n"
      "-rw-r--r--   1 root root 124 Dec 09 22:50 2345.a.tmp\r\n"
      "-rw-r--r--   1 root root  99 Dec 09 22:50 2345.A\r\n";
  const auto tmp = FindInFtpListing(listing, "2345.a.tmp");
  ASSERT_TRUE(tmp);
  EXPECT_EQ(tmp->size, 124);
  EXPECT_FALSE(FindInFtpListing(listing, "2345.a"));  // case differs
  EXPECT_FALSE(FindInFtpListing(listing, "2345"));
  EXPECT_FALSE(FindInFtpListing("", "2345.a"));
}

TEST(FtpStatusText, EveryEvent) {
  struct Case {
    int code;
    const char* detail;
    const char* text;  // UTF-8
  } cases[] = {
      {10, "ftp.example.org", "Определение IP ftp.example.org"},
      {11, "10.0.0.1", "IP определен 10.0.0.1"},
      {20, "", "Соединение..."},
      {21, "", "Есть соединение"},
      {30, "", "Отправка запроса"},
      {31, "14", "Отправлен запрос 14 байт отправлено"},
      {40, "", "Получение ответа"},
      {41, "22", "Ответ получен 22 байт получено"},
      {42, "", "CTL_RESPONSE_RECEIVED"},
      {43, "", "PREFETCH"},
      {50, "", "Закрытие соединения"},
      {51, "", "Соединение закрыто"},
      {60, "", "Дескриптор создан"},
      {70, "", "Дескриптор закрыт"},
      {100, "", "Запрос завершен"},
      {110, "", "REDIRECT"},
      {120, "", "INTERMEDIATE_RESPONSE"},
      {200, "", "STATE_CHANGE"},
      {12, "x", "UNKNOWN"},
      {0, "", "UNKNOWN"},
  };
  for (const Case& c : cases) EXPECT_EQ(FtpStatusText(c.code, c.detail), cp(c.text)) << c.code;
}

}  // namespace
}  // namespace tern
