#pragma once
// The desk's own question box: every button carries a full sentence and the
// answer is the number of the pressed button.
#include <QDialog>
#include <QStringList>
#include <array>

#include "base/Operator.h"

class QLabel;
class QPushButton;

namespace tern {

class TmbxMC : public QDialog {
  Q_OBJECT
 public:
  explicit TmbxMC(QWidget* owner = nullptr);

  // Builds the box from title, question and 1..4 captions; false (nothing
  // built) when the arguments are invalid.
  bool Prepare(const QStringList& texts, int icon, int defaultButton, int escButton);

  QLabel* imgIcon = nullptr;
  QLabel* lblQuerry = nullptr;
  std::array<QPushButton*, 4> Btn{};

  static constexpr int kClientWidth = 463;
  static constexpr int kClientHeight = 158;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void showEvent(QShowEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  int MaxWidth() const;
  int escButton_ = 0;
};

// Shows the box modally over owner; the number of the pressed button, 0 for
// invalid arguments (then nothing is shown). Closing the box with its title-bar
// control answers its Esc button, or 2 when it has none; a reader's question
// (caption "Запрос " + the ascent's file) closes as 2 whatever its Esc button.
int ShowChoiceBox(QWidget* owner, const QStringList& texts, int icon, int defaultButton, int escButton);
int ShowChoiceBox(QWidget* owner, const Question& q);

// Qt's reading of the desk's texts: "\r" (and "\r\n") are line breaks.
QString DisplayText(const std::string& cp1251);

// The operator behind every question core asks while the desk runs.
class TQtOperator : public IOperator {
 public:
  explicit TQtOperator(QWidget* owner = nullptr) : owner_(owner) {}
  void SetOwner(QWidget* owner) { owner_ = owner; }
  int Ask(const Question& q) override;
  void Message(const std::string& text) override;

 private:
  QWidget* Asker() const;
  QWidget* owner_;
};

}  // namespace tern
