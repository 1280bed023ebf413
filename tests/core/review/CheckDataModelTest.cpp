#include <gtest/gtest.h>

#include "FakeAscent.h"
#include "OtherUser.h"
#include "TestSupport.h"
#include "base/Files.h"
#include "review/CheckDataModel.h"

using namespace tern;
using tern::test::FakeAscent;

namespace {
constexpr float M = static_cast<float>(kMissing);

std::unique_ptr<FakeAscent> Profile() {
  auto a = std::make_unique<FakeAscent>();
  a->SourceName = "asc";
  a->AddLevel(1000).SigFlags = kSigSurface;
  a->AddLevel(900);                           // everything present
  a->AddLevel(800, -5, M);                    // no dew point
  tUALevel& bare = a->AddLevel(700, -10, -12, M, M);  // no wind
  bare.LatDisp = kMissing;
  bare.LonDisp = kMissing;
  return a;
}
}  // namespace

TEST(CheckDataModel, RejectionOperationsFollowTheMaskRules) {
  struct Case { int level; uint8_t start; int tag; RejectMode mode; uint8_t expected; };
  const Case cases[] = {
      {1, 0, kTagT, RejectMode::Reject, 1 | 2},        // T takes its dew point along
      {2, 0, kTagT, RejectMode::Reject, 1},            // no dew point: only T
      {1, 0, kTagTd, RejectMode::Reject, 2},
      {0, 0, kTagLevel, RejectMode::Reject, 0},        // the surface level stays in
      {0, 5, kTagH, RejectMode::Accept, 0},
      {1, 3, kTagT, RejectMode::Toggle, 2},            // toggling T on 3 leaves the dew point rejected
      {1, 1 | 2 | 4, kTagT, RejectMode::Toggle, 2 | 4},
      {1, 0, kTagW, RejectMode::Toggle, 8},
      {3, 0, kTagLevel, RejectMode::Reject, 1 | 2 | 4},  // no wind, no position: those bits are dropped
      {3, 0, kTagW, RejectMode::Reject, 0},
      {1, 31, kTagXY, RejectMode::Accept, 15},
  };
  ScriptedOperator op;
  for (const auto& c : cases) {
    auto a = Profile();
    a->Levels[c.level].RejFlags = c.start;
    CheckDataModel model(*a, false);
    EXPECT_TRUE(model.Apply(c.tag, c.mode, c.level, c.level, op));
    EXPECT_EQ(model.Masks()[c.level], c.expected) << "level " << c.level << " tag " << c.tag;
    EXPECT_TRUE(model.Modified());
  }
  EXPECT_TRUE(op.messages.empty());
}

TEST(CheckDataModel, LevelOperationWithoutQuantitiesLeftMarksTheLevelDropped) {
  auto a = Profile();
  CheckDataModel model(*a, false);
  ScriptedOperator op;
  model.Apply(kTagLevel, RejectMode::Reject, 3, 3, op);
  EXPECT_EQ(model.Marker(3), 'x');
  EXPECT_EQ(model.StrikeSpans(3).size(), 1u);
  EXPECT_EQ(model.StrikeSpans(3)[0].last, kColLine.last);
  model.Apply(kTagH, RejectMode::Reject, 1, 1, op);
  EXPECT_EQ(model.Marker(1), '?');
  ASSERT_EQ(model.StrikeSpans(1).size(), 1u);
  EXPECT_EQ(model.StrikeSpans(1)[0].first, kColH.first);
  model.Apply(kTagT, RejectMode::Reject, 1, 1, op);
  EXPECT_EQ(model.StrikeSpans(1)[0].first, kColT.first);  // T strikes T and dT together
  EXPECT_EQ(model.StrikeSpans(1)[0].last, kColTd.last);
}

