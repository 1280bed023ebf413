#include "MainWindow.h"
#include "SendPipeline.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>
#include <cstdio>

#include "ErrorBoundary.h"
#include "PointNumbers.h"
#include "TextBridge.h"
#include "base/Files.h"

namespace tern {
namespace {

QString InkColour(Ink ink) {
  switch (ink) {
    case Ink::Red: return QStringLiteral("#d00000");
    case Ink::Blue: return QStringLiteral("#0000d0");
    case Ink::Grey: return QStringLiteral("#808080");
    default: return QStringLiteral("#000000");
  }
}

// Text colour of one widget, without touching its children.
QString InkCss(QWidget* w, Ink ink, const QString& extra = {}) {
  const QString self = QStringLiteral("%1#%2").arg(QString::fromLatin1(w->metaObject()->className()), w->objectName());
  QString css = QStringLiteral("%1 { color: %2; %3}").arg(self, InkColour(ink), extra);
  return css;
}

void SetCss(QWidget* w, const QString& css) {
  if (w->styleSheet() != css) w->setStyleSheet(css);
}

void Paint(QWidget* w, Ink ink, const QString& extra = {}) { SetCss(w, InkCss(w, ink, extra)); }

// A send button that cannot be pressed looks so: its caption fades, and a red
// or blue hint stays recognisable in a paler tint.
void PaintButton(QPushButton* b, Ink ink) {
  static const QString faded[] = {QStringLiteral("#909090"), QStringLiteral("#e09090"), QStringLiteral("#9090e0"),
                                  QStringLiteral("#b0b0b0")};
  SetCss(b, InkCss(b, ink) + QStringLiteral(" QPushButton#%1:disabled { color: %2; }")
                                 .arg(b->objectName(), faded[static_cast<int>(ink)]));
}

template <class W>
W* Named(W* w, const char* name) {
  w->setObjectName(QString::fromLatin1(name));
  return w;
}

void SetItems(QComboBox* box, const TextList& items) {
  QStringList list;
  for (const auto& i : items) list << ToQ(i);
  QStringList now;
  for (int i = 0; i < box->count(); ++i) now << box->itemText(i);
  if (now != list) {
    const QString text = box->currentText();
    box->clear();
    box->addItems(list);
    if (box->isEditable()) box->setEditText(text);
  }
}

void ShowPick(QComboBox* box, const tPick& pick) {
  SetItems(box, pick.Items);
  box->setCurrentIndex(pick.Chosen() ? pick.Index : -1);
}

// The open dialog's detail columns are as wide as their dates and sizes.
void FitFileColumns(QFileDialog& dlg) {
  dlg.setOption(QFileDialog::DontUseNativeDialog);
  dlg.resize(std::max(dlg.width(), 760), std::max(dlg.height(), 460));
  if (auto* view = dlg.findChild<QTreeView*>(QStringLiteral("treeView"))) {
    view->header()->setStretchLastSection(false);
    view->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int c = 1; c < view->header()->count(); ++c) view->header()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
  }
}

constexpr const char* kSendNames[kSendCount] = {"btnTTAA", "btnTTBB", "btnTTCC", "btnTTDD",
                                                "btnLayer", "btnPriz", "btnBUFRAB", "btnBUFRCD"};

}  // namespace

