#pragma once
// The preview of a text bulletin before it is saved or sent: the whole text
// in a monospaced memo, read-only or editable, with printing.
#include <QDialog>
#include <memory>
#include <string>

#include "base/Operator.h"

class QCheckBox;
class QPlainTextEdit;
class QPrinter;
class QPushButton;

namespace tern {

class TdlgDisplayTLG : public QDialog {
  Q_OBJECT
 public:
  // op answers the edit question; nullptr: the desk's question box.
  explicit TdlgDisplayTLG(QWidget* owner = nullptr, IOperator* op = nullptr);
  ~TdlgDisplayTLG() override;

  // Fills the dialog for one telegram (cp1251 text and captions).
  void Prepare(const std::string& text, const std::string& caption, bool readOnly, const std::string& okCaption);
  // The text to hand back: as given when unedited, else the memo's lines with CR LF.
  std::string Result() const;

  QPlainTextEdit* memTLG = nullptr;
  QCheckBox* cbxPrintSetup = nullptr;
  QPushButton* btnPrint = nullptr;
  QPushButton* btnRestore = nullptr;
  QPushButton* btnCancel = nullptr;
  QPushButton* btnOK = nullptr;

  // Where printouts go; the system's default printer unless a test sets a PDF file.
  QPrinter& Printer() { return *printer_; }
  void SetPrinter(std::unique_ptr<QPrinter> printer);

  void btnOKClick();
  void btnRestoreClick();
  void btnCancelClick();
  // False when nothing was printed (setup cancelled or the printer failed;
  // a failure is reported to the operator).
  bool btnPrintClick();

 private:
  void FitWidestLine();
  void Print(const std::string& text);

  IOperator* op_;
  std::unique_ptr<IOperator> ownOp_;
  std::unique_ptr<QPrinter> printer_;
  std::string initialText_;  // only for an editable call
  std::string givenText_;
};

// Shows the preview modally over owner. True when the operator confirmed; text
// then holds the reviewed text. Empty caption / okCaption keep the defaults.
bool ShowTelegram(QWidget* owner, std::string& text, const std::string& caption, bool readOnly,
                  const std::string& okCaption, IOperator* op = nullptr);

}  // namespace tern
