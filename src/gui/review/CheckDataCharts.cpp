#include "review/CheckDataCharts.h"

#include <qcustomplot.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <limits>

#include "PointNumbers.h"
#include "TextBridge.h"
#include "base/Error.h"
#include "base/Text.h"
#include "review/CheckDataModel.h"
#include "sounding/UAMessage.h"

namespace tern {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int kEdgePixels = 4;

struct SeriesStyle {
  QColor colour;
  QColor rejected;
};
const SeriesStyle kT{Qt::red, Qt::blue};
const SeriesStyle kTd{QColor(0, 160, 0), QColor(0, 128, 128)};
const SeriesStyle kDh{QColor(128, 0, 128), QColor(0, 255, 0)};
const SeriesStyle kD{QColor(128, 128, 0), QColor(0, 128, 0)};
const SeriesStyle kV{QColor(0, 0, 200), QColor(255, 0, 255)};
const SeriesStyle kXY{QColor(0, 0, 128), QColor(0, 255, 0)};

QCPCurve* MakeCurve(QCPAxis* key, QCPAxis* value, const QColor& colour, bool line,
                    QCPScatterStyle::ScatterShape shape) {
  auto* c = new QCPCurve(key, value);
  c->setPen(QPen(colour, 1));
  c->setLineStyle(line ? QCPCurve::lsLine : QCPCurve::lsNone);
  c->setScatterStyle(QCPScatterStyle(shape, colour, colour, 4));
  return c;
}

QCPItemRect* MakeBand(QCustomPlot* plot) {
  auto* band = new QCPItemRect(plot);
  band->setLayer(QStringLiteral("grid"));
  for (QCPItemPosition* p : {band->topLeft, band->bottomRight}) {
    p->setAxes(plot->xAxis, plot->yAxis);
    p->setTypeX(QCPItemPosition::ptAxisRectRatio);
    p->setTypeY(QCPItemPosition::ptPlotCoords);
  }
  band->topLeft->setCoords(0, 925);
  band->bottomRight->setCoords(1, 925);
  band->setPen(QPen(QColor(200, 160, 0), 1));
  band->setBrush(QColor(255, 240, 150, 110));
  band->setSelectable(false);
  return band;
}

void SetRange(QCPAxis* axis, const AxisRange& r) { axis->setRange(r.min, r.max); }

AxisRange RangeOf(const QCPAxis* axis) { return {axis->range().lower, axis->range().upper}; }

QString ValueText(double v, int decimals) { return QString::fromStdString(ChartValueText(v, decimals)); }

// Axis labels in the chart's value format, whatever the locale says.
template <class Base>
class ValueTicker : public Base {
 public:
  explicit ValueTicker(int decimals) : decimals_(decimals) {}

 protected:
  QString getTickLabel(double tick, const QLocale&, QChar, int) override { return ValueText(tick, decimals_); }

 private:
  int decimals_;
};

void SetValueFormat(QCPAxis* axis, int decimals) {
  axis->setTicker(QSharedPointer<QCPAxisTicker>(new ValueTicker<QCPAxisTicker>(decimals)));
}

// Decimals of the value formats: "###0.#" 1, "###0" 0, "#0.####" 4.
constexpr int kProfileDecimals = 1;
constexpr int kDirectionDecimals = 0;
constexpr int kTrackDecimals = 4;

// A zoom that leaves no usable axis range is the operator's scale, not a fault of the desk.
[[noreturn]] void ScaleTooLarge() { throw TernError(cp("Осторожно, слишком крупный масштаб!")); }

void RequireUsable(const AxisRange& r, bool logarithmic) {
  const bool usable = std::isfinite(r.min) && std::isfinite(r.max) && r.min < r.max &&
                      QCPRange::validRange(r.min, r.max) && (!logarithmic || r.min > 0);
  if (!usable) ScaleTooLarge();
}

// A pan step may not take an axis outside the full range of its quantity (or
// further outside than it already is).
bool StaysInside(const AxisRange& next, const AxisRange& now, const AxisRange& full) {
  return next.min >= std::min(full.min, now.min) - 1e-9 && next.max <= std::max(full.max, now.max) + 1e-9;
}

}  // namespace