MainWindow::MainWindow(ParamList params, AscentFactory factory, QWidget* parent)
    : QMainWindow(parent), op_(this), desk_(std::make_unique<TDesk>(std::move(params), op_, std::move(factory))) {
  setObjectName(QStringLiteral("MainWindow"));
  BuildControls();
  pipeline_ = std::make_unique<TQtSendPipeline>(this, op_);
  desk_->Workflow = &pipeline_->Workflow;
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildControls() {
  auto* central = new QWidget(this);
  setCentralWidget(central);
  auto* root = new QVBoxLayout(central);

  auto* top = new QHBoxLayout;
  btnAscent = Named(new QPushButton(QStringLiteral("Вып&уск"), central), "btnAscent");
  lblAscent = Named(new QLabel(central), "lblAscent");
  QFont big = lblAscent->font();
  big.setBold(true);
  lblAscent->setFont(big);
  top->addWidget(btnAscent);
  top->addWidget(lblAscent, 1);
  root->addLayout(top);

  gbxInfo = Named(new QGroupBox(QStringLiteral("Данные о выпуске"), central), "gbxInfo");
  auto* grid = new QGridLayout(gbxInfo);
  int row = 0;
  auto addRow = [&](QLabel* label, QWidget* input, QWidget* extra = nullptr) {
    grid->addWidget(label, row, 0);
    grid->addWidget(input, row, 1);
    if (extra) grid->addWidget(extra, row, 2);
    label->installEventFilter(this);
    ++row;
  };

  lblAscentNumber = Named(new QLabel(QStringLiteral("Номер выпуска"), gbxInfo), "lblAscentNumber");
  speAscentNumber = Named(new QSpinBox(gbxInfo), "speAscentNumber");
  // Wider than the accepted range, so that an out-of-range number reaches the panel's rule.
  speAscentNumber->setRange(0, 9999);
  speAscentNumber->setLocale(PointLocale());
  speAscentNumber->setKeyboardTracking(false);
  addRow(lblAscentNumber, speAscentNumber);

  rdgRepeated = Named(new QGroupBox(QStringLiteral("Повторный выпуск"), gbxInfo), "rdgRepeated");
  repeatedGroup = new QButtonGroup(rdgRepeated);
  auto* rl = new QHBoxLayout(rdgRepeated);
  for (int i = 0; i < 2; ++i) {
    auto* rb = new QRadioButton(i == 0 ? QStringLiteral("Не&т") : QStringLiteral("Д&а"), rdgRepeated);
    repeatedGroup->addButton(rb, i);
    rl->addWidget(rb);
  }
  grid->addWidget(rdgRepeated, row++, 0, 1, 3);

  lblObserver = Named(new QLabel(QStringLiteral("Старший смены"), gbxInfo), "lblObserver");
  cmbObserver = Named(new QComboBox(gbxInfo), "cmbObserver");
  btnDelObserver = Named(new QPushButton(QStringLiteral("-"), gbxInfo), "btnDelObserver");
  btnDelObserver->setFixedWidth(28);
  addRow(lblObserver, cmbObserver, btnDelObserver);

  lblRaRa = Named(new QLabel(QStringLiteral("Радиозонд"), gbxInfo), "lblRaRa");
  cmbRaRa = Named(new QComboBox(gbxInfo), "cmbRaRa");
  addRow(lblRaRa, cmbRaRa);
  lbl61616 = Named(new QLabel(QStringLiteral("61616 00000"), gbxInfo), "lbl61616");
  grid->addWidget(lbl61616, row++, 1);

  lblSondeId = Named(new QLabel(QStringLiteral("Номер радиозонда"), gbxInfo), "lblSondeId");
  edtSondeId = Named(new QLineEdit(gbxInfo), "edtSondeId");
  edtSondeId->setMaxLength(20);
  addRow(lblSondeId, edtSondeId);

  lblBalloon = Named(new QLabel(QStringLiteral("Оболочка"), gbxInfo), "lblBalloon");
  cmbBalloon = Named(new QComboBox(gbxInfo), "cmbBalloon");
  addRow(lblBalloon, cmbBalloon);
  lblGas = Named(new QLabel(QStringLiteral("Газ"), gbxInfo), "lblGas");
  cmbGas = Named(new QComboBox(gbxInfo), "cmbGas");
  addRow(lblGas, cmbGas);

  lblNozzleLift = Named(new QLabel(QStringLiteral("Подъёмная сила, кг"), gbxInfo), "lblNozzleLift");
  speNozzleLift = Named(new TPointSpinBox(gbxInfo), "speNozzleLift");
  speNozzleLift->setRange(0, 99.99);
  speNozzleLift->setSingleStep(0.1);
  speNozzleLift->setDecimals(2);  // the lift is kept and sent in hundredths
  speNozzleLift->setKeyboardTracking(false);
  addRow(lblNozzleLift, speNozzleLift);
  lblTrainLen = Named(new QLabel(QStringLiteral("Длина подвеса, м"), gbxInfo), "lblTrainLen");
  speTrainLen = Named(new TPointSpinBox(gbxInfo), "speTrainLen");
  speTrainLen->setRange(0, 999.9);
  speTrainLen->setSingleStep(0.5);
  speTrainLen->setDecimals(1);
  speTrainLen->setKeyboardTracking(false);
  addRow(lblTrainLen, speTrainLen);

  lblTerminationReason = Named(new QLabel(QStringLiteral("Причина окончания"), gbxInfo), "lblTerminationReason");
  cmbTerminationReason = Named(new QComboBox(gbxInfo), "cmbTerminationReason");
  addRow(lblTerminationReason, cmbTerminationReason);
  grid->setColumnStretch(1, 1);

  gbxBBB = Named(new QGroupBox(QStringLiteral("BBB"), central), "gbxBBB");
  auto* bl = new QHBoxLayout(gbxBBB);
  cbxBBB = Named(new QCheckBox(QStringLiteral("+"), gbxBBB), "cbxBBB");
  rbtCCx = Named(new QRadioButton(QStringLiteral("CCx"), gbxBBB), "rbtCCx");
  rbtRRx = Named(new QRadioButton(QStringLiteral("RRx"), gbxBBB), "rbtRRx");
  rbtCCx->setChecked(true);
  cmbBBBChar = Named(new QComboBox(gbxBBB), "cmbBBBChar");
  for (char c = 'A'; c <= 'Z'; ++c) cmbBBBChar->addItem(QString(QLatin1Char(c)));
  lblBBB = Named(new QLabel(gbxBBB), "lblBBB");
  lblBBB->setMinimumWidth(40);
  for (QWidget* w : std::initializer_list<QWidget*>{cbxBBB, rbtCCx, rbtRRx, cmbBBBChar, lblBBB}) bl->addWidget(w);
  bl->addStretch(1);

  auto* middle = new QHBoxLayout;
  auto* left = new QVBoxLayout;
  left->addWidget(gbxInfo);
  left->addWidget(gbxBBB);
  middle->addLayout(left, 1);

  auto* buttons = new QGridLayout;
  for (int i = 0; i < kSendCount; ++i) {
    auto* b = Named(new QPushButton(central), kSendNames[i]);
    b->setMinimumSize(110, 34);
    b->setEnabled(false);
    const int tag = i + 1;
    connect(b, &QPushButton::clicked, this, [this, tag] { btnSendClick(tag); });
    sendButtons[i] = b;
  }
  // TEMP parts in the first column, national and BUFR messages in the second.
  const int place[kSendCount][2] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {1, 1}, {0, 1}, {2, 1}, {3, 1}};
  for (int i = 0; i < kSendCount; ++i) buttons->addWidget(sendButtons[i], place[i][0], place[i][1]);
  auto* right = new QVBoxLayout;
  right->addLayout(buttons);
  right->addStretch(1);
  btnClose2 = Named(new QPushButton(QStringLiteral("Выход"), central), "btnClose2");
  right->addWidget(btnClose2);
  middle->addLayout(right);
  root->addLayout(middle);

  menuBar()->addAction(QStringLiteral("&О программе"), this, &MainWindow::ShowAbout);

  // Edits of the panel.
  connect(speAscentNumber, &QSpinBox::valueChanged, this, [this](int v) {
    if (showing_) return;
    desk_->Panel.Number = v;
    OnInfoChange(kInfoNumber);
  });
  connect(repeatedGroup, &QButtonGroup::idClicked, this, [this](int id) {
    if (showing_) return;
    desk_->Panel.Repeated = id;
    OnInfoChange(kInfoRepeated);
  });
  // Typed initials count once the entry is finished (Enter, leaving the box, a
  // choice from the list), so half-typed ones never join the list.
  connect(cmbObserver, &QComboBox::activated, this, [this] { ObserverEntered(); });
  connect(cmbObserver, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (showing_ || cmbObserver->isEditable()) return;
    desk_->Panel.ObserverText = i >= 0 ? FromQ(cmbObserver->itemText(i)) : std::string();
    OnInfoChange(kInfoObserver);
  });
  connect(edtSondeId, &QLineEdit::textEdited, this, [this](const QString& t) {
    if (showing_) return;
    desk_->Panel.SondeId = FromQ(t);
    OnInfoChange(kInfoSerial);
  });
  const std::pair<QComboBox*, int> picks[] = {
      {cmbRaRa, kInfoRaRa}, {cmbBalloon, kInfoBalloon}, {cmbGas, kInfoGas}, {cmbTerminationReason, kInfoTermination}};
  for (const auto& [box, tag] : picks) {
    connect(box, &QComboBox::currentIndexChanged, this, [this, tag = tag](int i) {
      if (showing_) return;
      TAscentPanel& p = desk_->Panel;
      tPick& pick = tag == kInfoRaRa ? p.RaRa : tag == kInfoBalloon ? p.Balloon : tag == kInfoGas ? p.Gas : p.Termination;
      pick.Index = i;
      OnInfoChange(tag);
    });
  }
  connect(speNozzleLift, &QDoubleSpinBox::valueChanged, this, [this](double v) {
    if (showing_) return;
    desk_->Panel.Lift = v;
    OnInfoChange(kInfoLift);
  });
  connect(speTrainLen, &QDoubleSpinBox::valueChanged, this, [this](double v) {
    if (showing_) return;
    desk_->Panel.Train = v;
    OnInfoChange(kInfoTrain);
  });
  // A list's entries are drawn black whatever colour its box shows.
  // (The combo box's own delegate would draw them in the box's colour.)
  for (QComboBox* box : {cmbObserver, cmbRaRa, cmbBalloon, cmbGas, cmbTerminationReason}) {
    box->setItemDelegate(new QStyledItemDelegate(box));
    box->view()->setStyleSheet(QStringLiteral("QAbstractItemView { color: %1; }").arg(InkColour(Ink::Black)));
  }
  // Clicks and focus may land on an input's inner parts (the text field of a spin or combo box).
  for (int tag = 1; tag <= kInfoTagCount; ++tag) {
    InputOf(tag)->installEventFilter(this);
    for (QWidget* part : InputOf(tag)->findChildren<QWidget*>()) part->installEventFilter(this);
  }

  connect(cbxBBB, &QCheckBox::clicked, this, &MainWindow::cbxBBBClick);
  connect(rbtCCx, &QRadioButton::clicked, this, &MainWindow::cbxBBBClick);
  connect(rbtRRx, &QRadioButton::clicked, this, &MainWindow::cbxBBBClick);
  connect(cmbBBBChar, &QComboBox::activated, this, &MainWindow::cbxBBBClick);
  connect(btnDelObserver, &QPushButton::clicked, this, &MainWindow::btnDelObserverClick);
  connect(btnAscent, &QPushButton::clicked, this, &MainWindow::btnAscentClick);
  connect(btnClose2, &QPushButton::clicked, this, &QWidget::close);

  // The window sees these keys before its controls.
  for (const QKeySequence& keys :
       {QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key_Minus)),
        QKeySequence(QKeyCombination(Qt::AltModifier | Qt::KeypadModifier, Qt::Key_Minus))}) {
    auto* s = new QShortcut(keys, this);
    connect(s, &QShortcut::activated, this, &MainWindow::btnDelObserverClick);
  }
  auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(esc, &QShortcut::activated, this, &QWidget::close);
}

