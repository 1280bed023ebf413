#include "review/ViewCheckData.h"

#include <qcustomplot.h>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "ErrorBoundary.h"
#include "TextBridge.h"
#include "review/CheckDataCharts.h"
#include "review/ProfileList.h"
#include "sounding/UAMessage.h"

namespace tern {

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

struct RejectButton {
  int tag;
  const char* caption;  // after the mode sign
  const char* hint;
  QPushButton* TfrmViewCheckData::*member;
};
const RejectButton kRejectButtons[] = {
    {kTagLevel, "Урвн(F&2)", "Брак всего уровня", &TfrmViewCheckData::btnLevRej},
    {kTagT, "T(F&3)", "Брак T", &TfrmViewCheckData::btnTRej},
    {kTagTd, "dT(F&4)", "Брак Td", &TfrmViewCheckData::btnTdRej},
    {kTagH, "H(F&5)", "Брак H", &TfrmViewCheckData::btnHRej},
    {kTagW, "W(F&6)", "Брак W", &TfrmViewCheckData::btnWRej},
    {kTagXY, "XY(F&7)", "Брак XY", &TfrmViewCheckData::btnXYRej},
};

const RejectMode kModes[] = {RejectMode::Reject, RejectMode::Accept, RejectMode::Toggle};

bool IsAncestorOf(QWidget* ancestor, QObject* o) {
  for (auto* w = qobject_cast<QWidget*>(o); w; w = w->parentWidget())
    if (w == ancestor) return true;
  return false;
}

}  // namespace

TfrmViewCheckData::TfrmViewCheckData(CheckDataModel& model, IOperator& op, QWidget* parent)
    : QDialog(parent), model_(model), op_(op) {
  setObjectName(QStringLiteral("frmViewCheckData"));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint);
  setWindowTitle(ToQ(model_.Caption()));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  BuildTools();
  BuildBody();
  layout->addWidget(pnlTools);
  layout->addWidget(splitter, 1);

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect g = screen->availableGeometry();
    resize(g.width() * 7 / 8, g.height() * 7 / 8);
    move(g.center() - rect().center());
  }

  charts = new CheckDataCharts(model_, op_, ChrtTemp, ChrtWind, ChrtXY, this);
  connect(charts, &CheckDataCharts::bandMoved, this, &TfrmViewCheckData::OnBandMoved);
  connect(charts, &CheckDataCharts::pointClicked, this, &TfrmViewCheckData::OnPointClicked);
  charts->Fill();
  pages->setTabVisible(2, charts->HasPositions());
  connect(pages, &QTabWidget::currentChanged, this,
          [this](int page) { charts->PageShown(qobject_cast<QCustomPlot*>(pages->widget(page))); });
  if (model_.Ascent().LevelCount > 0) SelectLevels(0, 0);
  ShowSuspectCount();

  // The window sees the function keys before any of its controls.
  for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
  lbxProfile->setFocus();
}

TfrmViewCheckData::~TfrmViewCheckData() = default;

