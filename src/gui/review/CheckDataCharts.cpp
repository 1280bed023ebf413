#include "review/CheckDataCharts.h"

#include <qcustomplot.h>

#include <QApplication>
#include <QMouseEvent>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <limits>

#include "PointNumbers.h"
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

}  // namespace

CheckDataCharts::CheckDataCharts(CheckDataModel& model, QCustomPlot* temp, QCustomPlot* wind, QCustomPlot* xy,
                                 QObject* parent)
    : QObject(parent), model_(model), temp_(temp), wind_(wind), xy_(xy) {
  const uint8_t code = model_.Ascent().SystemCode;
  const bool squares = code == 1 || code == 3 || code == 5 || code >= 8;
  const auto shape = squares ? QCPScatterStyle::ssSquare : QCPScatterStyle::ssTriangleInverted;

  SetupProfileChart(temp_);
  temp_->yAxis->setLabel(QString::fromUtf8("P, гПа"));
  temp_->xAxis->setLabel(QString::fromUtf8("T/dT, °C"));
  temp_->xAxis2->setVisible(true);
  temp_->xAxis2->setLabel(QString::fromUtf8("dH,м"));
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
  v_ = MakeCurve(wind_->xAxis, wind_->yAxis, kV.colour, true, shape);
  d_ = MakeCurve(wind_->xAxis2, wind_->yAxis, kD.colour, false, shape);
  dLine_ = MakeCurve(wind_->xAxis2, wind_->yAxis, kD.colour, true, QCPScatterStyle::ssNone);
  vRej_ = MakeCurve(wind_->xAxis, wind_->yAxis, kV.rejected, false, shape);
  dRej_ = MakeCurve(wind_->xAxis2, wind_->yAxis, kD.rejected, false, shape);
  windBand_ = MakeBand(wind_);

  xy_->setToolTip(QString::fromUtf8("Горизонтальная траектория полета щара"));
  xy_->xAxis->setLabel(QString::fromUtf8("Долг,°"));
  xy_->yAxis->setLabel(QString::fromUtf8("Шир,°"));
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
  plot->axisRect()->setRangeDrag(Qt::Horizontal | Qt::Vertical);
  ApplyPressureLabels(plot->yAxis);
}

void CheckDataCharts::Fill() {
  const TUAMessage& a = model_.Ascent();
  QVector<double> idx, tx, tdx, dhx, vx, dx, py, lon, lat;
  std::vector<std::optional<ChartPoint>> dirPoints;
  levelOfPoint_.clear();
  pressures_.clear();
  hasPositions_ = false;
  for (int i = 0; i < a.LevelCount; ++i) {
    const tUALevel& l = a.Levels[i];
    pressures_.push_back(l.Pressure);
    if (!Present(l.Pressure)) continue;
    const double p = l.Pressure;
    idx << static_cast<double>(levelOfPoint_.size());
    levelOfPoint_.push_back(i);
    py << p;
    tx << (Present(l.Temp) ? l.Temp : kNaN);
    tdx << (Present(l.DewPoint) ? l.DewPoint : kNaN);
    dhx << (Present(l.Height) ? l.Height - StdAtmHeight(p) : kNaN);
    const bool wind = Present(l.WindDir) && Present(l.WindSpeed);
    vx << (wind ? l.WindSpeed : kNaN);
    dx << (wind ? l.WindDir : kNaN);
    dirPoints.push_back(wind ? std::optional<ChartPoint>(ChartPoint{l.WindDir, p}) : std::nullopt);
    const bool pos = Present(l.LatDisp) && Present(l.LonDisp);
    hasPositions_ |= pos;
    lon << (pos ? l.LonDisp : kNaN);
    lat << (pos ? l.LatDisp : kNaN);
  }
  t_->setData(idx, tx, py, true);
  td_->setData(idx, tdx, py, true);
  dh_->setData(idx, dhx, py, true);
  v_->setData(idx, vx, py, true);
  d_->setData(idx, dx, py, true);
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
  SetRange(temp_->yAxis, s.pressure);
  SetRange(temp_->xAxis, s.temp);
  SetRange(temp_->xAxis2, s.dh);
  SetRange(wind_->yAxis, s.pressure);
  SetRange(wind_->xAxis, s.speed);
  SetRange(wind_->xAxis2, s.dir);
  SetRange(xy_->xAxis, s.lon);
  SetRange(xy_->yAxis, s.lat);
  ApplyPressureLabels(temp_->yAxis);
  ApplyPressureLabels(wind_->yAxis);
  for (QCustomPlot* plot : {temp_, wind_, xy_}) Redraw(plot);
}

