#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <QApplication>
#include <QKeyEvent>
#include <QListView>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>
#include <QToolTip>

#include "FakeAscent.h"
#include "TestSupport.h"
#include "base/Files.h"
#include "base/Text.h"
#include "review/CheckDataCharts.h"
#include "review/ViewCheckData.h"

using namespace tern;
using tern::test::FakeAscent;

namespace {

std::unique_ptr<FakeAscent> Profile(const std::string& folder) {
  auto a = std::make_unique<FakeAscent>();
  a->SourceFile = folder + "asc.prof";
  a->SourceName = "asc";
  a->AddLevel(1000, 15, 10, 200, 3, 150).SigFlags = kSigSurface;
  a->AddLevel(850, 8, 2, 220, 8, 1500);
  a->AddLevel(500, -20, -30, 250, 20, 5600);
  a->AddLevel(300, -45, -55, 260, 30, 9200);
  a->AddLevel(100, -60, -80, 270, 15, 16000);
  return a;
}

void Key(QWidget* w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QKeyEvent press(QEvent::KeyPress, key, mods);
  QApplication::sendEvent(w, &press);
}

}  // namespace

TEST(ViewCheckDataWindow, FunctionKeysWithModifiersChangeTheSelectionsMasks) {
  tern::test::TempDir dir;
  auto a = Profile(dir.path());
  CheckDataModel model(*a, false);
  ScriptedOperator op;
  TfrmViewCheckData w(model, op);
  w.SelectLevels(1, 2);
  struct Case { int key; Qt::KeyboardModifiers mods; uint8_t mask; };
  const Case cases[] = {
      {Qt::Key_F3, Qt::ShiftModifier, 3},                          // reject T takes Td along
      {Qt::Key_F3, Qt::ControlModifier, 2},                        // accept T, Td stays
      {Qt::Key_F6, Qt::NoModifier, 2 | 8},                         // toggle (the initial mode) wind
      {Qt::Key_F6, Qt::NoModifier, 2},
      {Qt::Key_F2, Qt::ShiftModifier, 31},
      {Qt::Key_F2, Qt::ShiftModifier | Qt::ControlModifier, 0},    // toggle the whole level off
  };
  for (const auto& c : cases) {
    Key(w.lbxProfile, c.key, c.mods);
    EXPECT_EQ(model.Masks()[1], c.mask) << c.key;
    EXPECT_EQ(model.Masks()[2], c.mask) << c.key;
    EXPECT_EQ(model.Masks()[0], 0);
  }
  EXPECT_TRUE(w.windowTitle().endsWith(QLatin1Char('*')));
  Key(w.lbxProfile, Qt::Key_F1, Qt::ShiftModifier);
  EXPECT_EQ(w.Mode(), RejectMode::Reject);
  EXPECT_TRUE(w.btnTRej->text().startsWith(QLatin1Char('-')));
}

TEST(ViewCheckDataWindow, ReadOnlyChangesNothing) {
  tern::test::TempDir dir;
  auto a = Profile(dir.path());
  CheckDataModel model(*a, true);
  ScriptedOperator op;
  TfrmViewCheckData w(model, op);
  w.SelectLevels(0, 4);
  for (int key = Qt::Key_F2; key <= Qt::Key_F7; ++key) Key(w.lbxProfile, key, Qt::ShiftModifier);
  EXPECT_EQ(model.Masks(), (tFlagRejArr{0, 0, 0, 0, 0}));
  EXPECT_FALSE(w.windowTitle().endsWith(QLatin1Char('*')));
}

TEST(ViewCheckDataWindow, ConfirmWritesTheMasksAndSaves) {
  tern::test::TempDir dir;
  auto a = Profile(dir.path());
  CheckDataModel model(*a, false);
  ScriptedOperator op({1});
  TfrmViewCheckData w(model, op);
  w.SelectLevels(3, 3);
  Key(w.lbxProfile, Qt::Key_F5, Qt::ShiftModifier);
  w.btnSend->click();
  EXPECT_EQ(w.result(), 1);
  EXPECT_EQ(a->Levels[3].RejFlags, kRejHeight);
  EXPECT_EQ(FileSizeOf(dir / "asc.rjI"), 5 * 64);
}

TEST(ViewCheckDataWindow, CancelAsksTheCloseCheck) {
  tern::test::TempDir dir;
  auto a = Profile(dir.path());
  CheckDataModel model(*a, false);
  ScriptedOperator op({1, 3});
  TfrmViewCheckData w(model, op);
  w.show();
  w.SelectLevels(2, 2);
  Key(w.lbxProfile, Qt::Key_F4, Qt::ShiftModifier);
  w.btnCancel->click();  // "Вернуться к правке?"
  EXPECT_TRUE(w.isVisible());
  w.btnCancel->click();  // discard
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(w.result(), 2);
  EXPECT_EQ(a->Levels[2].RejFlags, 0);
  EXPECT_EQ(FileSizeOf(dir / "asc.rjI"), -1);
  EXPECT_EQ(op.asked.size(), 2u);
}

