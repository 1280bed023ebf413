#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QListView>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QToolTip>
#include <QtTest/QTest>
#include <cmath>

#include "FakeAscent.h"
#include "GuiTestSupport.h"
#include "TestSupport.h"
#include "base/Files.h"
#include "base/Text.h"
#include "TextBridge.h"
#include "review/ChartScales.h"
#include "review/CheckDataCharts.h"
#include "review/ProfileList.h"
#include "review/ProfileTable.h"
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
  EXPECT_FALSE(QToolTip::text().isEmpty());
  EXPECT_FALSE(QToolTip::text().contains(QStringLiteral("Передвиньте"))) << QToolTip::text().toStdString();
  // The hint about the splitter stays on the splitter's handle.
  EXPECT_TRUE(w.splitter->toolTip().isEmpty());
  EXPECT_FALSE(w.splitter->handle(1)->toolTip().isEmpty());
}

// ---------------------------------------------------------------------------
// The window on screen, driven with the operator's keys and mouse.

namespace {

const double kPressures[] = {1000, 925, 850, 700, 500, 400, 300, 250, 200, 150, 100, 70};
constexpr int kDeepLevel = 6;  // 300 hPa: its height lies 999.3 m below the standard atmosphere

std::unique_ptr<FakeAscent> Sounding(const std::string& folder) {
  auto a = std::make_unique<FakeAscent>();
  a->SourceFile = folder + "asc.prof";
  a->SourceName = "asc";
  int i = 0;
  for (double p : kPressures) {
    const float t = static_cast<float>(15 - 8 * i);
    tUALevel& l = a->AddLevel(static_cast<float>(p), t, t - 4, static_cast<float>(200 + 10 * i),
                              static_cast<float>(4 + 3 * i), static_cast<float>(StdAtmHeight(p) + 20 * i));
    l.LatDisp = 0.001 * i;
    l.LonDisp = 0.002 * i;
    ++i;
  }
  a->Levels[0].SigFlags = kSigSurface;
  a->Levels[kDeepLevel].Height = static_cast<float>(StdAtmHeight(300) - 999.3);
  return a;
}

std::vector<QCPCurve*> Curves(QCustomPlot* plot) {
  std::vector<QCPCurve*> curves;
  for (int i = 0; i < plot->plottableCount(); ++i)
    if (auto* c = qobject_cast<QCPCurve*>(plot->plottable(i))) curves.push_back(c);
  return curves;
}

struct Range { double lower, upper; };
Range R(const QCPAxis* a) { return {a->range().lower, a->range().upper}; }
void ExpectRange(const QCPAxis* a, const AxisRange& r, const char* what) {
  EXPECT_NEAR(a->range().lower, r.min, 1e-6 * std::max(1.0, std::fabs(r.min))) << what;
  EXPECT_NEAR(a->range().upper, r.max, 1e-6 * std::max(1.0, std::fabs(r.max))) << what;
}
void ExpectSame(const QCPAxis* a, const Range& r, const char* what) {
  EXPECT_NEAR(a->range().lower, r.lower, 1e-6 * std::max(1.0, std::fabs(r.lower))) << what;
  EXPECT_NEAR(a->range().upper, r.upper, 1e-6 * std::max(1.0, std::fabs(r.upper))) << what;
}

class ViewerOnScreen : public ::testing::Test {
 protected:
  void SetUp() override { Open(Sounding(dir.path())); }

  void Open(std::unique_ptr<FakeAscent> ascent) {
    w.reset();
    model.reset();
    a = std::move(ascent);
    model = std::make_unique<CheckDataModel>(*a, false);
    w = std::make_unique<TfrmViewCheckData>(*model, op);
    w->resize(1400, 900);
    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    Replot();
  }
  void Replot() {
    for (QCustomPlot* p : {w->ChrtTemp, w->ChrtWind, w->ChrtXY}) p->replot(QCustomPlot::rpImmediateRefresh);
  }