void CheckDataCharts::ApplyPressureLabels(QCPAxis* axis) {
  const PressureLabels labels = LabelsForPressureAxis(axis->range().lower, axis->range().upper);
  if (labels.standard) {
    QSharedPointer<QCPAxisTickerText> ticker(new QCPAxisTickerText);
    for (int p : labels.levels) ticker->addTick(p, QString::number(p));
    axis->setTicker(ticker);
  } else {
    QSharedPointer<QCPAxisTickerFixed> ticker(new QCPAxisTickerFixed);
    ticker->setTickStep(labels.increment);
    ticker->setScaleStrategy(QCPAxisTickerFixed::ssNone);
    axis->setTicker(ticker);
  }
}

void CheckDataCharts::PushHistory(QCustomPlot* plot) {
  history_.push_back({plot, plot->xAxis->range().lower, plot->xAxis->range().upper, plot->xAxis2->range().lower,
                      plot->xAxis2->range().upper, plot->yAxis->range().lower, plot->yAxis->range().upper});
}

void CheckDataCharts::StepBack(QCustomPlot* chart) {
  for (size_t k = history_.size(); k > 0; --k) {
    const View v = history_[k - 1];
    if (chart && v.plot != chart) continue;
    history_.erase(history_.begin() + static_cast<long>(k - 1));
    v.plot->xAxis->setRange(v.x1, v.x2);
    v.plot->xAxis2->setRange(v.x2a, v.x2b);
    v.plot->yAxis->setRange(v.y1, v.y2);
    if (v.plot != xy_) ApplyPressureLabels(v.plot->yAxis);
    v.plot->replot();
    zoomed_ = false;
    return;
  }
  Unzoom();
}

void CheckDataCharts::ZoomRectangle(QCustomPlot* plot, const QRect& rect, Qt::KeyboardModifiers mods) {
  QCPAxis* x = plot->xAxis;
  QCPAxis* y = plot->yAxis;
  const double x1 = x->pixelToCoord(rect.left()), x2 = x->pixelToCoord(rect.right());
  const double y1 = y->pixelToCoord(rect.top()), y2 = y->pixelToCoord(rect.bottom());
  if (plot == xy_) {
    if (std::fabs(x2 - x1) < 0.02 || std::fabs(y2 - y1) < 0.02) return;  // too close: keep the view
    PushHistory(plot);
    x->setRange(std::min(x1, x2), std::max(x1, x2));
    y->setRange(std::min(y1, y2), std::max(y1, y2));
    plot->replot();
    return;
  }
  const auto p = ZoomPressureRange({std::min(y1, y2), std::max(y1, y2)}, full_.pressure);
  if (!p) {
    QApplication::beep();
    return;
  }
  PushHistory(plot);
  y->setRange(p->min, p->max);
  ApplyPressureLabels(y);
  QCPAxis* top = plot->xAxis2;
  const bool tempChart = plot == temp_;
  const AxisRange& fullBottom = tempChart ? full_.temp : full_.speed;
  const AxisRange& fullTop = tempChart ? full_.dh : full_.dir;
  if (mods & Qt::AltModifier) {
    const double t1 = top->pixelToCoord(rect.left()), t2 = top->pixelToCoord(rect.right());
    const bool wide = std::fabs(x2 - x1) >= 5 && std::fabs(t2 - t1) >= (tempChart ? 25 : 10);
    if (wide) {
      x->setRange(std::min(x1, x2), std::max(x1, x2));
      top->setRange(std::min(t1, t2), std::max(t1, t2));
    } else {
      SetRange(x, fullBottom);
      SetRange(top, fullTop);
    }
  } else if (mods & Qt::ShiftModifier) {
    SetRange(x, fullBottom);
    SetRange(top, fullTop);
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
      SetRange(x, FitRange(bLo - 0.5, bHi + 0.5, 5, -110, 50));
      SetRange(top, FitRange(tLo - 5, tHi + 5, 25, -8000, 8000));
    } else {
      SetRange(x, FitRange(bLo - 0.5, bHi + 0.5, 5, 0, 130));
      SetRange(top, FitRange(tLo - 2.6, tHi + 2.6, 10, 0, 360));
    }
  }
  plot->replot();
}