void TfrmViewCheckData::BuildTools() {
  pnlTools = new QWidget(this);
  pnlTools->setObjectName(QStringLiteral("pnlTools"));
  pnlTools->setAutoFillBackground(true);
  auto* row = new QHBoxLayout(pnlTools);
  row->setContentsMargins(4, 2, 4, 2);
  auto button = [&](const QString& caption, const QString& hint, const char* name) {
    auto* b = new QPushButton(caption, pnlTools);
    b->setObjectName(QLatin1String(name));
    b->setToolTip(hint);
    b->setAutoDefault(false);
    row->addWidget(b);
    return b;
  };
  btnSend = button(U("ОК"), U("Завершить проверку и отправить"), "btnSend");
  btnCancel = button(U("Отмена"), U("Отмена отправки"), "btnCancel");
  btnReset = button(U("Сброс"), U("Сброс изменений"), "btnReset");
  row->addSpacing(12);
  for (const auto& entry : kRejectButtons) {
    QPushButton* b = button(U("\u00B1") + U(entry.caption), U(entry.hint), "btnRej");
    b->setProperty("tag", entry.tag);
    this->*entry.member = b;
    connect(b, &QPushButton::clicked, this,
            Guarded(this, [this, tag = entry.tag] { Reject(tag, QApplication::keyboardModifiers()); }));
  }
  btnLevRej->setObjectName(QStringLiteral("btnLevRej"));
  btnTRej->setObjectName(QStringLiteral("btnTRej"));
  btnTdRej->setObjectName(QStringLiteral("btnTdRej"));
  btnHRej->setObjectName(QStringLiteral("btnHRej"));
  btnWRej->setObjectName(QStringLiteral("btnWRej"));
  btnXYRej->setObjectName(QStringLiteral("btnXYRej"));
  auto* modeLabel = new QLabel(U("F&1->"), pnlTools);
  cmbToggleMode = new QComboBox(pnlTools);
  cmbToggleMode->setObjectName(QStringLiteral("cmbToggleMode"));
  cmbToggleMode->addItems({U("-"), U("+"), U("\u00B1")});
  cmbToggleMode->setCurrentIndex(2);
  cmbToggleMode->setToolTip(U("Выбор режима (F1):\n-брак\n+хорошие данные\n\u00B1 - переключить"));
  modeLabel->setBuddy(cmbToggleMode);
  row->addWidget(modeLabel);
  row->addWidget(cmbToggleMode);
  connect(cmbToggleMode, &QComboBox::currentIndexChanged, this, [this](int) {
    const QString sign = ToQ(ModeSign(Mode()));
    for (const auto& entry : kRejectButtons) (this->*entry.member)->setText(sign + U(entry.caption));
  });
  bbtnZoom = new QToolButton(pnlTools);
  bbtnZoom->setText(U("F&8"));
  bbtnZoom->setToolTip(U("Увеличить до выделенного слоя"));
  bbtnUnzoom = new QToolButton(pnlTools);
  bbtnUnzoom->setText(U("F&9"));
  bbtnUnzoom->setToolTip(U("Вернуться к исходному масштабу"));
  cbxScaleRej = new QCheckBox(U("&?"), pnlTools);
  cbxScaleRej->setObjectName(QStringLiteral("cbxScaleRej"));
  cbxScaleRej->setToolTip(U("Включает масштабирование без учета забракованных данных"));
  row->addWidget(bbtnZoom);
  row->addWidget(bbtnUnzoom);
  row->addWidget(cbxScaleRej);
  row->addStretch(1);
  connect(btnSend, &QPushButton::clicked, this, Guarded(this, [this] { ConfirmClicked(); }));
  connect(btnCancel, &QPushButton::clicked, this, Guarded(this, [this] { done(2); }));
  connect(btnReset, &QPushButton::clicked, this, Guarded(this, [this] { ResetClicked(); }));
  connect(bbtnZoom, &QToolButton::clicked, this, Guarded(this, [this] { charts->ZoomToSelection(); }));
  connect(bbtnUnzoom, &QToolButton::clicked, this, Guarded(this, [this] { charts->Unzoom(); }));
  connect(cbxScaleRej, &QCheckBox::toggled, this,
          [this](bool on) { Guard(this, [&] { charts->SetScaleWithoutRejected(on); }); });
}