CheckDataCharts::CheckDataCharts(CheckDataModel& model, IOperator& op, QCustomPlot* temp, QCustomPlot* wind,
                                 QCustomPlot* xy, QObject* parent)
    : QObject(parent), model_(model), op_(op), temp_(temp), wind_(wind), xy_(xy) {
  const uint8_t code = model_.Ascent().SystemCode;
  const bool squares = code == 1 || code == 3 || code == 5 || code >= 8;
  const auto shape = squares ? QCPScatterStyle::ssSquare : QCPScatterStyle::ssTriangleInverted;

  SetupProfileChart(temp_);
  temp_->yAxis->setLabel(QString::fromUtf8("P, гПа"));
  temp_->xAxis->setLabel(QString::fromUtf8("T/dT, °C"));
  temp_->xAxis2->setVisible(true);
  temp_->xAxis2->setLabel(QString::fromUtf8("dH,м"));
  SetValueFormat(temp_->xAxis, kProfileDecimals);
  SetValueFormat(temp_->xAxis2, kProfileDecimals);
  t_ = MakeCurve(temp_->xAxis, temp_->yAxis, kT.colour, true, shape);
  td_ = MakeCurve(temp_->xAxis, temp_->yAxis, kTd.colour, true, shape);
  dh_ = MakeCurve(temp_->xAxis2, temp_->yAxis, kDh.colour, true, shape);
  tRej_ = MakeCurve(temp_->xAxis, temp_->yAxis, kT.rejected, false, shape);
  tdRej_ = MakeCurve(temp_->xAxis, temp_->yAxis, kTd.rejected, false, shape);
  dhRej_ = MakeCurve(temp_->xAxis2, temp_->yAxis, kDh.rejected, false, shape);
  tempBand_ = MakeBand(temp_);

  SetupProfileChart(wind_);
  wind_->setToolTip(QString::fromUtf8("Направление и скорость ветра"));
  wind_->yAxis->setLabel(QString::fromUtf8("P, гПa"));
  wind_->xAxis->setLabel(QString::fromUtf8("f, м/с"));
  wind_->xAxis2->setVisible(true);
  wind_->xAxis2->setLabel(QString::fromUtf8("D, °"));
  SetValueFormat(wind_->xAxis, kProfileDecimals);
  SetValueFormat(wind_->xAxis2, kDirectionDecimals);
  v_ = MakeCurve(wind_->xAxis, wind_->yAxis, kV.colour, true, shape);
  d_ = MakeCurve(wind_->xAxis2, wind_->yAxis, kD.colour, false, shape);
  dLine_ = MakeCurve(wind_->xAxis2, wind_->yAxis, kD.colour, true, QCPScatterStyle::ssNone);
  vRej_ = MakeCurve(wind_->xAxis, wind_->yAxis, kV.rejected, false, shape);
  dRej_ = MakeCurve(wind_->xAxis2, wind_->yAxis, kD.rejected, false, shape);
  windBand_ = MakeBand(wind_);

  xy_->setToolTip(QString::fromUtf8("Горизонтальная траектория полета щара"));
  xy_->xAxis->setLabel(QString::fromUtf8("Долг,°"));
  xy_->yAxis->setLabel(QString::fromUtf8("Шир,°"));
  SetValueFormat(xy_->xAxis, kTrackDecimals);
  SetValueFormat(xy_->yAxis, kTrackDecimals);
  xy_->setSelectionRectMode(QCP::srmCustom);
  track_ = MakeCurve(xy_->xAxis, xy_->yAxis, kXY.colour, true, shape);
  trackRej_ = MakeCurve(xy_->xAxis, xy_->yAxis, kXY.rejected, false, shape);
  trackSel_ = MakeCurve(xy_->xAxis, xy_->yAxis, Qt::cyan, false, shape);
  trackSelRej_ = MakeCurve(xy_->xAxis, xy_->yAxis, Qt::red, false, shape);

  for (QCustomPlot* plot : {temp_, wind_, xy_}) {
    plot->setLocale(PointLocale());  // tick labels with the point, as in the table
    plot->installEventFilter(this);
    plot->setMouseTracking(true);
    connect(plot->selectionRect(), &QCPSelectionRect::accepted, this,
            [this, plot](const QRect& rect, QMouseEvent* e) { ZoomRectangle(plot, rect, e->modifiers()); });
  }
}

void CheckDataCharts::SetupProfileChart(QCustomPlot* plot) {
  plot->yAxis->setScaleType(QCPAxis::stLogarithmic);
  plot->yAxis->setRangeReversed(true);
  plot->setSelectionRectMode(QCP::srmCustom);
  ApplyPressureLabels(plot->yAxis);
}

