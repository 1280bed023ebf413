#include "review/DisplayTLG.h"

#include <QCheckBox>
#include <QFont>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QPainter>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "ChoiceBox.h"
#include "ErrorBoundary.h"
#include "TextBridge.h"
#include "base/Error.h"
#include "review/TelegramPreview.h"

namespace tern {
namespace {

QFont TelegramFont() {
  QFont font("Courier New");
  font.setPointSize(8);
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  return font;
}

// The memo shows lines joined by Qt's own line break.
QString MemoText(const std::string& text) { return ToQ(JoinTelegramLines(TelegramLines(text))).replace("\r\n", "\n"); }

TextList MemoLines(const QPlainTextEdit& memo) {
  TextList lines;
  for (const QString& line : memo.toPlainText().split('\n')) lines.push_back(FromQ(line));
  return lines;
}

QPushButton* Button(const char* caption, const char* hint, QWidget* parent) {
  auto* b = new QPushButton(ToQ(cp(caption)), parent);
  b->setToolTip(ToQ(cp(hint)));
  b->setAutoDefault(false);
  return b;
}

}  // namespace

TdlgDisplayTLG::TdlgDisplayTLG(QWidget* owner, IOperator* op)
    : QDialog(owner), op_(op), printer_(std::make_unique<QPrinter>()) {
  if (!op_) {
    ownOp_ = std::make_unique<TQtOperator>(this);
    op_ = ownOp_.get();
  }
  setWindowTitle(ToQ(cp("Телеграмма")));
  setToolTip(ToQ(cp("Просмотр текстовых телеграмм перед отправкой")));
  resize(453, 456);
  setMinimumSize(453, 300);

  memTLG = new QPlainTextEdit(this);
  memTLG->setFont(TelegramFont());
  memTLG->setLineWrapMode(QPlainTextEdit::NoWrap);
  memTLG->setWordWrapMode(QTextOption::NoWrap);
  memTLG->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memTLG->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memTLG->setReadOnly(true);
  // A TAB typed into a bulletin would go out with it: Tab moves on to the buttons.
  memTLG->setTabChangesFocus(true);

  cbxPrintSetup = new QCheckBox(ToQ(cp("Принтер")), this);
  cbxPrintSetup->setToolTip(ToQ(cp("Вывести диалог настроек принтера перед печатью")));
  btnPrint = Button("Печать", "Вывести на печать", this);
  btnRestore = Button("Восстановить", "Восстановить исходный текст телеграммы", this);
  btnRestore->setEnabled(false);
  btnCancel = Button("Отмена", "Отказаться от продолжения", this);
  btnOK = Button("OK", "Подтвердить продолжение", this);
  btnOK->setDefault(true);

  auto* row = new QHBoxLayout;
  row->addWidget(cbxPrintSetup);
  row->addWidget(btnPrint);
  row->addStretch();
  row->addWidget(btnRestore);
  row->addWidget(btnCancel);
  row->addWidget(btnOK);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(memTLG, 1);
  layout->addLayout(row);

  setTabOrder(memTLG, cbxPrintSetup);
  setTabOrder(cbxPrintSetup, btnPrint);
  setTabOrder(btnPrint, btnRestore);
  setTabOrder(btnRestore, btnCancel);
  setTabOrder(btnCancel, btnOK);
  btnOK->setFocus();

  connect(btnOK, &QPushButton::clicked, this, Guarded(this, [this] { btnOKClick(); }));
  connect(btnRestore, &QPushButton::clicked, this, Guarded(this, [this] { btnRestoreClick(); }));
  connect(btnCancel, &QPushButton::clicked, this, Guarded(this, [this] { btnCancelClick(); }));
  connect(btnPrint, &QPushButton::clicked, this, Guarded(this, [this] { btnPrintClick(); }));
}

TdlgDisplayTLG::~TdlgDisplayTLG() = default;

void TdlgDisplayTLG::SetPrinter(std::unique_ptr<QPrinter> printer) { printer_ = std::move(printer); }

void TdlgDisplayTLG::Prepare(const std::string& text, const std::string& caption, bool readOnly,
                             const std::string& okCaption) {
  btnRestore->setEnabled(!readOnly);
  if (!caption.empty()) setWindowTitle(ToQ(caption));
  if (!okCaption.empty()) btnOK->setText(ToQ(okCaption));
  memTLG->setReadOnly(readOnly);
  if (!readOnly) initialText_ = text;
  givenText_ = text;
  memTLG->setPlainText(MemoText(text));
  memTLG->document()->setModified(false);
  btnOK->setFocus();
  FitWidestLine();
}

void TdlgDisplayTLG::FitWidestLine() {
  // The widest line shows whole: a TEMP line's last group must not hide behind the edge.
  const QFontMetrics fm(memTLG->font());
  int widest = 0;
  for (const QString& line : memTLG->toPlainText().split(QLatin1Char('\n')))
    widest = std::max(widest, fm.horizontalAdvance(line));
  const QMargins m = layout()->contentsMargins();
  const int chrome = 2 * memTLG->frameWidth() + 2 * static_cast<int>(std::ceil(memTLG->document()->documentMargin())) +
                     memTLG->verticalScrollBar()->sizeHint().width() + m.left() + m.right() + 4;
  int want = widest + chrome;
  if (const QScreen* screen = (parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen()))
    want = std::min(want, screen->availableGeometry().width() - 16);
  if (want > width()) resize(want, height());
}

std::string TdlgDisplayTLG::Result() const {
  // A restore brings the memo back to the given text, so compare contents, not the flag.
  const std::string shown = JoinTelegramLines(MemoLines(*memTLG));
  if (shown == JoinTelegramLines(TelegramLines(givenText_))) return NormaliseTelegramBreaks(givenText_);
  return shown;
}

void TdlgDisplayTLG::btnOKClick() {
  if (memTLG->document()->isModified()) {
    switch (op_->Ask(EditedTelegramQuestion(FromQ(windowTitle())))) {
      case kRestoreText:
        btnRestoreClick();
        return;
      case kBackToPreview:
        return;
      default:
        break;
    }
  }
  done(1);
}

void TdlgDisplayTLG::btnRestoreClick() {
  memTLG->setPlainText(MemoText(initialText_));
  memTLG->document()->setModified(false);
}

void TdlgDisplayTLG::btnCancelClick() { done(2); }

bool TdlgDisplayTLG::btnPrintClick() {
  if (cbxPrintSetup->isChecked()) {
    QPrintDialog dialog(printer_.get(), this);
    if (dialog.exec() != QDialog::Accepted) return false;
  }
  try {
    Print(TelegramPrintText(MemoLines(*memTLG)) + "\r\n");
  } catch (const TernError& e) {
    op_->Message(e.Text());
    return false;
  }
  return true;
}

void TdlgDisplayTLG::Print(const std::string& text) {
  // No printer, or a printer that fails while the job is written out, is one
  // input/output failure for the operator: the print action ends, the text stays.
  const TernError failure(cp("Ошибка ввода/вывода при печати"));
  // A plain text device: one line under the other from the top left of the
  // printable area, a new page when the next line does not fit.
  const QStringList lines = ToQ(text).split(QStringLiteral("\r\n"));
  QPainter painter;
  if (!printer_->isValid() || !painter.begin(printer_.get())) throw failure;
  painter.setFont(QFont(TelegramFont(), printer_.get()));
  const QFontMetrics metrics(painter.font(), printer_.get());
  const int pageHeight = printer_->pageLayout().paintRectPixels(printer_->resolution()).height();
  int y = metrics.ascent();
  bool written = true;
  for (qsizetype i = 0; i + 1 < lines.size() && written; ++i) {  // the last piece follows the final line break
    if (y + metrics.descent() > pageHeight && y > metrics.ascent()) {
      written = printer_->newPage();
      y = metrics.ascent();
    }
    painter.drawText(0, y, lines[i]);
    y += metrics.lineSpacing();
  }
  if (!painter.end() || !written || printer_->printerState() == QPrinter::Error) throw failure;
}

bool ShowTelegram(QWidget* owner, std::string& text, const std::string& caption, bool readOnly,
                  const std::string& okCaption, IOperator* op) {
  TdlgDisplayTLG dialog(owner, op);
  dialog.Prepare(text, caption, readOnly, okCaption);
  if (dialog.exec() != 1) return false;
  text = dialog.Result();
  return true;
}

}  // namespace tern