  QPoint Row(int row) const { return w->lbxProfile->visualRect(w->lbxProfile->model()->index(row, 0)).center(); }
  void ClickRow(int row, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::mouseClick(w->lbxProfile->viewport(), Qt::LeftButton, mods, Row(row));
  }
  void Key(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : w.get(), static_cast<Qt::Key>(key),
                    mods);
  }

  // A spot in the plot area at least 20 pixels from every point (and from the
  // band when asked), so a press there starts a drag, not a click on a point.
  QPoint EmptySpot(QCustomPlot* plot, bool insideBand = false, bool avoidBand = true) const {
    const QRect r = plot->axisRect()->rect();
    const double bandTop = plot->yAxis->coordToPixel(w->charts->BandEnd());
    const double bandBottom = plot->yAxis->coordToPixel(w->charts->BandStart());
    for (int y = r.top() + 30; y < r.bottom() - 30; y += 7) {
      const bool inBand = y > bandTop + 8 && y < bandBottom - 8;
      const bool nearBand = y > bandTop - 12 && y < bandBottom + 12;
      if (insideBand ? !inBand : (avoidBand && nearBand)) continue;
      for (int x = r.left() + 40; x < r.right() - 40; x += 7) {
        bool free = true;
        for (QCPCurve* c : Curves(plot))
          for (auto it = c->data()->constBegin(); free && it != c->data()->constEnd(); ++it) {
            if (std::isnan(it->key) || std::isnan(it->value)) continue;
            free = std::hypot(c->keyAxis()->coordToPixel(it->key) - x, c->valueAxis()->coordToPixel(it->value) - y) > 20;
          }
        if (free) return {x, y};
      }
    }
    ADD_FAILURE() << "no empty spot in " << r.x() << "," << r.y() << " " << r.width() << "x" << r.height() << " band " << bandTop << ".." << bandBottom;
    return r.center();
  }

  void Drag(QCustomPlot* plot, QPoint from, QPoint to, Qt::KeyboardModifiers mods,
            Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(plot, button, mods, from);
    const int steps = 8;
    for (int k = 1; k <= steps; ++k) QTest::mouseMove(plot, from + (to - from) * k / steps);
    QTest::mouseRelease(plot, button, mods, to);
    QApplication::processEvents();  // posted steps back
  }

  tern::test::TempDir dir;
  std::unique_ptr<FakeAscent> a;
  std::unique_ptr<CheckDataModel> model;
  ScriptedOperator op;
  std::unique_ptr<TfrmViewCheckData> w;
};

}  // namespace

TEST_F(ViewerOnScreen, CtrlClickSelectsOnlyTheClickedLineAndTheKeysActOnWhatIsHighlighted) {
  ClickRow(2);
  ClickRow(4, Qt::ShiftModifier);
  EXPECT_EQ(w->SelectionFirst(), 2);
  EXPECT_EQ(w->SelectionLast(), 4);
  ClickRow(8, Qt::ControlModifier);
  EXPECT_EQ(w->SelectionFirst(), 8);
  EXPECT_EQ(w->SelectionLast(), 8);
  const QModelIndexList rows = w->lbxProfile->selectionModel()->selectedRows();
  ASSERT_EQ(rows.size(), 1);
  EXPECT_EQ(rows[0].row(), 8);
  EXPECT_DOUBLE_EQ(w->charts->BandStart(), 200);
  EXPECT_DOUBLE_EQ(w->charts->BandEnd(), 200);
  Key(Qt::Key_F3, Qt::ShiftModifier);
  EXPECT_EQ(model->Masks()[8], kRejTemp | kRejHum);
  for (int i : {2, 3, 4}) EXPECT_EQ(model->Masks()[i], 0) << i;
}

TEST_F(ViewerOnScreen, FunctionKeysReachTheWindowWhileTheModeBoxHasTheFocus) {
  ClickRow(3);
  Key(Qt::Key_F1);
  ASSERT_EQ(QApplication::focusWidget(), w->cmbToggleMode);
  struct Case { Qt::KeyboardModifiers mods; uint8_t mask; };
  const Case cases[] = {{Qt::NoModifier, kRejHum}, {Qt::ControlModifier, 0}, {Qt::ShiftModifier, kRejHum},
                        {Qt::ShiftModifier | Qt::ControlModifier, 0}};
  for (const auto& c : cases) {
    Key(Qt::Key_F4, c.mods);
    EXPECT_EQ(model->Masks()[3], c.mask) << c.mods;
    EXPECT_FALSE(w->cmbToggleMode->view()->isVisible());
  }
}

