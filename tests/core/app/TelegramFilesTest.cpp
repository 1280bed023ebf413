// Names and contents of the saved bulletin copies.
#include "app/TelegramFiles.h"

#include <gtest/gtest.h>

#include "FakeAscent.h"
#include "TestSupport.h"
#include "base/Error.h"
#include "base/Text.h"

namespace tern {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

TEST(TelegramFileNameTest, DatedSubfolderNameAndBareNameWithoutFolder) {
  test::FakeAscent a;
  a.ObsTime = EncodeDateTime(2024, 3, 5, 12, 0, 0);
  a.LaunchTime = EncodeDateTime(2024, 3, 5, 11, 3, 0);
  a.CCCC = "RUMS";
  a.StationIndText = "12345";
  EXPECT_EQ(TelegramFileName(a, "TTAA", "CCA", "/data/TLG/"),
            "/data/TLG/2024/03/A_TTAARUMS051200CCA_C_RUMS_202403051103_12345.txt");
  // Settings written on the station's other machines use backslashes.
  EXPECT_EQ(TelegramFileName(a, "SLOY", "", "D:\\TLG\\"),
            "D:/TLG/2024/03/A_SLOYRUMS051200_C_RUMS_202403051103_12345.txt");
  EXPECT_EQ(TelegramFileName(a, "PRIZ", "", ""), "A_PRIZRUMS051200_C_RUMS_202403051103_12345.txt");
  EXPECT_EQ(DatedFolder("", a.ObsTime), "");
}

TEST(TelegramFileNameTest, SavedCopyIsWrittenExactlyAndReadBack) {
  TempDir dir;
  const std::string name = dir / "TLG/2024/03/x.txt";
  const std::string text = "ZCZC\r\n" + cp("СЛОЙ 12345") + "\r\nNNNN";  // no line end at the end
  SaveTelegram(name, text);
  EXPECT_EQ(ReadBytes(name), text);
  ScriptedOperator op;
  EXPECT_EQ(ReadSavedTelegram(name, "SLOY", op), text);
  EXPECT_TRUE(op.messages.empty());
  EXPECT_FALSE(ReadSavedTelegram(dir / "none.txt", "SLOY", op));
  ASSERT_EQ(op.messages.size(), 1u);
  EXPECT_EQ(op.messages[0], cp("Ошибка загрузки телеграммы:SLOY"));
}

TEST(TelegramFileNameTest, UnwritableFolderRaises) {
  TempDir dir;
  WriteBytes(dir / "blocker", "x");  // a file where the folder should be
  EXPECT_THROW(SaveTelegram(dir / "blocker/2024/03/a.txt", "text"), TernError);
}

}  // namespace
}  // namespace tern