QWidget* MainWindow::InputOf(int tag) const {
  switch (tag) {
    case kInfoNumber: return speAscentNumber;
    case kInfoRepeated: return rdgRepeated;
    case kInfoObserver: return cmbObserver;
    case kInfoRaRa: return cmbRaRa;
    case kInfoSerial: return edtSondeId;
    case kInfoBalloon: return cmbBalloon;
    case kInfoGas: return cmbGas;
    case kInfoLift: return speNozzleLift;
    case kInfoTrain: return speTrainLen;
    case kInfoTermination: return cmbTerminationReason;
    default: return nullptr;
  }
}

QLabel* MainWindow::LabelOf(int tag) const {
  switch (tag) {
    case kInfoNumber: return lblAscentNumber;
    case kInfoObserver: return lblObserver;
    case kInfoRaRa: return lblRaRa;
    case kInfoSerial: return lblSondeId;
    case kInfoBalloon: return lblBalloon;
    case kInfoGas: return lblGas;
    case kInfoLift: return lblNozzleLift;
    case kInfoTrain: return lblTrainLen;
    case kInfoTermination: return lblTerminationReason;
    default: return nullptr;
  }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::MouseButtonPress) {
    // A label's click puts the focus into its input.
    for (int tag = 1; tag <= kInfoTagCount; ++tag)
      if (watched == LabelOf(tag) && InputOf(tag)->isEnabled()) {
        InputOf(tag)->setFocus(Qt::MouseFocusReason);
        return false;
      }
  }
  // Focus coming back from a combo box's own list, or with the window made
  // active again, is not a new visit: it would settle at once (black) the
  // choice just made there (blue).
  const Qt::FocusReason reason = e->type() == QEvent::FocusIn ? static_cast<QFocusEvent*>(e)->reason() : Qt::OtherFocusReason;
  const bool backFromList = reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason;
  if ((e->type() == QEvent::FocusIn && !backFromList) || e->type() == QEvent::MouseButtonPress) {
    for (int tag = 1; tag <= kInfoTagCount; ++tag) {
      QWidget* input = InputOf(tag);
      if (watched == input || (watched->isWidgetType() && input->isAncestorOf(static_cast<QWidget*>(watched)))) {
        // Validating from inside the widget's own event is deferred until the event is done.
        QTimer::singleShot(0, this, [this, tag] { OnInfoClick(tag); });
        break;
      }
    }
  }
  return QMainWindow::eventFilter(watched, e);
}

