#include "review/TelegramPreview.h"

#include <gtest/gtest.h>

namespace tern {
namespace {

TEST(TelegramPreview, EveryLineEndEndsOneLine) {
  const struct {
    const char* name;
    std::string text;
    TextList lines;
  } rows[] = {
      {"crlf", "A\r\nB", {"A", "B"}},
      {"lf", "A\nB\n", {"A", "B"}},
      {"cr", "A\rB", {"A", "B"}},
      {"wmo heading end", "USRS01 RUMS 051200\r\r\nTTAA", {"USRS01 RUMS 051200", "TTAA"}},
      {"empty line kept", "A\r\n\r\nB", {"A", "", "B"}},
      {"two lone CR", "A\r\rB", {"A", "", "B"}},
      {"empty", "", {}},
  };
  for (const auto& r : rows) EXPECT_EQ(TelegramLines(r.text), r.lines) << r.name;
}

TEST(TelegramPreview, UneditedTextKeepsWmoLineEndsAndGetsCrLfElsewhere) {
  EXPECT_EQ(NormaliseTelegramBreaks("H\r\r\nA\nB\rC\r\nD"), "H\r\r\nA\r\nB\r\nC\r\nD");
  EXPECT_EQ(JoinTelegramLines({"A", "", "B"}), "A\r\n\r\nB");
}

TEST(TelegramPreview, EditQuestion) {
  const Question q = EditedTelegramQuestion(cp("Телеграмма:TTAA"));
  EXPECT_EQ(q.title, cp("Запрос на подтверждение"));
  EXPECT_EQ(q.text, cp("Телеграмма:TTAA-данные подверглись правке!"));
  EXPECT_EQ(q.buttons, (std::vector<std::string>{cp("Отправить с изменениями"), cp("Восстановить текст"),
                                                 cp("Вернуться к просмотру")}));
  EXPECT_EQ(q.icon, BoxIcon::Question);
  EXPECT_EQ(q.defaultButton, 2);
  EXPECT_EQ(q.escButton, 3);
  EXPECT_TRUE(IsValidQuestion(q));
}

TEST(TelegramPreview, PrintLayout) {
  const std::string pad(16, ' ');
  EXPECT_EQ(TelegramPrintText({"TTAA 1", "", "NNNN"}),
            "\r\n\r\n\r\n\r\n" + pad + "TTAA 1\r\n" + pad + "\r\n" + pad + "NNNN\r\n");
}

}  // namespace
}  // namespace tern