TEST_F(ViewerOnScreen, PanningMovesEveryAxisAndStaysInsideTheFullRanges) {
  ClickRow(4);
  ClickRow(6, Qt::ShiftModifier);
  Key(Qt::Key_F8);
  Replot();
  const ScaleSet full = w->charts->Full();
  struct Case { QCustomPlot* plot; Qt::MouseButton button; Qt::KeyboardModifiers mods; };
  const Case cases[] = {{w->ChrtTemp, Qt::LeftButton, Qt::ControlModifier},
                        {w->ChrtWind, Qt::RightButton, Qt::NoModifier}};
  for (const auto& c : cases) {
    QCustomPlot* plot = c.plot;
    const bool temp = plot == w->ChrtTemp;
    Key(temp ? Qt::Key_F11 : Qt::Key_F12);
    Replot();
    const Range x0 = R(plot->xAxis), top0 = R(plot->xAxis2);
    const QPoint from = EmptySpot(plot, false, false);
    Drag(plot, from, from - QPoint(30, 0), c.mods, c.button);  // towards the left: away from the -999 m edge
    // Both horizontal axes moved by the same share of their spans.
    const double xShare = (x0.lower - plot->xAxis->range().lower) / (x0.upper - x0.lower);
    const double topShare = (top0.lower - plot->xAxis2->range().lower) / (top0.upper - top0.lower);
    EXPECT_GT(std::fabs(xShare), 0.001) << temp << " " << x0.lower << ".." << x0.upper;
    EXPECT_NEAR(xShare, topShare, 1e-6) << temp;
    // A long drag in every direction ends at the full ranges, never beyond.
    for (const QPoint d : {QPoint(2000, 0), QPoint(-4000, 0), QPoint(0, 3000), QPoint(0, -6000)}) {
      const QPoint start = EmptySpot(plot, false, false);
      QTest::mousePress(plot, c.button, c.mods, start);
      for (int k = 1; k <= 100; ++k) QTest::mouseMove(plot, start + d * k / 100);
      QTest::mouseRelease(plot, c.button, c.mods, start + d);
      const AxisRange& fx = temp ? full.temp : full.speed;
      const AxisRange& ftop = temp ? full.dh : full.dir;
      EXPECT_GE(plot->xAxis->range().lower, fx.min - 1e-6) << temp;
      EXPECT_LE(plot->xAxis->range().upper, fx.max + 1e-6) << temp;
      EXPECT_GE(plot->xAxis2->range().lower, ftop.min - 1e-6) << temp;
      EXPECT_LE(plot->xAxis2->range().upper, ftop.max + 1e-6) << temp;
      EXPECT_GE(plot->yAxis->range().lower, full.pressure.min - 1e-6) << temp;
      EXPECT_LE(plot->yAxis->range().upper, full.pressure.max + 1e-6) << temp;
    }
  }
}