void CheckDataCharts::Fill() {
  const TUAMessage& a = model_.Ascent();
  // Point k of every series is the k-th level with a pressure. The profile
  // lines join across a missing value, so a missing point is left out of them
  // (its index stays unused); the track keeps its gaps.
  struct Series {
    QVector<double> t, x, y;
    void Add(double k, double x0, double y0) { t << k; x << x0; y << y0; }
  } tS, tdS, dhS, vS, dS;
  QVector<double> idx, lon, lat;
  std::vector<std::optional<ChartPoint>> dirPoints;
  levelOfPoint_.clear();
  pressures_.clear();
  hasPositions_ = false;
  for (int i = 0; i < a.LevelCount; ++i) {
    const tUALevel& l = a.Levels[i];
    pressures_.push_back(l.Pressure);
    if (!Present(l.Pressure)) continue;
    const double p = l.Pressure;
    const double k = static_cast<double>(levelOfPoint_.size());
    idx << k;
    levelOfPoint_.push_back(i);
    if (Present(l.Temp)) tS.Add(k, l.Temp, p);
    if (Present(l.DewPoint)) tdS.Add(k, l.DewPoint, p);
    if (Present(l.Height)) dhS.Add(k, l.Height - StdAtmHeight(p), p);
    const bool wind = Present(l.WindDir) && Present(l.WindSpeed);
    if (wind) {
      vS.Add(k, l.WindSpeed, p);
      dS.Add(k, l.WindDir, p);
    }
    dirPoints.push_back(wind ? std::optional<ChartPoint>(ChartPoint{l.WindDir, p}) : std::nullopt);
    const bool pos = Present(l.LatDisp) && Present(l.LonDisp);
    hasPositions_ |= pos;
    lon << (pos ? l.LonDisp : kNaN);
    lat << (pos ? l.LatDisp : kNaN);
  }
  t_->setData(tS.t, tS.x, tS.y, true);
  td_->setData(tdS.t, tdS.x, tdS.y, true);
  dh_->setData(dhS.t, dhS.x, dhS.y, true);
  v_->setData(vS.t, vS.x, vS.y, true);
  d_->setData(dS.t, dS.x, dS.y, true);
  QVector<double> lt, lx, ly;
  int n = 0;
  for (const auto& pt : WindDirectionLine(dirPoints)) {
    lt << n++;
    lx << (pt ? pt->x : kNaN);
    ly << (pt ? pt->y : kNaN);
  }
  dLine_->setData(lt, lx, ly, true);
  if (hasPositions_) {
    track_->setData(idx, lon, lat, true);
  } else {
    track_->data()->clear();
  }
  full_ = ComputeFullScales(a, model_.Masks(), withoutRejected_, hasPositions_);
  current_ = full_;
  Recolour();
  ApplyScales(full_);
}

void CheckDataCharts::Recolour() {
  const TUAMessage& a = model_.Ascent();
  const auto& masks = model_.Masks();
  QVector<double> ti, tx, ty, tdi, tdx, tdy, hi, hx, hy, wi, vx, dx, wy;
  QVector<double> ri, rx, ry, si, sx, sy, sri, srx, sry;
  for (size_t k = 0; k < levelOfPoint_.size(); ++k) {
    const int i = levelOfPoint_[k];
    const tUALevel& l = a.Levels[i];
    const uint8_t m = masks[i];
    const bool whole = m == kRejLevel;
    const double p = l.Pressure;
    if (Present(l.Temp) && (whole || (m & kRejTemp))) { ti << k; tx << l.Temp; ty << p; }
    if (Present(l.DewPoint) && (whole || (m & (kRejTemp | kRejHum)))) { tdi << k; tdx << l.DewPoint; tdy << p; }
    if (Present(l.Height) && (whole || (m & kRejHeight))) { hi << k; hx << l.Height - StdAtmHeight(p); hy << p; }
    if (Present(l.WindDir) && Present(l.WindSpeed) && (whole || (m & kRejWind))) {
      wi << k; vx << l.WindSpeed; dx << l.WindDir; wy << p;
    }
    if (hasPositions_ && Present(l.LatDisp) && Present(l.LonDisp)) {
      const bool rejected = whole || (m & kRejPos);
      const bool selected = i >= selFirst_ && i <= selLast_;
      if (selected && rejected) { sri << k; srx << l.LonDisp; sry << l.LatDisp; }
      else if (selected) { si << k; sx << l.LonDisp; sy << l.LatDisp; }
      else if (rejected) { ri << k; rx << l.LonDisp; ry << l.LatDisp; }
    }
  }
  tRej_->setData(ti, tx, ty, true);
  tdRej_->setData(tdi, tdx, tdy, true);
  dhRej_->setData(hi, hx, hy, true);
  vRej_->setData(wi, vx, wy, true);
  dRej_->setData(wi, dx, wy, true);
  trackRej_->setData(ri, rx, ry, true);
  trackSel_->setData(si, sx, sy, true);
  trackSelRej_->setData(sri, srx, sry, true);
  for (QCustomPlot* plot : {temp_, wind_, xy_}) Redraw(plot);
}