void MainWindow::ObserverEntered() {
  if (showing_ || !cmbObserver->isEditable()) return;
  const std::string text = FromQ(cmbObserver->currentText());
  cmbObserver->lineEdit()->setModified(false);
  if (text == desk_->Panel.ObserverText) return;
  desk_->Panel.ObserverText = text;
  OnInfoChange(kInfoObserver);
}

void MainWindow::OnInfoChange(int tag) {
  Guard(this, [&] { desk_->Panel.OnInfoChange(tag); });
  ShowPanel();
}

void MainWindow::OnInfoClick(int tag) {
  if (!desk_->Panel.EventsActive) return;
  Guard(this, [&] { desk_->Panel.OnInfoClick(tag); });
  ShowPanel();
}

bool MainWindow::Create(const std::string& settingsFolder) {
  std::exception_ptr error;
  try {
    desk_->Create(settingsFolder);
    QApplication::setApplicationDisplayName(ToQ(desk_->AppTitle));
    setWindowTitle(ToQ(desk_->Caption));
    ApplyOptions();
    ShowPanel();
    // The last ascent is still part of the start: a reader's failure here stops the program too.
    desk_->ReopenLastAscent();
    ShowPanel();
  } catch (...) {
    error = std::current_exception();
  }
  if (!error) return true;
  const std::string text = TDesk::FatalStop(TernError(OperatorTextOf(error)));
  // Also on the terminal: a desk started from its menu entry may have nobody to read the box.
  std::fprintf(stderr, "tern2bufr: %s\n", DisplayText(text).toUtf8().constData());
  op_.Message(text);
  hide();
  return false;
}