TEST_F(ViewerOnScreen, UndoGestureGivesTheFullSetOrWithShiftTheStepBackView) {
  QCustomPlot* plot = w->ChrtTemp;
  // Zoomed to the selection and without history: only the chart itself returns to the full set.
  ClickRow(4);
  Key(Qt::Key_F8);
  Replot();
  const Range windZoomed = R(w->ChrtWind->yAxis);
  QPoint from = EmptySpot(plot);
  Drag(plot, from, from - QPoint(80, 60), Qt::NoModifier);
  ExpectRange(plot->yAxis, w->charts->Full().pressure, "temperature chart, pressure");
  ExpectRange(plot->xAxis, w->charts->Full().temp, "temperature chart, T");
  ExpectSame(w->ChrtWind->yAxis, windZoomed, "wind chart keeps its view");
  EXPECT_FALSE(w->charts->Zoomed());

  // Two rectangle zooms, then the gesture with Shift: one step back.
  Replot();
  from = EmptySpot(plot);
  Drag(plot, from, from + QPoint(300, 200), Qt::NoModifier);
  Replot();
  const Range y1 = R(plot->yAxis), x1 = R(plot->xAxis);
  from = EmptySpot(plot);
  Drag(plot, from, from + QPoint(200, 150), Qt::NoModifier);
  Replot();
  ASSERT_LT(plot->yAxis->range().size(), y1.upper - y1.lower);
  from = EmptySpot(plot);
  Drag(plot, from, from - QPoint(80, 60), Qt::ShiftModifier);
  ExpectSame(plot->yAxis, y1, "step back, pressure");
  ExpectSame(plot->xAxis, x1, "step back, T");
  // Without Shift: the full set, although history remains.
  Replot();
  from = EmptySpot(plot);
  Drag(plot, from, from - QPoint(80, 60), Qt::NoModifier);
  ExpectRange(plot->yAxis, w->charts->Full().pressure, "full again");
}

TEST_F(ViewerOnScreen, RectangleZoomWithAltOrShiftStepsBackAndAnUnusableZoomWarns) {
  QCustomPlot* plot = w->ChrtTemp;
  ClickRow(4);
  struct Case {
    const char* what;
    Qt::KeyboardModifiers mods;
    QPoint size;
    int startKey;  // F8: from the selection's view, F9: from the full view
    enum { Full, Before, Dragged } result;
  };
  const Case cases[] = {
      {"Alt, rectangle too narrow", Qt::AltModifier, {4, 200}, Qt::Key_F8, Case::Full},
      {"Alt, narrower than 5 degrees", Qt::AltModifier, {600, 200}, Qt::Key_F8, Case::Full},
      {"Shift", Qt::ShiftModifier, {300, 200}, Qt::Key_F8, Case::Before},
      {"Shift from the full view", Qt::ShiftModifier, {300, 200}, Qt::Key_F9, Case::Before},
      {"Alt, wide rectangle", Qt::AltModifier, {600, 200}, Qt::Key_F9, Case::Dragged},
  };
  for (const auto& c : cases) {
    Key(c.startKey);
    Replot();
    const Range y0 = R(plot->yAxis), x0 = R(plot->xAxis);
    const QPoint from = EmptySpot(plot);
    const double xFrom = plot->xAxis->pixelToCoord(from.x()), xTo = plot->xAxis->pixelToCoord(from.x() + c.size.x());
    Drag(plot, from, from + c.size, c.mods);
    switch (c.result) {
      case Case::Full:
        ExpectRange(plot->yAxis, w->charts->Full().pressure, c.what);
        ExpectRange(plot->xAxis, w->charts->Full().temp, c.what);
        break;
      case Case::Before:
        ExpectSame(plot->yAxis, y0, c.what);
        ExpectSame(plot->xAxis, x0, c.what);
        break;
      case Case::Dragged:
        EXPECT_LT(plot->yAxis->range().size(), y0.upper - y0.lower) << c.what;
        ExpectSame(plot->xAxis, {xFrom, xTo}, c.what);
        break;
    }
  }
  EXPECT_TRUE(op.messages.empty());

  // A rectangle reaching far beyond the chart leaves no usable pressure.
  Key(Qt::Key_F8);
  Replot();
  const Range y0 = R(plot->yAxis);
  const QPoint from = EmptySpot(plot);
  QTest::mousePress(plot, Qt::LeftButton, Qt::NoModifier, from);
  QTest::mouseMove(plot, from + QPoint(100, 100));
  QTest::mouseMove(plot, from + QPoint(200, 2000000000));
  QTest::mouseRelease(plot, Qt::LeftButton, Qt::NoModifier, from + QPoint(200, 2000000000));
  ASSERT_EQ(op.messages.size(), 1u);
  EXPECT_EQ(Cp1251ToUtf8(op.messages[0]), "Осторожно, слишком крупный масштаб!");
  ExpectSame(plot->yAxis, y0, "view at the press");
}