void CheckDataCharts::Redraw(QCustomPlot* plot) {
  if (plot->isVisible()) {
    plot->replot(QCustomPlot::rpQueuedReplot);
  } else if (std::find(stale_.begin(), stale_.end(), plot) == stale_.end()) {
    stale_.push_back(plot);
  }
}

void CheckDataCharts::PageShown(QCustomPlot* chart) {
  EndBandMove();
  panPlot_ = nullptr;
  QToolTip::hideText();
  auto it = std::find(stale_.begin(), stale_.end(), chart);
  if (it == stale_.end()) return;
  stale_.erase(it);
  chart->replot(QCustomPlot::rpQueuedReplot);
}

void CheckDataCharts::SetSelection(int first, int last) {
  selFirst_ = first;
  selLast_ = last;
  if (first >= 0 && first < static_cast<int>(pressures_.size()) && last >= first)
    SetBand(pressures_[first], pressures_[std::min<size_t>(last, pressures_.size() - 1)]);
  Recolour();
}

void CheckDataCharts::SetBand(double start, double end) {
  bandStart_ = std::max(start, end);
  bandEnd_ = std::min(start, end);
  UpdateBandItems();
}

void CheckDataCharts::UpdateBandItems() {
  for (QCPItemRect* band : {tempBand_, windBand_}) {
    band->topLeft->setCoords(0, bandEnd_);
    band->bottomRight->setCoords(1, bandStart_);
  }
  Redraw(temp_);
  Redraw(wind_);
}

void CheckDataCharts::SetScaleWithoutRejected(bool on) {
  withoutRejected_ = on;
  full_ = ComputeFullScales(model_.Ascent(), model_.Masks(), withoutRejected_, hasPositions_);
  if (zoomed_ && selFirst_ >= 0) {
    current_ = ComputeSelectionScales(model_.Ascent(), model_.Masks(), selFirst_, selLast_, withoutRejected_,
                                      hasPositions_, full_);
    ApplyScales(current_);
  } else {
    current_ = full_;
    ApplyScales(full_);
  }
}

void CheckDataCharts::RecomputeAfterRejection() {
  if (withoutRejected_) SetScaleWithoutRejected(true);
}

bool CheckDataCharts::ZoomToSelection() {
  if (selFirst_ < 0) return false;
  const ScaleSet s = ComputeSelectionScales(model_.Ascent(), model_.Masks(), selFirst_, selLast_, withoutRejected_,
                                            hasPositions_, full_);
  if (s.pressure.max <= 0) return false;
  current_ = s;
  ApplyScales(s);
  zoomed_ = true;
  return true;
}

void CheckDataCharts::Unzoom() {
  current_ = full_;
  ApplyScales(full_);
  zoomed_ = false;
}

void CheckDataCharts::ApplyScales(const ScaleSet& s) {
  for (QCustomPlot* plot : {temp_, wind_, xy_}) ApplyScalesTo(plot, s);
}

void CheckDataCharts::ApplyScalesTo(QCustomPlot* plot, const ScaleSet& s) {
  if (plot == temp_) {
    SetRange(temp_->yAxis, s.pressure);
    SetRange(temp_->xAxis, s.temp);
    SetRange(temp_->xAxis2, s.dh);
    ApplyPressureLabels(temp_->yAxis);
  } else if (plot == wind_) {
    SetRange(wind_->yAxis, s.pressure);
    SetRange(wind_->xAxis, s.speed);
    SetRange(wind_->xAxis2, s.dir);
    ApplyPressureLabels(wind_->yAxis);
  } else {
    SetRange(xy_->xAxis, s.lon);
    SetRange(xy_->yAxis, s.lat);
  }
  Redraw(plot);
}

