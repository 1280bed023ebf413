#pragma once
// The desk's only top-level window: ascent choice, metadata panel, BBB panel and
// the eight send buttons. The rules live in TDesk / TAscentPanel; this class
// builds the controls, forwards the operator's edits and shows the result.
#include <QMainWindow>
#include <array>
#include <memory>

#include "ChoiceBox.h"
#include "app/Desk.h"

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace tern {

struct TQtSendPipeline;

class MainWindow : public QMainWindow {
  Q_OBJECT
 public:
  MainWindow(ParamList params, AscentFactory factory, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Runs the creation sequence; false after a fatal stop (logged and shown).
  bool Create(const std::string& settingsFolder);
  TDesk& Desk() { return *desk_; }
  TQtOperator& Operator() { return op_; }
  // Shows the panel's state again (after a change made outside the controls).
  void ShowPanel();
  void LoadAscent(const std::string& path);
  // The open dialog's filter in Qt's form: "description (patterns)" entries.
  static QStringList QtFilters(const std::string& filter);

  QPushButton* btnAscent;
  QLabel* lblAscent;
  QGroupBox* gbxInfo;
  QLabel* lblAscentNumber;
  QSpinBox* speAscentNumber;
  QGroupBox* rdgRepeated;
  QButtonGroup* repeatedGroup;
  QLabel* lblObserver;
  QComboBox* cmbObserver;
  QPushButton* btnDelObserver;
  QLabel* lblRaRa;
  QComboBox* cmbRaRa;
  QLabel* lbl61616;
  QLabel* lblSondeId;
  QLineEdit* edtSondeId;
  QLabel* lblBalloon;
  QComboBox* cmbBalloon;
  QLabel* lblGas;
  QComboBox* cmbGas;
  QLabel* lblNozzleLift;
  QDoubleSpinBox* speNozzleLift;
  QLabel* lblTrainLen;
  QDoubleSpinBox* speTrainLen;
  QLabel* lblTerminationReason;
  QComboBox* cmbTerminationReason;
  QGroupBox* gbxBBB;
  QCheckBox* cbxBBB;
  QRadioButton* rbtCCx;
  QRadioButton* rbtRRx;
  QComboBox* cmbBBBChar;
  QLabel* lblBBB;
  std::array<QPushButton*, kSendCount> sendButtons{};  // by send tag - 1
  QPushButton* btnClose2;

 public slots:
  void btnAscentClick();
  void btnSendClick(int sendTag);
  void cbxBBBClick();
  void btnDelObserverClick();
  void ShowAbout();
  void BringToFront();

 protected:
  void closeEvent(QCloseEvent* e) override;
  void showEvent(QShowEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void BuildControls();
  void ApplyOptions();
  void OnInfoChange(int tag);
  void ObserverEntered();
  void OnInfoClick(int tag);
  QWidget* InputOf(int tag) const;
  QLabel* LabelOf(int tag) const;

  TQtOperator op_;
  std::unique_ptr<TDesk> desk_;
  std::unique_ptr<TQtSendPipeline> pipeline_;  // the send buttons' workflow
  bool shownOnce_ = false;
  bool showing_ = false;  // no edits are forwarded while the panel is being shown
};

}  // namespace tern