namespace {

// Whether a pixel of about the colour lies within two pixels of p.
bool ColourNear(const QImage& img, QPointF p, const QColor& colour) {
  for (int dy = -2; dy <= 2; ++dy)
    for (int dx = -2; dx <= 2; ++dx) {
      const QColor c = img.pixelColor(static_cast<int>(p.x()) + dx, static_cast<int>(p.y()) + dy);
      if (std::abs(c.red() - colour.red()) < 60 && std::abs(c.green() - colour.green()) < 60 &&
          std::abs(c.blue() - colour.blue()) < 60)
        return true;
    }
  return false;
}

QPointF Pixel(QCPAxis* x, QCPAxis* y, double xv, double yv) { return {x->coordToPixel(xv), y->coordToPixel(yv)}; }

}  // namespace

TEST_F(ViewerOnScreen, ProfileLinesJoinAcrossMissingValuesAndTheDirectionLineBreaks) {
  auto s = Sounding(dir.path());
  s->Levels[3].Temp = kMissing;  // 700 hPa
  for (int i : {4, 5, 7}) s->Levels[i].WindSpeed = kMissing;  // 500, 400, 250: the wind at 300 hPa stands alone
  Open(std::move(s));
  const auto& l = a->Levels;

  Key(Qt::Key_F11);
  QCustomPlot* temp = w->ChrtTemp;
  QImage img = temp->toPixmap().toImage();
  const QPointF tMid = (Pixel(temp->xAxis, temp->yAxis, l[2].Temp, 850) + Pixel(temp->xAxis, temp->yAxis, l[4].Temp, 500)) / 2;
  EXPECT_TRUE(ColourNear(img, tMid, Qt::red)) << "T line across 700 hPa";

  Key(Qt::Key_F12);
  QCustomPlot* wind = w->ChrtWind;
  wind->replot(QCustomPlot::rpImmediateRefresh);
  img = wind->toPixmap().toImage();
  const QPointF vMid = (Pixel(wind->xAxis, wind->yAxis, l[3].WindSpeed, 700) + Pixel(wind->xAxis, wind->yAxis, l[6].WindSpeed, 300)) / 2;
  const QPointF vMid2 = (Pixel(wind->xAxis, wind->yAxis, l[6].WindSpeed, 300) + Pixel(wind->xAxis, wind->yAxis, l[8].WindSpeed, 200)) / 2;
  EXPECT_TRUE(ColourNear(img, vMid, QColor(0, 0, 200))) << "speed line into the lone wind point";
  EXPECT_TRUE(ColourNear(img, vMid2, QColor(0, 0, 200))) << "speed line out of the lone wind point";
  const QPointF dMid = (Pixel(wind->xAxis2, wind->yAxis, l[3].WindDir, 700) + Pixel(wind->xAxis2, wind->yAxis, l[6].WindDir, 300)) / 2;
  EXPECT_FALSE(ColourNear(img, dMid, QColor(128, 128, 0))) << "direction line breaks at a missing wind";
  const QPointF dJoined = (Pixel(wind->xAxis2, wind->yAxis, l[1].WindDir, 925) + Pixel(wind->xAxis2, wind->yAxis, l[2].WindDir, 850)) / 2;
  EXPECT_TRUE(ColourNear(img, dJoined, QColor(128, 128, 0))) << "direction line between present winds";
}

TEST_F(ViewerOnScreen, ChangingThePageEndsABandMove) {
  ClickRow(4);
  ClickRow(6, Qt::ShiftModifier);
  Replot();
  QCustomPlot* plot = w->ChrtTemp;
  const QPoint from = EmptySpot(plot, true);
  QTest::mousePress(plot, Qt::LeftButton, Qt::NoModifier, from);
  QTest::mouseMove(plot, from + QPoint(0, 10));
  QTest::mouseMove(plot, from + QPoint(0, 20));
  ASSERT_TRUE(w->charts->BandMoving());
  Key(Qt::Key_F12);
  EXPECT_FALSE(w->charts->BandMoving());
  const double start = w->charts->BandStart(), end = w->charts->BandEnd();
  EXPECT_DOUBLE_EQ(start, a->Levels[w->SelectionFirst()].Pressure);  // the selection followed the band
  Key(Qt::Key_F11);
  QTest::mouseMove(plot, from + QPoint(0, 60));
  QTest::mouseMove(plot, from + QPoint(0, 120));
  QTest::mouseRelease(plot, Qt::LeftButton, Qt::NoModifier, from + QPoint(0, 120));
  EXPECT_DOUBLE_EQ(w->charts->BandStart(), start);
  EXPECT_DOUBLE_EQ(w->charts->BandEnd(), end);
}