void TfrmViewCheckData::BuildBody() {
  splitter = new QSplitter(Qt::Horizontal, this);
  auto* tablePanel = new QWidget(splitter);
  auto* col = new QVBoxLayout(tablePanel);
  col->setContentsMargins(0, 0, 0, 0);
  col->setSpacing(0);
  const QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  pbxHeader = new ProfileHeader(tablePanel);
  pbxHeader->setFont(fixed);
  lbxProfile = new ProfileListView(tablePanel);
  lbxProfile->setObjectName(QStringLiteral("lbxProfile"));
  lbxProfile->setFont(fixed);
  lbxProfile->setToolTip(U("F10 - Данные выпуска с признаками недостоверных данных"));
  lbxProfile->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lbxProfile->setUniformItemSizes(true);
  lbxProfile->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  listModel_ = new ProfileListModel(model_, this);
  lbxProfile->setModel(listModel_);
  lbxProfile->setItemDelegate(new ProfileLineDelegate(lbxProfile));
  lblSuspects = new QLabel(tablePanel);
  lblSuspects->setObjectName(QStringLiteral("lblSuspects"));
  lblSuspects->setTextFormat(Qt::PlainText);
  col->addWidget(pbxHeader);
  col->addWidget(lbxProfile, 1);
  col->addWidget(lblSuspects);
  // Wide enough for the whole line, its attribute letters included.
  panelWidth_ = ProfileLineWidth(fixed) + 2 * lbxProfile->frameWidth() +
                         lbxProfile->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, lbxProfile) + 4;
  tablePanel->setMinimumWidth(150);
  connect(lbxProfile->horizontalScrollBar(), &QScrollBar::valueChanged, pbxHeader, &ProfileHeader::SetOffset);
  connect(lbxProfile->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &TfrmViewCheckData::OnListSelection);

  pages = new QTabWidget(splitter);
  ChrtTemp = new QCustomPlot(pages);
  ChrtTemp->setObjectName(QStringLiteral("ChrtTemp"));
  ChrtWind = new QCustomPlot(pages);
  ChrtWind->setObjectName(QStringLiteral("ChrtWind"));
  ChrtXY = new QCustomPlot(pages);
  ChrtXY->setObjectName(QStringLiteral("ChrtXY"));
  pages->addTab(ChrtTemp, U("&TH(F11)"));
  pages->addTab(ChrtWind, U("&DV(F12)"));
  pages->addTab(ChrtXY, U("&XY(Alt+F12)"));
  splitter->addWidget(tablePanel);
  splitter->addWidget(pages);
  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({panelWidth_, 1000});
  // The hint belongs to the handle only: on the panes it would cover the chart's point values.
  splitter->handle(1)->setToolTip(U("Передвиньте влево-вправо для удобного просмотра"));
}

QPushButton* TfrmViewCheckData::RejectButton(int tag) const {
  for (const auto& entry : kRejectButtons)
    if (entry.tag == tag) return this->*entry.member;
  return nullptr;
}

RejectMode TfrmViewCheckData::Mode() const { return kModes[std::clamp(cmbToggleMode->currentIndex(), 0, 2)]; }

void TfrmViewCheckData::SetMode(RejectMode mode) {
  for (int i = 0; i < 3; ++i)
    if (kModes[i] == mode) cmbToggleMode->setCurrentIndex(i);
}

void TfrmViewCheckData::Reject(int tag, Qt::KeyboardModifiers mods) {
  if (selFirst_ < 0) return;
  const RejectMode mode = ModeForKeys(mods & Qt::ShiftModifier, mods & Qt::ControlModifier, Mode());
  if (!model_.Apply(tag, mode, selFirst_, selLast_, op_)) return;
  setWindowTitle(ToQ(model_.Caption()));
  listModel_->Refresh(selFirst_, selLast_);
  charts->Recolour();
  charts->RecomputeAfterRejection();
  // A rejection can settle suspects elsewhere too (a layer check spans levels).
  lbxProfile->viewport()->update();
  ShowSuspectCount();
  lbxProfile->scrollTo(listModel_->index(selFirst_), QAbstractItemView::PositionAtTop);
}

void TfrmViewCheckData::SelectLevels(int first, int last) { ApplySelection(first, last, false); }