void CheckDataCharts::ApplyPressureLabels(QCPAxis* axis) {
  const PressureLabels labels = LabelsForPressureAxis(axis->range().lower, axis->range().upper);
  if (labels.standard) {
    QSharedPointer<QCPAxisTickerText> ticker(new QCPAxisTickerText);
    for (int p : labels.levels) ticker->addTick(p, QString::number(p));
    axis->setTicker(ticker);
  } else {
    QSharedPointer<QCPAxisTickerFixed> ticker(new ValueTicker<QCPAxisTickerFixed>(kProfileDecimals));
    ticker->setTickStep(labels.increment);
    ticker->setScaleStrategy(QCPAxisTickerFixed::ssNone);
    axis->setTicker(ticker);
  }
}

CheckDataCharts::View CheckDataCharts::ViewOf(QCustomPlot* plot) const {
  return {plot, plot->xAxis->range().lower, plot->xAxis->range().upper, plot->xAxis2->range().lower,
          plot->xAxis2->range().upper, plot->yAxis->range().lower, plot->yAxis->range().upper};
}

void CheckDataCharts::SetView(const View& v) {
  v.plot->xAxis->setRange(v.x1, v.x2);
  v.plot->xAxis2->setRange(v.x2a, v.x2b);
  v.plot->yAxis->setRange(v.y1, v.y2);
  if (v.plot != xy_) ApplyPressureLabels(v.plot->yAxis);
}

void CheckDataCharts::Restore(const View& v) {
  if (!v.plot) return;
  SetView(v);
  v.plot->replot();
}

void CheckDataCharts::PushHistory(QCustomPlot* plot) { history_.push_back(ViewOf(plot)); }

void CheckDataCharts::UndoZoom(QCustomPlot* chart, bool shift) {
  bool stepped = false;
  for (size_t k = history_.size(); k > 0 && !stepped; --k) {
    if (history_[k - 1].plot != chart) continue;
    const View v = history_[k - 1];
    history_.erase(history_.begin() + static_cast<long>(k - 1));
    Restore(v);
    stepped = true;
  }
  if (!stepped) chart->rescaleAxes();  // no history: the library's automatic ranges
  zoomed_ = false;
  if (shift && chart != xy_) {
    ApplyPressureLabels(chart->yAxis);
    chart->replot();
  } else {
    ApplyScalesTo(chart, full_);  // only this chart: the others keep their views
  }
}

void CheckDataCharts::PostStepBack(QCustomPlot* plot, bool shift) {
  // Once the zoom event is over, as if the operator had made the undo gesture.
  QTimer::singleShot(0, this, [this, plot, shift] { UndoZoom(plot, shift); });
}

void CheckDataCharts::ZoomRectangle(QCustomPlot* plot, const QRect& rect, Qt::KeyboardModifiers mods) {
  // A rectangle dragged towards the left is the undo-zoom gesture.
  if (rect.right() < rect.left()) {
    UndoZoom(plot, mods & Qt::ShiftModifier);
    return;
  }
  try {
    if (plot != xy_) {
      ZoomProfile(plot, rect, mods);
      return;
    }
    QCPAxis* x = plot->xAxis;
    QCPAxis* y = plot->yAxis;
    const AxisRange lon{x->pixelToCoord(rect.left()), x->pixelToCoord(rect.right())};
    const AxisRange lat{y->pixelToCoord(rect.bottom()), y->pixelToCoord(rect.top())};
    if (std::fabs(lon.max - lon.min) < 0.02 || std::fabs(lat.max - lat.min) < 0.02) {
      Restore(pressView_);  // too close: back to the view at the mouse press
      return;
    }
    RequireUsable(lon, false);
    RequireUsable(lat, false);
    PushHistory(plot);
    SetRange(x, lon);
    SetRange(y, lat);
    plot->replot();
  } catch (const TernError& e) {
    Restore(pressView_);
    op_.Message(e.Text());
  }
}