void MainWindow::ApplyOptions() {
  const TDeskOptions& o = desk_->Options;
  cmbRaRa->setEnabled(o.RaRaChoice());
  lblRaRa->setEnabled(o.RaRaChoice());
  btnDelObserver->setEnabled(o.ObserverOn);
  cmbObserver->setEditable(o.ObserverOn);
  if (o.ObserverOn) {
    cmbObserver->lineEdit()->setMaxLength(4);
    cmbObserver->setInsertPolicy(QComboBox::NoInsert);  // the panel's rule adds initials, not the box
    connect(cmbObserver->lineEdit(), &QLineEdit::editingFinished, this, &MainWindow::ObserverEntered,
            Qt::UniqueConnection);
  }
  rdgRepeated->setEnabled(o.Repeated);
}

void MainWindow::ShowPanel() {
  showing_ = true;
  const TAscentPanel& p = desk_->Panel;
  {
    const QSignalBlocker b1(speAscentNumber), b2(cmbObserver), b3(cmbRaRa), b4(edtSondeId), b5(cmbBalloon),
        b6(cmbGas), b7(speNozzleLift), b8(speTrainLen), b9(cmbTerminationReason), b10(cbxBBB), b11(cmbBBBChar);
    speAscentNumber->setValue(p.Number);
    speAscentNumber->setEnabled(p.NumberEnabled);
    lblAscentNumber->setEnabled(p.NumberEnabled);
    if (QAbstractButton* rb = repeatedGroup->button(p.Repeated)) rb->setChecked(true);
    SetItems(cmbObserver, p.Observers);
    if (cmbObserver->isEditable()) {
      // Initials being typed stay until their entry is finished.
      const bool typing = cmbObserver->lineEdit()->hasFocus() && cmbObserver->lineEdit()->isModified();
      if (!typing && cmbObserver->currentText() != ToQ(p.ObserverText)) cmbObserver->setEditText(ToQ(p.ObserverText));
    } else {
      cmbObserver->setCurrentIndex(ComboIndexOf(p.Observers, p.ObserverText));
    }
    ShowPick(cmbRaRa, p.RaRa);
    ShowPick(cmbBalloon, p.Balloon);
    ShowPick(cmbGas, p.Gas);
    ShowPick(cmbTerminationReason, p.Termination);
    if (edtSondeId->text() != ToQ(p.SondeId)) {
      edtSondeId->setText(ToQ(p.SondeId));
      edtSondeId->deselect();
    }
    speNozzleLift->setValue(p.Lift);
    speTrainLen->setValue(p.Train);
    cbxBBB->setChecked(p.IncludeBBB);
    (p.CCx ? rbtCCx : rbtRRx)->setChecked(true);
    cmbBBBChar->setCurrentIndex(p.BBBLetter);
  }
  rbtRRx->setEnabled(p.RRxEnabled);
  rbtCCx->setEnabled(p.BBBInputsEnabled);
  cmbBBBChar->setEnabled(p.BBBInputsEnabled);
  lblBBB->setText(ToQ(p.BBB));

  for (int tag = 1; tag <= kInfoTagCount; ++tag) {
    Paint(InputOf(tag), p.InputInk[tag]);
    if (QLabel* l = LabelOf(tag)) Paint(l, p.LabelInk[tag]);
  }
  Paint(gbxInfo, p.InfoCaption);
  Paint(gbxBBB, p.BBBCaption);
  Paint(lblAscent, p.AscentInk);
  lblAscent->setText(ToQ(p.AscentLabel));
  lbl61616->setText(ToQ(p.Label61616));
  Paint(lbl61616, p.Relevant61616 ? Ink::Blue : Ink::Grey,
        p.Relevant61616 ? QStringLiteral("font-weight: bold; ") : QStringLiteral("font-weight: normal; "));

  for (int i = 0; i < kSendCount; ++i) {
    const tSendButton& s = p.Send[i];
    QPushButton* b = sendButtons[i];
    b->setText(ToQ(s.Caption));
    b->setEnabled(s.Enabled);
    QFont f = b->font();
    f.setBold(true);
    f.setStrikeOut(s.Struck);
    b->setFont(f);
    PaintButton(b, s.Colour);
  }
  showing_ = false;
}