int CheckDataCharts::NearestLevel(QCustomPlot* plot, const QPoint& pos, bool* onTrack) const {
  std::vector<QCPCurve*> curves;
  if (plot == temp_) curves = {t_, td_, dh_};
  if (plot == wind_) curves = {v_, d_};
  if (plot == xy_) curves = {track_};
  *onTrack = plot == xy_;
  double best = 6.0;
  int level = -1;
  for (QCPCurve* c : curves) {
    for (auto it = c->data()->constBegin(); it != c->data()->constEnd(); ++it) {
      if (std::isnan(it->key) || std::isnan(it->value)) continue;
      const double px = c->keyAxis()->coordToPixel(it->key);
      const double py = c->valueAxis()->coordToPixel(it->value);
      const double d = std::hypot(px - pos.x(), py - pos.y());
      if (d < best) {
        best = d;
        level = levelOfPoint_[static_cast<size_t>(it->t)];
      }
    }
  }
  return level;
}

void CheckDataCharts::ShowTip(QCustomPlot* plot, const QPoint& pos) {
  bool onTrack = false;
  const int level = NearestLevel(plot, pos, &onTrack);
  if (level < 0) {
    QToolTip::hideText();
    return;
  }
  QToolTip::showText(plot->mapToGlobal(pos), QString::fromStdString(Cp1251ToUtf8(model_.Line(level))), plot);
}

bool CheckDataCharts::eventFilter(QObject* watched, QEvent* event) {
  auto* plot = qobject_cast<QCustomPlot*>(watched);
  if (!plot) return false;
  const bool profile = plot != xy_;
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* e = static_cast<QMouseEvent*>(event);
      const QPoint pos = e->position().toPoint();
      bool onTrack = false;
      const int level = NearestLevel(plot, pos, &onTrack);
      if (level >= 0) {
        emit pointClicked(level, (e->modifiers() & Qt::ShiftModifier) || e->button() == Qt::RightButton, onTrack);
        return true;
      }
      if (e->button() == Qt::MiddleButton) {
        StepBack(plot);
        return true;
      }
      if (e->button() != Qt::LeftButton) return false;
      if (e->modifiers() & Qt::ControlModifier) {
        // Ctrl + drag pans instead of zooming.
        panning_ = true;
        plot->setSelectionRectMode(QCP::srmNone);
        plot->setInteraction(QCP::iRangeDrag, true);
        return false;
      }
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
      if (drag_ == Drag::None || plot != dragPlot_) {
        if (!panning_) ShowTip(plot, pos);
        return false;
      }
      QCPAxis* y = plot->yAxis;
      if (!plot->axisRect()->rect().contains(pos) && drag_ == Drag::Move) {
        QMouseEvent release(QEvent::MouseButtonRelease, e->position(), e->globalPosition(), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        return eventFilter(watched, &release);
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
      if (panning_) {
        panning_ = false;
        plot->setInteraction(QCP::iRangeDrag, false);
        plot->setSelectionRectMode(QCP::srmCustom);
        // Panning stays inside the full ranges.
        if (profile) ApplyPressureLabels(plot->yAxis);
        return false;
      }
      if (drag_ == Drag::None || plot != dragPlot_) return false;
      const bool onlyEnd = drag_ == Drag::End;
      drag_ = Drag::None;
      dragPlot_ = nullptr;
      plot->setSelectionRectMode(QCP::srmCustom);
      emit bandMoved(bandStart_, bandEnd_, onlyEnd);
      return true;
    }
    case QEvent::ToolTip: {
      // Over a point the point's values stay; the chart's own hint shows only between points.
      bool onTrack = false;
      if (NearestLevel(plot, static_cast<QHelpEvent*>(event)->pos(), &onTrack) < 0) return false;
      ShowTip(plot, static_cast<QHelpEvent*>(event)->pos());
      return true;
    }
    case QEvent::KeyPress: {
      auto* e = static_cast<QKeyEvent*>(event);
      if (e->key() == Qt::Key_Backspace) {
        StepBack(plot);
        return true;
      }
      return false;
    }
    default:
      return false;
  }
}

}  // namespace tern