void TfrmViewCheckData::ApplySelection(int first, int last, bool scrollToEnd) {
  const int count = model_.Ascent().LevelCount;
  if (count == 0) return;
  first = std::clamp(first, 0, count - 1);
  last = std::clamp(last, first, count - 1);
  selFirst_ = first;
  selLast_ = last;
  applyingSelection_ = true;
  QItemSelection sel(listModel_->index(first), listModel_->index(last));
  lbxProfile->selectionModel()->select(sel, QItemSelectionModel::ClearAndSelect);
  lbxProfile->selectionModel()->setCurrentIndex(listModel_->index(first), QItemSelectionModel::NoUpdate);
  applyingSelection_ = false;
  if (scrollToEnd) {
    lbxProfile->scrollTo(listModel_->index(std::min(last + 2, count - 1)), QAbstractItemView::PositionAtBottom);
  } else {
    lbxProfile->scrollTo(listModel_->index(std::max(first - 1, 0)), QAbstractItemView::PositionAtTop);
  }
  charts->SetSelection(first, last);
}

void TfrmViewCheckData::OnListSelection() {
  if (applyingSelection_) return;
  // The first selected line and the contiguous run that starts there.
  QItemSelectionModel* sm = lbxProfile->selectionModel();
  const QModelIndexList rows = sm->selectedRows();
  if (rows.isEmpty()) return;
  int first = rows.first().row();
  for (const QModelIndex& i : rows) first = std::min(first, i.row());
  int last = first;
  while (last + 1 < model_.Ascent().LevelCount && sm->isRowSelected(last + 1, {})) ++last;
  selFirst_ = first;
  selLast_ = last;
  if (rows.size() != last - first + 1) {
    // Lines outside the run stay unhighlighted: the keys act on what is shown.
    applyingSelection_ = true;
    sm->select(QItemSelection(listModel_->index(first), listModel_->index(last)),
               QItemSelectionModel::ClearAndSelect);
    applyingSelection_ = false;
  }
  charts->SetSelection(first, last);
}

void TfrmViewCheckData::OnBandMoved(double start, double end, bool onlyEnd) {
  const LevelSelection s = SelectionFromBand(charts->Pressures(), start, end);
  ApplySelection(s.first < 0 ? 0 : s.first, s.last < 0 ? 0 : s.last, onlyEnd);
}

void TfrmViewCheckData::OnPointClicked(int level, bool single, bool onTrack) {
  if (onTrack) {
    if (single || selFirst_ < 0) {
      ApplySelection(level, level, false);
    } else {
      // Extend from the far end of the selection to the clicked level.
      const int farEnd = std::abs(level - selFirst_) > std::abs(level - selLast_) ? selFirst_ : selLast_;
      ApplySelection(std::min(farEnd, level), std::max(farEnd, level), false);
    }
    return;
  }
  if (single) {
    ApplySelection(level, level, false);
    return;
  }
  const double p = model_.Ascent().Levels[level].Pressure;
  double start = charts->BandStart(), end = charts->BandEnd();
  if (p < end) end = p;
  else if (p > start) start = p;
  OnBandMoved(start, end, false);
}

void TfrmViewCheckData::ConfirmClicked() {
  if (model_.Confirm(op_)) {
    closing_ = true;
    QDialog::done(1);
  } else {
    lbxProfile->setFocus();
  }
}

void TfrmViewCheckData::ResetClicked() {
  model_.Reset();
  listModel_->RefreshAll();
  charts->Recolour();
  SelectLevels(0, 0);
  ShowSuspectCount();
}

void TfrmViewCheckData::ShowSuspectCount() {
  const size_t n = model_.Suspects().size();
  lblSuspects->setText(n == 0 ? U("Автоматическая проверка: замечаний нет")
                              : U("Автоматическая проверка: замечаний %1 (Ctrl+N - к следующему)").arg(n));
}

void TfrmViewCheckData::SelectNextSuspect() {
  const int level = model_.NextSuspect(selFirst_);
  if (level < 0) return;
  SelectLevels(level, level);
  lbxProfile->scrollTo(listModel_->index(level), QAbstractItemView::PositionAtCenter);
}