QStringList MainWindow::QtFilters(const std::string& filter) {
  const QStringList parts = ToQ(filter).split(QLatin1Char('|'));
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    out << QStringLiteral("%1 (%2)").arg(parts[i], patterns);
  }
  return out;
}

void MainWindow::btnAscentClick() {
  QFileDialog dlg(this, QStringLiteral("Выберите выпуск"), ToQ(desk_->InitialDir));
  dlg.setObjectName(QStringLiteral("odlInfo"));
  dlg.setFileMode(QFileDialog::ExistingFile);
  dlg.setDefaultSuffix(QStringLiteral("info"));
  const QStringList filters = QtFilters(desk_->OpenFilter.empty()
                                            ? cp("Последние выпуски|*.info|Все выпуски|*.info")
                                            : desk_->OpenFilter);
  dlg.setNameFilters(filters);
  if (desk_->FilterIndex - 1 < filters.size()) dlg.selectNameFilter(filters[desk_->FilterIndex - 1]);
  FitFileColumns(dlg);
  if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) return;
  LoadAscent(FromQ(dlg.selectedFiles().front()));
}

void MainWindow::LoadAscent(const std::string& path) {
  Guard(this, [&] { desk_->LoadAscent(path); });
  ShowPanel();
}

void MainWindow::btnSendClick(int sendTag) {
  Guard(this, [&] { desk_->SendClick(sendTag); });
  ShowPanel();
}

