#include <gtest/gtest.h>

#include "base/Text.h"
#include "config/MailAddresses.h"

using namespace tern;

TEST(MailAddresses, ListsOfPlainAddressesPassAndAnythingElseIsRefused) {
  struct Case {
    std::string list;
    bool good;
  };
  const Case cases[] = {
      {"gts@centre.example", true},
      {"a@x.ru, b@x.ru", true},
      {"aerology-27612@station.example", true},  // a "-" inside is part of the name
      {"\"Ivanov, I.\" <b@x.org>, a@x.org", true},
      {"Station 27612 <st@example.org>", true},   // blanks of a display name
      {cp("\"Станция: Долгопрудный\" <st@example.org>"), true},  // a quoted ":" is text
      {"a@x.ru,, b@x.ru", true},                  // empty items are the sender's business
      {"", true},
      {"bufr@centre.example,--attach,/etc/passwd", false},
      {"-attach@x.ru", false},
      {"a@x.ru, -x <b@x.ru>", false},
      {"Name <-b@x.ru>", false},
      {"gts@centre.example\rX-Injected: yes", false},
      {"gts@centre.example\r", false},
      {"gts@centre.example\n", false},
      {"\"Ivan\tov\" <b@x.ru>", false},
      {"a b@x.ru", false},
      {"a@x.ru\x7F", false},
      {std::string("a\xA0") + "b@x.ru", false},  // the no-break space of cp1251
      {"centre.example", false},
      {"a@b@x.ru", false},
      {"@x.ru", false},
      {"a@", false},
      {"Name <a@x.ru", false},                     // no closing bracket: the whole item is the address
      {"mailto:a@x.ru", false},
      {"mailto:?attach=/etc/passwd&to=a@x.ru", false},
      {"mailto:?attach=/etc/passwd <a@x.ru>", false},
      {"\"a\"@x.ru", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsMailAddressList(c.list), c.good) << Cp1251ToUtf8(c.list);
}