void CheckDataCharts::ZoomProfile(QCustomPlot* plot, const QRect& rect, Qt::KeyboardModifiers mods) {
  QCPAxis* x = plot->xAxis;
  QCPAxis* y = plot->yAxis;
  QCPAxis* top = plot->xAxis2;
  const double x1 = x->pixelToCoord(rect.left()), x2 = x->pixelToCoord(rect.right());
  const double y1 = y->pixelToCoord(rect.top()), y2 = y->pixelToCoord(rect.bottom());
  for (double v : {x1, x2, y1, y2})
    if (!std::isfinite(v)) ScaleTooLarge();
  if (y1 <= 0 || y2 <= 0) ScaleTooLarge();
  const auto p = ZoomPressureRange({std::min(y1, y2), std::max(y1, y2)}, full_.pressure);
  if (!p) {
    QApplication::beep();
    Restore(pressView_);
    return;
  }
  RequireUsable(*p, true);
  const bool tempChart = plot == temp_;
  const AxisRange& fullBottom = tempChart ? full_.temp : full_.speed;
  const AxisRange& fullTop = tempChart ? full_.dh : full_.dir;
  AxisRange bottomRange = RangeOf(x), topRange = RangeOf(top);
  bool stepBack = false;
  if (mods & Qt::AltModifier) {
    const double t1 = top->pixelToCoord(rect.left()), t2 = top->pixelToCoord(rect.right());
    const bool wide = std::fabs(x2 - x1) >= 5 && std::fabs(t2 - t1) >= (tempChart ? 25 : 10);
    if (wide) {
      bottomRange = {std::min(x1, x2), std::max(x1, x2)};
      topRange = {std::min(t1, t2), std::max(t1, t2)};
    } else {
      stepBack = true;
    }
  } else if (mods & Qt::ShiftModifier) {
    bottomRange = fullBottom;
    topRange = fullTop;
    stepBack = true;
  } else {
    // Fit the horizontal axes to the points inside the new pressure range.
    const TUAMessage& a = model_.Ascent();
    const auto& masks = model_.Masks();
    double bLo = 1e9, bHi = -1e9, tLo = 1e9, tHi = -1e9;
    for (int i = 0; i < a.LevelCount; ++i) {
      const tUALevel& l = a.Levels[i];
      if (!Present(l.Pressure) || l.Pressure < p->min * 0.9999 || l.Pressure > p->max * 1.0001) continue;
      const uint8_t m = withoutRejected_ ? masks[i] : 0;
      if (m == kRejLevel) continue;
      if (tempChart) {
        if (Present(l.Temp) && !(m & kRejTemp)) { bLo = std::min<double>(bLo, l.Temp); bHi = std::max<double>(bHi, l.Temp); }
        if (Present(l.DewPoint) && !(m & (kRejTemp | kRejHum))) bLo = std::min<double>(bLo, l.DewPoint);
        if (Present(l.Height) && !(m & kRejHeight)) {
          const double dh = l.Height - StdAtmHeight(l.Pressure);
          tLo = std::min(tLo, dh);
          tHi = std::max(tHi, dh);
        }
      } else if (Present(l.WindDir) && Present(l.WindSpeed) && !(m & kRejWind)) {
        bLo = std::min<double>(bLo, l.WindSpeed);
        bHi = std::max<double>(bHi, l.WindSpeed);
        tLo = std::min<double>(tLo, l.WindDir);
        tHi = std::max<double>(tHi, l.WindDir);
      }
    }
    if (bHi < bLo) { bLo = fullBottom.min; bHi = fullBottom.max; }
    if (tHi < tLo) { tLo = fullTop.min; tHi = fullTop.max; }
    if (tempChart) {
      bottomRange = FitRange(bLo - 0.5, bHi + 0.5, 5, -110, 50);
      topRange = FitRange(tLo - 5, tHi + 5, 25, -8000, 8000);
    } else {
      bottomRange = FitRange(bLo - 0.5, bHi + 0.5, 5, 0, 130);
      topRange = FitRange(tLo - 2.6, tHi + 2.6, 10, 0, 360);
    }
  }
  RequireUsable(bottomRange, false);
  RequireUsable(topRange, false);
  PushHistory(plot);
  y->setRange(p->min, p->max);
  ApplyPressureLabels(y);
  SetRange(x, bottomRange);
  SetRange(top, topRange);
  plot->replot();
  if (stepBack) PostStepBack(plot, mods & Qt::ShiftModifier);
}