void MainWindow::cbxBBBClick() {
  if (showing_) return;
  TAscentPanel& p = desk_->Panel;
  p.IncludeBBB = cbxBBB->isChecked();
  p.CCx = rbtCCx->isChecked();
  p.BBBLetter = std::max(0, cmbBBBChar->currentIndex());
  Guard(this, [&] { p.CbxBBBClick(); });
  ShowPanel();
}

void MainWindow::btnDelObserverClick() {
  Guard(this, [&] { desk_->Panel.DelObserverClick(); });
  ShowPanel();
}

void MainWindow::ShowAbout() {
  Guard(this, [&] { op_.Message(desk_->AboutText()); });
}

void MainWindow::BringToFront() {
  if (isMinimized()) showNormal();
  show();
  raise();
  activateWindow();
}

void MainWindow::showEvent(QShowEvent* e) {
  QMainWindow::showEvent(e);
  if (shownOnce_) return;
  shownOnce_ = true;
  // Minimising waits until the window has been shown once, and only a start with parameters asks for it.
  if (!desk_->Params.empty())
    QTimer::singleShot(0, this, [this] {
      if (HasSwitch(desk_->Params, "M")) showMinimized();
    });
}

void MainWindow::closeEvent(QCloseEvent* e) {
  // An unexpected failure while closing is reported and does not keep the operator from leaving.
  bool closes = true;
  bool front = false;
  Guard(this, [&] {
    if (!desk_->CloseQuery()) {
      closes = false;
      front = true;
    } else if (!desk_->CloseWhileMailing()) {
      closes = false;
    } else {
      closes = desk_->CloseAfterSaving();
    }
  });
  if (closes) {
    e->accept();
    return;
  }
  e->ignore();
  if (front) BringToFront();
}

}  // namespace tern
