#pragma once
// The data check window: the profile table with its rejection marks on the
// left, the charts on the right, the tool bar on top.
#include <QDialog>
#include <memory>

#include "review/CheckDataModel.h"

class QCheckBox;
class QComboBox;
class QCustomPlot;
class QLabel;
class QListView;
class QPushButton;
class QSplitter;
class QTabWidget;
class QToolButton;
class QWidget;

namespace tern {

class CheckDataCharts;
class ProfileHeader;
class ProfileListModel;
class TUAMessage;

class TfrmViewCheckData : public QDialog {
  Q_OBJECT
 public:
  TfrmViewCheckData(CheckDataModel& model, IOperator& op, QWidget* parent = nullptr);
  ~TfrmViewCheckData() override;

  // The rejection buttons (tags 1..6) with the given keyboard modifiers.
  void Reject(int tag, Qt::KeyboardModifiers mods);
  void SelectLevels(int first, int last);
  int SelectionFirst() const { return selFirst_; }
  int SelectionLast() const { return selLast_; }
  void SetMode(RejectMode mode);
  RejectMode Mode() const;

  QWidget* pnlTools = nullptr;
  QPushButton *btnSend = nullptr, *btnCancel = nullptr, *btnReset = nullptr;
  QPushButton *btnLevRej = nullptr, *btnTRej = nullptr, *btnTdRej = nullptr, *btnHRej = nullptr, *btnWRej = nullptr,
              *btnXYRej = nullptr;
  QComboBox* cmbToggleMode = nullptr;
  QToolButton *bbtnZoom = nullptr, *bbtnUnzoom = nullptr;
  QCheckBox* cbxScaleRej = nullptr;
  ProfileHeader* pbxHeader = nullptr;
  QListView* lbxProfile = nullptr;
  QLabel* lblSuspects = nullptr;  // how many values the automatic checks point at
  QSplitter* splitter = nullptr;
  QTabWidget* pages = nullptr;
  QCustomPlot *ChrtTemp = nullptr, *ChrtWind = nullptr, *ChrtXY = nullptr;
  CheckDataCharts* charts = nullptr;

 public slots:
  void done(int result) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  void BuildTools();
  void BuildBody();
  bool HandleKey(QKeyEvent* e);
  void ShowSuspectCount();
  void SelectNextSuspect();
  void OnListSelection();
  void OnBandMoved(double start, double end, bool onlyEnd);
  void OnPointClicked(int level, bool single, bool onTrack);
  void ApplySelection(int first, int last, bool scrollToEnd);
  void ConfirmClicked();
  void ResetClicked();
  QPushButton* RejectButton(int tag) const;

  CheckDataModel& model_;
  IOperator& op_;
  ProfileListModel* listModel_ = nullptr;
  int selFirst_ = -1, selLast_ = -1;
  bool applyingSelection_ = false;
  bool closing_ = false;
  int panelWidth_ = 0;  // the table panel: one whole line wide
  bool sized_ = false;
};

// Runs the edit-file questions and the window; true only after "ОК", with the
// masks written into the ascent and saved.
bool ShowCheckData(QWidget* owner, TUAMessage& ascent, bool readOnly, IOperator& op);

}  // namespace tern