TEST(CheckDataModel, GoodLevelCountAndModeKeys) {
  auto a = Profile();
  CheckDataModel model(*a, false);
  ScriptedOperator op;
  EXPECT_EQ(model.GoodCount(), 4);
  model.Apply(kTagLevel, RejectMode::Reject, 1, 2, op);
  EXPECT_EQ(model.GoodCount(), 3);  // level 2 has no dew point, so it never reaches the whole-level mask
  EXPECT_EQ(model.Masks()[2], 31 - kRejHum);
  model.Apply(kTagLevel, RejectMode::Accept, 1, 1, op);
  EXPECT_EQ(model.GoodCount(), 4);
  EXPECT_EQ(ModeForKeys(true, false, RejectMode::Accept), RejectMode::Reject);
  EXPECT_EQ(ModeForKeys(false, true, RejectMode::Reject), RejectMode::Accept);
  EXPECT_EQ(ModeForKeys(true, true, RejectMode::Reject), RejectMode::Toggle);
  EXPECT_EQ(ModeForKeys(false, false, RejectMode::Accept), RejectMode::Accept);
  model.Reset();
  EXPECT_EQ(model.Masks()[1], 0);
  EXPECT_TRUE(model.Modified());
}

TEST(CheckDataModel, ReadOnlyChangesNothingAndNeverSaves) {
  tern::test::TempDir dir;
  auto a = Profile();
  a->SourceFile = dir / "asc.prof";
  CheckDataModel model(*a, true);
  ScriptedOperator op({2});
  EXPECT_FALSE(model.Apply(kTagLevel, RejectMode::Reject, 0, 3, op));
  EXPECT_EQ(model.Masks(), (tFlagRejArr{0, 0, 0, 0}));
  EXPECT_FALSE(model.Modified());
  EXPECT_TRUE(model.MayClose(op));
  EXPECT_EQ(FileSizeOf(dir / "asc.rjI"), -1);
}

TEST(CheckDataModel, ConfirmWritesMasksAndSavesTheEditFile) {
  tern::test::TempDir dir;
  auto a = Profile();
  a->SourceFile = dir / "asc.prof";
  a->SourceName = "asc";
  CheckDataModel model(*a, false);
  ScriptedOperator op({2, 1});
  model.Apply(kTagW, RejectMode::Reject, 1, 1, op);
  EXPECT_EQ(Cp1251ToUtf8(model.Caption()), "Проверка данных:asc*");
  EXPECT_FALSE(model.Confirm(op));  // "Отмена": back to the list
  EXPECT_EQ(a->Levels[1].RejFlags, 0);
  EXPECT_TRUE(model.Confirm(op));
  EXPECT_EQ(Cp1251ToUtf8(op.asked[0].buttons[0]), "Отправить с изменениями");
  EXPECT_EQ(op.asked[0].defaultButton, 2);
  EXPECT_EQ(a->Levels[1].RejFlags, kRejWind);
  EXPECT_EQ(FileSizeOf(dir / "asc.rjI"), 4 * 64);
  EXPECT_FALSE(model.Modified());

  // Confirming without edits still writes: with no rejection left the file goes away.
  a->Levels[1].RejFlags = 0;
  CheckDataModel clean(*a, false);
  ScriptedOperator op2({1});
  EXPECT_TRUE(clean.Confirm(op2));
  EXPECT_EQ(Cp1251ToUtf8(op2.asked[0].text), "Правка не производилась!\rasc\rПодтвердите продолжение ");
  EXPECT_EQ(FileSizeOf(dir / "asc.rjI"), -1);
}

TEST(CheckDataModel, CloseCheckAnswers) {
  tern::test::TempDir dir;
  struct Case { int answer; bool closes; bool saved; };
  const Case cases[] = {{1, false, false}, {2, true, true}, {3, true, false}};
  for (const auto& c : cases) {
    auto a = Profile();
    a->SourceFile = dir / "asc.prof";
    DeleteFileAt(dir / "asc.rjI");
    CheckDataModel model(*a, false);
    ScriptedOperator op({c.answer});
    model.Apply(kTagH, RejectMode::Reject, 2, 2, op);
    EXPECT_EQ(model.MayClose(op), c.closes) << c.answer;
    EXPECT_EQ(FileSizeOf(dir / "asc.rjI") > 0, c.saved) << c.answer;
    EXPECT_EQ(op.asked[0].escButton, 0);
  }
}