void CheckDataCharts::Pan(QCustomPlot* plot, const QPoint& pos) {
  // Every axis follows the mouse from where the drag started; a direction
  // whose axes would leave their full ranges does not move.
  const View now = ViewOf(plot);
  SetView(panView_);
  const int dx = pos.x() - panFrom_.x(), dy = pos.y() - panFrom_.y();
  auto shifted = [](QCPAxis* a, int pixels) {
    return AxisRange{a->pixelToCoord(a->coordToPixel(a->range().lower) - pixels),
                     a->pixelToCoord(a->coordToPixel(a->range().upper) - pixels)};
  };
  auto ordered = [](AxisRange r) { return r.min <= r.max ? r : AxisRange{r.max, r.min}; };
  const AxisRange x = ordered(shifted(plot->xAxis, dx));
  const AxisRange y = ordered(shifted(plot->yAxis, dy));
  const AxisRange x2 = ordered(shifted(plot->xAxis2, dx));
  const bool track = plot == xy_;
  const AxisRange& fullX = track ? full_.lon : plot == temp_ ? full_.temp : full_.speed;
  const AxisRange& fullX2 = plot == temp_ ? full_.dh : full_.dir;
  const AxisRange& fullY = track ? full_.lat : full_.pressure;
  const bool horizontal = StaysInside(x, {now.x1, now.x2}, fullX) &&
                          (track || StaysInside(x2, {now.x2a, now.x2b}, fullX2));
  const bool vertical = StaysInside(y, {now.y1, now.y2}, fullY);
  View next = now;
  if (horizontal) {
    next.x1 = x.min;
    next.x2 = x.max;
    if (!track) {
      next.x2a = x2.min;
      next.x2b = x2.max;
    }
  }
  if (vertical) {
    next.y1 = y.min;
    next.y2 = y.max;
  }
  SetView(next);
  plot->replot(QCustomPlot::rpQueuedReplot);
}

CheckDataCharts::Hit CheckDataCharts::NearestPoint(QCustomPlot* plot, const QPoint& pos) const {
  std::vector<QCPCurve*> curves;
  if (plot == temp_) curves = {t_, td_, dh_};
  if (plot == wind_) curves = {v_, d_};
  if (plot == xy_) curves = {track_};
  double best = 6.0;
  Hit hit;
  for (QCPCurve* c : curves) {
    for (auto it = c->data()->constBegin(); it != c->data()->constEnd(); ++it) {
      if (std::isnan(it->key) || std::isnan(it->value)) continue;
      const double px = c->keyAxis()->coordToPixel(it->key);
      const double py = c->valueAxis()->coordToPixel(it->value);
      const double d = std::hypot(px - pos.x(), py - pos.y());
      if (d < best) {
        best = d;
        hit = {levelOfPoint_[static_cast<size_t>(it->t)], c, it->key, it->value};
      }
    }
  }
  return hit;
}

QString CheckDataCharts::TipText(const Hit& hit) const {
  // The point's own value in its series' format: "0.#" for the speed, "###0"
  // for the direction, "###0.#" for the temperature chart, "0.####" on the track.
  if (hit.curve == track_) return ValueText(hit.key, kTrackDecimals) + QStringLiteral("; ") + ValueText(hit.value, kTrackDecimals);
  return ValueText(hit.key, hit.curve == d_ ? kDirectionDecimals : kProfileDecimals);
}

void CheckDataCharts::ShowTip(QCustomPlot* plot, const QPoint& pos) {
  const Hit hit = NearestPoint(plot, pos);
  const QString text = hit.level < 0 ? QString() : TipText(hit);
  if (text.isEmpty() || text.startsWith(QLatin1String(kHiddenTipPrefix))) {
    QToolTip::hideText();
    return;
  }
  QToolTip::showText(plot->mapToGlobal(pos), text, plot);
}

void CheckDataCharts::EndBandMove() {
  if (drag_ == Drag::None) return;
  const bool onlyEnd = drag_ == Drag::End;
  drag_ = Drag::None;
  if (dragPlot_) dragPlot_->setSelectionRectMode(QCP::srmCustom);
  dragPlot_ = nullptr;
  emit bandMoved(bandStart_, bandEnd_, onlyEnd);
}