TEST_F(ViewerOnScreen, PageCaptionsTurnBoldWhileThePagesHoldTheFocus) {
  QTabBar* tabs = w->pages->tabBar();
  struct Case { int key; bool bold; };
  const Case cases[] = {{Qt::Key_F11, true}, {Qt::Key_F10, false}, {Qt::Key_F12, true}, {Qt::Key_F1, false}};
  for (const auto& c : cases) {
    Key(c.key);
    EXPECT_EQ(tabs->font().bold(), c.bold) << c.key;
  }
}

TEST_F(ViewerOnScreen, AxesUseTheChartFormatsWhateverTheLocale) {
  const QLocale saved;
  QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  Open(Sounding(dir.path()));
  ClickRow(4);
  ClickRow(6, Qt::ShiftModifier);
  Key(Qt::Key_F8);
  Replot();
  QLocale::setDefault(saved);
  struct Case { const char* what; QCPAxis* axis; const char* pattern; };
  const QString oneDecimal = QStringLiteral("^-?[0-9]+(\\.[0-9])?$");
  const Case cases[] = {
      {"T", w->ChrtTemp->xAxis, "^-?[0-9]+(\\.[0-9])?$"},
      {"dH", w->ChrtTemp->xAxis2, "^-?[0-9]+(\\.[0-9])?$"},
      {"P", w->ChrtTemp->yAxis, "^[0-9]+(\\.[0-9])?$"},
      {"f", w->ChrtWind->xAxis, "^[0-9]+(\\.[0-9])?$"},
      {"D", w->ChrtWind->xAxis2, "^[0-9]+$"},
      {"lon", w->ChrtXY->xAxis, "^-?[0-9]+(\\.[0-9]{1,4})?$"},
      {"lat", w->ChrtXY->yAxis, "^-?[0-9]+(\\.[0-9]{1,4})?$"},
  };
  for (const auto& c : cases) {
    const QVector<QString> labels = c.axis->tickVectorLabels();
    EXPECT_FALSE(labels.isEmpty()) << c.what;
    const QRegularExpression re(QString::fromLatin1(c.pattern));
    for (const QString& label : labels) EXPECT_TRUE(re.match(label).hasMatch()) << c.what << " " << label.toStdString();
  }
  // The track's small displacements need their decimals.
  bool fraction = false;
  for (const QString& label : w->ChrtXY->xAxis->tickVectorLabels()) fraction |= label.contains(QLatin1Char('.'));
  EXPECT_TRUE(fraction);
}

TEST_F(ViewerOnScreen, HoverTipShowsThePointsOwnValueExceptMinus999) {
  QCustomPlot* plot = w->ChrtTemp;
  struct Case { const char* what; QCPAxis* axis; double value; double pressure; const char* tip; };
  const double deepDh = a->Levels[kDeepLevel].Height - StdAtmHeight(300);
  const Case cases[] = {
      {"dH of -999.3 m", plot->xAxis2, deepDh, 300, ""},
      {"T at 500 hPa", plot->xAxis, a->Levels[4].Temp, 500, "-17"},
      {"Td at 850 hPa", plot->xAxis, a->Levels[2].DewPoint, 850, "-5"},
  };
  for (const auto& c : cases) {
    QTest::mouseMove(plot, Pixel(c.axis, plot->yAxis, c.value, c.pressure).toPoint());
    const QString tip = QToolTip::isVisible() ? QToolTip::text() : QString();
    EXPECT_EQ(tip.toStdString(), c.tip) << c.what;
    QToolTip::hideText();
    ASSERT_TRUE(tern::test::WaitFor([] { return !QToolTip::isVisible(); }));
  }
}