TEST(CheckDataModel, OpeningAsksAboutSavedEdits) {
  tern::test::TempDir dir;
  auto make = [&] {
    auto a = Profile();
    a->SourceFile = dir / "asc.prof";
    return a;
  };
  {
    auto a = make();
    a->Levels[2].RejFlags = kRejHeight;
    a->SaveEdits();  // BUFR I edits
    a->BufrI = false;
    a->Levels[2].RejFlags = kRejWind | kRejHeight;
    a->SaveEdits();  // BUFR II edits
  }
  struct Case { int answer; bool opens; uint8_t mask; };
  const Case cases[] = {{1, true, kRejWind | kRejHeight}, {2, true, kRejHeight}, {3, true, 0}, {4, false, 0}};
  for (const auto& c : cases) {
    auto a = make();
    CheckDataModel model(*a, false);
    ScriptedOperator op({c.answer});
    EXPECT_EQ(model.Open(op), c.opens);
    ASSERT_EQ(op.asked.size(), 1u);
    EXPECT_EQ(op.asked[0].buttons.size(), 4u);
    if (c.opens) {
      EXPECT_EQ(model.Masks()[2], c.mask) << c.answer;
    }
  }
  DeleteFileAt(dir / "asc.rjI");
  auto a = make();
  CheckDataModel model(*a, false);
  ScriptedOperator op({3});
  EXPECT_FALSE(model.Open(op));
  EXPECT_EQ(Cp1251ToUtf8(op.asked[0].buttons[2]), "Отказаться от правки и отменить отправку BUFRы");
  EXPECT_EQ(op.asked[0].escButton, 3);

  // An edit file longer than the profile cannot be loaded for BUFR II.
  auto shorter = std::make_unique<FakeAscent>();
  shorter->SourceFile = dir / "asc.prof";
  shorter->BufrI = false;
  shorter->AddLevel(1000);
  CheckDataModel small(*shorter, false);
  ScriptedOperator op2({1});
  EXPECT_TRUE(small.Open(op2));
  ASSERT_EQ(op2.messages.size(), 1u);
  EXPECT_EQ(Cp1251ToUtf8(op2.messages[0]), "Ошибка загрузки файла rjII");
}

TEST(CheckDataModel, EditFileThatCannotBeReadIsReported) {
  struct Case { bool bufrI; const char* ext; const char* message; };
  const Case cases[] = {{true, ".rjI", "Ошибка загрузки файла rjI"}, {false, ".rjII", "Ошибка загрузки файла rjII"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ext);
    tern::test::TempDir dir;
    ::chmod(dir.path().c_str(), 0755);
    {
      auto a = Profile();
      a->SourceFile = dir / "asc.prof";
      a->BufrI = c.bufrI;
      a->Levels[1].RejFlags = kRejWind;
      a->SaveEdits();
    }
    const std::string edits = dir / (std::string("asc") + c.ext);
    ASSERT_GT(FileSizeOf(edits), 0);
    ::chmod(edits.c_str(), 0000);
    const auto child = tern::test::AsOtherUser([&]() -> std::string {
      auto a = Profile();
      a->SourceFile = dir / "asc.prof";
      a->BufrI = c.bufrI;
      CheckDataModel model(*a, false);
      ScriptedOperator op({1});  // load the saved edits
      if (!model.Open(op)) return "the viewer did not open";
      if (op.messages.size() != 1) return "messages: " + std::to_string(op.messages.size());
      if (Cp1251ToUtf8(op.messages[0]) != c.message) return "message: " + Cp1251ToUtf8(op.messages[0]);
      if (model.Masks()[1] != 0) return "masks changed";
      return {};
    });
    EXPECT_EQ(child.exitCode, 0) << child.failure;
    EXPECT_EQ(child.failure, "");
  }
}