bool CheckDataCharts::eventFilter(QObject* watched, QEvent* event) {
  auto* plot = qobject_cast<QCustomPlot*>(watched);
  if (!plot) return false;
  const bool profile = plot != xy_;
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* e = static_cast<QMouseEvent*>(event);
      const QPoint pos = e->position().toPoint();
      pressView_ = ViewOf(plot);
      const Hit hit = NearestPoint(plot, pos);
      if (hit.level >= 0) {
        emit pointClicked(hit.level, (e->modifiers() & Qt::ShiftModifier) || e->button() == Qt::RightButton, !profile);
        return true;
      }
      if (e->button() == Qt::MiddleButton) {
        UndoZoom(plot, e->modifiers() & Qt::ShiftModifier);
        return true;
      }
      // The right button, or Ctrl with the left one, pans instead of zooming.
      if (e->button() == Qt::RightButton || (e->button() == Qt::LeftButton && (e->modifiers() & Qt::ControlModifier))) {
        panPlot_ = plot;
        panFrom_ = pos;
        panView_ = ViewOf(plot);
        return true;
      }
      if (e->button() != Qt::LeftButton) return false;
      if (!profile) return false;
      const double yStart = plot->yAxis->coordToPixel(bandStart_);
      const double yEnd = plot->yAxis->coordToPixel(bandEnd_);
      Drag drag = Drag::None;
      if (std::fabs(pos.y() - yStart) <= kEdgePixels) drag = Drag::Start;
      else if (std::fabs(pos.y() - yEnd) <= kEdgePixels) drag = Drag::End;
      else if (e->modifiers() == Qt::NoModifier && pos.y() > std::min(yStart, yEnd) && pos.y() < std::max(yStart, yEnd))
        drag = Drag::Move;
      if (drag == Drag::None) return false;
      drag_ = drag;
      dragPlot_ = plot;
      dragY_ = pos.y();
      dragStart0_ = bandStart_;
      dragEnd0_ = bandEnd_;
      plot->setSelectionRectMode(QCP::srmNone);
      return true;
    }
    case QEvent::MouseMove: {
      auto* e = static_cast<QMouseEvent*>(event);
      const QPoint pos = e->position().toPoint();
      if (panPlot_ == plot) {
        Pan(plot, pos);
        return true;
      }
      if (drag_ == Drag::None || plot != dragPlot_) {
        if (!panPlot_) ShowTip(plot, pos);
        return false;
      }
      QCPAxis* y = plot->yAxis;
      if (!plot->axisRect()->rect().contains(pos) && drag_ == Drag::Move) {
        EndBandMove();
        return true;
      }
      const double pressure = y->pixelToCoord(pos.y());
      const double lo = full_.pressure.min, hi = full_.pressure.max;
      if (drag_ == Drag::Start) {
        bandStart_ = std::clamp(pressure, lo, hi);
      } else if (drag_ == Drag::End) {
        bandEnd_ = std::clamp(pressure, lo, hi);
      } else {
        // Move in pixels so the band keeps its look on the logarithmic axis.
        const int dy = pos.y() - dragY_;
        double s = y->pixelToCoord(y->coordToPixel(dragStart0_) + dy);
        double en = y->pixelToCoord(y->coordToPixel(dragEnd0_) + dy);
        if (s > hi) { en = y->pixelToCoord(y->coordToPixel(hi) - (y->coordToPixel(dragStart0_) - y->coordToPixel(dragEnd0_))); s = hi; }
        if (en < lo) { s = y->pixelToCoord(y->coordToPixel(lo) + (y->coordToPixel(dragStart0_) - y->coordToPixel(dragEnd0_))); en = lo; }
        bandStart_ = s;
        bandEnd_ = en;
      }
      UpdateBandItems();
      return true;
    }
    case QEvent::MouseButtonRelease: {
      if (panPlot_ == plot) {
        panPlot_ = nullptr;
        return true;
      }
      if (drag_ == Drag::None || plot != dragPlot_) return false;
      EndBandMove();
      return true;
    }
    case QEvent::ToolTip: {
      // Over a point the point's values stay; the chart's own hint shows only between points.
      if (NearestPoint(plot, static_cast<QHelpEvent*>(event)->pos()).level < 0) return false;
      ShowTip(plot, static_cast<QHelpEvent*>(event)->pos());
      return true;
    }
    case QEvent::KeyPress: {
      auto* e = static_cast<QKeyEvent*>(event);
      if (e->key() == Qt::Key_Backspace) {
        UndoZoom(plot, e->modifiers() & Qt::ShiftModifier);
        return true;
      }
      return false;
    }
    default:
      return false;
  }
}

}  // namespace tern