TEST_F(ViewerOnScreen, StrikeLinesStayInsideTheirColumnsAndTheWholeLineIsShown) {
  ClickRow(4);  // 500 hPa: "  -17.0" in T, " -21.0" in dT, H with blanks before it
  Key(Qt::Key_F3, Qt::ShiftModifier);
  ASSERT_EQ(model->Masks()[4], kRejTemp | kRejHum);
  QApplication::processEvents();
  const QImage img = w->lbxProfile->viewport()->grab().toImage();
  const QRect line = w->lbxProfile->visualRect(w->lbxProfile->model()->index(4, 0));
  const double cw = ProfileCharWidth(w->lbxProfile->font());
  const int y = line.center().y();
  auto at = [&](double position) { return img.pixelColor(line.left() + 2 + static_cast<int>(position * cw), y); };
  const QColor back(112, 112, 112);
  EXPECT_EQ(at(12.5), back) << "before the T column";
  EXPECT_EQ(at(18.5), QColor(Qt::cyan)) << "the strike runs through the blank before dT";
  EXPECT_EQ(at(24.5), back) << "after the dT column";
  EXPECT_EQ(at(25.5), back);

  // The line is the header and three blanks wide, and the panel shows all of it.
  const QFont font = w->lbxProfile->font();
  const int extent = static_cast<int>(
      std::ceil(QFontMetricsF(font).horizontalAdvance(ToQ(ProfileHeaderLine()) + QStringLiteral("   "))));
  EXPECT_EQ(w->lbxProfile->sizeHintForIndex(w->lbxProfile->model()->index(0, 0)).width(), extent + 2);
  EXPECT_EQ(w->lbxProfile->horizontalScrollBar()->maximum(), 0);
  EXPECT_GE(w->pbxHeader->width(), extent);
}

// The automatic checks in the window: the suspect's reason on its line, the
// count under the list, Ctrl+N to the next suspect, and a rejection that
// settles the suspect. Nothing is rejected by the checks themselves.
TEST_F(ViewerOnScreen, SuspectsAreShownCountedAndReachedWithCtrlN) {
  auto s = Sounding(dir.path());
  constexpr int kWet = 3;
  s->Levels[kWet].DewPoint = s->Levels[kWet].Temp + 2;  // dew point above the temperature
  Open(std::move(s));
  const auto before = model->Suspects().size();
  ASSERT_GE(before, 1u);
  for (uint8_t m : model->Masks()) EXPECT_EQ(m, 0);
  EXPECT_TRUE(w->lblSuspects->text().contains(QString::number(before))) << w->lblSuspects->text().toStdString();
  const QString tip = w->lbxProfile->model()->index(kWet, 0).data(Qt::ToolTipRole).toString();
  EXPECT_TRUE(tip.contains(QStringLiteral("Точка росы выше температуры"))) << tip.toStdString();

  ClickRow(0);
  int reached = -1;
  for (size_t k = 0; k < before + 1 && reached != kWet; ++k) {
    Key(Qt::Key_N, Qt::ControlModifier);
    reached = w->lbxProfile->currentIndex().row();
    EXPECT_FALSE(model->SuspectText(reached).empty()) << reached;
  }
  ASSERT_EQ(reached, kWet);

  Key(Qt::Key_F4, Qt::ShiftModifier);  // the operator rejects the dew point
  EXPECT_EQ(model->Masks()[kWet] & kRejHum, kRejHum);
  EXPECT_EQ(model->Suspects().size(), before - 1);
  EXPECT_FALSE(w->lbxProfile->model()->index(kWet, 0).data(Qt::ToolTipRole).toString().contains(
      QStringLiteral("Точка росы")));
  EXPECT_TRUE(w->lblSuspects->text().contains(before == 1 ? QStringLiteral("нет") : QString::number(before - 1)));
}