void TfrmViewCheckData::done(int result) {
  if (closing_ || result == 1) {
    QDialog::done(result);
    return;
  }
  if (!model_.MayClose(op_)) {
    lbxProfile->setFocus();
    return;
  }
  closing_ = true;
  QDialog::done(2);
}

void TfrmViewCheckData::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (!sized_) {
    // The splitter shares out its real width only now: the table keeps its line width.
    sized_ = true;
    splitter->setSizes({panelWidth_, std::max(splitter->width() - panelWidth_ - splitter->handleWidth(), 150)});
  }
}

void TfrmViewCheckData::closeEvent(QCloseEvent* e) {
  if (closing_) {
    e->accept();
    return;
  }
  e->ignore();
  done(2);
}

bool TfrmViewCheckData::HandleKey(QKeyEvent* e) {
  const auto mods = e->modifiers();
  const int key = e->key();
  if (key >= Qt::Key_F2 && key <= Qt::Key_F7) {
    Reject(key - Qt::Key_F2 + 1, mods);
    return true;
  }
  switch (key) {
    case Qt::Key_F1:
      cmbToggleMode->setFocus();
      if ((mods & Qt::ShiftModifier) && (mods & Qt::ControlModifier)) SetMode(RejectMode::Toggle);
      else if (mods & Qt::ShiftModifier) SetMode(RejectMode::Reject);
      else if (mods & Qt::ControlModifier) SetMode(RejectMode::Accept);
      return true;
    case Qt::Key_F8:
      charts->ZoomToSelection();
      return true;
    case Qt::Key_F9:
      charts->Unzoom();
      return true;
    case Qt::Key_F10:
      lbxProfile->setFocus();
      return true;
    case Qt::Key_N:
      if (!(mods & Qt::ControlModifier)) return false;
      SelectNextSuspect();
      return true;
    case Qt::Key_F11:
      pages->setCurrentIndex(0);
      ChrtTemp->setFocus();
      return true;
    case Qt::Key_F12:
      if ((mods & Qt::AltModifier) && pages->isTabVisible(2)) {
        pages->setCurrentIndex(2);
        ChrtXY->setFocus();
      } else {
        pages->setCurrentIndex(1);
        ChrtWind->setFocus();
      }
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      ConfirmClicked();
      return true;
    default:
      return false;
  }
}

bool TfrmViewCheckData::eventFilter(QObject* watched, QEvent* event) {
  // Every control of the window, the mode box included, but not a popup of one.
  auto* widget = qobject_cast<QWidget*>(watched);
  if (event->type() == QEvent::KeyPress && widget && widget->window() == this) {
    bool handled = false;
    Guard(this, [&] { handled = HandleKey(static_cast<QKeyEvent*>(event)); });
    if (handled) return true;
  }
  if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
    QWidget* focus = QApplication::focusWidget();
    pbxHeader->SetListFocused(lbxProfile->hasFocus());
    QPalette pal = pnlTools->palette();
    pal.setColor(QPalette::Window, IsAncestorOf(pnlTools, focus) ? QColor(238, 238, 238) : Qt::white);
    pnlTools->setPalette(pal);
    const bool pagesFocused = IsAncestorOf(pages, focus);
    if (pages->tabBar()->font().bold() != pagesFocused) {
      QFont f = pages->tabBar()->font();
      f.setBold(pagesFocused);
      pages->tabBar()->setFont(f);
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TfrmViewCheckData::keyPressEvent(QKeyEvent* e) {
  bool handled = false;
  Guard(this, [&] { handled = HandleKey(e); });
  if (!handled) QDialog::keyPressEvent(e);
}

bool ShowCheckData(QWidget* owner, TUAMessage& ascent, bool readOnly, IOperator& op) {
  CheckDataModel model(ascent, readOnly);
  if (!model.Open(op)) {
    op.Message(cp("Отправка BUFR отменена"));
    return false;
  }
  TfrmViewCheckData window(model, op, owner ? owner->window() : nullptr);
  window.setParent(nullptr, window.windowFlags());
  return window.exec() == 1;
}

}  // namespace tern