TEST(ViewCheckDataWindow, BandMovesSelectTheLevelsBetween) {
  tern::test::TempDir dir;
  auto a = Profile(dir.path());
  CheckDataModel model(*a, false);
  ScriptedOperator op;
  TfrmViewCheckData w(model, op);
  emit w.charts->bandMoved(900, 250, false);
  EXPECT_EQ(w.SelectionFirst(), 1);  // 850 hPa: the first level not above 900, and 1000 is not closer
  EXPECT_EQ(w.SelectionLast(), 3);
  EXPECT_DOUBLE_EQ(w.charts->BandStart(), 850);  // the band snaps to the selected levels
  EXPECT_DOUBLE_EQ(w.charts->BandEnd(), 300);
  emit w.charts->pointClicked(4, true, false);
  EXPECT_EQ(w.SelectionFirst(), 4);
  EXPECT_EQ(w.SelectionLast(), 4);
}

TEST(ViewCheckDataWindow, TrackPageOnlyWithPositionsAndZoomKeys) {
  tern::test::TempDir dir;
  auto a = Profile(dir.path());
  {
    CheckDataModel model(*a, false);
    ScriptedOperator op;
    TfrmViewCheckData w(model, op);
    EXPECT_TRUE(w.pages->isTabVisible(2));
    w.SelectLevels(2, 3);
    Key(w.lbxProfile, Qt::Key_F8);
    EXPECT_TRUE(w.charts->Zoomed());
    EXPECT_LT(w.ChrtTemp->yAxis->range().upper, 600);
    Key(w.lbxProfile, Qt::Key_F9);
    EXPECT_FALSE(w.charts->Zoomed());
    EXPECT_GT(w.ChrtTemp->yAxis->range().upper, 1000);
  }
  for (int i = 0; i < a->LevelCount; ++i) a->Levels[i].LatDisp = kMissing;
  CheckDataModel model(*a, false);
  ScriptedOperator op;
  TfrmViewCheckData w(model, op);
  EXPECT_FALSE(w.pages->isTabVisible(2));
}

TEST(ViewCheckDataWindow, CancelledEditQuestionNeverShowsTheWindow) {
  tern::test::TempDir dir;
  auto a = Profile(dir.path());
  a->Levels[2].RejFlags = kRejWind;
  a->SaveEdits();
  a->Levels[2].RejFlags = 0;
  ScriptedOperator op({3});
  EXPECT_FALSE(ShowCheckData(nullptr, *a, false, op));
  ASSERT_EQ(op.messages.size(), 1u);
  EXPECT_EQ(Cp1251ToUtf8(op.messages[0]), "Отправка BUFR отменена");
}

TEST(ViewCheckDataWindow, ChartsWritePointNumbersAndKeepThePointTip) {
  QLocale old;
  QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  tern::test::TempDir dir;
  auto a = Profile(dir.path());
  for (int i = 0; i < a->LevelCount; ++i) {
    a->Levels[i].LatDisp = 55.93 + 0.013 * i;  // a track of fractional degrees
    a->Levels[i].LonDisp = 37.52 + 0.021 * i;
  }
  CheckDataModel model(*a, false);
  ScriptedOperator op;
  TfrmViewCheckData w(model, op);
  w.resize(1200, 700);
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  for (QCustomPlot* plot : {w.ChrtTemp, w.ChrtWind, w.ChrtXY}) {
    w.pages->setCurrentWidget(plot);
    plot->replot();
    for (QCPAxis* axis : {plot->xAxis, plot->yAxis})
      for (const QString& label : axis->tickVectorLabels())
        EXPECT_FALSE(label.contains(QLatin1Char(','))) << plot->objectName().toStdString() << " " << label.toStdString();
  }
  QLocale::setDefault(old);

  // The hover tip of a point is not replaced a second later by a hint.
  w.pages->setCurrentWidget(w.ChrtTemp);
  QCPCurve* t = nullptr;
  for (int i = 0; i < w.ChrtTemp->plottableCount() && !t; ++i)
    if (auto* c = qobject_cast<QCPCurve*>(w.ChrtTemp->plottable(i)); c && !c->data()->isEmpty()) t = c;
  ASSERT_NE(t, nullptr);
  const auto point = t->data()->constBegin();
  const QPoint at(static_cast<int>(t->keyAxis()->coordToPixel(point->key)),
                  static_cast<int>(t->valueAxis()->coordToPixel(point->value)));
  QHelpEvent help(QEvent::ToolTip, at, w.ChrtTemp->mapToGlobal(at));
  QApplication::sendEvent(w.ChrtTemp, &help);
  bool aLevelsLine = false;
  for (int i = 0; i < a->LevelCount; ++i)
    aLevelsLine = aLevelsLine || QToolTip::text() == QString::fromStdString(Cp1251ToUtf8(model.Line(i)));
  EXPECT_TRUE(aLevelsLine) << QToolTip::text().toStdString();
  // The hint about the splitter stays on the splitter's handle.
  EXPECT_TRUE(w.splitter->toolTip().isEmpty());
  EXPECT_FALSE(w.splitter->handle(1)->toolTip().isEmpty());
}
