#pragma once
// The three charts of the data check (temperature/dew point/height deviation,
// wind, track) drawn with QCustomPlot, with the pressure band that mirrors the
// table's selection and the zoom rules of the desk.
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QVector>
#include <vector>

#include "base/Operator.h"
#include "review/ChartScales.h"

class QCustomPlot;
class QCPAxis;
class QCPCurve;
class QCPItemRect;
class QMouseEvent;

namespace tern {

class CheckDataModel;

class CheckDataCharts : public QObject {
  Q_OBJECT
 public:
  CheckDataCharts(CheckDataModel& model, IOperator& op, QCustomPlot* temp, QCustomPlot* wind, QCustomPlot* xy,
                  QObject* parent);

  // Builds every series from the ascent; computes and applies the full scales.
  void Fill();
  // Redraws the rejected colours after the masks changed.
  void Recolour();
  void SetSelection(int first, int last);  // XY colours and both bands
  void SetBand(double start, double end);
  void SetScaleWithoutRejected(bool on);
  void RecomputeAfterRejection();
  // "F8": the selection's scales; false when nothing could be zoomed.
  bool ZoomToSelection();
  // "F9": back to the full scales.
  void Unzoom();
  // The undo-zoom gesture of a chart: one step back in its zoom history, then
  // the full set for that chart, or with Shift the view the step gave.
  void UndoZoom(QCustomPlot* chart, bool shift);

  bool HasPositions() const { return hasPositions_; }
  bool Zoomed() const { return zoomed_; }
  const ScaleSet& Full() const { return full_; }
  const ScaleSet& Current() const { return current_; }
  double BandStart() const { return bandStart_; }
  double BandEnd() const { return bandEnd_; }
  // A page became visible: a band move or pan on the old page ends; its chart
  // is drawn if it changed while hidden.
  void PageShown(QCustomPlot* chart);
  bool BandMoving() const { return drag_ != Drag::None; }
  // Pressure of each level (for band <-> selection).
  const std::vector<double>& Pressures() const { return pressures_; }

 signals:
  // A band was dragged or moved: the window recomputes the selection.
  void bandMoved(double start, double end, bool onlyEndMoved);
  // A point was clicked: single = Shift or right button.
  void pointClicked(int level, bool single, bool onTrack);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct View {
    QCustomPlot* plot;
    double x1, x2, x2a, x2b, y1, y2;
  };
  struct Hit {
    int level = -1;
    QCPCurve* curve = nullptr;
    double key = 0, value = 0;
  };
  void SetupProfileChart(QCustomPlot* plot);
  void ApplyScales(const ScaleSet& s);
  void ApplyScalesTo(QCustomPlot* plot, const ScaleSet& s);
  void ApplyPressureLabels(QCPAxis* axis);
  void ZoomRectangle(QCustomPlot* plot, const QRect& rect, Qt::KeyboardModifiers mods);
  void ZoomProfile(QCustomPlot* plot, const QRect& rect, Qt::KeyboardModifiers mods);
  void PostStepBack(QCustomPlot* plot, bool shift);
  void UpdateBandItems();
  void EndBandMove();
  void Pan(QCustomPlot* plot, const QPoint& pos);
  void ShowTip(QCustomPlot* plot, const QPoint& pos);
  QString TipText(const Hit& hit) const;
  Hit NearestPoint(QCustomPlot* plot, const QPoint& pos) const;
  View ViewOf(QCustomPlot* plot) const;
  void SetView(const View& v);
  void Restore(const View& v);
  void PushHistory(QCustomPlot* plot);
  // Hidden pages are drawn when they are shown, not on every change.
  void Redraw(QCustomPlot* plot);
  std::vector<QCustomPlot*> stale_;

  CheckDataModel& model_;
  IOperator& op_;
  QCustomPlot* temp_;
  QCustomPlot* wind_;
  QCustomPlot* xy_;
  // Series and their rejected overlays.
  QCPCurve *t_ = nullptr, *td_ = nullptr, *dh_ = nullptr, *v_ = nullptr, *d_ = nullptr, *dLine_ = nullptr,
           *track_ = nullptr;
  QCPCurve *tRej_ = nullptr, *tdRej_ = nullptr, *dhRej_ = nullptr, *vRej_ = nullptr, *dRej_ = nullptr;
  QCPCurve *trackRej_ = nullptr, *trackSel_ = nullptr, *trackSelRej_ = nullptr;
  QCPItemRect* tempBand_ = nullptr;
  QCPItemRect* windBand_ = nullptr;

  std::vector<int> levelOfPoint_;  // point index -> level
  std::vector<double> pressures_;
  bool hasPositions_ = false;
  bool withoutRejected_ = false;
  bool zoomed_ = false;
  int selFirst_ = -1, selLast_ = -1;
  double bandStart_ = 925, bandEnd_ = 925;
  ScaleSet full_, current_;

  // Band dragging state.
  enum class Drag { None, Start, End, Move } drag_ = Drag::None;
  int dragY_ = 0;
  double dragStart0_ = 0, dragEnd0_ = 0;
  QCustomPlot* dragPlot_ = nullptr;
  // Panning: where the drag started and the view it started from.
  QCustomPlot* panPlot_ = nullptr;
  QPoint panFrom_;
  View panView_{};
  View pressView_{};  // the view at the last mouse press
  std::vector<View> history_;
};

}  // namespace tern
